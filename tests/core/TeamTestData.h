// Test helpers for the club units: a temporary data directory with name
// lists and formation presets whose coordinates say which file, row and pair
// they came from, and small player builders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "TestData.h"
#include "club/Uintlist.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteametc.h"

// Preset coordinates: X = 1000 + 1000 * file + 100 * row + pair,
// Y = 1000 + 100 * row + 10 * pair.
inline TPoint PresetPoint(int file, int row, int pair) {
  return TPoint{1000 + 1000 * file + 100 * row + pair, 1000 + 100 * row + 10 * pair};
}

inline void WriteBytesFile(const std::string& path, const std::vector<uint8_t>& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline void WritePresets(int rowsPerFile = 7, int pairsPerRow = 6) {
  std::filesystem::create_directories("data/aiforma");
  for (int n = 0; n < 4; ++n) {
    TIntgrid t;
    for (int r = 0; r < rowsPerFile; ++r) {
      std::vector<int32_t> row;
      for (int i = 0; i < pairsPerRow; ++i) {
        TPoint p = PresetPoint(n, r, i);
        row.push_back(p.X);
        row.push_back(p.Y);
      }
      t.AddRow(row);
    }
    TStream s;
    t.SaveToStream(s);
    WriteBytesFile("data/aiforma/" + std::to_string(n) + ".dat", s.Bytes());
  }
  Tformation::ClearPresetCache();
}

// Plain ASCII name lists (valid cp932): list 0 with 250 family and 251 given
// names, the others with 150 names.
inline void WriteNameLists() {
  std::filesystem::create_directories("data/name");
  for (int n = 0; n < 10; ++n) {
    std::ofstream out("data/name/" + std::to_string(n) + ".txt", std::ios::binary | std::ios::trunc);
    int lines = n == 0 ? 501 : 150;
    for (int i = 0; i < lines; ++i) out << "N" << n << "x" << i << "\r\n";
  }
  ClearNameListCache();
}

// A working directory with our own presets and name lists; caches cleared
// on entry and exit so other tests see their own files.
class ClubDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::make_unique<ScopedDataDir>();
    WriteNameLists();
    WritePresets();
    RandSeed(12345);
  }
  void TearDown() override {
    dir_.reset();
    ClearNameListCache();
    Tformation::ClearPresetCache();
  }
  std::unique_ptr<ScopedDataDir> dir_;
};

// A player with every ability `a`, the given position code and age; peak age
// 25 unless given.
inline std::unique_ptr<Tplayer> MakePlayer(int32_t mtype, int32_t a, int32_t age, int32_t club, int32_t peak = 25) {
  auto p = std::make_unique<Tplayer>(9, 0, 10, club, NoWorld());
  p->Mtype = mtype;
  for (int i = 0; i < 6; ++i) p->Ability(i) = a;
  p->Age = age;
  p->PeakAge = peak;
  p->BaseValue = 100;
  p->InjuryWeeks = 0;
  p->Fatigue = 30;
  p->Condition = 0;
  p->SetAffinity(club, 50);
  return p;
}
