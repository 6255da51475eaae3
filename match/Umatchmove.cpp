#include "match/Umatchmove.h"

#include <cmath>
#include <cstdlib>
#include <type_traits>

namespace {
inline int32_t Sign(int32_t v) { return (v > 0) - (v < 0); }
inline int32_t Abs(int32_t v) { return v < 0 ? -v : v; }

// The wing y of the attacking shape: a winger (side offset a = +1 or -1)
// whose tested half differs from his home half drifts toward his wing,
// everybody else follows the ball across by half.
int32_t WingY(int32_t testedSign, int32_t a, int32_t homeX, int32_t homeY, int32_t refY) {
  int32_t homeSign = Sign(kPitchCentreX - homeX);
  if (testedSign != homeSign && a != 0)
    return (homeY + kPitchCentreY + homeSign * a * 1700) / 2 + (refY - kPitchCentreY) / 4;
  return homeY + (refY - kPitchCentreY) / 2;
}

// The player's own end of the pitch, x 0 for a left-half home, else
// kPitchWidth, handed to `rule` as a constant known when compiled: each
// end's rule is built with that end's own figures (the lines 7000, 9500,
// 10000 and 10500 from it), so a player pays only for those of his case.
template <class Rule>
Tmpoint AtOwnEnd(int32_t homeX, const Rule& rule) {
  return homeX < kPitchCentreX ? rule(std::integral_constant<int32_t, 0>{})
                               : rule(std::integral_constant<int32_t, kPitchWidth>{});
}

// Pulling toward his own end by `dist` from his home x.
inline int32_t TowardOwnEnd(int32_t homeX, int32_t e, int32_t dist) { return e == 0 ? homeX - dist : homeX + dist; }
}  // namespace

Tmpoint KeepOnPitch(Tmpoint p) {
  if (Abs(p.X - kPitchCentreX) >= 5250) p.X = p.X < kPitchCentreX ? kLeftGoalLineX : kRightGoalLineX;
  if (Abs(p.Y - kPitchCentreY) >= 3400) p.Y = p.Y < kPitchCentreY ? 800 : 7600;
  return p;
}

Tmpoint Tatkmove::Target(int32_t code) const {
  return AtOwnEnd(HomeX, [&](auto e) { return TargetAt<e>(code); });
}

template <int32_t e>
Tmpoint Tatkmove::TargetAt(int32_t code) const {
  const int32_t h = Abs(e - RefX);
  int32_t x = HomeX, y = HomeY;
  // Three codes a row (right, centre, left); the side offset a (right +1,
  // centre 0, left -1) only where a winger's y needs it.
  switch (code) {
    case 0:
    case 1:
    case 2:  // keeper: steps up with the play once it is in the far half
      if (h >= kPitchWidth / 2) {
        x = HomeX + (RefX - kPitchCentreX) / 2;
        y = HomeY + (RefY - HomeY) / 4;
      }
      break;
    case 3:
    case 4:
    case 5: {  // centre-backs
      if (h <= 3000) {
        x = RefX;
      } else if (h <= 5000) {
        x = HomeX;
      } else {
        int32_t line = Abs(e - 7000);
        x = Abs(line - HomeX) < Abs(line - RefX) ? line : (RefX + HomeX) / 2;
      }
      y = HomeY + (RefY - HomeY) / 4;
      break;
    }
    case 6:
    case 7:
    case 8:  // full-backs
      if (h <= 2500)
        x = RefX;
      else if (h >= 7000 && h <= 9999)
        x = HomeX + (RefX - e) / 2;
      else if (h >= 10000 && h <= kPitchWidth)
        x = Abs(e - 10000);
      else
        x = h < Abs(e - HomeX) ? HomeX : (2 * RefX + HomeX) / 3;
      y = HomeY + (RefY - kPitchCentreY) / 2;
      break;
    case 9:
    case 10:
    case 11:  // defensive midfield
      x = h < Abs(e - HomeX) ? HomeX : (2 * RefX + HomeX) / 3;
      y = HomeY + (RefY - kPitchCentreY) / 2;
      break;
    case 12:
    case 13:
    case 14: {  // attacking midfield
      const int32_t a = 1 - code % 3;
      if (h <= 4000)
        x = HomeX + (RefX - e) / 2;
      else if (h >= 10000 && h <= kPitchWidth)
        x = Abs(e - 9500);
      else
        x = RefX;
      y = WingY(Sign(kPitchCentreX - e), a, HomeX, HomeY, RefY);
      break;
    }
    case 15:
    case 16:
    case 17: {  // wide and second strikers
      const int32_t a = 1 - code % 3;
      if (h >= 8500 && h <= kPitchWidth) {
        x = Abs(e - 10500);
        y = x != CurX ? kPitchHeight - HomeY : HomeY / 2 + (RefY + kPitchCentreY) / 4;
      } else {
        x = HomeX + (RefX - e) / 2;
        y = WingY(Sign(kPitchCentreX - x), a, HomeX, HomeY, RefY);
      }
      break;
    }
    default: {  // forwards (codes 18..20)
      const int32_t a = 1 - code % 3;
      if (h <= 3000)
        x = kPitchCentreX;
      else if (h >= 10000 && h <= kPitchWidth)
        x = RefX;
      else
        x = HomeX + (2 * RefX - e) / 3;
      y = WingY(Sign(kPitchCentreX - e), a, HomeX, HomeY, RefY);
      break;
    }
  }
  return KeepOnPitch(Tmpoint{x, y});
}

