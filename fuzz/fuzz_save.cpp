// A slot file: "data/savedata/NAME.dat", the whole game. Loading is all or
// nothing: a refused file is a FileError naming it and the running game is
// exactly as it was.
#include <memory>

#include "club/Ufile.h"
#include "club/Uteam.h"
#include "fuzz/FuzzSupport.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"

namespace {
Tgamemain* g_game = nullptr;
Bytes g_before;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  // The game a file is loaded into: small, so that comparing it after a
  // refusal costs little, and with a market so that its absence in a file
  // must show.
  g_game = new Tgamemain(Tgamemain::TNoSeed{});
  for (int i = 0; i < kClubCount; ++i) g_game->Teams[i] = std::make_unique<Tteam>(i);
  g_game->Market = std::make_unique<Ttrade>();
  g_before = g_game->SaveBody();
  EnsureDirectory(SaveDir());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::PutFile("data/savedata/f.dat", data, size);
  const fuzz::SameRandom random;
  const bool read = fuzz::ReadsFile("f.dat", [] { LoadGameFromSlot(*g_game, "f"); });
  random.Check("loading a slot");
  if (!read) {
    fuzz::Check(g_game->SaveBody() == g_before, "a refused slot changed the game");
    return 0;
  }
  const Bytes once = g_game->SaveBody();
  Tgamemain again(Tgamemain::TNoSeed{});
  TStream s(once);
  fuzz::Check(fuzz::Reads([&] { again.LoadFromStream(s, true); }), "a loaded game saves to a body that does not load");
  fuzz::Check(again.SaveBody() == once, "a loaded game does not save to the same bytes twice");
  TStream back(g_before);
  g_game->LoadFromStream(back, true);
  return 0;
}
