#include "match/Uvtrclip.h"

#include <algorithm>
#include <cstdio>

#include "club/Ufile.h"

namespace {

// Frames the replay shows in `ms` milliseconds of playing.
constexpr int32_t FramesIn(int32_t ms) { return ms / kReplayStepMs; }

TVtrClip Around(const TmVTR& replay, int32_t centre, int goal) {
  TVtrClip c;
  c.Goal = goal;
  c.Centre = std::clamp(centre, 0, std::max(0, replay.LastFrame()));
  c.From = std::max(0, c.Centre - FramesIn(kClipBeforeMs));
  c.To = std::min(std::max(0, replay.LastFrame()), c.Centre + FramesIn(kClipAfterMs));
  return c;
}

}  // namespace

std::vector<int32_t> TVtrClip::Pictures() const {
  // Picture i is shown at i x 40 ms, when the replay shows frame
  // From + i x 40 / 17, rounded to the nearest frame.
  constexpr int64_t kMsPerPicture = 1000 / kClipFps;
  std::vector<int32_t> out;
  for (int64_t i = 0;; ++i) {
    const int64_t f = From + (2 * i * kMsPerPicture + kReplayStepMs) / (2 * kReplayStepMs);
    if (f > To) break;
    out.push_back(static_cast<int32_t>(f));
  }
  return out;
}

TVtrClip GoalClip(const TmVTR& replay, int goal) {
  const std::vector<TVtrGoal> goals = replay.GoalsUpTo(replay.LastFrame());
  if (goal < 0 || goal >= static_cast<int>(goals.size()))
    throw VantorelError("このリプレイに " + std::to_string(goal + 1) + " 点目のゴールはありません");
  return Around(replay, goals[static_cast<std::size_t>(goal)].Frame, goal);
}

TVtrClip MomentClip(const TmVTR& replay, int32_t frame) { return Around(replay, frame, -1); }

std::string ClipPath(const std::string& replayName, const TVtrClip& clip, const std::string& extension) {
  char tag[32];
  if (clip.Goal >= 0)
    std::snprintf(tag, sizeof tag, "-goal%d", clip.Goal + 1);
  else
    std::snprintf(tag, sizeof tag, "-%02d%02d", clip.Centre / 60, clip.Centre % 60);
  const std::string stem = ClipDir() + "/" + replayName + tag;
  std::string path = stem + "." + extension;
  for (int n = 2; FileExists(path); ++n) path = stem + "-" + std::to_string(n) + "." + extension;
  return path;
}
