// World benchmarks: building a new game, a full headless season, and saving
// and loading a mid-season game.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "club/Upaths.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Uadvice.h"
#include "world/Uautopilot.h"
#include "world/Ugamemain.h"
#include "world/Uoutlook.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"

namespace {

// Runs the benchmarks inside a temporary copy of the shipped data.
class DataDir {
 public:
  DataDir() {
    namespace fs = std::filesystem;
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("vantorel-bench-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    fs::path src = fs::path(VANTOREL_SOURCE_DIR) / "data";
    for (const char* n : {"first.dat", "name", "aiforma", "formation"})
      if (fs::exists(src / n)) fs::copy(src / n, dir_ / "data" / n, fs::copy_options::recursive);
    fs::current_path(dir_);
  }
  ~DataDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(dir_, ec);
  }

 private:
  std::filesystem::path old_, dir_;
};

std::unique_ptr<Tgamemain> NewWorld(uint64_t seed) {
  RandSeed(seed);
  auto g = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  GameState = g.get();
  g->NewGameFrom(ShippedPath("first.dat"), false);
  g->Market = std::make_unique<Ttrade>();
  return g;
}

void PlayWeeks(Tgamemain& g, int weeks) {
  for (int i = 0; i < weeks; ++i) {
    g.Team(0).AutoLineup(true);  // the user's club on autopilot
    g.PlayWeekMatches();
    g.AdvanceWeek();
  }
}

double PeakRssMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

void BM_NewGame(benchmark::State& state) {
  DataDir dir;
  uint64_t seed = 1;
  for (auto _ : state) {
    auto g = NewWorld(seed++);
    benchmark::DoNotOptimize(g->Teams[23].get());
    GameState = nullptr;
  }
}
BENCHMARK(BM_NewGame)->Unit(benchmark::kMillisecond);

// Twelve league matches a week for 28 weeks, the cup, the market's weeks,
// 52 weekly updates of 24 clubs and the season end.
void BM_FullSeason(benchmark::State& state) {
  DataDir dir;
  uint64_t seed = 100;
  for (auto _ : state) {
    state.PauseTiming();
    auto g = NewWorld(seed++);
    state.ResumeTiming();
    PlayWeeks(*g, 52);
    benchmark::DoNotOptimize(g->Year);
    state.PauseTiming();
    g.reset();
    GameState = nullptr;
    state.ResumeTiming();
  }
  state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_FullSeason)->Unit(benchmark::kSecond)->Iterations(3);

// A game in week 30: leagues, cup and every club's season so far.
std::unique_ptr<Tgamemain> MidSeason() {
  auto g = NewWorld(7);
  PlayWeeks(*g, 29);
  return g;
}

void BM_SaveMidSeason(benchmark::State& state) {
  DataDir dir;
  auto g = MidSeason();
  std::size_t bytes = 0;
  for (auto _ : state) {
    g->SaveGame("bench");
    bytes = std::filesystem::file_size(SlotPath("bench"));
  }
  state.counters["bytes"] = static_cast<double>(bytes);
  GameState = nullptr;
}
BENCHMARK(BM_SaveMidSeason)->Unit(benchmark::kMillisecond);

void BM_LoadMidSeason(benchmark::State& state) {
  DataDir dir;
  auto g = MidSeason();
  g->SaveGame("bench");
  for (auto _ : state) {
    auto loaded = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
    loaded->LoadGame("bench");
    benchmark::DoNotOptimize(loaded->Week);
  }
  GameState = nullptr;
}
BENCHMARK(BM_LoadMidSeason)->Unit(benchmark::kMillisecond);

// A game in week 12 of year 1, the first league week, as the autopilot
// reaches it.
std::unique_ptr<Tgamemain> FirstLeagueWeek() {
  auto g = NewWorld(12);
  while (g->Week != 12) PlayAutopilotWeek(*g);
  return g;
}

// The season outlook from week 12 on every core: the argument is the number
// of runs (200 is the dialog's); real time is what the player waits.
void BM_SeasonOutlook(benchmark::State& state) {
  DataDir dir;
  auto g = FirstLeagueWeek();
  uint64_t seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(SeasonOutlook(*g, {static_cast<int>(state.range(0)), 0, seed++}));
  GameState = nullptr;
}
BENCHMARK(BM_SeasonOutlook)->Arg(200)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The next match of week 12 rehearsed 1000 times on every core.
void BM_Rehearsal(benchmark::State& state) {
  DataDir dir;
  auto g = FirstLeagueWeek();
  uint64_t seed = 1;
  for (auto _ : state) benchmark::DoNotOptimize(RehearseNextMatch(*g, {static_cast<int>(state.range(0)), 0, seed++}));
  GameState = nullptr;
}
BENCHMARK(BM_Rehearsal)->Arg(1000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The assistant before week 12's match on every core: every candidate (the
// current line-up, 自動選抜, the shipped formations, two changes; equal
// line-ups played once) rehearsed `runs` times. The counter tells how many
// candidates there were; real time is what the player waits.
void BM_Advice(benchmark::State& state) {
  DataDir dir;
  auto g = FirstLeagueWeek();
  uint64_t seed = 1;
  std::size_t candidates = 0;
  for (auto _ : state) {
    const TAdvice a = AdviseNextMatch(*g, {static_cast<int>(state.range(0)), 0, seed++});
    candidates = a.Candidates.size();
    benchmark::DoNotOptimize(a);
  }
  state.counters["candidates"] = static_cast<double>(candidates);
  GameState = nullptr;
}
BENCHMARK(BM_Advice)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
