#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "club/Ufunction.h"

#include "MarketTestWorld.h"
#include "club/Uteametc.h"
#include "world/Uuserops.h"

namespace {

int PlistRow(const TGrid& g, const std::string& key) {
  for (int r = 1; r < g.RowCount(); ++r)
    if (g.Cells(kConKey, r) == key) return r;
  return -1;
}

int BoardRow(const std::string& label) {
  if (label.rfind("コーチ", 0) == 0) return label.back() - '1';
  return std::stoi(label) + 2;
}

}  // namespace

class ContractDeskTest : public MarketWorldTest {
 protected:
  void SetUp() override {
    MarketWorldTest::SetUp();
    game_->Year = 1;
    for (int n = 1; n <= 15; ++n) AddPlayer(0, n, 30 + n);
    AddPlayer(0, 51, 1);  // a filler
    for (int i = 0; i < 2; ++i) {
      auto y = std::make_unique<Tplayer>(9, 0, 10, 0, *game_);
      y->Age = 16;
      Club(0).Youth->Add(std::move(y), 100);
    }
    for (int s = 0; s < 16; ++s) Club(0).Slots[static_cast<std::size_t>(s)] = s < 11 ? s + 1 : -1;
    FillContractGrid(Club(0), *game_, plist, board);
  }
  void Give(const std::string& key, const std::string& label) {
    AssignNumber(plist, PlistRow(plist, key), board, BoardRow(label));
  }
  std::string Mark(const std::string& key) { return plist.Cells(kConMark, PlistRow(plist, key)); }

  TGrid plist, board;
};

TEST_F(ContractDeskTest, TheDeskStartsWithEveryoneKeepingHisNumber) {
  ASSERT_EQ(plist.ColCount(), 21);
  ASSERT_EQ(plist.RowCount(), 1 + 16 + 2);
  EXPECT_EQ(plist.FixedRows, 1);
  EXPECT_EQ(plist.ColWidth(0), 20);
  EXPECT_EQ(Mark("7"), "7");
  EXPECT_EQ(Mark("51"), "");  // above 50: let go unless given a number
  EXPECT_EQ(Mark("100"), "ユ");
  EXPECT_EQ(plist.Cells(kConCurrent, PlistRow(plist, "101")), "ユ");
  // Fill indexes 1.. in row order; youths last in list order.
  for (int r = 1; r < plist.RowCount(); ++r) EXPECT_EQ(plist.Cells(kConFillIndex, r), std::to_string(r));
  EXPECT_EQ(plist.Cells(kConKey, 17), "100");
  EXPECT_EQ(plist.Cells(kConKey, 18), "101");

  ASSERT_EQ(board.RowCount(), 53);
  EXPECT_EQ(board.Cells(0, 0), "コーチ1");
  EXPECT_EQ(board.Cells(0, 2), "コーチ3");
  EXPECT_EQ(board.Cells(0, 3), "1");
  EXPECT_EQ(board.Cells(0, 52), "50");
  EXPECT_EQ(board.Cells(1, BoardRow("7")), Club(0).Squad->PlayerByNumber(7)->Name);
  EXPECT_EQ(board.Cells(2, BoardRow("7")), "7");
  EXPECT_EQ(board.Cells(2, BoardRow("16")), "");
  EXPECT_EQ(board.Cells(2, 0), "");

  int32_t wages = 10;  // two youths
  for (int n = 1; n <= 15; ++n) wages += Club(0).Squad->PlayerByNumber(n)->Wage();
  EXPECT_EQ(ContractWages(Club(0), plist), wages);
}

