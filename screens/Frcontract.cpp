#include "screens/Frcontract.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <algorithm>

#include "club/Uplayer.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Fplayer.h"
#include "screens/StringGridex.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"

namespace {
const QColor kSkyBlue(166, 202, 240);
constexpr int kListRowHeight = 17;
constexpr int kGrowthColumn = 18;
constexpr int kItemHeight = 12;

const char* const kScoutTypes[10] = {"GK", "CB", "OVER", "DM", "AM", "SHADOW", "FW", "守備", "攻撃", "ALL"};

QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int px, bool bold = false) {
  auto* l = new QLabel(text, parent);
  l->move(x, y);
  l->setFont(GothicFont(px, bold));
  l->adjustSize();
  return l;
}

QListWidget* MakeListBox(QWidget* parent, int x, int y, int w, int h) {
  auto* box = new QListWidget(parent);
  box->setGeometry(x, y, w, h);
  box->setFont(GothicFont(11));
  box->setUniformItemSizes(true);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  box->setSelectionMode(QAbstractItemView::SingleSelection);
  return box;
}

void AddItems(QListWidget* box, const QStringList& items) {
  for (const QString& text : items) {
    auto* item = new QListWidgetItem(text, box);
    item->setSizeHint(QSize(box->width() - 4, kItemHeight));
  }
}
}  // namespace

TFcontract::TFcontract(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Fcontract1"));
  resize(780, 600);
  setFont(GothicFont(12));
  // Sky blue like the club screen it lies on, which shows through: a long
  // club name may run on where the frame has nothing, never over its lists.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kSkyBlue);
  setPalette(pal);

  gridcoach = new TStringGridex(this);
  gridcoach->setGeometry(32, 48, 209, 113);
  gridcoach->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridcoach->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridcoach->RowHeight = 20;
  gridcoach->RowSelect = false;
  {
    // "SPE" and two digits in 20-pixel columns.
    QFont f = GothicFont(11);
    f.setStretch(85);
    gridcoach->setFont(f);
  }
  gridcoach->ShowModel(&Desk.Coach);
  gridcoach->setAttribute(Qt::WA_TransparentForMouseEvents);  // a table to read here
  gridcoach->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) {
    const int32_t tag = Desk.Coach.Tags(c, r);
    if (!tag) return;
    p.fillRect(rc, r == 0 || c == 0 ? gridcoach->FixedColor : gridcoach->CellColor);
    p.setPen(TagColour(tag));
    p.drawText(rc.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdString(Desk.Coach.Cells(c, r)));
  };

  lbwage = MakeLabel(this, QString(), 326, 64, 21);
  lbscout = MakeLabel(this, QString(), 326, 96, 21);
  lbminus = MakeLabel(this, QStringLiteral("赤字だよ"), 326, 144, 24, true);
  {
    QPalette p = lbminus->palette();
    p.setColor(QPalette::WindowText, Qt::red);
    lbminus->setPalette(p);
  }
  lbminus->hide();

  Groupyouth = new QGroupBox(this);
  Groupyouth->setGeometry(519, 0, 257, 201);
  lby1 = MakeLabel(Groupyouth, QStringLiteral("ユーススカウト"), 16, 16, 19);
  lby2 = MakeLabel(Groupyouth, QStringLiteral("国"), 32, 46, 12);
  lby3 = MakeLabel(Groupyouth, QStringLiteral("タイプ"), 160, 46, 12);
  Lbox1 = MakeListBox(Groupyouth, 32, 64, 81, 129);
  QStringList countries;
  for (int32_t n = 0; n < 10; ++n) countries << QString::fromStdString(NationalityName(n));
  AddItems(Lbox1, countries);
  Lbox2 = MakeListBox(Groupyouth, 160, 64, 81, 129);
  QStringList types;
  for (const char* t : kScoutTypes) types << QString::fromUtf8(t);
  AddItems(Lbox2, types);
  connect(Lbox1, &QListWidget::currentRowChanged, this, [this](int) { ScoutingChosen(); });
  connect(Lbox2, &QListWidget::currentRowChanged, this, [this](int) { ScoutingChosen(); });

  gridplist = new TStringGridex(this);
  gridplist->setGeometry(0, 208, 560, 260);
  gridplist->RowHeight = kListRowHeight;
  gridplist->Sortable = true;
  gridplist->ShowModel(&Desk.Plist);
  gridplist->HandAt = [this](int c, int r) { return c == kConName && Desk.CardNumber(r) >= 0; };
  gridplist->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) {
    PaintSquadCell(p, rc, *gridplist, c, r, kGrowthColumn, false);
  };

  gridfuture = new TStringGridex(this);
  gridfuture->setGeometry(583, 224, 178, 233);
  gridfuture->RowHeight = kListRowHeight;
  gridfuture->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridfuture->ShowModel(&Desk.Board);

  btncformat = new TClickPanel(QStringLiteral("初期化"), this, 633, 470, 75, 30);

  connect(gridplist, &TStringGridex::cellClicked, this, [this](int c, int r, Qt::MouseButton b) {
    if (r < Desk.Plist.FixedRows) return;  // the header sorts by itself
    if (b == Qt::RightButton)
      AssignNumber();
    else if (b == Qt::LeftButton && c == kConName)
      OpenPlayerCard(r);
  });
  connect(gridfuture, &TStringGridex::cellClicked, this, [this](int, int, Qt::MouseButton b) {
    if (b == Qt::RightButton) AssignNumber();
  });
  connect(gridfuture, &TStringGridex::cellDoubleClicked, this, [this](int, int) { gridfutureDblClick(); });
  connect(btncformat, &TClickPanel::clicked, this, &TFcontract::btncformatMouseDown);
}

