#include "match/Umatchrun.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VANTOREL_LANES_X86 1
#include <immintrin.h>
#endif

namespace {

// pace x share div 30 as (pace x share x kThirtieth) >> kThirtiethShift,
// exact for every product in 0 .. kExactThirtieths; a player's pace times
// his run-up share (at most 143 x 30) stays far below it.
constexpr int32_t kThirtieth = 34953, kThirtiethShift = 20, kExactThirtieths = 50000;
constexpr bool ThirtiethsExact() {
  for (int64_t v = 0; v <= kExactThirtieths; ++v)
    if (((v * kThirtieth) >> kThirtiethShift) != v / 30) return false;
  return true;
}
static_assert(ThirtiethsExact());

#ifdef VANTOREL_LANES_X86

// Whether the processor has every AVX-512 part the 512-bit kernel uses:
// the foundation, double and quadword, vector length and byte and word
// instructions.
bool ProcessorHasAvx512Kernel() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
         __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
}

#define VANTOREL_LANES_TARGET __attribute__((target("avx512f,avx512dq,avx512vl,avx512bw")))

// Half h (0 low, 1 high) of sixteen 32-bit lanes.
VANTOREL_LANES_TARGET inline __m256i Half(__m512i v, int h) {
  return h ? _mm512_extracti64x4_epi64(v, 1) : _mm512_castsi512_si256(v);
}

