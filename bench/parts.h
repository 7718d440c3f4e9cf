#pragma once

// The parts of the line benchmark, in the order it runs them. Each prints
// its figures and hands its goals to the summary.

#include "bench.h"

namespace dravilo::test {

// ZELM-2 reply latency, the emulator beside a bare responder.
void MeasureZelm2Latency(Bench& bench);
// The line's pace on the virtual port, TCP and RFC 2217, beside the physical figures.
void MeasureLinePace(Bench& bench);
// ZELM-1 rate, frames lost and timing at 1, 10 and 150 ms, beside a bare sender.
void MeasureZelm1Period(Bench& bench);
// CPU per ZELM-1 frame at 150, 10 and 1 ms, beside a plain QTimer sender.
void MeasureCpuPerFrame(Bench& bench);
// ZELM-1 at 1 ms with the traffic panel shown and the log on, beside neither.
void MeasureTrafficPanelAndLog(Bench& bench);
// Time to the first line and peak memory, headless and with the window.
void MeasureStartupAndMemory(Bench& bench);
// 100 headless emulators at once, and 20 with their windows.
void MeasureManyEmulators(Bench& bench);
// One save of the settings file.
void MeasureSettingsSave(Bench& bench);

}  // namespace dravilo::test
