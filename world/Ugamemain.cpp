#include "world/Ugamemain.h"

constinit thread_local Tgamemain* GameState = nullptr;

std::string CupResultText(int32_t code) {
  switch (code) {
    case 1: return "１回戦敗退";
    case 2: return "２回戦敗退";
    case 3: return "ベスト８";
    case 4: return "ベスト４";
    case 5: return "準優勝";
    case 6: return "優勝";
    default: return "";
  }
}

int32_t Tgamemain::DivisionOf(int32_t club) const {
  for (int d = 0; d < kDivisionCount; ++d)
    for (int p = 0; p < kClubsPerDivision; ++p)
      if (Divisions[d][p] == club) return d + 1;
  return 0;
}

int32_t Tgamemain::TeamAt(int32_t division, int32_t position) const {
  if (division < 1 || division > kDivisionCount || position < 0 || position >= kClubsPerDivision)
    throw VantorelError("no such division position");
  return Divisions[division - 1][position];
}

int32_t Tgamemain::ReputationOf(int32_t club) const {
  if (club < 0 || club >= kClubCount) return 0;
  return Reputation[club];
}

int32_t Tgamemain::SeasonPrize(int32_t division, int32_t position) {
  static const int32_t kPrize[3][8] = {{2500, 2000, 2000, 1800, 1800, 1800, 1500, 1500},
                                       {1000, 1000, 800, 800, 700, 700, 600, 600},
                                       {350, 350, 300, 300, 250, 250, 200, 200}};
  if (division < 1 || division > 3 || position < 0 || position > 7) return 0;
  return kPrize[division - 1][position];
}

// ---------------------------------------------------------------------------

#include <algorithm>
#include <utility>

#include "club/Uarith.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Ugridtext.h"
#include "club/Upaths.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Uleague.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"
#include "world/Uworldcheck.h"

namespace {

// While a rule runs, the leagues, the cup and the market find their clubs
// through GameState (the clubs themselves are handed the state as their
// world view), so every rule below runs in a TScopedGameState.
using ScopedGameState = TScopedGameState;

std::array<int32_t, 8> DivisionClubs(const Tgamemain& g, int d) {
  std::array<int32_t, 8> clubs{};
  for (int p = 0; p < kClubsPerDivision; ++p) clubs[p] = g.Divisions[d][p];
  return clubs;
}

}  // namespace

Tgamemain::Tgamemain() : Tgamemain(TNoSeed{}) { Randomize(); }

Tgamemain::Tgamemain(TNoSeed) {
  for (int i = 0; i < kClubCount; ++i) {
    Reputation[i] = (i + 1) * 3;
    Divisions[2 - i / 8][i % 8] = i;
  }
  SeasonHistory.AddRow({1});
}

Tgamemain::~Tgamemain() {
  if (GameState == this) GameState = nullptr;
}

Tteam& Tgamemain::Team(int32_t club) const {
  if (club < 0 || club >= kClubCount || !Teams[club]) throw VantorelError("no such club: " + std::to_string(club));
  return *Teams[club];
}

// ---- new game ---------------------------------------------------------------

void Tgamemain::NewGame() { NewGameFrom(ShippedPath("first.dat"), true); }

TStartData ParseStartData(const std::vector<uint8_t>& bytes, std::size_t* used) {
  TStream s(bytes);
  TStartData clubs;
  for (TStartClub& c : clubs) {
    for (auto& n : c.Nationalities) n = s.ReadInt32In(0, 10, "nationality");
    s.Need(4, "club name");
    c.Name = ReadString(s);
    c.Emblem = Tteam::ReadEmblem(s);
  }
  if (used) *used = s.Position();
  return clubs;
}

std::vector<uint8_t> StartDataBytes(const TStartData& clubs) {
  TStream s;
  for (const TStartClub& c : clubs) {
    for (int32_t n : c.Nationalities) s.WriteInt32(n);
    WriteString(s, c.Name);
    s.WriteBytes(c.Emblem);
  }
  return s.TakeBytes();
}

