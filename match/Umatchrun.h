// The running state of a side's players, one lane per player, and the
// running tick of a whole side worked out lane by lane side by side.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// A facing vector is kept as a vector only while both its parts lie within
// (-kShortFacing, kShortFacing); every vector on the pitch does.
constexpr int64_t kShortFacing = int64_t(1) << 15;

// A side keeps the running state of its players (up to eleven on the pitch
// and five on the bench) in lanes, each Tmplayer reading and writing his own
// lane, so that the running tick of all of them is one pass over arrays.
struct alignas(64) TRunLanes {
  static constexpr int kLanes = 16;
  int32_t X[kLanes] = {};
  int32_t Y[kLanes] = {};
  int32_t TargetX[kLanes] = {};
  int32_t TargetY[kLanes] = {};
  int32_t Accel[kLanes] = {};
  int32_t Freeze[kLanes] = {};
  // Facing as a vector, both parts within (-kShortFacing, kShortFacing):
  // (0, 0) while it is kept as an angle.
  int32_t FaceDx[kLanes] = {};
  int32_t FaceDy[kLanes] = {};
  int32_t Pace[kLanes] = {};
  int32_t Reach[kLanes] = {};
  int32_t Anticipate[kLanes] = {};
  int32_t OnPitch[kLanes] = {};  // 1 for a player on the pitch: only these run
  // What the shapes read of each player: his formation position and
  // position code.
  int32_t HomeX[kLanes] = {};
  int32_t HomeY[kLanes] = {};
  int32_t Mtype[kLanes] = {};
};

// What one running tick of a side's lanes left: bit k for lane k.
struct TRunTick {
  uint32_t Reaches = 0;   // on the pitch and able to play the ball
  uint32_t ByPlayer = 0;  // left untouched for Tmplayer::Run: a rare case, or a step the pass cannot be sure of
};

// The step after a run-up of accel ticks (1..30) at full pace `pace`:
// attacking (role 0) a tenth more of his pace each tick up to all of it
// after ten, defending a thirtieth more each tick up to all of it after
// thirty.
inline int32_t RunUpStep(int32_t pace, int32_t accel, int32_t role) {
  const int32_t share = role == 0 ? 3 * (accel < 10 ? accel : 10) : accel;  // in thirtieths
  return pace * share / 30;
}

// The step of length `step` toward (dx, dy), dist2 = dx^2 + dy^2 > 0, as
// whole parts: rnd(cos t x step), rnd(sin t x step) with t the direction to
// the target. cos t and sin t are dx / r and dy / r to within a few units in
// the last place, so this cheap form rounds the same way unless a product
// lies a hair from a half; then it returns false and only the trigonometric
// functions themselves can tell.
inline bool RoundStep(int64_t dx, int64_t dy, int64_t dist2, int32_t step, int32_t& sx, int32_t& sy) {
  const double scale = step / std::sqrt(double(dist2));
  const double vx = double(dx) * scale, vy = double(dy) * scale;
  constexpr double kMagic = 6755399441055744.0;  // 1.5 x 2^52: adding it rounds to a whole number, ties to even
  const double rx = (vx + kMagic) - kMagic, ry = (vy + kMagic) - kMagic;
  constexpr double kNearHalf = 0.5 - 1e-9;  // the rounding could go either way
  if ((std::fabs(vx - rx) > kNearHalf) | (std::fabs(vy - ry) > kNearHalf)) [[unlikely]]
    return false;
  sx = int32_t(rx);
  sy = int32_t(ry);
  return true;
}

