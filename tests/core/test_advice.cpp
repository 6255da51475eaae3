// The assistant compares line-ups for the next match on common seeds: an
// identical line-up must get identical odds, nothing unplayable may be
// advised, the game stays as it was, and applying a candidate must give
// the club exactly what the tactics screen's steps give.
#include <gtest/gtest.h>

#include <filesystem>

#include "WorldTestUtil.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "world/Uadvice.h"
#include "world/Uautopilot.h"
#include "world/Utactics.h"
#include "world/Utrade.h"

namespace {

// The shipped formations beside the test's data.
void CopyFormations() {
  std::filesystem::copy(std::filesystem::path(VANTOREL_SOURCE_DIR) / "data" / "formation", "data/formation",
                        std::filesystem::copy_options::recursive);
}

void PlayUntilWeek(Tgamemain& g, int32_t week) {
  while (g.Week != week) PlayAutopilotWeek(g);
}

std::vector<uint8_t> ClubBytes(const Tteam& club) {
  TStream s;
  club.SaveToStream(s);
  return s.TakeBytes();
}

const TAdviceCandidate* Find(const TAdvice& a, TAdviceKind kind) {
  for (const TAdviceCandidate& c : a.Candidates)
    if (c.Kind == kind) return &c;
  return nullptr;
}

std::unique_ptr<Tgamemain> CopyOf(const Tgamemain& g) {
  auto copy = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  TStream s(g.SaveBody());
  copy->LoadFromStream(s, true);
  return copy;
}

TEST(Advice, CommonSeedsSameLineupSameOddsAndTheGameUntouched) {
  TestWorld w(true, 21);
  CopyFormations();
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 22);
  // The current line-up is the automatic choice made on the tactics screen.
  Tteam& user = w->Team(kUserClub);
  user.AutoLineup(true);
  Ttacticsboard board;
  board.Open(user, *w, kUserClub);
  ASSERT_TRUE(board.ApplyLineUp(user));

  const std::vector<uint8_t> before = w->SaveBody();
  const RandomState draws = GetRandomState();
  TOutlookControl control;
  const TAdvice one = AdviseNextMatch(*w, {20, 1, 5}, &control);
  const TAdvice two = AdviseNextMatch(*w, {20, 2, 5});
  EXPECT_EQ(w->SaveBody(), before);
  const RandomState now = GetRandomState();
  EXPECT_TRUE(now.state == draws.state && now.inc == draws.inc);
  EXPECT_EQ(control.Done.load(), control.Total.load());
  EXPECT_EQ(control.Total.load(), 20 * static_cast<int>(one.Candidates.size()));

  ASSERT_EQ(one.Candidates.size(), two.Candidates.size());
  for (std::size_t i = 0; i < one.Candidates.size(); ++i) {
    const TAdviceCandidate &a = one.Candidates[i], &b = two.Candidates[i];
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Slots, b.Slots);
    EXPECT_EQ(a.Points, b.Points);
    EXPECT_EQ(a.PointsDiffMargin, b.PointsDiffMargin);
    EXPECT_NEAR(a.Win + a.Draw + a.Loss, 1.0, 1e-12);
    if (i > 0) {
      EXPECT_GE(one.Candidates[i - 1].Points, a.Points);  // best first
    }
  }
  const TAdviceCandidate* current = Find(one, TAdviceKind::Current);
  const TAdviceCandidate* automatic = Find(one, TAdviceKind::Auto);
  ASSERT_TRUE(current && automatic);
  EXPECT_EQ(one.Candidates[static_cast<std::size_t>(one.Reference)].Kind, TAdviceKind::Current);
  EXPECT_EQ(automatic->Slots, current->Slots);
  EXPECT_EQ(automatic->Win, current->Win);
  EXPECT_EQ(automatic->Loss, current->Loss);
  EXPECT_EQ(automatic->PointsDiff, 0.0);
  EXPECT_FALSE(automatic->Significant);
  int presets = 0;
  for (const TAdviceCandidate& c : one.Candidates) presets += c.Kind == TAdviceKind::Preset;
  EXPECT_EQ(presets, 7);  // the shipped formations
}

