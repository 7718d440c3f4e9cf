// ZELM-1 at 1 ms while the line's traffic is watched: the emulator with its
// window, first with the traffic panel hidden and no log, then with the panel
// shown and --log on; then the headless emulator without and with --log. The
// cases run one after the other, so that none disturbs another's timing.

#include <QStandardPaths>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

#include "control_socket.h"
#include "line_log.h"
#include "parts.h"
#include "period_fit.h"

namespace dravilo::test {

namespace {

constexpr int kPeriodMs = 1;

// Xvfb on a display it picks itself. Qt's offscreen platform never shows the
// window nor draws the panel, so only a real X server weighs them.
class XServer : public QProcess {
public:
    explicit XServer(const QString& program)
    {
        int ends[2];
        if (::pipe(ends) != 0)
            throw std::runtime_error("no pipe for Xvfb's display number");
        ::fcntl(ends[0], F_SETFD, FD_CLOEXEC);  // only the writing end is Xvfb's
        setStandardOutputFile(nullDevice());
        setStandardErrorFile(nullDevice());
        start(program, {"-displayfd", QString::number(ends[1]), "-screen", "0", "1366x768x24", "-nolisten", "tcp"});
        const bool started = waitForStarted(10000);
        ::close(ends[1]);
        display_ = started ? readDisplay(ends[0]) : QString();
        ::close(ends[0]);
        if (display_.isEmpty()) {
            stop();
            throw std::runtime_error("Xvfb did not start");
        }
    }
    ~XServer() override { stop(); }

    const QString& display() const { return display_; }

private:
    // Xvfb writes the display number and a new line once it takes clients.
    static QString readDisplay(int fd)
    {
        QByteArray number;
        pollfd ready{fd, POLLIN, 0};
        char c;
        while (::poll(&ready, 1, 10000) == 1 && ::read(fd, &c, 1) == 1 && c != '\n')
            number += c;
        return number.isEmpty() ? QString() : ":" + QString::fromLatin1(number);
    }
    void stop()
    {
        terminate();
        if (!waitForFinished(10000))
            kill();
        waitForFinished(5000);
    }

    QString display_;
};

struct Case {
    const char* name = "";
    PeriodFit fit;
    int wellFormed = 0;
    double cpuSeconds = NAN;
};

// One case for `seconds`, the host reading every line. An empty `display`
// runs it headless; `watched` turns the log on, and with a window shows the panel.
Case run(const char* name, double seconds, const QString& display, bool watched)
{
    PtyPair pty;
    EmulatorProcess emulator;
    StoreZelm1(emulator, kPeriodMs);
    const QString folder = emulator.programFiles();
    // Every case listens for control, so that the four differ only in the window, the panel and the log.
    QStringList arguments{"--control", folder + "/control"};
    if (watched)
        arguments << "--log" << folder + "/traffic.log";
    if (display.isEmpty()) {
        arguments << "--headless";
    } else {
        QProcessEnvironment environment = emulator.processEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", display);
        emulator.setProcessEnvironment(environment);
    }
    LaunchOnPty(emulator, pty, arguments);
    if (watched && !display.isEmpty()) {
        const std::string answer = ControlSocket((folder + "/control").toStdString()).command("click mnu_Traffic");
        if (answer != "ok")
            throw std::runtime_error("the traffic panel was not shown: " + answer);
    }

    Case c;
    c.name = name;
    LineLog log{pty.masterFd()};
    if (!Settle({&log}))
        return c;
    c.cpuSeconds = -ThreadsCpuSeconds(emulator.pid());
    ReadLines({&log}, seconds);
    c.cpuSeconds += ThreadsCpuSeconds(emulator.pid());
    c.fit = FitPeriod(log.stampsMs, kPeriodMs);
    c.wellFormed = log.wellFormed;
    return c;
}

void print(const std::vector<Case>& cases, double seconds)
{
    auto row = [&cases](const char* figure, auto value) {
        std::printf("    %-36s", figure);
        for (const Case& c : cases)
            std::printf(" %15s", value(c).c_str());
        std::printf("\n");
    };
    row("", [](const Case& c) { return std::string(c.name); });
    row("frames received / well-formed", [](const Case& c) { return Format("%d/%d", c.fit.frames, c.wellFormed); });
    row("rate error against the set period, %", [](const Case& c) { return Format("%.4f", c.fit.errorPercent); });
    row("frames lost", [](const Case& c) { return Format("%ld", c.fit.lost); });
    row("p99 |arrival - fitted grid|, ms", [](const Case& c) { return Format("%.3f", c.fit.p99DeviationMs); });
    row("CPU, us per frame", [](const Case& c) { return Format("%.1f", c.cpuSeconds * 1e6 / c.fit.frames); });
    row("CPU, % of a core", [seconds](const Case& c) { return Format("%.2f", 100 * c.cpuSeconds / seconds); });
}

}  // namespace

void MeasureTrafficPanelAndLog(Bench& bench)
{
    const double seconds = bench.seconds(20);
    std::printf("ZELM-1 at 1 ms with the traffic panel and the log, %.0f s each, one after the other\n", seconds);
    std::vector<Case> cases;
    const QString xvfb = QStandardPaths::findExecutable("Xvfb");
    const bool windowed = !xvfb.isEmpty();
    if (windowed) {
        const XServer x(xvfb);
        cases.push_back(run("window", seconds, x.display(), false));
        cases.push_back(run("+ panel + log", seconds, x.display(), true));
    } else {
        std::printf("  the window cases are skipped: no Xvfb to show the window on (Debian: apt-get install "
                    "xvfb), and offscreen the panel is never drawn\n");
    }
    cases.push_back(run("headless", seconds, {}, false));
    cases.push_back(run("+ log", seconds, {}, true));
    print(cases, seconds);
    if (windowed) {
        const PeriodFit& watched = cases[1].fit;
        std::printf("  with the panel shown and the log on: none lost: %s, rate within 0.1 %%: %s\n",
                    Verdict(watched.noneLost()), Verdict(watched.rateMet()));
        bench.goal("ZELM-1 1 ms, panel + log: rate error", Format("%.4f %%", watched.errorPercent), "within 0.1 %",
                   watched.rateMet());
        bench.goal("ZELM-1 1 ms, panel + log: frames lost", Format("%ld", watched.lost), "none", watched.noneLost());
    }
    std::printf("\n");
}

}  // namespace dravilo::test
