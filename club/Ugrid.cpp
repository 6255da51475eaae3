#include "Ugrid.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>

uint8_t g_GridSortDirection = 1;

namespace {
// A column without a width of its own uses the grid's default width.
constexpr int kNoWidth = std::numeric_limits<int>::min();
}  // namespace

void TGrid::SetColCount(int n) {
  if (n < 0) n = 0;
  colCount_ = n;
  for (auto& r : rows_) r.resize(static_cast<std::size_t>(n));
}

void TGrid::SetRowCount(int n) {
  if (n < 0) n = 0;
  rows_.resize(static_cast<std::size_t>(n), std::vector<TGridCell>(static_cast<std::size_t>(colCount_)));
}

void TGrid::ClearCells() {
  for (auto& r : rows_)
    for (auto& c : r) c = TGridCell{};
}

int TGrid::ColWidth(int col) const {
  // A negative width hides the column.
  if (col >= 0 && col < static_cast<int>(colWidths_.size()) && colWidths_[col] != kNoWidth)
    return std::max(0, colWidths_[col]);
  return DefaultColWidth;
}

void TGrid::SetColWidth(int col, int width) {
  if (col < 0) return;
  if (col >= static_cast<int>(colWidths_.size())) colWidths_.resize(static_cast<std::size_t>(col) + 1, kNoWidth);
  colWidths_[col] = width;
}

namespace {

struct SortItem {
  int32_t key = -1000;
  int row = 0;
  std::string text;
  std::vector<TGridCell> cells;
};

bool ParseDecimal(const std::string& s, int32_t& out) {
  if (s.empty()) return false;
  std::size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i >= s.size()) return false;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (s[0] == '-') v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return false;
  out = static_cast<int32_t>(v);
  return true;
}

// A position name ("CB/N"): ordered by its group letter.
bool PositionKey(const std::string& s, int32_t& key) {
  if (s.size() <= 2 || s[0] < 'A' || s[0] > 'S' || s[2] != '/') return false;
  switch (s[0]) {
    case 'G': key = 0; break;
    case 'C': key = 1; break;
    case 'D': key = 2; break;
    case 'O': key = 3; break;
    case 'A': key = 4; break;
    case 'S': key = 5; break;
    case 'F': key = 6; break;
    default: key = -1000; break;
  }
  return true;
}

int CompareNoCase(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = std::tolower(static_cast<unsigned char>(a[i]));
    int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

void SortByColumn(TGrid& grid, int column, int direction) {
  grid.SortColumn = column;
  g_GridSortDirection = static_cast<uint8_t>(direction ? 1 : 0);
  if (grid.RowCount() <= 2 || column < 0 || column >= grid.ColCount()) return;
  std::vector<SortItem> items;
  bool numeric = false;
  for (int r = 1; r < grid.RowCount(); ++r) {
    SortItem it;
    it.row = r;
    it.text = grid.Cells(column, r);
    it.cells = grid.Row(r);
    int32_t v;
    if (ParseDecimal(it.text, v)) {
      it.key = v;
      numeric = true;
    } else if (PositionKey(it.text, v)) {
      it.key = v;
      numeric = true;
    }
    items.push_back(std::move(it));
  }
  bool desc = g_GridSortDirection == 1;
  std::stable_sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
    int c = numeric ? (a.key < b.key ? -1 : a.key > b.key ? 1 : 0) : CompareNoCase(a.text, b.text);
    if (desc) c = -c;
    return c < 0;
  });
  for (std::size_t i = 0; i < items.size(); ++i) grid.Row(static_cast<int>(i) + 1) = std::move(items[i].cells);
}

void HeaderClick(TGrid& grid, int column) {
  if (column == grid.SortColumn)
    SortByColumn(grid, column, g_GridSortDirection ? 0 : 1);
  else
    SortByColumn(grid, column, 1);
}

void RemoveRowsEqual(TGrid& grid, int column, const std::string& text) {
  g_GridSortDirection = 1;
  if (grid.RowCount() <= 1 || column < 0 || column >= grid.ColCount()) return;
  std::vector<std::vector<TGridCell>> keep;
  int removed = 0;
  for (int r = 1; r < grid.RowCount(); ++r) {
    if (grid.Cells(column, r) == text)
      ++removed;
    else
      keep.push_back(grid.Row(r));
  }
  for (std::size_t i = 0; i < keep.size(); ++i) grid.Row(static_cast<int>(i) + 1) = std::move(keep[i]);
  grid.SetRowCount(grid.RowCount() - removed);
}
