// Where the game's files live: the checkout, an install, --data.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "club/Upaths.h"
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
