// Ctrl-C in the console of a headless run: the close path runs on the event
// loop, as a stop signal's does on Linux.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <qt_windows.h>

#include "host/stop_signals.h"

using namespace dravilo;

TEST(ConsoleStop, CtrlCRunsTheStopOnTheEventLoop)
{
    int argc = 1;
    char name[] = "console_stop_test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    CloseOnStopSignals stopSignals;
    int stops = 0;
    stopSignals.connect([&stops] { ++stops; });
    // A console of its own, as a program started from a command prompt has.
    FreeConsole();
    const bool console = AllocConsole();
    if (!console || !GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0))
        GTEST_SKIP() << "no console to press Ctrl-C in (error " << GetLastError() << ")";
    QElapsedTimer clock;
    clock.start();
    while (stops == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_EQ(stops, 1) << "the process is still there, and the stop ran once";
}