void Tgamemain::NewGameFrom(const std::string& path, bool seedFromClock) {
  ScopedGameState scope(this);
  if (seedFromClock) Randomize();
  // The whole file is read before the first club is made: a damaged file
  // is refused before anything is drawn or built. Making the clubs draws
  // from the generator; a failure there leaves it, too, as it was.
  const RandomState rs = GetRandomState();
  TStartData records;
  try {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    std::size_t used = 0;
    records = ParseStartData(bytes, &used);
    if (used != bytes.size())
      throw FileError(path, "開始データが壊れています（24クラブの後ろに余分なデータがあります）");
  } catch (const StreamError& e) {
    SetRandomState(rs);
    throw FileError(path, "開始データが壊れています" + DamagePlace(e));
  } catch (...) {
    SetRandomState(rs);
    throw;
  }
  std::array<std::unique_ptr<Tteam>, kClubCount> clubs;
  try {
    for (int i = 0; i < kClubCount; ++i) {
      TStartClub& r = records[static_cast<std::size_t>(i)];
      auto club = std::make_unique<Tteam>(r.Nationalities, (i / 8) * 5 + 12, i, *this);
      club->ClubName = std::move(r.Name);
      club->Emblem = std::move(r.Emblem);
      club->AutoLineup(false);
      club->YouthIntake(*this);
      clubs[i] = std::move(club);
    }
  } catch (...) {
    SetRandomState(rs);
    throw;
  }
  Teams = std::move(clubs);
  Year = 1;
  Week = kContractWeek;
}

// ---- look-ups ---------------------------------------------------------------

// ---- the calendar -------------------------------------------------------------

void Tgamemain::SetNextFromLeague() {
  int d = DivisionOf(0);
  if (d >= 1 && Leagues[d - 1]) {
    auto m = Leagues[d - 1]->NextMatch();
    NextHome = m.first;
    NextAway = m.second;
  } else {
    NextHome = NextAway = -1;
  }
}

void Tgamemain::SetNextFromCup() {
  if (Cup) {
    auto m = Cup->NextMatch();
    NextHome = m.first;
    NextAway = m.second;
  } else {
    NextHome = NextAway = -1;
  }
}

void Tgamemain::SetUpSeason() {
  for (int d = 0; d < kDivisionCount; ++d) Leagues[d] = std::make_unique<Tleague>(DivisionClubs(*this, d));
  SetNextFromLeague();
  Cup = std::make_unique<Tcup>();
}

void Tgamemain::AdvanceWeek() {
  ScopedGameState scope(this);
  HalfPlayedWeek = 0;
  const int32_t w = Week;
  if (w == kContractWeek) {
    for (int i = 1; i < kClubCount; ++i) Team(i).AIOffSeason(*this, Market.get());
  } else if (w >= kFirstTransferWeek && w < kLastTransferWeek) {
    if (Market) {
      Market->SellerReactions();
      Market->Resolve();
      // Why the user's bids and players went as they did, on the club screen.
      for (std::string& line : Market->UserNews) Messages.push_back(std::move(line));
      Market->UserNews.clear();
      for (int i = 1; i < kClubCount; ++i) Market->ComputerBids(i);
      Market->GatherBids();
      if (w == 9) Market->Listings.Clear();
    }
  } else if (w == kLastTransferWeek) {
    Market.reset();
    SetUpSeason();
  } else if (IsLeagueWeek(w)) {
    for (auto& l : Leagues) {
      if (!l) continue;
      // The positions after every round (the form bonus of the next round
      // and the season end read them).
      l->UpdatePositions();
      l->CloseRound();
    }
    if (IsCupWeek(NextMatchWeek(w)))
      SetNextFromCup();
    else
      SetNextFromLeague();
  } else if (IsCupWeek(w)) {
    if (Cup) {
      Cup->CloseRound();
      if (Cup->UserRound() != -1 && SeasonHistory.RowCount() > 0) {
        int last = SeasonHistory.RowCount() - 1;
        SeasonHistory.SetValue(last, 0, Cup->Round);
      }
    }
    // After the last cup round the season has no match left: the cup's
    // final stays the fixture shown.
    const int32_t next = NextMatchWeek(w);
    if (next < 0 || IsCupWeek(next))
      SetNextFromCup();
    else
      SetNextFromLeague();
  } else if (w == kSeasonEndWeek) {
    SeasonEndStep();
  }

  for (int i = 0; i < kClubCount; ++i) {
    Tteam& club = Team(i);
    club.WeeklyUpdate(*this);
    Messages.insert(Messages.end(), club.Messages.begin(), club.Messages.end());
    club.Messages.clear();
    if (i >= 1) club.AutoLineup(Week >= kInjuredLeftOutWeek);
  }
  Week = CheckedAdd(Week, 1);
}

