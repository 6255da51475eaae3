#include "world/Utrade.h"

#include <algorithm>

#include "club/Uarith.h"
#include "club/Ucalendar.h"
#include "club/Ucommatext.h"
#include "club/Ufunction.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"

namespace {

constexpr int32_t kSellerSide = 1000;       // listing key = seller * 1000 + number
constexpr int32_t kMinAffinityToMove = 10;  // a player joins no club he likes less
constexpr int32_t kBuyerWantedNumber = 1;

// The world the market's clubs live in: the game state, or no game at all
// for a market on its own.
const TworldView& World() { return GameState ? static_cast<const TworldView&>(*GameState) : NoWorld(); }

std::string Decimal(int32_t v) { return std::to_string(v); }

}  // namespace

Ttrade::Ttrade() : FreeAgents(std::make_unique<Tplayerlist>()) { Report.push_back(kReportHeader); }

Ttrade::~Ttrade() = default;

Tteam* Ttrade::Club(int32_t club) const {
  if (!GameState || club < 0 || club >= static_cast<int32_t>(GameState->Teams.size())) return nullptr;
  return GameState->Teams[static_cast<std::size_t>(club)].get();
}

Tplayer* Ttrade::FindPlayer(int32_t club, int32_t number) const {
  if (club == kFreeAgentClub) return FreeAgents->PlayerByNumber(number);
  Tteam* team = Club(club);
  if (!team || !team->Squad) return nullptr;
  return team->Squad->PlayerByNumber(number);
}

void Ttrade::RemovePlayer(int32_t club, int32_t number) {
  if (club == kFreeAgentClub) {
    FreeAgents->RemoveNumber(number);
    return;
  }
  Tteam* team = Club(club);
  if (team && team->Squad && team->Squad->IndexOfNumber(number) >= 0) team->Release(number, World());
}

std::string Ttrade::SellerName(int32_t club) const {
  if (club == kFreeAgentClub) return kNoClubName;
  Tteam* team = Club(club);
  return team ? team->ClubName : std::string();
}

void Ttrade::List(int32_t seller, int32_t number, const Tplayer& player) {
  std::vector<int32_t> row = player.RatingRow(World());
  row[kListKey] = CheckedAdd(CheckedMul(seller, kSellerSide), number);
  row[kListSeller] = seller;
  row[kListNumber] = number;
  Listings.AddRow(row);
}

int32_t Ttrade::AddFreeAgent(const Tplayer& player) {
  int32_t number = FreeAgents->Add(Tplayer::CopyOf(player, kFreeAgentClub), 0);
  List(kFreeAgentClub, number, *FreeAgents->PlayerByNumber(number));
  return number;
}

void Ttrade::AffordableListings(TIntgrid& result, int32_t club) const {
  TStream s;
  Listings.SaveToStream(s);
  s.Seek(0);
  result.LoadFromStream(s);
  Tteam* team = Club(club);
  int32_t money = team ? team->Money : 0;
  for (int i = result.RowCount() - 1; i >= 0; --i) {
    if (result.GetValue(i, kListPrice) > money || result.GetValue(i, kListSeller) == club) result.DeleteRow(i);
  }
}

void Ttrade::AddBid(int32_t key, int32_t seller, int32_t number, int32_t amount, int32_t bidder) {
  Bids.AddRow({key, seller, number, amount, bidder});
}

void Ttrade::ComputerBids(int32_t club) {
  if (Listings.RowCount() == 0) return;
  Tteam* team = Club(club);
  if (!team) return;
  TIntgrid candidates;
  AffordableListings(candidates, club);
  const std::array<TTransferTarget, 3> needs = team->TransferTargets();

  auto bidOn = [&](int row) {
    AddBid(candidates.GetValue(row, kListKey), candidates.GetValue(row, kListSeller),
           candidates.GetValue(row, kListNumber), candidates.GetValue(row, kListPrice), club);
    candidates.DeleteRow(row);
  };

  // First the best candidate for each need, if he is good enough.
  for (const TTransferTarget& need : needs) {
    if (candidates.RowCount() == 0) break;
    int column = kListRole0 + need.Role;
    candidates.SortDescending(column);
    if (candidates.GetValue(0, column) >= need.Minimum) bidOn(0);
  }
  // Then a bargain for each need: the cheapest good-enough candidate,
  // passing over the very cheapest one.
  for (const TTransferTarget& need : needs) {
    if (candidates.RowCount() == 0) break;
    int column = kListRole0 + need.Role;
    candidates.SortAscending(kListPrice);
    for (int i = 1; i < candidates.RowCount(); ++i) {
      if (candidates.GetValue(i, column) >= need.Minimum) {
        bidOn(i);
        break;
      }
    }
  }
}

