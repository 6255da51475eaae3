// Shared by the player tests: a temporary data directory with small name
// lists of our own (so the tests do not depend on the shipped lists), and
// helpers to build expected byte images by hand. Players here belong to no
// game unless a test hands them a world view.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "club/Ucp932.h"
#include "club/Uplayer.h"
#include "club/Urandom.h"
#include "tests/core/TestData.h"

// Family names "姓000" .. "姓249", given names "名000" .. "名250"; the other
// lists hold `foreignCount` katakana names "ナマエ0" ...
inline void WriteTestNameLists(int foreignCount = 5) {
  std::filesystem::create_directories("data/name");
  auto num = [](int i, int width) {
    std::string s = std::to_string(i);
    while (static_cast<int>(s.size()) < width) s = "0" + s;
    return s;
  };
  {
    std::ofstream f("data/name/0.txt", std::ios::binary);
    for (int i = 0; i < 250; ++i) f << Utf8ToCp932("姓" + num(i, 3)) << "\r\n";
    for (int i = 0; i < 251; ++i) f << Utf8ToCp932("名" + num(i, 3)) << "\r\n";
  }
  for (int n = 1; n <= 9; ++n) {
    std::ofstream f("data/name/" + std::to_string(n) + ".txt", std::ios::binary);
    for (int i = 0; i < foreignCount; ++i) f << Utf8ToCp932("ナマエ" + std::to_string(i)) << "\n";
  }
}

class PlayerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    savedRandom_ = GetRandomState();
    WriteTestNameLists();
    ClearNameListCache();
  }
  void TearDown() override {
    ClearNameListCache();
    SetRandomState(savedRandom_);
  }

  ScopedDataDir dir_;

 private:
  RandomState savedRandom_{};
};

// Little-endian byte image builder for golden tests.
struct Bytes {
  std::vector<uint8_t> b;
  Bytes& I(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(u >> (8 * k)));
    return *this;
  }
  Bytes& B(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  Bytes& Raw(std::initializer_list<uint8_t> v) {
    b.insert(b.end(), v);
    return *this;
  }
};
