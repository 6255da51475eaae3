#include "club/Uteam.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "club/Uarith.h"
#include "club/Ucalendar.h"
#include "club/Ucommatext.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"

namespace {

// A player leaving for the free-agent pool; without a market he just goes.
void SendToMarket(TplayerMarket* market, const Tplayer& player) {
  if (market) market->AddFreeAgent(player);
}

// Weeks in which a player left out of the match squad grows unhappy.
bool BenchCheckWeek(int32_t w) { return IsLeagueWeek(w); }

// The squad of a new club: position selector and which of the four
// nationalities, for numbers 1 .. 21.
struct TSquadSlot {
  int32_t Selector;
  int Nationality;
};
constexpr TSquadSlot kNewSquad[21] = {{0, 0}, {7, 1}, {1, 0}, {1, 0}, {7, 2}, {7, 1}, {8, 1},
                                      {9, 1}, {6, 0}, {8, 3}, {8, 2}, {9, 0}, {9, 0}, {9, 0},
                                      {9, 0}, {9, 0}, {9, 0}, {8, 1}, {9, 0}, {9, 0}, {9, 0}};

// The sixteen picks of the automatic line-up: slot filled, column sorted by.
struct TPick {
  int Slot;
  int Column;
};
constexpr TPick kPicks[16] = {{0, 8}, {5, 9}, {9, 5},  {10, 4}, {8, 4},  {1, 7},  {2, 7},   {3, 7},
                              {7, 3}, {4, 6}, {6, 10}, {11, 2}, {12, 2}, {13, 7}, {14, 10}, {15, 10}};

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void PutLe32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

constexpr std::size_t kBmpFileHeader = 14;

// Checks a BMP file header and the header size of the bitmap that follows;
// returns the total length the file header declares. `have` is how many
// bytes are available from `p` on (at least 18).
std::string BmpProblem(const uint8_t* p, std::size_t have, uint32_t& total) {
  if (p[0] != 'B' || p[1] != 'M') return "emblem is not a BMP image";
  total = Le32(p + 2);
  const uint32_t offBits = Le32(p + 10);
  const uint32_t info = Le32(p + 14);
  if (info != 12 && info != 16 && info != 40 && info != 52 && info != 56 && info != 64 && info != 108 && info != 124)
    return "emblem has a broken bitmap header";
  if (total < kBmpFileHeader + info) return "emblem length is too small";
  if (offBits < kBmpFileHeader + info || offBits > total) return "emblem pixel offset is broken";
  if (total > have) return "emblem length runs past the end";
  return "";
}

}  // namespace

int32_t YouthLevel(int32_t r) {
  if (r == 0) return 25;
  if (r <= 10) return 20;
  if (r <= 25) return 17;
  if (r <= 45) return 14;
  if (r <= 70) return 12;
  if (r <= 174) return 10;
  if (r <= 189) return 8;
  return 6;
}

int32_t StartingMoney(int32_t teamIndex) {
  switch (teamIndex / 8) {
    case 0: return 300;
    case 1: return 900;
    case 2: return 1800;
    default: return 0;
  }
}

// ===========================================================================
// Creation

Tteam::Tteam(int32_t teamIndex)
    : Squad(std::make_unique<Tplayerlist>()),
      Youth(std::make_unique<Tplayerlist>()),
      Coaches(std::make_unique<Tcoach>()),
      TeamIndex(teamIndex),
      Emblem(EmptyEmblem()) {
  Slots.fill(-1);
}

Tteam::Tteam(const std::array<int32_t, 4>& nationalities, int32_t baseLevel, int32_t teamIndex, const TworldView& world)
    : Tteam(teamIndex) {
  Money = StartingMoney(teamIndex);
  std::array<int32_t, 4> nat = nationalities;
  for (int32_t& n : nat)
    if (n == 10) n = 2 + Random(8);
  for (int i = 0; i < 21; ++i) {
    const TSquadSlot& s = kNewSquad[i];
    auto p = std::make_unique<Tplayer>(s.Selector, nat[static_cast<std::size_t>(s.Nationality)], baseLevel, teamIndex,
                                       world);
    p->Age = 18 + Random(15);
    Squad->Add(std::move(p), i + 1);
  }
}

Tteam::~Tteam() = default;

// ===========================================================================
// Emblem

