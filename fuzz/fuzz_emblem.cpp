// A picture taken as a club's emblem: a complete BMP file image, checked by
// the club before it takes it (the window turns any picture the user picks
// into such an image; the same check guards emblems read from files). A
// refused picture leaves the emblem as it was; an accepted one is stored
// whole and reads back from a club record to the same bytes.
#include "club/Uteam.h"
#include "fuzz/FuzzSupport.h"

namespace {
Tteam* g_club = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_club = new Tteam(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bmp(data, data + size);
  const Bytes before = g_club->Emblem;
  if (!fuzz::Reads([&] { g_club->SetEmblem(bmp); })) {
    fuzz::Check(g_club->Emblem == before, "a refused picture changed the emblem");
    return 0;
  }
  fuzz::Check(g_club->Emblem == bmp, "an accepted picture was not stored whole");
  // Read from a stream with more after it, exactly the picture is taken.
  TStream s(bmp);
  s.Seek(bmp.size());
  s.WriteInt32(12345);
  s.Seek(0);
  Bytes read;
  fuzz::Check(fuzz::Reads([&] { read = Tteam::ReadEmblem(s); }) && read == bmp && s.Remaining() == 4,
              "an accepted picture does not read back from a stream");
  const Bytes once = fuzz::Saved(*g_club);
  Tteam again(0);
  TStream r(once);
  fuzz::Check(fuzz::Reads([&] { again.LoadFromStream(r); }) && fuzz::Saved(again) == once,
              "a club with an accepted picture does not save the same bytes twice");
  g_club->Emblem = Tteam::EmptyEmblem();
  return 0;
}
