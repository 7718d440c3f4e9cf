#include "app/control_commands.h"

#include <QRegularExpression>
#include <functional>
#include <map>

#include "app/program.h"
#include "ui/form1_names.h"

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

struct Command {
    int arguments;  // -1: the rest of the line is one text
    QString usage;
    std::function<QString(Program&, const Window&, const QStringList&)> run;
    bool answersAfterReconfiguration = false;  // the outcome comes with Timer2's tick
};

const QString kOk = QStringLiteral("ok");

bool onOff(const QString& word)
{
    if (word.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0 || word == QLatin1String("1"))
        return true;
    if (word.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0 || word == QLatin1String("0"))
        return false;
    throw Failure{QStringLiteral("%1 is neither on nor off").arg(word)};
}

// "s1 d3" or "S2 D0": the box of that bit; element i of a panel is bit 7 - i.
QString flagBox(const QString& byte, const QString& bit)
{
    static const QRegularExpression bitName(QStringLiteral("^[dD]([0-7])$"));
    const QRegularExpressionMatch m = bitName.match(bit);
    const QString panel = byte.toLower();
    if (!m.hasMatch() || (panel != QLatin1String("s1") && panel != QLatin1String("s2")))
        throw Failure{QStringLiteral("a flag is s1 or s2 and d0 to d7")};
    return QStringLiteral("%1(%2)").arg(panel == QLatin1String("s1") ? "Check1" : "Check3").arg(7 - m.captured(1).toInt());
}

int positive(const QString& word)
{
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < 1)
        throw Failure{QStringLiteral("%1 is no whole number above 0").arg(word)};
    return n;
}

// "next 3", "rate 0.25" or "rate 25%".
void takeReach(Fault& fault, const QStringList& words)
{
    if (words.size() != 2)
        throw Failure{QStringLiteral("say for how many replies: next N or rate P")};
    if (words[0] == QLatin1String("next")) {
        fault.count = positive(words[1]);
        return;
    }
    if (words[0] == QLatin1String("rate")) {
        QString share = words[1];
        const bool percent = share.endsWith(u'%');
        if (percent)
            share.chop(1);
        bool ok = false;
        fault.rate = share.toDouble(&ok) / (percent ? 100 : 1);
        if (ok && fault.rate > 0 && fault.rate <= 1)
            return;
    }
    throw Failure{QStringLiteral("next N, or rate P from 0 to 1 (or 0% to 100%)")};
}

QString lineFault(LineFaults& line, const QString& text)
{
    const QStringList words = text.toLower().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return line.describe();
    if (words == QStringList{QStringLiteral("off")})
        return line.clear(), kOk;
    static const std::map<QString, FaultKind> kinds{{"drop", FaultKind::Drop},   {"delay", FaultKind::Delay},
                                                    {"corrupt", FaultKind::Corrupt}, {"cut", FaultKind::Cut},
                                                    {"noise", FaultKind::Noise}};
    const auto kind = kinds.find(words[0]);
    if (kind == kinds.end())
        throw Failure{QStringLiteral("a fault is drop, delay, corrupt, cut, noise or off")};
    Fault fault;
    fault.kind = kind->second;
    qsizetype reach = 1;
    if (fault.kind == FaultKind::Delay) {
        if (words.size() < 2)
            throw Failure{QStringLiteral("fault delay MS next N|rate P")};
        fault.delayMs = positive(words[1]);
        reach = 2;
    }
    takeReach(fault, words.mid(reach));
    line.set(fault);
    return kOk;
}

