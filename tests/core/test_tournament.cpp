// Tournaments of VS files: the schedule, the table's order, determinism
// across threads and across a save in the middle, and refused files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "club/Ufile.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Uvtr.h"
#include "tests/core/SaveTestWorld.h"
#include "tests/core/TestData.h"
#include "world/Utournament.h"
#include "world/Uvsdata.h"

namespace {

// Exports clubs `first` .. `first + n - 1` of a seeded world as VS files
// "c0" .. and returns their paths.
std::vector<std::string> ExportClubs(int n, int first = 0, uint64_t seed = 31) {
  TestGame g(seed);
  std::vector<std::string> paths;
  for (int i = 0; i < n; ++i) {
    const std::string name = "c" + std::to_string(i);
    ExportVs(g->Team(first + i), "コメント" + std::to_string(i), name);
    paths.push_back(VsPath(name));
  }
  return paths;
}

// Results by (home, away): every other fixture a goalless draw.
void PlayScores(Ttournament& t, const std::map<std::pair<int, int>, std::pair<int, int>>& scores) {
  for (int k = t.Played(); k < static_cast<int>(t.Fixtures().size()); ++k) {
    const TTournamentFixture& f = t.Fixtures()[static_cast<std::size_t>(k)];
    TTournamentResult r;
    if (auto it = scores.find({f.Home, f.Away}); it != scores.end()) {
      r.HomeGoals = it->second.first;
      r.AwayGoals = it->second.second;
    } else if (auto jt = scores.find({f.Away, f.Home}); jt != scores.end()) {
      r.HomeGoals = jt->second.second;
      r.AwayGoals = jt->second.first;
    }
    t.AddResult(k, r);
  }
}

std::vector<int32_t> Order(const Ttournament& t) {
  std::vector<int32_t> out;
  for (const TTableRow& r : t.Table()) out.push_back(r.Entrant);
  return out;
}

}  // namespace

TEST(TournamentSchedule, EveryPairPerLegNoDoubleBookingBalancedVenues) {
  for (int legs = 1; legs <= 2; ++legs) {
    for (int n = 3; n <= 16; ++n) {
      SCOPED_TRACE("clubs " + std::to_string(n) + " legs " + std::to_string(legs));
      const std::vector<TTournamentFixture> fx = RoundRobin(n, legs);
      const int roundsPerLeg = n % 2 ? n : n - 1;
      ASSERT_EQ(static_cast<int>(fx.size()), legs * n * (n - 1) / 2);
      std::map<std::pair<int, int>, int> ordered;
      std::map<int, std::set<int>> busy;
      std::vector<std::array<int, 2>> venues(static_cast<std::size_t>(n) * 2, {0, 0});  // per leg: home, away
      int lastRound = 0;
      for (const TTournamentFixture& f : fx) {
        ASSERT_NE(f.Home, f.Away);
        ASSERT_GE(f.Round, lastRound);  // rounds ascending
        lastRound = f.Round;
        ++ordered[{f.Home, f.Away}];
        EXPECT_TRUE(busy[f.Round].insert(f.Home).second);
        EXPECT_TRUE(busy[f.Round].insert(f.Away).second);
        const int leg = f.Round / roundsPerLeg;
        ++venues[static_cast<std::size_t>(leg * n + f.Home)][0];
        ++venues[static_cast<std::size_t>(leg * n + f.Away)][1];
      }
      EXPECT_EQ(lastRound + 1, legs * roundsPerLeg);
      for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
          const int there = ordered[std::make_pair(a, b)], back = ordered[std::make_pair(b, a)];
          EXPECT_EQ(there + back, legs);
          if (legs == 2) {
            EXPECT_EQ(there, 1);  // once at each ground
          }
        }
      for (int i = 0; i < legs * n; ++i) EXPECT_LE(std::abs(venues[i][0] - venues[i][1]), 1) << "club " << i % n;
    }
  }
}

TEST(TournamentTable, TiesGoToHeadToHeadThenTheSeededDraw) {
  ScopedDataDir dir;
  const std::vector<std::string> paths = ExportClubs(4);
  // Two-way: A (0) and B (1) level on points, difference and goals; A beat B.
  // D (3) on top, C (2) last.
  {
    Ttournament t = Ttournament::Create(paths, 1, 5);
    PlayScores(t, {{{0, 1}, {1, 0}}, {{0, 2}, {0, 1}}, {{0, 3}, {1, 1}}, {{1, 2}, {2, 1}}, {{2, 3}, {0, 3}}});
    const std::vector<TTableRow> table = t.Table();
    EXPECT_EQ(Order(t), (std::vector<int32_t>{3, 0, 1, 2}));
    EXPECT_EQ(table[1].Points, table[2].Points);
    EXPECT_EQ(table[1].Difference(), table[2].Difference());
    EXPECT_EQ(table[1].GoalsFor, table[2].GoalsFor);
    EXPECT_EQ(table[0].Points, 5);
    EXPECT_EQ(table[0].Won + table[0].Drawn + table[0].Lost, 3);
    EXPECT_EQ(t.Champion(), 3);
  }
  // Three-way: A, B, C beat each other in a circle and D alike, so only the
  // draw can part them; it follows the seed and nothing else.
  const std::map<std::pair<int, int>, std::pair<int, int>> circle = {
      {{0, 1}, {1, 0}}, {{1, 2}, {1, 0}}, {{2, 0}, {1, 0}}, {{0, 3}, {1, 0}}, {{1, 3}, {1, 0}}, {{2, 3}, {1, 0}}};
  std::set<std::vector<int32_t>> orders;
  for (uint64_t seed = 1; seed <= 6; ++seed) {
    Ttournament t = Ttournament::Create(paths, 1, seed);
    PlayScores(t, circle);
    std::vector<int32_t> order = Order(t);
    EXPECT_EQ(order.back(), 3);
    EXPECT_EQ(std::set<int32_t>(order.begin(), order.end() - 1), (std::set<int32_t>{0, 1, 2}));
    Ttournament again = Ttournament::Create(paths, 1, seed);
    PlayScores(again, circle);
    EXPECT_EQ(Order(again), order);
    orders.insert(order);
  }
  EXPECT_GT(orders.size(), 1u);
}

