// Where a player who is neither chasing the ball nor marking should stand:
// the attacking and defending shapes by position code, and the keeper's own
// rule. Pure integer geometry, nothing random.
#pragma once

#include <cstdint>

#include "match/Uball.h"

// The points a movement choice starts from.
struct Tmovepoints {
  int32_t RefX = 0, RefY = 0;    // reference point (where the ball is or will be)
  int32_t HomeX = 0, HomeY = 0;  // formation position
  int32_t CurX = 0, CurY = 0;    // where he stands now

  void Init(Tmpoint ref, Tmpoint cur, Tmpoint home) {
    RefX = ref.X;
    RefY = ref.Y;
    CurX = cur.X;
    CurY = cur.Y;
    HomeX = home.X;
    HomeY = home.Y;
  }
};

// Target of a player whose side has the ball.
class Tatkmove : public Tmovepoints {
 public:
  Tatkmove() = default;
  Tatkmove(Tmpoint ref, Tmpoint cur, Tmpoint home) { Init(ref, cur, home); }

  // Target for position code 0..20, kept on the pitch.
  Tmpoint Target(int32_t code) const;

 private:
  // Target with his own end e (0 or kPitchWidth) known when compiled.
  template <int32_t e>
  Tmpoint TargetAt(int32_t code) const;
};

// Target of a player whose side is defending, and of the keeper.
class Tdfmove : public Tmovepoints {
 public:
  Tdfmove() = default;
  Tdfmove(Tmpoint ref, Tmpoint cur, Tmpoint home) { Init(ref, cur, home); }

  int32_t AimX = 0, AimY = 0;  // keeper rule only: where the ball is going
  int32_t GoalLineX = 0;       // keeper rule only

  // Keeper rule: ball position, ball aim point, side 0 (defends x 800) or 1 (x 11300).
  void KeeperInit(Tmpoint ref, Tmpoint aim, int32_t side);
  // Target for position code 0..20, kept on the pitch.
  Tmpoint Target(int32_t code) const;
  // The keeper's target for his anticipation value (not kept on the pitch).
  Tmpoint KeeperTarget(int32_t anticipate) const;

 private:
  template <int32_t e>
  Tmpoint TargetAt(int32_t code) const;
};

// Keeps a shape target on the pitch: x beyond 800/11300 and y beyond 800/7600
// are put back on those lines.
Tmpoint KeepOnPitch(Tmpoint p);