// Shirt 50 is the board's last number: its wearer keeps it, is on the board
// and gets it back on 初期化; 51 and above start and reset empty.
TEST_F(ContractDeskTest, FiftyIsTheLastNumberKept) {
  AddPlayer(0, 50, 20);
  FillContractGrid(Club(0), *game_, plist, board);
  EXPECT_EQ(Mark("50"), "50");
  EXPECT_EQ(Mark("51"), "");
  EXPECT_EQ(board.Cells(2, BoardRow("50")), "50");
  Give("50", "49");
  Give("51", "50");
  ResetPlayer(plist, PlistRow(plist, "50"), board);
  ResetPlayer(plist, PlistRow(plist, "51"), board);
  EXPECT_EQ(Mark("50"), "50");
  EXPECT_EQ(Mark("51"), "");
  EXPECT_EQ(board.Cells(2, BoardRow("50")), "50");
}

TEST_F(ContractDeskTest, MarkingNumbersCoachesAndYouths) {
  // Swap 2 and 3.
  Give("2", "3");
  EXPECT_EQ(Mark("2"), "3");
  EXPECT_EQ(Mark("3"), "");
  EXPECT_EQ(board.Cells(2, BoardRow("2")), "");
  Give("3", "2");
  EXPECT_EQ(Mark("3"), "2");
  EXPECT_EQ(board.Cells(2, BoardRow("2")), "3");
  EXPECT_EQ(board.Cells(2, BoardRow("3")), "2");

  // A youth given a number is promoted; the same number again lets him go;
  // the reset returns him to the youth team.
  Give("100", "30");
  EXPECT_EQ(Mark("100"), "30");
  Give("100", "30");
  EXPECT_EQ(Mark("100"), "");
  EXPECT_EQ(board.Cells(2, BoardRow("30")), "");
  ResetPlayer(plist, PlistRow(plist, "100"), board);
  EXPECT_EQ(Mark("100"), "ユ");

  // Youths cannot coach; players can.
  Give("101", "コーチ1");
  EXPECT_EQ(Mark("101"), "ユ");
  EXPECT_EQ(board.Cells(2, 0), "");
  Give("4", "コーチ1");
  EXPECT_EQ(Mark("4"), "コーチ1");
  EXPECT_EQ(board.Cells(2, BoardRow("4")), "");
  EXPECT_EQ(board.Cells(2, 0), "4");

  // Reset gives the player his number back and takes it from whoever had it.
  Give("5", "4");
  EXPECT_EQ(Mark("4"), "コーチ1");
  ResetPlayer(plist, PlistRow(plist, "4"), board);
  EXPECT_EQ(Mark("4"), "4");
  EXPECT_EQ(Mark("5"), "");
  EXPECT_EQ(board.Cells(2, 0), "");
  EXPECT_EQ(board.Cells(2, BoardRow("4")), "4");

  // Wages: nothing for the let-go, the coach or the departing; 5 per youth staying.
  Give("6", "コーチ2");
  int32_t wages = 10;
  for (int n = 1; n <= 15; ++n)
    if (n != 5 && n != 6) wages += Club(0).Squad->PlayerByNumber(n)->Wage();
  EXPECT_EQ(ContractWages(Club(0), plist), wages);

  TGrid coach;
  ShowCoachesToBe(Club(0), board, coach);
  const std::array<int32_t, 6> cv = Club(0).Squad->PlayerByNumber(6)->CoachValues();
  EXPECT_EQ(coach.Cells(1, 3), "3");
  EXPECT_EQ(coach.Cells(2, 3), std::to_string(cv[0]));
  EXPECT_EQ(coach.Cells(7, 3), std::to_string(cv[5]));
}

TEST_F(ContractDeskTest, DeficitWarningComparesMoneyWithWagesAndScouting) {
  Club(0).Money = 1000;
  EXPECT_TRUE(ContractDeficit(Club(0), 900, Tteam::InvestmentCostOf(3)));
  EXPECT_FALSE(ContractDeficit(Club(0), 900, 100));
  EXPECT_FALSE(ContractDeficit(Club(0), 900, 0));
}

