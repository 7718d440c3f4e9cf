#include "period_fit.h"

#include <algorithm>
#include <numeric>

#include "bench.h"

namespace dravilo::test {

PeriodFit FitPeriod(const std::vector<double>& arrivalsMs, int setPeriodMs)
{
    const std::vector<double>& t = arrivalsMs;
    const size_t n = t.size();
    PeriodFit fit;
    fit.frames = int(n);
    if (n < 2)
        return fit;
    const double period = setPeriodMs;

    // Centred sums, so that 30 000 frames lose nothing to rounding.
    const double meanFrame = double(n - 1) / 2;
    const double meanArrival = std::accumulate(t.begin(), t.end(), 0.0) / double(n);
    double sxy = 0, sxx = 0;
    for (size_t i = 0; i < n; ++i) {
        sxy += (double(i) - meanFrame) * (t[i] - meanArrival);
        sxx += (double(i) - meanFrame) * (double(i) - meanFrame);
    }
    fit.periodMs = sxy / sxx;
    fit.errorPercent = 100 * (fit.periodMs - period) / period;
    const double origin = meanArrival - fit.periodMs * meanFrame;
    std::vector<double> deviations;
    for (size_t i = 0; i < n; ++i)
        deviations.push_back(std::fabs(t[i] - (origin + fit.periodMs * double(i))));
    fit.p99DeviationMs = Percentile(deviations, 99);

    // No frame comes before its time: the most punctual frame of the first
    // second, and of the last, places the grid at either end, so a first or
    // last frame caught in a burst miscounts nothing.
    const size_t second = std::clamp<size_t>(size_t(1000 / period), 1, n / 2);
    double first = INFINITY, last = INFINITY;
    for (size_t i = 0; i < second; ++i) {
        first = std::min(first, t[i] - double(i) * period);
        last = std::min(last, t[n - 1 - i] - double(n - 1 - i) * period);
    }
    fit.lost = std::lround((last - first) / period);
    return fit;
}

}  // namespace dravilo::test
