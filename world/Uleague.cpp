#include "world/Uleague.h"

#include <algorithm>
#include <memory>
#include <numeric>

#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Ugridtext.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "world/Ugamemain.h"

namespace {

Tgamemain& Game() {
  if (!GameState) throw VantorelError("no game state");
  return *GameState;
}

Tteam& Club(int32_t club) { return Game().Team(club); }

std::string ClubNameOf(int32_t club) {
  if (!GameState || club < 0 || club >= kClubCount || !GameState->Teams[club]) return "";
  return GameState->Teams[club]->ClubName;
}

Tplayer* SquadPlayer(int32_t club, int32_t number) {
  if (!GameState || club < 0 || club >= kClubCount || !GameState->Teams[club]) return nullptr;
  Tteam& t = *GameState->Teams[club];
  return t.Squad ? t.Squad->PlayerByNumber(number) : nullptr;
}

// Puts [key, club, number, total] at the end of a ranking, replacing the
// player's earlier row.
void UpdateRanking(TIntgrid& ranking, int32_t club, int32_t number, int32_t total) {
  int32_t key = CheckedAdd(CheckedMul(club, 1000), number);
  int row = ranking.FindRow(0, key);
  if (row >= 0) ranking.DeleteRow(row);
  ranking.AddRow({key, club, number, total});
}

void ResultCells(TGrid& grid, int row, std::size_t h, std::size_t a) {
  grid.Cells(2, row) = std::to_string(h) + "-" + std::to_string(a);
}

void EnsureSize(TGrid& grid, int cols, int rows) {
  if (grid.ColCount() < cols) grid.SetColCount(cols);
  if (grid.RowCount() < rows) grid.SetRowCount(rows);
}

void ClearRow(TGrid& grid, int row) {
  for (auto& cell : grid.Row(row)) cell = TGridCell{};
}

}  // namespace

TMatchOutcome PlayQuickMatch(int32_t homeClub, int32_t awayClub, int progressEvery, const TProgressHook& progress) {
  auto driver = std::make_unique<Tmmain>();
  {
    TStream home, away;
    Club(homeClub).WriteLineup(home);
    Club(awayClub).WriteLineup(away);
    driver->Load(home, away, false);
  }
  TQuickMatchHook afterStep;
  if (progress && progressEvery > 0)
    afterStep = [&](int32_t step) {
      if (step % progressEvery == 0) progress();
    };
  return PlayQuickMatch(*driver, afterStep);
}

// ===========================================================================
// League
// ===========================================================================

Tleague::Tleague(const std::array<int32_t, 8>& clubs, TNoDraw) {
  for (int i = 0; i < 8; ++i) Table[i] = {clubs[i], 0, 0, 0, 0, 0, 0, 0, i + 1};
}

Tleague::Tleague(const std::array<int32_t, 8>& clubs) : Tleague(clubs, TNoDraw{}) { MakeFixtures(); }

// The circle method: slot 0 stays put while the others rotate, with a
// random start order and the seven rounds of a cycle in random order.
void Tleague::MakeFixtures() {
  std::array<int32_t, 8> a{};
  std::vector<int32_t> rest{1, 2, 3, 4, 5, 6, 7};
  a[0] = 0;
  for (int k = 1; k <= 7; ++k) {
    int i = Random(static_cast<int32_t>(rest.size()));
    a[k] = rest[i];
    rest.erase(rest.begin() + i);
  }
  std::vector<int32_t> rounds{0, 1, 2, 3, 4, 5, 6};
  for (int n = 0; n < 7; ++n) {
    int i = Random(static_cast<int32_t>(rounds.size()));
    int32_t r = rounds[i];
    for (int c = 0; c < 4; ++c)
      for (int j = 0; j < 4; ++j) Fixtures[r + 7 * c][j] = {a[j], a[7 - j]};
    rounds.erase(rounds.begin() + i);
    int32_t last = a[7];
    for (int k = 7; k > 1; --k) a[k] = a[k - 1];
    a[1] = last;
  }
  for (int r = 0; r < kLeagueRounds; r += 2)
    for (auto& m : Fixtures[r]) std::swap(m[0], m[1]);
}

std::pair<int32_t, int32_t> Tleague::NextMatch() const {
  if (Round < 0 || Round >= kLeagueRounds) return {-1, -1};
  const auto& m = Fixtures[Round][0];
  return {ClubOfSlot(m[0]), ClubOfSlot(m[1])};
}

