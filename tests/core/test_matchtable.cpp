// The match's fixed tables must behave exactly as the general integer table
// they replace in the driver: the same rows in the same order after any mix
// of adds, inserts, deletes and stable sorts. And the general table must sort
// large tables as stably as small ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "club/Uintlist.h"
#include "match/Umatchtable.h"

namespace {

// A small fixed generator, so the cases are the same on every run and the
// game's own generator is left alone.
struct TCaseRandom {
  uint32_t state;
  int32_t Next(int32_t n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int32_t>((state >> 8) % static_cast<uint32_t>(n));
  }
};

template <int Cols, int MaxRows>
void ExpectSameRows(const TFixedTable<Cols, MaxRows>& fixed, const TIntgrid& grid) {
  ASSERT_EQ(fixed.RowCount(), grid.RowCount());
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < Cols; ++c) ASSERT_EQ(fixed.GetValue(r, c), grid.GetValue(r, c)) << "row " << r << " col " << c;
}

}  // namespace

TEST(MatchTable, EveryOperationLeavesTheRowsOfTheIntegerTable) {
  constexpr int kCols = 3, kMaxRows = 11;
  for (uint32_t seed = 1; seed <= 200; ++seed) {
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    TCaseRandom rnd{seed};
    TFixedTable<kCols, kMaxRows> fixed;
    TIntgrid grid;
    int32_t next = 0;  // each row carries a serial number in its last column
    for (int op = 0; op < 60; ++op) {
      const int column = rnd.Next(kCols - 1);  // few distinct values: many ties
      switch (rnd.Next(7)) {
        case 0:
          if (fixed.RowCount() < kMaxRows) {
            const TFixedTable<kCols, kMaxRows>::Row row{rnd.Next(3), rnd.Next(3), next++};
            EXPECT_EQ(fixed.AddRow(row), grid.AddRow({row[0], row[1], row[2]}));
          }
          break;
        case 1:
          if (fixed.RowCount() < kMaxRows) {
            const int at = rnd.Next(fixed.RowCount() + 3) - 1;  // also before 0 and past the end
            const TFixedTable<kCols, kMaxRows>::Row row{rnd.Next(3), rnd.Next(3), next++};
            fixed.InsertRow(at, row);
            grid.InsertRow(at, {row[0], row[1], row[2]});
          }
          break;
        case 2: {
          const int at = rnd.Next(fixed.RowCount() + 2) - 1;  // outside the table is ignored
          fixed.DeleteRow(at);
          grid.DeleteRow(at);
          break;
        }
        case 3:
          fixed.SortAscending(column);
          grid.SortAscending(column);
          break;
        case 4:
          fixed.SortDescending(column);
          grid.SortDescending(column);
          break;
        case 5:  // one pass by two keys: the two stable sorts, the last key's first
          fixed.SortByKeys<1, -(0 + 1)>();
          grid.SortDescending(0);
          grid.SortAscending(1);
          break;
        default: {
          const int32_t key = rnd.Next(3);
          EXPECT_EQ(fixed.FindRow(column, key), grid.FindRow(column, key));
          break;
        }
      }
      ExpectSameRows(fixed, grid);
    }
  }
}

TEST(MatchTable, AFullTableRefusesAnotherRow) {
  TFixedTable<2, 3> touches;
  for (int i = 0; i < 3; ++i) touches.AddRow({0, i});
  EXPECT_THROW(touches.AddRow({1, 1}), std::length_error);
  EXPECT_THROW(touches.InsertRow(0, {1, 1}), std::length_error);
  touches.Clear();
  EXPECT_EQ(touches.RowCount(), 0);
  EXPECT_EQ(touches.FindRow(0, 0), -1);
}

TEST(MatchTable, LargeIntegerTablesSortAsStablyAsSmallOnes) {
  // Small tables sort by insertion, large ones with std::stable_sort: both
  // must give the order of a plain stable sort, ties in their old order.
  for (int rows : {0, 1, 2, 31, 32, 33, 200}) {
    SCOPED_TRACE(::testing::Message() << rows << " rows");
    TCaseRandom rnd{static_cast<uint32_t>(rows) + 7};
    TIntgrid grid;
    std::vector<std::vector<int32_t>> reference;
    for (int r = 0; r < rows; ++r) {
      reference.push_back({rnd.Next(5), r});
      grid.AddRow(reference.back());
    }
    for (bool descending : {false, true}) {
      if (descending) {
        grid.SortDescending(0);
        std::stable_sort(reference.begin(), reference.end(), [](const auto& a, const auto& b) { return a[0] > b[0]; });
      } else {
        grid.SortAscending(0);
        std::stable_sort(reference.begin(), reference.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
      }
      ASSERT_EQ(grid.RowCount(), rows);
      for (int r = 0; r < rows; ++r) ASSERT_EQ(grid.Rows[r].Values, reference[r]) << "row " << r;
    }
  }
}
