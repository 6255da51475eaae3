// Data battles and replays driven through the window: export two clubs,
// choose both sides, play the recorded battle to the end, then replay it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QMenuBar>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ufile.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"
#include "screens/Clickpanel.h"
#include "screens/Fanalyse.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fsave.h"
#include "screens/Ftitle.h"
#include "screens/Fvtr.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "screens/Upitchpaint.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

namespace {

void ClickCell(TStringGridex* g, int col, int row) {
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(col, row).center());
}

int RowOf(const TGrid& g, int col, const std::string& text) {
  for (int r = g.FixedRows; r < g.RowCount(); ++r)
    if (g.Cells(col, r) == text) return r;
  return -1;
}

QStringList Lines(const QTextEdit* e) {
  QString t = e->toPlainText();
  return t.isEmpty() ? QStringList() : t.split(QLatin1Char('\n'));
}

class DataBattle : public ::testing::Test {
 protected:
  void SetUp() override {
    App().AutoTexts.clear();
    OpenTitle(12);
  }
  void TearDown() override {
    CloseEverything();
    App().AutoTexts.clear();
  }
  // Exports the user's club from the club screen under a new file name.
  void Export(Tmain* m, const QString& file, const QString& comment) {
    m->MainMenu1->actions().at(1)->trigger();
    Settle();
    Tsave* s = Shown<Tsave>();
    ASSERT_NE(s, nullptr);
    App().AutoTexts = {file, comment};
    Click(s->btnnewfile);
    Settle();
  }
  ScopedDataDir dir_;
};

