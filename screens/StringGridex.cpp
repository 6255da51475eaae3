#include "screens/StringGridex.h"

#include <QFile>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "club/Upaths.h"
#include "screens/Clickpanel.h"

TStringGridex::TStringGridex(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(GothicFont(12));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setSingleStep(1);
  viewport()->setMouseTracking(true);
}

void TStringGridex::ShowModel(TGrid* external) {
  model_ = external ? external : &grid_;
  Refresh();
}

void TStringGridex::Refresh() {
  // A view may ask for its own width; without one the grid goes back to
  // the width its screen gave it. A view's width always holds its columns,
  // with the vertical scroll bar beside them when its rows do not fit.
  if (placedWidth_ < 0) placedWidth_ = width();
  int w = placedWidth_;
  if (model_->Width > 0) {
    const int frame = 2 * frameWidth();
    const int rowH = std::max(1, RowHeight + (ShowGridLines ? 1 : 0));
    const bool scrolls =
        verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
        (verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded && model_->RowCount() * rowH > height() - frame);
    const int bar = scrolls ? style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) : 0;
    w = std::max(model_->Width, ColLeft(model_->ColCount()) + frame + bar);
  }
  if (w != width()) resize(w, height());
  if (model_->CurrentRow >= 0) row_ = model_->CurrentRow;
  if (row_ >= model_->RowCount()) row_ = model_->RowCount() - 1;
  if (row_ < model_->FixedRows && model_->RowCount() > model_->FixedRows) row_ = model_->FixedRows;
  UpdateScrollBars();
  if (model_->TopRow >= 0) {
    verticalScrollBar()->setValue(model_->TopRow - model_->FixedRows);
    horizontalScrollBar()->setValue(0);
  }
  model_->CurrentRow = model_->TopRow = -1;
  viewport()->update();
}

void TStringGridex::SetSelection(int col, int row) {
  col_ = col;
  row_ = row;
  viewport()->update();
}

bool TStringGridex::IsSelected(int col, int row) const {
  const TGrid& g = *model_;
  if (row < g.FixedRows || col < g.FixedCols) return false;
  return row == row_ && (RowSelect || col == col_);
}

int TStringGridex::VisibleDataRows() const {
  int fixedH = model_->FixedRows * (RowHeight + (ShowGridLines ? 1 : 0));
  return std::max(1, (viewport()->height() - fixedH) / std::max(1, RowHeight + (ShowGridLines ? 1 : 0)));
}

void TStringGridex::ScrollToRow(int row) {
  const TGrid& g = *model_;
  if (row < g.FixedRows || row >= g.RowCount()) return;
  QScrollBar* v = verticalScrollBar();
  int top = g.FixedRows + v->value();
  if (row < top)
    v->setValue(row - g.FixedRows);
  else if (row >= top + VisibleDataRows())
    v->setValue(row - g.FixedRows - VisibleDataRows() + 1);
}

void TStringGridex::WidenToFit(int col) {
  TGrid& g = *model_;
  if (col < 0 || col >= g.ColCount() || g.ColWidth(col) <= 0) return;
  const QFontMetrics fm(font());
  int need = g.ColWidth(col);
  for (int r = 0; r < g.RowCount(); ++r)
    need = std::max(need, fm.horizontalAdvance(QString::fromStdString(g.Cells(col, r))) + 4);
  g.SetColWidth(col, need);
}

int TStringGridex::ColLeft(int col) const {
  int x = 0;
  for (int c = 0; c < col; ++c)
    if (int w = model_->ColWidth(c); w > 0) x += w + (ShowGridLines ? 1 : 0);
  return x;
}

void TStringGridex::UpdateScrollBars() {
  // The ranges come from the room the grid has without the scroll bars it
  // does not need: a bar shown for the previous contents must not keep the
  // other bar, and with it itself, for contents that fit.
  const int rowH = std::max(1, RowHeight + (ShowGridLines ? 1 : 0));
  const int totalW = ColLeft(model_->ColCount());
  const int totalH = model_->RowCount() * rowH;
  const bool hAuto = horizontalScrollBarPolicy() == Qt::ScrollBarAsNeeded;
  const bool vAuto = verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded;
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  QSize room = maximumViewportSize();
  bool needH = hAuto && totalW > room.width();
  bool needV = vAuto && totalH > room.height();
  if (needH && !needV) needV = vAuto && totalH > room.height() - bar;
  if (needV && !needH) needH = hAuto && totalW > room.width() - bar;
  if (needH) room.rheight() -= bar;
  if (needV) room.rwidth() -= bar;
  horizontalScrollBar()->setRange(0, std::max(0, totalW - room.width()));
  horizontalScrollBar()->setPageStep(room.width());
  int fixedH = model_->FixedRows * rowH;
  int visibleRows = std::max(1, (room.height() - fixedH) / rowH);
  int scrollRows = std::max(0, model_->RowCount() - model_->FixedRows - visibleRows);
  verticalScrollBar()->setRange(0, scrollRows);
  verticalScrollBar()->setPageStep(visibleRows);
}

