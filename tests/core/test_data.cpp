// The data shipped in data/: name lists, formation presets and the start
// data must be readable by the game and make sense on the pitch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "club/Ucp932.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uintlist.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "tests/core/TestData.h"

namespace {

const std::string kData = std::string(VANTOREL_SOURCE_DIR) + "/data/";

std::vector<std::string> NameLines(int n) {
  auto bytes = ReadWholeFile(kData + "name/" + std::to_string(n) + ".txt");
  std::string text(bytes.begin(), bytes.end());
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    EXPECT_NE(end, std::string::npos) << "list " << n << " ends without a line break";
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Splits UTF-8 into characters.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

bool IsKatakanaChar(const std::string& ch) {
  // U+30A1 .. U+30FC in UTF-8: E3 82 A1 .. E3 83 BC (includes "・" and "ー").
  if (ch.size() != 3 || static_cast<unsigned char>(ch[0]) != 0xE3) return false;
  unsigned v = (static_cast<unsigned char>(ch[1]) << 8) | static_cast<unsigned char>(ch[2]);
  return v >= 0x82A1 && v <= 0x83BC;
}

struct ClubRecord {
  int32_t Nations[4];
  std::string Name;
  std::vector<uint8_t> Emblem;
};

uint32_t U32(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

std::vector<ClubRecord> ReadFirstDat() {
  TStream s(ReadWholeFile(kData + "first.dat"));
  std::vector<ClubRecord> clubs;
  while (!s.AtEnd()) {
    ClubRecord c;
    for (int32_t& n : c.Nations) n = s.ReadInt32();
    s.Need(4, "club name");
    c.Name = ReadString(s);
    s.Need(14, "emblem header");
    std::size_t at = s.Position();
    auto head = s.ReadBytes(6);
    s.Seek(at);
    c.Emblem = s.ReadBytes(U32(head, 2));
    clubs.push_back(std::move(c));
  }
  return clubs;
}

}  // namespace

TEST(ShippedNames, JapaneseListHasFamilyThenGivenNamesInKanji) {
  auto lines = NameLines(0);
  ASSERT_EQ(lines.size(), 501u);
  std::set<std::string> family, given;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string name = Cp932ToUtf8(lines[i]);
    ASSERT_FALSE(name.empty()) << "line " << i;
    EXPECT_EQ(name.find_first_of(" \r\t?"), std::string::npos) << name;
    EXPECT_EQ(name.find("　"), std::string::npos) << name;  // the game adds the space
    for (const auto& ch : Chars(name)) EXPECT_EQ(ch.size(), 3u) << name << " is not all kanji";
    (i < 250 ? family : given).insert(name);
  }
  EXPECT_EQ(family.size(), 250u) << "family names repeat";
  EXPECT_EQ(given.size(), 251u) << "given names repeat";
  EXPECT_TRUE(family.count("佐藤"));
  EXPECT_TRUE(given.count("翔太"));
}

TEST(ShippedNames, ForeignListsHoldDistinctKatakanaNames) {
  for (int n = 1; n <= 9; ++n) {
    auto lines = NameLines(n);
    EXPECT_GE(lines.size(), 150u) << "list " << n;
    std::set<std::string> seen;
    for (const auto& raw : lines) {
      std::string name = Cp932ToUtf8(raw);
      ASSERT_FALSE(name.empty()) << "list " << n << " has an empty line";
      EXPECT_TRUE(seen.insert(name).second) << name << " twice in list " << n;
      EXPECT_LE(raw.size(), 16u) << name;  // "A．" + name still fits the name column
      auto chars = Chars(name);
      EXPECT_GE(chars.size(), 2u) << name;
      for (const auto& ch : chars) EXPECT_TRUE(IsKatakanaChar(ch)) << name << " in list " << n;
      EXPECT_NE(chars.front(), "・") << name;
      EXPECT_NE(chars.back(), "・") << name;
    }
  }
}

TEST(ShippedPresets, EveryLineHasTheRowsTheFormationAsksFor) {
  const std::vector<std::vector<int>> sizes = {{3, 4}, {1, 2, 2, 3, 3, 4, 5}, {1, 2, 2, 3, 3, 4}, {1, 2, 3}};
  std::vector<int> lineDepth;  // mean X of each file, to check the lines' order
  for (int n = 0; n < 4; ++n) {
    TStream s(ReadWholeFile(kData + "aiforma/" + std::to_string(n) + ".dat"));
    TIntgrid t;
    t.LoadFromStream(s);
    EXPECT_TRUE(s.AtEnd()) << "bytes after the table in file " << n;
    ASSERT_EQ(t.RowCount(), static_cast<int>(sizes[n].size())) << "file " << n;
    long sumX = 0, points = 0;
    for (int r = 0; r < t.RowCount(); ++r) {
      ASSERT_EQ(t.RowLength(r), 2 * sizes[n][r]) << "file " << n << " row " << r;
      std::set<std::pair<int, int>> distinct;
      for (int i = 0; i < sizes[n][r]; ++i) {
        int x = t.GetValue(r, 2 * i), y = t.GetValue(r, 2 * i + 1);
        // Inside the box the tactics screen lets the user place players in,
        // so the computer's clubs line up as a user could.
        EXPECT_GE(x, 1628) << "file " << n << " row " << r;
        EXPECT_LE(x, 5228) << "file " << n << " row " << r;
        EXPECT_GE(y, 1448) << "file " << n << " row " << r;
        EXPECT_LE(y, 6968) << "file " << n << " row " << r;
        distinct.insert({x, y});
        sumX += x;
        ++points;
      }
      EXPECT_EQ(distinct.size(), static_cast<std::size_t>(sizes[n][r])) << "two players on one spot";
    }
    lineDepth.push_back(static_cast<int>(sumX / points));
  }
  for (int n = 1; n < 4; ++n) EXPECT_GT(lineDepth[n], lineDepth[n - 1]) << "line " << n << " behind line " << n - 1;
}

TEST(ShippedPresets, SidedRowsPutRightBeforeLeft) {
  // Wide rows list the right-hand player (larger Y) first: the formation
  // hands the points out in role order, right side first.
  const std::vector<std::pair<int, int>> sided = {{2, 2}, {2, 4}, {2, 5}, {3, 1}, {3, 2}};
  for (auto [file, row] : sided) {
    TStream s(ReadWholeFile(kData + "aiforma/" + std::to_string(file) + ".dat"));
    TIntgrid t;
    t.LoadFromStream(s);
    int len = t.RowLength(row);
    for (int i = 3; i < len; i += 2)
      EXPECT_GT(t.GetValue(row, i - 2), t.GetValue(row, i)) << "file " << file << " row " << row;
  }
}

TEST(ShippedStartData, TwentyFourClubsWithNamesNationsAndEmblems) {
  auto clubs = ReadFirstDat();
  ASSERT_EQ(clubs.size(), 24u);
  std::set<std::string> names;
  std::set<std::vector<uint8_t>> emblems;
  for (const auto& c : clubs) {
    for (int32_t n : c.Nations) {
      EXPECT_GE(n, 0) << c.Name;
      EXPECT_LE(n, 10) << c.Name;
    }
    EXPECT_FALSE(c.Name.empty());
    EXPECT_EQ(c.Name.find('?'), std::string::npos) << c.Name;
    EXPECT_LE(Cp932Length(c.Name), 16) << c.Name;
    names.insert(c.Name);
    const auto& b = c.Emblem;
    ASSERT_EQ(b.size(), 14u + 40u + 10u * 32u) << c.Name;  // 10 rows of 30 bytes padded to 32
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 10), 54u);  // pixels right after the headers
    EXPECT_EQ(U32(b, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(U32(b, 18), 10u);  // width
    EXPECT_EQ(U32(b, 22), 10u);  // height, positive: bottom-up
    EXPECT_EQ(b[26] | (b[27] << 8), 1);
    EXPECT_EQ(b[28] | (b[29] << 8), 24);
    EXPECT_EQ(U32(b, 30), 0u);  // uncompressed
    for (int row = 0; row < 10; ++row)
      EXPECT_EQ(b[54 + row * 32 + 30] | b[54 + row * 32 + 31], 0) << "row padding of " << c.Name;
    std::set<uint32_t> colours;
    for (int row = 0; row < 10; ++row)
      for (int x = 0; x < 10; ++x) {
        std::size_t p = 54 + row * 32 + x * 3;
        colours.insert(b[p] | (b[p + 1] << 8) | (b[p + 2] << 16));
      }
    EXPECT_GE(colours.size(), 3u) << c.Name << "'s emblem is too plain";
    emblems.insert(std::vector<uint8_t>(b.begin() + 54, b.end()));
  }
  EXPECT_EQ(names.size(), 24u) << "club names repeat";
  EXPECT_EQ(emblems.size(), 24u) << "emblems repeat";
  EXPECT_EQ(clubs[0].Name, "ヴァントレルFC");
}

// ---- the shipped data read by the game's own classes ------------------------

TEST(ShippedStartData, ClubReadersTakeEveryRecordToTheLastByte) {
  TStream s(ReadWholeFile(kData + "first.dat"));
  for (int club = 0; club < 24; ++club) {
    for (int k = 0; k < 4; ++k) EXPECT_NO_THROW(s.ReadInt32In(0, 10, "nationality"));
    s.Need(4, "club name");
    EXPECT_FALSE(ReadString(s).empty());
    std::vector<uint8_t> emblem = Tteam::ReadEmblem(s);
    EXPECT_NO_THROW(Tteam::CheckEmblem(emblem));
  }
  EXPECT_TRUE(s.AtEnd());
}

namespace {

bool InOwnHalf(const TPoint& p) { return p.X > 800 && p.X < 6050 && p.Y >= 800 && p.Y <= 7600; }

// Every preset row the formation may pick, for a thousand line-ups of the
// kind the automatic line-up chooses: slots 1 and 2 are defenders, slot 10 an
// attacker, the rest anything.
TEST(ShippedPresets, FormationsFromManyLineupsStayApartInTheOwnHalf) {
  ScopedDataDir dir;
  Tformation::ClearPresetCache();
  RandSeed(20261207);
  for (int trial = 0; trial < 1000; ++trial) {
    Tformation f;
    for (int slot = 1; slot <= 10; ++slot) {
      int code = slot <= 2 ? Random(12) : slot == 10 ? 12 + Random(9) : Random(21);
      f.AddPlayer(slot, code);
    }
    ASSERT_NO_THROW(f.Compute()) << "trial " << trial;
    EXPECT_EQ(f.GetPoint(0), kKeeperPoint);
    std::set<std::pair<int, int>> spots;
    for (int slot = 1; slot <= 10; ++slot) {
      TPoint p = f.GetPoint(slot);
      EXPECT_TRUE(InOwnHalf(p)) << "trial " << trial << " slot " << slot << " at " << p.X << "," << p.Y;
      spots.insert({p.X, p.Y});
    }
    EXPECT_EQ(spots.size(), 10u) << "two players share a spot in trial " << trial;
  }
  Tformation::ClearPresetCache();
}

}  // namespace

TEST(ShippedStartData, ClubsBuiltFromItLineUpInTheirOwnHalf) {
  ScopedDataDir dir;
  Tformation::ClearPresetCache();
  RandSeed(7);
  TStream s(ReadWholeFile("data/first.dat"));
  for (int club = 0; club < 24; ++club) {
    std::array<int32_t, 4> nations{};
    for (auto& n : nations) n = s.ReadInt32();
    std::string name = ReadString(s);
    std::vector<uint8_t> emblem = Tteam::ReadEmblem(s);
    Tteam team(nations, club / 8 * 5 + 12, club, NoWorld());
    team.ClubName = name;
    team.SetEmblem(emblem);
    team.AutoLineup(false);
    ASSERT_EQ(team.Squad->Count(), 21) << name;
    for (int slot = 0; slot <= 10; ++slot) {
      EXPECT_GE(team.SlotNumber(slot), 1) << name << " slot " << slot;
      TPoint p = team.GetPosition(slot);
      EXPECT_TRUE(slot == 0 ? p == kKeeperPoint : InOwnHalf(p)) << name << " slot " << slot;
    }
  }
  Tformation::ClearPresetCache();
}

TEST(ShippedNames, PlayersOfEveryNationalityGetWellFormedNames) {
  ScopedDataDir dir;
  ClearNameListCache();
  RandSeed(12345);
  for (int n = 0; n <= 9; ++n) {
    const auto& list = NameList(n);
    std::set<std::string> lines(list.begin(), list.end());
    int initials = 0;
    for (int k = 0; k < 60; ++k) {
      Tplayer p(9, n, 50, 1, NoWorld());
      if (n == 0) {
        auto space = p.Name.find("　");
        ASSERT_NE(space, std::string::npos) << p.Name;
        EXPECT_TRUE(lines.count(p.Name.substr(0, space))) << p.Name;
        EXPECT_TRUE(lines.count(p.Name.substr(space + 3))) << p.Name;
      } else if (p.Name.size() > 4 && p.Name[0] >= 'A' && p.Name[0] <= 'Z' && p.Name.compare(1, 3, "．") == 0) {
        ++initials;
        EXPECT_TRUE(lines.count(p.Name.substr(4))) << p.Name;
      } else {
        EXPECT_TRUE(lines.count(p.Name)) << p.Name;
      }
    }
    if (n != 0) {
      EXPECT_GT(initials, 30) << "list " << n;  // 26 in 30 carry an initial
    }
  }
  ClearNameListCache();
}

// ---- position files for the tactics screen -----------------------------------

TEST(ShippedPositionFiles, ReadyMadeShapesLoadIntoThePlacementBox) {
  namespace fs = std::filesystem;
  std::set<std::string> found;
  for (const auto& e : fs::directory_iterator(kData + "formation")) {
    std::string name = e.path().filename().string();
    found.insert(name);
    TStream s(ReadWholeFile(e.path().string()));
    ASSERT_EQ(s.Size(), 88u) << name;
    std::vector<std::pair<int, int>> pts;
    for (int slot = 0; slot < 11; ++slot) {
      int x = s.ReadInt32(), y = s.ReadInt32();
      pts.push_back({x, y});
    }
    // The keeper stands on his goal line, where the club keeps him.
    EXPECT_EQ(pts[0], (std::pair<int, int>{283, 438})) << name;
    std::set<std::pair<int, int>> distinct(pts.begin() + 1, pts.end());
    EXPECT_EQ(distinct.size(), 10u) << name;
    int backs = 0;
    for (int slot = 1; slot <= 10; ++slot) {
      auto [x, y] = pts[slot];
      EXPECT_LE(std::abs(284 - x), 230) << name << " slot " << slot;
      EXPECT_LE(std::abs(219 - y), 150) << name << " slot " << slot;
      if (slot > 1) {
        EXPECT_LE(y, pts[slot - 1].second) << name << ": slots run from the back";
      }
      backs += y > 300;
    }
    // The name tells how many defenders there are: "4-4-2" has four at the back.
    EXPECT_EQ(backs, name[0] - '0') << name;
  }
  EXPECT_TRUE(found.count("4-4-2.dat"));
  EXPECT_GE(found.size(), 5u);
}

// ---- match sounds -------------------------------------------------------------

namespace {

struct Wav {
  std::vector<int16_t> Samples;
  uint32_t Rate = 0;
};

Wav ReadWav(int k) {
  auto b = ReadWholeFile(kData + "sound/m" + std::to_string(k) + ".wav");
  Wav w;
  EXPECT_GE(b.size(), 44u);
  if (b.size() < 44) return w;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(U32(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(U32(b, 16), 16u);
  EXPECT_EQ(b[20] | (b[21] << 8), 1);  // PCM
  EXPECT_EQ(b[22] | (b[23] << 8), 1);  // mono
  w.Rate = U32(b, 24);
  EXPECT_EQ(U32(b, 28), w.Rate * 2);    // bytes per second
  EXPECT_EQ(b[32] | (b[33] << 8), 2);   // block
  EXPECT_EQ(b[34] | (b[35] << 8), 16);  // bits
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(U32(b, 40), b.size() - 44);
  for (std::size_t i = 44; i + 1 < b.size(); i += 2) w.Samples.push_back(static_cast<int16_t>(b[i] | (b[i + 1] << 8)));
  return w;
}

// Zero crossings per second: twice the pitch of a clear tone.
double Crossings(const std::vector<int16_t>& s, std::size_t from, std::size_t to, uint32_t rate) {
  int n = 0;
  for (std::size_t i = from + 1; i < to; ++i) n += (s[i - 1] < 0) != (s[i] < 0);
  return n * static_cast<double>(rate) / static_cast<double>(to - from);
}

}  // namespace

TEST(ShippedSounds, SevenCleanWavesOfSensibleLength) {
  // Longest acceptable length per sound: the screen waits for all but 3 and 6.
  const double maxSeconds[7] = {1.0, 1.6, 2.5, 0.8, 2.6, 2.0, 1.5};
  for (int k = 0; k < 7; ++k) {
    Wav w = ReadWav(k);
    ASSERT_EQ(w.Rate, 22050u) << "m" << k;
    double seconds = static_cast<double>(w.Samples.size()) / w.Rate;
    EXPECT_GT(seconds, 0.3) << "m" << k;
    EXPECT_LT(seconds, maxSeconds[k]) << "m" << k;
    int peak = 0;
    double energy = 0;
    for (int16_t s : w.Samples) {
      peak = std::max(peak, std::abs(static_cast<int>(s)));
      energy += static_cast<double>(s) * s;
    }
    EXPECT_LT(peak, 26000) << "m" << k << " is too loud";  // headroom, never clipped
    EXPECT_GT(std::sqrt(energy / w.Samples.size()), 1500.0) << "m" << k << " is too quiet";
    // No click at either end.
    EXPECT_LT(std::abs(static_cast<int>(w.Samples.front())), 200) << "m" << k;
    EXPECT_LT(std::abs(static_cast<int>(w.Samples.back())), 200) << "m" << k;
  }
}

TEST(ShippedSounds, WhistlesBlowOnceTwiceAndThriceAtAClearPitch) {
  const int blasts[3] = {1, 2, 3};
  for (int k = 0; k < 3; ++k) {
    Wav w = ReadWav(k);
    ASSERT_FALSE(w.Samples.empty());
    // Count the blasts: runs of loud 10 ms windows separated by silence.
    const std::size_t win = w.Rate / 100;
    int runs = 0;
    bool loud = false;
    std::size_t longest = 0, runStart = 0;
    for (std::size_t at = 0; at + win <= w.Samples.size(); at += win) {
      double e = 0;
      for (std::size_t i = at; i < at + win; ++i) e += static_cast<double>(w.Samples[i]) * w.Samples[i];
      bool now = std::sqrt(e / win) > 2000;
      if (now && !loud) {
        ++runs;
        runStart = at;
      }
      if (!now && loud) longest = std::max(longest, at - runStart);
      loud = now;
    }
    EXPECT_EQ(runs, blasts[k]) << "m" << k;
    // Pitch of the tone in the middle of the last, longest blast: a pea
    // whistle around 2 .. 3 kHz.
    double pitch = Crossings(w.Samples, w.Samples.size() - w.Rate / 3, w.Samples.size() - w.Rate / 6, w.Rate) / 2;
    EXPECT_GT(pitch, 1800) << "m" << k;
    EXPECT_LT(pitch, 3200) << "m" << k;
    if (k == 2) {
      EXPECT_GT(longest, w.Rate / 2) << "the final whistle ends with a long blast";
    }
  }
}
