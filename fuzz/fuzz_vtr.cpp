// A replay file, "data/vtr/NAME.vtr". A refused file leaves the recording
// the viewer held; an accepted one writes back to the same bytes and can
// be played from end to end and analysed.
#include "club/Uteam.h"
#include "fuzz/FuzzSupport.h"
#include "match/Uvtr.h"
#include "match/Uvtranalyse.h"

namespace {
TmVTR* g_vtr = nullptr;
Bytes g_before;

Bytes Image(const TmVTR& r) { return r.FileImage(MakeVtrHeader(r.Sides)); }
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_vtr = new TmVTR;
  g_vtr->Sides[0].Name = "元";
  g_vtr->Sides[0].GoalLines = {"1分 元の選手"};
  for (TVtrSide& side : g_vtr->Sides) side.Emblem = Tteam::EmptyEmblem();
  TmVTRsc frame{};
  g_vtr->AddFrame(frame);
  frame.Values[69] = 1;
  g_vtr->AddFrame(frame);
  g_before = Image(*g_vtr);
  g_vtr->ParseImage(g_before);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes image(data, data + size);
  if (!fuzz::Reads([&] { g_vtr->ParseImage(image); })) {
    fuzz::Check(Image(*g_vtr) == g_before, "a refused replay changed the recording");
    return 0;
  }
  const Bytes once = Image(*g_vtr);
  TmVTR again;
  fuzz::Check(fuzz::Reads([&] { again.ParseImage(once); }), "an accepted replay writes a file that is refused");
  fuzz::Check(Image(again) == once, "a replay does not write the same bytes twice");

  // Playback: every goal line is reached, and stepping stays on the frames.
  const auto goals = g_vtr->GoalsUpTo(g_vtr->LastFrame());
  fuzz::Check(goals.size() <= g_vtr->Sides[0].GoalLines.size() + g_vtr->Sides[1].GoalLines.size(),
              "more goals than lines");
  bool stopped = false;
  for (int32_t speed : {-3, 1, 5401, -2147483647}) {
    const int32_t p = g_vtr->Advance(g_vtr->LastFrame(), speed, stopped);
    fuzz::Check(p >= 0 && p <= g_vtr->LastFrame(), "playback left the recording");
  }

  // The analysis of any accepted recording: every step is someone's, every
  // player's heat map holds his time on the pitch.
  const TVtrAnalysis a = AnalyseVtr(*g_vtr);
  fuzz::Check(a.Sides[0].PossessionSteps + a.Sides[1].PossessionSteps == g_vtr->FrameCount(),
              "possession steps do not add up");
  fuzz::Check(a.Goals.size() == goals.size(), "the analysis lost a goal");
  for (const TVtrPlayerStats& p : a.Players) {
    int64_t cells = 0;
    for (int32_t c : p.Heat) cells += c;
    fuzz::Check(cells == p.Steps, "a heat map that is not the time on the pitch");
  }

  g_vtr->ParseImage(g_before);
  return 0;
}