void Tgamemain::PlayWeekMatches(const std::function<void()>& progress, bool watchOwn) {
  ScopedGameState scope(this);
  if (IsLeagueWeek(Week)) {
    const int32_t own = DivisionOf(0);
    for (int d = 1; d <= kDivisionCount; ++d)
      if (auto& l = Leagues[d - 1]) l->PlayRound(watchOwn && d == own ? 1 : 0, progress);
    // The positions stay those after the previous round until the round is
    // closed: a watched match 0, recorded later, earns its bonus from the
    // same table as the matches played here.
  } else if (IsCupWeek(Week)) {
    if (Cup) Cup->PlayRound(watchOwn ? 1 : 0, progress);
  }
  if (IsLeagueWeek(Week) || IsCupWeek(Week)) HalfPlayedWeek = Week;
}

void Tgamemain::RecordWatchedMatch(const std::string& goals0, const std::string& goals1, int32_t score0, int32_t score1,
                                   const TIntgrid& stats) {
  ScopedGameState scope(this);
  if (IsCupWeek(Week)) {
    if (!Cup) throw VantorelError("no cup to record the match in");
    Cup->ApplyMatchStats(stats);
    Cup->RecordUserMatch(goals0, goals1, score1 < score0);
    return;
  }
  Tleague* league = Leagues[DivisionOf(0) - 1].get();
  if (!league) throw VantorelError("no league to record the match in");
  league->ApplyMatchStats(stats);
  league->RecordMatch(0, goals0, goals1, score0, score1);
}

void Tgamemain::SeasonEndStep() {
  Market = std::make_unique<Ttrade>();
  Week = 0;
  RecordHistory();
  Year = CheckedAdd(Year, 1);
  EndSeason();
  for (int i = 0; i < kClubCount; ++i) Team(i).SeasonEnd(*this, Market.get());
  Cup.reset();
}

void Tgamemain::RecordHistory() {
  std::vector<int32_t> row(11, 0);
  row[0] = Year;
  int d = DivisionOf(0);
  row[1] = d;
  if (d >= 1 && Leagues[d - 1]) Leagues[d - 1]->UserRecord(row);
  row.resize(11);
  int last = SeasonHistory.RowCount() - 1;
  if (last >= 0) {
    row[10] = SeasonHistory.RowLength(last) > 0 ? SeasonHistory.GetValue(last, 0) : 1;
    SeasonHistory.DeleteRow(last);
  } else {
    row[10] = 1;
  }
  SeasonHistory.AddRow(row);
  SeasonHistory.AddRow({1});
}

void Tgamemain::EndSeason() {
  // Final tables into the divisions.
  for (int d = 0; d < kDivisionCount; ++d) {
    if (!Leagues[d]) continue;
    std::array<int32_t, 8> order{};
    Leagues[d]->FinalOrder(order);
    for (int p = 0; p < kClubsPerDivision; ++p) Divisions[d][p] = order[p];
    Leagues[d].reset();
  }
  // The 7th and 8th go down to positions 0 and 1 of the division below; the
  // 1st and 2nd of the division below come up to positions 6 and 7.
  for (int d = 0; d < 2; ++d)
    for (int j = 0; j < 2; ++j) std::swap(Divisions[d][6 + j], Divisions[d + 1][j]);
  // Reputation and prize money by the new division and position.
  for (int d = 1; d <= kDivisionCount; ++d) {
    for (int p = 0; p < kClubsPerDivision; ++p) {
      int32_t c = Divisions[d - 1][p];
      Reputation[c] = CheckedAdd(CheckedMul(Reputation[c], 2) / 3, (8 - p) * (4 - d));
      if (Teams[c]) Teams[c]->AddMoney(SeasonPrize(d, p));
    }
  }
  int d = DivisionOf(0);
  WonTopDivision = (d == 1 && Divisions[0][0] == 0);
  // The user's club back at position 0 of its division.
  if (d >= 1) {
    auto& div = Divisions[d - 1];
    int32_t c = div[0];
    for (int p = 1; p < kClubsPerDivision; ++p)
      if (div[p] == 0) div[p] = c;
    div[0] = 0;
  }
}

// ---- grids --------------------------------------------------------------------

