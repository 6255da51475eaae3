// A name list "data/name/N.txt" (cp932, one name per line). The first byte
// of the input picks the list (N = byte mod 10), the rest is the file. A
// list is refused (FileError naming it) or it names players whose records
// save and read back to the same bytes.
#include <string>

#include "club/Ufile.h"
#include "club/Uplayer.h"
#include "club/Urandom.h"
#include "club/Uworldview.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t nationality = data[0] % 10;
  const std::string file = std::to_string(nationality) + ".txt";
  fuzz::PutFile("data/name/" + file, data + 1, size - 1);
  ClearNameListCache();
  if (!fuzz::ReadsFile(file, [&] { NameList(nationality); })) return 0;
  RandSeed(size);
  for (int i = 0; i < 3; ++i) {
    Tplayer p(9, nationality, 20, 1, NoWorld());
    const Bytes once = fuzz::Saved(p);
    Tplayer again(9, nationality, 20, 1, NoWorld());
    TStream s(once);
    fuzz::Check(fuzz::Reads([&] { again.LoadFromStream(s); }), "a named player's record is refused");
    fuzz::Check(fuzz::Saved(again) == once, "a named player does not save the same bytes twice");
  }
  return 0;
}
