// The container of players: a club's squad, its youth squad and the
// market's free agents. Each entry pairs a player with his number, the key
// by which the rest of the game refers to him.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "club/Uplayer.h"
#include "club/Ustream.h"

constexpr int32_t kFillerFirstNumber = 51;

class TplayerInput {
 public:
  std::unique_ptr<Tplayer> Player;
  int32_t Number = 0;
};

class Tplayerlist {
 public:
  Tplayerlist() = default;
  Tplayerlist(const Tplayerlist&) = delete;
  Tplayerlist& operator=(const Tplayerlist&) = delete;
  Tplayerlist(Tplayerlist&&) = default;
  Tplayerlist& operator=(Tplayerlist&&) = default;

  void Clear() { Entries.clear(); }
  // Index of the entry with that number, -1 if none.
  int IndexOfNumber(int32_t number) const;
  // Takes ownership; the entry gets the wanted number or, if taken, the
  // next higher free one. Returns the number given.
  int32_t Add(std::unique_ptr<Tplayer> player, int32_t wantedNumber);
  // Appends a filler player (aged 40, every ability 1, attachment 0 to the
  // club) under the first free number from 51. Returns his number.
  int32_t AddFiller(int32_t club, const TworldView& world);
  void RemoveNumber(int32_t number);
  void RemoveAt(int index);
  int Count() const { return static_cast<int>(Entries.size()); }
  // Gives the entry with the old number the new number.
  void SetNumber(int32_t oldNumber, int32_t newNumber);
  // nullptr when absent / out of range.
  Tplayer* PlayerByNumber(int32_t number);
  const Tplayer* PlayerByNumber(int32_t number) const;
  Tplayer* PlayerAt(int index);
  const Tplayer* PlayerAt(int index) const;
  TplayerInput& EntryAt(int index) { return Entries.at(static_cast<std::size_t>(index)); }
  const TplayerInput& EntryAt(int index) const { return Entries.at(static_cast<std::size_t>(index)); }
  int32_t NumberAt(int index) const { return EntryAt(index).Number; }
  // First number >= `from` that no entry uses.
  int32_t FirstFreeNumber(int32_t from) const;

  void SaveToStream(TStream& s) const;
  // Replace the entries by those read; players get the club index given.
  // A damaged stream raises StreamError and leaves the list unchanged.
  void LoadFromStream(TStream& s, int32_t club);
  void LoadFromStreamShort(TStream& s, int32_t club);

  std::vector<TplayerInput> Entries;

 private:
  void Load(TStream& s, int32_t club, bool withRatingSum);
};
