#include "match/Umatchmain.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Urandom.h"
#include "match/Uball.h"
#include "match/Umatchplayer.h"
#include "match/Umatchrun.h"

namespace {

int Sign(int32_t v) { return (v > 0) - (v < 0); }

constexpr int kOnPitch = Tmteam::kOnPitch;

}  // namespace

Tmmain::Tmmain() : Ball(std::make_unique<Tball>()) {
  Sides[0] = std::make_unique<Tmteam>();
  Sides[1] = std::make_unique<Tmteam>();
}

Tmmain::~Tmmain() = default;

void Tmmain::Load(TStream& s0, TStream& s1, bool vs) {
  // Both sides are read before either is taken over: a damaged stream
  // leaves the match as it was.
  auto home = std::make_unique<Tmteam>();
  auto away = std::make_unique<Tmteam>();
  s0.Seek(0);
  s1.Seek(0);
  home->Load(s0, vs ? 2 : 0);
  away->Load(s1, vs ? 3 : 1);
  Sides[0] = std::move(home);
  Sides[1] = std::move(away);
}

// ---------------------------------------------------------------------------
// One tick

void Tmmain::Step() {
  if (!Loaded()) return;
  PlayersStep();
  if (!RestartHold) ResolveBall();
  Ball->Move();

  const int32_t bx = Ball->X, by = Ball->Y, bh = Ball->BallHeight;  // CheckOut moves a ball that is out
  const int32_t code = Ball->CheckOut();
  if (code >= kOverGoalLine && code <= kGoalRight) {
    // Where the ball crossed the goal line, as seen from behind the goal.
    const int s = Sign(kPitchCentreX - bx);
    int32_t px = (kPitchCentreY - by) * s / 5, py = bh / 5;
    if (std::abs(px) > 94) px = py = -1;
    if (py != -1) {
      LiveEvent[0] = 2;
      LiveEvent[1] = (px + 94) * 1000 + py;
      LiveEvent[2] = LiveEvent[3] = -1;
    }
  }
  switch (code) {
    case kThrowIn:
      Role[LastTeam] = 1;
      Role[1 - LastTeam] = 0;
      SideRestart();
      break;
    case kOverGoalLine:
      Role[LastTeam] = 1;
      Role[1 - LastTeam] = 0;
      // Out at the end LastTeam attacks: a goal kick for the defenders of
      // that end; otherwise a corner.
      if (std::abs(Sides[LastTeam]->PlayerAt(0).GoalX(1) - Ball->X) < kPitchWidth / 2)
        GoalKickRestart();
      else
        SideRestart();
      break;
    case kWoodwork: SoundEvent = kSoundPost; break;
    case kGoalLeft:
    case kGoalRight:
      Goal(code - kGoalLeft);
      for (auto& side : Sides)
        for (int i = 0; i < kOnPitch; ++i) side->PlayerAt(i).Place(1);
      break;
    default: break;
  }
  if (code != kInPlay) Touches.Clear();

  ++Tick;
  if (Tick == kHalfTimeTick) {
    SoundEvent = kSoundHalfTime;
    Ball->Reset(kPitchCentreX, kPitchCentreY);
    for (auto& side : Sides)
      for (int i = 0; i < kOnPitch; ++i) side->PlayerAt(i).Place(0);
  }
}

// Out of line: the tick's step only pays for the count on the four ticks
// in five without a plan.
__attribute__((noinline)) void Tmmain::Plan(int t) {
  if (Role[t] == 0)
    AttackPlan(t);
  else
    DefencePlan(t);
}

void Tmmain::PlayersStep() {
  Reachers[0].Clear();
  Reachers[1].Clear();
  // Side 0 plans and runs, then side 1 plans on side 0's new positions and
  // runs. Only a defending side (marking) or a side waiting at a restart
  // (its keeper) looks at the other side's positions: when side 1 has no
  // plan to make, or attacks in open play, the two runs are one pass.
  PlanIfDue(0);
  if (ReplanCount[1] == 0 && (Role[1] != 0 || RestartHold)) {
    CollectReachers(0, RunSideLanes(*Sides[0]->Lanes, Role[0], Ball->X, Ball->Y, Ball->BallHeight));
    PlanIfDue(1);
    CollectReachers(1, RunSideLanes(*Sides[1]->Lanes, Role[1], Ball->X, Ball->Y, Ball->BallHeight));
    return;
  }
  PlanIfDue(1);
  TRunTick run[2];
  RunBothSidesLanes(*Sides[0]->Lanes, Role[0], *Sides[1]->Lanes, Role[1], Ball->X, Ball->Y, Ball->BallHeight, run[0],
                    run[1]);
  CollectReachers(0, run[0]);
  CollectReachers(1, run[1]);
}