const std::map<QString, Command>& commands()
{
    using Args = const QStringList&;
    static const std::map<QString, Command> all{
        {"weight1", {-1, "weight1 TEXT: types the set weight of row 1",
                     [](Program&, const Window& w, Args a) { return w.type("Text9(0)", a[0]), kOk; }}},
        {"weight2", {-1, "weight2 TEXT: types the set weight of row 2",
                     [](Program&, const Window& w, Args a) { return w.type("Text9(1)", a[0]), kOk; }}},
        {"press", {1, "press weight1|weight2|takeoff: presses Weight 1, Weight 2 or Take off",
                   [](Program&, const Window& w, Args a) {
                       static const std::map<QString, QString> buttons{
                           {"weight1", "Command1"}, {"weight2", "Command2"}, {"takeoff", "Command3"}};
                       const auto b = buttons.find(a[0].toLower());
                       if (b == buttons.end())
                           throw Failure{QStringLiteral("press weight1, weight2 or takeoff")};
                       return w.click(b->second), kOk;
                   }}},
        {"format", {1, "format PATTERN: picks the weight format (000000, 00000.0, 0000.00, 000.000)",
                    [](Program&, const Window& w, Args a) { return w.pick("Combo2", a[0]), kOk; }}},
        {"sway", {2, "sway AMPLITUDE COUNT: types both and presses Change",
                  [](Program&, const Window& w, Args a) {
                      w.type("Text1(1)", a[0]);
                      w.type("Text1(2)", a[1]);
                      return w.click("Command5"), kOk;
                  }}},
        {"type", {1, "type zelm1|zelm2: selects the terminal type",
                  [](Program&, const Window& w, Args a) {
                      const QString t = a[0].toLower();
                      if (t != QLatin1String("zelm1") && t != QLatin1String("zelm2"))
                          throw Failure{QStringLiteral("type zelm1 or zelm2")};
                      return w.click(t == QLatin1String("zelm1") ? "Option1(1)" : "Option1(0)"), kOk;
                  }}},
        {"price", {-1, "price TEXT: types the price",
                   [](Program&, const Window& w, Args a) { return w.type("Text11", a[0]), kOk; }}},
        {"flag", {3, "flag s1|s2 d0..d7 on|off: sets or clears a status bit",
                  [](Program&, const Window& w, Args a) { return w.check(flagBox(a[0], a[1]), onOff(a[2])), kOk; }}},
        {"status", {0, "status: S1 and S2 as the window shows them",
                    [](Program&, const Window& w, Args) { return w.get("Label27") + u' ' + w.get("Label28"); }}},
        {"period", {1, "period MS: types the send period and presses Change",
                    [](Program&, const Window& w, Args a) {
                        w.type("Text1(0)", a[0]);
                        return w.click("Command4"), kOk;
                    }}},
        {"port", {5, "port NUMBER RATE PARITY DATA STOP: types the five port fields and picks",
                  [](Program& p, const Window& w, Args a) {
                      for (int i = 0; i < 5; ++i)
                          w.type(QStringLiteral("Combo1(%1)").arg(i), a[i]);
                      // A person picks the item a list already shows, keeping every typed text.
                      for (int i = 0; i < 5; ++i)
                          if (p.form.Combo1[i].items().contains(a[i]))
                              return w.pick(QStringLiteral("Combo1(%1)").arg(i), a[i]), kOk;
                      throw Failure{QStringLiteral("no field is an item of its list, so nothing can be picked")};
                  },
                  true}},
        {"cycles", {2, "cycles max N | cycles period S | cycles on|off: the weighing cycles",
                    [](Program&, const Window& w, Args a) {
                        const QString what = a[0].toLower();
                        if (what == QLatin1String("max"))
                            return w.type("Text4", a[1]), kOk;
                        if (what == QLatin1String("period"))
                            return w.type("Text7", a[1]), kOk;
                        throw Failure{QStringLiteral("cycles max N, cycles period S or cycles on|off")};
                    }}},
        {"display", {0, "display: the weight, price and cost fields",
                     [](Program&, const Window& w, Args) {
                         return w.get("Text5") + u' ' + w.get("Text8") + u' ' + w.get("Text10");
                     }}},
        {"frame", {0, "frame: the last frame or reply as HEX",
                   [](Program&, const Window& w, Args) { return w.get("Text6").trimmed(); }}},
        {"indicators", {0, "indicators: port, the three weight rows and the send lamp",
                        [](Program&, const Window& w, Args) {
                            return QStringLiteral("port=%1 weight1=%2 weight2=%3 takeoff=%4 lamp=%5")
                                .arg(w.get("Shape1"), w.get("Shape2(0)"), w.get("Shape2(1)"), w.get("Shape2(2)"),
                                     w.get("Shape3"));
                        }}},
        {"language", {0, "language: eng, rus, or the stored number of another",
                      [](Program& p, const Window&, Args) {
                          const std::int16_t l = p.settings.intLanguage;
                          return l == 0 ? QStringLiteral("eng") : l == 1 ? QStringLiteral("rus") : QString::number(l);
                      }}},
        {"fault", {-1, "fault drop|corrupt|cut|noise next N|rate P, fault delay MS next N|rate P, fault off, fault: "
                       "faults of the replies leaving the port",
                   [](Program& p, const Window&, Args a) { return lineFault(p.line, a[0]); }}},
        {"get", {1, "get NAME: the text, value, caption or colour of a control by its designer name",
                 [](Program&, const Window& w, Args a) { return w.get(a[0]); }}},
        {"set", {-2, "set NAME TEXT: types into a text box or an editable list",
                 [](Program&, const Window& w, Args a) { return w.type(a[0], a[1]), kOk; }}},
        {"click", {1, "click NAME: clicks a button, menu item, check box or option button",
                   [](Program&, const Window& w, Args a) { return w.click(a[0]), kOk; }}},
        {"check", {2, "check NAME on|off: sets a check box",
                   [](Program&, const Window& w, Args a) { return w.check(a[0], onOff(a[1])), kOk; }}},
        {"pick", {-2, "pick NAME ITEM: picks an item of a list",
                  [](Program&, const Window& w, Args a) { return w.pick(a[0], a[1]), kOk; }}},
    };
    return all;
}

