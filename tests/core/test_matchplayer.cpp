#include <gtest/gtest.h>

#include <cmath>

#include "LaneKernelTestSupport.h"
#include "club/Ucp932.h"
#include "club/Ufunction.h"
#include "club/Urandom.h"
#include "match/Umatchplayer.h"
#include "match/Umatchrun.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

struct Record {
  int32_t number = 7;
  int32_t homeX = 3000, homeY = 2000;
  std::string name = "山田太郎";
  int32_t mtype = 19;
  std::array<int32_t, 6> ab{60, 50, 40, 70, 80, 90};
  int32_t cond = 4;
  std::array<int32_t, 4> choices{3, 1, 0, 2};
  uint8_t leg = 1;
};

TStream Write(const Record& r) {
  TStream s;
  s.WriteInt32(r.number);
  s.WriteInt32(r.homeX);
  s.WriteInt32(r.homeY);
  WriteString(s, r.name);
  s.WriteInt32(r.mtype);
  for (int32_t a : r.ab) s.WriteInt32(a);
  s.WriteInt32(r.cond);
  for (int32_t c : r.choices) s.WriteInt32(c);
  s.WriteByte(r.leg);
  s.Seek(0);
  return s;
}

// A player standing at (x, y) with the given home, facing and foot.
Tmplayer At(int32_t x, int32_t y, double facing = 0.0, bool rightFoot = true, int32_t homeX = 3000) {
  Tmplayer p;
  p.HomeX = homeX;
  p.HomeY = 4200;
  p.X = p.TargetX = x;
  p.Y = p.TargetY = y;
  p.SetFacing(facing);
  p.FootAngle = rightFoot ? -kPi / 4 : kPi / 4;
  p.Pace = 40;
  return p;
}
}  // namespace

TEST(MatchPlayerLoad, MatchValuesBySide) {
  Record r;
  {
    TStream s = Write(r);
    Tmplayer p;
    auto pair = p.Load(s, 0);
    EXPECT_TRUE(s.AtEnd());
    EXPECT_EQ(p.Number, 7);
    EXPECT_EQ(p.Name, "山田太郎");
    EXPECT_EQ(p.Position(), (Tmpoint{3000, 2000}));
    EXPECT_EQ(p.Home(), (Tmpoint{3000, 2000}));
    int32_t f = 4 + 30;
    EXPECT_EQ(p.Pace, (60 + f) / 10 + 30);
    EXPECT_EQ(p.Reach, 50 + f + 150);
    EXPECT_EQ(p.Tackle, 40 + f);
    EXPECT_EQ(p.Control, 70 + f);
    EXPECT_EQ(p.Kick, 80 + f);
    EXPECT_EQ(p.Anticipate, 90 + f);
    for (int i = 0; i < 6; ++i)
      EXPECT_EQ(p.MatchValue(i),
                (std::array<int32_t, 6>{p.Pace, p.Reach, p.Tackle, p.Control, p.Kick, p.Anticipate}[i]));
    EXPECT_DOUBLE_EQ(p.FootAngle, -kPi / 4);
    EXPECT_EQ(p.Choices, r.choices);
    EXPECT_EQ(p.Abilities, r.ab);
    // a forward: attacking value from the raw condition
    EXPECT_EQ(pair, (std::pair<int32_t, int32_t>{0, 60 + 80 + 90 + 12}));
    EXPECT_EQ(p.Accel, 1);
    EXPECT_EQ(p.Freeze, 0);
    EXPECT_EQ(p.Stats, (std::array<int32_t, 7>{0, 0, 0, 0, 0, 0, 5}));
  }
  {
    r.mtype = 11;
    r.leg = 0;
    TStream s = Write(r);
    Tmplayer p;
    auto pair = p.Load(s, 1);
    EXPECT_EQ(p.Home(), (Tmpoint{9100, 6400}));  // mirrored
    EXPECT_EQ(p.Position(), (Tmpoint{9100, 6400}));
    EXPECT_EQ(p.Tackle, 40 + 4 + 25);
    EXPECT_DOUBLE_EQ(p.FootAngle, kPi / 4);
    EXPECT_EQ(pair, (std::pair<int32_t, int32_t>{1, 40 + 12}));
  }
  for (int side : {2, 3}) {
    r.cond = -20;
    TStream s = Write(r);
    Tmplayer p;
    auto pair = p.Load(s, side);
    EXPECT_EQ(p.Tackle, 40 + 25) << side;  // condition ignored
    EXPECT_EQ(p.Pace, (60 + 25) / 10 + 30);
    EXPECT_EQ(p.HomeX, side == 3 ? 9100 : 3000);
    EXPECT_EQ(pair.second, 40 - 60);  // the plan still sees the condition
  }
}