// Sixteen lanes in 512-bit registers: the integers as sixteen 32-bit values,
// the doubles as two halves of eight. Every operation is the one
// RunLaneCommon makes, in the same order, and each is exact or correctly
// rounded in a vector register just as in a scalar one (this file is built
// without fused multiply-adds), so every lane gets RunLaneCommon's bits.
VANTOREL_LANES_TARGET __attribute__((always_inline)) inline TRunTick RunLanes512(TRunLanes& l, int32_t role, int32_t bx,
                                                                                 int32_t by, int32_t bh) {
  const __m512i x = _mm512_load_si512(l.X), y = _mm512_load_si512(l.Y);
  const __m512i tx = _mm512_load_si512(l.TargetX), ty = _mm512_load_si512(l.TargetY);
  const __m512i dxi = _mm512_sub_epi32(tx, x), dyi = _mm512_sub_epi32(ty, y);
  // A difference wrapped when target and position differ in sign and the
  // difference has not the target's: the sign bit of (t ^ p) & (t ^ d).
  constexpr int kWrapped = 0x18;  // (a ^ b) & (a ^ c) as a three-input bit table
  const __mmask16 wrapped = _mm512_movepi32_mask(_mm512_or_si512(_mm512_ternarylogic_epi32(tx, x, dxi, kWrapped),
                                                                 _mm512_ternarylogic_epi32(ty, y, dyi, kWrapped)));
  // Parts up to 2^21 make the squares, the length and the dot product exact
  // in doubles, and the length below 2^44: a short move. Anything longer is
  // no run on a pitch and is left to the player himself.
  const __m512i part = _mm512_set1_epi32((1 << 21) + 1);
  const __mmask16 smallParts = _mm512_kandn(wrapped, _mm512_cmplt_epu32_mask(_mm512_abs_epi32(dxi), part) &
                                                         _mm512_cmplt_epu32_mask(_mm512_abs_epi32(dyi), part));
  const __m512i fdxi = _mm512_load_si512(l.FaceDx), fdyi = _mm512_load_si512(l.FaceDy);
  // A turn of more than a right angle, the integer test on short vectors:
  // a negative dot product, or facing back (x < 0) across the axis (the
  // signs of the facing's y and the new y differ).
  constexpr int kBackAcross = 0x60;  // a & (b ^ c)
  const __mmask16 backAcross = _mm512_movepi32_mask(_mm512_ternarylogic_epi32(fdxi, fdyi, dyi, kBackAcross));

  const __m512d zero = _mm512_setzero_pd();
  __m512d dx[2], dy[2], dist2[2];
  __mmask8 dotNegH[2], dotZeroH[2], withinH[2];
  for (int h = 0; h < 2; ++h) {
    dx[h] = _mm512_cvtepi32_pd(Half(dxi, h));
    dy[h] = _mm512_cvtepi32_pd(Half(dyi, h));
    const __m512d fx = _mm512_cvtepi32_pd(Half(fdxi, h)), fy = _mm512_cvtepi32_pd(Half(fdyi, h));
    dist2[h] = _mm512_add_pd(_mm512_mul_pd(dx[h], dx[h]), _mm512_mul_pd(dy[h], dy[h]));
    const __m512d dot = _mm512_add_pd(_mm512_mul_pd(fx, dx[h]), _mm512_mul_pd(fy, dy[h]));
    dotNegH[h] = _mm512_cmp_pd_mask(dot, zero, _CMP_LT_OQ);
    dotZeroH[h] = _mm512_cmp_pd_mask(dot, zero, _CMP_EQ_OQ);
    withinH[h] = _mm512_cmp_pd_mask(dist2[h], _mm512_set1_pd(900.0), _CMP_LE_OQ);
  }
  const __mmask16 turned = _mm512_kunpackb(dotNegH[1], dotNegH[0]) | backAcross;
  const __mmask16 dotZero = _mm512_kunpackb(dotZeroH[1], dotZeroH[0]);
  const __mmask16 within = smallParts & _mm512_kunpackb(withinH[1], withinH[0]);

  // The run-up: back to 1 after a turn, else one more up to 30; the share of
  // his pace it gives, in thirtieths.
  const __m512i one = _mm512_set1_epi32(1);
  const __m512i accel = _mm512_load_si512(l.Accel);
  __m512i a = _mm512_mask_add_epi32(accel, _mm512_cmplt_epi32_mask(accel, _mm512_set1_epi32(30)), accel, one);
  a = _mm512_mask_mov_epi32(a, turned, one);
  const __m512i share =
      role == 0 ? _mm512_mullo_epi32(_mm512_min_epi32(a, _mm512_set1_epi32(10)), _mm512_set1_epi32(3)) : a;
  const __m512i paced = _mm512_mullo_epi32(_mm512_load_si512(l.Pace), share);
  const __mmask16 pacedExact = _mm512_cmple_epu32_mask(paced, _mm512_set1_epi32(kExactThirtieths));
  const __m512i step = _mm512_srli_epi32(_mm512_mullo_epi32(paced, _mm512_set1_epi32(kThirtieth)), kThirtiethShift);

  // The step's parts, rounded half to even, and whether a part lay a hair
  // from a half.
  const __m512d nearHalf = _mm512_set1_pd(0.5 - 1e-9);
  __m256i sxH[2], syH[2];
  __mmask8 hairH[2];
  for (int h = 0; h < 2; ++h) {
    const __m256i st = Half(step, h);
    // Lanes that do not step divide by something harmless.
    const __m512d length = _mm512_sqrt_pd(_mm512_max_pd(dist2[h], _mm512_set1_pd(901.0)));
    const __m512d scale = _mm512_div_pd(_mm512_cvtepi32_pd(st), length);
    const __m512d vx = _mm512_mul_pd(dx[h], scale), vy = _mm512_mul_pd(dy[h], scale);
    constexpr int kNearestEven = _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC;
    const __m512d sx = _mm512_roundscale_pd(vx, kNearestEven), sy = _mm512_roundscale_pd(vy, kNearestEven);
    hairH[h] = _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(vx, sx)), nearHalf, _CMP_GT_OQ) |
               _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(vy, sy)), nearHalf, _CMP_GT_OQ);
    sxH[h] = _mm512_cvttpd_epi32(sx);
    syH[h] = _mm512_cvttpd_epi32(sy);
  }
  const __m512i sx = _mm512_inserti64x4(_mm512_castsi256_si512(sxH[0]), sxH[1], 1);
  const __m512i sy = _mm512_inserti64x4(_mm512_castsi256_si512(syH[0]), syH[1], 1);

  const __m512i onPitch = _mm512_load_si512(l.OnPitch);
  const __mmask16 runs = _mm512_test_epi32_mask(onPitch, onPitch);
  const __m512i freeze = _mm512_load_si512(l.Freeze);
  const __mmask16 frozen = runs & _mm512_cmpgt_epi32_mask(freeze, _mm512_setzero_si512());
  const __mmask16 arrives = runs & ~frozen & within;
  const __mmask16 steps = runs & ~frozen & ~within;
  // The angles themselves decide these: a long move, a facing kept
  // as an angle or at a right angle (dot 0), a step a hair from a half.
  const __mmask16 byPlayer = steps & ~(smallParts & ~dotZero & pacedExact & ~_mm512_kunpackb(hairH[1], hairH[0]));
  const __mmask16 moves = steps & ~byPlayer;

  __m512i nx = _mm512_mask_mov_epi32(x, arrives, tx);
  nx = _mm512_mask_add_epi32(nx, moves, x, sx);
  __m512i ny = _mm512_mask_mov_epi32(y, arrives, ty);
  ny = _mm512_mask_add_epi32(ny, moves, y, sy);
  const __m512i nf = _mm512_mask_sub_epi32(freeze, frozen, freeze, one);
  __m512i na = _mm512_mask_mov_epi32(accel, frozen, one);
  na = _mm512_mask_mov_epi32(na, moves, a);
  _mm512_store_si512(l.X, nx);
  _mm512_store_si512(l.Y, ny);
  _mm512_store_si512(l.Freeze, nf);
  _mm512_store_si512(l.Accel, na);
  // He now faces along the step's vector, its angle worked out when asked.
  // (Whole stores: the next tick's loads can take them straight over.)
  _mm512_store_si512(l.FaceDx, _mm512_mask_mov_epi32(fdxi, moves, dxi));
  _mm512_store_si512(l.FaceDy, _mm512_mask_mov_epi32(fdyi, moves, dyi));
  _mm_mask_storeu_epi8(l.FaceByVector, moves, _mm_set1_epi8(1));
  _mm_mask_storeu_epi8(l.FacingKnown, moves, _mm_setzero_si128());

  // Within 10 of the ball when attacking; half his reach + 10 when defending.
  const __m512i reach = _mm512_load_si512(l.Reach);
  const __m512i ten = _mm512_set1_epi32(10);
  const __m512i halfReach = _mm512_srai_epi32(_mm512_add_epi32(reach, _mm512_srli_epi32(reach, 31)), 1);
  const __m512i r = role == 0 ? ten : _mm512_add_epi32(halfReach, ten);
  const __m512i ax = _mm512_abs_epi32(_mm512_sub_epi32(nx, _mm512_set1_epi32(bx)));
  const __m512i ay = _mm512_abs_epi32(_mm512_sub_epi32(ny, _mm512_set1_epi32(by)));
  const __mmask16 reaches = runs & ~byPlayer & _mm512_cmplt_epi32_mask(ax, r) & _mm512_cmplt_epi32_mask(ay, r) &
                            _mm512_cmpeq_epi32_mask(nf, _mm512_setzero_si512()) &
                            _mm512_cmpge_epi32_mask(reach, _mm512_set1_epi32(bh));
  return TRunTick{reaches, byPlayer};
}

