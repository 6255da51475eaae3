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

}  // namespace
