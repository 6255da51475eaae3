// The season outlook and the match rehearsal: the rest of the season, or the
// user's next match, played many times on copies of the world to give the
// odds of every outcome. Neither touches the game: the runs play on worlds
// read from the game's saved bytes, in worker threads that each have their
// own random generator and their own GameState, so the game, its generator
// and its files are exactly as they were. Each run is seeded from the
// outlook's seed and the run's index, so the same seed gives the same odds
// byte for byte, whatever the number of threads.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "world/Ugamemain.h"

// Progress and cancelling, shared with the thread that waits (a dialog polls
// Done, the runs finished so far; setting Cancel makes every worker stop at
// its next match, well within a tenth of a second, and the call throw
// TOutlookCancelled).
struct TOutlookControl {
  std::atomic<int> Done{0};
  std::atomic<int> Total{0};  // set by callers that only know it once they start (the assistant)
  std::atomic<bool> Cancel{false};
};

class TOutlookCancelled : public std::runtime_error {
 public:
  TOutlookCancelled() : std::runtime_error("cancelled") {}
};

// The worker threads used when Threads is 0: one per core.
int DefaultOutlookThreads();
// The seed of run `run` of an outlook or rehearsal seeded with `seed`.
uint64_t OutlookRunSeed(uint64_t seed, int run);

// Half the width of the 95 % Wilson score interval of a share p seen in
// `runs` runs: the "±" of an odds figure. Unlike p's own standard error it
// is not zero when every run agreed, so a handful of runs never looks sure.
double OddsMargin(double p, int runs);

struct TSeasonOutlook;

// The most runs an outlook plays.
constexpr int kMaxOutlookRuns = 100000;

struct TOutlookOptions {
  int Runs = 200;   // 1 .. kMaxOutlookRuns
  int Threads = 0;  // 0: DefaultOutlookThreads()
  uint64_t Seed = 0;
  int Batch = 10;  // runs per report (1 .. Runs); see TOutlookReport
  // An outlook of the same game and seed to go on from: its runs (at most
  // Runs) are taken as played and only the rest are, so the result is the
  // one-shot outlook of Runs runs. VantorelError for one of another seed,
  // moment or division table.
  const TSeasonOutlook* From = nullptr;
};

// One club's odds at the season's end.
struct TClubOdds {
  int32_t Club = 0;
  int32_t Division = 0;                              // 1..3, where the club plays this season
  std::array<double, kClubsPerDivision> Position{};  // final position 1..8
  double Promotion = 0;
  double Relegation = 0;
  double Cup = 0;  // wins the cup
  double ExpectedPoints = 0;
};

// The whole numbers the odds are made from, summed over the runs: the same
// runs give the same counts in any order, so an outlook can go on from them.
struct TOutlookCounts {
  std::array<std::array<int32_t, kClubsPerDivision>, kClubCount> Positions{};
  std::array<int32_t, kClubCount> Promoted{}, Relegated{}, Cups{};
  std::array<int64_t, kClubCount> Points{};
  int64_t Money = 0;
};

struct TSeasonOutlook {
  int32_t Year = 0;
  int32_t Week = 0;
  int Runs = 0;
  uint64_t Seed = 0;
  std::array<TClubOdds, kClubCount> Clubs{};  // by club index
  // The user's club's money after the season's end step (prize money in,
  // before the season's events).
  double UserMoney = 0;
  TOutlookCounts Counts;  // of the Runs runs
};

// The clubs of division 1..3 in the order they are shown: the likeliest
// points first, equal ones by club index.
std::vector<const TClubOdds*> OddsOfDivision(const TSeasonOutlook& outlook, int32_t division);

// The odds so far while an outlook runs: the outlook of its first k runs,
// exactly what an outlook of k runs with the same seed gives, each time k
// reaches a multiple of Batch and once more when all runs are in. Called on
// a worker thread, one call at a time, k rising; it must be quick (copy the
// odds and return) and must not throw.
using TOutlookReport = std::function<void(const TSeasonOutlook&)>;

// Plays the rest of the running season Runs times from the game's present
// moment, the user's club as the autopilot plays it. The result is the same
// with or without reports, whatever the thread count and batch size.
TSeasonOutlook SeasonOutlook(const Tgamemain& game, const TOutlookOptions& options, TOutlookControl* control = nullptr,
                             const TOutlookReport& report = {});
// The same from a saved game body (Tgamemain::SaveBody), for callers that
// took the snapshot on another thread.
TSeasonOutlook SeasonOutlookOfBody(const std::vector<uint8_t>& body, const TOutlookOptions& options,
                                   TOutlookControl* control = nullptr, const TOutlookReport& report = {});

// The user's next match: the first week from the game's week on in which
// his club plays, in the league or, while he is still in it, the cup. None
// before the season's fixtures are drawn (weeks 1 .. 11) and once his last
// match of the season is played.
struct TFixture {
  int32_t Home = -1;
  int32_t Away = -1;
  int32_t Week = 0;
  bool Cup = false;
};
std::optional<TFixture> NextUserFixture(const Tgamemain& game);
// Why there is no next fixture, in the words the screens show.
std::string NoFixtureText(const Tgamemain& game);

struct TRehearsalOptions {
  int Runs = 1000;  // 1 .. 1000000
  int Threads = 0;
  uint64_t Seed = 0;
};

struct TScoreOdds {
  int32_t HomeGoals = 0;
  int32_t AwayGoals = 0;
  double Probability = 0;
};

struct TScorerOdds {
  int32_t Number = 0;
  std::string Name;
  double Probability = 0;  // scores at least once
  double MeanGoals = 0;
};

struct TRehearsal {
  int32_t HomeClub = -1;
  int32_t AwayClub = -1;
  bool Cup = false;  // the next fixture is a cup match
  int Runs = 0;
  uint64_t Seed = 0;
  // From the user's side.
  double Win = 0;
  double Draw = 0;
  double Loss = 0;
  double MeanHomeGoals = 0;
  double MeanAwayGoals = 0;
  std::vector<TScoreOdds> Scores;    // the ten likeliest, likeliest first
  std::vector<TScorerOdds> Scorers;  // the user's players likeliest to score, at most five
  // Home and away goals of every run, by run index: runs of two rehearsals
  // with the same seed share their draws, so they can be compared run by run.
  std::vector<std::array<int16_t, 2>> RunGoals;
};

// Plays one fixture Runs times from the two sides' line-ups as
// Tteam::WriteLineup writes them; `user` is the club whose odds and scorers
// are given (its squad names the scorers). Run i is seeded from the seed and
// i alone.
TRehearsal RehearseLineups(const TFixture& fixture, const std::vector<uint8_t>& homeLineup,
                           const std::vector<uint8_t>& awayLineup, const Tteam& user, const TRehearsalOptions& options,
                           TOutlookControl* control = nullptr);
// A club's line-up as the match engine reads it; VantorelError when its
// starting eleven is incomplete.
std::vector<uint8_t> LineupBytes(const Tteam& club);

// Plays the user's next fixture (NextUserFixture) Runs times with both
// clubs' present line-ups. Throws VantorelError when there is no next
// fixture or a side's starting eleven is incomplete.
TRehearsal RehearseNextMatch(const Tgamemain& game, const TRehearsalOptions& options,
                             TOutlookControl* control = nullptr);
// The same from a saved game body.
TRehearsal RehearseNextMatchOfBody(const std::vector<uint8_t>& body, const TRehearsalOptions& options,
                                   TOutlookControl* control = nullptr);
