#include "screens/Fplayer.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include "club/Ucommatext.h"
#include "club/Ugridtext.h"
#include "club/Uplayer.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/StringGridex.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Uplayerinfo.h"

namespace {

const QColor kCream(255, 251, 240);
const QColor kGrey(128, 128, 128);
const QColor kLastSeasonBar(0, 0, 255);
const QColor kSeasonBeforeBar(0, 128, 0);

constexpr int kFigureLeft = 50;
constexpr int kFigureTop = 150;
constexpr int kFigureHeight = 100;
constexpr int kBarScale = 3;  // pixels per ability point

// Ability table columns: label, now, last season, season before, bars.
constexpr int kAbilityNow = 1, kAbilityLast = 2, kAbilityBefore = 3, kAbilityBars = 4;

// A read-only table on the card: cream cells, no scroll bars.
TStringGridex* CardGrid(QWidget* parent, int x, int y, int w, int h, int cols, int rows) {
  auto* g = new TStringGridex(parent);
  g->setGeometry(x, y, w, h);
  g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->RowHeight = 20;
  g->CellColor = kCream;
  TGrid& m = g->Model();
  m.SetSize(cols, rows);
  m.FixedRows = 0;
  m.FixedCols = 0;
  return g;
}

// Puts the comma-text items into one column, one per row.
void SetColumnText(TGrid& grid, int col, const std::string& text) {
  std::vector<std::string> items = SplitCommaText(text);
  for (int r = 0; r < grid.RowCount() && r < static_cast<int>(items.size()); ++r)
    grid.Cells(col, r) = items[static_cast<std::size_t>(r)];
}

QColor FigureColour(int32_t tag) { return TagColour(tag); }

}  // namespace

Tplayerinfo::Tplayerinfo(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("playerinfo"));
  setGeometry(100, 130, 800, 510);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);

  BodyColour = kCream;
  RightFootColour = kGrey;
  LeftFootColour = kGrey;
  CrossColour = kCream;

  Image1 = new QLabel(this);
  Image1->setGeometry(kFigureLeft, kFigureTop, 160, kFigureHeight);
  Image1->setScaledContents(true);

  grid2 = CardGrid(this, 248, 46, 175, 235, 2, kInfoDataRows);
  grid2->setEnabled(false);
  grid2->Model().FixedCols = 1;
  grid2->Model().DefaultColWidth = 50;
  grid2->Model().SetColWidth(1, 120);
  SetColumnText(grid2->Model(), 0, kInfoDataLabels);

  // Wide enough for the longest label and for a bar of 99 at 3 pixels a point.
  grid = CardGrid(this, 32, 345, 417, 128, 5, 6);
  grid->setEnabled(false);
  grid->Model().FixedCols = 1;
  grid->Model().SetColWidth(0, 78);
  grid->Model().SetColWidth(kAbilityNow, 24);
  grid->Model().SetColWidth(kAbilityLast, -1);
  grid->Model().SetColWidth(kAbilityBefore, -1);
  grid->Model().SetColWidth(kAbilityBars, 310);
  SetColumnText(grid->Model(), 0, kInfoAbilityLabels);
  grid->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) { gridDrawCell(p, rc, c, r); };

  Grid1 = CardGrid(this, 64, 286, 361, 44, 5, 2);
  Grid1->setEnabled(false);
  Grid1->Model().FixedCols = 1;
  Grid1->Model().DefaultColWidth = 70;
  SetRowCommaText(Grid1->Model(), 0, kInfoKickHeader);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(464, 344, 217, 73);
  Memo1->setReadOnly(true);
  Memo1->setFont(GothicFont(16));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  // Every column readable, with room for the scroll bar of a long career.
  grid3 = CardGrid(this, 496, 89, 298, 152, 7, 1);
  grid3->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid3->Model().FixedRows = 1;
  {
    TGrid& m = grid3->Model();
    const int widths[7] = {28, 100, 36, 36, 24, 20, 29};
    for (int c = 0; c < 7; ++c) m.SetColWidth(c, widths[c]);
    SetRowCommaText(m, 0, kInfoHistoryHeader);
  }

  btnclose = new TClickPanel(QStringLiteral("閉じる"), this, 704, 464, 75, 30);
  connect(btnclose, &TClickPanel::clicked, this, &Tplayerinfo::btncloseClick);

  for (TStringGridex* g : {grid2, grid, Grid1, grid3}) {
    g->Refresh();
    g->SetSelection(-1, -1);
  }
}