std::vector<uint8_t> Tteam::EmptyEmblem() {
  std::vector<uint8_t> b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutLe32(b, 2, 54);   // file size
  PutLe32(b, 10, 54);  // pixel data offset
  PutLe32(b, 14, 40);  // info header size
  b[26] = 1;           // planes
  b[28] = 24;          // bits per pixel
  return b;
}

void Tteam::CheckEmblem(const std::vector<uint8_t>& bmp) {
  if (bmp.size() < kBmpFileHeader + 4) throw StreamError("emblem is too short for a BMP header", 0);
  uint32_t total = 0;
  std::string problem = BmpProblem(bmp.data(), bmp.size(), total);
  if (problem.empty() && total != bmp.size()) problem = "emblem length does not match its header";
  if (!problem.empty()) throw StreamError(problem, 0);
}

std::vector<uint8_t> Tteam::ReadEmblem(TStream& s) {
  const std::size_t start = s.Position();
  s.Need(kBmpFileHeader + 4, "emblem header");
  const uint8_t* p = s.Bytes().data() + start;
  uint32_t total = 0;
  std::string problem = BmpProblem(p, s.Remaining(), total);
  if (!problem.empty()) throw StreamError(problem, start);
  return s.ReadBytes(total);
}

void Tteam::SetEmblem(std::vector<uint8_t> bmp) {
  CheckEmblem(bmp);
  Emblem = std::move(bmp);
}

// ===========================================================================
// Stream forms

void Tteam::SaveToStream(TStream& s) const {
  s.WriteBytes(Emblem);
  WriteString(s, ClubName);
  s.WriteInt32(Money);
  s.WriteInt32(YouthNationality);
  s.WriteInt32(YouthPosition);
  Coaches->SaveToStream(s);
  for (int32_t v : RoleRatings) s.WriteInt32(v);
  for (int32_t v : Slots) s.WriteInt32(v);
  for (const TPoint& p : Positions) {
    s.WriteInt32(p.X);
    s.WriteInt32(p.Y);
  }
  Squad->SaveToStream(s);
  Youth->SaveToStream(s);
}

namespace {
enum TRecordForm { kFormFull = 0, kFormShort = 1, kFormExchange = 2 };

// Smallest full player record: name length, the fixed fields, the history count.
constexpr std::size_t kMinPlayerRecord = 4 + 285 + 4;

// One full player record read into a fresh player of the club. Creating the
// placeholder must not disturb the world's random sequence.
std::unique_ptr<Tplayer> ReadPlayer(TStream& s, int32_t club) {
  s.Need(kMinPlayerRecord, "player record");
  const RandomState saved = GetRandomState();
  std::unique_ptr<Tplayer> p;
  try {
    p = Tplayer::Placeholder(club);
  } catch (...) {
    SetRandomState(saved);
    throw;
  }
  SetRandomState(saved);
  p->LoadFromStream(s);
  return p;
}
}  // namespace

void Tteam::LoadRecord(TStream& s, int form) {
  std::vector<uint8_t> emblem = ReadEmblem(s);
  s.Need(4, "club name");
  std::string name;
  ReadString(s, name);
  s.Need(12, "club money");
  const int32_t money = s.ReadInt32();
  const int32_t youthNat = s.ReadInt32In(0, 9, "youth nationality");
  const int32_t youthPos = s.ReadInt32In(0, 9, "youth position");
  auto coaches = std::make_unique<Tcoach>();
  if (form == kFormExchange)
    coaches->LoadExchange(s);
  else
    coaches->LoadFromStream(s);
  s.Need(20 + 64 + 88, "club line-up");
  std::array<int32_t, 5> roles{};
  for (int32_t& v : roles) v = s.ReadInt32();
  std::array<int32_t, kSlotCount> slots{};
  for (int32_t& v : slots) v = s.ReadInt32();
  std::array<TPoint, 11> positions{};
  for (TPoint& p : positions) {
    p.X = s.ReadInt32();
    p.Y = s.ReadInt32();
  }
  auto squad = std::make_unique<Tplayerlist>();
  auto youth = std::make_unique<Tplayerlist>();
  if (form == kFormFull) {
    squad->LoadFromStream(s, TeamIndex);
    youth->LoadFromStream(s, TeamIndex);
  } else if (form == kFormShort) {
    squad->LoadFromStreamShort(s, TeamIndex);
    youth->LoadFromStreamShort(s, TeamIndex);
  } else {
    TIntgrid numbers;
    numbers.LoadFromStream(s);
    for (int r = 0; r < numbers.RowCount(); ++r) {
      if (numbers.RowLength(r) < 1) throw StreamError("squad number row is empty", s.Position());
      const int32_t number = numbers.GetValue(r, 0);
      squad->Add(ReadPlayer(s, TeamIndex), number);
    }
    const int32_t count = s.ReadCount(kMinPlayerRecord, "youth count");
    for (int32_t i = 0; i < count; ++i) youth->Add(ReadPlayer(s, TeamIndex), 100 + i);
  }
  // Everything was read: take it over.
  Emblem = std::move(emblem);
  ClubName = std::move(name);
  Money = money;
  YouthNationality = youthNat;
  YouthPosition = youthPos;
  Coaches = std::move(coaches);
  RoleRatings = roles;
  Slots = slots;
  Positions = positions;
  Squad = std::move(squad);
  Youth = std::move(youth);
  // A slot naming a player the squad does not hold is kept as read: the
  // loaders of saves and VS files refuse such a club (club/Uinvariants.h).
}