TEST_F(DataBattle, ExportChooseSidesPlayRecordAndReplay) {
  // The title built its world from the clock: rebuild it from a seed.
  RandSeed(12);
  GameState->NewGameFrom("data/first.dat", false);
  Click(Shown<Ttitle>()->btnstart);
  Settle();
  Tmain* m = Shown<Tmain>();
  ASSERT_NE(m, nullptr);

  // The export asks for a comment; Cancel writes nothing.
  Export(m, QStringLiteral("nope"), QString());
  EXPECT_FALSE(std::filesystem::exists("data/vs/nope.vs"));
  ASSERT_NE(Shown<Tsave>(), nullptr);
  EXPECT_EQ(RowOf(Shown<Tsave>()->grid->Model(), 0, "nope"), -1);
  Click(Shown<Tsave>()->btncancel);
  Settle();
  Export(m, QStringLiteral("home"), QStringLiteral("監督 \"A\", よろしく"));
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  EXPECT_EQ(App().LastAskedText, QStringLiteral("なし"));  // the comment box opens with "なし"
  const std::string homeName = GameState->Team(0).ClubName;
  GameState->Team(0).ClubName = "Away, \"B\" FC";
  Export(m, QStringLiteral("away"), QStringLiteral("なし"));
  EXPECT_EQ(ReadVsFile("data/vs/home.vs", 0).Comment, "監督 \"A\", よろしく");
  // A hostile file among them.
  WriteFileAtomic("data/vs/broken.vs", std::vector<uint8_t>{2, 0, 0, 0, '1', '7', 0xff, 0xff, 0xff, 0x7f});
  m->MainMenu1->actions().at(2)->trigger();
  Settle();

  // The side choice.
  Ttitle* t = Shown<Ttitle>();
  ASSERT_NE(t, nullptr);
  Click(t->btnvsload);
  Settle();
  Tsave* s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  const TGrid& list = s->grid->Model();
  EXPECT_EQ(s->btn0->text(), "対戦");
  EXPECT_EQ(list.Cells(0, 0) + list.Cells(1, 0) + list.Cells(2, 0), "←VSdata→");
  EXPECT_FALSE(s->lbsave->isVisible());
  Click(s->btn0);
  EXPECT_EQ(App().LastMessage, "チームが選択されていません");
  const int broken = RowOf(list, 1, "broken"), home = RowOf(list, 1, "home"), away = RowOf(list, 1, "away");
  ASSERT_GE(broken, 1);
  ClickCell(s->grid, 0, broken);
  EXPECT_TRUE(App().LastMessage.contains("data/vs/broken.vs")) << App().LastMessage.toStdString();
  EXPECT_EQ(list.Cells(0, broken), "");
  EXPECT_FALSE(s->grid0->isVisible());
  ClickCell(s->grid, 0, home);
  ClickCell(s->grid, 2, away);
  EXPECT_EQ(list.Cells(0, home), "○");
  EXPECT_EQ(list.Cells(2, away), "○");
  ClickCell(s->grid, 2, broken);  // refused: the right side stays as it was
  EXPECT_EQ(list.Cells(2, away), "○");
  EXPECT_EQ(s->memo0->toPlainText().toStdString(), homeName + "\n監督 \"A\", よろしく");
  EXPECT_EQ(s->Memo1->toPlainText().toStdString(), "Away, \"B\" FC\nなし");
  EXPECT_TRUE(s->grid0->isVisible() && s->grid1->isVisible());
  EXPECT_FALSE(s->img0->pixmap().isNull());
  EXPECT_EQ(s->grid1->Model().Cells(2, 0), "Name");
  EXPECT_EQ(s->grid1->Model().ColWidth(13), 0);  // hidden

  // The battle: the title goes, the match plays club 0 against club 1.
  TStream lineup[2];
  GameState->Team(0).WriteLineup(lineup[0]);
  GameState->Team(1).WriteLineup(lineup[1]);
  RandSeed(5);  // a battle with goals
  const RandomState before = GetRandomState();
  Click(s->btn0);
  Settle();
  EXPECT_EQ(Shown<Ttitle>(), nullptr);
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  Tmatch* match = Shown<Tmatch>();
  ASSERT_NE(match, nullptr);
  match->WaitForSounds = false;
  EXPECT_FALSE(match->NormalMode());
  EXPECT_TRUE(match->Groupvs->isVisible());
  EXPECT_FALSE(match->Groupnormal->isVisible());
  EXPECT_EQ(match->lbtname1->text(), "Away, \"B\" FC");
  EXPECT_EQ(match->Gridv2->Model().Cells(1, 1),
            GameState->Team(1).Squad->PlayerByNumber(GameState->Team(1).Slots[0])->Name);
  // A header click switches both sides to their statistics, and back.
  ClickCell(match->Gridv1, 0, 0);
  EXPECT_TRUE(match->gridvs1->isVisible() && match->gridvs2->isVisible());
  EXPECT_FALSE(match->Gridv1->isVisible() || match->Gridv2->isVisible());
  ClickCell(match->gridvs2, 0, 0);
  EXPECT_TRUE(match->Gridv1->isVisible() && match->Gridv2->isVisible());
  EXPECT_FALSE(match->gridvs1->isVisible());
  // A frame with the ball well up in the air, as the live screen shows it.
  // The screen paints the state before each step and the recorder keeps the
  // state after it: after k steps the picture is frame k - 2.
  int liveFrame = -1;
  QImage livePicture;
  const QRect picture(0, 0, kMatchPictureWidth, kMatchPictureHeight);
  for (int i = 0; i < 5401 && Shown<Tmatch>() == match; ++i) {
    match->TimerStep();
    const TmVTR* recording = match->Recorder();
    if (liveFrame < 0 && recording && recording->FrameCount() >= 2 &&
        recording->Frames[static_cast<std::size_t>(recording->FrameCount() - 2)].BallHeight() > 0) {
      liveFrame = recording->FrameCount() - 2;
      livePicture = match->grab(picture).toImage().convertToFormat(QImage::Format_RGB32);
    }
  }
  Settle();
  ASSERT_NE(Shown<Ttitle>(), nullptr);
  std::vector<TFileEntry> replays = ListFiles("vtr/*.vtr");
  ASSERT_EQ(replays.size(), 1u);
  TmVTR rec;
  rec.ReadFile(replays[0].Name);
  EXPECT_EQ(rec.FrameCount(), kMatchTicks);
  EXPECT_EQ(rec.Sides[1].Name, "Away, \"B\" FC");

  // The same battle without a window: the same goals.
  {
    SetRandomState(before);
    Tmmain d;
    d.Load(lineup[0], lineup[1], true);
    TmWatchSetup setup;
    setup.AutoSubs = {true, true};
    PlayWatchedMatch(d, setup);
    EXPECT_EQ(d.GoalLists[0], rec.Sides[0].GoalLines);
    EXPECT_EQ(d.GoalLists[1], rec.Sides[1].GoalLines);
  }
  std::vector<TVtrGoal> goals = rec.GoalsUpTo(rec.LastFrame());
  ASSERT_FALSE(goals.empty()) << "choose a seed whose battle has a goal";
  const TVtrGoal first = goals[0];

  // The replay: title → VTR再生.
  Click(Shown<Ttitle>()->btnvtr);
  Settle();
  EXPECT_EQ(Shown<Ttitle>(), nullptr);
  Tvtr* v = Shown<Tvtr>();
  ASSERT_NE(v, nullptr);
  v->Timer->stop();
  ASSERT_EQ(v->ListBox->count(), 1);
  // Speed buttons with no file: the speed changes, nothing moves.
  v->btnchange3->click();
  v->TimerIdle();
  EXPECT_EQ(v->Position(), -1);
  // The list: the clubs and the score from the file's header.
  const TmVTRsc& end = rec.Frames.back();
  EXPECT_TRUE(v->ListBox->item(0)->text().contains(QStringLiteral(" %1-%2 ").arg(end.Goals(0)).arg(end.Goals(1))))
      << v->ListBox->item(0)->text().toStdString();
  EXPECT_FALSE(v->btnanalyse->isVisible());
  v->ListBox->setCurrentRow(0);
  v->ListBoxClick();
  EXPECT_EQ(v->Position(), 0);

  // 分析: the table holds every player who played; a click on his row shows
  // his heat map instead of the shapes, the chart has a bar per five minutes.
  Click(v->btnanalyse);
  TFanalyse* an = v->AnalysisDialog();
  ASSERT_NE(an, nullptr);
  EXPECT_TRUE(an->isVisible());
  EXPECT_EQ(an->Analysis().Goals.size(), goals.size());
  EXPECT_EQ(an->gridrun->rowCount(), static_cast<int>(an->Analysis().Players.size()));
  const QImage shapes = an->PitchImage();
  QTableWidgetItem* cell = an->gridrun->item(0, 0);
  QTest::mouseClick(an->gridrun->viewport(), Qt::LeftButton, {}, an->gridrun->visualItemRect(cell).center());
  ASSERT_GE(an->Showing(), TFanalyse::kShowPlayer);
  const TVtrPlayerStats& chosen = an->Analysis().Players[static_cast<size_t>(an->Showing() - TFanalyse::kShowPlayer)];
  EXPECT_EQ(cell->text(), QString::number(chosen.Number));
  EXPECT_EQ(an->gridrun->item(0, 3)->text(), QString::number(chosen.DistanceMetres, 'f', 0));
  EXPECT_TRUE(an->cbshow->currentText().contains(QString::number(chosen.Number)));
  EXPECT_NE(an->PitchImage(), shapes);
  const auto* bars = qobject_cast<QStackedBarSeries*>(an->chart->chart()->series().value(0));
  ASSERT_NE(bars, nullptr);
  ASSERT_EQ(bars->count(), 2);
  EXPECT_EQ(bars->barSets()[0]->count(), 18);
  an->btnclose->click();
  Settle();
  EXPECT_EQ(v->AnalysisDialog(), nullptr);
  EXPECT_EQ(v->Speed(), 0);
  EXPECT_EQ(v->lbtime->text(), "00：00");
  EXPECT_EQ(v->lbtname1->text(), "Away, \"B\" FC");
  QLabel* scorer = first.Side == 0 ? v->lbgoal0 : v->lbgoal1;
  EXPECT_EQ(scorer->text(), "0");
  for (int i = 0; i < 20; ++i) v->btnchange3->click();
  while (v->Position() < first.Frame) v->TimerIdle();
  EXPECT_EQ(scorer->text(), "1");
  EXPECT_EQ(Lines(v->RichEdit1).value(0).toStdString(), first.Text);
  EXPECT_EQ(Lines(v->RichEdit1).size(), static_cast<int>(rec.GoalsUpTo(v->Position()).size()));
  // Backwards past the goal: its line goes, the score falls.
  v->btnchange2->click();
  for (int i = 0; i < 7; ++i) v->btnchange1->click();
  EXPECT_EQ(v->Speed(), -7);
  while (v->Position() >= first.Frame) v->TimerIdle();
  EXPECT_EQ(scorer->text(), "0");
  EXPECT_TRUE(Lines(v->RichEdit1).isEmpty());
  // On to frame 0, where playback stops.
  for (int i = 0; i < 5401 && v->Speed() != 0; ++i) v->TimerIdle();
  EXPECT_EQ(v->Position(), 0);
  // Forwards again: the line returns.
  v->btnchange3->click();
  while (v->Position() < first.Frame) v->TimerIdle();
  EXPECT_EQ(Lines(v->RichEdit1).value(0).toStdString(), first.Text);
  // The replay paints that frame to the same pixels as the live screen did.
  ASSERT_GE(liveFrame, 0) << "no frame with the ball in the air";
  v->ShowFrame(liveFrame);
  EXPECT_EQ(v->grab(picture).toImage().convertToFormat(QImage::Format_RGB32), livePicture);
  // 終了: back to a new title with a fresh game.
  Click(v->btnend);
  Settle();
  EXPECT_EQ(Shown<Tvtr>(), nullptr);
  ASSERT_NE(Shown<Ttitle>(), nullptr);
  ASSERT_NE(GameState, nullptr);
  EXPECT_EQ(GameState->Week, 1);
}

