#pragma once

// What the arrival times of a ZELM-1 line say about its period.

#include <cmath>
#include <vector>

namespace dravilo::test {

struct PeriodFit {
    int frames = 0;
    // The slope of the least-squares line through (frame number, arrival):
    // the long-run rate, which one late first or last frame hardly moves.
    double periodMs = NAN;
    double errorPercent = NAN;  // against the set period, signed
    // Frames the grid of the set period owes between the first and the last
    // frame, less those that came.
    long lost = 0;
    double p99DeviationMs = NAN;  // |arrival - the least-squares line|

    bool rateMet() const { return std::fabs(errorPercent) < 0.1; }
    bool noneLost() const { return frames > 1 && lost == 0; }
};

PeriodFit FitPeriod(const std::vector<double>& arrivalsMs, int setPeriodMs);

}  // namespace dravilo::test
