#include <gtest/gtest.h>

#include <set>

#include "MarketTestWorld.h"
#include "club/Ucommatext.h"
#include "club/Ufunction.h"
#include "world/Uuserops.h"

namespace {

std::vector<uint8_t> Le(std::initializer_list<int32_t> values) {
  std::vector<uint8_t> b;
  for (int32_t v : values)
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>((static_cast<uint32_t>(v) >> (8 * k)) & 0xff));
  return b;
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& b) { to.insert(to.end(), b.begin(), b.end()); }

const std::vector<uint8_t> kHeaderCp932 = {0x91, 0x49, 0x8e, 0xe8, 0x2c, 0x8c, 0xb3, 0x2c, 0x2c,
                                           0x8b, 0xe0, 0x8a, 0x7a, 0x2c, 0x8c, 0x8b, 0x89, 0xca};

std::vector<uint8_t> Saved(const Ttrade& t) {
  TStream s;
  t.SaveToStream(s);
  return s.Bytes();
}

}  // namespace

// ---- stream forms ---------------------------------------------------------------

TEST(TradeStream, EmptyMarketGoldenBytes) {
  Ttrade t;
  std::vector<uint8_t> expected = Le({0, 0, 0, 1, 18});
  Append(expected, kHeaderCp932);
  EXPECT_EQ(Saved(t), expected);

  Ttrade back;
  back.Report.clear();
  TStream s(expected);
  back.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  ASSERT_EQ(back.Report.size(), 1u);
  EXPECT_EQ(back.Report[0], "選手,元,,金額,結果");
}

TEST(TradeStream, ListingsNegotiationsAndReportGoldenBytes) {
  Ttrade t;
  t.Listings.AddRow({5007, 5, 7, 640, 0, 40, 240, 0, 0});
  TIntgrid neg;
  neg.AddRow({5, 7});
  neg.AddRow({3, 640, 55});
  t.Negotiations.push_back(neg);
  t.Report.push_back("A,無所属,→,,残留");

  std::vector<uint8_t> expected = Le({1, 9, 5007, 5, 7, 640, 0, 40, 240, 0, 0});
  Append(expected, Le({0}));                             // no free agents
  Append(expected, Le({1, 2, 2, 5, 7, 3, 3, 640, 55}));  // one negotiation of two rows
  Append(expected, Le({2, 18}));
  Append(expected, kHeaderCp932);
  Append(expected, Le({17}));
  Append(expected, {'A', ','});
  Append(expected, {0x96, 0xb3, 0x8f, 0x8a, 0x91, 0xae, ',', 0x81, 0xa8, ',', ',', 0x8e, 0x63, 0x97, 0xaf});
  EXPECT_EQ(Saved(t), expected);

  Ttrade back;
  TStream s(expected);
  back.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(Saved(back), expected);
}

