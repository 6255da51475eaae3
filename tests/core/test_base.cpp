// Streams, tables, texts, the generator and the grid model.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "club/Uarith.h"
#include "club/Ucommatext.h"
#include "club/Ucp932.h"
#include "club/Ufunction.h"
#include "club/Ugrid.h"
#include "club/Ugridtext.h"
#include "club/Uintlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"

TEST(Stream, Int32IsLittleEndianAndReadsBack) {
  TStream s;
  s.WriteInt32(-123);
  s.WriteByte(7);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0x85, 0xff, 0xff, 0xff, 7}));
  s.Seek(0);
  EXPECT_EQ(s.ReadInt32(), -123);
  EXPECT_EQ(s.ReadByte(), 7);
  EXPECT_TRUE(s.AtEnd());
  EXPECT_THROW(s.ReadByte(), StreamError);
}

TEST(Stream, ReadCountRefusesImpossibleCounts) {
  TStream s;
  s.WriteInt32(-1);
  s.WriteInt32(1000);
  s.WriteInt32(1);
  s.Seek(0);
  EXPECT_THROW(s.ReadCount(4, "rows"), StreamError);
  EXPECT_THROW(s.ReadCount(4, "rows"), StreamError);  // 1000 rows, 4 bytes left
  EXPECT_EQ(s.ReadCount(0, "rows"), 1);
}

TEST(Intgrid, SortIsStableBothWays) {
  // Forty rows over three keys, so that each key is shared by more than
  // sixteen rows: a sort that is stable only for short ranges shows here.
  TIntgrid g;
  for (int32_t i = 0; i < 40; ++i) g.AddRow({i, (i * 7) % 3});
  auto order = [&g] {
    std::vector<int32_t> ids;
    for (int r = 0; r < g.RowCount(); ++r) ids.push_back(g.GetValue(r, 0));
    return ids;
  };
  auto expected = [](std::initializer_list<int32_t> keys) {
    std::vector<int32_t> ids;
    for (int32_t k : keys)
      for (int32_t i = 0; i < 40; ++i)
        if ((i * 7) % 3 == k) ids.push_back(i);
    return ids;
  };
  g.SortDescending(1);
  EXPECT_EQ(order(), expected({2, 1, 0}));
  // Ascending from there: equal keys keep the order they had.
  g.SortAscending(1);
  EXPECT_EQ(order(), expected({0, 1, 2}));
}

TEST(Intgrid, StreamFormGoldenAndRoundTrip) {
  TIntgrid g;
  g.AddRow({});
  g.AddRow({-1, 2});
  TStream s;
  g.SaveToStream(s);
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 2, 0, 0, 0}));
  TIntgrid h;
  h.AddRow({9, 9, 9});
  s.Seek(0);
  h.LoadFromStream(s);
  ASSERT_EQ(h.RowCount(), 2);
  EXPECT_EQ(h.RowLength(0), 0);
  EXPECT_EQ(h.GetValue(1, 0), -1);
  EXPECT_EQ(h.FindRow(1, 2), 1);
  EXPECT_EQ(h.FindRow(1, 7), -1);
  h.DeleteRow(-1);
  h.DeleteRow(2);
  EXPECT_EQ(h.RowCount(), 2);
}

TEST(Intgrid, TruncatedStreamThrowsAndKeepsTable) {
  TIntgrid g;
  g.AddRow({1, 2, 3});
  TStream s(std::vector<uint8_t>{1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0});
  EXPECT_THROW(g.LoadFromStream(s), StreamError);
  EXPECT_EQ(g.RowCount(), 1);
  TStream huge(std::vector<uint8_t>{0xff, 0xff, 0xff, 0x7f});
  EXPECT_THROW(g.LoadFromStream(huge), StreamError);
}

