// The running state of a side's players, one lane per player, and the
// running tick of a whole side worked out lane by lane side by side.
#pragma once

#include <cstdint>

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
  // Facing as a vector: (0, 0) while it is kept as an angle.
  int32_t FaceDx[kLanes] = {};
  int32_t FaceDy[kLanes] = {};
  int32_t Pace[kLanes] = {};
  int32_t Reach[kLanes] = {};
  int32_t Anticipate[kLanes] = {};
  int32_t OnPitch[kLanes] = {};  // 1 for a player on the pitch: only these run
  bool FaceByVector[kLanes] = {};
  bool FacingKnown[kLanes] = {};
};

// What one running tick of a side's lanes left: bit k for lane k.
struct TRunTick {
  uint32_t Reaches = 0;   // on the pitch and able to play the ball
  uint32_t ByPlayer = 0;  // a rare case, left untouched for Tmplayer::Run
};

// Whether RunSideLanes can be used on this processor (and is not switched
// off); when not, every player runs through Tmplayer::Run.
bool LaneRunningAvailable();
// Switches the lane running off or back on (tests compare the two).
void SetLaneRunning(bool on);

// One running tick of every lane on the pitch, exactly as Tmplayer::Run
// (role 0 attacking, 1 defending) and then the reach test against the ball
// at (bx, by) and height bh would give it, for every lane except those in
// ByPlayer: the frozen count down, the arrived step onto their targets, the
// rest take a step. Only for LaneRunningAvailable().
TRunTick RunSideLanes(TRunLanes& lanes, int32_t role, int32_t bx, int32_t by, int32_t bh);
// RunSideLanes for two sides that run at the same moment (neither reads
// the other's lanes).
void RunBothSidesLanes(TRunLanes& a, int32_t roleA, TRunLanes& b, int32_t roleB, int32_t bx, int32_t by, int32_t bh,
                       TRunTick& ra, TRunTick& rb);

// The lanes among `among` (a bit per lane) whose players stand within rx in
// x and ry in y of (px, py), closer than 20000, and (when useK) whose
// anticipation exceeds k, that lie nearest to (px, py): usually one; 0 when
// none. rx and ry at most 30000. Only for LaneRunningAvailable().
uint32_t NearestLanes(const TRunLanes& lanes, uint32_t among, int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t k,
                      bool useK);