TEST_F(MarketWorldTest, FreeAgentsRoundTripAndOldForms) {
  Tplayer& a = AddPlayer(4, 9, 33);
  a.RatingSum = 77;
  Tplayer& b = AddPlayer(4, 10, 44);
  EXPECT_EQ(Market().AddFreeAgent(a), 0);
  EXPECT_EQ(Market().AddFreeAgent(b), 1);
  EXPECT_EQ(Market().Listings.GetValue(1, kListKey), 99001);
  EXPECT_EQ(Market().FreeAgents->PlayerByNumber(0)->TeamIndex, kFreeAgentClub);
  // A free agent's asking price is his wage alone.
  EXPECT_EQ(Market().Listings.GetValue(0, kListPrice), a.Wage());

  const std::vector<uint8_t> bytes = Saved(Market());
  Ttrade back;
  TStream s(bytes);
  back.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(Saved(back), bytes);
  ASSERT_EQ(back.FreeAgents->Count(), 2);
  EXPECT_EQ(back.FreeAgents->PlayerByNumber(1)->Speed, 44);
  EXPECT_EQ(back.FreeAgents->PlayerByNumber(0)->TeamIndex, kFreeAgentClub);

  // Version 6: the pool as a number table, then the bare records.
  TStream v6;
  Market().Listings.SaveToStream(v6);
  TIntgrid numbers;
  numbers.AddRow({4});
  numbers.AddRow({8});
  numbers.SaveToStream(v6);
  Market().FreeAgents->PlayerByNumber(0)->SaveToStream(v6);
  Market().FreeAgents->PlayerByNumber(1)->SaveToStream(v6);
  v6.WriteInt32(0);
  v6.WriteInt32(1);
  WriteString(v6, kReportHeader);
  Ttrade old6;
  v6.Seek(0);
  old6.ReadVersion6(v6);
  EXPECT_TRUE(v6.AtEnd());
  ASSERT_EQ(old6.FreeAgents->Count(), 2);
  EXPECT_EQ(old6.FreeAgents->NumberAt(0), 4);
  EXPECT_EQ(old6.FreeAgents->PlayerByNumber(8)->Speed, 44);
  EXPECT_EQ(old6.FreeAgents->PlayerByNumber(8)->TeamIndex, kFreeAgentClub);

  // Version 11: the same as the current form without the rating sums.
  TStream v11;
  Market().Listings.SaveToStream(v11);
  v11.WriteInt32(1);
  v11.WriteInt32(3);
  TStream rec;
  a.SaveToStream(rec);
  std::vector<uint8_t> r = rec.Bytes();
  TStream hist;
  a.History.SaveToStream(hist);
  const std::size_t sumAt = r.size() - hist.Size() - 4;  // the rating sum sits just before the history
  r.erase(r.begin() + static_cast<std::ptrdiff_t>(sumAt), r.begin() + static_cast<std::ptrdiff_t>(sumAt) + 4);
  v11.WriteBytes(r);
  v11.WriteInt32(0);
  v11.WriteInt32(0);
  Ttrade old11;
  v11.Seek(0);
  old11.ReadVersion11(v11);
  EXPECT_TRUE(v11.AtEnd());
  ASSERT_EQ(old11.FreeAgents->Count(), 1);
  EXPECT_EQ(old11.FreeAgents->PlayerByNumber(3)->Speed, 33);
  EXPECT_EQ(old11.FreeAgents->PlayerByNumber(3)->RatingSum, 0);
  EXPECT_TRUE(old11.Report.empty());
}

TEST_F(MarketWorldTest, DamagedStreamsThrowAndChangeNothing) {
  AddPlayer(4, 9, 33);
  Market().AddFreeAgent(*Club(4).Squad->PlayerByNumber(9));
  TIntgrid neg;
  neg.AddRow({4, 9});
  neg.AddRow({2, 300, 40});
  Market().Negotiations.push_back(neg);
  Market().Report.push_back("x,y,→,,残留");
  const std::vector<uint8_t> good = Saved(Market());

  Ttrade target;
  target.Listings.AddRow({1, 2, 3, 4, 5, 6, 7, 8, 9});
  const std::vector<uint8_t> before = Saved(target);
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    TStream s(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
    EXPECT_THROW(target.LoadFromStream(s), StreamError) << "cut at " << cut;
    ASSERT_EQ(Saved(target), before) << "cut at " << cut;
  }

  // Impossible counts: a negative negotiation count, a huge report count,
  // a listing row too short to be one.
  TStream head;
  Market().Listings.SaveToStream(head);
  Market().FreeAgents->SaveToStream(head);
  const std::size_t negCountAt = head.Size();
  std::vector<uint8_t> bad = good;
  bad[negCountAt + 3] = 0xff;
  TStream s1(bad);
  EXPECT_THROW(target.LoadFromStream(s1), StreamError);
  std::vector<uint8_t> shortRow = Le({1, 3, 1, 2, 3, 0, 0, 1});
  TStream s2(shortRow);
  EXPECT_THROW(target.LoadFromStream(s2), StreamError);
  std::vector<uint8_t> hugeReport = Le({0, 0, 0, 0x7fffffff});
  TStream s3(hugeReport);
  EXPECT_THROW(target.LoadFromStream(s3), StreamError);
  EXPECT_EQ(Saved(target), before);
}

