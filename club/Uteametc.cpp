#include "club/Uteametc.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>

#include "club/Uarith.h"
#include "club/Ufile.h"
#include "club/Uinvariants.h"
#include "club/Upaths.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"

// ===========================================================================
// Formation

namespace {

constexpr int kColSlot = 0;
constexpr int kColRole = 1;

std::string PresetPath(int line) { return ShippedPath("aiforma/" + std::to_string(line) + ".dat"); }

// Deliberately read once per process (per data directory) rather than at
// every placing. Keyed by absolute path, so a test that changes the working
// directory reads the files of its own data directory.
std::map<std::string, TIntgrid>& PresetCache() {
  static std::map<std::string, TIntgrid> cache;
  return cache;
}

// The season outlook places formations on several threads at once.
std::mutex& PresetCacheLock() {
  static std::mutex lock;
  return lock;
}
// Changes whenever the cache is emptied.
std::atomic<uint64_t> presetCacheGeneration{1};

// The preset a thread found last for a line, so that placing a formation
// (every club, every week) neither builds the path nor takes the lock: good
// while the data roots and the cache are the ones it was found under and,
// for a path relative to the working directory, in the same directory.
struct TPresetMemo {
  uint64_t Roots = 0, Cache = 0;
  bool Relative = false;
  std::string WorkingDir;
  const TIntgrid* Table = nullptr;
};
constexpr int kMemoLines = 4;
thread_local std::array<TPresetMemo, kMemoLines> presetMemo;

// Whether the working directory is `dir` (false when it cannot be told).
bool WorkingDirIs(const std::string& dir) {
  char here[4096];
  return ::getcwd(here, sizeof here) != nullptr && dir == here;
}

}  // namespace

Tformation::Tformation() {
  Points.fill(TPoint{});
  Points[0] = kKeeperPoint;
}

int32_t Tformation::RoleOf(int32_t code) {
  switch (code) {
    case 0:
    case 1:
    case 3:
    case 4: return 0;
    case 2:
    case 5: return 1;
    case 6:
    case 7:
    case 8: return 2;
    case 9:
    case 10:
    case 11: return 3;
    case 12:
    case 15: return 4;
    case 13:
    case 16: return 5;
    case 14:
    case 17: return 6;
    case 18: return 7;
    case 19: return 8;
    case 20: return 9;
    default: return 0;
  }
}

int Tformation::LineOf(int32_t slot, int32_t code) {
  if (slot == 1 || slot == 2) return 0;
  if (slot == 10) return 3;
  if (code <= 5) return 0;
  if (code <= 11) return 1;
  if (code <= 17) return 2;
  return 3;
}

void Tformation::AddPlayer(int32_t slot, int32_t positionCode) {
  Lines[LineOf(slot, positionCode)].AddRow({slot, RoleOf(positionCode)});
}

TPoint Tformation::GetPoint(int32_t slot) const {
  if (slot < 0 || slot >= static_cast<int32_t>(Points.size())) return TPoint{};
  return Points[static_cast<std::size_t>(slot)];
}

void Tformation::MovePlayer(int fromLine, int row, int toLine) {
  TIntgrid& from = Lines[static_cast<std::size_t>(fromLine)];
  if (row < 0 || row >= from.RowCount()) return;
  Lines[static_cast<std::size_t>(toLine)].AddRow(from.Rows[static_cast<std::size_t>(row)].Values);
  from.DeleteRow(row);
}

const TIntgrid& Tformation::Preset(int line) {
  TPresetMemo* memo = line >= 0 && line < kMemoLines ? &presetMemo[static_cast<std::size_t>(line)] : nullptr;
  const uint64_t roots = DataRootsGeneration(), generation = presetCacheGeneration.load(std::memory_order_acquire);
  if (memo && memo->Table && memo->Roots == roots && memo->Cache == generation &&
      (!memo->Relative || WorkingDirIs(memo->WorkingDir)))
    return *memo->Table;
  const TIntgrid& table = CachedPreset(line);
  if (memo) {
    const std::filesystem::path path(PresetPath(line));
    std::error_code ec;
    *memo = TPresetMemo{roots, generation, path.is_relative(), std::filesystem::current_path(ec).string(), &table};
    if (ec) memo->Table = nullptr;
  }
  return table;
}

