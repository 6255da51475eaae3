// Tteam: one of the 24 clubs — name, emblem, money, squad, youth squad,
// coaching staff, line-up with the formation positions of the starting
// eleven, and the youth scouting choice. It runs the club's share of the
// week, of each match and of the season's end, and the decisions of the
// computer-run clubs. What these rules need to know of the world (the
// season, divisions, reputations) comes in as a TworldView; the players a
// club lets go or offers for sale go to the TplayerMarket it is given, or
// simply leave when it is given none (nullptr).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Ugrid.h"
#include "club/Ustream.h"
#include "club/Uteametc.h"
#include "club/Uworldview.h"

class Tplayer;
class Tplayerlist;

constexpr int kSlotCount = 16;  // 0 .. 10 the starting eleven, 11 .. 15 substitutes
constexpr int kStarterCount = 11;
constexpr int kMaxSquad = 50;  // no club takes a player beyond this many
constexpr int kUserClub = 0;

// One need the transfer market looks for: a role 0 .. 4 and the lowest
// rating in that role worth bidding for.
struct TTransferTarget {
  int32_t Role = 0;
  int32_t Minimum = 0;
};

// One pick of the automatic line-up: the slot it fills, the line-up rating
// column it sorts by, and the player it took (number -1 when nobody was
// left) with his value in that column and his position code.
struct TLineupPick {
  int32_t Slot = 0;
  int32_t Column = 0;
  int32_t Number = -1;
  int32_t Value = 0;
  int32_t Mtype = 0;
};

class Tteam {
 public:
  // An empty club (no players, default staff, an empty emblem, money 0),
  // ready to be read from a stream.
  explicit Tteam(int32_t teamIndex = 0);
  // A new club: money by division, 21 generated players numbered 1 .. 21.
  // A nationality of 10 stands for one of 2 .. 9 drawn at random.
  Tteam(const std::array<int32_t, 4>& nationalities, int32_t baseLevel, int32_t teamIndex, const TworldView& world);
  ~Tteam();
  Tteam(const Tteam&) = delete;
  Tteam& operator=(const Tteam&) = delete;

  std::unique_ptr<Tplayerlist> Squad;
  std::unique_ptr<Tplayerlist> Youth;
  std::unique_ptr<Tcoach> Coaches;
  int32_t TeamIndex = 0;
  int32_t Money = 0;
  // The emblem as the bytes of a complete BMP file image (never empty: a
  // club without a picture holds a 0 x 0 image).
  std::vector<uint8_t> Emblem;
  std::string ClubName;  // UTF-8
  std::array<TPoint, 11> Positions{};
  std::array<int32_t, kSlotCount> Slots{};
  std::array<int32_t, 5> RoleRatings{};
  int32_t YouthNationality = 0;
  int32_t YouthPosition = 9;

  // The week's messages about the user's club (injuries and recoveries);
  // only club 0 writes them. Not stored; the game state gathers them into
  // its own message lines after each week (what is left here, the club
  // screen shows and clears).
  std::vector<std::string> Messages;

  // ---- stream forms ------------------------------------------------------
  void SaveToStream(TStream& s) const;
  // Each reader reads into a fresh club and replaces this one's contents
  // only on success: a damaged record raises StreamError and changes nothing.
  // TeamIndex is not part of the record and is kept.
  void LoadFromStream(TStream& s);
  void LoadFromStreamShort(TStream& s);  // player records without rating sum
  void LoadExchange(TStream& s);         // the old exchange form
  // The line-up record the match engine reads.
  void WriteLineup(TStream& s) const;

  // ---- emblem ------------------------------------------------------------
  // Reads one complete BMP file image; a broken header or a length the
  // stream cannot hold raises StreamError.
  static std::vector<uint8_t> ReadEmblem(TStream& s);
  // Checks a BMP file image (header and length); StreamError if broken.
  static void CheckEmblem(const std::vector<uint8_t>& bmp);
  // A valid 0 x 0 BMP image.
  static std::vector<uint8_t> EmptyEmblem();
  void SetEmblem(std::vector<uint8_t> bmp);  // checks it first
  void LoadEmblem(TStream& s) { Emblem = ReadEmblem(s); }