TEST(MatchPlayerLoad, MalformedRecordsRaiseStreamError) {
  Record r;
  const std::vector<uint8_t> full = Write(r).Bytes();
  for (std::size_t n = 0; n < full.size(); ++n) {
    TStream s(std::vector<uint8_t>(full.begin(), full.begin() + n));
    Tmplayer p;
    EXPECT_THROW(p.Load(s, 0), StreamError) << "prefix " << n;
  }
  auto expectBad = [](std::vector<uint8_t> bytes, std::size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(uint32_t(value) >> (8 * i));
    TStream s(bytes);
    Tmplayer p;
    EXPECT_THROW(p.Load(s, 0), StreamError) << "offset " << at << " value " << value;
  };
  const std::size_t nameAt = 12;
  const std::size_t mtypeAt = nameAt + 4 + Cp932Length(r.name);
  expectBad(full, nameAt, 0x7fffffff);  // absurd name length
  expectBad(full, nameAt, -1);
  expectBad(full, mtypeAt, 21);  // no such position
  expectBad(full, mtypeAt, -1);
  expectBad(full, mtypeAt + 4, 5000);  // ability beyond any record
  expectBad(full, 4, 2000000000);      // home x
  expectBad(full, 0, 2147483647);      // a shirt number no list hands out
}

TEST(MatchPlayerRun, ArrivesWithinThirtyWhateverHisPace) {
  Tmplayer p = At(1000, 1000);
  p.Pace = 0;
  p.TargetX = 1018;
  p.TargetY = 1024;  // exactly 30 away
  double facing = p.Facing();
  p.Run(1);
  EXPECT_EQ(p.Position(), (Tmpoint{1018, 1024}));
  EXPECT_EQ(p.Facing(), facing);
  EXPECT_EQ(p.Accel, 1);
  p.TargetX = 1018 + 19;
  p.TargetY = 1024 + 24;  // sqrt(937) > 30: he has to run (and cannot, at pace 0)
  p.Run(0);
  EXPECT_EQ(p.Position(), (Tmpoint{1018, 1024}));
  EXPECT_EQ(p.Accel, 2);
}

TEST(MatchPlayerRun, RunUpForAttackersAndDefendersAndTurns) {
  for (int role : {0, 1}) {
    Tmplayer p = At(1000, 4200);
    p.TargetX = 100000;  // far away, straight ahead
    std::vector<int32_t> steps;
    for (int i = 0; i < 35; ++i) {
      int32_t before = p.X;
      p.Run(role);
      steps.push_back(p.X - before);
      EXPECT_EQ(p.Y, 4200);
    }
    for (int i = 0; i < 35; ++i) {
      int32_t accel = std::min(i + 2, 30);
      int32_t expected = role == 0 ? (accel < 10 ? 40 * accel / 10 : 40) : 40 * accel / 30;
      EXPECT_EQ(steps[i], expected) << "role " << role << " tick " << i;
    }
    EXPECT_EQ(p.Accel, 30);
    // a turn of more than a right angle starts the run-up again
    p.TargetX = p.X - 100000;
    p.Run(role);
    EXPECT_EQ(p.Accel, 1);
    EXPECT_DOUBLE_EQ(p.Facing(), kPi);
    // a turn of exactly a right angle does not
    p.Accel = 20;
    p.TargetX = p.X;
    p.TargetY = p.Y + 100000;
    p.Run(role);
    EXPECT_EQ(p.Accel, 21);
  }
  // a frozen player does not move and loses his run-up
  Tmplayer f = At(1000, 4200);
  f.TargetX = 5000;
  f.Accel = 12;
  f.Freeze = 2;
  f.Run(0);
  f.Run(0);
  EXPECT_EQ(f.Position(), (Tmpoint{1000, 4200}));
  EXPECT_EQ(f.Freeze, 0);
  EXPECT_EQ(f.Accel, 1);
  f.Run(0);
  EXPECT_EQ(f.X, 1000 + 40 * 2 / 10);
  // diagonal steps round half to even
  Tmplayer d = At(0, 0);
  d.TargetX = 3000;
  d.TargetY = 4000;
  d.Accel = 29;
  d.Run(1);  // step 40, direction 3-4-5
  EXPECT_EQ(d.Position(), (Tmpoint{24, 32}));
}

