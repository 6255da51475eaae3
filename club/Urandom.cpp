#include "Urandom.h"

#include <chrono>

namespace {
// Each thread draws from its own generator: the game's thread sees one
// sequence, and worker threads (the season outlook) seed their own.
thread_local RandomState g_rng{0x853c49e6748fea9bULL, 0xda3e39cb94b95bdbULL};

uint32_t Next32() {
  uint64_t old = g_rng.state;
  g_rng.state = old * 6364136223846793005ULL + g_rng.inc;
  uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
}
}  // namespace

int32_t Random(int32_t n) {
  if (n <= 0) return 0;
  uint64_t r = Next32();
  return static_cast<int32_t>((r * static_cast<uint64_t>(n)) >> 32);
}

void RandSeed(uint64_t seed) {
  g_rng.state = 0;
  g_rng.inc = (0xda3e39cb94b95bdbULL << 1u) | 1u;
  Next32();
  g_rng.state += seed;
  Next32();
}

void Randomize() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  RandSeed(static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
}

RandomState GetRandomState() { return g_rng; }
void SetRandomState(const RandomState& s) { g_rng = s; }
