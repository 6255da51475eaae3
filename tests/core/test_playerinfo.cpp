#include <gtest/gtest.h>

#include "MarketTestWorld.h"
#include "world/Uplayerinfo.h"

namespace {

using Row = std::array<std::string, 7>;

TEST(PlayerCardRules, FigureWidthFollowsFatigue) {
  struct Case {
    int32_t fatigue;
    int width;
    const char* why;
  } cases[] = {
      {0, 160, "fresh"},
      {1, 157, "three pixels a point"},
      {20, 100, "end of the first band"},
      {21, 100, "flat band"},
      {39, 100, "flat band"},
      {40, 100, "second slope starts level"},
      {79, 61, "last of the slope"},
      {80, 60, "exhausted"},
      {900, 60, "any more"},
      {-1, 60, "a damaged record is drawn thin, not wide"},
  };
  for (const Case& c : cases) EXPECT_EQ(FigureWidthByFatigue(c.fatigue), c.width) << c.fatigue << ": " << c.why;
}

TEST(PlayerCardRules, BodyColourFollowsForm) {
  struct Case {
    int32_t condition;
    int32_t colour;
  } cases[] = {
      {-20, kTagBlue}, {-11, kTagBlue},  {-10, kTagNavy}, {-1, kTagNavy}, {0, kFigureCream},
      {1, kTagMaroon}, {10, kTagMaroon}, {11, kTagRed},   {20, kTagRed},
  };
  for (const Case& c : cases) EXPECT_EQ(FigureColourByCondition(c.condition), c.colour) << c.condition;
}

TEST(PlayerCardRules, CareerRatingHasAPointAfterTheFirstOfThreeDigits) {
  const std::pair<int32_t, const char*> cases[] = {
      {652, "6.52"}, {95, "0.95"}, {5, "0.05"}, {0, "0.00"}, {100, "1.00"}, {999, "9.99"}, {-5, "-0.05"},
  };
  for (const auto& [rating, text] : cases) EXPECT_EQ(HistoryRatingText(rating), text) << rating;
}

class PlayerCardTest : public MarketWorldTest {};

TEST_F(PlayerCardTest, ASquadPlayersCardShowsHisDataKicksFormAndCareer) {
  game_->Year = 3;
  Tplayer& p = AddPlayer(3, 7, 40, 13);
  p.Name = "山田　太郎";
  p.Age = 24;  // four years before his peak: young, worth 6/5, and club 3 plays in division 3
  p.BaseValue = 500;
  p.Speed = 55;
  p.LastSeason = {50, 40, 40, 40, 40, 40};
  p.SeasonBefore = {45, 39, 38, 37, 36, 35};
  p.Choice1 = kChoiceDribble;
  p.Choice2 = kChoiceShortPass;
  p.Choice3 = kChoiceLongPass;
  p.Choice4 = kChoiceShot;
  p.Leg = 0;
  p.Condition = 5;
  p.Fatigue = 79;
  p.Games = 25;
  p.Goal = 2;
  p.Asist = 1;
  p.RatingSum = 163;  // 6.52 a match
  p.History.Clear();
  p.History.AddRow({1, kNoClub, kTradeOrdinary, 3, 0, 0, 95});
  p.History.AddRow({2, 5, kTradeYouth, 20, 4, 2, 652});
  p.History.AddRow({3, 3, 1200, 0, 0, 0, 0});
  p.History.AddRow({3, 30, -1, 1, 0});  // a short row naming a club this world lacks

  std::optional<TPlayerCard> info = FindPlayerCard(*game_, 3, 7);
  ASSERT_TRUE(info);
  EXPECT_FALSE(info->FreeAgent);
  const std::array<std::string, kInfoDataRows> data = {"C3", "山田　太郎", "24", "480", "22",  "AM/N",
                                                       "7",  "25",         "2",  "1",   "6.52"};
  EXPECT_EQ(info->Data, data);
  EXPECT_EQ(info->Current, (std::array<int32_t, 6>{55, 40, 40, 40, 40, 40}));
  EXPECT_EQ(info->LastSeason, p.LastSeason);
  EXPECT_EQ(info->SeasonBefore, p.SeasonBefore);
  EXPECT_EQ(info->Kicks, (std::array<std::string, 4>{"ドリブル", "ショートパス", "ロングパス", "シュート"}));
  EXPECT_EQ(info->Comment, std::vector<std::string>{"まだまだこれからの選手です"});
  // Left-footed, in good form, tired.
  EXPECT_EQ(info->LeftFootColour, kTagRed);
  EXPECT_EQ(info->RightFootColour, kFigureGrey);
  EXPECT_EQ(info->BodyColour, kTagMaroon);
  EXPECT_EQ(info->CrossColour, kTagMaroon);
  EXPECT_EQ(info->FigureWidth, 61);
  // Newest first; a youth product shows "ユ", an ordinary start nothing.
  const std::vector<Row> career = {
      {"3", "30", "", "1", "0", "", ""},
      {"3", "C3", "1200", "0", "0", "0", "0.00"},
      {"2", "C5", "ユ", "20", "4", "2", "6.52"},
      {"1", "フリー", "", "3", "0", "0", "0.95"},
  };
  EXPECT_EQ(info->History, career);
}

TEST_F(PlayerCardTest, AnInjuredPlayerIsWhiteWithARedCrossAndAnInjuryLine) {
  Tplayer& p = AddPlayer(0, 9);
  p.Age = 31;
  p.PeakAge = 27;  // four years past: declining
  p.Leg = 1;
  p.Condition = -15;
  p.InjuryWeeks = 3;
  p.Fatigue = 0;
  std::optional<TPlayerCard> info = FindPlayerCard(*game_, 0, 9);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Comment, (std::vector<std::string>{"もう衰えていくだけでしょう", "全治3週間の怪我中"}));
  EXPECT_EQ(info->BodyColour, kTagWhite);
  EXPECT_EQ(info->CrossColour, kTagRed);
  EXPECT_EQ(info->RightFootColour, kTagRed);
  EXPECT_EQ(info->LeftFootColour, kFigureGrey);
  EXPECT_EQ(info->FigureWidth, 160);
  EXPECT_EQ(info->Data[kInfoRate], "0.00");
}

