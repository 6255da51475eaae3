// The news of the turn of the year for the user's club: departures and a
// few random events whose kind depends on how the season ended. A screen
// (or the command-line tool) creates one after the advance of week 52,
// calls Start once and then Next for every click until Finished.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "club/Ugrid.h"

enum class TseasonEventKind : int32_t {
  None = 0,
  Departures,
  Comeback,
  Complacency,
  YoungerBrother,
  NamelessSigning,
  Investment,
  CheapSale,
  VeteranRetires,
  End,
};

// What the screen draws above the text for the event just shown.
struct TeventPicture {
  TseasonEventKind Kind = TseasonEventKind::None;
  int32_t EmblemClub = 0;  // whose emblem the figure wears (the buyer's for a cheap sale)
};

class Tseasonevent {
 public:
  // Starting values of the three sequences.
  static constexpr int32_t kLowerDivisions = 0;
  static constexpr int32_t kTopDivision = 100;
  static constexpr int32_t kChampion = 200;

  // Selects the next event; its starting value picks the sequence.
  int32_t EventStep = 0;
  // The memo's lines after the last call.
  std::vector<std::string> Lines;
  // The departures list (number, name, "→", "退団"/"引退"), one fixed row.
  TGrid Gridpfree;
  bool GridVisible = false;
  TeventPicture Picture;
  bool Finished = false;

  // The greeting line and the sequence (from the game state).
  void Start();
  // Shows the next event that happens (the memo click). Returns the kind
  // shown; End when the sequence is over (Finished is then set). Calling
  // again after the end shows the end lines again and changes nothing.
  TseasonEventKind Next();

  // The single steps; each returns true when it showed something. Public so
  // that the rules can be exercised one by one.
  bool RunDepartures();
  bool RunComeback();
  bool RunComplacency();
  bool RunYoungerBrother();
  bool RunNamelessSigning();
  bool RunInvestment();
  bool RunCheapSale();
  bool RunVeteranRetires();
  void RunEnd();

 private:
  bool RunStep(int32_t step);
};

// The club of division 1 (positions 1..7) with the most money above 0;
// -1 when none has any.
int32_t CheapSaleBuyer();