// One running tick of lane k toward its target (role 0 attacking, 1
// defending), as Tmplayer::Run gives it, in the common cases: the frozen
// count down, the arrived step onto their targets, the rest take a step.
// False, and the lane untouched, for the rare ones, which only the angles
// themselves decide: a facing kept as an angle or at a right angle to the
// run, a run too long for exact integer tests, a step part a hair from a
// half.
inline bool RunLaneCommon(TRunLanes& l, int k, int32_t role) {
  if (l.Freeze[k] > 0) [[unlikely]] {
    --l.Freeze[k];
    l.Accel[k] = 1;
    return true;
  }
  const int64_t dx = int64_t(l.TargetX[k]) - l.X[k];
  const int64_t dy = int64_t(l.TargetY[k]) - l.Y[k];
  const int64_t dist2 = dx * dx + dy * dy;
  if (dist2 <= 900) {  // within 30: he steps onto the target
    l.X[k] = l.TargetX[k];
    l.Y[k] = l.TargetY[k];
    return true;
  }
  // A turn of more than a right angle starts the run-up again: for two short
  // vectors not at a right angle, a negative dot product, or facing back
  // (x < 0) across the axis, where the angle jumps from pi to -pi.
  const int64_t fdx = l.FaceDx[k], fdy = l.FaceDy[k];
  const int64_t dot = fdx * dx + fdy * dy;  // 0 also when facing is kept as an angle
  if ((dist2 >= kShortFacing * kShortFacing) | (dot == 0)) [[unlikely]]
    return false;
  const bool turned = (dot < 0) | ((fdx < 0) & ((fdy >= 0) != (dy >= 0)));
  const int32_t accel = turned ? 1 : l.Accel[k] + (l.Accel[k] < 30);
  const int32_t step = RunUpStep(l.Pace[k], accel, role);
  int32_t sx, sy;
  if (!RoundStep(dx, dy, dist2, step, sx, sy)) [[unlikely]]
    return false;
  l.Accel[k] = accel;
  // He now faces along the run's vector, its angle worked out when asked.
  l.FaceDx[k] = int32_t(dx);
  l.FaceDy[k] = int32_t(dy);
  l.X[k] += sx;
  l.Y[k] += sy;
  return true;
}

// Whether the player of lane k can play the ball at (bx, by), at height bh:
// within 10 of it when attacking (role 0), within half his reach + 10 when
// defending, not frozen and reaching that high.
inline bool LaneReachesBall(const TRunLanes& l, int k, int32_t role, int32_t bx, int32_t by, int32_t bh) {
  const int32_t r = role == 0 ? 10 : l.Reach[k] / 2 + 10;
  return std::abs(l.X[k] - bx) < r && std::abs(l.Y[k] - by) < r && l.Freeze[k] == 0 && l.Reach[k] >= bh;
}

// How a side's lanes run: one by one on any processor, or side by side in
// 256-bit (AVX2) or 512-bit (AVX-512) vector registers. All give the same
// bits.
enum class TLaneKernel : int { kOneByOne = 0, kVector256 = 1, kVector512 = 2 };
// A kernel's name, as `vantorel-sim bench --lanes` takes it and the tests
// log it: "none", "avx2", "avx512".
const char* LaneKernelName(TLaneKernel kernel);
// The kernel of that name; false (and kernel unchanged) for any other name.
bool LaneKernelNamed(std::string_view name, TLaneKernel& kernel);
// The widest this processor has.
TLaneKernel BestLaneKernel();
// The one in use: the best, unless a narrower one was asked for.
TLaneKernel LaneKernel();
// Asks for a kernel (tests and the bench compare them); one the processor
// lacks gives the best it has.
void SetLaneKernel(TLaneKernel kernel);

// One running tick of every lane on the pitch: RunLaneCommon and then the
// reach test against the ball at (bx, by) and height bh for every lane
// except those in ByPlayer, which are left untouched. The vector kernels
// work a step out in single precision and leave to the player a few more
// lanes than RunLaneCommon would (a part near a half, a lane far off the
// pitch); every lane they run ends exactly where RunLaneCommon takes it.
TRunTick RunSideLanes(TRunLanes& lanes, int32_t role, int32_t bx, int32_t by, int32_t bh);
// RunSideLanes for two sides that run at the same moment (neither reads
// the other's lanes).
void RunBothSidesLanes(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx, int32_t by, int32_t bh,
                       TRunTick& ra, TRunTick& rb);

// The lanes among `among` (a bit per lane) whose players stand within rx in
// x and ry in y of (px, py), closer than 20000, and (when useK) whose
// anticipation exceeds k, that lie nearest to (px, py): usually one; 0 when
// none. rx and ry at most 30000. Only for the vector kernels.
uint32_t NearestLanes(const TRunLanes& lanes, uint32_t among, int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t k,
                      bool useK);
