// Test world for the market, the season events and the user's off-season
// operations: a game state with 24 empty clubs ("C0" .. "C23") in a
// temporary working directory with plain name lists, and player builders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "TestData.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

class MarketWorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<ScopedDataDir>();
    std::filesystem::create_directories("data/name");
    for (int n = 0; n < 10; ++n) {
      std::ofstream out("data/name/" + std::to_string(n) + ".txt", std::ios::binary | std::ios::trunc);
      int lines = n == 0 ? 501 : 150;
      for (int i = 0; i < lines; ++i) out << (n == 0 && i < 250 ? "Fam" : "Nm") << n << "x" << i << "\r\n";
    }
    ClearNameListCache();
    game_ = std::make_unique<Tgamemain>();
    for (int i = 0; i < kClubCount; ++i) {
      game_->Teams[static_cast<std::size_t>(i)] = std::make_unique<Tteam>(i);
      game_->Teams[static_cast<std::size_t>(i)]->ClubName = "C" + std::to_string(i);
      game_->Teams[static_cast<std::size_t>(i)]->Money = 10000;
    }
    game_->Market = std::make_unique<Ttrade>();
    GameState = game_.get();
    RandSeed(2026);
  }
  void TearDown() override {
    GameState = nullptr;
    game_.reset();
    dir_.reset();
    ClearNameListCache();
  }

  Tteam& Club(int i) { return *game_->Teams[static_cast<std::size_t>(i)]; }
  Ttrade& Market() { return *game_->Market; }

  // A fit outfield player of the club under `number`, every ability `ability`,
  // in growth phase 1 (young), attachment 50 to every club.
  Tplayer& AddPlayer(int club, int32_t number, int32_t ability = 40, int32_t mtype = 10) {
    auto p = std::make_unique<Tplayer>(9, 0, 20, club, *game_);
    for (int i = 0; i < 6; ++i) p->Ability(i) = ability;
    p->Mtype = mtype;
    p->Age = 20;
    p->PeakAge = 28;
    p->BaseValue = 500;
    p->InjuryWeeks = 0;
    p->Affinity.fill(50);
    Tplayer* raw = p.get();
    Club(club).Squad->Add(std::move(p), number);
    return *raw;
  }

  std::unique_ptr<ScopedDataDir> dir_;
  std::unique_ptr<Tgamemain> game_;
};
