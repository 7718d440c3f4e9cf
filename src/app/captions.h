#pragma once

#include <cstdint>

namespace dravilo {

class Program;
struct Form1;

// Every fixed caption of the window: 0 English, 1 Russian, any other value
// leaves the captions as they are.
void ApplyCaptions(Form1& form, std::int16_t language);
// The stored language on the whole window, type-dependent captions included.
void ApplyLanguage(Program& p);

}  // namespace dravilo