void Tteam::LoadFromStream(TStream& s) { LoadRecord(s, kFormFull); }
void Tteam::LoadFromStreamShort(TStream& s) { LoadRecord(s, kFormShort); }
void Tteam::LoadExchange(TStream& s) { LoadRecord(s, kFormExchange); }

void Tteam::WriteLineup(TStream& s) const {
  s.WriteInt32(TeamIndex);
  for (int slot = 0; slot < kStarterCount; ++slot) {
    const int32_t number = Slots[static_cast<std::size_t>(slot)];
    const Tplayer* p = number >= 0 ? Squad->PlayerByNumber(number) : nullptr;
    if (!p) throw VantorelError("line-up of " + ClubName + ": starting slot " + std::to_string(slot) + " is empty");
    s.WriteInt32(number);
    s.WriteInt32(Positions[static_cast<std::size_t>(slot)].X);
    s.WriteInt32(Positions[static_cast<std::size_t>(slot)].Y);
    p->WriteMatchRecord(s);
  }
  for (int slot = kStarterCount; slot < kSlotCount; ++slot) {
    const int32_t number = Slots[static_cast<std::size_t>(slot)];
    const Tplayer* p = number >= 0 ? Squad->PlayerByNumber(number) : nullptr;
    s.WriteBool(p != nullptr);
    if (!p) continue;
    s.WriteInt32(number);
    s.WriteInt32(Positions[0].X);
    s.WriteInt32(Positions[0].Y);
    p->WriteMatchRecord(s);
  }
}

// ===========================================================================
// Line-up

int32_t Tteam::SlotNumber(int slot) const {
  if (slot < 0 || slot >= kSlotCount) return -1;
  return Slots[static_cast<std::size_t>(slot)];
}

void Tteam::SetSlotNumber(int slot, int32_t number) {
  if (slot < 0 || slot >= kSlotCount) return;
  Slots[static_cast<std::size_t>(slot)] = number;
}

bool Tteam::StartingElevenComplete() const {
  return StartingElevenComplete(Slots, [this](int32_t n) { return Squad && Squad->IndexOfNumber(n) >= 0; });
}

TPoint Tteam::GetPosition(int slot) const {
  if (slot < 0 || slot >= kStarterCount) return TPoint{};
  return Positions[static_cast<std::size_t>(slot)];
}

void Tteam::SetPosition(int slot, TPoint p) {
  if (slot < 0 || slot >= kStarterCount) return;
  Positions[static_cast<std::size_t>(slot)] = p;
}

int Tteam::FindSlot(int32_t number) const {
  for (int i = 0; i < kSlotCount; ++i)
    if (Slots[static_cast<std::size_t>(i)] == number) return i;
  return -1;
}

void Tteam::ClearSlotsOf(int32_t number) {
  for (int32_t& n : Slots)
    if (n == number) n = -1;
}

