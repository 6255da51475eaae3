// The recorder: the replay file's bytes, reading back, refusal of damaged
// files, the goal list of a frame; and the watched step that fills it.
#include <gtest/gtest.h>

#include <set>

#include "MatchTestLineup.h"
#include "club/Ufile.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchlive.h"
#include "match/Umatchmain.h"
#include "match/Umatchteam.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"
#include "match/Uvtrclip.h"
#include "tests/core/TestData.h"
#include "world/Usavegame.h"

namespace {

// Bytes written by hand, not by the code under test.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& I32(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
  }
  Bytes& Raw(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Str(const std::string& cp932) { return I32(static_cast<int32_t>(cp932.size())).Raw(cp932); }
  Bytes& Add(const std::vector<uint8_t>& v) {
    b.insert(b.end(), v.begin(), v.end());
    return *this;
  }
};

TmVTRsc Frame(int32_t seed, int32_t goals0, int32_t goals1) {
  TmVTRsc f;
  for (int i = 1; i <= 69; ++i) f.At(i) = seed * 100 + i - 35;
  f.At(70) = goals0;
  f.At(71) = goals1;
  return f;
}

// Two sides whose names and goal lines hold commas, quotes and spaces.
std::array<TVtrSide, 2> OddSides() {
  std::array<TVtrSide, 2> s;
  s[0].Name = "FC \"Blue\", Town";
  s[0].Emblem = Tteam::EmptyEmblem();
  s[0].GoalLines = {"01分　Kato, J.", "44 \"Ace\" Mori"};
  s[1].Name = "ヴァントレル";
  s[1].Emblem = Tteam::EmptyEmblem();
  s[1].GoalLines = {"80分"};
  return s;
}

// A recording of three frames: side 0 scores in frame 1, both in frame 2.
TmVTR OddRecording() {
  TmVTR r;
  r.AddFrame(Frame(1, 0, 0));
  r.AddFrame(Frame(2, 1, 0));
  r.AddFrame(Frame(3, 2, 1));
  return r;
}

}  // namespace

class Vtr : public ::testing::Test {
 protected:
  ScopedDataDir dir_;
};

TEST_F(Vtr, FileBytesAreHeaderCountAndFrames) {
  TmVTR r = OddRecording();
  std::vector<uint8_t> image = r.FileImage(MakeVtrHeader(OddSides()));

  Bytes e;
  e.Str("FC \"Blue\", Town").Add(Tteam::EmptyEmblem());
  // Each goal line with a comma, quote or space is quoted; inner quotes doubled.
  e.Str("\"01\x95\xaa\x81\x40Kato, J.\",\"44 \"\"Ace\"\" Mori\"");
  e.Str("\x83\x94\x83\x40\x83\x93\x83\x67\x83\x8c\x83\x8b").Add(Tteam::EmptyEmblem()).Str("80\x95\xaa");
  e.I32(3);
  for (int k = 0; k < 3; ++k)
    for (int32_t v : r.Frames[static_cast<std::size_t>(k)].Values) e.I32(v);
  EXPECT_EQ(image, e.b);

  // Written atomically, read back unchanged.
  r.WriteFileAs(MakeVtrHeader(OddSides()), "odd");
  EXPECT_EQ(ReadWholeFile("data/vtr/odd.vtr"), image);
  TmVTR back;
  back.ReadFile("odd");
  EXPECT_EQ(back.Frames, r.Frames);
  for (int s = 0; s < 2; ++s) {
    EXPECT_EQ(back.Sides[s].Name, OddSides()[s].Name);
    EXPECT_EQ(back.Sides[s].Emblem, OddSides()[s].Emblem);
    EXPECT_EQ(back.Sides[s].GoalLines, OddSides()[s].GoalLines);
  }
  EXPECT_EQ(back.FileImage(MakeVtrHeader(back.Sides)), image);
}

// The shortest recording, one frame, is read back; none at all is refused
// (DamagedFilesAreRefusedAndTheRecordingKept).
TEST_F(Vtr, ARecordingOfOneFrameReadsBack) {
  TmVTR one;
  one.AddFrame(Frame(1, 0, 0));
  std::array<TVtrSide, 2> sides = OddSides();
  for (TVtrSide& side : sides) side.GoalLines.clear();
  one.WriteFileAs(MakeVtrHeader(sides), "one");
  TmVTR back;
  back.ReadFile("one");
  ASSERT_EQ(back.FrameCount(), 1);
  EXPECT_EQ(back.Frames, one.Frames);
}