  // ---- line-up ------------------------------------------------------------
  int32_t SlotNumber(int slot) const;
  // "The starting eleven is complete": each of slots 0 .. 10 holds the
  // number of a player the squad has. This is the game's one version of the
  // rule, asked by NEXT in a match week, the VS export, the tactics board,
  // the autopilot, the outlook and vantorel-sim. An injured starter counts
  // (an injury empties his slot when it strikes, and the computer's clubs
  // may field injured players early in the season); an empty slot (-1) or a
  // number the squad no longer has does not.
  bool StartingElevenComplete() const;
  // The same rule for slots not yet handed to a club, with the squad's
  // numbers given by `inSquad`.
  template <class InSquad>
  static bool StartingElevenComplete(const std::array<int32_t, kSlotCount>& lineup, InSquad inSquad) {
    for (int s = 0; s < kStarterCount; ++s) {
      const int32_t n = lineup[static_cast<std::size_t>(s)];
      if (n == -1 || !inSquad(n)) return false;
    }
    return true;
  }
  void SetSlotNumber(int slot, int32_t number);
  TPoint GetPosition(int slot) const;
  void SetPosition(int slot, TPoint p);
  // Slot holding that number, -1 if none.
  int FindSlot(int32_t number) const;
  void ArrangeLineup();
  // The sixteen picks of the automatic line-up, in order; the club is not
  // changed. AutoLineup fills the slots with them, records the role
  // ratings, places the eleven by the formation presets and arranges them.
  std::array<TLineupPick, kSlotCount> LineupPicks(bool excludeInjured) const;
  void AutoLineup(bool excludeInjured);

  // ---- players coming and going ---------------------------------------------
  // Takes a copy of the player into the squad under the first free number at
  // or above `wanted`; returns that number.
  int32_t TakeIn(const Tplayer& player, int32_t wanted);
  // Frees the squad player; a squad left with exactly ten gets a filler; his
  // line-up slot is emptied.
  void Release(int32_t number, const TworldView& world);
  // The squad player becomes coach `slot` (0 .. 2) and leaves the squad.
  void MakeCoach(int32_t number, int slot, const TworldView& world);
  // Seven new youth players, numbered from the year * 100.
  void YouthIntake(const TworldView& world);
  // Youth players strong enough join the squad; the others not kept in
  // the youth team go to the market.
  void PromoteYouth(const TworldView& world, TplayerMarket* market);
  // Youth players past 19 go to the market.
  void ReleaseOldYouth(TplayerMarket* market);
  // Squad players leaving (attachment 5 or less; they go to the market) or
  // retiring, last to first; the result is a comma text, one quoted line
  // per player.
  std::string Departures(const TworldView& world, TplayerMarket* market);

  // ---- week, match, season ------------------------------------------------
  void WeeklyUpdate(const TworldView& world);
  void InjuryUpdate(const TworldView& world);
  void AfterMatch(int32_t formValue);
  // Closes the players' season, brings in the youth intake, and (for a
  // computer club) lets the leavers go.
  void SeasonEnd(const TworldView& world, TplayerMarket* market);
  // A computer club's contract week: coaches, releases, its whole squad on
  // the transfer list, youth promotion, wages and scouting.
  void AIOffSeason(const TworldView& world, TplayerMarket* market);

  // ---- money ----------------------------------------------------------------
  // Every change of Money goes through here: an overflow raises OverflowError
  // and leaves Money unchanged.
  void AddMoney(int32_t amount);
  int32_t WageTotal() const;  // squad wages + 5 per youth player
  void PayWages();
  int32_t InvestmentCost() const;
  static int32_t InvestmentCostOf(int32_t nationality);
  void ChooseInvestment();

  // ---- tables for the screens and the market -----------------------------------
  // The squad grid: 19 columns, header ",No,Name,Age,Mtype,S,H,D,C,K,A,Leg,Ktype,試,ゴ,ア,Value,,成".
  void FillSquadGrid(TGrid& grid, const TworldView& world) const;
  std::array<TTransferTarget, 3> TransferTargets() const;
  // The same laid out role, minimum, role, minimum, role, minimum.
  std::array<int32_t, 6> TransferTargetValues() const;

 private:
  void LoadRecord(TStream& s, int form);
  void AddFillersWhileShort(int injured, const TworldView& world);
  void ClearSlotsOf(int32_t number);
};

// Starting money of a new club by its index.
int32_t StartingMoney(int32_t teamIndex);
// Base level of a youth player from the intake's draw 0 .. 199: mostly
// modest, now and then a real talent.
int32_t YouthLevel(int32_t draw);
