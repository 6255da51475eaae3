// The benchmarks' entry point: Google Benchmark's own options, and
// --lanes=avx512|avx2|none (or --lanes K) to time the match engine with a
// narrower lane kernel than the processor's best, as `vantorel-sim bench
// --lanes` does. An unknown kernel name stops the program with a message.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "match/Umatchrun.h"

int main(int argc, char** argv) {
  std::vector<char*> rest{argv[0]};
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view name;
    if (arg.substr(0, 8) == "--lanes=")
      name = arg.substr(8);
    else if (arg == "--lanes" && i + 1 < argc)
      name = argv[++i];
    else {
      rest.push_back(argv[i]);
      continue;
    }
    TLaneKernel kernel;
    if (!LaneKernelNamed(name, kernel)) {
      std::fprintf(stderr, "--lanes must be avx512, avx2 or none: %.*s\n", int(name.size()), name.data());
      return 2;
    }
    SetLaneKernel(kernel);
  }
  int n = int(rest.size());
  benchmark::Initialize(&n, rest.data());
  if (benchmark::ReportUnrecognizedArguments(n, rest.data())) return 2;
  benchmark::AddCustomContext("lanes", LaneKernelName(LaneKernel()));
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
