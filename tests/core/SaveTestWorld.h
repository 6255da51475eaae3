// Test helper for the save, VS and conversion tests: a seeded new game
// published as GameState, and writers of the older file layouts (the game
// itself only reads those) so that old images can be built by hand.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "club/Ufunction.h"
#include "club/Uintlist.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Utrade.h"

// A new game as START makes it (new world and market), seeded, and the
// global GameState pointing at it for as long as it lives.
class TestGame {
 public:
  explicit TestGame(uint64_t seed = 1) : game_(std::make_unique<Tgamemain>(Tgamemain::TNoSeed{})) {
    prev_ = GameState;
    GameState = game_.get();
    RandSeed(seed);
    game_->NewGameFrom("data/first.dat", false);
    game_->Market = std::make_unique<Ttrade>();
  }
  ~TestGame() { GameState = prev_; }
  Tgamemain& operator*() { return *game_; }
  Tgamemain* operator->() { return game_.get(); }
  Tgamemain& Get() { return *game_; }

  // Leagues and cup as week 11 creates them, without playing anything.
  void AddCompetitions() {
    for (int d = 0; d < kDivisionCount; ++d) {
      std::array<int32_t, 8> clubs{};
      for (int p = 0; p < 8; ++p) clubs[p] = game_->Divisions[d][p];
      game_->Leagues[d] = std::make_unique<Tleague>(clubs);
    }
    game_->Cup = std::make_unique<Tcup>();
  }

  // A few free agents and listings so that the market record is not empty.
  void FillMarket() {
    Ttrade& m = *game_->Market;
    for (int c = 1; c <= 3; ++c) {
      const Tplayer* p = game_->Teams[c]->Squad->PlayerAt(0);
      m.AddFreeAgent(*p);
      int32_t n = game_->Teams[c]->Squad->NumberAt(1);
      m.List(c, n, *game_->Teams[c]->Squad->PlayerByNumber(n));
    }
  }

 private:
  std::unique_ptr<Tgamemain> game_;
  Tgamemain* prev_ = nullptr;
};

inline int32_t LeInt(const std::vector<uint8_t>& b, std::size_t at) {
  uint32_t u = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
  return static_cast<int32_t>(u);
}

// ---- old forms: players ------------------------------------------------------

inline std::vector<uint8_t> FullPlayer(const Tplayer& p) {
  TStream s;
  p.SaveToStream(s);
  return s.TakeBytes();
}

// The record without rating sum: the 4 bytes after the fixed fields up to
// the attachment and foot are left out.
inline std::vector<uint8_t> ShortPlayer(const Tplayer& p) {
  std::vector<uint8_t> full = FullPlayer(p);
  std::size_t at = 4 + static_cast<std::size_t>(LeInt(full, 0)) + 281;
  full.erase(full.begin() + static_cast<std::ptrdiff_t>(at), full.begin() + static_cast<std::ptrdiff_t>(at + 4));
  return full;
}

inline void WriteShortList(TStream& s, const Tplayerlist& list) {
  s.WriteInt32(list.Count());
  for (int i = 0; i < list.Count(); ++i) {
    s.WriteInt32(list.NumberAt(i));
    s.WriteBytes(ShortPlayer(*list.PlayerAt(i)));
  }
}

// ---- old forms: clubs ---------------------------------------------------------

inline void WriteClubHead(TStream& s, const Tteam& t) {
  s.WriteBytes(t.Emblem);
  WriteString(s, t.ClubName);
  s.WriteInt32(t.Money);
  s.WriteInt32(t.YouthNationality);
  s.WriteInt32(t.YouthPosition);
}

inline void WriteClubLineup(TStream& s, const Tteam& t) {
  for (int32_t v : t.RoleRatings) s.WriteInt32(v);
  for (int32_t v : t.Slots) s.WriteInt32(v);
  for (const TPoint& p : t.Positions) {
    s.WriteInt32(p.X);
    s.WriteInt32(p.Y);
  }
}

inline std::vector<uint8_t> CoachRecord(const Tteam& t) {
  TStream s;
  t.Coaches->SaveToStream(s);
  return s.TakeBytes();
}

// The "11" club form: the current record with both lists in the short form.
inline void WriteClubV11(TStream& s, const Tteam& t) {
  WriteClubHead(s, t);
  s.WriteBytes(CoachRecord(t));
  WriteClubLineup(s, t);
  WriteShortList(s, *t.Squad);
  WriteShortList(s, *t.Youth);
}

