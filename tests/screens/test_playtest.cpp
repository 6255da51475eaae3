// What a player meets in the window: signals, the coach table's right
// click, views that keep their own widths, a refused save, Qt's own texts in
// Japanese, texts that fit their cells, and closing a running game.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QFontMetrics>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "screens/Clickpanel.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Frcontract.h"
#include "screens/Frmatch.h"
#include "screens/Frtrade.h"
#include "screens/Fsave.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "screens/Usound.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {

// A click on a cell; the grid then settles as the window system lets it
// (scroll bars shown or hidden for the new contents).
void ClickCell(TStringGridex* g, int col, int row, Qt::MouseButton button) {
  QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
  QCoreApplication::processEvents();
}

// Every text of a shown grid, and a two-digit number in every column, fits the
// part of its cell the user sees: the text starts 2 pixels into the cell and
// the cell ends at its right edge or at the edge of the grid's window. When
// the grid does not scroll, every row lies wholly inside the window too. A
// grid that scrolls sideways (`sideways`) is checked at each column's whole
// width.
void ExpectTextsFit(TStringGridex* g, const std::string& what, bool scrolls = false, bool sideways = false) {
  const TGrid& m = g->Model();
  const QFontMetrics fm(g->font());
  const int viewW = g->viewport()->width();
  for (int c = 0; c < m.ColCount(); ++c) {
    if (m.ColWidth(c) <= 0) continue;
    QRect rc = g->CellRect(c, 0);
    if (!sideways) {
      ASSERT_LT(rc.left(), viewW) << what << ": column " << c << " lies outside the grid";
    }
    const int room = sideways ? m.ColWidth(c) - 3 : std::min(rc.right(), viewW - 1) - rc.left() + 1 - 3;
    EXPECT_LE(fm.horizontalAdvance(QStringLiteral("99")), room) << what << ": two digits in column " << c;
    for (int r = 0; r < m.RowCount(); ++r) {
      QString text = QString::fromStdString(m.Cells(c, r));
      EXPECT_LE(fm.horizontalAdvance(text), room) << what << ": \"" << text.toStdString() << "\" in column " << c;
    }
  }
  if (scrolls) return;
  for (int r = 0; r < m.RowCount(); ++r)
    EXPECT_LT(g->CellRect(0, r).bottom(), g->viewport()->height()) << what << ": row " << r << " is cut";
}

