// The live scenes: which events make a picture, with which caption, and the
// strip under the pitch that keeps the last four.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "match/Umatchlive.h"

namespace {

std::vector<std::string> Strip(const Tmlive& live) {
  std::vector<std::string> out;
  for (const TliveScene& s : live.Scenes) out.push_back(s.Caption);
  return out;
}

}  // namespace

// Events in the order a match might raise them, each with the strip's
// captions afterwards, oldest first (a goal-line view has no caption).
TEST(LiveScenes, StripKeepsTheLastFourAndDeliberatelyNoSceneForAnEmptyDecision) {
  struct Case {
    int32_t e[4];
    std::vector<std::string> strip;
    const char* why;
  };
  const Case cases[] = {
      {{-1, -1, -1, -1}, {}, "no event"},
      {{0, 7, -1, -1}, {}, "a plain trap"},
      {{0, 7, 3, -1}, {}, "a decision that did nothing: no scene rather than a captionless kicker"},
      {{0, 1, 0, 0}, {"しっかりキャッチ"}, "the keeper catches"},
      {{1, 1, 0, 1}, {"しっかりキャッチ", "おっと弾いた"}, "the keeper parries"},
      {{0, 4, 1, 9}, {"しっかりキャッチ", "おっと弾いた", "ボール奪取"}, "the ball won"},
      {{1, 9, 2, 3}, {"しっかりキャッチ", "おっと弾いた", "ボール奪取", "シュート"}, "a shot"},
      {{2, 94003, -1, -1}, {"おっと弾いた", "ボール奪取", "シュート", ""}, "over the line, no goal: the view only"},
      {{2, 120050, 109, 104}, {"シュート", "", "", "ゴール"}, "a goal: the view and the goal scene"},
  };
  Tmlive live;
  for (const Case& c : cases) {
    live.Show(c.e[0], c.e[1], c.e[2], c.e[3]);
    EXPECT_EQ(Strip(live), c.strip) << c.why;
  }
  // A dribble that goes on tick after tick is one scene; the strip keeps
  // what came before it.
  for (int i = 0; i < 4; ++i) live.Show(1, 9, 2, 6);
  EXPECT_EQ(Strip(live), (std::vector<std::string>{"", "", "ゴール", "ドリブル"}));
  // The same dribble after another scene: the older copy goes.
  live.Show(0, 1, 0, 0);
  live.Show(1, 9, 2, 6);
  EXPECT_EQ(Strip(live), (std::vector<std::string>{"", "ゴール", "しっかりキャッチ", "ドリブル"}));
  // Every on-ball action has its caption, for either foot.
  const char* const actions[7] = {"スペースへのパス", "前線へのフィード", "クロスボール", "シュート",
                                  "クリア",           "確実につなごう",   "ドリブル"};
  for (int32_t foot : {2, 3})
    for (int32_t action = 0; action < 7; ++action) {
      live.Show(0, 10, foot, action);
      EXPECT_EQ(live.Scenes.back().Caption, actions[action]) << foot << " " << action;
      EXPECT_EQ(live.Scenes.size(), 4u);
    }
}

// The goal-line view puts the ball where it crossed: E1 = (x + 94) * 1000 + h
// gives the point (x + 94, 116 - h) on the goal drawn from (22, 67) to
// (167, 116); a ball too high for the picture is an arrow at its top.
TEST(LiveScenes, GoalLineViewPlacesTheBallOrAnArrowAndOwnGoalsAreMarked) {
  struct Case {
    int32_t e1;
    TliveShape::Kind what;
    int32_t x, y;
  };
  const Case cases[] = {
      {94003, TliveShape::Image, 91, 110},   // on the ground, left of the posts
      {120050, TliveShape::Image, 117, 63},  // under the bar
      {167116, TliveShape::Image, 164, -3},  // h 116: the top edge, still the ball
      {167117, TliveShape::Write, 162, 0},   // h 117: above the picture, the arrow
      {100900, TliveShape::Write, 95, 0},
  };
  for (const Case& c : cases) {
    Tmlive live;
    live.Show(2, c.e1, -1, -1);
    ASSERT_EQ(live.Scenes.size(), 1u) << c.e1;
    const TliveScene& s = live.Scenes.back();
    ASSERT_EQ(s.Shapes.size(), live.GoalBase().Shapes.size() + 1) << c.e1;
    const TliveShape& mark = s.Shapes.back();
    EXPECT_EQ(mark.What, c.what) << c.e1;
    EXPECT_EQ(mark.X1, c.x) << c.e1;
    EXPECT_EQ(mark.Y1, c.y) << c.e1;
    if (c.what == TliveShape::Write) {
      EXPECT_EQ(mark.Text, "↑");
      EXPECT_EQ(mark.FontPt, 15);
    } else {
      EXPECT_EQ(mark.ImageId, Tmlive::kBallImage);
    }
  }
  const TliveShape goal = Tmlive().GoalBase().Shapes.back();  // a copy: the scene dies with the statement
  EXPECT_EQ((std::array<int32_t, 4>{goal.X1, goal.Y1, goal.X2, goal.Y2}), (std::array<int32_t, 4>{22, 67, 167, 116}));

  // An own goal (E3 -2): two cyan strokes on the scorer's face and no
  // cheering; a goal with an assist: the assister and raised arms.
  auto lines = [](const TliveScene& s) {
    std::vector<std::array<int32_t, 6>> out;
    for (const TliveShape& sh : s.Shapes)
      if (sh.What == TliveShape::Line)
        out.push_back({sh.X1, sh.Y1, sh.X2, sh.Y2, sh.PenWidth, static_cast<int32_t>(sh.Pen)});
    return out;
  };
  Tmlive own;
  own.Show(2, 100050, 107, -2);
  ASSERT_EQ(own.Scenes.size(), 2u);
  EXPECT_EQ(own.Scenes.back().Caption, "ゴール");
  EXPECT_EQ(lines(own.Scenes.back()),
            (std::vector<std::array<int32_t, 6>>{{75, 20, 75, 65, 10, 0x00FFFF}, {111, 20, 111, 65, 10, 0x00FFFF}}));
  Tmlive assisted;
  assisted.Show(2, 100050, 107, 104);
  const TliveScene& g = assisted.Scenes.back();
  EXPECT_EQ(lines(g),
            (std::vector<std::array<int32_t, 6>>{{56, 75, 0, 0, 30, 0xFFD8A5}, {131, 75, 187, 0, 30, 0xFFD8A5}}));
  bool assister = false;
  for (const TliveShape& sh : g.Shapes)
    if (sh.What == TliveShape::Write && sh.Text == "4" && sh.X1 == 15 && sh.Y1 == 100) assister = true;
  EXPECT_TRUE(assister);
}