void Ttrade::GatherBids() {
  if (Bids.RowCount() == 0) return;
  Bids.SortAscending(kBidKey);
  Bids.SortDescending(kBidAmount);
  while (Bids.RowCount() > 0) {
    const int32_t key = Bids.GetValue(0, kBidKey);
    const int32_t seller = Bids.GetValue(0, kBidSeller);
    const int32_t number = Bids.GetValue(0, kBidNumber);
    int listing = Listings.FindRow(kListKey, key);
    if (listing >= 0) Listings.DeleteRow(listing);
    const Tplayer* player = FindPlayer(seller, number);
    TIntgrid negotiation;
    negotiation.AddRow({seller, number});
    while (Bids.RowCount() > 0 && Bids.GetValue(0, kBidKey) == key) {
      int32_t bidder = Bids.GetValue(0, kBidBidder);
      int32_t affinity = player ? player->GetAffinity(bidder) : 0;
      negotiation.AddRow({bidder, Bids.GetValue(0, kBidAmount), affinity});
      Bids.DeleteRow(0);
    }
    // Bids on a player who has left the seller meanwhile open nothing.
    if (player) Negotiations.push_back(std::move(negotiation));
  }
}

void Ttrade::SellerDemands(int n) {
  if (n < 0 || n >= static_cast<int>(Negotiations.size())) return;
  TIntgrid& neg = Negotiations[static_cast<std::size_t>(n)];
  const int32_t seller = neg.GetValue(0, 0);
  const int32_t number = neg.GetValue(0, 1);
  for (int r = 1; r < neg.RowCount(); ++r) neg.SetValue(r, kNegAmount, CheckedMul(neg.GetValue(r, kNegAmount), 3));
  const Tplayer* player = FindPlayer(seller, number);
  neg.AddRow({seller, 0, player ? player->GetAffinity(seller) : 0});
}

void Ttrade::DoubleBid(int n) {
  if (n < 0 || n >= static_cast<int>(Negotiations.size())) return;
  TIntgrid& neg = Negotiations[static_cast<std::size_t>(n)];
  if (neg.RowCount() < 2) return;
  const Tplayer* player = FindPlayer(neg.GetValue(0, 0), neg.GetValue(0, 1));
  neg.AddRow({kUserClub, CheckedMul(neg.GetValue(1, kNegAmount), 2), player ? player->GetAffinity(kUserClub) : 0});
}

void Ttrade::SellerReactions() {
  for (int n = 0; n < static_cast<int>(Negotiations.size()); ++n) {
    const TIntgrid& neg = Negotiations[static_cast<std::size_t>(n)];
    const int32_t seller = neg.GetValue(0, 0);
    const int32_t number = neg.GetValue(0, 1);
    if (seller == kUserClub || seller == kFreeAgentClub) continue;
    Tteam* team = Club(seller);
    const Tplayer* player = FindPlayer(seller, number);
    if (!team || !player) continue;
    bool holdOut = false;
    if (team->Money <= 100) {
      holdOut = true;
    } else {
      int32_t phase = player->GrowthPhase();
      if (phase >= 1 && phase <= 3) {
        bool starter = false;
        for (int slot = 0; slot < kStarterCount; ++slot)
          if (team->Slots[static_cast<std::size_t>(slot)] == number) starter = true;
        const std::array<int32_t, 6> targets = team->TransferTargetValues();
        const std::array<int32_t, 5> refs{targets[0], targets[1], targets[2], targets[3], targets[4]};
        holdOut = starter || player->BeatsRoleRatings(refs, World());
      }
    }
    if (holdOut) SellerDemands(n);
  }
}

