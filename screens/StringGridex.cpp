#include "screens/StringGridex.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "screens/Clickpanel.h"

TStringGridex::TStringGridex(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(GothicFont(12));
  setFrameStyle(QFrame::Box | QFrame::Plain);
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setSingleStep(1);
}

void TStringGridex::Refresh() {
  if (grid_.CurrentRow >= 0) row_ = grid_.CurrentRow;
  if (row_ >= grid_.RowCount()) row_ = grid_.RowCount() - 1;
  if (row_ < grid_.FixedRows && grid_.RowCount() > grid_.FixedRows) row_ = grid_.FixedRows;
  UpdateScrollBars();
  if (grid_.TopRow >= 0) verticalScrollBar()->setValue(grid_.TopRow - grid_.FixedRows);
  grid_.CurrentRow = grid_.TopRow = -1;
  viewport()->update();
}

void TStringGridex::SetSelection(int col, int row) {
  col_ = col;
  row_ = row;
  viewport()->update();
}

int TStringGridex::ColLeft(int col) const {
  int x = 0;
  for (int c = 0; c < col; ++c)
    if (int w = grid_.ColWidth(c); w > 0) x += w + (ShowGridLines ? 1 : 0);
  return x;
}

void TStringGridex::UpdateScrollBars() {
  int totalW = ColLeft(grid_.ColCount());
  horizontalScrollBar()->setRange(0, std::max(0, totalW - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
  int fixedH = grid_.FixedRows * RowHeight;
  int visibleRows = std::max(1, (viewport()->height() - fixedH) / std::max(1, RowHeight));
  int scrollRows = std::max(0, grid_.RowCount() - grid_.FixedRows - visibleRows);
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
  if (col >= grid_.FixedCols) x -= horizontalScrollBar()->value();
  int y;
  if (row < grid_.FixedRows)
    y = row * (RowHeight + gl);
  else
    y = (row - verticalScrollBar()->value()) * (RowHeight + gl);
  return QRect(x, y, grid_.ColWidth(col), RowHeight);
}

bool TStringGridex::CellAt(const QPoint& pos, int& col, int& row) const {
  for (int r = 0; r < grid_.RowCount(); ++r) {
    if (r >= grid_.FixedRows && r < grid_.FixedRows + verticalScrollBar()->value()) continue;
    for (int c = 0; c < grid_.ColCount(); ++c) {
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
  int first = grid_.FixedRows + verticalScrollBar()->value();
  auto paintRow = [&](int r) {
    for (int c = 0; c < grid_.ColCount(); ++c) {
      QRect rc = CellRect(c, r);
      if (rc.width() <= 0) continue;
      if (rc.right() < 0 || rc.left() > viewport()->width()) continue;
      bool fixed = r < grid_.FixedRows || c < grid_.FixedCols;
      bool selected = !fixed && r == row_ && (RowSelect || c == col_);
      p.save();
      p.setClipRect(rc);
      p.fillRect(rc, fixed ? FixedColor : (selected ? QColor(0, 0, 128) : CellColor));
      p.setPen(selected ? Qt::white : Qt::black);
      p.drawText(rc.adjusted(2, 0, -1, 0), Qt::AlignVCenter | Qt::AlignLeft,
                 QString::fromStdString(grid_.Cells(c, r)));
      if (OnDrawCell) OnDrawCell(p, rc, c, r);
      p.restore();
      if (gl) {
        p.setPen(QColor(160, 160, 160));
        p.drawLine(rc.right() + 1, rc.top(), rc.right() + 1, rc.bottom() + 1);
        p.drawLine(rc.left(), rc.bottom() + 1, rc.right() + 1, rc.bottom() + 1);
      }
    }
  };
  for (int r = 0; r < std::min(grid_.FixedRows, grid_.RowCount()); ++r) paintRow(r);
  for (int r = first; r < grid_.RowCount(); ++r) {
    if (CellRect(0, r).top() > viewport()->height()) break;
    paintRow(r);
  }
  (void)gl;
}

void TStringGridex::mousePressEvent(QMouseEvent* e) {
  int c, r;
  if (!CellAt(e->position().toPoint(), c, r)) return;
  if (r < grid_.FixedRows) {
    if (Sortable && e->button() == Qt::LeftButton && grid_.FixedRows == 1) {
      HeaderClick(grid_, c);
      viewport()->update();
      emit headerSorted(c);
    }
  } else if (e->button() == Qt::LeftButton) {
    col_ = c;
    row_ = r;
    viewport()->update();
  }
  emit cellClicked(c, r, e->button());
}

void TStringGridex::mouseDoubleClickEvent(QMouseEvent* e) {
  int c, r;
  if (CellAt(e->position().toPoint(), c, r) && r >= grid_.FixedRows) emit cellDoubleClicked(c, r);
}
