// "DATA変換" of a VS file: "06" and "11" are read in their old club forms
// and written in the current one; anything else is kept as it is. What it
// writes holds a current club record to its end and is not converted again.
#include "club/Ufunction.h"
#include "club/Uteam.h"
#include "fuzz/FuzzSupport.h"
#include "world/Usavechange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes image(data, data + size);
  const fuzz::SameRandom random;
  Bytes out;
  const bool read = fuzz::Reads([&] { out = Tsavechange::ConvertVsImage(image); });
  random.Check("converting a VS file");
  if (!read) return 0;
  const int32_t version = Tsavechange::ReadVersionNumber(image);
  if (version != 6 && version != 11) {
    fuzz::Check(out == image, "a VS file of another version was changed");
    return 0;
  }
  TStream s(out);
  fuzz::Check(ReadString(s) == "17" || out == image, "a converted VS file is not \"17\"");
  ReadString(s);
  Tteam club(0);
  fuzz::Check(fuzz::Reads([&] { club.LoadFromStream(s); }) && s.AtEnd(), "a converted VS file holds no current club");
  Bytes twice;
  fuzz::Check(fuzz::Reads([&] { twice = Tsavechange::ConvertVsImage(out); }) && twice == out,
              "a converted VS file would be converted again");
  return 0;
}
