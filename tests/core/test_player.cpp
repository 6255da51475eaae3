// The player record: creation, derived values, text forms, stream forms.
#include <gtest/gtest.h>

#include <map>

#include <algorithm>
#include <set>

#include "club/Ucommatext.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "tests/core/PlayerTestSupport.h"

namespace {

// A player with every field set by hand (club 5).
std::unique_ptr<Tplayer> HandSetPlayer() {
  auto p = std::make_unique<Tplayer>(0, 0, 0, 5, NoWorld());
  p->Name = "山田　太郎";
  p->Speed = 60;
  p->Height = 55;
  p->Defense = 40;
  p->ballContorol = 70;
  p->KickContorol = 65;
  p->Anticipation = 50;
  p->GrowthPoints = {10, 20, 30, 40, 50, 199};
  p->GrowthRate = {0, 1, 2, 3, 4, 1};
  p->LastSeason = {59, 54, 39, 69, 64, 49};
  p->SeasonBefore = {58, 53, 38, 68, 63, 48};
  p->Choice1 = 2;
  p->Choice2 = 0;
  p->Choice3 = 3;
  p->Choice4 = 1;
  p->Games = 12;
  p->Goal = 3;
  p->Asist = 4;
  p->Condition = 7;
  p->ConditionTrend = -13;
  p->ConditionDelta = 2;
  p->Age = 27;
  p->PeakAge = 25;
  p->Mtype = 13;
  p->BaseValue = 1500;
  p->Fatigue = 33;
  p->InjuryWeeks = 2;
  for (int c = 0; c < 24; ++c) p->Affinity[c] = c * 4;
  p->Leg = 0;
  p->RatingSum = 78;
  p->History.Clear();
  p->History.AddRow({1, 5, -1, 30, 2, 1, 612});
  p->History.AddRow({2, 5, 350, 0, 0, 0, 0});
  return p;
}

Bytes HandSetRecord(bool withRatingSum) {
  Bytes e;
  e.I(10).Raw({0x8e, 0x52, 0x93, 0x63, 0x81, 0x40, 0x91, 0xbe, 0x98, 0x59});
  for (int v : {60, 55, 40, 70, 65, 50}) e.I(v);
  for (int v : {10, 20, 30, 40, 50, 199}) e.I(v);
  for (int v : {0, 1, 2, 3, 4, 1}) e.I(v);
  for (int v : {59, 54, 39, 69, 64, 49, 58, 53, 38, 68, 63, 48}) e.I(v);
  for (int v : {2, 0, 3, 1}) e.I(v);
  e.I(12).I(3).I(4);
  e.I(7).I(-13).I(2);
  e.I(27).I(25).I(13).I(1500).I(33).I(2);
  for (int c = 0; c < 24; ++c) e.I(c * 4);
  e.B(0);
  if (withRatingSum) e.I(78);
  e.I(2);
  e.I(7);
  for (int v : {1, 5, -1, 30, 2, 1, 612}) e.I(v);
  e.I(7);
  for (int v : {2, 5, 350, 0, 0, 0, 0}) e.I(v);
  return e;
}

std::vector<uint8_t> RecordOf(const Tplayer& p) {
  TStream s;
  p.SaveToStream(s);
  return s.Bytes();
}

}  // namespace

using PlayerRecord = PlayerFixture;