class Playtest : public ::testing::Test {
 protected:
  void SetUp() override { OpenTitle(5); }
  void TearDown() override {
    App().AutoAnswer = true;
    CloseEverything();
  }
  Tmain* Start() { return StartFromTitle(); }
  Tmain* Next(Tmain* m) {
    // Players who leave in the transfer weeks open holes in the eleven; the
    // club's automatic choice fills them, as 自動選抜 would.
    Tteam& club = GameState->Team(0);
    for (int s = 0; s < 11; ++s)
      if (club.SlotNumber(s) <= 0) {
        club.AutoLineup(true);
        break;
      }
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

  ExpectTextsFit(m->gridcoach, "coach table");
  ExpectTextsFit(m->gridoutleague, "division choice");
  // The transfer week's text is not under the coach table.
  for (QLabel* l : m->Ftrade1->findChildren<QLabel*>()) {
    if (l->text().isEmpty()) continue;
    QRect text(l->mapTo(m->client, QPoint(0, 0)), l->size());
    EXPECT_FALSE(text.intersects(m->gridcoach->geometry())) << l->text().toStdString();
  }
}

TEST_F(Playtest, EveryViewOfTheNextMatchFrameSetsItsOwnWidthsAndFits) {
  Tmain* m = ToWeek(13);
  ASSERT_NE(m, nullptr);
  // One finished season for the history view, and a scorer with a
  // double-figure total (there may have been no goal, or no assist, yet).
  GameState->SeasonHistory.InsertRow(0, {1, 3, 2, 14, 6, 8, 48, 40, 30, 10, 6});
  const int32_t number = GameState->Team(0).SlotNumber(9);
  Tleague& league = *GameState->Leagues[GameState->DivisionOf(0) - 1];
  for (TIntgrid* ranking : {&league.ScorerRanking, &league.AssistRanking})
    if (ranking->FindRow(0, number) < 0) ranking->AddRow({number, 0, number, 12});
  TFtomatch* f = m->Ftomatch1;
  TStringGridex* grid = f->grid;
  ExpectTextsFit(f->gridmenu, "view menu");
  struct View {
    int col, row;
    const char* name;
    int width;                                // the width the view asks
    std::vector<std::pair<int, int>> widths;  // column, width
  };
  const std::vector<View> views = {
      {2, 1, "schedule", 270, {{0, 30}, {1, 100}, {2, 30}, {3, 100}}},
      {2, 0, "standings", 290, {{0, 100}, {1, 25}, {3, 25}, {4, 25}, {7, 25}, {8, 0}}},
      {3, 1, "history", 360, {{0, 25}, {1, 25}, {3, 25}, {6, 25}, {9, 25}, {10, 100}}},
      {3, 0, "scorers", 260, {{0, 100}, {1, 100}, {2, 30}}},
      {1, 0, "next round", 320, {{0, 30}, {1, 100}, {2, 30}, {3, 100}, {4, 30}}},
      {1, 1, "cup cards", 320, {{0, 30}, {1, 100}, {2, 30}, {3, 100}, {4, 30}}},
      {4, 0, "assists", 260, {{0, 100}, {1, 100}, {2, 30}}},
      {2, 0, "standings again", 290, {{0, 100}, {1, 25}, {3, 25}, {4, 25}, {7, 25}, {8, 0}}},
      {2, 1, "schedule again", 270, {{0, 30}, {1, 100}, {2, 30}, {3, 100}}},
  };
  for (const View& v : views) {
    ClickCell(f->gridmenu, v.col, v.row, Qt::LeftButton);
    // The asked width, or more when the columns and the scroll bar need it.
    if (v.width == 320)
      EXPECT_EQ(grid->width(), v.width) << v.name;
    else
      EXPECT_GE(grid->width(), v.width) << v.name;
    const int last = grid->Model().ColCount() - (v.width == 290 ? 2 : 1);
    EXPECT_LT(grid->CellRect(last, 0).right(), grid->viewport()->width()) << v.name << ": columns cut";
    for (auto [c, w] : v.widths) EXPECT_EQ(grid->Model().ColWidth(c), w) << v.name << ", column " << c;
    // The schedule scrolls; the other views show every row, unless a long
    // ranking brings the scroll bar (a clock-seeded world may have ten
    // scorers after the first round).
    ExpectTextsFit(grid, v.name, v.width == 270 || grid->verticalScrollBar()->isVisible());
  }
}

TEST_F(Playtest, NewsAndMatchScreensFitTheirTextsAndAskBeforeClosing) {
  Tmain* m = ToWeek(12);
  ASSERT_NE(m, nullptr);
  m->Ftomatch1->radiowatchy->setChecked(true);
  for (int s = 0; s < 11; ++s)
    if (GameState->Team(0).SlotNumber(s) <= 0) GameState->Team(0).AutoLineup(true);
  Click(m->btnnext);
  Settle();
  Tmatch* match = Shown<Tmatch>();
  ASSERT_NE(match, nullptr);
  match->WaitForSounds = false;
  for (TStringGridex* g : {match->gridn1, match->gridns1, match->gridn2})
    ExpectTextsFit(g, g == match->gridn2 ? "bench" : "eleven");
  // Both club names in full, side by side between x 760 and 999.
  QLabel* home = match->lbtname0;
  QLabel* away = match->lbtname1;
  EXPECT_GE(home->width(), QFontMetrics(home->font()).horizontalAdvance(home->text()));
  EXPECT_GE(away->width(), QFontMetrics(away->font()).horizontalAdvance(away->text()));
  EXPECT_GE(home->x(), 760);
  EXPECT_LE(home->geometry().right(), away->x());
  EXPECT_EQ(away->geometry().right(), 998);

  // Closing the match screen asks; No keeps the match going where it was.
  App().AutoAnswer = false;
  App().LastMessage.clear();
  EXPECT_FALSE(match->close());
  EXPECT_TRUE(match->isVisible());
  EXPECT_TRUE(App().LastMessage.startsWith("ゲームを終了しますか"));
  EXPECT_FALSE(match->Paused());
  App().AutoAnswer = true;
  for (int i = 0; i < 5401 && Shown<Tmatch>(); ++i) match->TimerStep();
  Settle();

  Tnews* n = Shown<Tnews>();
  ASSERT_NE(n, nullptr);
  for (int d = 1; d <= 3; ++d) {
    ClickCell(n->gridleague, d, 0, Qt::LeftButton);
    ExpectTextsFit(n->grid2, "standings of division " + std::to_string(d));
    ExpectTextsFit(n->grid1, "results of division " + std::to_string(d));
  }
  ExpectTextsFit(n->gridleague, "division choice");
  App().AutoAnswer = false;
  EXPECT_FALSE(n->close());
  EXPECT_TRUE(n->isVisible());
  App().AutoAnswer = true;
  EXPECT_TRUE(n->close());
  EXPECT_FALSE(n->isVisible());
}

TEST_F(Playtest, ClosingTheClubScreenAsksAndTheTitleClosesAtOnce) {
  Ttitle* t = Shown<Ttitle>();
  App().LastMessage.clear();
  App().AutoAnswer = false;
  EXPECT_TRUE(t->close());
  EXPECT_TRUE(App().LastMessage.isEmpty());
  App().ShowTitle();
  Settle();
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  EXPECT_FALSE(m->close());
  EXPECT_TRUE(m->isVisible());
  EXPECT_EQ(App().LastMessage, "ゲームを終了しますか？保存していない進行は失われます");
  App().AutoAnswer = true;
  EXPECT_TRUE(m->close());
}

// The club column, the contract and transfer frames and the tactics lists
// with the longest club name a club can carry: names beside the frames end
// before them, marks and headers show whole, club columns widen to names.
TEST_F(Playtest, ClubNamesMarksAndHeadersFitBesideAndInTheFrames) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  GameState->Team(0).ClubName = "ヴァントレル東京ＦＣ";  // 18 bytes in the files' code
  m->gridoutleagueClick(GameState->DivisionOf(0));
  for (int k = 0; k < 8; ++k) {
    QLabel* l = m->lbt[k];
    EXPECT_LT(l->geometry().right(), 236) << l->text().toStdString() << " runs under the frame";
    EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
  }
  EXPECT_EQ(m->lbt[0]->text().toStdString(), GameState->Team(m->slotClub[0]).ClubName);