void TFcontract::ShowContracts() {
  if (!GameState) return;
  const Tteam& club = GameState->Team(kUserClub);
  {
    // Showing the club's choice is no new choice.
    const QSignalBlocker b1(Lbox1), b2(Lbox2);
    Lbox1->setCurrentRow(club.YouthNationality);
    Lbox2->setCurrentRow(club.YouthPosition);
  }
  Desk.Open(club, *GameState);
  // Every mark ("コーチ1"), header ("Age") and name shows whole.
  for (int c = 0; c < Desk.Plist.ColCount(); ++c) gridplist->WidenToFit(c);
  const int coachMark = QFontMetrics(gridplist->font()).horizontalAdvance(QStringLiteral("コーチ1")) + 5;
  Desk.Plist.SetColWidth(kConMark, std::max(Desk.Plist.ColWidth(kConMark), coachMark));
  Desk.Board.CurrentRow = 0;
  Desk.Plist.CurrentRow = Desk.Plist.FixedRows;
  Desk.Plist.TopRow = Desk.Plist.FixedRows;
  Desk.Board.TopRow = 0;
  RefreshGrids();
  ScoutingChosen();
}

void TFcontract::RefreshGrids() {
  gridcoach->Refresh();
  gridplist->Refresh();
  gridfuture->Refresh();
  ShowFigures();
}

void TFcontract::ShowFigures() {
  lbwage->setText(QStringLiteral("総年俸：") + QString::number(Desk.Wages));
  lbwage->adjustSize();
  lbscout->setText(QStringLiteral("スカウト費用：") + QString::number(Desk.ScoutCost));
  lbscout->adjustSize();
  lbminus->setVisible(Desk.Deficit);
}

void TFcontract::AssignNumber() {
  if (!GameState || !Desk.Opened) return;
  Desk.Assign(GameState->Team(kUserClub), gridplist->Row(), gridfuture->Row());
  RefreshGrids();
}

void TFcontract::btncformatMouseDown() {
  if (!GameState || !Desk.Opened) return;
  Desk.Reset(GameState->Team(kUserClub), gridplist->Row());
  RefreshGrids();
}

void TFcontract::gridfutureDblClick() {
  const int r = Desk.PlistRowOfBoardRow(gridfuture->Row());
  if (r < 0) return;
  gridplist->SetSelection(gridplist->Col(), r);
  gridplist->ScrollToRow(r);
}

void TFcontract::ScoutingChosen() {
  if (!GameState || Lbox1->currentRow() < 0 || Lbox2->currentRow() < 0) return;
  Desk.ChooseScouting(GameState->Team(kUserClub), Lbox1->currentRow(), Lbox2->currentRow());
  ShowFigures();
}

void TFcontract::OpenPlayerCard(int plistRow) {
  const int32_t number = Desk.CardNumber(plistRow);
  if (number < 0) return;
  auto* card = new Tplayerinfo(window());  // over the club screen, and goes with it
  card->ShowPlayer(kUserClub, number);
}

void TFcontract::CommitContracts() {
  if (!GameState || !GameState->Market) return;
  Desk.Commit(GameState->Team(kUserClub), *GameState, *GameState->Market);
}