void Tmmain::ListReachers(int t, const TRunTick& run) {
  // List position i runs in lane i: only the lanes of the eleven with a
  // bit set are looked at, in list order.
  uint32_t look = (run.Reaches | run.ByPlayer) & ((1u << kOnPitch) - 1);
  const int32_t role = Role[t];
  const int32_t bx = Ball->X, by = Ball->Y, bh = Ball->BallHeight;
  const Tmteam& team = *Sides[t];
  for (; look != 0; look &= look - 1) {
    const int i = std::countr_zero(look);
    const uint32_t bit = 1u << i;
    bool reaches = (run.Reaches & bit) != 0;
    if (run.ByPlayer & bit) [[unlikely]] {
      Tmplayer& p = *team.Players[i];
      p.Run(role);
      reaches = p.ReachesBall(role, bx, by, bh);
    }
    if (reaches) Reachers[role].AddRow({t, i});
  }
}

void Tmmain::AttackPlan(int t) {
  Tmteam& team = *Sides[t];
  team.AllFree();
  if (!RestartHold) {
    const Tmpoint aim = Ball->AimPoint();
    team.SendChaser(aim.X, aim.Y, Ball->FlightTicks());
    team.AttackShape(aim.X, aim.Y);
    return;
  }
  team.AttackShape(kPitchCentreX, kPitchCentreY);
  Tmplayer& keeper = team.PlayerAt(0);
  keeper.TargetX = Ball->X;
  keeper.TargetY = Ball->Y;
  keeper.Place(2);
  // The keeper waits until every opponent has left the zone in front of his goal.
  const int32_t line = keeper.GoalX(0);
  const Tmteam& other = *Sides[1 - t];
  bool anyone = false;
  for (int i = 0; i < kOnPitch && !anyone; ++i) anyone = std::abs(other.PlayerAt(i).X - line) < 2500;
  RestartHold = anyone;
}

void Tmmain::DefencePlan(int t) {
  Tmteam& team = *Sides[t];
  team.AllFree();
  if (RestartHold) {
    team.DefenceShape(kPitchCentreX, kPitchCentreY, kPitchCentreX, kPitchCentreY);
    return;
  }
  const Tmpoint aim = Ball->AimPoint();
  team.SendChaser(aim.X, aim.Y, Ball->FlightTicks());
  // Opponents near our goal line, nearest our goal first (a stable order,
  // as the team's MarkList table sorted by its distance column).
  const int32_t line = team.PlayerAt(0).GoalX(0);
  const Tmteam& other = *Sides[1 - t];
  int32_t nx[kOnPitch], ny[kOnPitch], nd[kOnPitch];
  int n = 0;
  const TRunLanes& ol = *other.Lanes;  // list position i runs in lane i
  for (int i = 0; i < kOnPitch; ++i) {
    const int32_t x = ol.X[i], y = ol.Y[i];
    if (std::abs(x - line) >= 2500) continue;
    nx[n] = x, ny[n] = y;
    ++n;
  }
  // Ordered by distance when there are two or more (a lone opponent there
  // needs no distance).
  if (n > 1) {
    for (int r = 0; r < n; ++r) {
      const int32_t x = nx[r], y = ny[r], d = RoundedPitchDistance(x - line, y - kPitchCentreY);
      int k = r;
      for (; k > 0 && nd[k - 1] > d; --k) {
        nx[k] = nx[k - 1], ny[k] = ny[k - 1], nd[k] = nd[k - 1];
      }
      nx[k] = x, ny[k] = y, nd[k] = d;
    }
  }
  for (int r = 0; r < n; ++r) team.Mark(nx[r], ny[r]);
  team.DefenceShape(Ball->X, Ball->Y, aim.X, aim.Y);
}

// ---------------------------------------------------------------------------
// Who touches the ball

