// One footballer during one match: position and running, match values from
// his record, preferred actions, the shot and pass geometry, and his match
// statistics and rating.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "club/Ustream.h"
#include "match/Uball.h"
#include "match/Umatchrun.h"

// Indices into Tmplayer::Stats.
enum TStatIndex : int32_t {
  kStatGoal = 0,     // "ゴ"
  kStatAssist = 1,   // "ア"
  kStatSuccess = 2,  // "成"
  kStatMiss = 3,     // "ミ"
  kStatWon = 4,      // "奪"
  kStatBeaten = 5,   // "抜"
  kStatRating = 6,   // "総"
};

// Action codes of ActionOrder, as the driver carries them out.
enum TActionCode : int32_t {
  kActNone = -1,
  kActSpacePass = 0,
  kActFeed = 1,  // a cross is tried first
  kActDribble = 2,
  kActShot = 3,
  kActClear = 4,
};

// Results of ShotCheck.
enum TShotCode : int32_t {
  kShotNone = -1,
  kShotNow = 0,           // shoot now
  kShotDribbleNow = 1,    // close but not facing it: dribble toward the aim at once
  kShotDribbleLater = 2,  // in range but not facing it: plan a dribble toward it
};

class Tmplayer {
  // Lanes of his own, for a player no side keeps (declared first: the lane
  // references below are bound to them).
  std::unique_ptr<TRunLanes> ownLanes_;
  TRunLanes& lanes_;
  int lane_;

 public:
  // A player with a running-state lane of his own.
  Tmplayer();
  // A player running in lane `lane` of a side's lanes, which outlive him.
  Tmplayer(TRunLanes& lanes, int lane);
  Tmplayer(Tmplayer&&) = default;  // keeps the lanes he runs in

  std::string Name;
  // His running state, kept in his lane.
  int32_t& X;
  int32_t& Y;
  int32_t& TargetX;  // point he runs to
  int32_t& TargetY;
  int32_t& Pace;        // match value 0: distance per tick at full speed
  int32_t& Reach;       // match value 1: highest ball he can play
  int32_t& Accel;       // run-up counter 1..30
  int32_t& Freeze;      // ticks he may not move or touch the ball
  int32_t& Anticipate;  // match value 5
  int32_t& HomeX;       // formation position; its half decides the goal he defends
  int32_t& HomeY;
  double FootAngle = 0.0;              // +pi/4 left-footed, -pi/4 right-footed
  int32_t Tackle = 0;                  // match value 2
  int32_t Control = 0;                 // match value 3
  int32_t Kick = 0;                    // match value 4
  std::array<int32_t, 6> Abilities{};  // S, H, D, C, K, A as loaded
  std::array<int32_t, 4> Choices{};    // Choice1..Choice4
  int32_t Number = 0;
  int32_t& Mtype;        // position code, in his lane too
  int32_t OnMinute = 0;  // minute he came on; after going off, minutes played
  std::array<int32_t, 7> Stats{};

  // Reads one player of a line-up stream for side 0..3 (sides 1 and 3 are
  // mirrored; sides 2 and 3 ignore the condition) and derives the match
  // values. Returns the strength pair used for substitution planning:
  // (0, attacking value) for attacking midfielders and forwards, else
  // (1, defending value). A truncated or impossible record raises StreamError.
  std::pair<int32_t, int32_t> Load(TStream& s, int32_t side);

  // Match values Pace .. Anticipate by index 0..5.
  int32_t MatchValue(int32_t index) const;
  // x of his own goal line (which 0) or the one he attacks (which 1).
  int32_t GoalX(int32_t which) const;
  // Puts him down at once: 0 mirrored home (change of ends), 1 home,
  // 2 target, 3 halfway line at the touchline (a substitute coming on).
  // He then faces the centre of the goal he attacks.
  void Place(int32_t mode);
  // One tick of running toward the target; role 0 attacking, 1 defending.
  // Every player runs every tick, so the common cases are inline (in his
  // lane, RunLaneCommon), the rare ones in RunByAngles.
  inline void Run(int32_t role);
  // Whether he can play the ball at (bx, by), at height bh: within 10 of it
  // when attacking (role 0), within half his reach + 10 when defending, not
  // frozen and reaching that high.
  bool ReachesBall(int32_t role, int32_t bx, int32_t by, int32_t bh) const {
    return LaneReachesBall(lanes_, lane_, role, bx, by, bh);
  }
  // Trades places with another player of his side: each takes the other's
  // running state into his own lane and everything else of the other's, so
  // that a player coming on runs in the lane of the one going off.
  void SwapWith(Tmplayer& other);
  // Knocked back after losing a duel or being beaten in one.
  void Beaten();
  // The keeper's handling area.
  bool InOwnArea() const;
  // Whether he can play the ball to p (a quarter circle on his strong side).
  bool InView(Tmpoint p) const;
  // Direction he dribbles in toward p.
  double AngleTo(Tmpoint p) const;
  // Whether and where he can shoot: a TShotCode, aiming point in aim.
  int32_t ShotCheck(Tmpoint& aim) const;
  // Point for a clearance.
  Tmpoint ClearTarget() const;
  // The three actions he tries with the ball, in order; unused slots -1.
  std::array<int32_t, 3> ActionOrder() const;
  // Counts event k (0..5) and recomputes the rating; flag 0 takes the
  // keeper's formula.
  void AddStat(int32_t index, int32_t flag);
  // Number followed directly by the name; counts stat k unless k is -1.
  std::string ScorerText(int32_t index);
  // Season statistics row: club id (0 here; the team fills it), Number,
  // minutes, goals, assists, rating.
  std::vector<int32_t> ResultRow(bool onPitch) const;
  // Comma rows for the match screen's grids.
  std::string InfoRow() const;
  std::string StatsRow() const;

