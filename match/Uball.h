// The ball of a match: its flight, bounce and roll, the out-of-play and goal
// tests, and the ball-side half of every touch (kick, push, trap, keeper's
// catch or parry). Who touches the ball is the match driver's business.
#pragma once

#include <cmath>
#include <cstdint>

#include "club/Uarith.h"

// A point on the pitch, in pitch units (pitch 12100 x 8400, centre 6050,4200).
struct Tmpoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const Tmpoint& o) const { return X == o.X && Y == o.Y; }
};

// Pitch constants shared by the whole match engine.
constexpr int32_t kPitchCentreX = 6050;
constexpr int32_t kPitchCentreY = 4200;
constexpr int32_t kPitchWidth = 12100;
constexpr int32_t kPitchHeight = 8400;
constexpr int32_t kLeftGoalLineX = 800;
constexpr int32_t kRightGoalLineX = 11300;

// Distance between two pitch points dx and dy apart. For whole numbers of
// pitch size the sum of squares is exact, so this is the distance correctly
// rounded. std::hypot gives the same or a value one unit in the last place
// away: never enough to change the distance rounded to a whole number, or a
// twentieth of it rounded, or a comparison with a whole number (the root of
// a whole number that is not a square lies far from any half).
inline double PitchDistance(int64_t dx, int64_t dy) { return std::sqrt(double(dx * dx + dy * dy)); }

// PitchDistance rounded to a whole number, ties to even: what
// RoundHalfEven(PitchDistance(dx, dy)) gives. Below 2^20 the root of a whole
// number lies either on a whole number or at least 2^-23 from any half, far
// beyond the root's own rounding error, so adding a half and cutting off the
// fraction rounds the same way without the general rounding's tests.
inline int32_t RoundedPitchDistance(int32_t dx, int32_t dy) {
  const int64_t n = int64_t(dx) * dx + int64_t(dy) * dy;
  if (n < (int64_t(1) << 40)) [[likely]]
    return int32_t(std::sqrt(double(n)) + 0.5);
  return RoundHalfEven(PitchDistance(dx, dy));
}

// Results of Tball::CheckOut.
enum TOutCode : int32_t {
  kInPlay = 0,
  kThrowIn = 1,
  kOverGoalLine = 2,  // goal kick or corner, decided by the driver
  kWoodwork = 3,      // came back off a post or the bar
  kGoalLeft = 4,
  kGoalRight = 5,
};

class Tball {
 public:
  Tball();

  int32_t X = 0, Y = 0;
  int32_t TargetX = 0, TargetY = 0;  // where the current kick was aimed (after its error)
  double Angle = 0.0;                // direction of travel, radians from +x toward +y
  int32_t BallSpeed = 0;             // distance per tick along Angle
  int32_t BallHeight = 0;            // 0 = on the ground
  int32_t VSpeed = 0;                // added to the height each tick
  int32_t Bounce = 0;                // vertical speed given at the next bounce
  bool Aimed = false;                // from a kick until the first bounce, a trap, a push or a reset

  // Stops the ball dead at p.
  void Reset(Tmpoint p);
  void Reset(int32_t x, int32_t y) { Reset(Tmpoint{x, y}); }
  // The point the players run to: the aimed point of a kick in flight, else the ball.
  Tmpoint AimPoint() const;
  // Ticks until an aimed ball reaches its target (0 when not aimed).
  int32_t FlightTicks() const;
  // One tick of movement.
  void Move();
  // Comes back off a post or the bar.
  void Rebound();
  // Field-of-play and goal test after a move; puts the ball on the restart
  // spot when it is out. Returns a TOutCode.
  int32_t CheckOut();
  // An outfield player's attempt to control the ball (his ball control value).
  void Trap(int32_t control);
  // The keeper's attempt to catch it; a failed catch is a parry.
  void KeeperTrap(int32_t control);
  // A dribbling player pushes the ball ahead (pace per tick, direction).
  void Push(int32_t pace, double direction);
  // Pass, cross, clearance or shot toward a point, with the kicker's kick
  // value and a loft (0 for a ground ball).
  void Kick(Tmpoint target, int32_t kick, int32_t loft);

  // True when the ball lies still on the ground.
  bool Stopped() const { return BallSpeed == 0 && BallHeight == 0; }

 private:
  // cos and sin of the last Angle moved along; Angle changes only at a touch.
  double cachedAngle_ = 0.0, cosAngle_ = 1.0, sinAngle_ = 0.0;
};
