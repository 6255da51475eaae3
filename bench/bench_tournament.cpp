// A tournament of sixteen exported clubs, two legs (240 data battles),
// played headless on every core: the wall clock is what the player waits for.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Utournament.h"
#include "world/Uvsdata.h"

namespace {

// Sixteen clubs of a seeded world exported into a temporary data folder.
class TournamentDir {
 public:
  explicit TournamentDir(int clubs) {
    namespace fs = std::filesystem;
    old_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("vantorel-bench-tournament-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    fs::path src = fs::path(VANTOREL_SOURCE_DIR) / "data";
    for (const char* n : {"first.dat", "name", "aiforma"})
      if (fs::exists(src / n)) fs::copy(src / n, dir_ / "data" / n, fs::copy_options::recursive);
    fs::current_path(dir_);
    RandSeed(11);
    Tgamemain g(Tgamemain::TNoSeed{});
    TScopedGameState scope(&g);
    g.NewGameFrom(ShippedPath("first.dat"), false);
    for (int i = 0; i < clubs; ++i) {
      ExportVs(g.Team(i), "bench", "c" + std::to_string(i));
      Paths.push_back(VsPath("c" + std::to_string(i)));
    }
  }
  ~TournamentDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  std::vector<std::string> Paths;

 private:
  std::filesystem::path old_, dir_;
};

void BM_Tournament(benchmark::State& state) {
  TournamentDir dir(static_cast<int>(state.range(0)));
  uint64_t seed = 1;
  for (auto _ : state) {
    Ttournament t = Ttournament::Create(dir.Paths, 2, seed++);
    t.PlayNext(1 << 20, 0);
    benchmark::DoNotOptimize(t.Champion());
  }
}
BENCHMARK(BM_Tournament)->Arg(16)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// One match of a tournament: the world it is played in and the data battle.
void BM_TournamentMatch(benchmark::State& state) {
  TournamentDir dir(4);
  Ttournament t = Ttournament::Create(dir.Paths, 1, 1);
  int k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(t.PlayMatch(k++ % 6, false).Result.HomeGoals);
}
BENCHMARK(BM_TournamentMatch)->Unit(benchmark::kMillisecond);

}  // namespace
