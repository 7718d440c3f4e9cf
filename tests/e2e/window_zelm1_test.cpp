// The real window on the offscreen platform: a person clicks "ZELM-1" and the
// host on the pseudo-terminal receives the weight line again and again.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "pty_pair.h"
#include "ui/qt/windowed_emulator.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

QList<QByteArray> frames(const QByteArray& stream)
{
    QList<QByteArray> lines = stream.split('\n');
    lines.removeLast();  // what follows the last LF is incomplete
    return lines;
}

void pump() { QApplication::processEvents(); }

}  // namespace

TEST(WindowZelm1, Zelm1SendsTheWeightLineAndZelm2AnswersWhatWaited)
{
    QTemporaryDir programFiles;
    PtyPair pty;
    LinkPort(programFiles.path(), 2, pty);
    qputenv("ProgramFiles", programFiles.path().toLocal8Bit());
    WindowedEmulator emulator;
    emulator.start();
    Form1& form = emulator.program().form;
    ASSERT_EQ(form.Shape1.fillColour(), kGreen);

    QWidget* zelm1 = emulator.window().widgetOf(&form.Option1[1]);
    ASSERT_NE(zelm1, nullptr);
    emulator.window().show();  // offscreen the emulator shows none: this test is the person who looks
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&emulator.window()));
    QTest::mouseClick(zelm1, Qt::LeftButton, {}, QPoint(8, zelm1->height() / 2));  // on its circle
    EXPECT_EQ(emulator.program().settings.intTerminalType, 1);

    const QList<QByteArray> lines = frames(pty.readFor(1500, pump));
    ASSERT_GE(lines.size(), 5);  // one every 150 ms
    static const QRegularExpression weightLine(QStringLiteral("^WW[-0-9][0-9]{4}\\.[0-9]kg\\r$"));
    for (const QByteArray& line : lines)
        EXPECT_TRUE(weightLine.match(QString::fromLatin1(line)).hasMatch()) << line.toStdString();
    EXPECT_EQ(lines.last(), "WW00000.0kg\r");  // the start-up sway has run out
    EXPECT_EQ(form.Label12.caption(), "150");

    // A person types a new period and presses "Change".
    auto* period = qobject_cast<QLineEdit*>(emulator.window().widgetOf(&form.Text1[0]));
    ASSERT_NE(period, nullptr);
    period->selectAll();
    QTest::keyClicks(period, "50");
    QTest::mouseClick(emulator.window().widgetOf(&form.Command4), Qt::LeftButton);
    EXPECT_EQ(form.Timer1.interval(), 50);
    pty.readFor(200, pump);
    EXPECT_GE(frames(pty.readFor(1000, pump)).size(), 10);
    EXPECT_EQ(form.Label12.caption(), "50");

    // A request sent while ZELM-1 talks waits in the port; back on ZELM-2 the
    // next byte brings it out, and the old first byte decides: a status reply.
    pty.write(QByteArray(1, 0x0E));
    pty.readFor(200, pump);
    QWidget* zelm2 = emulator.window().widgetOf(&form.Option1[0]);
    ASSERT_NE(zelm2, nullptr);
    QTest::mouseClick(zelm2, Qt::LeftButton, {}, QPoint(8, zelm2->height() / 2));
    EXPECT_EQ(emulator.program().settings.intTerminalType, 0);
    pty.readFor(300, pump);  // a line already on its way
    EXPECT_EQ(pty.readFor(300, pump), QByteArray()) << "ZELM-2 sends nothing on its own";
    pty.write(QByteArray(1, 0x0A));
    const QByteArray reply = pty.readFor(500, pump);
    ASSERT_EQ(reply.size(), 4) << reply.toHex().toStdString();
    EXPECT_EQ(reply.mid(2), "\r\n");
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