void Tteam::ArrangeLineup() {
  // Outfield starters from the back and right to the front and left:
  // X ascending, ties by Y descending.
  TIntgrid t;
  for (int slot = 1; slot < kStarterCount; ++slot)
    t.AddRow({Slots[static_cast<std::size_t>(slot)], Positions[static_cast<std::size_t>(slot)].X,
              Positions[static_cast<std::size_t>(slot)].Y});
  t.SortDescending(2);
  t.SortAscending(1);
  for (int i = 0; i < t.RowCount(); ++i) {
    Slots[static_cast<std::size_t>(i + 1)] = t.GetValue(i, 0);
    Positions[static_cast<std::size_t>(i + 1)] = TPoint{t.GetValue(i, 1), t.GetValue(i, 2)};
  }
  // Substitutes packed at the front.
  int to = kStarterCount;
  for (int slot = kStarterCount; slot < kSlotCount; ++slot) {
    const int32_t n = Slots[static_cast<std::size_t>(slot)];
    if (n != -1) Slots[static_cast<std::size_t>(to++)] = n;
  }
  for (; to < kSlotCount; ++to) Slots[static_cast<std::size_t>(to)] = -1;
}

std::array<TLineupPick, kSlotCount> Tteam::LineupPicks(bool excludeInjured) const {
  Tplayeranalyze table;
  for (const TplayerInput& e : Squad->Entries)
    if (!excludeInjured || !e.Player->IsInjured()) table.AddLineupRow(*e.Player, e.Number);
  // Each pick takes the first of the rows left, stably sorted by its
  // column, highest first. That order is by the pick's column, then by the
  // column of the pick before, and so on back to the order the rows were
  // added in: its first row is found in one pass, without sorting.
  std::vector<int> left(static_cast<std::size_t>(table.RowCount()));
  std::iota(left.begin(), left.end(), 0);
  auto before = [&table](int a, int b, int pick) {
    for (int q = pick; q >= 0; --q) {
      const int32_t va = table.GetValue(a, kPicks[q].Column), vb = table.GetValue(b, kPicks[q].Column);
      if (va != vb) return va > vb;
    }
    return a < b;
  };
  std::array<TLineupPick, kSlotCount> picks{};
  for (int pick = 0; pick < kSlotCount; ++pick) {
    TLineupPick& k = picks[static_cast<std::size_t>(pick)];
    k.Slot = kPicks[pick].Slot;
    k.Column = kPicks[pick].Column;
    if (left.empty()) continue;
    std::size_t best = 0;
    for (std::size_t i = 1; i < left.size(); ++i)
      if (before(left[i], left[best], pick)) best = i;
    const int row = left[best];
    k.Number = table.GetValue(row, 0);
    k.Value = table.GetValue(row, k.Column);
    k.Mtype = table.GetValue(row, 1);
    left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
  }
  return picks;
}

void Tteam::AutoLineup(bool excludeInjured) {
  const std::array<TLineupPick, kSlotCount> picks = LineupPicks(excludeInjured);
  // The picks are made aside and taken over only when the formation could
  // be placed: a broken preset file leaves the line-up as it was.
  std::array<int32_t, kSlotCount> slots = Slots;
  std::array<int32_t, 5> roles = RoleRatings;
  Tformation formation;
  for (int pick = 0; pick < kSlotCount; ++pick) {
    const TLineupPick& k = picks[static_cast<std::size_t>(pick)];
    slots[static_cast<std::size_t>(k.Slot)] = k.Number;
    if (k.Number < 0) continue;
    switch (pick) {
      case 0: roles[0] = k.Value; break;
      case 4: roles[4] = k.Value; break;
      case 7: roles[1] = k.Value; break;
      case 8: roles[3] = k.Value; break;
      case 10: roles[2] = k.Value; break;
      default: break;
    }
    if (pick >= 1 && pick <= 10) formation.AddPlayer(k.Slot, k.Mtype);
  }
  formation.Compute();
  Slots = slots;
  RoleRatings = roles;
  for (int slot = 0; slot < kStarterCount; ++slot) Positions[static_cast<std::size_t>(slot)] = formation.GetPoint(slot);
  ArrangeLineup();
}

// ===========================================================================
// Players coming and going

int32_t Tteam::TakeIn(const Tplayer& player, int32_t wanted) {
  std::unique_ptr<Tplayer> copy = Tplayer::CopyOf(player, TeamIndex);
  copy->SetAffinity(TeamIndex, copy->GetAffinity(TeamIndex) + 10);
  return Squad->Add(std::move(copy), wanted);
}

