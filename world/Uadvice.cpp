#include "world/Uadvice.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "world/Uautopilot.h"
#include "world/Utactics.h"

namespace {

constexpr int kMaxAdviceRuns = 100000;
constexpr int kChanges = 2;  // the likeliest single changes tried
constexpr double kZ95 = 1.959963984540054;

// The role rating that judges a starter of a position group (GK, CB, OV, DM,
// AM, side, FW): columns 4 .. 8 of the rating row are goalkeeping,
// defending, all-round, finishing and attacking.
int RoleColumnOfGroup(int32_t group) {
  static constexpr int kColumn[7] = {4, 5, 5, 6, 8, 8, 7};
  return group >= 0 && group < 7 ? kColumn[group] : 6;
}

// What a candidate changes in the club, to be put back after it is played.
struct TLineupState {
  std::array<TPoint, 11> Positions;
  std::array<int32_t, kSlotCount> Slots;
  std::array<int32_t, 5> RoleRatings;
  explicit TLineupState(const Tteam& c) : Positions(c.Positions), Slots(c.Slots), RoleRatings(c.RoleRatings) {}
  void Restore(Tteam& c) const {
    c.Positions = Positions;
    c.Slots = Slots;
    c.RoleRatings = RoleRatings;
  }
};

std::vector<std::filesystem::path> PresetFiles() {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(ShippedPositionFileDir(), ec))
    if (e.is_regular_file(ec) && e.path().extension() == ".dat") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string PlayerLabel(const Tteam& club, int32_t number) {
  const Tplayer* p = club.Squad->PlayerByNumber(number);
  return std::to_string(number) + " " + (p ? p->Name : std::string());
}

// The candidates, each with the slots it gives; the club is left as it was.
std::vector<TAdviceCandidate> MakeCandidates(Tteam& club, const TworldView& world) {
  std::vector<TAdviceCandidate> out;
  const TLineupState saved(club);
  auto add = [&](TAdviceCandidate c) {
    if (ApplyAdvice(club, world, c) && club.StartingElevenComplete()) {
      c.Slots = club.Slots;
      out.push_back(std::move(c));
    }
    saved.Restore(club);
  };
  // The current eleven is a candidate only as it could play: complete and
  // fit (a save may hold an injured starter the club screen would drop).
  bool currentComplete = club.StartingElevenComplete();
  for (int slot = 0; slot < kStarterCount && currentComplete; ++slot) {
    const Tplayer* p = club.Squad->PlayerByNumber(club.Slots[slot]);
    currentComplete = p && !p->IsInjured();
  }
  if (currentComplete) add({TAdviceKind::Current, "現在のスタメン"});
  add({TAdviceKind::Auto, "自動選抜"});
  for (const std::filesystem::path& file : PresetFiles()) {
    TAdviceCandidate c{TAdviceKind::Preset, file.stem().string()};
    club.AutoLineup(true);
    Ttacticsboard board;
    board.Open(club, world, club.TeamIndex);
    c.PresetPlaces = board.Positions;
    saved.Restore(club);
    try {
      if (LoadPositionFile(file.string(), c.PresetPlaces) == 0) continue;
    } catch (const VantorelError&) {
      continue;  // an unreadable file is no candidate
    }
    add(std::move(c));
  }
  if (!currentComplete) return out;

  // The bench player whose role rating most exceeds a starter's of the same
  // position group: the two largest margins, each with another newcomer.
  struct TSwap {
    int Excess;
    int Slot;
    int32_t In;
  };
  std::vector<TSwap> swaps;
  for (int slot = 0; slot < kStarterCount; ++slot) {
    const Tplayer* starter = club.Squad->PlayerByNumber(club.Slots[slot]);
    if (!starter) continue;
    const int column = RoleColumnOfGroup(starter->Mtype / 3);
    const int32_t own = starter->RatingRow(world)[static_cast<std::size_t>(column)];
    for (int i = 0; i < club.Squad->Count(); ++i) {
      const Tplayer* p = club.Squad->PlayerAt(i);
      const int32_t number = club.Squad->NumberAt(i);
      if (!p || p->IsInjured() || p->Mtype / 3 != starter->Mtype / 3) continue;
      const int at = club.FindSlot(number);
      if (at >= 0 && at < kStarterCount) continue;
      const int32_t excess = p->RatingRow(world)[static_cast<std::size_t>(column)] - own;
      if (excess > 0) swaps.push_back({excess, slot, number});
    }
  }
  std::stable_sort(swaps.begin(), swaps.end(), [](const TSwap& a, const TSwap& b) { return a.Excess > b.Excess; });
  std::vector<int32_t> taken;
  for (const TSwap& s : swaps) {
    if (static_cast<int>(taken.size()) == kChanges) break;
    if (std::find(taken.begin(), taken.end(), s.In) != taken.end()) continue;
    taken.push_back(s.In);
    TAdviceCandidate c{TAdviceKind::Change,
                       "交代 " + PlayerLabel(club, club.Slots[s.Slot]) + " → " + PlayerLabel(club, s.In)};
    c.InNumber = s.In;
    c.OutSlot = s.Slot;
    add(std::move(c));
  }
  return out;
}

int UserPoints(const std::array<int16_t, 2>& goals, bool userHome) {
  const int own = userHome ? goals[0] : goals[1], their = userHome ? goals[1] : goals[0];
  return own > their ? 3 : own == their ? 1 : 0;
}

}  // namespace

