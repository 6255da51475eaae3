// The transfer frame in the transfer weeks, driven as a user drives it: the
// menu's three views, the filter, bids and answers by right click, the
// player card, and NEXT until the market has settled the bid.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTest>
#include <QToolTip>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ucommatext.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "screens/Fmain.h"
#include "screens/Fplayer.h"
#include "screens/Frtrade.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

namespace {

void ClickGridCell(TStringGridex* g, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
  g->ScrollToRow(row);
  QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
  QCoreApplication::processEvents();
}

int RowOf(const TGrid& g, int col, const std::string& text) {
  for (int r = 1; r < g.RowCount(); ++r)
    if (g.Cells(col, r) == text) return r;
  return -1;
}

int Number(const std::string& text) { return text.empty() ? -1 : std::stoi(text); }

// The colour the grid paints at the middle of a cell.
QColor CellColour(TStringGridex* g, int col, int row) {
  g->ScrollToRow(row);
  const QImage shot = g->viewport()->grab().toImage();
  const QRect rc = g->CellRect(col, row);
  // The bottom right corner: below and beside the text written at the top left.
  return QColor(shot.pixel(rc.right(), rc.bottom()));
}

class TransferFrame : public ::testing::Test {
 protected:
  void SetUp() override { OpenTitle(3); }
  void TearDown() override { CloseEverything(); }
  Tmain* Next(Tmain* m) {
    Tteam& club = GameState->Team(0);
    for (int s = 0; s < 11; ++s)
      if (club.SlotNumber(s) <= 0) {
        club.AutoLineup(true);  // as 自動選抜 would after a sale
        break;
      }
    Click(m->btnnext);
    Settle();
    return Shown<Tmain>();
  }
  // START, then NEXT through the contract week.
  Tmain* WeekTwo() {
    Tmain* m = StartFromTitle();
    return m ? Next(m) : nullptr;
  }
  ScopedDataDir dir_;
};

TEST_F(TransferFrame, ABidOnAListedPlayerIsSettledAndReported) {
  Tmain* m = WeekTwo();
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GameState->Week, 2);
  TFtrade* f = m->Ftrade1;
  ASSERT_TRUE(f->isVisible());
  EXPECT_EQ(f->geometry(), QRect(236, -2, 780, 600));
  EXPECT_EQ(f->gridmenu->Model().Cells(3, 0), "移籍情報");
  // The list view opens on the filter; the list waits for OK. Without
  // negotiations or report lines those views show nothing at all.
  EXPECT_TRUE(f->GBfilter->isVisible());
  EXPECT_FALSE(f->grid1->isVisible());
  for (int view : {2, 3}) {
    ClickGridCell(f->gridmenu, view, 0);
    EXPECT_FALSE(f->GBfilter->isVisible() || f->grid2->isVisible() || f->grid3->isVisible()) << view;
  }
  EXPECT_FALSE(f->lboffer->isVisible());

  // Nothing selected in the position list leaves no row; OK without a
  // criterion brings every listing back.
  const TGrid& list = f->grid1->Model();
  const int all = f->ListRows;
  ASSERT_GT(all, 20);
  auto filterWith = [&](int k) {
    ClickGridCell(f->gridmenu, 1, 0);
    if (k) f->CB[static_cast<std::size_t>(k)]->click();
    Click(f->btnfilter);
  };
  filterWith(1);
  EXPECT_TRUE(f->grid1->isVisible());
  EXPECT_FALSE(f->GBfilter->isVisible());
  EXPECT_EQ(list.RowCount(), 1);
  filterWith(1);  // unticked
  EXPECT_FALSE(f->LB1->isVisible());
  EXPECT_EQ(list.RowCount(), all);

  // "評価額" at half the money: the cheaper players, cheapest first.
  const int32_t limit = std::max<int32_t>(50, GameState->Team(0).Money / 2 / 50 * 50);
  EXPECT_EQ(f->SE[8]->value(), 1000);
  f->SE[8]->setValue(limit);
  filterWith(8);
  ASSERT_GT(list.RowCount(), 2);
  for (int r = 2; r < list.RowCount(); ++r)
    EXPECT_LE(Number(list.Cells(kListPriceColumn, r - 1)), Number(list.Cells(kListPriceColumn, r)));
  EXPECT_LE(Number(list.Cells(kListPriceColumn, list.RowCount() - 1)), limit);

