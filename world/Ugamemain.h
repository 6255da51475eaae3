// The game state: season counter and the 52-week calendar, division
// membership, reputations, the user's next fixture and past seasons. It owns
// the 24 clubs, the three leagues, the cup and the transfer market, and is
// the world view its clubs are given when its rules run theirs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "club/Ucalendar.h"
#include "club/Ugrid.h"
#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "club/Uworldview.h"

class Tteam;
class Tleague;
class Tcup;
class Ttrade;

constexpr int kClubCount = 24;
constexpr int kDivisionCount = 3;
constexpr int kClubsPerDivision = 8;
// The version string every current save file starts with.
inline constexpr const char* kSaveVersion = "17";

// Cup result codes kept in the season history (1 = out in round 1 ... 6 = won).
std::string CupResultText(int32_t code);

// One club of the start data "data/first.dat": the nationalities of its
// generated players (10: one of 2..9 at random), its name and its emblem.
struct TStartClub {
  std::array<int32_t, 4> Nationalities{};
  std::string Name;
  std::vector<uint8_t> Emblem;
};
using TStartData = std::array<TStartClub, kClubCount>;
// The 24 records of the start data, one after another; StreamError on a
// damaged one. *used (when given) tells how many bytes they took, so that a
// caller can refuse bytes after them. And the bytes of records.
TStartData ParseStartData(const std::vector<uint8_t>& bytes, std::size_t* used = nullptr);
std::vector<uint8_t> StartDataBytes(const TStartData& clubs);

class Tgamemain : public TworldView {
 public:
  // The initial state: year 1, week 1, reputations 3, 6, ..., 72, clubs 0..7
  // in division 3, 8..15 in division 2, 16..23 in division 1, one open
  // history row [1]. Seeds the generator from the clock. No clubs yet.
  Tgamemain();
  // The same initial state without touching the random generator (used for
  // parsing saves, and by tests and tools that seed it themselves).
  struct TNoSeed {};
  explicit Tgamemain(TNoSeed);
  ~Tgamemain() override;
  Tgamemain(const Tgamemain&) = delete;
  Tgamemain& operator=(const Tgamemain&) = delete;

  // Stored fields, in the order of the save body.
  int32_t Year = 1;
  int32_t Week = 1;
  int32_t NextHome = 0;
  int32_t NextAway = 0;
  TIntgrid SeasonHistory;
  std::array<std::array<int32_t, kClubsPerDivision>, kDivisionCount> Divisions{};  // [d-1][pos]
  std::array<int32_t, kClubCount> Reputation{};
  // Not stored.
  bool SkipMatches = false;
  bool WonTopDivision = false;
  // The week whose matches are played and not yet closed by AdvanceWeek (0:
  // none). A slot written then would play the round's other matches again.
  int32_t HalfPlayedWeek = 0;

  // The world the state owns. Leagues and Cup exist in weeks 12..52, the
  // Market in weeks 1..11 (created by START and at every season end).
  std::array<std::unique_ptr<Tteam>, kClubCount> Teams;
  std::array<std::unique_ptr<Tleague>, kDivisionCount> Leagues;  // index 0..2 = division 1..3
  std::unique_ptr<Tcup> Cup;
  std::unique_ptr<Ttrade> Market;

  // Lines for the club screen's message box (injuries of the user's players
  // and the like); the screen shows and clears them. Not stored.
  std::vector<std::string> Messages;

  // Builds the 24 clubs from "data/first.dat" (seeds from the clock first).
  // Start data that is damaged, too short or longer than its 24 clubs
  // raises FileError naming it and changes nothing.
  void NewGame();
  // As NewGame, but from the given file and without reseeding: for tests,
  // tools and benchmarks that seed the generator themselves.
  void NewGameFrom(const std::string& path, bool seedFromClock);

