// Hand-made line-up streams for the match engine's tests: a club id, eleven
// players (number, home position, match record) and five bench slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "club/Ufunction.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "match/Umatchmain.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"

struct LineupPlayer {
  int32_t Number = 1;
  int32_t HomeX = 800, HomeY = 4200;
  std::string Name = "選手";
  int32_t Mtype = 1;
  std::array<int32_t, 6> Abilities{50, 50, 50, 50, 50, 50};
  int32_t Condition = 0;
  std::array<int32_t, 4> Choices{0, 1, 2, 3};
  uint8_t Leg = 1;
};

struct TestLineup {
  int32_t ClubId = 1;
  std::array<LineupPlayer, 11> Starters;
  std::array<bool, 5> BenchUsed{};
  std::array<LineupPlayer, 5> Bench;
};

inline void WriteLineupPlayer(TStream& s, const LineupPlayer& p) {
  s.WriteInt32(p.Number);
  s.WriteInt32(p.HomeX);
  s.WriteInt32(p.HomeY);
  WriteString(s, p.Name);
  s.WriteInt32(p.Mtype);
  for (int32_t a : p.Abilities) s.WriteInt32(a);
  s.WriteInt32(p.Condition);
  for (int32_t c : p.Choices) s.WriteInt32(c);
  s.WriteByte(p.Leg);
}

inline TStream WriteLineupStream(const TestLineup& l) {
  TStream s;
  s.WriteInt32(l.ClubId);
  for (const auto& p : l.Starters) WriteLineupPlayer(s, p);
  for (int i = 0; i < 5; ++i) {
    s.WriteByte(l.BenchUsed[i] ? 1 : 0);
    if (l.BenchUsed[i]) WriteLineupPlayer(s, l.Bench[i]);
  }
  s.Seek(0);
  return s;
}

// A 4-4-2 for a club whose own goal line is at x 800, abilities around
// `level`, a full bench (keeper, centre-back, midfielder, two forwards).
// `seed` varies the abilities a little so the players differ.
inline TestLineup MakeLineup(int32_t clubId, int32_t level, int32_t seed = 0) {
  struct Slot {
    int32_t x, y, mtype;
    std::array<int32_t, 4> choices;
  };
  static const Slot kStarters[11] = {
      {800, 4200, 1, {0, 1, 2, 3}},   {2200, 1500, 6, {0, 2, 1, 3}},  {2000, 3300, 4, {1, 0, 2, 3}},
      {2000, 5100, 3, {0, 1, 3, 2}},  {2200, 6900, 8, {2, 0, 1, 3}},  {3600, 4200, 10, {0, 2, 3, 1}},
      {4200, 1800, 12, {2, 1, 0, 3}}, {4400, 4200, 13, {0, 3, 2, 1}}, {4200, 6600, 14, {1, 2, 0, 3}},
      {5400, 3500, 19, {3, 2, 0, 1}}, {5400, 4900, 18, {3, 0, 2, 1}},
  };
  static const int32_t kBenchTypes[5] = {1, 4, 10, 19, 16};
  static const char* kNames[16] = {"山田　太郎", "佐藤　健",   "鈴木　一郎", "高橋　誠", "田中　翔",   "伊藤　大輔",
                                   "渡辺　拓也", "中村　悠",   "小林　蓮",   "加藤　陸", "吉田　颯太", "山本　湊",
                                   "松本　海斗", "井上　大和", "木村　悠真", "林　陽翔"};
  TestLineup l;
  l.ClubId = clubId;
  uint32_t h = 2166136261u ^ static_cast<uint32_t>(seed * 7919 + clubId);
  auto jitter = [&]() {
    h = h * 1103515245u + 12345u;
    return static_cast<int32_t>((h >> 16) % 21) - 10;
  };
  for (int i = 0; i < 11; ++i) {
    LineupPlayer& p = l.Starters[i];
    p.Number = i + 1;
    p.HomeX = kStarters[i].x;
    p.HomeY = kStarters[i].y;
    p.Mtype = kStarters[i].mtype;
    p.Choices = kStarters[i].choices;
    p.Name = kNames[i];
    for (auto& a : p.Abilities) a = level + jitter();
    p.Condition = jitter() / 2;
    p.Leg = (i % 3 == 1) ? 0 : 1;
  }
  for (int b = 0; b < 5; ++b) {
    l.BenchUsed[b] = true;
    LineupPlayer& p = l.Bench[b];
    p.Number = 12 + b;
    p.HomeX = 800;
    p.HomeY = 4200;
    p.Mtype = kBenchTypes[b];
    p.Name = kNames[11 + b];
    for (auto& a : p.Abilities) a = level + jitter();
    p.Condition = jitter() / 2;
    p.Choices = {3, 0, 1, 2};
  }
  return l;
}

// The data battle the replay tests record: seed 11, clubs 1 (level 70) and
// 2 (level 55), the computer substituting for both, every step recorded as
// the window records it. `m` is the played match (its goal lists).
inline TmVTR RecordWatchedBattle(Tmmain& m) {
  RandSeed(11);
  TStream s0 = WriteLineupStream(MakeLineup(1, 70, 3));
  TStream s1 = WriteLineupStream(MakeLineup(2, 55, 4));
  m.Load(s0, s1, true);
  TmVTR rec;
  TmWatchSetup setup;
  setup.AutoSubs = {true, true};
  setup.Recorder = &rec;
  PlayWatchedMatch(m, setup);
  return rec;
}