TEST_F(PlayerRecord, FullRecordGoldenBytesAndReadBack) {
  auto p = HandSetPlayer();
  std::vector<uint8_t> bytes = RecordOf(*p);
  EXPECT_EQ(bytes, HandSetRecord(true).b);
  EXPECT_EQ(bytes.size(), 4u + 10 + 285 + 4 + 2 * (4 + 28));

  Tplayer q(0, 0, 0, 17, NoWorld());
  TStream s(bytes);
  q.LoadFromStream(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(q.TeamIndex, 17);  // the club comes from the loader, not the record
  EXPECT_EQ(q.Name, "山田　太郎");
  EXPECT_EQ(q.Abilities(), p->Abilities());
  EXPECT_EQ(q.GrowthRate, p->GrowthRate);
  EXPECT_EQ(q.Affinity, p->Affinity);
  EXPECT_EQ(q.Leg, 0);
  EXPECT_EQ(q.RatingSum, 78);
  EXPECT_EQ(q.History.RowCount(), 2);
  EXPECT_EQ(q.History.GetValue(1, kHistTrade), 350);
  EXPECT_EQ(RecordOf(q), bytes);
}

TEST_F(PlayerRecord, ShortRecordLeavesRatingSumAlone) {
  Bytes shortForm = HandSetRecord(false);
  Tplayer q(0, 0, 0, 3, NoWorld());
  q.RatingSum = 41;
  TStream s(shortForm.b);
  q.LoadFromStreamShort(s);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_EQ(q.RatingSum, 41);
  EXPECT_EQ(q.Fatigue, 33);
  EXPECT_EQ(q.History.RowCount(), 2);
  q.RatingSum = 78;
  EXPECT_EQ(RecordOf(q), HandSetRecord(true).b);
}

TEST_F(PlayerRecord, MatchRecordGoldenBytes) {
  auto p = HandSetPlayer();
  TStream s;
  p->WriteMatchRecord(s);
  Bytes e;
  e.I(10).Raw({0x8e, 0x52, 0x93, 0x63, 0x81, 0x40, 0x91, 0xbe, 0x98, 0x59});
  e.I(13);
  for (int v : {60, 55, 40, 70, 65, 50}) e.I(v);
  e.I(7);
  for (int v : {2, 0, 3, 1}) e.I(v);
  e.B(0);
  EXPECT_EQ(s.Bytes(), e.b);
}

TEST_F(PlayerRecord, EveryTruncationThrowsAndChangesNothing) {
  std::vector<uint8_t> full = HandSetRecord(true).b;
  Tplayer q(0, 0, 0, 2, NoWorld());
  q.Age = 23;
  std::vector<uint8_t> before = RecordOf(q);
  for (std::size_t len = 0; len < full.size(); ++len) {
    TStream s(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len)));
    EXPECT_THROW(q.LoadFromStream(s), StreamError) << "length " << len;
    TStream s2(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(len)));
    if (len < full.size() - 4) {
      EXPECT_THROW(q.LoadFromStreamShort(s2), StreamError) << "length " << len;
    }
  }
  EXPECT_EQ(RecordOf(q), before);
}

TEST_F(PlayerRecord, ImpossibleValuesAreRefused) {
  auto refuse = [](std::size_t offset, int32_t value) {
    std::vector<uint8_t> b = HandSetRecord(true).b;
    uint32_t u = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) b[offset + k] = static_cast<uint8_t>(u >> (8 * k));
    Tplayer q(0, 0, 0, 1, NoWorld());
    TStream s(b);
    EXPECT_THROW(q.LoadFromStream(s), StreamError) << "offset " << offset << " value " << value;
  };
  const std::size_t fixed = 14;  // after the name
  refuse(0, -1);                 // name length
  refuse(0, 100000);             // name longer than the stream
  refuse(fixed + 120, 4);        // Choice1
  refuse(fixed + 132, -1);       // Choice4
  refuse(fixed + 168, 21);       // Mtype
  refuse(fixed + 285, -5);       // history row count
  refuse(fixed + 285, 1 << 28);  // history row count beyond the stream
  refuse(fixed + 289, 1 << 28);  // history row length
}

TEST_F(PlayerRecord, CloneCopiesTheRecordAndKeepsTheClub) {
  auto p = HandSetPlayer();
  Tplayer q(4, 3, 30, 9, NoWorld());
  q.Clone(*p);
  EXPECT_EQ(q.TeamIndex, 9);
  EXPECT_EQ(RecordOf(q), RecordOf(*p));

  auto c = Tplayer::CopyOf(*p, kNoClub);
  EXPECT_EQ(c->TeamIndex, kNoClub);
  EXPECT_EQ(RecordOf(*c), RecordOf(*p));
  c->History.AddRow({3, 0, 100, 0, 0, 0, 0});
  EXPECT_EQ(p->History.RowCount(), 2);  // the copy owns its own history
}

