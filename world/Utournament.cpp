#include "world/Utournament.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "match/Uvtr.h"
#include "world/Ugamemain.h"
#include "world/Uoutlook.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTournamentVersion = "TNM1";
// Sixteen VS files at most, each bounded as a VS file is, and the results.
constexpr std::size_t kMaxTournamentFileBytes = kMaxTournamentClubs * kMaxVsFileBytes + (4u << 20);
constexpr int32_t kMaxGoals = 99;
constexpr int32_t kMaxPlayerLines = 64;
constexpr int32_t kMaxFileNameBytes = 255;
// Keeps the draw of the table's last tie-break apart from the match seeds.
constexpr uint64_t kDrawSalt = 0x7461626C65647261ULL;

// Leaves the thread's generator and GameState as they were, however the
// scope is left.
class TKeepThreadState {
 public:
  TKeepThreadState() : random_(GetRandomState()), game_(GameState) {}
  ~TKeepThreadState() {
    SetRandomState(random_);
    GameState = game_;
  }
  TKeepThreadState(const TKeepThreadState&) = delete;
  TKeepThreadState& operator=(const TKeepThreadState&) = delete;

 private:
  RandomState random_;
  Tgamemain* game_;
};

std::string FileStem(const std::string& path) { return fs::path(path).stem().string(); }

std::shared_ptr<const Tteam> ClubOfImage(const std::string& path, const std::vector<uint8_t>& image,
                                         std::string* comment) {
  TKeepThreadState keep;
  TVsData d = ParseVsFileImage(path, image, 0);
  if (comment) *comment = d.Comment;
  return std::shared_ptr<const Tteam>(std::move(d.Club));
}

void CheckLegs(int legs) {
  if (legs != 1 && legs != 2) throw VantorelError("legs must be 1 or 2: " + std::to_string(legs));
}

void CheckClubCount(std::size_t n) {
  if (n < kMinTournamentClubs || n > kMaxTournamentClubs)
    throw VantorelError("a tournament needs " + std::to_string(kMinTournamentClubs) + " to " +
                        std::to_string(kMaxTournamentClubs) + " clubs: " + std::to_string(n));
}

// A club's points in the matches among the given entrants.
std::map<int32_t, int32_t> PointsAmong(const Ttournament& t, const std::set<int32_t>& among) {
  std::map<int32_t, int32_t> pts;
  for (int k = 0; k < t.Played(); ++k) {
    const TTournamentFixture& f = t.Fixtures()[static_cast<std::size_t>(k)];
    if (!among.count(f.Home) || !among.count(f.Away)) continue;
    const TTournamentResult& r = t.Results()[static_cast<std::size_t>(k)];
    if (r.HomeGoals > r.AwayGoals)
      pts[f.Home] += kWinPoints;
    else if (r.HomeGoals < r.AwayGoals)
      pts[f.Away] += kWinPoints;
    else {
      pts[f.Home] += kDrawPoints;
      pts[f.Away] += kDrawPoints;
    }
  }
  return pts;
}

std::string SafeNamePart(const std::string& text) {
  std::string out;
  for (unsigned char c : text) out += (c == '/' || c == '\\' || c < 0x20 || c == 0x7f || c == ' ') ? '_' : char(c);
  return out;
}

}  // namespace

std::string TournamentPath(const std::string& name) {
  CheckFileName(TournamentDir(), name, ".tnm");
  return TournamentDir() + "/" + name + ".tnm";
}

std::vector<TTournamentFixture> RoundRobin(int clubs, int legs) {
  CheckLegs(legs);
  if (clubs < 2) return {};
  // The circle: position 0 stays, the others turn one place a round. With
  // an odd count the fixed place is the bye. The top row plays at home; the
  // fixed place alternates, so nobody is two games off balance.
  const int m = clubs + (clubs % 2);
  const bool bye = m != clubs;
  std::vector<int> circle(static_cast<std::size_t>(m));
  for (int i = 0; i < m; ++i) circle[static_cast<std::size_t>(i)] = bye ? i - 1 : i;  // -1 is the bye
  std::vector<TTournamentFixture> first;
  for (int r = 0; r < m - 1; ++r) {
    for (int i = 0; i < m / 2; ++i) {
      int a = circle[static_cast<std::size_t>(i)], b = circle[static_cast<std::size_t>(m - 1 - i)];
      if (a < 0 || b < 0) continue;
      if (i == 0 && r % 2 == 1) std::swap(a, b);
      first.push_back({r, a, b});
    }
    std::rotate(circle.begin() + 1, circle.end() - 1, circle.end());
  }
  std::vector<TTournamentFixture> all = first;
  if (legs == 2)
    for (const TTournamentFixture& f : first) all.push_back({f.Round + m - 1, f.Away, f.Home});
  return all;
}

