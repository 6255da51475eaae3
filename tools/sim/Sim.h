// The subcommands of vantorel-sim. Each returns its JSON text or throws;
// files are written only after everything else has succeeded.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "club/Ustream.h"

class Tgamemain;

// A mistake in the command line.
class UsageError : public VantorelError {
 public:
  using VantorelError::VantorelError;
};

struct TSimArgs {
  std::string Command;
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;  // "--seed" -> "7"
  bool Vs = false;

  bool Has(const std::string& opt) const { return Options.count(opt) != 0; }
  const std::string& Get(const std::string& opt) const { return Options.at(opt); }
};

TSimArgs ParseSimArgs(const std::vector<std::string>& args);
std::string RunSim(const std::vector<std::string>& args);

class TJsonWriter;
// One press of NEXT with the user's club on autopilot: its line-up chosen
// automatically before every week, the contract marks left as shown, no
// bids and no answers, every own match simulated, the season events clicked
// through. When a season ends and `seasons` is given, the season's summary
// is appended to it as one JSON object. Returns true when a season ended.
bool AutopilotWeek(Tgamemain& game, TJsonWriter* seasons);
