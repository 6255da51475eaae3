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
#include <stdexcept>
#include <string>
#include <vector>

#include "world/Ugamemain.h"

// Progress and cancelling, shared with the thread that waits (a dialog polls
// Done; setting Cancel makes the runs stop soon and the call throw
// TOutlookCancelled).
struct TOutlookControl {
  std::atomic<int> Done{0};
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

struct TOutlookOptions {
  int Runs = 200;   // 1 .. 100000
  int Threads = 0;  // 0: DefaultOutlookThreads()
  uint64_t Seed = 0;
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

struct TSeasonOutlook {
  int32_t Year = 0;
  int32_t Week = 0;
  int Runs = 0;
  uint64_t Seed = 0;
  std::array<TClubOdds, kClubCount> Clubs{};  // by club index
  // The user's club's money after the season's end step (prize money in,
  // before the season's events).
  double UserMoney = 0;
};

// The clubs of division 1..3 in the order they are shown: the likeliest
// points first, equal ones by club index.
std::vector<const TClubOdds*> OddsOfDivision(const TSeasonOutlook& outlook, int32_t division);

// Plays the rest of the running season Runs times from the game's present
// moment, the user's club as the autopilot plays it.
TSeasonOutlook SeasonOutlook(const Tgamemain& game, const TOutlookOptions& options, TOutlookControl* control = nullptr);
// The same from a saved game body (Tgamemain::SaveBody), for callers that
// took the snapshot on another thread.
TSeasonOutlook SeasonOutlookOfBody(const std::vector<uint8_t>& body, const TOutlookOptions& options,
                                   TOutlookControl* control = nullptr);

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
};

// Plays the user's next fixture Runs times with both clubs' present
// line-ups. Throws VantorelError when there is no next fixture or a side's
// starting eleven is incomplete.
TRehearsal RehearseNextMatch(const Tgamemain& game, const TRehearsalOptions& options,
                             TOutlookControl* control = nullptr);
// The same from a saved game body.
TRehearsal RehearseNextMatchOfBody(const std::vector<uint8_t>& body, const TRehearsalOptions& options,
                                   TOutlookControl* control = nullptr);