// ---- the hand-offs of the clubs ---------------------------------------------------

TEST_F(MarketWorldTest, ListAndFindAndRemove) {
  Tplayer& p = AddPlayer(6, 12, 50);
  Market().List(6, 12, p);
  ASSERT_EQ(Market().Listings.RowCount(), 1);
  std::vector<int32_t> rating = p.RatingRow(*game_);
  EXPECT_EQ(Market().Listings.GetValue(0, kListKey), 6012);
  EXPECT_EQ(Market().Listings.GetValue(0, kListSeller), 6);
  EXPECT_EQ(Market().Listings.GetValue(0, kListNumber), 12);
  for (int c = 3; c < 9; ++c) EXPECT_EQ(Market().Listings.GetValue(0, c), rating[static_cast<std::size_t>(c)]);
  EXPECT_EQ(Market().Listings.GetValue(0, kListPrice), p.Wage() + p.Value(*game_));

  EXPECT_EQ(Market().FindPlayer(6, 12), &p);
  EXPECT_EQ(Market().FindPlayer(6, 13), nullptr);
  EXPECT_EQ(Market().FindPlayer(99, 0), nullptr);
  EXPECT_EQ(Market().SellerName(99), "無所属");
  EXPECT_EQ(Market().SellerName(6), "C6");
  Market().RemovePlayer(6, 12);
  EXPECT_EQ(Club(6).Squad->Count(), 0);

  // The pool reuses the smallest free number.
  Tplayer& q = AddPlayer(6, 1);
  Market().AddFreeAgent(q);
  Market().AddFreeAgent(q);
  Market().RemovePlayer(99, 0);
  EXPECT_EQ(Market().AddFreeAgent(q), 0);
}

// ---- computer bids ------------------------------------------------------------------

TEST_F(MarketWorldTest, ComputerBidsTakeTheBestThenABargainButNeverTheCheapest) {
  // With every reference rating 0 the needs are (2, 30), (0, 0), (4, 0).
  Club(1).RoleRatings = {0, 0, 0, 0, 0};
  Club(1).Money = 1000;
  auto& L = Market().Listings;
  L.AddRow({9001, 9, 1, 100, 0, 0, 200, 0, 0});   // best all-round
  L.AddRow({9002, 9, 2, 100, 50, 0, 100, 0, 0});  // the keeper
  L.AddRow({9003, 9, 3, 100, 0, 0, 90, 0, 60});   // the attacker
  L.AddRow({9004, 9, 4, 10, 0, 0, 80, 0, 0});     // cheapest: never in the second pass
  L.AddRow({9005, 9, 5, 20, 0, 0, 70, 0, 0});     // the bargain
  L.AddRow({9006, 9, 6, 1001, 0, 0, 999, 0, 0});  // too dear
  L.AddRow({1007, 1, 7, 10, 0, 0, 999, 0, 0});    // his own player
  Market().ComputerBids(1);
  std::vector<int32_t> keys;
  for (int i = 0; i < Market().Bids.RowCount(); ++i) {
    keys.push_back(Market().Bids.GetValue(i, kBidKey));
    EXPECT_EQ(Market().Bids.GetValue(i, kBidBidder), 1);
    EXPECT_EQ(Market().Bids.GetValue(i, kBidAmount), L.GetValue(L.FindRow(0, keys.back()), kListPrice));
  }
  EXPECT_EQ(keys, (std::vector<int32_t>{9001, 9002, 9003, 9005}));
  EXPECT_EQ(L.RowCount(), 7);  // bidding lists nothing off

  // With a single affordable candidate the second pass has nobody to
  // choose from: one bid at most.
  Market().Bids.Clear();
  L.Clear();
  Club(2).RoleRatings = {0, 0, 0, 0, 0};
  Club(2).Money = 1000;
  L.AddRow({9001, 9, 1, 100, 99, 99, 200, 99, 99});
  Market().ComputerBids(2);
  ASSERT_EQ(Market().Bids.RowCount(), 1);
  EXPECT_EQ(Market().Bids.GetValue(0, kBidKey), 9001);

  // A candidate rated exactly the minimum (all-round 0 + 30) is good enough.
  Market().Bids.Clear();
  L.Clear();
  Club(3).RoleRatings = {1000, 1000, 0, 1000, 1000};
  Club(3).Money = 1000;
  L.AddRow({9001, 9, 1, 100, 0, 0, 30, 0, 0});
  Market().ComputerBids(3);
  EXPECT_EQ(Market().Bids.RowCount(), 1);
}

