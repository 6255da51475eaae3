// The club's helpers: the formation that turns a chosen eleven into pitch
// positions, the coaching staff and its training weights, the rating tables
// the computer clubs choose players from, and their end-of-season contract
// decision.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "club/Ugrid.h"
#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "club/Uworldview.h"

class Tplayer;
class Tplayerlist;

// A point of the pitch frame (or of a formation), in pitch units.
struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
};

using TSixValues = std::array<int32_t, 6>;
using TFiveValues = std::array<int32_t, 5>;

// ---------------------------------------------------------------------------
// Formation

// The goalkeeper's fixed place in formation coordinates (own goal line at X 800).
constexpr TPoint kKeeperPoint{800, 4200};

class Tformation {
 public:
  Tformation();

  // Four lines (defence, two midfield lines, forwards); rows (slot, role).
  std::array<TIntgrid, 4> Lines;
  // The result per line-up slot 0 .. 10; Points[0] is the goalkeeper's.
  std::array<TPoint, 11> Points;

  // Appends (slot, role) to the line the slot and position code give.
  void AddPlayer(int32_t slot, int32_t positionCode);
  // Balances the lines and places them from the preset files. A missing
  // preset file raises FileError naming it; so do a preset row too short
  // for its line and a preset with a point off the pitch.
  void Compute();
  TPoint GetPoint(int32_t slot) const;
  void MovePlayer(int fromLine, int row, int toLine);

  // Role 0 .. 9 of a position code.
  static int32_t RoleOf(int32_t positionCode);
  // Line 0 .. 3 a slot with that position code starts in.
  static int LineOf(int32_t slot, int32_t positionCode);
  // The preset table of line n ("data/aiforma/n.dat"), read once per working
  // directory and kept.
  static const TIntgrid& Preset(int line);
  // Forgets the kept presets (tests that swap the data directory).
  static void ClearPresetCache();

 private:
  // Preset without the thread's memo: the cache, under its lock.
  static const TIntgrid& CachedPreset(int line);
  void PlaceLine(int line, int presetRow);
};

// ---------------------------------------------------------------------------
// Coaches and training

struct TCoachSlot {
  TSixValues Skill{1, 1, 1, 1, 1, 1};
  int32_t Years = 1;
  std::array<uint8_t, 6> Focus{1, 1, 1, 1, 1, 1};
};

class Tcoach {
 public:
  Tcoach();

  std::array<TCoachSlot, 3> Coach;
  TSixValues Weights{3, 3, 3, 3, 3, 3};

  static constexpr int kRecordBytes = 126;
  static constexpr int kExchangeBytes = 136;

  // Takes on a coach for three years, training every ability.
  void Hire(int slot, const TSixValues& skill);
  void SetFocus(int slot, int ability, int on);
  TSixValues GetSkill(int slot) const;
  // Contracts run down; a coach whose contract ends is replaced by the
  // default coach. The weights stay until the next Hire or SetFocus.
  void SeasonEnd();
  void RecomputeWeights();
  // The coach grid: 8 columns x 5 rows, header ",契,SPE,H,D,C,K,A".
  void FillCoachGrid(TGrid& grid) const;

  void SaveToStream(TStream& s) const;
  void LoadFromStream(TStream& s);
  void LoadExchange(TStream& s);
};

// ---------------------------------------------------------------------------
// Player analysis

// Rating tables: one row per player (columns of the player's rating rows,
// value 0 = his number).
class Tplayeranalyze : public TIntgrid {
 public:
  // The line-up rating row (11 values).
  void AddLineupRow(const Tplayer& player, int32_t number);
  // The rating row with value 1 = Age - 14, value 2 = 0; roles tripled for a
  // youth aged exactly 20.
  void AddYouthRow(const Tplayer& player, int32_t number, const TworldView& world);
  // The rating row with value 1 = growth phase, value 2 = wage.
  void AddContractRow(const Tplayer& player, int32_t number, const TworldView& world);
};

// The number (column 0) of the first row after sorting by column, largest
// first; -1 for an empty table.
int32_t TopNumber(TIntgrid& table, int column);
// Sorts by wage (column 2) ascending; the sum of the wages of rows 11 onward.
int32_t WageBeyondEleven(TIntgrid& table);
// The row whose wage covers the deficit: see the contract decision.
int PickCoverRow(const TIntgrid& table, int32_t budget);

// ---------------------------------------------------------------------------
// Contracts of a computer club

class Tcontract {
 public:
  explicit Tcontract(int32_t teamIndex);
  ~Tcontract();
  Tcontract(const Tcontract&) = delete;
  Tcontract& operator=(const Tcontract&) = delete;

  // A copy of the club's squad; released players are removed as the
  // decision goes on.
  std::unique_ptr<Tplayerlist> Squad;
  // One-value rows: the numbers of the players let go.
  TIntgrid Released;
  // Coach candidates (id, skill sum, skill maximum); id <= 0 is the present
  // coach of slot -id, id > 0 a released player's number. After Decide,
  // three rows with column 1 = the coach slot assigned.
  TIntgrid Candidates;
  int32_t TeamIndex = 0;
  int32_t Budget = 0;
  TFiveValues Thresholds{};

  void Setup(int32_t budget, const Tcoach& coaches, const Tplayerlist& squad, const TFiveValues& thresholds);
  void Decide(const TworldView& world);
  void AddCandidate(int32_t id, const TSixValues& skill);
  void LetGo(Tplayeranalyze& table, int row);

 private:
  void KeepByRole(Tplayeranalyze& table, const TFiveValues& bonus);
  void ChooseStaff();
};
