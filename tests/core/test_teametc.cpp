#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "TeamTestData.h"
#include "club/Ufile.h"
#include "club/Uteametc.h"

namespace {

std::vector<uint8_t> Int32Bytes(std::initializer_list<int32_t> values) {
  TStream s;
  for (int32_t v : values) s.WriteInt32(v);
  return s.Bytes();
}

void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& b) { to.insert(to.end(), b.begin(), b.end()); }

// ---------------------------------------------------------------------------
// Formation

class FormationTest : public ClubDataTest {};

TEST_F(FormationTest, BalancesForwardsAndPicksRowsByLineShape) {
  Tformation f;
  // Slots 1 .. 10 with their position codes.
  const int codes[11] = {0, 3, 4, 5, 4, 9, 10, 20, 19, 18, 19};
  for (int slot = 1; slot <= 10; ++slot) f.AddPlayer(slot, codes[slot]);
  f.Compute();
  // Four forwards (roles 7, 8, 8, 9): the left forward and the right
  // forward drop back, two stay and use row 1.
  EXPECT_EQ(f.GetPoint(8), PresetPoint(3, 1, 0));
  EXPECT_EQ(f.GetPoint(10), PresetPoint(3, 1, 1));
  // They form a front midfield pair right .. left: row 2c - 2 = 2.
  EXPECT_EQ(f.GetPoint(9), PresetPoint(2, 2, 0));
  EXPECT_EQ(f.GetPoint(7), PresetPoint(2, 2, 1));
  // A back four by role, ties in the order added.
  EXPECT_EQ(f.GetPoint(1), PresetPoint(0, 1, 0));
  EXPECT_EQ(f.GetPoint(2), PresetPoint(0, 1, 1));
  EXPECT_EQ(f.GetPoint(4), PresetPoint(0, 1, 2));
  EXPECT_EQ(f.GetPoint(3), PresetPoint(0, 1, 3));
  // Two holding players behind a back four: row 2c - 3 = 1.
  EXPECT_EQ(f.GetPoint(5), PresetPoint(1, 1, 0));
  EXPECT_EQ(f.GetPoint(6), PresetPoint(1, 1, 1));
  EXPECT_EQ(f.GetPoint(0), kKeeperPoint);
}

TEST_F(FormationTest, FiveAtTheBackGiveUpTheirLastTwo) {
  Tformation f;
  const int codes[11] = {0, 3, 5, 4, 2, 5, 13, 13, 13, 13, 19};
  for (int slot = 1; slot <= 10; ++slot) f.AddPlayer(slot, codes[slot]);
  f.Compute();
  // Sorted by role: 1, 3 (role 0), then 2, 4, 5 (role 1); 5 and 4 move up.
  EXPECT_EQ(f.GetPoint(1), PresetPoint(0, 0, 0));
  EXPECT_EQ(f.GetPoint(3), PresetPoint(0, 0, 1));
  EXPECT_EQ(f.GetPoint(2), PresetPoint(0, 0, 2));
  // Back midfield pair behind a back three: row 2c - 2 = 2, in the order moved.
  EXPECT_EQ(f.GetPoint(5), PresetPoint(1, 2, 0));
  EXPECT_EQ(f.GetPoint(4), PresetPoint(1, 2, 1));
  // Four attacking midfielders use row 5; a lone forward row 0.
  EXPECT_EQ(f.GetPoint(6), PresetPoint(2, 5, 0));
  EXPECT_EQ(f.GetPoint(9), PresetPoint(2, 5, 3));
  EXPECT_EQ(f.GetPoint(10), PresetPoint(3, 0, 0));
}

