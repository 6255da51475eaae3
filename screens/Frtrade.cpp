#include "screens/Frtrade.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSpinBox>

#include "club/Ufunction.h"
#include "club/Ugridtext.h"
#include "screens/Clickpanel.h"
#include "screens/Fplayer.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

namespace {

const QColor kSkyBlue(166, 202, 240);
const QColor kOwnPlayer(255, 255, 0);
const QColor kBidCell(255, 0, 0);

constexpr int kMenuList = 1, kMenuOffers = 2, kMenuReport = 3;
// Seller index and player key of a row: list (grid1) and offers (grid2).
constexpr int kReportResultColumn = 4, kReportReasonColumn = 5;
constexpr int kRowHeight = 18;

// Criteria 2..8 of the filter: caption, arrow, range, step, default.
struct TCriterion {
  const char* caption;
  const char* arrow;
  int low, high, step, start;
};
const std::array<TCriterion, 9> kCriteria{{
    {"", "", 0, 0, 0, 0},
    {"MoveTyoe", "", 0, 0, 0, 0},
    {"速さ(S)", "↑", 10, 99, 5, 10},
    {"高さ(H)", "↑", 10, 99, 5, 10},
    {"守備(D)", "↑", 10, 99, 5, 10},
    {"キープ(C)", "↑", 10, 99, 5, 10},
    {"キック(K)", "↑", 10, 99, 5, 10},
    {"予測(A)", "↑", 10, 99, 5, 10},
    {"評価額", "↓", 50, 10000, 50, 1000},
}};

TStringGridex* ListGrid(QWidget* parent, int x, int y, int w, int h) {
  auto* g = new TStringGridex(parent);
  g->setGeometry(x, y, w, h);
  g->RowHeight = kRowHeight;
  // Two digits and the short headers ("Age", "Leg") in 20-pixel columns.
  g->setFont(GothicFont(11));
  g->Model().DefaultColWidth = 20;
  g->hide();
  return g;
}

bool IsNumber(const std::string& text) {
  bool ok = false;
  QString::fromStdString(text).toInt(&ok);
  return ok;
}

}  // namespace

