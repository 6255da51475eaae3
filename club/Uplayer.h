// One footballer: abilities, position type, preferred actions, age and
// growth, value and wage, form, fatigue, injury, attachment to the clubs,
// this season's statistics and his career history. How he changes week by
// week and at the season's end lives here too.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "club/Uworldview.h"

constexpr int32_t kAffinityClubs = 24;  // clubs 0 .. 23 a player can be attached to
constexpr int32_t kNoClub = 99;         // free agent on the market
constexpr int32_t kTradeOrdinary = -1;  // history: generated or continuing
constexpr int32_t kTradeYouth = -2;     // history: youth product

// History row columns ("Year,Team,Trade,Game,Gol,Asi,Rate").
enum THistoryColumn : int {
  kHistYear = 0,
  kHistTeam = 1,
  kHistTrade = 2,
  kHistGame = 3,
  kHistGoal = 4,
  kHistAssist = 5,
  kHistRate = 6,
  kHistColumns = 7
};

// Preferred actions with the ball (Choice1 .. Choice4).
enum TChoice : int32_t { kChoiceShortPass = 0, kChoiceDribble = 1, kChoiceLongPass = 2, kChoiceShot = 3 };

// Letter of a preferred action ("P", "D", "L", "S"); empty outside 0 .. 3.
std::string ChoiceLetter(int32_t choice);
// Label of a preferred action on the player screen ("ショートパス" ...).
std::string ChoiceLabel(int32_t choice);
// Name of a nationality 0 .. 9 ("日本" .. "フランス"); empty outside.
std::string NationalityName(int32_t nationality);
// Comment of a growth phase 1 .. 5 on the player screen.
std::string GrowthPhaseComment(int32_t phase);

// Name lists "data/name/<n>.txt" (cp932, one name per line), read once per
// process and kept as UTF-8. A missing file raises FileError naming it;
// list 0 needs at least 501 lines, the others at least one.
const std::vector<std::string>& NameList(int32_t nationality);
// Forgets the cached lists (tests that supply their own lists).
void ClearNameListCache();

class Tplayer {
 public:
  // Makes a new player (the creation rules: position from the selector
  // 0 .. 9, nationality 0 .. 9 shapes name and abilities, base level, club
  // index 0 .. 23 or 99). His attachment to the clubs comes from the world's
  // reputations and divisions, his history row from its year. Age is left
  // 0; every caller sets it.
  Tplayer(int32_t positionSelector, int32_t nationality, int32_t baseLevel, int32_t club, const TworldView& world);
  // A fresh copy of `source` made for `club`: created with placeholder
  // arguments (drawing from the generator as a creation does), then
  // overwritten by the source's full record.
  static std::unique_ptr<Tplayer> CopyOf(const Tplayer& source, int32_t club);
  // A player made by the creation rules with placeholder arguments, for a
  // record to be read over him (every field but TeamIndex is replaced).
  static std::unique_ptr<Tplayer> Placeholder(int32_t club);

  // ---- the record ---------------------------------------------------------
  std::string Name;
  int32_t Speed = 0;
  int32_t Height = 0;
  int32_t Defense = 0;
  int32_t ballContorol = 0;
  int32_t KickContorol = 0;
  int32_t Anticipation = 0;
  std::array<int32_t, 6> GrowthPoints{};
  std::array<int32_t, 6> GrowthRate{};
  std::array<int32_t, 6> LastSeason{};
  std::array<int32_t, 6> SeasonBefore{};
  int32_t Choice1 = 0;
  int32_t Choice2 = 0;
  int32_t Choice3 = 0;
  int32_t Choice4 = 0;
  int32_t Games = 0;
  int32_t Goal = 0;
  int32_t Asist = 0;
  int32_t Condition = 0;
  int32_t ConditionTrend = 0;
  int32_t ConditionDelta = 0;
  int32_t Age = 0;
  int32_t PeakAge = 0;
  int32_t Mtype = 0;
  int32_t BaseValue = 0;
  int32_t Fatigue = 0;
  int32_t InjuryWeeks = 0;
  int32_t TeamIndex = kNoClub;
  int32_t RatingSum = 0;
  std::array<int32_t, kAffinityClubs> Affinity{};
  uint8_t Leg = 1;  // 1 right-footed ("R"), 0 left-footed ("L")
  TIntgrid History;