  // The world view: Year and Week; 1..3, the division holding the club (0
  // if none); the club index at position 0..7 of division 1..3 (an error
  // outside); the club's reputation (0 outside 0..23).
  int32_t CurrentYear() const override { return Year; }
  int32_t CurrentWeek() const override { return Week; }
  int32_t DivisionOf(int32_t club) const override;
  int32_t TeamAt(int32_t division, int32_t position) const override;
  int32_t ReputationOf(int32_t club) const override;
  // Season-end prize by division 1..3 and position 0..7; 0 otherwise.
  static int32_t SeasonPrize(int32_t division, int32_t position);

  Tteam& Team(int32_t club) const;  // checked access to Teams

  // The weekly step the club screen's NEXT triggers.
  void AdvanceWeek();
  // The matches NEXT plays before the advance: the round of every league in
  // a league week, the cup round in a cup week; nothing in other weeks. The
  // hook is called as the matches progress. When the user watches, his own
  // match (match 0 of his division's round, or of the cup round) is left
  // for the match screen, which hands it back through RecordWatchedMatch.
  void PlayWeekMatches(const std::function<void()>& progress = {}, bool watchOwn = false);
  // The result of the user's watched match, for the cup in a cup week and
  // for his division's league otherwise: the players' statistics rows and
  // the goal texts and score of side 0 (home) and side 1 (away).
  void RecordWatchedMatch(const std::string& goals0, const std::string& goals1, int32_t score0, int32_t score1,
                          const TIntgrid& stats);
  // The season-end standings step: final tables into Divisions, promotion
  // and relegation, reputation, prize money, the user back at position 0.
  void EndSeason();
  // Appends the finished season's row and a new open row [1].
  void RecordHistory();

  // The user's season at a glance (weeks 1..52).
  void ShowSchedule(TGrid& grid) const;
  // The season-history table; untouched when no season has finished.
  void ShowHistory(TGrid& grid) const;

  // The save-file body (version string first). Slot files are written and
  // read on top of these by the save-game unit.
  void SaveToStream(TStream& s) const;
  std::vector<uint8_t> SaveBody() const;
  // Reads a body of the current layout into a fresh state and takes it over
  // only when the whole body was read; a damaged body, or one of another
  // version, throws StreamError and leaves this state as it was. A body
  // that reads but is no world the game could have made (world/Uworldcheck.h)
  // throws InvariantError, changing nothing either. With wholeStream, bytes
  // left over after the body are an error too.
  void LoadFromStream(TStream& s, bool wholeStream = false);
  // "data/savedata/" + name + ".dat": atomic write / all-or-nothing load of
  // a slot (the name is checked; errors are FileError naming the file).
  void SaveGame(const std::string& name) const;
  void LoadGame(const std::string& name);
  // Old save images (memory streams), read by the converter; same
  // all-or-nothing behaviour and the same invariants as LoadFromStream.
  void ReadVersion11(TStream& s);
  void ReadVersion6(TStream& s);
  // Takes over the other state's whole world (stored fields and objects);
  // the other is left with this state's old contents.
  void TakeOver(Tgamemain& other);

 private:
  enum class BodyVersion { V6, V11, V17 };
  void ReadBody(TStream& s, BodyVersion v);
  void LoadVersion(TStream& s, BodyVersion v, bool wholeStream);
  void CreateClubs();
  void SetUpSeason();
  void SeasonEndStep();
  void SetNextFromLeague();
  void SetNextFromCup();
};

// The game state the leagues, the cup, the market and the season events of
// this thread work on (may be null, e.g. in unit tests). The game's own
// thread has one; a worker thread of the season outlook points it at the
// copy it plays.
extern constinit thread_local Tgamemain* GameState;

// Makes a state the thread's GameState while it runs a rule, and puts the
// previous one back at the end of the scope.
class TScopedGameState {
 public:
  explicit TScopedGameState(Tgamemain* g) : prev_(GameState) { GameState = g; }
  ~TScopedGameState() { GameState = prev_; }
  TScopedGameState(const TScopedGameState&) = delete;
  TScopedGameState& operator=(const TScopedGameState&) = delete;

 private:
  Tgamemain* prev_;
};
