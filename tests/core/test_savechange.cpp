// "DATA変換": version detection, the round trips of hand-built "06", "11"
// and version-less images to "17", backups, and damaged files refused with
// nothing on disk changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "club/Ufile.h"
#include "club/Uinvariants.h"
#include "tests/core/SaveTestWorld.h"
#include "tests/core/TestData.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> WithVersion(const std::string& v, std::vector<uint8_t> rest) {
  TStream s;
  WriteString(s, v);
  s.WriteBytes(rest);
  return s.TakeBytes();
}

std::vector<uint8_t> Ints(std::initializer_list<int32_t> v) {
  TStream s;
  for (int32_t x : v) s.WriteInt32(x);
  return s.TakeBytes();
}

std::vector<uint8_t> VsV11(const Tteam& t, const std::string& comment) {
  TStream s;
  WriteString(s, "11");
  WriteString(s, comment);
  WriteClubV11(s, t);
  return s.TakeBytes();
}

std::vector<uint8_t> VsV6(const Tteam& t, const std::string& comment) {
  TStream s;
  WriteString(s, "06");
  WriteString(s, comment);
  WriteClubV6(s, t);
  return s.TakeBytes();
}

// Every file under a directory with its bytes.
std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& dir) {
  std::map<std::string, std::vector<uint8_t>> out;
  if (!fs::exists(dir)) return out;
  for (const auto& e : fs::recursive_directory_iterator(dir))
    if (e.is_regular_file()) out[e.path().string()] = ReadWholeFile(e.path().string());
  return out;
}

}  // namespace

TEST(SaveChange, VersionNumbers) {
  EXPECT_EQ(Tsavechange::ReadVersionNumber(WithVersion("06", {})), 6);
  EXPECT_EQ(Tsavechange::ReadVersionNumber(WithVersion("11", {1, 2})), 11);
  EXPECT_EQ(Tsavechange::ReadVersionNumber(WithVersion("17", {})), 17);
  EXPECT_EQ(Tsavechange::ReadVersionNumber(WithVersion("99", {})), 99);
  EXPECT_EQ(Tsavechange::ReadVersionNumber(WithVersion("1a", {})), kNoVersion);
  EXPECT_EQ(Tsavechange::ReadVersionNumber({1, 0}), kNoVersion);
  // Files without a version start with the year and the week.
  EXPECT_EQ(Tsavechange::ReadVersionNumber(Ints({1, 12, 0, 0})), kNoVersion);
  // Year 1 in week 48..52: the week's low byte spells a digit.
  for (int32_t week = 48; week <= 52; ++week)
    EXPECT_EQ(Tsavechange::ReadVersionNumber(Ints({1, week, 0, 0})), kNoVersion) << week;
  EXPECT_EQ(Tsavechange::ReadVersionNumber(Ints({2, 49, 3, 4})), kNoVersion);
  EXPECT_EQ(Tsavechange::ReadVersionNumber(Ints({3, 50, 3, 4})), kNoVersion);
}

class SaveChangeFiles : public ::testing::Test {
 protected:
  ScopedDataDir dir_;
};

TEST_F(SaveChangeFiles, Version11SaveBecomesCurrent) {
  TestGame g(31);
  g.FillMarket();
  std::vector<uint8_t> current = g->SaveBody();
  std::vector<uint8_t> old = SaveImageV11(*g);
  ASSERT_NE(old, current);
  EXPECT_EQ(Tsavechange::ConvertSaveImage(old), current);

  g.AddCompetitions();
  g->Market.reset();
  g->Week = 12;  // the season the competitions belong to
  EXPECT_EQ(Tsavechange::ConvertSaveImage(SaveImageV11(*g)), g->SaveBody());
}

