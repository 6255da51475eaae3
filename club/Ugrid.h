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
  // The rows shown; rows beyond it are hidden, not erased.
  int RowCount() const { return rowCount_; }
  // Resizing keeps the cells that remain.
  void SetColCount(int n);
  // Lowering the row count hides the rows beyond it (a filter does this);
  // raising it brings hidden rows back in their order first, then adds
  // empty rows.
  void SetRowCount(int n);
  void SetSize(int cols, int rows) {
    SetColCount(cols);
    SetRowCount(rows);
  }
  // Rows kept out of sight beyond RowCount().
  int HiddenRowCount() const { return static_cast<int>(rows_.size()) - rowCount_; }
  void DiscardHiddenRows();
  // Empties every cell (keeps the size) and forgets the hidden rows.
  void ClearCells();

  // Cells are addressed column first, as a string grid does; only shown
  // rows can be addressed (std::out_of_range otherwise).
  std::string& Cells(int col, int row) { return Row(row).at(col).Text; }
  const std::string& Cells(int col, int row) const { return Row(row).at(col).Text; }
  int32_t& Tags(int col, int row) { return Row(row).at(col).Tag; }
  int32_t Tags(int col, int row) const { return Row(row).at(col).Tag; }
  std::vector<TGridCell>& Row(int row) { return rows_.at(ShownRow(row)); }
  const std::vector<TGridCell>& Row(int row) const { return rows_.at(ShownRow(row)); }

  // Column widths in pixels; a column without its own width uses
  // DefaultColWidth, and a negative width hides the column.
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  // Forgets every column's own width and the view width: a fill that calls
  // this first and then sets what its view needs leaves nothing of the view
  // shown before it.
  void ResetWidths();

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
  // Width in pixels the view asks of the widget showing it; 0 leaves the
  // widget as its screen placed it.
  int Width = 0;

 private:
  std::size_t ShownRow(int row) const;
  int colCount_ = 0;
  int rowCount_ = 0;
  std::vector<std::vector<TGridCell>> rows_;  // shown rows, then hidden ones
  std::vector<int> colWidths_;
};

// Shared by all grids: 1 = descending, 0 = ascending.
extern uint8_t g_GridSortDirection;

// Sorts the data rows (1 .. RowCount() - 1) by one column; 1 = descending.
// A column holding a decimal integer or a position name in any row sorts
// numerically (other texts count as -1000), otherwise by CompareText.
// Equal keys keep their order; rows carry their tags with them.
void SortByColumn(TGrid& grid, int column, int direction);
// The header of a sortable grid was clicked: the same column again sorts the
// other way, another column sorts descending.
void HeaderClick(TGrid& grid, int column);
// Hides every data row whose cell equals `text` exactly: they move behind
// the remaining rows (which keep their order) and the row count drops, so
// restoring the row count brings them back.
void RemoveRowsEqual(TGrid& grid, int column, const std::string& text);

// The order of texts in the game's lists: case-insensitive, as a Japanese
// reader expects — symbols, digits, Latin letters, kana in the order of the
// syllabary (hiragana and katakana together, voiced and small kana beside
// their plain ones, a long-vowel mark read as the vowel it lengthens), then
// kanji. Full-width Latin letters and digits count as their ASCII twins,
// spaces and the middle dot are skipped at first. Texts that differ only in
// letter case compare equal; the order is the same on every machine.
// Returns < 0, 0 or > 0. Bytes that are not UTF-8 sort by their value.
int CompareText(const std::string& a, const std::string& b);
// The key CompareText compares: comparing two keys as sequences gives the
// texts' order. Worth making once per row when a list is sorted.
std::vector<uint32_t> CollationKey(const std::string& text);
