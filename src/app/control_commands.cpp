#include "app/control_commands.h"

#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "base/form1_names.h"
#include "port/line_faults.h"
#include "program/program.h"

namespace dravilo {

namespace {

struct Failure {
    QString why;
};

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

QString colourName(Colour c)
{
    if (c == kGreen)
        return QStringLiteral("green");
    if (c == kRed)
        return QStringLiteral("red");
    return QStringLiteral("dark");
}

// The control a person could reach by this name: there, shown and enabled.
class Window {
public:
    explicit Window(Form1& f) : all_(ControlsByName(f)) {}

    AnyControl find(const QString& name) const
    {
        for (const NamedControl& c : all_)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return c.control;
        throw Failure{QStringLiteral("no control named %1").arg(name)};
    }
    // Throws unless a person could act on it now.
    template <class T>
    T* reach(const QString& name) const
    {
        for (const NamedControl& c : all_) {
            if (c.name.compare(name, Qt::CaseInsensitive) != 0)
                continue;
            T* const* control = std::get_if<T*>(&c.control);
            if (!control)
                throw Failure{QStringLiteral("%1 cannot be used that way").arg(c.name)};
            const Control& self = **control;
            if (!self.visible() || (c.container && !c.container->visible()))
                throw Failure{QStringLiteral("%1 is not shown now").arg(c.name)};
            if (!self.enabled())
                throw Failure{QStringLiteral("%1 is not enabled").arg(c.name)};
            return *control;
        }
        throw Failure{QStringLiteral("no control named %1").arg(name)};
    }

