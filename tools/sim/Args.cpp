#include "tools/sim/Args.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace {

struct TOptionSpec {
  const char* Name;   // "--seed", or the argument's name for a positional ("HOME")
  const char* Value;  // what the value is called in the usage, "" for a flag
  const char* Help;
  bool Required = false;
  bool Many = false;  // a positional taking one or more values
};

// The usage texts are wrapped by hand: the formatter does not wrap.
struct TCommandSpec {
  const char* Name;
  const char* Summary;  // one line in the list of commands
  std::vector<TOptionSpec> Positionals;
  std::vector<TOptionSpec> Options;
  const char* Details = "";  // below the options of the command's usage
};

// The options several commands share, in the same words.
const TOptionSpec kSeed = {"--seed", "N", "random seed, up to 19 digits (default: the clock)"};
const TOptionSpec kLoadSlot = {"--load", "NAME", "slot to read: data/savedata/NAME.dat", true};
const TOptionSpec kThreads = {"--threads", "T", "worker threads (1 .. 256, default: one per core)"};

const std::vector<TCommandSpec>& Commands() {
  static const std::vector<TCommandSpec> commands = {
      {"new",
       "start a new game as START does and save it",
       {},
       {kSeed, {"--save", "NAME", "slot to write: data/savedata/NAME.dat", true}}},
      {"play",
       "play weeks with the user's club on autopilot",
       {},
       {kSeed,
        {"--load", "NAME", "slot to start from (default: a new game)"},
        {"--save", "NAME", "slot to write at the end"},
        {"--weeks", "K", "stop after K weeks (0 .. 52000)"},
        {"--seasons", "K", "stop after K seasons (0 .. 1000)"},
        {"--until-week", "W", "stop when the calendar reaches week W (1 .. 52)"},
        {"--keep-best", "N", "contract week: renew the N most valuable players, let the rest go"},
        {"--bid-budget", "M", "transfer weeks: bid on the most valuable listed players, up to M a window"},
        {"--hold-out", "", "transfer weeks: refuse every bid for the user's players"}},
       "Exactly one of --weeks, --seasons and --until-week is needed. The autopilot\n"
       "chooses the line-up automatically before every week, leaves the contract\n"
       "marks as shown, makes no bids, simulates every match and clicks through\n"
       "the season events. --keep-best (11 .. 50), --bid-budget and --hold-out make it\n"
       "a manager that marks the contract and transfer frames as a user would: bids\n"
       "count against M until they fail, players bought for good; holding out\n"
       "triples every bid, which a buyer must still pay."},
      {"match",
       "play one quick match of two clubs or VS files",
       {{"HOME", "", "club index 0 .. 23 of a new world, or a VS file (loaded as club 0)", true},
        {"AWAY", "", "club index 0 .. 23 of a new world, or a VS file (loaded as club 1)", true}},
       {kSeed,
        {"--vs", "", "a data battle, step by step as the window plays it"},
        {"--record", "NAME", "with --vs: write the replay to data/vtr/NAME.vtr"}},
       "With --vs both clubs play as data-battle sides and the computer substitutes\n"
       "for both from minute 30 on, every five minutes, as in the window: the same\n"
       "seed gives the same goals."},
      {"export-vs",
       "write the user's club of a slot as a VS file",
       {},
       {kSeed,
        kLoadSlot,
        {"--out", "NAME2", "VS file to write: data/vs/NAME2.vs", true},
        {"--comment", "TEXT", "the VS file's comment (default \"なし\")"}}},
      {"convert",
       "\"DATA変換\": old save and VS files to the current layout",
       {},
       {kSeed},
       "Each rewritten file is backed up first in data/savedatatmp or data/vstmp, beside\n"
       "(never over) an earlier backup of the same name; a damaged file stops the run\n"
       "before anything is written."},
      {"check",
       "read a save, VS or replay file and summarise it",
       {{"FILE", "", "a save (.dat), VS (.vs) or replay (.vtr) file", true}},
       {kSeed},
       "An old save or VS file is read through the converter in memory and reported\n"
       "with \"needs_conversion\":true."},
      {"analyse",
       "what a replay's frames tell: possession, territory, running, shapes, goals",
       {{"FILE", "", "a replay file (.vtr)", true}},
       {},
       "Possession per half and per five minutes, the ball's time in each third,\n"
       "every player's distance (metres, the field taken as 105 m long), top speed\n"
       "(metres per second of the match clock), time on the pitch, 12 x 8 heat map\n"
       "and average position, each side's shape, and the ball's last three steps\n"
       "before each goal. Maps and shapes are drawn with the side's own goal on the\n"
       "left. A damaged replay is refused as check refuses it."},
      {"outlook",
       "the odds of the season's end: the rest of the season played R times",
       {},
       {kSeed,
        kLoadSlot,
        {"--runs", "R", "seasons to play (1 .. 100000, default 200)"},
        kThreads,
        {"--progress", "", "one line of odds after every batch of runs, as they finish"},
        {"--batch", "B", "with --progress: runs per line (1 .. 100000, default 10)"}},
       "Every run plays the slot's world from its week to the season's end, the\n"
       "user's club on autopilot, and nothing is written. The same --seed gives the\n"
       "same odds byte for byte with any number of threads. With --progress each\n"
       "line is the outlook of the first runs (\"runs\" of them), the same as an\n"
       "outlook of that many runs; the last line is the whole outlook."},
      {"rehearse",
       "the user's next match played N times with both clubs' line-ups",
       {},
       {kSeed, kLoadSlot, {"--runs", "N", "matches to play (1 .. 1000000, default 1000)"}, kThreads},
       "Win, draw and loss are the user's; scores are home-away. Nothing is written."},
      {"tournament",
       "a league of 3 to 16 VS files, every match a data battle",
       {{"FILES", "", "VS files of the entrants (3 .. 16); not with --load", false, true}},
       {kSeed,
        {"--legs", "N", "1: every pair meets once, 2: home and away (default 1)"},
        kThreads,
        {"--record-dir", "DIR", "write a replay of every match played into DIR"},
        {"--save", "NAME", "write the tournament to data/tournament/NAME.tnm"},
        {"--load", "NAME", "go on with data/tournament/NAME.tnm"},
        {"--rounds", "N", "play at most N rounds (default: all that are left)"}},
       "Every match is played as `match HOME.vs AWAY.vs --vs --seed S` plays it, S\n"
       "being the fixture's \"seed\"; the same --seed gives the same tournament byte\n"
       "for byte with any number of threads. The table orders by points, goal\n"
       "difference, goals scored, the points among the tied clubs, then a draw\n"
       "the seed decides. The tournament file holds the clubs' VS data."},
      {"advise",
       "the assistant: line-ups for the user's next match, each played N times",
       {},
       {kSeed,
        kLoadSlot,
        {"--runs", "N", "matches per line-up (1 .. 100000, default 500)"},
        kThreads,
        {"--check-runs", "M", "replay the advised and the current line-up M times with fresh seeds"}},
       "The candidates: the current line-up, the automatic choice, the automatic\n"
       "choice in each shipped formation, and the two likeliest single changes.\n"
       "Every candidate plays the same seeds, so the differences come from the\n"
       "line-ups; best first by points a match. Nothing is written."},
      {"bench",
       "time matches, seasons, saving and loading",
       {},
       {kSeed,
        {"--matches", "N", "quick matches to time (0 .. 10000, default 20)"},
        {"--seasons", "K", "seasons to time (0 .. 100, default 2)"},
        {"--outlook-runs", "R", "time an outlook of R runs from week 12 (default 0: none)"},
        {"--rehearsal-runs", "N", "time a rehearsal of N matches from week 12 (default 0: none)"},
        {"--lanes", "K", "how a side's players run: avx512, avx2 or none (default: the widest there is)"}},
       "Wall clock and processor time per quick match and per season, a week-25\n"
       "game's save written to and read from memory, peak memory; with the\n"
       "outlook options the wall clock of an outlook and a rehearsal on every core.\n"
       "lanes tells how a side's players ran: in 512-bit or 256-bit vector\n"
       "registers, or one by one; the results are the same every way."},
  };
  return commands;
}

