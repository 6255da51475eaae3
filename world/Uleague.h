// One division's league season (Tleague) and the season's knockout cup
// (Tcup). Every match is a full simulation by the match driver.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "club/Ugrid.h"
#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "club/Uteametc.h"  // colour tags of the grids
#include "match/Umatchmain.h"

// Called while matches are simulated (every 540 steps of a league match,
// every 45 x matches steps of a cup match) so a screen can move its
// progress bar and serve its events.
using TProgressHook = std::function<void()>;

constexpr int kLeagueRounds = 28;
constexpr int kMatchesPerRound = 4;

// Plays one match of the two clubs' line-ups as a quick match (match
// driver's PlayQuickMatch), calling the progress hook every `progressEvery`
// steps.
TMatchOutcome PlayQuickMatch(int32_t homeClub, int32_t awayClub, int progressEvery, const TProgressHook& progress);

class Tleague {
 public:
  // Table columns.
  enum { kClub = 0, kWins, kDraws, kLosses, kPoints, kGoalsFor, kGoalsAgainst, kGoalDiff, kPosition };

  // The eight club indexes in slot order; makes the fixtures (draws random numbers).
  explicit Tleague(const std::array<int32_t, 8>& clubs);
  // The same without drawing fixtures (a stored league is about to be read).
  struct TNoDraw {};
  Tleague(const std::array<int32_t, 8>& clubs, TNoDraw);

  std::array<std::array<std::array<int32_t, 2>, kMatchesPerRound>, kLeagueRounds> Fixtures{};
  std::array<std::array<int32_t, 9>, 8> Table{};
  int32_t Round = 0;
  int32_t FirstSimulated = 0;
  TIntgrid ScorerRanking;
  TIntgrid AssistRanking;
  std::array<std::string, 8> Results;

  void MakeFixtures();
  // (home club, away club) of match 0 of the current round; (-1, -1) after the last round.
  std::pair<int32_t, int32_t> NextMatch() const;
  void PlayRound(int32_t first, const TProgressHook& progress = {});
  void ApplyMatchStats(const TIntgrid& table);
  void RecordMatch(int32_t match, const std::string& homeText, const std::string& awayText, int32_t homeGoals,
                   int32_t awayGoals);
  // Adds one result to a slot's row: 1 win, 0 draw, -1 loss.
  int32_t RecordResult(int32_t slot, int32_t goalsFor, int32_t goalsAgainst);
  // Form bonus for a side (0 home, 1 away) at a position after a result.
  int32_t MatchBonus(int32_t side, int32_t position, int32_t result) const;
  void CloseRound();
  static void TrimRanking(TIntgrid& ranking);

  // Fixes the positions from the table (points, goal difference, goals,
  // then slot). The week's advance does it after every round, so the form
  // bonus of a round sees the positions after the round before.
  void UpdatePositions();
  // Fills the standings grid in standing order (the same order as
  // UpdatePositions; column 8, hidden, the place shown). Shows only: the
  // positions stay as the last UpdatePositions left them.
  void ShowTable(TGrid& grid) const;
  void ShowNextRound(TGrid& grid) const;
  void ShowRanking(int32_t kind, TGrid& grid) const;
  // Results screen: match grid (with colour tags) and the eight goal-list memos.
  void ShowResults(TGrid& grid, std::array<std::vector<std::string>, 8>& memos) const;
  std::string FixtureText(int32_t round) const;
  // destination[position - 1] = club index.
  void FinalOrder(std::array<int32_t, 8>& destination) const;
  // Elements 2..9 = position, wins, draws, losses, points, gf, ga, gd of slot 0.
  void UserRecord(std::vector<int32_t>& destination) const;

  void SaveToStream(TStream& s) const;
  // Reads a stored league; throws StreamError (and keeps this league as it
  // was) on a damaged record.
  void LoadFromStream(TStream& s);

  int32_t ClubOfSlot(int32_t slot) const { return Table[slot][kClub]; }
};

// Shown with cup results that hold a draw: the away side goes through.
inline constexpr const char* kCupDrawRule = "引き分けはアウェーチームの勝ち抜けです";

class Tcup {
 public:
  // Draw of round 1 (random) from the game state's divisions, Round = 1.
  Tcup();
  // An empty cup (a stored cup is about to be read).
  struct TNoDraw {};
  explicit Tcup(TNoDraw);

  TIntgrid Entrants;  // one row [club] each, in pairing order
  int32_t FirstSimulated = 0;
  int32_t Round = 1;
  std::vector<std::string> Results;
  std::vector<std::string> Cards;

  void MoveUserFirst();
  int32_t UserRound() const;
  std::pair<int32_t, int32_t> NextMatch() const;
  void PlayRound(int32_t watch, const TProgressHook& progress = {});
  void ApplyMatchStats(const TIntgrid& table);
  void DecideMatch(int32_t match, int32_t homeGoals, int32_t awayGoals);
  void RecordUserMatch(const std::string& homeText, const std::string& awayText, bool homeWon);
  void CloseRound();
  void ShowCards(TGrid& grid) const;
  std::string UserCardText() const;
  // Results screen page 0 or 1: grid, memos and the three message lines.
  void ShowResults(int32_t page, TGrid& grid, std::array<std::vector<std::string>, 8>& memos,
                   std::vector<std::string>& message) const;

  void SaveToStream(TStream& s) const;
  void LoadFromStream(TStream& s);

  int32_t EntrantCount() const { return Entrants.RowCount(); }
  int32_t ClubOfRow(int32_t row) const { return Entrants.GetValue(row, 0); }
};