TEST_F(Vtr, ClockNamesNeverReplaceARecording) {
  TmVTR r = OddRecording();
  std::vector<uint8_t> header = MakeVtrHeader(OddSides());
  std::set<std::string> names;
  for (int i = 0; i < 5; ++i) names.insert(r.WriteFile(header));
  EXPECT_EQ(names.size(), 5u);
  for (const std::string& n : names) {
    EXPECT_FALSE(n.empty());
    EXPECT_EQ(n.find_first_not_of("0123456789"), std::string::npos) << n;
    EXPECT_TRUE(FileExists("data/vtr/" + n + ".vtr"));
  }
  EXPECT_THROW(r.WriteFileAs(header, "../x"), FileError);
}

// The replay list: newest first by the recorder's clock name (another name
// by the file's time), clubs and score from the header, a damaged file
// listed without them.
TEST_F(Vtr, ReplayListIsNewestFirstWithClubsAndScore) {
  const std::vector<uint8_t> header = MakeVtrHeader(OddSides());
  OddRecording().WriteFileAs(header, "1700000000000");
  OddRecording().WriteFileAs(header, "1800000000000");
  OddRecording().WriteFileAs(header, "mine");
  WriteFileAtomic("data/vtr/1750000000000.vtr", {1, 2, 3});
  const std::vector<TReplayEntry> list = ListReplays();
  std::vector<std::string> names;
  for (const TReplayEntry& e : list) names.push_back(e.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"1800000000000", "mine", "1750000000000", "1700000000000"}));
  EXPECT_EQ(list[0].Clubs[0], "FC \"Blue\", Town");
  EXPECT_EQ(list[0].Clubs[1], "ヴァントレル");
  EXPECT_EQ(list[0].Score, (std::array<int32_t, 2>{2, 1}));
  EXPECT_EQ(list[0].RecordedMs, 1800000000000);
  EXPECT_EQ(list[0].DateText.size(), 16u);
  EXPECT_TRUE(list[1].Readable);
  EXPECT_FALSE(list[2].Readable);
  EXPECT_TRUE(list[2].Clubs[0].empty());
}

TEST_F(Vtr, DamagedFilesAreRefusedAndTheRecordingKept) {
  const std::vector<uint8_t> good = OddRecording().FileImage(MakeVtrHeader(OddSides()));
  TmVTR held = OddRecording();
  held.Sides = OddSides();
  auto refused = [&](const std::vector<uint8_t>& image, const std::string& why) {
    TmVTR r = held;
    EXPECT_THROW(r.ParseImage(image), StreamError) << why;
    EXPECT_EQ(r.Frames, held.Frames) << why;
    EXPECT_EQ(r.Sides[0].Name, held.Sides[0].Name) << why;
  };
  // Cut short anywhere: inside every field of the header, the count, a frame.
  for (std::size_t n = 0; n < good.size(); ++n)
    refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)),
            "cut at " + std::to_string(n));

  const std::size_t countAt = good.size() - 3 * kVtrFrameBytes - 4;
  auto with = [&](std::size_t at, int32_t v) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i)
      b[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    return b;
  };
  const std::size_t frame1 = countAt + 4 + kVtrFrameBytes;
  struct Case {
    std::vector<uint8_t> image;
    const char* why;
  } cases[] = {
      {with(0, -1), "negative name length"},
      {with(0, 0x7fffffff), "name length beyond the file"},
      {with(countAt, 0x7fffffff), "frame count beyond the file"},
      {with(countAt, -5), "negative frame count"},
      {with(countAt, 2), "bytes after the last frame"},
      {with(countAt, 0), "no frame"},
      {with(frame1 + 4 * 69, 3), "more goals than goal lines"},
      {with(frame1 + 4 * 69 + kVtrFrameBytes, 0), "a score that falls"},
      {with(frame1 + 4 * 66, -2000000000), "ball far off the picture"},
      {with(frame1, 2000000000), "player far off the picture"},
  };
  for (const Case& c : cases) refused(c.image, c.why);
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  refused(longer, "one byte too many");

  // Through the file: the error names it.
  EnsureDirectory("data/vtr");
  WriteFileAtomic("data/vtr/bad.vtr", cases[2].image);
  TmVTR r = held;
  try {
    r.ReadFile("bad");
    ADD_FAILURE() << "a damaged file was read";
  } catch (const FileError& e) {
    EXPECT_EQ(e.Path(), "data/vtr/bad.vtr");
  }
  EXPECT_EQ(r.Frames, held.Frames);
  EXPECT_THROW(r.ReadFile("missing"), FileError);
}

