#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "club/Uarith.h"
#include "club/Urandom.h"
#include "match/Uball.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

Tball RollingBall(int32_t x, int32_t y, double angle, int32_t speed) {
  Tball b;
  b.Reset(x, y);
  b.Angle = angle;
  b.BallSpeed = speed;
  return b;
}
}  // namespace

TEST(BallMove, RollingBallLosesATenthPerTick) {
  Tball b = RollingBall(1000, 4200, 0.0, 100);
  std::vector<int32_t> steps;
  for (int i = 0; i < 5; ++i) {
    int32_t before = b.X;
    b.Move();
    steps.push_back(b.X - before);
    EXPECT_EQ(b.Y, 4200);
  }
  EXPECT_EQ(steps, (std::vector<int32_t>{100, 90, 81, 72, 64}));
  // It comes to rest: 9 * 9 div 10 ... reaches 1 and then 0.
  for (int i = 0; i < 60; ++i) b.Move();
  EXPECT_EQ(b.BallSpeed, 0);
  EXPECT_TRUE(b.Stopped());
}

TEST(BallMove, FlightKeepsSpeedAndFallsUnderGravity) {
  Tball b = RollingBall(1000, 4200, 0.0, 50);
  b.VSpeed = 6;
  b.Bounce = 6;
  b.Move();
  EXPECT_EQ(b.BallHeight, 6);
  EXPECT_EQ(b.VSpeed, 4);
  EXPECT_EQ(b.BallSpeed, 50);  // no friction in the air
  b.Move();                    // 10, vs 2
  b.Move();                    // 12, vs 0
  b.Move();                    // 12, vs -2
  EXPECT_EQ(b.BallHeight, 12);
  EXPECT_EQ(b.VSpeed, -2);
  EXPECT_EQ(b.X, 1200);
}

TEST(BallMove, LandingBouncesOnlyWithBounceOfTwoOrMore) {
  // Bounce 1: lands dead (1 div 2 = 0), keeps speed and stays aimed.
  Tball b = RollingBall(1000, 4200, 0.0, 40);
  b.BallHeight = 1;
  b.VSpeed = -2;
  b.Bounce = 1;
  b.Aimed = true;
  b.Move();
  EXPECT_EQ(b.BallHeight, 0);
  EXPECT_EQ(b.VSpeed, 0);
  EXPECT_EQ(b.Bounce, 0);
  EXPECT_EQ(b.BallSpeed, 40);
  EXPECT_TRUE(b.Aimed);

  // Bounce 3: bounces once at vertical speed 1, speed halves, no longer aimed.
  Tball c = RollingBall(1000, 4200, 0.0, 40);
  c.BallHeight = 1;
  c.VSpeed = -2;
  c.Bounce = 3;
  c.Aimed = true;
  c.Move();
  EXPECT_EQ(c.BallHeight, 0);
  EXPECT_EQ(c.VSpeed, 1);
  EXPECT_EQ(c.Bounce, 1);
  EXPECT_EQ(c.BallSpeed, 20);
  EXPECT_FALSE(c.Aimed);
  c.Move();  // rises to 1
  EXPECT_EQ(c.BallHeight, 1);
  EXPECT_EQ(c.VSpeed, -1);
  c.Move();  // 0: on the ground again, rolls
  EXPECT_EQ(c.BallHeight, 0);
  EXPECT_EQ(c.BallSpeed, 18);
}

TEST(BallKick, ErrorBoundsByKickValue) {
  RandSeed(7);
  std::set<int32_t> offsets100, offsets150;
  for (int i = 0; i < 3000; ++i) {
    Tball low;
    low.Kick(Tmpoint{5000, 3000}, 9, 0);  // below 10: always the full error
    EXPECT_EQ(std::abs(low.TargetX - 5000), 500);
    EXPECT_EQ(std::abs(low.TargetY - 3000), 500);

    Tball mid;
    mid.Kick(Tmpoint{5000, 3000}, 100, 0);
    int32_t ox = mid.TargetX - 5000, oy = mid.TargetY - 3000;
    EXPECT_EQ(std::abs(ox), std::abs(oy));
    EXPECT_EQ(ox % 50, 0);
    EXPECT_GE(std::abs(ox), 50);  // 100 is never perfect
    EXPECT_LE(std::abs(ox), 500);
    offsets100.insert(std::abs(ox));

    Tball high;
    high.Kick(Tmpoint{5000, 3000}, 150, 0);
    offsets150.insert(std::abs(high.TargetX - 5000));
  }
  EXPECT_EQ(offsets100.size(), 10u);  // every error 1..10 occurs
  EXPECT_TRUE(offsets150.count(0));   // 101 and more can be perfect
  EXPECT_LE(*offsets150.rbegin(), 500);
}