TTournamentResult ResultOf(const TMatchOutcome& o) {
  TTournamentResult r;
  r.HomeGoals = o.HomeGoals;
  r.AwayGoals = o.AwayGoals;
  r.HomeText = o.HomeText;
  r.AwayText = o.AwayText;
  for (const TInput& row : o.Stats.Rows) {
    const auto& v = row.Values;
    if (v.size() < 6) continue;
    r.Players.push_back({v[0] == 0 ? 0 : 1, v[1], v[2], v[3], v[4], v[5]});
  }
  return r;
}

// ---- creating ---------------------------------------------------------------

Ttournament Ttournament::FromEntrants(std::vector<TTournamentEntrant> entrants, int legs, uint64_t seed) {
  CheckLegs(legs);
  CheckClubCount(entrants.size());
  // Two clubs of one name are told apart by their files.
  for (std::size_t i = 0; i < entrants.size(); ++i) {
    TTournamentEntrant& e = entrants[i];
    const std::string& name = e.Club->ClubName;
    int sameName = 0, sameFile = 0;
    for (const TTournamentEntrant& o : entrants) {
      sameName += o.Club->ClubName == name;
      sameFile += o.Club->ClubName == name && o.File == e.File;
    }
    e.Label = name;
    if (sameName > 1) e.Label += "（" + e.File + (sameFile > 1 ? "・" + std::to_string(i + 1) : "") + "）";
  }
  Ttournament t;
  t.seed_ = seed;
  t.legs_ = legs;
  t.entrants_ = std::move(entrants);
  t.fixtures_ = RoundRobin(static_cast<int>(t.entrants_.size()), legs);
  return t;
}

Ttournament Ttournament::Create(const std::vector<std::string>& vsPaths, int legs, uint64_t seed) {
  CheckLegs(legs);
  CheckClubCount(vsPaths.size());
  std::vector<TTournamentEntrant> entrants;
  std::set<std::string> seen;
  for (const std::string& path : vsPaths) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    const std::string key = ec ? path : canonical.string();
    if (!seen.insert(key).second) throw FileError(path, "同じ対戦データが二度選ばれています");
    TTournamentEntrant e;
    e.File = FileStem(path);
    e.Image = ReadWholeFile(path, kMaxVsFileBytes);
    e.Club = ClubOfImage(path, e.Image, &e.Comment);
    entrants.push_back(std::move(e));
  }
  return FromEntrants(std::move(entrants), legs, seed);
}

// ---- the schedule -------------------------------------------------------------

int Ttournament::RoundCount() const { return fixtures_.empty() ? 0 : fixtures_.back().Round + 1; }

int Ttournament::CurrentRound() const {
  return Finished() ? RoundCount() : fixtures_[static_cast<std::size_t>(Played())].Round;
}

std::pair<int, int> Ttournament::RoundRange(int round) const {
  int first = -1, end = -1;
  for (int k = 0; k < static_cast<int>(fixtures_.size()); ++k) {
    if (fixtures_[static_cast<std::size_t>(k)].Round != round) continue;
    if (first < 0) first = k;
    end = k + 1;
  }
  if (first < 0) return {0, 0};
  return {first, end};
}

void Ttournament::SetFavourite(int32_t entrant) {
  if (entrant < -1 || entrant >= static_cast<int32_t>(entrants_.size()))
    throw VantorelError("no such entrant: " + std::to_string(entrant));
  favourite_ = entrant;
}

// Kept below 2^63, so that it is a seed `vantorel-sim --seed` takes.
uint64_t Ttournament::MatchSeed(int k) const { return OutlookRunSeed(seed_, k) >> 1; }

uint64_t Ttournament::DrawOf(int32_t entrant) const { return OutlookRunSeed(seed_ ^ kDrawSalt, entrant); }

std::string Ttournament::ReplayName(int k) const {
  const TTournamentFixture& f = fixtures_.at(static_cast<std::size_t>(k));
  char round[16];
  std::snprintf(round, sizeof round, "R%02d_", f.Round + 1);
  return round + SafeNamePart(entrants_[static_cast<std::size_t>(f.Home)].Label) + "-" +
         SafeNamePart(entrants_[static_cast<std::size_t>(f.Away)].Label);
}