TEST(TournamentPlay, SameBytesOnAnyThreadsAndAcrossASaveInTheMiddle) {
  ScopedDataDir dir;
  const std::vector<std::string> paths = ExportClubs(5, 2);
  RandSeed(99);
  const RandomState before = GetRandomState();

  Ttournament one = Ttournament::Create(paths, 1, 7);
  EXPECT_EQ(one.RoundCount(), 5);
  one.PlayNext(1000, 1);
  ASSERT_TRUE(one.Finished());
  Ttournament two = Ttournament::Create(paths, 1, 7);
  two.PlayNext(1000, 2);
  EXPECT_EQ(two.FileImage(), one.FileImage());
  // The caller's generator is left alone.
  EXPECT_EQ(GetRandomState().state, before.state);

  Ttournament part = Ttournament::Create(paths, 1, 7);
  part.SetFavourite(2);
  part.PlayNext(part.RoundRange(2).second, 2);
  EXPECT_EQ(part.CurrentRound(), 3);
  part.Save("mid");
  for (const std::string& p : paths) std::filesystem::remove(p);  // the file carries the clubs
  Ttournament resumed = Ttournament::Load("mid");
  EXPECT_EQ(resumed.Favourite(), 2);
  EXPECT_EQ(resumed.Played(), part.Played());
  resumed.PlayNext(1000, 2);
  resumed.SetFavourite(-1);
  EXPECT_EQ(resumed.FileImage(), one.FileImage());

  // A match played alone, recorded, is the match of the tournament: the
  // replay's last frame shows its score.
  TTournamentMatch m = one.PlayMatch(3, true);
  EXPECT_EQ(m.Result, one.Results()[3]);
  TmVTR replay;
  replay.ParseImage(m.Replay);
  ASSERT_EQ(replay.FrameCount(), kMatchTicks);
  EXPECT_EQ(replay.Frames.back().Goals(0), m.Result.HomeGoals);
  EXPECT_EQ(replay.Frames.back().Goals(1), m.Result.AwayGoals);
  // Scorers add up to the goals (but own goals).
  int goals = 0, scored = 0;
  for (const TTournamentResult& r : one.Results()) goals += r.HomeGoals + r.AwayGoals;
  for (const TScorerRow& s : one.Scorers()) scored += s.Goals;
  EXPECT_LE(scored, goals);
  EXPECT_GT(scored, 0);
}

TEST(TournamentFile, RefusedEntrantsAndDamagedFilesChangeNothing) {
  ScopedDataDir dir;
  std::vector<std::string> paths = ExportClubs(3);
  // The same file twice, too few clubs, a file that is not a club.
  EXPECT_THROW(Ttournament::Create({paths[0], paths[1], "data/vs/../vs/c0.vs"}, 1, 1), FileError);
  EXPECT_THROW(Ttournament::Create({paths[0], paths[1]}, 1, 1), VantorelError);
  EXPECT_THROW(Ttournament::Create(paths, 3, 1), VantorelError);
  WriteFileAtomic("data/vs/junk.vs", std::vector<uint8_t>(40, 7));
  try {
    Ttournament::Create({paths[0], paths[1], "data/vs/junk.vs"}, 1, 1);
    ADD_FAILURE() << "junk accepted";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), "data/vs/junk.vs");
  }
  // Two clubs of one name are told apart by their files.
  std::filesystem::copy_file(paths[0], "data/vs/twin.vs");
  Ttournament twins = Ttournament::Create({paths[0], paths[1], "data/vs/twin.vs"}, 1, 1);
  EXPECT_NE(twins.Entrants()[0].Label, twins.Entrants()[2].Label);
  EXPECT_NE(twins.Entrants()[2].Label.find("twin"), std::string::npos);

  Ttournament t = Ttournament::Create(paths, 2, 3);
  t.PlayNext(2, 1);
  t.Save("t");
  const std::vector<uint8_t> good = ReadWholeFile(TournamentPath("t"));
  EXPECT_EQ(Ttournament::ParseImage(good).FileImage(), good);
  Ttournament held = Ttournament::Load("t");
  const RandomState before = GetRandomState();
  auto refused = [&](std::vector<uint8_t> image, const std::string& what) {
    WriteFileAtomic(TournamentPath("bad"), image);
    try {
      held = Ttournament::Load("bad");
      ADD_FAILURE() << what << ": accepted";
    } catch (const FileError& e) {
      EXPECT_EQ(e.Path(), TournamentPath("bad")) << what;
    } catch (const std::exception& e) {
      ADD_FAILURE() << what << ": " << e.what();
    }
    EXPECT_EQ(held.FileImage(), good) << what;
    EXPECT_EQ(GetRandomState().state, before.state) << what;
  };
  for (std::size_t cut :
       {std::size_t{0}, std::size_t{3}, std::size_t{9}, std::size_t{30}, good.size() / 2, good.size() - 1})
    refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)),
            "cut at " + std::to_string(cut));
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  refused(longer, "a byte too many");
  std::vector<uint8_t> flipped = good;
  flipped[4] = 'X';
  refused(flipped, "not a tournament");
  std::vector<uint8_t> huge = good;
  huge[24] = 0x7f;  // the club count
  refused(huge, "club count");
}
