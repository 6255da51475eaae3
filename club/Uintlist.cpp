#include "Uintlist.h"

#include <algorithm>

int TIntgrid::AddRow(std::vector<int32_t>&& values) {
  TInput row;
  row.Values = std::move(values);
  Rows.push_back(std::move(row));
  return RowCount() - 1;
}

void TIntgrid::InsertRow(int position, const std::vector<int32_t>& values) {
  if (position < 0) position = 0;
  if (position > RowCount()) position = RowCount();
  TInput row;
  row.Values = values;
  Rows.insert(Rows.begin() + position, std::move(row));
}

void TIntgrid::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  Rows.erase(Rows.begin() + row);
}

int TIntgrid::FindRow(int column, int32_t key) const {
  // Rows too short to have the column never match.
  for (int i = 0; i < RowCount(); ++i)
    if (column >= 0 && column < RowLength(i) && Rows[i].Values[column] == key) return i;
  return -1;
}

// Equal values keep their previous order in both directions (ties broken
// by the position before the sort).
template <class Before>
void TIntgrid::StableSort(Before before) {
  for (int i = 0; i < RowCount(); ++i) Rows[i].OrderKey = i;
  // Most tables hold a few dozen rows: an insertion sort, which never lets
  // equal rows pass each other, needs no buffer for them.
  constexpr int kSmallTable = 32;
  if (RowCount() > kSmallTable) {
    std::stable_sort(Rows.begin(), Rows.end(), before);
    return;
  }
  for (int i = 1; i < RowCount(); ++i) {
    if (!before(Rows[i], Rows[i - 1])) continue;
    TInput moving = std::move(Rows[i]);
    int r = i;
    for (; r > 0 && before(moving, Rows[r - 1]); --r) Rows[r] = std::move(Rows[r - 1]);
    Rows[r] = std::move(moving);
  }
}

void TIntgrid::SortDescending(int column) {
  StableSort([column](const TInput& a, const TInput& b) { return a.Values[column] > b.Values[column]; });
}

void TIntgrid::SortAscending(int column) {
  StableSort([column](const TInput& a, const TInput& b) { return a.Values[column] < b.Values[column]; });
}

void TIntgrid::SaveToStream(TStream& s) const {
  s.WriteInt32(RowCount());
  for (const auto& r : Rows) {
    s.WriteInt32(static_cast<int32_t>(r.Values.size()));
    for (int32_t v : r.Values) s.WriteInt32(v);
  }
}

void TIntgrid::LoadFromStream(TStream& s) {
  std::vector<TInput> rows;
  int32_t n = s.ReadCount(4, "table rows");
  rows.reserve(static_cast<std::size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    int32_t len = s.ReadCount(4, "row values");
    TInput row;
    row.Values.resize(static_cast<std::size_t>(len));
    for (int32_t j = 0; j < len; ++j) row.Values[j] = s.ReadInt32();
    rows.push_back(std::move(row));
  }
  Rows = std::move(rows);
}
