// The command line of vantorel-sim: its subcommands, their options and the
// usage texts printed for --help.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "club/Ustream.h"

// A mistake in the command line.
class UsageError : public VantorelError {
 public:
  using VantorelError::VantorelError;
};

// One command line, read. Option values are kept as given: each command
// reads the numbers it needs itself, so that "010" is ten and a range error
// names the option.
struct TSimArgs {
  std::string Command;
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;  // "--seed" -> "7"; a flag -> ""
  bool Vs = false;
  // The usage text asked for with --help; when set, no command runs.
  std::string Help;

  bool Has(const std::string& opt) const { return Options.count(opt) != 0; }
  const std::string& Get(const std::string& opt) const { return Options.at(opt); }
};

// Throws UsageError for an unknown command or option, a missing or repeated
// value, a missing required option or a wrong number of arguments.
TSimArgs ParseSimArgs(const std::vector<std::string>& args);