// "cycles on" and "language rus" read like the other commands but act differently.
std::optional<QString> shorthand(const Window& w, const QStringList& words)
{
    if (words.size() == 2 && words[0].toLower() == QLatin1String("cycles"))
        if (const QString v = words[1].toLower(); v == QLatin1String("on") || v == QLatin1String("off"))
            return w.check("Check2", v == QLatin1String("on")), kOk;
    if (words.size() == 2 && words[0].toLower() == QLatin1String("language")) {
        const QString l = words[1].toLower();
        if (l != QLatin1String("rus") && l != QLatin1String("eng"))
            throw Failure{QStringLiteral("language rus or eng")};
        return w.click(l == QLatin1String("rus") ? "mnu_rus" : "mnu_eng"), kOk;
    }
    return std::nullopt;
}

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

}  // namespace

namespace {

QString runCommand(Program& p, const QStringList& words, const QString& trimmed, const ControlAnswer& later,
                   bool& deferred)
{
    const Window window(p.form);
    if (const std::optional<QString> answer = shorthand(window, words))
        return *answer;
    const QString name = words[0].toLower();
    if (name == QLatin1String("help"))
        return ControlCommandHelp();
    const auto found = commands().find(name);
    if (found == commands().end())
        throw Failure{QStringLiteral("unknown command %1").arg(words[0])};
    const Command& command = found->second;
    QStringList arguments;
    if (command.arguments >= 0) {
        if (words.size() - 1 != command.arguments)
            throw Failure{QStringLiteral("usage: %1").arg(command.usage)};
        arguments = words.mid(1);
    } else {
        // The last argument is the rest of the line, blanks and all.
        const int fixed = -command.arguments - 1;
        if (words.size() < fixed + 1)
            throw Failure{QStringLiteral("usage: %1").arg(command.usage)};
        arguments = words.mid(1, fixed);
        qsizetype at = 0;
        for (int i = 0; i <= fixed; ++i)
            at = trimmed.indexOf(words[i], at) + words[i].size();
        arguments << trimmed.mid(at).trimmed();
    }
    const QString answer = command.run(p, window, arguments);
    if (command.answersAfterReconfiguration) {
        deferred = true;
        p.afterReconfiguration.push_back([later](const QString& failure) {
            later(failure.isEmpty() ? kOk : oneLine(QStringLiteral("error: ") + failure));
        });
    }
    return answer;
}

}  // namespace

void RunControlCommand(Program& p, const QString& line, const ControlAnswer& answer)
{
    const QString trimmed = line.trimmed();
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = trimmed.split(blanks, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return answer(QStringLiteral("error: empty command"));
    const int failedSaves = p.failedSaves;
    bool deferred = false;
    QString now;
    try {
        now = oneLine(runCommand(p, words, trimmed, answer, deferred));
    } catch (const Failure& failure) {
        now = oneLine(QStringLiteral("error: ") + failure.why);
    }
    // What the command changed stands, but a save it made did not happen.
    if (p.failedSaves != failedSaves)
        now = oneLine(QStringLiteral("error: the settings were not saved: ") + p.lastSaveFailure);
    if (!deferred)
        answer(now);
}

QString ControlCommandHelp()
{
    QStringList lines;
    for (const auto& [name, command] : commands())
        lines << command.usage;
    lines << QStringLiteral("language rus|eng: the language menu");
    return lines.join(QStringLiteral("; "));
}

}  // namespace dravilo
