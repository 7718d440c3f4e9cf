#pragma once

#include <cstdint>

namespace dravilo {

// Uniform single-precision numbers in [0, 1) from a fixed start, so every run
// sways the same way.
class SwayRandom {
public:
    float next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<float>(state_ >> 40) * (1.0f / 16777216.0f);  // top 24 bits
    }

private:
    std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

}  // namespace dravilo