TEST_F(MarketWorldTest, GatherBidsOpensOneNegotiationPerListing) {
  Tplayer& p = AddPlayer(5, 7);
  Tplayer& q = AddPlayer(6, 3);
  p.SetAffinity(1, 31);
  p.SetAffinity(2, 32);
  q.SetAffinity(3, 33);
  Market().List(5, 7, p);
  Market().List(6, 3, q);
  Market().AddBid(5007, 5, 7, 100, 1);
  Market().AddBid(6003, 6, 3, 300, 3);
  Market().AddBid(5007, 5, 7, 100, 2);
  Market().GatherBids();
  EXPECT_EQ(Market().Bids.RowCount(), 0);
  EXPECT_EQ(Market().Listings.RowCount(), 0);
  ASSERT_EQ(Market().Negotiations.size(), 2u);
  const TIntgrid& first = Market().Negotiations[0];  // the larger amount first
  EXPECT_EQ(first.Rows[0].Values, (std::vector<int32_t>{6, 3}));
  EXPECT_EQ(first.Rows[1].Values, (std::vector<int32_t>{3, 300, 33}));
  const TIntgrid& second = Market().Negotiations[1];
  ASSERT_EQ(second.RowCount(), 3);
  EXPECT_EQ(second.Rows[1].Values, (std::vector<int32_t>{1, 100, 31}));
  EXPECT_EQ(second.Rows[2].Values, (std::vector<int32_t>{2, 100, 32}));
}

// ---- settlement -----------------------------------------------------------------------

class ResolveTest : public MarketWorldTest {
 protected:
  // Player 7 of club 5, listed and bid for by the given clubs at 500.
  Tplayer& Open(std::initializer_list<std::pair<int, int>> bidderAffinity, int seller = 5) {
    Tplayer& p = seller == kFreeAgentClub ? FreeAgent() : AddPlayer(seller, 7);
    int32_t number = seller == kFreeAgentClub ? 0 : 7;
    if (seller != kFreeAgentClub) Market().List(seller, number, p);
    for (auto [club, aff] : bidderAffinity) {
      p.SetAffinity(club, aff);
      Market().AddBid(seller * 1000 + number, seller, number, 500, club);
    }
    Market().GatherBids();
    return *Market().FindPlayer(seller, number);
  }
  Tplayer& FreeAgent() {
    Tplayer& src = AddPlayer(20, 40);
    Market().AddFreeAgent(src);
    Club(20).Squad->RemoveNumber(40);
    return *Market().FreeAgents->PlayerByNumber(0);
  }
};

TEST_F(ResolveTest, ThePlayerJoinsTheClubHeLikesBest) {
  Club(2).Money = 600;
  std::string name = Open({{1, 30}, {2, 50}, {3, 40}}).Name;
  Market().Resolve();
  EXPECT_TRUE(Market().Negotiations.empty());
  EXPECT_EQ(Club(5).Squad->Count(), 0);
  ASSERT_EQ(Club(2).Squad->Count(), 1);
  const Tplayer* moved = Club(2).Squad->PlayerByNumber(1);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->Name, name);
  EXPECT_EQ(moved->TeamIndex, 2);
  const auto& last = moved->History.Rows.back().Values;
  EXPECT_EQ(last, (std::vector<int32_t>{game_->Year, 2, 500, 0, 0, 0, 0}));
  EXPECT_EQ(Club(2).Money, 100);
  EXPECT_EQ(Club(5).Money, 10500);
  EXPECT_EQ(Club(1).Money, 10000);
  ASSERT_EQ(Market().Report.size(), 2u);
  EXPECT_EQ(SplitCommaText(Market().Report[1]), (std::vector<std::string>{name, "C5", "→", "500", "C2"}));
}