const TIntgrid& Tformation::CachedPreset(int line) {
  const std::string path = PresetPath(line);
  std::error_code ec;
  std::string key = std::filesystem::absolute(path, ec).string();
  if (ec) key = path;
  std::lock_guard<std::mutex> lock(PresetCacheLock());
  auto& cache = PresetCache();
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  TStream s(ReadWholeFile(path, 1u << 20));
  TIntgrid table;
  try {
    table.LoadFromStream(s);
  } catch (const StreamError& e) {
    throw FileError(path, "フォーメーションの型が壊れています" + DamagePlace(e));
  }
  if (!s.AtEnd()) throw FileError(path, "フォーメーションの型が壊れています（表の後ろに余分なデータがあります）");
  // Shipped data keeps the rules of the world it builds: every point of
  // every preset lies on the pitch, or the line-ups made from it would.
  for (int r = 0; r < table.RowCount(); ++r) {
    const std::vector<int32_t>& v = table.Rows[static_cast<std::size_t>(r)].Values;
    for (std::size_t i = 0; i + 1 < v.size(); i += 2)
      if (!IsOnPitch(TPoint{v[i], v[i + 1]}))
        throw FileError(path, "フォーメーションの型の" + std::to_string(r) + "行目の座標 (" + std::to_string(v[i]) +
                                  ", " + std::to_string(v[i + 1]) + ") がピッチの外です");
  }
  return cache.emplace(key, std::move(table)).first->second;
}

void Tformation::ClearPresetCache() {
  std::lock_guard<std::mutex> lock(PresetCacheLock());
  presetCacheGeneration.fetch_add(1, std::memory_order_acq_rel);
  PresetCache().clear();
}

void Tformation::PlaceLine(int line, int presetRow) {
  if (presetRow < 0) return;
  const TIntgrid& players = Lines[static_cast<std::size_t>(line)];
  const TIntgrid& preset = Preset(line);
  if (presetRow >= preset.RowCount())
    throw FileError(PresetPath(line), "フォーメーションの型の" + std::to_string(presetRow) + "行目がありません");
  const std::vector<int32_t>& v = preset.Rows[static_cast<std::size_t>(presetRow)].Values;
  const int pairs = static_cast<int>(v.size() / 2);
  if (pairs < players.RowCount())
    throw FileError(PresetPath(line), "フォーメーションの型の" + std::to_string(presetRow) + "行目が短すぎます");
  for (int i = 0; i < players.RowCount(); ++i) {
    int32_t slot = players.GetValue(i, kColSlot);
    if (slot < 1 || slot > 10) continue;
    Points[static_cast<std::size_t>(slot)] = TPoint{v[2 * i], v[2 * i + 1]};
  }
}

void Tformation::Compute() {
  TIntgrid& defence = Lines[0];
  TIntgrid& mid1 = Lines[1];
  TIntgrid& mid2 = Lines[2];
  TIntgrid& forwards = Lines[3];

  // 1. Forwards: at most three stay up front; a left forward (role 9) at
  // the end goes back first, then the rightmost remaining.
  forwards.SortAscending(kColRole);
  while (forwards.RowCount() >= 4) {
    int first = 0;
    if (forwards.GetValue(forwards.RowCount() - 1, kColRole) == 9) {
      int r = forwards.FindRow(kColRole, 9);
      if (r >= 0) first = r;
    }
    MovePlayer(3, first, 2);
    MovePlayer(3, 0, 2);
  }
  PlaceLine(3, forwards.RowCount() - 1);

  // 2. Defence: three or four at the back.
  if (mid1.RowCount() > 0) mid1.SortAscending(kColRole);
  if (mid2.RowCount() > 0) mid2.SortAscending(kColRole);
  defence.SortAscending(kColRole);
  if (defence.RowCount() == 2) {
    // Take from the first midfield line while it has players, then the second.
    auto pull = [&](int preferred) {
      if (Lines[static_cast<std::size_t>(preferred)].RowCount() > 0)
        MovePlayer(preferred, 0, 0);
      else if (mid1.RowCount() > 0)
        MovePlayer(1, 0, 0);
      else if (mid2.RowCount() > 0)
        MovePlayer(2, 0, 0);
    };
    if (mid1.RowCount() == 0) {
      pull(2);
      pull(2);
    } else if (mid1.RowCount() == 1) {
      pull(1);
      pull(2);
    } else {
      pull(1);
      pull(1);
    }
  }
  while (defence.RowCount() >= 5) {
    MovePlayer(0, defence.RowCount() - 1, 1);
    MovePlayer(0, defence.RowCount() - 1, 1);
  }
  if (defence.RowCount() >= 3) PlaceLine(0, defence.RowCount() - 3);

  // 3. Midfield balance: at most four in the front midfield line, at most
  // five in the back one.
  if (mid2.RowCount() > 0) mid2.SortAscending(kColRole);
  while (mid2.RowCount() >= 5) {
    int last = mid2.RowCount() - 1;
    int row = 0;
    if (mid2.GetValue(last, kColRole) != 4) {
      for (int r = 0; r < mid2.RowCount(); ++r)
        if (mid2.GetValue(r, kColRole) != 4) {
          row = r;
          break;
        }
    }
    MovePlayer(2, row, 1);
  }
  if (mid1.RowCount() > 0) mid1.SortDescending(kColRole);
  while (mid1.RowCount() >= 6) MovePlayer(1, mid1.RowCount() - 1, 2);

  // 4. The front midfield line.
  if (mid2.RowCount() > 1) mid2.SortAscending(kColRole);
  {
    const int c = mid2.RowCount();
    int row = -1;
    if (c == 1)
      row = 0;
    else if (c >= 4)
      row = 5;
    else if (c >= 2) {
      bool rightFirst = mid2.GetValue(0, kColRole) % 3 == 1;
      bool leftLast = mid2.GetValue(c - 1, kColRole) % 3 == 0;
      row = (!rightFirst && !leftLast) ? 2 * c - 3 : 2 * c - 2;
    }
    PlaceLine(2, row);
  }

  // 5. The back midfield line (not sorted again).
  {
    const int c = mid1.RowCount();
    int row = -1;
    if (c == 1)
      row = 0;
    else if (c >= 4)
      row = c + 1;
    else if (c >= 2)
      row = defence.RowCount() == 3 ? 2 * c - 2 : 2 * c - 3;
    PlaceLine(1, row);
  }
}

