// The calendar: the 52 weeks of a season and what each week is for. Week 1
// is the contract week, weeks 2 to 11 the transfer weeks, weeks 12 to 51
// hold the league rounds, the cup rounds and the free weeks between them,
// and week 52 closes the season. Which kind a week is, and so what NEXT
// does in it, is asked here and nowhere spelled as numbers. It sits in the
// club layer because a club's week asks it too. Pure functions: a week
// outside 1 .. 52 is a free week, with no round.
#pragma once

#include <cstdint>

constexpr int32_t kWeeksPerSeason = 52;
constexpr int32_t kContractWeek = 1;
constexpr int32_t kFirstTransferWeek = 2;
// The market's last week: the frame still shows it, its NEXT sets up the
// leagues and the cup and ends the market.
constexpr int32_t kLastTransferWeek = 11;
// The transfer list's last week: the list is emptied after this week's
// market round; the next week still settles the negotiations opened in it.
constexpr int32_t kLastListingWeek = 9;
// From this week on the computer clubs, picking their elevens at the end
// of the week, leave their injured players out.
constexpr int32_t kInjuredLeftOutWeek = 10;
constexpr int32_t kFirstMatchWeek = 12;
constexpr int32_t kSeasonEndWeek = kWeeksPerSeason;
// The weeks of the cup's five rounds: round 1, round 2, quarter-final,
// semi-final, final.
constexpr int32_t kCupWeeks[5] = {20, 30, 39, 49, 51};
// The cup's quarter-final week. The two rounds before it have eight ties
// each, shown on two pages of results; from it on a round fits on one.
constexpr int32_t kCupQuarterFinalWeek = kCupWeeks[2];

// What a week is for, and so what NEXT does in it.
enum class TWeekPhase {
  Contract,   // renew or end contracts, hire coaches, take a youth
  Transfer,   // bid and answer on the transfer market
  League,     // a league round
  Cup,        // a cup round
  Free,       // nothing to play: the week passes
  SeasonEnd,  // the season's end: promotion, prizes, season events
};

TWeekPhase WeekPhase(int32_t week);
// The market exists in the contract and the transfer weeks.
bool IsMarketWeek(int32_t week);
bool IsLeagueWeek(int32_t week);
bool IsCupWeek(int32_t week);
// The cup round a cup week plays (0 .. 4, an index of kCupWeeks), -1 for
// other weeks.
int32_t CupRoundOfWeek(int32_t week);
// The league round a league week plays (0 .. 27), -1 for other weeks.
int32_t LeagueRoundOfWeek(int32_t week);
// The first league or cup week after `week`, -1 when the season has none.
int32_t NextMatchWeek(int32_t week);
// The first cup week at or after `week`, -1 when the season has none.
int32_t NextCupWeek(int32_t week);
