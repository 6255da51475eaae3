// The start data "data/first.dat": 24 club records read before a new
// world is built from them. A damaged file is refused before anything is
// made; accepted records write back to bytes that read back the same.
#include "fuzz/FuzzSupport.h"
#include "world/Ugamemain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(data, data + size);
  const fuzz::SameRandom random;
  TStartData clubs;
  if (!fuzz::Reads([&] { clubs = ParseStartData(bytes); })) return 0;
  random.Check("reading the start data");
  const Bytes once = StartDataBytes(clubs);
  TStartData again;
  fuzz::Check(fuzz::Reads([&] { again = ParseStartData(once); }), "accepted start data writes bytes that are refused");
  fuzz::Check(StartDataBytes(again) == once, "start data does not write the same bytes twice");
  return 0;
}
