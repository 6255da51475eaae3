// A tournament file, "data/tournament/NAME.tnm", resumed from the title or
// with `vantorel-sim tournament --load`. The tournament held is replaced
// only by a whole, sound file (every embedded club read as a data battle
// reads it); what was accepted writes to bytes that read back to the same
// bytes, and its table, scorers and results matrix can be drawn.
#include "club/Ufile.h"
#include "fuzz/FuzzSupport.h"
#include "world/Utournament.h"

namespace {
Ttournament* g_held = nullptr;
Bytes g_before;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  EnsureDirectory(TournamentDir());
  g_held = new Ttournament();
  g_before = g_held->FileImage();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::PutFile(TournamentPath("f"), data, size);
  const fuzz::SameRandom random;
  const bool read = fuzz::ReadsFile("f.tnm", [&] { *g_held = Ttournament::Load("f"); });
  random.Check("reading a tournament file");
  if (!read) {
    fuzz::Check(g_held->FileImage() == g_before, "a refused tournament file changed the tournament held");
    return 0;
  }
  const Bytes once = g_held->FileImage();
  Ttournament again;
  fuzz::Check(fuzz::Reads([&] { again = Ttournament::ParseImage(once); }),
              "an accepted tournament writes to a file that is refused");
  fuzz::Check(again.FileImage() == once, "a tournament file does not write to the same bytes twice");
  fuzz::Check(static_cast<int>(g_held->Table().size()) == static_cast<int>(g_held->Entrants().size()),
              "the table lacks a club");
  g_held->Scorers();
  g_held->Matrix();
  g_held->Champion();
  *g_held = Ttournament();
  return 0;
}
