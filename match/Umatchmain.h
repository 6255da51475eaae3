// The match driver: plays one match between two match teams, tick by tick.
// It owns the ball and both teams, decides each tick who touches the ball,
// settles duels, lets the player on the ball choose and carry out an action,
// restarts play after the ball leaves the pitch, counts goals and changes
// ends at half time. League and cup run it to the end without a screen; the
// match screen runs it one tick per frame and reads its state to draw.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "match/Umatchrun.h"
#include "match/Umatchteam.h"

class Tball;
class Tmplayer;

// A match is 5401 steps (ticks 0 .. 5400); the clock shows tick div 60 as
// minutes, so each half is 2700 ticks, 45 minutes.
constexpr int32_t kMatchTicks = 5401;
constexpr int32_t kHalfTimeTick = 2700;
// Steps between the engine's substitution checks in a quick match.
constexpr int32_t kAutoSubInterval = 300;

// One replay frame: 71 integers, addressed 1..71 as the replay file stores
// them: player markers (x at 1 + 22i + 2j, y at 2 + 22i + 2j), shirt numbers
// (45 + 11i + j), ball x and y (67, 68), ball height value (69), goals of
// both sides (70, 71). Positions are screen pixels of the pitch picture.
struct TmVTRsc {
  static constexpr int kCount = 71;
  std::array<int32_t, kCount> Values{};
  int32_t& At(int index) { return Values[index - 1]; }
  int32_t At(int index) const { return Values[index - 1]; }
  int32_t PlayerX(int side, int j) const { return At(1 + 22 * side + 2 * j); }
  int32_t PlayerY(int side, int j) const { return At(2 + 22 * side + 2 * j); }
  int32_t PlayerNumber(int side, int j) const { return At(45 + 11 * side + j); }
  int32_t BallX() const { return At(67); }
  int32_t BallY() const { return At(68); }
  int32_t BallHeight() const { return At(69); }
  // Pixels the ball is drawn above its shadow. The recorded height value
  // has the ball picture's 3-pixel offset taken off like the positions, so
  // it is added back: a ball on the ground sits on its shadow.
  int32_t BallLift() const { return BallHeight() + 3; }
  int32_t Goals(int side) const { return At(70 + side); }
  bool operator==(const TmVTRsc& o) const { return Values == o.Values; }
};

// Action codes of an on-ball event (LiveEvent E3) and of ActionCounts.
enum : int32_t {
  kLiveSpacePass = 0,
  kLiveFeed = 1,
  kLiveCross = 2,
  kLiveShot = 3,
  kLiveClearance = 4,
  kLiveSafePass = 5,
  kLiveDribble = 6,
};

// Sound events the match screen plays.
enum : int32_t {
  kSoundNone = -1,
  kSoundHalfTime = 1,
  kSoundPost = 3,
  kSoundGoalTeam0 = 4,
  kSoundGoalTeam1 = 5,
  kSoundSave = 6,
};

// Rows (team, player index): the players who can reach the ball this tick,
// in the order they were found, and the last distinct touchers.
using TReachTable = TFixedTable<2, 2 * Tmteam::kOnPitch>;
using TTouchTable = TFixedTable<2, 3>;

class Tmmain {
 public:
  Tmmain();
  ~Tmmain();
  Tmmain(const Tmmain&) = delete;
  Tmmain& operator=(const Tmmain&) = delete;

  std::unique_ptr<Tball> Ball;
  std::unique_ptr<Tmteam> Sides[2];
  int32_t ReplanCount[2] = {0, 0};  // 0 .. 4: ticks since the side last planned
  int32_t Role[2] = {0, 1};         // 0 attacking, 1 defending
  std::vector<std::string> GoalLists[2];
  TReachTable Reachers[2];  // per role: rows (team, player index) in reach
  int32_t Tick = 0;
  int32_t HolderTeam = 0;
  int32_t HolderIndex = 0;
  int32_t LastTeam = 0;
  int32_t LastIndex = 0;   // the player of LastTeam who last played the ball
  int32_t SoundEvent = 0;  // the screen sets it back to -1 after reading
  static constexpr double kNoDribble = -100;
  double DribbleAngle = kNoDribble;
  bool ActionDone = false;
  bool RestartHold = false;
  TPassTable PassTable;
  TTouchTable Touches;  // newest first, at most 3 rows (team, player index)
  int32_t LiveEvent[4] = {-1, -1, -1, -1};