TEST(MatchPlayerPlace, GoalsPlacesAndKnockBack) {
  Tmplayer p = At(2000, 3000, 1.0, true, 3000);
  p.HomeY = 2500;
  EXPECT_EQ(p.GoalX(0), 800);
  EXPECT_EQ(p.GoalX(1), 11300);
  p.Place(1);
  EXPECT_EQ(p.Position(), (Tmpoint{3000, 2500}));
  EXPECT_DOUBLE_EQ(p.Facing(), std::atan2(1700.0, 8300.0));
  p.Place(0);  // change of ends
  EXPECT_EQ(p.Home(), (Tmpoint{9100, 5900}));
  EXPECT_EQ(p.Position(), (Tmpoint{9100, 5900}));
  EXPECT_EQ(p.GoalX(0), 11300);
  EXPECT_EQ(p.GoalX(1), 800);
  EXPECT_DOUBLE_EQ(p.Facing(), std::atan2(-1700.0, -8300.0));
  p.SetTarget({7000, 7000});
  p.Place(2);
  EXPECT_EQ(p.Position(), (Tmpoint{7000, 7000}));
  p.Place(3);
  EXPECT_EQ(p.Position(), (Tmpoint{6050, 0}));
  p.HomeX = 6050;  // the halfway line counts as the right half
  EXPECT_EQ(p.GoalX(0), 11300);

  Tmplayer left = At(5000, 4000, 2.0, true, 3000);
  left.Beaten();
  EXPECT_EQ(left.Position(), (Tmpoint{5400, 4000}));
  EXPECT_EQ(left.Facing(), 0.0);
  Tmplayer right = At(5000, 4000, 2.0, true, 9000);
  right.Beaten();
  EXPECT_EQ(right.Position(), (Tmpoint{4600, 4000}));
  EXPECT_DOUBLE_EQ(right.Facing(), kPi);
}

TEST(MatchPlayerGeometry, OwnAreaViewAndDribbleAngle) {
  EXPECT_TRUE(At(2299, 2401, 0, true, 800).InOwnArea());
  EXPECT_FALSE(At(2300, 4200, 0, true, 800).InOwnArea());
  EXPECT_FALSE(At(1000, 2400, 0, true, 800).InOwnArea());
  EXPECT_TRUE(At(9801, 5999, 0, true, 11300).InOwnArea());
  EXPECT_FALSE(At(9801, 5999, 0, true, 9999).InOwnArea());

  // right-footed, running along +x: straight ahead and the quarter toward -y
  Tmplayer r = At(5000, 4000, 0.0, true);
  EXPECT_TRUE(r.InView({6000, 4000}));
  EXPECT_TRUE(r.InView({6000, 3000}));
  EXPECT_TRUE(r.InView({6000, 3500}));
  EXPECT_FALSE(r.InView({6000, 2900}));
  EXPECT_FALSE(r.InView({6000, 4500}));
  EXPECT_FALSE(r.InView({4000, 4000}));
  // left-footed: the other quarter
  Tmplayer l = At(5000, 4000, 0.0, false);
  EXPECT_TRUE(l.InView({6000, 4500}));
  EXPECT_FALSE(l.InView({6000, 3500}));
  // the side is taken from Facing - FootAngle: running toward -y a
  // right-footed player sees the quarter on the other hand
  Tmplayer up = At(5000, 4000, -kPi / 2, true);
  EXPECT_TRUE(up.InView({5500, 3000}));
  EXPECT_FALSE(up.InView({4500, 3000}));

  // far from goal he veers 30 degrees to his stronger side
  Tmplayer d = At(5000, 4000, 0.0, true);
  EXPECT_DOUBLE_EQ(d.AngleTo({6000, 4000}), 0.0 + kPi / 4 * 2 / 3);
  // near the goal, on the side his foot favours, he goes straight
  Tmplayer n = At(9400, 4500, 0.0, true);
  EXPECT_DOUBLE_EQ(n.AngleTo({11300, 4500}), 0.0);
  Tmplayer w = At(9400, 3900, 0.0, true);
  EXPECT_DOUBLE_EQ(w.AngleTo({11300, 3900}), kPi / 4 * 2 / 3);
  Tmplayer edge = At(9300, 4500, 0.0, true);  // exactly 2000 away is not near
  EXPECT_DOUBLE_EQ(edge.AngleTo({11300, 4500}), kPi / 4 * 2 / 3);
}

