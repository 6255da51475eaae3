// The user's club played without a user: the same decisions vantorel-sim's
// autopilot and manager make, and the season outlook plays for the user in
// every run. Each decision goes through the contract and transfer frames'
// own operations (marks on the frames' grids, then CommitContracts,
// SubmitBids, AnswerOffers), so it obeys every rule a user's click does.
#pragma once

#include <cstdint>
#include <functional>

class Tgamemain;
class Tteam;

// The user's off-season decisions when the autopilot plays a manager.
struct TManagerPolicy {
  // Contract week: renew the KeepBest most valuable squad players (giving a
  // free number to one who has none) and let the others go; -1 leaves the
  // marks as shown. Youths stay in the youth team.
  int KeepBest = -1;
  // Transfer weeks: bid on the most valuable affordable listed players while
  // the window's spending (players bought plus bids still open) stays
  // within BidBudget; 0 makes no bids.
  int64_t BidBudget = 0;
  // Transfer weeks: hold out against every bid for the user's players.
  bool HoldOut = false;

  bool Any() const { return KeepBest >= 0 || BidBudget > 0 || HoldOut; }
};

// One press of NEXT with the user's club on autopilot: the line-up chosen
// automatically ("自動選抜"), the contract marks left as shown, no bids and
// no answers (or the manager's marks), every own match simulated. In week
// 52 this is the season's end step; the season events that follow are the
// caller's. Throws when the world cannot go on (no market in the contract
// week, no competition in a match week, an incomplete starting eleven).
// `during` is called as the week's matches go on (several times a match);
// whatever it throws ends the week there, the world left half played.
void PlayAutopilotWeek(Tgamemain& game, const TManagerPolicy& manager = {}, const std::function<void()>& during = {});

// The season events that follow the season's end, on the thread's
// GameState, clicked through as they are offered. Throws when they do not
// end.
void ClickThroughSeasonEvents();
