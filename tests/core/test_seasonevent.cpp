#include <gtest/gtest.h>

#include "MarketTestWorld.h"
#include "world/Useasonevent.h"

namespace {

// Gives the player a finished season with `games` for club 0 and an open row.
void SetLastSeason(Tplayer& p, int32_t games, int32_t club = 0) {
  p.History.Clear();
  p.History.AddRow({1, club, -1, games, 0, 0, 0});
  p.History.AddRow({2, 0, -1, 0, 0, 0, 0});
}

// The first seed from `from` whose first draw Random(n) gives `value`.
uint64_t SeedWhereFirstDraw(int32_t n, int32_t value, uint64_t from = 1) {
  for (uint64_t seed = from;; ++seed) {
    RandSeed(seed);
    if (Random(n) == value) return seed;
  }
}

}  // namespace

class SeasonEventTest : public MarketWorldTest {
 protected:
  void SetUp() override {
    MarketWorldTest::SetUp();
    game_->Year = 2;
    // Twelve ordinary players: 15 games last season, happy, young.
    for (int n = 1; n <= 12; ++n) SetLastSeason(AddPlayer(0, n, 40), 15);
  }
  void MoveUserToTopDivision() {
    std::swap(game_->Divisions[0][0], game_->Divisions[2][0]);  // club 16 down, club 0 up
  }
  Tseasonevent ev;
};

TEST_F(SeasonEventTest, TheSequenceDependsOnHowTheSeasonEnded) {
  ev.Start();
  ASSERT_EQ(ev.Lines.size(), 1u);
  EXPECT_EQ(ev.Lines[0], "年末年始のC0の情報です");
  EXPECT_EQ(ev.EventStep, 0);
  MoveUserToTopDivision();
  ev.Start();
  EXPECT_EQ(ev.EventStep, 100);
  game_->WonTopDivision = true;
  ev.Start();
  EXPECT_EQ(ev.EventStep, 200);
}

TEST_F(SeasonEventTest, AQuietLowerDivisionClubSeesTheEndAtOnce) {
  ev.Start();
  EXPECT_EQ(ev.Next(), TseasonEventKind::End);
  EXPECT_TRUE(ev.Finished);
  EXPECT_FALSE(ev.GridVisible);
  EXPECT_EQ(ev.Lines, (std::vector<std::string>{"以上で終了です", "来季も頑張りましょう"}));
  EXPECT_EQ(ev.EventStep, 4);
  // Clicking on after the end changes nothing.
  EXPECT_EQ(ev.Next(), TseasonEventKind::End);
  EXPECT_EQ(ev.EventStep, 4);
  EXPECT_EQ(Club(0).Squad->Count(), 12);
}

TEST_F(SeasonEventTest, DeparturesAreListedAndTheyGoToTheMarket) {
  Tplayer& unhappy = *Club(0).Squad->PlayerByNumber(5);
  unhappy.SetAffinity(0, 5);
  const std::string name = unhappy.Name;
  ev.Start();
  EXPECT_EQ(ev.Next(), TseasonEventKind::Departures);
  EXPECT_TRUE(ev.GridVisible);
  ASSERT_EQ(ev.Gridpfree.RowCount(), 2);
  EXPECT_EQ(ev.Gridpfree.FixedRows, 1);
  EXPECT_EQ(ev.Gridpfree.Cells(0, 1), "5");
  EXPECT_EQ(ev.Gridpfree.Cells(1, 1), name);
  EXPECT_EQ(ev.Gridpfree.Cells(2, 1), "→");
  EXPECT_EQ(ev.Gridpfree.Cells(3, 1), "退団");
  EXPECT_EQ(ev.Lines, (std::vector<std::string>{"我がチームの引退・退団者情報です"}));
  EXPECT_EQ(Club(0).Squad->IndexOfNumber(5), -1);
  ASSERT_EQ(Market().FreeAgents->Count(), 1);
  EXPECT_EQ(Market().FreeAgents->PlayerAt(0)->Name, name);
  EXPECT_EQ(ev.EventStep, 1);
}

TEST_F(SeasonEventTest, ComebackRaisesAFifthAndStopsAt99) {
  Tplayer& bench = *Club(0).Squad->PlayerByNumber(3);
  SetLastSeason(bench, 9);
  bench.Speed = 90;
  bench.Height = 50;
  ASSERT_TRUE(ev.RunComeback());
  EXPECT_EQ(bench.Speed, 99);
  EXPECT_EQ(bench.Height, 60);
  EXPECT_EQ(ev.Lines, (std::vector<std::string>{"昨季ほとんど活躍できなかった" + bench.Name + "ですが",
                                                "レギュラー取りのために燃えています"}));
  EXPECT_EQ(ev.Picture.Kind, TseasonEventKind::Comeback);
  // Everybody else played 10 or more: no candidate once he is gone.
  SetLastSeason(bench, 10);
  ev.Lines.clear();
  EXPECT_FALSE(ev.RunComeback());
  EXPECT_TRUE(ev.Lines.empty());
}

