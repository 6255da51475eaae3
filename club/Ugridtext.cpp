#include "club/Ugridtext.h"

#include <vector>

#include "club/Ucommatext.h"

void SetRowCommaText(TGrid& grid, int row, const std::string& text) {
  const std::vector<std::string> items = SplitCommaText(text);
  const int n = static_cast<int>(items.size());
  if (grid.ColCount() < n) grid.SetColCount(n);
  if (grid.RowCount() <= row) grid.SetRowCount(row + 1);
  for (int c = 0; c < grid.ColCount(); ++c) grid.Cells(c, row) = c < n ? items[c] : std::string();
}