void Tleague::PlayRound(int32_t first, const TProgressHook& progress) {
  FirstSimulated = first;
  if (first > 3 || Round < 0 || Round >= kLeagueRounds) return;
  for (int m = std::max(first, 0); m < kMatchesPerRound; ++m) {
    const auto& f = Fixtures[Round][m];
    TMatchOutcome out = PlayQuickMatch(ClubOfSlot(f[0]), ClubOfSlot(f[1]), 540, progress);
    ApplyMatchStats(out.Stats);
    RecordMatch(m, out.HomeText, out.AwayText, out.HomeGoals, out.AwayGoals);
  }
}

void Tleague::ApplyMatchStats(const TIntgrid& table) {
  for (int r = 0; r < table.RowCount(); ++r) {
    if (table.RowLength(r) < 6) continue;
    int32_t club = table.GetValue(r, 0);
    int32_t number = table.GetValue(r, 1);
    Tplayer* p = SquadPlayer(club, number);
    if (!p) continue;  // he left the club since the match
    int32_t minutes = table.GetValue(r, 2);
    int32_t goals = table.GetValue(r, 3);
    int32_t assists = table.GetValue(r, 4);
    p->Games = CheckedAdd(p->Games, 1);
    p->AddFatigue(minutes / 15, true, Game());
    p->AddRating(table.GetValue(r, 5));
    if (goals != 0) {
      p->Goal = CheckedAdd(p->Goal, goals);
      p->ConditionDelta = CheckedAdd(p->ConditionDelta, goals);
      UpdateRanking(ScorerRanking, club, number, p->Goal);
    }
    if (assists != 0) {
      p->Asist = CheckedAdd(p->Asist, assists);
      p->ConditionDelta = CheckedAdd(p->ConditionDelta, assists);
      UpdateRanking(AssistRanking, club, number, p->Asist);
    }
  }
}

void Tleague::RecordMatch(int32_t match, const std::string& homeText, const std::string& awayText, int32_t homeGoals,
                          int32_t awayGoals) {
  if (match < 0 || match >= kMatchesPerRound || Round < 0 || Round >= kLeagueRounds) return;
  Results[2 * match] = homeText;
  Results[2 * match + 1] = awayText;
  const auto& f = Fixtures[Round][match];
  int32_t home = f[0], away = f[1];
  int32_t r = RecordResult(home, homeGoals, awayGoals);
  int32_t b = MatchBonus(0, Table[home][kPosition], r);
  if (GameState) Club(ClubOfSlot(home)).AfterMatch(b);
  r = RecordResult(away, awayGoals, homeGoals);
  b = MatchBonus(1, Table[away][kPosition], r);
  if (GameState) Club(ClubOfSlot(away)).AfterMatch(b);
}

int32_t Tleague::RecordResult(int32_t slot, int32_t goalsFor, int32_t goalsAgainst) {
  auto& row = Table.at(slot);
  row[kGoalsFor] = CheckedAdd(row[kGoalsFor], goalsFor);
  row[kGoalsAgainst] = CheckedAdd(row[kGoalsAgainst], goalsAgainst);
  row[kGoalDiff] = CheckedSub(row[kGoalsFor], row[kGoalsAgainst]);
  if (goalsFor == goalsAgainst) {
    row[kDraws] += 1;
    row[kPoints] += 1;
    return 0;
  }
  if (goalsFor > goalsAgainst) {
    row[kWins] += 1;
    row[kPoints] += 3;
    return 1;
  }
  row[kLosses] += 1;
  return -1;
}

int32_t Tleague::MatchBonus(int32_t side, int32_t position, int32_t result) const {
  int32_t b = side + 2 * result;
  if (Round >= 14) {
    bool top = position >= 1 && position <= 3;
    bool bottom = position >= 6 && position <= 8;
    if (result > 0 && top) b += 2;
    if (result == 0 && top) b += 1;
    if (result == 0 && bottom) b -= 1;
    if (result < 0 && bottom) b -= 2;
  }
  return b;
}

void Tleague::CloseRound() {
  Round = CheckedAdd(Round, 1);
  TrimRanking(ScorerRanking);
  TrimRanking(AssistRanking);
}

void Tleague::TrimRanking(TIntgrid& ranking) {
  if (ranking.RowCount() == 0) return;
  ranking.SortDescending(3);
  if (ranking.RowCount() <= 10) return;
  int32_t tenth = ranking.GetValue(9, 3);
  int keep = 10;
  while (keep < ranking.RowCount() && ranking.GetValue(keep, 3) == tenth) ++keep;
  ranking.Rows.resize(static_cast<std::size_t>(keep));
}