TEST_F(SeasonEventTest, ComplacencyTakesAFifthFromARegular) {
  EXPECT_FALSE(ev.RunComplacency());
  Tplayer& star = *Club(0).Squad->PlayerByNumber(9);
  SetLastSeason(star, 20);
  ASSERT_TRUE(ev.RunComplacency());
  EXPECT_EQ(star.Speed, 32);
  EXPECT_EQ(ev.Lines[0], star.Name + "は調子に乗って練習をしてないようです");
  EXPECT_EQ(ev.Lines[1], "来期活躍してくれるかどうか心配です");
}

TEST_F(SeasonEventTest, AYoungerBrotherJoinsTheYouthTeam) {
  EXPECT_FALSE(ev.RunYoungerBrother());
  Tplayer& elder = *Club(0).Squad->PlayerByNumber(7);
  elder.Age = 25;
  elder.History.Clear();
  elder.History.AddRow({1, 0, -1, 35, 0, 0, 0});
  elder.History.AddRow({2, 4, 900, 40, 0, 0, 0});  // a spell elsewhere does not count
  elder.History.AddRow({3, 0, 300, 25, 0, 0, 0});
  elder.History.AddRow({4, 0, -1, 0, 0, 0, 0});
  // A player who came from another club is never a candidate.
  Tplayer& bought = *Club(0).Squad->PlayerByNumber(8);
  bought.Age = 25;
  bought.History.Clear();
  bought.History.AddRow({1, 4, -1, 90, 0, 0, 0});
  bought.History.AddRow({2, 0, 500, 0, 0, 0, 0});
  elder.Speed = 80;
  ASSERT_TRUE(ev.RunYoungerBrother());
  ASSERT_EQ(Club(0).Youth->Count(), 1);
  EXPECT_EQ(Club(0).Youth->NumberAt(0), 200);
  const Tplayer& brother = *Club(0).Youth->PlayerAt(0);
  EXPECT_GE(brother.Age, 16);
  EXPECT_LE(brother.Age, 19);
  EXPECT_GE(brother.Speed, 80 * 2 / 10 + 1);
  EXPECT_LE(brother.Speed, 80 * 8 / 10 + 1);
  EXPECT_EQ(ev.Lines[0], elder.Name + "の弟" + brother.Name + "がユースチームに入団しました");
  EXPECT_EQ(ev.Lines[1], "一部では兄以上の素材という評価がされています");
  // Not enough games (59) for club 0: no brother.
  elder.History.SetValue(0, 3, 34);
  EXPECT_FALSE(ev.RunYoungerBrother());
  // Sixty games again: an elder of exactly 20 has a brother, one of 19 not.
  elder.History.SetValue(0, 3, 35);
  elder.Age = 19;
  EXPECT_FALSE(ev.RunYoungerBrother());
  elder.Age = 20;
  EXPECT_TRUE(ev.RunYoungerBrother());
  EXPECT_EQ(Club(0).Youth->Count(), 2);
}

TEST_F(SeasonEventTest, NamelessSigningNeeds1500AndASuccessfulDraw) {
  MoveUserToTopDivision();
  const uint64_t seed = SeedWhereFirstDraw(3, 0);
  for (int32_t money : {1499, 1500}) {
    Club(0).Money = money;
    Tseasonevent ev;
    ev.EventStep = 104;
    RandSeed(seed);
    TseasonEventKind kind = ev.Next();
    if (money == 1499) {
      EXPECT_NE(kind, TseasonEventKind::NamelessSigning);
      EXPECT_GE(Club(0).Money, 1499);  // only the investment may have added
      EXPECT_EQ(Club(0).Squad->Count(), 12);
    } else {
      ASSERT_EQ(kind, TseasonEventKind::NamelessSigning);
      EXPECT_EQ(ev.EventStep, 105);
      EXPECT_EQ(Club(0).Money, 500);
      ASSERT_EQ(Club(0).Squad->Count(), 13);
      const Tplayer& signing = *Club(0).Squad->PlayerByNumber(13);
      EXPECT_GE(signing.Age, 20);
      EXPECT_LE(signing.Age, 29);
      EXPECT_EQ(ev.Lines[0], "フロントが1000で" + signing.Name + "を獲得しました");
      EXPECT_EQ(ev.Lines[1], "まったくの無名選手であるため、実力は未知数です");
    }
  }
}

TEST_F(SeasonEventTest, InvestmentPaysByTheDraw) {
  struct Case {
    int32_t draw;
    int32_t amount;
    const char* line;
  };
  for (Case c :
       {Case{0, 5000, "石油王が5000の投資をしてくれました"}, Case{90, 2000, "投資家が2000の投資をしてくれました"},
        Case{99, 2000, "投資家が2000の投資をしてくれました"}, Case{1, 10, "サポーターから10の寄付金を頂きました"},
        Case{89, 10, "サポーターから10の寄付金を頂きました"}}) {
    RandSeed(SeedWhereFirstDraw(100, c.draw));
    Club(0).Money = 100;
    ev.Lines.clear();
    ASSERT_TRUE(ev.RunInvestment());
    EXPECT_EQ(Club(0).Money, 100 + c.amount) << c.draw;
    EXPECT_EQ(ev.Lines, (std::vector<std::string>{c.line}));
  }
}

