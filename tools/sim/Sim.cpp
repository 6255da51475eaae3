#include "tools/sim/Sim.h"

#include <sys/resource.h>

#include <time.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <memory>

#include "club/Ucommatext.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uintlist.h"
#include "club/Uinvariants.h"
#include "club/Upaths.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Umatchrun.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"
#include "match/Uvtranalyse.h"
#include "tools/sim/Json.h"
#include "world/Uadvice.h"
#include "world/Uautopilot.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Uoutlook.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"
#include "world/Utournament.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"
#include "world/Uvsdata.h"

namespace {

// ---- option values ------------------------------------------------------------

int64_t ParseInteger(const std::string& text, const std::string& what, int64_t lo, int64_t hi) {
  if (text.empty()) throw UsageError(what + ": a number is needed");
  std::size_t i = 0;
  bool neg = false;
  if (text[0] == '-' || text[0] == '+') {
    neg = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) throw UsageError(what + ": not a number: " + text);
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') throw UsageError(what + ": not a number: " + text);
    if (v > (UINT64_MAX - 9) / 10) throw UsageError(what + ": number too large: " + text);
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > static_cast<uint64_t>(INT64_MAX)) throw UsageError(what + ": number too large: " + text);
  int64_t r = neg ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  if (r < lo || r > hi)
    throw UsageError(what + " must be between " + std::to_string(lo) + " and " + std::to_string(hi));
  return r;
}

bool IsAllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

// The generator's seed: --seed, or the clock (reported in the output so a
// run can be repeated).
uint64_t SeedOf(const TSimArgs& a) {
  if (a.Has("--seed")) {
    const std::string& t = a.Get("--seed");
    if (!IsAllDigits(t) || t.size() > 19) throw UsageError("--seed: a number 0 .. 9999999999999999999 is needed");
    return std::stoull(t);
  }
  return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000000ull;
}

// ---- worlds -----------------------------------------------------------------

// The one game state of the run, published as GameState while it lives.
class TWorld {
 public:
  TWorld() : game_(std::make_unique<Tgamemain>(Tgamemain::TNoSeed{})) { GameState = game_.get(); }
  ~TWorld() {
    if (GameState == game_.get()) GameState = nullptr;
  }
  Tgamemain& operator*() { return *game_; }
  Tgamemain* operator->() { return game_.get(); }

 private:
  std::unique_ptr<Tgamemain> game_;
};

// A new game as the title screen's START makes it: a new world from the
// start data, then a new transfer market.
void StartNewGame(Tgamemain& g, uint64_t seed) {
  RandSeed(seed);
  g.NewGameFrom(ShippedPath("first.dat"), false);
  g.Market = std::make_unique<Ttrade>();
}

void LoadOrStart(Tgamemain& g, const TSimArgs& a, uint64_t seed) {
  if (a.Has("--load")) {
    LoadGameFromSlot(g, a.Get("--load"));
    RandSeed(seed);  // the sequence starts from the loaded game
  } else {
    StartNewGame(g, seed);
  }
}

std::string PlayerName(const Tgamemain& g, int32_t club, int32_t number) {
  if (club < 0 || club >= kClubCount || !g.Teams[club]) return "";
  const Tplayer* p = g.Teams[club]->Squad->PlayerByNumber(number);
  return p ? p->Name : "";
}

std::string ClubName(const Tgamemain& g, int32_t club) {
  if (club < 0 || club >= kClubCount || !g.Teams[club]) return "";
  return g.Teams[club]->ClubName;
}

// ---- the autopilot's season summary -------------------------------------------

struct TLeader {
  int32_t Club = -1;
  int32_t Number = 0;
  int32_t Count = 0;
};

TLeader LeaderOf(const TIntgrid& ranking) {
  TLeader best;
  for (int r = 0; r < ranking.RowCount(); ++r) {
    if (ranking.RowLength(r) < 4) continue;
    int32_t n = ranking.GetValue(r, 3);
    if (best.Club < 0 || n > best.Count) {
      best.Club = ranking.GetValue(r, 1);
      best.Number = ranking.GetValue(r, 2);
      best.Count = n;
    }
  }
  return best;
}

TJson LeaderJson(const Tgamemain& g, const TIntgrid& ranking, const char* countKey) {
  TLeader l = LeaderOf(ranking);
  if (l.Club < 0) return nullptr;
  return {{"club", ClubName(g, l.Club)},
          {"number", l.Number},
          {"player", PlayerName(g, l.Club, l.Number)},
          {countKey, l.Count}};
}

// Everything of the finished season that the season end takes away: the
// final tables, the rankings and the cup winner. Written before the advance
// of week 52.
void WriteSeasonStandings(TJson& j, Tgamemain& g) {
  j["year"] = g.Year;
  TJson& tables = j["tables"] = TJson::array();
  for (int d = 0; d < kDivisionCount; ++d) {
    TJson& table = tables.emplace_back(TJson::array());
    Tleague* lg = g.Leagues[d].get();
    if (lg) {
      lg->UpdatePositions();
      std::vector<int> slots = {0, 1, 2, 3, 4, 5, 6, 7};
      std::stable_sort(slots.begin(), slots.end(), [&](int a, int b) {
        return lg->Table[a][Tleague::kPosition] < lg->Table[b][Tleague::kPosition];
      });
      for (int s : slots) {
        const auto& row = lg->Table[s];
        table.push_back({{"club", ClubName(g, row[Tleague::kClub])},
                         {"index", row[Tleague::kClub]},
                         {"w", row[Tleague::kWins]},
                         {"d", row[Tleague::kDraws]},
                         {"l", row[Tleague::kLosses]},
                         {"pts", row[Tleague::kPoints]},
                         {"gf", row[Tleague::kGoalsFor]},
                         {"ga", row[Tleague::kGoalsAgainst]}});
      }
    }
  }
  if (g.Cup && g.Cup->EntrantCount() == 1)
    j["cup_winner"] = ClubName(g, g.Cup->ClubOfRow(0));
  else
    j["cup_winner"] = nullptr;
  TJson& scorers = j["top_scorers"] = TJson::array();
  for (int d = 0; d < kDivisionCount; ++d)
    scorers.push_back(g.Leagues[d] ? LeaderJson(g, g.Leagues[d]->ScorerRanking, "goals") : nullptr);
  TJson& assists = j["assist_leaders"] = TJson::array();
  for (int d = 0; d < kDivisionCount; ++d)
    assists.push_back(g.Leagues[d] ? LeaderJson(g, g.Leagues[d]->AssistRanking, "assists") : nullptr);
}