void TStringGridex::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBars();
}

QRect TStringGridex::CellRect(int col, int row) const {
  int gl = ShowGridLines ? 1 : 0;
  int x = ColLeft(col);
  if (col >= model_->FixedCols) x -= horizontalScrollBar()->value();
  int y;
  if (row < model_->FixedRows)
    y = row * (RowHeight + gl);
  else
    y = (row - verticalScrollBar()->value()) * (RowHeight + gl);
  return QRect(x, y, model_->ColWidth(col), RowHeight);
}

bool TStringGridex::CellAt(const QPoint& pos, int& col, int& row) const {
  for (int r = 0; r < model_->RowCount(); ++r) {
    if (r >= model_->FixedRows && r < model_->FixedRows + verticalScrollBar()->value()) continue;
    for (int c = 0; c < model_->ColCount(); ++c) {
      QRect rc = CellRect(c, r).adjusted(0, 0, ShowGridLines ? 1 : 0, ShowGridLines ? 1 : 0);
      if (rc.contains(pos)) {
        col = c;
        row = r;
        return true;
      }
    }
  }
  return false;
}

void TStringGridex::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().color(QPalette::Base));
  int gl = ShowGridLines ? 1 : 0;
  int first = model_->FixedRows + verticalScrollBar()->value();
  auto paintRow = [&](int r) {
    for (int c = 0; c < model_->ColCount(); ++c) {
      QRect rc = CellRect(c, r);
      if (rc.width() <= 0) continue;
      if (rc.right() < 0 || rc.left() > viewport()->width()) continue;
      bool fixed = r < model_->FixedRows || c < model_->FixedCols;
      bool selected = !fixed && r == row_ && (RowSelect || c == col_);
      p.save();
      p.setClipRect(rc);
      p.fillRect(rc, fixed ? FixedColor : (selected ? QColor(0, 0, 128) : CellColor));
      p.setPen(selected ? Qt::white : Qt::black);
      p.drawText(rc.adjusted(2, 0, -1, 0), Qt::AlignVCenter | Qt::AlignLeft,
                 QString::fromStdString(model_->Cells(c, r)));
      if (OnDrawCell) OnDrawCell(p, rc, c, r);
      p.restore();
      if (gl) {
        p.setPen(QColor(160, 160, 160));
        p.drawLine(rc.right() + 1, rc.top(), rc.right() + 1, rc.bottom() + 1);
        p.drawLine(rc.left(), rc.bottom() + 1, rc.right() + 1, rc.bottom() + 1);
      }
    }
  };
  for (int r = 0; r < std::min(model_->FixedRows, model_->RowCount()); ++r) paintRow(r);
  for (int r = first; r < model_->RowCount(); ++r) {
    if (CellRect(0, r).top() > viewport()->height()) break;
    paintRow(r);
  }
  (void)gl;
}

void TStringGridex::mousePressEvent(QMouseEvent* e) {
  int c, r;
  if (!CellAt(e->position().toPoint(), c, r)) return;
  if (r < model_->FixedRows) {
    if (Sortable && e->button() == Qt::LeftButton && model_->FixedRows == 1) {
      HeaderClick(*model_, c);
      viewport()->update();
      emit headerSorted(c);
    }
  } else if (e->button() == Qt::LeftButton || (e->button() == Qt::RightButton && RowSelect)) {
    col_ = c;
    row_ = r;
    viewport()->update();
  }
  emit cellClicked(c, r, e->button());
}

void TStringGridex::mouseMoveEvent(QMouseEvent* e) {
  int c, r;
  bool hand = false;
  if (CellAt(e->position().toPoint(), c, r) && r >= model_->FixedRows)
    hand = HandAt ? HandAt(c, r) : (HandColumn >= 0 && c == HandColumn);
  viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
  QAbstractScrollArea::mouseMoveEvent(e);
}

void TStringGridex::keyPressEvent(QKeyEvent* e) {
  const TGrid& g = *model_;
  const int first = g.FixedRows, last = g.RowCount() - 1;
  int r = row_;
  switch (e->key()) {
    case Qt::Key_Up: --r; break;
    case Qt::Key_Down: ++r; break;
    case Qt::Key_PageUp: r -= VisibleDataRows(); break;
    case Qt::Key_PageDown: r += VisibleDataRows(); break;
    case Qt::Key_Home: r = first; break;
    case Qt::Key_End: r = last; break;
    default:
      e->ignore();  // the screen's own keys
      return;
  }
  if (last < first) return;
  r = std::clamp(r, first, last);
  SetSelection(col_, r);
  ScrollToRow(r);
}