TEST_F(Vtr, GoalsOfAFrameAndTheLimitsOfPlayback) {
  TmVTR r;
  r.ParseImage(OddRecording().FileImage(MakeVtrHeader(OddSides())));
  auto texts = [&](int n) {
    std::vector<std::string> out;
    for (const TVtrGoal& g : r.GoalsUpTo(n)) out.push_back(std::to_string(g.Side) + ":" + g.Text);
    return out;
  };
  EXPECT_TRUE(texts(0).empty());
  EXPECT_EQ(texts(1), (std::vector<std::string>{"0:01分　Kato, J."}));
  // Two goals in one frame: side 0 first; the order of scoring survives a
  // jump back and forth over both.
  EXPECT_EQ(texts(2), (std::vector<std::string>{"0:01分　Kato, J.", "0:44 \"Ace\" Mori", "1:80分"}));
  EXPECT_EQ(texts(99), texts(2));

  struct {
    int32_t from, speed, to;
    bool stopped;
  } moves[] = {
      {0, 1, 1, false},  {1, 1, 2, false}, {2, 1, 2, true},  {2, 0, 2, false},
      {1, -1, 0, false}, {0, -1, 0, true}, {1, -5, 0, true}, {0, 50, 2, true},
  };
  for (const auto& m : moves) {
    bool stopped = false;
    EXPECT_EQ(r.Advance(m.from, m.speed, stopped), m.to) << m.from << " " << m.speed;
    EXPECT_EQ(stopped, m.stopped) << m.from << " " << m.speed;
  }
}

// Every sound event of the driver, what the screen plays for it and in which
// order, and which sounds hold the match until they end.
TEST(WatchedStep, EachSoundEventCuesItsSoundsAndWhatWaits) {
  struct Case {
    int32_t event;
    std::vector<std::pair<int32_t, bool>> cues;  // sound, waits
  };
  const Case cases[] = {
      {0, {{0, true}}},                           // kick-off whistle
      {kSoundHalfTime, {{1, true}, {0, false}}},  // half-time whistle, then the crowd
      {kSoundPost, {{3, false}}},                 // off the woodwork
      {kSoundGoalTeam0, {{4, true}, {5, true}}},  // the home side's goal: two sounds
      {kSoundGoalTeam1, {{4, true}}},             // the visitors' goal: one
      {kSoundSave, {{6, false}}},                 // the keeper's save
      {kSoundNone, {}},
      {2, {}},  // the final whistle is the step's own, not an event's
  };
  for (const Case& c : cases) {
    TmWatchedStep step;
    AddSoundCues(c.event, step);
    ASSERT_EQ(step.CueCount, static_cast<int>(c.cues.size())) << "event " << c.event;
    for (std::size_t i = 0; i < c.cues.size(); ++i) {
      EXPECT_EQ(step.Cues[i].Sound, c.cues[i].first) << "event " << c.event << " cue " << i;
      EXPECT_EQ(step.Cues[i].Wait, c.cues[i].second) << "event " << c.event << " cue " << i;
    }
  }
}