TEST_F(ContractDeskTest, DeskFiguresFollowMarksAndScouting) {
  Tcontractdesk desk;
  desk.Open(Club(0), *game_);
  EXPECT_EQ(desk.Wages, ContractWages(Club(0), desk.Plist));
  const auto row = [&](const std::string& key) { return PlistRow(desk.Plist, key); };

  // The filler numbered 51 has nothing to keep: reset leaves him unmarked,
  // and a number given to him is taken back by the reset.
  desk.Reset(Club(0), row("51"));
  EXPECT_EQ(desk.Plist.Cells(kConMark, row("51")), "");
  const int32_t before = desk.Wages;
  desk.Assign(Club(0), row("51"), BoardRow("40"));
  EXPECT_EQ(desk.Wages, before + Club(0).Squad->PlayerByNumber(51)->Wage());
  EXPECT_EQ(desk.PlistRowOfBoardRow(BoardRow("40")), row("51"));
  desk.Reset(Club(0), row("51"));
  EXPECT_EQ(desk.Plist.Cells(kConMark, row("51")), "");
  EXPECT_EQ(desk.Board.Cells(2, BoardRow("40")), "");
  EXPECT_EQ(desk.PlistRowOfBoardRow(BoardRow("40")), -1);
  EXPECT_EQ(desk.Wages, before);

  // Cards open for squad rows only.
  EXPECT_EQ(desk.CardNumber(row("7")), 7);
  EXPECT_EQ(desk.CardNumber(row("100")), -1);

  // The warning: money against wages plus the scouts' country, which the
  // club takes at once (out-of-range choices are brought into range).
  struct Case {
    int32_t nationality, moneyOverWages, cost;
    bool deficit;
  } cases[] = {
      {3, 1000, 1500, true}, {1, 300, 300, false}, {5, 300, 1000, true}, {0, 0, 0, false}, {12, 699, 700, true}};
  for (const Case& c : cases) {
    Club(0).Money = desk.Wages + c.moneyOverWages;
    desk.ChooseScouting(Club(0), c.nationality, 4);
    EXPECT_EQ(desk.ScoutCost, c.cost) << c.nationality;
    EXPECT_EQ(desk.Deficit, c.deficit) << c.nationality;
  }
  EXPECT_EQ(Club(0).YouthNationality, 9);
  EXPECT_EQ(Club(0).YouthPosition, 4);
}