  // A coach mark in the contract list.
  TFcontract* c = m->Fcontract1;
  ClickCell(c->gridfuture, 0, 0, Qt::LeftButton);
  ClickCell(c->gridplist, 3, 1, Qt::RightButton);
  ASSERT_EQ(c->Desk.Plist.Cells(0, 1), "コーチ1");
  ExpectTextsFit(c->gridplist, "contract list", true, true);

  for (int k = 0; k < 8; ++k)
    if (m->slotClub[k] == 0) m->imgtLeftClick(k);
  Settle();
  Ttactics* t = Shown<Ttactics>();
  ASSERT_NE(t, nullptr);
  ExpectTextsFit(t->gridplayer, "squad", true, true);
  ExpectTextsFit(t->gridmatchmen, "line-up", true);
  Click(t->btnback);
  Settle();

  m = Next(Next(Next(m)));
  ASSERT_NE(m, nullptr);
  TFtrade* f = m->Ftrade1;
  Click(f->btnfilter);
  // Club and player names whole in their columns (the bids' 2-pixel
  // columns of the offers are marks, not texts).
  const std::pair<TStringGridex*, std::vector<int>> names[] = {
      {f->grid1, {1, 4}}, {f->grid2, {0, 3}}, {f->grid3, {0, 1, 4}}};
  for (const auto& [g, cols] : names) {
    const QFontMetrics fm(g->font());
    for (int col : cols)
      for (int r = 0; r < g->Model().RowCount(); ++r) {
        const QString text = QString::fromStdString(g->Model().Cells(col, r));
        EXPECT_LE(fm.horizontalAdvance(text), g->Model().ColWidth(col) - 3) << text.toStdString();
      }
    EXPECT_LE(g->geometry().right(), f->width()) << "a list runs out of the frame";
  }
}