// ---- creation ------------------------------------------------------------------

using PlayerCreate = PlayerFixture;

TEST_F(PlayerCreate, SameSeedSameRecord) {
  RandSeed(20261207);
  Tplayer a(9, 3, 40, 4, NoWorld());
  Tplayer b(7, 0, 30, 4, NoWorld());
  RandSeed(20261207);
  Tplayer a2(9, 3, 40, 4, NoWorld());
  Tplayer b2(7, 0, 30, 4, NoWorld());
  EXPECT_EQ(RecordOf(a), RecordOf(a2));
  EXPECT_EQ(RecordOf(b), RecordOf(b2));
  EXPECT_NE(RecordOf(a), RecordOf(b));
}

// The rules every new player satisfies, over many seeds and every
// selector and nationality.
TEST_F(PlayerCreate, InvariantsOverManyPlayers) {
  RandSeed(7);
  for (int n = 0; n < 10; ++n) {
    for (int sel = 0; sel <= 9; ++sel) {
      for (int k = 0; k < 20; ++k) {
        int base = (k * 13) % 100;
        int club = k % 2 ? 3 : kNoClub;
        Tplayer p(sel, n, base, club, NoWorld());
        SCOPED_TRACE(testing::Message() << "n=" << n << " sel=" << sel << " k=" << k);
        if (sel <= 6) {
          EXPECT_EQ(PositionGroup(p.Mtype), sel);
        }
        if (sel == 7) {
          EXPECT_LE(p.Mtype, 11);
        }
        if (sel == 8) {
          EXPECT_GE(p.Mtype, 12);
        }
        EXPECT_GE(p.Mtype, 0);
        EXPECT_LE(p.Mtype, 20);
        int32_t valueSum = 0;
        for (int i = 0; i < 6; ++i) {
          EXPECT_GE(p.Ability(i), 1);
          EXPECT_LE(p.Ability(i), 99);
          EXPECT_EQ(p.LastSeason[i], p.Ability(i));
          EXPECT_EQ(p.SeasonBefore[i], p.Ability(i));
          EXPECT_EQ(p.GrowthPoints[i], 0);
          EXPECT_GE(p.GrowthRate[i], 0);
          EXPECT_LE(p.GrowthRate[i], 4);
          valueSum += p.Ability(i) * p.Ability(i) / 10;
        }
        EXPECT_EQ(p.BaseValue, valueSum);
        std::set<int32_t> choices = {p.Choice1, p.Choice2, p.Choice3, p.Choice4};
        EXPECT_EQ(choices, (std::set<int32_t>{0, 1, 2, 3}));
        if (p.Mtype <= 5) {
          EXPECT_TRUE(p.Choice1 == 0 || p.Choice1 == 2);
        }
        if (p.Mtype >= 6 && p.Mtype <= 8) {
          EXPECT_EQ(p.Choice1, 2);
        }
        if (p.Mtype == 12 || p.Mtype == 14 || p.Mtype == 15 || p.Mtype == 17) {
          EXPECT_EQ(p.Choice1, 1);
        }
        if (p.Mtype >= 18) {
          EXPECT_EQ(p.Choice1, 3);
        }
        EXPECT_GE(p.PeakAge, 20);
        EXPECT_LE(p.PeakAge, 28);
        EXPECT_EQ(p.Age, 0);
        EXPECT_EQ(p.TeamIndex, club);
        EXPECT_EQ(p.Condition, -5);
        EXPECT_EQ(p.ConditionTrend, -5);
        EXPECT_EQ(p.ConditionDelta, 0);
        EXPECT_EQ(p.Fatigue, 0);
        ASSERT_EQ(p.History.RowCount(), 1);
        EXPECT_EQ(p.History.Rows[0].Values, (std::vector<int32_t>{1, club, -1, 0, 0, 0, 0}));
      }
    }
  }
}