TEST(Text, PositionNames) {
  const char* names[] = {"GK/N", "GK/C", "GK/D", "CB/N", "CB/C", "CB/D", "OV/N", "OV/C", "OV/D", "DM/N", "DM/C",
                         "DM/D", "AR/N", "AM/N", "AL/N", "SR/D", "SH/D", "SL/D", "FR/D", "FW/D", "FL/D"};
  for (int i = 0; i <= 20; ++i) EXPECT_EQ(PositionName(i), names[i]);
  std::string keep = "x";
  PositionName(21, keep);
  EXPECT_EQ(keep, "x");
}

TEST(Text, StreamStringsAreCp932) {
  TStream s;
  WriteString(s, "");
  WriteString(s, "山田A");
  EXPECT_EQ(s.Bytes(), (std::vector<uint8_t>{0, 0, 0, 0, 5, 0, 0, 0, 0x8e, 0x52, 0x93, 0x63, 'A'}));
  s.Seek(0);
  std::string t = "old";
  ReadString(s, t);
  EXPECT_EQ(t, "");
  ReadString(s, t);
  EXPECT_EQ(t, "山田A");
  ReadString(s, t);  // at the end: unchanged
  EXPECT_EQ(t, "山田A");
  EXPECT_EQ(Cp932Length("　ア"), 4);
  EXPECT_EQ(Cp932ToUtf8(Utf8ToCp932("ドイツ・ｶﾅ")), "ドイツ・ｶﾅ");
}

TEST(Text, DamagedStringLengthsThrow) {
  TStream s(std::vector<uint8_t>{10, 0, 0, 0, 'a'});
  std::string t;
  EXPECT_THROW(ReadString(s, t), StreamError);
  TStream n(std::vector<uint8_t>{0xff, 0xff, 0xff, 0xff});
  EXPECT_THROW(ReadString(n, t), StreamError);
  EXPECT_EQ(Cp932ToUtf8(std::string("\x82", 1)), "?");
}

// How a comma text splits: at commas only, with double quotes protecting
// commas and doubled quotes standing for one.
TEST(CommaText, SplitsAtCommasOnly) {
  using Items = std::vector<std::string>;
  const struct {
    const char* text;
    Items items;
    const char* why;
  } cases[] = {
      {"", {}, "the empty text holds no items"},
      {"a", {"a"}, "one item"},
      {",", {"", ""}, "a lone comma separates two empty items"},
      {"a,,b", {"a", "", "b"}, "empty item in the middle"},
      {",a", {"", "a"}, "empty first item (the grids' leading empty cell)"},
      {"a,", {"a", ""}, "empty last item"},
      {"\"\"", {""}, "a quoted empty item"},
      {"\"a,b\",c", {"a,b", "c"}, "a quoted comma does not separate"},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}, "doubled quotes inside quotes are one quote"},
      {"A. Smith, b ", {"A. Smith", " b "}, "spaces never separate and are kept"},
      {"a\"b,c", {"a\"b", "c"}, "a quote inside an item is taken as it stands"},
      {"\"a\"b,c", {"ab", "c"}, "text after a quoted part joins the item"},
      {"\"a,b", {"a,b"}, "an unclosed quote runs to the end"},
      {"リーグ第1節,H,紺碧ヶ浦SC", {"リーグ第1節", "H", "紺碧ヶ浦SC"}, "multi-byte text"},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommaText(c.text), c.items) << c.why;
}

TEST(CommaText, QuotesWhatWouldSplitAndReadsBack) {
  using Items = std::vector<std::string>;
  const struct {
    Items items;
    const char* text;
  } cases[] = {
      {{}, ""},
      {{""}, "\"\""},  // a lone empty item must not read back as no items
      {{"a", "b"}, "a,b"},
      {{"", "x", ""}, ",x,"},
      {{"a,b", "say \"hi\"", ""}, "\"a,b\",\"say \"\"hi\"\"\","},
      {{"A. Smith"}, "\"A. Smith\""},
      {{"tab\there", "line\nbreak"}, "\"tab\there\",\"line\nbreak\""},
      {{"08分　9山田"}, "08分　9山田"},  // a full-width space is no reason to quote
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommaText(c.items), c.text);
    EXPECT_EQ(SplitCommaText(CommaText(c.items)), c.items) << c.text;
  }
}