void Tdfmove::KeeperInit(Tmpoint ref, Tmpoint aim, int32_t side) {
  RefX = ref.X;
  RefY = ref.Y;
  AimX = aim.X;
  AimY = aim.Y;
  GoalLineX = side * 10500 + kLeftGoalLineX;
}

Tmpoint Tdfmove::Target(int32_t code) const {
  return AtOwnEnd(HomeX, [&](auto e) { return TargetAt<e>(code); });
}

template <int32_t e>
Tmpoint Tdfmove::TargetAt(int32_t code) const {
  const int32_t h = Abs(e - RefX);
  int32_t x;
  int32_t y = HomeY + (RefY - kPitchCentreY) / 2;
  if (Abs(CurX - e) < h) {
    // He is nearer his own end than the ball.
    switch (code) {
      case 1:
      case 4:
      case 7:
      case 10:  // cover
        x = (2 * HomeX + (e + RefX) / 2) / 3;
        y = (2 * HomeY + RefY) / 3;
        break;
      case 2:
      case 5:
      case 8:
      case 11:
      case 15:
      case 16:
      case 17:
      case 18:
      case 19:
      case 20:  // press
        x = ((3 * RefX - e) / 2 + 2 * HomeX) / 3;
        y = (2 * HomeY + 2 * RefY - kPitchCentreY) / 3;
        break;
      default:  // hold
        x = HomeX + (RefX - e) / 4;
        break;
    }
  } else {
    // The ball is behind him: fall back.
    int32_t back;
    if (code >= 9 && code <= 11)
      back = TowardOwnEnd(HomeX, e, 2000);
    else if (code >= 12 && code <= 17)
      back = TowardOwnEnd(HomeX, e, 1000);
    else if (code >= 18)
      back = HomeX;
    else
      back = RefX;
    x = Abs(RefX - e) > Abs(back - e) ? RefX : back;
  }
  return KeepOnPitch(Tmpoint{x, y});
}

Tmpoint Tdfmove::KeeperTarget(int32_t anticipate) const {
  const int32_t g = GoalLineX;
  const int32_t bx = AimX, by = AimY;
  // Comes out for a ball that will settle near his goal: one that travels
  // less than 500 (for whole numbers, the root of n lies below 500 exactly
  // when n lies below 500^2).
  const int64_t travel2 = (int64_t(bx) - RefX) * (int64_t(bx) - RefX) + (int64_t(by) - RefY) * (int64_t(by) - RefY);
  if (travel2 < 500 * 500 && Abs(bx - g) <= 5 * anticipate + 600 && Abs(by - kPitchCentreY) <= 1000)
    return Tmpoint{bx, by};
  if (Abs(bx - g) <= 4 * anticipate + 400 && Abs(by - kPitchCentreY) <= 400) return Tmpoint{bx, by};
  // Otherwise he stays on his line between the posts, where the ball's path
  // meets it (a ball travelling straight across: the near post, or level
  // with the ball).
  int64_t y;
  if (bx == RefX) {
    if (by >= -1000 && by <= 3700)
      y = 3700;
    else if (by >= 4600 && by <= 8000)
      y = 4600;
    else
      y = RefY;
  } else {
    int64_t slope = (int64_t(by) - RefY) / (int64_t(bx) - RefX);
    y = RefY + slope * (int64_t(g) - RefX);
  }
  if (y < 3700) y = 3700;
  if (y > 4600) y = 4600;
  return Tmpoint{g, int32_t(y)};
}
