// A formation preset "data/aiforma/N.dat" of the computer's line-ups. The
// first byte of the input picks the line (N = byte mod 4), the rest is the
// file. A preset is refused (FileError naming it) and the club's line-up is
// as it was, or the club gets a line-up that saves and reads back the same.
#include <memory>
#include <string>

#include "club/Ufile.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "club/Uworldview.h"
#include "fuzz/FuzzSupport.h"

namespace {
Tteam* g_club = nullptr;
Bytes g_before;
Bytes g_shipped[4];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  RandSeed(1);
  g_club = new Tteam({0, 2, 5, 10}, 20, 3, NoWorld());
  // Fifteen players: every line can be filled, and little to save per input.
  for (int32_t n = 21; n > 15; --n) g_club->Squad->RemoveNumber(n);
  g_before = fuzz::Saved(*g_club);
  for (int line = 0; line < 4; ++line) g_shipped[line] = ReadWholeFile("data/aiforma/" + std::to_string(line) + ".dat");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int line = data[0] % 4;
  const std::string file = std::to_string(line) + ".dat";
  fuzz::PutFile("data/aiforma/" + file, data + 1, size - 1);
  Tformation::ClearPresetCache();
  const bool read = fuzz::ReadsFile(file, [] { g_club->AutoLineup(false); });
  fuzz::PutFile("data/aiforma/" + file, g_shipped[line].data(), g_shipped[line].size());
  if (!read) {
    fuzz::Check(fuzz::Saved(*g_club) == g_before, "a refused preset changed the club");
    return 0;
  }
  const Bytes once = fuzz::Saved(*g_club);
  Tteam again(3);
  TStream s(once);
  fuzz::Check(fuzz::Reads([&] { again.LoadFromStream(s); }), "a club placed by a preset is refused");
  fuzz::Check(fuzz::Saved(again) == once, "a club placed by a preset does not save the same bytes twice");
  TStream back(g_before);
  g_club->LoadFromStream(back);
  return 0;
}