void Tgamemain::ShowSchedule(TGrid& grid) const {
  grid.SetSize(4, 53);
  grid.FixedRows = 1;
  grid.ResetWidths();
  grid.Width = 270;
  grid.DefaultColWidth = 30;
  grid.SetColWidth(1, 100);
  grid.SetColWidth(3, 100);
  grid.ClearCells();
  SetRowCommaText(grid, 0, "週,試合,,対戦相手");
  // The current week is selected and scrolled to the top.
  grid.CurrentRow = Week;
  grid.TopRow = Week;

  // The user's cup card stands in the row of the next cup week.
  const int32_t cupRow = Week >= kContractWeek ? NextCupWeek(Week) : -1;
  if (cupRow > 0 && Cup) SetRowCommaText(grid, cupRow, Cup->UserCardText());

  const Tleague* league = nullptr;
  int d = DivisionOf(0);
  if (d >= 1) league = Leagues[d - 1].get();
  int round = 0;
  static const char* const kCupRowNames[5] = {"CUP1回戦", "CUP2回戦", "CUP準々決勝", "CUP準決勝", "CUP決勝"};
  for (int r = 1; r <= kWeeksPerSeason; ++r) {
    const int32_t cupRound = CupRoundOfWeek(r);
    if (cupRound >= 0) {
      grid.Cells(1, r) = kCupRowNames[cupRound];
    } else if (IsLeagueWeek(r)) {
      if (league) SetRowCommaText(grid, r, league->FixtureText(round));
      ++round;
    }
    grid.Cells(0, r) = std::to_string(r);
  }
}

void Tgamemain::ShowHistory(TGrid& grid) const {
  int rows = SeasonHistory.RowCount();
  if (rows == 0 || SeasonHistory.RowLength(0) <= 1) return;
  grid.SetSize(11, rows);
  grid.ClearCells();
  grid.ResetWidths();
  grid.Width = 360;
  grid.DefaultColWidth = 25;
  grid.SetColWidth(10, 100);
  SetRowCommaText(grid, 0, "年,リ,順,勝,分,負,勝点,得,失,得失,CUP");
  for (int i = 0; i + 1 < rows; ++i) {
    if (SeasonHistory.RowLength(i) < 11) continue;
    for (int c = 0; c < 10; ++c) grid.Cells(c, i + 1) = std::to_string(SeasonHistory.GetValue(i, c));
    grid.Cells(10, i + 1) = CupResultText(SeasonHistory.GetValue(i, 10));
  }
  if (rows > 1) grid.FixedRows = 1;
}

// ---- save body ------------------------------------------------------------------

void Tgamemain::SaveToStream(TStream& s) const {
  WriteString(s, kSaveVersion);
  s.WriteInt32(Year);
  s.WriteInt32(Week);
  s.WriteInt32(NextHome);
  s.WriteInt32(NextAway);
  for (const auto& div : Divisions)
    for (int32_t c : div) s.WriteInt32(c);
  for (int32_t r : Reputation) s.WriteInt32(r);
  SeasonHistory.SaveToStream(s);
  for (int i = 0; i < kClubCount; ++i) Team(i).SaveToStream(s);
  bool leagues = Leagues[0] && Leagues[1] && Leagues[2];
  s.WriteBool(leagues);
  if (leagues)
    for (const auto& l : Leagues) l->SaveToStream(s);
  s.WriteBool(Market != nullptr);
  if (Market) Market->SaveToStream(s);
  s.WriteBool(Cup != nullptr);
  if (Cup) Cup->SaveToStream(s);
}

std::vector<uint8_t> Tgamemain::SaveBody() const {
  TStream s;
  SaveToStream(s);
  return s.TakeBytes();
}

