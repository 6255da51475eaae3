// One side in a match: the eleven on the pitch and up to five substitutes
// read from the club's line-up stream, the substitution plans, and the
// side-level positioning the driver asks for when it re-plans (chaser,
// marking, attacking and defending shapes, the pass-receiver table).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Ugrid.h"
#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "match/Umatchrun.h"
#include "match/Umatchtable.h"

class Tmplayer;

// One planned substitution: the player index to take off and the bench slot
// to bring on; (-1, -1) when nothing is planned.
struct TSubPlan {
  int32_t Out = -1;
  int32_t Slot = -1;
};

// The pass receivers of one on-ball decision: rows (x, y, distance to the
// attacked goal, in front of goal, ahead, far, index), one per player of
// the side on the ball until the holder's own row is taken out.
using TPassTable = TFixedTable<7, 11>;

// Why a side refused a change asked of it during the match (None: the
// change was made).
enum class TmRefusal {
  None,
  NoSuchPlayer,         // no player of the side stands at that place
  NoSuchBenchPlayer,    // the bench slot was empty in the line-up
  AlreadySubstituted,   // the bench player has already come on
  NoSubstitutionsLeft,  // the side has made both its substitutions
  Goalkeeper,           // the goalkeeper keeps his place
  OutsideArea,          // the place lies outside the area a player may be sent to
};
// A short description of a refusal, for logs and test messages.
const char* RefusalName(TmRefusal r);

// How far from his own goal line (in x) and from the pitch's long axis (in
// y) the manager may send a player's home position.
constexpr int32_t kHomeReachFromGoalLine = 4500;
constexpr int32_t kHomeReachFromAxis = 2600;

class Tmteam {
 public:
  static constexpr int kOnPitch = 11;
  static constexpr int kBenchSlots = 5;
  static constexpr int kMaxSubs = 2;

  Tmteam();
  ~Tmteam();
  Tmteam(const Tmteam&) = delete;
  Tmteam& operator=(const Tmteam&) = delete;

  // The players' running state, a lane each: lane k for the player at list
  // position k (a substitution swaps the two players' values, lanes and
  // all, so the eleven on the pitch always run in lanes 0 .. 10).
  std::unique_ptr<TRunLanes> Lanes;
  // Positions 0..10 are the players on the pitch (0 the keeper), then the
  // substitutes of the present bench slots in slot order.
  std::vector<std::unique_ptr<Tmplayer>> Players;
  bool BenchPresent[kBenchSlots] = {};
  TSubPlan AttackPlan[2];
  TSubPlan DefencePlan[2];
  bool Free[kOnPitch] = {};
  int32_t ClubId = 0;
  int32_t SubsMade = 0;
  int32_t AttackUsed = 0;
  int32_t DefenceUsed = 0;
  bool HomeSide = true;
  // List position of the player who belongs to bench slot i (-1 for a slot
  // that was empty in the line-up). A substitution swaps list positions, so
  // afterwards this position holds the player who went off.
  int32_t BenchPos[kBenchSlots] = {-1, -1, -1, -1, -1};

  // Reads the club id, eleven players and five bench slots; side 0..3 (sides
  // 1 and 3 mirror the home positions, sides 2 and 3 ignore condition).
  // Plans the substitutions. A malformed stream raises StreamError.
  void Load(TStream& s, int side);

  Tmplayer& PlayerAt(int index) { return *Players[index]; }
  const Tmplayer& PlayerAt(int index) const { return *Players[index]; }
  int PlayerCount() const { return static_cast<int>(Players.size()); }

  void AllFree();
  // Sends the nearest player who can get to point p in time (k flight ticks).
  void SendChaser(int32_t px, int32_t py, int32_t k);
  void AttackShape(int32_t rx, int32_t ry);
  void DefenceShape(int32_t ballX, int32_t ballY, int32_t aimX, int32_t aimY);
  // Appends (X, Y, distance to (x0, kPitchCentreY)) for every player within 2500 in
  // x of the line x0.
  void MarkList(TIntgrid& table, int32_t x0) const;
  void Mark(int32_t px, int32_t py);
  // Appends rows (x, y, distance to goal, in front of goal, ahead, far,
  // index) for every team-mate of the holder, nearest the attacked goal
  // first, to an empty table: a TPassTable (the driver's) or a TIntgrid.
  template <class Table>
  void BuildPassTable(Table& table, int holder) const;
  // Called on the defending side: marks the receivers it covers.
  template <class Table>
  void MarkPassTable(Table& table) const;
  // False when three outfield players stand in the lane 1000 ahead of s.
  bool ClearPath(int32_t sx, int32_t sy, double angle) const;

  void AutoSub(int32_t diff, int32_t tick);
  // Whether bench slot `slot` may come on now for the player at pitch place
  // `out` (0 .. 10): the slot held a player, he has not come on yet, and
  // the side has a substitution left.
  TmRefusal SubstitutionRefusal(int out, int slot) const;
  // Brings him on at `tick` when SubstitutionRefusal allows it; otherwise
  // changes nothing. Returns the refusal.
  TmRefusal Substitute(int out, int slot, int32_t tick);
  // The manager sends the player at pitch place `index` to a new home
  // position (pitch units). Refused for the goalkeeper, a place with no
  // player, and a point farther than kHomeReachFromGoalLine in x from the
  // side's own goal line or kHomeReachFromAxis in y from the long axis.
  TmRefusal MoveHome(int index, int32_t x, int32_t y);

  // Appends one six-value row (club id, number, minutes, goals, assists,
  // rating) per player who took part.
  void ResultRows(TIntgrid& table) const;
  void FillInfoGrid(TGrid& grid, bool starters) const;
  void FillStatsGrid(TGrid& grid) const;

 private:
  int Nearest(int from, int32_t px, int32_t py, int32_t rx, int32_t ry, int32_t k, bool useK) const;
};
