// The live scenes: which events make a picture, with which caption, and the
// strip under the pitch that keeps the last four.
#include <gtest/gtest.h>

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
