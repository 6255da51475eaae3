#include <gtest/gtest.h>

#include <set>

#include "WorldTestUtil.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "world/Uleague.h"

namespace {

std::set<int32_t> EntrantSet(const Tcup& c) {
  std::set<int32_t> s;
  for (int r = 0; r < c.EntrantCount(); ++r) s.insert(c.ClubOfRow(r));
  return s;
}

// Plays a round without the engine: the side `homeWins` says wins, matches
// decided from the last to the first as the cup does it.
void DecideRound(Tcup& cup, bool homeWins) {
  for (int g = cup.EntrantCount() / 2 - 1; g >= 0; --g) cup.DecideMatch(g, homeWins ? 2 : 1, 1);
}

}  // namespace

TEST(CupDraw, RoundOneHoldsDivisionsTwoAndThreeWithTheUserFirst) {
  for (uint64_t seed : {1u, 7u, 12345u}) {
    TestWorld w(false, seed);
    Tcup cup;
    EXPECT_EQ(cup.Round, 1);
    ASSERT_EQ(cup.EntrantCount(), 16);
    EXPECT_EQ(EntrantSet(cup).size(), 16u);
    for (int r = 0; r < 16; ++r) {
      int d = w->DivisionOf(cup.ClubOfRow(r));
      // Division-3 clubs at home (even rows), division-2 clubs away.
      EXPECT_EQ(d, r % 2 == 0 ? 3 : 2) << "row " << r;
    }
    EXPECT_EQ(cup.ClubOfRow(0), 0);  // the user's club is in division 3, position 0
    EXPECT_EQ(cup.NextMatch().first, 0);
    EXPECT_EQ(cup.UserRound(), 1);
  }
}

TEST(CupDraw, UserInDivisionTwoIsInMatchZeroAway) {
  TestWorld w(false, 3);
  std::swap(w->Divisions[1][4], w->Divisions[2][0]);  // club 0 now in division 2
  Tcup cup;
  EXPECT_EQ(cup.ClubOfRow(1), 0);
  EXPECT_EQ(w->DivisionOf(cup.ClubOfRow(0)), 3);
  EXPECT_EQ(cup.UserCardText(), ",,A," + w->Team(cup.ClubOfRow(0)).ClubName);
}

TEST(CupRounds, DivisionOneUserEntersInRoundTwo) {
  TestWorld w(false, 4);
  std::swap(w->Divisions[0][0], w->Divisions[2][0]);  // club 0 in division 1
  Tcup cup;
  EXPECT_EQ(cup.NextMatch(), std::make_pair(-1, -1));
  EXPECT_EQ(cup.UserRound(), -1);
  EXPECT_EQ(cup.UserCardText(), "");
  DecideRound(cup, true);
  cup.CloseRound();
  EXPECT_EQ(cup.Round, 2);
  ASSERT_EQ(cup.EntrantCount(), 16);
  EXPECT_EQ(cup.UserRound(), 2);
  EXPECT_EQ(cup.ClubOfRow(1), 0);  // division-1 clubs play away
  for (int r = 0; r < 16; ++r) EXPECT_EQ(w->DivisionOf(cup.ClubOfRow(r)), r % 2 == 0 ? 3 : 1) << r;
}

TEST(CupRounds, DrawGoesToTheAwaySide) {
  TestWorld w(false, 5);
  Tcup cup;
  int32_t home = cup.ClubOfRow(2), away = cup.ClubOfRow(3);
  cup.DecideMatch(1, 1, 1);
  EXPECT_EQ(cup.ClubOfRow(2), away);
  int32_t home0 = cup.ClubOfRow(0), away0 = cup.ClubOfRow(1);
  cup.DecideMatch(0, 2, 1);
  EXPECT_EQ(cup.ClubOfRow(0), home0);
  EXPECT_EQ(cup.ClubOfRow(1), away);
  EXPECT_EQ(EntrantSet(cup).count(home), 0u);
  EXPECT_EQ(EntrantSet(cup).count(away0), 0u);
}

