#include "world/Uuserops.h"

#include <algorithm>
#include <charconv>

#include "club/Uarith.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "world/Utrade.h"

namespace {

constexpr int kContractColumns = 21;
constexpr int32_t kTemporaryNumberStep = 1000;  // renumbered players wait under row * 1000
constexpr int32_t kYouthWage = 5;
constexpr int32_t kHighestShirt = 50;
const std::string kCoachLabel = "コーチ";

// The decimal integer a cell holds, if it holds exactly one.
bool CellNumber(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

int32_t CellNumberOr(const std::string& text, int32_t fallback) {
  int32_t v;
  return CellNumber(text, v) ? v : fallback;
}

bool IsYouthRow(const TGrid& gridplist, int row) { return gridplist.Cells(kConCurrent, row) == kYouthMark; }

// The coach slot 0..2 a mark "コーチk" names, -1 for any other mark.
int CoachSlotOfMark(const std::string& mark) {
  if (mark.size() != kCoachLabel.size() + 1 || mark.compare(0, kCoachLabel.size(), kCoachLabel) != 0) return -1;
  char k = mark.back();
  return (k >= '1' && k <= '3') ? k - '1' : -1;
}

int BoardRowOfKey(const TGrid& gridfuture, const std::string& key) {
  if (key.empty()) return -1;
  for (int r = 0; r < gridfuture.RowCount(); ++r)
    if (gridfuture.Cells(kBoardKey, r) == key) return r;
  return -1;
}

int PlistRowOfKey(const TGrid& gridplist, const std::string& key) {
  if (key.empty()) return -1;
  for (int r = 1; r < gridplist.RowCount(); ++r)
    if (gridplist.Cells(kConKey, r) == key) return r;
  return -1;
}

void ClearBoardRow(TGrid& gridfuture, int row) {
  if (row < 0) return;
  gridfuture.Cells(kBoardName, row).clear();
  gridfuture.Cells(kBoardKey, row).clear();
}

const Tplayer* RowPlayer(const Tteam& club, const TGrid& gridplist, int row) {
  const int32_t key = CellNumberOr(gridplist.Cells(kConKey, row), -1);
  return IsYouthRow(gridplist, row) ? club.Youth->PlayerByNumber(key) : club.Squad->PlayerByNumber(key);
}

}  // namespace

// ---- contract week ---------------------------------------------------------

void FillContractGrid(const Tteam& club, const TworldView& world, TGrid& gridplist, TGrid& gridfuture) {
  TGrid squad;
  club.FillSquadGrid(squad, world);
  SortByColumn(squad, 0, 0);

  gridplist.SetColCount(kContractColumns);
  gridplist.SetRowCount(1);
  gridplist.ClearCells();
  for (int c = 0; c < kContractColumns; ++c) {
    if (c < squad.ColCount()) {
      gridplist.SetColWidth(c, squad.ColWidth(c));
      if (squad.RowCount() > 0) gridplist.Cells(c, 0) = squad.Cells(c, 0);
    }
  }
  gridplist.Cells(kConMark, 0).clear();
  gridplist.SetColWidth(kConMark, 20);
  gridplist.SetColWidth(kConFillIndex, -1);
  gridplist.SetColWidth(kConKey, -1);
  gridplist.FixedCols = 1;

  int fillIndex = 0;
  for (int r = 1; r < squad.RowCount(); ++r) {
    int row = gridplist.RowCount();
    gridplist.SetRowCount(row + 1);
    for (int c = 0; c < squad.ColCount() && c < kContractColumns; ++c) {
      gridplist.Cells(c, row) = squad.Cells(c, r);
      gridplist.Tags(c, row) = squad.Tags(c, r);
    }
    const int32_t number = CellNumberOr(squad.Cells(1, r), 0);
    gridplist.Cells(kConMark, row) = number <= kHighestShirt ? squad.Cells(1, r) : std::string();
    gridplist.Tags(kConMark, row) = 0;
    gridplist.Cells(kConFillIndex, row) = std::to_string(++fillIndex);
    gridplist.Cells(kConKey, row) = squad.Cells(1, r);
  }
  for (int i = 0; i < club.Youth->Count(); ++i) {
    int row = gridplist.RowCount();
    gridplist.SetRowCount(row + 1);
    std::vector<std::string> fields = club.Youth->PlayerAt(i)->RowFields(world);
    for (int c = 0; c < static_cast<int>(fields.size()) && c < kContractColumns; ++c)
      gridplist.Cells(c, row) = fields[c];
    gridplist.Cells(kConMark, row) = kYouthMark;
    gridplist.Cells(kConCurrent, row) = kYouthMark;
    gridplist.Cells(kConFillIndex, row) = std::to_string(++fillIndex);
    gridplist.Cells(kConKey, row) = std::to_string(club.Youth->NumberAt(i));
  }
  gridplist.FixedRows = gridplist.RowCount() > 1 ? 1 : 0;

  gridfuture.SetColCount(3);
  gridfuture.SetRowCount(kBoardRows);
  gridfuture.ClearCells();
  gridfuture.DefaultColWidth = 50;
  gridfuture.SetColWidth(kBoardName, 100);
  gridfuture.SetColWidth(kBoardKey, -1);
  gridfuture.FixedRows = 0;
  gridfuture.FixedCols = 0;
  for (int r = 0; r < kBoardRows; ++r)
    gridfuture.Cells(0, r) = r < kBoardCoachRows ? kCoachLabel + std::to_string(r + 1) : std::to_string(r - 2);
  for (int r = 1; r < gridplist.RowCount(); ++r) {
    if (IsYouthRow(gridplist, r)) continue;
    const int32_t number = CellNumberOr(gridplist.Cells(kConCurrent, r), 0);
    if (number < 1 || number > kHighestShirt) continue;
    const int board = number + kBoardCoachRows - 1;
    gridfuture.Cells(kBoardName, board) = gridplist.Cells(kConName, r);
    gridfuture.Cells(kBoardKey, board) = gridplist.Cells(kConKey, r);
  }
}

void AssignNumber(TGrid& gridplist, int p, TGrid& gridfuture, int t) {
  if (p < 1 || p >= gridplist.RowCount() || t < 0 || t >= gridfuture.RowCount()) return;
  if (t < kBoardCoachRows && IsYouthRow(gridplist, p)) return;
  const std::string pKey = gridplist.Cells(kConKey, p);
  if (gridfuture.Cells(0, t) != gridplist.Cells(kConMark, p)) {
    const int holder = PlistRowOfKey(gridplist, gridfuture.Cells(kBoardKey, t));
    if (holder >= 0) gridplist.Cells(kConMark, holder).clear();
    ClearBoardRow(gridfuture, BoardRowOfKey(gridfuture, pKey));
    gridplist.Cells(kConMark, p) = gridfuture.Cells(0, t);
    gridfuture.Cells(kBoardName, t) = gridplist.Cells(kConName, p);
    gridfuture.Cells(kBoardKey, t) = pKey;
  } else {
    ClearBoardRow(gridfuture, t);
    gridplist.Cells(kConMark, p).clear();
  }
}

void ResetPlayer(TGrid& gridplist, int p, TGrid& gridfuture) {
  if (p < 1 || p >= gridplist.RowCount()) return;
  const std::string pKey = gridplist.Cells(kConKey, p);
  const std::string current = gridplist.Cells(kConCurrent, p);
  ClearBoardRow(gridfuture, BoardRowOfKey(gridfuture, pKey));
  for (int r = kBoardCoachRows; r < gridfuture.RowCount(); ++r) {
    if (gridfuture.Cells(0, r) != current) continue;
    const int holder = PlistRowOfKey(gridplist, gridfuture.Cells(kBoardKey, r));
    if (holder >= 0 && holder != p) gridplist.Cells(kConMark, holder).clear();
    gridfuture.Cells(kBoardName, r) = gridplist.Cells(kConName, p);
    gridfuture.Cells(kBoardKey, r) = current;
  }
  // A number beyond the board cannot be kept: such a player starts, and is
  // reset to, an empty mark.
  int32_t number;
  const bool offBoard = CellNumber(current, number) && number > kHighestShirt;
  gridplist.Cells(kConMark, p) = offBoard ? std::string() : current;
}

int32_t ContractWages(const Tteam& club, const TGrid& gridplist) {
  int32_t total = 0;
  for (int r = 1; r < gridplist.RowCount(); ++r) {
    const std::string& mark = gridplist.Cells(kConMark, r);
    int32_t number;
    if (mark == kYouthMark) {
      total = CheckedAdd(total, kYouthWage);
    } else if (CellNumber(mark, number)) {
      if (const Tplayer* p = RowPlayer(club, gridplist, r)) total = CheckedAdd(total, p->Wage());
    }
  }
  return total;
}

void ShowCoachesToBe(const Tteam& club, const TGrid& gridfuture, TGrid& gridcoach) {
  club.Coaches->FillCoachGrid(gridcoach);
  for (int k = 0; k < kBoardCoachRows && k < gridfuture.RowCount(); ++k) {
    int32_t key;
    if (!CellNumber(gridfuture.Cells(kBoardKey, k), key)) continue;
    const Tplayer* p = club.Squad->PlayerByNumber(key);
    if (!p || gridcoach.RowCount() <= k + 2 || gridcoach.ColCount() < 8) continue;
    gridcoach.Cells(1, k + 2) = "3";
    const std::array<int32_t, 6> values = p->CoachValues();
    for (int i = 0; i < 6; ++i) {
      gridcoach.Cells(2 + i, k + 2) = std::to_string(values[static_cast<std::size_t>(i)]);
      gridcoach.Tags(2 + i, k + 2) = kTagBlack;  // a new coach trains every ability
    }
  }
}

bool ContractDeficit(const Tteam& club, int32_t wages, int32_t scoutCost) {
  return static_cast<int64_t>(club.Money) < static_cast<int64_t>(wages) + scoutCost;
}

void CommitContracts(Tteam& club, const TworldView& world, Ttrade& market, TGrid& gridplist, int32_t youthNationality,
                     int32_t youthPosition) {
  HeaderClick(gridplist, kConFillIndex);

  struct Renumbered {
    int32_t key;
    int32_t temporary;
    int32_t number;
    bool youth;
  };
  std::vector<Renumbered> renumbered;

  for (int r = 1; r < gridplist.RowCount(); ++r) {
    const std::string& mark = gridplist.Cells(kConMark, r);
    const std::string& current = gridplist.Cells(kConCurrent, r);
    const bool youth = IsYouthRow(gridplist, r);
    int32_t key;
    if (!CellNumber(gridplist.Cells(kConKey, r), key)) continue;
    Tplayer* player = youth ? club.Youth->PlayerByNumber(key) : club.Squad->PlayerByNumber(key);
    if (!player) continue;  // a row that no longer matches the club

    if (mark == current) {
      if (!youth) market.List(kUserClub, key, *player);
      continue;
    }
    int32_t number;
    if (mark.empty()) {
      market.AddFreeAgent(*player);
      if (youth)
        club.Youth->RemoveNumber(key);
      else
        club.Release(key, world);
    } else if (int slot = CoachSlotOfMark(mark); slot >= 0) {
      if (!youth) club.MakeCoach(key, slot, world);  // youths cannot coach
    } else if (CellNumber(mark, number) && number >= 1 && number <= kHighestShirt) {
      const int32_t temporary = CheckedMul(CellNumberOr(gridplist.Cells(kConFillIndex, r), r), kTemporaryNumberStep);
      renumbered.push_back({key, temporary, number, youth});
      if (!youth) {
        club.Squad->SetNumber(key, temporary);
        for (int slot = 0; slot < kSlotCount; ++slot)
          if (club.Slots[static_cast<std::size_t>(slot)] == key) club.Slots[static_cast<std::size_t>(slot)] = -1;
      }
    }
  }

  for (const Renumbered& rn : renumbered) {
    if (rn.youth) {
      const Tplayer* youth = club.Youth->PlayerByNumber(rn.key);
      if (!youth) continue;
      club.TakeIn(*youth, rn.number);
      club.Youth->RemoveNumber(rn.key);
    } else {
      // Two marks on one number cannot come from the board; should they,
      // the later player takes the next free number.
      const int32_t number = club.Squad->FirstFreeNumber(rn.number);
      club.Squad->SetNumber(rn.temporary, number);
      market.List(kUserClub, number, *club.Squad->PlayerByNumber(number));
    }
  }

  club.ReleaseOldYouth(&market);
  club.YouthNationality = ClampInt(youthNationality, 0, 9);
  club.YouthPosition = ClampInt(youthPosition, 0, 9);
  club.PayWages();
  club.AddMoney(CheckedSub(0, club.InvestmentCost()));
}

int32_t ChooseYouthScouting(Tteam& club, int32_t nationality, int32_t position) {
  club.YouthNationality = ClampInt(nationality, 0, 9);
  club.YouthPosition = ClampInt(position, 0, 9);
  return club.InvestmentCost();
}

void Tcontractdesk::Open(const Tteam& club, const TworldView& world) {
  FillContractGrid(club, world, Plist, Board);
  ScoutCost = club.InvestmentCost();
  Opened = true;
  Refigure(club);
}

void Tcontractdesk::Assign(const Tteam& club, int plistRow, int boardRow) {
  AssignNumber(Plist, plistRow, Board, boardRow);
  Refigure(club);
}

void Tcontractdesk::Reset(const Tteam& club, int plistRow) {
  ResetPlayer(Plist, plistRow, Board);
  Refigure(club);
}

void Tcontractdesk::ChooseScouting(Tteam& club, int32_t nationality, int32_t position) {
  ScoutCost = ChooseYouthScouting(club, nationality, position);
  Deficit = ContractDeficit(club, Wages, ScoutCost);
}

void Tcontractdesk::Refigure(const Tteam& club) {
  Wages = ContractWages(club, Plist);
  ShowCoachesToBe(club, Board, Coach);
  Deficit = ContractDeficit(club, Wages, ScoutCost);
}

int Tcontractdesk::PlistRowOfBoardRow(int boardRow) const {
  if (boardRow < 0 || boardRow >= Board.RowCount() || Board.ColCount() <= kBoardKey) return -1;
  return PlistRowOfKey(Plist, Board.Cells(kBoardKey, boardRow));
}

int32_t Tcontractdesk::CardNumber(int plistRow) const {
  if (plistRow < 1 || plistRow >= Plist.RowCount() || IsYouthRow(Plist, plistRow)) return -1;
  return CellNumberOr(Plist.Cells(kConCurrent, plistRow), -1);
}

void Tcontractdesk::Commit(Tteam& club, const TworldView& world, Ttrade& market) {
  if (!Opened) Open(club, world);  // nothing marked: everyone as he stands
  CommitContracts(club, world, market, Plist, club.YouthNationality, club.YouthPosition);
  Opened = false;
}

// ---- transfer weeks ----------------------------------------------------------

void ToggleBid(TGrid& grid1, int row) {
  if (row < 1 || row >= grid1.RowCount() || grid1.ColCount() <= kListBidColumn) return;
  std::string& mark = grid1.Cells(kListBidColumn, row);
  if (mark.empty())
    mark = grid1.Cells(kListPriceColumn, row);
  else
    mark.clear();
}

bool OffersUserPlayer(const TGrid& grid2, int row) {
  return row >= 0 && row < grid2.RowCount() && grid2.ColCount() > kOfferSellerColumn &&
         grid2.Cells(kOfferSellerColumn, row) == std::to_string(kUserClub);
}

void ToggleAnswer(TGrid& grid2, int row) {
  if (row < 1 || row >= grid2.RowCount() || grid2.ColCount() <= kOfferMarkColumn) return;
  const std::string& lead = grid2.Cells(kOfferLeadColumn, row);
  std::string& mark = grid2.Cells(kOfferMarkColumn, row);
  if (lead == mark) return;  // the user's own bid leads
  if (!mark.empty()) {
    mark.clear();
  } else if (!OffersUserPlayer(grid2, row)) {
    mark = std::to_string(static_cast<int64_t>(CellNumberOr(lead, 0)) * 2);
  } else {
    mark = "0";
  }
}

void SubmitBids(Ttrade& market, TGrid& grid1) {
  grid1.SetRowCount(grid1.RowCount() + grid1.HiddenRowCount());
  if (market.Listings.RowCount() == 0 || grid1.RowCount() <= 1 || grid1.ColCount() <= kListBidColumn) return;
  SortByColumn(grid1, kListBidColumn, 1);
  for (int r = 1; r < grid1.RowCount(); ++r) {
    int32_t amount, key, seller, number;
    if (!CellNumber(grid1.Cells(kListBidColumn, r), amount)) break;
    if (!CellNumber(grid1.Cells(kListEntryColumn, r), key) || !CellNumber(grid1.Cells(kListSellerColumn, r), seller) ||
        !CellNumber(grid1.Cells(kListNumberColumn, r), number))
      continue;
    market.AddBid(key, seller, number, amount, kUserClub);
  }
}

void AnswerOffers(Ttrade& market, const TGrid& grid2) {
  for (int r = 1; r < grid2.RowCount(); ++r) {
    int32_t answer;
    if (grid2.ColCount() <= kOfferMarkColumn || !CellNumber(grid2.Cells(kOfferMarkColumn, r), answer)) continue;
    const bool ownPlayer = OffersUserPlayer(grid2, r);
    if (answer != 0 && answer != CellNumberOr(grid2.Cells(kOfferLeadColumn, r), 0)) {
      if (!ownPlayer) market.DoubleBid(r - 1);  // nobody bids for his own player
    } else if (answer == 0 && ownPlayer) {
      market.SellerDemands(r - 1);
    }
  }
}

// ---- the transfer list's filter ---------------------------------------------

namespace {

// After a sort, shows rows 1 .. r, r being the last row that passes.
void KeepThroughLastPassing(TGrid& grid, int column, bool (*passes)(int32_t, int32_t), int32_t limit) {
  int last = 0;
  for (int r = 1; r < grid.RowCount(); ++r) {
    int32_t v;
    if (CellNumber(grid.Cells(column, r), v) && passes(v, limit)) last = r;
  }
  grid.SetRowCount(last + 1);
}

}  // namespace

void FilterListings(TGrid& grid1, int listRows, const TListFilter& filter) {
  const int all = grid1.RowCount() + grid1.HiddenRowCount();
  grid1.SetRowCount(std::clamp(listRows, std::min(1, all), all));
  if (grid1.ColCount() <= kListBidColumn) return;
  for (int k = TListFilter::kCriteria; k >= 1; --k) {
    if (!filter.Ticked[k]) continue;
    if (k == 1) {
      for (int code = 0; code < static_cast<int>(filter.Positions.size()); ++code)
        if (!filter.Positions[code]) RemoveRowsEqual(grid1, kListPositionColumn, PositionName(code));
    } else if (k == TListFilter::kCriteria) {
      SortByColumn(grid1, kListPriceColumn, 0);
      KeepThroughLastPassing(
          grid1, kListPriceColumn, [](int32_t v, int32_t lim) { return v <= lim; }, filter.Limit[k]);
    } else {
      const int column = kListFirstAbilityColumn + (k - 2);
      SortByColumn(grid1, column, 1);
      KeepThroughLastPassing(
          grid1, column, [](int32_t v, int32_t lim) { return v >= lim; }, filter.Limit[k]);
    }
  }
}