void Ttrade::Resolve() {
  std::vector<TIntgrid> open;
  open.swap(Negotiations);
  for (TIntgrid& neg : open) {
    if (neg.RowCount() == 0 || neg.RowLength(0) < 2) continue;
    const int32_t seller = neg.GetValue(0, 0);
    const int32_t number = neg.GetValue(0, 1);
    neg.DeleteRow(0);
    Tplayer* player = FindPlayer(seller, number);
    if (!player) continue;  // he left his club meanwhile: nothing to settle
    std::vector<std::string> line{player->Name, SellerName(seller), "→", "", "残留"};
    std::string reason;
    const bool userBid = neg.FindRow(kNegBidder, kUserClub) >= 0 && seller != kUserClub;

    neg.SortDescending(kNegAffinity);

    // A seller who held out: where the player ranks him moves his attachment.
    int sellerRow = neg.FindRow(kNegBidder, seller);
    const bool heldOut = sellerRow >= 0;
    if (sellerRow >= 0) {
      const int rows = neg.RowCount();
      int32_t delta;
      if (sellerRow == 0)
        delta = 10;
      else if (sellerRow == rows - 1)
        delta = -10;
      else if (sellerRow < (rows - 1) / 2)
        delta = -5;
      else
        delta = 5;
      player->SetAffinity(seller, player->GetAffinity(seller) + delta);
      neg.DeleteRow(sellerRow);
    }

    // Bidders who can no longer pay or have no room drop out.
    const char* const priceNote = heldOut ? "（引き止めで金額は3倍）" : "";
    bool shortOfMoney = false;
    std::string userDropped;
    for (int r = neg.RowCount() - 1; r >= 0; --r) {
      Tteam* bidder = Club(neg.GetValue(r, kNegBidder));
      const bool poor = !bidder || bidder->Money < neg.GetValue(r, kNegAmount);
      const bool full = bidder && bidder->Squad->Count() >= kMaxSquad;
      if (!poor && !full) continue;
      shortOfMoney = shortOfMoney || poor;
      if (neg.GetValue(r, kNegBidder) == kUserClub)
        userDropped = poor ? std::string("資金が") + Decimal(neg.GetValue(r, kNegAmount)) + "に足りません" + priceNote
                           : "選手枠（" + Decimal(kMaxSquad) + "人）が一杯です";
      neg.DeleteRow(r);
    }
    if (neg.RowCount() == 0)
      reason = shortOfMoney ? std::string("入札額を払えるクラブがありません") + priceNote
                            : "入札したクラブの選手枠が一杯です";
    else if (neg.GetValue(0, kNegAffinity) < kMinAffinityToMove)
      reason =
          "選手がどのクラブにも愛着が足りず、移籍を望みません（愛着" + Decimal(kMinAffinityToMove) + "以上で移籍）";

    bool moved = false;
    if (neg.RowCount() > 0 && neg.GetValue(0, kNegAffinity) >= kMinAffinityToMove) {
      const int32_t best = neg.GetValue(0, kNegAffinity);
      int32_t tied = 0;
      while (tied < neg.RowCount() && neg.GetValue(tied, kNegAffinity) == best) ++tied;
      const int winnerRow = Random(tied);
      const int32_t winner = neg.GetValue(winnerRow, kNegBidder);
      const int32_t amount = neg.GetValue(winnerRow, kNegAmount);
      Tteam* buyer = Club(winner);
      if (seller != kFreeAgentClub) {
        if (Tteam* sellerClub = Club(seller)) sellerClub->AddMoney(amount);
      }
      buyer->AddMoney(CheckedSub(0, amount));
      line[3] = Decimal(amount);
      line[4] = buyer->ClubName;
      player->History.AddRow({World().CurrentYear(), winner, amount, 0, 0, 0, 0});
      buyer->TakeIn(*player, kBuyerWantedNumber);
      RemovePlayer(seller, number);
      moved = true;
      if (seller == kUserClub && heldOut)
        UserNews.push_back(line[0] + "を引き止めましたが、" + line[4] +
                           "へ移籍しました（引き止めは金額を3倍にするだけで、" + "愛着" + Decimal(kMinAffinityToMove) +
                           "以上の入札クラブがあれば選手は移籍します）");
      else if (userBid && winner != kUserClub)
        UserNews.push_back(line[0] + "は" + line[4] + "へ移籍しました（" +
                           (userDropped.empty() ? std::string("選手の愛着が上回ったクラブが選ばれます") : userDropped) +
                           "）");
    } else if (userBid) {
      UserNews.push_back(line[0] + "の獲得は失敗しました（" + (userDropped.empty() ? reason : userDropped) + "）");
    } else if (seller == kUserClub) {
      UserNews.push_back(line[0] + "は残留しました（" + reason + "）");
    }
    ReportReasons.resize(Report.size());
    Report.push_back(CommaText(line));
    ReportReasons.push_back(moved ? std::string() : reason);
    if (seller == kFreeAgentClub && !moved) List(kFreeAgentClub, number, *player);
  }
}