// Points, then goal difference, then goals for, all descending; the lower
// slot first when everything is level.
static std::array<int, 8> StandingOrder(const std::array<std::array<int32_t, 9>, 8>& table) {
  std::array<int, 8> order{};
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
    const auto& a = table[x];
    const auto& b = table[y];
    if (a[Tleague::kPoints] != b[Tleague::kPoints]) return a[Tleague::kPoints] > b[Tleague::kPoints];
    if (a[Tleague::kGoalDiff] != b[Tleague::kGoalDiff]) return a[Tleague::kGoalDiff] > b[Tleague::kGoalDiff];
    return a[Tleague::kGoalsFor] > b[Tleague::kGoalsFor];
  });
  return order;
}

void Tleague::UpdatePositions() {
  auto order = StandingOrder(Table);
  for (int r = 0; r < 8; ++r) Table[order[r]][kPosition] = r + 1;
}

void Tleague::ShowTable(TGrid& grid) const {
  // Column 8 holds the position, outside the eight visible columns.
  grid.SetSize(9, 9);
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.ResetWidths();
  grid.Width = 290;
  grid.DefaultColWidth = 25;
  grid.SetColWidth(0, 100);
  grid.SetColWidth(8, -1);
  SetRowCommaText(grid, 0, "Temename,勝,分,負,勝点,得,失,得失");
  auto order = StandingOrder(Table);
  for (int r = 0; r < 8; ++r) {
    const auto& row = Table[order[r]];
    grid.Cells(0, r + 1) = ClubNameOf(row[kClub]);
    for (int c = 1; c < kPosition; ++c) grid.Cells(c, r + 1) = std::to_string(row[c]);
    grid.Cells(kPosition, r + 1) = std::to_string(r + 1);
  }
}

void Tleague::ShowNextRound(TGrid& grid) const {
  if (Round < 0 || Round >= kLeagueRounds) return;
  grid.SetSize(5, 4);
  grid.ClearCells();
  grid.FixedRows = 0;
  grid.ResetWidths();
  grid.DefaultColWidth = 30;
  grid.SetColWidth(1, 100);
  grid.SetColWidth(3, 100);
  for (int j = 0; j < kMatchesPerRound; ++j) {
    const auto& f = Fixtures[Round][j];
    grid.Cells(0, j) = "H";
    grid.Cells(1, j) = ClubNameOf(ClubOfSlot(f[0]));
    grid.Cells(2, j) = "VS";
    grid.Cells(3, j) = ClubNameOf(ClubOfSlot(f[1]));
    grid.Cells(4, j) = "A";
  }
}

void Tleague::ShowRanking(int32_t kind, TGrid& grid) const {
  const TIntgrid& ranking = kind == 0 ? ScorerRanking : AssistRanking;
  int n = ranking.RowCount();
  if (n == 0) return;
  grid.SetSize(3, n + 1);
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.ResetWidths();
  grid.Width = 260;
  grid.DefaultColWidth = 100;
  grid.SetColWidth(2, 30);
  grid.Cells(0, 0) = "Team";
  grid.Cells(1, 0) = "Player";
  grid.Cells(2, 0) = "数";
  for (int i = 0; i < n; ++i) {
    int32_t club = ranking.GetValue(i, 1);
    const Tplayer* p = SquadPlayer(club, ranking.GetValue(i, 2));
    grid.Cells(0, i + 1) = ClubNameOf(club);
    grid.Cells(1, i + 1) = p ? p->Name : std::string();
    grid.Cells(2, i + 1) = std::to_string(ranking.GetValue(i, 3));
  }
}

void Tleague::ShowResults(TGrid& grid, std::array<std::vector<std::string>, 8>& memos) const {
  ShowNextRound(grid);
  EnsureSize(grid, 5, 4);
  grid.DefaultRowHeight = 80;
  for (int k = 0; k < 8; ++k) memos[k] = SplitCommaText(Results[k]);
  for (int r = 0; r < 4; ++r) {
    std::size_t h = memos[2 * r].size();
    std::size_t a = memos[2 * r + 1].size();
    ResultCells(grid, r, h, a);
    grid.Tags(1, r) = 0;
    grid.Tags(3, r) = 0;
    if (h > a) {
      grid.Tags(1, r) = kTagYellow;
    } else if (h == a) {
      grid.Tags(1, r) = kTagSilver;
      grid.Tags(3, r) = kTagSilver;
    } else {
      grid.Tags(3, r) = kTagYellow;
    }
  }
}

