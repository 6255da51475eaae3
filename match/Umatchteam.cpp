#include "match/Umatchteam.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

#include "club/Uarith.h"
#include "club/Ugridtext.h"
#include "match/Umatchmove.h"
#include "match/Umatchplayer.h"

namespace {

int Sign(int32_t v) { return (v > 0) - (v < 0); }

int64_t Dist2(int32_t dx, int32_t dy) { return static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy; }

// Reads one player record of the line-up; the record must at least hold its
// number, home position and the length of its name.
std::pair<int32_t, int32_t> LoadPlayer(TStream& s, int side, TRunLanes& lanes, int lane,
                                       std::unique_ptr<Tmplayer>& out) {
  s.Need(16, "line-up player");
  auto p = std::make_unique<Tmplayer>(lanes, lane);
  std::pair<int32_t, int32_t> strength = p->Load(s, side);
  out = std::move(p);
  return strength;
}

}  // namespace

Tmteam::Tmteam() : Lanes(std::make_unique<TRunLanes>()) {}
Tmteam::~Tmteam() = default;

void Tmteam::Load(TStream& s, int side) {
  if (side < 0 || side > 3) throw StreamError("line-up side out of range", s.Position());
  // Everything is read into locals first: a malformed stream leaves the
  // team as it was.
  auto lanes = std::make_unique<TRunLanes>();
  std::vector<std::unique_ptr<Tmplayer>> players;
  std::vector<std::pair<int32_t, int32_t>> starterStrength, benchStrength;
  bool present[kBenchSlots] = {};
  int32_t benchPos[kBenchSlots] = {-1, -1, -1, -1, -1};
  int32_t benchSlotOf[kBenchSlots] = {};

  int32_t clubId = s.ReadInt32();
  for (int i = 0; i < kOnPitch; ++i) {
    std::unique_ptr<Tmplayer> p;
    starterStrength.push_back(LoadPlayer(s, side, *lanes, i, p));
    lanes->OnPitch[i] = 1;
    players.push_back(std::move(p));
  }
  int benchCount = 0;
  for (int slot = 0; slot < kBenchSlots; ++slot) {
    if (s.ReadByte() == 0) continue;
    std::unique_ptr<Tmplayer> p;
    benchStrength.push_back(LoadPlayer(s, side, *lanes, static_cast<int>(players.size()), p));
    present[slot] = true;
    benchPos[slot] = static_cast<int32_t>(players.size());
    benchSlotOf[benchCount++] = slot;
    players.push_back(std::move(p));
  }

  Players = std::move(players);
  Lanes = std::move(lanes);  // after the players who run in them are gone
  ClubId = clubId;
  HomeSide = side != 1;
  SubsMade = AttackUsed = DefenceUsed = 0;
  for (int i = 0; i < kBenchSlots; ++i) {
    BenchPresent[i] = present[i];
    BenchPos[i] = benchPos[i];
  }
  for (int j = 0; j < 2; ++j) AttackPlan[j] = DefencePlan[j] = TSubPlan{};
  AllFree();

  // Starters: the two weakest attackers are the defensive plan's candidates
  // to go off, the two weakest of the rest the attacking plan's. Deliberately
  // the keeper is never planned off: whoever stands in position 0 keeps goal.
  TIntgrid starters;
  for (int i = 0; i < kOnPitch; ++i) {
    const auto& st = starterStrength[i];
    if (i == 0)
      starters.AddRow({i, 1000, 1000});
    else
      starters.AddRow({i, st.first == 0 ? st.second : 1000, st.first == 0 ? 1000 : st.second});
  }
  starters.SortAscending(1);
  for (int r = 0, j = 0; r < starters.RowCount() && j < 2; ++r)
    if (starters.GetValue(r, 1) != 1000) DefencePlan[j++].Out = starters.GetValue(r, 0);
  starters.SortAscending(2);
  for (int r = 0, j = 0; r < starters.RowCount() && j < 2; ++r)
    if (starters.GetValue(r, 2) != 1000) AttackPlan[j++].Out = starters.GetValue(r, 0);

  // Bench: the strongest attackers and defenders come on; deliberately no
  // reserve keeper, who only ever replaces the keeper, which no plan does.
  TIntgrid bench;
  for (int b = 0; b < benchCount; ++b) {
    const auto& st = benchStrength[b];
    if (Players[BenchPos[benchSlotOf[b]]]->Mtype <= 2)
      bench.AddRow({benchSlotOf[b], 0, 0});
    else
      bench.AddRow({benchSlotOf[b], st.first == 0 ? st.second : 0, st.first == 0 ? 0 : st.second});
  }
  bench.SortDescending(1);
  for (int j = 0; j < 2; ++j) {
    if (j < bench.RowCount() && bench.GetValue(j, 1) != 0 && AttackPlan[j].Out != -1)
      AttackPlan[j].Slot = bench.GetValue(j, 0);
    else
      AttackPlan[j] = TSubPlan{};
  }
  bench.SortDescending(2);
  for (int j = 0; j < 2; ++j) {
    if (j < bench.RowCount() && bench.GetValue(j, 2) != 0 && DefencePlan[j].Out != -1)
      DefencePlan[j].Slot = bench.GetValue(j, 0);
    else
      DefencePlan[j] = TSubPlan{};
  }
}