TEST_F(DataBattle, CancelledSideChoiceLeavesTheTitleWorldFresh) {
  Tteam& club = GameState->Team(0);
  const std::string name = club.ClubName;
  club.ClubName = "Visitors";
  ExportVs(club, "x", "visitors");
  club.ClubName = name;
  Click(Shown<Ttitle>()->btnvsload);
  Settle();
  Tsave* s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  ClickCell(s->grid, 2, 1);
  EXPECT_EQ(GameState->Team(1).ClubName, "Visitors");
  Click(s->btncancel);
  Settle();
  ASSERT_NE(Shown<Ttitle>(), nullptr);
  EXPECT_NE(GameState->Team(1).ClubName, "Visitors");
  EXPECT_EQ(GameState->Team(0).ClubName, name);
}

// One club on both sides: the sides are told apart by name and kit, the
// squads fit their boxes, and closing the window asks what becomes of the
// recording — kept, thrown away, or the battle goes on.
TEST_F(DataBattle, OneClubTwiceAndClosingTheBattleWindow) {
  ExportVs(GameState->Team(0), "x", "same");
  auto start = [] {
    Click(Shown<Ttitle>()->btnvsload);
    Settle();
    Tsave* s = Shown<Tsave>();
    if (!s) return static_cast<Tmatch*>(nullptr);
    ClickCell(s->grid, 0, 1);
    ClickCell(s->grid, 2, 1);
    for (TStringGridex* g : {s->grid0, s->grid1}) {
      EXPECT_LE(g->width(), 305);
      const TGrid& m = g->Model();
      int last = m.ColCount() - 1;
      while (last > 0 && m.ColWidth(last) <= 0) --last;
      EXPECT_LT(g->CellRect(last, 0).right(), g->viewport()->width()) << "squad columns cut";
    }
    Click(s->btn0);
    Settle();
    Tmatch* match = Shown<Tmatch>();
    if (match) match->WaitForSounds = false;
    return match;
  };
  Tmatch* match = start();
  ASSERT_NE(match, nullptr);
  EXPECT_NE(match->lbtname0->text(), match->lbtname1->text());
  EXPECT_TRUE(match->lbtname0->text().endsWith("（左）")) << match->lbtname0->text().toStdString();
  EXPECT_NE(GameState->Team(0).Emblem, GameState->Team(1).Emblem);
  for (int i = 0; i < 120; ++i) match->TimerStep();
  // The real clock may have stepped too while the screen settled (a loaded
  // machine): what is kept is every frame recorded so far.
  const int32_t recorded = match->Recorder()->FrameCount();
  EXPECT_GE(recorded, 120);  // one frame a step

  App().AutoChoice = 2;  // back to the battle
  EXPECT_FALSE(match->close());
  EXPECT_EQ(Shown<Tmatch>(), match);
  EXPECT_FALSE(match->Paused());
  EXPECT_TRUE(App().LastMessage.contains("録画")) << App().LastMessage.toStdString();
  App().AutoChoice = 0;  // keep the recording so far
  match->close();
  Settle();
  ASSERT_NE(Shown<Ttitle>(), nullptr);
  std::vector<TFileEntry> replays = ListFiles("vtr/*.vtr");
  ASSERT_EQ(replays.size(), 1u);
  TmVTR rec;
  rec.ReadFile(replays[0].Name);
  EXPECT_EQ(rec.FrameCount(), recorded);
  EXPECT_EQ(rec.Sides[1].Name.substr(rec.Sides[1].Name.size() - std::string("（右）").size()), "（右）");

  match = start();
  ASSERT_NE(match, nullptr);
  for (int i = 0; i < 10; ++i) match->TimerStep();
  App().AutoChoice = 1;  // throw it away
  match->close();
  Settle();
  App().AutoChoice = 0;
  ASSERT_NE(Shown<Ttitle>(), nullptr);
  EXPECT_EQ(ListFiles("vtr/*.vtr").size(), 1u);
}

TEST_F(DataBattle, NoVsFileLeavesTheTitle) {
  Ttitle* t = Shown<Ttitle>();
  Click(t->btnvsload);
  Settle();
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  EXPECT_EQ(Shown<Ttitle>(), t);
}

}  // namespace