TEST(MatchPlayerGeometry, ShotCheckCodesAndAim) {
  Tmpoint aim;
  EXPECT_EQ(At(10500, 4200, 0.0).ShotCheck(aim), kShotNow);
  EXPECT_EQ(aim, (Tmpoint{11300, 4200}));

  // running line meets the goal line inside the 375 band: aimed there
  EXPECT_EQ(At(10000, 4000, 0.1).ShotCheck(aim), kShotNow);
  EXPECT_EQ(aim, (Tmpoint{11300, 4130}));

  // facing straight up the pitch: never aims along his running line
  EXPECT_EQ(At(10500, 4200, -kPi / 2).ShotCheck(aim), kShotDribbleNow);
  EXPECT_EQ(aim, (Tmpoint{11300, 4200}));

  // off-centre: the foot direction decides the aim and the view
  EXPECT_EQ(At(9500, 3000, 0.0, true).ShotCheck(aim), kShotDribbleLater);
  EXPECT_EQ(aim, (Tmpoint{11300, 4200}));
  EXPECT_EQ(At(9500, 3000, 0.0, false).ShotCheck(aim), kShotNow);
  EXPECT_EQ(aim, (Tmpoint{11300, 4200}));
  // foot direction meets the goal within the band
  EXPECT_EQ(At(10000, 3100, 0.0, false).ShotCheck(aim), kShotNow);
  EXPECT_EQ(aim, (Tmpoint{11300, 4400}));

  // Facing away from the goal, by distance along the pitch: closer than
  // 1200 to dribble now, closer than 2200 to dribble later.
  EXPECT_EQ(At(10101, 4200, -kPi / 2).ShotCheck(aim), kShotDribbleNow);
  EXPECT_EQ(At(10100, 4200, -kPi / 2).ShotCheck(aim), kShotDribbleLater);
  EXPECT_EQ(At(9101, 4200, -kPi / 2).ShotCheck(aim), kShotDribbleLater);
  EXPECT_EQ(At(9100, 4200, -kPi / 2).ShotCheck(aim), kShotNone);
  EXPECT_EQ(aim, (Tmpoint{11300, 4200}));

  EXPECT_EQ(At(5000, 4200, 0.0).ShotCheck(aim), kShotNone);
  EXPECT_EQ(At(9100, 4200, 0.0).ShotCheck(aim), kShotNone);         // 2200 away
  EXPECT_EQ(At(9101, 2201, 0.0, false).ShotCheck(aim), kShotNone);  // 1999 across after the aim at 4200
  // attacking the left goal
  Tmplayer r = At(1500, 4300, kPi, false, 9000);
  EXPECT_EQ(r.ShotCheck(aim), kShotNow);
  EXPECT_EQ(aim.X, 800);
}

TEST(MatchPlayerGeometry, ClearTargetAlongHalfTheFootAngle) {
  EXPECT_EQ(At(2000, 4000, 0.0, true).ClearTarget(), (Tmpoint{2000 + 3880, 4000 - 1607}));
  EXPECT_EQ(At(2000, 4000, 0.0, false).ClearTarget(), (Tmpoint{2000 + 3880, 4000 + 1607}));
}

