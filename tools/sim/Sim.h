// The subcommands of vantorel-sim. Each returns its JSON text or throws;
// files are written only after everything else has succeeded.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/sim/Args.h"
#include "tools/sim/Json.h"

class Tgamemain;

// A command that failed with a report: the report (JSON) goes to standard
// output, the message to standard error as for any error, exit status 2.
// `check` of a file that breaks an invariant lists every violation so.
class SimFailure : public std::runtime_error {
 public:
  SimFailure(const std::string& message, std::string report)
      : std::runtime_error(message), report_(std::move(report)) {}
  const std::string& Report() const { return report_; }

 private:
  std::string report_;
};

// The text to print on standard output for the command line: a command's
// JSON, or the usage asked for with --help. Throws UsageError for a mistake
// in the command line, other errors for what the command met.
std::string RunSim(const std::vector<std::string>& args);

// The user's off-season decisions when vantorel-sim plays a manager rather
// than the plain autopilot. They go through the contract and transfer
// frames' own operations (marks on the frames' grids, then CommitContracts,
// SubmitBids, AnswerOffers).
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

// One press of NEXT with the user's club on autopilot: its line-up chosen
// automatically before every week, the contract marks left as shown, no
// bids and no answers, every own match simulated, the season events clicked
// through. When a season ends and `seasons` is given, the season's summary
// is appended to it as one JSON object. Returns true when a season ended.
// With a manager policy the contract and transfer weeks follow it instead.
bool AutopilotWeek(Tgamemain& game, TJson* seasons, const TManagerPolicy& manager = {});