void Tmteam::AllFree() {
  for (bool& f : Free) f = true;
}

int Tmteam::Nearest(int from, int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t k, bool useK) const {
  if (LaneKernel() != TLaneKernel::kOneByOne) {
    const uint32_t among = ((1u << kOnPitch) - 1) & ~((1u << from) - 1);  // lanes from .. 10
    const uint32_t nearest = NearestLanes(*Lanes, among, px, py, rx, ry, k, useK);
    // The first in the list, should there be a tie.
    return nearest == 0 ? -1 : std::countr_zero(nearest);
  }
  int best = -1;
  int64_t bestD = static_cast<int64_t>(20000) * 20000;
  for (int i = from; i < kOnPitch; ++i) {
    const Tmplayer& p = *Players[i];
    if (std::abs(p.X - px) >= rx || std::abs(p.Y - py) >= ry) continue;
    if (useK && !(k < p.Anticipate)) continue;
    int64_t d = Dist2(p.X - px, p.Y - py);
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  return best;
}

void Tmteam::SendChaser(int32_t px, int32_t py, int32_t k) {
  int i = Nearest(0, px, py, 3500, 3500, k, true);
  if (i < 0 || !Free[i]) return;
  Players[i]->TargetX = px;
  Players[i]->TargetY = py;
  Free[i] = false;
}

// The shapes read and write the eleven's lanes straight (list position i
// runs in lane i).
void Tmteam::AttackShape(int32_t rx, int32_t ry) {
  TRunLanes& l = *Lanes;
  for (int i = 0; i < kOnPitch; ++i) {
    if (!Free[i]) continue;
    const Tatkmove m(Tmpoint{rx, ry}, Tmpoint{l.X[i], l.Y[i]}, Tmpoint{l.HomeX[i], l.HomeY[i]});
    const Tmpoint t = m.Target(l.Mtype[i]);
    l.TargetX[i] = t.X;
    l.TargetY[i] = t.Y;
  }
}

void Tmteam::DefenceShape(int32_t ballX, int32_t ballY, int32_t aimX, int32_t aimY) {
  Tmplayer& k = *Players[0];
  Tdfmove km(Tmpoint{ballX, ballY}, k.Position(), k.Home());
  km.KeeperInit(Tmpoint{ballX, ballY}, Tmpoint{aimX, aimY}, k.HomeX / 10000);
  k.SetTarget(km.KeeperTarget(k.Anticipate));
  TRunLanes& l = *Lanes;
  for (int i = 1; i < kOnPitch; ++i) {
    if (!Free[i]) continue;
    const Tdfmove m(Tmpoint{ballX, ballY}, Tmpoint{l.X[i], l.Y[i]}, Tmpoint{l.HomeX[i], l.HomeY[i]});
    const Tmpoint t = m.Target(l.Mtype[i]);
    l.TargetX[i] = t.X;
    l.TargetY[i] = t.Y;
  }
}

void Tmteam::MarkList(TIntgrid& table, int32_t x0) const {
  for (int i = 0; i < kOnPitch; ++i) {
    const Tmplayer& p = *Players[i];
    if (std::abs(p.X - x0) < 2500) table.AddRow({p.X, p.Y, RoundedPitchDistance(p.X - x0, p.Y - kPitchCentreY)});
  }
}

void Tmteam::Mark(int32_t px, int32_t py) {
  int i = Nearest(1, px, py, 1000, 1500, 0, false);
  if (i < 0 || !Free[i]) return;
  Players[i]->TargetX = px;
  Players[i]->TargetY = py;
  Free[i] = false;
}

template <class Table>
void Tmteam::BuildPassTable(Table& table, int holder) const {
  const TRunLanes& l = *Lanes;  // list position i runs in lane i
  const int32_t g = Players[0]->GoalX(1);
  const int32_t hx = Players[holder]->X, hy = Players[holder]->Y;
  // The eleven nearest the attacked goal first, equal distances in list
  // order (as a stable sort of the rows by distance), then the rows in that
  // order: those before the holder's are ahead of him.
  int32_t dist[kOnPitch];
  int order[kOnPitch];
  for (int i = 0; i < kOnPitch; ++i) {
    dist[i] = RoundedPitchDistance(l.X[i] - g, l.Y[i] - kPitchCentreY);
    int k = i;
    for (; k > 0 && dist[order[k - 1]] > dist[i]; --k) order[k] = order[k - 1];
    order[k] = i;
  }
  bool ahead = holder >= 0 && holder < kOnPitch;  // a holder off the list has nobody ahead
  for (int k = 0; k < kOnPitch; ++k) {
    const int i = order[k];
    if (i == holder) {
      ahead = false;
      continue;
    }
    const int32_t x = l.X[i], y = l.Y[i];
    const int32_t front = (std::abs(x - g) < 1500 && std::abs(y - kPitchCentreY) < 700) ? 1 : 0;
    const int32_t far = ahead && (std::abs(x - hx) >= 3000 || std::abs(y - hy) >= 3000) ? 1 : 0;
    table.AddRow({x, y, dist[i], front, ahead ? 1 : 0, far, i});
  }
}

template <class Table>
void Tmteam::MarkPassTable(Table& table) const {
  const int32_t a = Players[0]->GoalX(0);
  int32_t dist[kOnPitch - 1], ys[kOnPitch - 1];
  for (int i = 1; i < kOnPitch; ++i) {
    dist[i - 1] = std::abs(Players[i]->X - a);
    ys[i - 1] = Players[i]->Y;
  }
  // Every outfield player looked at without branching: the compiler takes
  // them several at a time.
  auto covered = [&](int32_t d, int32_t y) {
    int any = 0;
    for (int j = 0; j < kOnPitch - 1; ++j) any |= (std::abs(ys[j] - y) <= 1500) & (d - dist[j] <= 1500);
    return any != 0;
  };
  const int32_t ahead = 1000 * Sign(kPitchCentreX - a);
  for (int r = table.RowCount() - 1; r >= 0; --r) {
    int32_t x = table.GetValue(r, 0), y = table.GetValue(r, 1);
    int32_t e = std::abs(x - a);
    if (covered(e, y)) table.SetValue(r, 4, table.GetValue(r, 4) + 10);
    if (table.GetValue(r, 5) == 1 && covered(e + ahead, y)) table.SetValue(r, 5, 11);
  }
}

template void Tmteam::BuildPassTable(TPassTable&, int) const;
template void Tmteam::BuildPassTable(TIntgrid&, int) const;
template void Tmteam::MarkPassTable(TPassTable&) const;
template void Tmteam::MarkPassTable(TIntgrid&) const;

bool Tmteam::ClearPath(int32_t sx, int32_t sy, double angle) const {
  int32_t tx = sx + RoundHalfEven(std::cos(angle) * 1000);
  int32_t ty = sy + RoundHalfEven(std::sin(angle) * 1000);
  int32_t left = std::min(sx, tx), right = std::max(sx, tx);
  int32_t top = std::min(sy, ty) - 500, bottom = std::max(sy, ty) + 500;
  int inside = 0;
  for (int i = 1; i < kOnPitch; ++i) {
    const Tmplayer& p = *Players[i];
    if (p.X >= left && p.X < right && p.Y >= top && p.Y < bottom) {
      if (++inside >= 3) return false;
    }
  }
  return true;
}

void Tmteam::AutoSub(int32_t diff, int32_t tick) {
  if (SubsMade >= kMaxSubs || AttackUsed + DefenceUsed >= 2) return;
  bool attacking;
  int32_t when0, when1;  // tick from which entry 0 / 1 may be used; -1 = never
  if (diff <= -3) {
    attacking = true, when0 = 0, when1 = 3900;
  } else if (diff == -2) {
    attacking = true, when0 = 3600, when1 = 4800;
  } else if (diff == -1) {
    attacking = true, when0 = 3900, when1 = 4800;
  } else if (diff == 0 && HomeSide) {
    attacking = true, when0 = 4500, when1 = -1;
  } else if (diff <= 1) {
    attacking = false, when0 = 3900, when1 = 4500;
  } else {
    attacking = false, when0 = 4500, when1 = -1;
  }
  int32_t& used = attacking ? AttackUsed : DefenceUsed;
  TSubPlan* plan = attacking ? AttackPlan : DefencePlan;
  if (used > 1) return;
  int32_t when = used == 0 ? when0 : when1;
  const TSubPlan& entry = plan[used];
  if (entry.Out == -1 || when < 0 || tick < when) return;
  Substitute(entry.Out, entry.Slot, tick);
  ++used;
}

const char* RefusalName(TmRefusal r) {
  switch (r) {
    case TmRefusal::None: return "done";
    case TmRefusal::NoSuchPlayer: return "no such player on the pitch";
    case TmRefusal::NoSuchBenchPlayer: return "no such player on the bench";
    case TmRefusal::AlreadySubstituted: return "the bench player has already come on";
    case TmRefusal::NoSubstitutionsLeft: return "no substitution left";
    case TmRefusal::Goalkeeper: return "the goalkeeper keeps his place";
    case TmRefusal::OutsideArea: return "outside the area a player may be sent to";
  }
  return "?";
}

TmRefusal Tmteam::SubstitutionRefusal(int out, int slot) const {
  if (out < 0 || out >= std::min(kOnPitch, PlayerCount())) return TmRefusal::NoSuchPlayer;
  if (slot < 0 || slot >= kBenchSlots || BenchPos[slot] < 0) return TmRefusal::NoSuchBenchPlayer;
  if (!BenchPresent[slot]) return TmRefusal::AlreadySubstituted;
  if (SubsMade >= kMaxSubs) return TmRefusal::NoSubstitutionsLeft;
  return TmRefusal::None;
}

TmRefusal Tmteam::Substitute(int out, int slot, int32_t tick) {
  if (const TmRefusal r = SubstitutionRefusal(out, slot); r != TmRefusal::None) return r;
  BenchPresent[slot] = false;
  const int in = BenchPos[slot];
  Tmplayer& off = *Players[out];
  Tmplayer& on = *Players[in];
  off.OnMinute = tick / 60 - off.OnMinute;
  on.HomeX = off.HomeX;
  on.HomeY = off.HomeY;
  on.OnMinute = tick / 60;
  on.Place(3);
  // He takes the list position and the lane of the one going off, who
  // takes his: the eleven on the pitch keep to the same lanes all match.
  off.SwapWith(on);
  ++SubsMade;
  return TmRefusal::None;
}

TmRefusal Tmteam::MoveHome(int index, int32_t x, int32_t y) {
  if (index < 0 || index >= std::min(kOnPitch, PlayerCount())) return TmRefusal::NoSuchPlayer;
  if (index == 0) return TmRefusal::Goalkeeper;
  const int32_t ownGoalLine = Players[0]->GoalX(0);
  if (std::abs(int64_t{ownGoalLine} - x) > kHomeReachFromGoalLine ||
      std::abs(int64_t{kPitchCentreY} - y) > kHomeReachFromAxis)
    return TmRefusal::OutsideArea;
  Players[index]->HomeX = x;
  Players[index]->HomeY = y;
  return TmRefusal::None;
}

void Tmteam::ResultRows(TIntgrid& table) const {
  auto add = [&](const Tmplayer& p, bool onPitch) {
    std::vector<int32_t> row = p.ResultRow(onPitch);
    row.resize(6);
    row[0] = ClubId;
    table.AddRow(row);
  };
  const int onPitch = std::min(kOnPitch, PlayerCount());
  for (int i = 0; i < onPitch; ++i) add(*Players[i], true);
  for (int slot = 0; slot < kBenchSlots; ++slot)
    if (!BenchPresent[slot] && BenchPos[slot] >= 0) add(*Players[BenchPos[slot]], false);
}

void Tmteam::FillInfoGrid(TGrid& grid, bool starters) const {
  if (starters) {
    for (int i = 0; i < std::min(kOnPitch, PlayerCount()); ++i) SetRowCommaText(grid, i + 1, Players[i]->InfoRow());
  } else {
    for (int slot = 0; slot < kBenchSlots; ++slot)
      if (BenchPresent[slot]) SetRowCommaText(grid, slot, Players[BenchPos[slot]]->InfoRow());
  }
}

void Tmteam::FillStatsGrid(TGrid& grid) const {
  for (int i = 0; i < std::min(kOnPitch, PlayerCount()); ++i) SetRowCommaText(grid, i + 1, Players[i]->StatsRow());
}
