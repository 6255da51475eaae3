// The toolkit-neutral grid model: what a string grid shows (cells with text
// and a colour tag, column widths, fixed rows), filled by the core and shown
// by any widget. Sorting and filtering of player and club tables work here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Colour tags the grids carry (painted by the screens). A tag is
// kTagColour | 0xRRGGBB; 0 means no colour.
constexpr int32_t kTagColour = 0x01000000;
constexpr int32_t TagRGB(int r, int g, int b) { return kTagColour | (r << 16) | (g << 8) | b; }
constexpr int32_t TagRed(int32_t tag) { return (tag >> 16) & 0xFF; }
constexpr int32_t TagGreen(int32_t tag) { return (tag >> 8) & 0xFF; }
constexpr int32_t TagBlue(int32_t tag) { return tag & 0xFF; }
constexpr int32_t kTagBlack = TagRGB(0, 0, 0);
constexpr int32_t kTagWhite = TagRGB(255, 255, 255);
constexpr int32_t kTagSilver = TagRGB(192, 192, 192);
constexpr int32_t kTagYellow = TagRGB(255, 255, 0);
constexpr int32_t kTagBlue = TagRGB(0, 0, 255);
constexpr int32_t kTagNavy = TagRGB(0, 0, 128);
constexpr int32_t kTagMaroon = TagRGB(128, 0, 0);
constexpr int32_t kTagRed = TagRGB(255, 0, 0);

struct TGridCell {
  std::string Text;
  int32_t Tag = 0;  // colour tag the screens paint; 0 = none
};

class TGrid {
 public:
  int ColCount() const { return colCount_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // Resizing keeps the cells that remain.
  void SetColCount(int n);
  void SetRowCount(int n);
  void SetSize(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
  }
  // Empties every cell (keeps the size).
  void ClearCells();

  // Cells are addressed column first, as a string grid does.
  std::string& Cells(int col, int row) { return rows_.at(row).at(col).Text; }
  const std::string& Cells(int col, int row) const { return rows_.at(row).at(col).Text; }
  int32_t& Tags(int col, int row) { return rows_.at(row).at(col).Tag; }
  int32_t Tags(int col, int row) const { return rows_.at(row).at(col).Tag; }
  std::vector<TGridCell>& Row(int row) { return rows_.at(row); }
  const std::vector<TGridCell>& Row(int row) const { return rows_.at(row); }

  // Column widths in pixels; a column without its own width uses
  // DefaultColWidth, and a negative width hides the column.
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);

  int FixedRows = 1;
  int FixedCols = 0;
  int DefaultColWidth = 64;
  int DefaultRowHeight = 24;
  int SortColumn = 0;  // column of the last sort
  // A fill may ask the widget to select a row and to scroll a row to the top
  // of the scrolling part; the widget does so on its next refresh and sets
  // them back to -1.
  int CurrentRow = -1;
  int TopRow = -1;

 private:
  int colCount_ = 0;
  std::vector<std::vector<TGridCell>> rows_;
  std::vector<int> colWidths_;
};

// Shared by all grids: 1 = descending, 0 = ascending.
extern uint8_t g_GridSortDirection;

void SortByColumn(TGrid& grid, int column, int direction);
void HeaderClick(TGrid& grid, int column);
void RemoveRowsEqual(TGrid& grid, int column, const std::string& text);
