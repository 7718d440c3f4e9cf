#pragma once

// What every part of the line benchmark shares: the clock, the length of
// the runs, the emulator started the way each part needs it, and the goals
// with their verdicts for the summary at the end.

#include <QStringList>
#include <sys/types.h>

#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "emulator_process.h"
#include "pty_pair.h"

namespace dravilo::test {

using Clock = std::chrono::steady_clock;

inline double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Percentile(std::vector<double> values, double p);
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

// Time on a CPU of a process's threads alive now, from schedstat in
// nanoseconds: utime and stime come in ticks of 10 ms, too coarse for a
// process that wakes a few times a second. NaN once the process is gone.
double ThreadsCpuSeconds(pid_t pid);

// Ctrl-C or SIGTERM ends the benchmark by an exception from the next check,
// so that every emulator is stopped and every temporary folder removed.
void CatchStopSignals();
void ThrowIfStopped();

// A TCP port on 127.0.0.1 the system has just handed out, free for the
// emulator to take; and a host's connection to one, without Nagle's delay
// (-1 where none answers yet).
int FreeLoopbackPort();
int ConnectLoopback(int port);

// The settings file for ZELM-1 at `periodMs`, the rest the defaults.
void StoreZelm1(EmulatorProcess& emulator, int periodMs);
// Starts the binary with `pty` as its COM2. Its messages, such as each
// window's offscreen notice, would bury the figures: a run that fails shows
// as a line that stays silent.
void LaunchOnPty(EmulatorProcess& emulator, const PtyPair& pty, const QStringList& arguments);

class Bench {
public:
    // `share` of the full durations: 1 for the figures, less for a quick look.
    explicit Bench(double share) : share_(share) {}

    double seconds(double full) const { return full * share_; }
    // A goal for the summary.
    void goal(const std::string& figure, const std::string& measured, const std::string& target, bool met);
    void printSummary() const;

private:
    struct Goal {
        std::string figure, measured, target;
        bool met;
    };
    double share_;
    std::vector<Goal> goals_;
};

}  // namespace dravilo::test