// ===========================================================================
// Coaches and training

Tcoach::Tcoach() { RecomputeWeights(); }

void Tcoach::RecomputeWeights() {
  double sum[6] = {0, 0, 0, 0, 0, 0};
  for (const TCoachSlot& c : Coach) {
    int n = 0;
    for (uint8_t f : c.Focus)
      if (f) ++n;
    if (n == 0) continue;
    for (int k = 0; k < 6; ++k)
      if (c.Focus[static_cast<std::size_t>(k)])
        sum[k] += static_cast<double>(c.Skill[static_cast<std::size_t>(k)]) * 6.0 / n;
  }
  for (int k = 0; k < 6; ++k) Weights[static_cast<std::size_t>(k)] = RoundHalfEven(sum[k]);
}

void Tcoach::Hire(int slot, const TSixValues& skill) {
  if (slot < 0 || slot > 2) return;
  TCoachSlot& c = Coach[static_cast<std::size_t>(slot)];
  c.Skill = skill;
  c.Focus.fill(1);
  c.Years = 3;
  RecomputeWeights();
}

void Tcoach::SetFocus(int slot, int ability, int on) {
  if (slot < 0 || slot > 2 || ability < 0 || ability > 5) return;
  Coach[static_cast<std::size_t>(slot)].Focus[static_cast<std::size_t>(ability)] = on ? 1 : 0;
  RecomputeWeights();
}

TSixValues Tcoach::GetSkill(int slot) const {
  if (slot < 0 || slot > 2) return TSixValues{};
  return Coach[static_cast<std::size_t>(slot)].Skill;
}

void Tcoach::SeasonEnd() {
  for (TCoachSlot& c : Coach) {
    c.Years -= 1;
    if (c.Years <= 0) c = TCoachSlot{};
  }
}

void Tcoach::FillCoachGrid(TGrid& grid) const {
  grid.SetSize(8, 5);
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.FixedCols = 1;
  grid.DefaultColWidth = 20;
  grid.SetColWidth(0, 50);
  static const char* const kHeader[8] = {"", "契", "SPE", "H", "D", "C", "K", "A"};
  static const char* const kRows[5] = {"", "指導力", "コーチ1", "コーチ2", "コーチ3"};
  for (int c = 0; c < 8; ++c) grid.Cells(c, 0) = kHeader[c];
  for (int r = 0; r < 5; ++r) grid.Cells(0, r) = kRows[r];
  for (int k = 0; k < 6; ++k) grid.Cells(2 + k, 1) = std::to_string(Weights[static_cast<std::size_t>(k)]);
  for (int i = 0; i < 3; ++i) {
    const TCoachSlot& c = Coach[static_cast<std::size_t>(i)];
    grid.Cells(1, 2 + i) = std::to_string(c.Years);
    for (int k = 0; k < 6; ++k) {
      grid.Cells(2 + k, 2 + i) = std::to_string(c.Skill[static_cast<std::size_t>(k)]);
      grid.Tags(2 + k, 2 + i) = c.Focus[static_cast<std::size_t>(k)] ? kTagBlack : kTagSilver;
    }
  }
}

