// The whole program on the test port and the virtual clock, driven by steps
// decoded from the input: host requests, typing, clicks, list picks, time
// passing, the device going away. Every write to the line is checked against
// the form at the moment it is made.

#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/event_routing.h"
#include "app/startup.h"
#include "program/program.h"
#include "fake_platform.h"
#include "fake_port.h"
#include "terminal/frame.h"
#include "virtual_clock.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

// A reply has one of the terminal's shapes, and a weight line carries the
// weight the display shows with it.
void checkReply(const Program& p, const QByteArray& out)
{
    const Form1& f = p.form;
    const QChar separator = p.platform.decimalSeparator();
    if (p.settings.intTerminalType == 1) {
        QString weight = f.Text5.text();
        weight.replace(separator, u'.');
        if (weight.startsWith(u'-'))
            weight.remove(1, 1);
        require(out == "WW" + weight.toLatin1() + "kg\r\n");
        return;
    }
    require(out.endsWith("\r\n"));
    if (out.size() == 2)
        return;
    if (out.size() == 4) {
        require(std::uint8_t(out[0]) == p.state.bytS1 && std::uint8_t(out[1]) == p.state.bytS2);
        return;
    }
    const QByteArray digits = out.chopped(2);
    require(std::all_of(digits.begin(), digits.end(), [](char b) { return b >= 0 && b <= 9; }));
    QString weight = f.Text5.text(), cost = f.Text10.text();
    weight.remove(u'-');
    cost.remove(u'-');
    require(out == DigitField(weight, separator) + DigitField(f.Text8.text(), separator) +
                       DigitField(cost, separator) + "\r\n");
}

class CheckedPort : public FakePort {
public:
    const Program* program = nullptr;
    int writes = 0;

    PortResult output(const QByteArray& bytes) override
    {
        checkReply(*program, bytes);
        ++writes;
        const PortResult result = FakePort::output(bytes);
        sent.clear();  // checked already; a long run must not pile them up
        return result;
    }
};

// The input read a byte at a time; past its end every byte is 0.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}
    bool done() const { return at_ == end_; }
    std::uint8_t byte() { return done() ? 0 : *at_++; }
    QByteArray bytes(int count)
    {
        QByteArray out;
        while (count-- > 0 && !done())
            out.append(char(byte()));
        return out;
    }
    // Mostly what a number is made of, now and then a character that is none.
    QString text()
    {
        static constexpr char16_t kCommon[] = u"0123456789.,-+ e";
        static constexpr char16_t kRare[] = u"\u066B\u0660\t\u00A0x\u2212\u00FF\u0000";
        QString out;
        for (int length = byte() % 32; length > 0; --length) {
            const std::uint8_t b = byte();
            out += QChar(b < 0xF0 ? kCommon[b % 16] : kRare[b % 8]);
        }
        return out;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

// A control a person can reach: shown and enabled, and so is its container.
struct Reachable {
    const Control* control;
    const Control* container;
    bool now() const { return control->visible() && control->enabled() && (!container || container->visible()); }
};

struct Box {
    Reachable at;
    TextBox* box;
};
struct Press {
    Reachable at;
    std::function<void()> press;
};
struct List {
    Reachable at;
    ComboBox* list;
};

// One of the items that fit now, chosen by `b`; nothing when none does.
template <class Item, class Fits>
Item* choose(std::vector<Item>& items, std::uint8_t b, Fits fits)
{
    std::vector<Item*> now;
    for (Item& item : items)
        if (item.at.now() && fits(item))
            now.push_back(&item);
    return now.empty() ? nullptr : now[b % now.size()];
}

struct Run {
    QTemporaryDir programFiles;
    CheckedPort port;
    FakePlatform platform;
    Program program{port, platform};
    VirtualClock clock;
    std::vector<Box> boxes;
    std::vector<Press> presses;
    std::vector<List> lists;

    explicit Run(QChar separator)
    {
        Form1& f = program.form;
        RouteEvents(program);
        port.program = &program;
        platform.separator = separator;
        platform.env[QStringLiteral("ProgramFiles")] = programFiles.path();
        platform.folderAnswer = programFiles.path() + QStringLiteral("/results");
        for (Timer* timer : f.timers())
            clock.watch(*timer);

        // Every text box: which are free to type into is asked at each step.
        for (TextBox* box : {&f.Text9[0], &f.Text9[1], &f.Text2[0], &f.Text2[1], &f.Text2[2], &f.Text1[0],
                             &f.Text1[1], &f.Text1[2], &f.Text4, &f.Text7, &f.Text3, &f.Text6, &f.Text5, &f.Text8,
                             &f.Text10})
            boxes.push_back({{box, nullptr}, box});
        boxes.push_back({{&f.Text11, &f.Frame7}, &f.Text11});
        boxes.push_back({{&f.Basis_Text1, &f.Basis_Frame1}, &f.Basis_Text1});

        for (CommandButton* button : {&f.Command1, &f.Command2, &f.Command3, &f.Command4, &f.Command5})
            presses.push_back({{button, nullptr}, [button] { button->click(); }});
        presses.push_back({{&f.Basis_Command1, &f.Basis_Frame1}, [&f] { f.Basis_Command1.click(); }});
        for (MenuItem* item : {&f.mnu_Exit, &f.mnu_Setting, &f.mnu_rus, &f.mnu_eng})
            presses.push_back({{item, nullptr}, [item] { item->click(); }});
        const auto toggle = [](CheckBox& box) { return [&box] { box.setValue(box.value() ? 0 : 1); }; };
        for (int i = 0; i < 8; ++i) {
            presses.push_back({{&f.Check1[i], &f.Frame7}, toggle(f.Check1[i])});
            presses.push_back({{&f.Check3[i], &f.Frame7}, toggle(f.Check3[i])});
        }
        presses.push_back({{&f.Check2, nullptr}, toggle(f.Check2)});
        for (OptionButton& option : f.Option1)
            presses.push_back({{&option, nullptr}, [&option] { option.setValue(true); }});

        for (ComboBox& list : f.Combo1)
            lists.push_back({{&list, nullptr}, &list});
        lists.push_back({{&f.Combo2, nullptr}, &f.Combo2});

        Form_Load(program);
    }

    void step(Reader& in)
    {
        switch (in.byte() % 7) {
        case 0:
            port.receive(in.bytes(in.byte() % 24));
            break;
        case 1:
            if (Box* b = choose(boxes, in.byte(), [](const Box& b) { return !b.box->locked(); }))
                b->box->setText(in.text());
            break;
        case 2:
            if (Press* p = choose(presses, in.byte(), [](const Press&) { return true; }))
                p->press();
            break;
        case 3:
            if (List* l = choose(lists, in.byte(), [](const List& l) { return !l.list->items().isEmpty(); }))
                l->list->pick(in.byte() % l->list->items().size());
            break;
        case 4:
            if (List* l = choose(lists, in.byte(), [](const List& l) { return l.list->editable(); }))
                l->list->setText(in.text());
            break;
        case 5: {
            const int low = in.byte();
            clock.advance(low | (in.byte() & 0x3F) << 8);  // up to 16 s
            break;
        }
        case 6:
            if (port.portOpen())
                port.lose();
            break;
        }
    }
};

// Enough frames to run every feature many times over; more would only slow the search.
constexpr int kMostWrites = 20000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    static constexpr char16_t kSeparators[] = {u'.', u',', u'\u066B'};
    Run run{QChar(kSeparators[in.byte() % 3])};
    while (!in.done() && run.port.writes < kMostWrites)
        run.step(in);
    return 0;
}