VANTOREL_LANES_TARGET TRunTick RunOneSide512(TRunLanes& l, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  return RunLanes512(l, role, bx, by, bh);
}

// Both sides one after the other with nothing between them: neither reads
// the other's lanes, so the processor works on both at once.
VANTOREL_LANES_TARGET void RunTwoSides512(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx,
                                          int32_t by, int32_t bh, TRunTick& ra, TRunTick& rb) {
  ra = RunLanes512(a, roleA, bx, by, bh);
  rb = RunLanes512(b, roleB, bx, by, bh);
}

VANTOREL_LANES_TARGET uint32_t NearestLanes512(const TRunLanes& l, uint32_t among, int32_t px, int32_t py, int32_t rx,
                                               int32_t ry, int32_t k, bool useK) {
  const __m512i dx = _mm512_sub_epi32(_mm512_load_si512(l.X), _mm512_set1_epi32(px));
  const __m512i dy = _mm512_sub_epi32(_mm512_load_si512(l.Y), _mm512_set1_epi32(py));
  __mmask16 in = __mmask16(among) & _mm512_cmplt_epi32_mask(_mm512_abs_epi32(dx), _mm512_set1_epi32(rx)) &
                 _mm512_cmplt_epi32_mask(_mm512_abs_epi32(dy), _mm512_set1_epi32(ry));
  if (useK) in &= _mm512_cmpgt_epi32_mask(_mm512_load_si512(l.Anticipate), _mm512_set1_epi32(k));
  // Within 30000 in both, the squared distance fits 32 bits.
  const __m512i d2 = _mm512_add_epi32(_mm512_mullo_epi32(dx, dx), _mm512_mullo_epi32(dy, dy));
  in &= _mm512_cmplt_epi32_mask(d2, _mm512_set1_epi32(20000 * 20000));
  if (in == 0) return 0;
  const int32_t least = _mm512_mask_reduce_min_epi32(in, d2);
  return in & _mm512_cmpeq_epi32_mask(d2, _mm512_set1_epi32(least));
}