void Tmmain::ResolveBall() {
  TReachTable& attackers = Reachers[0];
  TReachTable& defenders = Reachers[1];
  if (attackers.RowCount() > 0 || defenders.RowCount() > 0) {
    int keeperRow = -1;
    for (int r = 0; r < defenders.RowCount(); ++r)
      if (defenders.GetValue(r, 1) == 0) {
        keeperRow = r;
        break;
      }
    Tmplayer* keeper = nullptr;
    int kt = -1;
    if (keeperRow >= 0) {
      kt = defenders.GetValue(keeperRow, 0);
      keeper = &Sides[kt]->PlayerAt(0);
      if (!keeper->InOwnArea()) keeper = nullptr;
    }
    if (keeper) {
      Ball->KeeperTrap(keeper->Control);
      LastTeam = kt;
      LastIndex = 0;
      RecordTouch(kt, 0);
      SoundEvent = kSoundSave;
      keeper->Freeze = 20;
      LiveEvent[0] = kt;
      LiveEvent[1] = keeper->Number;
      LiveEvent[2] = 0;
      LiveEvent[3] = -1;
      keeper->AddStat(kStatWon, 0);
      if (Ball->Stopped()) {
        RestartHold = true;
        Role[kt] = 0;
        Role[1 - kt] = 1;
        ReplanCount[0] = ReplanCount[1] = 0;
        LiveEvent[3] = 0;
      }
    } else if (attackers.RowCount() > 0) {
      const int at = attackers.GetValue(0, 0), ai = attackers.GetValue(0, 1);
      Tmplayer& a = Sides[at]->PlayerAt(ai);
      Ball->Trap(a.Control);
      LastTeam = at;
      LastIndex = ai;
      LiveEvent[0] = at;
      LiveEvent[1] = a.Number;
      LiveEvent[2] = LiveEvent[3] = -1;
      if (defenders.RowCount() > 0) Duel(at, ai);
    } else {
      const int dt = defenders.GetValue(0, 0), di = defenders.GetValue(0, 1);
      Tmplayer& d = Sides[dt]->PlayerAt(di);
      Ball->Trap(d.Control);
      LastTeam = dt;
      LastIndex = di;
      if (Ball->Stopped()) {
        Role[dt] = 0;
        Role[1 - dt] = 1;
      } else {
        RecordTouch(dt, di);
      }
    }
  }
  if (Ball->Stopped() && defenders.RowCount() == 0 && attackers.RowCount() > 0) OnBallDecision();
}

void Tmmain::Duel(int at, int ai) {
  TReachTable& defenders = Reachers[1];
  Tmplayer& a = Sides[at]->PlayerAt(ai);
  const int32_t attack = Random(a.Control) / 2 + a.Control / 2;
  int32_t defence = 0;
  for (int r = 0; r < defenders.RowCount(); ++r) {
    const Tmplayer& d = Sides[defenders.GetValue(r, 0)]->PlayerAt(defenders.GetValue(r, 1));
    defence += Random(d.Tackle) + d.Tackle / 2;
  }
  const int dt = defenders.GetValue(0, 0), di = defenders.GetValue(0, 1);
  Tmplayer& first = Sides[dt]->PlayerAt(di);
  if (defence > attack) {
    a.Beaten();
    LastTeam = dt;
    LastIndex = di;
    LiveEvent[2] = 1;
    LiveEvent[3] = first.Number;
    a.AddStat(kStatMiss, ai);
    first.AddStat(kStatWon, di);
  } else {
    for (int r = 0; r < defenders.RowCount(); ++r)
      Sides[defenders.GetValue(r, 0)]->PlayerAt(defenders.GetValue(r, 1)).Beaten();
    a.AddStat(kStatSuccess, ai);
    first.AddStat(kStatBeaten, di);
    LastTeam = at;
    LastIndex = ai;
    defenders.Clear();
  }
}

void Tmmain::RecordTouch(int team, int index) {
  if (Touches.RowCount() > 0) {
    const int ta = Touches.GetValue(0, 0), tb = Touches.GetValue(0, 1);
    // A ball lost to an outfield opponent is a miss; kept by the same side
    // or taken by the opposing keeper, a success.
    if (team != ta && index != 0)
      Sides[ta]->PlayerAt(tb).AddStat(kStatMiss, tb);
    else
      Sides[ta]->PlayerAt(tb).AddStat(kStatSuccess, tb);
    if (ta == team && tb == index) return;
  }
  // The oldest of three makes room for the newest.
  if (Touches.RowCount() == 3) Touches.DeleteRow(2);
  Touches.InsertRow(0, {team, index});
}