// ---- playing ------------------------------------------------------------------

std::unique_ptr<Tgamemain> Ttournament::PrepareMatchWorld(int k) const {
  const TTournamentFixture& f = fixtures_.at(static_cast<std::size_t>(k));
  auto w = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  RandSeed(MatchSeed(k));
  w->NewGameFrom(ShippedPath("first.dat"), false);
  TScopedGameState scope(w.get());
  const TTournamentEntrant& home = entrants_[static_cast<std::size_t>(f.Home)];
  const TTournamentEntrant& away = entrants_[static_cast<std::size_t>(f.Away)];
  w->Teams[0] = ParseVsFileImage(home.File, home.Image, 0).Club;
  w->Teams[1] = ParseVsFileImage(away.File, away.Image, 1).Club;
  return w;
}

TTournamentMatch Ttournament::PlayMatch(int k, bool record) const {
  TKeepThreadState keep;
  std::unique_ptr<Tgamemain> w = PrepareMatchWorld(k);
  TScopedGameState scope(w.get());
  TmVTR recorder;
  std::vector<uint8_t> header;
  TTournamentMatch m;
  m.Result = ResultOf(PlayDataBattle(w->Team(0), w->Team(1), record ? &recorder : nullptr, &header));
  if (record) m.Replay = recorder.FileImage(header);
  return m;
}

void Ttournament::AddResult(int k, TTournamentResult result) {
  if (k != Played() || Finished()) throw VantorelError("not the next match: " + std::to_string(k));
  results_.push_back(std::move(result));
}

int Ttournament::PlayNext(int count, int threads, TTournamentControl* control, const std::string& recordDir) {
  const int first = Played();
  count = std::max(0, std::min(count, static_cast<int>(fixtures_.size()) - first));
  if (count == 0) return 0;
  if (!recordDir.empty()) EnsureDirectory(recordDir);
  if (threads <= 0) threads = DefaultOutlookThreads();
  threads = std::max(1, std::min(threads, count));

  std::vector<std::optional<TTournamentResult>> played(static_cast<std::size_t>(count));
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};
  std::mutex errorLock;
  std::exception_ptr error;
  int errorAt = count;
  auto worker = [&] {
    for (;;) {
      if (stop.load() || (control && control->Cancel.load())) return;
      const int i = next.fetch_add(1);
      if (i >= count) return;
      try {
        TTournamentMatch m = PlayMatch(first + i, !recordDir.empty());
        if (!recordDir.empty()) WriteFileAtomic(recordDir + "/" + ReplayName(first + i) + ".vtr", m.Replay);
        played[static_cast<std::size_t>(i)] = std::move(m.Result);
      } catch (...) {
        std::lock_guard<std::mutex> lock(errorLock);
        if (i < errorAt) {
          errorAt = i;
          error = std::current_exception();
        }
        stop = true;
        return;
      }
      if (control) control->Done.fetch_add(1);
    }
  };
  if (threads == 1) {
    worker();
  } else {
    std::vector<std::jthread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
  }
  if (error) std::rethrow_exception(error);
  int added = 0;
  for (auto& r : played) {
    if (!r) break;
    results_.push_back(std::move(*r));
    ++added;
  }
  return added;
}

// ---- standings ----------------------------------------------------------------