#define VANTOREL_AVX2_TARGET __attribute__((target("avx2")))

// Eight lanes' bits (bit k for lane k) as eight 32-bit lanes of all ones or
// zero.
VANTOREL_AVX2_TARGET inline __m256i LanesOfBits(uint32_t bits) {
  const __m256i bit = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
  return _mm256_cmpeq_epi32(_mm256_and_si256(_mm256_set1_epi32(int(bits)), bit), bit);
}
// The sign bits of eight 32-bit lanes.
VANTOREL_AVX2_TARGET inline uint32_t SignBits(__m256i v) {
  return uint32_t(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
}
VANTOREL_AVX2_TARGET inline __m256i Load8(const int32_t* p) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
}
VANTOREL_AVX2_TARGET inline void Store8(int32_t* p, __m256i v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
// Lanes 0..3 (q 0) or 4..7 (q 1) of eight 32-bit values as doubles.
VANTOREL_AVX2_TARGET inline __m256d Quarter(__m256i v, int q) {
  return _mm256_cvtepi32_pd(q ? _mm256_extracti128_si256(v, 1) : _mm256_castsi256_si128(v));
}
// All-ones lanes as bits.
VANTOREL_AVX2_TARGET inline uint32_t Bits(__m256d v) { return uint32_t(_mm256_movemask_pd(v)); }
// Lanes 0 <= v < limit.
VANTOREL_AVX2_TARGET inline __m256i Below(__m256i v, int32_t limit) {
  return _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_setzero_si256(), v),
                             _mm256_cmpgt_epi32(_mm256_set1_epi32(limit), v));
}

