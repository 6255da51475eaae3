#include "world/Utactics.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>

#include "club/Ufile.h"
#include "club/Uplayerlist.h"
#include "club/Ustream.h"
#include "club/Uteam.h"

namespace {

constexpr int kLineupRows = kSlotCount;
constexpr int kLineupColumns = 4;
constexpr int kPointBytes = 8;

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool CellNumber(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), last, value);
  return ec == std::errc() && ptr == last;
}

int32_t ReadLE32(const std::vector<uint8_t>& b, std::size_t at) {
  const uint32_t u = static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
                     static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  return static_cast<int32_t>(u);
}

}  // namespace

TPoint PixelToFormation(TPoint pixel) {
  const int64_t length = (int64_t{kOwnGoalLinePixel} - pixel.Y) * kUnitsPerPixel + 800;
  const int64_t width = int64_t{pixel.X} * kUnitsPerPixel + 800;
  return TPoint{Saturate(length), Saturate(width)};
}

TPoint FormationToPixel(TPoint point) {
  const int64_t x = (int64_t{point.Y} - 800) / kUnitsPerPixel;
  const int64_t y = kOwnGoalLinePixel - (int64_t{point.X} - 800) / kUnitsPerPixel;
  return TPoint{Saturate(x), Saturate(y)};
}

bool InPlacementBox(TPoint pixel) {
  return std::abs(int64_t{kPlacementCentre.X} - pixel.X) <= kPlacementHalfWidth &&
         std::abs(int64_t{kPlacementCentre.Y} - pixel.Y) <= kPlacementHalfHeight;
}

// ---- position files ---------------------------------------------------------

std::vector<uint8_t> PositionFileBytes(const TPixelPositions& positions) {
  TStream s;
  for (const TPoint& p : positions) {
    s.WriteInt32(p.X);
    s.WriteInt32(p.Y);
  }
  return s.TakeBytes();
}

int ReadPositionBytes(const std::vector<uint8_t>& bytes, TPixelPositions& positions) {
  const std::size_t whole = std::min<std::size_t>(bytes.size() / kPointBytes, positions.size());
  for (std::size_t i = 0; i < whole; ++i) {
    const int32_t x = ReadLE32(bytes, i * kPointBytes);
    const int32_t y = ReadLE32(bytes, i * kPointBytes + 4);
    positions[i] = TPoint{std::clamp(x, 0, kPitchPictureWidth - 1), std::clamp(y, 0, kPitchPictureHeight - 1)};
  }
  return static_cast<int>(whole);
}

void SavePositionFile(const std::string& path, const TPixelPositions& positions) {
  WriteFileAtomic(path, PositionFileBytes(positions));
}

int LoadPositionFile(const std::string& path, TPixelPositions& positions) {
  return ReadPositionBytes(ReadFileStart(path, kPositionFileBytes), positions);
}

// ---- the board --------------------------------------------------------------

bool IsInjuredRow(const TGrid& squad, int row) {
  return row >= 1 && row < squad.RowCount() && squad.ColCount() > kSquadKey && squad.Cells(kSquadKey, row).size() == 3;
}

void Ttacticsboard::Open(const Tteam& club, const TworldView& world, int32_t clubIndex) {
  Club = clubIndex;
  club.FillSquadGrid(Squad, world);
  SortByColumn(Squad, kSquadKey, 0);
  LoadLineUp(club);
}

void Ttacticsboard::LoadLineUp(const Tteam& club) {
  for (int i = 0; i < kStarterCount; ++i)
    Positions[static_cast<std::size_t>(i)] = FormationToPixel(club.GetPosition(i));
  RebuildLineup();
}

void Ttacticsboard::RebuildLineup() {
  Lineup.SetColCount(kLineupColumns);
  Lineup.SetRowCount(kLineupRows);
  Lineup.ClearCells();
  Lineup.FixedRows = 0;
  Lineup.FixedCols = 1;
  Lineup.DefaultColWidth = 25;
  Lineup.DefaultRowHeight = 17;
  Lineup.SetColWidth(kMenName, 100);
  Lineup.SetColWidth(kMenPosition, 50);
  Lineup.Cells(kMenLabel, 0) = "GK";
  for (int slot = 1; slot < kStarterCount; ++slot) Lineup.Cells(kMenLabel, slot) = std::to_string(slot - 1);
  for (int slot = 0; slot < kLineupRows; ++slot) {
    const std::string key = std::to_string(slot);
    for (int r = 1; r < Squad.RowCount(); ++r) {
      if (Squad.Cells(kSquadKey, r) != key) continue;
      Lineup.Cells(kMenNumber, slot) = Squad.Cells(kSquadNumber, r);
      Lineup.Cells(kMenName, slot) = Squad.Cells(kSquadName, r);
      Lineup.Cells(kMenPosition, slot) = Squad.Cells(kSquadPosition, r);
      break;
    }
  }
}