std::string Tleague::FixtureText(int32_t round) const {
  if (round < 0 || round >= kLeagueRounds) return "";
  const auto& f = Fixtures[round][0];
  std::string text = ",リーグ第" + std::to_string(round + 1) + "節";
  if (f[0] == 0)
    text += ",H," + ClubNameOf(ClubOfSlot(f[1]));
  else
    text += ",A," + ClubNameOf(ClubOfSlot(f[0]));
  return text;
}

void Tleague::FinalOrder(std::array<int32_t, 8>& destination) const {
  // Positions are a permutation of 1..8 once set; fall back to the
  // standings for a table whose positions were never fixed.
  std::array<bool, 8> seen{};
  bool ok = true;
  for (const auto& row : Table) {
    int32_t p = row[kPosition];
    if (p < 1 || p > 8 || seen[p - 1])
      ok = false;
    else
      seen[p - 1] = true;
  }
  if (ok) {
    for (const auto& row : Table) destination[row[kPosition] - 1] = row[kClub];
  } else {
    auto order = StandingOrder(Table);
    for (int r = 0; r < 8; ++r) destination[r] = Table[order[r]][kClub];
  }
}

void Tleague::UserRecord(std::vector<int32_t>& destination) const {
  if (destination.size() < 10) destination.resize(10, 0);
  const auto& row = Table[0];
  destination[2] = row[kPosition];
  for (int c = kWins; c <= kGoalDiff; ++c) destination[2 + c] = row[c];
}

void Tleague::SaveToStream(TStream& s) const {
  s.WriteInt32(Round);
  for (const auto& row : Table)
    for (int32_t v : row) s.WriteInt32(v);
  for (const auto& round : Fixtures)
    for (const auto& m : round) {
      s.WriteInt32(m[0]);
      s.WriteInt32(m[1]);
    }
  ScorerRanking.SaveToStream(s);
  AssistRanking.SaveToStream(s);
}

void Tleague::LoadFromStream(TStream& s) {
  int32_t round = s.ReadInt32In(0, kLeagueRounds, "league round");
  std::array<std::array<int32_t, 9>, 8> table{};
  for (auto& row : table) {
    row[kClub] = s.ReadInt32In(0, kClubCount - 1, "league club");
    for (int c = kWins; c <= kGoalDiff; ++c) row[c] = s.ReadInt32();
    row[kPosition] = s.ReadInt32In(1, 8, "league position");
  }
  decltype(Fixtures) fixtures{};
  for (auto& r : fixtures)
    for (auto& m : r) {
      m[0] = s.ReadInt32In(0, 7, "fixture slot");
      m[1] = s.ReadInt32In(0, 7, "fixture slot");
    }
  TIntgrid scorers, assists;
  for (TIntgrid* ranking : {&scorers, &assists}) {
    std::size_t at = s.Position();
    ranking->LoadFromStream(s);
    for (int i = 0; i < ranking->RowCount(); ++i)
      if (ranking->RowLength(i) < 4) throw StreamError("ranking row too short", at);
  }
  Round = round;
  Table = table;
  Fixtures = fixtures;
  ScorerRanking = std::move(scorers);
  AssistRanking = std::move(assists);
  for (auto& r : Results) r.clear();
  FirstSimulated = 0;
}

// ===========================================================================
// Cup
// ===========================================================================

Tcup::Tcup(TNoDraw) {}

Tcup::Tcup() {
  Tgamemain& g = Game();
  std::vector<int32_t> pool(g.Divisions[1].begin(), g.Divisions[1].end());
  for (int i = 0; i < 8; ++i) {
    Entrants.AddRow({g.Divisions[2][i]});
    int k = Random(static_cast<int32_t>(pool.size()));
    Entrants.AddRow({pool[k]});
    pool.erase(pool.begin() + k);
  }
  MoveUserFirst();
  Round = 1;
}

void Tcup::MoveUserFirst() {
  int row = Entrants.FindRow(0, 0);
  if (row < 0) return;
  if (row % 2 == 1) row -= 1;
  if (row + 1 >= Entrants.RowCount()) return;
  if (row == 0) return;
  std::vector<TInput> pair(Entrants.Rows.begin() + row, Entrants.Rows.begin() + row + 2);
  Entrants.Rows.erase(Entrants.Rows.begin() + row, Entrants.Rows.begin() + row + 2);
  Entrants.Rows.insert(Entrants.Rows.begin(), pair.begin(), pair.end());
}