// What the season end and the events left: the user's history row and
// every club's money.
void WriteSeasonAftermath(TJson& j, const Tgamemain& g) {
  int rows = g.SeasonHistory.RowCount();
  if (rows >= 2)
    j["history"] = g.SeasonHistory.Rows[rows - 2].Values;
  else
    j["history"] = nullptr;
  std::vector<int32_t> money;
  for (int c = 0; c < kClubCount; ++c) money.push_back(g.Teams[c] ? g.Teams[c]->Money : 0);
  j["money"] = money;
  TJson& divisions = j["divisions"] = TJson::array();
  for (int d = 0; d < kDivisionCount; ++d)
    divisions.push_back(std::vector<int32_t>(g.Divisions[d].begin(), g.Divisions[d].end()));
}

void RequireStartingEleven(const Tteam& user) {
  if (!user.StartingElevenComplete()) throw VantorelError("スタメンが決まっていません");
}

}  // namespace

bool AutopilotWeek(Tgamemain& g, TJson* seasons, const TManagerPolicy& manager) {
  if (g.Week != kSeasonEndWeek) {
    PlayAutopilotWeek(g, manager);
    return false;
  }
  TJson season = TJson::object();
  if (seasons) WriteSeasonStandings(season, g);
  PlayAutopilotWeek(g, manager);
  ClickThroughSeasonEvents();
  if (seasons) {
    WriteSeasonAftermath(season, g);
    seasons->push_back(std::move(season));
  }
  return true;
}