void Tteam::Release(int32_t number, const TworldView& world) {
  if (Squad->IndexOfNumber(number) < 0) return;
  Squad->RemoveNumber(number);
  ClearSlotsOf(number);
  if (Squad->Count() == 10) Squad->AddFiller(TeamIndex, world);
}

void Tteam::MakeCoach(int32_t number, int slot, const TworldView& world) {
  const Tplayer* p = Squad->PlayerByNumber(number);
  if (!p || slot < 0 || slot > 2) return;
  Coaches->Hire(slot, p->CoachValues());
  Release(number, world);
}

void Tteam::YouthIntake(const TworldView& world) {
  const int32_t wanted = CheckedMul(world.CurrentYear(), 100);
  for (int i = 0; i < 7; ++i) {
    const int32_t level = YouthLevel(Random(200));
    auto p = std::make_unique<Tplayer>(YouthPosition, YouthNationality, level, TeamIndex, world);
    p->Age = 14 + Random(5);
    if (p->History.RowCount() > 0) p->History.SetValue(p->History.RowCount() - 1, 2, -2);
    Youth->Add(std::move(p), wanted);
  }
}

void Tteam::PromoteYouth(const TworldView& world, TplayerMarket* market) {
  if (Youth->Count() == 0) return;
  Tplayeranalyze table;
  for (const TplayerInput& e : Youth->Entries) table.AddYouthRow(*e.Player, e.Number, world);
  static constexpr int32_t kAgeFactor[5] = {3, 1, 3, 1, 2};
  for (int i = 0; i < 5; ++i) {
    const int col = 4 + i;
    table.SortDescending(col);
    while (table.RowCount() > 0 && Squad->Count() < kMaxSquad &&
           table.GetValue(0, col) > RoleRatings[static_cast<std::size_t>(i)]) {
      const int32_t number = table.GetValue(0, 0);
      if (const Tplayer* p = Youth->PlayerByNumber(number)) TakeIn(*p, 1);
      Youth->RemoveNumber(number);
      table.DeleteRow(0);
    }
    // Youngsters already strong for their age stay in the youth team.
    for (int r = table.RowCount() - 1; r >= 0; --r)
      if (static_cast<int64_t>(table.GetValue(r, 1)) * kAgeFactor[i] * 2 < table.GetValue(r, col)) table.DeleteRow(r);
  }
  for (int r = 0; r < table.RowCount(); ++r) {
    const int32_t number = table.GetValue(r, 0);
    if (const Tplayer* p = Youth->PlayerByNumber(number)) SendToMarket(market, *p);
    Youth->RemoveNumber(number);
  }
}

void Tteam::ReleaseOldYouth(TplayerMarket* market) {
  for (int i = Youth->Count() - 1; i >= 0; --i) {
    const Tplayer* p = Youth->PlayerAt(i);
    if (p->Age > 19) {
      SendToMarket(market, *p);
      Youth->RemoveAt(i);
    }
  }
}

std::string Tteam::Departures(const TworldView& world, TplayerMarket* market) {
  std::vector<std::string> lines;
  for (int i = Squad->Count() - 1; i >= 0; --i) {
    if (i >= Squad->Count()) continue;
    const TplayerInput& e = Squad->EntryAt(i);
    const int32_t number = e.Number;
    const Tplayer& p = *e.Player;
    if (p.GetAffinity(TeamIndex) <= 5) {
      lines.push_back(std::to_string(number) + "," + p.Name + ",→,退団");
      SendToMarket(market, p);
      Release(number, world);
    } else if (p.IsRetiring()) {
      lines.push_back(std::to_string(number) + "," + p.Name + ",→,引退");
      Release(number, world);
    }
  }
  return CommaText(lines);
}

// ===========================================================================
// Week, match, season

void Tteam::WeeklyUpdate(const TworldView& world) {
  const bool bench = BenchCheckWeek(world.CurrentWeek());
  for (TplayerInput& e : Squad->Entries) {
    Tplayer& p = *e.Player;
    if (Money < 0) p.SetAffinity(TeamIndex, p.GetAffinity(TeamIndex) - 1);
    if (p.IsInjured()) {
      p.AddFatigue(-6, false, world);
      continue;
    }
    p.WeeklyGrowth(Coaches->Weights);
    p.AddFatigue(-3, bench, world);
  }
  InjuryUpdate(world);
  for (TplayerInput& e : Youth->Entries) e.Player->WeeklyGrowth(Coaches->Weights);
}

