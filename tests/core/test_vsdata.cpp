// VS files: the export's bytes, reading back as a data-battle side, and
// refusal of damaged or foreign files without changing the world.
#include <gtest/gtest.h>

#include "club/Ucp932.h"
#include "club/Ufile.h"
#include "club/Ugrid.h"
#include "tests/core/SaveTestWorld.h"
#include "tests/core/TestData.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

namespace {

std::vector<uint8_t> ClubBytes(const Tteam& t) {
  TStream s;
  t.SaveToStream(s);
  return s.TakeBytes();
}

}  // namespace

class VsData : public ::testing::Test {
 protected:
  ScopedDataDir dir_;
};

TEST_F(VsData, ExportWritesVersionCommentAndClub) {
  TestGame g(21);
  const Tteam& user = g->Team(0);
  ExportVs(user, "監督は私, \"よろしく\"", "mine");
  std::vector<uint8_t> file = ReadWholeFile("data/vs/mine.vs");

  TStream expect;
  expect.WriteInt32(2);
  expect.WriteBytes("17", 2);
  std::string cp = Utf8ToCp932("監督は私, \"よろしく\"");
  expect.WriteInt32(static_cast<int32_t>(cp.size()));
  expect.WriteBytes(cp.data(), cp.size());
  expect.WriteBytes(ClubBytes(user));
  EXPECT_EQ(file, expect.Bytes());
  EXPECT_EQ(file, MakeVsImage(user, "監督は私, \"よろしく\""));

  // Read back into a side and export again: the same bytes.
  TestGame h(22);
  EXPECT_EQ(LoadVsSide(*h, 1, "mine"), "監督は私, \"よろしく\"");
  EXPECT_EQ(h->Team(1).TeamIndex, 1);
  EXPECT_EQ(h->Team(1).ClubName, user.ClubName);
  EXPECT_EQ(MakeVsImage(h->Team(1), "監督は私, \"よろしく\""), file);
}

TEST_F(VsData, DefaultCommentAndOverwrite) {
  TestGame g(23);
  ExportVs(g->Team(0), kDefaultVsComment, "x");
  g->Team(0).Money = 4321;
  ExportVs(g->Team(0), kDefaultVsComment, "x");  // replaced silently
  TVsData d = ReadVsFile("data/vs/x.vs", 0);
  EXPECT_EQ(d.Comment, "なし");
  EXPECT_EQ(d.Club->Money, 4321);
  EXPECT_THROW(ExportVs(g->Team(0), "c", "a/b"), FileError);
}

TEST_F(VsData, DamagedFilesAreRefusedAndTheSideKept) {
  TestGame g(24);
  std::vector<uint8_t> good = MakeVsImage(g->Team(5), "ok");
  TestGame live(25);
  const std::vector<uint8_t> side0 = ClubBytes(live->Team(0));
  EnsureDirectory("data/vs");

  auto refused = [&](const std::vector<uint8_t>& image, const char* what) {
    WriteFileAtomic("data/vs/bad.vs", image);
    try {
      LoadVsSide(*live, 0, "bad");
      ADD_FAILURE() << what << ": accepted";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("data/vs/bad.vs"), std::string::npos) << e.what();
    } catch (const std::exception& e) {
      ADD_FAILURE() << what << ": not a FileError: " << e.what();
    }
    EXPECT_EQ(ClubBytes(live->Team(0)), side0) << what;
  };

  for (std::size_t cut : {std::size_t(0), std::size_t(2), std::size_t(7), std::size_t(12), std::size_t(40),
                          good.size() / 2, good.size() - 1})
    refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), "truncated");

  std::vector<uint8_t> trailing = good;
  trailing.push_back(1);
  refused(trailing, "trailing bytes");

  std::vector<uint8_t> old = good;
  old[4] = '0';
  old[5] = '6';
  refused(old, "old version");

  // A comment length far beyond the file.
  std::vector<uint8_t> hugeComment = good;
  hugeComment[6 + 3] = 0x7f;
  refused(hugeComment, "comment length");

  // An emblem claiming a gigantic size.
  std::vector<uint8_t> hugeEmblem = good;
  std::size_t emblemAt = 6 + 4 + 2;  // version, comment "ok"
  hugeEmblem[emblemAt + 5] = 0x7f;   // BMP total size, high byte
  refused(hugeEmblem, "emblem size");

  refused(std::vector<uint8_t>(5000, 0xff), "noise");
}

