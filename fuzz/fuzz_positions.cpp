// A position file of the tactics screen ("data/formation/NAME.dat", eleven
// places in pixels). Whatever it holds, the places it gives keep the
// players on the pitch, where a VS file of the club must have them.
#include <algorithm>
#include <memory>

#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "club/Uworldview.h"
#include "fuzz/FuzzSupport.h"
#include "world/Utactics.h"

namespace {
Tteam* g_club = nullptr;
Ttacticsboard* g_board = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzz::EnterDataDir(argc, argv);
  RandSeed(1);
  g_club = new Tteam({0, 2, 5, 10}, 20, 0, NoWorld());
  g_club->AutoLineup(false);
  // The starting eleven alone.
  for (int slot = kStarterCount; slot < kSlotCount; ++slot) g_club->SetSlotNumber(slot, -1);
  for (int i = g_club->Squad->Count() - 1; i >= 0; --i) {
    const int32_t n = g_club->Squad->NumberAt(i);
    bool starter = false;
    for (int slot = 0; slot < kStarterCount; ++slot) starter = starter || g_club->SlotNumber(slot) == n;
    if (!starter) g_club->Squad->RemoveNumber(n);
  }
  g_board = new Ttacticsboard;
  g_board->Open(*g_club, NoWorld(), 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(data, data + size);
  Ttacticsboard& board = *g_board;
  const TPixelPositions before = board.Positions;
  const int filled = ReadPositionBytes(bytes, board.Positions);
  fuzz::Check(filled == static_cast<int>(std::min<std::size_t>(size / 8, 11)), "places filled do not match the file");
  for (int i = filled; i < 11; ++i)
    fuzz::Check(board.Positions[i].X == before[i].X && board.Positions[i].Y == before[i].Y,
                "a place the file lacks changed");

  TPixelPositions again{};
  fuzz::Check(ReadPositionBytes(PositionFileBytes(board.Positions), again) == 11, "a written position file is short");
  for (int i = 0; i < 11; ++i)
    fuzz::Check(again[i].X == board.Positions[i].X && again[i].Y == board.Positions[i].Y, "places do not read back");

  // The board hands only slots and places to the club; they are put back.
  const auto slots = g_club->Slots;
  const auto places = g_club->Positions;
  fuzz::Check(board.ApplyLineUp(*g_club), "the board refused the club's own line-up");
  for (const TPoint& p : g_club->Positions)
    fuzz::Check(p.X >= 0 && p.X <= 12100 && p.Y >= 0 && p.Y <= 8400, "a position file put a player off the pitch");
  g_club->Slots = slots;
  g_club->Positions = places;
  board.Positions = before;
  return 0;
}