  // A free agent's name opens his card as one without a club.
  if (const int free = RowOf(list, 2, "99"); free > 0) {
    ClickGridCell(f->grid1, 4, free);
    auto* card = m->findChild<Tplayerinfo*>();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->grid2->Model().Cells(1, 0), "フリー");
    EXPECT_EQ(card->grid2->Model().Cells(1, 1), list.Cells(4, free));
    Click(card->btnclose);
    Settle();
  }

  // Right click marks the asking price; twice takes the mark back.
  ClickGridCell(f->grid1, 7, 2, Qt::RightButton);
  ClickGridCell(f->grid1, 7, 2, Qt::RightButton);
  EXPECT_EQ(list.Cells(kListBidColumn, 2), "");
  // The dearest of them, who must be scrolled to.
  const int pick = list.RowCount() - 1;
  ClickGridCell(f->grid1, 7, pick, Qt::RightButton);
  EXPECT_EQ(f->grid1->Row(), pick);
  ASSERT_EQ(list.Cells(kListBidColumn, pick), list.Cells(kListPriceColumn, pick));
  const std::string name = list.Cells(4, pick);
  const int32_t price = Number(list.Cells(kListPriceColumn, pick));
  const int32_t seller = Number(list.Cells(2, pick));

  // NEXT hands the bid over; the next week shows it among the negotiations.
  m = Next(m);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GameState->Week, 3);
  f = m->Ftrade1;
  ClickGridCell(f->gridmenu, 2, 0);
  ASSERT_TRUE(f->grid2->isVisible());
  const TGrid& offers = f->grid2->Model();
  const int row = RowOf(offers, 3, name);
  ASSERT_GT(row, 0);
  EXPECT_EQ(offers.Cells(kOfferMarkColumn, row), std::to_string(price));
  // The user's bid leads: a right click cannot double it.
  ClickGridCell(f->grid2, 5, row, Qt::RightButton);
  EXPECT_EQ(offers.Cells(kOfferMarkColumn, row), std::to_string(price));

  // The market settles it in the week's step: he joined, or the report
  // says who took him or that he stayed.
  m = Next(m);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GameState->Week, 4);
  f = m->Ftrade1;
  ClickGridCell(f->gridmenu, 3, 0);
  ASSERT_TRUE(f->grid3->isVisible());
  const TGrid& report = f->grid3->Model();
  EXPECT_EQ(report.Cells(0, 0), "選手");
  const int line = RowOf(report, 0, name);
  ASSERT_GT(line, 0);
  EXPECT_EQ(report.Cells(1, line),
            seller == kFreeAgentClub ? std::string(kNoClubName) : GameState->Team(seller).ClubName);
  const Tteam& user = GameState->Team(0);
  bool inSquad = false;
  for (int i = 0; i < user.Squad->Count(); ++i) inSquad = inSquad || user.Squad->PlayerAt(i)->Name == name;
  if (report.Cells(4, line) == user.ClubName) {
    EXPECT_TRUE(inSquad);
    // At the asking price, or three times it when the seller held out.
    EXPECT_TRUE(report.Cells(3, line) == std::to_string(price) || report.Cells(3, line) == std::to_string(3 * price))
        << report.Cells(3, line);
  } else {
    EXPECT_FALSE(inSquad);
    EXPECT_TRUE(report.Cells(4, line) == "残留" || !report.Cells(3, line).empty()) << report.Cells(4, line);
  }
  // A player who stayed: resting the pointer on his result tells why, on a
  // club screen just shown again by NEXT (the window need not be active).
  int stayed = 0;
  for (int r = report.FixedRows; r < report.RowCount() && stayed < 3; ++r) {
    if (report.Cells(4, r) != "残留") continue;
    ASSERT_FALSE(report.Cells(5, r).empty()) << "no reason for " << report.Cells(0, r);
    ++stayed;
    f->grid3->ScrollToRow(r);
    QTest::mouseMove(f->grid3->viewport(), f->grid3->CellRect(4, r).center());
    const QString why = QString::fromStdString(report.Cells(5, r));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QToolTip::isVisible() && QToolTip::text() == why; }, 3000))
        << "shown: " << QToolTip::text().toStdString() << ", expected: " << why.toStdString();
    QTest::mouseMove(m, QPoint(2, 2));  // off the grid: the tip goes
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
  }
  EXPECT_GT(stayed, 0);
}