TEST_F(ContractDeskTest, CommitRenumbersReleasesPromotesAndHiresCoaches) {
  Give("2", "3");
  Give("3", "2");
  Give("100", "30");
  Give("4", "コーチ1");
  Give("6", "6");  // the same number again: he goes
  const std::string was2 = Club(0).Squad->PlayerByNumber(2)->Name;
  const std::string was3 = Club(0).Squad->PlayerByNumber(3)->Name;
  const std::string youth = Club(0).Youth->PlayerByNumber(100)->Name;
  const std::string was6 = Club(0).Squad->PlayerByNumber(6)->Name;
  const std::array<int32_t, 6> coachValues = Club(0).Squad->PlayerByNumber(4)->CoachValues();
  Club(0).Money = 20000;

  CommitContracts(Club(0), *game_, Market(), plist, 3, 4);

  Tplayerlist& squad = *Club(0).Squad;
  EXPECT_EQ(squad.PlayerByNumber(3)->Name, was2);
  EXPECT_EQ(squad.PlayerByNumber(2)->Name, was3);
  EXPECT_EQ(squad.PlayerByNumber(30)->Name, youth);
  EXPECT_EQ(squad.IndexOfNumber(4), -1);
  EXPECT_EQ(squad.IndexOfNumber(6), -1);
  EXPECT_EQ(squad.IndexOfNumber(51), -1);
  EXPECT_EQ(squad.Count(), 16 - 3 + 1);
  EXPECT_EQ(Club(0).Youth->Count(), 1);
  EXPECT_EQ(Club(0).Youth->NumberAt(0), 101);
  // Renumbered players leave the line-up; the coach's slot is emptied too.
  EXPECT_EQ(Club(0).Slots[1], -1);
  EXPECT_EQ(Club(0).Slots[2], -1);
  EXPECT_EQ(Club(0).Slots[3], -1);
  EXPECT_EQ(Club(0).Slots[4], 5);
  EXPECT_EQ(Club(0).Coaches->Coach[0].Years, 3);
  EXPECT_EQ(Club(0).Coaches->GetSkill(0)[0], coachValues[0]);

  // Released players became free agents; the kept and renumbered are listed
  // for club 0 under their new numbers; the promoted youth is not.
  ASSERT_EQ(Market().FreeAgents->Count(), 2);
  std::set<std::string> freeNames;
  for (int i = 0; i < 2; ++i) freeNames.insert(Market().FreeAgents->PlayerAt(i)->Name);
  EXPECT_TRUE(freeNames.count(was6));
  std::set<int32_t> listedOwn;
  for (int i = 0; i < Market().Listings.RowCount(); ++i)
    if (Market().Listings.GetValue(i, kListSeller) == 0) {
      EXPECT_EQ(Market().Listings.GetValue(i, kListKey), Market().Listings.GetValue(i, kListNumber));
      listedOwn.insert(Market().Listings.GetValue(i, kListNumber));
    }
  EXPECT_EQ(listedOwn, (std::set<int32_t>{1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

  EXPECT_EQ(Club(0).YouthNationality, 3);
  EXPECT_EQ(Club(0).YouthPosition, 4);
  EXPECT_EQ(Club(0).Money, 20000 - Club(0).WageTotal() - Tteam::InvestmentCostOf(3));
}

// NEXT carries out the marks from the last row filled to the first (the
// list is sorted by its hidden fill index, and a header click on a new
// column sorts descending): free agents are numbered and players listed in
// that order, the renumbered ones listed after everyone else. A youth let go
// joins the free agents and leaves the youth list.
TEST_F(ContractDeskTest, CommitLetsAYouthGoAndWorksFromTheLastRowUp) {
  Give("101", "40");
  Give("101", "40");  // the same number again: the youth is let go
  EXPECT_EQ(Mark("101"), "");
  Give("3", "3");
  Give("5", "5");
  Give("12", "45");
  const std::string youth = Club(0).Youth->PlayerByNumber(101)->Name;
  const std::string filler = Club(0).Squad->PlayerByNumber(51)->Name;
  const std::string was5 = Club(0).Squad->PlayerByNumber(5)->Name;
  const std::string was3 = Club(0).Squad->PlayerByNumber(3)->Name;
  Club(0).Money = 20000;

  CommitContracts(Club(0), *game_, Market(), plist, 0, 9);

  ASSERT_EQ(Club(0).Youth->Count(), 1);
  EXPECT_EQ(Club(0).Youth->NumberAt(0), 100);
  const Tplayerlist& free = *Market().FreeAgents;
  ASSERT_EQ(free.Count(), 4);
  const std::string inOrder[] = {youth, filler, was5, was3};
  for (int32_t n = 0; n < 4; ++n) {
    ASSERT_NE(free.PlayerByNumber(n), nullptr);
    EXPECT_EQ(free.PlayerByNumber(n)->Name, inOrder[n]) << n;
  }
  std::vector<int32_t> keys;
  for (int r = 0; r < Market().Listings.RowCount(); ++r) keys.push_back(Market().Listings.GetValue(r, kListKey));
  EXPECT_EQ(keys, (std::vector<int32_t>{99000, 99001, 15, 14, 13, 11, 10, 9, 8, 7, 6, 99002, 4, 99003, 2, 1, 45}));
  EXPECT_NE(Club(0).Squad->PlayerByNumber(45), nullptr);
  EXPECT_EQ(Club(0).Squad->Count(), 16 - 3);
}

TEST_F(ContractDeskTest, UntouchedDeskKeepsTheSquadAndReleasesOldYouths) {
  Club(0).Youth->PlayerByNumber(101)->Age = 20;
  CommitContracts(Club(0), *game_, Market(), plist, 0, 9);
  EXPECT_EQ(Club(0).Squad->Count(), 15);  // only the filler numbered 51 went
  for (int n = 1; n <= 15; ++n) EXPECT_GE(Club(0).Squad->IndexOfNumber(n), 0);
  for (int s = 0; s < 11; ++s) EXPECT_EQ(Club(0).Slots[static_cast<std::size_t>(s)], s + 1);
  EXPECT_EQ(Club(0).Youth->Count(), 1);
  EXPECT_EQ(Market().FreeAgents->Count(), 2);  // the filler and the old youth
  EXPECT_EQ(Market().Listings.RowCount(), 15 + 2);
}

// ---- transfer weeks -------------------------------------------------------------

class TransferOpsTest : public MarketWorldTest {};

TEST_F(TransferOpsTest, MarkedBidsReachTheMarketHighestFirst) {
  Club(0).Money = 100000;
  for (int n = 1; n <= 3; ++n) {
    Tplayer& p = AddPlayer(5, n, 20 * n);
    p.BaseValue = 100 * n;
    Market().List(5, n, p);
  }
  TGrid g;
  Market().ShowListings(g);
  ASSERT_EQ(g.RowCount(), 4);
  ToggleBid(g, 1);
  ToggleBid(g, 3);
  ToggleBid(g, 2);
  ToggleBid(g, 2);  // twice: no bid
  EXPECT_EQ(g.Cells(kListBidColumn, 1), g.Cells(kListPriceColumn, 1));
  EXPECT_EQ(g.Cells(kListBidColumn, 2), "");
  SubmitBids(Market(), g);
  ASSERT_EQ(Market().Bids.RowCount(), 2);
  EXPECT_EQ(Market().Bids.GetValue(0, kBidKey), 5003);
  EXPECT_EQ(Market().Bids.GetValue(1, kBidKey), 5001);
  EXPECT_EQ(Market().Bids.GetValue(0, kBidBidder), 0);
  EXPECT_EQ(Market().Bids.GetValue(0, kBidAmount), Market().Listings.GetValue(2, kListPrice));

  // A filter that hides a marked player does not lose his bid.
  Market().Bids.Clear();
  TListFilter cheap;
  cheap.Ticked[8] = true;
  cheap.Limit[8] = 1;  // nobody is that cheap
  FilterListings(g, 4, cheap);
  EXPECT_EQ(g.RowCount(), 1);
  SubmitBids(Market(), g);
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(Market().Bids.RowCount(), 2);

  // Nothing to bid on: nothing happens.
  Market().Bids.Clear();
  Market().Listings.Clear();
  SubmitBids(Market(), g);
  EXPECT_EQ(Market().Bids.RowCount(), 0);
}

TEST_F(TransferOpsTest, AnswersDoubleOrHoldOut) {
  Tplayer& mine = AddPlayer(0, 9);
  Tplayer& theirs = AddPlayer(4, 2);
  Tplayer& led = AddPlayer(6, 1);
  Market().List(0, 9, mine);
  Market().List(4, 2, theirs);
  Market().List(6, 1, led);
  Market().AddBid(9, 0, 9, 700, 3);
  Market().AddBid(4002, 4, 2, 600, 7);
  Market().AddBid(6001, 6, 1, 500, 0);
  Market().GatherBids();
  TGrid g;
  Market().ShowNegotiations(g);
  ASSERT_EQ(g.RowCount(), 4);
  ToggleAnswer(g, 1);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, 1), "0");  // own player: hold out
  ToggleAnswer(g, 2);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, 2), "1200");  // double the leader
  ToggleAnswer(g, 3);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, 3), "500");  // own bid leads: nothing to do
  ToggleAnswer(g, 2);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, 2), "");
  ToggleAnswer(g, 2);

  AnswerOffers(Market(), g);
  const TIntgrid& held = Market().Negotiations[0];
  ASSERT_EQ(held.RowCount(), 3);
  EXPECT_EQ(held.GetValue(1, kNegAmount), 2100);
  EXPECT_EQ(held.GetValue(2, kNegBidder), 0);
  const TIntgrid& doubled = Market().Negotiations[1];
  ASSERT_EQ(doubled.RowCount(), 3);
  EXPECT_EQ(doubled.Rows[2].Values[0], 0);
  EXPECT_EQ(doubled.Rows[2].Values[1], 1200);
  EXPECT_EQ(Market().Negotiations[2].RowCount(), 2);
}