namespace {

// ---- subcommands -----------------------------------------------------------------

std::string CmdNew(const TSimArgs& a) {
  const std::string& slot = a.Get("--save");
  SlotPath(slot);
  uint64_t seed = SeedOf(a);
  TWorld w;
  StartNewGame(*w, seed);
  SaveGameToSlot(*w, slot);
  std::vector<std::string> clubs;
  for (int c = 0; c < kClubCount; ++c) clubs.push_back(ClubName(*w, c));
  return JsonText({{"seed", seed},
                   {"slot", slot},
                   {"file", SlotPath(slot)},
                   {"year", w->Year},
                   {"week", w->Week},
                   {"user_club", ClubName(*w, 0)},
                   {"clubs", clubs}});
}

std::string CmdPlay(const TSimArgs& a) {
  int modes = a.Has("--weeks") + a.Has("--seasons") + a.Has("--until-week");
  if (modes != 1) throw UsageError("play: exactly one of --weeks K, --seasons K, --until-week W is needed");
  int64_t weeks = -1, seasonsWanted = -1, untilWeek = -1;
  if (a.Has("--weeks")) weeks = ParseInteger(a.Get("--weeks"), "--weeks", 0, kWeeksPerSeason * 1000);
  if (a.Has("--seasons")) seasonsWanted = ParseInteger(a.Get("--seasons"), "--seasons", 0, 1000);
  if (a.Has("--until-week"))
    untilWeek = ParseInteger(a.Get("--until-week"), "--until-week", kContractWeek, kSeasonEndWeek);
  if (a.Has("--save")) SlotPath(a.Get("--save"));
  if (a.Has("--load")) SlotPath(a.Get("--load"));
  TManagerPolicy manager;
  if (a.Has("--keep-best"))
    manager.KeepBest = static_cast<int>(ParseInteger(a.Get("--keep-best"), "--keep-best", 11, 50));
  if (a.Has("--bid-budget")) manager.BidBudget = ParseInteger(a.Get("--bid-budget"), "--bid-budget", 0, INT32_MAX);
  manager.HoldOut = a.Has("--hold-out");
  uint64_t seed = SeedOf(a);

  auto t0 = std::chrono::steady_clock::now();
  TWorld w;
  LoadOrStart(*w, a, seed);
  TJson seasons = TJson::array();
  int64_t played = 0, ended = 0;
  for (;;) {
    if (weeks >= 0 && played >= weeks) break;
    if (seasonsWanted >= 0 && ended >= seasonsWanted) break;
    if (untilWeek >= 0 && w->Week == untilWeek) break;
    if (AutopilotWeek(*w, &seasons, manager)) ++ended;
    ++played;
  }
  if (a.Has("--save")) SaveGameToSlot(*w, a.Get("--save"));
  double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return JsonText({{"seed", seed},
                   {"seasons", std::move(seasons)},
                   {"year", w->Year},
                   {"week", w->Week},
                   {"weeks_played", played},
                   {"elapsed_s", Measured(elapsed)}});
}

// A side of a quick match: a club index of the world, or a VS file loaded
// into the given club slot.
int32_t PrepareSide(Tgamemain& g, const std::string& arg, int32_t slotForFile, const char* which) {
  if (IsAllDigits(arg) && arg.size() <= 2) {
    int32_t c = static_cast<int32_t>(ParseInteger(arg, which, 0, kClubCount - 1));
    return c;
  }
  if (IsAllDigits(arg)) ParseInteger(arg, which, 0, kClubCount - 1);
  TVsData d = ReadVsFile(arg, slotForFile);
  g.Teams[slotForFile] = std::move(d.Club);
  return slotForFile;
}

std::string CmdMatch(const TSimArgs& a) {
  if (a.Has("--record") && !a.Vs) throw UsageError("match: --record needs --vs (only data battles are recorded)");
  if (a.Has("--record")) VtrPath(a.Get("--record"));
  uint64_t seed = SeedOf(a);
  TWorld w;
  StartNewGame(*w, seed);
  const std::string& homeArg = a.Positional[0];
  const std::string& awayArg = a.Positional[1];
  bool homeIsFile = !IsAllDigits(homeArg), awayIsFile = !IsAllDigits(awayArg);
  int32_t home = PrepareSide(*w, homeArg, 0, "HOME");
  int32_t away = PrepareSide(*w, awayArg, 1, "AWAY");
  if (home == away) throw UsageError("match: HOME and AWAY are the same club");
  if ((homeIsFile && !awayIsFile && away == 0) || (awayIsFile && !homeIsFile && home == 1))
    throw UsageError("match: a VS file takes club 0 (home) or 1 (away); choose another club index");
  for (int32_t c : {home, away}) {
    Tteam& t = w->Team(c);
    if (!t.StartingElevenComplete()) t.AutoLineup(false);
    if (!t.StartingElevenComplete()) throw VantorelError(t.ClubName + ": スタメンが決まっていません");
  }

  TMatchOutcome o;
  std::string replay;
  if (a.Vs) {
    // A data battle, step by step as the match screen plays it: both
    // line-ups as data-battle sides, the computer substituting for both,
    // every frame recorded.
    TmVTR recorder;
    std::vector<uint8_t> header;
    const bool record = a.Has("--record");
    o = PlayDataBattle(w->Team(home), w->Team(away), record ? &recorder : nullptr, &header);
    if (record) {
      recorder.WriteFileAs(header, a.Get("--record"));
      replay = VtrPath(a.Get("--record"));
    }
  } else {
    o = PlayQuickMatch(home, away, 0, {});
  }
  const std::string& goals0 = o.HomeText;
  const std::string& goals1 = o.AwayText;
  const int32_t score0 = o.HomeGoals, score1 = o.AwayGoals;
  const TIntgrid& stats = o.Stats;

  auto lines = [](const std::string& text) { return text.empty() ? std::vector<std::string>{} : SplitCommaText(text); };
  TJson rows = TJson::array();
  for (const TInput& row : stats.Rows) rows.push_back(row.Values);
  TJson out = {{"seed", seed}, {"home", w->Team(home).ClubName}, {"away", w->Team(away).ClubName}, {"vs", a.Vs}};
  if (!replay.empty()) out["replay"] = replay;
  out["score"] = TJson::array({score0, score1});
  out["goals"] = TJson::array({lines(goals0), lines(goals1)});
  out["stats"] = std::move(rows);
  return JsonText(out);
}

std::string CmdExportVs(const TSimArgs& a) {
  std::string path = VsPath(a.Get("--out"));
  std::string comment = a.Has("--comment") ? a.Get("--comment") : kDefaultVsComment;
  TWorld w;
  LoadGameFromSlot(*w, a.Get("--load"));
  const Tteam& user = w->Team(kUserClub);
  RequireStartingEleven(user);
  ExportVs(user, comment, a.Get("--out"));
  return JsonText(
      {{"file", path}, {"club", user.ClubName}, {"comment", comment}, {"bytes", MakeVsImage(user, comment).size()}});
}

TJson ReportJson(const Tsavechange::TReport& r) { return {{"converted", r.Converted}, {"unchanged", r.Unchanged}}; }

std::string CmdConvert(const TSimArgs& a) {
  RandSeed(SeedOf(a));
  TWorld w;  // the state the title screen would hold; the conversion does not touch it
  Tsavechange change;
  Tsavechange::TReport saves, vs;
  change.ConvertAll(saves, vs);
  return JsonText({{"saves", ReportJson(saves)}, {"vs", ReportJson(vs)}, {"message", "変換終了"}});
}

// ---- check -----------------------------------------------------------------------

std::string Extension(const std::string& path) {
  auto slash = path.find_last_of('/');
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot);
}

std::string CheckSave(const std::string& path, std::vector<uint8_t> image) {
  std::string version = PeekVersionString(image);
  int32_t vnum = Tsavechange::ReadVersionNumber(image);
  bool old = vnum != 17;
  std::vector<uint8_t> body = image;
  if (old) {
    if (vnum != kNoVersion && vnum != 6 && vnum != 11)
      throw FileError(path, "セーブデータの形式が違います (version \"" + version + "\")");
    // Through the converter, in memory: two steps for a file without version.
    for (int i = 0; i < 2 && Tsavechange::ReadVersionNumber(body) != 17; ++i)
      body = Tsavechange::ConvertSaveImage(body);
  }
  TWorld w;
  TStream s(body);
  w->LoadFromStream(s, true);
  const Tgamemain& g = *w;
  return JsonText({{"kind", "save"},
                   {"file", path},
                   {"version", vnum == kNoVersion ? std::string() : version},
                   {"needs_conversion", old},
                   {"bytes", image.size()},
                   {"year", g.Year},
                   {"week", g.Week},
                   {"next", TJson::array({g.NextHome, g.NextAway})},
                   {"user_club", ClubName(g, 0)},
                   {"user_division", g.DivisionOf(0)},
                   {"user_money", g.Teams[0] ? g.Teams[0]->Money : 0},
                   {"user_squad", g.Teams[0] ? g.Teams[0]->Squad->Count() : 0},
                   {"seasons_finished", std::max(0, g.SeasonHistory.RowCount() - 1)},
                   {"leagues", static_cast<bool>(g.Leagues[0])},
                   {"market", static_cast<bool>(g.Market)},
                   {"cup", static_cast<bool>(g.Cup)}});
}

