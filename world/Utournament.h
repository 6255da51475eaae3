// Tournaments of exported clubs: 3 to 16 VS files in a round robin of one or
// two legs, every match a data battle played exactly as the match screen
// plays one. Match k of a tournament draws from its own generator, seeded
// from the tournament's seed and k, in a fresh world as the title screen
// builds it, so a match gives the same goals on any thread, in any order and
// alone on the command line. Nothing here touches the game: the caller's
// generator and GameState are as they were, whatever is played.
//
// A tournament is kept in its own file (data/tournament/NAME.tnm) with the
// entrants' VS files embedded, so deleting a VS file later changes nothing.
// The file is written atomically and read all-or-nothing: a damaged file is
// refused with a FileError naming it and the tournament in memory is left
// unchanged.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "match/Umatchmain.h"

class Tgamemain;
class Tteam;
class TmVTR;

inline constexpr int kMinTournamentClubs = 3;
inline constexpr int kMaxTournamentClubs = 16;
inline constexpr int32_t kWinPoints = 3;
inline constexpr int32_t kDrawPoints = 1;

// The player's folder of tournament files.
inline std::string TournamentDir() { return PlayerPath("tournament"); }
// "data/tournament/" + name + ".tnm" (the name is checked).
std::string TournamentPath(const std::string& name);

// One pairing of the schedule. Home and Away are entrant indices.
struct TTournamentFixture {
  int32_t Round = 0;  // 0-based
  int32_t Home = 0;
  int32_t Away = 0;
};

// The round robin by the circle method: every pair meets once per leg (the
// second leg the first with home and away swapped), nobody plays twice in a
// round, a bye for an odd count, each club's home and away games within one
// of each other in every leg. Rounds ascending.
std::vector<TTournamentFixture> RoundRobin(int clubs, int legs);

// A player's line of a played match.
struct TTournamentPlayerLine {
  int32_t Side = 0;  // 0 home, 1 away
  int32_t Number = 0;
  int32_t Minutes = 0;
  int32_t Goals = 0;
  int32_t Assists = 0;
  int32_t Rating = 0;
  bool operator==(const TTournamentPlayerLine&) const = default;
};

struct TTournamentResult {
  int32_t HomeGoals = 0;
  int32_t AwayGoals = 0;
  std::string HomeText;  // goal lines as comma text, as the match gives them
  std::string AwayText;
  std::vector<TTournamentPlayerLine> Players;
  bool operator==(const TTournamentResult&) const = default;
};

struct TTournamentEntrant {
  std::string File;   // the VS file's name without folder and extension
  std::string Label;  // the club's name; "name（file）" where two share a name
  std::string Comment;
  std::vector<uint8_t> Image;  // the VS file's bytes
  std::shared_ptr<const Tteam> Club;
};

struct TTableRow {
  int32_t Entrant = 0;
  int32_t Played = 0, Won = 0, Drawn = 0, Lost = 0;
  int32_t GoalsFor = 0, GoalsAgainst = 0, Points = 0;
  int32_t Difference() const { return GoalsFor - GoalsAgainst; }
  bool operator==(const TTableRow&) const = default;
};

struct TScorerRow {
  int32_t Entrant = 0;
  int32_t Number = 0;
  std::string Name;
  int32_t Goals = 0;
  int32_t Assists = 0;
};

// Progress and cancelling of a batch of matches played on worker threads:
// Done counts finished matches; setting Cancel stops the batch soon.
struct TTournamentControl {
  std::atomic<int> Done{0};
  std::atomic<bool> Cancel{false};
};

// A played match and, when it was recorded, its replay.
struct TTournamentMatch {
  TTournamentResult Result;
  std::vector<uint8_t> Replay;  // the whole replay file image, or empty
};

class Ttournament {
 public:
  // Reads every file as a data battle reads it and draws the schedule. A
  // file that is refused throws its FileError; the same file twice, a count
  // outside 3 .. 16 or legs other than 1 or 2 throw VantorelError.
  static Ttournament Create(const std::vector<std::string>& vsPaths, int legs, uint64_t seed);

  uint64_t Seed() const { return seed_; }
  int Legs() const { return legs_; }
  const std::vector<TTournamentEntrant>& Entrants() const { return entrants_; }
  const std::vector<TTournamentFixture>& Fixtures() const { return fixtures_; }
  const std::vector<TTournamentResult>& Results() const { return results_; }  // of fixtures 0 .. Played()-1
  int Played() const { return static_cast<int>(results_.size()); }
  int RoundCount() const;
  bool Finished() const { return Played() == static_cast<int>(fixtures_.size()); }
  // The round of the next match to play (RoundCount() when finished).
  int CurrentRound() const;
  // The fixtures of a round: [first, end) in Fixtures().
  std::pair<int, int> RoundRange(int round) const;
  // The entrant the user follows, or -1.
  int32_t Favourite() const { return favourite_; }
  void SetFavourite(int32_t entrant);

  // The seed of match k: `vantorel-sim match HOME.vs AWAY.vs --vs --seed`
  // with it plays the same match.
  uint64_t MatchSeed(int k) const;
  // Plays fixture k without recording it in the tournament (thread-safe;
  // leaves the calling thread's generator and GameState as they were).
  TTournamentMatch PlayMatch(int k, bool record) const;
  // Builds the world match k is played in, as `vantorel-sim match` builds
  // it: the thread's generator seeded with MatchSeed(k), a new game, the
  // two clubs read into clubs 0 and 1. The thread's generator is left where
  // the match starts: the window's live match goes on from there.
  std::unique_ptr<Tgamemain> PrepareMatchWorld(int k) const;
  // Records the result of the next fixture (k == Played()).
  void AddResult(int k, TTournamentResult result);

  // Plays the next `count` matches on `threads` worker threads (0: one per
  // core) and adds their results in fixture order. With a control that is
  // cancelled, the matches finished in order before the cancel are kept.
  // Returns the number of matches added. recordDir: when not empty, each
  // match's replay is written there (see ReplayName).
  int PlayNext(int count, int threads, TTournamentControl* control = nullptr, const std::string& recordDir = {});

  // The table in order: points, goal difference, goals scored, the points
  // among the tied clubs, then the tournament's own draw.
  std::vector<TTableRow> Table() const;
  // Players with a goal or an assist: goals, then assists, descending.
  std::vector<TScorerRow> Scorers() const;
  // The champion once every match is played, else -1.
  int32_t Champion() const;
  // Cell [home][away]: the index of the fixture, -1 where none.
  std::vector<std::vector<int>> Matrix() const;
  // The file name (without .vtr) a replay of fixture k is written under:
  // "R" + round (2 digits) + "_" + home + "-" + away.
  std::string ReplayName(int k) const;

  // The tournament file's bytes and its reader (every VS image read again
  // as a data battle reads it).
  std::vector<uint8_t> FileImage() const;
  static Ttournament ParseImage(const std::vector<uint8_t>& image);
  void Save(const std::string& name) const;
  static Ttournament Load(const std::string& name);
  static Ttournament LoadPath(const std::string& path);

 private:
  uint64_t seed_ = 0;
  int legs_ = 1;
  int32_t favourite_ = -1;
  std::vector<TTournamentEntrant> entrants_;
  std::vector<TTournamentFixture> fixtures_;
  std::vector<TTournamentResult> results_;

  static Ttournament FromEntrants(std::vector<TTournamentEntrant> entrants, int legs, uint64_t seed);
  uint64_t DrawOf(int32_t entrant) const;
};

// The result kept of a match's outcome.
TTournamentResult ResultOf(const TMatchOutcome& outcome);