void Tteam::InjuryUpdate(const TworldView& world) {
  const bool user = TeamIndex == kUserClub;
  int injured = 0;
  for (TplayerInput& e : Squad->Entries) {
    Tplayer& p = *e.Player;
    if (p.InjuryWeeks == 1) {
      p.InjuryWeeks = 0;
      if (user) Messages.push_back(std::to_string(e.Number) + "." + p.Name + "の怪我が治りました");
    } else if (p.InjuryWeeks > 1) {
      p.InjuryWeeks -= 1;
      ++injured;
    } else if (p.InjuryCheck()) {
      ClearSlotsOf(e.Number);
      ++injured;
      if (user)
        Messages.push_back(std::to_string(e.Number) + "." + p.Name + "が全治" + std::to_string(p.InjuryWeeks) +
                           "週間の怪我をしました");
    }
  }
  AddFillersWhileShort(injured, world);
}

void Tteam::AddFillersWhileShort(int injured, const TworldView& world) {
  while (Squad->Count() - injured <= 10) Squad->AddFiller(TeamIndex, world);
}

void Tteam::AfterMatch(int32_t formValue) {
  const int32_t half = formValue / 2;
  for (int slot = 0; slot < kStarterCount; ++slot) {
    const int32_t n = Slots[static_cast<std::size_t>(slot)];
    if (n < 0) continue;
    if (Tplayer* p = Squad->PlayerByNumber(n)) p->ConditionDelta = CheckedAdd(p->ConditionDelta, formValue - half);
  }
  for (TplayerInput& e : Squad->Entries) {
    e.Player->ConditionDelta = CheckedAdd(e.Player->ConditionDelta, half);
    e.Player->UpdateCondition();
  }
}

void Tteam::SeasonEnd(const TworldView& world, TplayerMarket* market) {
  for (TplayerInput& e : Squad->Entries) e.Player->CloseSeason(-1, world);
  for (TplayerInput& e : Youth->Entries) e.Player->CloseSeason(-2, world);
  Coaches->SeasonEnd();
  YouthIntake(world);
  if (TeamIndex != kUserClub) Departures(world, market);
}

void Tteam::AIOffSeason(const TworldView& world, TplayerMarket* market) {
  const int32_t remembered = Money;
  PayWages();
  Tcontract contract(TeamIndex);
  contract.Setup(Money, *Coaches, *Squad, RoleRatings);
  contract.Decide(world);
  for (int r = 0; r < contract.Candidates.RowCount(); ++r) {
    const int32_t id = contract.Candidates.GetValue(r, 0);
    if (id > 0) MakeCoach(id, contract.Candidates.GetValue(r, 1), world);
  }
  for (int r = 0; r < contract.Released.RowCount(); ++r) {
    const int32_t number = contract.Released.GetValue(r, 0);
    if (const Tplayer* p = Squad->PlayerByNumber(number)) {
      SendToMarket(market, *p);
      Release(number, world);
    }
  }
  if (market)
    for (const TplayerInput& e : Squad->Entries) market->List(TeamIndex, e.Number, *e.Player);
  Money = remembered;
  PromoteYouth(world, market);
  ReleaseOldYouth(market);
  PayWages();
  ChooseInvestment();
}

// ===========================================================================
// Money

void Tteam::AddMoney(int32_t amount) { Money = CheckedAdd(Money, amount); }

int32_t Tteam::WageTotal() const {
  int32_t total = 0;
  for (const TplayerInput& e : Squad->Entries) total = CheckedAdd(total, e.Player->Wage());
  return CheckedAdd(total, CheckedMul(5, Youth->Count()));
}

void Tteam::PayWages() { Money = CheckedSub(Money, WageTotal()); }

int32_t Tteam::InvestmentCostOf(int32_t nationality) {
  static constexpr int32_t kCost[10] = {0, 300, 1200, 1500, 1500, 1000, 700, 1000, 1200, 700};
  if (nationality < 0 || nationality > 9) return 0;
  return kCost[nationality];
}

int32_t Tteam::InvestmentCost() const { return InvestmentCostOf(YouthNationality); }

