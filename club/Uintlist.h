// TIntgrid: the one general table of the system, rows of 32-bit integers of
// any length, with a stable sort by one column and a stream form.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "Ustream.h"

class TInput {
 public:
  std::vector<int32_t> Values;
  int32_t OrderKey = 0;
};

class TIntgrid {
 public:
  TIntgrid() = default;
  virtual ~TIntgrid() = default;
  TIntgrid(const TIntgrid&) = default;
  TIntgrid& operator=(const TIntgrid&) = default;

  int AddRow(const std::vector<int32_t>& values) { return AddRow(std::vector<int32_t>(values)); }
  int AddRow(std::vector<int32_t>&& values);
  int AddRow(std::initializer_list<int32_t> values) { return AddRow(std::vector<int32_t>(values)); }
  void InsertRow(int position, const std::vector<int32_t>& values);
  void Clear() { Rows.clear(); }
  void DeleteRow(int row);
  int FindRow(int column, int32_t key) const;
  int RowCount() const { return static_cast<int>(Rows.size()); }
  int RowLength(int row) const { return static_cast<int>(Rows[row].Values.size()); }
  int32_t GetValue(int row, int column) const { return Rows[row].Values[column]; }
  void SetValue(int row, int column, int32_t value) { Rows[row].Values[column] = value; }
  void SortDescending(int column);
  void SortAscending(int column);
  void SaveToStream(TStream& s) const;
  // Replaces the rows by those read; a truncated or impossible table raises
  // StreamError and leaves this table unchanged.
  void LoadFromStream(TStream& s);

  std::vector<TInput> Rows;

 private:
  template <class Before>
  void StableSort(Before before);
};