int32_t Tcup::UserRound() const { return Entrants.FindRow(0, 0) >= 0 ? Round : -1; }

std::pair<int32_t, int32_t> Tcup::NextMatch() const {
  if (Entrants.FindRow(0, 0) < 0 || Entrants.RowCount() < 2) return {-1, -1};
  return {ClubOfRow(0), ClubOfRow(1)};
}

void Tcup::PlayRound(int32_t watch, const TProgressHook& progress) {
  int n = Entrants.RowCount();
  Results.assign(static_cast<std::size_t>(n), std::string());
  int c = n / 2;
  Cards.clear();
  for (int f = 0; f < c; ++f)
    Cards.push_back("H," + ClubNameOf(ClubOfRow(2 * f)) + ",," + ClubNameOf(ClubOfRow(2 * f + 1)) + ",A");
  FirstSimulated = (Entrants.FindRow(0, 0) >= 0 && watch == 1) ? 1 : 0;
  if (c == 0) return;
  const int interval = 45 * c;
  for (int g = c - 1; g >= FirstSimulated; --g) {
    TMatchOutcome out = PlayQuickMatch(ClubOfRow(2 * g), ClubOfRow(2 * g + 1), interval, progress);
    ApplyMatchStats(out.Stats);
    Results[2 * g] = out.HomeText;
    Results[2 * g + 1] = out.AwayText;
    DecideMatch(g, out.HomeGoals, out.AwayGoals);
  }
}

void Tcup::ApplyMatchStats(const TIntgrid& table) {
  for (int r = 0; r < table.RowCount(); ++r) {
    if (table.RowLength(r) < 6) continue;
    Tplayer* p = SquadPlayer(table.GetValue(r, 0), table.GetValue(r, 1));
    if (!p) continue;
    p->Games = CheckedAdd(p->Games, 1);
    p->AddFatigue(table.GetValue(r, 2) / 15, false, Game());
    int32_t goals = table.GetValue(r, 3);
    int32_t assists = table.GetValue(r, 4);
    if (goals != 0) p->ConditionDelta = CheckedAdd(p->ConditionDelta, goals);
    if (assists != 0) p->ConditionDelta = CheckedAdd(p->ConditionDelta, assists);
  }
}

// A draw goes to the away side.
void Tcup::DecideMatch(int32_t match, int32_t homeGoals, int32_t awayGoals) {
  int home = 2 * match, away = 2 * match + 1;
  if (match < 0 || away >= Entrants.RowCount()) return;
  int32_t homeClub = ClubOfRow(home), awayClub = ClubOfRow(away);
  if (homeGoals > awayGoals) {
    if (GameState) {
      Club(homeClub).AfterMatch(1);
      Club(awayClub).AfterMatch(-1);
    }
    Entrants.DeleteRow(away);
  } else {
    if (GameState) {
      Club(homeClub).AfterMatch(-1);
      Club(awayClub).AfterMatch(1);
    }
    Entrants.DeleteRow(home);
  }
}

void Tcup::RecordUserMatch(const std::string& homeText, const std::string& awayText, bool homeWon) {
  if (Results.size() < 2) Results.resize(2);
  Results[0] = homeText;
  Results[1] = awayText;
  if (Entrants.RowCount() < 2) return;
  Entrants.DeleteRow(homeWon ? 1 : 0);
}

void Tcup::CloseRound() {
  if (Round >= 6) return;
  const int32_t closed = Round;
  const int32_t prize = closed * 200;
  for (int r = 0; r < Entrants.RowCount(); ++r) Club(ClubOfRow(r)).AddMoney(prize);
  Round = closed + 1;
  if (closed == 1) {
    // Each round-1 winner (at home) meets a random division-1 club.
    Tgamemain& g = Game();
    std::vector<int32_t> top(g.Divisions[0].begin(), g.Divisions[0].end());
    for (int i = 0; i < 8; ++i) {
      int k = Random(static_cast<int32_t>(top.size()));
      int at = std::min(2 * i + 1, Entrants.RowCount());
      Entrants.InsertRow(at, {top[k]});
      top.erase(top.begin() + k);
    }
    MoveUserFirst();
  } else if (closed != 5) {
    int n = Entrants.RowCount();
    for (int i = 0; i < n; ++i) {
      int k = Random(Entrants.RowCount());
      Entrants.AddRow({ClubOfRow(k)});
      Entrants.DeleteRow(k);
    }
    MoveUserFirst();
  }
  Cards.clear();
}

