// Clips of a replay: which recorded frames an animated picture of a goal, or
// of the moment shown on the replay screen, holds, and the file it goes to.
// A clip runs at the replay screen's own pace (one step every 17 ms), so it
// looks as the replay does: a clip picture every 40 ms (25 a second) shows
// the frame the replay would show at that moment. A goal's clip begins about
// 8 s before the frame whose score shows it and ends about 3 s after; a
// moment's clip is the same span around the frame shown. Both stop at the
// recording's ends.
//
// Clips are written to the player's folder "clips" (data/clips in a
// checkout) and never replace a file: a name in use gets "-2", "-3", ...
// GoalClip refuses a goal the replay does not have (VantorelError).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "match/Uvtr.h"

inline constexpr int32_t kReplayStepMs = 17;
inline constexpr int kClipFps = 25;
inline constexpr int32_t kClipBeforeMs = 8000;
inline constexpr int32_t kClipAfterMs = 3000;

inline std::string ClipDir() { return PlayerPath("clips"); }

struct TVtrClip {
  int32_t From = 0, To = 0;  // recorded frames, both shown
  int Goal = -1;             // the goal's index in the replay's goal list, -1 for a moment
  int32_t Centre = 0;        // the goal's frame, or the moment's

  // The recorded frame each picture of the clip shows, first to last.
  std::vector<int32_t> Pictures() const;
};

// Goal `goal` (0-based, in the order of the replay's goal list).
TVtrClip GoalClip(const TmVTR& replay, int goal);
// The moment shown at frame `frame` (limited to the recording).
TVtrClip MomentClip(const TmVTR& replay, int32_t frame);

// "clips/" + replay + "-goalN" (N from 1) or "-MMSS" (the moment's clock)
// + "." + extension; the first of that, "...-2", "...-3", ... that is no
// existing file.
std::string ClipPath(const std::string& replayName, const TVtrClip& clip, const std::string& extension);