void Tplayerinfo::ShowPlayer(int club, int number) {
  std::optional<TPlayerCard> info;
  if (GameState) info = FindPlayerCard(*GameState, club, number);
  if (!info) {
    btncloseClick();
    return;
  }

  ShowPicture(club, info->FreeAgent, info->FigureWidth);

  TGrid& data = grid2->Model();
  for (int r = 0; r < kInfoDataRows; ++r) data.Cells(1, r) = info->Data[static_cast<std::size_t>(r)];
  Club = info->Club;

  TGrid& abilities = grid->Model();
  for (int r = 0; r < 6; ++r) {
    const auto i = static_cast<std::size_t>(r);
    abilities.Cells(kAbilityNow, r) = std::to_string(info->Current[i]);
    abilities.Cells(kAbilityLast, r) = std::to_string(info->LastSeason[i]);
    abilities.Cells(kAbilityBefore, r) = std::to_string(info->SeasonBefore[i]);
  }

  TGrid& kicks = Grid1->Model();
  for (int c = 1; c <= 4; ++c) kicks.Cells(c, 1) = info->Kicks[static_cast<std::size_t>(c - 1)];

  RightFootColour = FigureColour(info->RightFootColour);
  LeftFootColour = FigureColour(info->LeftFootColour);
  BodyColour = FigureColour(info->BodyColour);
  CrossColour = FigureColour(info->CrossColour);

  QStringList lines;
  for (const std::string& line : info->Comment) lines << QString::fromStdString(line);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));

  TGrid& career = grid3->Model();
  career.SetRowCount(1 + static_cast<int>(info->History.size()));
  for (std::size_t i = 0; i < info->History.size(); ++i)
    for (int c = 0; c < 7; ++c)
      career.Cells(c, static_cast<int>(i) + 1) = info->History[i][static_cast<std::size_t>(c)];

  for (TStringGridex* g : {grid2, grid, Grid1, grid3}) {
    g->Refresh();
    g->SetSelection(-1, -1);
  }
  raise();
  show();
  update();
}

void Tplayerinfo::ShowPicture(int club, bool freeAgent, int width) {
  Image1->setGeometry(kFigureLeft, kFigureTop, width, kFigureHeight);
  QImage img;
  if (freeAgent) {
    img = QImage(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    QFont f = GothicFont(67);  // a 50-point character
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(18, 18, 82, 82), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("無"));
  } else if (GameState && club >= 0 && club < kClubCount && GameState->Teams[static_cast<std::size_t>(club)]) {
    const std::vector<uint8_t>& bytes = GameState->Teams[static_cast<std::size_t>(club)]->Emblem;
    img.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
  }
  if (img.isNull()) {
    Image1->clear();
    return;
  }
  // An emblem is a few pixels square: stretched, each pixel stays a sharp
  // block. The drawn character is smoothed instead.
  const Qt::TransformationMode mode = freeAgent ? Qt::SmoothTransformation : Qt::FastTransformation;
  Image1->setPixmap(QPixmap::fromImage(img.scaled(Image1->size(), Qt::IgnoreAspectRatio, mode)));
}

void Tplayerinfo::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int L = Image1->x(), W = Image1->width(), T = Image1->y(), H = Image1->height();
  // Clear the figure's area (the width changes from player to player).
  p.fillRect(QRect(QPoint(L - 30, 40), QPoint(L + W + 30, 280)).adjusted(0, 0, -1, -1),
             palette().color(QPalette::Window));
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(BodyColour);
  p.drawEllipse(QRect(L, 50, W, 100));
  p.setBrush(RightFootColour);
  p.drawEllipse(QRect(L - 25, 250, 50, 20));
  p.setBrush(LeftFootColour);
  p.drawEllipse(QRect(L + W - 25, 250, 50, 20));
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(L - 2, T - 2, W + 4, H + 4), Qt::white);
  p.setPen(QPen(CrossColour, 20, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(L + W / 2, 60, L + W / 2, 140);
  p.drawLine(L + 10, 100, L + W - 10, 100);
}

void Tplayerinfo::gridDrawCell(QPainter& p, const QRect& rc, int col, int row) {
  if (col != kAbilityBars) return;
  const TGrid& m = grid->Model();
  auto value = [&](int c) {
    try {
      return std::stoi(m.Cells(c, row));
    } catch (...) {
      return 0;
    }
  };
  const int h = rc.height();
  const int top = rc.top();
  p.fillRect(QRect(rc.left(), top, kBarScale * value(kAbilityNow), h / 2), Qt::red);
  p.fillRect(QRect(rc.left(), top + h / 2, kBarScale * value(kAbilityLast), h / 4), kLastSeasonBar);
  p.fillRect(QRect(rc.left(), top + h / 2 + h / 4, kBarScale * value(kAbilityBefore), h / 4), kSeasonBeforeBar);
}

void Tplayerinfo::btncloseClick() {
  if (closing_) return;
  closing_ = true;
  hide();
  deleteLater();
}

void Tplayerinfo::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) btncloseClick();
  QWidget::mouseReleaseEvent(e);
}
