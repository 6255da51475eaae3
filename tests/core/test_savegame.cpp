// Save slots: names, listing, version check, atomic save, all-or-nothing
// load and the autosave rule.
#include <gtest/gtest.h>
#include <utime.h>

#include <filesystem>

#include "club/Ufile.h"
#include "club/Ugrid.h"
#include "tests/core/SaveTestWorld.h"
#include "tests/core/TestData.h"
#include "world/Usavegame.h"

namespace fs = std::filesystem;

namespace {

void SetModified(const std::string& path, std::time_t t) {
  struct utimbuf times {
    t, t
  };
  ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> VersionImage(const std::string& v, std::size_t extra) {
  TStream s;
  s.WriteInt32(static_cast<int32_t>(v.size()));
  s.WriteBytes(v.data(), v.size());
  for (std::size_t i = 0; i < extra; ++i) s.WriteByte(0);
  return s.TakeBytes();
}

// Expects a FileError whose message names the path; returns the message.
template <class F>
std::string ExpectFileError(F&& f, const std::string& path) {
  try {
    f();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    return e.what();
  } catch (const std::exception& e) {
    ADD_FAILURE() << "not a FileError: " << e.what();
    return "";
  }
  ADD_FAILURE() << "no error for " << path;
  return "";
}

}  // namespace

TEST(SaveSlots, NamesStayInsideTheirDirectory) {
  for (const char* good : {"a", "autosave", "セーブ1", "my save", "x.y"}) EXPECT_TRUE(IsSafeFileName(good)) << good;
  for (const char* bad : {"", ".", "..", "../x", "a/b", "a\\b", "tab\there"}) EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  EXPECT_EQ(SlotPath("autosave"), "data/savedata/autosave.dat");
  ExpectFileError([] { SlotPath("../../etc/x"); }, "data/savedata/../../etc/x.dat");
}

TEST(SaveSlots, VersionStringAtTheStart) {
  EXPECT_EQ(PeekVersionString(VersionImage("17", 10)), "17");
  EXPECT_EQ(PeekVersionString(VersionImage("06", 0)), "06");
  EXPECT_EQ(PeekVersionString({1, 0, 0}), "");                 // fewer than four bytes
  EXPECT_EQ(PeekVersionString({9, 0, 0, 0, '1'}), "");         // longer than the image
  EXPECT_EQ(PeekVersionString({0xff, 0xff, 0xff, 0xff}), "");  // negative
  EXPECT_EQ(PeekVersionString({0, 0, 0, 0}), "");
}

TEST(SaveSlots, ListingIsNewestFirstWithHeader) {
  ScopedDataDir dir;
  EXPECT_TRUE(ListFiles("savedata/*.dat").empty());  // no directory yet
  EnsureDirectory("data/savedata");
  WriteFileAtomic("data/savedata/old.dat", Bytes("x"));
  WriteFileAtomic("data/savedata/new.dat", Bytes("x"));
  WriteFileAtomic("data/savedata/mid.dat", Bytes("x"));
  WriteFileAtomic("data/savedata/notes.txt", Bytes("x"));
  SetModified("data/savedata/old.dat", 1000000000);
  SetModified("data/savedata/mid.dat", 1500000000);
  SetModified("data/savedata/new.dat", 1700000000);
  // Saved ten seconds later, in the same minute: the list shows the same
  // date text and still puts it first.
  WriteFileAtomic("data/savedata/latest.dat", Bytes("x"));
  SetModified("data/savedata/latest.dat", 1700000010);

  std::vector<TFileEntry> files = ListFiles("savedata/*.dat");
  ASSERT_EQ(files.size(), 4u);
  EXPECT_EQ(files[0].Name, "latest");  // listed by name
  EXPECT_EQ(files[0].Path, "data/savedata/latest.dat");

  TGrid grid;
  FillSlotGrid(grid, files);
  ASSERT_EQ(grid.RowCount(), 5);
  EXPECT_EQ(grid.Cells(0, 0), "data");
  EXPECT_EQ(grid.Cells(1, 0), "保存日時");
  EXPECT_EQ(grid.Cells(0, 1), "latest");
  EXPECT_EQ(grid.Cells(0, 2), "new");
  EXPECT_EQ(grid.Cells(1, 1), grid.Cells(1, 2));
  EXPECT_EQ(grid.Cells(0, 3), "mid");
  EXPECT_EQ(grid.Cells(0, 4), "old");
  EXPECT_EQ(grid.ColWidth(0), 100);
  // date, then time
  EXPECT_EQ(grid.Cells(1, 1).size(), std::string("2023/11/14 22:13").size());
  EXPECT_EQ(grid.Cells(1, 1)[4], '/');
  EXPECT_EQ(grid.Cells(1, 1)[10], ' ');

  TGrid empty;
  FillSlotGrid(empty, {});
  EXPECT_EQ(empty.RowCount(), 1);
}

TEST(SaveSlots, ReadingRefusesOldAndForeignFiles) {
  ScopedDataDir dir;
  ExpectFileError([] { ReadSlotFile("missing"); }, "data/savedata/missing.dat");
  WriteSlotFile("old", VersionImage("06", 20));
  std::string msg = ExpectFileError([] { ReadSlotFile("old"); }, "data/savedata/old.dat");
  EXPECT_NE(msg.find("DATA変換"), std::string::npos);
  WriteSlotFile("none", {1, 0, 0, 0, 5, 0, 0, 0});
  ExpectFileError([] { ReadSlotFile("none"); }, "data/savedata/none.dat");
  WriteSlotFile("other", VersionImage("99", 4));
  ExpectFileError([] { ReadSlotFile("other"); }, "data/savedata/other.dat");
  WriteSlotFile("cur", VersionImage("17", 4));
  EXPECT_EQ(ReadSlotFile("cur"), VersionImage("17", 4));
}

TEST(SaveSlots, AutosaveWeeks) {
  for (int w = 0; w <= 53; ++w) EXPECT_EQ(IsAutosaveWeek(w), w >= 6 && w <= 48 && w % 6 == 0) << w;
}

class SaveGameFile : public ::testing::Test {
 protected:
  ScopedDataDir dir_;
};

TEST_F(SaveGameFile, SaveLoadSaveGivesIdenticalBytes) {
  std::vector<uint8_t> first;
  {
    TestGame g(3);
    g.FillMarket();
    SaveGameToSlot(*g, "a");
    first = ReadWholeFile("data/savedata/a.dat");
    EXPECT_EQ(first, g->SaveBody());
  }
  // golden start: version "17", year 1, week 1
  ASSERT_GE(first.size(), 14u);
  EXPECT_EQ(std::vector<uint8_t>(first.begin(), first.begin() + 14),
            (std::vector<uint8_t>{2, 0, 0, 0, '1', '7', 1, 0, 0, 0, 1, 0, 0, 0}));

  TestGame h(99);  // a different world, replaced by the load
  LoadGameFromSlot(*h, "a");
  SaveGameToSlot(*h, "b");
  EXPECT_EQ(ReadWholeFile("data/savedata/b.dat"), first);
}

TEST_F(SaveGameFile, MidSeasonGameRoundTrips) {
  TestGame g(5);
  g.AddCompetitions();
  g->Market.reset();
  g->Week = 12;
  SaveGameToSlot(*g, "mid");
  std::vector<uint8_t> bytes = ReadWholeFile("data/savedata/mid.dat");
  TestGame h(6);
  LoadGameFromSlot(*h, "mid");
  EXPECT_EQ(h->Week, 12);
  EXPECT_NE(h->Leagues[0], nullptr);
  EXPECT_NE(h->Cup, nullptr);
  EXPECT_EQ(h->Market, nullptr);
  EXPECT_EQ(h->SaveBody(), bytes);
}

TEST_F(SaveGameFile, AWeekPlayedButNotClosedIsNeverSaved) {
  TestGame g(5);
  g.AddCompetitions();
  g->Market.reset();
  g->Week = 12;
  g->PlayWeekMatches();
  EXPECT_THROW(SaveGameToSlot(*g, "half"), VantorelError);
  EXPECT_FALSE(fs::exists("data/savedata/half.dat"));
  g->AdvanceWeek();
  SaveGameToSlot(*g, "half");
  EXPECT_TRUE(fs::exists("data/savedata/half.dat"));
}

TEST_F(SaveGameFile, DamagedFileChangesNothing) {
  std::vector<uint8_t> good;
  {
    TestGame g(7);
    g.FillMarket();
    good = g->SaveBody();
  }
  TestGame live(8);
  const std::vector<uint8_t> before = live->SaveBody();
  const RandomState rs = GetRandomState();

  // Cut at many places, including inside the version, the head, the clubs
  // and the presence bytes at the end.
  std::vector<std::size_t> cuts = {
      0, 3, 6, 20, 150, 300, good.size() / 3, good.size() / 2, good.size() - 2, good.size() - 1};
  for (std::size_t cut : cuts) {
    WriteSlotFile("cut", std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
    ExpectFileError([&] { LoadGameFromSlot(*live, "cut"); }, "data/savedata/cut.dat");
    EXPECT_EQ(live->SaveBody(), before) << "cut at " << cut;
  }
  // Bytes left over after a complete game.
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  WriteSlotFile("long", longer);
  ExpectFileError([&] { LoadGameFromSlot(*live, "long"); }, "data/savedata/long.dat");
  // An impossible count inside: the history table's row count.
  std::vector<uint8_t> bad = good;
  std::size_t historyAt = 6 + 16 + 96 + 96;
  bad[historyAt + 3] = 0x7f;
  WriteSlotFile("bad", bad);
  ExpectFileError([&] { LoadGameFromSlot(*live, "bad"); }, "data/savedata/bad.dat");

  EXPECT_EQ(live->SaveBody(), before);
  RandomState after = GetRandomState();
  EXPECT_EQ(after.state, rs.state);  // a failed load draws nothing
}

TEST_F(SaveGameFile, FailedSaveKeepsTheOldSlot) {
  TestGame g(9);
  SaveGameToSlot(*g, "keep");
  std::vector<uint8_t> old = ReadWholeFile("data/savedata/keep.dat");
  g->Year = 5;
  // Block the temporary file so the write fails half-way.
  fs::create_directories("data/savedata/keep.dat.tmp" + std::to_string(::getpid()));
  EXPECT_THROW(SaveGameToSlot(*g, "keep"), FileError);
  EXPECT_EQ(ReadWholeFile("data/savedata/keep.dat"), old);
  EXPECT_THROW(SaveGameToSlot(*g, "../escape"), FileError);
  EXPECT_FALSE(fs::exists("data/escape.dat"));
}

TEST_F(SaveGameFile, AutosaveOnlyInItsWeeks) {
  TestGame g(10);
  g->Week = 11;
  EXPECT_FALSE(AutosaveIfDue(*g));
  EXPECT_FALSE(FileExists("data/savedata/autosave.dat"));
  g.AddCompetitions();  // as the advance of week 11 leaves the world
  g->Market.reset();
  g->Week = 12;
  EXPECT_TRUE(AutosaveIfDue(*g));
  ASSERT_TRUE(FileExists("data/savedata/autosave.dat"));
  TestGame h(11);
  LoadGameFromSlot(*h, "autosave");
  EXPECT_EQ(h->Week, 12);
}