// Lanes base .. base + 7 in 256-bit registers: the integers as eight 32-bit
// values, the doubles as two quarters of four; the same operations as the
// 512-bit pass, with masks as vectors and bits instead of mask registers.
VANTOREL_AVX2_TARGET __attribute__((always_inline)) inline void RunEight256(TRunLanes& l, int base, int32_t role,
                                                                            int32_t bx, int32_t by, int32_t bh,
                                                                            TRunTick& run) {
  const __m256i x = Load8(l.X + base), y = Load8(l.Y + base);
  const __m256i tx = Load8(l.TargetX + base), ty = Load8(l.TargetY + base);
  const __m256i dxi = _mm256_sub_epi32(tx, x), dyi = _mm256_sub_epi32(ty, y);
  // A wrapped difference: the sign bit of (t ^ p) & (t ^ d).
  const __m256i wrapX = _mm256_and_si256(_mm256_xor_si256(tx, x), _mm256_xor_si256(tx, dxi));
  const __m256i wrapY = _mm256_and_si256(_mm256_xor_si256(ty, y), _mm256_xor_si256(ty, dyi));
  const uint32_t wrapped = SignBits(_mm256_or_si256(wrapX, wrapY));
  const uint32_t smallParts = ~wrapped & SignBits(_mm256_and_si256(Below(_mm256_abs_epi32(dxi), (1 << 21) + 1),
                                                                   Below(_mm256_abs_epi32(dyi), (1 << 21) + 1)));
  const __m256i fdxi = Load8(l.FaceDx + base), fdyi = Load8(l.FaceDy + base);
  const uint32_t backAcross = SignBits(_mm256_and_si256(fdxi, _mm256_xor_si256(fdyi, dyi)));

  const __m256d zero = _mm256_setzero_pd();
  __m256d dx[2], dy[2], dist2[2];
  uint32_t dotNeg = 0, dotZero = 0, within = 0;
  for (int q = 0; q < 2; ++q) {
    dx[q] = Quarter(dxi, q);
    dy[q] = Quarter(dyi, q);
    const __m256d fx = Quarter(fdxi, q), fy = Quarter(fdyi, q);
    dist2[q] = _mm256_add_pd(_mm256_mul_pd(dx[q], dx[q]), _mm256_mul_pd(dy[q], dy[q]));
    const __m256d dot = _mm256_add_pd(_mm256_mul_pd(fx, dx[q]), _mm256_mul_pd(fy, dy[q]));
    dotNeg |= Bits(_mm256_cmp_pd(dot, zero, _CMP_LT_OQ)) << 4 * q;
    dotZero |= Bits(_mm256_cmp_pd(dot, zero, _CMP_EQ_OQ)) << 4 * q;
    within |= Bits(_mm256_cmp_pd(dist2[q], _mm256_set1_pd(900.0), _CMP_LE_OQ)) << 4 * q;
  }
  within &= smallParts;
  const uint32_t turned = dotNeg | backAcross;

  const __m256i one = _mm256_set1_epi32(1);
  const __m256i accel = Load8(l.Accel + base);
  __m256i a = _mm256_sub_epi32(accel, _mm256_cmpgt_epi32(_mm256_set1_epi32(30), accel));  // one more below 30
  a = _mm256_blendv_epi8(a, one, LanesOfBits(turned));
  const __m256i share =
      role == 0 ? _mm256_mullo_epi32(_mm256_min_epi32(a, _mm256_set1_epi32(10)), _mm256_set1_epi32(3)) : a;
  const __m256i paced = _mm256_mullo_epi32(Load8(l.Pace + base), share);
  const uint32_t pacedExact = SignBits(Below(paced, kExactThirtieths + 1));
  const __m256i step = _mm256_srli_epi32(_mm256_mullo_epi32(paced, _mm256_set1_epi32(kThirtieth)), kThirtiethShift);

  const __m256d nearHalf = _mm256_set1_pd(0.5 - 1e-9), sign = _mm256_set1_pd(-0.0);
  __m128i sxQ[2], syQ[2];
  uint32_t hair = 0;
  for (int q = 0; q < 2; ++q) {
    const __m128i st = q ? _mm256_extracti128_si256(step, 1) : _mm256_castsi256_si128(step);
    const __m256d length = _mm256_sqrt_pd(_mm256_max_pd(dist2[q], _mm256_set1_pd(901.0)));
    const __m256d scale = _mm256_div_pd(_mm256_cvtepi32_pd(st), length);
    const __m256d vx = _mm256_mul_pd(dx[q], scale), vy = _mm256_mul_pd(dy[q], scale);
    const __m256d rx = _mm256_round_pd(vx, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256d ry = _mm256_round_pd(vy, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    hair |= Bits(_mm256_or_pd(_mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(vx, rx)), nearHalf, _CMP_GT_OQ),
                              _mm256_cmp_pd(_mm256_andnot_pd(sign, _mm256_sub_pd(vy, ry)), nearHalf, _CMP_GT_OQ)))
            << 4 * q;
    sxQ[q] = _mm256_cvttpd_epi32(rx);
    syQ[q] = _mm256_cvttpd_epi32(ry);
  }
  const __m256i sx = _mm256_set_m128i(sxQ[1], sxQ[0]), sy = _mm256_set_m128i(syQ[1], syQ[0]);

  const __m256i freeze = Load8(l.Freeze + base);
  const uint32_t runs = 0xffu & ~SignBits(_mm256_cmpeq_epi32(Load8(l.OnPitch + base), _mm256_setzero_si256()));
  const uint32_t frozen = runs & SignBits(_mm256_cmpgt_epi32(freeze, _mm256_setzero_si256()));
  const uint32_t arrives = runs & ~frozen & within;
  const uint32_t steps = runs & ~frozen & ~within;
  const uint32_t byPlayer = steps & ~(smallParts & ~dotZero & pacedExact & ~hair);
  const uint32_t moves = steps & ~byPlayer;
  const __m256i movesV = LanesOfBits(moves), arrivesV = LanesOfBits(arrives), frozenV = LanesOfBits(frozen);

  const __m256i nx = _mm256_blendv_epi8(_mm256_blendv_epi8(x, tx, arrivesV), _mm256_add_epi32(x, sx), movesV);
  const __m256i ny = _mm256_blendv_epi8(_mm256_blendv_epi8(y, ty, arrivesV), _mm256_add_epi32(y, sy), movesV);
  const __m256i nf = _mm256_add_epi32(freeze, frozenV);  // one less where frozen
  const __m256i na = _mm256_blendv_epi8(_mm256_blendv_epi8(accel, one, frozenV), a, movesV);
  Store8(l.X + base, nx);
  Store8(l.Y + base, ny);
  Store8(l.Freeze + base, nf);
  Store8(l.Accel + base, na);
  Store8(l.FaceDx + base, _mm256_blendv_epi8(fdxi, dxi, movesV));
  Store8(l.FaceDy + base, _mm256_blendv_epi8(fdyi, dyi, movesV));
  for (uint32_t m = moves; m != 0; m &= m - 1) {
    const int k = base + __builtin_ctz(m);
    l.FaceByVector[k] = true;
    l.FacingKnown[k] = false;
  }

  const __m256i reach = Load8(l.Reach + base);
  const __m256i ten = _mm256_set1_epi32(10);
  const __m256i halfReach = _mm256_srai_epi32(_mm256_add_epi32(reach, _mm256_srli_epi32(reach, 31)), 1);
  const __m256i r = role == 0 ? ten : _mm256_add_epi32(halfReach, ten);
  const __m256i ax = _mm256_abs_epi32(_mm256_sub_epi32(nx, _mm256_set1_epi32(bx)));
  const __m256i ay = _mm256_abs_epi32(_mm256_sub_epi32(ny, _mm256_set1_epi32(by)));
  const __m256i inReach = _mm256_and_si256(_mm256_and_si256(_mm256_cmpgt_epi32(r, ax), _mm256_cmpgt_epi32(r, ay)),
                                           _mm256_andnot_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(bh), reach),
                                                               _mm256_cmpeq_epi32(nf, _mm256_setzero_si256())));
  run.Reaches |= (runs & ~byPlayer & SignBits(inReach)) << base;
  run.ByPlayer |= byPlayer << base;
}

