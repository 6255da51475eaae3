// The string grid of every sortable table: shows a TGrid model (text and a
// colour tag per cell), sorts on a header click and reports clicks. Screens
// may paint cells themselves through the draw-cell hook; the painters of the
// squad lists (row colours, form colours, injured rows struck through,
// growth icons) are shared here.
#pragma once

#include <QAbstractScrollArea>
#include <functional>

#include "club/Ugrid.h"

class QKeyEvent;

// The colour a grid cell's tag stands for.
inline QColor TagColour(int32_t tag) { return QColor(TagRed(tag), TagGreen(tag), TagBlue(tag)); }

class TStringGridex : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TStringGridex(QWidget* parent = nullptr);

  // The grid shows its own model, or one kept elsewhere (a core board) that
  // outlives it; call Refresh after changing either.
  TGrid& Model() { return *model_; }
  const TGrid& Model() const { return *model_; }
  void ShowModel(TGrid* external);
  void Refresh();

  int RowHeight = 24;
  bool Sortable = false;  // a left click on the header row sorts
  bool ShowGridLines = true;
  bool RowSelect = true;  // the selection covers the whole row (else one cell)
  int HandColumn = -1;    // the pointer becomes a hand over this column's data cells
  // When set, it alone decides which data cells show the hand.
  std::function<bool(int col, int row)> HandAt;
  // A cell's own tooltip (empty: the cut-off text, if any, as usual).
  std::function<QString(int col, int row)> TipAt;
  QColor FixedColor{Qt::lightGray};
  QColor CellColor{Qt::white};

  int Row() const { return row_; }
  int Col() const { return col_; }
  void SetSelection(int col, int row);
  bool IsSelected(int col, int row) const;
  // Scrolls so that the row is in view.
  void ScrollToRow(int row);
  // Widens a shown column of the model until its widest text fits (call
  // before Refresh); a hidden column stays hidden.
  void WidenToFit(int col);
  // Cell under a widget position, or false.
  bool CellAt(const QPoint& pos, int& col, int& row) const;
  QRect CellRect(int col, int row) const;

  // Draw hook: called after the default painting of a cell, with the
  // painter clipped to the cell.
  std::function<void(QPainter&, const QRect&, int col, int row)> OnDrawCell;

 signals:
  // A press on a cell. A right press on a data row of a row-selection grid
  // selects that row first, so the handler acts on the row under the mouse.
  void cellClicked(int col, int row, Qt::MouseButton button);
  void cellDoubleClicked(int col, int row);
  void headerSorted(int col);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  // The arrow, page, Home and End keys move the selection; every other key
  // goes on to the screen the grid lies on.
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent*) override;
  // A text its cell cuts off is shown whole as a tooltip (or TipAt's).
  bool viewportEvent(QEvent* e) override;

 private:
  void UpdateScrollBars();
  int ColLeft(int col) const;
  int VisibleDataRows() const;
  TGrid grid_;
  TGrid* model_ = &grid_;
  int placedWidth_ = -1;  // the screen's width, kept at the first Refresh
  int row_ = 1;
  int col_ = 0;
};

// Growth icon v - 1 ("data/picture/grow1.png" .. "grow5.png") over a cell
// holding the growth phase v: the cell is filled with its background and the
// icon drawn at (left + 2, top + 2). A cell without a phase 1 .. 5 is left
// as drawn.
void DrawGrowthIcon(QPainter& p, const TGrid& grid, int col, const QRect& cell, int row, const QColor& background);

// The squad list's painting of a data cell (the grid model of a club's squad
// grid): a selected cell in bold black on white; the row's column-1 tag
// fills the background (line-up rows), its column-17 tag colours the text
// (form); an injured row (a three-character key in column 0) is struck
// through in red (unless the list keeps something else in column 0); the
// growth column shows its icon.
void PaintSquadCell(QPainter& p, const QRect& cell, const TStringGridex& grid, int col, int row, int growthColumn,
                    bool strikeInjured = true);
// Lets the grid paint its data cells as a squad list.
void UseSquadPainter(TStringGridex* grid, int growthColumn);

// A bar of menu cells (the club screen's 表示DIV, the frames' menus): no
// scroll bars, no row selection, no fixed row, the first column the fixed
// label of its row.
TStringGridex* MakeMenuGrid(QWidget* parent, const QRect& geometry, int cols, int rows, int rowHeight, int colWidth);