TEST_F(SeasonEventTest, CheapSaleGoesToTheRichestRivalAndPaysTheUserNothing) {
  MoveUserToTopDivision();
  game_->WonTopDivision = true;
  for (int pos = 1; pos < 8; ++pos) Club(game_->Divisions[0][pos]).Money = 0;
  EXPECT_EQ(CheapSaleBuyer(), -1);
  EXPECT_FALSE(ev.RunCheapSale());
  const int32_t rich = game_->Divisions[0][3];
  const int32_t alsoRich = game_->Divisions[0][5];
  Club(rich).Money = 5000;
  Club(alsoRich).Money = 5000;  // a tie goes to the higher position
  EXPECT_EQ(CheapSaleBuyer(), rich);

  // Only young enough players cheap enough for the buyer: value div 2 + 2000 below 5000.
  for (int n = 1; n <= 12; ++n) Club(0).Squad->PlayerByNumber(n)->BaseValue = 99999;
  Tplayer& p = *Club(0).Squad->PlayerByNumber(4);
  p.BaseValue = 4000;  // value 4800 (young, division 1)
  const int32_t price = p.Value(*game_) / 2;
  ASSERT_LT(price + 2000, 5000);
  const std::string name = p.Name;
  ASSERT_TRUE(ev.RunCheapSale());
  EXPECT_EQ(Club(rich).Money, 5000 - price);
  EXPECT_EQ(Club(0).Money, 10000);
  EXPECT_EQ(Club(0).Squad->IndexOfNumber(4), -1);
  ASSERT_EQ(Club(rich).Squad->Count(), 1);
  EXPECT_EQ(Club(rich).Squad->PlayerAt(0)->Name, name);
  EXPECT_EQ(ev.Picture.EmblemClub, rich);
  EXPECT_EQ(ev.Lines[0],
            name + "をフロントが格安の" + std::to_string(price) + "でC" + std::to_string(rich) + "に放出しました");
  EXPECT_EQ(ev.Lines[1], "裏で一体何があったのでしょうか");
}

// A buyer with fifty players takes nobody, however cheap: the sale is off
// and the user keeps his squad.
TEST_F(SeasonEventTest, DeliberatelyNoCheapSaleIntoAFullSquad) {
  MoveUserToTopDivision();
  game_->WonTopDivision = true;
  for (int pos = 1; pos < 8; ++pos) Club(game_->Divisions[0][pos]).Money = 0;
  const int32_t rich = game_->Divisions[0][3];
  Club(rich).Money = 100000;
  for (int32_t n = 1; n <= kMaxSquad; ++n) AddPlayer(rich, n);
  EXPECT_FALSE(ev.RunCheapSale());
  EXPECT_EQ(Club(rich).Squad->Count(), kMaxSquad);
  EXPECT_EQ(Club(rich).Money, 100000);
  EXPECT_EQ(Club(0).Squad->Count(), 12);
  EXPECT_TRUE(ev.Lines.empty());
  // One place free, and the same sale goes through.
  Club(rich).Release(kMaxSquad, *game_);
  EXPECT_TRUE(ev.RunCheapSale());
  EXPECT_EQ(Club(0).Squad->Count(), 11);
}

TEST_F(SeasonEventTest, AVeteranRetiresAfterTheTitle) {
  EXPECT_FALSE(ev.RunVeteranRetires());
  Tplayer& vet = *Club(0).Squad->PlayerByNumber(2);
  vet.Age = vet.PeakAge + 1;  // growth phase 3
  SetLastSeason(vet, 18);
  const std::string name = vet.Name;
  ASSERT_TRUE(ev.RunVeteranRetires());
  EXPECT_EQ(Club(0).Squad->IndexOfNumber(2), -1);
  EXPECT_EQ(ev.Lines, (std::vector<std::string>{"優勝を機に" + name + "が引退するようです",
                                                "惜しいですが、残りの戦力で連覇を目指しましょう"}));
}

TEST_F(SeasonEventTest, ChampionsSequenceRunsToItsEndWithSeededDraws) {
  MoveUserToTopDivision();
  game_->WonTopDivision = true;
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    RandSeed(seed);
    Tseasonevent e;
    e.Start();
    int clicks = 0;
    while (!e.Finished && clicks < 10) {
      TseasonEventKind k = e.Next();
      EXPECT_NE(k, TseasonEventKind::YoungerBrother);  // not in the champion's sequence
      EXPECT_NE(k, TseasonEventKind::Investment);
      EXPECT_FALSE(e.Lines.empty());
      ++clicks;
    }
    EXPECT_TRUE(e.Finished);
    EXPECT_EQ(e.EventStep, 206);
  }
}