TEST_F(PlayerCardTest, AFreeAgentHasNoClubAndAbsentPlayersHaveNoCard) {
  Tplayer& p = AddPlayer(4, 12);
  p.History.Clear();
  p.History.AddRow({1, 4, kTradeOrdinary, 0, 0, 0, 0});
  p.History.AddRow({1, kNoClub, kTradeOrdinary, 0, 0, 0, 0});
  const int32_t n = Market().AddFreeAgent(p);
  std::optional<TPlayerCard> info = FindPlayerCard(*game_, kNoClub, n);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->FreeAgent);
  EXPECT_EQ(info->Club, kNoClub);
  EXPECT_EQ(info->Data[kInfoTeam], "フリー");
  EXPECT_EQ(info->Data[kInfoNumber], std::to_string(n));
  ASSERT_EQ(info->History.size(), 2u);
  EXPECT_EQ(info->History[0][1], "フリー");
  EXPECT_EQ(info->History[1][1], "C4");

  EXPECT_FALSE(FindPlayerCard(*game_, 4, 13));           // no such number
  EXPECT_FALSE(FindPlayerCard(*game_, kNoClub, n + 1));  // not in the pool
  EXPECT_FALSE(FindPlayerCard(*game_, 24, 12));          // no such club
  EXPECT_FALSE(FindPlayerCard(*game_, -1, 12));
  game_->Market.reset();  // after the transfer weeks
  EXPECT_FALSE(FindPlayerCard(*game_, kNoClub, n));
}

}  // namespace
