#include "match/Umatchplayer.h"

#include <cmath>
#include <cstdlib>

#include "club/Uarith.h"
#include "club/Ufunction.h"

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kQuarterPi = kPi / 4;

// Bounds of a line-up record: anything beyond is no record the game writes,
// and would overflow the match arithmetic.
constexpr int32_t kMaxCoordinate = 1000000;
constexpr int32_t kMaxAbility = 1000;
constexpr int32_t kMaxCondition = 100;
constexpr int32_t kMaxNumber = 1000000;  // the match codes a scorer as number + 100 x team

inline int32_t Rnd(double v) { return RoundHalfEven(v); }

// Rounds to nearest, ties to even, for |v| < 2^51 (the default rounding
// mode does the work when the value is pushed into the units place).
inline double RoundEven(double v) {
  constexpr double kMagic = 6755399441055744.0;  // 1.5 x 2^52
  return (v + kMagic) - kMagic;
}
inline int32_t Abs(int32_t v) { return v < 0 ? -v : v; }
inline int32_t SignOf(double v) { return (v > 0) - (v < 0); }

// The first choice equal to a or b, -1 when none.
int32_t FirstOf(const std::array<int32_t, 4>& c, int32_t a, int32_t b) {
  for (int32_t v : c)
    if (v == a || v == b) return v;
  return -1;
}

// The first three choices, with the first one equal to `skip` left out.
std::array<int32_t, 3> FirstThreeSkipping(const std::array<int32_t, 4>& c, int32_t skip) {
  std::array<int32_t, 3> out{kActNone, kActNone, kActNone};
  int n = 0;
  bool skipped = false;
  for (int32_t v : c) {
    if (!skipped && v == skip) {
      skipped = true;
      continue;
    }
    if (n < 3) out[n++] = v;
  }
  return out;
}
inline bool TurnTest(int64_t fx, int64_t fy, int64_t ux, int64_t uy) {
  constexpr int64_t kExact = int64_t(1) << 22;
  const bool small = fx > -kExact && fx < kExact && fy > -kExact && fy < kExact && ux > -kExact && ux < kExact &&
                     uy > -kExact && uy < kExact;
  const int64_t dot = fx * ux + fy * uy;
  if (small && dot != 0) {
    // More than a right angle apart: the plain difference is larger still.
    if (dot < 0) return true;
    // Less than a right angle apart: the plain difference is that angle,
    // unless the two lie on either side of the direction pi (x < 0, one on
    // or above the axis, the other below), where atan2 jumps from pi to -pi
    // and the plain difference is nearly a full turn. Less than a right
    // angle apart, one with x < 0 and the other across the axis means both
    // have x < 0. Integer vectors this short never come within 1e-13 of a
    // right angle without being one, far beyond the rounding of atan2.
    return fx < 0 && ((fy >= 0) != (uy >= 0));
  }
  const double f = std::atan2(double(fy), double(fx));
  const double t = std::atan2(double(uy), double(ux));
  return std::fabs(t - f) > kPi / 2;
}

}  // namespace

Tmplayer::Tmplayer() : Tmplayer(std::make_unique<TRunLanes>(), nullptr, 0) {}

Tmplayer::Tmplayer(TRunLanes& lanes, int lane) : Tmplayer(nullptr, &lanes, lane) {}

void Tmplayer::SwapWith(Tmplayer& o) {
  // His lane (the references swap the values they stand for) ...
  std::swap(X, o.X);
  std::swap(Y, o.Y);
  std::swap(TargetX, o.TargetX);
  std::swap(TargetY, o.TargetY);
  std::swap(Pace, o.Pace);
  std::swap(Reach, o.Reach);
  std::swap(Accel, o.Accel);
  std::swap(Freeze, o.Freeze);
  std::swap(Anticipate, o.Anticipate);
  std::swap(faceDx_, o.faceDx_);
  std::swap(faceDy_, o.faceDy_);
  std::swap(HomeX, o.HomeX);
  std::swap(HomeY, o.HomeY);
  std::swap(Mtype, o.Mtype);
  // ... and every other value he holds (a new member belongs here too).
  std::swap(Name, o.Name);
  std::swap(FootAngle, o.FootAngle);
  std::swap(Tackle, o.Tackle);
  std::swap(Control, o.Control);
  std::swap(Kick, o.Kick);
  std::swap(Abilities, o.Abilities);
  std::swap(Choices, o.Choices);
  std::swap(Number, o.Number);
  std::swap(OnMinute, o.OnMinute);
  std::swap(Stats, o.Stats);
  std::swap(facing_, o.facing_);
  std::swap(seenDx_, o.seenDx_);
  std::swap(seenDy_, o.seenDy_);
  std::swap(seenAngle_, o.seenAngle_);
}