// ---------------------------------------------------------------------------
// The player on the ball

void Tmmain::OnBallDecision() {
  const int ht = Reachers[0].GetValue(0, 0), hi = Reachers[0].GetValue(0, 1);
  Tmplayer& p = Sides[ht]->PlayerAt(hi);
  LiveEvent[2] = p.LeftFooted() ? 2 : 3;  // deliberately the foot of the player now on the ball
  ActionDone = false;
  DribbleAngle = kNoDribble;
  HolderTeam = ht;
  HolderIndex = hi;
  RecordTouch(ht, hi);

  PassTable.Clear();
  Sides[ht]->BuildPassTable(PassTable, hi);
  Sides[1 - ht]->MarkPassTable(PassTable);

  const std::array<int32_t, 3> order = p.ActionOrder();
  for (int32_t code : order) {
    if (ActionDone) break;
    switch (code) {
      case kActSpacePass: TryPassIntoSpace(p); break;
      case kActFeed: TryFeed(p); break;
      case kActDribble: PlanDribble(p); break;
      case kActShot: TryShot(p); break;
      case kActClear: Clearance(p); break;
      default: break;
    }
  }
  if (!ActionDone) SafePass(p);
  if (!ActionDone && DribbleAngle != kNoDribble) {
    Ball->Push(p.Pace, DribbleAngle);
    LiveEvent[3] = kLiveDribble;
    ++ActionCounts[kLiveDribble];
  }
  ReplanCount[0] = ReplanCount[1] = 0;
}

void Tmmain::KickTo(Tmplayer& p, int32_t tx, int32_t ty, int32_t loft, int32_t code) {
  Ball->Kick(Tmpoint{tx, ty}, p.Kick, loft);
  ActionDone = true;
  LiveEvent[3] = code;
  ++ActionCounts[code];
}

void Tmmain::PushTo(Tmplayer& p, int32_t tx, int32_t ty) {
  Ball->Push(p.Pace, p.AngleTo(Tmpoint{tx, ty}));
  ActionDone = true;
  LiveEvent[3] = kLiveDribble;
  ++ActionCounts[kLiveDribble];
}

void Tmmain::PlanDribbleToward(Tmplayer& p, int32_t tx, int32_t ty) {
  if (DribbleAngle == kNoDribble) DribbleAngle = p.AngleTo(Tmpoint{tx, ty});
}

void Tmmain::TryShot(Tmplayer& p) {
  Tmpoint aim;
  switch (p.ShotCheck(aim)) {
    case kShotNow: KickTo(p, aim.X, aim.Y, 150, kLiveShot); break;
    case kShotDribbleNow: PushTo(p, aim.X, aim.Y); break;
    case kShotDribbleLater: PlanDribbleToward(p, aim.X, aim.Y); break;
    default: break;
  }
}

bool Tmmain::TryCross(Tmplayer& p) {
  TPassTable& t = PassTable;
  if (t.RowCount() == 0) return false;
  t.SortByKeys<-(3 + 1), -(5 + 1), 2>();  // in front of goal, then far, then nearest the goal
  if (t.GetValue(0, 3) == 0) return false;
  const int32_t tx = t.GetValue(0, 0), ty = t.GetValue(0, 1);
  if (p.InView(Tmpoint{tx, ty})) {
    KickTo(p, tx, ty, p.Reach / 2, kLiveCross);
  } else if (std::abs(p.GoalX(1) - p.X) < 2000) {
    PushTo(p, tx, ty);
  } else {
    PlanDribbleToward(p, tx, ty);
  }
  return true;
}

void Tmmain::TryFeed(Tmplayer& p) {
  if (TryCross(p)) return;
  TPassTable& t = PassTable;
  if (t.RowCount() == 0) return;
  t.SortByKeys<-(5 + 1), 2>();  // far, then nearest the goal
  int row = -1;
  if (t.GetValue(0, 5) == 11) {
    row = 0;
  } else {
    for (int r = 0; r < t.RowCount(); ++r)
      if (t.GetValue(r, 5) == 1) {
        row = r;
        break;
      }
  }
  if (row < 0) return;
  const int32_t tx = t.GetValue(row, 0), ty = t.GetValue(row, 1);
  if (p.InView(Tmpoint{tx, ty}))
    KickTo(p, tx, ty, 0, kLiveFeed);
  else
    PlanDribbleToward(p, tx, ty);
}