namespace {

void WriteSlot(TStream& s, const TCoachSlot& c) {
  for (int32_t v : c.Skill) s.WriteInt32(v);
  s.WriteInt32(c.Years);
  for (uint8_t f : c.Focus) s.WriteByte(f);
}

TCoachSlot ReadSlot(TStream& s) {
  TCoachSlot c;
  for (int32_t& v : c.Skill) v = s.ReadInt32();
  c.Years = s.ReadInt32();
  for (uint8_t& f : c.Focus) f = s.ReadByte();
  return c;
}

}  // namespace

void Tcoach::SaveToStream(TStream& s) const {
  for (const TCoachSlot& c : Coach) WriteSlot(s, c);
  for (int32_t w : Weights) s.WriteInt32(w);
}

void Tcoach::LoadFromStream(TStream& s) {
  s.Need(kRecordBytes, "coaching staff");
  Tcoach t;
  for (TCoachSlot& c : t.Coach) c = ReadSlot(s);
  for (int32_t& w : t.Weights) w = s.ReadInt32();
  *this = t;
}

void Tcoach::LoadExchange(TStream& s) {
  s.Need(kExchangeBytes, "coaching staff");
  Tcoach t;
  for (int32_t& w : t.Weights) w = s.ReadInt32();
  s.ReadBytes(10);
  for (TCoachSlot& c : t.Coach) c = ReadSlot(s);
  *this = t;
}

// ===========================================================================
// Player analysis

namespace {
constexpr int kColNumber = 0;
constexpr int kColPhase = 1;  // also the youth row's age - 14
constexpr int kColWage = 2;
constexpr int kColFirstRole = 4;
}  // namespace

void Tplayeranalyze::AddLineupRow(const Tplayer& player, int32_t number) {
  std::vector<int32_t> row = player.LineupRow();
  row[kColNumber] = number;
  AddRow(row);
}

void Tplayeranalyze::AddYouthRow(const Tplayer& player, int32_t number, const TworldView& world) {
  std::vector<int32_t> row = player.RatingRow(world);
  row[kColNumber] = number;
  row[1] = player.Age - 14;
  row[2] = 0;
  if (player.Age == 20)
    for (int i = 4; i <= 8; ++i) row[static_cast<std::size_t>(i)] = CheckedMul(row[static_cast<std::size_t>(i)], 3);
  AddRow(row);
}

void Tplayeranalyze::AddContractRow(const Tplayer& player, int32_t number, const TworldView& world) {
  std::vector<int32_t> row = player.RatingRow(world);
  row[kColNumber] = number;
  row[kColPhase] = player.GrowthPhase();
  row[kColWage] = player.Wage();
  AddRow(row);
}

int32_t TopNumber(TIntgrid& table, int column) {
  if (table.RowCount() == 0) return -1;
  table.SortDescending(column);
  return table.GetValue(0, kColNumber);
}

int32_t WageBeyondEleven(TIntgrid& table) {
  table.SortAscending(kColWage);
  int32_t sum = 0;
  for (int r = 11; r < table.RowCount(); ++r) sum = CheckedAdd(sum, table.GetValue(r, kColWage));
  return sum;
}

int PickCoverRow(const TIntgrid& table, int32_t budget) {
  int i = 0;
  while (i < table.RowCount() - 1 && static_cast<int64_t>(budget) + table.GetValue(i + 1, kColWage) > 0) ++i;
  return i;
}

// ===========================================================================
// Contracts of a computer club

Tcontract::Tcontract(int32_t teamIndex) : Squad(std::make_unique<Tplayerlist>()), TeamIndex(teamIndex) {}

Tcontract::~Tcontract() = default;

void Tcontract::Setup(int32_t budget, const Tcoach& coaches, const Tplayerlist& squad, const TFiveValues& thresholds) {
  Budget = budget;
  Thresholds = thresholds;
  AddCandidate(0, coaches.GetSkill(0));
  AddCandidate(-1, coaches.GetSkill(1));
  AddCandidate(-2, coaches.GetSkill(2));
  TStream s;
  squad.SaveToStream(s);
  s.Seek(0);
  Squad->LoadFromStream(s, TeamIndex);
}