// Growth rates start from the ability's band (1 .. 20: 3, 21 .. 40: 2,
// 41 .. 75: 1, 76 .. 99: 0) and a draw adds -2 .. +1: over many new players
// the highest rate seen at each end of a band is its base + 1.
TEST_F(PlayerCreate, GrowthRateBandsEndAt20And40And75) {
  RandSeed(31);
  std::map<int32_t, std::pair<int, int32_t>> atValue;  // ability -> players seen, highest rate
  for (int32_t level : {25, 45, 80}) {
    for (int k = 0; k < 400; ++k) {
      Tplayer p(9, 0, level, kNoClub, NoWorld());
      for (int i = 0; i < 6; ++i) {
        auto& [seen, top] = atValue[p.Ability(i)];
        ++seen;
        top = std::max(top, p.GrowthRate[i]);
      }
    }
  }
  for (auto [ability, topRate] : {std::pair{20, 4}, {21, 3}, {40, 3}, {41, 2}, {75, 2}, {76, 1}}) {
    ASSERT_GE(atValue[ability].first, 20) << ability;
    EXPECT_EQ(atValue[ability].second, topRate) << "ability " << ability;
  }
}

TEST_F(PlayerCreate, BaseLevelZeroJapaneseGivesOnes) {
  RandSeed(3);
  for (int k = 0; k < 30; ++k) {
    Tplayer p(9, 0, 0, 0, NoWorld());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p.Ability(i), 1);
    EXPECT_EQ(p.BaseValue, 0);
    // Abilities of 1 give base rate 3, so rates 1 .. 4.
    for (int i = 0; i < 6; ++i) EXPECT_GE(p.GrowthRate[i], 1);
  }
}

TEST_F(PlayerCreate, WeightingNeverPassesNinetyNine) {
  RandSeed(11);
  bool sawCap = false;
  for (int n = 1; n < 10; ++n)
    for (int k = 0; k < 30; ++k) {
      Tplayer p(9, n, 99, 1, NoWorld());
      for (int i = 0; i < 6; ++i) {
        EXPECT_LE(p.Ability(i), 99);
        sawCap = sawCap || p.Ability(i) == 99;
      }
    }
  EXPECT_TRUE(sawCap);
}

TEST_F(PlayerCreate, NationalityWeightRanges) {
  // Nationality 1 (weights 5,5,1,1,1,1), base level 30: before weighting
  // every ability is 21 .. 30; S and H become 2a .. 5a-1, D/C/K/A stay.
  RandSeed(5);
  for (int k = 0; k < 200; ++k) {
    Tplayer p(0, 1, 30, 1, NoWorld());  // goalkeepers: not favoured by nationality 1
    EXPECT_GE(p.Speed, 42);
    EXPECT_GE(p.Height, 42);
    for (int32_t v : {p.Defense, p.ballContorol, p.KickContorol, p.Anticipation}) {
      EXPECT_GE(v, 21);
      EXPECT_LE(v, 30);
    }
  }
}

TEST_F(PlayerCreate, NamesFollowTheNationality) {
  RandSeed(99);
  for (int k = 0; k < 50; ++k) {
    Tplayer p(9, 0, 20, 0, NoWorld());
    std::size_t at = p.Name.find("　");
    ASSERT_NE(at, std::string::npos) << p.Name;
    EXPECT_EQ(p.Name.find("　", at + 1), std::string::npos);
    EXPECT_EQ(p.Name.substr(0, 3), "姓");
    EXPECT_EQ(p.Name.substr(at + 3, 3), "名");
  }
  int initials = 0;
  const int total = 600;
  for (int k = 0; k < total; ++k) {
    Tplayer p(9, 1 + k % 9, 20, 0, NoWorld());
    if (p.Name.find("．") != std::string::npos) {
      ++initials;
      EXPECT_GE(p.Name[0], 'A');
      EXPECT_LE(p.Name[0], 'Z');
      EXPECT_EQ(p.Name.substr(1, 3), "．");
    } else {
      EXPECT_EQ(p.Name.rfind("ナマエ", 0), 0u) << p.Name;
    }
  }
  // 26 of 30 carry an initial.
  EXPECT_NEAR(static_cast<double>(initials) / total, 26.0 / 30, 0.05);
}