TEST(BallKick, DrawOrderSpeedAndLoft) {
  // Draws: Random(k), then the y sign, then the x sign.
  RandSeed(123);
  RandomState st = GetRandomState();
  int32_t r = Random(80);
  int32_t sy = 2 * Random(2) - 1;
  int32_t sx = 2 * Random(2) - 1;
  SetRandomState(st);
  Tball b;
  b.Reset(2000, 4000);
  b.Kick(Tmpoint{4000, 4000}, 80, 0);
  int32_t e = std::max(0, 10 - r / 10);
  EXPECT_EQ(b.TargetX, 4000 + sx * e * 50);
  EXPECT_EQ(b.TargetY, 4000 + sy * e * 50);
  EXPECT_EQ(b.BallSpeed, 90);
  EXPECT_TRUE(b.Aimed);
  EXPECT_EQ(b.BallHeight, 0);
  double d = std::hypot(b.TargetX - 2000.0, b.TargetY - 4000.0);
  EXPECT_EQ(b.VSpeed, std::nearbyint(d * 0.5 / 90 * 2));
  EXPECT_EQ(b.Bounce, b.VSpeed);
  EXPECT_DOUBLE_EQ(b.Angle, std::atan2(b.TargetY - 4000.0, b.TargetX - 2000.0));
  EXPECT_EQ(b.FlightTicks(), int32_t(std::nearbyint(d / 20)));
  EXPECT_EQ(b.AimPoint(), (Tmpoint{b.TargetX, b.TargetY}));

  // A lofted ball flies longer: the loft adds L x speed / 20 to the flight.
  SetRandomState(st);
  Tball lofted;
  lofted.Reset(2000, 4000);
  lofted.Kick(Tmpoint{4000, 4000}, 80, 150);
  EXPECT_EQ(lofted.VSpeed, std::nearbyint((d + 150 * 90 / 20.0) * 0.5 / 90 * 2));
}

TEST(BallKick, SoftPlacedBallOnlyWhenPerfectAndLofted) {
  RandSeed(99);
  int perfectLofted = 0, soft = 0;
  for (int i = 0; i < 4000; ++i) {
    Tball flat;
    flat.Reset(3000, 4200);
    flat.Kick(Tmpoint{6000, 4200}, 200, 0);
    EXPECT_EQ(flat.BallSpeed, 150);  // loft 0: never soft

    Tball b;
    b.Reset(3000, 4200);
    b.Kick(Tmpoint{6000, 4200}, 200, 150);
    bool perfect = b.TargetX == 6000 && b.TargetY == 4200;
    if (!perfect) {
      EXPECT_EQ(b.BallSpeed, 150);
      continue;
    }
    ++perfectLofted;
    if (b.BallSpeed == 30) {
      ++soft;
      EXPECT_EQ(b.VSpeed, 100);  // 3000 / 30, the loft not added
    } else {
      EXPECT_EQ(b.BallSpeed, 150);
      EXPECT_EQ(b.VSpeed, std::nearbyint((3000 + 150 * 150 / 20.0) / 150));
    }
  }
  ASSERT_GT(perfectLofted, 500);
  EXPECT_NEAR(double(soft) / perfectLofted, 0.5, 0.08);
}

TEST(BallKick, KickedBallLandsNearItsTarget) {
  RandSeed(5);
  Tball b;
  b.Reset(2000, 2000);
  b.Kick(Tmpoint{5000, 6000}, 300, 0);  // perfect, ground kick
  ASSERT_EQ(b.TargetX, 5000);
  int ticks = 0;
  while (b.BallHeight > 0 || b.VSpeed > 0) {
    b.Move();
    ++ticks;
    ASSERT_LT(ticks, 1000);
  }
  EXPECT_LT(std::hypot(b.X - 5000.0, b.Y - 6000.0), 2.5 * b.BallSpeed + 10);
}

TEST(BallPush, PushMovesBallAheadAndSetsSpeed) {
  Tball b;
  b.Reset(3000, 3000);
  b.Aimed = true;
  b.BallHeight = 7;
  b.VSpeed = 3;
  b.Push(40, kPi / 2);
  EXPECT_FALSE(b.Aimed);
  EXPECT_EQ(b.BallSpeed, 72);
  EXPECT_EQ(b.X, 3000);
  EXPECT_EQ(b.Y, 3100);
  EXPECT_EQ(b.BallHeight, 7);
  EXPECT_EQ(b.VSpeed, 3);
  EXPECT_EQ(b.AimPoint(), (Tmpoint{3000, 3100}));
  EXPECT_EQ(b.FlightTicks(), 0);
}