std::vector<TTableRow> Ttournament::Table() const {
  const std::size_t n = entrants_.size();
  std::vector<TTableRow> rows(n);
  for (std::size_t i = 0; i < n; ++i) rows[i].Entrant = static_cast<int32_t>(i);
  for (int k = 0; k < Played(); ++k) {
    const TTournamentFixture& f = fixtures_[static_cast<std::size_t>(k)];
    const TTournamentResult& r = results_[static_cast<std::size_t>(k)];
    TTableRow& h = rows[static_cast<std::size_t>(f.Home)];
    TTableRow& a = rows[static_cast<std::size_t>(f.Away)];
    ++h.Played;
    ++a.Played;
    h.GoalsFor += r.HomeGoals;
    h.GoalsAgainst += r.AwayGoals;
    a.GoalsFor += r.AwayGoals;
    a.GoalsAgainst += r.HomeGoals;
    if (r.HomeGoals > r.AwayGoals) {
      ++h.Won;
      ++a.Lost;
      h.Points += kWinPoints;
    } else if (r.HomeGoals < r.AwayGoals) {
      ++a.Won;
      ++h.Lost;
      a.Points += kWinPoints;
    } else {
      ++h.Drawn;
      ++a.Drawn;
      h.Points += kDrawPoints;
      a.Points += kDrawPoints;
    }
  }
  auto key = [](const TTableRow& r) { return std::make_tuple(r.Points, r.Difference(), r.GoalsFor); };
  std::sort(rows.begin(), rows.end(), [&](const TTableRow& a, const TTableRow& b) { return key(a) > key(b); });
  // Clubs level on all three are ordered by the points of their matches
  // against each other, then by the draw.
  for (std::size_t i = 0; i < n;) {
    std::size_t j = i + 1;
    while (j < n && key(rows[j]) == key(rows[i])) ++j;
    if (j - i > 1) {
      std::set<int32_t> among;
      for (std::size_t x = i; x < j; ++x) among.insert(rows[x].Entrant);
      std::map<int32_t, int32_t> h2h = PointsAmong(*this, among);
      std::sort(rows.begin() + static_cast<std::ptrdiff_t>(i), rows.begin() + static_cast<std::ptrdiff_t>(j),
                [&](const TTableRow& a, const TTableRow& b) {
                  if (h2h[a.Entrant] != h2h[b.Entrant]) return h2h[a.Entrant] > h2h[b.Entrant];
                  if (DrawOf(a.Entrant) != DrawOf(b.Entrant)) return DrawOf(a.Entrant) < DrawOf(b.Entrant);
                  return a.Entrant < b.Entrant;
                });
    }
    i = j;
  }
  return rows;
}

std::vector<TScorerRow> Ttournament::Scorers() const {
  std::map<std::pair<int32_t, int32_t>, TScorerRow> by;
  for (int k = 0; k < Played(); ++k) {
    const TTournamentFixture& f = fixtures_[static_cast<std::size_t>(k)];
    for (const TTournamentPlayerLine& p : results_[static_cast<std::size_t>(k)].Players) {
      if (p.Goals == 0 && p.Assists == 0) continue;
      const int32_t entrant = p.Side == 0 ? f.Home : f.Away;
      TScorerRow& row = by[{entrant, p.Number}];
      row.Entrant = entrant;
      row.Number = p.Number;
      row.Goals += p.Goals;
      row.Assists += p.Assists;
    }
  }
  std::vector<TScorerRow> out;
  for (auto& [key, row] : by) {
    const Tplayer* player = entrants_[static_cast<std::size_t>(row.Entrant)].Club->Squad->PlayerByNumber(row.Number);
    row.Name = player ? player->Name : "";
    out.push_back(row);
  }
  std::stable_sort(out.begin(), out.end(), [](const TScorerRow& a, const TScorerRow& b) {
    if (a.Goals != b.Goals) return a.Goals > b.Goals;
    return a.Assists > b.Assists;
  });
  return out;
}

int32_t Ttournament::Champion() const { return Finished() ? Table().front().Entrant : -1; }

std::vector<std::vector<int>> Ttournament::Matrix() const {
  const std::size_t n = entrants_.size();
  std::vector<std::vector<int>> m(n, std::vector<int>(n, -1));
  for (int k = 0; k < static_cast<int>(fixtures_.size()); ++k) {
    const TTournamentFixture& f = fixtures_[static_cast<std::size_t>(k)];
    m[static_cast<std::size_t>(f.Home)][static_cast<std::size_t>(f.Away)] = k;
  }
  return m;
}

// ---- the file -------------------------------------------------------------------

std::vector<uint8_t> Ttournament::FileImage() const {
  TStream s;
  WriteString(s, kTournamentVersion);
  s.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(seed_)));
  s.WriteInt32(static_cast<int32_t>(static_cast<uint32_t>(seed_ >> 32)));
  s.WriteInt32(legs_);
  s.WriteInt32(favourite_);
  s.WriteInt32(static_cast<int32_t>(entrants_.size()));
  for (const TTournamentEntrant& e : entrants_) {
    WriteString(s, e.File);
    s.WriteInt32(static_cast<int32_t>(e.Image.size()));
    s.WriteBytes(e.Image);
  }
  s.WriteInt32(Played());
  for (const TTournamentResult& r : results_) {
    s.WriteInt32(r.HomeGoals);
    s.WriteInt32(r.AwayGoals);
    WriteString(s, r.HomeText);
    WriteString(s, r.AwayText);
    s.WriteInt32(static_cast<int32_t>(r.Players.size()));
    for (const TTournamentPlayerLine& p : r.Players)
      for (int32_t v : {p.Side, p.Number, p.Minutes, p.Goals, p.Assists, p.Rating}) s.WriteInt32(v);
  }
  return s.TakeBytes();
}

