// The player card opened over a screen, read and closed as a user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Fplayer.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {

QString RowText(const TStringGridex* g, int row) {
  QStringList cells;
  for (int c = 0; c < g->Model().ColCount(); ++c) cells << QString::fromStdString(g->Model().Cells(c, row));
  return cells.join(',');
}

class PlayerCard : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(App().NewGameState());
    GameState->Market = std::make_unique<Ttrade>();
    caller_ = new QWidget;
    caller_->setFixedSize(1016, 654);
    caller_->show();
  }
  void TearDown() override {
    delete caller_;
    Settle();
    App().FreeGameState();
  }
  Tplayerinfo* Open(int club, int number) {
    auto* card = new Tplayerinfo(caller_);
    card->ShowPlayer(club, number);
    return card;
  }
  ScopedDataDir dir_;
  QWidget* caller_ = nullptr;
};

TEST_F(PlayerCard, ASquadPlayerOfTheUsersClub) {
  Tteam& club = GameState->Team(0);
  const int32_t number = club.Squad->NumberAt(0);
  Tplayer& p = *club.Squad->PlayerByNumber(number);
  p.InjuryWeeks = 2;
  p.Fatigue = 20;
  p.History.Clear();
  p.History.AddRow({1, 0, kTradeYouth, 12, 3, 1, 652});
  p.History.AddRow({2, 0, kTradeOrdinary, 0, 0, 0, 0});

  QPointer<Tplayerinfo> card = Open(0, number);
  ASSERT_TRUE(card);
  EXPECT_TRUE(card->isVisible());
  EXPECT_EQ(card->parentWidget(), caller_);
  EXPECT_EQ(card->geometry(), QRect(100, 130, 800, 510));
  EXPECT_EQ(card->grid2->Model().Cells(1, 0), club.ClubName);
  EXPECT_EQ(card->grid2->Model().Cells(1, 1), p.Name);
  EXPECT_EQ(card->grid2->Model().Cells(1, 6), std::to_string(number));
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(card->Grid1->Model().Cells(c, 1), ChoiceLabel(p.Choice(c - 1))) << c;
  EXPECT_EQ(RowText(card->grid3, 1), "2," + QString::fromStdString(club.ClubName) + ",,0,0,0,0.00");
  EXPECT_EQ(RowText(card->grid3, 2), "1," + QString::fromStdString(club.ClubName) + ",ユ,12,3,1,6.52");
  EXPECT_TRUE(card->Memo1->toPlainText().endsWith("全治2週間の怪我中"));
  EXPECT_EQ(card->Image1->width(), 100);
  EXPECT_EQ(card->BodyColour, QColor(Qt::white));
  EXPECT_EQ(card->CrossColour, QColor(Qt::red));

  // A click anywhere on the card closes it, on a table as on the panel.
  QTest::mouseClick(card->grid2, Qt::LeftButton, {}, QPoint(60, 30));
  Settle();
  EXPECT_FALSE(card);
  card = Open(0, number);
  QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(400, 10));
  Settle();
  EXPECT_FALSE(card);
  EXPECT_TRUE(caller_->isVisible());
}

TEST_F(PlayerCard, AFreeAgentOfTheMarket) {
  Tteam& club = GameState->Team(5);
  const int32_t n = GameState->Market->AddFreeAgent(*club.Squad->PlayerAt(0));
  const Tplayer& p = *GameState->Market->FreeAgents->PlayerByNumber(n);

  QPointer<Tplayerinfo> card = Open(kFreeAgentClub, n);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->grid2->Model().Cells(1, 0), "フリー");
  EXPECT_EQ(card->grid2->Model().Cells(1, 1), p.Name);
  EXPECT_EQ(card->grid2->Tag, kFreeAgentClub);
  EXPECT_FALSE(card->Image1->pixmap().isNull());  // the "無" picture
  EXPECT_EQ(card->grid3->Model().Cells(1, 1), club.ClubName);

  QTest::mouseClick(card->btnclose, Qt::LeftButton);
  Settle();
  EXPECT_FALSE(card);

  // A number nobody has: no card stays behind.
  card = Open(kFreeAgentClub, n + 1);
  Settle();
  EXPECT_FALSE(card);
}

}  // namespace