TEST(BallTrap, RisingBallIsOnlyDeflected) {
  RandSeed(11);
  for (int i = 0; i < 200; ++i) {
    Tball b = RollingBall(5000, 4000, 0.3, 100);
    b.BallHeight = 20;
    b.VSpeed = 4;
    b.Bounce = 6;
    b.Aimed = true;
    b.Trap(100000);
    EXPECT_FALSE(b.Stopped());
    EXPECT_EQ(b.VSpeed, 0);
    EXPECT_EQ(b.Bounce, 0);
    EXPECT_EQ(b.BallSpeed, 80);
    EXPECT_FALSE(b.Aimed);
    double deg = b.Angle * 180 / kPi;
    EXPECT_NEAR(deg, std::nearbyint(deg), 1e-9);
    EXPECT_GE(deg, 0);
    EXPECT_LT(deg, 360);
  }
}

TEST(BallTrap, OutcomesOfAFallingOrRollingBall) {
  // A slow ball on the ground is always controlled, even with no control.
  Tball slow = RollingBall(5000, 4000, 1.0, 10);
  slow.Aimed = true;
  slow.Trap(0);
  EXPECT_TRUE(slow.Stopped());
  EXPECT_EQ(slow.AimPoint(), (Tmpoint{5000, 4000}));
  EXPECT_EQ(slow.TargetX, 5000);

  // No control (r = 0) and a fast ball: it passes on unchanged.
  Tball fast = RollingBall(5000, 4000, 1.0, 60);
  fast.Trap(1);
  EXPECT_EQ(fast.BallSpeed, 60);
  EXPECT_DOUBLE_EQ(fast.Angle, 1.0);

  // A sure trap (r >= speed for every r) stops the ball in the air too.
  RandSeed(3);
  Tball high = RollingBall(5000, 4000, 1.0, 0);
  high.BallHeight = 100;
  high.VSpeed = -4;
  high.Trap(3);  // Random(2) >= 0 = speed
  EXPECT_EQ(high.BallHeight, 0);
  EXPECT_TRUE(high.Stopped());

  // Bounce off the player: draws r, then the angle.
  RandSeed(21);
  RandomState st = GetRandomState();
  int bounced = 0;
  for (int i = 0; i < 500; ++i) {
    st = GetRandomState();
    int32_t r = Random(200);
    int32_t deg = Random(45);
    SetRandomState(st);
    Tball b = RollingBall(5000, 4000, 0.5, 150);
    b.Bounce = 4;
    b.Trap(300);
    if (r >= 150) {
      EXPECT_TRUE(b.Stopped());
    } else if (r >= 10) {
      ++bounced;
      EXPECT_EQ(b.BallSpeed, 100);
      EXPECT_EQ(b.Bounce, 0);
      EXPECT_DOUBLE_EQ(b.Angle, 0.5 + deg * kPi / 180.0 - kPi);
    } else {
      EXPECT_EQ(b.BallSpeed, 150);
      EXPECT_EQ(b.Bounce, 4);
    }
  }
  EXPECT_GT(bounced, 100);
}

TEST(BallTrap, KeeperCatchesOrParries) {
  Tball easy = RollingBall(1000, 4200, kPi, 20);
  easy.KeeperTrap(0);
  EXPECT_TRUE(easy.Stopped());

  RandSeed(8);
  Tball shot = RollingBall(1000, 4200, kPi, 120);
  shot.BallHeight = 30;
  shot.VSpeed = -2;
  shot.Bounce = 9;
  shot.Aimed = true;
  RandomState st = GetRandomState();
  Random(1);  // r of Random(1) is always 0
  int32_t deg = Random(45);
  SetRandomState(st);
  shot.KeeperTrap(1);  // r = 0 < 120: parried
  EXPECT_FALSE(shot.Aimed);
  EXPECT_EQ(shot.BallSpeed, 120);
  EXPECT_EQ(shot.VSpeed, -2);
  EXPECT_EQ(shot.Bounce, 0);
  EXPECT_DOUBLE_EQ(shot.Angle, kPi + deg * kPi / 180.0 - kPi);

  // A high control value catches almost anything.
  int caught = 0;
  for (int i = 0; i < 1000; ++i) {
    Tball b = RollingBall(1000, 4200, kPi, 100);
    b.BallHeight = 10;
    b.KeeperTrap(200);
    caught += b.Stopped();
  }
  EXPECT_NEAR(caught / 1000.0, 0.5, 0.06);
}

