// The transfer market of the pre-season: the free-agent pool, the transfer
// list, the week's bids, one negotiation per listed player that drew bids,
// and the transfer report. It lives from the season end until week 11.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Ugrid.h"
#include "club/Uintlist.h"
#include "club/Ustream.h"
#include "club/Uworldview.h"

class Tplayer;
class Tplayerlist;
class Tteam;

// Pseudo-club of the players without a club.
constexpr int32_t kFreeAgentClub = 99;
// Text shown for the free-agent pool where a club name would stand.
inline constexpr const char* kNoClubName = "無所属";
// First line of the transfer report.
inline constexpr const char* kReportHeader = "選手,元,,金額,結果";

// Column layout of a listing row (9 values).
enum TlistingColumn : int {
  kListKey = 0,     // seller * 1000 + number (99000 + number for a free agent)
  kListSeller = 1,  // seller club, 99 for a free agent
  kListNumber = 2,  // number in the seller's squad or in FreeAgents
  kListPrice = 3,   // asking price: wage, plus value when he has a club
  kListRole0 = 4,   // 4..8: the five role ratings
};

// Column layout of a bid row (5 values).
enum TbidColumn : int { kBidKey = 0, kBidSeller = 1, kBidNumber = 2, kBidAmount = 3, kBidBidder = 4 };

// A negotiation: row 0 = [seller, number]; further rows = [bidder, amount,
// the player's affinity toward the bidder when the row was made].
enum TnegotiationColumn : int { kNegBidder = 0, kNegAmount = 1, kNegAffinity = 2 };

// Columns of the transfer list as ShowListings fills it (the transfer
// frame's grid1, 22 columns): the player's row fields from column 2 on,
// with these in between.
enum TlistGridColumn : int {
  kListEntryColumn = 0,   // the listing's key (hidden)
  kListSellerColumn = 2,  // seller club index (hidden)
  kListNumberColumn = 3,  // number in the seller's squad
  kListNameColumn = 4,
  kListPositionColumn = 6,
  kListFirstAbilityColumn = 7,  // S, then H, D, C, K, A
  kListPriceColumn = 18,
  kListGrowthColumn = 20,
  kListBidColumn = 21,  // the user's bid mark
};
// Columns of the negotiations as ShowNegotiations fills them (grid2, 44
// columns): the player's row fields from column 1 on, with these in
// between, and one column per bidding club.
enum TofferGridColumn : int {
  kOfferSellerColumn = 1,  // seller club index (hidden); "0" for the user's own player
  kOfferNumberColumn = 2,
  kOfferNameColumn = 3,
  kOfferLeadColumn = 17,  // the leading bid
  kOfferGrowthColumn = 19,
  kOfferMarkColumn = 20,    // the user's bid or answer
  kFirstBidderColumn = 21,  // club 1's bid ... club 23's in kLastBidderColumn
  kLastBidderColumn = 43,
};
// The column of a bidding club's amount in the negotiations.
constexpr int OfferBidderColumn(int32_t bidder) { return kOfferMarkColumn + bidder; }

class Ttrade : public TplayerMarket {
 public:
  Ttrade();  // empty lists; Report holds its header line only
  ~Ttrade() override;
  Ttrade(const Ttrade&) = delete;
  Ttrade& operator=(const Ttrade&) = delete;

  // Fields, in the order of the record.
  std::unique_ptr<Tplayerlist> FreeAgents;  // players without a club (TeamIndex 99)
  TIntgrid Listings;                        // the transfer list, 9 values a row
  TIntgrid Bids;                            // this week's bids, 5 values a row; not stored
  std::vector<std::string> Report;          // header, then one comma-text line per settlement
  std::vector<TIntgrid> Negotiations;       // one table per listed player that drew bids
  // Not stored: why each settlement of this session ended as it did, by
  // Report line ("" for the header and for lines read from a file), and
  // the lines for the user's news about his own bids and players. The
  // game hands UserNews on to the club screen and empties it.
  std::vector<std::string> ReportReasons;
  std::vector<std::string> UserNews;

  // The player in FreeAgents (club 99) or in that club's squad; nullptr
  // when there is no such player.
  Tplayer* FindPlayer(int32_t club, int32_t number) const;
  // Removes the player from FreeAgents (club 99) or releases him from the
  // club's squad.
  void RemovePlayer(int32_t club, int32_t number);
  // "無所属" for 99, else the club's name.
  std::string SellerName(int32_t club) const;

  // Appends the player's listing row.
  void List(int32_t seller, int32_t number, const Tplayer& player) override;
  // A copy of the player joins FreeAgents (TeamIndex 99) under the smallest
  // free number from 0 and is listed. The caller removes the original.
  // Returns the copy's number in the pool.
  int32_t AddFreeAgent(const Tplayer& player) override;
  // Listings without the rows the club cannot pay and without its own players.
  void AffordableListings(TIntgrid& result, int32_t club) const;

  void AddBid(int32_t key, int32_t seller, int32_t number, int32_t amount, int32_t bidder);
  // A computer club's bids (club 1..23): at most six a week.
  void ComputerBids(int32_t club);
  // Turns Bids into negotiations, taking the listings off the list.
  void GatherBids();
  // The seller holds out in negotiation n: amounts tripled, his own row added.
  void SellerDemands(int n);
  // The user doubles the leading bid of negotiation n.
  void DoubleBid(int n);
  // Computer sellers decide whether to hold out.
  void SellerReactions();
  // Settles every negotiation by the player's choice.
  void Resolve();

  // One market week (weeks 2..10): reactions, settlement, the computer
  // clubs' bids, gathering; in week 9 the list is emptied afterwards.
  void WeeklyRound(int32_t week);

  // The transfer frame's list grid (22 columns).
  void ShowListings(TGrid& grid) const;
  // The transfer frame's offer grid (44 columns). Returns true when some
  // negotiation is about one of the user's players.
  bool ShowNegotiations(TGrid& grid) const;
  // The report view: one row per report line, sorted by amount; a hidden
  // column 5 holds the line's reason (ReportReasons) for the screen's tip.
  void ShowReport(TGrid& grid) const;

  // Stream forms. Readers parse into fresh objects and replace this
  // market's contents only on success; bad input raises StreamError.
  void SaveToStream(TStream& s) const;
  void LoadFromStream(TStream& s);
  void ReadVersion11(TStream& s);
  void ReadVersion6(TStream& s);

 private:
  enum class TformKind { Current, Version11, Version6 };
  void Read(TStream& s, TformKind kind);
  Tteam* Club(int32_t club) const;
};