TEST_F(FormationTest, FrontMidfieldPairRowDependsOnSides) {
  struct Case {
    int a, b, row;
  };
  // Roles 5 and 5 (two centres): row 1; 4 and 6 (right, left) or 5 and 6: row 2.
  for (Case c : {Case{13, 16, 1}, Case{12, 14, 2}, Case{13, 14, 2}}) {
    Tformation f;
    const int codes[11] = {0, 3, 3, 3, 3, 9, 9, c.a, c.b, 19, 19};
    for (int slot = 1; slot <= 10; ++slot) f.AddPlayer(slot, codes[slot]);
    f.Compute();
    EXPECT_EQ(f.GetPoint(7), PresetPoint(2, c.row, 0)) << c.a << "," << c.b;
    EXPECT_EQ(f.GetPoint(8), PresetPoint(2, c.row, 1)) << c.a << "," << c.b;
    EXPECT_EQ(f.GetPoint(9), PresetPoint(3, 1, 0));
  }
}

TEST_F(FormationTest, TwoAtTheBackPullInMidfielders) {
  Tformation f;
  const int codes[11] = {0, 3, 3, 9, 13, 13, 13, 13, 19, 19, 19};
  for (int slot = 1; slot <= 10; ++slot) f.AddPlayer(slot, codes[slot]);
  f.Compute();
  // One holding player: he and the first attacking midfielder drop back.
  EXPECT_EQ(f.GetPoint(3), PresetPoint(0, 1, 2));
  EXPECT_EQ(f.GetPoint(4), PresetPoint(0, 1, 3));
  EXPECT_EQ(f.GetPoint(5), PresetPoint(2, 3, 0));  // three left: row 2c - 3
  EXPECT_EQ(f.GetPoint(10), PresetPoint(3, 2, 2));
}

TEST_F(FormationTest, CrowdedFrontMidfieldSendsOneBack) {
  Tformation f;
  const int codes[11] = {0, 3, 3, 3, 12, 13, 14, 15, 16, 17, 19};
  for (int slot = 1; slot <= 10; ++slot) f.AddPlayer(slot, codes[slot]);
  f.Compute();
  // Six in the front midfield line: the first two who are not right-sided
  // (roles 5) go back to the holding line.
  EXPECT_EQ(f.Lines[1].RowCount(), 2);
  EXPECT_EQ(f.Lines[2].RowCount(), 4);
  EXPECT_EQ(f.GetPoint(5), PresetPoint(1, 2, 0));
  EXPECT_EQ(f.GetPoint(8), PresetPoint(1, 2, 1));
}

TEST_F(FormationTest, MissingOrShortPresetIsAFileErrorNamingTheFile) {
  std::filesystem::remove("data/aiforma/3.dat");
  Tformation::ClearPresetCache();
  Tformation f;
  f.AddPlayer(10, 19);
  try {
    f.Compute();
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), "data/aiforma/3.dat");
  }
  // A row with fewer pairs than players.
  WritePresets(7, 1);
  Tformation g;
  g.AddPlayer(10, 19);
  g.AddPlayer(9, 18);
  EXPECT_THROW(g.Compute(), FileError);
  // Bytes after the table.
  WritePresets();
  std::vector<uint8_t> b = ReadWholeFile("data/aiforma/0.dat");
  b.push_back(0);
  WriteBytesFile("data/aiforma/0.dat", b);
  Tformation::ClearPresetCache();
  EXPECT_THROW(Tformation::Preset(0), FileError);
}

TEST_F(FormationTest, PresetsAreDeliberatelyReadOncePerProcess) {
  const TIntgrid* first = &Tformation::Preset(1);
  std::filesystem::remove("data/aiforma/1.dat");
  EXPECT_EQ(&Tformation::Preset(1), first);
  // Once per working directory: another one reads its own presets (here
  // with three rows), on this thread and on another; back here, the first.
  namespace fs = std::filesystem;
  const fs::path here = fs::current_path();
  fs::create_directories("other/data/aiforma");
  TIntgrid three;
  for (int r = 0; r < 3; ++r) three.AddRow({PresetPoint(1, r, 0).X, PresetPoint(1, r, 0).Y});
  TStream s;
  three.SaveToStream(s);
  WriteBytesFile("other/data/aiforma/1.dat", s.Bytes());
  fs::current_path("other");
  EXPECT_EQ(Tformation::Preset(1).RowCount(), 3);
  std::thread([] { EXPECT_EQ(Tformation::Preset(1).RowCount(), 3); }).join();
  fs::current_path(here);
  EXPECT_EQ(&Tformation::Preset(1), first);
}