// The watched step: substitutions only for the sides the computer runs, at
// 1800 and every 300 steps after; one frame per step whose score is the
// driver's; kick-off and final whistle cued; the same seed, the same match.
TEST(WatchedStep, SubstitutesRecordsAndCuesAsTheScreenDoes) {
  auto play = [](uint64_t seed, TmVTR& rec, std::vector<int32_t>& subTicks, std::vector<int32_t>& cueTicks) {
    RandSeed(seed);
    Tmmain m;
    TStream s0 = WriteLineupStream(MakeLineup(1, 60, 3));
    TStream s1 = WriteLineupStream(MakeLineup(2, 62, 4));
    m.Load(s0, s1, true);
    Tmlive live;
    TmWatchSetup setup;
    setup.AutoSubs = {true, false};
    setup.Live = &live;
    setup.Recorder = &rec;
    int32_t subs = 0;
    while (true) {
      TmWatchedStep st = WatchedStep(m, setup);
      if (m.MatchTeam(0).SubsMade != subs) {
        subs = m.MatchTeam(0).SubsMade;
        subTicks.push_back(m.Tick);
      }
      for (int c = 0; c < st.CueCount; ++c)
        if (st.Cues[c].Sound == 0 || st.Cues[c].Sound == 2) cueTicks.push_back(m.Tick * 10 + st.Cues[c].Sound);
      EXPECT_EQ(m.LiveEvent[0], -1);
      EXPECT_EQ(m.SoundEvent, kSoundNone);
      if (st.Finished) break;
    }
    EXPECT_EQ(m.MatchTeam(1).SubsMade, 0);
    EXPECT_EQ(rec.Frames.back(), m.Snapshot());
    EXPECT_FALSE(WatchedStep(m, setup).CueCount);  // nothing after the end
    EXPECT_EQ(m.Tick, kMatchTicks);
  };
  TmVTR a, b;
  std::vector<int32_t> subsA, subsB, cuesA, cuesB;
  play(5, a, subsA, cuesA);
  play(5, b, subsB, cuesB);
  EXPECT_EQ(a.FrameCount(), kMatchTicks);
  EXPECT_EQ(a.Frames, b.Frames);
  EXPECT_EQ(subsA, subsB);
  EXPECT_FALSE(subsA.empty());
  for (int32_t t : subsA) EXPECT_TRUE(IsWatchedSubsTick(t)) << t;
  // Kick-off after the first step, half-time's restart, the final whistle.
  EXPECT_EQ(cuesA, (std::vector<int32_t>{10, 27000, 54002}));
  EXPECT_FALSE(IsWatchedSubsTick(1500));
  EXPECT_FALSE(IsWatchedSubsTick(1801));
  EXPECT_TRUE(IsWatchedSubsTick(1800));
  EXPECT_TRUE(IsWatchedSubsTick(5400));
}

// Clips: the span around a goal or a moment stops at the recording's ends,
// the pictures follow the replay's pace, names are never reused.
TEST_F(Vtr, ClipsSpanTheirMomentAtTheReplaysPace) {
  TmVTR r;
  for (int k = 0; k < 1000; ++k) r.AddFrame(Frame(1, (k >= 100) + (k >= 500), k >= 990));
  r.Sides = OddSides();
  const TVtrClip early = GoalClip(r, 0), late = GoalClip(r, 2);
  EXPECT_EQ(early.Centre, 100);
  EXPECT_EQ(early.From, 0);
  EXPECT_EQ(early.To, 100 + 3000 / 17);
  EXPECT_EQ(late.Centre, 990);
  EXPECT_EQ(late.From, 990 - 8000 / 17);
  EXPECT_EQ(late.To, 999);
  EXPECT_EQ(MomentClip(r, 5000).Centre, 999);
  const std::vector<int32_t> p = late.Pictures();
  EXPECT_EQ(p.front(), late.From);
  EXPECT_LE(p.back(), late.To);
  // Picture i at i x 40 ms: 0, 2, 5, 7, 9, 12 ... frames on.
  EXPECT_EQ(
      std::vector<int32_t>(p.begin(), p.begin() + 6),
      (std::vector<int32_t>{late.From, late.From + 2, late.From + 5, late.From + 7, late.From + 9, late.From + 12}));
  EXPECT_THROW(GoalClip(r, 3), VantorelError);
  EXPECT_THROW(GoalClip(r, -1), VantorelError);
  EXPECT_EQ(ClipPath("x", early, "gif"), "data/clips/x-goal1.gif");
  EnsureDirectory("data/clips");
  WriteFileAtomic("data/clips/x-goal1.gif", {1});
  WriteFileAtomic("data/clips/x-goal1-2.gif", {1});
  EXPECT_EQ(ClipPath("x", early, "gif"), "data/clips/x-goal1-3.gif");
  EXPECT_EQ(ClipPath("x", MomentClip(r, 754), "webp"), "data/clips/x-1234.webp");
}