TEST(CupRounds, PrizesAndTheFinal) {
  TestWorld w(false, 6);
  Tcup cup;
  // Home sides win everything: the user's club (row 0 of round 1) wins it all
  // as long as the draws keep it at home; follow whoever is left.
  for (int round = 1; round <= 5; ++round) {
    EXPECT_EQ(cup.Round, round);
    DecideRound(cup, true);
    cup.CloseRound();
  }
  EXPECT_EQ(cup.Round, 6);
  ASSERT_EQ(cup.EntrantCount(), 1);
  int32_t winner = cup.ClubOfRow(0);
  int d = w->DivisionOf(winner);
  EXPECT_EQ(w->Team(winner).Money, d == 1 ? 2800 : 3000);
  EXPECT_EQ(cup.NextMatch(), std::make_pair(-1, -1));
  EXPECT_EQ(cup.UserRound(), winner == 0 ? 6 : -1);
  TGrid grid;
  grid.SetSize(1, 1);
  grid.Cells(0, 0) = "keep";
  cup.ShowCards(grid);
  EXPECT_EQ(grid.Cells(0, 0), "keep");
  // Closing again changes nothing.
  cup.CloseRound();
  EXPECT_EQ(cup.Round, 6);
  EXPECT_EQ(w->Team(winner).Money, d == 1 ? 2800 : 3000);

  // Every round-1 loser got nothing, every club the prizes of the rounds it survived.
  int32_t total = 0;
  for (int i = 0; i < kClubCount; ++i) total += w->Team(i).Money;
  EXPECT_EQ(total, 8 * 200 + 8 * 400 + 4 * 600 + 2 * 800 + 1000);
}

TEST(CupRounds, ReshuffleKeepsTheEntrantsAndTheUserFirst) {
  TestWorld w(false, 8);
  Tcup cup;
  DecideRound(cup, true);
  cup.CloseRound();
  DecideRound(cup, true);
  auto before = EntrantSet(cup);
  cup.CloseRound();
  EXPECT_EQ(cup.Round, 3);
  EXPECT_EQ(EntrantSet(cup), before);
  EXPECT_EQ(cup.EntrantCount(), 8);
  if (before.count(0)) {
    EXPECT_LE(cup.Entrants.FindRow(0, 0), 1);
  }
}

TEST(CupRounds, UserWatchedMatchAndResultsScreen) {
  TestWorld w(false, 9);
  Tcup cup;
  cup.Cards.clear();
  for (int f = 0; f < 8; ++f) cup.Cards.push_back("H,a" + std::to_string(f) + ",,b,A");
  cup.Results.assign(16, "");
  cup.Results[1] = "x";  // away scored once, home none
  int32_t away = cup.ClubOfRow(1);
  cup.RecordUserMatch("", "x", false);
  EXPECT_EQ(cup.ClubOfRow(0), away);
  EXPECT_EQ(cup.EntrantCount(), 15);

  TGrid grid;
  std::array<std::vector<std::string>, 8> memos;
  std::vector<std::string> message;
  cup.Results[4] = "p,q";
  cup.ShowResults(0, grid, memos, message);
  EXPECT_EQ(grid.Cells(1, 0), "a0");
  EXPECT_EQ(grid.Cells(2, 0), "0-1");
  EXPECT_EQ(grid.Tags(3, 0), kTagYellow);
  EXPECT_EQ(grid.Tags(1, 0), 0);
  EXPECT_EQ(grid.Cells(2, 2), "2-0");
  EXPECT_EQ(grid.Tags(1, 2), kTagYellow);
  EXPECT_EQ(grid.Tags(3, 1), kTagYellow);  // 0-0: the away side goes through
  ASSERT_EQ(message.size(), 4u);
  EXPECT_EQ(message[0], "カップ戦1回戦の結果です");
  EXPECT_EQ(message[1], "勝ち抜きチームには賞金200入ります");
  EXPECT_EQ(message[2], "引き分けはアウェーチームの勝ち抜けです");  // the 0-0 above
  cup.ShowResults(1, grid, memos, message);
  EXPECT_EQ(grid.Cells(1, 0), "a4");
  cup.Round = 4;
  cup.ShowResults(0, grid, memos, message);
  EXPECT_EQ(message[0], "カップ戦準決勝の結果です");
}