TEST_F(VsData, MissingFileNamesIt) {
  TestGame g(26);
  try {
    LoadVsSide(*g, 1, "nothere");
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("data/vs/nothere.vs"), std::string::npos);
  }
  EXPECT_THROW(LoadVsSide(*g, 2, "x"), VantorelError);
}

TEST(VsList, ExportAndBattleLayouts) {
  std::vector<TFileEntry> files(2);
  files[0].Name = "alpha";
  files[1].Name = "beta";
  TGrid exportList;
  FillVsGrid(exportList, files, false);
  EXPECT_EQ(exportList.ColCount(), 1);
  EXPECT_EQ(exportList.RowCount(), 3);
  EXPECT_EQ(exportList.FixedRows, 1);
  EXPECT_EQ(exportList.Cells(0, 2), "beta");
  TGrid none;
  FillVsGrid(none, {}, false);
  EXPECT_EQ(none.FixedRows, 0);

  TGrid battle;
  FillVsGrid(battle, files, true);
  ASSERT_EQ(battle.ColCount(), 3);
  EXPECT_EQ(battle.Cells(0, 0) + battle.Cells(1, 0) + battle.Cells(2, 0), "←VSdata→");
  EXPECT_EQ(battle.Cells(1, 1), "alpha");
  EXPECT_EQ(battle.Cells(0, 1), "");
  EXPECT_EQ(battle.ColWidth(0), 35);

  // Picking the left side twice moves the mark; the name column does nothing.
  EXPECT_EQ(MarkVsSide(battle, 0, 1), 0);
  EXPECT_EQ(MarkVsSide(battle, 2, 1), 1);
  EXPECT_EQ(MarkVsSide(battle, 0, 2), 0);
  EXPECT_EQ(battle.Cells(0, 1), "");
  EXPECT_EQ(battle.Cells(0, 2), "○");
  EXPECT_EQ(battle.Cells(2, 1), "○");
  EXPECT_EQ(MarkVsSide(battle, 1, 1), -1);
  EXPECT_EQ(MarkVsSide(battle, 0, 0), -1);  // header
  EXPECT_EQ(battle.Cells(0, 0), "←");
}

TEST_F(VsData, ClubsTheGameCouldNotWriteAreRefused) {
  TestGame g(27);
  std::vector<uint8_t> good = MakeVsImage(g->Team(4), "c");
  EXPECT_NO_THROW(ParseVsImage(good, 0));

  auto refusedAfter = [&](const char* what, auto&& spoil) {
    TestGame h(28);
    Tteam& t = h->Team(4);
    spoil(t);
    EXPECT_THROW(ParseVsImage(MakeVsImage(t, "c"), 0), VantorelError) << what;
  };
  refusedAfter("empty starter slot", [](Tteam& t) { t.Slots[3] = -1; });
  refusedAfter("absent starter", [](Tteam& t) { t.Slots[7] = 49; });
  refusedAfter("player twice", [](Tteam& t) { t.Slots[11] = t.Slots[0]; });
  refusedAfter("position off the pitch", [](Tteam& t) { t.Positions[4].X = 2000000000; });
  refusedAfter("ability", [](Tteam& t) { t.Squad->PlayerAt(2)->Ability(1) = 5000; });
  refusedAfter("form", [](Tteam& t) { t.Squad->PlayerAt(0)->Condition = -999; });

  // An absent substitute too: no club the game writes names one.
  refusedAfter("absent substitute", [](Tteam& t) { t.Slots[12] = 49; });
}
