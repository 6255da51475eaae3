// The invariants of a whole world: every club (club/Uinvariants.h) and what
// only the world knows — reputations, the divisions, the leagues' tables,
// the cup's entrants, and which of market, leagues and cup the week has.
// Loading a save checks these before the loaded world replaces the running
// one; `vantorel-sim check` reports them; the long-run test asks them after
// every season.
#pragma once

#include "club/Uinvariants.h"

class Tgamemain;

// The world's own tolerated values (see club/Uinvariants.h for the clubs').
// League table figures (28 matches a season; a round adds a few goals).
inline constexpr TTolerance kTolLeagueFigure{"順位表の数値", -100000, 100000};
// The market's asking prices and bids (a player's wage plus value, a few
// thousand in play); a bid is tripled by a seller holding out and doubled
// by the user's answer.
inline constexpr TTolerance kTolMarketAmount{"移籍金額", 0, 100000000};
// Also tolerated without a range: the user's season history (shown only)
// and the year, which the reader keeps within 1 .. 1000000 (youth numbers
// are year x 100).
//
// Tolerated by the week: the cup may be missing in weeks 12 .. 52. A save
// converted from the layout before the cup existed has none; its season is
// played without cup rounds, and the next season end sets one up.

// Every violation of the world, clubs first (in index order), then the
// market's free agents, then the world's own rules. The user's club may
// have an incomplete starting eleven (the club screen asks him to fill it
// before the next match); every computer club's is complete.
TViolations CheckWorld(const Tgamemain& game);