TEST(MatchPlayerActions, ActionOrderByZone) {
  using A = std::array<int32_t, 3>;
  auto order = [](int32_t x, int32_t y, std::array<int32_t, 4> ch, int32_t homeX = 3000) {
    Tmplayer p = At(x, y, 0.0, true, homeX);
    p.Choices = ch;
    return p.ActionOrder();
  };
  // own zone: first of 0/1, the other, then clear
  EXPECT_EQ(order(2800, 4200, {3, 1, 0, 2}), (A{1, 0, 4}));
  EXPECT_EQ(order(800, 100, {2, 0, 3, 1}), (A{0, 1, 4}));
  EXPECT_EQ(order(2800, 4200, {3, 2, 3, 2}), (A{0, 1, 4}));  // no 0 or 1 at all
  EXPECT_EQ(order(2801, 4200, {3, 1, 0, 2}), (A{1, 0, 2}));  // midfield: 3 skipped
  // 7800..9299 from the own goal line
  EXPECT_EQ(order(8600, 4200, {0, 1, 2, 3}), (A{0, 2, 3}));
  EXPECT_EQ(order(10099, 4900, {0, 1, 2, 3}), (A{0, 2, 3}));
  EXPECT_EQ(order(10099, 4901, {0, 1, 2, 3}), (A{0, 1, 2}));
  EXPECT_EQ(order(8600, 2199, {3, 0, 1, 2}), (A{0, 1, 2}));
  EXPECT_EQ(order(8600, 2200, {3, 0, 1, 2}), (A{3, 0, 1}));
  EXPECT_EQ(order(8599, 4200, {0, 1, 2, 3}), (A{0, 1, 2}));  // d 7799: 3 skipped
  // 9300..11000: shoot from the middle, feed from wide
  EXPECT_EQ(order(10100, 4900, {0, 1, 2, 3}), (A{3, -1, -1}));
  EXPECT_EQ(order(11800, 2199, {0, 1, 2, 3}), (A{1, -1, -1}));
  EXPECT_EQ(order(10500, 5000, {0, 3, 1, 2}), (A{3, 1, -1}));
  EXPECT_EQ(order(10500, 3000, {2, 1, 3, 0}), (A{1, 3, -1}));
  EXPECT_EQ(order(10500, 3000, {2, 0, 2, 0}), (A{3, 1, -1}));  // neither 1 nor 3
  EXPECT_EQ(order(11801, 4200, {3, 1, 0, 2}), (A{1, 0, 2}));   // beyond 11000
  // a right-half player measures from x 11300
  EXPECT_EQ(order(9300, 4200, {3, 1, 0, 2}, 9000), (A{1, 0, 4}));
  EXPECT_EQ(order(1000, 4200, {0, 1, 2, 3}, 9000), (A{3, -1, -1}));
  // only the first 3 is skipped
  EXPECT_EQ(order(5000, 4200, {3, 3, 1, 2}), (A{3, 1, 2}));
}

TEST(MatchPlayerStats, RatingFormulasAndClamp) {
  // a keeper conceding three goals with nothing else: 5 -> 2
  Tmplayer k;
  for (int32_t expected : {4, 3, 2}) {
    k.AddStat(kStatBeaten, 0);
    EXPECT_EQ(k.Stats[kStatRating], expected);
  }
  for (int i = 0; i < 5; ++i) k.AddStat(kStatBeaten, 0);
  EXPECT_EQ(k.Stats[kStatRating], 1);
  EXPECT_EQ(k.Stats[kStatBeaten], 8);
  // balls won count half in the keeper's formula
  Tmplayer w;
  w.AddStat(kStatWon, 0);
  EXPECT_EQ(w.Stats[kStatRating], 5);
  w.AddStat(kStatWon, 0);
  EXPECT_EQ(w.Stats[kStatRating], 6);

  // the outfield formula: duels count only after more than five
  Tmplayer o;
  for (int i = 0; i < 5; ++i) o.AddStat(kStatWon, 3);
  EXPECT_EQ(o.Stats[kStatRating], 5);
  o.AddStat(kStatWon, 3);  // W 6, B 0
  EXPECT_EQ(o.Stats[kStatRating], 8);
  o.AddStat(kStatBeaten, 3);  // W 6, B 1: 5 - 2 + 30 div 7
  EXPECT_EQ(o.Stats[kStatRating], 7);
  // passes count after more than ten
  Tmplayer m;
  for (int i = 0; i < 10; ++i) m.AddStat(kStatMiss, 2);
  EXPECT_EQ(m.Stats[kStatRating], 5);
  m.AddStat(kStatMiss, 2);
  EXPECT_EQ(m.Stats[kStatRating], 3);
  for (int i = 0; i < 11; ++i) m.AddStat(kStatSuccess, 2);  // 11 of 22: 5 - 2 + 55 div 22
  EXPECT_EQ(m.Stats[kStatRating], 5);
  // goals and assists, clamped at 10
  Tmplayer g;
  for (int i = 0; i < 4; ++i) g.ScorerText(kStatGoal);
  EXPECT_EQ(g.Stats[kStatRating], 9);
  g.ScorerText(kStatAssist);
  g.ScorerText(kStatAssist);
  EXPECT_EQ(g.Stats[kStatRating], 10);
  EXPECT_EQ(g.Stats[kStatGoal], 4);
  EXPECT_EQ(g.Stats[kStatAssist], 2);
}