TEST_F(PlayerCreate, NameListsAreDeliberatelyReadOncePerProcessAndMissingOnesNamed) {
  EXPECT_EQ(NameList(0).size(), 501u);
  EXPECT_EQ(NameList(0)[0], "姓000");
  EXPECT_EQ(NameList(0)[500], "名250");
  std::filesystem::remove("data/name/0.txt");
  EXPECT_EQ(NameList(0).size(), 501u);  // read once per process
  ClearNameListCache();
  try {
    Tplayer p(9, 0, 10, 0, NoWorld());
    FAIL() << "no error for a missing name list";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), "data/name/0.txt");
  }
  {
    std::ofstream f("data/name/0.txt", std::ios::binary);
    for (int i = 0; i < 500; ++i) f << "x\n";
  }
  EXPECT_THROW(NameList(0), FileError);
  { std::ofstream f("data/name/4.txt", std::ios::binary); }
  EXPECT_THROW(NameList(4), FileError);
}

// ---- derived values -----------------------------------------------------------

using PlayerValues = PlayerFixture;

TEST_F(PlayerValues, ValueByAgeWithoutDivision) {
  Tplayer p(9, 0, 10, kNoClub, NoWorld());
  p.BaseValue = 1000;
  p.PeakAge = 25;
  auto valueAt = [&](int age) {
    p.Age = age;
    return p.Value(NoWorld());
  };
  EXPECT_EQ(valueAt(21), 1200);  // d = 4
  EXPECT_EQ(valueAt(22), 1000);  // d = 3
  EXPECT_EQ(valueAt(26), 1000);  // d = -1
  EXPECT_EQ(valueAt(27), 750);   // d = -2
  EXPECT_EQ(valueAt(29), 750);   // d = -4
  EXPECT_EQ(valueAt(30), 500);   // d = -5
}

TEST_F(PlayerValues, WageAndItsGuard) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  p.Age = 30;
  p.BaseValue = 1200;
  EXPECT_EQ(p.Wage(), 60);
  p.Age = 70;  // no division by zero for an age no player reaches in play
  EXPECT_EQ(p.Wage(), 1200 + 30);
}

TEST_F(PlayerValues, GrowthPhaseAndRetirement) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  p.PeakAge = 24;
  const int phases[] = {1, 2, 2, 3, 3, 3, 4, 4, 5};  // e = -4 .. 4
  for (int e = -4; e <= 4; ++e) {
    p.Age = 24 + e;
    EXPECT_EQ(p.GrowthPhase(), phases[e + 4]) << "e = " << e;
  }
  p.Age = 28;
  for (int i = 0; i < 6; ++i) p.Ability(i) = 14;  // all below 15
  EXPECT_TRUE(p.IsRetiring());
  p.Speed = 15;  // sum 85, best 15
  EXPECT_FALSE(p.IsRetiring());
  for (int i = 0; i < 6; ++i) p.Ability(i) = 9;
  p.Speed = 20;  // sum 65 ... and best 20: stays
  EXPECT_FALSE(p.IsRetiring());
  p.Height = 4;  // sum 60: still not below 60
  EXPECT_FALSE(p.IsRetiring());
  p.Height = 3;
  EXPECT_TRUE(p.IsRetiring());
  p.Age = 27;  // phase 4: nobody retires
  EXPECT_FALSE(p.IsRetiring());
}

TEST_F(PlayerValues, AverageRatingTextDeliberatelyKeepsTwoDecimals) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  EXPECT_EQ(p.AddRating(0), "0.00");
  EXPECT_EQ(p.AddRating(7), "0.00");  // no games yet
  p.Games = 2;
  EXPECT_EQ(p.AddRating(6), "6.50");
  p.RatingSum = 1;
  EXPECT_EQ(p.AverageRatingText(), "0.50");
  p.RatingSum = 20;
  EXPECT_EQ(p.AverageRatingText(), "10.00");
  p.Games = 3;
  p.RatingSum = 20;  // 666.67 -> 667
  EXPECT_EQ(p.AverageRatingText(), "6.67");
}