VANTOREL_AVX2_TARGET TRunTick RunOneSide256(TRunLanes& l, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  TRunTick run;
  RunEight256(l, 0, role, bx, by, bh, run);
  RunEight256(l, 8, role, bx, by, bh, run);
  return run;
}

VANTOREL_AVX2_TARGET uint32_t NearestLanes256(const TRunLanes& l, uint32_t among, int32_t px, int32_t py, int32_t rx,
                                              int32_t ry, int32_t k, bool useK) {
  const __m256i far = _mm256_set1_epi32(20000 * 20000);  // within 30000 in both, d2 fits 32 bits
  __m256i d2[2], least = far;
  uint32_t in = 0;
  for (int h = 0; h < 2; ++h) {
    const __m256i dx = _mm256_sub_epi32(Load8(l.X + 8 * h), _mm256_set1_epi32(px));
    const __m256i dy = _mm256_sub_epi32(Load8(l.Y + 8 * h), _mm256_set1_epi32(py));
    __m256i inV = _mm256_and_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(rx), _mm256_abs_epi32(dx)),
                                   _mm256_cmpgt_epi32(_mm256_set1_epi32(ry), _mm256_abs_epi32(dy)));
    if (useK) inV = _mm256_and_si256(inV, _mm256_cmpgt_epi32(Load8(l.Anticipate + 8 * h), _mm256_set1_epi32(k)));
    d2[h] = _mm256_add_epi32(_mm256_mullo_epi32(dx, dx), _mm256_mullo_epi32(dy, dy));
    inV = _mm256_and_si256(inV, _mm256_and_si256(LanesOfBits(among >> 8 * h), _mm256_cmpgt_epi32(far, d2[h])));
    in |= SignBits(inV) << 8 * h;
    least = _mm256_min_epi32(least, _mm256_blendv_epi8(far, d2[h], inV));
  }
  if (in == 0) return 0;
  // The least of the eight, in every lane.
  least = _mm256_min_epi32(least, _mm256_permute2x128_si256(least, least, 1));
  least = _mm256_min_epi32(least, _mm256_shuffle_epi32(least, _MM_SHUFFLE(1, 0, 3, 2)));
  least = _mm256_min_epi32(least, _mm256_shuffle_epi32(least, _MM_SHUFFLE(2, 3, 0, 1)));
  const uint32_t at = SignBits(_mm256_cmpeq_epi32(d2[0], least)) | SignBits(_mm256_cmpeq_epi32(d2[1], least)) << 8;
  return in & at;
}