void Ttrade::WeeklyRound(int32_t week) {
  SellerReactions();
  Resolve();
  for (int32_t club = 1; club < kClubCount; ++club) ComputerBids(club);
  GatherBids();
  if (week == kLastListingWeek) Listings.Clear();
}

// ---- grids -------------------------------------------------------------------

namespace {

void SetHeader(TGrid& grid, const std::string& header) {
  std::vector<std::string> items = SplitCommaText(header);
  for (int c = 0; c < grid.ColCount() && c < static_cast<int>(items.size()); ++c) grid.Cells(c, 0) = items[c];
}

void PutFields(TGrid& grid, int row, int firstCol, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    int c = firstCol + static_cast<int>(i);
    if (c < grid.ColCount()) grid.Cells(c, row) = fields[i];
  }
}

}  // namespace

void Ttrade::ShowListings(TGrid& grid) const {
  grid.SetColCount(22);
  grid.SetRowCount(1);
  grid.ClearCells();
  grid.SetColWidth(1, 70);
  grid.SetColWidth(4, 100);
  grid.SetColWidth(0, -1);
  grid.SetColWidth(2, -1);
  grid.SetColWidth(19, -1);
  grid.SetColWidth(6, 50);
  grid.SetColWidth(14, 50);
  grid.SetColWidth(18, 35);
  grid.SetColWidth(21, 35);
  SetHeader(grid, ",Team,,No,Name,Age,Mtype,SP,H,D,C,K,A,Leg,Ktype,試,ゴ,ア,Value,,成,offer");
  const Tteam* user = Club(kUserClub);
  const int32_t money = user ? user->Money : 0;
  for (int i = 0; i < Listings.RowCount(); ++i) {
    const int32_t seller = Listings.GetValue(i, kListSeller);
    const int32_t number = Listings.GetValue(i, kListNumber);
    const int32_t price = Listings.GetValue(i, kListPrice);
    if (price > money || seller == kUserClub) continue;
    const Tplayer* player = FindPlayer(seller, number);
    if (!player) continue;
    int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    PutFields(grid, row, 2, player->RowFields(World()));
    grid.Cells(kListEntryColumn, row) = Decimal(Listings.GetValue(i, kListKey));
    grid.Cells(1, row) = SellerName(seller);
    grid.Cells(kListSellerColumn, row) = Decimal(seller);
    grid.Cells(kListNumberColumn, row) = Decimal(number);
    grid.Cells(kListPriceColumn, row) = Decimal(price);
  }
  grid.FixedRows = grid.RowCount() > 1 ? 1 : 0;
}

bool Ttrade::ShowNegotiations(TGrid& grid) const {
  grid.SetColCount(44);
  grid.SetRowCount(1);
  grid.ClearCells();
  grid.SetColWidth(0, 70);
  grid.SetColWidth(3, 100);
  grid.SetColWidth(1, -1);
  grid.SetColWidth(18, -1);
  grid.SetColWidth(5, 50);
  grid.SetColWidth(13, 50);
  grid.SetColWidth(17, 35);
  grid.SetColWidth(20, 35);
  for (int c = 21; c <= 43; ++c) grid.SetColWidth(c, 2);
  SetHeader(grid, "Team,,No,Name,Age,Mtype,SP,H,D,C,K,A,Leg,Ktype,試,ゴ,ア,Value,,成,offer");
  bool offerForUser = false;
  for (const TIntgrid& neg : Negotiations) {
    if (neg.RowCount() == 0 || neg.RowLength(0) < 2) continue;
    const int32_t seller = neg.GetValue(0, 0);
    const int32_t number = neg.GetValue(0, 1);
    const Tplayer* player = FindPlayer(seller, number);
    int row = grid.RowCount();
    grid.SetRowCount(row + 1);
    if (player) PutFields(grid, row, 1, player->RowFields(World()));
    grid.Cells(0, row) = SellerName(seller);
    grid.Cells(kOfferSellerColumn, row) = Decimal(seller);
    grid.Cells(kOfferNumberColumn, row) = Decimal(number);
    grid.Cells(kOfferLeadColumn, row) = neg.RowCount() > 1 ? Decimal(neg.GetValue(1, kNegAmount)) : std::string();
    for (int r = 1; r < neg.RowCount(); ++r) {
      int32_t bidder = neg.GetValue(r, kNegBidder);
      if (bidder >= 0 && OfferBidderColumn(bidder) < grid.ColCount())
        grid.Cells(OfferBidderColumn(bidder), row) = Decimal(neg.GetValue(r, kNegAmount));
    }
    if (seller == kUserClub) offerForUser = true;
  }
  grid.FixedRows = grid.RowCount() > 1 ? 1 : 0;
  return offerForUser;
}

