// The season outlook and the match rehearsal play copies of the world on
// worker threads: they must leave the game, its generator and its files
// exactly as they were, and give the same odds for the same seed whatever
// the number of threads.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "WorldTestUtil.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "world/Uautopilot.h"
#include "world/Uleague.h"
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

// The odds that sharpen as runs finish: every report is the outlook of the
// first k runs, and the last is the one-shot outlook, whatever the threads
// and the batch size.
TEST(Outlook, ReportsAreTheOutlooksOfTheFirstRunsAndTheLastIsTheWhole) {
  TestWorld w(true, 11);
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 46);
  const TSeasonOutlook whole = SeasonOutlook(*w, {7, 2, 5});
  const TSeasonOutlook firstThree = SeasonOutlook(*w, {3, 1, 5});
  for (const int threads : {1, 2})
    for (const int batch : {1, 3, 7, 50}) {
      std::vector<TSeasonOutlook> reports;
      const TSeasonOutlook last =
          SeasonOutlook(*w, {7, threads, 5, batch}, nullptr, [&](const TSeasonOutlook& o) { reports.push_back(o); });
      SCOPED_TRACE(testing::Message() << threads << " threads, batch " << batch);
      EXPECT_TRUE(SameOdds(last, whole));
      ASSERT_FALSE(reports.empty());
      EXPECT_TRUE(SameOdds(reports.back(), whole));
      std::vector<int> counts;
      for (const TSeasonOutlook& r : reports) counts.push_back(r.Runs);
      std::vector<int> expected;
      for (int k = batch; k < 7; k += batch) expected.push_back(k);
      expected.push_back(7);
      EXPECT_EQ(counts, expected);
      for (const TSeasonOutlook& r : reports) {
        if (r.Runs == 3) {
          EXPECT_TRUE(SameOdds(r, firstThree));
        }
      }
    }

  // Going on from the first three runs, or from all seven, plays only the
  // rest and gives the same whole; from another seed or more runs than asked
  // for, it is refused.
  for (const int threads : {1, 2})
    for (const TSeasonOutlook* from : {&firstThree, &whole}) {
      TOutlookControl control;
      TOutlookOptions options{7, threads, 5};
      options.From = from;
      EXPECT_TRUE(SameOdds(SeasonOutlook(*w, options, &control), whole));
      EXPECT_EQ(control.Done.load(), 7 - from->Runs);
    }
  for (const TOutlookOptions& refused :
       {TOutlookOptions{7, 1, 6, 10, &firstThree}, TOutlookOptions{2, 1, 5, 10, &firstThree}})
    EXPECT_THROW(SeasonOutlook(*w, refused), VantorelError);
}

// キャンセル while the seasons run: the call ends with TOutlookCancelled, the
// game and its generator as they were; the odds reported so far are whole
// outlooks of fewer runs.
TEST(Outlook, CancelledLeavesTheGameAloneAndKeepsTheReportsSoFar) {
  TestWorld w(true, 12);
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 44);
  const std::vector<uint8_t> before = w->SaveBody();
  const RandomState draws = GetRandomState();
  TOutlookControl control;
  std::vector<int> reported;
  EXPECT_THROW(SeasonOutlook(*w, {40, 2, 9, 1}, &control,
                             [&](const TSeasonOutlook& o) {
                               reported.push_back(o.Runs);
                               control.Cancel = true;
                             }),
               TOutlookCancelled);
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), 1);
  EXPECT_LT(control.Done.load(), 40);
  EXPECT_EQ(w->SaveBody(), before);
  const RandomState now = GetRandomState();
  EXPECT_TRUE(now.state == draws.state && now.inc == draws.inc);
}

// The stop flag is looked at inside the week, not only between weeks: a
// week's matches call the hook several times each, and what it throws ends
// the week on the spot.
TEST(Outlook, AWeekOfMatchesCallsItsHookDuringEveryMatch) {
  TestWorld w(true, 13);
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 12);
  int calls = 0;
  PlayAutopilotWeek(*w, {}, [&] { ++calls; });
  EXPECT_GE(calls, 3 * 4 * 5);  // twelve league matches, several calls each
  struct Stop {};
  EXPECT_THROW(PlayAutopilotWeek(*w, {}, [] { throw Stop{}; }), Stop);
  EXPECT_EQ(w->Week, 13);  // the week was not advanced
}

// After a cup exit the next fixture is the next league match, not "none".
TEST(Outlook, TheNextFixtureAfterACupExitIsTheLeaguesNext) {
  TestWorld w(true, 4);
  w->Market = std::make_unique<Ttrade>();
  EXPECT_FALSE(NextUserFixture(*w));
  EXPECT_EQ(NoFixtureText(*w), "次の試合はまだ決まっていません");
  PlayUntilWeek(*w, 29);
  ASSERT_EQ(w->NextHome, -1) << "the user's club should be out of the cup by week 29";
  ASSERT_LT(w->Cup->Entrants.FindRow(0, kUserClub), 0);
  const std::optional<TFixture> next = NextUserFixture(*w);
  ASSERT_TRUE(next);
  const auto league = w->Leagues[w->DivisionOf(kUserClub) - 1]->NextMatch();
  EXPECT_EQ(next->Week, 32);
  EXPECT_FALSE(next->Cup);
  EXPECT_EQ(std::make_pair(next->Home, next->Away), league);
  const TRehearsal r = RehearseNextMatch(*w, {20, 2, 1});
  EXPECT_FALSE(r.Cup);
  EXPECT_EQ(r.HomeClub, league.first);
  EXPECT_EQ(r.RunGoals.size(), 20u);
  // Past the last league week and out of the cup, the season is over for him.
  PlayUntilWeek(*w, 48);
  EXPECT_FALSE(NextUserFixture(*w));
  EXPECT_EQ(NoFixtureText(*w), "今シーズンの試合はもうありません");
}

// The ± of an odds figure: the 95 % Wilson half-width, never zero.
TEST(Outlook, OddsMargin) {
  EXPECT_NEAR(OddsMargin(0.5, 100), 0.0962, 0.0005);
  EXPECT_NEAR(OddsMargin(0.0, 10), 0.1391, 0.0005);  // no run agreed with it, yet not certain
  EXPECT_GT(OddsMargin(0.3, 50), OddsMargin(0.3, 200));
}

}  // namespace
