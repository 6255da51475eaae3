// The season outlook and the match rehearsal play copies of the world on
// worker threads: they must leave the game, its generator and its files
// exactly as they were, and give the same odds for the same seed whatever
// the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "WorldTestUtil.h"
#include "club/Urandom.h"
#include "world/Uautopilot.h"
#include "world/Uoutlook.h"
#include "world/Utrade.h"

namespace {

std::vector<int32_t> NextDraws(int n) {
  std::vector<int32_t> v;
  for (int i = 0; i < n; ++i) v.push_back(Random(1000000));
  return v;
}

void PlayUntilWeek(Tgamemain& g, int32_t week) {
  while (g.Week != week) PlayAutopilotWeek(g);
}

bool SameOdds(const TSeasonOutlook& a, const TSeasonOutlook& b) {
  for (int c = 0; c < kClubCount; ++c) {
    const TClubOdds &x = a.Clubs[c], &y = b.Clubs[c];
    if (x.Position != y.Position || x.Promotion != y.Promotion || x.Relegation != y.Relegation || x.Cup != y.Cup ||
        x.ExpectedPoints != y.ExpectedPoints)
      return false;
  }
  return a.UserMoney == b.UserMoney;
}

TEST(Outlook, LeavesTheGameAloneAndGivesTheSameOddsOnAnyNumberOfThreads) {
  TestWorld w(true, 11);
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 46);
  const std::vector<uint8_t> before = w->SaveBody();
  const RandomState draws = GetRandomState();

  TOutlookControl control;
  const TSeasonOutlook one = SeasonOutlook(*w, {6, 1, 99}, &control);
  const TSeasonOutlook two = SeasonOutlook(*w, {6, 2, 99});
  EXPECT_EQ(control.Done.load(), 6);
  EXPECT_EQ(w->SaveBody(), before);
  EXPECT_EQ(GameState, w.game.get());
  const std::vector<int32_t> after = NextDraws(100);
  SetRandomState(draws);
  EXPECT_EQ(NextDraws(100), after);

  EXPECT_TRUE(SameOdds(one, two));
  EXPECT_FALSE(SameOdds(one, SeasonOutlook(*w, {6, 2, 100})));  // another seed, other seasons

  // Every club ends somewhere in its division, and every place of a division
  // is taken by exactly one club in every run.
  std::array<std::array<double, kClubsPerDivision>, kDivisionCount> byPlace{};
  for (const TClubOdds& c : one.Clubs) {
    double sum = 0;
    for (int p = 0; p < kClubsPerDivision; ++p) {
      sum += c.Position[p];
      byPlace[c.Division - 1][p] += c.Position[p];
    }
    EXPECT_NEAR(sum, 1.0, 1e-12) << "club " << c.Club;
    EXPECT_EQ(c.Division, w->DivisionOf(c.Club));
  }
  for (const auto& division : byPlace)
    for (double p : division) EXPECT_NEAR(p, 1.0, 1e-12);

  // When every match is played, the outlook is certain.
  PlayUntilWeek(*w, kWeeksPerSeason);
  const TSeasonOutlook o = SeasonOutlook(*w, {3, 2, 1});
  int promoted = 0, relegated = 0, cupWinners = 0;
  for (const TClubOdds& c : o.Clubs) {
    for (double p : c.Position) EXPECT_TRUE(p == 0.0 || p == 1.0);
    EXPECT_TRUE(c.Promotion == 0.0 || c.Promotion == 1.0);
    EXPECT_TRUE(c.Relegation == 0.0 || c.Relegation == 1.0);
    promoted += c.Promotion == 1.0;
    relegated += c.Relegation == 1.0;
    cupWinners += c.Cup == 1.0;
    EXPECT_EQ(c.Promotion, c.Division > 1 ? c.Position[0] + c.Position[1] : 0.0) << "club " << c.Club;
    EXPECT_EQ(c.Relegation, c.Division < 3 ? c.Position[6] + c.Position[7] : 0.0) << "club " << c.Club;
  }
  EXPECT_EQ(promoted, 4);
  EXPECT_EQ(relegated, 4);
  EXPECT_EQ(cupWinners, 1);
}

TEST(Outlook, RehearsalOfTheNextMatch) {
  TestWorld w(true, 3);
  w->Market = std::make_unique<Ttrade>();
  EXPECT_THROW(RehearseNextMatch(*w, {}), VantorelError);  // no fixture before the season
  PlayUntilWeek(*w, 20);
  const std::vector<uint8_t> before = w->SaveBody();
  const RandomState draws = GetRandomState();
  const TRehearsal one = RehearseNextMatch(*w, {40, 1, 8});
  const TRehearsal two = RehearseNextMatch(*w, {40, 2, 8});
  EXPECT_EQ(w->SaveBody(), before);
  const RandomState now = GetRandomState();
  EXPECT_TRUE(now.state == draws.state && now.inc == draws.inc);

  EXPECT_TRUE(one.HomeClub == kUserClub || one.AwayClub == kUserClub);
  EXPECT_EQ(one.HomeClub, w->NextHome);
  EXPECT_NEAR(one.Win + one.Draw + one.Loss, 1.0, 1e-12);
  EXPECT_EQ(one.Win, two.Win);
  EXPECT_EQ(one.MeanHomeGoals, two.MeanHomeGoals);
  ASSERT_EQ(one.Scores.size(), two.Scores.size());
  double shown = 0;
  for (std::size_t i = 0; i < one.Scores.size(); ++i) {
    EXPECT_EQ(one.Scores[i].HomeGoals, two.Scores[i].HomeGoals);
    EXPECT_EQ(one.Scores[i].AwayGoals, two.Scores[i].AwayGoals);
    EXPECT_LE(one.Scores[i].Probability, one.Scores[i > 0 ? i - 1 : 0].Probability);
    shown += one.Scores[i].Probability;
  }
  EXPECT_LE(one.Scores.size(), 10u);
  EXPECT_LE(shown, 1.0 + 1e-12);
  // The odds are the user's: a level score is a draw, neither a win nor a
  // loss, and the likeliest scores shown never add up to more than each.
  const bool userHome = one.HomeClub == kUserClub;
  double won = 0, drawn = 0, lost = 0;
  for (const TScoreOdds& sc : one.Scores) {
    const int32_t own = userHome ? sc.HomeGoals : sc.AwayGoals, their = userHome ? sc.AwayGoals : sc.HomeGoals;
    (own > their ? won : own == their ? drawn : lost) += sc.Probability;
  }
  EXPECT_GT(drawn, 0.0);  // this rehearsal has level scores among the likeliest
  EXPECT_LE(won, one.Win + 1e-12);
  EXPECT_LE(drawn, one.Draw + 1e-12);
  EXPECT_LE(lost, one.Loss + 1e-12);
  for (const TScorerOdds& s : one.Scorers) {
    EXPECT_FALSE(s.Name.empty());
    EXPECT_GE(s.MeanGoals, s.Probability);
  }
}

}  // namespace