Ttournament Ttournament::ParseImage(const std::vector<uint8_t>& image) {
  TStream s(image);
  s.Need(4, "the version");
  if (ReadString(s) != kTournamentVersion) throw VantorelError("大会データではありません");
  s.Need(8, "the seed");
  const uint64_t lo = static_cast<uint32_t>(s.ReadInt32());
  const uint64_t hi = static_cast<uint32_t>(s.ReadInt32());
  const int legs = s.ReadInt32In(1, 2, "legs");
  const int32_t favourite = s.ReadInt32In(-1, kMaxTournamentClubs - 1, "favourite");
  const int32_t n = s.ReadInt32In(kMinTournamentClubs, kMaxTournamentClubs, "clubs");
  std::vector<TTournamentEntrant> entrants;
  for (int32_t i = 0; i < n; ++i) {
    TTournamentEntrant e;
    s.Need(4, "a file name");
    e.File = ReadString(s);
    if (e.File.size() > kMaxFileNameBytes || !IsSafeFileName(e.File))
      throw StreamError("a club's file name is not one", s.Position());
    const int32_t size = s.ReadInt32In(1, static_cast<int32_t>(kMaxVsFileBytes), "a club's size");
    s.Need(static_cast<std::size_t>(size), "a club");
    e.Image = s.ReadBytes(static_cast<std::size_t>(size));
    e.Club = ClubOfImage(e.File + ".vs", e.Image, &e.Comment);
    entrants.push_back(std::move(e));
  }
  if (favourite >= n) throw StreamError("the favourite is not an entrant", s.Position());
  Ttournament t = FromEntrants(std::move(entrants), legs, lo | (hi << 32));
  t.favourite_ = favourite;
  const int32_t played = s.ReadInt32In(0, static_cast<int32_t>(t.fixtures_.size()), "matches played");
  for (int32_t k = 0; k < played; ++k) {
    TTournamentResult r;
    r.HomeGoals = s.ReadInt32In(0, kMaxGoals, "goals");
    r.AwayGoals = s.ReadInt32In(0, kMaxGoals, "goals");
    s.Need(4, "goal lines");
    r.HomeText = ReadString(s);
    s.Need(4, "goal lines");
    r.AwayText = ReadString(s);
    const int32_t lines = s.ReadInt32In(0, kMaxPlayerLines, "player lines");
    s.Need(static_cast<std::size_t>(lines) * 24, "player lines");
    for (int32_t i = 0; i < lines; ++i) {
      TTournamentPlayerLine p;
      p.Side = s.ReadInt32In(0, 1, "side");
      p.Number = s.ReadInt32In(0, 999, "shirt number");
      p.Minutes = s.ReadInt32In(0, 999, "minutes");
      p.Goals = s.ReadInt32In(0, kMaxGoals, "goals");
      p.Assists = s.ReadInt32In(0, kMaxGoals, "assists");
      p.Rating = s.ReadInt32In(-999, 999, "rating");
      r.Players.push_back(p);
    }
    t.results_.push_back(std::move(r));
  }
  if (!s.AtEnd()) throw StreamError("unexpected bytes after the tournament", s.Position());
  return t;
}

void Ttournament::Save(const std::string& name) const {
  const std::string path = TournamentPath(name);
  std::vector<uint8_t> image = FileImage();
  EnsureDirectory(TournamentDir());
  WriteFileAtomic(path, image);
}

Ttournament Ttournament::Load(const std::string& name) { return LoadPath(TournamentPath(name)); }

Ttournament Ttournament::LoadPath(const std::string& path) {
  std::vector<uint8_t> image = ReadWholeFile(path, kMaxTournamentFileBytes);
  try {
    return ParseImage(image);
  } catch (const FileError& e) {
    throw FileError(path, std::string("大会データの参加クラブが読めません: ") + e.what());
  } catch (const std::exception& e) {
    throw FileError(path, "大会データが壊れています" + DamagePlace(e));
  }
}
