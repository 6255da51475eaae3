// The string grid of every sortable table: shows a TGrid model (text and a
// colour tag per cell), sorts on a header click and reports clicks. Screens
// may paint cells themselves through the draw-cell hook.
#pragma once

#include <QAbstractScrollArea>
#include <functional>

#include "club/Ugrid.h"

// The colour a grid cell's tag stands for.
inline QColor TagColour(int32_t tag) { return QColor(TagRed(tag), TagGreen(tag), TagBlue(tag)); }

class TStringGridex : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TStringGridex(QWidget* parent = nullptr);

  TGrid& Model() { return grid_; }
  const TGrid& Model() const { return grid_; }
  // Call after changing the model.
  void Refresh();

  int RowHeight = 24;
  bool Sortable = false;          // a left click on the header row sorts
  bool ShowGridLines = true;
  bool RowSelect = true;          // the selection covers the whole row (else one cell)
  QColor FixedColor{Qt::lightGray};
  QColor CellColor{Qt::white};
  int Tag = 0;                    // free integer for the screen (like a component tag)

  int Row() const { return row_; }
  int Col() const { return col_; }
  void SetSelection(int col, int row);
  // Cell under a widget position, or false.
  bool CellAt(const QPoint& pos, int& col, int& row) const;
  QRect CellRect(int col, int row) const;

  // Draw hook: called after the default painting of a cell, with the
  // painter clipped to the cell.
  std::function<void(QPainter&, const QRect&, int col, int row)> OnDrawCell;

 signals:
  void cellClicked(int col, int row, Qt::MouseButton button);
  void cellDoubleClicked(int col, int row);
  void headerSorted(int col);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  void UpdateScrollBars();
  int ColLeft(int col) const;
  TGrid grid_;
  int row_ = 1;
  int col_ = 0;
};
