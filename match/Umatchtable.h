// The match's working tables: small tables of integer rows of one width,
// held in place. Who can reach the ball is listed every tick, the pass
// receivers at every decision, the last touchers at every touch; these
// tables are cleared and refilled without asking the heap. They read, sort
// and search as the general integer table does (TIntgrid): the same stable
// sorts give the same rows in the same order.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>

template <int Cols, int MaxRows>
class TFixedTable {
 public:
  using Row = std::array<int32_t, Cols>;

  // Appends a row; returns its index. A full table is a caller's error.
  int AddRow(const Row& values) {
    if (count_ >= MaxRows) throw std::length_error("match table is full");
    rows_[count_] = values;
    return count_++;
  }
  // Inserts a row before `position` (clamped to 0 .. RowCount()).
  void InsertRow(int position, const Row& values) {
    if (count_ >= MaxRows) throw std::length_error("match table is full");
    if (position < 0) position = 0;
    if (position > count_) position = count_;
    for (int r = count_; r > position; --r) rows_[r] = rows_[r - 1];
    rows_[position] = values;
    ++count_;
  }
  void Clear() { count_ = 0; }
  // An index outside the table is ignored.
  void DeleteRow(int row) {
    if (row < 0 || row >= count_) return;
    for (int r = row; r + 1 < count_; ++r) rows_[r] = rows_[r + 1];
    --count_;
  }
  // The first row holding key in the column; -1 when none.
  int FindRow(int column, int32_t key) const {
    if (column < 0 || column >= Cols) return -1;
    for (int r = 0; r < count_; ++r)
      if (rows_[r][column] == key) return r;
    return -1;
  }
  int RowCount() const { return count_; }
  int RowLength(int) const { return Cols; }
  int32_t GetValue(int row, int column) const { return rows_[row][column]; }
  void SetValue(int row, int column, int32_t value) { rows_[row][column] = value; }

  // Stable sorts: equal values keep their previous order.
  void SortAscending(int column) {
    InsertionSort([column](const Row& a, const Row& b) { return a[column] < b[column]; });
  }
  void SortDescending(int column) {
    InsertionSort([column](const Row& a, const Row& b) { return a[column] > b[column]; });
  }
  // Stable sorts by several columns at once: the same rows in the same
  // order as stable sorts by the last key, then the one before, and so on
  // (so the first key decides first), in one pass. A negative key -(c + 1)
  // sorts column c descending, any other key c ascending.
  template <int... Keys>
  void SortByKeys() {
    InsertionSort([](const Row& a, const Row& b) {
      int order = 0;  // -1: a first, 1: b first
      ((order = order != 0 ? order : KeyOrder<Keys>(a, b)), ...);
      return order < 0;
    });
  }

 private:
  // A row moves in front of the rows it strictly precedes only, so equal
  // rows never pass each other; for a dozen rows nothing is quicker.
  template <int Key>
  static int KeyOrder(const Row& a, const Row& b) {
    constexpr int c = Key < 0 ? -Key - 1 : Key;
    if (a[c] == b[c]) return 0;
    return (Key < 0 ? a[c] > b[c] : a[c] < b[c]) ? -1 : 1;
  }

  template <class Before>
  void InsertionSort(Before before) {
    for (int i = 1; i < count_; ++i) {
      if (!before(rows_[i], rows_[i - 1])) continue;
      const Row moving = rows_[i];
      int r = i;
      for (; r > 0 && before(moving, rows_[r - 1]); --r) rows_[r] = rows_[r - 1];
      rows_[r] = moving;
    }
  }

  std::array<Row, MaxRows> rows_{};
  int count_ = 0;
};
