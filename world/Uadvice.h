// The assistant: which eleven, in which shape, gives the user's club its
// best chance in its next match. A handful of candidate line-ups are each
// rehearsed the same number of times with the same seeds (run i of every
// candidate draws the same numbers), so the differences between them come
// from the line-ups, not from the draws. Like the outlook it never touches
// the game: the candidates are made and played on a copy of the world read
// from the game's bytes, in worker threads with their own generators, and
// any number of threads gives the same bytes. A candidate is kept as the
// steps a user would take on the tactics screen, so applying it to the club
// gives exactly what those steps give. Errors: VantorelError when there is
// no next fixture or no candidate has a full eleven; TOutlookCancelled when
// cancelled.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "world/Uoutlook.h"

enum class TAdviceKind : int32_t {
  Current = 0,  // the line-up as saved
  Auto = 1,     // "自動選抜", injured players left out
  Preset = 2,   // the automatic choice in a shipped position file's shape
  Change = 3,   // the current line-up with one starter replaced
};

struct TAdviceCandidate {
  TAdviceKind Kind = TAdviceKind::Current;
  std::string Name;  // as the assistant shows it: "現在のスタメン", "自動選抜", "4-4-2", "交代 7 → 15"
  // How it is made on the tactics screen: for Preset the places of the
  // position file; for Change the player who comes in and the slot he takes.
  std::array<TPoint, 11> PresetPlaces{};  // pixels of the tactics screen's half pitch
  int32_t InNumber = -1;
  int32_t OutSlot = -1;
  // The line-up it gives: numbers of slots 0 .. 15 (-1 empty).
  std::array<int32_t, kSlotCount> Slots{};

  // The odds from the user's side, with the 95 % Wilson ± of each share.
  double Win = 0, Draw = 0, Loss = 0;
  double WinMargin = 0, DrawMargin = 0, LossMargin = 0;
  double GoalsFor = 0, GoalsAgainst = 0;  // means
  double Points = 0;                      // mean points a match: 3 a win, 1 a draw
  // Against the reference (the current line-up, or the automatic choice
  // when the current eleven is incomplete), run by run: the mean
  // difference in points, its 95 % margin, and whether the difference is
  // larger than that noise.
  double PointsDiff = 0;
  double PointsDiffMargin = 0;
  bool Significant = false;
};

struct TAdvice {
  TFixture Fixture;
  int Runs = 0;
  uint64_t Seed = 0;
  // Best first: the most points a match; equal ones in the order they were
  // made (current, automatic, presets, changes).
  std::vector<TAdviceCandidate> Candidates;
  int Reference = 0;  // index in Candidates of the line-up the differences are taken against
};

struct TAdviceOptions {
  int Runs = 500;   // rehearsals per candidate, 1 .. 100000
  int Threads = 0;  // 0: one per core
  uint64_t Seed = 0;
};

// The advice for the user's next fixture (NextUserFixture). control->Done
// counts the rehearsals finished over all candidates, control->Total is set
// to their number once the candidates are made.
TAdvice AdviseNextMatch(const Tgamemain& game, const TAdviceOptions& options, TOutlookControl* control = nullptr);
TAdvice AdviseNextMatchOfBody(const std::vector<uint8_t>& body, const TAdviceOptions& options,
                              TOutlookControl* control = nullptr);
// Plays candidates made by an advice for this game again with other
// options (the honesty check: the advised and the current line-up with
// fresh seeds); their odds are filled in anew, differences taken against
// the first. VantorelError when one can no longer be made.
std::vector<TAdviceCandidate> ReplayCandidates(const Tgamemain& game, std::vector<TAdviceCandidate> candidates,
                                               const TAdviceOptions& options, TOutlookControl* control = nullptr);

// Gives the club the candidate's line-up by the tactics screen's steps:
// "自動選抜" for the automatic ones, the position file's places for a
// preset, the player put into the slot for a change, then "OK". False (the
// club unchanged) when the line-up can no longer be made — a player in it
// has left or is injured.
bool ApplyAdvice(Tteam& club, const TworldView& world, const TAdviceCandidate& candidate);