std::string CommandList() {
  std::string s;
  for (const TCommandSpec& c : Commands()) s += (s.empty() ? "" : "|") + std::string(c.Name);
  return s;
}

std::unique_ptr<CLI::App> MakeApp() {
  auto app = std::make_unique<CLI::App>(
      "vantorel-sim plays the game without a window and reads and writes the\n"
      "files the game does: run from the repository root, those in its data/;\n"
      "installed, the shipped data and the player's files in\n"
      "$XDG_DATA_HOME/vantorel (~/.local/share/vantorel); with --data DIR, DIR.\n"
      "Results are JSON on standard output; an error is one line on standard\n"
      "error, exit status 2, and nothing is written. The same command with the\n"
      "same --seed gives the same result byte for byte.\n",
      "vantorel-sim");
  app->require_subcommand(1);
  app->set_help_all_flag("--help-all", "Print the options of every command and exit");
  app->get_formatter()->column_width(26);
  app->add_option("--data")
      ->type_name("DIR")
      ->description("every file the game reads and writes is in DIR")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app->footer("`vantorel-sim COMMAND --help` lists the options of a command.");
  for (const TCommandSpec& c : Commands()) {
    CLI::App* sub = app->add_subcommand(c.Name, c.Summary);
    sub->set_help_all_flag();  // only the whole tool has it
    sub->fallthrough();        // --data after the command too
    for (const TOptionSpec& p : c.Positionals) {
      CLI::Option* opt = sub->add_option(p.Name)->description(p.Help)->type_name("");
      if (p.Many) opt->expected(-1)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
      if (p.Required) opt->required();
    }
    for (const TOptionSpec& o : c.Options) {
      CLI::Option* opt = *o.Value ? sub->add_option(o.Name)->type_name(o.Value) : sub->add_flag(o.Name);
      opt->description(o.Help);
      // A repeated option is reported below in the tool's own words.
      if (*o.Value) opt->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
      if (o.Required) opt->required();
    }
    sub->footer(c.Details);
  }
  return app;
}

}  // namespace

