// The rules every world the game makes keeps, as one list of small named
// checks. A save or VS file is either a world the game could have made or
// it is refused at the door: the loaders, `vantorel-sim check` and the
// long-run test all ask these same checks. This unit holds the list, the
// record of a broken rule (which rule, and where: club, list, player
// number) and the checks of a player, a player list and a club; the checks
// of the whole world (divisions, leagues, cup, the week) are in
// world/Uworldcheck.h.
//
// Values the rules never bound (money, a player's worth, points and
// counters) are not invariants: the game accepts them within the tolerated
// ranges below, wide enough for any game played, narrow enough that no sum
// or product the rules form overflows. Every other value is an invariant.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "club/Ufile.h"
#include "club/Ustream.h"
#include "club/Uteametc.h"

class Tplayer;
class Tplayerlist;
class Tteam;

// The invariants. The order is the order of the table of names.
enum class TInvariant {
  ShirtNumbers,      // numbers unique within a squad, a youth squad, the free agents; squad numbers 0 .. 999
  SquadSize,         // at least eleven players in every squad
  LineupSlots,       // every line-up slot is empty or names a squad player, none twice
  StartingEleven,    // slots 0 .. 10 all filled (computer clubs, VS clubs)
  PitchPositions,    // the eleven formation points on the pitch
  Abilities,         // abilities and the last two seasons' 0 .. 99
  GrowthRates,       // growth rates 0 .. 4
  Attachment,        // attachment to each club 0 .. 100
  Form,              // form -20 .. 20
  PreferredActions,  // the four preferred actions all different
  CoachingStaff,     // coach skills 1 .. 10, years 1 .. 3, focus 0/1, weights 0 .. 180
  ValueRanges,       // counters and sums within their rule (rating sum) or tolerated range (below)
  Reputation,        // every club's reputation 1 .. 72
  Divisions,         // every club in exactly one division; the user's club first in its own
  LeagueTables,      // a league's clubs are its division's; the user's club in table slot 0
  CupEntrants,       // no club twice in the cup
  WeekSections,      // the market in weeks 1 .. 11 only, leagues in 12 .. 52 only, no cup before 12
};
constexpr int kInvariantCount = static_cast<int>(TInvariant::WeekSections) + 1;

// The invariant's short name ("shirt-numbers"), as `vantorel-sim check` and
// the tests know it, and the sentence the player reads.
const char* InvariantName(TInvariant inv);
const char* InvariantText(TInvariant inv);

// Which list of a club a player is in.
enum class TListKind { None, Squad, Youth, FreeAgents };

// One broken rule and where: the club (0 .. 23; 99 the market's free
// agents; -1 a club of no world, as in a VS file, known by its name, or the
// world as a whole), the list and the player's number
// (-1 when the rule is not about one player), and what exactly.
struct TViolation {
  TInvariant Invariant = TInvariant::ValueRanges;
  int32_t Club = -1;
  std::string ClubName;
  TListKind List = TListKind::None;
  int32_t Number = -1;
  std::string Detail;

  // "クラブ3「名前」 ユース 背番号101", "「名前」 背番号7" for a VS club;
  // empty for the world as a whole.
  std::string Where() const;
  // The sentence, the place and the detail: "背番号が重複しています（クラブ3「名前」 背番号7）".
  std::string Text() const;
};
using TViolations = std::vector<TViolation>;

// A record that reads but breaks an invariant. The message is the first
// violation's text (and how many more there are); all of them are kept.
class InvariantError : public VantorelError {
 public:
  explicit InvariantError(TViolations violations);
  const TViolations& Violations() const { return violations_; }
  const TViolation& First() const { return violations_.front(); }

 private:
  TViolations violations_;
};

// The same for a file: the message names the file, then the kind of file
// and the violation ("data/vs/x.vs: 対戦データが規則に合いません：…").
class InvariantFileError : public FileError {
 public:
  InvariantFileError(const std::string& path, const std::string& kind, const InvariantError& e);
  const TViolations& Violations() const { return violations_; }
  const TViolation& First() const { return violations_.front(); }

 private:
  TViolations violations_;
};

// Throws InvariantError when the list is not empty.
void RequireNoViolations(const TViolations& violations);

// ---- the pitch ----------------------------------------------------------------

// Formation points and match positions lie on the pitch frame: X 0 .. 12100
// along it, Y 0 .. 8400 across.
constexpr int32_t kPitchMaxX = 12100;
constexpr int32_t kPitchMaxY = 8400;
inline bool IsOnPitch(TPoint p) { return p.X >= 0 && p.X <= kPitchMaxX && p.Y >= 0 && p.Y <= kPitchMaxY; }