TEST(MatchPlayerStats, TextsAndResultRows) {
  Record r;
  TStream s = Write(r);
  Tmplayer p;
  p.Load(s, 0);
  EXPECT_EQ(p.ScorerText(-1), "7山田太郎");
  EXPECT_EQ(p.Stats[kStatGoal], 0);
  EXPECT_EQ(p.ScorerText(kStatGoal), "7山田太郎");
  EXPECT_EQ(p.Stats[kStatGoal], 1);
  EXPECT_EQ(p.Stats[kStatRating], 6);
  p.AddStat(kStatSuccess, 1);

  EXPECT_EQ(p.InfoRow(), "7,山田太郎," + PositionName(19) + ",60,50,40,70,80,90,R");
  EXPECT_EQ(p.StatsRow(), "7,山田太郎," + PositionName(19) + ",1,0,1,0,0,0,6");
  p.FootAngle = kPi / 4;
  EXPECT_EQ(p.InfoRow().substr(p.InfoRow().size() - 2), ",L");

  EXPECT_EQ(p.ResultRow(true), (std::vector<int32_t>{0, 7, 90, 1, 0, 6}));
  p.OnMinute = 62;  // came on in the 62nd minute
  EXPECT_EQ(p.ResultRow(true)[2], 28);
  p.OnMinute = 55;  // went off after 55 minutes
  EXPECT_EQ(p.ResultRow(false)[2], 55);
}

namespace {
// The running rule written out literally, with the angle and its cosine and
// sine: the player's own Run must move exactly like this.
struct PlainRunner {
  int32_t X, Y, TargetX, TargetY, Pace, Accel = 1;
  double Facing;
  void Run(int role) {
    if (std::hypot(double(X - TargetX), double(Y - TargetY)) <= 30) {
      X = TargetX;
      Y = TargetY;
      return;
    }
    double t = std::atan2(double(TargetY - Y), double(TargetX - X));
    if (std::fabs(t - Facing) > kPi / 2)
      Accel = 1;
    else if (Accel < 30)
      ++Accel;
    int32_t step = role == 0 ? (Accel < 10 ? Pace * Accel / 10 : Pace) : Pace * Accel / 30;
    Facing = t;
    X += int32_t(std::nearbyint(std::cos(t) * step));
    Y += int32_t(std::nearbyint(std::sin(t) * step));
  }
};

int32_t Coordinate(int32_t span) { return Random(2 * span + 1) - span; }
}  // namespace

TEST(MatchPlayerRun, TurnTestAgreesWithTheAngles) {
  RandSeed(2024);
  auto plain = [](int64_t fx, int64_t fy, int64_t ux, int64_t uy) {
    double f = std::atan2(double(fy), double(fx));
    double t = std::atan2(double(uy), double(ux));
    return std::fabs(t - f) > kPi / 2;
  };
  const int32_t spans[] = {1, 3, 50, 12100, 3000000};
  for (int i = 0; i < 200000; ++i) {
    int32_t span = spans[Random(5)];
    int64_t fx = Coordinate(span), fy = Coordinate(span);
    int64_t ux = Coordinate(span), uy = Coordinate(span);
    if (Random(8) == 0) fy = 0;
    if (Random(8) == 0) uy = 0;
    if (Random(8) == 0) fx = 0;
    if (Random(16) == 0) {  // exact right angles
      ux = -fy;
      uy = fx;
    }
    ASSERT_EQ(TurnExceedsRightAngle(fx, fy, ux, uy), plain(fx, fy, ux, uy))
        << fx << "," << fy << " -> " << ux << "," << uy;
  }
  // across the direction pi the plain difference is nearly a full turn
  EXPECT_TRUE(TurnExceedsRightAngle(-100, 1, -100, -1));
  EXPECT_TRUE(TurnExceedsRightAngle(-100, 0, -100, -1));
  EXPECT_FALSE(TurnExceedsRightAngle(-100, -1, -100, -2));
  EXPECT_FALSE(TurnExceedsRightAngle(100, 1, 100, -1));
  EXPECT_FALSE(TurnExceedsRightAngle(1, 0, 0, 1));  // exactly a right angle
}