// ---------------------------------------------------------------------------
// Coaches

TEST(CoachTest, WeightsFollowSkillAndFocus) {
  Tcoach c;
  EXPECT_EQ(c.Weights, (TSixValues{3, 3, 3, 3, 3, 3}));
  c.Hire(0, {7, 1, 1, 1, 1, 1});
  for (int k = 1; k < 6; ++k) c.SetFocus(0, k, 0);
  EXPECT_EQ(c.Weights, (TSixValues{44, 2, 2, 2, 2, 2}));
  // A coach with every focus off adds nothing.
  c.SetFocus(0, 0, 0);
  EXPECT_EQ(c.Weights, (TSixValues{2, 2, 2, 2, 2, 2}));
  // Real sums round half to even: 7.5 -> 8, 4.5 -> 4.
  Tcoach d;
  for (int s = 0; s < 3; ++s)
    for (int k = 0; k < 6; ++k) d.SetFocus(s, k, 0);
  EXPECT_EQ(d.Weights, (TSixValues{0, 0, 0, 0, 0, 0}));
  d.Hire(0, {5, 3, 1, 1, 1, 1});
  for (int k = 4; k < 6; ++k) d.SetFocus(0, k, 0);
  EXPECT_EQ(d.Weights, (TSixValues{8, 4, 2, 2, 0, 0}));
}

