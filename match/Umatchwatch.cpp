#include "match/Umatchwatch.h"

#include "club/Uteam.h"
#include "match/Umatchlive.h"
#include "match/Uvtr.h"

namespace {

void Cue(TmWatchedStep& step, int32_t sound, bool wait) {
  if (step.CueCount < static_cast<int>(step.Cues.size()))
    step.Cues[static_cast<std::size_t>(step.CueCount++)] = {sound, wait};
}

}  // namespace

void AddSoundCues(int32_t soundEvent, TmWatchedStep& step) {
  switch (soundEvent) {
    case 0:  // kick-off, the driver's first event
      Cue(step, 0, true);
      break;
    case kSoundHalfTime:
      Cue(step, 1, true);
      Cue(step, 0, false);
      break;
    case kSoundPost: Cue(step, 3, false); break;
    case kSoundGoalTeam0:
      Cue(step, 4, true);
      Cue(step, 5, true);
      break;
    case kSoundGoalTeam1: Cue(step, 4, true); break;
    case kSoundSave: Cue(step, 6, false); break;
    default: break;
  }
}

void LoadWatchedSides(Tmmain& d, const Tteam& side0, const Tteam& side1, bool vs) {
  TStream s0, s1;
  side0.WriteLineup(s0);
  side1.WriteLineup(s1);
  s0.Seek(0);
  s1.Seek(0);
  d.Load(s0, s1, vs);
}

TmWatchedStep WatchedStep(Tmmain& d, const TmWatchSetup& setup) {
  TmWatchedStep out;
  if (!d.Loaded() || d.Tick >= kMatchTicks) {
    out.Finished = d.Tick >= kMatchTicks;
    return out;
  }
  d.Step();
  if (setup.Live) setup.Live->Show(d.LiveEvent[0], d.LiveEvent[1], d.LiveEvent[2], d.LiveEvent[3]);
  out.NewScene = d.LiveEvent[0] != -1;
  d.ClearLiveEvent();
  if (setup.Recorder) setup.Recorder->AddFrame(d.Snapshot());
  if (IsWatchedSubsTick(d.Tick)) {
    for (int side = 0; side < 2; ++side)
      if (setup.AutoSubs[static_cast<std::size_t>(side)]) d.AutoSubs(side);
  }
  AddSoundCues(d.SoundEvent, out);
  d.SoundEvent = kSoundNone;
  if (d.Tick == kFinalWhistleTick) Cue(out, 2, true);
  out.HalfTimeOver = d.Tick == kHalfTimeTick + 1;
  out.Finished = d.Tick >= kMatchTicks;
  return out;
}

TMatchOutcome PlayWatchedMatch(Tmmain& d, const TmWatchSetup& setup) {
  while (d.Loaded() && d.Tick < kMatchTicks) WatchedStep(d, setup);
  TMatchOutcome out;
  d.Result(out.HomeText, out.AwayText, out.HomeGoals, out.AwayGoals, out.Stats);
  return out;
}
