#include "match/Umatchrun.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VANTOREL_LANES_X86 1
#include <immintrin.h>
#endif

namespace {

// The vector passes work out steps below 256 (pace x share below 256 x 30)
// in single precision.
constexpr int32_t kFloatThirtieths = 256 * 30;
// v div 30 and v div 10 as (v x m) >> 16 >> s (a 16-bit high product and a
// shift), exact for every v below kFloatThirtieths.
constexpr int32_t kThirtieth = 34953, kThirtiethShift = 4, kTenth = 52429, kTenthShift = 3;
constexpr bool DivisionsExact() {
  for (int64_t v = 0; v < kFloatThirtieths; ++v)
    if (((v * kThirtieth) >> 16 >> kThirtiethShift) != v / 30 || ((v * kTenth) >> 16 >> kTenthShift) != v / 10)
      return false;
  return true;
}
static_assert(DivisionsExact());

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

// Sixteen lanes in 512-bit registers, the same tests and the same single
// precision step as the 256-bit pass (RunEight256), all sixteen at once.
// Role 0 attacking, 1 defending.
template <int Role>
VANTOREL_LANES_TARGET __attribute__((always_inline)) inline TRunTick RunLanes512(TRunLanes& l, int32_t bx, int32_t by,
                                                                                 int32_t bh) {
  const __m512i x = _mm512_load_si512(l.X), y = _mm512_load_si512(l.Y);
  const __m512i tx = _mm512_load_si512(l.TargetX), ty = _mm512_load_si512(l.TargetY);
  const __m512i fdxi = _mm512_load_si512(l.FaceDx), fdyi = _mm512_load_si512(l.FaceDy);
  // In range: -2^14 <= position, target < 2^14 (a facing vector always is:
  // both parts within 2^15).
  const __m512i p14 = _mm512_set1_epi32(1 << 14);
  constexpr int kOr3 = 0xfe;  // a | b | c as a three-input bit table
  const __m512i pos =
      _mm512_ternarylogic_epi32(_mm512_add_epi32(x, p14), _mm512_add_epi32(y, p14), _mm512_add_epi32(tx, p14), kOr3);
  const __mmask16 inRange =
      _mm512_testn_epi32_mask(_mm512_or_si512(pos, _mm512_add_epi32(ty, p14)), _mm512_set1_epi32(-(1 << 15)));
  const __m512i dxi = _mm512_sub_epi32(tx, x), dyi = _mm512_sub_epi32(ty, y);
  // (x, y) pairs of 16-bit parts: squares and dot products in one step each.
  const __m512i d = _mm512_mask_blend_epi16(0xaaaaaaaa, dxi, _mm512_slli_epi32(dyi, 16));
  const __m512i f = _mm512_mask_blend_epi16(0xaaaaaaaa, fdxi, _mm512_slli_epi32(fdyi, 16));
  const __m512i dist2 = _mm512_madd_epi16(d, d), dot = _mm512_madd_epi16(f, d);
  const __mmask16 within = inRange & _mm512_cmple_epi32_mask(dist2, _mm512_set1_epi32(900));
  const __mmask16 dotZero = _mm512_testn_epi32_mask(dot, dot);
  // A turn of more than a right angle: a negative dot product, or facing
  // back across the axis (a & (b ^ c), then or'ed with the dot).
  constexpr int kBackAcross = 0x60;
  const __mmask16 turned =
      _mm512_movepi32_mask(_mm512_or_si512(dot, _mm512_ternarylogic_epi32(fdxi, fdyi, dyi, kBackAcross)));

  const __m512i one = _mm512_set1_epi32(1);
  const __m512i accel = _mm512_load_si512(l.Accel);
  __m512i a = _mm512_mask_add_epi32(accel, _mm512_cmplt_epi32_mask(accel, _mm512_set1_epi32(30)), accel, one);
  a = _mm512_mask_mov_epi32(a, turned, one);
  // The step as the 256-bit pass works it out: (pace x min(a, 10)) / 10
  // attacking, (pace x a) / 30 defending.
  const __m512i pace = _mm512_load_si512(l.Pace);
  const __m512i paced = _mm512_mullo_epi32(pace, Role == 0 ? _mm512_min_epi32(a, _mm512_set1_epi32(10)) : a);
  const __mmask16 shortStep =
      _mm512_cmplt_epu32_mask(paced, _mm512_set1_epi32(Role == 0 ? kFloatThirtieths / 3 : kFloatThirtieths));
  const __m512i step = _mm512_srli_epi32(_mm512_mulhi_epu16(paced, _mm512_set1_epi32(Role == 0 ? kTenth : kThirtieth)),
                                         Role == 0 ? kTenthShift : kThirtiethShift);

  // Lanes that do not step divide by something harmless.
  const __m512 length = _mm512_sqrt_ps(_mm512_cvtepi32_ps(_mm512_max_epi32(dist2, _mm512_set1_epi32(901))));
  const __m512 scale = _mm512_div_ps(_mm512_cvtepi32_ps(step), length);
  const __m512 vx = _mm512_mul_ps(_mm512_cvtepi32_ps(dxi), scale), vy = _mm512_mul_ps(_mm512_cvtepi32_ps(dyi), scale);
  // Rounded to the nearest, ties to even, by the conversion itself.
  const __m512i sx = _mm512_cvtps_epi32(vx), sy = _mm512_cvtps_epi32(vy);
  const __m512 nearHalf = _mm512_set1_ps(0.5f - 1.0f / 16384);
  const __mmask16 hair =
      _mm512_cmp_ps_mask(_mm512_abs_ps(_mm512_sub_ps(vx, _mm512_cvtepi32_ps(sx))), nearHalf, _CMP_GT_OQ) |
      _mm512_cmp_ps_mask(_mm512_abs_ps(_mm512_sub_ps(vy, _mm512_cvtepi32_ps(sy))), nearHalf, _CMP_GT_OQ);

  const __m512i onPitch = _mm512_load_si512(l.OnPitch);
  const __mmask16 runs = _mm512_test_epi32_mask(onPitch, onPitch);
  const __m512i freeze = _mm512_load_si512(l.Freeze);
  const __mmask16 frozen = runs & _mm512_cmpgt_epi32_mask(freeze, _mm512_setzero_si512());
  const __mmask16 arrives = runs & ~frozen & within;
  const __mmask16 steps = runs & ~frozen & ~within;
  const __mmask16 byPlayer = steps & ~(inRange & ~dotZero & shortStep & ~hair);
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

  // Within 10 of the ball when attacking; half his reach + 10 when defending.
  const __m512i reach = _mm512_load_si512(l.Reach);
  const __m512i ten = _mm512_set1_epi32(10);
  __m512i r = ten;
  if constexpr (Role != 0)
    r = _mm512_add_epi32(_mm512_srai_epi32(_mm512_add_epi32(reach, _mm512_srli_epi32(reach, 31)), 1), ten);
  const __m512i ax = _mm512_abs_epi32(_mm512_sub_epi32(nx, _mm512_set1_epi32(bx)));
  const __m512i ay = _mm512_abs_epi32(_mm512_sub_epi32(ny, _mm512_set1_epi32(by)));
  const __mmask16 reaches = runs & ~byPlayer & _mm512_cmplt_epi32_mask(ax, r) & _mm512_cmplt_epi32_mask(ay, r) &
                            _mm512_cmpeq_epi32_mask(nf, _mm512_setzero_si512()) &
                            _mm512_cmpge_epi32_mask(reach, _mm512_set1_epi32(bh));
  return TRunTick{reaches, byPlayer};
}

VANTOREL_LANES_TARGET TRunTick RunOneSide512(TRunLanes& l, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  return role == 0 ? RunLanes512<0>(l, bx, by, bh) : RunLanes512<1>(l, bx, by, bh);
}

// Both sides one after the other with nothing between them: neither reads
// the other's lanes, so the processor works on both at once.
VANTOREL_LANES_TARGET void RunTwoSides512(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx,
                                          int32_t by, int32_t bh, TRunTick& ra, TRunTick& rb) {
  auto both = [&]<int RoleA, int RoleB>() VANTOREL_LANES_TARGET {
    ra = RunLanes512<RoleA>(a, bx, by, bh);
    rb = RunLanes512<RoleB>(b, bx, by, bh);
  };
  switch ((roleA != 0) * 2 + (roleB != 0)) {
    case 0: return both.template operator()<0, 0>();
    case 1: return both.template operator()<0, 1>();
    case 2: return both.template operator()<1, 0>();
    default: return both.template operator()<1, 1>();
  }
}

VANTOREL_LANES_TARGET uint32_t NearestLanes512(const TRunLanes& l, uint32_t among, int32_t px, int32_t py, int32_t rx,
                                               int32_t ry, int32_t k, bool useK) {
  const __m512i dx = _mm512_sub_epi32(_mm512_load_si512(l.X), _mm512_set1_epi32(px));
  const __m512i dy = _mm512_sub_epi32(_mm512_load_si512(l.Y), _mm512_set1_epi32(py));
  __mmask16 in = __mmask16(among) & _mm512_cmplt_epi32_mask(_mm512_abs_epi32(dx), _mm512_set1_epi32(rx)) &
                 _mm512_cmplt_epi32_mask(_mm512_abs_epi32(dy), _mm512_set1_epi32(ry));
  if (useK) in &= _mm512_cmpgt_epi32_mask(_mm512_load_si512(l.Anticipate), _mm512_set1_epi32(k));
  // Within 30000 in both, both parts are 16-bit numbers and the squared
  // distance fits 32 bits: one multiply-add of (dx, dy) pairs.
  const __m512i d = _mm512_mask_blend_epi16(0xaaaaaaaa, dx, _mm512_slli_epi32(dy, 16));
  const __m512i d2 = _mm512_madd_epi16(d, d);
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
// b where the sign bit of `where` is set, else a.
VANTOREL_AVX2_TARGET inline __m256i Blend(__m256i a, __m256i b, __m256i where) {
  return _mm256_castps_si256(
      _mm256_blendv_ps(_mm256_castsi256_ps(a), _mm256_castsi256_ps(b), _mm256_castsi256_ps(where)));
}
using TLaneArray = int32_t (TRunLanes::*)[TRunLanes::kLanes];

// Lanes base .. base + 7 of one side.
struct TEightLanes {
  TRunLanes& l;
  int base;
  VANTOREL_AVX2_TARGET __m256i Load(TLaneArray f) const { return Load8((l.*f) + base); }
  VANTOREL_AVX2_TARGET void Store(TLaneArray f, __m256i v) const { Store8((l.*f) + base, v); }
};

// Lanes 8 .. 11 of side a, then lanes 8 .. 11 of side b: the last four on
// the pitch of both sides in one register, while no one plays from lanes
// 12 .. 15 (the bench before its second substitute).
struct TTwoFourLanes {
  TRunLanes& a;
  TRunLanes& b;
  VANTOREL_AVX2_TARGET __m256i Load(TLaneArray f) const {
    const __m128i lo = _mm_load_si128(reinterpret_cast<const __m128i*>((a.*f) + 8));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(lo),
                                   _mm_load_si128(reinterpret_cast<const __m128i*>((b.*f) + 8)), 1);
  }
  VANTOREL_AVX2_TARGET void Store(TLaneArray f, __m256i v) const {
    _mm_store_si128(reinterpret_cast<__m128i*>((a.*f) + 8), _mm256_castsi256_si128(v));
    _mm_store_si128(reinterpret_cast<__m128i*>((b.*f) + 8), _mm256_extracti128_si256(v, 1));
  }
};

// The ball as the pass needs it, in every lane.
struct TBallLanes {
  __m256i x, y, h;
};

VANTOREL_AVX2_TARGET inline TBallLanes BallLanes(int32_t bx, int32_t by, int32_t bh) {
  return TBallLanes{_mm256_set1_epi32(bx), _mm256_set1_epi32(by), _mm256_set1_epi32(bh)};
}

// Lanes 0 .. 3 of a group in role RoleLo (0 attacking, 1 defending), lanes
// 4 .. 7 in RoleHi: a value by role, `attack` in attacking lanes, else
// `defend`. Known when compiled, so the register is read from memory.
template <int RoleLo, int RoleHi>
VANTOREL_AVX2_TARGET inline __m256i ByRole(int32_t attack, int32_t defend) {
  const int32_t lo = RoleLo == 0 ? attack : defend, hi = RoleHi == 0 ? attack : defend;
  return _mm256_setr_epi32(lo, lo, lo, lo, hi, hi, hi, hi);
}

// Lanes base .. base + 7 in 256-bit registers, eight 32-bit lanes each,
// lanes 0 .. 3 in role RoleLo and 4 .. 7 in RoleHi (a group of four lanes
// of each side may hold both roles).
// The integer tests are RunLaneCommon's, exact in 32 bits for positions and
// targets within 2^14 of the origin (any other lane is left to the player;
// a facing vector always lies within 2^15). The step's parts are worked out
// in single precision, correctly rounded at each of four steps (conversion,
// square root, division, product), so within 3.5 x 2^-24 of their true
// value: for steps below 256, less than 2^-14 off. A part that comes out
// within 2^-14 of a half is left to the player; any other rounds as the
// angles would.
template <int RoleLo, int RoleHi, class Io>
VANTOREL_AVX2_TARGET __attribute__((always_inline)) inline void RunEight256(const Io& io, const TBallLanes& ball,
                                                                            uint32_t& reaches, uint32_t& byPlayerBits) {
  constexpr bool allAttack = RoleLo == 0 && RoleHi == 0, allDefend = RoleLo != 0 && RoleHi != 0;
  // Tests are lanes of all ones (or, for a blend, just the sign bit set).
  const __m256i zero = _mm256_setzero_si256();
  const __m256i x = io.Load(&TRunLanes::X), y = io.Load(&TRunLanes::Y);
  const __m256i tx = io.Load(&TRunLanes::TargetX), ty = io.Load(&TRunLanes::TargetY);
  const __m256i fdxi = io.Load(&TRunLanes::FaceDx), fdyi = io.Load(&TRunLanes::FaceDy);
  // In range: -2^14 <= position, target < 2^14.
  const __m256i p14 = _mm256_set1_epi32(1 << 14);
  const __m256i pos = _mm256_or_si256(_mm256_or_si256(_mm256_add_epi32(x, p14), _mm256_add_epi32(y, p14)),
                                      _mm256_or_si256(_mm256_add_epi32(tx, p14), _mm256_add_epi32(ty, p14)));
  const __m256i inRange = _mm256_cmpeq_epi32(_mm256_srli_epi32(pos, 15), zero);
  const __m256i dxi = _mm256_sub_epi32(tx, x), dyi = _mm256_sub_epi32(ty, y);
  // (x, y) pairs of 16-bit parts: squares and dot products in one step each.
  const __m256i d = _mm256_blend_epi16(dxi, _mm256_slli_epi32(dyi, 16), 0xaa);
  const __m256i f = _mm256_blend_epi16(fdxi, _mm256_slli_epi32(fdyi, 16), 0xaa);
  const __m256i dist2 = _mm256_madd_epi16(d, d), dot = _mm256_madd_epi16(f, d);
  const __m256i within = _mm256_and_si256(inRange, _mm256_cmpgt_epi32(_mm256_set1_epi32(901), dist2));
  // A turn of more than a right angle (the sign bit): a negative dot
  // product, or facing back across the axis.
  const __m256i turned = _mm256_or_si256(dot, _mm256_and_si256(fdxi, _mm256_xor_si256(fdyi, dyi)));

  const __m256i one = _mm256_set1_epi32(1);
  const __m256i accel = io.Load(&TRunLanes::Accel);
  __m256i a = _mm256_sub_epi32(accel, _mm256_cmpgt_epi32(_mm256_set1_epi32(30), accel));  // one more below 30
  a = Blend(a, one, turned);
  // The step, pace x share / 30, with the share 3 x min(a, 10) attacking and
  // a defending: as (pace x min(a, 10)) / 10 and (pace x a) / 30, each
  // division a 16-bit high product and a shift, exact below 2^16. The
  // single-precision step takes pace x share below kFloatThirtieths.
  const __m256i pace = io.Load(&TRunLanes::Pace);
  const __m256i share = allDefend ? a : _mm256_min_epi32(a, ByRole<RoleLo, RoleHi>(10, INT32_MAX));
  const __m256i paced = _mm256_mullo_epi32(pace, share);
  const __m256i shortStep = _mm256_cmpeq_epi32(
      _mm256_min_epu32(paced, ByRole<RoleLo, RoleHi>(kFloatThirtieths / 3 - 1, kFloatThirtieths - 1)), paced);
  const __m256i high = _mm256_mulhi_epu16(paced, ByRole<RoleLo, RoleHi>(kTenth, kThirtieth));
  __m256i step;
  if constexpr (allAttack)
    step = _mm256_srli_epi32(high, kTenthShift);
  else if constexpr (allDefend)
    step = _mm256_srli_epi32(high, kThirtiethShift);
  else
    step = _mm256_srlv_epi32(high, ByRole<RoleLo, RoleHi>(kTenthShift, kThirtiethShift));

  // Lanes that do not step divide by something harmless. The conversion to
  // whole numbers rounds to the nearest, ties to even, as everywhere else.
  const __m256 length = _mm256_sqrt_ps(_mm256_cvtepi32_ps(_mm256_max_epi32(dist2, _mm256_set1_epi32(901))));
  const __m256 scale = _mm256_div_ps(_mm256_cvtepi32_ps(step), length);
  const __m256 vx = _mm256_mul_ps(_mm256_cvtepi32_ps(dxi), scale), vy = _mm256_mul_ps(_mm256_cvtepi32_ps(dyi), scale);
  const __m256i sx = _mm256_cvtps_epi32(vx), sy = _mm256_cvtps_epi32(vy);
  const __m256 nearHalf = _mm256_set1_ps(0.5f - 1.0f / 16384), sign = _mm256_set1_ps(-0.0f);
  const __m256i hair = _mm256_castps_si256(
      _mm256_cmp_ps(_mm256_max_ps(_mm256_andnot_ps(sign, _mm256_sub_ps(vx, _mm256_cvtepi32_ps(sx))),
                                  _mm256_andnot_ps(sign, _mm256_sub_ps(vy, _mm256_cvtepi32_ps(sy)))),
                    nearHalf, _CMP_GT_OQ));

  const __m256i freeze = io.Load(&TRunLanes::Freeze);
  const __m256i benched = _mm256_cmpeq_epi32(io.Load(&TRunLanes::OnPitch), zero);
  const __m256i frozen = _mm256_andnot_si256(benched, _mm256_cmpgt_epi32(freeze, zero));
  const __m256i still = _mm256_or_si256(benched, frozen);
  const __m256i idle = _mm256_or_si256(still, within);  // takes no step
  const __m256i arrives = _mm256_andnot_si256(still, within);
  // A step this pass can make: in range, a facing not at a right angle to
  // the run (dot 0 also when facing is kept as an angle), a short step, no
  // part a hair from a half.
  const __m256i sure = _mm256_andnot_si256(
      hair, _mm256_andnot_si256(_mm256_cmpeq_epi32(dot, zero), _mm256_and_si256(inRange, shortStep)));
  const __m256i moves = _mm256_andnot_si256(idle, sure);
  const __m256i byPlayer = _mm256_andnot_si256(_mm256_or_si256(idle, sure), _mm256_cmpeq_epi32(zero, zero));

  // Onto the target (x + dx) or a step on (x + sx): arrives and moves are
  // never both set.
  const __m256i nx = _mm256_add_epi32(_mm256_add_epi32(x, _mm256_and_si256(arrives, dxi)), _mm256_and_si256(moves, sx));
  const __m256i ny = _mm256_add_epi32(_mm256_add_epi32(y, _mm256_and_si256(arrives, dyi)), _mm256_and_si256(moves, sy));
  const __m256i nf = _mm256_add_epi32(freeze, frozen);  // one less where frozen
  const __m256i na = Blend(Blend(accel, one, frozen), a, moves);
  io.Store(&TRunLanes::X, nx);
  io.Store(&TRunLanes::Y, ny);
  io.Store(&TRunLanes::Freeze, nf);
  io.Store(&TRunLanes::Accel, na);
  // He now faces along the step's vector, its angle worked out when asked.
  io.Store(&TRunLanes::FaceDx, Blend(fdxi, dxi, moves));
  io.Store(&TRunLanes::FaceDy, Blend(fdyi, dyi, moves));

  // Within 10 of the ball when attacking; half his reach + 10 when defending.
  const __m256i reach = io.Load(&TRunLanes::Reach);
  const __m256i ten = _mm256_set1_epi32(10);
  __m256i r = ten;
  if constexpr (!allAttack) {
    const __m256i halfReach = _mm256_srai_epi32(_mm256_add_epi32(reach, _mm256_srli_epi32(reach, 31)), 1);
    r = _mm256_add_epi32(halfReach, ten);
    if constexpr (!allDefend) r = Blend(r, ten, ByRole<RoleLo, RoleHi>(-1, 0));
  }
  const __m256i ax = _mm256_abs_epi32(_mm256_sub_epi32(nx, ball.x));
  const __m256i ay = _mm256_abs_epi32(_mm256_sub_epi32(ny, ball.y));
  const __m256i inReach =
      _mm256_and_si256(_mm256_and_si256(_mm256_cmpgt_epi32(r, ax), _mm256_cmpgt_epi32(r, ay)),
                       _mm256_andnot_si256(_mm256_cmpgt_epi32(ball.h, reach), _mm256_cmpeq_epi32(nf, zero)));
  reaches = SignBits(_mm256_andnot_si256(_mm256_or_si256(benched, byPlayer), inReach));
  byPlayerBits = SignBits(byPlayer);
}

template <int Role>
VANTOREL_AVX2_TARGET TRunTick RunOneSide256(TRunLanes& l, const TBallLanes& ball) {
  uint32_t reaches[2], byPlayer[2];
  RunEight256<Role, Role>(TEightLanes{l, 0}, ball, reaches[0], byPlayer[0]);
  RunEight256<Role, Role>(TEightLanes{l, 8}, ball, reaches[1], byPlayer[1]);
  return TRunTick{reaches[0] | reaches[1] << 8, byPlayer[0] | byPlayer[1] << 8};
}

VANTOREL_AVX2_TARGET TRunTick RunOneSide256(TRunLanes& l, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  const TBallLanes ball = BallLanes(bx, by, bh);
  return role == 0 ? RunOneSide256<0>(l, ball) : RunOneSide256<1>(l, ball);
}

// Both sides, as RunTwoSides512: while no one plays from lanes 12 .. 15,
// in three registers of eight rather than four.
template <int RoleA, int RoleB>
VANTOREL_AVX2_TARGET void RunTwoSides256(TRunLanes& a, TRunLanes& b, const TBallLanes& ball, TRunTick& ra,
                                         TRunTick& rb) {
  uint32_t reaches[3], byPlayer[3];
  RunEight256<RoleA, RoleA>(TEightLanes{a, 0}, ball, reaches[0], byPlayer[0]);
  RunEight256<RoleB, RoleB>(TEightLanes{b, 0}, ball, reaches[1], byPlayer[1]);
  RunEight256<RoleA, RoleB>(TTwoFourLanes{a, b}, ball, reaches[2], byPlayer[2]);
  ra = TRunTick{reaches[0] | (reaches[2] & 0xf) << 8, byPlayer[0] | (byPlayer[2] & 0xf) << 8};
  rb = TRunTick{reaches[1] | (reaches[2] >> 4) << 8, byPlayer[1] | (byPlayer[2] >> 4) << 8};
}

VANTOREL_AVX2_TARGET void RunTwoSides256(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx,
                                         int32_t by, int32_t bh, TRunTick& ra, TRunTick& rb) {
  const __m128i lastFour = _mm_or_si128(_mm_load_si128(reinterpret_cast<const __m128i*>(a.OnPitch + 12)),
                                        _mm_load_si128(reinterpret_cast<const __m128i*>(b.OnPitch + 12)));
  if (!_mm_testz_si128(lastFour, lastFour)) [[unlikely]] {
    ra = RunOneSide256(a, roleA, bx, by, bh);
    rb = RunOneSide256(b, roleB, bx, by, bh);
    return;
  }
  const TBallLanes ball = BallLanes(bx, by, bh);
  switch ((roleA != 0) * 2 + (roleB != 0)) {
    case 0: return RunTwoSides256<0, 0>(a, b, ball, ra, rb);
    case 1: return RunTwoSides256<0, 1>(a, b, ball, ra, rb);
    case 2: return RunTwoSides256<1, 0>(a, b, ball, ra, rb);
    default: return RunTwoSides256<1, 1>(a, b, ball, ra, rb);
  }
}

VANTOREL_AVX2_TARGET uint32_t NearestLanes256(const TRunLanes& l, uint32_t among, int32_t px, int32_t py, int32_t rx,
                                              int32_t ry, int32_t k, bool useK) {
  const __m256i far = _mm256_set1_epi32(20000 * 20000);
  const __m256i bx = _mm256_set1_epi32(rx), by = _mm256_set1_epi32(ry);
  const __m256i ppx = _mm256_set1_epi32(px), ppy = _mm256_set1_epi32(py);
  __m256i d2[2], least = far;
  uint32_t in = 0;
  for (int h = 0; h < 2; ++h) {
    const __m256i dx = _mm256_sub_epi32(Load8(l.X + 8 * h), ppx);
    const __m256i dy = _mm256_sub_epi32(Load8(l.Y + 8 * h), ppy);
    __m256i inV =
        _mm256_and_si256(_mm256_cmpgt_epi32(bx, _mm256_abs_epi32(dx)), _mm256_cmpgt_epi32(by, _mm256_abs_epi32(dy)));
    if (useK) inV = _mm256_and_si256(inV, _mm256_cmpgt_epi32(Load8(l.Anticipate + 8 * h), _mm256_set1_epi32(k)));
    // Within 30000 in both, both parts are 16-bit numbers and the squared
    // distance fits 32 bits: one multiply-add of (dx, dy) pairs (any other
    // lane is out).
    const __m256i d = _mm256_blend_epi16(dx, _mm256_slli_epi32(dy, 16), 0xaa);
    d2[h] = _mm256_madd_epi16(d, d);
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
  switch (LaneKernel()) {
    case TLaneKernel::kVector512: return RunTwoSides512(a, roleA, b, roleB, bx, by, bh, ra, rb);
    case TLaneKernel::kVector256: return RunTwoSides256(a, roleA, b, roleB, bx, by, bh, ra, rb);
    default: break;
  }
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