TEST(CupStats, AppearancesCountButNoGoalsOrRatings) {
  TestWorld w(false, 10);
  Tcup cup;
  int32_t n = w->Team(2).Squad->AddFiller(2, *w);
  Tplayer* p = w->Team(2).Squad->PlayerByNumber(n);
  TIntgrid stats;
  stats.AddRow({2, n, 90, 2, 1, 8});
  cup.ApplyMatchStats(stats);
  EXPECT_EQ(p->Games, 1);
  EXPECT_EQ(p->Goal, 0);
  EXPECT_EQ(p->Asist, 0);
  EXPECT_EQ(p->RatingSum, 0);
  EXPECT_EQ(p->ConditionDelta, 3);
}

TEST(CupStream, GoldenRoundTripAndDamage) {
  TestWorld w(false, 11);
  Tcup cup;
  TStream s;
  cup.SaveToStream(s);
  auto bytes = s.Bytes();
  // Round 1, then the table: 16 rows of one value.
  EXPECT_EQ(bytes[0], 1);
  Tcup back{Tcup::TNoDraw{}};
  TStream in(bytes);
  back.LoadFromStream(in);
  EXPECT_TRUE(in.AtEnd());
  TStream again;
  back.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), bytes);

  Tcup victim{Tcup::TNoDraw{}};
  TStream cut(std::vector<uint8_t>(bytes.begin(), bytes.end() - 2));
  EXPECT_THROW(victim.LoadFromStream(cut), StreamError);
  EXPECT_EQ(victim.EntrantCount(), 0);
  auto bad = bytes;
  bad[0] = 9;  // no such round
  TStream b(bad);
  EXPECT_THROW(victim.LoadFromStream(b), StreamError);
}

// The engine plays every match but the watched one; the screen then hands
// the user's result in.
TEST(CupWithEngine, WatchedRoundLeavesTheUserMatchToTheScreen) {
  TestWorld w(true, 31);
  Tcup cup;
  int calls = 0;
  cup.PlayRound(1, [&] { ++calls; });
  EXPECT_EQ(cup.FirstSimulated, 1);
  EXPECT_EQ(calls, 7 * (120 / 8 + 1));
  ASSERT_EQ(cup.Cards.size(), 8u);
  EXPECT_EQ(cup.Cards[0], "H," + w->Team(0).ClubName + ",," + w->Team(cup.ClubOfRow(1)).ClubName + ",A");
  EXPECT_EQ(cup.EntrantCount(), 9);  // seven decided, the user's pair still in
  EXPECT_EQ(cup.ClubOfRow(0), 0);
  EXPECT_EQ(cup.Results.size(), 16u);
  int32_t away = cup.ClubOfRow(1);
  cup.RecordUserMatch("01分　10 テスト", "", true);
  EXPECT_EQ(cup.EntrantCount(), 8);
  EXPECT_EQ(cup.Entrants.FindRow(0, away), -1);
  TGrid grid;
  std::array<std::vector<std::string>, 8> memos;
  std::vector<std::string> message;
  cup.ShowResults(0, grid, memos, message);
  EXPECT_EQ(grid.Cells(2, 0), "1-0");
  EXPECT_EQ(grid.Tags(1, 0), kTagYellow);
  cup.CloseRound();
  EXPECT_EQ(w->Team(0).Money, 300 + 200);
  TGrid cards;
  cup.ShowCards(cards);
  ASSERT_EQ(cards.RowCount(), 8);
  EXPECT_EQ(cards.Cells(2, 0), "VS");
  EXPECT_EQ(cards.Cells(1, 0), w->Team(cup.ClubOfRow(0)).ClubName);
}