Tmplayer::Tmplayer(std::unique_ptr<TRunLanes> own, TRunLanes* lanes, int lane)
    : ownLanes_(std::move(own)),
      lanes_(lanes ? *lanes : *ownLanes_),
      lane_(lane),
      X(lanes_.X[lane]),
      Y(lanes_.Y[lane]),
      TargetX(lanes_.TargetX[lane]),
      TargetY(lanes_.TargetY[lane]),
      Pace(lanes_.Pace[lane]),
      Reach(lanes_.Reach[lane]),
      Accel(lanes_.Accel[lane]),
      Freeze(lanes_.Freeze[lane]),
      Anticipate(lanes_.Anticipate[lane]),
      HomeX(lanes_.HomeX[lane]),
      HomeY(lanes_.HomeY[lane]),
      Mtype(lanes_.Mtype[lane]),
      faceDx_(lanes_.FaceDx[lane]),
      faceDy_(lanes_.FaceDy[lane]) {
  // He starts at the origin facing along +x, standing, with no run-up.
  X = Y = TargetX = TargetY = Pace = Reach = Freeze = Anticipate = HomeX = HomeY = Mtype = 0;
  Accel = 1;
  faceDx_ = 1;
  faceDy_ = 0;
  Stats[kStatRating] = 5;
}

std::pair<int32_t, int32_t> Tmplayer::Load(TStream& s, int32_t side) {
  int32_t number = s.ReadInt32In(-kMaxNumber, kMaxNumber, "shirt number");
  int32_t homeX = s.ReadInt32In(-kMaxCoordinate, kMaxCoordinate, "home x");
  int32_t homeY = s.ReadInt32In(-kMaxCoordinate, kMaxCoordinate, "home y");
  s.Need(4, "player name");
  std::string name;
  ReadString(s, name);
  int32_t mtype = s.ReadInt32In(0, 20, "position code");
  std::array<int32_t, 6> ab{};
  for (auto& a : ab) a = s.ReadInt32In(0, kMaxAbility, "ability");
  int32_t cond = s.ReadInt32In(-kMaxCondition, kMaxCondition, "condition");
  std::array<int32_t, 4> choices{};
  for (auto& c : choices) c = s.ReadInt32();
  uint8_t leg = s.ReadByte();

  Name = std::move(name);
  Number = number;
  if (side == 1 || side == 3) {
    homeX = kPitchWidth - homeX;
    homeY = kPitchHeight - homeY;
  }
  HomeX = X = TargetX = homeX;
  HomeY = Y = TargetY = homeY;
  Mtype = mtype;
  Abilities = ab;
  Choices = choices;
  FootAngle = leg != 0 ? -kQuarterPi : kQuarterPi;

  int32_t f = 25;
  if (side == 0)
    f = cond + 30;
  else if (side == 1)
    f = cond + 25;
  Pace = (ab[0] + f) / 10 + 30;
  Reach = ab[1] + f + 150;
  Tackle = ab[2] + f;
  Control = ab[3] + f;
  Kick = ab[4] + f;
  Anticipate = ab[5] + f;
  // He starts facing along +x (angle 0), whichever goal he attacks: only a
  // placement (a goal, half time, a substitution) turns him toward the goal
  // he attacks.

  if (Mtype >= 12) return {0, ab[0] + ab[4] + ab[5] + 3 * cond};
  return {1, ab[2] + 3 * cond};
}

int32_t Tmplayer::MatchValue(int32_t index) const {
  switch (index) {
    case 0: return Pace;
    case 1: return Reach;
    case 2: return Tackle;
    case 3: return Control;
    case 4: return Kick;
    case 5: return Anticipate;
    default: return 0;
  }
}

int32_t Tmplayer::GoalX(int32_t which) const {
  int32_t h = HomeX >= kPitchCentreX ? 1 : 0;
  if (which == 0) return h * 10500 + kLeftGoalLineX;
  return (1 - h) * 10500 + kLeftGoalLineX;
}

void Tmplayer::Place(int32_t mode) {
  switch (mode) {
    case 0:  // change of ends
      HomeX = kPitchWidth - HomeX;
      HomeY = kPitchHeight - HomeY;
      X = HomeX;
      Y = HomeY;
      break;
    case 1:
      X = HomeX;
      Y = HomeY;
      break;
    case 2:
      X = TargetX;
      Y = TargetY;
      break;
    default:  // a substitute comes on at the halfway line
      X = kPitchCentreX;
      Y = 0;
      break;
  }
  FaceAlong(int64_t(GoalX(1)) - X, int64_t(kPitchCentreY) - Y);
}

