// The watched match: the step sequence of a match someone looks at, shared
// by the match screen, the data battle's recorder and vantorel-sim, so that
// the same seed gives the same goals in the window and without it.
//
// One watched step, after the screen has drawn the current state: the
// driver's Step; its live event handed to the live scenes and reset; the
// frame recorded (data battle); the automatic substitutions of the sides
// the computer runs at every multiple of 300 from step 1800 on; the sounds
// to play. The quick match of league and cup substitutes on its own
// schedule and is a different function (PlayQuickMatch).
#pragma once

#include <array>
#include <cstdint>

#include "match/Umatchmain.h"

class Tmlive;
class TmVTR;
class Tteam;

// The computer substitutes for its sides from this step on, every
// kAutoSubInterval steps.
constexpr int32_t kWatchedSubsFrom = 1800;
// The step after which the final whistle blows.
constexpr int32_t kFinalWhistleTick = kMatchTicks - 1;

// True when the computer makes its substitutions after the step that
// brought the clock to `tick`.
constexpr bool IsWatchedSubsTick(int32_t tick) { return tick >= kWatchedSubsFrom && tick % kAutoSubInterval == 0; }

// A sound the screen plays, and whether it waits for its end.
struct TmSoundCue {
  int32_t Sound = -1;  // data/sound/mK.wav
  bool Wait = false;
};

// What one watched step asks of the screen.
struct TmWatchedStep {
  std::array<TmSoundCue, 3> Cues{};
  int CueCount = 0;
  bool NewScene = false;      // the live scenes gained a scene
  bool HalfTimeOver = false;  // the second half began: the position map is redrawn
  bool Finished = false;      // the match is over
};

// Appends the sounds of a driver's sound event to the step's cues, in
// playing order.
void AddSoundCues(int32_t soundEvent, TmWatchedStep& step);

// Which sides the computer runs, and where a recording goes.
struct TmWatchSetup {
  std::array<bool, 2> AutoSubs{false, false};
  Tmlive* Live = nullptr;     // may be null (no scenes)
  TmVTR* Recorder = nullptr;  // may be null (not recorded)
};

// Loads the two clubs' line-ups into the driver as side 0 and side 1; a
// data battle (vs) loads them as data-battle sides, which ignore the
// players' condition. A malformed line-up raises StreamError.
void LoadWatchedSides(Tmmain& driver, const Tteam& side0, const Tteam& side1, bool vs);

// One step of a watched match (see above). Does nothing once the match is
// over or while the driver is not loaded.
TmWatchedStep WatchedStep(Tmmain& driver, const TmWatchSetup& setup);
// Plays the rest of a watched match at once (no sounds) and gives its
// result, as PlayQuickMatch does for a match nobody watches.
TMatchOutcome PlayWatchedMatch(Tmmain& driver, const TmWatchSetup& setup);
