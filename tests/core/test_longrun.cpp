// Many seasons in a row with the user's club on autopilot: the world must
// keep every invariant a loaded file is held to (the same checks) and look
// like a world in play (ages, squad sizes, money), and a save at every
// season's start must read back, through those checks, to the same bytes. VANTOREL_LONGRUN_SEASONS sets the number of
// seasons (a release build runs twenty in well under a minute); the default keeps the sanitizer build quick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "SaveTestWorld.h"
#include "TestData.h"
#include "club/Ugrid.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Uautopilot.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"
#include "world/Uvsdata.h"
#include "world/Uworldcheck.h"

namespace {

int SeasonsToRun() {
  const char* v = std::getenv("VANTOREL_LONGRUN_SEASONS");
  int n = v ? std::atoi(v) : 0;
  return n > 0 ? n : 4;
}

// One press of NEXT as a player who leaves everything to the computer would
// make it: the autopilot's week, and the season events clicked through.
void AutopilotWeek(Tgamemain& g) {
  const bool seasonEnd = g.Week == kWeeksPerSeason;
  PlayAutopilotWeek(g);
  if (!seasonEnd) return;
  ASSERT_NO_THROW(ClickThroughSeasonEvents()) << "the season events did not end";
}

std::string Where(const Tgamemain& g) { return "year " + std::to_string(g.Year) + " week " + std::to_string(g.Week); }

// Beyond the invariants every loaded file is held to, what a world in play
// should look like: players of the club that holds them, of a playing age,
// squads within their bounds, money within what seasons of prizes and wages
// give.
void CheckPlayer(const Tplayer& p, int32_t club, const std::string& where) {
  EXPECT_EQ(p.TeamIndex, club) << where << " " << p.Name;
  EXPECT_GE(p.Age, 14) << where << " " << p.Name;
  EXPECT_LE(p.Age, 50) << where << " " << p.Name;
}

void CheckWorldInPlay(const Tgamemain& g) {
  const std::string where = Where(g);
  // The same checks a loaded save must pass.
  for (const TViolation& v : CheckWorld(g))
    ADD_FAILURE() << where << ": " << InvariantName(v.Invariant) << ": " << v.Text();
  for (int c = 0; c < kClubCount; ++c) {
    const Tteam& t = g.Team(c);
    const std::string club = where + " " + t.ClubName;
    EXPECT_GT(t.Money, -1000000) << club;
    EXPECT_LT(t.Money, 100000000) << club;
    EXPECT_LE(t.Squad->Count(), kMaxSquad) << club;
    // Seven youths a season, each kept until he is past 19.
    EXPECT_LE(t.Youth->Count(), 7 * 7) << club;
    for (const auto& e : t.Squad->Entries) CheckPlayer(*e.Player, c, club);
    for (const auto& e : t.Youth->Entries) CheckPlayer(*e.Player, c, club);
  }
  if (g.Market)
    for (const auto& e : g.Market->FreeAgents->Entries) CheckPlayer(*e.Player, kFreeAgentClub, where + " free agent");
}

// The save of a week reads back (through every invariant) to the same bytes.
void CheckSaveReadsBack(const Tgamemain& g) {
  const std::vector<uint8_t> body = g.SaveBody();
  Tgamemain copy(Tgamemain::TNoSeed{});
  TStream in(body);
  try {
    copy.LoadFromStream(in, true);
  } catch (const std::exception& e) {
    ADD_FAILURE() << Where(g) << ": the game's own save is refused: " << e.what();
    return;
  }
  EXPECT_EQ(copy.SaveBody(), body) << Where(g);
}

TEST(LongRun, SeasonsStayWithinTheirRules) {
  ScopedDataDir dir;
  const RandomState saved = GetRandomState();
  TestGame game(2026);
  Tgamemain& g = game.Get();
  const int seasons = SeasonsToRun();
  for (int s = 0; s < seasons; ++s) {
    ASSERT_EQ(g.Week, 1);
    // The user's club starts every season at the top of its division's list.
    const int32_t d = g.DivisionOf(kUserClub);
    ASSERT_GE(d, 1);
    EXPECT_EQ(g.TeamAt(d, 0), kUserClub) << Where(g);
    CheckWorldInPlay(g);
    CheckSaveReadsBack(g);
    for (int w = 0; w < kWeeksPerSeason; ++w) {
      AutopilotWeek(g);
      if (HasFatalFailure()) return;
      if (g.Week == 12 || g.Week == 30) CheckWorldInPlay(g);
    }
    if (HasFailure()) break;  // one season's report is enough
  }
  CheckWorldInPlay(g);
  EXPECT_EQ(g.Year, 1 + seasons);
  SetRandomState(saved);
}

// Whatever week of the pre-season or the first league weeks the game is
// saved in, and whatever the seed, the file it writes passes every
// invariant, and so does the user's club exported as a VS file once its
// eleven is complete. (The season's end is the long run's.)
TEST(LongRun, EverySaveTheGameWritesIsAccepted) {
  ScopedDataDir dir;
  const RandomState saved = GetRandomState();
  for (uint64_t seed : {3u, 4u, 5u}) {
    TestGame game(seed);
    Tgamemain& g = game.Get();
    while (g.Week <= 14) {
      CheckSaveReadsBack(g);
      if (g.Week == 2 || g.Week == 13) {
        Tteam& user = g.Team(kUserClub);
        user.AutoLineup(true);
        EXPECT_NO_THROW(ParseVsImage(MakeVsImage(user, "書き出し"), 1)) << Where(g);
      }
      AutopilotWeek(g);
      if (HasFatalFailure() || HasFailure()) break;
    }
  }
  SetRandomState(saved);
}

}  // namespace