void Tmplayer::RunByAngles(int32_t role) {
  // Not frozen and more than 30 from his target: RunLaneCommon saw to those.
  const int64_t dx = int64_t(TargetX) - X;
  const int64_t dy = int64_t(TargetY) - Y;
  const int64_t dist2 = dx * dx + dy * dy;
  Accel = TurnsMoreThanRightAngle(dx, dy) ? 1 : Accel + (Accel < 30);
  const int32_t step = RunUpStep(Pace, Accel, role);
  FaceAlongMove(dx, dy, dist2 < kShortVector * kShortVector);  // both parts short
  int32_t sx, sy;
  if (!RoundStep(dx, dy, dist2, step, sx, sy)) {
    StepAlongFacing(step);
    return;
  }
  X += sx;
  Y += sy;
}

void Tmplayer::StepAlongFacing(int32_t step) {
  const double t = Facing();
  X += int32_t(RoundEven(std::cos(t) * step));
  Y += int32_t(RoundEven(std::sin(t) * step));
}

void Tmplayer::Beaten() {
  const bool rightHalf = HomeX >= kPitchCentreX;
  FaceAlong(rightHalf ? -1 : 1, 0);  // facing pi or 0
  const double a = rightHalf ? kPi : 0.0;
  X += Rnd(std::cos(a) * (Pace * 10));
  Y += Rnd(std::sin(a) * (Pace * 10));
}

bool Tmplayer::TurnsMoreThanRightAngle(int64_t dx, int64_t dy) const {
  if (FacesByVector()) return TurnTest(faceDx_, faceDy_, dx, dy);
  return std::fabs(std::atan2(double(dy), double(dx)) - Facing()) > kPi / 2;
}

bool TurnExceedsRightAngle(int64_t fx, int64_t fy, int64_t ux, int64_t uy) { return TurnTest(fx, fy, ux, uy); }

bool Tmplayer::InOwnArea() const {
  int32_t g = HomeX >= 10000 ? kRightGoalLineX : kLeftGoalLineX;
  return Abs(g - X) < 1500 && Abs(kPitchCentreY - Y) < 1800;
}

int Tmplayer::InViewByVectors(int64_t ux, int64_t uy) const {
  const bool left = FootAngle == kQuarterPi;
  if (!FacesByVector() || !(left || FootAngle == -kQuarterPi)) return -1;
  constexpr int64_t kNear = int64_t(1) << 20;
  if (ux <= -kNear || ux >= kNear || uy <= -kNear || uy >= kNear) return -1;
  const int64_t fx = faceDx_, fy = faceDy_;
  const int64_t cross = fx * uy - fy * ux, dot = fx * ux + fy * uy;
  // Along his facing (or the point he stands on): the two angles may differ
  // in the last place either way.
  if (cross == 0) return -1;
  // More than a quarter turn apart, or more than 45 degrees: out of view.
  // Exactly 45: the rounding of the angles decides.
  const int64_t across = cross < 0 ? -cross : cross;
  if (dot <= 0 || across > dot) return 0;
  if (across == dot) return -1;
  // Either side of the direction pi, where atan2 jumps from pi to -pi: the
  // plain difference of the angles is nearly a full turn.
  if (fx < 0 && ((fy >= 0) != (uy >= 0))) return 0;
  // The point lies clockwise of his facing (facing - t > 0) or
  // anticlockwise; his strong side is clockwise when facing - FootAngle > 0.
  // On the foot's own diagonal the rounding decides.
  const int side = cross < 0 ? 1 : -1;
  int strong;
  if (left) {
    if (fy == fx && fx > 0) return -1;
    strong = fy > fx && fy >= 0 ? 1 : -1;  // beyond 45 degrees, up to pi
  } else {
    if (fy == -fx && fx > 0) return -1;
    strong = fy + fx > 0 || (fy >= 0 && fx < 0) ? 1 : -1;  // beyond -45 degrees, up to pi
  }
  return side == strong ? 1 : 0;
}

bool Tmplayer::InView(Tmpoint p) const {
  // Integer vectors a little apart in angle lie far apart for the rounding
  // of atan2 (more than 2^-36 for vectors below 2^20, against 2^-51): the
  // integer geometry gives what the angles give, except on a boundary.
  if (const int byVectors = InViewByVectors(int64_t(p.X) - X, int64_t(p.Y) - Y); byVectors >= 0) return byVectors != 0;
  double t = std::atan2(double(p.Y - Y), double(p.X - X));
  const double facing = Facing();
  int32_t s = SignOf(facing - t);
  int32_t strong = SignOf(facing - FootAngle);
  return (s == 0 || s == strong) && std::fabs(facing - t) <= std::fabs(FootAngle);
}

