// Match analysis from a replay: what the recorded frames of a data battle
// prove, and nothing the frames do not hold. The analysis only reads a
// recording that TmVTR has accepted; it cannot fail, and a recording of any
// length (one frame or more) gives an analysis.
//
// What a frame holds: each slot's marker and shirt number, the ball's
// picture point and height value, and the score, all in screen pixels of the
// pitch picture (16 pitch units each). A player stands at the marker's
// centre, (x + 5) x 16 + 8 units; the ball lies at (x + 3) x 16 + 8; its
// height is about (value + 3) x 32 units.
//
// Metres. The field of play runs from goal line x 795 to x 11305 and from
// touchline y 795 to y 7605 in pitch units; it is taken as 105 m long, so a
// metre is 10510 / 105 units (about 100.1) and the width comes to 68 m. A
// step of the match is one second of the match clock, so speeds are metres
// per second of that clock.
//
// Possession. A player is at the ball when the ball is lower than every
// player's reach (height value 1 or less) and within 128 units (8 pixels) of
// him along both axes. The side of the nearest player at the ball has it;
// with nobody at the ball, or the nearest of both sides equally near (a
// contest), it stays with the side that had it, the side that last touched.
// Side 0 kicks off, so the steps before anybody reaches the ball are its.
// Every step thus belongs to exactly one side and the shares make 100 %.
//
// Passes and touches are left out: a frame does not tell them. The driver
// lets a player touch the ball by his reach, his role in the step and
// whether he is frozen, none of which a frame records, and by positions a
// frame rounds to 16 units; a ball rolling past a player's feet and a ball
// he played look the same.
//
// Halves and directions. The step that ends the first half puts every
// player on his mirrored home place, so the second half's pictures begin at
// frame kSecondHalfFrame (whose clock still shows 44:59). A side's own goal
// in a half is on the side of the centre where its keeper (slot 0) stood on
// average. Heat maps, average positions and shapes are given as if the side
// always attacked to the right (own goal on the left): second-half points of
// a side are mirrored through the centre spot as the ends are.
//
// Running. A move between two consecutive frames is a run when it is at most
// 6 pixels (96 units, beyond any player's pace of a step); longer moves, and
// every move into the frame that changes ends or follows a goal, are
// placements (a restart, a substitute coming on, a player knocked aside in a
// duel) and count neither as distance nor as speed. Top speed is the best
// average over five consecutive running steps, which evens out the rounding
// of the positions to whole pixels.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "match/Uvtr.h"

inline constexpr int32_t kFieldLeft = 795;
inline constexpr int32_t kFieldRight = 11305;
inline constexpr int32_t kFieldTop = 795;
inline constexpr int32_t kFieldBottom = 7605;
inline constexpr double kFieldLengthMetres = 105.0;
inline constexpr double kMetresPerUnit = kFieldLengthMetres / (kFieldRight - kFieldLeft);
inline constexpr int32_t kVtrPixelUnits = 16;
inline constexpr int kHeatColumns = 12;
inline constexpr int kHeatRows = 8;
inline constexpr int kHeatCells = kHeatColumns * kHeatRows;
// Possession is also given per five minutes of the clock.
inline constexpr int32_t kSliceFrames = 300;
// The first frame of the second half (ends changed, ball on the centre spot).
inline constexpr int32_t kSecondHalfFrame = kHalfTimeTick - 1;
inline constexpr int32_t kMaxRunPixels = 6;
inline constexpr int kTopSpeedSteps = 5;
inline constexpr int32_t kAtBallUnits = 128;
inline constexpr int32_t kLowBallValue = 1;
// The ball before a goal: this many steps (seconds) before it crossed.
inline constexpr int32_t kGoalTraceSteps = 3;

// A point in pitch units.
struct TVtrPoint {
  double X = 0, Y = 0;
};

// A heat map: steps spent in each cell of a 12 x 8 grid over the field of
// play, row-major from the top-left (own goal on the left); a point beyond
// the lines counts in the nearest cell.
using TVtrHeat = std::array<int32_t, kHeatCells>;

struct TVtrPlayerStats {
  int Side = 0;
  int32_t Number = 0;
  std::string Name;        // from the goal lines when he scored or assisted, else empty
  int32_t Steps = 0;       // time on the pitch, in steps (seconds of the clock)
  int32_t FirstFrame = 0;  // first and last frame he is on the pitch
  int32_t LastFrame = 0;
  double DistanceMetres = 0;
  double TopSpeed = 0;  // metres per second of the match clock
  TVtrPoint Average;    // own goal on the left
  TVtrHeat Heat{};
};

// One slot of a side's shape: where whoever filled it stood on average.
struct TVtrShapeSlot {
  int32_t Number = 0;  // the player who filled the slot longest
  TVtrPoint Average;   // own goal on the left
};

struct TVtrSideStats {
  int32_t PossessionSteps = 0;
  double Possession = 0;                   // percent of all steps
  std::array<double, 2> HalfPossession{};  // percent of each half's steps
  // The ball's steps in the side's own, middle and attacking third.
  std::array<int32_t, 3> ThirdSteps{};
  std::array<double, 3> Territory{};  // percent
  std::array<bool, 2> OwnGoalLeft{};  // per half
  std::array<TVtrShapeSlot, 11> Shape{};
  TVtrHeat Heat{};  // all its players together
};

// Possession over frames [From, To].
struct TVtrSlice {
  int32_t From = 0, To = 0;
  std::array<double, 2> Share{};  // percent
};

struct TVtrBallPoint {
  int32_t Frame = 0;
  TVtrPoint At;        // pitch units, as on the pitch (not mirrored)
  int32_t Height = 0;  // pitch units, about
};

struct TVtrGoalTrace {
  int Side = 0;       // the side it counts for
  int32_t Frame = 0;  // the frame whose score shows it
  int32_t Minute = 0;
  int32_t Scorer = -1;   // shirt number from the goal line, -1 when it names none
  bool OwnGoal = false;  // then the scorer is a player of the other side
  std::string Text;
  std::vector<TVtrBallPoint> Ball;  // the last steps before it crossed, oldest first
};

struct TVtrAnalysis {
  int32_t Frames = 0;
  std::array<TVtrSideStats, 2> Sides{};
  std::vector<int8_t> Holder;  // per frame: the side that has the ball
  std::vector<TVtrSlice> Slices;
  std::vector<TVtrPlayerStats> Players;  // side 0 first, each side by first appearance
  std::vector<TVtrGoalTrace> Goals;      // in the order of the replay's goal list

  // The player (side, number), or null.
  const TVtrPlayerStats* Player(int side, int32_t number) const;
};

TVtrAnalysis AnalyseVtr(const TmVTR& recording);

// Pitch units of a frame's player marker and ball picture.
TVtrPoint PlayerPoint(const TmVTRsc& f, int side, int j);
TVtrPoint BallPoint(const TmVTRsc& f);
// The cell (row-major) of a point as the heat map counts it.
int HeatCell(const TVtrPoint& p);
// The players a goal line names, the scorer last: "MM分　" then
// "NUMBERname", an assister's item before the scorer's joined by "⇒", an own
// goal's scorer as "O.GNUMBERname". An item without a number, and a line
// without the minute, give Number -1.
struct TVtrGoalItem {
  bool OwnGoal = false;
  int32_t Number = -1;
  std::string Name;
};
std::vector<TVtrGoalItem> GoalLineItems(const std::string& line);
