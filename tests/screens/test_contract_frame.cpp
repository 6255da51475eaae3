// The contract frame of week 1, driven as a user drives it: clicks on the
// list, the number board, the scouting list boxes and NEXT.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "screens/Fmain.h"
#include "screens/Fplayer.h"
#include "screens/Frcontract.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {

void ClickCell(TStringGridex* g, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
  g->ScrollToRow(row);
  QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
}

void ClickItem(QListWidget* box, int row) {
  QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, box->visualItemRect(box->item(row)).center());
}

class ContractFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenTitle(7);
    main_ = StartFromTitle();
    ASSERT_NE(main_, nullptr);
    ASSERT_EQ(GameState->Week, 1);
    frame_ = main_->Fcontract1;
    ASSERT_TRUE(frame_->isVisible());
  }
  void TearDown() override { CloseEverything(); }
  const TGrid& Plist() { return frame_->Desk.Plist; }
  const TGrid& Board() { return frame_->Desk.Board; }
  int RowOfKey(const std::string& key) {
    for (int r = 1; r < Plist().RowCount(); ++r)
      if (Plist().Cells(kConKey, r) == key) return r;
    return -1;
  }
  std::string Mark(const std::string& key) { return Plist().Cells(kConMark, RowOfKey(key)); }
  // The first number on the board nobody wears, after `after`.
  int FreeNumberRow(int after = kBoardCoachRows - 1) {
    for (int b = after + 1; b < Board().RowCount(); ++b)
      if (Board().Cells(2, b).empty()) return b;
    return -1;
  }
  Tmain* main_ = nullptr;
  TFcontract* frame_ = nullptr;
  ScopedDataDir dir_;
};

TEST_F(ContractFrame, RenumberingAndPromotionReachTheClubAndTheMarketAfterATacticsVisit) {
  EXPECT_EQ(frame_->lbwage->text(), QStringLiteral("総年俸：") + QString::number(frame_->Desk.Wages));
  EXPECT_EQ(frame_->lbscout->text(), QStringLiteral("スカウト費用：0"));
  Tteam& club = GameState->Team(0);
  ASSERT_GT(club.Youth->Count(), 0);

  // The player of the first list row takes a free number: board row first,
  // then a right click on him.
  const int playerRow = 1;
  const std::string playerKey = Plist().Cells(kConKey, playerRow);
  const std::string playerName = club.Squad->PlayerByNumber(std::stoi(playerKey))->Name;
  const int numberRow = FreeNumberRow();
  ASSERT_GT(numberRow, 0);
  const std::string newNumber = Board().Cells(0, numberRow);
  ClickCell(frame_->gridfuture, 0, numberRow);
  ClickCell(frame_->gridplist, 3, playerRow, Qt::RightButton);
  EXPECT_EQ(Mark(playerKey), newNumber);
  EXPECT_EQ(Board().Cells(1, numberRow), playerName);
  EXPECT_TRUE(Board().Cells(2, std::stoi(playerKey) + kBoardCoachRows - 1).empty());

  // A youth is promoted the other way round: his row, then a right click on
  // the board.
  const std::string youthKey = std::to_string(club.Youth->NumberAt(0));
  const std::string youthName = club.Youth->PlayerAt(0)->Name;
  const int32_t wagesBefore = frame_->Desk.Wages;
  const int youthNumberRow = FreeNumberRow(numberRow);
  const std::string youthNumber = Board().Cells(0, youthNumberRow);
  ClickCell(frame_->gridplist, 3, RowOfKey(youthKey));
  ClickCell(frame_->gridfuture, 1, youthNumberRow, Qt::RightButton);
  EXPECT_EQ(Mark(youthKey), youthNumber);
  EXPECT_EQ(frame_->Desk.Wages, wagesBefore - 5 + club.Youth->PlayerAt(0)->Wage());
  EXPECT_EQ(frame_->lbwage->text(), QStringLiteral("総年俸：") + QString::number(frame_->Desk.Wages));

  // To the tactics screen and back: the marks are still on the desk.
  for (int k = 0; k < 8; ++k)
    if (main_->slotClub[k] == 0) QTest::mouseClick(main_->imgt[k], Qt::LeftButton);
  Settle();
  Ttactics* t = Shown<Ttactics>();
  ASSERT_NE(t, nullptr);
  QTest::mouseClick(t->btnback, Qt::LeftButton);
  Settle();
  ASSERT_EQ(Shown<Tmain>(), main_);
  EXPECT_EQ(Mark(playerKey), newNumber);
  EXPECT_EQ(Mark(youthKey), youthNumber);

  Click(main_->btnnext);
  Settle();
  ASSERT_EQ(GameState->Week, 2);
  EXPECT_FALSE(main_->Fcontract1->isVisible());
  const Tplayer* renumbered = club.Squad->PlayerByNumber(std::stoi(newNumber));
  ASSERT_NE(renumbered, nullptr);
  EXPECT_EQ(renumbered->Name, playerName);
  const Tplayer* promoted = club.Squad->PlayerByNumber(std::stoi(youthNumber));
  ASSERT_NE(promoted, nullptr);
  EXPECT_EQ(promoted->Name, youthName);
  EXPECT_EQ(club.Youth->IndexOfNumber(std::stoi(youthKey)), -1);

  // The renumbered player is on the transfer list under his new number, the
  // promoted youth is not listed at all.
  bool listedNew = false, listedOld = false, listedYouth = false;
  const TIntgrid& listings = GameState->Market->Listings;
  for (int i = 0; i < listings.RowCount(); ++i) {
    if (listings.GetValue(i, kListSeller) != 0) continue;
    const int32_t n = listings.GetValue(i, kListNumber);
    listedNew |= n == std::stoi(newNumber);
    listedOld |= n == std::stoi(playerKey);
    listedYouth |= n == std::stoi(youthNumber);
  }
  EXPECT_TRUE(listedNew);
  EXPECT_FALSE(listedOld);
  EXPECT_FALSE(listedYouth);
}