double Tmplayer::AngleTo(Tmpoint p) const {
  double t = std::atan2(double(p.Y - Y), double(p.X - X));
  if (Abs(GoalX(1) - X) < 2000 && (kPitchCentreY - Y) * FootAngle >= 0) return t;
  return t - FootAngle * 2 / 3;  // veers 30 degrees to his stronger side
}

int32_t Tmplayer::ShotCheck(Tmpoint& aim) const {
  const int32_t gx = GoalX(1);
  // Where a line in direction a from him meets the goal line (0 when he
  // runs nearly parallel to it).
  auto lineMeets = [&](double a) -> int32_t {
    double c = std::cos(a);
    if (std::fabs(c) < 0.1) return 0;
    return Y + Rnd(std::sin(a) * (gx - X) / c);
  };
  const double facing = Facing();
  int32_t gy = lineMeets(facing);
  if (Abs(gy - kPitchCentreY) > 375) {
    gy = lineMeets(facing + FootAngle);
    if (Abs(gy - kPitchCentreY) > 375) gy = kPitchCentreY;
  }
  aim = Tmpoint{gx, gy};
  int32_t code = kShotNone;
  if (Abs(X - gx) < 1200 && Abs(Y - gy) < 700)
    code = kShotDribbleNow;
  else if (Abs(X - gx) < 2200 && Abs(Y - gy) < 2000)
    code = kShotDribbleLater;
  if (code != kShotNone && InView(aim)) code = kShotNow;
  return code;
}

Tmpoint Tmplayer::ClearTarget() const {
  double a = Facing() + FootAngle / 2;
  return Tmpoint{X + Rnd(std::cos(a) * 4200), Y + Rnd(std::sin(a) * 4200)};
}

std::array<int32_t, 3> Tmplayer::ActionOrder() const {
  const int32_t d = Abs(GoalX(0) - X);
  const int32_t e = Abs(kPitchCentreY - Y);
  if (d <= 2000) {
    // In his own defensive zone: pass or feed, else clear.
    int32_t g = FirstOf(Choices, kActSpacePass, kActFeed);
    if (g < 0) g = kActSpacePass;
    return {g, 1 - g, kActClear};
  }
  if (d >= 7800 && d <= 9299) {
    if (e <= 700) return FirstThreeSkipping(Choices, kActFeed);
    if (e <= 2000) return {Choices[0], Choices[1], Choices[2]};
    return FirstThreeSkipping(Choices, kActShot);
  }
  if (d >= 9300 && d <= 11000) {
    if (e <= 700) return {kActShot, kActNone, kActNone};
    if (e > 2000) return {kActFeed, kActNone, kActNone};
    int32_t g = FirstOf(Choices, kActFeed, kActShot);
    if (g < 0) g = kActShot;
    return {g, 4 - g, kActNone};
  }
  return FirstThreeSkipping(Choices, kActShot);  // no shots from there
}

void Tmplayer::AddStat(int32_t index, int32_t flag) {
  if (index < 0 || index > 5) return;
  ++Stats[index];
  const int32_t g = Stats[kStatGoal], a = Stats[kStatAssist], s = Stats[kStatSuccess];
  const int32_t m = Stats[kStatMiss], w = Stats[kStatWon], b = Stats[kStatBeaten];
  int32_t r;
  if (flag != 0) {
    r = g + a + 5;
    if (w + b > 5) r = r - 2 + w * 5 / (w + b);
  } else {
    r = g + 5 + a + w / 2 - b;
  }
  if (s + m > 10) r = r - 2 + s * 5 / (s + m);
  Stats[kStatRating] = ClampInt(r, 1, 10);
}

std::string Tmplayer::ScorerText(int32_t index) {
  if (index != -1) AddStat(index, 1);
  return std::to_string(Number) + Name;
}

std::vector<int32_t> Tmplayer::ResultRow(bool onPitch) const {
  int32_t minutes = onPitch ? 90 - OnMinute : OnMinute;
  return {0, Number, minutes, Stats[kStatGoal], Stats[kStatAssist], Stats[kStatRating]};
}

std::string Tmplayer::InfoRow() const {
  std::string r = std::to_string(Number) + "," + Name + "," + PositionName(Mtype);
  for (int32_t a : Abilities) r += "," + std::to_string(a);
  r += FootAngle < 0 ? ",R" : ",L";
  return r;
}

std::string Tmplayer::StatsRow() const {
  std::string r = std::to_string(Number) + "," + Name + "," + PositionName(Mtype);
  for (int32_t v : Stats) r += "," + std::to_string(v);
  return r;
}