TEST(Randomness, SeededSequenceIsFixed) {
  RandSeed(1);
  std::vector<int> a;
  for (int i = 0; i < 8; ++i) a.push_back(Random(100));
  RandSeed(1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(Random(100), a[i]);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  for (int i = 0; i < 1000; ++i) {
    int r = Random(3);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 3);
  }
}

TEST(Arithmetic, RoundingAndOverflow) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  // The ends of the range, where the processor's conversion hands over to
  // the general path: INT32_MIN itself is a result, one step beyond is not.
  EXPECT_EQ(RoundHalfEven(-2147483648.0), INT32_MIN);
  EXPECT_EQ(RoundHalfEven(-2147483648.5), INT32_MIN);  // a tie, to the even end
  EXPECT_EQ(RoundHalfEven(2147483647.4), INT32_MAX);
  for (double x : {-2147483648.6, 2147483647.5, 1e300, -1e300, std::nan(""), HUGE_VAL, -HUGE_VAL})
    EXPECT_THROW(RoundHalfEven(x), OverflowError) << x;
  // Anywhere else, as nearbyint rounds.
  std::mt19937_64 draws(11);
  std::uniform_real_distribution<double> within(-2147483600.0, 2147483600.0), small(-300.0, 300.0);
  for (int i = 0; i < 100000; ++i) {
    const double x = i % 2 ? within(draws) : std::round(small(draws) * 2) / 2 + (i % 4 == 0 ? 0.0 : 1e-9);
    EXPECT_EQ(RoundHalfEven(x), static_cast<int32_t>(std::nearbyint(x))) << x;
  }
  EXPECT_THROW(CheckedAdd(2147483647, 1), OverflowError);
  EXPECT_THROW(CheckedMul(65536, 65536), OverflowError);
  EXPECT_EQ(CheckedDiv(-7, 2), -3);
}

TEST(GridModel, PositionColumnSortsByGroupAndTagsTravel) {
  TGrid g;
  g.SetSize(2, 5);
  const char* pos[] = {"FW/D", "DM/N", "OV/C", "GK/N"};
  for (int r = 1; r <= 4; ++r) {
    g.Cells(0, r) = pos[r - 1];
    g.Tags(1, r) = r;
  }
  SortByColumn(g, 0, 0);
  EXPECT_EQ(g.Cells(0, 1), "GK/N");
  EXPECT_EQ(g.Cells(0, 2), "DM/N");
  EXPECT_EQ(g.Cells(0, 3), "OV/C");
  EXPECT_EQ(g.Cells(0, 4), "FW/D");
  EXPECT_EQ(g.Tags(1, 1), 4);
  HeaderClick(g, 0);  // same column: flips to descending
  EXPECT_EQ(g.Cells(0, 1), "FW/D");
  RemoveRowsEqual(g, 0, "OV/C");
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.Cells(0, 3), "GK/N");
}