TEST_F(ResolveTest, EqualBestAffinityIsDrawnAtRandom) {
  std::set<int> winners;
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    for (int c = 1; c <= 3; ++c) Club(c).Squad->Clear();
    Open({{1, 50}, {2, 50}, {3, 49}});
    RandSeed(seed);
    RandomState st = GetRandomState();
    const int expected = Random(2) == 0 ? 1 : 2;
    SetRandomState(st);
    Market().Resolve();
    EXPECT_EQ(Club(expected).Squad->Count(), 1) << "seed " << seed;
    EXPECT_EQ(Club(3).Squad->Count(), 0);
    winners.insert(expected);
  }
  EXPECT_EQ(winners.size(), 2u);
}

TEST_F(ResolveTest, AnAffinityOfNineMovesNobody) {
  std::string name = Open({{1, 9}, {2, 9}}).Name;
  Market().Resolve();
  EXPECT_EQ(Club(5).Squad->Count(), 1);
  EXPECT_EQ(Club(1).Money, 10000);
  EXPECT_EQ(SplitCommaText(Market().Report.back()), (std::vector<std::string>{name, "C5", "→", "", "残留"}));
  EXPECT_EQ(Market().Listings.RowCount(), 0);  // a club player is not listed again
}

TEST_F(ResolveTest, AnAffinityOfTenIsEnoughToMove) {
  Open({{1, 10}, {2, 9}});
  Market().Resolve();
  EXPECT_EQ(Club(5).Squad->Count(), 0);
  EXPECT_EQ(Club(1).Squad->Count(), 1);
  EXPECT_EQ(Club(1).Money, 10000 - 500);
}

TEST_F(ResolveTest, BidderWhoCannotPayDropsOutAndTheFreeAgentIsListedAgain) {
  Club(1).Money = 499;
  Open({{1, 80}}, kFreeAgentClub);
  ASSERT_EQ(Market().Listings.RowCount(), 0);
  Market().Resolve();
  EXPECT_EQ(Market().FreeAgents->Count(), 1);
  ASSERT_EQ(Market().Listings.RowCount(), 1);
  EXPECT_EQ(Market().Listings.GetValue(0, kListKey), 99000);
  EXPECT_EQ(SplitCommaText(Market().Report.back())[1], "無所属");
  EXPECT_EQ(SplitCommaText(Market().Report.back())[4], "残留");
}

TEST_F(ResolveTest, AFullSquadDropsOut) {
  for (int n = 1; n <= 50; ++n) AddPlayer(1, n);
  Open({{1, 80}, {2, 20}});
  Market().Resolve();
  EXPECT_EQ(Club(1).Squad->Count(), 50);
  EXPECT_EQ(Club(2).Squad->Count(), 1);
}

TEST_F(ResolveTest, AFreeAgentPaysNoSeller) {
  Open({{3, 60}}, kFreeAgentClub);
  Market().Resolve();
  EXPECT_EQ(Club(3).Money, 9500);
  EXPECT_EQ(Market().FreeAgents->Count(), 0);
  EXPECT_EQ(Market().Listings.RowCount(), 0);
  EXPECT_EQ(Club(3).Squad->Count(), 1);
}

TEST_F(ResolveTest, SellerHoldingOutTriplesAndMayWinHisPlayerBack) {
  Tplayer& p = Open({{1, 40}, {2, 30}});
  p.SetAffinity(5, 60);
  Market().SellerDemands(0);
  const TIntgrid& neg = Market().Negotiations[0];
  ASSERT_EQ(neg.RowCount(), 4);
  EXPECT_EQ(neg.GetValue(1, kNegAmount), 1500);
  EXPECT_EQ(neg.GetValue(2, kNegAmount), 1500);
  EXPECT_EQ(neg.Rows[3].Values, (std::vector<int32_t>{5, 0, 60}));
  Market().Resolve();
  // He likes his club best: +10 toward it, and the best bidder still gets him.
  EXPECT_EQ(Club(1).Squad->Count(), 1);
  EXPECT_EQ(Club(1).Squad->PlayerByNumber(1)->GetAffinity(5), 70);
  EXPECT_EQ(Club(1).Money, 8500);
  EXPECT_EQ(Club(5).Money, 11500);
}

