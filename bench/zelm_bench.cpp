// Line benchmark: what a host program sees of the emulator's timing, and
// what the emulator costs, each beside the least a program could do.
//   zelm_bench [SHARE]   SHARE of the full durations, 1 unless told (0.1 for a quick look)
// It prints figures and met or MISSED against each goal; it fails nothing.

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "parts.h"

using namespace dravilo::test;

int main(int argc, char** argv)
{
    const double share = argc > 1 ? std::atof(argv[1]) : 1.0;
    if (share <= 0) {
        std::fprintf(stderr, "usage: zelm_bench [SHARE of the full durations, above 0]\n");
        return 2;
    }
    CatchStopSignals();
    Bench bench(share);
    // Every part stops what it started before the next begins, also when one fails.
    try {
        for (auto part : {MeasureZelm2Latency, MeasureLinePace, MeasureZelm1Period, MeasureCpuPerFrame, MeasureTrafficPanelAndLog,
                          MeasureStartupAndMemory, MeasureManyEmulators, MeasureSettingsSave}) {
            part(bench);
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::printf("\nThe benchmark ended early: %s\n\n", e.what());
    }
    bench.printSummary();
    return 0;
}