void Tteam::ChooseInvestment() {
  YouthPosition = 9;
  const int32_t m = Money / 100;
  auto either = [](int32_t a, int32_t b) { return Random(2) == 0 ? a : b; };
  if (m >= -100 && m <= 3)
    YouthNationality = 0;
  else if (m >= 4 && m <= 7)
    YouthNationality = 1;
  else if (m >= 8 && m <= 10)
    YouthNationality = either(6, 9);
  else if (m >= 11 && m <= 12)
    YouthNationality = either(5, 7);
  else if (m >= 13 && m <= 15)
    YouthNationality = either(2, 8);
  else
    YouthNationality = either(3, 4);
  AddMoney(-InvestmentCost());
}

// ===========================================================================
// Tables for the screens and the market

void Tteam::FillSquadGrid(TGrid& grid, const TworldView& world) const {
  static const char* const kHeader[19] = {"",  "No",  "Name",  "Age", "Mtype", "S",  "H",     "D", "C", "K",
                                          "A", "Leg", "Ktype", "試",  "ゴ",    "ア", "Value", "",  "成"};
  const int rows = 1 + Squad->Count();
  grid.SetSize(19, rows);
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.DefaultColWidth = 20;
  for (int c = 0; c < 19; ++c) grid.SetColWidth(c, grid.DefaultColWidth);  // -1 would now hide them
  grid.SetColWidth(2, 100);
  grid.SetColWidth(16, 35);
  grid.SetColWidth(4, 50);
  grid.SetColWidth(12, 50);
  grid.SetColWidth(0, 0);   // hidden sort key
  grid.SetColWidth(17, 0);  // hidden form
  for (int c = 0; c < 19; ++c) grid.Cells(c, 0) = kHeader[c];
  for (int i = 0; i < Squad->Count(); ++i) {
    const int row = i + 1;
    const TplayerInput& e = Squad->EntryAt(i);
    const Tplayer& p = *e.Player;
    std::vector<std::string> fields = p.RowFields(world);
    for (int c = 0; c < 19 && c < static_cast<int>(fields.size()); ++c)
      grid.Cells(c, row) = fields[static_cast<std::size_t>(c)];
    grid.Cells(1, row) = std::to_string(e.Number);
    if (p.InjuryWeeks > 0) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "9%.2d", static_cast<int>(p.InjuryWeeks));
      grid.Cells(0, row) = buf;
    } else {
      grid.Cells(0, row) = "99";
    }
    const int32_t form = p.Condition;
    int32_t formTag = 0;
    if (form <= -11)
      formTag = kTagBlue;
    else if (form <= -1)
      formTag = kTagNavy;
    else if (form >= 11)
      formTag = kTagRed;
    else if (form >= 1)
      formTag = kTagMaroon;
    grid.Tags(17, row) = formTag;
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const int32_t n = Slots[static_cast<std::size_t>(slot)];
    if (n < 0) continue;
    const int idx = Squad->IndexOfNumber(n);
    if (idx < 0) continue;
    grid.Cells(0, idx + 1) = std::to_string(slot);
    grid.Tags(1, idx + 1) = slot < kStarterCount ? kTagYellow : kTagSilver;
  }
}

std::array<TTransferTarget, 3> Tteam::TransferTargets() const {
  std::array<TTransferTarget, 3> t{};
  t[0] = TTransferTarget{2, CheckedAdd(RoleRatings[2], 30)};
  // The other needs: the roles whose weighted reference is highest.
  static constexpr int kRoles[4] = {0, 1, 3, 4};
  static constexpr int32_t kWeight[4] = {1, 6, 6, 2};
  TIntgrid scores;
  for (int j = 0; j < 4; ++j) {
    const int32_t w = kWeight[j];
    scores.AddRow({kRoles[j], CheckedAdd(30 / w, CheckedMul(w, RoleRatings[static_cast<std::size_t>(kRoles[j])]))});
  }
  scores.SortDescending(1);
  for (int j = 0; j < 2; ++j) {
    const int32_t role = scores.GetValue(j, 0);
    t[static_cast<std::size_t>(j + 1)] = TTransferTarget{role, RoleRatings[static_cast<std::size_t>(role)]};
  }
  return t;
}

std::array<int32_t, 6> Tteam::TransferTargetValues() const {
  std::array<TTransferTarget, 3> t = TransferTargets();
  return {t[0].Role, t[0].Minimum, t[1].Role, t[1].Minimum, t[2].Role, t[2].Minimum};
}