// ---- tolerated values ----------------------------------------------------------

// The one place that says what the game accepts of a value its rules never
// bound, and why. The rules keep each far inside its range; the range keeps
// every sum and product the rules form from it (a worth x 6/5, fifty wages
// summed, a bid tripled, a need x 6) inside 32 bits, so that a file within
// it never stops a season with an overflow. A file at the very edge of a
// range may leave it in play; only an edited file gets there.
struct TTolerance {
  const char* Field;  // the field as the violation names it
  int32_t Lo;
  int32_t Hi;
};
// Club money: prizes, fees and wages; may go negative. A thousand seasons
// move it by well under a hundred million.
inline constexpr TTolerance kTolMoney{"所持金", -1000000000, 1000000000};
// A player's worth before age and division: tens of thousands at most in
// play; value, wage and a squad's wage bill stay small.
inline constexpr TTolerance kTolBaseValue{"基本価値", 0, 1000000};
// Points toward the next ability point: below 200 while growing, collected
// without end at 99 and spent by decline; only ever added to.
inline constexpr TTolerance kTolGrowthPoints{"成長ポイント", -100000000, 100000000};
// This season's appearances, goals and assists (33 matches a season);
// goals and assists are doubled into the worth at the season's end. (The
// sum of the season's match ratings is a rule: 1 .. 10 a league match.)
inline constexpr TTolerance kTolSeasonCount{"今季の成績", 0, 10000};
// Form cycle and collected form change: the cycle is taken modulo 20 and
// the change clamped before use; a match adds a few points.
inline constexpr TTolerance kTolFormCycle{"調子の周期", -1000000, 1000000};
// Fatigue (raised by playing, lowered weekly, never below 0) and injury
// weeks (1 .. 500 by the injury draw).
inline constexpr TTolerance kTolFatigue{"疲労", 0, 1000000};
inline constexpr TTolerance kTolInjury{"怪我の週数", 0, 1000000};
// Age and peak age (14 .. about 60 and 20 .. 28 in play): they only enter
// small differences, and the wage's divisor is kept at 1 or more.
inline constexpr TTolerance kTolAge{"年齢", 0, 1000};
// The club's role ratings from its automatic line-up (a few hundred); the
// market's needs multiply them by up to 6.
inline constexpr TTolerance kTolRoleRating{"役割評価", -1000000, 1000000};
// League table figures (28 matches a season; a round adds a few goals).
inline constexpr TTolerance kTolLeagueFigure{"順位表の数値", -100000, 100000};
// The market's asking prices and bids (a player's wage plus value, a few
// thousand in play); a bid is tripled by a seller holding out and doubled
// by the user's answer.
inline constexpr TTolerance kTolMarketAmount{"移籍金額", 0, 100000000};
// Tolerated without any range: a player's name and career history (shown,
// and only ever appended to), the footedness byte (any value but 0 is
// right-footed), a club's name and emblem (checked as a picture when read),
// the user's season history (shown only), and the year, which the reader
// keeps within 1 .. 1000000 (youth numbers are year x 100).
//
// Tolerated by the week: the cup may be missing in weeks 12 .. 52. A save
// converted from the layout before the cup existed has none; its season is
// played without cup rounds, and the next season's week 11 sets one up.

// Adds a ValueRanges violation when v lies outside the tolerance.
void CheckTolerated(int32_t v, const TTolerance& t, const TViolation& where, TViolations& out);

// ---- the checks ------------------------------------------------------------------

// Abilities, growth rates, attachment, form, preferred actions and the
// tolerated values of one player; `where` says whose he is.
void CheckPlayer(const Tplayer& p, const TViolation& where, TViolations& out);
// Numbers unique (and squad numbers 0 .. 999) and every player checked.
void CheckPlayerList(const Tplayerlist& list, TListKind kind, int32_t club, const std::string& clubName,
                     TViolations& out);
// The whole club: squad size, both lists, line-up slots, positions, coaching
// staff, money and role ratings; the starting eleven only when asked for
// (a computer club, a VS club: the user's own may be waiting for him).
// `index` is the club's index in the world, -1 for a club of no world.
void CheckClub(const Tteam& club, int32_t index, bool requireEleven, TViolations& out);
TViolations CheckClub(const Tteam& club, int32_t index, bool requireEleven);
