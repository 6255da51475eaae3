// The window as a player drives it: closing a screen never ends the game
// unasked, the save screen holds the club screen back, refilled lists start
// at their top, and the views follow the division chosen beside them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Umatchteam.h"
#include "screens/Fevent.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Frmatch.h"
#include "screens/Frtrade.h"
#include "screens/Fsave.h"
#include "screens/Ftactics.h"
#include "screens/StringGridex.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { OpenTitle(11); }
  void TearDown() override {
    App().AutoAnswer = true;
    CloseEverything();
  }
  Tmain* Next(Tmain* m) {
    Tteam& club = GameState->Team(0);
    for (int s = 0; s < 11; ++s)
      if (club.SlotNumber(s) <= 0) {
        club.AutoLineup(true);
        break;
      }
    m->Ftomatch1->radiowatchn->setChecked(true);
    Click(m->btnnext);
    Settle();
    if (Tnews* n = Shown<Tnews>()) {
      QTest::mouseClick(n->Memomes->viewport(), Qt::LeftButton);
      Settle();
    }
    return Shown<Tmain>();
  }
  // A click as the window system delivers it, so that a window held back
  // by a modal one never gets it.
  static void ClickThroughWindow(QWidget* screen, QWidget* target) {
    QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, target->mapTo(screen, target->rect().center()));
    Settle();
  }
  ScopedDataDir dir_;
};

TEST_F(WindowTest, ClosingTheTacticsScreenBringsTheClubScreenBackUnasked) {
  Tmain* m = StartFromTitle();
  ASSERT_NE(m, nullptr);
  App().AutoAnswer = false;  // a question would keep the screen
  for (int k : {0, 3}) {     // the user's club, then another
    m->imgtLeftClick(k);
    Settle();
    Ttactics* t = Shown<Ttactics>();
    ASSERT_NE(t, nullptr);
    App().LastMessage.clear();
    t->close();
    Settle();
    EXPECT_EQ(Shown<Ttactics>(), nullptr) << "club slot " << k;
    EXPECT_EQ(Shown<Tmain>(), m) << "club slot " << k;
    EXPECT_TRUE(App().LastMessage.isEmpty()) << App().LastMessage.toStdString();
  }
}

TEST_F(WindowTest, TheSaveScreenHoldsTheClubScreenBackAndItsCloseBoxIsCancel) {
  Tmain* m = StartFromTitle();
  ASSERT_NE(m, nullptr);
  m->MainMenu1->actions().at(0)->trigger();
  Settle();
  Tsave* s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(QApplication::activeModalWidget(), s);
  ClickThroughWindow(m, m->btnnext);
  EXPECT_EQ(GameState->Week, 1) << "NEXT reached behind the save screen";
  EXPECT_EQ(Shown<Tsave>(), s);
  // The close box closes the save screen only, without a question.
  App().AutoAnswer = false;
  App().LastMessage.clear();
  s->close();
  Settle();
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  EXPECT_EQ(Shown<Tmain>(), m);
  EXPECT_TRUE(App().LastMessage.isEmpty()) << App().LastMessage.toStdString();
  // Now the same click is NEXT's.
  ClickThroughWindow(m, m->btnnext);
  EXPECT_EQ(GameState->Week, 2);
}

TEST_F(WindowTest, ListsRefilledByANewWeekStartAtTheirTop) {
  Tmain* m = StartFromTitle();
  for (int i = 0; i < 3 && m; ++i) m = Next(m);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(GameState->Week, 4);
  TFtrade* f = m->Ftrade1;
  int scrolled = 0;
  for (TStringGridex* g : {f->grid1, f->grid2, f->grid3}) {
    g->show();
    g->verticalScrollBar()->setValue(g->verticalScrollBar()->maximum());
    if (g->verticalScrollBar()->value() > 0) ++scrolled;
  }
  ASSERT_GT(scrolled, 0) << "no list long enough to scroll";
  m = Next(m);
  ASSERT_NE(m, nullptr);
  for (TStringGridex* g : {f->grid1, f->grid2, f->grid3}) {
    EXPECT_EQ(g->verticalScrollBar()->value(), 0);
    if (g->Model().RowCount() > g->Model().FixedRows) {
      EXPECT_EQ(g->Row(), g->Model().FixedRows);
    }
  }
}