TEST_F(ResolveTest, WhereTheSellerRanksMovesTheAttachment) {
  struct Case {
    int sellerAffinity;
    int expectedDelta;
  };
  // Four bidders at 50, 40, 30, 20 and the seller: rows 0..4.
  for (Case c : {Case{45, -5}, Case{35, 5}, Case{25, 5}, Case{10, -10}, Case{55, 10}}) {
    for (int k = 1; k <= 4; ++k) Club(k).Money = 0;  // nobody can pay: the player stays
    Club(5).Squad->Clear();
    Tplayer& p = Open({{1, 50}, {2, 40}, {3, 30}, {4, 20}});
    p.SetAffinity(5, c.sellerAffinity);
    Market().SellerDemands(0);
    Market().Resolve();
    EXPECT_EQ(Club(5).Squad->PlayerByNumber(7)->GetAffinity(5), c.sellerAffinity + c.expectedDelta)
        << "seller affinity " << c.sellerAffinity;
    Market().Report.resize(1);
  }
}

TEST_F(ResolveTest, ComputerSellersHoldOutWhenPoorOrForYoungStarters) {
  // Money 100: always.
  Club(5).Money = 100;
  Tplayer& p = Open({{1, 50}});
  p.Age = 40;  // growth phase 5
  Market().SellerReactions();
  EXPECT_EQ(Market().Negotiations[0].RowCount(), 3);
  EXPECT_EQ(Market().Negotiations[0].GetValue(1, kNegAmount), 1500);
  Market().Negotiations.clear();

  // Money 101 and growth phase 4: let go.
  Club(5).Money = 101;
  Club(5).RoleRatings = {999, 999, 999, 999, 999};
  p.Age = p.PeakAge + 2;
  Market().List(5, 7, p);
  Market().AddBid(5007, 5, 7, 500, 1);
  Market().GatherBids();
  Market().SellerReactions();
  EXPECT_EQ(Market().Negotiations[0].RowCount(), 2);

  // Growth phase 3 in the starting eleven: held.
  p.Age = p.PeakAge;
  Club(5).Slots[4] = 7;
  Market().SellerReactions();
  EXPECT_EQ(Market().Negotiations[0].RowCount(), 3);
  Market().Negotiations.clear();

  // Growth phase 3 on the bench, but better than the club's needs: held.
  Club(5).Slots[4] = -1;
  Club(5).RoleRatings = {0, 0, 0, 0, 0};
  Market().List(5, 7, p);
  Market().AddBid(5007, 5, 7, 500, 1);
  Market().GatherBids();
  Market().SellerReactions();
  EXPECT_EQ(Market().Negotiations[0].RowCount(), 3);
  // The user's own players and free agents are never held by the market.
  Market().Negotiations.clear();
  AddPlayer(0, 3);
  Market().List(0, 3, *Club(0).Squad->PlayerByNumber(3));
  Market().AddBid(3, 0, 3, 500, 1);
  Market().GatherBids();
  Club(0).Money = 0;
  Market().SellerReactions();
  EXPECT_EQ(Market().Negotiations[0].RowCount(), 2);
}

