// What a player meets in the window: signals, the coach table's right
// click, views that keep their own widths, a refused save, Qt's own texts in
// Japanese, texts that fit their cells, and closing a running game.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "../core/TestData.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "screens/Clickpanel.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Frmatch.h"
#include "screens/Frtrade.h"
#include "screens/Fsave.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "screens/Usound.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {

void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

template <typename T>
T* Shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

void Click(TClickPanel* panel) { QTest::mouseClick(panel, Qt::LeftButton); }

// A click on a cell; the grid then settles as the window system lets it
// (scroll bars shown or hidden for the new contents).
void ClickCell(TStringGridex* g, int col, int row, Qt::MouseButton button) {
  QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
  QCoreApplication::processEvents();
}

// Every text of a shown grid, and a two-digit number in every column, fits the
// part of its cell the user sees: the text starts 2 pixels into the cell and
class Playtest : public ::testing::Test {
 protected:
  void SetUp() override {
    RandSeed(5);
    App().AutoAnswer = true;
    App().AutoText = QString();
    App().ShowTitle();
    Settle();
  }
  void TearDown() override {
    App().AutoAnswer = true;
    for (QWidget* w : QApplication::topLevelWidgets()) w->deleteLater();
    Settle();
    App().FreeGameState();
  }
  Tmain* Start() {
    Click(Shown<Ttitle>()->btnstart);
    Settle();
    return Shown<Tmain>();
  }
  Tmain* Next(Tmain* m) {
    Click(m->btnnext);
    Settle();
    if (Tnews* n = Shown<Tnews>()) {
      QTest::mouseClick(n->Memomes->viewport(), Qt::LeftButton);
      Settle();
    }
    return Shown<Tmain>();
  }
  Tmain* ToWeek(int week) {
    Tmain* m = Start();
    while (m && GameState->Week < week) {
      m->Ftomatch1->radiowatchn->setChecked(true);
      m = Next(m);
    }
    return m;
  }
  ScopedDataDir dir_;
};

// SDL's audio start must leave Ctrl+C and SIGTERM to the system: a child
// process starts the sound layer and is then sent each signal.
TEST(AudioSignals, StartingTheSoundLeavesInterruptAndTerminateDeadly) {
  for (int sig : {SIGTERM, SIGINT}) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      ::setenv("SDL_AUDIODRIVER", "dummy", 1);
      TSoundPlayer sound;
      char byte = 1;
      if (::write(ready[1], &byte, 1) != 1) ::_exit(3);
      for (int i = 0; i < 100; ++i) ::usleep(100 * 1000);
      ::_exit(0);  // still alive after ten seconds: the signal was swallowed
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    ::kill(child, sig);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << "signal " << sig << ", status " << status;
  }
}

TEST_F(Playtest, ClubScreenCoachFocusTogglesBothWaysAndItsTablesFit) {
  Tmain* m = ToWeek(2);
  ASSERT_NE(m, nullptr);
  Click(m->btntrain);
  ASSERT_TRUE(m->gridcoach->isVisible());
  const Tcoach& coaches = *GameState->Team(0).Coaches;
  const TGrid& g = m->gridcoach->Model();
  const int weightBefore = coaches.Weights[1];
  ASSERT_EQ(coaches.Coach[0].Focus[1], 1);
  // Coach 1's height (column 3, row 2): off, then on again.
  ClickCell(m->gridcoach, 3, 2, Qt::RightButton);
  EXPECT_EQ(coaches.Coach[0].Focus[1], 0);
  EXPECT_EQ(g.Tags(3, 2), kTagSilver);
  ClickCell(m->gridcoach, 3, 2, Qt::RightButton);
  EXPECT_EQ(coaches.Coach[0].Focus[1], 1);
  EXPECT_EQ(g.Tags(3, 2), kTagBlack);
  EXPECT_EQ(coaches.Weights[1], weightBefore);
  // Left clicks and the header and weight rows change nothing.
  ClickCell(m->gridcoach, 3, 2, Qt::LeftButton);
  ClickCell(m->gridcoach, 3, 1, Qt::RightButton);
  EXPECT_EQ(coaches.Coach[0].Focus[1], 1);

}

}  // namespace