TEST(BallCheckOut, FieldOfPlayBoundaries) {
  Tball b;
  for (Tmpoint p : {Tmpoint{795, 795}, Tmpoint{11305, 7605}, Tmpoint{6050, 4200}}) {
    b.Reset(p);
    EXPECT_EQ(b.CheckOut(), kInPlay) << p.X << "," << p.Y;
    EXPECT_EQ(b.X, p.X);
  }
  b.Reset(6000, 794);
  EXPECT_EQ(b.CheckOut(), kThrowIn);
  EXPECT_EQ(b.Y, 850);
  EXPECT_EQ(b.X, 6000);
  b.Reset(6000, 7606);
  EXPECT_EQ(b.CheckOut(), kThrowIn);
  EXPECT_EQ(b.Y, 7550);
  // Over a touchline and a goal line at once: a throw-in, same x.
  b.Reset(11400, 700);
  b.BallSpeed = 50;
  EXPECT_EQ(b.CheckOut(), kThrowIn);
  EXPECT_EQ(b.X, 11400);
  EXPECT_EQ(b.Y, 850);
  EXPECT_EQ(b.BallSpeed, 0);
  b.Reset(600, 8900);
  EXPECT_EQ(b.CheckOut(), kThrowIn);
  EXPECT_EQ(b.Y, 7550);
}

TEST(BallCheckOut, GoalsWoodworkAndGoalLine) {
  struct Case {
    int32_t x, y, h, code, rx, ry;
  };
  const Case cases[] = {
      {11306, 4200, 244, kGoalRight, 6050, 4200},    {794, 4000, 0, kGoalLeft, 6050, 4200},
      {794, 3835, 100, kGoalLeft, 6050, 4200},       {11350, 4565, 0, kGoalRight, 6050, 4200},
      {11350, 4200, 245, kWoodwork, 11300, 4200},    {11350, 4200, 255, kWoodwork, 11300, 4200},
      {11350, 4200, 256, kOverGoalLine, 10800, 800}, {700, 3830, 254, kWoodwork, 800, 3830},
      {700, 3830, 255, kOverGoalLine, 1300, 800},    {700, 3824, 0, kWoodwork, 800, 3824},
      {700, 4576, 0, kWoodwork, 800, 4576},          {700, 3823, 0, kOverGoalLine, 1300, 800},
      {700, 4577, 0, kOverGoalLine, 1300, 800},  // y below 5000 restarts at the top corner
      {11400, 2000, 0, kOverGoalLine, 10800, 800},   {700, 6000, 300, kOverGoalLine, 1300, 7600},
      {11306, 795, 0, kOverGoalLine, 10800, 800},
  };
  for (const Case& c : cases) {
    Tball b = RollingBall(c.x, c.y, 0.25, 80);
    b.BallHeight = c.h;
    b.VSpeed = -4;
    EXPECT_EQ(b.CheckOut(), c.code) << c.x << "," << c.y << " h " << c.h;
    EXPECT_EQ(b.X, c.rx);
    EXPECT_EQ(b.Y, c.ry);
    if (c.code == kWoodwork) {
      EXPECT_EQ(b.VSpeed, 0);
      EXPECT_DOUBLE_EQ(b.Angle, kPi - 0.25);
      EXPECT_EQ(b.BallSpeed, 80);
      EXPECT_EQ(b.BallHeight, c.h);
      EXPECT_EQ(b.CheckOut(), kInPlay);  // back on the goal line, in play
    } else {
      EXPECT_TRUE(b.Stopped());
    }
  }
}

TEST(BallDistance, RoundedDistanceRoundsAsTheGeneralRounding) {
  // (m^2, m) lies just short of m^2 + 1/2, (m^2, m + 1) just beyond it;
  // from m = 1024 on the sum of squares passes 2^40 and the general
  // rounding takes over.
  std::vector<std::pair<int32_t, int32_t>> cases = {{0, 0}, {3, 4}, {-700, 0}, {1, 1}, {12100, -8400}};
  for (int32_t m : {1, 2, 3, 10, 99, 1000, 1023, 1024, 2000, 46340}) {
    cases.emplace_back(m * m, m);
    cases.emplace_back(-m * m, m + 1);
    cases.emplace_back(m, m * m - 1);
  }
  for (auto [dx, dy] : cases)
    EXPECT_EQ(RoundedPitchDistance(dx, dy), RoundHalfEven(PitchDistance(dx, dy))) << dx << "," << dy;
}