// Why a settlement went as it did: the report's reason for a player who
// stayed, and the user's news about his bids and his players.
TEST_F(ResolveTest, TheMarketSaysWhyAPlayerStayedOrLeft) {
  struct Case {
    const char* what;
    std::initializer_list<std::pair<int, int>> bids;  // bidder, affinity
    int seller, userMoney;
    bool holdOut;
    const char* reason;  // in the report's reason ("" when he moved)
    const char* news;    // in the user's news ("" for none)
  };
  const Case cases[] = {
      {"the user's bid, too little affinity",
       {{0, 9}, {1, 5}},
       5,
       10000,
       false,
       "愛着が足りず",
       "の獲得は失敗しました"},
      {"the user cannot pay", {{0, 80}}, 5, 400, false, "払えるクラブがありません", "資金が500に足りません"},
      {"the seller held out: three times the price", {{0, 80}}, 5, 1000, true, "3倍", "資金が1500に足りません"},
      {"another club he likes more", {{0, 30}, {1, 60}}, 5, 10000, false, "", "はC1へ移籍しました"},
      {"the user held out and still lost him", {{1, 60}}, 0, 10000, true, "", "を引き止めましたが、C1へ移籍しました"},
      {"computer clubs only: no news", {{1, 5}}, 5, 10000, false, "愛着が足りず", ""},
  };
  for (const Case& c : cases) {
    Market().Report.resize(1);
    Market().ReportReasons.clear();
    Market().UserNews.clear();
    for (int k = 0; k <= 5; ++k) Club(k).Squad->Clear();
    Club(0).Money = c.userMoney;
    Tplayer& p = Open(c.bids, c.seller);
    p.SetAffinity(c.seller, 0);
    if (c.holdOut) Market().SellerDemands(0);
    Market().Resolve();
    ASSERT_EQ(Market().ReportReasons.size(), Market().Report.size()) << c.what;
    const std::string& reason = Market().ReportReasons.back();
    if (*c.reason)
      EXPECT_NE(reason.find(c.reason), std::string::npos) << c.what << ": " << reason;
    else
      EXPECT_EQ(reason, "") << c.what;
    if (*c.news) {
      ASSERT_EQ(Market().UserNews.size(), 1u) << c.what;
      EXPECT_NE(Market().UserNews[0].find(c.news), std::string::npos) << c.what << ": " << Market().UserNews[0];
    } else {
      EXPECT_TRUE(Market().UserNews.empty()) << c.what;
    }
  }
  // The report grid keeps its five columns and carries the reason hidden.
  TGrid g;
  Market().ShowReport(g);
  EXPECT_EQ(g.Cells(4, 1), "残留");
  EXPECT_LE(g.ColWidth(5), 0);
  EXPECT_NE(g.Cells(5, 1).find("愛着が足りず"), std::string::npos);
}

TEST_F(ResolveTest, TheUsersDoubledBidCountsTwiceTheLeader) {
  Tplayer& p = Open({{1, 40}});
  p.SetAffinity(0, 45);
  Market().DoubleBid(0);
  EXPECT_EQ(Market().Negotiations[0].Rows[2].Values, (std::vector<int32_t>{0, 1000, 45}));
  Market().Resolve();
  EXPECT_EQ(Club(0).Squad->Count(), 1);
  EXPECT_EQ(Club(0).Money, 9000);
}

TEST_F(MarketWorldTest, WeeklyRoundSettlesLastWeeksBidsAndWeekNineEmptiesTheList) {
  for (int n = 1; n <= 30; ++n) {
    Tplayer& p = AddPlayer(5 + n % 4, n, 20 + n);
    p.Affinity.fill(60);
    Market().List(5 + n % 4, n, p);
  }
  for (int c = 1; c < kClubCount; ++c) Club(c).RoleRatings = {0, 0, 0, 0, 0};
  Market().WeeklyRound(8);
  EXPECT_FALSE(Market().Negotiations.empty());
  EXPECT_GT(Market().Listings.RowCount(), 0);
  const std::size_t open = Market().Negotiations.size();
  Market().WeeklyRound(9);
  EXPECT_EQ(Market().Listings.RowCount(), 0);
  EXPECT_GE(Market().Report.size(), 1 + open);
  Market().WeeklyRound(10);  // settles week 9's negotiations, opens none
  EXPECT_TRUE(Market().Negotiations.empty());
  int players = 0;  // fillers (aged 40) aside, nobody is lost or doubled
  for (int c = 0; c < kClubCount; ++c)
    for (int i = 0; i < Club(c).Squad->Count(); ++i) players += Club(c).Squad->PlayerAt(i)->Age < 40 ? 1 : 0;
  EXPECT_EQ(players, 30);
}

