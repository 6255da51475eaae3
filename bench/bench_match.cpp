// The match engine's speed and a sanity check of its football: one quick
// match between two clubs of a new game, as league and cup run it, and the
// figures of many seeded matches (goals, results, on-ball actions).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "world/Ugamemain.h"

// ---- allocation count: how often one match asks the heap, and the most it
// holds at once ---------------------------------------------------------------
namespace {
std::atomic<long> g_live{0}, g_peak{0}, g_allocs{0};
bool g_counting = false;
void Count(void* p) {
  if (!g_counting || !p) return;
  ++g_allocs;
  long now = g_live += static_cast<long>(malloc_usable_size(p));
  long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}
void Uncount(void* p) {
  if (g_counting && p) g_live -= static_cast<long>(malloc_usable_size(p));
}
}  // namespace

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  Count(p);
  return p;
}
// These replace the global pair, so free() here does match the malloc() of
// operator new; GCC, seeing both inlined, takes it for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
  Uncount(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  Uncount(p);
  std::free(p);
}
#pragma GCC diagnostic pop

namespace {

// The line-up streams of the 24 clubs of a new game built from the shipped data.
const std::vector<std::vector<uint8_t>>& ClubLineups() {
  static std::vector<std::vector<uint8_t>> lineups = [] {
    std::vector<std::vector<uint8_t>> out;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) cwd[0] = 0;
    if (chdir(VANTOREL_SOURCE_DIR) != 0) std::abort();
    RandSeed(2026);
    Tgamemain* before = GameState;
    auto game = std::make_unique<Tgamemain>();
    GameState = game.get();
    game->NewGameFrom(ShippedPath("first.dat"), false);
    for (int c = 0; c < kClubCount; ++c) {
      TStream s;
      game->Team(c).WriteLineup(s);
      out.push_back(s.Bytes());
    }
    GameState = before;
    if (cwd[0] && chdir(cwd) != 0) std::abort();
    return out;
  }();
  return lineups;
}

struct MatchFigures {
  int32_t goals[2] = {0, 0};
  int32_t actions[7] = {};
};

MatchFigures PlayFigures(int home, int away) {
  const auto& lineups = ClubLineups();
  Tmmain m;
  TStream s0(lineups[home]), s1(lineups[away]);
  m.Load(s0, s1, false);
  const TMatchOutcome out = PlayQuickMatch(m);
  MatchFigures f;
  f.goals[0] = out.HomeGoals;
  f.goals[1] = out.AwayGoals;
  for (int k = 0; k < 7; ++k) f.actions[k] = m.ActionCounts[k];
  return f;
}

void BM_QuickMatch(benchmark::State& state) {
  ClubLineups();
  uint64_t seed = 1;
  for (auto _ : state) {
    RandSeed(seed++);
    MatchFigures f = PlayFigures(16, 17);
    benchmark::DoNotOptimize(f);
  }
  // Heap requests and the peak heap held while one match is created,
  // played and read.
  g_live = 0;
  g_peak = 0;
  g_allocs = 0;
  g_counting = true;
  RandSeed(1);
  PlayFigures(16, 17);
  g_counting = false;
  state.counters["peak_heap_bytes"] = static_cast<double>(g_peak.load());
  state.counters["allocs_per_match"] = static_cast<double>(g_allocs.load());
}
BENCHMARK(BM_QuickMatch)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 1,000 seeded matches between clubs of the new game: mean goals, result
// shares and on-ball actions per match. Not a target: a sanity check.
void BM_ThousandMatchFigures(benchmark::State& state) {
  ClubLineups();
  const int n = static_cast<int>(state.range(0));
  double goals = 0, homeWins = 0, draws = 0, awayWins = 0, actions[7] = {};
  for (auto _ : state) {
    goals = homeWins = draws = awayWins = 0;
    for (double& a : actions) a = 0;
    for (int i = 0; i < n; ++i) {
      RandSeed(1000 + i);
      const int home = i % kClubCount;
      const int away = (home + 1 + (i / kClubCount) % (kClubCount - 1)) % kClubCount;
      MatchFigures f = PlayFigures(home, away);
      goals += f.goals[0] + f.goals[1];
      if (f.goals[0] > f.goals[1])
        homeWins += 1;
      else if (f.goals[0] == f.goals[1])
        draws += 1;
      else
        awayWins += 1;
      for (int k = 0; k < 7; ++k) actions[k] += f.actions[k];
    }
  }
  state.counters["goals_per_match"] = goals / n;
  state.counters["home_win_share"] = homeWins / n;
  state.counters["draw_share"] = draws / n;
  state.counters["away_win_share"] = awayWins / n;
  static const char* kNames[7] = {"space_pass", "feed", "cross", "shot", "clearance", "safe_pass", "dribble"};
  for (int k = 0; k < 7; ++k) state.counters[kNames[k]] = actions[k] / n;
}
BENCHMARK(BM_ThousandMatchFigures)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