TEST_F(TransferFrame, ABidForTheUsersPlayerRaisesTheLabelAndTheUserHoldsOut) {
  Tmain* m = WeekTwo();
  ASSERT_NE(m, nullptr);
  Ttrade& market = *GameState->Market;
  TFtrade* f = m->Ftrade1;
  EXPECT_FALSE(f->lboffer->isVisible());

  // Club 5 bids for one of the user's listed players, club 7 for a player
  // of club 9; the club screen is shown again.
  auto listing = [&](int32_t seller) {
    for (int i = 0; i < market.Listings.RowCount(); ++i)
      if (market.Listings.GetValue(i, kListSeller) == seller) return i;
    return -1;
  };
  auto bid = [&](int32_t seller, int32_t bidder) {
    const int i = listing(seller);
    EXPECT_GE(i, 0) << "club " << seller << " lists nobody";
    if (i < 0) return std::string();
    const int32_t number = market.Listings.GetValue(i, kListNumber);
    market.AddBid(market.Listings.GetValue(i, kListKey), seller, number, market.Listings.GetValue(i, kListPrice),
                  bidder);
    return market.FindPlayer(seller, number)->Name;
  };
  GameState->Team(0).Money = 100000;
  GameState->Team(5).Money = 100000;
  const std::string mine = bid(0, 5);
  const std::string theirs = bid(9, 7);
  market.GatherBids();
  m->hide();
  m->show();
  EXPECT_TRUE(f->lboffer->isVisible());
  EXPECT_EQ(f->lboffer->text(), "選手にオファーが来ました");
  EXPECT_EQ(f->lboffer->pos(), QPoint(360, 448));

  ClickGridCell(f->gridmenu, 2, 0);
  ASSERT_TRUE(f->grid2->isVisible());
  const TGrid& g = f->grid2->Model();
  ASSERT_EQ(g.RowCount(), 3);
  const int own = RowOf(g, 3, mine), other = RowOf(g, 3, theirs);
  ASSERT_GT(own, 0);
  ASSERT_GT(other, 0);
  EXPECT_EQ(g.Cells(1, own), "0");
  // The wanted player's row is yellow; a bid cell is red.
  EXPECT_EQ(CellColour(f->grid2, 6, own), QColor(255, 255, 0));
  EXPECT_EQ(CellColour(f->grid2, 20 + 5, own), QColor(255, 0, 0));
  EXPECT_EQ(CellColour(f->grid2, 20 + 7, other), QColor(255, 0, 0));
  EXPECT_NE(CellColour(f->grid2, 20 + 6, other), QColor(255, 0, 0));

  // For his own player the user can only hold out; another club's leading
  // bid he doubles.
  ClickGridCell(f->grid2, 6, own, Qt::RightButton);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, own), "0");
  ClickGridCell(f->grid2, 6, other, Qt::RightButton);
  EXPECT_EQ(g.Cells(kOfferMarkColumn, other), std::to_string(2 * Number(g.Cells(kOfferLeadColumn, other))));

  // The hand over the names; a name opens the card of the seller's player.
  QTest::mouseMove(f->grid2->viewport(), f->grid2->CellRect(3, own).center());
  EXPECT_EQ(f->grid2->viewport()->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(f->grid2->viewport(), f->grid2->CellRect(6, own).center());
  EXPECT_EQ(f->grid2->viewport()->cursor().shape(), Qt::ArrowCursor);
  ClickGridCell(f->grid2, 3, own);
  auto* card = m->findChild<Tplayerinfo*>();
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(card->grid2->Model().Cells(1, 0), GameState->Team(0).ClubName);
  EXPECT_EQ(card->grid2->Model().Cells(1, 1), mine);
  Click(card->btnclose);
  Settle();

  // NEXT: holding out triples every amount before the player chooses.
  const int32_t ownPrice = Number(g.Cells(kOfferLeadColumn, own));
  m = Next(m);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GameState->Week, 3);
  bool reported = false;
  for (std::size_t i = 1; i < market.Report.size(); ++i) {
    const std::vector<std::string> line = SplitCommaText(market.Report[i]);
    if (line.size() != 5 || line[0] != mine) continue;
    reported = true;
    if (line[4] != "残留") {
      EXPECT_EQ(line[3], std::to_string(3 * ownPrice));
    }
  }
  EXPECT_TRUE(reported);
}

}  // namespace
