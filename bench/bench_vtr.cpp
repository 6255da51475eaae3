// The recorder's speed: a whole data battle recorded (5401 frames) and
// written to disk, and a replay file read back. Targets: writing under
// 50 ms, reading (the replay screen then shows frame 0) under 100 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Uvtr.h"

namespace {

// A recording as long as a whole match, and its header, made once.
struct Recorded {
  TmVTR rec;
  std::vector<uint8_t> header;
  Recorded() {
    // Plain frames are enough for the file's speed: the size is what counts.
    for (int k = 0; k < kMatchTicks; ++k) {
      TmVTRsc f;
      for (int i = 1; i <= 69; ++i) f.At(i) = (k * 31 + i * 7) % 700;
      f.At(70) = k / 2000;
      f.At(71) = k / 2500;
      rec.AddFrame(f);
    }
    std::array<TVtrSide, 2> sides;
    sides[0] = {"Side, \"A\"", Tteam::EmptyEmblem(), {"10分　A", "50分　B", "70分　C"}};
    sides[1] = {"Side B", Tteam::EmptyEmblem(), {"45分　D", "80分　E"}};
    header = MakeVtrHeader(sides);
  }
};

const Recorded& TheRecording() {
  static Recorded r;
  return r;
}

// Runs in a scratch directory so data/vtr can be written.
struct ScratchDir {
  std::filesystem::path old, dir;
  ScratchDir() {
    old = std::filesystem::current_path();
    dir = std::filesystem::temp_directory_path() / ("vantorel-bench-vtr-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
  ~ScratchDir() {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
  }
};

void BM_VtrWriteFile(benchmark::State& state) {
  const Recorded& r = TheRecording();
  ScratchDir scratch;
  for (auto _ : state) r.rec.WriteFileAs(r.header, "bench");
  state.counters["frames"] = r.rec.FrameCount();
}
BENCHMARK(BM_VtrWriteFile)->Unit(benchmark::kMillisecond);

void BM_VtrReadFile(benchmark::State& state) {
  const Recorded& r = TheRecording();
  ScratchDir scratch;
  r.rec.WriteFileAs(r.header, "bench");
  for (auto _ : state) {
    TmVTR back;
    back.ReadFile("bench");
    benchmark::DoNotOptimize(back.GoalsUpTo(0));
  }
}
BENCHMARK(BM_VtrReadFile)->Unit(benchmark::kMillisecond);

// One playback step at speed 5 in the core: the goal list of the new frame.
void BM_VtrGoalsOfAFrame(benchmark::State& state) {
  const Recorded& r = TheRecording();
  int32_t pos = 0;
  for (auto _ : state) {
    bool stopped = false;
    pos = r.rec.Advance(pos, 5, stopped);
    if (stopped) pos = 0;
    benchmark::DoNotOptimize(r.rec.GoalsUpTo(pos));
  }
}
BENCHMARK(BM_VtrGoalsOfAFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