bool TStringGridex::viewportEvent(QEvent* e) {
  if (e->type() != QEvent::ToolTip) return QAbstractScrollArea::viewportEvent(e);
  const auto* help = static_cast<QHelpEvent*>(e);
  int c, r;
  if (CellAt(help->pos(), c, r)) {
    QString text = TipAt ? TipAt(c, r) : QString();
    const bool ownTip = !text.isEmpty();
    if (!ownTip) text = QString::fromStdString(model_->Cells(c, r));
    const QRect rc = CellRect(c, r);
    if (!text.isEmpty() && (ownTip || fontMetrics().horizontalAdvance(text) > rc.width() - 3)) {
      QToolTip::showText(help->globalPos(), text, viewport(), rc);
      return true;
    }
  }
  QToolTip::hideText();
  return true;
}

void TStringGridex::mouseDoubleClickEvent(QMouseEvent* e) {
  int c, r;
  if (CellAt(e->position().toPoint(), c, r) && r >= model_->FixedRows) emit cellDoubleClicked(c, r);
}

// ---------------------------------------------------------------------------
// Shared painters

namespace {

// The growth icons, read once they can be read.
const QPixmap* GrowthIcon(int phase) {
  static std::array<QPixmap, 5> icons;
  if (phase < 1 || phase > 5) return nullptr;
  QPixmap& icon = icons[static_cast<std::size_t>(phase - 1)];
  if (icon.isNull()) {
    QFile f(QString::fromStdString(ShippedPath("picture/grow" + std::to_string(phase) + ".png")));
    if (f.open(QIODevice::ReadOnly)) icon.loadFromData(f.readAll());
  }
  return icon.isNull() ? nullptr : &icon;
}

}  // namespace

void DrawGrowthIcon(QPainter& p, const TGrid& grid, int col, const QRect& cell, int row, const QColor& background) {
  if (row < 0 || row >= grid.RowCount() || col < 0 || col >= grid.ColCount()) return;
  bool ok = false;
  const int phase = QString::fromStdString(grid.Cells(col, row)).toInt(&ok);
  if (!ok) return;
  const QPixmap* icon = GrowthIcon(phase);
  if (!icon) return;
  p.fillRect(cell, background);
  p.drawPixmap(cell.left() + 2, cell.top() + 2, *icon);
}

void PaintSquadCell(QPainter& p, const QRect& cell, const TStringGridex& grid, int col, int row, int growthColumn,
                    bool strikeInjured) {
  const TGrid& g = grid.Model();
  if (row < g.FixedRows || col < g.FixedCols || row >= g.RowCount() || col >= g.ColCount()) return;
  QColor back = grid.CellColor;
  QColor text = Qt::black;
  QFont font = grid.font();
  if (grid.IsSelected(col, row)) {
    back = Qt::white;
    font.setBold(true);
  }
  if (g.ColCount() > 1 && g.Tags(1, row)) back = TagColour(g.Tags(1, row));
  if (g.ColCount() > 17 && g.Tags(17, row)) text = TagColour(g.Tags(17, row));
  p.fillRect(cell, back);
  if (strikeInjured && g.Cells(0, row).size() == 3) {  // injured
    p.setPen(QPen(QColor(255, 0, 0), 1));
    const int mid = cell.top() + cell.height() / 2;
    p.drawLine(cell.left(), mid, cell.right(), mid);
  }
  p.setFont(font);
  p.setPen(text);
  p.drawText(cell.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(g.Cells(col, row)));
  if (col == growthColumn) DrawGrowthIcon(p, g, col, cell, row, back);
}

void UseSquadPainter(TStringGridex* grid, int growthColumn) {
  grid->OnDrawCell = [grid, growthColumn](QPainter& p, const QRect& rc, int c, int r) {
    PaintSquadCell(p, rc, *grid, c, r, growthColumn);
  };
}

TStringGridex* MakeMenuGrid(QWidget* parent, const QRect& geometry, int cols, int rows, int rowHeight, int colWidth) {
  auto* g = new TStringGridex(parent);
  g->setGeometry(geometry);
  g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->RowHeight = rowHeight;
  g->RowSelect = false;
  TGrid& m = g->Model();
  m.SetSize(cols, rows);
  m.FixedRows = 0;
  m.FixedCols = 1;
  m.DefaultColWidth = colWidth;
  return g;
}