TEST_F(SaveChangeFiles, Version6SaveBecomesCurrent) {
  // A new game holds exactly what a version-6 file can carry: reputations
  // as a fresh state has them and no finished season.
  TestGame g(32);
  g.FillMarket();
  EXPECT_EQ(Tsavechange::ConvertSaveImage(SaveImageV6(*g, true)), g->SaveBody());

  g.AddCompetitions();
  g->Market.reset();
  g->Week = 12;  // the season the competitions belong to
  EXPECT_EQ(Tsavechange::ConvertSaveImage(SaveImageV6(*g, true)), g->SaveBody());
}

TEST_F(SaveChangeFiles, SaveWithoutVersionTakesTwoRuns) {
  TestGame g(33);
  g.FillMarket();
  std::vector<uint8_t> none = SaveImageV6(*g, false);
  std::vector<uint8_t> six = SaveImageV6(*g, true);
  std::vector<uint8_t> current = g->SaveBody();

  EnsureDirectory("data/savedata");
  WriteFileAtomic("data/savedata/ancient.dat", none);
  WriteFileAtomic("data/savedata/now.dat", current);

  Tsavechange change;
  Tsavechange::TReport r1 = change.ConvertSaves();
  EXPECT_EQ(r1.Converted, std::vector<std::string>{"ancient.dat"});
  EXPECT_EQ(r1.Unchanged, std::vector<std::string>{"now.dat"});
  std::vector<uint8_t> after1 = ReadWholeFile("data/savedata/ancient.dat");
  EXPECT_EQ(after1, six);  // "06" + old image + a 0 cup byte
  EXPECT_EQ(after1.size(), none.size() + 6 + 1);
  EXPECT_EQ(after1.back(), 0);
  EXPECT_EQ(ReadWholeFile("data/savedatatmp/ancient.dat"), none);
  EXPECT_EQ(ReadWholeFile("data/savedata/now.dat"), current);
  EXPECT_FALSE(fs::exists("data/savedatatmp/now.dat"));  // left as it is, so not backed up

  change.ConvertSaves();
  EXPECT_EQ(ReadWholeFile("data/savedata/ancient.dat"), current);
  // The original stays; the second step's starting point goes beside it.
  EXPECT_EQ(ReadWholeFile("data/savedatatmp/ancient.dat"), none);
  EXPECT_EQ(ReadWholeFile("data/savedatatmp/ancient (2).dat"), six);
  // Loadable as a slot now.
  TestGame h(34);
  LoadGameFromSlot(*h, "ancient");
  EXPECT_EQ(h->SaveBody(), current);
}

TEST_F(SaveChangeFiles, VsFilesOfEveryVersion) {
  TestGame g(35);
  const Tteam& club = g->Team(3);
  std::vector<uint8_t> current = MakeVsImage(club, "コメント");
  EnsureDirectory("data/vs");
  WriteFileAtomic("data/vs/v6.vs", VsV6(club, "コメント"));
  WriteFileAtomic("data/vs/v11.vs", VsV11(club, "コメント"));
  WriteFileAtomic("data/vs/v17.vs", current);
  // Labelled "11" but written in the current form: recognised and kept.
  std::vector<uint8_t> mislabelled = current;
  mislabelled[4] = '1';
  mislabelled[5] = '1';
  WriteFileAtomic("data/vs/mis.vs", mislabelled);

  TestGame live(36);
  std::vector<uint8_t> liveBefore = live->SaveBody();
  Tsavechange change;
  Tsavechange::TReport r = change.ConvertVsFiles();
  EXPECT_EQ(r.Converted, (std::vector<std::string>{"v11.vs", "v6.vs"}));
  EXPECT_EQ(r.Unchanged, (std::vector<std::string>{"mis.vs", "v17.vs"}));
  EXPECT_EQ(ReadWholeFile("data/vs/v6.vs"), current);
  EXPECT_EQ(ReadWholeFile("data/vs/v11.vs"), current);
  EXPECT_EQ(ReadWholeFile("data/vs/v17.vs"), current);
  EXPECT_EQ(ReadWholeFile("data/vs/mis.vs"), mislabelled);
  EXPECT_EQ(ReadWholeFile("data/vstmp/v6.vs"), VsV6(club, "コメント"));
  EXPECT_FALSE(fs::exists("data/vstmp/v17.vs"));
  EXPECT_EQ(live->SaveBody(), liveBefore);  // the running game is not the workspace

  // The kept file is usable as a data-battle side; a real old one is not
  // until converted.
  EXPECT_EQ(LoadVsSide(*live, 1, "mis"), "コメント");
  WriteFileAtomic("data/vs/old.vs", VsV11(club, "コメント"));
  EXPECT_THROW(LoadVsSide(*live, 1, "old"), FileError);
}