// Who is in view is decided on the vectors where they are clear of the
// boundaries: the same answer as the angles give, for facings and points
// on and beside every boundary (along the facing, 45 degrees off, the
// foot's diagonal, either side of the direction pi).
TEST(MatchPlayerGeometry, ViewOnVectorsAgreesWithTheAngles) {
  auto plain = [](const Tmplayer& p, Tmpoint q) {
    const double t = std::atan2(double(q.Y - p.Y), double(q.X - p.X)), facing = p.Facing();
    const int s = (facing - t > 0) - (facing - t < 0);
    const int strong = (facing - p.FootAngle > 0) - (facing - p.FootAngle < 0);
    return (s == 0 || s == strong) && std::fabs(facing - t) <= std::fabs(p.FootAngle);
  };
  RandSeed(31);
  const int32_t spans[] = {1, 3, 40, 3000, 30000};
  for (int i = 0; i < 200000; ++i) {
    int32_t fx = Coordinate(spans[Random(5)]), fy = Coordinate(spans[Random(5)]);
    if (Random(6) == 0) fy = (Random(2) ? 1 : -1) * fx;  // on a diagonal
    if (Random(8) == 0) fy = 0;
    if (fx == 0 && fy == 0) continue;
    int32_t ux = Coordinate(spans[Random(5)]), uy = Coordinate(spans[Random(5)]);
    switch (Random(6)) {
      case 0: ux = 2 * fx, uy = 2 * fy; break;    // along the facing
      case 1: ux = fx - fy, uy = fx + fy; break;  // 45 degrees either way
      case 2: ux = fx + fy, uy = fy - fx; break;
      case 3: ux += fx / 2, uy += fy / 2; break;  // or near it
      default: break;
    }
    // He stands where the line to the goal he attacks (11300, 4200) is (fx, fy).
    Tmplayer p = At(0, 0, 0.0, Random(2) == 0);
    p.TargetX = 11300 - fx;
    p.TargetY = 4200 - fy;
    p.Place(2);
    const Tmpoint q{p.X + ux, p.Y + uy};
    ASSERT_EQ(p.InView(q), plain(p, q)) << fx << "," << fy << " to " << ux << "," << uy << " foot " << p.FootAngle;
  }
}

TEST(MatchPlayerRun, MovesExactlyAsTheAnglesSay) {
  RandSeed(77);
  for (int runner = 0; runner < 300; ++runner) {
    Tmplayer p;
    p.X = 800 + Random(10500);
    p.Y = 800 + Random(6800);
    p.Pace = 30 + Random(20);
    p.HomeX = 3000;
    p.HomeY = 4200;
    p.Place(1);  // facing the goal he attacks
    p.X = 800 + Random(10500);
    p.Y = 800 + Random(6800);
    PlainRunner ref{p.X, p.Y, p.TargetX, p.TargetY, p.Pace, 1, p.Facing()};
    for (int tick = 0; tick < 200; ++tick) {
      if (tick % 5 == 0) {  // a new target now and then, sometimes very near
        int32_t tx = Random(3) == 0 ? p.X + Coordinate(40) : 800 + Random(10500);
        int32_t ty = Random(3) == 0 ? p.Y + Coordinate(40) : 800 + Random(6800);
        // Now and then far off the pitch, the run's vector near 2^15, where
        // facing is kept as an angle rather than a vector.
        if (Random(8) == 0) tx = p.X + (Random(2) ? 1 : -1) * ((1 << 15) - 40 + Random(80));
        p.SetTarget({tx, ty});
        ref.TargetX = tx;
        ref.TargetY = ty;
      }
      int role = (tick / 37) % 2;
      p.Run(role);
      ref.Run(role);
      ASSERT_EQ(p.X, ref.X) << runner << " tick " << tick;
      ASSERT_EQ(p.Y, ref.Y) << runner << " tick " << tick;
      ASSERT_EQ(p.Accel, ref.Accel) << runner << " tick " << tick;
      ASSERT_EQ(p.Facing(), ref.Facing) << runner << " tick " << tick;
    }
  }
}