std::string CheckVs(const std::string& path, const std::vector<uint8_t>& image) {
  std::string version = PeekVersionString(image);
  int32_t vnum = Tsavechange::ReadVersionNumber(image);
  std::vector<uint8_t> current = image;
  bool old = vnum == 6 || vnum == 11;
  if (old) current = Tsavechange::ConvertVsImage(image);
  TVsData d = ParseVsImage(current, 0);
  old = old && current != image;
  const Tteam& t = *d.Club;
  return JsonText({{"kind", "vs"},
                   {"file", path},
                   {"version", version},
                   {"needs_conversion", old},
                   {"bytes", image.size()},
                   {"comment", d.Comment},
                   {"club", t.ClubName},
                   {"money", t.Money},
                   {"squad", t.Squad->Count()},
                   {"youth", t.Youth->Count()},
                   {"starting_eleven", t.StartingElevenComplete()}});
}

std::string CheckVtr(const std::string& path, const std::vector<uint8_t>& image) {
  TmVTR r;
  r.ParseImage(image);
  const TmVTRsc& last = r.Frames.back();
  return JsonText({{"kind", "vtr"},
                   {"file", path},
                   {"bytes", image.size()},
                   {"names", TJson::array({r.Sides[0].Name, r.Sides[1].Name})},
                   {"goals", TJson::array({r.Sides[0].GoalLines, r.Sides[1].GoalLines})},
                   {"score", TJson::array({last.Goals(0), last.Goals(1)})},
                   {"frames", r.FrameCount()},
                   {"complete", r.FrameCount() == kMatchTicks}});
}

const char* ListName(TListKind k) {
  switch (k) {
    case TListKind::Squad: return "squad";
    case TListKind::Youth: return "youth";
    case TListKind::FreeAgents: return "free_agents";
    default: return nullptr;
  }
}

// Every broken invariant of a file that reads: which one, where (club and
// list, player number) and what, so that whoever received a bad VS file can
// tell its sender what is wrong.
TJson ViolationsJson(const TViolations& violations) {
  TJson list = TJson::array();
  for (const TViolation& v : violations) {
    TJson j = {{"invariant", InvariantName(v.Invariant)}, {"text", v.Text()}};
    j["club"] = v.Club >= 0 ? TJson(v.Club) : TJson(nullptr);
    if (!v.ClubName.empty()) j["club_name"] = v.ClubName;
    if (const char* l = ListName(v.List)) j["list"] = l;
    if (v.List != TListKind::None || v.Number >= 0) j["number"] = v.Number;
    if (!v.Detail.empty()) j["detail"] = v.Detail;
    list.push_back(std::move(j));
  }
  return list;
}

std::string CmdCheck(const TSimArgs& a) {
  RandSeed(SeedOf(a));
  const std::string& path = a.Positional[0];
  std::string ext = Extension(path);
  if (ext != ".dat" && ext != ".vs" && ext != ".vtr")
    throw FileError(path, "unknown kind of file (expected .dat, .vs or .vtr)");
  std::vector<uint8_t> image = ReadWholeFile(path, ext == ".vs"    ? kMaxVsFileBytes
                                                   : ext == ".vtr" ? kMaxVtrFileBytes
                                                                   : (64u << 20));
  try {
    if (ext == ".dat") return CheckSave(path, std::move(image));
    if (ext == ".vs") return CheckVs(path, image);
    return CheckVtr(path, image);
  } catch (const FileError&) {
    throw;
  } catch (const InvariantError& e) {
    const bool save = ext == ".dat";
    InvariantFileError refused(path, save ? "セーブデータが規則に合いません" : "対戦データが規則に合いません", e);
    throw SimFailure(refused.what(), JsonText({{"kind", save ? "save" : "vs"},
                                               {"file", path},
                                               {"valid", false},
                                               {"violations", ViolationsJson(e.Violations())}}));
  } catch (const std::exception& e) {
    throw FileError(path, e.what());
  }
}

// ---- analyse ---------------------------------------------------------------------

// The replay clock of a frame, "MM:SS".
std::string Clock(int32_t frame) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", frame / 60, frame % 60);
  return buf;
}

TJson PointJson(const TVtrPoint& p) { return {{"x", Measured(p.X)}, {"y", Measured(p.Y)}}; }

// Rows of the heat map, top row first.
TJson HeatJson(const TVtrHeat& heat) {
  TJson rows = TJson::array();
  for (int r = 0; r < kHeatRows; ++r) {
    TJson row = TJson::array();
    for (int c = 0; c < kHeatColumns; ++c) row.push_back(heat[size_t(r * kHeatColumns + c)]);
    rows.push_back(std::move(row));
  }
  return rows;
}

