// The README's protocol examples, row by row, against the program: what it
// tells a host programmer about the bytes is what the terminal sends.

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "app/control_commands.h"
#include "test_program.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

struct Example {
    QStringList commands;
    QString hostSends;  // HEX, or "one period"
    QString terminalSends;
};

// The rows of the table under the examples' heading.
std::vector<Example> readmeExamples()
{
    QFile readme(QStringLiteral(README_PATH));
    if (!readme.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype at = text.indexOf(QStringLiteral("### Examples, each run by the tests"));
    std::vector<Example> examples;
    bool inTable = false;
    for (const QString& line : text.mid(at).split(u'\n').mid(1)) {
        if (line.startsWith(QStringLiteral("##")))
            break;
        if (!line.startsWith(u'|')) {
            if (inTable)
                break;
            continue;
        }
        inTable = true;
        QStringList cells = line.split(u'|');
        if (cells.size() != 5 || cells[1].contains(QStringLiteral("control commands")) || cells[1].startsWith(u'-'))
            continue;
        for (QString& cell : cells)
            cell = cell.trimmed().remove(u'`');
        examples.push_back({cells[1].split(u';', Qt::SkipEmptyParts), cells[2], cells[3]});
    }
    return examples;
}

QByteArray fromHex(const QString& text) { return QByteArray::fromHex(text.toLatin1()); }

}  // namespace

TEST(ProtocolReference, EveryExampleIsWhatTheTerminalSends)
{
    const std::vector<Example> examples = readmeExamples();
    ASSERT_GE(examples.size(), 10u) << "the README's examples were not found";
    for (const Example& e : examples) {
        TestProgram t;
        t.started();
        const std::string row = (e.commands.join(';') + " | " + e.hostSends).toStdString();
        for (const QString& command : e.commands) {
            QString answer;
            RunControlCommand(t.program, t.line, command.trimmed(), [&answer](const QString& a) { answer = a; });
            ASSERT_EQ(answer, "ok") << command.toStdString() << " in " << row;
        }
        t.port.takeSent();
        if (e.hostSends == QLatin1String("one period"))
            t.clock.advance(t.form.Timer1.interval());
        else
            t.port.receive(fromHex(e.hostSends));
        EXPECT_EQ(t.port.takeSent().toHex(' ').toUpper().toStdString(), e.terminalSends.toStdString()) << row;
    }
}