  // Ability i in the order S, H, D, C, K, A (i = 0 .. 5).
  int32_t& Ability(int i);
  int32_t Ability(int i) const;
  std::array<int32_t, 6> Abilities() const;
  int32_t AbilitySum() const;
  // Preferred action i = 0 .. 3 (Choice1 .. Choice4).
  int32_t& Choice(int i);
  int32_t Choice(int i) const;

  // ---- derived values -----------------------------------------------------
  int32_t GetAffinity(int32_t club) const;        // 0 for a club outside 0 .. 23
  void SetAffinity(int32_t club, int32_t value);  // clamped to 0 .. 100
  // Market value; a club in division 2 or 3 lowers it.
  int32_t Value(const TworldView& world) const;
  int32_t Wage() const;
  int32_t GrowthPhase() const;  // 1 .. 5
  bool IsRetiring() const;
  bool IsInjured() const { return InjuryWeeks > 0; }
  // Adds a match rating to RatingSum (0 to just read) and returns the
  // average rating text ("0.00" without games, "6.50" ...).
  std::string AddRating(int32_t rating);
  std::string AverageRatingText() const;

  // Squad row: 19 fields, the first two left empty for the club grid.
  std::vector<std::string> RowFields(const TworldView& world) const;
  std::string RowText(const TworldView& world) const;
  // k = 0: LastSeason, k = 1: SeasonBefore, each value followed by ",".
  std::string AbilityRow(int k) const;
  // "P-D-L-S".
  std::string ChoiceText() const;

  // Rating row of nine values for contracts, scouting and the market
  // (values 0 .. 2 left 0 for the caller).
  std::vector<int32_t> RatingRow(const TworldView& world) const;
  void RatingRow(std::vector<int32_t>& row, const TworldView& world) const;
  // Line-up rating row of eleven values (value 0 left 0 for the caller).
  std::vector<int32_t> LineupRow() const;
  void LineupRow(std::vector<int32_t>& row) const;
  // True when one of the five role ratings plus its bonus beats the club's
  // reference number for that role.
  bool BeatsRoleRatings(const std::array<int32_t, 5>& refs, const TworldView& world) const;
  // The six coaching values 1 .. 10 this player would bring as a coach.
  std::array<int32_t, 6> CoachValues() const;
  // Every ability scaled by p percent, clamped to 0 .. 99.
  void ScaleAbilities(int32_t p);

  // ---- stream forms -------------------------------------------------------
  void SaveToStream(TStream& s) const;
  // Full record. TeamIndex is kept. A damaged record raises StreamError and
  // leaves the player unchanged.
  void LoadFromStream(TStream& s);
  // The record without RatingSum (older files); RatingSum keeps its value.
  void LoadFromStreamShort(TStream& s);
  // The record the match engine reads.
  void WriteMatchRecord(TStream& s) const;
  // Copies the source's full record into this player; TeamIndex stays.
  void Clone(const Tplayer& source);

  // ---- development --------------------------------------------------------
  // Growth (or decline) of one week with the club's six training weights.
  void WeeklyGrowth(const std::array<int32_t, 6>& weights);
  // Adds to Fatigue (never below 0); with the bench check a player past
  // his first years who gets no match load is unhappy at his club.
  void AddFatigue(int32_t amount, bool benchCheck, const TworldView& world);
  // Weekly injury draw; true when the player got injured.
  bool InjuryCheck();
  // Form update after a match, from the collected ConditionDelta.
  void UpdateCondition();
  // Attachment to every club at creation.
  void InitialAffinity(const TworldView& world);
  // Attachment change when a player is left on the bench.
  void UnhappyAtBench(const TworldView& world);
  // Attachment drift at season end.
  void SeasonAffinityDrift(const TworldView& world);
  // Closes the season: value, abilities of the last seasons, age, history
  // (the new row carries the world's year).
  void CloseSeason(int32_t tradeCode, const TworldView& world);
  // Turns this freshly created player into a young relative of `parent`.
  void MakeRelative(const Tplayer& parent);

 private:
  void LoadRecord(TStream& s, bool withRatingSum);
  void MakeName(int32_t nationality);
  void ShapeByNationality(int32_t nationality);
  void ChooseActions();
  void ChooseGrowth();
  int32_t RoleAdjust() const;
};

// Value of the form bonus for the line-up row.
int32_t FormBonus(int32_t condition);