// ---- a whole pre-season on the shipped start data -------------------------------------

namespace {

void ExpectSoundClubs(const Tgamemain& g, int week) {
  for (int c = 0; c < kClubCount; ++c) {
    const Tteam& club = g.Team(c);
    EXPECT_LE(club.Squad->Count(), kMaxSquad) << "club " << c << " week " << week;
    EXPECT_GE(club.Squad->Count(), kStarterCount) << "club " << c << " week " << week;
    std::set<int32_t> numbers;
    for (int i = 0; i < club.Squad->Count(); ++i) EXPECT_TRUE(numbers.insert(club.Squad->NumberAt(i)).second);
    std::set<int32_t> inSlots;
    for (int32_t n : club.Slots) {
      if (n < 0) continue;
      EXPECT_GE(club.Squad->IndexOfNumber(n), 0) << "club " << c << " slot holds a departed player, week " << week;
      EXPECT_TRUE(inSlots.insert(n).second);
    }
  }
}

}  // namespace

TEST(PreSeason, ContractWeekAndTransferWeeksKeepTheWorldSound) {
  ScopedDataDir dir;
  Tgamemain g;
  GameState = &g;
  RandSeed(7);
  g.NewGameFrom("data/first.dat", false);
  g.Market = std::make_unique<Ttrade>();
  Tteam& user = g.Team(0);

  // Week 1: promote the first youth, let the last squad row go, keep the rest.
  TGrid plist, board;
  FillContractGrid(user, g, plist, board);
  const int youthRow = PlistRow(plist, std::to_string(user.Youth->NumberAt(0)));
  AssignNumber(plist, youthRow, board, BoardRow("40"));
  AssignNumber(plist, 21, board, BoardRow(plist.Cells(kConMark, 21)));
  const int squadBefore = user.Squad->Count();
  CommitContracts(user, g, *g.Market, plist, 2, 9);
  EXPECT_EQ(user.Squad->Count(), squadBefore);  // one in, one out
  EXPECT_GE(user.Squad->IndexOfNumber(40), 0);
  g.AdvanceWeek();
  ExpectSoundClubs(g, 1);

  std::size_t listingsWeek2 = g.Market->Listings.RowCount();
  EXPECT_GT(listingsWeek2, 100u);  // the computer clubs list their squads
  for (int week = 2; week <= 11; ++week) {
    ASSERT_EQ(g.Week, week);
    ASSERT_TRUE(g.Market);
    std::set<int32_t> keys;
    for (const TInput& row : g.Market->Listings.Rows) EXPECT_TRUE(keys.insert(row.Values[kListKey]).second);
    TGrid g1, g2;
    g.Market->ShowListings(g1);
    for (int r = 1; r < g1.RowCount() && r <= 3; ++r) ToggleBid(g1, r);
    SubmitBids(*g.Market, g1);
    g.Market->ShowNegotiations(g2);
    for (int r = 1; r < g2.RowCount(); ++r) ToggleAnswer(g2, r);
    AnswerOffers(*g.Market, g2);
    if (week == 11) {
      EXPECT_GT(g.Market->Report.size(), 10u);
    }  // transfers happened
    g.AdvanceWeek();
    ExpectSoundClubs(g, week);
    if (week == 9) {
      EXPECT_EQ(g.Market->Listings.RowCount(), 0);
    }
  }
  EXPECT_FALSE(g.Market);
  GameState = nullptr;
}