TSimArgs ParseSimArgs(const std::vector<std::string>& args) {
  const std::string usage = "usage: vantorel-sim " + CommandList() + " [options] (see vantorel-sim --help)";
  if (args.empty()) throw UsageError(usage);
  if (!args[0].empty() && args[0][0] != '-') {
    bool known = false;
    for (const TCommandSpec& c : Commands()) known = known || args[0] == c.Name;
    if (!known) throw UsageError("unknown command '" + args[0] + "'; " + usage);
  }

  std::unique_ptr<CLI::App> app = MakeApp();
  TSimArgs a;
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // CLI11 takes them last first
  try {
    app->parse(reversed);
  } catch (const CLI::CallForHelp&) {
    a.Help = app->help();  // the chosen command's help when one was named
  } catch (const CLI::CallForAllHelp&) {
    a.Help = app->help("", CLI::AppFormatMode::All);
  } catch (const CLI::ParseError& e) {
    std::vector<CLI::App*> chosen = app->get_subcommands();
    if (chosen.empty()) throw UsageError(std::string(e.what()) + "; " + usage);
    throw UsageError(chosen[0]->get_name() + ": " + e.what());
  }
  if (!a.Help.empty()) {
    while (a.Help.back() == '\n') a.Help.pop_back();
    return a;
  }

  const CLI::App* sub = app->get_subcommands().at(0);
  a.Command = sub->get_name();
  for (const TCommandSpec& c : Commands()) {
    if (a.Command != c.Name) continue;
    for (const TOptionSpec& p : c.Positionals) {
      const CLI::Option* opt = sub->get_option(p.Name);
      if (p.Many) {
        for (const std::string& v : opt->results()) a.Positional.push_back(v);
      } else {
        a.Positional.push_back(opt->as<std::string>());
      }
    }
    for (const TOptionSpec& o : c.Options) {
      const CLI::Option* opt = sub->get_option(o.Name);
      if (opt->count() == 0) continue;
      if (opt->count() > 1) throw UsageError(a.Command + ": " + o.Name + " given twice");
      a.Options[o.Name] = *o.Value ? opt->as<std::string>() : std::string();
    }
  }
  if (const CLI::Option* data = app->get_option("--data"); data->count() > 0) {
    if (data->count() > 1) throw UsageError("--data given twice");
    a.Options["--data"] = data->as<std::string>();
    if (a.Options["--data"].empty()) throw UsageError("--data: a directory is needed");
  }
  a.Vs = a.Has("--vs");
  return a;
}