    QString get(const QString& name) const
    {
        return std::visit(Overloaded{
                              [](TextBox* t) { return t->text(); },
                              [](ComboBox* c) { return c->text(); },
                              [](CheckBox* c) { return QString::number(c->value()); },
                              [](OptionButton* o) { return QString::number(o->value() ? 1 : 0); },
                              [](Shape* s) { return colourName(s->fillColour()); },
                              [](auto* captioned) { return captioned->caption(); },
                          },
                          find(name));
    }
    void type(const QString& name, const QString& text) const
    {
        const AnyControl control = find(name);
        if (std::holds_alternative<ComboBox*>(control)) {
            ComboBox* list = reach<ComboBox>(name);
            if (!list->editable())
                throw Failure{QStringLiteral("%1 takes no typing, only a pick").arg(name)};
            list->setText(text);
            return;
        }
        TextBox* box = reach<TextBox>(name);
        if (box->locked())
            throw Failure{QStringLiteral("%1 is read-only").arg(name)};
        box->setText(text);
    }
    void click(const QString& name) const
    {
        std::visit(Overloaded{
                       [&](CommandButton*) { reach<CommandButton>(name)->click(); },
                       [&](MenuItem*) { reach<MenuItem>(name)->click(); },
                       [&](CheckBox*) {
                           CheckBox* box = reach<CheckBox>(name);
                           box->setValue(box->value() == 1 ? 0 : 1);
                       },
                       [&](OptionButton*) { reach<OptionButton>(name)->setValue(true); },
                       [&](auto*) { throw Failure{QStringLiteral("%1 cannot be clicked").arg(name)}; },
                   },
                   find(name));
    }
    void check(const QString& name, bool on) const
    {
        CheckBox* box = reach<CheckBox>(name);
        box->setValue(on ? 1 : 0);
    }
    void pick(const QString& name, const QString& item) const
    {
        ComboBox* list = reach<ComboBox>(name);
        const qsizetype index = list->items().indexOf(item);
        if (index < 0)
            throw Failure{QStringLiteral("%1 has no item %2").arg(name, item)};
        list->pick(int(index));
    }

private:
    std::vector<NamedControl> all_;
};

// An answer is one line: control characters (a frame's CR LF, its digit
// bytes) are written as \xHH, and a backslash as two.
QString oneLine(const QString& answer)
{
    QString line;
    line.reserve(answer.size());
    for (const QChar c : answer) {
        if (c == u'\\')
            line += QStringLiteral("\\\\");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
        else
            line += c;
    }
    return line;
}

// The words after a command's name: a fixed number of them, and with `rest`
// one more, the rest of the line with its blanks (possibly empty).
struct Arguments {
    int words = 0;
    bool rest = false;
};

struct Call {
    Program& p;
    LineFaults& line;
    const Window& w;
    const QStringList& a;
    const ControlAnswer& later;  // for a command that answers later
};

struct Command {
    QString name;
    Arguments arguments;
    QString usage;
    // The answer; nothing when `later` will be given it.
    std::function<std::optional<QString>(const Call&)> run;
};

const QString kOk = QStringLiteral("ok");
// An answer line of "traffic" at most: a client that asks for every event
// must not stall the others while it is built, nor cost memory without end.
constexpr qsizetype kLongestTrafficAnswer = 1000000;

bool onOff(const QString& word)
{
    if (word.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0 || word == QLatin1String("1"))
        return true;
    if (word.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0 || word == QLatin1String("0"))
        return false;
    throw Failure{QStringLiteral("%1 is neither on nor off").arg(word)};
}

// "s1 d3" or "S2 D0": the box of that bit.
QString flagBox(const QString& byte, const QString& bit)
{
    static const QRegularExpression bitName(QStringLiteral("^[dD]([0-7])$"));
    const QRegularExpressionMatch m = bitName.match(bit);
    const QString panel = byte.toLower();
    if (!m.hasMatch() || (panel != QLatin1String("s1") && panel != QLatin1String("s2")))
        throw Failure{QStringLiteral("a flag is s1 or s2 and d0 to d7")};
    return QStringLiteral("%1(%2)")
        .arg(panel == QLatin1String("s1") ? "Check1" : "Check3")
        .arg(int(StatusBitNumbered(m.captured(1).toInt())));
}

QString fault(LineFaults& line, const QString& text)
{
    const QStringList words = text.toLower().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return line.describe();
    if (words == QStringList{QStringLiteral("off")})
        return line.clear(), kOk;
    QString why;
    const std::optional<Fault> parsed = ParseFault(words, why);
    if (!parsed)
        throw Failure{why};
    line.set(*parsed);
    return kOk;
}

// The last `count` events of the line, oldest first, joined by " | ".
QString trafficLines(const Program& p, const QString& count)
{
    bool ok = false;
    const int asked = count.isEmpty() ? 20 : count.toInt(&ok);
    if (!count.isEmpty() && (!ok || asked < 1))
        throw Failure{QStringLiteral("%1 is no whole number above 0").arg(count)};
    // The newest that fit in an answer of a bounded size, oldest first.
    const std::deque<TrafficEvent>& events = p.traffic.events();
    const qsizetype wanted = qsizetype(std::min<std::size_t>(std::size_t(asked), events.size()));
    QStringList lines;
    qsizetype length = 0;
    for (auto e = events.rbegin(); e != events.rbegin() + wanted; ++e) {
        QString line = TrafficLine(*e);
        length += line.size() + 3;
        if (length > kLongestTrafficAnswer) {
            lines << QStringLiteral("(the %1 older events asked for are left out: an answer is kept under %2 "
                                    "characters)")
                         .arg(wanted - lines.size())
                         .arg(kLongestTrafficAnswer);
            break;
        }
        lines << line;
    }
    std::reverse(lines.begin(), lines.end());
    return lines.join(QStringLiteral(" | "));
}

QString languageName(std::int16_t language)
{
    return language == 0 ? QStringLiteral("eng") : language == 1 ? QStringLiteral("rus") : QString::number(language);
}

const std::vector<Command>& commands()
{
    static const std::vector<Command> all{
        {"weight1", {0, true}, "weight1 TEXT: types the set weight of row 1",
         [](const Call& c) { return c.w.type("Text9(0)", c.a[0]), kOk; }},
        {"weight2", {0, true}, "weight2 TEXT: types the set weight of row 2",
         [](const Call& c) { return c.w.type("Text9(1)", c.a[0]), kOk; }},
        {"press", {1}, "press weight1|weight2|takeoff: presses Weight 1, Weight 2 or Take off",
         [](const Call& c) {
             static const std::map<QString, QString> buttons{
                 {"weight1", "Command1"}, {"weight2", "Command2"}, {"takeoff", "Command3"}};
             const auto b = buttons.find(c.a[0].toLower());
             if (b == buttons.end())
                 throw Failure{QStringLiteral("press weight1, weight2 or takeoff")};
             return c.w.click(b->second), kOk;
         }},
        {"format", {1}, "format PATTERN: picks the weight format (000000, 00000.0, 0000.00, 000.000)",
         [](const Call& c) { return c.w.pick("Combo2", c.a[0]), kOk; }},
        {"sway", {2}, "sway AMPLITUDE COUNT: types both and presses Change",
         [](const Call& c) {
             c.w.type("Text1(1)", c.a[0]);
             c.w.type("Text1(2)", c.a[1]);
             return c.w.click("Command5"), kOk;
         }},
        {"type", {1}, "type zelm1|zelm2: selects the terminal type",
         [](const Call& c) {
             const QString t = c.a[0].toLower();
             if (t != QLatin1String("zelm1") && t != QLatin1String("zelm2"))
                 throw Failure{QStringLiteral("type zelm1 or zelm2")};
             return c.w.click(t == QLatin1String("zelm1") ? "Option1(1)" : "Option1(0)"), kOk;
         }},
        {"price", {0, true}, "price TEXT: types the price", [](const Call& c) { return c.w.type("Text11", c.a[0]), kOk; }},
        {"flag", {3}, "flag s1|s2 d0..d7 on|off: sets or clears a status bit",
         [](const Call& c) { return c.w.check(flagBox(c.a[0], c.a[1]), onOff(c.a[2])), kOk; }},
        {"status", {0}, "status: S1 and S2 as the window shows them",
         [](const Call& c) { return c.w.get("Label27") + u' ' + c.w.get("Label28"); }},
        {"period", {1}, "period MS: types the send period and presses Change",
         [](const Call& c) {
             c.w.type("Text1(0)", c.a[0]);
             return c.w.click("Command4"), kOk;
         }},
        {"port", {5}, "port NUMBER RATE PARITY DATA STOP: types the five port fields and picks",
         [](const Call& c) -> std::optional<QString> {
             for (int i = 0; i < 5; ++i)
                 c.w.type(QStringLiteral("Combo1(%1)").arg(i), c.a[i]);
             // A person picks the item a list already shows, keeping every typed text.
             for (int i = 0; i < 5; ++i) {
                 if (!c.p.form.Combo1[i].items().contains(c.a[i]))
                     continue;
                 c.w.pick(QStringLiteral("Combo1(%1)").arg(i), c.a[i]);
                 // The outcome comes with the re-configuration 100 ms later.
                 c.p.afterReconfiguration.push_back([later = c.later](const QString& failure) {
                     later(failure.isEmpty() ? kOk : oneLine(QStringLiteral("error: ") + failure));
                 });
                 return std::nullopt;
             }
             throw Failure{QStringLiteral("no field is an item of its list, so nothing can be picked")};
         }},
        {"sleep", {1}, "sleep MS: answers after MS ms; the terminal goes on meanwhile, this client's next lines wait",
         [](const Call& c) -> std::optional<QString> {
             bool ok = false;
             const int ms = c.a[0].toInt(&ok);
             if (!ok || ms < 0)
                 throw Failure{QStringLiteral("%1 is no whole number of ms from 0 up").arg(c.a[0])};
             c.p.waits.add(ms, [later = c.later] { later(kOk); });
             return std::nullopt;
         }},
        {"cycles", {2}, "cycles max N | cycles period S: types the weighing cycles' maximum or period",
         [](const Call& c) {
             const QString what = c.a[0].toLower();
             if (what == QLatin1String("max"))
                 return c.w.type("Text4", c.a[1]), kOk;
             if (what == QLatin1String("period"))
                 return c.w.type("Text7", c.a[1]), kOk;
             throw Failure{QStringLiteral("cycles max N, cycles period S or cycles on|off")};
         }},
        {"cycles", {1}, "cycles on|off: switches the weighing cycles",
         [](const Call& c) { return c.w.check("Check2", onOff(c.a[0])), kOk; }},
        {"display", {0}, "display: the weight, price and cost fields",
         [](const Call& c) { return c.w.get("Text5") + u' ' + c.w.get("Text8") + u' ' + c.w.get("Text10"); }},
        {"frame", {0}, "frame: the last frame or reply as HEX", [](const Call& c) { return c.w.get("Text6").trimmed(); }},
        {"indicators", {0}, "indicators: port, the three weight rows and the send lamp",
         [](const Call& c) {
             return QStringLiteral("port=%1 weight1=%2 weight2=%3 takeoff=%4 lamp=%5")
                 .arg(c.w.get("Shape1"), c.w.get("Shape2(0)"), c.w.get("Shape2(1)"), c.w.get("Shape2(2)"),
                      c.w.get("Shape3"));
         }},
        {"language", {0}, "language: eng, rus, or the stored number of another",
         [](const Call& c) { return languageName(c.p.settings.intLanguage); }},
        {"language", {1}, "language rus|eng: the language menu",
         [](const Call& c) {
             const QString l = c.a[0].toLower();
             if (l != QLatin1String("rus") && l != QLatin1String("eng"))
                 throw Failure{QStringLiteral("language rus or eng")};
             return c.w.click(l == QLatin1String("rus") ? "mnu_rus" : "mnu_eng"), kOk;
         }},
        {"fault", {0, true},
         "fault drop|corrupt|cut|noise next N|rate P, fault delay MS next N|rate P, fault off, fault: "
         "faults of the replies leaving the port",
         [](const Call& c) { return fault(c.line, c.a[0]); }},
        {"traffic", {0, true},
         "traffic [N]: the line's last N events (20 unless told, up to 10000), oldest first, joined by \" | \"",
         [](const Call& c) { return trafficLines(c.p, c.a[0]); }},
        {"get", {1}, "get NAME: the text, value, caption or colour of a control by its designer name",
         [](const Call& c) { return c.w.get(c.a[0]); }},
        {"set", {1, true}, "set NAME TEXT: types into a text box or an editable list",
         [](const Call& c) { return c.w.type(c.a[0], c.a[1]), kOk; }},
        {"click", {1}, "click NAME: clicks a button, menu item, check box or option button",
         [](const Call& c) { return c.w.click(c.a[0]), kOk; }},
        {"check", {2}, "check NAME on|off: sets a check box",
         [](const Call& c) { return c.w.check(c.a[0], onOff(c.a[1])), kOk; }},
        {"pick", {1, true}, "pick NAME ITEM: picks an item of a list",
         [](const Call& c) { return c.w.pick(c.a[0], c.a[1]), kOk; }},
        {"help", {0}, "help: this list", [](const Call&) { return ControlCommandHelp(); }},
    };
    return all;
}

// The command of that name that takes so many words.
const Command& commandFor(const QStringList& words)
{
    const QString name = words[0].toLower();
    const qsizetype given = words.size() - 1;
    QStringList usages;
    for (const Command& command : commands()) {
        if (command.name != name)
            continue;
        const Arguments& a = command.arguments;
        if (given == a.words || (a.rest && given > a.words))
            return command;
        usages << command.usage;
    }
    if (usages.isEmpty())
        throw Failure{QStringLiteral("unknown command %1").arg(words[0])};
    throw Failure{QStringLiteral("usage: %1").arg(usages.join(QStringLiteral("; ")))};
}

// The words a command takes; with `rest`, the rest of the line after them.
QStringList argumentsOf(const Command& command, const QStringList& words, const QString& line)
{
    const Arguments& a = command.arguments;
    if (!a.rest)
        return words.mid(1);
    qsizetype at = 0;
    for (int i = 0; i <= a.words; ++i)
        at = line.indexOf(words[i], at) + words[i].size();
    return words.mid(1, a.words) << line.mid(at).trimmed();
}

}  // namespace

namespace {

std::optional<QString> runCommand(Program& p, LineFaults& line, const QStringList& words, const QString& trimmed,
                                  const ControlAnswer& later)
{
    const Window window(p.form);
    const Command& command = commandFor(words);
    return command.run({p, line, window, argumentsOf(command, words, trimmed), later});
}

}  // namespace

void RunControlCommand(Program& p, LineFaults& line, const QString& text, const ControlAnswer& answer)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = trimmed.split(blanks, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return answer(QStringLiteral("error: empty command"));
    // What it would change could no longer be saved, nor would anybody see it.
    if (p.ending)
        return answer(QStringLiteral("error: the emulator is ending; nothing more is run"));
    const int failedSaves = p.failedSaves;
    std::optional<QString> now;
    try {
        now = runCommand(p, line, words, trimmed, answer);
    } catch (const Failure& failure) {
        now = QStringLiteral("error: ") + failure.why;
    }
    if (!now)
        return;  // answered later
    // What the command changed stands, but a save it made did not happen.
    if (p.failedSaves != failedSaves)
        now = QStringLiteral("error: the settings were not saved: ") + p.lastSaveFailure;
    answer(oneLine(*now));
}

QString ControlCommandHelp()
{
    QStringList lines;
    for (const Command& command : commands())
        lines << command.usage;
    return lines.join(QStringLiteral("; "));
}

}  // namespace dravilo