  // Reads team i from stream i (read from its start) as side i, or side
  // i + 2 for a data battle. A malformed stream raises StreamError.
  void Load(TStream& s0, TStream& s1, bool vs);
  // True once both sides hold their eleven; before that Step does nothing.
  bool Loaded() const {
    return Sides[0]->PlayerCount() >= Tmteam::kOnPitch && Sides[1]->PlayerCount() >= Tmteam::kOnPitch;
  }
  void Step();
  void AutoSubs(int team);
  // Goal lists as comma text, the score, and both teams' statistics rows
  // appended to stats.
  void Result(std::string& goals0, std::string& goals1, int32_t& score0, int32_t& score1, TIntgrid& stats) const;
  std::string GoalText(int team) const;
  Tmteam& MatchTeam(int i) { return *Sides[i]; }
  const Tmteam& MatchTeam(int i) const { return *Sides[i]; }
  int32_t Goals(int team) const { return static_cast<int32_t>(GoalLists[team].size()); }
  TmVTRsc Snapshot() const;
  void ClearLiveEvent() { LiveEvent[0] = LiveEvent[1] = LiveEvent[2] = LiveEvent[3] = -1; }

  // On-ball actions carried out, by the codes above; for match statistics.
  int32_t ActionCounts[7] = {};

 private:
  void PlayersStep();
  // Makes side t's plan when it is due (every fifth tick), and counts
  // toward the next one: 0, 1, 2, 3, 4, 0, ... (a compare, not a division,
  // on every tick).
  void PlanIfDue(int t) {
    if (ReplanCount[t] == 0) Plan(t);
    const int32_t next = ReplanCount[t] + 1;
    ReplanCount[t] = next == 5 ? 0 : next;
  }
  void Plan(int t);
  // Lists side t's players who reach the ball after their lanes' run,
  // running those the lanes left to themselves: on most ticks there are
  // none, and only the test is paid for.
  void CollectReachers(int t, const TRunTick& run) {
    if ((run.Reaches | run.ByPlayer) != 0) ListReachers(t, run);
  }
  void ListReachers(int t, const TRunTick& run);
  void AttackPlan(int t);
  void DefencePlan(int t);
  void ResolveBall();
  void Duel(int at, int ai);
  void RecordTouch(int team, int index);
  void OnBallDecision();
  void TryShot(Tmplayer& p);
  bool TryCross(Tmplayer& p);
  void TryFeed(Tmplayer& p);
  void PlanDribble(Tmplayer& p);
  void PlanDribbleToward(Tmplayer& p, int32_t tx, int32_t ty);
  void TryPassIntoSpace(Tmplayer& p);
  void Clearance(Tmplayer& p);
  void SafePass(Tmplayer& p);
  void KickTo(Tmplayer& p, int32_t tx, int32_t ty, int32_t loft, int32_t code);
  void PushTo(Tmplayer& p, int32_t tx, int32_t ty);
  void SideRestart();
  void GoalKickRestart();
  void Goal(int g);
  void CreditNewestToucher();
};

// What one quick match gives back.
struct TMatchOutcome {
  std::string HomeText;  // goal lists as comma text
  std::string AwayText;
  int32_t HomeGoals = 0;
  int32_t AwayGoals = 0;
  TIntgrid Stats;  // rows: club, number, minutes, goals, assists, rating
};

// Called after each step of a quick match, once that step's substitutions
// are made, with the step's index 0 .. kMatchTicks - 1.
using TQuickMatchHook = std::function<void(int32_t step)>;

// Plays a loaded match to the end without a screen, as league, cup, data
// battles run headless and the benchmarks do: kMatchTicks steps, both
// sides' automatic substitutions after the first step and after every
// kAutoSubInterval-th step from there, then the result.
TMatchOutcome PlayQuickMatch(Tmmain& driver, const TQuickMatchHook& afterStep = {});
