// The platform C runtime's random generator: one process-wide state, identical on every machine.
#pragma once

namespace crt {

constexpr int kRandMax = 32767;

// Seeds the process-wide sequence (initial state 1, as if srand(1) had been called).
void srand(unsigned int seed);

// Next value in 0..32767: state = state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
int rand();

}  // namespace crt
