// The outlook dialog, opened from the club screen's menu as a player opens
// it: it computes on worker threads, shows the odds, and leaves the game
// exactly as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "screens/Fadvice.h"
#include "screens/Fmain.h"
#include "screens/Foutlook.h"
#include "screens/Ftitle.h"
#include "screens/Uapp.h"
#include "screens/Uworkerdialog.h"
#include "world/Uadvice.h"
#include "world/Uautopilot.h"
#include "world/Ugamemain.h"
#include "world/Uoutlook.h"

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
    for (int i = 0; i < 6000 && !dialog.Finished(); ++i) QTest::qWait(20);  // the window stays responsive
    ASSERT_TRUE(dialog.Finished());
    // The user's division, his club among its eight, and the odds in per cent.
    int own = -1;
    for (int r = 0; r < 8; ++r)
      if (dialog.gridodds->item(r, 0)->text().toStdString() == GameState->Team(0).ClubName) own = r;
    ASSERT_GE(own, 0);
    EXPECT_TRUE(dialog.gridodds->item(own, 2)->text().contains(QStringLiteral("%\n±")));  // odds over their margin
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

// Late in the season the runs are short: the odds show after the first
// runs, sharpen to the whole outlook, which is the core's (and so
// vantorel-sim outlook's) for the same seed; キャンセル keeps the odds so far.
TEST(OutlookDialog, OddsSharpenAsRunsFinishAndCancelKeepsThem) {
  ScopedDataDir dir;
  OpenTitle(9);
  Tmain* main = StartFromTitle();
  ASSERT_NE(main, nullptr);
  while (GameState->Week != 44) PlayAutopilotWeek(*GameState);
  GameState->Team(0).AutoLineup(true);  // an injury may have emptied a slot since
  const int division = GameState->DivisionOf(0);
  {
    TFoutlook dialog(division, main);
    dialog.Runs = 12;
    dialog.RehearsalRuns = 20;
    dialog.Seed = 77;
    dialog.show();
    dialog.Start();
    int firstShown = 0;
    for (int i = 0; i < 6000 && !dialog.Finished(); ++i) {
      QTest::qWait(10);
      if (!firstShown && dialog.ShownOdds()) firstShown = dialog.ShownOdds()->Runs;
    }
    ASSERT_TRUE(dialog.Finished());
    EXPECT_GT(firstShown, 0);
    EXPECT_LT(firstShown, 12);  // odds before the last run
    EXPECT_TRUE(dialog.lbmatch->text().startsWith(QStringLiteral("リーグ戦"))) << dialog.lbmatch->text().toStdString();
    EXPECT_EQ(dialog.lbstatus->text(), QStringLiteral("12シーズンの試算が終わりました"));

    const TSeasonOutlook whole = SeasonOutlook(*GameState, {12, 1, 77});
    const std::vector<const TClubOdds*> rows = OddsOfDivision(whole, division);
    ASSERT_EQ(rows.size(), 8u);
    for (int r = 0; r < 8; ++r) {
      const TClubOdds& c = *rows[static_cast<std::size_t>(r)];
      EXPECT_EQ(dialog.gridodds->item(r, 0)->text().toStdString(), GameState->Team(c.Club).ClubName);
      EXPECT_EQ(dialog.gridodds->item(r, 1)->text(), QString::number(c.ExpectedPoints, 'f', 1));
      EXPECT_EQ(dialog.gridodds->item(r, 4)->text(), QString::number(c.Cup * 100.0, 'f', 1) + QStringLiteral("%\n±") +
                                                         QString::number(OddsMargin(c.Cup, 12) * 100.0, 'f', 1));
    }
    dialog.reject();
  }
  {
    TFoutlook dialog(division, main);
    dialog.Runs = 1000;
    dialog.RehearsalRuns = 10;
    dialog.show();
    dialog.Start();
    for (int i = 0; i < 6000 && !dialog.ShownOdds(); ++i) QTest::qWait(10);
    ASSERT_NE(dialog.ShownOdds(), nullptr);
    QTest::qWait(150);  // a poll with runs in: how long the rest will take
    EXPECT_TRUE(dialog.lbstatus->text().startsWith(QStringLiteral("シーズンの試算 ")));
    EXPECT_TRUE(dialog.lbstatus->text().contains(QStringLiteral("　残り約"))) << dialog.lbstatus->text().toStdString();
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(dialog.btncancel, Qt::LeftButton);
    // Workers look at the stop flag several times a match: the answer is
    // immediate; the bound only allows for a loaded machine.
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(dialog.isVisible());
    const int kept = dialog.ShownOdds()->Runs;
    EXPECT_LT(kept, 1000);
    EXPECT_EQ(dialog.lbstatus->text(),
              QStringLiteral("キャンセル：") + QString::number(kept) + QStringLiteral("シーズンまでの試算です"));
    EXPECT_FALSE(dialog.btncancel->isVisible());
    dialog.reject();
  }
  CloseEverything();
}

