// ZELM-1 at 1 ms while the line's traffic is watched: the emulator with its
// window, first with the traffic panel hidden and no log, then with the panel
// shown and --log on; then the headless emulator without and with --log. The
// cases run one after the other, so that none disturbs another's timing.

#include <QStandardPaths>

#include <cstdio>
#include <stdexcept>

#include "control_socket.h"
#include "line_log.h"
#include "parts.h"
#include "period_fit.h"
#include "x_server.h"

namespace dravilo::test {

namespace {

constexpr int kPeriodMs = 1;

struct Case {
    const char* name = "";
    PeriodFit fit;
    int wellFormed = 0;
    double cpuSeconds = NAN;
};

// One case for `seconds`, the host reading every line. Without an X server
// it runs headless; `watched` turns the log on, and with a window shows the panel.
Case run(const char* name, double seconds, const XServer* x, bool watched)
{
    PtyPair pty;
    EmulatorProcess emulator;
    StoreZelm1(emulator, kPeriodMs);
    const QString folder = emulator.programFiles();
    // Every case listens for control, so that the four differ only in the window, the panel and the log.
    QStringList arguments{"--control", folder + "/control"};
    if (watched)
        arguments << "--log" << folder + "/traffic.log";
    if (!x)
        arguments << "--headless";
    else
        emulator.setProcessEnvironment(x->environmentFor(emulator));
    LaunchOnPty(emulator, pty, arguments);
    if (watched && x) {
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
        cases.push_back(run("window", seconds, &x, false));
        cases.push_back(run("+ panel + log", seconds, &x, true));
    } else {
        std::printf("  the window cases are skipped: no Xvfb to show the window on (Debian: apt-get install "
                    "xvfb), and offscreen the panel is never drawn\n");
    }
    cases.push_back(run("headless", seconds, nullptr, false));
    cases.push_back(run("+ log", seconds, nullptr, true));
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