bool Ttacticsboard::AssignPlayer(int row, int slot, int* newRow) {
  if (row < 1 || row >= Squad.RowCount() || slot < 0 || slot >= kLineupRows) return false;
  if (Lineup.RowCount() != kLineupRows) RebuildLineup();
  if (IsInjuredRow(Squad, row)) return false;
  const std::string key = std::to_string(slot);
  const int32_t tag = slot < kStarterCount ? kTagYellow : kTagSilver;
  int occupant = -1;
  if (!Lineup.Cells(kMenNumber, slot).empty())
    for (int r = 1; r < Squad.RowCount() && occupant < 0; ++r)
      if (Squad.Cells(kSquadKey, r) == key) occupant = r;
  if (occupant < 0) {
    // An empty slot: the player leaves whatever slot he had.
    Squad.Cells(kSquadKey, row) = key;
    Squad.Tags(kSquadNumber, row) = tag;
  } else {
    // The occupant takes the player's place: another slot, or none.
    std::swap(Squad.Cells(kSquadKey, row), Squad.Cells(kSquadKey, occupant));
    std::swap(Squad.Tags(kSquadNumber, row), Squad.Tags(kSquadNumber, occupant));
  }
  const std::string number = Squad.Cells(kSquadNumber, row);
  RebuildLineup();
  SortByColumn(Squad, kSquadKey, 0);
  if (newRow) {
    int32_t n;
    *newRow = CellNumber(number, n) ? SquadRowOfNumber(n) : -1;
  }
  return true;
}

bool Ttacticsboard::PlacePlayer(int slot, TPoint pixel) {
  if (slot < 1 || slot >= kStarterCount || !InPlacementBox(pixel)) return false;
  Positions[static_cast<std::size_t>(slot)] = pixel;
  return true;
}

int32_t Ttacticsboard::SlotNumber(int slot) const {
  int32_t n;
  if (slot < 0 || slot >= Lineup.RowCount() || Lineup.ColCount() <= kMenNumber) return -1;
  return CellNumber(Lineup.Cells(kMenNumber, slot), n) ? n : -1;
}

bool Ttacticsboard::StartersComplete() const {
  std::array<int32_t, kSlotCount> slots{};
  for (int slot = 0; slot < kSlotCount; ++slot) slots[static_cast<std::size_t>(slot)] = SlotNumber(slot);
  return Tteam::StartingElevenComplete(slots, [this](int32_t n) { return SquadRowOfNumber(n) >= 0; });
}

int Ttacticsboard::SquadRowOfNumber(int32_t number) const {
  const std::string text = std::to_string(number);
  for (int r = 1; r < Squad.RowCount(); ++r)
    if (Squad.Cells(kSquadNumber, r) == text) return r;
  return -1;
}

int Ttacticsboard::SlotOfNumber(int32_t number) const {
  for (int slot = 0; slot < Lineup.RowCount(); ++slot)
    if (SlotNumber(slot) == number) return slot;
  return -1;
}

bool Ttacticsboard::ApplyLineUp(Tteam& club) const {
  std::array<int32_t, kSlotCount> slots{};
  for (int slot = 0; slot < kSlotCount; ++slot) {
    int32_t n = SlotNumber(slot);
    if (n >= 0 && club.Squad->IndexOfNumber(n) < 0) n = -1;  // no longer in the squad
    slots[static_cast<std::size_t>(slot)] = n;
  }
  if (!Tteam::StartingElevenComplete(slots, [&](int32_t n) { return club.Squad->IndexOfNumber(n) >= 0; })) return false;
  for (int slot = 0; slot < kSlotCount; ++slot) club.SetSlotNumber(slot, slots[static_cast<std::size_t>(slot)]);
  for (int i = 0; i < kStarterCount; ++i) club.SetPosition(i, PixelToFormation(Positions[static_cast<std::size_t>(i)]));
  club.ArrangeLineup();
  return true;
}