bool ApplyAdvice(Tteam& club, const TworldView& world, const TAdviceCandidate& candidate) {
  const TLineupState saved(club);
  bool made = true;
  switch (candidate.Kind) {
    case TAdviceKind::Current: break;  // the line-up as it is
    case TAdviceKind::Auto:
    case TAdviceKind::Preset: {
      club.AutoLineup(true);  // "自動選抜"
      Ttacticsboard board;
      board.Open(club, world, club.TeamIndex);
      if (candidate.Kind == TAdviceKind::Preset) board.Positions = candidate.PresetPlaces;  // "LOAD"
      made = board.ApplyLineUp(club);                                                       // "OK"
      break;
    }
    case TAdviceKind::Change: {
      Ttacticsboard board;
      board.Open(club, world, club.TeamIndex);
      const int row = board.SquadRowOfNumber(candidate.InNumber);
      made = row >= 1 && board.AssignPlayer(row, candidate.OutSlot) && board.ApplyLineUp(club);
      break;
    }
  }
  // A candidate made for another state of the club (a player since gone,
  // injured or moved) would give another line-up: refuse it whole.
  const bool known = candidate.Slots != std::array<int32_t, kSlotCount>{};
  if (!made || (known && club.Slots != candidate.Slots)) {
    saved.Restore(club);
    return false;
  }
  return true;
}

