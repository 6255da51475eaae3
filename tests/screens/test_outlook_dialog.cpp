// The outlook dialog, opened from the club screen's menu as a player opens
// it: it computes on worker threads, shows the odds, and leaves the game
// exactly as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "screens/Fmain.h"
#include "screens/Foutlook.h"
#include "screens/Ftitle.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"

namespace {

TEST(OutlookDialog, ShowsTheOddsAndLeavesTheGameAsItWas) {
  ScopedDataDir dir;
  OpenTitle(8);
  Tmain* main = StartFromTitle();
  ASSERT_NE(main, nullptr);
  bool listed = false;
  for (QAction* a : main->MainMenu1->actions()) listed = listed || a->text() == QStringLiteral("見通し");
  EXPECT_TRUE(listed);

  const std::vector<uint8_t> before = GameState->SaveBody();
  const RandomState draws = GetRandomState();
  {
    TFoutlook dialog(GameState->DivisionOf(0), main);
    dialog.Runs = 2;
    dialog.RehearsalRuns = 10;
    dialog.show();
    dialog.Start();
    EXPECT_EQ(dialog.progress->maximum(), 12);
    for (int i = 0; i < 6000 && !dialog.Finished(); ++i) QTest::qWait(20);  // the window stays responsive
    ASSERT_TRUE(dialog.Finished());
    // The user's division, his club among its eight, and the odds in per cent.
    int own = -1;
    for (int r = 0; r < 8; ++r)
      if (dialog.gridodds->item(r, 0)->text().toStdString() == GameState->Team(0).ClubName) own = r;
    ASSERT_GE(own, 0);
    EXPECT_TRUE(dialog.gridodds->item(own, 2)->text().endsWith(QStringLiteral("%")));
    EXPECT_TRUE(dialog.lbmoney->text().startsWith(QStringLiteral("シーズン終了時の予想所持金：")));
    // Before the season's fixtures are drawn there is no next match to rehearse.
    EXPECT_EQ(dialog.lbmatch->text(), QStringLiteral("次の試合はまだ決まっていません"));
    dialog.cbdivision->setCurrentIndex(0);
    EXPECT_FALSE(dialog.gridodds->item(0, 0)->text().isEmpty());
    dialog.reject();
  }
  EXPECT_EQ(GameState->SaveBody(), before);
  const RandomState now = GetRandomState();
  EXPECT_TRUE(now.state == draws.state && now.inc == draws.inc);

  // Cancelled while it runs: the dialog closes at once and the game is as before.
  {
    TFoutlook dialog(1, main);
    dialog.Runs = 1000;
    dialog.show();
    dialog.Start();
    QTest::qWait(50);
    dialog.reject();
    EXPECT_FALSE(dialog.Finished());
  }
  EXPECT_EQ(GameState->SaveBody(), before);
  CloseEverything();
}

}  // namespace
