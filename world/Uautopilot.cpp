#include "world/Uautopilot.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

#include "club/Ucommatext.h"
#include "club/Ufunction.h"
#include "club/Ugrid.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Useasonevent.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

namespace {

// ---- the manager's off-season ---------------------------------------------------

// The decimal integer a grid cell holds, if it holds exactly one.
bool ParseCell(const std::string& text, int32_t& value) {
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), last, value);
  return !text.empty() && ec == std::errc() && ptr == last;
}

int32_t ValueOfRow(const Tteam& club, const Tgamemain& g, const TGrid& gridplist, int row) {
  int32_t key = 0;
  if (!ParseCell(gridplist.Cells(kConKey, row), key)) return -1;
  const Tplayer* p = club.Squad->PlayerByNumber(key);
  return p ? p->Value(g) : -1;
}

// Renews the `keep` most valuable squad players and lets the rest go, as
// right clicks on the contract frame's number board would.
void MarkKeepBest(const Tteam& club, const Tgamemain& g, TGrid& gridplist, TGrid& gridfuture, int keep) {
  std::vector<int> squadRows;
  for (int r = 1; r < gridplist.RowCount(); ++r)
    if (gridplist.Cells(kConCurrent, r) != kYouthMark) squadRows.push_back(r);
  std::stable_sort(squadRows.begin(), squadRows.end(),
                   [&](int a, int b) { return ValueOfRow(club, g, gridplist, a) > ValueOfRow(club, g, gridplist, b); });
  const std::size_t kept = std::min(squadRows.size(), static_cast<std::size_t>(keep));
  // Let the others go first, so their numbers are free for the kept ones.
  for (std::size_t i = kept; i < squadRows.size(); ++i) {
    const int row = squadRows[i];
    int32_t number = 0;
    if (ParseCell(gridplist.Cells(kConMark, row), number))
      AssignNumber(gridplist, row, gridfuture, number + kBoardCoachRows - 1);  // the same number again: let go
  }
  for (std::size_t i = 0; i < kept; ++i) {
    const int row = squadRows[i];
    if (!gridplist.Cells(kConMark, row).empty()) continue;
    for (int b = kBoardCoachRows; b < gridfuture.RowCount(); ++b) {
      if (!gridfuture.Cells(kBoardKey, b).empty()) continue;  // a number someone wears
      AssignNumber(gridplist, row, gridfuture, b);
      break;
    }
  }
}

// What the user has spent in this window: players bought, plus his bids in
// negotiations not yet settled.
int64_t WindowSpending(const Tgamemain& g) {
  const Ttrade& market = *g.Market;
  const std::string& user = g.Teams[kUserClub]->ClubName;
  int64_t spent = 0;
  for (std::size_t i = 1; i < market.Report.size(); ++i) {
    std::vector<std::string> f = SplitCommaText(market.Report[i]);
    int32_t amount = 0;
    if (f.size() >= 5 && f[4] == user && ParseCell(f[3], amount)) spent += amount;
  }
  for (const TIntgrid& neg : market.Negotiations)
    for (int r = 1; r < neg.RowCount(); ++r)
      if (neg.RowLength(r) >= 2 && neg.GetValue(r, 0) == kUserClub) spent += neg.GetValue(r, 1);
  return spent;
}

// Marks bids on the most valuable listed players the user can pay while the
// window's spending stays within the budget.
void MarkBids(const Tgamemain& g, TGrid& grid1, int64_t budget) {
  int64_t left = budget - WindowSpending(g);
  int64_t money = g.Teams[kUserClub]->Money;
  int places = kMaxSquad - g.Teams[kUserClub]->Squad->Count();
  std::vector<std::pair<int32_t, int>> byValue;  // value, row
  for (int r = 1; r < grid1.RowCount(); ++r) {
    int32_t seller = 0, number = 0;
    if (!ParseCell(grid1.Cells(kListSellerColumn, r), seller) || !ParseCell(grid1.Cells(kListNumberColumn, r), number))
      continue;
    const Tplayer* p = g.Market->FindPlayer(seller, number);
    if (p) byValue.emplace_back(p->Value(g), r);
  }
  std::stable_sort(byValue.begin(), byValue.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (const auto& [value, row] : byValue) {
    int32_t price = 0;
    if (places <= 0) break;
    if (!ParseCell(grid1.Cells(kListPriceColumn, row), price) || price > left || price > money) continue;
    ToggleBid(grid1, row);
    left -= price;
    money -= price;
    --places;
  }
}

void ManagerTransferWeek(Tgamemain& g, const TManagerPolicy& m) {
  if (!g.Market) return;
  if (m.BidBudget > 0) {
    TGrid grid1;
    g.Market->ShowListings(grid1);
    MarkBids(g, grid1, m.BidBudget);
    SubmitBids(*g.Market, grid1);
  }
  if (m.HoldOut) {
    TGrid grid2;
    g.Market->ShowNegotiations(grid2);
    for (int r = 1; r < grid2.RowCount(); ++r)
      if (OffersUserPlayer(grid2, r) && grid2.Cells(kOfferMarkColumn, r).empty()) ToggleAnswer(grid2, r);
    AnswerOffers(*g.Market, grid2);
  }
}

}  // namespace

void PlayAutopilotWeek(Tgamemain& g, const TManagerPolicy& manager, const std::function<void()>& during) {
  TScopedGameState scope(&g);
  Tteam& user = g.Team(kUserClub);
  const int32_t week = g.Week;
  user.AutoLineup(true);  // "自動選抜"
  const TWeekPhase phase = WeekPhase(week);
  if (phase == TWeekPhase::Contract) {
    // The contract frame as it is shown, every mark left alone.
    if (!g.Market) throw VantorelError("no transfer market in the contract week");
    TGrid gridplist, gridfuture;
    FillContractGrid(user, g, gridplist, gridfuture);
    if (manager.KeepBest >= 0) MarkKeepBest(user, g, gridplist, gridfuture, manager.KeepBest);
    CommitContracts(user, g, *g.Market, gridplist, user.YouthNationality, user.YouthPosition);
  } else if (phase == TWeekPhase::Transfer) {  // bids and answers only as the policy asks
    ManagerTransferWeek(g, manager);
  } else if (phase != TWeekPhase::SeasonEnd) {
    g.SkipMatches = true;
    if (phase == TWeekPhase::Cup || phase == TWeekPhase::League) {
      if (!user.StartingElevenComplete()) throw VantorelError("スタメンが決まっていません");
      // A loaded save has its leagues in every match week (the loader checks
      // it). It may lack the cup: one converted from the layout before the
      // cup existed plays its cup weeks without matches, as the window does.
      if (phase == TWeekPhase::League && !g.Leagues[0]) throw VantorelError("no competition in a match week");
      // Every match simulated, then the results screen's standings.
      g.PlayWeekMatches(during);
    }
  }
  g.AdvanceWeek();
}

void ClickThroughSeasonEvents() {
  Tseasonevent ev;
  ev.Start();
  // A sequence is a handful of events; the bound only guards against a loop.
  for (int i = 0; i < 1000 && !ev.Finished; ++i) ev.Next();
  if (!ev.Finished) throw VantorelError("the season events did not end");
}