TEST_F(PlayerValues, TextForms) {
  auto p = HandSetPlayer();
  p->TeamIndex = kNoClub;
  // Value: d = -2 -> 1500 * 3 / 4 = 1125; phase: e = 2 -> 4.
  EXPECT_EQ(p->RowText(NoWorld()), ",,山田　太郎,27,AM/N,60,55,40,70,65,50,L,L-P-S-D,12,3,4,1125,7,4");
  EXPECT_EQ(p->RowFields(NoWorld()).size(), 19u);
  EXPECT_EQ(p->AbilityRow(0), "59,54,39,69,64,49,");
  EXPECT_EQ(p->AbilityRow(1), "58,53,38,68,63,48,");
  p->Name = "A. Smith";
  EXPECT_EQ(SplitCommaText(p->RowText(NoWorld()))[2], "A. Smith");
  EXPECT_EQ(SplitCommaText(p->RowText(NoWorld())).size(), 19u);
  EXPECT_EQ(CommaText({"a,b", "say \"hi\"", ""}), "\"a,b\",\"say \"\"hi\"\"\",");
  EXPECT_EQ(SplitCommaText("\"a,b\",\"say \"\"hi\"\"\","), (std::vector<std::string>{"a,b", "say \"hi\"", ""}));
  EXPECT_EQ(ChoiceLabel(1), "ドリブル");
  EXPECT_EQ(NationalityName(7), "イベリア半島");
  EXPECT_EQ(GrowthPhaseComment(3), "今が一番伸びる時期です");
}

TEST_F(PlayerValues, RatingRowsByPosition) {
  Tplayer p(9, 0, 10, kNoClub, NoWorld());
  p.Speed = 10, p.Height = 20, p.Defense = 30, p.ballContorol = 40, p.KickContorol = 50, p.Anticipation = 60;
  p.BaseValue = 690;
  p.PeakAge = 25;
  p.Age = 29;  // e = 4: adj -5, value 690*3/4 = 517, wage 690/41 + 690/40 = 16 + 17
  p.Mtype = 4;
  EXPECT_EQ(p.RatingRow(NoWorld()), (std::vector<int32_t>{0, 0, 0, 33, 20 + 20 + 80 + 60 - 5, 25, 205, 0, 0}));
  p.TeamIndex = 3;  // with a club the asking price adds the value
  EXPECT_EQ(p.RatingRow(NoWorld())[3], 33 + 517);
  p.Mtype = 10;
  p.Age = 27;  // e = 2: adj -3
  EXPECT_EQ(p.RatingRow(NoWorld()), (std::vector<int32_t>{0, 0, 0, 16 + 17 + 690 * 3 / 4, 0, 27, 207, 0, 0}));
  p.Mtype = 19;
  p.Age = 25;
  EXPECT_EQ(p.RatingRow(NoWorld()), (std::vector<int32_t>{0, 0, 0, 15 + 17 + 690, 0, 0, 210, 50, 120}));

  // Beating the role needs: forward, rows 4..8 = 0, 0, 210, 50, 120.
  EXPECT_TRUE(p.BeatsRoleRatings({1000, 1000, 299, 1000, 1000}, NoWorld()));  // 210 + 90 > 299
  EXPECT_FALSE(p.BeatsRoleRatings({1000, 1000, 300, 1000, 1000}, NoWorld()));
  EXPECT_TRUE(p.BeatsRoleRatings({1000, 1000, 1000, 64, 1000}, NoWorld()));   // 50 + 15 > 64
  EXPECT_TRUE(p.BeatsRoleRatings({1000, 1000, 1000, 1000, 164}, NoWorld()));  // 120 + 45 > 164
  EXPECT_TRUE(p.BeatsRoleRatings({89, 1000, 1000, 1000, 1000}, NoWorld()));   // 0 + 90 > 89
  EXPECT_FALSE(p.BeatsRoleRatings({90, 15, 300, 65, 165}, NoWorld()));
}

