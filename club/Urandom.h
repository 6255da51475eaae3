// The random generator, one per thread. A fixed portable algorithm (PCG32),
// so the same seed gives the same world on every machine and library.
#pragma once

#include <cstdint>

// Uniform integer in 0 .. n-1; 0 when n <= 0.
int32_t Random(int32_t n);
// Seeds from the clock.
void Randomize();
// Seeds explicitly.
void RandSeed(uint64_t seed);

// Saves and restores the generator state (for tests that must not disturb it).
struct RandomState {
  uint64_t state;
  uint64_t inc;
};
RandomState GetRandomState();
void SetRandomState(const RandomState& s);