namespace {

struct TAdviceWorld {
  std::unique_ptr<Tgamemain> World;
  std::optional<TFixture> Fixture;
  std::vector<uint8_t> OtherBytes;  // the opponent's line-up
};

// A copy of the game read from its bytes, the caller's generator untouched.
TAdviceWorld AdviceWorld(const std::vector<uint8_t>& body) {
  const RandomState callersDraws = GetRandomState();
  TAdviceWorld a;
  a.World = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  {
    TScopedGameState scope(a.World.get());
    TStream s(body);
    a.World->LoadFromStream(s, true);
    a.Fixture = NextUserFixture(*a.World);
    if (a.Fixture) {
      const int32_t other = a.Fixture->Home == kUserClub ? a.Fixture->Away : a.Fixture->Home;
      a.OtherBytes = LineupBytes(a.World->Team(other));
    }
  }
  SetRandomState(callersDraws);
  if (!a.Fixture) throw VantorelError(NoFixtureText(*a.World));
  return a;
}

// Rehearses every candidate with the same seeds and fills in its odds and
// its difference to candidates[0].
void PlayCandidates(TAdviceWorld& a, std::vector<TAdviceCandidate>& candidates, const TAdviceOptions& options,
                    TOutlookControl* control) {
  if (options.Runs < 1 || options.Runs > kMaxAdviceRuns)
    throw VantorelError("runs must be between 1 and " + std::to_string(kMaxAdviceRuns) + ": " +
                        std::to_string(options.Runs));
  if (candidates.empty()) throw VantorelError("スタメンが決まっていません");
  if (control) control->Total = static_cast<int>(candidates.size()) * options.Runs;
  const TFixture& fixture = *a.Fixture;
  const bool userHome = fixture.Home == kUserClub;
  Tteam& user = a.World->Team(kUserClub);
  const TLineupState saved(user);
  // Line-ups that come out the same are played once: with the same seeds
  // they would give the same odds anyway.
  std::map<std::vector<uint8_t>, std::size_t> played;
  std::vector<TRehearsal> rehearsals;
  std::vector<std::size_t> rehearsalOf;
  for (const TAdviceCandidate& c : candidates) {
    std::vector<uint8_t> own;
    {
      TScopedGameState scope(a.World.get());
      const bool made = ApplyAdvice(user, *a.World, c);
      if (made) own = LineupBytes(user);
      saved.Restore(user);
      if (!made) throw VantorelError(c.Name + ": この布陣はもう作れません");
    }
    auto [at, fresh] = played.emplace(own, rehearsals.size());
    if (fresh) {
      const TRehearsalOptions ro{options.Runs, options.Threads, options.Seed};
      rehearsals.push_back(userHome ? RehearseLineups(fixture, own, a.OtherBytes, user, ro, control)
                                    : RehearseLineups(fixture, a.OtherBytes, own, user, ro, control));
    } else if (control) {
      control->Done.fetch_add(options.Runs);
    }
    rehearsalOf.push_back(at->second);
  }

  const TRehearsal& ref = rehearsals[rehearsalOf[0]];
  const double n = options.Runs;
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    TAdviceCandidate& c = candidates[i];
    const TRehearsal& r = rehearsals[rehearsalOf[i]];
    c.Win = r.Win;
    c.Draw = r.Draw;
    c.Loss = r.Loss;
    c.WinMargin = OddsMargin(c.Win, options.Runs);
    c.DrawMargin = OddsMargin(c.Draw, options.Runs);
    c.LossMargin = OddsMargin(c.Loss, options.Runs);
    c.GoalsFor = userHome ? r.MeanHomeGoals : r.MeanAwayGoals;
    c.GoalsAgainst = userHome ? r.MeanAwayGoals : r.MeanHomeGoals;
    int64_t points = 0, diff = 0, diffSquares = 0;
    for (int k = 0; k < options.Runs; ++k) {
      const int p = UserPoints(r.RunGoals[static_cast<std::size_t>(k)], userHome);
      const int d = p - UserPoints(ref.RunGoals[static_cast<std::size_t>(k)], userHome);
      points += p;
      diff += d;
      diffSquares += d * d;
    }
    c.Points = static_cast<double>(points) / n;
    c.PointsDiff = static_cast<double>(diff) / n;
    const double variance =
        options.Runs > 1 ? (static_cast<double>(diffSquares) - static_cast<double>(diff) * c.PointsDiff) / (n - 1) : 0;
    c.PointsDiffMargin = kZ95 * std::sqrt(std::max(0.0, variance) / n);
    c.Significant = std::fabs(c.PointsDiff) > c.PointsDiffMargin;
  }
}

}  // namespace

TAdvice AdviseNextMatch(const Tgamemain& game, const TAdviceOptions& options, TOutlookControl* control) {
  return AdviseNextMatchOfBody(game.SaveBody(), options, control);
}

TAdvice AdviseNextMatchOfBody(const std::vector<uint8_t>& body, const TAdviceOptions& options,
                              TOutlookControl* control) {
  TAdviceWorld a = AdviceWorld(body);
  std::vector<TAdviceCandidate> candidates;
  {
    const RandomState callersDraws = GetRandomState();
    TScopedGameState scope(a.World.get());
    candidates = MakeCandidates(a.World->Team(kUserClub), *a.World);
    SetRandomState(callersDraws);
  }
  // candidates[0] is the reference: the current line-up, or the automatic
  // choice when the current eleven is incomplete.
  PlayCandidates(a, candidates, options, control);

  TAdvice advice;
  advice.Fixture = *a.Fixture;
  advice.Runs = options.Runs;
  advice.Seed = options.Seed;
  std::vector<std::size_t> order(candidates.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return candidates[a].Points > candidates[b].Points; });
  for (std::size_t i : order) {
    if (i == 0) advice.Reference = static_cast<int>(advice.Candidates.size());
    advice.Candidates.push_back(std::move(candidates[i]));
  }
  return advice;
}

std::vector<TAdviceCandidate> ReplayCandidates(const Tgamemain& game, std::vector<TAdviceCandidate> candidates,
                                               const TAdviceOptions& options, TOutlookControl* control) {
  TAdviceWorld a = AdviceWorld(game.SaveBody());
  PlayCandidates(a, candidates, options, control);
  return candidates;
}