// No keeper in the current eleven (an empty goal), an injured starter and an injured
// reserve: nothing advised lacks a keeper or fields an injured player.
TEST(Advice, NeverAdvisesAnEmptyGoalOrAnInjuredPlayer) {
  TestWorld w(true, 22);
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 13);
  Tteam& user = w->Team(kUserClub);
  user.AutoLineup(true);
  user.SetSlotNumber(0, -1);
  Tplayer* starter = user.Squad->PlayerByNumber(user.Slots[5]);
  ASSERT_NE(starter, nullptr);
  starter->InjuryWeeks = 3;
  for (int i = 0; i < user.Squad->Count(); ++i)
    if (user.FindSlot(user.Squad->NumberAt(i)) < 0) {
      user.Squad->PlayerAt(i)->InjuryWeeks = 2;
      break;
    }
  const TAdvice a = AdviseNextMatch(*w, {10, 2, 3});
  EXPECT_EQ(Find(a, TAdviceKind::Current), nullptr);
  EXPECT_EQ(a.Candidates[static_cast<std::size_t>(a.Reference)].Kind, TAdviceKind::Auto);
  for (const TAdviceCandidate& c : a.Candidates) {
    for (int slot = 0; slot < kStarterCount; ++slot) {
      const Tplayer* p = user.Squad->PlayerByNumber(c.Slots[static_cast<std::size_t>(slot)]);
      ASSERT_NE(p, nullptr) << c.Name << " slot " << slot;
      EXPECT_FALSE(p->IsInjured()) << c.Name << " slot " << slot;
    }
  }
}

// Applying a preset or a change gives the club the bytes the tactics
// screen's own steps give: 自動選抜, LOAD, OK; or a player put into a slot, OK.
TEST(Advice, ApplyingACandidateIsTheTacticsScreensSteps) {
  TestWorld w(true, 23);
  CopyFormations();
  w->Market = std::make_unique<Ttrade>();
  PlayUntilWeek(*w, 24);
  w->Team(kUserClub).AutoLineup(true);
  const TAdvice a = AdviseNextMatch(*w, {4, 2, 1});
  const TAdviceCandidate* preset = nullptr;
  for (const TAdviceCandidate& c : a.Candidates)
    if (c.Kind == TAdviceKind::Preset && c.Name == "3-5-2") preset = &c;
  ASSERT_NE(preset, nullptr);

  std::unique_ptr<Tgamemain> byHand = CopyOf(*w);
  {
    TScopedGameState scope(byHand.get());
    Tteam& club = byHand->Team(kUserClub);
    club.AutoLineup(true);
    Ttacticsboard board;
    board.Open(club, *byHand, kUserClub);
    LoadPositionFile((std::filesystem::path(ShippedPositionFileDir()) / "3-5-2.dat").string(), board.Positions);
    ASSERT_TRUE(board.ApplyLineUp(club));
  }
  std::unique_ptr<Tgamemain> advised = CopyOf(*w);
  ASSERT_TRUE(ApplyAdvice(advised->Team(kUserClub), *advised, *preset));
  EXPECT_EQ(ClubBytes(advised->Team(kUserClub)), ClubBytes(byHand->Team(kUserClub)));
  EXPECT_EQ(advised->Team(kUserClub).Slots, preset->Slots);

  if (const TAdviceCandidate* change = Find(a, TAdviceKind::Change)) {
    std::unique_ptr<Tgamemain> handChange = CopyOf(*w);
    Tteam& club = handChange->Team(kUserClub);
    Ttacticsboard board;
    board.Open(club, *handChange, kUserClub);
    ASSERT_TRUE(board.AssignPlayer(board.SquadRowOfNumber(change->InNumber), change->OutSlot));
    ASSERT_TRUE(board.ApplyLineUp(club));
    std::unique_ptr<Tgamemain> advisedChange = CopyOf(*w);
    ASSERT_TRUE(ApplyAdvice(advisedChange->Team(kUserClub), *advisedChange, *change));
    EXPECT_EQ(ClubBytes(advisedChange->Team(kUserClub)), ClubBytes(club));
    EXPECT_GE(club.FindSlot(change->InNumber), 0);
  }
  // A candidate made for another state of the club is refused whole.
  Tteam& user = w->Team(kUserClub);
  const std::vector<uint8_t> before = ClubBytes(user);
  TAdviceCandidate stale = *preset;
  stale.Slots[3] = 999;
  EXPECT_FALSE(ApplyAdvice(user, *w, stale));
  EXPECT_EQ(ClubBytes(user), before);
}

}  // namespace