// One direction flag for every grid: a header click on one grid turns round
// whatever the last sort or filter of any grid left. A grid of only its
// header row is never changed.
TEST(GridModel, OneSortDirectionForEveryGridAndAHeaderAloneStays) {
  auto numbers = [](const std::vector<std::string>& v) {
    TGrid g;
    g.SetSize(1, static_cast<int>(v.size()) + 1);
    g.Cells(0, 0) = "No";
    for (std::size_t i = 0; i < v.size(); ++i) g.Cells(0, static_cast<int>(i) + 1) = v[i];
    return g;
  };
  auto column = [](const TGrid& g) {
    std::string s;
    for (int r = 0; r < g.RowCount(); ++r) s += g.Cells(0, r) + ",";
    return s;
  };
  TGrid a = numbers({"2", "3", "1"}), b = numbers({"5", "4", "6"});
  SortByColumn(a, 0, 0);  // a ascending
  HeaderClick(b, 0);      // b's own column: a's ascending turned round
  EXPECT_EQ(column(b), "No,6,5,4,");
  HeaderClick(a, 0);  // b's descending turned round
  EXPECT_EQ(column(a), "No,1,2,3,");
  EXPECT_EQ(g_GridSortDirection, 0);
  TGrid c = numbers({"7", "8"});
  RemoveRowsEqual(c, 0, "9");  // the filter leaves the flag descending
  EXPECT_EQ(g_GridSortDirection, 1);
  HeaderClick(a, 0);
  EXPECT_EQ(column(a), "No,1,2,3,");

  TGrid header;
  header.SetSize(2, 1);
  header.Cells(0, 0) = "No";
  header.Cells(1, 0) = "Name";
  header.Tags(1, 0) = 7;
  SortByColumn(header, 0, 1);
  HeaderClick(header, 1);
  HeaderClick(header, 1);
  RemoveRowsEqual(header, 0, "No");
  EXPECT_EQ(header.RowCount(), 1);
  EXPECT_EQ(header.Cells(0, 0), "No");
  EXPECT_EQ(header.Cells(1, 0), "Name");
  EXPECT_EQ(header.Tags(1, 0), 7);
}

TEST(GridModel, MixedColumnSortsNumerically) {
  TGrid g;
  g.SetSize(1, 4);
  g.Cells(0, 1) = "abc";
  g.Cells(0, 2) = "5";
  g.Cells(0, 3) = "-2000";
  SortByColumn(g, 0, 1);
  EXPECT_EQ(g.Cells(0, 1), "5");
  EXPECT_EQ(g.Cells(0, 2), "abc");
  EXPECT_EQ(g.Cells(0, 3), "-2000");
}

TEST(GridModel, ColumnWidthsDefaultAndHidden) {
  TGrid g;
  g.SetSize(3, 1);
  g.DefaultColWidth = 50;
  g.SetColWidth(2, -1);
  EXPECT_EQ(g.ColWidth(0), 50);
  EXPECT_EQ(g.ColWidth(1), 50);
  EXPECT_EQ(g.ColWidth(2), 0);
  g.SetColWidth(0, 20);
  EXPECT_EQ(g.ColWidth(0), 20);
}

TEST(GridModel, FilteredRowsAreHiddenAndComeBack) {
  TGrid g;
  g.SetSize(2, 6);
  const char* pos[] = {"GK/N", "CB/N", "GK/N", "FW/C", "CB/N"};
  for (int r = 1; r <= 5; ++r) {
    g.Cells(0, r) = pos[r - 1];
    g.Cells(1, r) = std::to_string(r);
    g.Tags(1, r) = r * 10;
  }
  const int all = g.RowCount();
  RemoveRowsEqual(g, 0, "GK/N");
  RemoveRowsEqual(g, 0, "FW/C");
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.HiddenRowCount(), 3);
  EXPECT_EQ(g.Cells(1, 1), "2");
  EXPECT_EQ(g.Cells(1, 2), "5");
  EXPECT_THROW(g.Cells(0, 3), std::out_of_range);  // hidden rows cannot be reached
  SortByColumn(g, 1, 1);                           // sorts the shown rows only
  EXPECT_EQ(g.Cells(1, 1), "5");
  // Restoring the count brings every row back with its text and tag.
  g.SetRowCount(all);
  std::multiset<std::string> back;
  for (int r = 1; r < all; ++r) {
    back.insert(g.Cells(1, r));
    EXPECT_EQ(g.Tags(1, r), std::stoi(g.Cells(1, r)) * 10);
  }
  EXPECT_EQ(back, (std::multiset<std::string>{"1", "2", "3", "4", "5"}));
  // Growing past them adds empty rows; clearing forgets hidden rows.
  g.SetRowCount(all + 1);
  EXPECT_EQ(g.Cells(1, all), "");
  g.SetRowCount(2);
  g.ClearCells();
  g.SetRowCount(4);
  EXPECT_EQ(g.Cells(1, 3), "");
  EXPECT_EQ(g.Tags(1, 3), 0);
}

