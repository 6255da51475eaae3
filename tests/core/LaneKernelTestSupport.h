// The lane kernels this processor has, for the tests that compare them: each
// such test writes one line to the log naming the kernels it compared here
// and those the processor lacks, so that a run on a narrower processor says
// what it did not check.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "match/Umatchrun.h"

// Every kernel the processor has, narrowest first; the test log names them
// and the ones left out.
inline std::vector<TLaneKernel> LaneKernelsToCompare(const char* test) {
  std::vector<TLaneKernel> here;
  std::string compared, missing;
  for (TLaneKernel k : {TLaneKernel::kOneByOne, TLaneKernel::kVector256, TLaneKernel::kVector512}) {
    std::string& list = k <= BestLaneKernel() ? compared : missing;
    list += (list.empty() ? "" : ", ") + std::string(LaneKernelName(k));
    if (k <= BestLaneKernel()) here.push_back(k);
  }
  std::printf("[ kernels  ] %s: compared %s%s%s\n", test, compared.c_str(),
              missing.empty() ? "" : "; not on this processor: ", missing.c_str());
  return here;
}

// Runs the side's lanes with one kernel for as long as it lives, then goes
// back to the best.
struct TLaneKernelScope {
  explicit TLaneKernelScope(TLaneKernel k) { SetLaneKernel(k); }
  ~TLaneKernelScope() { SetLaneKernel(BestLaneKernel()); }
  TLaneKernelScope(const TLaneKernelScope&) = delete;
  TLaneKernelScope& operator=(const TLaneKernelScope&) = delete;
};