namespace {

// Runs random sides through RunSideLanes and each player alone through Run.
void RunSideLanesAsEachPlayerWould() {
  RandSeed(5);
  TRunLanes lanes;
  std::vector<std::unique_ptr<Tmplayer>> side, alone;
  for (int k = 0; k < TRunLanes::kLanes; ++k) {
    side.push_back(std::make_unique<Tmplayer>(lanes, k));
    alone.push_back(std::make_unique<Tmplayer>());
  }
  int byPlayer = 0, reached = 0;
  for (int round = 0; round < 400; ++round) {
    const int32_t role = round % 2;
    for (int k = 0; k < TRunLanes::kLanes; ++k) {
      const int kind = Random(14);
      // kind 6: the difference of position and target wraps in 32 bits
      const int32_t x = kind == 6 ? (1 << 30) + Random(100) : 800 + Random(10500), y = 800 + Random(6800);
      int32_t tx = 800 + Random(10500), ty = 800 + Random(6800);
      if (kind == 0) tx = x + Random(41) - 20, ty = y + Random(41) - 20;  // arrives
      if (kind == 1) tx = x + (1 << 22);                                  // a long run
      if (kind == 2) tx = -(1 << 30), ty = 1 << 30;                       // no pitch at all
      if (kind == 3) tx = x, ty = y + 1 + Random(900);                    // a right angle to +x
      if (kind == 6) tx = -(1 << 30) - Random(100), ty = y;
      if (kind == 12) tx = (1 << 14) - 1 + Random(2), ty = y + Random(301) - 150;  // at the edge of the vector range
      lanes.OnPitch[k] = Random(8) != 0;
      for (Tmplayer* p : {side[k].get(), alone[k].get()}) {
        p->X = x, p->Y = y, p->TargetX = tx, p->TargetY = ty;
        p->Pace = 23 + Random(1) + round % 121;
        p->Reach = 80 + round % 300;
        p->Accel = 1 + (round + k) % 30;
        p->Freeze = kind == 4 ? 1 + round % 3 : 0;
        p->HomeX = k % 2 ? 9000 : 3000;
        p->HomeY = 4200;
        if (kind == 5)
          p->SetFacing(0.1 * (round % 60) - 3.0);  // kept as an angle
        else
          p->Place(2), p->X = x, p->Y = y;  // a facing vector toward the goal he attacks
      }
      if (kind == 13) {
        // A target that puts a step part a hair from a half: only the angles
        // can tell which way it rounds.
        const Tmplayer& p = *side[k];
        for (;;) {
          tx = 800 + Random(10500), ty = 800 + Random(6800);
          const double dx = tx - x, dy = ty - y, r = std::hypot(dx, dy);
          const bool turned = std::cos(p.Facing()) * dx + std::sin(p.Facing()) * dy < 0;
          const int32_t step = RunUpStep(p.Pace, turned ? 1 : std::min(p.Accel + 1, 30), role);
          auto hair = [](double v) { return std::fabs(std::fabs(v - std::floor(v)) - 0.5) < 1e-5; };
          if (r > 31 && (hair(step * dx / r) || hair(step * dy / r))) break;
        }
        for (Tmplayer* q : {side[k].get(), alone[k].get()}) q->TargetX = tx, q->TargetY = ty;
      }
    }
    for (int tick = 0; tick < 12; ++tick) {
      const Tmplayer& anyone = *side[Random(TRunLanes::kLanes)];
      const int32_t bx = anyone.X + Random(61) - 30, by = anyone.Y + Random(61) - 30, bh = Random(200);
      const TRunTick run = RunSideLanes(lanes, role, bx, by, bh);
      for (int k = 0; k < TRunLanes::kLanes; ++k) {
        Tmplayer& p = *side[k];
        Tmplayer& ref = *alone[k];
        bool reaches = run.Reaches >> k & 1;
        if (run.ByPlayer >> k & 1) {
          ++byPlayer;
          ASSERT_TRUE(lanes.OnPitch[k]);
          p.Run(role);
          reaches = p.ReachesBall(role, bx, by, bh);
        }
        if (lanes.OnPitch[k]) {
          ref.Run(role);
          ASSERT_EQ(reaches, ref.ReachesBall(role, bx, by, bh)) << round << " lane " << k;
          reached += reaches;
        } else {
          ASSERT_FALSE(reaches);
        }
        ASSERT_EQ(p.X, ref.X) << round << " lane " << k << " tick " << tick;
        ASSERT_EQ(p.Y, ref.Y) << round << " lane " << k << " tick " << tick;
        ASSERT_EQ(p.Accel, ref.Accel) << round << " lane " << k << " tick " << tick;
        ASSERT_EQ(p.Freeze, ref.Freeze) << round << " lane " << k << " tick " << tick;
        ASSERT_EQ(p.Facing(), ref.Facing()) << round << " lane " << k << " tick " << tick;
      }
    }
  }
  EXPECT_GT(byPlayer, 100);  // the rare cases did come up
  EXPECT_GT(reached, 100);
}

}  // namespace

// A side's players run in one pass over their lanes; every lane must end
// exactly where his own Run would take him, rare cases included: frozen,
// arrived, facing kept as an angle, very long or impossible runs, and lanes
// off the pitch that must not move at all.
TEST(MatchPlayerRun, SideLanesRunExactlyAsEachPlayerWould) {
  for (TLaneKernel kernel : LaneKernelsToCompare("SideLanesRunExactlyAsEachPlayerWould")) {
    SCOPED_TRACE(LaneKernelName(kernel));
    TLaneKernelScope scope(kernel);
    RunSideLanesAsEachPlayerWould();
  }
}