// ---- grids ------------------------------------------------------------------------------

TEST_F(MarketWorldTest, TransferListShowsWhatTheUserCanBuy) {
  Club(0).Money = 1000;
  Tplayer& cheap = AddPlayer(7, 4, 20);
  cheap.BaseValue = 100;
  Tplayer& dear = AddPlayer(7, 5, 90);
  dear.BaseValue = 90000;
  Tplayer& own = AddPlayer(0, 8, 20);
  Market().List(7, 4, cheap);
  Market().List(7, 5, dear);
  Market().List(0, 8, own);
  Market().AddFreeAgent(cheap);
  TGrid g;
  Market().ShowListings(g);
  ASSERT_EQ(g.ColCount(), 22);
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.FixedRows, 1);
  EXPECT_EQ(g.Cells(1, 0), "Team");
  EXPECT_EQ(g.Cells(21, 0), "offer");
  EXPECT_EQ(g.Cells(0, 1), "7004");
  EXPECT_EQ(g.Cells(1, 1), "C7");
  EXPECT_EQ(g.Cells(2, 1), "7");
  EXPECT_EQ(g.Cells(3, 1), "4");
  EXPECT_EQ(g.Cells(4, 1), cheap.Name);
  EXPECT_EQ(g.Cells(18, 1), std::to_string(cheap.Wage() + cheap.Value(*game_)));
  EXPECT_EQ(g.Cells(1, 2), "無所属");
  EXPECT_EQ(g.Cells(2, 2), "99");
  EXPECT_EQ(g.Cells(21, 1), "");
  EXPECT_EQ(g.ColWidth(4), 100);

  Club(0).Money = 0;
  Market().ShowListings(g);
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.FixedRows, 0);
}

TEST_F(MarketWorldTest, OfferGridShowsEveryBidAndFlagsTheUsersPlayers) {
  Tplayer& mine = AddPlayer(0, 9);
  Tplayer& theirs = AddPlayer(4, 2);
  Market().List(0, 9, mine);
  Market().List(4, 2, theirs);
  Market().AddBid(9, 0, 9, 700, 3);
  Market().AddBid(9, 0, 9, 700, 23);
  Market().AddBid(4002, 4, 2, 400, 0);
  Market().GatherBids();
  TGrid g;
  EXPECT_TRUE(Market().ShowNegotiations(g));
  ASSERT_EQ(g.ColCount(), 44);
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cells(0, 1), "C0");
  EXPECT_EQ(g.Cells(1, 1), "0");
  EXPECT_EQ(g.Cells(2, 1), "9");
  EXPECT_EQ(g.Cells(3, 1), mine.Name);
  EXPECT_EQ(g.Cells(17, 1), "700");
  EXPECT_EQ(g.Cells(23, 1), "700");
  EXPECT_EQ(g.Cells(43, 1), "700");
  EXPECT_EQ(g.Cells(20, 1), "");
  EXPECT_EQ(g.Cells(20, 2), "400");  // the user's own bid
  EXPECT_EQ(g.ColWidth(30), 2);

  Market().Negotiations.erase(Market().Negotiations.begin());
  EXPECT_FALSE(Market().ShowNegotiations(g));
}

TEST(TradeGrid, ReportSortsByAmountWithStaysLast) {
  Ttrade t;
  t.Report.push_back("a,C1,→,,残留");
  t.Report.push_back("b,C1,→,300,C2");
  t.Report.push_back("c,C1,→,900,C3");
  TGrid g;
  t.ShowReport(g);
  ASSERT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cells(0, 0), "選手");
  EXPECT_EQ(g.Cells(0, 1), "c");
  EXPECT_EQ(g.Cells(0, 2), "b");
  EXPECT_EQ(g.Cells(0, 3), "a");
  EXPECT_EQ(g.ColWidth(0), 100);
}