void Tcup::ShowCards(TGrid& grid) const {
  if (Round == 6) return;
  int c = Entrants.RowCount() / 2;
  grid.SetSize(5, c);
  grid.ClearCells();
  grid.FixedRows = 0;
  grid.ResetWidths();
  grid.DefaultColWidth = 30;
  grid.SetColWidth(1, 100);
  grid.SetColWidth(3, 100);
  for (int i = 0; i < c; ++i) {
    grid.Cells(0, i) = "H";
    grid.Cells(1, i) = ClubNameOf(ClubOfRow(2 * i));
    grid.Cells(2, i) = "VS";
    grid.Cells(3, i) = ClubNameOf(ClubOfRow(2 * i + 1));
    grid.Cells(4, i) = "A";
  }
}

std::string Tcup::UserCardText() const {
  if (Entrants.RowCount() < 2) return "";
  if (ClubOfRow(0) == 0) return ",,H," + ClubNameOf(ClubOfRow(1));
  if (ClubOfRow(1) == 0) return ",,A," + ClubNameOf(ClubOfRow(0));
  return "";
}

void Tcup::ShowResults(int32_t page, TGrid& grid, std::array<std::vector<std::string>, 8>& memos,
                       std::vector<std::string>& message) const {
  EnsureSize(grid, 5, 4);
  grid.DefaultRowHeight = 80;
  grid.ResetWidths();
  grid.DefaultColWidth = 30;
  grid.SetColWidth(1, 100);
  grid.SetColWidth(3, 100);
  int n = std::min(3, static_cast<int>(Cards.size()) - 1);
  for (int i = 0; i <= n; ++i) {
    ClearRow(grid, i);
    std::size_t k = static_cast<std::size_t>(page * 4 + i);
    if (k < Cards.size()) SetRowCommaText(grid, i, Cards[k]);
  }
  int memoLast = std::min(7, static_cast<int>(Results.size()) - 1);
  for (int k = 0; k <= memoLast; ++k) {
    std::size_t idx = static_cast<std::size_t>(page * 8 + k);
    memos[k] = idx < Results.size() ? SplitCommaText(Results[idx]) : std::vector<std::string>();
  }
  bool draw = false;
  for (int i = 0; i <= n; ++i) {
    std::size_t h = memos[2 * i].size();
    std::size_t a = memos[2 * i + 1].size();
    draw = draw || h == a;
    if (static_cast<long>(h) - static_cast<long>(a) < 1) {
      grid.Tags(3, i) = kTagYellow;
      grid.Tags(1, i) = 0;
    } else {
      grid.Tags(1, i) = kTagYellow;
      grid.Tags(3, i) = 0;
    }
    ResultCells(grid, i, h, a);
  }
  message.clear();
  switch (Round) {
    case 3: message.push_back("カップ戦準々決勝の結果です"); break;
    case 4: message.push_back("カップ戦準決勝の結果です"); break;
    case 5: message.push_back("カップ戦決勝の結果です"); break;
    default: message.push_back("カップ戦" + std::to_string(Round) + "回戦の結果です"); break;
  }
  message.push_back("勝ち抜きチームには賞金" + std::to_string(Round * 200) + "入ります");
  if (draw) message.push_back(kCupDrawRule);
  message.push_back("（先に進めるにはここをクリック）");
}

void Tcup::SaveToStream(TStream& s) const {
  s.WriteInt32(Round);
  Entrants.SaveToStream(s);
}

void Tcup::LoadFromStream(TStream& s) {
  int32_t round = s.ReadInt32In(1, 6, "cup round");
  std::size_t at = s.Position();
  TIntgrid entrants;
  entrants.LoadFromStream(s);
  if (entrants.RowCount() > 16) throw StreamError("too many cup entrants", at);
  for (int r = 0; r < entrants.RowCount(); ++r) {
    if (entrants.RowLength(r) < 1) throw StreamError("empty cup entrant row", at);
    int32_t c = entrants.GetValue(r, 0);
    if (c < 0 || c >= kClubCount) throw StreamError("cup entrant is no club", at);
  }
  Round = round;
  Entrants = std::move(entrants);
  Results.clear();
  Cards.clear();
  FirstSimulated = 0;
}
