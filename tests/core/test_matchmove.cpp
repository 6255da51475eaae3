#include <gtest/gtest.h>

#include "match/Umatchmove.h"

namespace {
struct ShapeCase {
  int32_t code;
  Tmpoint home, cur, ref, expected;
};

Tmpoint Attack(const ShapeCase& c) { return Tatkmove(c.ref, c.cur, c.home).Target(c.code); }
Tmpoint Defend(const ShapeCase& c) { return Tdfmove(c.ref, c.cur, c.home).Target(c.code); }

void ExpectCases(const std::vector<ShapeCase>& cases, Tmpoint (*rule)(const ShapeCase&)) {
  for (const ShapeCase& c : cases) {
    Tmpoint t = rule(c);
    EXPECT_EQ(t.X, c.expected.X) << "code " << c.code << " ref " << c.ref.X << "," << c.ref.Y;
    EXPECT_EQ(t.Y, c.expected.Y) << "code " << c.code << " ref " << c.ref.X << "," << c.ref.Y;
  }
}
}  // namespace

TEST(MatchMoveAttack, DefendersAndKeeper) {
  ExpectCases(
      {
          // keeper stays home until the ball is in the far half
          {0, {800, 4200}, {800, 4200}, {5000, 6000}, {800, 4200}},
          {1, {800, 4200}, {800, 4200}, {9000, 6000}, {2275, 4650}},
          // centre-back steps up to a ball near his goal, holds in midfield
          {4, {2000, 4200}, {2000, 4200}, {2000, 3000}, {2000, 3900}},
          {4, {2000, 4200}, {2000, 4200}, {3000, 4200}, {3000, 4200}},  // 3000 from his goal: still steps up
          {4, {2000, 4200}, {2000, 4200}, {3001, 4200}, {2000, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {4000, 4200}, {2000, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {5000, 4200}, {2000, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {5001, 4200}, {3500, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {8000, 4200}, {5000, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {12000, 4200}, {7000, 4200}},
          {4, {2000, 4200}, {2000, 4200}, {13000, 4200}, {7000, 4200}},
          // a right-half centre-back measures from x 12100
          {3, {10100, 4200}, {10100, 4200}, {10000, 4200}, {10000, 4200}},
          {3, {10100, 4200}, {10100, 4200}, {4000, 4200}, {7050, 4200}},
          // full-back
          {7, {2500, 4200}, {2500, 4200}, {2000, 4200}, {2000, 4200}},
          {7, {2500, 4200}, {2500, 4200}, {8000, 5000}, {6500, 4600}},
          {7, {2500, 4200}, {2500, 4200}, {11000, 4200}, {10000, 4200}},
          {7, {2500, 4200}, {2500, 4200}, {4000, 4200}, {3500, 4200}},
          // defensive midfield
          {10, {4500, 4200}, {4500, 4200}, {3000, 3000}, {4500, 3600}},
          {10, {4500, 4200}, {4500, 4200}, {6000, 4200}, {5500, 4200}},
      },
      Attack);
}

TEST(MatchMoveAttack, MidfieldersWingersAndForwards) {
  ExpectCases(
      {
          {12, {4000, 1500}, {4000, 1500}, {3000, 5200}, {5500, 2000}},
          {12, {4000, 1500}, {4000, 1500}, {11000, 4200}, {9500, 1500}},
          {12, {4000, 1500}, {4000, 1500}, {7000, 4200}, {7000, 1500}},
          // a right-half player: (RefX - E) div 2 truncates toward zero
          {13, {10000, 4200}, {10000, 4200}, {10001, 4200}, {8951, 4200}},
          // wide player deep in the opponent's half switches wings unless
          // he is already on the line
          {15, {5000, 2000}, {3000, 2000}, {9000, 4200}, {10500, 6400}},
          {15, {5000, 2000}, {10500, 2000}, {9000, 4200}, {10500, 3100}},
          // crossing the halfway line he drifts toward his wing
          {15, {5000, 2000}, {5000, 2000}, {4000, 5000}, {7000, 4150}},
          {16, {5000, 2000}, {5000, 2000}, {4000, 5000}, {7000, 2400}},
          // forwards wait on the halfway line while the ball is deep
          {19, {5500, 4200}, {5500, 4200}, {2500, 5000}, {6050, 4600}},
          {19, {5500, 4200}, {5500, 4200}, {10500, 4200}, {10500, 4200}},
          {19, {5500, 4200}, {5500, 4200}, {6000, 4200}, {9500, 4200}},
          // a home x of exactly 6050 counts as the right half and takes the wing form
          {18, {6050, 2000}, {6050, 2000}, {5000, 3000}, {5350, 2800}},
          // kept on the pitch
          {19, {5500, 4200}, {5500, 4200}, {11400, 4200}, {11300, 4200}},
          {19, {5500, 7300}, {5500, 7300}, {11000, 8200}, {11000, 7600}},
      },
      Attack);
}

TEST(MatchMoveDefend, CoverPressHoldAndFallBack) {
  ExpectCases(
      {
          // he is nearer his own end than the ball
          {4, {3000, 4200}, {2000, 4200}, {6000, 5000}, {3000, 4466}},
          {5, {3000, 4200}, {2000, 4200}, {6000, 5000}, {5000, 4733}},
          {17, {3000, 4200}, {2000, 4200}, {6000, 5000}, {5000, 4733}},
          {3, {3000, 4200}, {2000, 4200}, {6000, 5000}, {4500, 4600}},
          {13, {3000, 4200}, {2000, 4200}, {6000, 5000}, {4500, 4600}},
          {2, {9000, 3000}, {10000, 3000}, {6000, 4200}, {6983, 3400}},
          // the ball is behind him: fall back
          {10, {3000, 4200}, {7000, 4200}, {6000, 4200}, {6000, 4200}},
          {10, {3000, 4200}, {7000, 4200}, {500, 3000}, {1000, 3600}},
          {13, {3000, 4200}, {7000, 4200}, {1500, 4200}, {2000, 4200}},
          {19, {3000, 4200}, {7000, 4200}, {2000, 4200}, {3000, 4200}},
          {4, {3000, 4200}, {7000, 4200}, {1000, 4200}, {1000, 4200}},
          {9, {9000, 3000}, {4000, 3000}, {11900, 4200}, {11000, 3000}},
          // kept on the pitch: y beyond 7600
          {3, {3000, 7500}, {2000, 7500}, {6000, 8400}, {4500, 7600}},
      },
      Defend);
}

TEST(MatchMoveKeepOnPitch, LinesAndCorners) {
  EXPECT_EQ(KeepOnPitch({11400, 7700}), (Tmpoint{11300, 7600}));
  EXPECT_EQ(KeepOnPitch({11299, 7599}), (Tmpoint{11299, 7599}));
  EXPECT_EQ(KeepOnPitch({801, 801}), (Tmpoint{801, 801}));
  EXPECT_EQ(KeepOnPitch({-500, -100}), (Tmpoint{800, 800}));
  EXPECT_EQ(KeepOnPitch({11300, 800}), (Tmpoint{11300, 800}));
}

TEST(MatchMoveKeeper, ComesOutOrHoldsHisLine) {
  auto keeper = [](Tmpoint ref, Tmpoint aim, int32_t side, int32_t anticipate) {
    Tdfmove m;
    m.KeeperInit(ref, aim, side);
    return m.KeeperTarget(anticipate);
  };
  // a ball that will settle near goal: he comes out for it
  EXPECT_EQ(keeper({1500, 4000}, {1600, 4300}, 0, 100), (Tmpoint{1600, 4300}));
  EXPECT_EQ(keeper({1600, 4300}, {1600, 4300}, 0, 100), (Tmpoint{1600, 4300}));
  EXPECT_EQ(keeper({5000, 4000}, {1500, 4500}, 0, 100), (Tmpoint{1500, 4500}));
  EXPECT_EQ(keeper({5000, 4000}, {1600, 4600}, 0, 100), (Tmpoint{1600, 4600}));  // 4A + 400 inclusive
  EXPECT_EQ(keeper({5000, 4000}, {1601, 4600}, 0, 100), (Tmpoint{800, 4000}));
  // ... a ball travelling exactly 500 no longer counts as settling
  EXPECT_EQ(keeper({1000, 4300}, {1300, 4699}, 0, 100), (Tmpoint{1300, 4699}));
  EXPECT_EQ(keeper({1000, 4300}, {1300, 4700}, 0, 100), (Tmpoint{800, 4100}));
  EXPECT_EQ(keeper({5000, 4000}, {1600, 4601}, 0, 100), (Tmpoint{800, 4000}));
  // a ball travelling straight across
  EXPECT_EQ(keeper({3000, 6000}, {3000, 2000}, 0, 100), (Tmpoint{800, 3700}));
  EXPECT_EQ(keeper({3000, 2000}, {3000, 5000}, 0, 100), (Tmpoint{800, 4600}));
  EXPECT_EQ(keeper({3000, 4100}, {3000, 4100}, 0, 0), (Tmpoint{800, 4100}));
  // ... and toward the middle of the goal from far wide: he stays between the posts
  EXPECT_EQ(keeper({3000, 7000}, {3000, 4000}, 0, 0), (Tmpoint{800, 4600}));
  // the line of travel with an integer slope, clamped to the goal
  EXPECT_EQ(keeper({5000, 4000}, {3000, 5000}, 0, 50), (Tmpoint{800, 4000}));
  EXPECT_EQ(keeper({5000, 4000}, {4000, 7000}, 0, 50), (Tmpoint{800, 4600}));
  EXPECT_EQ(keeper({5000, 4000}, {4000, 1000}, 0, 50), (Tmpoint{800, 3700}));
  EXPECT_EQ(keeper({9000, 3000}, {10000, 3500}, 1, 0), (Tmpoint{11300, 3700}));
  EXPECT_EQ(keeper({9000, 3000}, {9500, 4000}, 1, 0), (Tmpoint{11300, 4600}));
  EXPECT_EQ(keeper({8000, 4300}, {9000, 4200}, 1, 0), (Tmpoint{11300, 4300}));
}