TEST_F(ContractFrame, ScoutingResetBoardLinkAndPlayerCard) {
  Tteam& club = GameState->Team(0);
  // The deficit warning follows the scouting country.
  club.Money = frame_->Desk.Wages + 1000;
  ClickItem(frame_->Lbox1, 3);  // ブラジル
  EXPECT_EQ(frame_->lbscout->text(), QStringLiteral("スカウト費用：1500"));
  EXPECT_FALSE(frame_->lbminus->isHidden());
  EXPECT_EQ(frame_->lbminus->text(), QStringLiteral("赤字だよ"));
  ClickItem(frame_->Lbox2, 6);  // FW
  EXPECT_EQ(club.YouthNationality, 3);
  EXPECT_EQ(club.YouthPosition, 6);
  ClickItem(frame_->Lbox1, 0);  // 日本
  EXPECT_TRUE(frame_->lbminus->isHidden());

  // Giving a youth a number and resetting him with "初期化".
  const std::string youthKey = std::to_string(club.Youth->NumberAt(0));
  const int youthRow = RowOfKey(youthKey);
  ClickCell(frame_->gridfuture, 0, FreeNumberRow());
  ClickCell(frame_->gridplist, 3, youthRow, Qt::RightButton);
  EXPECT_NE(Mark(youthKey), "ユ");
  Click(frame_->btncformat);
  EXPECT_EQ(Mark(youthKey), "ユ");

  // A double click on a worn number selects its wearer in the list.
  const int sevenRow = 7 + kBoardCoachRows - 1;
  ClickCell(frame_->gridfuture, 1, sevenRow);  // a double click starts with a click
  QTest::mouseDClick(frame_->gridfuture->viewport(), Qt::LeftButton, {},
                     frame_->gridfuture->CellRect(1, sevenRow).center());
  EXPECT_EQ(frame_->gridplist->Row(), RowOfKey("7"));

  // A squad player's name opens his card over the club screen; a youth's
  // name opens nothing.
  ClickCell(frame_->gridplist, kConName, youthRow);
  EXPECT_EQ(main_->findChild<Tplayerinfo*>(), nullptr);
  ClickCell(frame_->gridplist, kConName, RowOfKey("7"));
  auto* card = main_->findChild<Tplayerinfo*>();
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(card->isVisible());
  EXPECT_EQ(card->grid2->Model().Cells(1, 1), club.Squad->PlayerByNumber(7)->Name);
}

}  // namespace