TJson SideJson(const TmVTR& r, const TVtrAnalysis& a, int s) {
  const TVtrSideStats& side = a.Sides[size_t(s)];
  TJson shape = TJson::array();
  for (int j = 0; j < 11; ++j)
    shape.push_back(
        {{"slot", j}, {"number", side.Shape[size_t(j)].Number}, {"at", PointJson(side.Shape[size_t(j)].Average)}});
  return {{"name", r.Sides[size_t(s)].Name},
          {"possession", Measured(side.Possession)},
          {"possession_halves", {Measured(side.HalfPossession[0]), Measured(side.HalfPossession[1])}},
          {"territory",
           {{"own", Measured(side.Territory[0])},
            {"middle", Measured(side.Territory[1])},
            {"attacking", Measured(side.Territory[2])}}},
          {"own_goal_left", {side.OwnGoalLeft[0], side.OwnGoalLeft[1]}},
          {"shape", std::move(shape)},
          {"heat", HeatJson(side.Heat)}};
}

std::string CmdAnalyse(const TSimArgs& a) {
  const std::string& path = a.Positional[0];
  if (Extension(path) != ".vtr") throw FileError(path, "not a replay file (expected .vtr)");
  const std::vector<uint8_t> image = ReadWholeFile(path, kMaxVtrFileBytes);
  TmVTR r;
  try {
    r.ParseImage(image);
  } catch (const std::exception& e) {
    throw FileError(path, e.what());
  }
  const TVtrAnalysis an = AnalyseVtr(r);
  TJson slices = TJson::array();
  for (const TVtrSlice& sl : an.Slices)
    slices.push_back(
        {{"from", Clock(sl.From)}, {"to", Clock(sl.To)}, {"share", {Measured(sl.Share[0]), Measured(sl.Share[1])}}});
  TJson players = TJson::array();
  for (const TVtrPlayerStats& p : an.Players)
    players.push_back({{"side", p.Side},
                       {"number", p.Number},
                       {"name", p.Name},
                       {"on", Clock(p.FirstFrame)},
                       {"off", Clock(p.LastFrame)},
                       {"seconds", p.Steps},
                       {"distance_m", Measured(p.DistanceMetres)},
                       {"top_speed_m_s", Measured(p.TopSpeed)},
                       {"average", PointJson(p.Average)},
                       {"heat", HeatJson(p.Heat)}});
  TJson goals = TJson::array();
  for (const TVtrGoalTrace& g : an.Goals) {
    TJson ball = TJson::array();
    for (const TVtrBallPoint& b : g.Ball)
      ball.push_back({{"clock", Clock(b.Frame)}, {"at", PointJson(b.At)}, {"height", b.Height}});
    goals.push_back({{"side", g.Side},
                     {"minute", g.Minute},
                     {"clock", Clock(g.Frame)},
                     {"scorer", g.Scorer},
                     {"own_goal", g.OwnGoal},
                     {"text", g.Text},
                     {"ball", std::move(ball)}});
  }
  const TmVTRsc& last = r.Frames.back();
  return JsonText({{"kind", "vtr_analysis"},
                   {"file", path},
                   {"frames", an.Frames},
                   {"score", TJson::array({last.Goals(0), last.Goals(1)})},
                   {"metres_per_unit", Measured(kMetresPerUnit)},
                   {"sides", {SideJson(r, an, 0), SideJson(r, an, 1)}},
                   {"possession_slices", std::move(slices)},
                   {"players", std::move(players)},
                   {"goals", std::move(goals)}});
}

// ---- bench -----------------------------------------------------------------------

struct TSpread {
  double Median = 0, Min = 0, Max = 0;
};

TSpread SpreadOf(std::vector<double> v) {
  TSpread s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.Min = v.front();
  s.Max = v.back();
  std::size_t n = v.size();
  s.Median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
  return s;
}

// Processor time of this process: on a busy machine the wall clock also
// counts the time other programs had the processor.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

TJson SpreadJson(const std::vector<double>& v) {
  TSpread s = SpreadOf(v);
  return {{"median", Measured(s.Median)}, {"min", Measured(s.Min)}, {"max", Measured(s.Max)}};
}