TEST_F(SaveChangeFiles, DamagedFileStopsTheRunBeforeAnythingIsWritten) {
  TestGame g(37);
  g.FillMarket();
  EnsureDirectory("data/savedata");
  EnsureDirectory("data/vs");
  std::vector<uint8_t> v11 = SaveImageV11(*g);
  std::vector<uint8_t> v6 = SaveImageV6(*g, true);
  std::vector<uint8_t> vs11 = VsV11(g->Team(2), "c");
  WriteFileAtomic("data/savedata/a_good.dat", v11);
  WriteFileAtomic("data/vs/club.vs", VsV6(g->Team(1), "x"));

  struct Case {
    const char* file;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"data/savedata/b_cut11.dat", std::vector<uint8_t>(v11.begin(), v11.begin() + v11.size() / 2)},
      {"data/savedata/b_cut6.dat", std::vector<uint8_t>(v6.begin(), v6.end() - 1)},
      {"data/savedata/b_noise.dat", std::vector<uint8_t>(777, 0x41)},  // no version: not an old save either
      {"data/savedata/b_empty.dat", {}},
      {"data/vs/b_cut.vs", std::vector<uint8_t>(vs11.begin(), vs11.begin() + 60)},
  };
  for (const Case& c : cases) {
    WriteFileAtomic(c.file, c.bytes);
    auto before = Snapshot("data");
    Tsavechange change;
    try {
      Tsavechange::TReport saves, vs;
      change.ConvertAll(saves, vs);
      ADD_FAILURE() << c.file << ": accepted";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
    }
    EXPECT_EQ(Snapshot("data"), before) << c.file;
    fs::remove(c.file);
  }
  // With the bad files gone the run goes through.
  Tsavechange change;
  Tsavechange::TReport saves, vs;
  change.ConvertAll(saves, vs);
  EXPECT_EQ(saves.Converted, std::vector<std::string>{"a_good.dat"});
  EXPECT_EQ(vs.Converted, std::vector<std::string>{"club.vs"});
}

// The converter writes nothing the game would refuse: a converted world
// that breaks an invariant stops the run naming the file, the rule and the
// place, before anything is written; a file it cannot convert is left as
// it is, not written again.
TEST_F(SaveChangeFiles, ConvertedFilesAreOnesTheGameReads) {
  TestGame g(38);
  EnsureDirectory("data/savedata");
  EnsureDirectory("data/vs");
  Tteam& club = g->Team(2);
  const TPoint kept = club.Positions[2];
  club.Positions[2] = TPoint{-5, 4200};
  const std::vector<uint8_t> offPitch = VsV11(club, "c");
  club.Positions[2] = kept;
  g->Reputation[5] = 0;
  const std::vector<uint8_t> badWorld = SaveImageV11(*g);
  g->Reputation[5] = 18;

  struct Case {
    const char* File;
    std::vector<uint8_t> Bytes;
    TInvariant Broken;
  };
  for (const Case& c : {Case{"data/vs/off.vs", offPitch, TInvariant::PitchPositions},
                        Case{"data/savedata/rep.dat", badWorld, TInvariant::Reputation}}) {
    WriteFileAtomic(c.File, c.Bytes);
    const auto before = Snapshot("data");
    Tsavechange change;
    try {
      Tsavechange::TReport saves, vs;
      change.ConvertAll(saves, vs);
      ADD_FAILURE() << c.File << ": converted";
    } catch (const InvariantFileError& e) {
      EXPECT_EQ(e.First().Invariant, c.Broken) << e.what();
      EXPECT_EQ(
          std::string(e.what()).rfind(std::string(c.File) + ": 変換できません。変換後のデータが規則に合いません：", 0),
          0u)
          << e.what();
    }
    EXPECT_EQ(Snapshot("data"), before) << c.File;
    fs::remove(c.File);
  }

  // A VS file of no version: reported unchanged, not rewritten, no backup;
  // the data battle refuses it as before.
  WriteFileAtomic("data/vs/empty.vs", {});
  Tsavechange change;
  Tsavechange::TReport vs = change.ConvertVsFiles();
  EXPECT_EQ(vs.Unchanged, std::vector<std::string>{"empty.vs"});
  EXPECT_TRUE(ReadWholeFile("data/vs/empty.vs").empty());
  EXPECT_FALSE(fs::exists("data/vstmp/empty.vs"));
  EXPECT_THROW(LoadVsSide(*g, 1, "empty"), FileError);
}