TEST_F(WindowTest, TheLeagueViewFollowsTheDivisionChosenBesideIt) {
  Tmain* m = StartFromTitle();
  while (m && GameState->Week < 12) m = Next(m);
  ASSERT_NE(m, nullptr);
  TFtomatch* f = m->Ftomatch1;
  QTest::mouseClick(f->gridmenu->viewport(), Qt::LeftButton, {}, f->gridmenu->CellRect(2, 0).center());
  for (int d : {1, 2, 3}) {
    QTest::mouseClick(m->gridoutleague->viewport(), Qt::LeftButton, {}, m->gridoutleague->CellRect(d, 0).center());
    TGrid expected;
    GameState->Leagues[d - 1]->ShowTable(expected);
    ASSERT_EQ(f->grid->Model().RowCount(), expected.RowCount());
    for (int r = 0; r < expected.RowCount(); ++r)
      EXPECT_EQ(f->grid->Model().Cells(0, r), expected.Cells(0, r)) << "division " << d << ", row " << r;
  }
  // Views that are no league's stay as they are.
  QTest::mouseClick(f->gridmenu->viewport(), Qt::LeftButton, {}, f->gridmenu->CellRect(2, 1).center());
  const std::string schedule = f->grid->Model().Cells(1, 1);
  QTest::mouseClick(m->gridoutleague->viewport(), Qt::LeftButton, {}, m->gridoutleague->CellRect(1, 0).center());
  EXPECT_EQ(f->grid->Model().Cells(1, 1), schedule);
}

TEST_F(WindowTest, ARefusedThirdSubstitutionSaysWhy) {
  Tmain* m = StartFromTitle();
  while (m && GameState->Week < 12) m = Next(m);
  ASSERT_NE(m, nullptr);
  GameState->Team(0).AutoLineup(true);
  m->Ftomatch1->radiowatchy->setChecked(true);
  Click(m->btnnext);
  Settle();
  Tmatch* match = Shown<Tmatch>();
  ASSERT_NE(match, nullptr);
  match->WaitForSounds = false;
  const Tmteam& team = match->Driver()->MatchTeam(match->UserSide());
  for (int sub = 0; sub < 3; ++sub) {
    App().LastMessage.clear();
    match->SelectPitchRow(2 + sub);
    int bench = 0;
    while (bench < 5 && match->gridn2->Model().Cells(0, bench).empty()) ++bench;
    ASSERT_LT(bench, 5) << "no substitute left";
    match->gridn2->SetSelection(0, bench);
    match->BenchSwap();
    EXPECT_EQ(team.SubsMade, std::min(sub + 1, 2));
    EXPECT_EQ(App().LastMessage.toStdString(), sub < 2 ? "" : "交代は2人までです");
  }
}

TEST_F(WindowTest, TheSeasonEventsSayClickToGoOn) {
  ASSERT_NE(StartFromTitle(), nullptr);
  App().OpenEvent();
  Settle();
  Tevent* e = Shown<Tevent>();
  ASSERT_NE(e, nullptr);
  e->EndPauseMs = 0;
  EXPECT_TRUE(e->lbnext->isVisible());
  EXPECT_EQ(e->lbnext->text(), "クリックで次へ ▶");
  EXPECT_TRUE(QRect(0, 0, 640, 360).contains(e->lbnext->geometry()));
  // A click on the picture goes on as one on the text does.
  const QString first = e->Memo1->toPlainText();
  QTest::mouseClick(e->canvas, Qt::LeftButton);
  EXPECT_NE(e->Memo1->toPlainText(), first);
  for (int i = 0; i < 20 && !e->Events.Finished; ++i) e->Memo1Click();
  ASSERT_TRUE(e->Events.Finished);
  EXPECT_FALSE(e->lbnext->isVisible());
}

}  // namespace
