#include "world/Uoutlook.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "club/Ucalendar.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "world/Uautopilot.h"
#include "world/Uleague.h"

namespace {

constexpr int kMaxRehearsalRuns = 1000000;
constexpr int kMaxThreads = 256;
constexpr std::size_t kShownScores = 10;
constexpr std::size_t kShownScorers = 5;

int ThreadsFor(int wanted, int runs) {
  int t = wanted > 0 ? std::min(wanted, kMaxThreads) : DefaultOutlookThreads();
  return std::max(1, std::min(t, runs));
}

void CheckRuns(int runs, int most) {
  if (runs < 1 || runs > most)
    throw VantorelError("runs must be between 1 and " + std::to_string(most) + ": " + std::to_string(runs));
}

void StopIfCancelled(const TOutlookControl* control) {
  if (control && control->Cancel.load(std::memory_order_relaxed)) throw TOutlookCancelled();
}

// Runs run(0) .. run(runs-1) on `threads` worker threads and returns their
// results by index, so the order the workers take them in never shows;
// finished(i) follows each run that ends. The calling thread only waits: its
// generator and its GameState are left alone.
template <class Result, class Run, class Finished>
std::vector<Result> RunEverywhere(int runs, int threads, TOutlookControl* control, const Run& run,
                                  const Finished& finished) {
  std::vector<Result> results(static_cast<std::size_t>(runs));
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::mutex errorLock;
  std::exception_ptr error;
  int errorRun = runs;
  auto worker = [&] {
    for (;;) {
      if (stop.load() || (control && control->Cancel.load())) return;
      const int i = next.fetch_add(1);
      if (i >= runs) return;
      try {
        results[static_cast<std::size_t>(i)] = run(i);
      } catch (const TOutlookCancelled&) {
        return;
      } catch (...) {
        // Keep the error of the lowest run, the one a single thread meets first.
        std::lock_guard<std::mutex> lock(errorLock);
        if (i < errorRun) {
          errorRun = i;
          error = std::current_exception();
        }
        stop = true;
        return;
      }
      if (control) control->Done.fetch_add(1);
      finished(i);
    }
  };
  {
    std::vector<std::jthread> pool;
    pool.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
  }
  if (control && control->Cancel.load()) throw TOutlookCancelled();
  if (error) std::rethrow_exception(error);
  return results;
}

template <class Result, class Run>
std::vector<Result> RunEverywhere(int runs, int threads, TOutlookControl* control, const Run& run) {
  return RunEverywhere<Result>(runs, threads, control, run, [](int) {});
}

// ---- the outlook ------------------------------------------------------------

// What one played-out season leaves, by club index.
struct TSeasonEnd {
  std::array<int8_t, kClubCount> Position{};       // 1..8 in the final table
  std::array<int8_t, kClubCount> DivisionAfter{};  // 1..3 next season
  std::array<int32_t, kClubCount> Points{};
  int8_t CupWinner = -1;
  int64_t UserMoney = 0;
};

std::unique_ptr<Tgamemain> WorldOfBody(const std::vector<uint8_t>& body) {
  auto w = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  TStream s(body);
  w->LoadFromStream(s, true);
  return w;
}

TSeasonEnd PlayRestOfSeason(const std::vector<uint8_t>& body, uint64_t seed, const TOutlookControl* control) {
  std::unique_ptr<Tgamemain> w = WorldOfBody(body);
  TScopedGameState scope(w.get());
  RandSeed(seed);
  // The stop flag is looked at several times a match, so a cancelled
  // outlook ends at once even on a slow machine.
  const std::function<void()> during = [control] { StopIfCancelled(control); };
  while (w->Week != kWeeksPerSeason) {
    StopIfCancelled(control);
    PlayAutopilotWeek(*w, {}, control ? during : std::function<void()>());
  }
  TSeasonEnd end;
  for (int d = 0; d < kDivisionCount; ++d) {
    Tleague* league = w->Leagues[d].get();
    if (!league) throw VantorelError("no league at the season's end");
    league->UpdatePositions();
    for (const auto& row : league->Table) {
      const int32_t club = row[Tleague::kClub];
      if (club < 0 || club >= kClubCount) throw VantorelError("a league names no club");
      end.Position[club] = static_cast<int8_t>(row[Tleague::kPosition]);
      end.Points[club] = row[Tleague::kPoints];
    }
  }
  if (w->Cup && w->Cup->EntrantCount() == 1) end.CupWinner = static_cast<int8_t>(w->Cup->ClubOfRow(0));
  PlayAutopilotWeek(*w);  // week 52: the season's end step
  for (int c = 0; c < kClubCount; ++c) end.DivisionAfter[c] = static_cast<int8_t>(w->DivisionOf(c));
  end.UserMoney = w->Team(kUserClub).Money;
  return end;
}

}  // namespace

