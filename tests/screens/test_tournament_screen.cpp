// A tournament driven through the window: four exported clubs chosen from
// the data battle's side choice, the first match watched live and recorded,
// the rest played on the worker thread; the screen's table is the core's.
#include <gtest/gtest.h>

#include <QPointer>
#include <filesystem>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ufile.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "match/Uvtr.h"
#include "screens/Fmatch.h"
#include "screens/Fsave.h"
#include "screens/Ftournament.h"
#include "world/Ugamemain.h"
#include "world/Utournament.h"
#include "world/Uvsdata.h"

namespace {

// The game's clubs `clubs` as the VS files prefix0, prefix1, …, each with
// the comment `comment` and its index ("" for none); their paths.
std::vector<std::string> ExportClubs(const std::vector<int>& clubs, const std::string& prefix,
                                     const std::string& comment) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < clubs.size(); ++i) {
    const std::string n = std::to_string(i);
    ExportVs(GameState->Team(clubs[i]), comment.empty() ? "" : comment + n, prefix + n);
    paths.push_back(VsPath(prefix + n));
  }
  return paths;
}

}  // namespace

TEST(TournamentScreen, FromTheTitleOneMatchWatchedTheRestPlayed) {
  ScopedDataDir dir;
  OpenTitle(3);
  RandSeed(41);
  GameState->NewGameFrom("data/first.dat", false);
  const std::vector<std::string> paths = ExportClubs({3, 4, 5, 6}, "c", "コメント");
  WriteFileAtomic("data/vs/broken.vs", std::vector<uint8_t>{2, 0, 0, 0, '1', '7'});

  Click(Shown<Ttitle>()->btnvsload);
  Settle();
  Tsave* s = Shown<Tsave>();
  ASSERT_NE(s, nullptr);
  ASSERT_TRUE(s->btntournament->isVisible());
  Click(s->btntournament);
  Settle();
  TFtournamentsetup* setup = Shown<TFtournamentsetup>();
  ASSERT_NE(setup, nullptr);
  ASSERT_EQ(setup->lstclubs->count(), 5);
  EXPECT_FALSE(setup->lstclubs->item(0)->flags() & Qt::ItemIsUserCheckable);  // broken: cannot enter
  setup->CheckFiles({"c0", "c1"});
  EXPECT_FALSE(setup->btnstartClick());  // two are too few
  EXPECT_EQ(App().LastMessage, "参加クラブを3～16選んでください");
  setup->CheckFiles({"c0", "c1", "c2", "c3"});
  ASSERT_EQ(setup->cbfavourite->count(), 5);
  setup->cbfavourite->setCurrentIndex(3);  // c2
  ASSERT_TRUE(setup->btnstartClick());
  Settle();
  EXPECT_EQ(Shown<Ttitle>(), nullptr);
  EXPECT_EQ(Shown<Tsave>(), nullptr);
  TFtournament* screen = Shown<TFtournament>();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->Tournament().Favourite(), 2);

  // What the core plays with the same seed.
  Ttournament ref = Ttournament::Create(paths, 1, screen->Tournament().Seed());
  ref.SetFavourite(2);
  ref.PlayNext(100, 1);

  // The first match watched to the end, recorded; the window's generator
  // and game are as they were afterwards.
  Tgamemain* game = GameState;
  const RandomState before = GetRandomState();
  screen->chkrecord->setChecked(true);
  ASSERT_TRUE(screen->btnwatchClick());
  QPointer<Tmatch> m = Shown<Tmatch>();
  ASSERT_FALSE(m.isNull());
  EXPECT_FALSE(screen->isVisible());
  m->WaitForSounds = false;
  for (int i = 0; i <= kMatchTicks && m && m->isVisible(); ++i) m->TimerStep();
  Settle();
  EXPECT_TRUE(m.isNull());
  ASSERT_TRUE(screen->isVisible());
  EXPECT_EQ(GameState, game);
  EXPECT_EQ(GetRandomState().state, before.state);
  ASSERT_EQ(screen->Tournament().Played(), 1);
  EXPECT_EQ(screen->Tournament().Results()[0], ref.Results()[0]);
  TmVTR replay;
  replay.ParseImage(ReadWholeFile(VtrPath(ref.ReplayName(0))));
  EXPECT_EQ(replay.Frames.back().Goals(0), ref.Results()[0].HomeGoals);

  // The rest on the worker thread.
  screen->chkrecord->setChecked(false);
  Click(screen->btnall);
  EXPECT_TRUE(screen->Busy());
  EXPECT_FALSE(screen->btnwatch->isEnabled());
  screen->WaitForWorker();
  const Ttournament& t = screen->Tournament();
  ASSERT_TRUE(t.Finished());
  EXPECT_EQ(t.FileImage(), ref.FileImage());
  EXPECT_EQ(GetRandomState().state, before.state);
  const std::vector<TTableRow> table = ref.Table();
  ASSERT_EQ(screen->gridtable->rowCount(), 4);
  for (int r = 0; r < 4; ++r) {
    const TTableRow& row = table[static_cast<std::size_t>(r)];
    EXPECT_EQ(screen->gridtable->item(r, 1)->text().toStdString(), ref.Entrants()[row.Entrant].Label);
    EXPECT_EQ(screen->gridtable->item(r, 9)->text().toInt(), row.Points);
    EXPECT_EQ(screen->gridtable->item(r, 1)->background().color() == QColor(255, 240, 150), row.Entrant == 2);
  }
  EXPECT_EQ(screen->lbchampion->text().toStdString(), "優勝　" + ref.Entrants()[ref.Champion()].Label);
  EXPECT_FALSE(screen->btnplay->isEnabled());

  // Saved, and the final table as a picture.
  App().AutoTexts = {QStringLiteral("final"), QStringLiteral("table")};
  EXPECT_TRUE(screen->btnsaveClick());
  EXPECT_EQ(Ttournament::Load("final").FileImage(), t.FileImage());
  EXPECT_TRUE(screen->btnpngClick());
  QImage png(QString::fromStdString(TournamentDir() + "/table.png"));
  EXPECT_FALSE(png.isNull());
  EXPECT_GT(png.height(), 4 * 28);
  CloseEverything();
}

// Exported clubs often share a name: the round's fixtures and the results
// grid tell them apart by the end of their labels, the file's name, where a
// label too long for its cell loses its middle.
TEST(TournamentScreen, ClubsOfOneNameToldApartByTheirFiles) {
  ScopedDataDir dir;
  OpenTitle(3);
  const std::vector<std::string> paths = ExportClubs({0, 0, 0, 0}, "onename", "");
  // A screen closes itself for good: CloseEverything deletes it.
  TFtournament& screen = *new TFtournament(std::make_unique<Ttournament>(Ttournament::Create(paths, 1, 5)));
  screen.show();
  Settle();
  // What the player sees of a row's first cell.
  auto seen = [](QTableWidget* grid, int row) {
    return grid->viewport()->grab(grid->visualItemRect(grid->item(row, 0))).toImage();
  };
  ASSERT_GE(screen.gridround->rowCount(), 2);
  EXPECT_NE(seen(screen.gridround, 0), seen(screen.gridround, 1));
  screen.tabs->setCurrentWidget(screen.gridmatrix);
  Settle();
  for (int r = 1; r < 4; ++r) EXPECT_NE(seen(screen.gridmatrix, 0), seen(screen.gridmatrix, r));
  CloseEverything();
}