void Tmmain::PlanDribble(Tmplayer& p) {
  if (DribbleAngle != kNoDribble) return;
  const int32_t dx = p.GoalX(1) - p.X, dy = kPitchCentreY - p.Y;
  const double a = std::abs(dy) < std::abs(dx) ? std::atan2(0.0, static_cast<double>(dx))
                                               : std::atan2(static_cast<double>(dy), static_cast<double>(dx));
  DribbleAngle = a;
  if (!Sides[1 - HolderTeam]->ClearPath(p.X, p.Y, a)) DribbleAngle = kNoDribble;
}

void Tmmain::TryPassIntoSpace(Tmplayer& p) {
  TPassTable& t = PassTable;
  t.SortByKeys<3, 5, -(4 + 1), 2>();  // not in front of goal, not far, most ahead, nearest the goal
  int row = -1;
  for (int r = 0; r < t.RowCount(); ++r)
    if (t.GetValue(r, 4) == 11) {
      row = r;
      break;
    }
  if (row < 0 || t.GetValue(row, 3) == 1) return;
  const int32_t tx = t.GetValue(row, 0) + 1000 * Sign(p.GoalX(1) - kPitchCentreX), ty = t.GetValue(row, 1);
  if (p.InView(Tmpoint{tx, ty}))
    KickTo(p, tx, ty, 0, kLiveSpacePass);
  else
    PlanDribbleToward(p, tx, ty);
}

void Tmmain::Clearance(Tmplayer& p) {
  const Tmpoint c = p.ClearTarget();
  KickTo(p, c.X, c.Y, 0, kLiveClearance);
}

void Tmmain::SafePass(Tmplayer& p) {
  TPassTable& t = PassTable;
  t.SortAscending(2);
  int row = -1;
  for (int r = 0; r < t.RowCount(); ++r)
    if (t.GetValue(r, 4) == 10) {
      row = r;
      break;
    }
  if (row < 0 || t.GetValue(row, 6) == 0) return;
  const int32_t tx = t.GetValue(row, 0), ty = t.GetValue(row, 1);
  if (p.InView(Tmpoint{tx, ty}))
    KickTo(p, tx, ty, 0, kLiveSafePass);
  else
    PlanDribbleToward(p, tx, ty);
}

// ---------------------------------------------------------------------------
// Restarts and goals

void Tmmain::CreditNewestToucher() {
  if (Touches.RowCount() == 0) return;
  const int t = Touches.GetValue(0, 0), i = Touches.GetValue(0, 1);
  Sides[t]->PlayerAt(i).AddStat(kStatMiss, i);
}

void Tmmain::SideRestart() {
  CreditNewestToucher();
  const int32_t bx = Ball->X, by = Ball->Y;
  for (int t = 0; t < 2; ++t) {
    Tmteam& team = *Sides[t];
    team.AllFree();
    if (Role[t] == 0) {
      team.AttackShape(bx, kPitchCentreY);
      for (int i = 0; i < kOnPitch; ++i) team.PlayerAt(i).Place(2);
      team.SendChaser(bx, by, 0);
    } else {
      team.DefenceShape(bx, kPitchCentreY, bx, kPitchCentreY);
    }
    for (int i = 0; i < kOnPitch; ++i) team.PlayerAt(i).Place(2);
  }
}

void Tmmain::GoalKickRestart() {
  CreditNewestToucher();
  Ball->Reset(Ball->X, kPitchCentreY);
  for (int t = 0; t < 2; ++t) {
    Tmteam& team = *Sides[t];
    team.AllFree();
    if (Role[t] == 0) {
      team.AttackShape(kPitchCentreX, kPitchCentreY);
      team.PlayerAt(0).TargetX = Ball->X;
      team.PlayerAt(0).TargetY = Ball->Y;
    } else {
      team.DefenceShape(kPitchCentreX, kPitchCentreY, kPitchCentreX, kPitchCentreY);
    }
    for (int i = 0; i < kOnPitch; ++i) team.PlayerAt(i).Place(2);
  }
  Role[LastTeam] = 1;
  Role[1 - LastTeam] = 0;
}

