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

// The figure as painted: body and cross in the form's colours, the foot he
// kicks with red, the white frame behind the emblem as wide as fatigue
// allows (160 - 3 x fatigue up to 20, 100 up to 39, 140 - fatigue up to 79,
// then 60); and the three bars per ability, 3 pixels a point: this season
// red over the upper half, last season blue and the season before green in
// the quarters below.
TEST_F(PlayerCard, FigureAndAbilityBarsAsPainted) {
  Tteam& club = GameState->Team(0);
  const int32_t number = club.Squad->NumberAt(0);
  Tplayer& p = *club.Squad->PlayerByNumber(number);
  p.Leg = 1;  // right-footed
  p.Condition = -5;
  p.InjuryWeeks = 0;
  p.Speed = 40;
  p.LastSeason[0] = 30;
  p.SeasonBefore[0] = 20;
  p.KickContorol = 99;
  p.LastSeason[4] = 1;
  p.SeasonBefore[4] = 50;
  auto px = [](const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); };
  const QColor navy(0, 0, 128), grey(128, 128, 128), red(Qt::red), white(Qt::white), black(Qt::black);
  const std::pair<int32_t, int> widths[] = {{0, 160}, {20, 100}, {21, 100}, {39, 100}, {40, 100}, {79, 61}, {80, 60}};
  for (auto [fatigue, w] : widths) {
    p.Fatigue = fatigue;
    QPointer<Tplayerinfo> card = Open(0, number);
    ASSERT_TRUE(card);
    const QImage img = card->grab().toImage();
    const int L = 50, T = 150, H = 100;
    EXPECT_EQ(card->Image1->geometry(), QRect(L, T, w, H)) << fatigue;
    EXPECT_EQ(px(img, L - 1, T + 50), white) << fatigue;  // the frame, 2 pixels round the emblem
    EXPECT_EQ(px(img, L + w + 1, T + 50), white) << fatigue;
    EXPECT_EQ(px(img, L - 4, T + 50), black) << fatigue;
    EXPECT_EQ(px(img, L + w + 4, T + 50), black) << fatigue;
    EXPECT_EQ(px(img, L + w / 4, 75), navy) << fatigue;  // body: form -10 .. -1
    EXPECT_EQ(px(img, L + w / 2, 65), navy) << fatigue;  // the cross takes the body's colour
    EXPECT_EQ(px(img, L - 15, 262), red) << fatigue;     // right foot
    EXPECT_EQ(px(img, L + w + 15, 262), grey) << fatigue;
    QTest::mouseClick(card->btnclose, Qt::LeftButton);
    Settle();
    EXPECT_FALSE(card);
  }

  p.Fatigue = 30;
  p.InjuryWeeks = 3;
  p.Leg = 0;
  QPointer<Tplayerinfo> card = Open(0, number);
  ASSERT_TRUE(card);
  QImage img = card->grab().toImage();
  EXPECT_EQ(px(img, 50 + 25, 75), white);  // injured: a white body with a red cross
  EXPECT_EQ(px(img, 50 + 50, 65), red);
  EXPECT_EQ(px(img, 50 + 10, 100), red);
  EXPECT_EQ(px(img, 50 - 15, 262), grey);
  EXPECT_EQ(px(img, 50 + 100 + 15, 262), red);  // left foot

  TStringGridex* g = card->grid;
  const QImage bars = g->viewport()->grab().toImage();
  struct Bar {
    int row, now, last, before;
  };
  for (const Bar& b : {Bar{0, 40, 30, 20}, Bar{4, 99, 1, 50}}) {
    const QRect rc = g->CellRect(4, b.row);
    const int h = rc.height(), left = rc.left();
    const int y[3] = {rc.top() + 1, rc.top() + h / 2 + 1, rc.top() + h / 2 + h / 4 + 1};
    const int len[3] = {3 * b.now, 3 * b.last, 3 * b.before};
    const QColor colour[3] = {red, QColor(0, 0, 255), QColor(0, 128, 0)};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(px(bars, left, y[k]), colour[k]) << b.row << " bar " << k;
      EXPECT_EQ(px(bars, left + len[k] - 1, y[k]), colour[k]) << b.row << " bar " << k;
      EXPECT_NE(px(bars, left + len[k] + 1, y[k]), colour[k]) << b.row << " bar " << k;
    }
  }
}

TEST_F(PlayerCard, AFreeAgentOfTheMarket) {
  Tteam& club = GameState->Team(5);
  const int32_t n = GameState->Market->AddFreeAgent(*club.Squad->PlayerAt(0));
  const Tplayer& p = *GameState->Market->FreeAgents->PlayerByNumber(n);

  QPointer<Tplayerinfo> card = Open(kFreeAgentClub, n);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->grid2->Model().Cells(1, 0), "フリー");
  EXPECT_EQ(card->grid2->Model().Cells(1, 1), p.Name);
  EXPECT_EQ(card->Club, kFreeAgentClub);
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
