// The user's decisions of the off-season, as the club screen's frames hand
// them over: the contract week's marks (numbers, releases, coaches, youth
// promotion, youth scouts) and the transfer weeks' bids and answers. The
// marks are plain grid models, so the window, the tests and the
// command-line tool drive the same rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "club/Ugrid.h"
#include "club/Uworldview.h"
#include "world/Utrade.h"

class Tteam;
class Ttrade;

// ---- contract week ---------------------------------------------------------

// Columns of the contract list (gridplist, 21 columns).
enum TcontractColumn : int {
  kConMark = 0,     // next season: number 1..50, "" let go, "コーチk", "ユ"
  kConCurrent = 1,  // current number, or "ユ" for a youth
  kConName = 2,
  kConFillIndex = 19,  // row index at filling time (hidden)
  kConKey = 20,        // squad number, or number in Youth (100 or more) (hidden)
};
inline constexpr const char* kYouthMark = "ユ";
// Rows of the number board (gridfuture): 0..2 coaches, 3..52 numbers 1..50;
// column 0 the row's label, then the name and key of the player given it.
constexpr int kBoardRows = 53;
constexpr int kBoardName = 1;
constexpr int kBoardKey = 2;
constexpr int kBoardCoachRows = 3;

// Fills the contract list and the number board from the club as the
// contract frame shows them at the start of the week (the club's world
// gives the players' values).
void FillContractGrid(const Tteam& club, const TworldView& world, TGrid& gridplist, TGrid& gridfuture);
// The user gives the board row's label to the list row (or takes it back).
void AssignNumber(TGrid& gridplist, int plistRow, TGrid& gridfuture, int futureRow);
// Returns the list row to the mark it was filled with: the number he wears
// now (taken back from whoever was given it), "ユ" for a youth, and nothing
// for a player numbered above 50, who has no number on the board to keep.
void ResetPlayer(TGrid& gridplist, int plistRow, TGrid& gridfuture);
// Next season's wages as marked: a kept or renumbered player's wage, 5 for
// every youth who stays, nothing for players leaving or becoming coaches.
int32_t ContractWages(const Tteam& club, const TGrid& gridplist);
// The coach grid with the coaches-to-be of the board filled in.
void ShowCoachesToBe(const Tteam& club, const TGrid& gridfuture, TGrid& gridcoach);
// The deficit warning: money below wages plus scouting cost.
bool ContractDeficit(const Tteam& club, int32_t wages, int32_t scoutCost);

// Carries the marks out on the club and the market (NEXT in week 1).
void CommitContracts(Tteam& club, const TworldView& world, Ttrade& market, TGrid& gridplist, int32_t youthNationality,
                     int32_t youthPosition);

// The youth scouts' choice (the two list boxes): country 0 .. 9 and type
// 0 .. 9 go to the club at once; returns what the country costs a season.
int32_t ChooseYouthScouting(Tteam& club, int32_t nationality, int32_t position);

// The contract desk of week 1: the three grids of the contract frame and the
// figures below them. The marks stay on the desk until Commit; only the
// scouting choice reaches the club before (it is the club's own setting).
class Tcontractdesk {
 public:
  TGrid Plist;  // gridplist: the squad, then the youths
  TGrid Board;  // gridfuture: coaches 1 .. 3, numbers 1 .. 50
  TGrid Coach;  // gridcoach: the staff with the coaches-to-be
  int32_t Wages = 0;
  int32_t ScoutCost = 0;
  bool Deficit = false;  // money below wages plus scouting cost
  bool Opened = false;

  // Fills every grid from the club and works out the figures.
  void Open(const Tteam& club, const TworldView& world);
  // The board row's label to the list row (see AssignNumber), then the
  // figures again.
  void Assign(const Tteam& club, int plistRow, int boardRow);
  void Reset(const Tteam& club, int plistRow);
  void ChooseScouting(Tteam& club, int32_t nationality, int32_t position);
  // Wages, coaches-to-be and the deficit warning from the marks.
  void Refigure(const Tteam& club);
  // The list row of the player a board row names, -1 if none.
  int PlistRowOfBoardRow(int boardRow) const;
  // The squad number whose card a list row opens, -1 for a youth (his card
  // belongs to the squad he is not in yet) or a row out of range.
  int32_t CardNumber(int plistRow) const;
  // NEXT in week 1: the marks are carried out and the desk is spent.
  void Commit(Tteam& club, const TworldView& world, Ttrade& market);
};

// ---- transfer weeks ----------------------------------------------------------

// The transfer list (grid1) and the negotiations (grid2) have the columns
// of Utrade.h (TlistGridColumn, TofferGridColumn).

// Whether a negotiation row is about one of the user's own players (other
// clubs bid for him; the user answers).
bool OffersUserPlayer(const TGrid& grid2, int row);
// Right click on a listed player: mark the asking price, or clear the mark.
void ToggleBid(TGrid& grid1, int row);
// Right click on a negotiation: double the leading bid (another club's
// player) or hold out with "0" (the user's player), or clear the answer.
void ToggleAnswer(TGrid& grid2, int row);
// NEXT: brings back every listing a filter hid, then hands the marked bids
// to the market, highest amount first.
void SubmitBids(Ttrade& market, TGrid& grid1);
// NEXT, after SubmitBids: the answers to the negotiations.
void AnswerOffers(Ttrade& market, const TGrid& grid2);

// ---- the transfer list's filter ---------------------------------------------

// The filter panel's eight criteria. Criterion k (1..8) counts when
// Ticked[k]: 1 keeps the positions selected in Positions (by position code),
// 2..7 keep the players whose ability S, H, D, C, K or A is at least
// Limit[k], 8 keeps those whose asking price is at most Limit[8].
struct TListFilter {
  static constexpr int kCriteria = 8;
  std::array<bool, kCriteria + 1> Ticked{};
  std::array<int32_t, kCriteria + 1> Limit{0, 0, 10, 10, 10, 10, 10, 10, 1000};
  std::array<bool, 21> Positions{};
};
// OK on the filter panel: shows the whole list again (listRows is the row
// count the list had when the market filled it), then applies the ticked
// criteria from 8 down to 1. Rows that fail are hidden behind the shown ones,
// never erased, so the list can always be brought back whole; the list ends
// up sorted by the lowest-numbered ticked ability (or by price).
void FilterListings(TGrid& grid1, int listRows, const TListFilter& filter);