TEST(GridModel, TextsSortAsAJapaneseReaderExpects) {
  // Each text sorts before the next one; a reason where it is not obvious.
  const std::vector<std::string> order = {
      "",
      "!",       // symbols first
      "9",       // then digits
      "abc",     // then Latin letters, case aside
      "ａｂｃ",  // full width after its ASCII twin
      "abd",
      "Zeta",
      "あべ",  // then kana: hiragana before katakana of the same reading
      "アベ",
      "ヴィンクラー",  // vu beside u, read "ui..."
      "ウエダ",
      "カ",
      "ガ",  // voiced right after plain
      "キ",
      "ッ",  // small before large
      "ツ",
      "デッケル",
      "デ・ルカ",  // the middle dot is skipped: "deruka"
      "ペーター",  // the long mark reads as the vowel: "peetaa" before "peta"
      "ペタ",
      "ン",
      "佐藤",  // kanji last
  };
  for (std::size_t i = 0; i + 1 < order.size(); ++i) {
    EXPECT_LT(CompareText(order[i], order[i + 1]), 0) << order[i] << " < " << order[i + 1];
    EXPECT_GT(CompareText(order[i + 1], order[i]), 0) << order[i + 1] << " > " << order[i];
  }
  EXPECT_EQ(CompareText("Abc", "aBC"), 0);
  EXPECT_EQ(CompareText("佐藤", "佐藤"), 0);
  // Bytes that are not UTF-8 still sort, by their value, the same every time.
  EXPECT_GT(CompareText("\xff", "\xfe\xfe"), 0);
  EXPECT_EQ(CompareText("a\xc3", "a\xc3"), 0);

  // A name column sorts textually with that order, stably for equal texts.
  TGrid g;
  g.SetSize(2, 5);
  const char* names[] = {"ペタ", "abc", "ペーター", "ABC"};
  for (int r = 1; r <= 4; ++r) {
    g.Cells(0, r) = names[r - 1];
    g.Cells(1, r) = std::to_string(r);
  }
  SortByColumn(g, 0, 0);
  EXPECT_EQ(g.Cells(1, 1), "2");
  EXPECT_EQ(g.Cells(1, 2), "4");
  EXPECT_EQ(g.Cells(1, 3), "3");
  EXPECT_EQ(g.Cells(1, 4), "1");
  SortByColumn(g, 0, 1);
  EXPECT_EQ(g.Cells(0, 1), "ペタ");
  EXPECT_EQ(g.Cells(1, 3), "2");  // equal texts keep their order both ways
  EXPECT_EQ(g.Cells(1, 4), "4");
}

TEST(GridModel, RowCommaTextGrowsTheGridAndEmptiesTheRest) {
  TGrid g;
  g.SetSize(2, 1);
  SetRowCommaText(g, 2, "a,\"b,c\",d");  // grows to three columns and three rows
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Row(2)[1].Text, "b,c");
  g.Tags(2, 2) = kTagRed;
  SetRowCommaText(g, 2, ",x");  // fewer items: the rest is emptied, tags stay, no shrinking
  EXPECT_EQ(g.ColCount(), 3);
  EXPECT_EQ(g.Cells(0, 2), "");
  EXPECT_EQ(g.Cells(1, 2), "x");
  EXPECT_EQ(g.Cells(2, 2), "");
  EXPECT_EQ(g.Tags(2, 2), kTagRed);
  EXPECT_EQ(g.Cells(0, 1), "");  // rows in between exist and are empty
}