// A run killed after any of its writes and then run again (perhaps killed
// again) loses no original: each one is byte for byte in the backup folder,
// and in the end every file is current. The kill is a throw from the hook
// after write k, for every k; a retry is killed once more half-way.
TEST_F(SaveChangeFiles, KilledRunRetriedKeepsEveryOriginal) {
  TestGame g(39);
  g.FillMarket();
  const std::vector<uint8_t> current = g->SaveBody();
  const std::map<std::string, std::vector<uint8_t>> originals = {
      {"savedata/a.dat", SaveImageV6(*g, false)},  // two steps: none, then "06"
      {"savedata/b.dat", SaveImageV11(*g)},       {"savedata/c.dat", current},
      {"vs/d.vs", VsV6(g->Team(4), "d")},         {"vs/e.vs", VsV11(g->Team(5), "e")},
  };
  // An earlier run's backup of an unrelated "b" must survive too.
  const std::vector<uint8_t> olderB = SaveImageV6(*g, true);

  struct Stop {};
  for (int kill = 1;; ++kill) {
    ScopedDataDir scratch;
    EnsureDirectory("data/savedata");
    EnsureDirectory("data/vs");
    EnsureDirectory("data/savedatatmp");
    for (const auto& [f, bytes] : originals) WriteFileAtomic("data/" + f, bytes);
    WriteFileAtomic("data/savedatatmp/b.dat", olderB);

    int writes = 0;
    bool killed = false;
    auto run = [&](int stopAt) {
      Tsavechange change;
      change.AfterWrite = [&](const std::string&) {
        if (++writes == stopAt) throw Stop{};
      };
      try {
        Tsavechange::TReport saves, vs;
        change.ConvertAll(saves, vs);
      } catch (const Stop&) {
        killed = true;
      }
    };
    run(kill);
    if (!killed) break;  // every write point has been tried
    run(writes + 2);     // the retry is killed too
    for (int done = 0; done < 3; ++done) run(0);

    const auto files = Snapshot("data/savedata");
    const auto backups = Snapshot("data/savedatatmp"), vsBackups = Snapshot("data/vstmp");
    auto backedUp = [&](const std::vector<uint8_t>& bytes) {
      for (const auto* folder : {&backups, &vsBackups})
        for (const auto& [name, b] : *folder)
          if (b == bytes) return true;
      return false;
    };
    for (const auto& [f, bytes] : originals) {
      const std::vector<uint8_t> now = ReadWholeFile("data/" + f);
      EXPECT_TRUE(bytes == now || backedUp(bytes)) << f << " lost after a kill at write " << kill;
      if (f.rfind("savedata/", 0) == 0) {
        EXPECT_EQ(now, current) << f;
      }
    }
    EXPECT_TRUE(backedUp(olderB)) << "kill at write " << kill;
    EXPECT_EQ(ReadWholeFile("data/vs/d.vs"), MakeVsImage(g->Team(4), "d"));
    EXPECT_EQ(files.size(), 3u);
    ASSERT_LT(kill, 50);
  }
}