// Closed and opened again on the same game, the dialog shows what it had at
// once and plays only the seasons still missing, with the seed it had;
// さらに…シーズン試算 plays more. Every time the odds are those of one
// outlook of all the runs. Once the game has moved on it starts afresh.
TEST(OutlookDialog, OpenedAgainOrAskedForMoreGoesOnFromWhatItHad) {
  ScopedDataDir dir;
  OpenTitle(10);
  Tmain* main = StartFromTitle();
  ASSERT_NE(main, nullptr);
  while (GameState->Week != 46) PlayAutopilotWeek(*GameState);
  GameState->Team(0).AutoLineup(true);
  const int division = GameState->DivisionOf(0);
  // The outlooks of the first 10 and all 13 runs with seed 31.
  std::map<int, TSeasonOutlook> whole;
  SeasonOutlook(*GameState, {13, 0, 31, 1}, nullptr, [&](const TSeasonOutlook& o) { whole[o.Runs] = o; });
  auto open = [&](int runs, uint64_t seed) {
    auto dialog = std::make_unique<TFoutlook>(division, main);
    dialog->Runs = runs;
    dialog->RehearsalRuns = 10;
    dialog->MoreRuns = 3;
    dialog->Seed = seed;
    dialog->show();
    dialog->Start();
    return dialog;
  };
  auto finish = [&](TFoutlook& dialog, int runs) {
    for (int i = 0; i < 6000 && !dialog.Finished(); ++i) QTest::qWait(10);
    ASSERT_TRUE(dialog.Finished());
    EXPECT_EQ(dialog.lbstatus->text(), QString::number(runs) + QStringLiteral("シーズンの試算が終わりました"));
    ASSERT_EQ(dialog.ShownOdds()->Runs, runs);
    for (int c = 0; c < kClubCount; ++c) {
      EXPECT_EQ(dialog.ShownOdds()->Clubs[c].Position, whole[runs].Clubs[c].Position);
      EXPECT_EQ(dialog.ShownOdds()->Clubs[c].ExpectedPoints, whole[runs].Clubs[c].ExpectedPoints);
    }
    EXPECT_TRUE(dialog.btnmore->isVisible());
    EXPECT_EQ(dialog.btnmore->text(), QStringLiteral("さらに3シーズン試算"));
  };
  QString rehearsal;
  {
    auto dialog = open(4, 31);
    for (int i = 0; i < 6000 && !dialog->Finished(); ++i) QTest::qWait(10);
    rehearsal = dialog->lbmatch->text();
  }
  {
    auto dialog = open(10, 0);  // the clock's seed: the kept one goes on
    ASSERT_NE(dialog->ShownOdds(), nullptr);
    EXPECT_EQ(dialog->ShownOdds()->Runs, 4);
    EXPECT_EQ(dialog->lbmatch->text(), rehearsal);
    EXPECT_TRUE(dialog->lbstatus->text().startsWith(QStringLiteral("シーズンの試算 4 / 10")));
    EXPECT_FALSE(dialog->btnmore->isVisible());
    finish(*dialog, 10);
    QTest::mouseClick(dialog->btnmore, Qt::LeftButton);
    EXPECT_FALSE(dialog->btnmore->isVisible());
    finish(*dialog, 13);
  }
  {
    auto dialog = open(10, 0);  // more than asked for is kept: all 13 at once
    ASSERT_NE(dialog->ShownOdds(), nullptr);
    EXPECT_EQ(dialog->ShownOdds()->Runs, 13);
    finish(*dialog, 13);
  }
  PlayAutopilotWeek(*GameState);
  GameState->Team(0).AutoLineup(true);
  {
    auto dialog = open(10, 0);
    EXPECT_EQ(dialog->ShownOdds(), nullptr);
    EXPECT_EQ(dialog->lbstatus->text(), QStringLiteral("次の試合を試しています"));
    dialog->reject();
  }
  CloseEverything();
}

// The time left at the pace so far: seconds rounded up (to fives from ten
// on), minutes from one on, nothing before the first run or after the last.
TEST(WorkerDialogs, TimeLeftAtThePaceSoFar) {
  struct Case {
    double elapsed;
    int done, total;
    const char* text;
  };
  for (const Case& c : std::initializer_list<Case>{{3.0, 0, 200, ""},
                                                   {3.0, 200, 200, ""},
                                                   {0.0, 1, 200, "残り約1秒"},
                                                   {1.0, 20, 100, "残り約4秒"},
                                                   {2.0, 20, 120, "残り約10秒"},
                                                   {2.1, 20, 120, "残り約15秒"},
                                                   {5.9, 10, 110, "残り約1分"},
                                                   {6.0, 10, 110, "残り約1分"},
                                                   {6.1, 10, 110, "残り約2分"},
                                                   {30.0, 2, 200, "残り約50分"}})
    EXPECT_EQ(TimeLeftText(c.elapsed, c.done, c.total), QString::fromUtf8(c.text))
        << c.elapsed << " s, " << c.done << " of " << c.total;
}

// The assistant: listed in match weeks only; its table is the core's advice,
// best first and highlighted; a row applied gives the club that line-up.
TEST(AdviceDialog, ShowsTheCandidatesBestFirstAndAppliesOne) {
  ScopedDataDir dir;
  std::filesystem::copy(std::filesystem::path(VANTOREL_SOURCE_DIR) / "data" / "formation", "data/formation",
                        std::filesystem::copy_options::recursive);
  OpenTitle(10);
  Tmain* main = StartFromTitle();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(main->actadvice->isVisible());  // week 1
  while (GameState->Week != 22) PlayAutopilotWeek(*GameState);
  GameState->Team(0).AutoLineup(true);
  main->Refresh();
  EXPECT_TRUE(main->actadvice->isVisible());

  const std::vector<uint8_t> before = GameState->SaveBody();
  const TAdvice expected = AdviseNextMatch(*GameState, {10, 1, 3});
  auto open = [&](uint64_t seed) {
    auto dialog = std::make_unique<TFadvice>(main);
    dialog->Runs = 10;
    dialog->Seed = seed;
    dialog->show();
    dialog->Start();
    return dialog;
  };
  {
    auto dialog = open(3);
    for (int i = 0; i < 6000 && !dialog->Finished(); ++i) QTest::qWait(10);
    ASSERT_TRUE(dialog->Finished());
    EXPECT_EQ(GameState->SaveBody(), before);
    ASSERT_EQ(dialog->gridadvice->rowCount(), static_cast<int>(expected.Candidates.size()));
    for (int r = 0; r < dialog->gridadvice->rowCount(); ++r)
      EXPECT_TRUE(dialog->gridadvice->item(r, 0)->text().startsWith(
          QString::fromStdString(expected.Candidates[static_cast<std::size_t>(r)].Name)));
    EXPECT_TRUE(dialog->gridadvice->item(0, 0)->text().endsWith(QStringLiteral("（おすすめ）")));
    EXPECT_EQ(dialog->gridadvice->item(0, 0)->background().color(), QColor(255, 255, 160));
    dialog->reject();
  }
  // Opened again on the same game it has its advice at once, and gives it.
  {
    auto dialog = open(0);
    ASSERT_TRUE(dialog->Finished());
    ASSERT_EQ(dialog->gridadvice->rowCount(), static_cast<int>(expected.Candidates.size()));
    const int row = dialog->gridadvice->rowCount() - 1;
    const TAdviceCandidate& chosen = expected.Candidates[static_cast<std::size_t>(row)];
    dialog->gridadvice->selectRow(row);
    QTest::mouseClick(dialog->btnapply, Qt::LeftButton);
    EXPECT_EQ(GameState->Team(0).Slots, chosen.Slots);
    EXPECT_TRUE(GameState->Team(0).StartingElevenComplete());
    dialog->reject();
  }
  // The line-up has changed: the candidates are played again.
  {
    auto dialog = open(0);
    EXPECT_FALSE(dialog->Finished());
    EXPECT_EQ(dialog->lbstatus->text(), QStringLiteral("布陣を用意しています"));
    dialog->reject();
  }
  CloseEverything();
}

}  // namespace