TEST_F(PlayerValues, LineupRowsByPositionAndForm) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  p.Speed = 10, p.Height = 20, p.Defense = 30, p.ballContorol = 40, p.KickContorol = 50, p.Anticipation = 60;
  p.Condition = 12;  // +15
  p.Mtype = 1;
  EXPECT_EQ(p.LineupRow(),
            (std::vector<int32_t>{0, 1, 25 - 200, 65 - 200, 135 - 200, 210 - 200, 25, 45, 195, 210, 210}));
  p.Condition = -1;  // -5
  p.Mtype = 5;
  EXPECT_EQ(p.LineupRow(), (std::vector<int32_t>{0, 5, -195, -155, -85, 10, 5, 25, 175 - 20, 210, 210}));
  p.Condition = 0;
  p.Mtype = 8;
  EXPECT_EQ(p.LineupRow(), (std::vector<int32_t>{0, 8, -190, -150, -80, 10, 10, 30, 80, 210, 210}));
  p.Condition = 10;  // +5
  p.Mtype = 16;
  EXPECT_EQ(p.LineupRow(), (std::vector<int32_t>{0, 16, 15, 55, 125, 210, -185, -165, -15, 10, 210}));
  EXPECT_EQ(FormBonus(-20), -15);
  EXPECT_EQ(FormBonus(-11), -15);
  EXPECT_EQ(FormBonus(-10), -5);
  EXPECT_EQ(FormBonus(11), 15);
}

TEST_F(PlayerValues, CoachValuesRoundHalfToEvenAndAreDeliberatelyOnesWithoutAbilities) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  // Sum 35: an ability of 7 gives (4 + 1) / 2 = 2.5 -> 2; 1 gives 0.36 -> 1 (clamped).
  p.Speed = 7, p.Height = 7, p.Defense = 7, p.ballContorol = 7, p.KickContorol = 6, p.Anticipation = 1;
  EXPECT_EQ(p.CoachValues(), (std::array<int32_t, 6>{2, 2, 2, 2, 2, 1}));
  // Sum 56: 14 gives (5 + 2) / 2 = 3.5 -> 4.
  p.Speed = 14, p.Height = 14, p.Defense = 14, p.ballContorol = 7, p.KickContorol = 6, p.Anticipation = 1;
  EXPECT_EQ(p.CoachValues()[0], 4);
  EXPECT_EQ(p.CoachValues()[3], 2);  // (2.5 + 1) / 2 = 1.75
  // A star is clamped to 10.
  p.Speed = 99, p.Height = 1, p.Defense = 1, p.ballContorol = 1, p.KickContorol = 1, p.Anticipation = 1;
  EXPECT_EQ(p.CoachValues()[0], 10);
  // Abilities scaled down to nothing: the weakest coach, no division by zero.
  p.Speed = p.Height = p.Defense = p.ballContorol = p.KickContorol = p.Anticipation = 0;
  EXPECT_EQ(p.CoachValues(), (std::array<int32_t, 6>{1, 1, 1, 1, 1, 1}));
}

TEST_F(PlayerValues, ScaleAbilitiesClamps) {
  Tplayer p(9, 0, 10, 1, NoWorld());
  p.Speed = 90, p.Height = 50, p.Defense = 1, p.ballContorol = 10, p.KickContorol = 99, p.Anticipation = 33;
  p.ScaleAbilities(20);
  EXPECT_EQ(p.Abilities(), (std::array<int32_t, 6>{99, 60, 1, 12, 99, 39}));
  p.ScaleAbilities(-50);
  EXPECT_EQ(p.Abilities(), (std::array<int32_t, 6>{49, 30, 0, 6, 49, 19}));
  p.ScaleAbilities(-200);
  EXPECT_EQ(p.Abilities(), (std::array<int32_t, 6>{0, 0, 0, 0, 0, 0}));
}

TEST_F(PlayerValues, AffinityIsClamped) {
  Tplayer p(9, 0, 10, kNoClub, NoWorld());
  p.SetAffinity(3, 140);
  EXPECT_EQ(p.GetAffinity(3), 100);
  p.SetAffinity(3, -4);
  EXPECT_EQ(p.GetAffinity(3), 0);
  p.SetAffinity(99, 50);  // no such club: ignored
  EXPECT_EQ(p.GetAffinity(99), 0);
}
