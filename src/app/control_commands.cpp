#include "app/control_commands.h"

#include <QRegularExpression>
#include <algorithm>
#include <functional>
#include <optional>

#include "app/control_window.h"
#include "app/number_commands.h"
#include "app/traffic_decoding.h"
#include "app/traffic_panel.h"
#include "port/line_faults.h"
#include "program/program.h"

namespace dravilo {

namespace {

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
    const ControlWindow& w;
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
    throw CommandFailure{QStringLiteral("%1 is neither on nor off").arg(word)};
}

// The status bits the program sets itself, whose boxes no person can click.
struct DrivenBit {
    const char* flag;
    const char* meaning;
    const char* follows;
};
constexpr DrivenBit kDrivenBits[] = {{"S1 D1", "weight negative", "the weight"},
                                     {"S2 D1", "weight decimals", "the weight format"},
                                     {"S2 D0", "weight decimals", "the weight format"}};

// "flag s1 d3 on": sets the box of that bit as a person would.
void setFlag(const Call& c)
{
    static const QRegularExpression bitName(QStringLiteral("^[dD]([0-7])$"));
    const QRegularExpressionMatch m = bitName.match(c.a[1]);
    const QString byte = c.a[0].toUpper();
    if (!m.hasMatch() || (byte != QLatin1String("S1") && byte != QLatin1String("S2")))
        throw CommandFailure{QStringLiteral("a flag is s1 or s2 and d0 to d7")};
    const bool on = onOff(c.a[2]);
    if (!c.p.form.Frame7.visible())
        throw CommandFailure{QStringLiteral("S1 and S2 belong to ZELM-2; ZELM-1 is selected")};
    const int n = m.captured(1).toInt();
    const QString flag = QStringLiteral("%1 D%2").arg(byte).arg(n);
    for (const DrivenBit& driven : kDrivenBits)
        if (flag == QLatin1String(driven.flag))
            throw CommandFailure{QStringLiteral("%1 (%2) follows %3; it cannot be set by hand")
                                     .arg(flag, QLatin1String(driven.meaning), QLatin1String(driven.follows))};
    const QString panel = byte == QLatin1String("S1") ? QStringLiteral("Check1") : QStringLiteral("Check3");
    c.w.check(QStringLiteral("%1(%2)").arg(panel).arg(int(StatusBitNumbered(n))), on);
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
        throw CommandFailure{why};
    line.set(*parsed);
    return kOk;
}

// The last `count` events of the line, oldest first, joined by " | ".
QString trafficLines(const Program& p, const QString& count)
{
    bool ok = false;
    const int asked = count.isEmpty() ? 20 : count.toInt(&ok);
    if (!count.isEmpty() && (!ok || asked < 1 || std::size_t(asked) > Traffic::kKept))
        throw CommandFailure{QStringLiteral("traffic takes 1 to %1 lines").arg(Traffic::kKept)};
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

// Which of `choices` the word names; none is an error that lists them.
int choice(const QString& word, const QStringList& choices, const QString& what)
{
    const qsizetype index = choices.indexOf(word.toLower());
    if (index < 0)
        throw CommandFailure{QStringLiteral("no %1 %2 (%3)").arg(what, word, choices.join(QStringLiteral(", ")))};
    return int(index);
}

QString help(const QString& name);

const std::vector<Command>& commands()
{
    static const std::vector<Command> all{
        {"weight1", {0, true},
         "weight1 TEXT: types the set weight of Weight 1, ok when it is one number the weight format holds "
         "(rounding to the format's decimals aside)",
         [](const Call& c) { return TypeWeight(c.p, c.w, 0, c.a[0]), kOk; }},
        {"weight2", {0, true},
         "weight2 TEXT: types the set weight of Weight 2, ok when it is one number the weight format holds "
         "(rounding to the format's decimals aside)",
         [](const Call& c) { return TypeWeight(c.p, c.w, 1, c.a[0]), kOk; }},
        {"press", {1}, "press weight1|weight2|takeoff: presses Weight 1, Weight 2 or Take off",
         [](const Call& c) {
             static const QStringList buttons{"weight1", "weight2", "takeoff"};
             return c.w.click(QStringLiteral("Command%1").arg(choice(c.a[0], buttons, "button") + 1)), kOk;
         }},
        {"format", {1}, "format PATTERN: picks the weight format (000000, 00000.0, 0000.00, 000.000)",
         [](const Call& c) {
             const QStringList& formats = c.p.form.Combo2.items();
             return c.w.pick("Combo2", formats[choice(c.a[0], formats, "weight format")]), kOk;
         }},
        {"sway", {2},
         "sway AMPLITUDE COUNT: types both and presses Change, ok when both are numbers and COUNT a whole one of "
         "-32768..32767",
         [](const Call& c) { return TypeSway(c.p, c.w, c.a[0], c.a[1]), kOk; }},
        {"unstable", {1}, "unstable on|off: whether S1 D4 (weight unstable) follows the sway, set while the load "
         "swings and cleared once it has settled",
         [](const Call& c) { return c.w.check("Check4", onOff(c.a[0])), kOk; }},
        {"type", {1}, "type zelm1|zelm2: selects the terminal type",
         [](const Call& c) {
             static const QStringList types{"zelm1", "zelm2"};
             return c.w.click(choice(c.a[0], types, "terminal type") == 0 ? "Option1(1)" : "Option1(0)"), kOk;
         }},
        {"price", {0, true}, "price TEXT: types the price of ZELM-2, ok when it is one number",
         [](const Call& c) { return TypePrice(c.p, c.w, c.a[0]), kOk; }},
        {"flag", {3},
         "flag s1|s2 d0..d7 on|off: sets or clears a status bit of ZELM-2 (not S1 D1, S2 D1 or S2 D0, which follow "
         "the weight and its format)",
         [](const Call& c) { return setFlag(c), kOk; }},
        {"status", {0}, "status: S1 and S2 as the window shows them",
         [](const Call& c) { return c.w.get("Label27") + u' ' + c.w.get("Label28"); }},
        {"period", {1}, "period MS: types the send period and presses Change, ok when MS is a whole number of 1..32767",
         [](const Call& c) { return TypeSendPeriod(c.p, c.w, c.a[0]), kOk; }},
        {"port", {5},
         "port NUMBER RATE PARITY DATA STOP: types the five port fields and picks, answers once the port is "
         "re-configured",
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
             throw CommandFailure{QStringLiteral("none of the five is an item of its list, so nothing is picked and "
                                                 "the port stays as it is")};
         }},
        {"sleep", {1},
         "sleep MS: answers after MS ms, the terminal going on meanwhile and this client's next lines waiting",
         [](const Call& c) -> std::optional<QString> {
             bool ok = false;
             const int ms = c.a[0].toInt(&ok);
             if (!ok || ms < 0)
                 throw CommandFailure{QStringLiteral("%1 is no whole number of ms from 0 up").arg(c.a[0])};
             c.p.waits.add(ms, [later = c.later] { later(kOk); });
             return std::nullopt;
         }},
        {"cycles", {2},
         "cycles max N, cycles period S: types the weighing cycles' maximum count (2..100000) or period in seconds "
         "(1..100000), ok when it is that whole number",
         [](const Call& c) {
             static const QStringList fields{"max", "period"};
             if (choice(c.a[0], fields, "cycles setting") == 0)
                 return TypeCycleMaximum(c.p, c.w, c.a[1]), kOk;
             return TypeCyclePeriod(c.p, c.w, c.a[1]), kOk;
         }},
        {"cycles", {1}, "cycles on|off: switches the weighing cycles on or off",
         [](const Call& c) { return c.w.check("Check2", onOff(c.a[0])), kOk; }},
        {"display", {0}, "display: the weight, price and cost fields",
         [](const Call& c) { return c.w.get("Text5") + u' ' + c.w.get("Text8") + u' ' + c.w.get("Text10"); }},
        {"frame", {0}, "frame: the last frame or reply as HEX", [](const Call& c) { return c.w.get("Text6").trimmed(); }},
        {"indicators", {0}, "indicators: the colours of the port, the three weight rows and the send lamp",
         [](const Call& c) {
             return QStringLiteral("port=%1 weight1=%2 weight2=%3 takeoff=%4 lamp=%5")
                 .arg(c.w.get("Shape1"), c.w.get("Shape2(0)"), c.w.get("Shape2(1)"), c.w.get("Shape2(2)"),
                      c.w.get("Shape3"));
         }},
        {"language", {0}, "language: eng, rus, or the stored number of another",
         [](const Call& c) { return languageName(c.p.settings.intLanguage); }},
        {"language", {1}, "language rus|eng: switches the language, as its menu does",
         [](const Call& c) {
             static const QStringList languages{"rus", "eng"};
             return c.w.click(choice(c.a[0], languages, "language") == 0 ? "mnu_rus" : "mnu_eng"), kOk;
         }},
        {"fault", {0, true},
         "fault drop|corrupt|cut|noise next N|rate P, fault delay MS next N|rate P, fault off, fault: "
         "faults of the replies leaving the port",
         [](const Call& c) { return fault(c.line, c.a[0]); }},
        {"traffic", {0, true},
         "traffic [N]: the line's last N events (20 unless told, 1 to 10000), oldest first, joined by \" | \"",
         [](const Call& c) { return trafficLines(c.p, c.a[0]); }},
        {"send", {0, true},
         QStringLiteral("send HEX: writes the bytes, two HEX digits each (0A, 00 09 0D 0A; at most %1), to the "
                        "host as the terminal, recorded as sent by hand")
             .arg(kMostBytesByHand),
         [](const Call& c) {
             const QString failure = SendHexByHand(c.p, c.a[0], 0);
             if (!failure.isEmpty())
                 throw CommandFailure{failure};
             return kOk;
         }},
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
        {"help", {0, true}, "help [NAME]: the names of the commands, or one command's usage and meaning",
         [](const Call& c) { return help(c.a[0]); }},
    };
    return all;
}

// The usages of the commands of that name.
QStringList usagesOf(const QString& name)
{
    QStringList usages;
    for (const Command& command : commands())
        if (command.name == name.toLower())
            usages << command.usage;
    return usages;
}

QString help(const QString& name)
{
    if (name.isEmpty()) {
        QStringList names;
        for (const Command& command : commands())
            if (!names.contains(command.name))
                names << command.name;
        return QStringLiteral("commands: %1 (help NAME tells one's usage and meaning)").arg(names.join(u' '));
    }
    const QStringList usages = usagesOf(name);
    if (usages.isEmpty())
        throw CommandFailure{QStringLiteral("no command %1; help lists them").arg(name)};
    return usages.join(QStringLiteral("; "));
}

// The command of that name that takes so many words.
const Command& commandFor(const QStringList& words)
{
    const QString name = words[0].toLower();
    const qsizetype given = words.size() - 1;
    for (const Command& command : commands()) {
        const Arguments& a = command.arguments;
        if (command.name == name && (given == a.words || (a.rest && given > a.words)))
            return command;
    }
    const QStringList usages = usagesOf(name);
    if (usages.isEmpty())
        throw CommandFailure{QStringLiteral("unknown command %1").arg(words[0])};
    throw CommandFailure{QStringLiteral("usage: %1").arg(usages.join(QStringLiteral("; ")))};
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

std::optional<QString> runCommand(Program& p, LineFaults& line, const QStringList& words, const QString& trimmed,
                                  const ControlAnswer& later)
{
    const ControlWindow window(p.form);
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
    } catch (const CommandFailure& failure) {
        now = QStringLiteral("error: ") + failure.why;
    }
    if (!now)
        return;  // answered later
    // What the command changed stands, but a save it made did not happen.
    if (p.failedSaves != failedSaves)
        now = QStringLiteral("error: the settings were not saved: ") + p.lastSaveFailure;
    answer(oneLine(*now));
}

}  // namespace dravilo
