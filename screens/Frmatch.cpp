#include "screens/Frmatch.h"

#include "club/Ugridtext.h"
#include "screens/Clickpanel.h"
#include "screens/Fmatch.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

TFtomatch::TFtomatch(QWidget* parent) : QWidget(parent) {
  setFont(GothicFont(12));
  gridmenu = MakeMenuGrid(this, QRect(48, 414, 409, 51), 5, 2, 20, 80);
  connect(gridmenu, &TStringGridex::cellClicked, this, [this](int c, int r, Qt::MouseButton b) {
    if (b == Qt::LeftButton) gridmenuClick(c, r);
  });

  grid = new TStringGridex(this);
  grid->setGeometry(48, 180, 320, 225);
  grid->Sortable = true;
  // Two kanji ("勝点", "得失") in the standings' 25-pixel columns, and the
  // standings' nine rows in the grid's height.
  grid->setFont(GothicFont(11));
  grid->RowHeight = 22;
  {
    TGrid& g = grid->Model();
    g.SetSize(11, 10);
    g.DefaultColWidth = 50;
  }

  Groupwatch = new QGroupBox(this);
  Groupwatch->setGeometry(619, 464, 121, 73);
  radiowatchy = new QRadioButton(QStringLiteral("試合を見る"), Groupwatch);
  radiowatchy->setGeometry(8, 14, 110, 24);
  radiowatchn = new QRadioButton(QStringLiteral("試合を飛ばす"), Groupwatch);
  radiowatchn->setGeometry(8, 42, 110, 24);
  radiowatchy->setChecked(true);
}

void TFtomatch::SetDivision(int d) {
  if (division_ == d) return;
  division_ = d;
  if (shownItem_ >= 1 && shownItem_ <= 4) gridmenuClick(shownItem_ % 10, shownItem_ / 10);
}

void TFtomatch::ShowNextMatch() {
  if (!GameState) return;
  TGrid& m = gridmenu->Model();
  SetRowCommaText(m, 0, "リーグ戦,NextMatch,順位,得点rank,アシストrank");
  SetRowCommaText(m, 1, "その他,CUP戦カード,スケジュール,過去の成績");
  const int w = GameState->Week;
  const bool matchWeek = IsLeagueWeek(w) || IsCupWeek(w);
  Groupwatch->setVisible(matchWeek && GameState->NextHome != -1);
  gridmenu->SetSelection(2, 1);
  gridmenuClick(2, 1);
  radiowatchn->setChecked(GameState->SkipMatches);
  radiowatchy->setChecked(!GameState->SkipMatches);
}

void TFtomatch::gridmenuClick(int col, int row) {
  if (!GameState) return;
  TGrid& g = grid->Model();
  const int d = division_;
  Tleague* league = (d >= 1 && d <= 3) ? GameState->Leagues[d - 1].get() : nullptr;
  const int item = row * 10 + col;
  // The labels in column 0 are no menu items: the view stays as it is.
  if (item != 1 && item != 2 && item != 3 && item != 4 && item != 11 && item != 12 && item != 13) return;
  g.ClearCells();
  switch (item) {
    case 1:
      if (league) league->ShowNextRound(g);
      break;
    case 2:
      if (league) league->ShowTable(g);
      break;
    case 3:
      if (league) league->ShowRanking(0, g);
      break;
    case 4:
      if (league) league->ShowRanking(1, g);
      break;
    case 11:
      if (GameState->Cup) GameState->Cup->ShowCards(g);
      break;
    case 12: GameState->ShowSchedule(g); break;
    case 13: GameState->ShowHistory(g); break;
    default: return;
  }
  shownItem_ = item;
  // A new view starts at its top, unless it names its own first row.
  if (g.TopRow < 0) g.TopRow = g.FixedRows;
  grid->Refresh();
}

TFtomatch::~TFtomatch() {
  if (prepared_) App().Release(prepared_);
}

bool TFtomatch::Watching() const { return !Groupwatch->isHidden() && radiowatchy->isChecked(); }

bool TFtomatch::PrepareWatchedMatch() {
  if (prepared_) App().Release(prepared_);
  prepared_ = nullptr;
  if (!Watching()) return true;
  prepared_ = App().PrepareMatch();
  return prepared_ != nullptr;
}

void TFtomatch::PlayLeagueMatches(const std::function<void()>& progress) {
  GameState->SkipMatches = radiowatchn->isChecked();
  GameState->PlayWeekMatches(progress, Watching());
}

void TFtomatch::PlayCupMatches(const std::function<void()>& progress) {
  GameState->SkipMatches = radiowatchn->isChecked();
  GameState->PlayWeekMatches(progress, Watching());
}

void TFtomatch::OpenMatchOrNews() {
  if (prepared_) {
    Tmatch* m = prepared_;
    prepared_ = nullptr;
    App().OpenMatch(m);
  } else {
    App().OpenNews();
  }
}
