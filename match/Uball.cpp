#include "match/Uball.h"

#include <algorithm>
#include <cmath>

#include "club/Uarith.h"
#include "club/Urandom.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

constexpr int32_t kInPlayHalfLength = 5255;  // |6050 - x| allowed
constexpr int32_t kInPlayHalfWidth = 3405;   // |4200 - y| allowed
constexpr int32_t kCrossbarLow = 245;
constexpr int32_t kCrossbarHigh = 255;

inline int32_t Rnd(double v) { return RoundHalfEven(v); }
inline double Degrees(int32_t d) { return d * kPi / 180.0; }
// Which end of the pitch a position lies at: 0 left, 1 right (x 10000 and more).
inline int32_t RightEnd(int32_t x) { return x >= 10000 ? 1 : 0; }
// Which touchline side: 0 top, 1 bottom (y 5000 and more).
inline int32_t BottomSide(int32_t y) { return y >= 5000 ? 1 : 0; }
}  // namespace

Tball::Tball() { Reset(kPitchCentreX, kPitchCentreY); }

void Tball::Reset(Tmpoint p) {
  X = TargetX = p.X;
  Y = TargetY = p.Y;
  BallSpeed = BallHeight = VSpeed = Bounce = 0;
  Aimed = false;
}

Tmpoint Tball::AimPoint() const {
  if (Aimed && BallSpeed >= 10) return Tmpoint{TargetX, TargetY};
  return Tmpoint{X, Y};
}

int32_t Tball::FlightTicks() const {
  if (!Aimed) return 0;
  return Rnd(PitchDistance(X - TargetX, Y - TargetY) / 20.0);
}

void Tball::Move() {
  if (BallSpeed != 0) {
    // A resting or vertically bouncing ball keeps its place: cos and sin of
    // any angle times 0 round to 0.
    if (Angle != cachedAngle_) {
      cachedAngle_ = Angle;
      cosAngle_ = std::cos(Angle);
      sinAngle_ = std::sin(Angle);
    }
    X += Rnd(cosAngle_ * BallSpeed);
    Y += Rnd(sinAngle_ * BallSpeed);
  }
  BallHeight += VSpeed;
  if (BallHeight == 0) {
    BallSpeed = BallSpeed * 9 / 10;  // rolling loses a tenth per tick
  } else if (BallHeight < 0) {
    BallHeight = 0;
    Bounce = Bounce / 2;
    if (Bounce > 0) {
      VSpeed = Bounce;
      BallSpeed = BallSpeed / 2;
      Aimed = false;
    } else {
      VSpeed = 0;  // lands dead; an aimed ball stays aimed while it rolls
    }
  } else {
    VSpeed -= 2;  // no friction in the air, only gravity
  }
}

void Tball::Rebound() {
  VSpeed = 0;
  Angle = kPi - Angle;
  X = X < kPitchCentreX ? kLeftGoalLineX : kRightGoalLineX;
}

int32_t Tball::CheckOut() {
  if (std::abs(kPitchCentreX - X) <= kInPlayHalfLength && std::abs(kPitchCentreY - Y) <= kInPlayHalfWidth)
    return kInPlay;
  // Out: the case is decided by y alone.
  if ((Y >= -200 && Y <= 794) || (Y >= 7606 && Y <= 9000)) {
    Reset(X, BottomSide(Y) * 6700 + 850);
    return kThrowIn;
  }
  bool overGoalLine = true;
  if (Y >= 3835 && Y <= 4565) {
    if (BallHeight < kCrossbarLow) {
      int32_t code = kGoalLeft + RightEnd(X);
      Reset(kPitchCentreX, kPitchCentreY);
      return code;
    }
    if (BallHeight <= kCrossbarHigh) overGoalLine = false;
  } else if ((Y >= 3824 && Y <= 3834) || (Y >= 4566 && Y <= 4576)) {
    if (BallHeight < kCrossbarHigh) overGoalLine = false;
  }
  if (!overGoalLine) {
    Rebound();
    return kWoodwork;
  }
  Reset(RightEnd(X) * 9500 + 1300, BottomSide(Y) * 6800 + 800);
  return kOverGoalLine;
}

void Tball::Trap(int32_t control) {
  Aimed = false;
  if (VSpeed > 0) {
    // Still rising: the touch only deflects it.
    VSpeed = 0;
    Angle = Degrees(Random(360));
    Bounce = 0;
    BallSpeed = BallSpeed * 4 / 5;
    return;
  }
  int32_t r = Random(control * 2 / 3);
  if (r >= BallSpeed || (BallSpeed <= 10 && BallHeight == 0)) {
    Reset(X, Y);
  } else if (r >= 10) {
    Angle = Angle + Degrees(Random(45)) - kPi;
    BallSpeed = BallSpeed * 2 / 3;
    Bounce = 0;
  }
}

void Tball::KeeperTrap(int32_t control) {
  Aimed = false;
  int32_t r = Random(control);
  if (r >= BallSpeed || (BallSpeed <= 20 && BallHeight == 0)) {
    Reset(X, Y);
  } else {
    Angle = Angle + Degrees(Random(45)) - kPi;  // parried back the way it came
    Bounce = 0;
  }
}

void Tball::Push(int32_t pace, double direction) {
  Aimed = false;
  BallSpeed = pace * 9 / 5;
  Angle = direction;
  X += Rnd(std::cos(direction) * 100);
  Y += Rnd(std::sin(direction) * 100);
}

void Tball::Kick(Tmpoint target, int32_t kick, int32_t loft) {
  int32_t error = std::max(0, 10 - Random(kick) / 10);
  int32_t sy = 2 * Random(2) - 1;
  int32_t sx = 2 * Random(2) - 1;
  TargetX = target.X + sx * error * 50;
  TargetY = target.Y + sy * error * 50;
  BallSpeed = kick / 2 + 50;
  if (error == 0 && loft != 0 && Random(2) == 0) BallSpeed = 30;  // a soft, placed ball
  // A kick value no record can hold would stall the ball; keep it moving.
  if (BallSpeed < 1) BallSpeed = 1;
  Angle = std::atan2(double(TargetY - Y), double(TargetX - X));
  double d = std::hypot(double(X - TargetX), double(Y - TargetY));
  if (BallSpeed != 30) d = d + loft * BallSpeed / 20.0;
  VSpeed = Bounce = Rnd(d * 0.5 / BallSpeed * 2);
  Aimed = true;
}
