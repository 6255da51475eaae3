// Where the game's files live: the checkout, an install, --data.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "club/Ufile.h"
#include "club/Upaths.h"
#include "tests/core/TestData.h"
#include "world/Usavegame.h"
#include "world/Utactics.h"

TEST(Paths, RuleDecidesBothRoots) {
  const std::set<std::string> installed = {"/usr/share/vantorel/first.dat", "/opt/v/share/vantorel/first.dat"};
  struct Case {
    const char* What;
    TPathFacts Facts;
    const char* Shipped;
    const char* Player;
    bool Installed;
  };
  const Case cases[] = {
      {"build tree: no share/ beside bin", {"", "/src/vantorel/build/release", "", "/home/ann"}, "data", "data", false},
      {"executable unknown", {"", "", "/x", "/home/ann"}, "data", "data", false},
      {"installed, XDG_DATA_HOME set",
       {"", "/usr/bin", "/home/ann/xdg", "/home/ann"},
       "/usr/share/vantorel",
       "/home/ann/xdg/vantorel",
       true},
      {"installed, XDG_DATA_HOME with a trailing slash",
       {"", "/opt/v/bin", "/d//x/", "/home/ann"},
       "/opt/v/share/vantorel",
       "/d/x/vantorel",
       true},
      {"installed, XDG_DATA_HOME unset",
       {"", "/usr/bin", "", "/home/ann"},
       "/usr/share/vantorel",
       "/home/ann/.local/share/vantorel",
       true},
      {"installed, relative XDG_DATA_HOME is ignored",
       {"", "/usr/bin", "rel/xdg", "/home/ann/"},
       "/usr/share/vantorel",
       "/home/ann/.local/share/vantorel",
       true},
      {"installed, no home at all", {"", "/usr/bin", "", ""}, "/usr/share/vantorel", "data", true},
      {"a prefix without the start data is no install",
       {"", "/usr/local/bin", "/x", "/home/ann"},
       "data",
       "data",
       false},
      {"--data wins over an install", {"/tmp/play/", "/usr/bin", "/x", "/home/ann"}, "/tmp/play", "/tmp/play", false},
      {"--data relative", {"mine", "/src/build", "", ""}, "mine", "mine", false},
  };
  for (const Case& c : cases) {
    TDataRoots r = DecideDataRoots(c.Facts, [&](const std::string& p) { return installed.count(p) != 0; });
    EXPECT_EQ(r.Shipped, c.Shipped) << c.What;
    EXPECT_EQ(r.Player, c.Player) << c.What;
    EXPECT_EQ(r.Installed, c.Installed) << c.What;
  }
}

// The test program runs from its build tree: the checkout's spelling, which
// the golden files pin; --data moves every path the game makes.
TEST(Paths, EveryPathFollowsTheRoots) {
  EXPECT_EQ(ShippedPath("first.dat"), "data/first.dat");
  EXPECT_EQ(SlotPath("a"), "data/savedata/a.dat");
  EXPECT_EQ(ShippedPositionFileDir(), PositionFileDir());
  SetDataRoot("/srv/v/");
  EXPECT_EQ(ShippedPath("sound/m0.wav"), "/srv/v/sound/m0.wav");
  EXPECT_EQ(SlotPath("a"), "/srv/v/savedata/a.dat");
  EXPECT_EQ(PositionFileDir(), "/srv/v/formation");
  SetDataRoot("");
  EXPECT_EQ(SlotPath("a"), "data/savedata/a.dat");
}

// A save killed between writing its temporary and renaming it leaves
// "NAME.dat.tmp<pid>". At start-up those of dead processes go; those of
// living ones (this process, another game) and every file that is not such
// a temporary in the player's folders stay.
TEST(Paths, TemporariesOfDeadProcessesAreRemoved) {
  namespace fs = std::filesystem;
  ScopedDataDir dir;
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  ASSERT_FALSE(ProcessAlive(child));
  const std::string dead = std::to_string(child), own = std::to_string(::getpid());

  const std::set<std::string> gone = {
      "data/savedata/a.dat.tmp" + dead,   "data/savedatatmp/a.dat.tmp" + dead, "data/vs/b.vs.tmp" + dead,
      "data/vstmp/b.vs.tmp" + dead,       "data/formation/c.dat.tmp" + dead,   "data/vtr/1.vtr.tmp" + dead,
      "data/tournament/t.tnm.tmp" + dead, "data/clips/g.webp.tmp" + dead,      "data/clips/g.gif.tmp" + dead};
  const std::set<std::string> kept = {
      "data/savedata/a.dat",
      "data/savedata/a.dat.tmp" + own,  // this process may be saving right now
      "data/savedata/b.dat.tmp1",       // a process that lives (init)
      "data/savedata/notes.txt.tmp" + dead,
      "data/savedata/a.dat.tmp",
      "data/savedata/a.dat.tmp0" + dead,
      "data/savedata/a.dat.tmp" + dead + "x",
      "data/savedata/.dat.tmp" + dead,
      "data/vs/b.dat.tmp" + dead,   // not what the game writes there
      "data/tmp/a.dat.tmp" + dead,  // not one of the folders the game writes into atomically
      "data/a.dat.tmp" + dead,
  };
  for (const char* d : {"savedata", "savedatatmp", "vs", "vstmp", "formation", "vtr", "tournament", "clips", "tmp"})
    fs::create_directories(fs::path("data") / d);
  for (const std::set<std::string>* files : {&gone, &kept})
    for (const std::string& f : *files) WriteFileAtomic(f, {1, 2, 3});
  fs::create_directories("data/vtr/2.vtr.tmp" + dead);  // a folder
  fs::create_symlink(fs::absolute("data/savedata/a.dat"), "data/savedata/link.dat.tmp" + dead);

  const std::vector<std::string> removed = RemoveStalePlayerTemporaries();
  EXPECT_EQ(std::set<std::string>(removed.begin(), removed.end()), gone);
  for (const std::string& f : gone) EXPECT_FALSE(fs::exists(f)) << f;
  for (const std::string& f : kept) EXPECT_TRUE(fs::exists(f)) << f;
  EXPECT_TRUE(fs::is_directory("data/vtr/2.vtr.tmp" + dead));
  EXPECT_TRUE(fs::is_symlink("data/savedata/link.dat.tmp" + dead));
  EXPECT_TRUE(RemoveStalePlayerTemporaries().empty());  // a second start finds nothing
}