int DefaultOutlookThreads() {
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(std::min<unsigned>(n, kMaxThreads));
}

uint64_t OutlookRunSeed(uint64_t seed, int run) {
  // splitmix64 of the pair: neighbouring runs get unrelated streams.
  uint64_t z = seed + 0x9E3779B97F4A7C15ULL * (static_cast<uint64_t>(run) + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::vector<const TClubOdds*> OddsOfDivision(const TSeasonOutlook& outlook, int32_t division) {
  std::vector<const TClubOdds*> clubs;
  for (const TClubOdds& c : outlook.Clubs)
    if (c.Division == division) clubs.push_back(&c);
  std::stable_sort(clubs.begin(), clubs.end(),
                   [](const TClubOdds* a, const TClubOdds* b) { return a->ExpectedPoints > b->ExpectedPoints; });
  return clubs;
}

double OddsMargin(double p, int runs) {
  if (runs <= 0) return 1.0;
  constexpr double z = 1.959963984540054;  // 95 %
  const double n = runs, z2 = z * z;
  return z / (1.0 + z2 / n) * std::sqrt(p * (1.0 - p) / n + z2 / (4.0 * n * n));
}

TSeasonOutlook SeasonOutlook(const Tgamemain& game, const TOutlookOptions& options, TOutlookControl* control,
                             const TOutlookReport& report) {
  return SeasonOutlookOfBody(game.SaveBody(), options, control, report);
}

namespace {

// The counts of runs added so far. Only whole counts are summed, so the
// odds of the same runs are the same bytes in any order of adding.
struct TOutlookTally {
  TOutlookCounts Counts;
  int Runs = 0;

  void Add(const TSeasonEnd& e, const Tgamemain& start) {
    for (int c = 0; c < kClubCount; ++c) {
      const int pos = e.Position[c];
      if (pos >= 1 && pos <= kClubsPerDivision) ++Counts.Positions[c][pos - 1];
      const int before = start.DivisionOf(c);
      if (e.DivisionAfter[c] < before) ++Counts.Promoted[c];
      if (e.DivisionAfter[c] > before) ++Counts.Relegated[c];
      Counts.Points[c] += e.Points[c];
    }
    if (e.CupWinner >= 0) ++Counts.Cups[e.CupWinner];
    Counts.Money += e.UserMoney;
    ++Runs;
  }

  TSeasonOutlook Odds(const Tgamemain& start, uint64_t seed) const {
    TSeasonOutlook o;
    o.Year = start.Year;
    o.Week = start.Week;
    o.Runs = Runs;
    o.Seed = seed;
    o.Counts = Counts;
    const double n = Runs;
    for (int c = 0; c < kClubCount; ++c) {
      TClubOdds& odds = o.Clubs[c];
      odds.Club = c;
      odds.Division = start.DivisionOf(c);
      for (int p = 0; p < kClubsPerDivision; ++p) odds.Position[p] = Counts.Positions[c][p] / n;
      odds.Promotion = Counts.Promoted[c] / n;
      odds.Relegation = Counts.Relegated[c] / n;
      odds.Cup = Counts.Cups[c] / n;
      odds.ExpectedPoints = static_cast<double>(Counts.Points[c]) / n;
    }
    o.UserMoney = static_cast<double>(Counts.Money) / n;
    return o;
  }
};

// The runs an outlook goes on from, checked against the moment it starts
// from: the same seed, week and division of every club, no more runs than
// are asked for.
TOutlookTally TallyFrom(const TSeasonOutlook* from, const Tgamemain& start, const TOutlookOptions& options) {
  TOutlookTally tally;
  if (!from) return tally;
  bool same = from->Seed == options.Seed && from->Year == start.Year && from->Week == start.Week && from->Runs >= 0 &&
              from->Runs <= options.Runs;
  for (int c = 0; c < kClubCount && same; ++c) same = from->Clubs[c].Division == start.DivisionOf(c);
  if (!same) throw VantorelError("the outlook to go on from is not of this game and seed");
  tally.Counts = from->Counts;
  tally.Runs = from->Runs;
  return tally;
}

}  // namespace

TSeasonOutlook SeasonOutlookOfBody(const std::vector<uint8_t>& body, const TOutlookOptions& options,
                                   TOutlookControl* control, const TOutlookReport& report) {
  CheckRuns(options.Runs, kMaxOutlookRuns);
  const int runs = options.Runs;
  if (options.Batch < 1) throw VantorelError("batch must be at least 1: " + std::to_string(options.Batch));
  const RandomState callersDraws = GetRandomState();
  const std::unique_ptr<Tgamemain> start = WorldOfBody(body);
  SetRandomState(callersDraws);

  // The runs are added in index order as the unbroken front of finished
  // runs grows, so every report is the outlook of runs 0 .. k-1. Element i
  // is run `from` + i.
  std::mutex tallyLock;
  TOutlookTally tally = TallyFrom(options.From, *start, options);
  const int from = tally.Runs;
  if (from == runs) return tally.Odds(*start, options.Seed);
  std::vector<TSeasonEnd> ends(static_cast<std::size_t>(runs - from));
  std::vector<char> finished(static_cast<std::size_t>(runs - from), 0);
  RunEverywhere<char>(
      runs - from, ThreadsFor(options.Threads, runs - from), control,
      [&](int i) {
        // Each run writes its own element; the lock below publishes it.
        ends[static_cast<std::size_t>(i)] = PlayRestOfSeason(body, OutlookRunSeed(options.Seed, from + i), control);
        return char{1};
      },
      [&](int i) {
        std::lock_guard<std::mutex> lock(tallyLock);
        finished[static_cast<std::size_t>(i)] = 1;
        while (tally.Runs < runs && finished[static_cast<std::size_t>(tally.Runs - from)]) {
          tally.Add(ends[static_cast<std::size_t>(tally.Runs - from)], *start);
          if (report && (tally.Runs % options.Batch == 0 || tally.Runs == runs))
            report(tally.Odds(*start, options.Seed));
        }
      });
  return tally.Odds(*start, options.Seed);
}

// ---- the rehearsal ------------------------------------------------------------

namespace {

struct TMatchEnd {
  int32_t HomeGoals = 0;
  int32_t AwayGoals = 0;
  std::vector<std::pair<int32_t, int32_t>> UserGoals;  // number, goals
};

}  // namespace

std::optional<TFixture> NextUserFixture(const Tgamemain& game) {
  if (game.Week < kFirstMatchWeek) return std::nullopt;
  const int32_t division = game.DivisionOf(kUserClub);
  const Tleague* league = division >= 1 && division <= kDivisionCount ? game.Leagues[division - 1].get() : nullptr;
  for (int32_t w = game.Week; w < kWeeksPerSeason; ++w) {
    if (IsCupWeek(w)) {
      // Past a cup exit his cup weeks are free: look on to the league.
      if (!game.Cup) continue;
      const auto [home, away] = game.Cup->NextMatch();
      if (home == kUserClub || away == kUserClub) return TFixture{home, away, w, true};
    } else if (IsLeagueWeek(w)) {
      if (!league) return std::nullopt;
      const auto [home, away] = league->NextMatch();
      if (home == kUserClub || away == kUserClub) return TFixture{home, away, w, false};
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::string NoFixtureText(const Tgamemain& game) {
  return game.Week < kFirstMatchWeek ? "次の試合はまだ決まっていません" : "今シーズンの試合はもうありません";
}

std::vector<uint8_t> LineupBytes(const Tteam& club) {
  if (!club.StartingElevenComplete()) throw VantorelError(club.ClubName + ": スタメンが決まっていません");
  TStream s;
  club.WriteLineup(s);
  return s.TakeBytes();
}

TRehearsal RehearseLineups(const TFixture& fixture, const std::vector<uint8_t>& homeLineup,
                           const std::vector<uint8_t>& awayLineup, const Tteam& user, const TRehearsalOptions& options,
                           TOutlookControl* control) {
  CheckRuns(options.Runs, kMaxRehearsalRuns);
  const int runs = options.Runs;
  const int32_t userClub = user.TeamIndex;
  std::vector<TMatchEnd> ends = RunEverywhere<TMatchEnd>(runs, ThreadsFor(options.Threads, runs), control, [&](int i) {
    StopIfCancelled(control);
    RandSeed(OutlookRunSeed(options.Seed, i));
    auto driver = std::make_unique<Tmmain>();
    TStream h(homeLineup), a(awayLineup);
    driver->Load(h, a, false);
    TMatchOutcome out = PlayQuickMatch(*driver);
    TMatchEnd end{out.HomeGoals, out.AwayGoals, {}};
    for (int r = 0; r < out.Stats.RowCount(); ++r)
      if (out.Stats.RowLength(r) >= 4 && out.Stats.GetValue(r, 0) == userClub && out.Stats.GetValue(r, 3) > 0)
        end.UserGoals.emplace_back(out.Stats.GetValue(r, 1), out.Stats.GetValue(r, 3));
    return end;
  });

  TRehearsal o;
  o.HomeClub = fixture.Home;
  o.AwayClub = fixture.Away;
  o.Cup = fixture.Cup;
  o.Runs = runs;
  o.Seed = options.Seed;
  const bool userHome = fixture.Home == userClub;
  int wins = 0, draws = 0, losses = 0;
  int64_t homeGoals = 0, awayGoals = 0;
  std::map<std::pair<int32_t, int32_t>, int> scores;
  std::map<int32_t, std::pair<int, int64_t>> scorers;  // number -> runs scored in, goals
  o.RunGoals.reserve(ends.size());
  for (const TMatchEnd& e : ends) {
    const int32_t own = userHome ? e.HomeGoals : e.AwayGoals;
    const int32_t their = userHome ? e.AwayGoals : e.HomeGoals;
    if (own > their)
      ++wins;
    else if (own == their)
      ++draws;
    else
      ++losses;
    homeGoals += e.HomeGoals;
    awayGoals += e.AwayGoals;
    o.RunGoals.push_back({static_cast<int16_t>(std::clamp(e.HomeGoals, 0, 32767)),
                          static_cast<int16_t>(std::clamp(e.AwayGoals, 0, 32767))});
    ++scores[{e.HomeGoals, e.AwayGoals}];
    for (const auto& [number, goals] : e.UserGoals) {
      ++scorers[number].first;
      scorers[number].second += goals;
    }
  }
  const double n = runs;
  o.Win = wins / n;
  o.Draw = draws / n;
  o.Loss = losses / n;
  o.MeanHomeGoals = static_cast<double>(homeGoals) / n;
  o.MeanAwayGoals = static_cast<double>(awayGoals) / n;
  std::vector<std::pair<std::pair<int32_t, int32_t>, int>> byCount(scores.begin(), scores.end());
  // Likeliest first; equal counts in score order, so the list never depends on chance.
  std::stable_sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  for (std::size_t i = 0; i < byCount.size() && i < kShownScores; ++i)
    o.Scores.push_back({byCount[i].first.first, byCount[i].first.second, byCount[i].second / n});
  std::vector<std::pair<int32_t, std::pair<int, int64_t>>> byRuns(scorers.begin(), scorers.end());
  std::stable_sort(byRuns.begin(), byRuns.end(),
                   [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
  for (std::size_t i = 0; i < byRuns.size() && i < kShownScorers; ++i) {
    const Tplayer* p = user.Squad->PlayerByNumber(byRuns[i].first);
    o.Scorers.push_back({byRuns[i].first, p ? p->Name : std::string(), byRuns[i].second.first / n,
                         static_cast<double>(byRuns[i].second.second) / n});
  }
  return o;
}

TRehearsal RehearseNextMatch(const Tgamemain& game, const TRehearsalOptions& options, TOutlookControl* control) {
  CheckRuns(options.Runs, kMaxRehearsalRuns);
  const std::optional<TFixture> fixture = NextUserFixture(game);
  if (!fixture) throw VantorelError(NoFixtureText(game));
  return RehearseLineups(*fixture, LineupBytes(game.Team(fixture->Home)), LineupBytes(game.Team(fixture->Away)),
                         game.Team(kUserClub), options, control);
}

TRehearsal RehearseNextMatchOfBody(const std::vector<uint8_t>& body, const TRehearsalOptions& options,
                                   TOutlookControl* control) {
  const RandomState callersDraws = GetRandomState();
  const std::unique_ptr<Tgamemain> world = WorldOfBody(body);
  SetRandomState(callersDraws);
  return RehearseNextMatch(*world, options, control);
}