TFtrade::TFtrade(QWidget* parent) : QWidget(parent) {
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kSkyBlue);
  setPalette(pal);

  gridmenu = MakeMenuGrid(this, QRect(15, 447, 330, 25), 4, 1, 21, 80);
  gridmenu->SetSelection(kMenuList, 0);
  connect(gridmenu, &TStringGridex::cellClicked, this, [this](int c, int, Qt::MouseButton b) {
    if (b == Qt::LeftButton && c >= 1) gridmenuClick(c);
  });

  lboffer = new QLabel(QStringLiteral("選手にオファーが来ました"), this);
  lboffer->move(360, 448);
  lboffer->setFont(GothicFont(24));
  {
    QPalette lp = lboffer->palette();
    lp.setColor(QPalette::WindowText, Qt::red);
    lboffer->setPalette(lp);
  }
  lboffer->adjustSize();
  lboffer->hide();

  grid1 = ListGrid(this, 15, 178, 640, 265);
  grid1->Sortable = true;
  grid1->HandColumn = kListNameColumn;
  grid1->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) {
    if (c == kListGrowthColumn && r >= grid1->Model().FixedRows)
      DrawGrowthIcon(p, grid1->Model(), c, rc, r, grid1->IsSelected(c, r) ? QColor(0, 0, 128) : grid1->CellColor);
  };
  connect(grid1, &TStringGridex::cellClicked, this, &TFtrade::grid1MouseDown);

  grid2 = ListGrid(this, 16, 178, 710, 265);
  grid2->HandColumn = kOfferNameColumn;
  grid2->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) { grid2DrawCell(p, rc, c, r); };
  connect(grid2, &TStringGridex::cellClicked, this, &TFtrade::grid2MouseDown);

  grid3 = ListGrid(this, 72, 178, 337, 257);
  grid3->Sortable = true;
  grid3->Model().DefaultColWidth = 35;
  // A player who stayed: the reason the market gives, over his result.
  grid3->TipAt = [this](int c, int r) {
    const TGrid& g = grid3->Model();
    if (c != kReportResultColumn || r < g.FixedRows || g.ColCount() <= kReportReasonColumn) return QString();
    return QString::fromStdString(g.Cells(kReportReasonColumn, r));
  };

  GBfilter = new QGroupBox(this);
  GBfilter->setGeometry(16, 176, 465, 217);
  GBfilter->hide();
  Label7 = new QLabel(QStringLiteral("移籍リストの絞込み"), GBfilter);
  Label7->setFont(GothicFont(15, true));
  Label7->move(10, 10);
  Label7->adjustSize();
  btnfilter = new TClickPanel(QStringLiteral("OK"), GBfilter, 380, 178, 75, 30);
  connect(btnfilter, &TClickPanel::clicked, this, &TFtrade::btnfilterClick);

  // Criterion 1 down the left side; the abilities in two columns of three;
  // the asking price below them.
  CB[1] = new QCheckBox(QString::fromUtf8(kCriteria[1].caption), GBfilter);
  CB[1]->setGeometry(10, 44, 100, 22);
  LB1 = new QListWidget(GBfilter);
  LB1->setGeometry(10, 68, 100, 140);
  LB1->setSelectionMode(QAbstractItemView::MultiSelection);
  for (int code = 0; code < 21; ++code) LB1->addItem(QString::fromStdString(PositionName(code)));
  LB1->hide();
  for (int k = 2; k <= 8; ++k) {
    const TCriterion& cr = kCriteria[static_cast<std::size_t>(k)];
    const int column = k <= 4 ? 0 : (k <= 7 ? 1 : 0);
    const int line = k <= 4 ? k - 2 : (k <= 7 ? k - 5 : 3);
    const int x = 122 + column * 170, y = 36 + line * 44;
    CB[k] = new QCheckBox(QString::fromUtf8(cr.caption), GBfilter);
    CB[k]->setGeometry(x, y + 8, 86, 22);
    GB[k] = new QGroupBox(GBfilter);
    GB[k]->setGeometry(x + 86, y, k == 8 ? 96 : 76, 38);
    SE[k] = new QSpinBox(GB[k]);
    SE[k]->setGeometry(6, 7, k == 8 ? 68 : 48, 24);
    SE[k]->setRange(cr.low, cr.high);
    SE[k]->setSingleStep(cr.step);
    SE[k]->setValue(cr.start);
    auto* arrow = new QLabel(QString::fromUtf8(cr.arrow), GB[k]);
    arrow->move(SE[k]->geometry().right() + 4, 11);
    GB[k]->hide();
  }
  for (int k = 1; k <= 8; ++k)
    connect(CB[static_cast<std::size_t>(k)], &QCheckBox::toggled, this, [this, k] { CBClick(k); });
}

void TFtrade::ShowTransfers() {
  if (!GameState || !GameState->Market) return;
  const Ttrade& market = *GameState->Market;
  market.ShowListings(grid1->Model());
  const bool offerForUser = market.ShowNegotiations(grid2->Model());
  lboffer->setVisible(offerForUser);
  market.ShowReport(grid3->Model());
  // Club and player names whole: the name columns widen to the longest.
  grid1->WidenToFit(1);
  grid2->WidenToFit(0);
  for (int c : {0, 1, 4}) grid3->WidenToFit(c);
  // At least their places' widths; wider, within the frame, when the names need it.
  grid1->Model().Width = 640;
  grid2->Model().Width = 710;
  grid3->Model().Width = 337;
  // This week's lists start at their top, whatever last week's showed.
  for (TStringGridex* g : {grid1, grid2, grid3}) {
    TGrid& m = g->Model();
    m.TopRow = m.FixedRows;
    m.CurrentRow = m.FixedRows;
  }
  SetRowCommaText(gridmenu->Model(), 0, "移籍MENU,リスト,オファー,移籍情報");
  grid1->Refresh();
  grid2->Refresh();
  grid3->Refresh();
  gridmenu->Refresh();
  gridmenuClick(gridmenu->Col() >= 1 ? gridmenu->Col() : kMenuList);
  ListRows = grid1->Model().RowCount();
}