void Tcontract::AddCandidate(int32_t id, const TSixValues& skill) {
  int32_t sum = 0;
  int32_t max = skill[0];
  for (int32_t v : skill) {
    sum = CheckedAdd(sum, v);
    max = std::max(max, v);
  }
  Candidates.AddRow({id, sum, max});
  if (id >= 1) Released.AddRow({id});
}

void Tcontract::LetGo(Tplayeranalyze& table, int row) {
  if (row < 0 || row >= table.RowCount()) return;
  const int32_t number = table.GetValue(row, kColNumber);
  const int32_t wage = table.GetValue(row, kColWage);
  if (const Tplayer* p = Squad->PlayerByNumber(number)) AddCandidate(number, p->CoachValues());
  Budget = CheckedAdd(Budget, wage);
  Squad->RemoveNumber(number);
  table.DeleteRow(row);
}

// Keeps (drops from the table) every player whose rating in some role plus
// that role's bonus beats the club's reference; the rest are let go.
void Tcontract::KeepByRole(Tplayeranalyze& table, const TFiveValues& bonus) {
  for (int i = 0; i < 5; ++i) {
    const int col = kColFirstRole + i;
    table.SortDescending(col);
    for (int r = table.RowCount() - 1; r >= 0; --r)
      if (static_cast<int64_t>(table.GetValue(r, col)) + bonus[static_cast<std::size_t>(i)] >
          Thresholds[static_cast<std::size_t>(i)])
        table.DeleteRow(r);
  }
  while (table.RowCount() > 0) LetGo(table, 0);
}

void Tcontract::Decide(const TworldView& world) {
  // 1. Declining players who no longer earn their place.
  {
    Tplayeranalyze table;
    for (const TplayerInput& e : Squad->Entries)
      if (e.Player->GrowthPhase() == 5) table.AddContractRow(*e.Player, e.Number, world);
    KeepByRole(table, TFiveValues{24, 8, 24, 8, 16});
  }
  // 2. Too many players or no money: past-peak players must beat the mark outright.
  if (Squad->Count() > 45 || Budget < 0) {
    Tplayeranalyze table;
    for (const TplayerInput& e : Squad->Entries)
      if (e.Player->GrowthPhase() >= 4) table.AddContractRow(*e.Player, e.Number, world);
    KeepByRole(table, TFiveValues{0, 0, 0, 0, 0});
  }
  // 3. No more than fifty: the oldest in growth terms go first.
  if (Squad->Count() >= 50) {
    Tplayeranalyze table;
    for (const TplayerInput& e : Squad->Entries) table.AddContractRow(*e.Player, e.Number, world);
    table.SortDescending(kColPhase);
    while (Squad->Count() > 50 && table.RowCount() > 0) LetGo(table, 0);
  }
  // 4. Still in debt: shed wages, but only if the players beyond the
  // cheapest eleven could cover the deficit at all.
  if (Budget < 0) {
    Tplayeranalyze table;
    for (const TplayerInput& e : Squad->Entries) table.AddContractRow(*e.Player, e.Number, world);
    const int32_t beyond = WageBeyondEleven(table);
    if (static_cast<int64_t>(Budget) + beyond >= 0)
      while (Budget < 0 && table.RowCount() > 0) LetGo(table, PickCoverRow(table, Budget));
  }
  ChooseStaff();
}

void Tcontract::ChooseStaff() {
  TIntgrid& c = Candidates;
  c.SortDescending(1);
  c.SortDescending(2);
  for (int r = 0; r < std::min(3, c.RowCount()); ++r) {
    const int32_t id = c.GetValue(r, 0);
    if (id > 0) {
      int k = Released.FindRow(0, id);
      if (k >= 0) Released.DeleteRow(k);
    }
  }
  while (c.RowCount() > 3) c.DeleteRow(c.RowCount() - 1);
  c.SortAscending(0);
  for (int r = 0; r < c.RowCount(); ++r) {
    const int32_t id = c.GetValue(r, 0);
    c.SetValue(r, 1, id < 0 ? -id : -1);
  }
  for (int32_t k = 0; k < 3; ++k) {
    if (c.FindRow(1, k) >= 0) continue;
    int free = c.FindRow(1, -1);
    if (free >= 0) c.SetValue(free, 1, k);
  }
}