std::string CmdBench(const TSimArgs& a) {
  int64_t matches = a.Has("--matches") ? ParseInteger(a.Get("--matches"), "--matches", 0, 10000) : 20;
  int64_t seasons = a.Has("--seasons") ? ParseInteger(a.Get("--seasons"), "--seasons", 0, 100) : 2;
  int64_t outlookRuns =
      a.Has("--outlook-runs") ? ParseInteger(a.Get("--outlook-runs"), "--outlook-runs", 0, 100000) : 0;
  int64_t rehearsalRuns =
      a.Has("--rehearsal-runs") ? ParseInteger(a.Get("--rehearsal-runs"), "--rehearsal-runs", 0, 1000000) : 0;
  uint64_t seed = SeedOf(a);
  if (a.Has("--lanes")) {
    const std::string k = a.Get("--lanes");
    TLaneKernel kernel;
    if (!LaneKernelNamed(k, kernel)) throw VantorelError("--lanes must be avx512, avx2 or none: " + k);
    SetLaneKernel(kernel);
  }
  using Clock = std::chrono::steady_clock;

  std::vector<double> matchMs, matchCpuMs, seasonCpuS, saveMs, loadMs;
  {
    TWorld w;
    StartNewGame(*w, seed);
    for (int64_t i = 0; i < matches; ++i) {
      int32_t home = static_cast<int32_t>(i % kClubCount);
      int32_t away = static_cast<int32_t>((i * 7 + 5) % kClubCount);
      if (away == home) away = (home + 1) % kClubCount;
      auto t0 = Clock::now();
      double c0 = CpuSeconds();
      PlayQuickMatch(home, away, 0, {});
      matchCpuMs.push_back((CpuSeconds() - c0) * 1000);
      matchMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
  }
  std::vector<double> seasonS;
  {
    TWorld w;
    StartNewGame(*w, seed);
    for (int64_t i = 0; i < seasons; ++i) {
      auto t0 = Clock::now();
      double c0 = CpuSeconds();
      while (!AutopilotWeek(*w, nullptr)) {
      }
      seasonCpuS.push_back(CpuSeconds() - c0);
      seasonS.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    // A mid-season game written to and read from memory (the slot file's
    // bytes, without the disk).
    while (w->Week != 25) AutopilotWeek(*w, nullptr);
    for (int i = 0; i < 5; ++i) {
      auto t0 = Clock::now();
      std::vector<uint8_t> body = w->SaveBody();
      auto t1 = Clock::now();
      Tgamemain fresh(Tgamemain::TNoSeed{});
      TStream s(std::move(body));
      fresh.LoadFromStream(s, true);
      auto t2 = Clock::now();
      saveMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
      loadMs.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    GameState = &*w;
  }
  // The season outlook and the rehearsal from week 12 of year 1, on every
  // core: the wall clock is what the player waits for.
  std::vector<double> outlookS, rehearsalS;
  if (outlookRuns > 0 || rehearsalRuns > 0) {
    TWorld w;
    StartNewGame(*w, seed);
    while (w->Week != kFirstMatchWeek) AutopilotWeek(*w, nullptr);
    if (outlookRuns > 0) {
      auto t0 = Clock::now();
      SeasonOutlook(*w, {static_cast<int>(outlookRuns), 0, seed});
      outlookS.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    if (rehearsalRuns > 0) {
      auto t0 = Clock::now();
      RehearseNextMatch(*w, {static_cast<int>(rehearsalRuns), 0, seed});
      rehearsalS.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
  }
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  TJson result = {{"seed", seed},
                  {"matches", matches},
                  {"seasons", seasons},
                  {"ms_per_match", SpreadJson(matchMs)},
                  {"s_per_season", SpreadJson(seasonS)},
                  {"cpu_ms_per_match", SpreadJson(matchCpuMs)},
                  {"cpu_s_per_season", SpreadJson(seasonCpuS)},
                  {"ms_save_mid_season", SpreadJson(saveMs)},
                  {"ms_load_mid_season", SpreadJson(loadMs)},
                  {"peak_rss_mb", Measured(static_cast<double>(ru.ru_maxrss) / 1024.0)},
                  {"lanes", LaneKernelName(LaneKernel())}};
  if (!outlookS.empty()) result["s_outlook"] = SpreadJson(outlookS);
  if (!rehearsalS.empty()) result["s_rehearsal"] = SpreadJson(rehearsalS);
  return JsonText(result);
}

// ---- outlook and rehearsal ----------------------------------------------------

int ThreadsOption(const TSimArgs& a) {
  return a.Has("--threads") ? static_cast<int>(ParseInteger(a.Get("--threads"), "--threads", 1, 256)) : 0;
}

TJson ClubJson(const Tgamemain& g, int32_t club) { return {{"club", ClubName(g, club)}, {"index", club}}; }

TJson OutlookJson(const Tgamemain& w, const TSeasonOutlook& r) {
  TJson divisions = TJson::array();
  for (int d = 1; d <= kDivisionCount; ++d) {
    TJson& rows = divisions.emplace_back(TJson::array());
    for (const TClubOdds* c : OddsOfDivision(r, d)) {
      TJson row = ClubJson(w, c->Club);
      row["position"] = std::vector<double>(c->Position.begin(), c->Position.end());
      row["promotion"] = c->Promotion;
      row["relegation"] = c->Relegation;
      row["cup"] = c->Cup;
      row["points"] = c->ExpectedPoints;
      rows.push_back(std::move(row));
    }
  }
  TJson user = ClubJson(w, kUserClub);
  user["money"] = r.UserMoney;
  return {{"seed", r.Seed},
          {"runs", r.Runs},
          {"year", r.Year},
          {"week", r.Week},
          {"divisions", std::move(divisions)},
          {"user", std::move(user)}};
}

std::string CmdOutlook(const TSimArgs& a) {
  TOutlookOptions o;
  if (a.Has("--runs")) o.Runs = static_cast<int>(ParseInteger(a.Get("--runs"), "--runs", 1, 100000));
  o.Threads = ThreadsOption(a);
  o.Seed = SeedOf(a);
  if (a.Has("--batch")) {
    if (!a.Has("--progress")) throw UsageError("outlook: --batch needs --progress");
    o.Batch = static_cast<int>(ParseInteger(a.Get("--batch"), "--batch", 1, 100000));
  }
  TWorld w;
  LoadGameFromSlot(*w, a.Get("--load"));
  TOutlookReport report;
  if (a.Has("--progress"))
    // Every batch but the last as it comes; the last is the result itself.
    report = [&](const TSeasonOutlook& part) {
      if (part.Runs == o.Runs) return;
      const std::string line = JsonText(OutlookJson(*w, part)) + "\n";
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fflush(stdout);
    };
  return JsonText(OutlookJson(*w, SeasonOutlook(*w, o, nullptr, report)));
}

std::string CmdRehearse(const TSimArgs& a) {
  TRehearsalOptions o;
  if (a.Has("--runs")) o.Runs = static_cast<int>(ParseInteger(a.Get("--runs"), "--runs", 1, 1000000));
  o.Threads = ThreadsOption(a);
  o.Seed = SeedOf(a);
  TWorld w;
  LoadGameFromSlot(*w, a.Get("--load"));
  const TRehearsal r = RehearseNextMatch(*w, o);
  TJson scores = TJson::array();
  for (const TScoreOdds& s : r.Scores)
    scores.push_back({{"home", s.HomeGoals}, {"away", s.AwayGoals}, {"p", s.Probability}});
  TJson scorers = TJson::array();
  for (const TScorerOdds& s : r.Scorers)
    scorers.push_back({{"number", s.Number}, {"player", s.Name}, {"p", s.Probability}, {"mean_goals", s.MeanGoals}});
  return JsonText({{"seed", r.Seed},
                   {"runs", r.Runs},
                   {"year", w->Year},
                   {"week", w->Week},
                   {"cup", r.Cup},
                   {"home", ClubJson(*w, r.HomeClub)},
                   {"away", ClubJson(*w, r.AwayClub)},
                   {"user_side", r.HomeClub == kUserClub ? "home" : "away"},
                   {"win", r.Win},
                   {"draw", r.Draw},
                   {"loss", r.Loss},
                   {"mean_goals", {{"home", r.MeanHomeGoals}, {"away", r.MeanAwayGoals}}},
                   {"scores", std::move(scores)},
                   {"scorers", std::move(scorers)}});
}

// ---- tournament ------------------------------------------------------------------

TJson GoalLinesJson(const std::string& text) { return text.empty() ? TJson::array() : TJson(SplitCommaText(text)); }

TJson TournamentJson(const Ttournament& t, const std::vector<std::string>& replays) {
  const auto label = [&](int32_t e) { return t.Entrants()[static_cast<std::size_t>(e)].Label; };
  TJson entrants = TJson::array();
  for (const TTournamentEntrant& e : t.Entrants())
    entrants.push_back({{"file", e.File}, {"club", e.Club->ClubName}, {"label", e.Label}, {"comment", e.Comment}});
  TJson fixtures = TJson::array();
  for (int k = 0; k < static_cast<int>(t.Fixtures().size()); ++k) {
    const TTournamentFixture& f = t.Fixtures()[static_cast<std::size_t>(k)];
    TJson j = {{"round", f.Round + 1}, {"home", label(f.Home)}, {"away", label(f.Away)}, {"seed", t.MatchSeed(k)}};
    if (k < t.Played()) {
      const TTournamentResult& r = t.Results()[static_cast<std::size_t>(k)];
      j["score"] = TJson::array({r.HomeGoals, r.AwayGoals});
      j["goals"] = TJson::array({GoalLinesJson(r.HomeText), GoalLinesJson(r.AwayText)});
    } else {
      j["score"] = nullptr;
    }
    if (!replays[static_cast<std::size_t>(k)].empty()) j["replay"] = replays[static_cast<std::size_t>(k)];
    fixtures.push_back(std::move(j));
  }
  TJson table = TJson::array();
  int position = 0;
  for (const TTableRow& r : t.Table())
    table.push_back({{"position", ++position},
                     {"club", label(r.Entrant)},
                     {"p", r.Played},
                     {"w", r.Won},
                     {"d", r.Drawn},
                     {"l", r.Lost},
                     {"gf", r.GoalsFor},
                     {"ga", r.GoalsAgainst},
                     {"gd", r.Difference()},
                     {"pts", r.Points}});
  TJson scorers = TJson::array();
  for (const TScorerRow& s : t.Scorers())
    scorers.push_back({{"club", label(s.Entrant)},
                       {"number", s.Number},
                       {"player", s.Name},
                       {"goals", s.Goals},
                       {"assists", s.Assists}});
  // Rows the home club, columns the away club, in the entrants' order.
  TJson matrix = TJson::array();
  for (const std::vector<int>& row : t.Matrix()) {
    TJson& cells = matrix.emplace_back(TJson::array());
    for (int k : row) {
      if (k >= 0 && k < t.Played()) {
        const TTournamentResult& r = t.Results()[static_cast<std::size_t>(k)];
        cells.push_back(std::to_string(r.HomeGoals) + "-" + std::to_string(r.AwayGoals));
      } else {
        cells.push_back(nullptr);
      }
    }
  }
  const int32_t champion = t.Champion();
  return {{"seed", t.Seed()},
          {"legs", t.Legs()},
          {"rounds", t.RoundCount()},
          {"played", t.Played()},
          {"matches", t.Fixtures().size()},
          {"entrants", std::move(entrants)},
          {"fixtures", std::move(fixtures)},
          {"table", std::move(table)},
          {"scorers", std::move(scorers)},
          {"matrix", std::move(matrix)},
          {"champion", champion >= 0 ? TJson(label(champion)) : TJson(nullptr)}};
}

std::string CmdTournament(const TSimArgs& a) {
  const bool load = a.Has("--load");
  if (load && !a.Positional.empty()) throw UsageError("tournament: VS files or --load, not both");
  if (load && (a.Has("--seed") || a.Has("--legs")))
    throw UsageError("tournament: --seed and --legs come from the tournament file with --load");
  if (!load && a.Positional.empty()) throw UsageError("tournament: VS files (3 .. 16) or --load NAME are needed");
  if (!load && (a.Positional.size() < kMinTournamentClubs || a.Positional.size() > kMaxTournamentClubs))
    throw UsageError("tournament: 3 to 16 VS files are needed, not " + std::to_string(a.Positional.size()));
  const int legs = a.Has("--legs") ? static_cast<int>(ParseInteger(a.Get("--legs"), "--legs", 1, 2)) : 1;
  const int threads = ThreadsOption(a);
  const int64_t rounds = a.Has("--rounds") ? ParseInteger(a.Get("--rounds"), "--rounds", 0, 1000) : -1;
  if (a.Has("--save")) TournamentPath(a.Get("--save"));
  if (load) TournamentPath(a.Get("--load"));
  const std::string recordDir = a.Has("--record-dir") ? a.Get("--record-dir") : "";
  if (a.Has("--record-dir") && recordDir.empty()) throw UsageError("--record-dir: a directory is needed");

  Ttournament t = load ? Ttournament::Load(a.Get("--load")) : Ttournament::Create(a.Positional, legs, SeedOf(a));
  const int first = t.Played();
  int last = static_cast<int>(t.Fixtures().size());
  if (rounds >= 0) {
    const int lastRound = std::min(t.CurrentRound() + static_cast<int>(rounds), t.RoundCount()) - 1;
    last = lastRound < t.CurrentRound() ? first : t.RoundRange(lastRound).second;
  }
  t.PlayNext(last - first, threads, nullptr, recordDir);
  std::vector<std::string> replays(t.Fixtures().size());
  if (!recordDir.empty())
    for (int k = first; k < last; ++k)
      replays[static_cast<std::size_t>(k)] = recordDir + "/" + t.ReplayName(k) + ".vtr";
  if (a.Has("--save")) t.Save(a.Get("--save"));
  TJson out = TournamentJson(t, replays);
  if (a.Has("--save")) out["file"] = TournamentPath(a.Get("--save"));
  return JsonText(out);
}

const char* AdviceKindName(TAdviceKind k) {
  switch (k) {
    case TAdviceKind::Current: return "current";
    case TAdviceKind::Auto: return "auto";
    case TAdviceKind::Preset: return "preset";
    case TAdviceKind::Change: return "change";
  }
  return "";
}

TJson CandidateJson(const TAdviceCandidate& c) {
  return {{"name", c.Name},
          {"kind", AdviceKindName(c.Kind)},
          {"lineup", std::vector<int32_t>(c.Slots.begin(), c.Slots.end())},
          {"win", c.Win},
          {"draw", c.Draw},
          {"loss", c.Loss},
          {"margin", {{"win", c.WinMargin}, {"draw", c.DrawMargin}, {"loss", c.LossMargin}}},
          {"goals_for", c.GoalsFor},
          {"goals_against", c.GoalsAgainst},
          {"points", c.Points},
          {"points_diff", c.PointsDiff},
          {"points_diff_margin", c.PointsDiffMargin},
          {"significant", c.Significant}};
}

std::string CmdAdvise(const TSimArgs& a) {
  TAdviceOptions o;
  if (a.Has("--runs")) o.Runs = static_cast<int>(ParseInteger(a.Get("--runs"), "--runs", 1, 100000));
  o.Threads = ThreadsOption(a);
  o.Seed = SeedOf(a);
  const int checkRuns =
      a.Has("--check-runs") ? static_cast<int>(ParseInteger(a.Get("--check-runs"), "--check-runs", 1, 100000)) : 0;
  TWorld w;
  LoadGameFromSlot(*w, a.Get("--load"));
  const TAdvice r = AdviseNextMatch(*w, o);
  TJson candidates = TJson::array();
  for (const TAdviceCandidate& c : r.Candidates) candidates.push_back(CandidateJson(c));
  TJson out = {{"seed", r.Seed},
               {"runs", r.Runs},
               {"year", w->Year},
               {"week", w->Week},
               {"cup", r.Fixture.Cup},
               {"home", ClubJson(*w, r.Fixture.Home)},
               {"away", ClubJson(*w, r.Fixture.Away)},
               {"user_side", r.Fixture.Home == kUserClub ? "home" : "away"},
               {"reference", r.Candidates[static_cast<std::size_t>(r.Reference)].Name},
               {"candidates", std::move(candidates)}};
  if (checkRuns > 0) {
    // The advised and the reference line-up again, with seeds the advice
    // never used: did the advised one really earn more?
    TAdviceOptions fresh = o;
    fresh.Runs = checkRuns;
    fresh.Seed = OutlookRunSeed(o.Seed, -1);
    const std::vector<TAdviceCandidate> again =
        ReplayCandidates(*w, {r.Candidates[static_cast<std::size_t>(r.Reference)], r.Candidates.front()}, fresh);
    out["check"] = {{"runs", checkRuns},
                    {"seed", fresh.Seed},
                    {"reference_points", again[0].Points},
                    {"best_points", again[1].Points},
                    {"points_diff", again[1].PointsDiff},
                    {"points_diff_margin", again[1].PointsDiffMargin}};
  }
  return JsonText(out);
}

}  // namespace

std::string RunSim(const std::vector<std::string>& args) {
  TSimArgs a = ParseSimArgs(args);
  if (!a.Help.empty()) return a.Help;
  if (a.Has("--data")) SetDataRoot(a.Get("--data"));
  // What a killed game or simulator left half-written in the player's folders.
  RemoveStalePlayerTemporaries();
  if (a.Command == "new") return CmdNew(a);
  if (a.Command == "play") return CmdPlay(a);
  if (a.Command == "match") return CmdMatch(a);
  if (a.Command == "export-vs") return CmdExportVs(a);
  if (a.Command == "convert") return CmdConvert(a);
  if (a.Command == "check") return CmdCheck(a);
  if (a.Command == "analyse") return CmdAnalyse(a);
  if (a.Command == "outlook") return CmdOutlook(a);
  if (a.Command == "rehearse") return CmdRehearse(a);
  if (a.Command == "tournament") return CmdTournament(a);
  if (a.Command == "advise") return CmdAdvise(a);
  return CmdBench(a);
}