void Tgamemain::ReadBody(TStream& s, BodyVersion v) {
  s.Need(4, "version");
  std::string version = ReadString(s);
  if (v == BodyVersion::V17 && version != kSaveVersion)
    throw StreamError("not a save of version " + std::string(kSaveVersion) + " (\"" + version + "\")", 0);
  Year = s.ReadInt32In(1, 1000000, "year");
  Week = s.ReadInt32In(1, kWeeksPerSeason, "week");
  NextHome = s.ReadInt32In(-1, kClubCount - 1, "next home club");
  NextAway = s.ReadInt32In(-1, kClubCount - 1, "next away club");
  // Each club in exactly one division is an invariant, checked with the
  // others once the whole body is read.
  for (auto& div : Divisions)
    for (auto& c : div) c = s.ReadInt32In(0, kClubCount - 1, "division member");
  if (v == BodyVersion::V6) {
    Reputation[0] = s.ReadInt32In(0, 1000000, "reputation");
  } else {
    // The rules keep a reputation within 1 .. 72; far beyond is damage that
    // the attachment arithmetic would overflow on.
    for (auto& r : Reputation) r = s.ReadInt32In(0, 1000000, "reputation");
    std::size_t at = s.Position();
    SeasonHistory.LoadFromStream(s);
    int rows = SeasonHistory.RowCount();
    bool ok = rows >= 1 && SeasonHistory.RowLength(rows - 1) >= 1;
    for (int i = 0; ok && i + 1 < rows; ++i) ok = SeasonHistory.RowLength(i) >= 11;
    if (!ok) throw StreamError("season history damaged", at);
  }
  for (int i = 0; i < kClubCount; ++i) {
    auto club = std::make_unique<Tteam>(i);
    if (v == BodyVersion::V17)
      club->LoadFromStream(s);
    else if (v == BodyVersion::V11)
      club->LoadFromStreamShort(s);
    else
      club->LoadExchange(s);
    Teams[i] = std::move(club);
  }
  for (auto& l : Leagues) l.reset();
  Market.reset();
  Cup.reset();
  if (s.ReadBool()) {
    for (int d = 0; d < kDivisionCount; ++d) {
      auto league = std::make_unique<Tleague>(DivisionClubs(*this, d), Tleague::TNoDraw{});
      league->LoadFromStream(s);
      Leagues[d] = std::move(league);
    }
  }
  if (s.ReadBool()) {
    auto market = std::make_unique<Ttrade>();
    if (v == BodyVersion::V17)
      market->LoadFromStream(s);
    else if (v == BodyVersion::V11)
      market->ReadVersion11(s);
    else
      market->ReadVersion6(s);
    Market = std::move(market);
  }
  if (s.ReadBool()) {
    auto cup = std::make_unique<Tcup>(Tcup::TNoDraw{});
    cup->LoadFromStream(s);
    Cup = std::move(cup);
  }
}

void Tgamemain::LoadVersion(TStream& s, BodyVersion v, bool wholeStream) {
  Tgamemain fresh{TNoSeed{}};
  // An old image without reputations or history keeps this state's.
  fresh.Reputation = Reputation;
  fresh.SeasonHistory = SeasonHistory;
  std::size_t start = s.Position();
  try {
    fresh.ReadBody(s, v);
    if (wholeStream && !s.AtEnd()) throw StreamError("unexpected bytes after the save body", s.Position());
    // A body that reads must also be a world the game could have made.
    RequireNoViolations(CheckWorld(fresh));
  } catch (...) {
    s.Seek(start);
    throw;
  }
  TakeOver(fresh);
}

void Tgamemain::LoadFromStream(TStream& s, bool wholeStream) { LoadVersion(s, BodyVersion::V17, wholeStream); }
void Tgamemain::ReadVersion11(TStream& s) { LoadVersion(s, BodyVersion::V11, false); }
void Tgamemain::ReadVersion6(TStream& s) { LoadVersion(s, BodyVersion::V6, false); }

void Tgamemain::TakeOver(Tgamemain& other) {
  std::swap(Year, other.Year);
  std::swap(Week, other.Week);
  std::swap(NextHome, other.NextHome);
  std::swap(NextAway, other.NextAway);
  std::swap(SeasonHistory, other.SeasonHistory);
  std::swap(Divisions, other.Divisions);
  std::swap(Reputation, other.Reputation);
  std::swap(Teams, other.Teams);
  std::swap(Leagues, other.Leagues);
  std::swap(Cup, other.Cup);
  std::swap(Market, other.Market);
  Messages.clear();
  SkipMatches = false;
  WonTopDivision = false;
  HalfPlayedWeek = 0;
  other.SkipMatches = false;
  other.WonTopDivision = false;
  other.HalfPlayedWeek = 0;
}

// Slot files go through the save-game unit: it checks the slot name, writes
// atomically and refuses a file of another version before anything changes.
void Tgamemain::SaveGame(const std::string& name) const { SaveGameToSlot(*this, name); }

void Tgamemain::LoadGame(const std::string& name) { LoadGameFromSlot(*this, name); }