void Ttrade::ShowReport(TGrid& grid) const {
  grid.SetColCount(6);
  grid.SetRowCount(static_cast<int>(Report.size()));
  grid.ClearCells();
  grid.DefaultColWidth = 35;
  grid.SetColWidth(0, 100);
  grid.SetColWidth(1, 70);
  grid.SetColWidth(4, 70);
  grid.SetColWidth(5, -1);
  for (int r = 0; r < static_cast<int>(Report.size()); ++r) {
    PutFields(grid, r, 0, SplitCommaText(Report[r]));
    if (r < static_cast<int>(ReportReasons.size())) grid.Cells(5, r) = ReportReasons[static_cast<std::size_t>(r)];
  }
  if (grid.RowCount() > 1) {
    grid.FixedRows = 1;
    SortByColumn(grid, 3, 1);
  } else {
    grid.FixedRows = 0;
  }
}

// ---- stream forms ---------------------------------------------------------------

void Ttrade::SaveToStream(TStream& s) const {
  Listings.SaveToStream(s);
  FreeAgents->SaveToStream(s);
  s.WriteInt32(static_cast<int32_t>(Negotiations.size()));
  for (const TIntgrid& neg : Negotiations) neg.SaveToStream(s);
  s.WriteInt32(static_cast<int32_t>(Report.size()));
  for (const std::string& line : Report) WriteString(s, line);
}

void Ttrade::LoadFromStream(TStream& s) { Read(s, TformKind::Current); }
void Ttrade::ReadVersion11(TStream& s) { Read(s, TformKind::Version11); }
void Ttrade::ReadVersion6(TStream& s) { Read(s, TformKind::Version6); }

void Ttrade::Read(TStream& s, TformKind kind) {
  // Placeholder players draw from the generator; reading must not.
  struct KeepRandom {
    RandomState saved = GetRandomState();
    ~KeepRandom() { SetRandomState(saved); }
  } keep;
  TIntgrid listings;
  listings.LoadFromStream(s);
  for (int i = 0; i < listings.RowCount(); ++i)
    if (listings.RowLength(i) < 9) throw StreamError("transfer list row too short", s.Position());

  auto agents = std::make_unique<Tplayerlist>();
  if (kind == TformKind::Current) {
    agents->LoadFromStream(s, kFreeAgentClub);
  } else if (kind == TformKind::Version11) {
    agents->LoadFromStreamShort(s, kFreeAgentClub);
  } else {
    TIntgrid numbers;
    numbers.LoadFromStream(s);
    for (int i = 0; i < numbers.RowCount(); ++i) {
      if (numbers.RowLength(i) < 1) throw StreamError("free-agent number row empty", s.Position());
      s.Need(4, "free agent");
      auto player = Tplayer::Placeholder(kFreeAgentClub);
      player->LoadFromStream(s);
      agents->Add(std::move(player), numbers.GetValue(i, 0));
    }
  }

  std::vector<TIntgrid> negotiations;
  int32_t count = s.ReadCount(4, "negotiations");
  negotiations.reserve(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    TIntgrid neg;
    neg.LoadFromStream(s);
    if (neg.RowCount() == 0 || neg.RowLength(0) < 2) throw StreamError("negotiation without seller row", s.Position());
    for (int r = 1; r < neg.RowCount(); ++r)
      if (neg.RowLength(r) < 3) throw StreamError("negotiation bid row too short", s.Position());
    negotiations.push_back(std::move(neg));
  }

  std::vector<std::string> report;
  int32_t lines = s.ReadCount(4, "report lines");
  report.reserve(static_cast<std::size_t>(lines));
  for (int32_t i = 0; i < lines; ++i) {
    s.Need(4, "report line");
    report.push_back(ReadString(s));
  }

  Listings = std::move(listings);
  FreeAgents = std::move(agents);
  Negotiations = std::move(negotiations);
  Report = std::move(report);
  ReportReasons.clear();
  UserNews.clear();
  Bids.Clear();
}
