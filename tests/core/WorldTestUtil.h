// A small world for tests of the season rules: a game state made the
// process-wide one, with either the real start data or 24 empty clubs.
#pragma once

#include <memory>
#include <string>

#include "TestData.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"

class TestWorld {
 public:
  // newGame: build the clubs from data/first.dat; else 24 empty clubs named
  // "クラブ0" .. "クラブ23" with no money.
  TestWorld(bool newGame, uint64_t seed) {
    RandSeed(seed);
    game = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
    GameState = game.get();
    if (newGame) {
      game->NewGameFrom("data/first.dat", false);
    } else {
      for (int i = 0; i < kClubCount; ++i) {
        game->Teams[i] = std::make_unique<Tteam>(i);
        game->Teams[i]->ClubName = "クラブ" + std::to_string(i);
      }
    }
  }
  ~TestWorld() {
    game.reset();
    GameState = nullptr;
  }
  TestWorld(const TestWorld&) = delete;
  TestWorld& operator=(const TestWorld&) = delete;

  Tgamemain& operator*() { return *game; }
  Tgamemain* operator->() { return game.get(); }

  ScopedDataDir dir;
  std::unique_ptr<Tgamemain> game;
};