// The exchange form of "06": the weights first in a 34-byte block, then the
// three coach slots; the squad's numbers as a table, then the players.
inline void WriteClubV6(TStream& s, const Tteam& t) {
  WriteClubHead(s, t);
  std::vector<uint8_t> coaches = CoachRecord(t);  // 3 x 34 slot bytes, 24 weight bytes
  s.WriteBytes(coaches.data() + 102, 24);
  const uint8_t pad[10] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
  s.WriteBytes(pad, 10);
  s.WriteBytes(coaches.data(), 102);
  WriteClubLineup(s, t);
  TIntgrid numbers;
  for (int i = 0; i < t.Squad->Count(); ++i) numbers.AddRow({t.Squad->NumberAt(i)});
  numbers.SaveToStream(s);
  for (int i = 0; i < t.Squad->Count(); ++i) s.WriteBytes(FullPlayer(*t.Squad->PlayerAt(i)));
  s.WriteInt32(t.Youth->Count());
  for (int i = 0; i < t.Youth->Count(); ++i) s.WriteBytes(FullPlayer(*t.Youth->PlayerAt(i)));
}

// ---- old forms: market ----------------------------------------------------------

inline void WriteMarketTail(TStream& s, const Ttrade& m) {
  s.WriteInt32(static_cast<int32_t>(m.Negotiations.size()));
  for (const TIntgrid& n : m.Negotiations) n.SaveToStream(s);
  s.WriteInt32(static_cast<int32_t>(m.Report.size()));
  for (const std::string& line : m.Report) WriteString(s, line);
}

inline void WriteMarketV11(TStream& s, const Ttrade& m) {
  m.Listings.SaveToStream(s);
  WriteShortList(s, *m.FreeAgents);
  WriteMarketTail(s, m);
}

inline void WriteMarketV6(TStream& s, const Ttrade& m) {
  m.Listings.SaveToStream(s);
  TIntgrid numbers;
  for (int i = 0; i < m.FreeAgents->Count(); ++i) numbers.AddRow({m.FreeAgents->NumberAt(i)});
  numbers.SaveToStream(s);
  for (int i = 0; i < m.FreeAgents->Count(); ++i) s.WriteBytes(FullPlayer(*m.FreeAgents->PlayerAt(i)));
  WriteMarketTail(s, m);
}

// ---- old forms: whole saves ------------------------------------------------------

inline void WriteGameHead(TStream& s, const Tgamemain& g) {
  s.WriteInt32(g.Year);
  s.WriteInt32(g.Week);
  s.WriteInt32(g.NextHome);
  s.WriteInt32(g.NextAway);
  for (const auto& div : g.Divisions)
    for (int32_t c : div) s.WriteInt32(c);
}

inline void WriteCompetitions(TStream& s, const Tgamemain& g, bool v6, bool withCupByte) {
  s.WriteBool(g.Leagues[0] != nullptr);
  if (g.Leagues[0])
    for (const auto& l : g.Leagues) l->SaveToStream(s);
  s.WriteBool(g.Market != nullptr);
  if (g.Market) {
    if (v6)
      WriteMarketV6(s, *g.Market);
    else
      WriteMarketV11(s, *g.Market);
  }
  if (!withCupByte) return;
  s.WriteBool(g.Cup != nullptr);
  if (g.Cup) g.Cup->SaveToStream(s);
}

inline std::vector<uint8_t> SaveImageV11(const Tgamemain& g) {
  TStream s;
  WriteString(s, "11");
  WriteGameHead(s, g);
  for (int32_t r : g.Reputation) s.WriteInt32(r);
  g.SeasonHistory.SaveToStream(s);
  for (const auto& t : g.Teams) WriteClubV11(s, *t);
  WriteCompetitions(s, g, false, true);
  return s.TakeBytes();
}

// "06" (withVersion) or the layout before versions: no version string and
// no cup byte at the end (such files come from before the cup existed, so
// the game must have no cup).
inline std::vector<uint8_t> SaveImageV6(const Tgamemain& g, bool withVersion) {
  TStream s;
  if (withVersion) WriteString(s, "06");
  WriteGameHead(s, g);
  s.WriteInt32(g.Reputation[0]);
  for (const auto& t : g.Teams) WriteClubV6(s, *t);
  WriteCompetitions(s, g, true, withVersion);
  return s.TakeBytes();
}
