// The subcommands of vantorel-sim. Each returns its JSON text or throws;
// files are written only after everything else has succeeded.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/sim/Args.h"
#include "tools/sim/Json.h"
#include "world/Uautopilot.h"

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

// One press of NEXT with the user's club on autopilot: its line-up chosen
// automatically before every week, the contract marks left as shown, no
// bids and no answers, every own match simulated, the season events clicked
// through. When a season ends and `seasons` is given, the season's summary
// is appended to it as one JSON object. Returns true when a season ended.
// With a manager policy the contract and transfer weeks follow it instead.
// The week's decisions are the core's PlayAutopilotWeek.
bool AutopilotWeek(Tgamemain& game, TJson* seasons, const TManagerPolicy& manager = {});
