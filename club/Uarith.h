// Arithmetic helpers shared by every unit: rounding of real numbers and
// overflow-checked integer arithmetic for unbounded values (money, values,
// counts). An overflow is an error, never a silent wrap.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <emmintrin.h>
#define VANTOREL_ROUND_SSE2 1
#endif

#include "Ustream.h"

class OverflowError : public VantorelError {
 public:
  using VantorelError::VantorelError;
};

// The failure of RoundHalfEven, kept out of line so that the rounding
// itself stays small enough to be inlined wherever it is used.
[[noreturn, gnu::cold, gnu::noinline]] inline void ThrowRoundingOverflow() { throw OverflowError("rounding overflow"); }

// Real to integer: nearest, ties to even (the default rounding mode).
[[gnu::always_inline]] inline int32_t RoundHalfEven(double x) {
#ifdef VANTOREL_ROUND_SSE2
  // The processor's own conversion rounds in the default mode too; it gives
  // INT32_MIN for anything it cannot convert (and for the few reals that do
  // round to INT32_MIN), which the general path below then decides.
  if (const int32_t v = _mm_cvtsd_si32(_mm_set_sd(x)); v != std::numeric_limits<int32_t>::min()) [[likely]]
    return v;
#endif
  // Adding 1.5 x 2^52 leaves no room for a fraction, so the addition itself
  // rounds as nearbyint does, for every |x| below 2^51; a larger x (or NaN)
  // takes nearbyint, and fails the range check below either way.
  constexpr double kMagic = 6755399441055744.0;
  double r;
  if (std::fabs(x) < 2251799813685248.0) [[likely]]
    r = (x + kMagic) - kMagic;
  else
    r = std::nearbyint(x);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) [[unlikely]]
    ThrowRoundingOverflow();
  return static_cast<int32_t>(r);
}

inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw OverflowError("integer overflow in addition");
  return r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw OverflowError("integer overflow in subtraction");
  return r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw OverflowError("integer overflow in multiplication");
  return r;
}
// Pascal-style div: truncates toward zero (C++ '/' already does); guards the
// one overflowing case and division by zero.
inline int32_t CheckedDiv(int32_t a, int32_t b) {
  if (b == 0) throw OverflowError("division by zero");
  if (a == std::numeric_limits<int32_t>::min() && b == -1) throw OverflowError("integer overflow in division");
  return a / b;
}
inline int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }
