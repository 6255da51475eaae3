// The screens driven as a user drives them, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "../core/SaveTestWorld.h"
#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ufile.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Umatchteam.h"
#include "screens/Clickpanel.h"
#include "screens/Fevent.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Frmatch.h"
#include "screens/Fsave.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"
#include "world/Uvsdata.h"

namespace {

template <typename T>
T* Visible() {
  T* found = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) {
      EXPECT_EQ(found, nullptr) << "two visible screens of one kind";
      found = t;
    }
  return found;
}

int VisibleScreens() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) ++n;
  return n;
}

void ClickMemo(QPlainTextEdit* memo) { QTest::mouseClick(memo->viewport(), Qt::LeftButton); }

class Screens : public ::testing::Test {
 protected:
  void SetUp() override { OpenTitle(11); }
  void TearDown() override { CloseEverything(); }
  Tmain* Start() {
    Ttitle* t = Visible<Ttitle>();
    EXPECT_NE(t, nullptr);
    Click(t->btnstart);
    Settle();
    return Visible<Tmain>();
  }
  // Players sold or released leave holes in the eleven; the user fills them
  // on the tactics screen (自動選抜, then OK) before NEXT.
  Tmain* FillEleven(Tmain* m) {
    const Tteam& club = GameState->Team(0);
    bool complete = true;
    for (int s = 0; s < 11; ++s) complete = complete && club.SlotNumber(s) > 0;
    if (complete) return m;
    for (int k = 0; k < 8; ++k) {
      if (m->slotClub[k] != 0) continue;
      QTest::mouseClick(m->imgt[k], Qt::LeftButton);
      Settle();
      Ttactics* t = Visible<Ttactics>();
      EXPECT_NE(t, nullptr);
      if (!t) break;
      Click(t->btnautoselect);
      Click(t->btnsave);
      Settle();
    }
    return Visible<Tmain>();
  }
  // Presses NEXT on the club screen and follows the news back to it.
  Tmain* NextWeek(Tmain* m) {
    m = FillEleven(m);
    Click(m->btnnext);
    Settle();
    if (Tnews* n = Visible<Tnews>()) {
      ClickMemo(n->Memomes);
      Settle();
    }
    return Visible<Tmain>();
  }
  ScopedDataDir dir_;
};

TEST_F(Screens, TitleBuildsAFreshWorldAndItsDirectories) {
  Ttitle* t = Visible<Ttitle>();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->size(), QSize(690, 453));
  EXPECT_EQ(t->btnstart->text(), "START");
  EXPECT_EQ(t->btnvsload->text(), "データ対戦");
  EXPECT_EQ(t->Lbver->text(), "version17");
  for (const char* d : {"data/tmp", "data/savedata", "data/vs", "data/formation", "data/vtr"})
    EXPECT_TRUE(std::filesystem::is_directory(d)) << d;
  ASSERT_NE(GameState, nullptr);
  EXPECT_EQ(GameState->Year, 1);
  EXPECT_EQ(GameState->Week, 1);
  EXPECT_EQ(GameState->Market, nullptr);
}

TEST_F(Screens, StartOpensTheClubScreenInTheContractWeek) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Visible<Ttitle>(), nullptr);
  EXPECT_EQ(VisibleScreens(), 1);
  EXPECT_NE(GameState->Market, nullptr);
  EXPECT_EQ(m->lbweek->text(), "1年1週");
  EXPECT_EQ(m->lbmoney->text(), "所持金：" + QString::number(GameState->Team(0).Money));
  EXPECT_FALSE(m->btntrain->isVisible());
  EXPECT_EQ(m->lbt[0]->text(), QString::fromStdString(GameState->Team(GameState->TeamAt(3, 0)).ClubName));
  EXPECT_FALSE(m->imgt[0]->pixmap().isNull());
  // The coach table opens from week 2 on.
  m = NextWeek(m);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GameState->Week, 2);
  EXPECT_TRUE(m->btntrain->isVisible());
  Click(m->btntrain);
  EXPECT_TRUE(m->gridcoach->isVisible());
  EXPECT_EQ(m->gridcoach->Model().Cells(2, 0), "SPE");
}

TEST_F(Screens, RenameAndBackToTitleStartsAFreshGame) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  App().AutoText = QStringLiteral("青空FC");
  QTest::mouseClick(m->lbt[0], Qt::LeftButton);
  EXPECT_EQ(GameState->Team(GameState->TeamAt(3, 0)).ClubName, "青空FC");
  auto* back = m->MainMenu1->actions().at(2);
  EXPECT_EQ(back->text(), "タイトルへ");
  back->trigger();
  Settle();
  EXPECT_EQ(App().LastMessage, "タイトル画面に戻ります。よろしいですか");
  EXPECT_NE(Visible<Ttitle>(), nullptr);
  EXPECT_EQ(Visible<Tmain>(), nullptr);
  ASSERT_NE(GameState, nullptr);
  EXPECT_EQ(GameState->Week, 1);
  EXPECT_NE(GameState->Team(GameState->TeamAt(3, 0)).ClubName, "青空FC");
}

TEST_F(Screens, SaveAndLoadASlot) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  m = NextWeek(m);
  m = NextWeek(m);
  ASSERT_EQ(GameState->Week, 3);
  m->MainMenu1->actions().at(0)->trigger();
  Settle();
  Tsave* s = Visible<Tsave>();
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->btnnewfile->isVisible());
  App().AutoText = QStringLiteral("slot1");
  Click(s->btnnewfile);
  Settle();
  EXPECT_TRUE(std::filesystem::exists("data/savedata/slot1.dat"));
  EXPECT_EQ(Visible<Tsave>(), nullptr);
  // Back to the title, then LOAD the slot.
  m->MainMenu1->actions().at(2)->trigger();
  Settle();
  Ttitle* t = Visible<Ttitle>();
  ASSERT_NE(t, nullptr);
  Click(t->btnload);
  Settle();
  s = Visible<Tsave>();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->btn0->text(), "Load");
  EXPECT_EQ(s->grid->Model().Cells(0, 1), "slot1");
  s->grid->SetSelection(0, 1);
  Click(s->btn0);
  Settle();
  m = Visible<Tmain>();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(Visible<Ttitle>(), nullptr);
  EXPECT_EQ(GameState->Week, 3);
  EXPECT_EQ(m->lbweek->text(), "1年3週");
}

// A new file under a slot's name asks first: No keeps the old file and the
// save screen, Yes writes over it.
TEST_F(Screens, ANewSaveUnderATakenNameAsksBeforeOverwriting) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  auto saveAs = [&](const QString& name, bool yes) {
    m->MainMenu1->actions().at(0)->trigger();
    Settle();
    Tsave* s = Visible<Tsave>();
    EXPECT_NE(s, nullptr);
    if (!s) return;
    App().AutoText = name;
    App().AutoAnswer = yes;
    Click(s->btnnewfile);
    Settle();
  };
  const std::string path = "data/savedata/slot1.dat";
  saveAs(QStringLiteral("slot1"), true);
  const std::vector<uint8_t> week1 = ReadWholeFile(path);
  ASSERT_FALSE(week1.empty());
  m = NextWeek(m);
  ASSERT_EQ(GameState->Week, 2);

  App().LastMessage.clear();
  saveAs(QStringLiteral("slot1"), false);
  EXPECT_EQ(App().LastMessage, "ファイル名slot1は既に存在しています。上書きしますか");
  EXPECT_EQ(ReadWholeFile(path), week1);
  Tsave* s = Visible<Tsave>();
  ASSERT_NE(s, nullptr);  // the save screen stays for another choice
  App().AutoAnswer = true;
  Click(s->btnnewfile);
  Settle();
  EXPECT_EQ(Visible<Tsave>(), nullptr);
  EXPECT_NE(ReadWholeFile(path), week1);
}

TEST_F(Screens, LoadWithNoSlotsReturnsToTheTitle) {
  Ttitle* t = Visible<Ttitle>();
  Click(t->btnload);
  Settle();
  EXPECT_EQ(Visible<Tsave>(), nullptr);
  EXPECT_EQ(Visible<Ttitle>(), t);
}

TEST_F(Screens, AWholeSeasonSkippingOwnMatches) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  while (GameState->Week < 52) {
    int week = GameState->Week;
    if (week >= 12) m->Ftomatch1->radiowatchn->setChecked(true);
    m = NextWeek(m);
    ASSERT_NE(m, nullptr) << "week " << week;
    ASSERT_EQ(GameState->Week, week + 1) << App().LastMessage.toStdString();
    EXPECT_EQ(VisibleScreens(), 1);
    if (GameState->Week % 6 == 0) {
      EXPECT_TRUE(std::filesystem::exists("data/savedata/autosave.dat"));
    }
    if (GameState->Week >= 12) {
      EXPECT_TRUE(m->Ftomatch1->isVisible());
    }
  }
  Click(m->btnnext);
  Settle();
  Tevent* e = Visible<Tevent>();
  ASSERT_NE(e, nullptr);
  e->EndPauseMs = 0;
  EXPECT_TRUE(e->Memo1->toPlainText().startsWith("年末年始の"));
  for (int i = 0; i < 12 && Visible<Tevent>(); ++i) {
    ClickMemo(e->Memo1);
    QTest::qWait(5);
    Settle();
  }
  m = Visible<Tmain>();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GameState->Year, 2);
  EXPECT_EQ(GameState->Week, 1);
  EXPECT_EQ(m->lbweek->text(), "2年1週");
}

TEST_F(Screens, AWatchedMatchReportsItsResultAndOpensTheNews) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  while (GameState->Week < 12) m = NextWeek(m);
  ASSERT_TRUE(m->Ftomatch1->Groupwatch->isVisible());
  m = FillEleven(m);
  m->Ftomatch1->radiowatchy->setChecked(true);
  Click(m->btnnext);
  Settle();
  Tmatch* match = Visible<Tmatch>();
  ASSERT_NE(match, nullptr);
  match->WaitForSounds = false;
  EXPECT_EQ(match->lbtime->text(), "00：00");
  // A click on the clock pauses: no step is taken.
  QTest::mouseClick(match->lbtime, Qt::LeftButton);
  EXPECT_TRUE(match->Paused());
  int tick = match->Driver()->Tick;
  match->TimerStep();
  EXPECT_EQ(match->Driver()->Tick, tick);
  QTest::mouseClick(match->lbtime, Qt::LeftButton);
  // Three substitutions asked, at most two made.
  for (int bench = 0; bench < 3; ++bench) {
    match->SelectPitchRow(11 - bench);
    match->gridn2->SetSelection(0, bench);
    match->BenchSwap();
  }
  EXPECT_LE(match->Driver()->MatchTeam(match->UserSide()).SubsMade, 2);
  for (int i = 0; i < 5401 && Visible<Tmatch>(); ++i) match->TimerStep();
  EXPECT_LE(match->Live().Scenes.size(), 4u);
  Settle();
  Tnews* n = Visible<Tnews>();
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(n->Memomes->toPlainText().contains("節のDiv"));
  ClickMemo(n->Memomes);
  Settle();
  ASSERT_NE(Visible<Tmain>(), nullptr);
  EXPECT_EQ(GameState->Week, 13);
}

TEST_F(Screens, IncompleteStartingElevenStopsNext) {
  Tmain* m = Start();
  while (GameState->Week < 12) m = NextWeek(m);
  GameState->Team(0).SetSlotNumber(3, -1);
  Click(m->btnnext);
  Settle();
  EXPECT_EQ(App().LastMessage, "スタメンが決まっていません");  // and nothing else
  EXPECT_EQ(Visible<Tmain>(), m);
  EXPECT_EQ(GameState->Week, 12);
  EXPECT_EQ(GameState->Team(0).SlotNumber(3), -1);
}

// The schedule opens on the current week; a label of the menu's first
// column is no item and leaves the view as it is.
TEST_F(Screens, ScheduleOpensOnTheCurrentWeekAndMenuLabelsDoNothing) {
  Tmain* m = Start();
  while (GameState->Week < 12) m = NextWeek(m);
  TFtomatch* f = m->Ftomatch1;
  f->gridmenuClick(2, 1);  // スケジュール
  EXPECT_EQ(f->grid->Model().Cells(0, 0), "週");
  EXPECT_EQ(f->grid->Row(), 12);
  EXPECT_EQ(f->grid->verticalScrollBar()->value(), 12 - f->grid->Model().FixedRows);
  const std::string week12 = f->grid->Model().Cells(1, 12);
  EXPECT_EQ(week12, "リーグ第1節");
  for (int row = 0; row < f->gridmenu->Model().RowCount(); ++row) {
    f->gridmenuClick(0, row);
    EXPECT_EQ(f->grid->Model().Cells(1, 12), week12) << "label in row " << row;
  }
}

// A match whose picture or sound cannot be read does not open: the user is
// told which file, the club screen stays, and nothing of the week is played.
TEST_F(Screens, AMatchThatCannotOpenLeavesTheClubScreenAndTheGameAsTheyWere) {
  Tmain* m = Start();
  while (GameState->Week < 12) m = NextWeek(m);
  m = FillEleven(m);
  m->Ftomatch1->radiowatchy->setChecked(true);
  for (const char* file : {"data/picture/ball.png", "data/sound/m3.wav"}) {
    const std::vector<uint8_t> whole = ReadWholeFile(file);
    WriteFileAtomic(file, std::vector<uint8_t>(64, 'x'));
    const std::vector<uint8_t> before = GameState->SaveBody();
    const RandomState draws = GetRandomState();
    Click(m->btnnext);
    Settle();
    EXPECT_TRUE(App().LastMessage.startsWith(file)) << App().LastMessage.toStdString();
    EXPECT_EQ(Visible<Tmatch>(), nullptr) << file;
    ASSERT_EQ(Visible<Tmain>(), m) << file;
    EXPECT_TRUE(m->isEnabled());
    EXPECT_EQ(GameState->SaveBody(), before) << file;
    EXPECT_EQ(GetRandomState().state, draws.state) << file;
    WriteFileAtomic(file, whole);
  }
  // With the files whole again the same press opens the match.
  Click(m->btnnext);
  Settle();
  EXPECT_NE(Visible<Tmatch>(), nullptr);
  EXPECT_EQ(Visible<Tmain>(), nullptr);
}

// DATA変換 reads and converts every save and VS file before it writes one: a
// damaged VS file leaves every save as it was, and the message names it.
TEST_F(Screens, DataConversionStoppedByADamagedVsFileLeavesEverySaveUntouched) {
  // A week-1 world as the game keeps it has its market; the converter
  // refuses one without.
  if (!GameState->Market) GameState->Market = std::make_unique<Ttrade>();
  const std::vector<uint8_t> old = SaveImageV11(*GameState);
  const std::vector<uint8_t> current = GameState->SaveBody();
  WriteFileAtomic("data/savedata/old.dat", old);
  WriteFileAtomic("data/savedata/now.dat", current);
  TStream vs;
  WriteString(vs, "11");
  WriteString(vs, "c");
  WriteClubV11(vs, GameState->Team(2));
  const std::vector<uint8_t> vsWhole = vs.Bytes();
  WriteFileAtomic("data/vs/broken.vs", std::vector<uint8_t>(vsWhole.begin(), vsWhole.begin() + 60));

  Click(Visible<Ttitle>()->btnload);
  Settle();
  Tsave* s = Visible<Tsave>();
  ASSERT_NE(s, nullptr);
  Click(s->btnchange);
  Settle();
  EXPECT_TRUE(App().LastMessage.startsWith("data/vs/broken.vs: ")) << App().LastMessage.toStdString();
  EXPECT_EQ(ReadWholeFile("data/savedata/old.dat"), old);
  EXPECT_EQ(ReadWholeFile("data/savedata/now.dat"), current);
  EXPECT_FALSE(std::filesystem::exists("data/savedatatmp"));

  // Whole again, the same press converts both kinds.
  WriteFileAtomic("data/vs/broken.vs", vsWhole);
  Click(s->btnchange);
  Settle();
  EXPECT_EQ(App().LastMessage, "変換終了");
  EXPECT_EQ(ReadWholeFile("data/savedata/old.dat"), current);
  EXPECT_EQ(ReadWholeFile("data/vs/broken.vs"), MakeVsImage(GameState->Team(2), "c"));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