void TFtrade::SubmitBidsAndAnswers() {
  if (!GameState || !GameState->Market) return;
  SubmitBids(*GameState->Market, grid1->Model());
  AnswerOffers(*GameState->Market, grid2->Model());
  grid1->Refresh();
}

void TFtrade::gridmenuClick(int col) {
  GBfilter->hide();
  grid1->hide();
  grid2->hide();
  grid3->hide();
  gridmenu->SetSelection(col, 0);
  // An empty view stays hidden; the list itself opens through the filter's OK.
  if (col == kMenuList) {
    GBfilter->show();
  } else if (col == kMenuOffers) {
    grid2->setVisible(grid2->Model().RowCount() > 1);
  } else if (col == kMenuReport) {
    grid3->setVisible(grid3->Model().RowCount() > 1);
  }
}

void TFtrade::CBClick(int k) {
  if (k < 1 || k > 8) return;
  const bool ticked = CB[static_cast<std::size_t>(k)]->isChecked();
  if (k == 1)
    LB1->setVisible(ticked);
  else
    GB[static_cast<std::size_t>(k)]->setVisible(ticked);
}

TListFilter TFtrade::Filter() const {
  TListFilter f;
  for (int k = 1; k <= TListFilter::kCriteria; ++k) {
    const auto i = static_cast<std::size_t>(k);
    f.Ticked[i] = CB[i]->isChecked();
    if (k >= 2) f.Limit[i] = SE[i]->value();
  }
  for (int code = 0; code < LB1->count() && code < static_cast<int>(f.Positions.size()); ++code)
    f.Positions[static_cast<std::size_t>(code)] = LB1->item(code)->isSelected();
  return f;
}

void TFtrade::btnfilterClick() {
  FilterListings(grid1->Model(), ListRows, Filter());
  grid1->Model().TopRow = grid1->Model().FixedRows;
  grid1->SetSelection(grid1->Col(), 1);
  grid1->Refresh();
  grid1->show();
  GBfilter->hide();
}

void TFtrade::grid1MouseDown(int col, int row, Qt::MouseButton button) {
  TGrid& g = grid1->Model();
  if (row < g.FixedRows) return;  // the header sorts by itself
  if (button == Qt::LeftButton && col == kListNameColumn) {
    OpenPlayerCard(g.Cells(kListSellerColumn, row), g.Cells(kListNumberColumn, row));
  } else if (button == Qt::RightButton) {
    ToggleBid(g, row);
    grid1->viewport()->update();
  }
}

void TFtrade::grid2MouseDown(int col, int row, Qt::MouseButton button) {
  TGrid& g = grid2->Model();
  if (row < g.FixedRows) return;
  if (button == Qt::LeftButton && col == kOfferNameColumn) {
    OpenPlayerCard(g.Cells(kOfferSellerColumn, row), g.Cells(kOfferNumberColumn, row));
  } else if (button == Qt::RightButton) {
    ToggleAnswer(g, row);
    grid2->viewport()->update();
  }
}

void TFtrade::OpenPlayerCard(const std::string& club, const std::string& number) {
  bool okClub = false, okNumber = false;
  const int c = QString::fromStdString(club).toInt(&okClub);
  const int n = QString::fromStdString(number).toInt(&okNumber);
  if (!okClub || !okNumber) return;
  auto* card = new Tplayerinfo(window());  // over the club screen, and gone with it
  card->ShowPlayer(c, n);
}

void TFtrade::grid2DrawCell(QPainter& p, const QRect& rc, int col, int row) {
  const TGrid& g = grid2->Model();
  if (row < g.FixedRows || row >= g.RowCount()) return;
  QColor back = grid2->IsSelected(col, row) ? QColor(0, 0, 128) : grid2->CellColor;
  if (OffersUserPlayer(g, row)) {
    // One of the user's players is wanted.
    back = kOwnPlayer;
    p.fillRect(rc, back);
    p.setPen(Qt::black);
    p.drawText(rc.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(g.Cells(col, row)));
  }
  if (col >= kFirstBidderColumn && col <= kLastBidderColumn && IsNumber(g.Cells(col, row))) p.fillRect(rc, kBidCell);
  if (col == kOfferGrowthColumn) DrawGrowthIcon(p, g, col, rc, row, back);
}
