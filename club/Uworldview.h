// What the clubs and their players need from the world around them, handed
// to them rather than looked up: the season's year and week, the division
// and reputation of a club, the clubs of a division (TworldView), and the
// market that takes the players a club lets go or puts up for sale
// (TplayerMarket). The game state is the world view and its transfer market
// the player market. Nothing in the club layer reaches for a process-wide
// game, so clubs of different games can be run side by side.
#pragma once

#include <cstdint>

#include "club/Ustream.h"

class Tplayer;

// Read-only: a club rule asks, the world answers.
class TworldView {
 public:
  virtual ~TworldView() = default;
  // The season counter (1 for the first season).
  virtual int32_t CurrentYear() const = 0;
  // The week of the season's calendar (1 .. 52; 0 while the season turns).
  virtual int32_t CurrentWeek() const = 0;
  // 1 .. 3, the division holding the club; 0 if none.
  virtual int32_t DivisionOf(int32_t club) const = 0;
  virtual int32_t ReputationOf(int32_t club) const = 0;
  // Club index at position 0 .. 7 of division 1 .. 3.
  virtual int32_t TeamAt(int32_t division, int32_t position) const = 0;
};

// The world of a club that belongs to no game (tools, tests, and the
// placeholder players a record is read into): the first season, week 0, no
// divisions, and a new game's reputations 3, 6, ..., 72.
class TnoWorld final : public TworldView {
 public:
  int32_t CurrentYear() const override { return 1; }
  int32_t CurrentWeek() const override { return 0; }
  int32_t DivisionOf(int32_t) const override { return 0; }
  int32_t ReputationOf(int32_t club) const override { return 3 * (club + 1); }
  int32_t TeamAt(int32_t, int32_t) const override { throw VantorelError("no divisions outside a game"); }
};

// The one no-game world (it holds nothing, so sharing it is safe).
inline const TworldView& NoWorld() {
  static const TnoWorld world;
  return world;
}

// Where a club sends the players who leave it for the free-agent pool and
// the players it puts on the transfer list. A club rule hands each player
// over at the moment he goes, so whatever the market draws from the random
// generator comes in the order of the rule. A club given no market lets
// such players simply leave.
class TplayerMarket {
 public:
  virtual ~TplayerMarket() = default;
  // A copy of the player joins the free agents and is listed; the caller
  // removes the original. Returns the copy's number among the free agents.
  virtual int32_t AddFreeAgent(const Tplayer& player) = 0;
  // Puts the seller's player (his number in the seller's squad) on the list.
  virtual void List(int32_t seller, int32_t number, const Tplayer& player) = 0;
};
