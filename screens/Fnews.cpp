#include "screens/Fnews.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPainter>

#include "club/Ucalendar.h"
#include "club/Ugridtext.h"
#include "screens/Clickpanel.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {
TStringGridex* SelectorGrid(QWidget* parent, int cols, const char* text) {
  auto* g = new TStringGridex(parent);
  g->setGeometry(8, 8, 209, 25);
  g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->RowHeight = 20;
  g->RowSelect = false;
  g->FixedColor = QColor(192, 220, 192);
  g->setFont(GothicFont(11));  // "結果表示" in 50 pixels
  TGrid& m = g->Model();
  m.SetSize(cols, 1);
  m.FixedRows = 0;
  m.FixedCols = 1;
  m.DefaultColWidth = 50;
  SetRowCommaText(m, 0, text);
  g->hide();
  return g;
}
}  // namespace

Tnews::Tnews(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("news"));
  setWindowFlag(Qt::FramelessWindowHint);
  setFixedSize(1016, 673);
  move(0, 22);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  grid1 = new TStringGridex(this);
  grid1->setGeometry(512, 48, 297, 337);
  grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid1->RowHeight = 80;
  {
    TGrid& g = grid1->Model();
    g.SetSize(11, 10);
    g.FixedRows = 0;
    g.DefaultColWidth = 30;
  }
  grid1->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) {
    const TGrid& g = grid1->Model();
    int32_t tag = g.Tags(c, r);
    bool selected = r == grid1->Row();
    p.fillRect(rc, tag ? TagColour(tag) : QColor(Qt::white));
    p.setPen(Qt::black);
    (void)selected;
    QRect text(rc.left(), rc.top() + 30, rc.width(), rc.height() - 30);
    p.drawText(text, Qt::AlignTop | Qt::AlignHCenter, QString::fromStdString(g.Cells(c, r)));
  };

  const int mx[8] = {304, 816, 304, 816, 304, 816, 304, 816};
  const int my[8] = {60, 60, 140, 132, 224, 216, 304, 296};
  for (int k = 0; k < 8; ++k) {
    Memo[k] = new QPlainTextEdit(this);
    Memo[k]->setGeometry(mx[k], my[k], 200, 70);
    Memo[k]->setReadOnly(true);
    Memo[k]->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo[k]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo[k]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  }

  grid2 = new TStringGridex(this);
  grid2->setGeometry(0, 136, 280, 210);
  grid2->Sortable = true;
  // The standings' 25-pixel columns and nine rows in 210 pixels.
  grid2->setFont(GothicFont(11));
  grid2->RowHeight = 22;
  grid2->Model().SetSize(11, 9);
  grid2->Model().DefaultColWidth = 50;
  grid2->hide();

  gridleague = SelectorGrid(this, 4, "表示DIV,1,2,3");
  connect(gridleague, &TStringGridex::cellClicked, this, [this](int c, int, Qt::MouseButton b) {
    if (b == Qt::LeftButton && c >= 1 && c <= 3) gridleagueClick(c);
  });
  gridcup = SelectorGrid(this, 3, "結果表示,P1,P2");
  connect(gridcup, &TStringGridex::cellClicked, this, [this](int c, int, Qt::MouseButton b) {
    if (b == Qt::LeftButton && c >= 1 && c <= 2) gridcupClick(c - 1);
  });

  Memomes = new QPlainTextEdit(this);
  Memomes->setGeometry(0, 528, 1016, 145);
  Memomes->setReadOnly(true);
  Memomes->setFont(GothicFont(27));
  Memomes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memomes->setCursor(Qt::PointingHandCursor);
  Memomes->viewport()->installEventFilter(this);
}

void Tnews::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!GameState) return;
  if (IsCupWeek(GameState->Week))
    ShowCupResults();
  else
    ShowLeagueResults();
}

void Tnews::closeEvent(QCloseEvent* e) {
  if (App().ConfirmEndGame(this))
    e->accept();
  else
    e->ignore();
}

void Tnews::FillMemos(const std::array<std::vector<std::string>, 8>& memos) {
  for (int k = 0; k < 8; ++k) {
    Memo[k]->clear();
    for (const auto& line : memos[k]) Memo[k]->appendPlainText(QString::fromStdString(line));
  }
}

void Tnews::ShowLeagueResults() {
  gridleague->show();
  grid2->show();
  for (int d = 1; d <= 3; ++d) {
    gridleague->SetSelection(d, 0);
    gridleagueClick(d);
  }
  int own = GameState->DivisionOf(0);
  gridleague->SetSelection(own, 0);
  gridleagueClick(own);
}

void Tnews::gridleagueClick(int d) {
  if (!GameState || d < 1 || d > 3 || !GameState->Leagues[d - 1]) return;
  std::array<std::vector<std::string>, 8> memos;
  grid1->Model().ClearCells();
  GameState->Leagues[d - 1]->ShowResults(grid1->Model(), memos);
  grid1->Refresh();
  FillMemos(memos);
  GameState->Leagues[d - 1]->ShowTable(grid2->Model());
  grid2->Refresh();
  int round = GameState->Leagues[0] ? GameState->Leagues[0]->Round : 0;
  Memomes->setPlainText(QStringLiteral("第") + QString::number(round + 1) + QStringLiteral("節のDiv") +
                        QString::number(d) + QStringLiteral("の結果です\n（先に進めるにはここをクリック）"));
}

void Tnews::ShowCupResults() {
  gridcup->setVisible(GameState->Week < kCupQuarterFinalWeek);
  gridcupClick(0);
}

void Tnews::gridcupClick(int page) {
  if (!GameState || !GameState->Cup) return;
  std::array<std::vector<std::string>, 8> memos;
  std::vector<std::string> message;
  grid1->Model().ClearCells();
  GameState->Cup->ShowResults(page, grid1->Model(), memos, message);
  grid1->Refresh();
  FillMemos(memos);
  QString text;
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (i) text += '\n';
    text += QString::fromStdString(message[i]);
  }
  Memomes->setPlainText(text);
}

bool Tnews::eventFilter(QObject* o, QEvent* e) {
  if (o == Memomes->viewport() && e->type() == QEvent::MouseButtonRelease) {
    MemomesClick();
    return true;
  }
  return QWidget::eventFilter(o, e);
}

// Closing the news advances the week and brings the club screen back.
void Tnews::MemomesClick() {
  if (closing_) return;
  closing_ = true;
  App().Release(this);
  App().Guard([] { GameState->AdvanceWeek(); });
  App().ShowMain();
}
