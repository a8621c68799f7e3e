// The pseudo-random generator DROP draws its random offsets and sizes from.
//
// It is the linear congruential generator the C standard gives as the example
// implementation of rand() and srand(): next = next x 1103515245 + 12345
// (mod 2^32), and each draw is bits 16 to 30 of the new state, a uniform
// integer in 0..32767 (15 bits). Seeded with the time in seconds, or with a
// number the command line fixes, so that a drop can be repeated exactly on
// any machine: the sequence does not depend on the C library.
#pragma once

#include <cstdint>

namespace vortel {

class DropRandom {
public:
    static constexpr int kMax = 32767;

    void seed(std::uint32_t s) { m_next = s; }
    int draw() {
        m_next = m_next * 1103515245u + 12345u;
        return static_cast<int>((m_next / 65536u) % 32768u);
    }
    // A draw scaled by the float nearest 1/32767: 0 to 1, both included.
    float unit() { return static_cast<float>(draw()) * 0.000030518509f; }

private:
    std::uint32_t m_next = 1;
};

}  // namespace vortel
