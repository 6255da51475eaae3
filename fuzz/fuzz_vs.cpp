// A VS file, "data/vs/NAME.vs", chosen as a side of a data battle. The
// side's club is replaced only by a whole, sound file; what was accepted
// exports to an image that reads back to the same image, and goes into a
// match.
#include <memory>

#include "club/Ufile.h"
#include "club/Ugrid.h"
#include "club/Uteam.h"
#include "club/Uworldview.h"
#include "fuzz/FuzzSupport.h"
#include "match/Umatchmain.h"
#include "world/Ugamemain.h"
#include "world/Uvsdata.h"

namespace {
Tgamemain* g_game = nullptr;
Bytes g_before;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  g_game = new Tgamemain(Tgamemain::TNoSeed{});
  g_game->Teams[0] = std::make_unique<Tteam>(0);
  g_game->Teams[0]->ClubName = "元のクラブ";
  g_before = fuzz::Saved(*g_game->Teams[0]);
  EnsureDirectory(VsDir());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::PutFile("data/vs/f.vs", data, size);
  const fuzz::SameRandom random;
  std::string comment;
  const bool read = fuzz::ReadsFile("f.vs", [&] { comment = LoadVsSide(*g_game, 0, "f"); });
  random.Check("reading a VS file");
  if (!read) {
    fuzz::Check(fuzz::Saved(*g_game->Teams[0]) == g_before, "a refused VS file changed the side");
    return 0;
  }
  Tteam& club = *g_game->Teams[0];
  const Bytes once = MakeVsImage(club, comment);
  TVsData again;
  fuzz::Check(fuzz::Reads([&] { again = ParseVsImage(once, 0); }),
              "an accepted VS club exports to a file that is refused");
  fuzz::Check(MakeVsImage(*again.Club, again.Comment) == once, "a VS file does not export to the same bytes twice");

  // What the side choice and the battle then do with the club.
  TGrid grid;
  FillVsSideGrid(grid, club, NoWorld());
  TStream home, away;
  club.WriteLineup(home);
  club.WriteLineup(away);
  Tmmain match;
  fuzz::Reads([&] { match.Load(home, away, true); });

  g_game->Teams[0] = std::make_unique<Tteam>(0);
  TStream back(g_before);
  g_game->Teams[0]->LoadFromStream(back);
  return 0;
}