  // Direction he last ran or was turned to, radians in (-pi, pi].
  double Facing() const {
    if (!FacesByVector()) return facing_;
    if (faceDx_ != seenDx_ || faceDy_ != seenDy_) {
      seenAngle_ = std::atan2(double(faceDy_), double(faceDx_));
      seenDx_ = faceDx_;
      seenDy_ = faceDy_;
    }
    return seenAngle_;
  }
  // Turns him to an arbitrary direction.
  void SetFacing(double angle) {
    facing_ = angle;
    faceDx_ = faceDy_ = 0;
  }

  // Same position as his target (nothing to run for).
  bool OnTarget() const { return X == TargetX && Y == TargetY; }
  Tmpoint Position() const { return Tmpoint{X, Y}; }
  Tmpoint Home() const { return Tmpoint{HomeX, HomeY}; }
  void SetTarget(Tmpoint p) {
    TargetX = p.X;
    TargetY = p.Y;
  }
  bool LeftFooted() const { return FootAngle > 0; }

 private:
  // Facing is always the direction of an integer vector (the last step's
  // offset to the target, or the line to the goal he attacks). A short one
  // (both parts below kShortVector in size, as every vector on the pitch is)
  // is kept as it is and its angle worked out only when someone asks, so the
  // run-up's turn test can be decided on the vector itself. A longer one, or
  // (0, 0), is kept as its angle, with the vector (0, 0): the angle of (0, 0)
  // is 0 either way, and the turn test on an angle gives what the angles of
  // the vector would.
  static constexpr int64_t kShortVector = kShortFacing;
  // In his lane: the facing vector, (0, 0) while kept as an angle.
  int32_t& faceDx_;
  int32_t& faceDy_;
  mutable double facing_ = 0.0;  // the angle, while kept as one
  // The last vector whose angle was asked for, and that angle.
  mutable int32_t seenDx_ = 0, seenDy_ = 0;
  mutable double seenAngle_ = 0.0;

  Tmplayer(std::unique_ptr<TRunLanes> own, TRunLanes* lanes, int lane);

  bool FacesByVector() const { return (faceDx_ | faceDy_) != 0; }
  static bool IsShort(int64_t v) { return v > -kShortVector && v < kShortVector; }
  void FaceAlong(int64_t dx, int64_t dy) { FaceAlongMove(dx, dy, IsShort(dx) && IsShort(dy)); }
  // isShort may say false of a short vector, never true of a long one.
  void FaceAlongMove(int64_t dx, int64_t dy, bool isShort) {
    if (isShort & ((dx | dy) != 0)) [[likely]] {
      faceDx_ = int32_t(dx);
      faceDy_ = int32_t(dy);
    } else {
      SetFacing(std::atan2(double(dy), double(dx)));
    }
  }
  // InView for a facing kept as a vector and the point (ux, uy) from him,
  // by integer geometry: 1 or 0, or -1 where only the angles can tell.
  int InViewByVectors(int64_t ux, int64_t uy) const;
  bool TurnsMoreThanRightAngle(int64_t dx, int64_t dy) const;
  // A step whose parts lie a hair from a half: taken by the angle itself.
  void StepAlongFacing(int32_t step);
  // The cases of Run that RunLaneCommon leaves: a facing kept as an angle
  // or at a right angle to the run, a long run, a step a hair from a half.
  void RunByAngles(int32_t role);
};

void Tmplayer::Run(int32_t role) {
  if (!RunLaneCommon(lanes_, lane_, role)) [[unlikely]]
    RunByAngles(role);
}

// Whether the plain difference of the angles of two integer vectors,
// atan2(uy, ux) - atan2(fy, fx), exceeds a right angle in size: decided by
// integer arithmetic wherever that is certain, by the angles themselves only
// at an exact right angle or for vectors too long to be exact.
bool TurnExceedsRightAngle(int64_t fx, int64_t fy, int64_t ux, int64_t uy);
