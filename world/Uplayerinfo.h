// The player card's contents: everything the card shows about one player of
// a club's squad or of the market's free-agent pool — his data, his
// abilities this season and the two before, his preferred kicks in words,
// the growth comment and injury line, his career newest first, and the
// figure's colours and width. Plain values, so the card, the tests and the
// command-line tool read the same thing; the screen only paints them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "club/Ugrid.h"

class Tgamemain;
class Tplayer;

// Row labels of the data table, its rows in this order.
inline constexpr const char* kInfoDataLabels = "Team,Name,Age,Value,Wage,Mtype,Number,Games,Goal,Asist,Rate";
// Row labels of the ability table (S, H, D, C, K, A).
inline constexpr const char* kInfoAbilityLabels = "Speed,Height,Defense,ballContorol,KickContorol,Anticipation";
// Header of the kick table.
inline constexpr const char* kInfoKickHeader = "KickType,Choice1,Choice2,Choice3,Choice4";
// Header of the career table.
inline constexpr const char* kInfoHistoryHeader = "Year,Team,Trade,Game,Gol,Asi,Rate";
// Where a club name would stand for a player without a club.
inline constexpr const char* kFreeAgentName = "フリー";
// The career table's mark for a youth product.
inline constexpr const char* kYouthProductMark = "ユ";

// Figure colours (colour tags as the grids carry them).
constexpr int32_t kFigureCream = TagRGB(255, 251, 240);
constexpr int32_t kFigureGrey = TagRGB(128, 128, 128);

// Rows of the data table.
enum TinfoDataRow : int {
  kInfoTeam = 0,
  kInfoName,
  kInfoAge,
  kInfoValue,
  kInfoWage,
  kInfoMtype,
  kInfoNumber,
  kInfoGames,
  kInfoGoal,
  kInfoAssist,
  kInfoRate,
  kInfoDataRows
};

struct TPlayerCard {
  int32_t Club = 0;  // 0 .. 23, or 99 for a free agent
  int32_t Number = 0;
  bool FreeAgent = false;  // the picture shows "無" instead of an emblem

  std::array<std::string, kInfoDataRows> Data;  // Team, Name, Age, ... Rate
  // Abilities S, H, D, C, K, A now, at the end of last season and of the
  // season before.
  std::array<int32_t, 6> Current{};
  std::array<int32_t, 6> LastSeason{};
  std::array<int32_t, 6> SeasonBefore{};
  std::array<std::string, 4> Kicks;                 // "ドリブル", "ショートパス", ... in order of preference
  std::vector<std::string> Comment;                 // growth comment, then the injury line if injured
  std::vector<std::array<std::string, 7>> History;  // career rows, newest first

  int32_t BodyColour = kFigureCream;
  int32_t RightFootColour = kFigureGrey;
  int32_t LeftFootColour = kFigureGrey;
  int32_t CrossColour = kFigureCream;
  int FigureWidth = 160;  // pixels; a tired player looks thinner
};

// The card of player `number` of club `club` (0 .. 23), or of the free agent
// `number` when club is 99; nothing when there is no such player (or no
// market for a free agent).
std::optional<TPlayerCard> FindPlayerCard(const Tgamemain& game, int32_t club, int32_t number);
// The same for a player the caller already holds; club names of his career
// come from the game.
TPlayerCard PlayerCardOf(const Tgamemain& game, const Tplayer& player, int32_t club, int32_t number);

// Width of the figure by fatigue: 160 fresh, 100 from 20 to 39, 60 at 80 on.
int FigureWidthByFatigue(int32_t fatigue);
// Body colour by form, as the squad grid colours it; cream at 0.
int32_t FigureColourByCondition(int32_t condition);
// A career rating (average × 100) as shown: 652 -> "6.52", 95 -> "0.95".
std::string HistoryRatingText(int32_t rating);