void Tmmain::Goal(int g) {
  // Who touched it last: the history, or when that was cleared (a ball back
  // off the woodwork) the last player known to have played it.
  struct Toucher {
    int team, index;
  };
  std::vector<Toucher> touches;
  for (int r = 0; r < Touches.RowCount(); ++r) touches.push_back({Touches.GetValue(r, 0), Touches.GetValue(r, 1)});
  if (touches.empty()) touches.push_back({LastTeam, LastIndex});

  int s = touches[0].team;
  auto attacks = [&](int team) { return Sides[team]->PlayerAt(0).GoalX(1) / 10000; };
  // A save that went in counts for the shooter.
  if (g != attacks(s) && touches[0].index == 0 && touches.size() >= 2) {
    touches.erase(touches.begin());
    s = touches[0].team;
  }
  Tmplayer& scorer = Sides[s]->PlayerAt(touches[0].index);
  std::string text;
  if (g == attacks(s)) {
    text = scorer.ScorerText(kStatGoal);
    LiveEvent[2] = scorer.Number + 100 * s;
    scorer.AddStat(kStatSuccess, touches[0].index);
    if (touches.size() >= 2 && touches[1].team == s) {
      Tmplayer& assister = Sides[s]->PlayerAt(touches[1].index);
      text = assister.ScorerText(kStatAssist) + "⇒" + text;
      LiveEvent[3] = assister.Number + 100 * s;
    }
  } else {
    LiveEvent[2] = scorer.Number + 100 * s;
    LiveEvent[3] = -2;
    scorer.AddStat(kStatMiss, touches[0].index);
    text = "O.G" + scorer.ScorerText(-1);
    s = 1 - s;
  }
  char minute[16];
  std::snprintf(minute, sizeof minute, "%.2d", Tick / 60);
  GoalLists[s].push_back(std::string(minute) + "分　" + text);
  Touches.Clear();
  SoundEvent = kSoundGoalTeam0 + s;
  Sides[1 - s]->PlayerAt(0).AddStat(kStatBeaten, 0);
}

// ---------------------------------------------------------------------------

void Tmmain::AutoSubs(int team) {
  if (team < 0 || team > 1 || !Loaded()) return;
  Sides[team]->AutoSub(Goals(team) - Goals(1 - team), Tick);
}

std::string Tmmain::GoalText(int team) const { return CommaText(GoalLists[team]); }

void Tmmain::Result(std::string& goals0, std::string& goals1, int32_t& score0, int32_t& score1, TIntgrid& stats) const {
  goals0 = GoalText(0);
  goals1 = GoalText(1);
  score0 = Goals(0);
  score1 = Goals(1);
  Sides[0]->ResultRows(stats);
  Sides[1]->ResultRows(stats);
}

TmVTRsc Tmmain::Snapshot() const {
  TmVTRsc f;
  for (int i = 0; i < 2 && Loaded(); ++i) {
    for (int j = 0; j < kOnPitch; ++j) {
      const Tmplayer& p = Sides[i]->PlayerAt(j);
      f.At(1 + 22 * i + 2 * j) = p.X / 16 - 5;
      f.At(2 + 22 * i + 2 * j) = p.Y / 16 - 5;
      f.At(45 + 11 * i + j) = p.Number;
    }
  }
  f.At(67) = Ball->X / 16 - 3;
  f.At(68) = Ball->Y / 16 - 3;
  f.At(69) = Ball->BallHeight / 32 - 3;
  f.At(70) = Goals(0);
  f.At(71) = Goals(1);
  return f;
}

TMatchOutcome PlayQuickMatch(Tmmain& driver, const TQuickMatchHook& afterStep) {
  for (int32_t step = 0; step < kMatchTicks; ++step) {
    driver.Step();
    if (step % kAutoSubInterval == 0) {
      driver.AutoSubs(0);
      driver.AutoSubs(1);
    }
    if (afterStep) afterStep(step);
  }
  TMatchOutcome out;
  driver.Result(out.HomeText, out.AwayText, out.HomeGoals, out.AwayGoals, out.Stats);
  return out;
}
