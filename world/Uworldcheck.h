// The invariants of a whole world: every club (club/Uinvariants.h) and what
// only the world knows — reputations, the divisions, the leagues' tables,
// the cup's entrants, and which of market, leagues and cup the week has.
// Loading a save checks these before the loaded world replaces the running
// one; `vantorel-sim check` reports them; the long-run test asks them after
// every season.
#pragma once

#include "club/Uinvariants.h"

class Tgamemain;

// Every violation of the world, clubs first (in index order), then the
// market's free agents, then the world's own rules. The user's club may
// have an incomplete starting eleven (the club screen asks him to fill it
// before the next match); every computer club's is complete.
TViolations CheckWorld(const Tgamemain& game);
