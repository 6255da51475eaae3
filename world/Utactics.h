// The tactics board: one club's squad list, its sixteen line-up slots and
// the starters' places on the picture of the club's own half, as the tactics
// screen shows and edits them. Edits stay on the board; only ApplyLineUp
// hands them to the club. Position files keep the eleven places in pixels.
//
// The half-pitch picture: x across the pitch (0 .. 566, touchline to
// touchline), y from the halfway line (0) down to the own goal line (438).
// A pixel (x, y) is the formation point (length, width) =
// ((438 - y) * 12 + 800, x * 12 + 800); back, x = (width - 800) div 12 and
// y = 438 - (length - 800) div 12.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "club/Ugrid.h"
#include "club/Upaths.h"
#include "club/Uteametc.h"
#include "club/Uworldview.h"

class Tteam;

constexpr int kPitchPictureWidth = 567;
constexpr int kPitchPictureHeight = 445;
constexpr int32_t kOwnGoalLinePixel = 438;
constexpr int32_t kUnitsPerPixel = 12;
// Field players are placed inside this box: |284 - x| <= 230, |219 - y| <= 150.
constexpr TPoint kPlacementCentre{284, 219};
constexpr int32_t kPlacementHalfWidth = 230;
constexpr int32_t kPlacementHalfHeight = 150;

constexpr int kPositionFileBytes = 88;  // 11 x (x, y), int32 little-endian
// Position files: the player saves his in his own folder; the ready-made
// ones ship with the game. In a checkout both are "data/formation".
inline std::string PositionFileDir() { return PlayerPath("formation"); }
inline std::string ShippedPositionFileDir() { return ShippedPath("formation"); }

// The starters' places in pixels, slot 0 (the goalkeeper) to 10.
using TPixelPositions = std::array<TPoint, 11>;

TPoint PixelToFormation(TPoint pixel);
TPoint FormationToPixel(TPoint point);
bool InPlacementBox(TPoint pixel);

// ---- position files ---------------------------------------------------------

std::vector<uint8_t> PositionFileBytes(const TPixelPositions& positions);
// Takes the places of the slots the bytes cover whole (8 bytes each, at most
// eleven); the other slots keep their values, bytes beyond 88 are ignored.
// A coordinate off the picture is brought to its nearest edge, so a damaged
// file cannot send a player off the pitch. Returns the slots filled.
int ReadPositionBytes(const std::vector<uint8_t>& bytes, TPixelPositions& positions);
// Writes the 88 bytes (atomically); FileError on failure.
void SavePositionFile(const std::string& path, const TPixelPositions& positions);
// Reads at most the first 88 bytes of the file; FileError if it cannot be
// read (the positions are then unchanged).
int LoadPositionFile(const std::string& path, TPixelPositions& positions);

// ---- the board --------------------------------------------------------------

// Columns of the line-up list (16 rows: slot 0 the goalkeeper "GK", slots
// 1 .. 10 labelled "0" .. "9", substitutes unlabelled).
enum TlineupColumn : int {
  kMenLabel = 0,
  kMenNumber = 1,
  kMenName = 2,
  kMenPosition = 3,
};
// Columns of the squad list used here (the club's squad grid).
constexpr int kSquadKey = 0;     // slot number, "99" available, "9" + two digits injured
constexpr int kSquadNumber = 1;  // tag: yellow starter, silver substitute
constexpr int kSquadName = 2;
constexpr int kSquadPosition = 4;
constexpr int kSquadForm = 17;  // tag: the row's text colour
constexpr int kSquadGrowth = 18;

// A squad row of an injured player (his key has three characters).
bool IsInjuredRow(const TGrid& squad, int row);

class Ttacticsboard {
 public:
  TGrid Squad;   // the squad list (gridplayer)
  TGrid Lineup;  // the sixteen slots (gridmatchmen)
  TPixelPositions Positions{};
  int32_t Club = 0;

  // Fills the squad list from the club, sorted by line-up key (the line-up
  // in slot order, then the available players, then the injured), and loads
  // the line-up and the places.
  void Open(const Tteam& club, const TworldView& world, int32_t clubIndex);
  // The places from the club's formation points, and the slots from the
  // squad list.
  void LoadLineUp(const Tteam& club);
  // Rebuilds the sixteen slot rows from the squad list's keys.
  void RebuildLineup();

  // Puts the player of squad row `row` into `slot` (0 .. 15); the occupant,
  // if any, takes what the player had (another slot, or none). Refused
  // (false) for an injured player or a row or slot out of range. Returns
  // the player's squad row after the list is sorted again through *newRow.
  bool AssignPlayer(int row, int slot, int* newRow = nullptr);
  // Moves field player `slot` (1 .. 10) to a pixel inside the placement box;
  // false (nothing moves) otherwise.
  bool PlacePlayer(int slot, TPoint pixel);

  // Shirt number in a slot, -1 when empty.
  int32_t SlotNumber(int slot) const;
  // The club's rule (Tteam::StartingElevenComplete) on the board's slots.
  bool StartersComplete() const;
  // The squad row / slot holding a shirt number, -1 if none.
  int SquadRowOfNumber(int32_t number) const;
  int SlotOfNumber(int32_t number) const;

  // Hands the board to the club: slots, the starters' formation points,
  // then the club orders its line-up. Refused (false, club unchanged) while
  // a starter's slot is empty or names a player the squad no longer has.
  bool ApplyLineUp(Tteam& club) const;
};