// The same seed gives the same pre-season: the market's record and every
// club's record after the last transfer round but one are byte-identical.
TEST(PreSeason, IsDeterministicForOneSeed) {
  ScopedDataDir dir;
  auto run = [] {
    Tgamemain g;
    GameState = &g;
    RandSeed(99);
    g.NewGameFrom("data/first.dat", false);
    g.Market = std::make_unique<Ttrade>();
    TGrid plist, board;
    FillContractGrid(g.Team(0), g, plist, board);
    CommitContracts(g.Team(0), g, *g.Market, plist, 5, 9);
    while (g.Week < 10) {
      if (g.Week >= 2) {
        TGrid g1;
        g.Market->ShowListings(g1);
        if (g1.RowCount() > 1) ToggleBid(g1, 1);
        SubmitBids(*g.Market, g1);
      }
      g.AdvanceWeek();
    }
    TStream s;
    g.Market->SaveToStream(s);
    for (int c = 0; c < kClubCount; ++c) g.Team(c).SaveToStream(s);
    GameState = nullptr;
    return s.Bytes();
  };
  const std::vector<uint8_t> first = run();
  EXPECT_EQ(run(), first);
}

// The list filter, one case per line: which listing keys stay shown and in
// what order. Listings: key, position code, S, D, asking price.
TEST(ListFilter, CriteriaRunFromEightDownToOne) {
  struct Listing {
    const char* key;
    int position, speed, defense, price;
  };
  const Listing listings[] = {
      {"A", 3, 60, 30, 1200}, {"B", 18, 40, 70, 900}, {"C", 3, 80, 50, 500}, {"D", 0, 20, 90, 1000}};
  auto fill = [&] {
    TGrid g;
    g.SetSize(22, 1);
    for (const Listing& l : listings) {
      const int r = g.RowCount();
      g.SetRowCount(r + 1);
      g.Cells(0, r) = l.key;
      g.Cells(6, r) = PositionName(l.position);
      g.Cells(7, r) = std::to_string(l.speed);
      g.Cells(9, r) = std::to_string(l.defense);
      g.Cells(18, r) = std::to_string(l.price);
    }
    return g;
  };
  struct Case {
    const char* name;
    std::vector<std::pair<int, int32_t>> ticked;  // criterion, limit
    std::vector<int> positions;
    std::string shown;
  };
  const Case cases[] = {
      {"no criterion: the market's order", {}, {}, "ABCD"},
      {"price 1000: cheapest first, 1000 itself kept", {{8, 1000}}, {}, "CBD"},
      {"positions, none selected: nothing left", {{1, 0}}, {}, ""},
      {"positions selected", {{1, 0}}, {3}, "AC"},
      {"speed 40 and price 1000: ordered by speed", {{2, 40}, {8, 1000}}, {}, "CB"},
      {"defense 50 then speed 40: speed orders", {{4, 50}, {2, 40}}, {}, "CB"},
      {"defense 50 and a position", {{4, 50}, {1, 0}}, {0, 18}, "DB"},
      {"nobody fast enough", {{2, 99}}, {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TGrid g = fill();
    TListFilter f;
    for (auto [k, limit] : c.ticked) {
      f.Ticked[static_cast<std::size_t>(k)] = true;
      f.Limit[static_cast<std::size_t>(k)] = limit;
    }
    for (int code : c.positions) f.Positions[static_cast<std::size_t>(code)] = true;
    FilterListings(g, 5, f);
    std::string shown;
    for (int r = 1; r < g.RowCount(); ++r) shown += g.Cells(0, r);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(g.Cells(0, 0), "");  // the header row stays

    // OK without a criterion brings every listing back.
    FilterListings(g, 5, TListFilter{});
    std::string all;
    for (int r = 1; r < g.RowCount(); ++r) all += g.Cells(0, r);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, "ABCD");
  }
}