TEST_F(Playtest, ANameTheFileSystemRefusesLeavesNoSlotBehind) {
  Tmain* m = Start();
  ASSERT_NE(m, nullptr);
  m->MainMenu1->actions().at(0)->trigger();
  Settle();
  Tsave* s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  const int rows = s->grid->Model().RowCount();
  const QString tooLong(300, QLatin1Char('a'));
  App().AutoText = tooLong;
  Click(s->btnnewfile);
  Settle();
  EXPECT_EQ(Shown<Tsave>(), s);
  EXPECT_EQ(s->grid->Model().RowCount(), rows);
  EXPECT_TRUE(App().LastMessage.contains("ファイルに書き込めません（ファイル名が長すぎます）"))
      << App().LastMessage.toStdString();
  EXPECT_TRUE(App().LastMessage.contains(tooLong));
  EXPECT_TRUE(std::filesystem::is_empty("data/savedata"));
  // A good name saves, and the list's date fits beside the scroll bar.
  App().AutoText = QStringLiteral("第一節前");
  Click(s->btnnewfile);
  Settle();
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  EXPECT_TRUE(std::filesystem::exists("data/savedata/第一節前.dat"));
  m->MainMenu1->actions().at(0)->trigger();
  Settle();
  s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->grid->Model().RowCount(), 2);
  ExpectTextsFit(s->grid, "save list");
}

TEST_F(Playtest, QtSpeaksJapaneseAndTheGamesOwnErrorsNameTheFile) {
  ASSERT_TRUE(App().LoadQtTranslation());
  QMessageBox box(QMessageBox::Question, QStringLiteral("Vantorel"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
    QString text = box.button(b)->text();
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0x3000; }))
        << text.toStdString();
  }
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "File &name:"), QStringLiteral("File &name:"));

  auto hasJapanese = [](const QString& s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.unicode() > 0x3000; });
  };
  ASSERT_NE(Start(), nullptr);
  // A picture that is no picture.
  {
    std::ofstream("data/tmp/emblem.bmp") << "not a picture";
    QString error;
    EXPECT_FALSE(App().SetEmblemFromFile(0, QStringLiteral("data/tmp/emblem.bmp"), &error));
    EXPECT_TRUE(error.contains("data/tmp/emblem.bmp")) << error.toStdString();
    EXPECT_TRUE(hasJapanese(error)) << error.toStdString();
  }
  // A damaged save, loaded from the title as a player does.
  {
    std::ofstream("data/savedata/broken.dat", std::ios::binary) << std::string(
                                                                       "\x02\0\0\0"
                                                                       "17",
                                                                       6)
                                                                << "xx";
    Shown<Tmain>()->MainMenu1->actions().at(2)->trigger();
    Settle();
    Click(Shown<Ttitle>()->btnload);
    Settle();
    Tsave* s = Shown<Tsave>();
    ASSERT_NE(s, nullptr);
    s->grid->SetSelection(0, 1);
    Click(s->btn0);
    Settle();
    QString error = App().LastMessage;
    EXPECT_TRUE(error.contains("data/savedata/broken.dat")) << error.toStdString();
    EXPECT_TRUE(error.contains("セーブデータが壊れています")) << error.toStdString();
    EXPECT_NE(Shown<Tsave>(), nullptr);
  }
}

}  // namespace
