// Many seasons in a row with the user's club on autopilot: the world must
// stay within its rules week after week (money, reputations, squads,
// divisions), and a save at every season's start must read back to the
// same bytes. VANTOREL_LONGRUN_SEASONS sets the number of seasons (a
// release build runs twenty in well under a minute); the default keeps the
// sanitizer build quick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
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
#include "world/Useasonevent.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

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
  Tseasonevent ev;
  ev.Start();
  for (int i = 0; i < 1000 && !ev.Finished; ++i) ev.Next();
  ASSERT_TRUE(ev.Finished) << "the season events did not end";
}

std::string Where(const Tgamemain& g) {
  return "year " + std::to_string(g.Year) + " week " + std::to_string(g.Week);
}

void CheckPlayer(const Tplayer& p, int32_t club, const std::string& where) {
  for (int i = 0; i < 6; ++i) {
    EXPECT_GE(p.Ability(i), 0) << where << " " << p.Name;
    EXPECT_LE(p.Ability(i), 99) << where << " " << p.Name;
  }
  EXPECT_EQ(p.TeamIndex, club) << where << " " << p.Name;
  EXPECT_GE(p.Age, 14) << where << " " << p.Name;
  EXPECT_LE(p.Age, 50) << where << " " << p.Name;
  EXPECT_GE(p.Fatigue, 0) << where << " " << p.Name;
  EXPECT_GE(p.InjuryWeeks, 0) << where << " " << p.Name;
  EXPECT_GE(p.Mtype, 0) << where;
  EXPECT_LE(p.Mtype, 20) << where;
  for (int32_t a : p.Affinity) {
    EXPECT_GE(a, 0) << where << " " << p.Name;
    EXPECT_LE(a, 100) << where << " " << p.Name;
  }
}

// Numbers unique within a list; returns them.
std::set<int32_t> CheckNumbers(const Tplayerlist& list, const std::string& what) {
  std::set<int32_t> seen;
  for (const auto& e : list.Entries) {
    EXPECT_TRUE(seen.insert(e.Number).second) << what << ": number " << e.Number << " twice";
    EXPECT_GE(e.Number, 0) << what;
  }
  return seen;
}

void CheckWorld(const Tgamemain& g) {
  const std::string where = Where(g);
  // Divisions: a permutation of the 24 clubs, eight in each.
  std::set<int32_t> clubs;
  for (const auto& div : g.Divisions)
    for (int32_t c : div) {
      EXPECT_GE(c, 0) << where;
      EXPECT_LT(c, kClubCount) << where;
      clubs.insert(c);
    }
  EXPECT_EQ(clubs.size(), static_cast<std::size_t>(kClubCount)) << where;

  for (int c = 0; c < kClubCount; ++c) {
    // A reputation moves two thirds of the way back from what the season
    // earned (1 .. 24 a season): it never leaves 1 .. 72.
    EXPECT_GE(g.Reputation[c], 1) << where << " club " << c;
    EXPECT_LE(g.Reputation[c], 72) << where << " club " << c;

    const Tteam& t = g.Team(c);
    const std::string club = where + " " + t.ClubName;
    EXPECT_GT(t.Money, -1000000) << club;
    EXPECT_LT(t.Money, 100000000) << club;
    EXPECT_GE(t.Squad->Count(), kStarterCount) << club;  // fillers keep eleven
    EXPECT_LE(t.Squad->Count(), kMaxSquad) << club;
    // Seven youths a season, each kept until he is past 19.
    EXPECT_LE(t.Youth->Count(), 7 * 7) << club;
    const std::set<int32_t> numbers = CheckNumbers(*t.Squad, club + " squad");
    CheckNumbers(*t.Youth, club + " youth");
    for (const auto& e : t.Squad->Entries) CheckPlayer(*e.Player, c, club);
    for (const auto& e : t.Youth->Entries) CheckPlayer(*e.Player, c, club);
    // Every filled line-up slot names a squad player, none twice.
    std::set<int32_t> slotted;
    for (int32_t n : t.Slots) {
      if (n < 0) continue;
      EXPECT_TRUE(numbers.count(n)) << club << ": slot names number " << n;
      EXPECT_TRUE(slotted.insert(n).second) << club << ": number " << n << " in two slots";
    }
  }
  if (g.Market)
    for (const auto& e : g.Market->FreeAgents->Entries) CheckPlayer(*e.Player, kFreeAgentClub, where + " free agent");
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
    CheckWorld(g);
    // The start of a season saves and reads back to the same bytes.
    const std::vector<uint8_t> body = g.SaveBody();
    {
      Tgamemain copy(Tgamemain::TNoSeed{});
      TStream in(body);
      copy.LoadFromStream(in, true);
      EXPECT_EQ(copy.SaveBody(), body) << Where(g);
    }
    for (int w = 0; w < kWeeksPerSeason; ++w) {
      AutopilotWeek(g);
      if (HasFatalFailure()) return;
      if (g.Week == 12 || g.Week == 30) CheckWorld(g);
    }
    if (HasFailure()) break;  // one season's report is enough
  }
  CheckWorld(g);
  EXPECT_EQ(g.Year, 1 + seasons);
  SetRandomState(saved);
}

}  // namespace