TEST(CoachTest, ContractsRunDown) {
  Tcoach c;
  c.Hire(1, {5, 5, 5, 5, 5, 5});
  c.SetFocus(1, 2, 0);
  const TSixValues weights = c.Weights;
  c.SeasonEnd();
  c.SeasonEnd();
  EXPECT_EQ(c.Coach[1].Years, 1);
  EXPECT_EQ(c.GetSkill(1), (TSixValues{5, 5, 5, 5, 5, 5}));
  c.SeasonEnd();
  EXPECT_EQ(c.GetSkill(1), (TSixValues{1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(c.Coach[1].Years, 1);
  EXPECT_EQ(c.Coach[1].Focus[2], 1);
  // Default coaches are "renewed" each season as defaults.
  EXPECT_EQ(c.Coach[0].Years, 1);
  // Weights wait for the next change of staff.
  EXPECT_EQ(c.Weights, weights);
}

TEST(CoachTest, RecordAndExchangeFormsAreExact) {
  Tcoach c;
  c.Hire(1, {1, 2, 3, 4, 5, 6});
  c.SetFocus(1, 0, 0);
  EXPECT_EQ(c.Weights, (TSixValues{2, 4, 6, 7, 8, 9}));
  std::vector<uint8_t> expect;
  auto slot = [&](TSixValues skill, int32_t years, std::array<uint8_t, 6> focus) {
    for (int32_t v : skill) Append(expect, Int32Bytes({v}));
    Append(expect, Int32Bytes({years}));
    expect.insert(expect.end(), focus.begin(), focus.end());
  };
  slot({1, 1, 1, 1, 1, 1}, 1, {1, 1, 1, 1, 1, 1});
  slot({1, 2, 3, 4, 5, 6}, 3, {0, 1, 1, 1, 1, 1});
  slot({1, 1, 1, 1, 1, 1}, 1, {1, 1, 1, 1, 1, 1});
  Append(expect, Int32Bytes({2, 4, 6, 7, 8, 9}));
  TStream s;
  c.SaveToStream(s);
  ASSERT_EQ(s.Bytes().size(), 126u);
  EXPECT_EQ(s.Bytes(), expect);

  Tcoach r;
  s.Seek(0);
  r.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  TStream again;
  r.SaveToStream(again);
  EXPECT_EQ(again.Bytes(), expect);

  // Exchange form: weights, ten ignored bytes, then the slots.
  std::vector<uint8_t> ex = Int32Bytes({9, 8, 7, 6, 5, 4});
  for (int i = 0; i < 10; ++i) ex.push_back(0xEE);
  ex.insert(ex.end(), expect.begin(), expect.begin() + 102);
  ASSERT_EQ(ex.size(), 136u);
  TStream xs(ex);
  Tcoach x;
  x.LoadExchange(xs);
  EXPECT_TRUE(xs.AtEnd());
  EXPECT_EQ(x.Weights, (TSixValues{9, 8, 7, 6, 5, 4}));
  EXPECT_EQ(x.Coach[1].Skill, (TSixValues{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(x.Coach[1].Focus[0], 0);
  EXPECT_EQ(x.Coach[1].Years, 3);
}

TEST(CoachTest, TruncatedRecordsThrowAndChangeNothing) {
  Tcoach c;
  TStream s;
  c.SaveToStream(s);
  Tcoach target;
  target.Hire(2, {9, 9, 9, 9, 9, 9});
  for (std::size_t n : {0u, 4u, 125u}) {
    std::vector<uint8_t> b(s.Bytes().begin(), s.Bytes().begin() + static_cast<long>(n));
    TStream t(b);
    EXPECT_THROW(target.LoadFromStream(t), StreamError);
    TStream u(b);
    EXPECT_THROW(target.LoadExchange(u), StreamError);
    EXPECT_EQ(target.GetSkill(2), (TSixValues{9, 9, 9, 9, 9, 9}));
  }
}

TEST(CoachTest, GridShowsWeightsSlotsAndFocusColours) {
  Tcoach c;
  c.Hire(0, {7, 6, 5, 4, 3, 2});
  c.SetFocus(0, 1, 0);
  TGrid g;
  c.FillCoachGrid(g);
  ASSERT_EQ(g.ColCount(), 8);
  ASSERT_EQ(g.RowCount(), 5);
  EXPECT_EQ(g.ColWidth(0), 50);
  EXPECT_EQ(g.ColWidth(3), 20);
  const char* header[8] = {"", "契", "SPE", "H", "D", "C", "K", "A"};
  for (int col = 0; col < 8; ++col) EXPECT_EQ(g.Cells(col, 0), header[col]);
  EXPECT_EQ(g.Cells(0, 1), "指導力");
  EXPECT_EQ(g.Cells(0, 2), "コーチ1");
  EXPECT_EQ(g.Cells(0, 4), "コーチ3");
  EXPECT_EQ(g.Cells(1, 1), "");
  EXPECT_EQ(g.Cells(2, 1), std::to_string(c.Weights[0]));
  EXPECT_EQ(g.Cells(1, 2), "3");
  EXPECT_EQ(g.Cells(2, 2), "7");
  EXPECT_EQ(g.Cells(7, 2), "2");
  EXPECT_EQ(g.Tags(2, 2), kTagBlack);
  EXPECT_EQ(g.Tags(3, 2), kTagSilver);
  EXPECT_EQ(g.Tags(3, 3), kTagBlack);
}

// ---------------------------------------------------------------------------
// Analysis tables

TEST(AnalyzeTest, TableHelpers) {
  TIntgrid t;
  EXPECT_EQ(TopNumber(t, 4), -1);
  // Rows (number, -, wage): wages 30, 10, 20 and ten more of 1.
  t.AddRow({1, 0, 30, 0, 5});
  t.AddRow({2, 0, 10, 0, 9});
  t.AddRow({3, 0, 20, 0, 9});
  EXPECT_EQ(TopNumber(t, 4), 2);  // ties keep their order
  EXPECT_EQ(WageBeyondEleven(t), 0);
  for (int i = 0; i < 10; ++i) t.AddRow({10 + i, 0, 1, 0, 0});
  // Sorted by wage: ten 1s, then 10, 20, 30: rows 11 and 12 hold 20 and 30.
  EXPECT_EQ(WageBeyondEleven(t), 50);
  EXPECT_EQ(t.GetValue(0, 2), 1);
  EXPECT_EQ(t.GetValue(12, 2), 30);
  // Cover row: the last row once the second-lowest wage alone would lift
  // the budget above 0, otherwise row 0.
  EXPECT_EQ(PickCoverRow(t, -1), 0);
  EXPECT_EQ(PickCoverRow(t, 0), 12);
  TIntgrid one;
  one.AddRow({5, 0, 100});
  EXPECT_EQ(PickCoverRow(one, -50), 0);
}

// ---------------------------------------------------------------------------
// Contracts

class ContractTest : public ClubDataTest {
 protected:
  // A squad of `n` players in growth phase 3, numbered 1 .. n.
  void FillSquad(Tplayerlist& squad, int n, int32_t club = 3) {
    for (int i = 0; i < n; ++i) squad.Add(MakePlayer(13, 40, 25, club), i + 1);
  }
};

TEST_F(ContractTest, DecliningPlayerStaysOnlyIfHeStillBeatsTheMark) {
  for (int32_t threshold : {27, 28}) {
    Tplayerlist squad;
    FillSquad(squad, 12);
    auto old = MakePlayer(19, 10, 29, 3);  // age - peak = 4: phase 5, adj -5
    old->KickContorol = 25;                // finishing rating 20
    squad.Add(std::move(old), 40);
    Tcoach coaches;
    Tcontract c(3);
    c.Setup(10000, coaches, squad, {1000, 1000, 1000, threshold, 1000});
    c.Decide(NoWorld());
    // Once let go he is a coach candidate; he out-skills the default staff.
    const bool gone = c.Squad->IndexOfNumber(40) < 0;
    EXPECT_EQ(gone, threshold == 28) << threshold;
    EXPECT_EQ(c.Candidates.FindRow(0, 40) >= 0, threshold == 28);
    EXPECT_EQ(squad.Count(), 13);  // the club's own list is untouched
  }
}

// Players past their peak (phase 4) are weighed only when the squad holds
// more than 45 or the money after wages is below 0.
TEST_F(ContractTest, PhaseFourIsWeighedAbove45PlayersOrInDebt) {
  struct Case {
    int players;
    int32_t budget;
    bool goes;
  };
  for (const Case& k : {Case{45, 100000, false}, Case{46, 100000, true}, Case{20, 0, false}, Case{20, -1, true}}) {
    Tplayerlist squad;
    FillSquad(squad, k.players);
    squad.PlayerByNumber(7)->Age = 27;  // phase 4, rated below every mark
    Tcoach coaches;
    Tcontract c(3);
    c.Setup(k.budget, coaches, squad, {1000, 1000, 1000, 1000, 1000});
    c.Decide(NoWorld());
    EXPECT_EQ(c.Squad->IndexOfNumber(7) < 0, k.goes) << k.players << " players, budget " << k.budget;
    EXPECT_EQ(c.Squad->Count(), k.players - (k.goes ? 1 : 0)) << k.players << " players, budget " << k.budget;
  }
}

TEST_F(ContractTest, OversizedSquadLosesItsOldestByPhaseInListOrder) {
  Tplayerlist squad;
  FillSquad(squad, 52);
  for (int32_t n : {3, 10, 20}) squad.PlayerByNumber(n)->Age = 27;  // phase 4
  Tcoach coaches;
  Tcontract c(3);
  c.Setup(100000, coaches, squad, {0, 0, 0, 0, 0});
  c.Decide(NoWorld());
  EXPECT_EQ(c.Squad->Count(), 50);
  EXPECT_LT(c.Squad->IndexOfNumber(3), 0);
  EXPECT_LT(c.Squad->IndexOfNumber(10), 0);
  EXPECT_GE(c.Squad->IndexOfNumber(20), 0);
}

TEST_F(ContractTest, StrongReleasedPlayerBecomesCoachInTheFreedSlot) {
  Tplayerlist squad;
  FillSquad(squad, 12);
  auto old = MakePlayer(19, 1, 35, 3);
  old->Speed = 99;
  squad.Add(std::move(old), 30);
  ASSERT_EQ(squad.PlayerByNumber(30)->CoachValues()[0], 10);
  Tcoach coaches;
  Tcontract c(3);
  c.Setup(10000, coaches, squad, {1000, 1000, 1000, 1000, 1000});
  c.Decide(NoWorld());
  EXPECT_LT(c.Released.FindRow(0, 30), 0);  // becomes a coach instead of leaving
  ASSERT_EQ(c.Candidates.RowCount(), 3);
  // Sorted by id: -1 keeps slot 1, 0 keeps slot 0, the new man takes slot 2.
  EXPECT_EQ(c.Candidates.GetValue(0, 0), -1);
  EXPECT_EQ(c.Candidates.GetValue(0, 1), 1);
  EXPECT_EQ(c.Candidates.GetValue(1, 0), 0);
  EXPECT_EQ(c.Candidates.GetValue(1, 1), 0);
  EXPECT_EQ(c.Candidates.GetValue(2, 0), 30);
  EXPECT_EQ(c.Candidates.GetValue(2, 1), 2);
}

// The staff is the best three by skill maximum, ties by skill sum; the
// present coaches keep their slots and the newcomers fill the others in
// order of their numbers.
TEST_F(ContractTest, StaffChoiceRanksByMaximumThenBySum) {
  Tplayerlist squad;
  FillSquad(squad, 12);
  Tcoach coaches;
  coaches.Hire(0, {10, 10, 10, 10, 10, 10});  // id 0: maximum 10, sum 60
  coaches.Hire(2, {9, 1, 1, 1, 1, 1});        // id -2: maximum 9, sum 14
  Tcontract c(3);
  c.Setup(10000, coaches, squad, {0, 0, 0, 0, 0});  // id -1: maximum 1, sum 6
  c.AddCandidate(6, {9, 2, 2, 2, 2, 2});            // maximum 9, sum 19
  c.AddCandidate(8, {9, 3, 3, 3, 3, 3});            // maximum 9, sum 24
  c.AddCandidate(9, {10, 1, 1, 1, 1, 1});           // maximum 10, sum 15
  c.Decide(NoWorld());
  // Ranked 0, 9, 8, 6, -2, -1: by sum first it would be 0, 8, 6; without
  // the sum among equal maxima, 0, 9, -2.
  ASSERT_EQ(c.Candidates.RowCount(), 3);
  std::vector<std::vector<int32_t>> staff;
  for (int r = 0; r < 3; ++r) staff.push_back({c.Candidates.GetValue(r, 0), c.Candidates.GetValue(r, 1)});
  EXPECT_EQ(staff, (std::vector<std::vector<int32_t>>{{0, 0}, {8, 1}, {9, 2}}));
  ASSERT_EQ(c.Released.RowCount(), 1);
  EXPECT_EQ(c.Released.GetValue(0, 0), 6);
}

TEST_F(ContractTest, DeficitIsCoveredOnlyWhenItCanBe) {
  Tplayerlist squad;
  FillSquad(squad, 14);
  int32_t wage = squad.PlayerAt(0)->Wage();
  ASSERT_GT(wage, 0);
  {
    // Three players beyond the cheapest eleven cannot cover this.
    Tcoach coaches;
    Tcontract c(3);
    c.Setup(-3 * wage - 1, coaches, squad, {1000, 1000, 1000, 1000, 1000});
    c.Decide(NoWorld());
    EXPECT_EQ(c.Released.RowCount(), 0);
    EXPECT_EQ(c.Squad->Count(), 14);
  }
  {
    Tcoach coaches;
    Tcontract c(3);
    c.Setup(-2 * wage, coaches, squad, {1000, 1000, 1000, 1000, 1000});
    c.Decide(NoWorld());
    EXPECT_EQ(c.Budget, 0);
    EXPECT_EQ(c.Squad->Count(), 12);
    // Both are better coaches than the default staff: they stay as coaches.
    EXPECT_EQ(c.Released.RowCount(), 0);
    EXPECT_GE(c.Candidates.FindRow(0, 1), 0);
    EXPECT_GE(c.Candidates.FindRow(0, 2), 0);
  }
}

}  // namespace