TLaneKernel BestKernel() {
  __builtin_cpu_init();
  if (ProcessorHasAvx512Kernel()) return TLaneKernel::kVector512;
  if (__builtin_cpu_supports("avx2")) return TLaneKernel::kVector256;
  return TLaneKernel::kOneByOne;
}

#else

TLaneKernel BestKernel() { return TLaneKernel::kOneByOne; }

#endif

const TLaneKernel kBestKernel = BestKernel();
std::atomic<TLaneKernel> laneKernel{kBestKernel};

// The side lane by lane, on any processor.
TRunTick RunLanesOneByOne(TRunLanes& l, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  TRunTick run;
  for (int k = 0; k < TRunLanes::kLanes; ++k) {
    if (!l.OnPitch[k]) continue;
    if (!RunLaneCommon(l, k, role)) [[unlikely]]
      run.ByPlayer |= 1u << k;
    else if (LaneReachesBall(l, k, role, bx, by, bh))
      run.Reaches |= 1u << k;
  }
  return run;
}

}  // namespace

const char* LaneKernelName(TLaneKernel kernel) {
  switch (kernel) {
    case TLaneKernel::kVector512: return "avx512";
    case TLaneKernel::kVector256: return "avx2";
    default: return "none";
  }
}

bool LaneKernelNamed(std::string_view name, TLaneKernel& kernel) {
  for (TLaneKernel k : {TLaneKernel::kOneByOne, TLaneKernel::kVector256, TLaneKernel::kVector512})
    if (name == LaneKernelName(k)) {
      kernel = k;
      return true;
    }
  return false;
}

TLaneKernel BestLaneKernel() { return kBestKernel; }

TLaneKernel LaneKernel() { return laneKernel.load(std::memory_order_relaxed); }

void SetLaneKernel(TLaneKernel k) { laneKernel.store(std::min(k, kBestKernel), std::memory_order_relaxed); }

TRunTick RunSideLanes(TRunLanes& lanes, int32_t role, int32_t bx, int32_t by, int32_t bh) {
#ifdef VANTOREL_LANES_X86
  switch (LaneKernel()) {
    case TLaneKernel::kVector512: return RunOneSide512(lanes, role, bx, by, bh);
    case TLaneKernel::kVector256: return RunOneSide256(lanes, role, bx, by, bh);
    default: break;
  }
#endif
  return RunLanesOneByOne(lanes, role, bx, by, bh);
}

void RunBothSidesLanes(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx, int32_t by, int32_t bh,
                       TRunTick& ra, TRunTick& rb) {
#ifdef VANTOREL_LANES_X86
  if (LaneKernel() == TLaneKernel::kVector512) return RunTwoSides512(a, roleA, b, roleB, bx, by, bh, ra, rb);
#endif
  ra = RunSideLanes(a, roleA, bx, by, bh);
  rb = RunSideLanes(b, roleB, bx, by, bh);
}

uint32_t NearestLanes(const TRunLanes& lanes, uint32_t among, int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t k,
                      bool useK) {
#ifdef VANTOREL_LANES_X86
  if (LaneKernel() == TLaneKernel::kVector512) return NearestLanes512(lanes, among, px, py, rx, ry, k, useK);
  return NearestLanes256(lanes, among, px, py, rx, ry, k, useK);
#else
  (void)lanes, (void)among, (void)px, (void)py, (void)rx, (void)ry, (void)k, (void)useK;
  return 0;
#endif
}
