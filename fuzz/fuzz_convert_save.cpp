// "DATA変換" of a save file: a file without a version, "06" or "11" is
// brought to "17" (a file without a version to "06" first), anything else is
// left alone, and a damaged file is refused. What it writes loads as a
// current save and saves to the same bytes.
#include "fuzz/FuzzSupport.h"
#include "world/Ugamemain.h"
#include "world/Usavechange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes image(data, data + size);
  const fuzz::SameRandom random;
  Bytes out;
  const bool read = fuzz::Reads([&] { out = Tsavechange::ConvertSaveImage(image); });
  random.Check("converting a save");
  if (!read || out.empty()) return 0;
  if (Tsavechange::ReadVersionNumber(image) == kNoVersion) {
    fuzz::Check(Tsavechange::ReadVersionNumber(out) == 6, "a save without a version did not become \"06\"");
    fuzz::Check(fuzz::Reads([&] { out = Tsavechange::ConvertSaveImage(out); }),
                "a wrapped \"06\" save does not convert");
  }
  Tgamemain game(Tgamemain::TNoSeed{});
  TStream s(out);
  fuzz::Check(fuzz::Reads([&] { game.LoadFromStream(s, true); }), "a converted save does not load");
  fuzz::Check(game.SaveBody() == out, "a converted save does not save to the same bytes");
  fuzz::Check(Tsavechange::ConvertSaveImage(out).empty(), "a converted save would be converted again");
  return 0;
}
