#include "club/Uplayerlist.h"

#include <limits>

#include "club/Urandom.h"

int Tplayerlist::IndexOfNumber(int32_t number) const {
  for (std::size_t i = 0; i < Entries.size(); ++i)
    if (Entries[i].Number == number) return static_cast<int>(i);
  return -1;
}

int32_t Tplayerlist::FirstFreeNumber(int32_t from) const {
  int32_t n = from;
  while (IndexOfNumber(n) >= 0) {
    if (n == std::numeric_limits<int32_t>::max()) throw VantorelError("no free player number");
    ++n;
  }
  return n;
}

int32_t Tplayerlist::Add(std::unique_ptr<Tplayer> player, int32_t wantedNumber) {
  TplayerInput entry;
  entry.Number = FirstFreeNumber(wantedNumber);
  entry.Player = std::move(player);
  Entries.push_back(std::move(entry));
  return Entries.back().Number;
}

int32_t Tplayerlist::AddFiller(int32_t club, const TworldView& world) {
  auto filler = std::make_unique<Tplayer>(9, 0, 0, club, world);
  filler->Age = 40;
  filler->SetAffinity(club, 0);
  return Add(std::move(filler), kFillerFirstNumber);
}

void Tplayerlist::RemoveNumber(int32_t number) {
  int i = IndexOfNumber(number);
  if (i >= 0) RemoveAt(i);
}

void Tplayerlist::RemoveAt(int index) {
  if (index < 0 || index >= Count()) return;
  Entries.erase(Entries.begin() + index);
}

void Tplayerlist::SetNumber(int32_t oldNumber, int32_t newNumber) {
  int i = IndexOfNumber(oldNumber);
  if (i >= 0) Entries[static_cast<std::size_t>(i)].Number = newNumber;
}

Tplayer* Tplayerlist::PlayerByNumber(int32_t number) {
  int i = IndexOfNumber(number);
  return i >= 0 ? Entries[static_cast<std::size_t>(i)].Player.get() : nullptr;
}

const Tplayer* Tplayerlist::PlayerByNumber(int32_t number) const {
  return const_cast<Tplayerlist*>(this)->PlayerByNumber(number);
}

Tplayer* Tplayerlist::PlayerAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return Entries[static_cast<std::size_t>(index)].Player.get();
}

const Tplayer* Tplayerlist::PlayerAt(int index) const { return const_cast<Tplayerlist*>(this)->PlayerAt(index); }

void Tplayerlist::SaveToStream(TStream& s) const {
  s.WriteInt32(Count());
  for (const TplayerInput& e : Entries) {
    s.WriteInt32(e.Number);
    e.Player->SaveToStream(s);
  }
}

void Tplayerlist::Load(TStream& s, int32_t club, bool withRatingSum) {
  // The placeholder players are made by the creation rules, which draw from
  // the generator; reading a list must leave the game's sequence alone.
  struct KeepRandom {
    RandomState saved = GetRandomState();
    ~KeepRandom() { SetRandomState(saved); }
  } keep;
  // Number, name length, the fixed part and the history's row count.
  const std::size_t minEntry = 4 + 4 + (withRatingSum ? 285 : 281) + 4;
  int32_t n = s.ReadCount(minEntry, "players");
  std::vector<TplayerInput> loaded;
  loaded.reserve(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    TplayerInput e;
    e.Number = s.ReadInt32();
    e.Player = Tplayer::Placeholder(club);
    if (withRatingSum)
      e.Player->LoadFromStream(s);
    else
      e.Player->LoadFromStreamShort(s);
    loaded.push_back(std::move(e));
  }
  Entries = std::move(loaded);
}

void Tplayerlist::LoadFromStream(TStream& s, int32_t club) { Load(s, club, true); }

void Tplayerlist::LoadFromStreamShort(TStream& s, int32_t club) { Load(s, club, false); }
