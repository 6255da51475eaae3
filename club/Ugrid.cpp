#include "Ugrid.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <limits>
#include <stdexcept>

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
  if (static_cast<std::size_t>(n) > rows_.size())
    rows_.resize(static_cast<std::size_t>(n), std::vector<TGridCell>(static_cast<std::size_t>(colCount_)));
  rowCount_ = n;
}

void TGrid::DiscardHiddenRows() { rows_.resize(static_cast<std::size_t>(rowCount_)); }

void TGrid::ClearCells() {
  DiscardHiddenRows();
  for (auto& r : rows_)
    for (auto& c : r) c = TGridCell{};
}

std::size_t TGrid::ShownRow(int row) const {
  if (row < 0 || row >= rowCount_) throw std::out_of_range("grid row " + std::to_string(row) + " is not shown");
  return static_cast<std::size_t>(row);
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

void TGrid::ResetWidths() {
  colWidths_.clear();
  Width = 0;
}

namespace {

struct SortItem {
  int32_t key = -1000;
  int row = 0;
  std::string text;
  std::vector<TGridCell> cells;
  std::vector<uint32_t> collation;
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
  if (!numeric)
    for (SortItem& it : items) it.collation = CollationKey(it.text);
  const bool desc = g_GridSortDirection == 1;
  std::stable_sort(items.begin(), items.end(), [&](const SortItem& a, const SortItem& b) {
    int c = numeric ? (a.key < b.key   ? -1
                       : a.key > b.key ? 1
                                       : 0)
                    : (a.collation < b.collation   ? -1
                       : b.collation < a.collation ? 1
                                                   : 0);
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
  std::vector<std::vector<TGridCell>> keep, removed;
  for (int r = 1; r < grid.RowCount(); ++r) {
    if (grid.Cells(column, r) == text)
      removed.push_back(std::move(grid.Row(r)));
    else
      keep.push_back(std::move(grid.Row(r)));
  }
  int r = 1;
  for (auto& row : keep) grid.Row(r++) = std::move(row);
  for (auto& row : removed) grid.Row(r++) = std::move(row);
  grid.SetRowCount(grid.RowCount() - static_cast<int>(removed.size()));
}

// ---------------------------------------------------------------------------
// Text order

namespace {

constexpr uint32_t kNotUtf8 = 0x110000;  // an undecodable byte b stands as kNotUtf8 + b

std::vector<uint32_t> DecodeUtf8(const std::string& s) {
  std::vector<uint32_t> out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    uint32_t cp = len == 1 ? b : len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
    bool ok = len > 0 && i + static_cast<std::size_t>(len) <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((c >> 6) != 0x2) ok = false;
      cp = (cp << 6) | (c & 0x3Fu);
    }
    if (ok && len == 2 && cp < 0x80) ok = false;
    if (ok && len == 3 && cp < 0x800) ok = false;
    if (ok && len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ok = false;
    if (!ok) {
      out.push_back(kNotUtf8 + b);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

// Primary classes, in the order they sort.
enum : uint32_t {
  kSymbolClass = 1u << 24,
  kDigitClass = 2u << 24,
  kLatinClass = 3u << 24,
  kKanaClass = 4u << 24,
  kKanjiClass = 5u << 24,
  kOtherClass = 6u << 24,
};

// Tertiary marks: what sets apart texts that read alike.
enum : uint32_t {
  kLargeKana = 8,
  kKatakana = 4,
  kLongMark = 2,
  kFullWidth = 1,
};

struct TKanaForm {
  uint32_t Base = 0;   // the plain, full-size hiragana
  uint32_t Voice = 0;  // 0 plain, 1 voiced, 2 half-voiced
  bool Small = false;
};

// A hiragana 0x3041 .. 0x3096 as plain kana, voicing and size.
TKanaForm HiraganaForm(uint32_t h) {
  TKanaForm f{h, 0, false};
  auto small = [&](uint32_t base) { f = TKanaForm{base, 0, true}; };
  switch (h) {
    case 0x3041:
    case 0x3043:
    case 0x3045:
    case 0x3047:
    case 0x3049:
    case 0x3063:
    case 0x3083:
    case 0x3085:
    case 0x3087:
    case 0x308E: small(h + 1); return f;
    case 0x3095: small(0x304B); return f;             // small ka
    case 0x3096: small(0x3051); return f;             // small ke
    case 0x3094: return TKanaForm{0x3046, 1, false};  // vu
    default: break;
  }
  if (h >= 0x304B && h <= 0x3062 && (h - 0x304B) % 2 == 1) return TKanaForm{h - 1, 1, false};  // ga .. di
  if (h >= 0x3064 && h <= 0x3069 && (h - 0x3064) % 2 == 1) return TKanaForm{h - 1, 1, false};  // du, de, do
  if (h >= 0x306F && h <= 0x307D) {                                                            // ha .. po
    const uint32_t r = (h - 0x306F) % 3;
    return TKanaForm{h - r, r, false};
  }
  return f;
}

// The vowel (as the kana a, i, u, e, o) a plain kana ends in; 0 for n.
uint32_t VowelOf(uint32_t base) {
  static const std::vector<std::pair<std::vector<uint32_t>, uint32_t>> rows = {
      {DecodeUtf8("あかさたなはまやらわ"), 0x3042},
      {DecodeUtf8("いきしちにひみりゐ"), 0x3044},
      {DecodeUtf8("うくすつぬふむゆる"), 0x3046},
      {DecodeUtf8("えけせてねへめれゑ"), 0x3048},
      {DecodeUtf8("おこそとのほもよろを"), 0x304A}};
  for (const auto& [kana, vowel] : rows)
    if (std::find(kana.begin(), kana.end(), base) != kana.end()) return vowel;
  return 0;
}

bool Ignorable(uint32_t cp) {
  return cp == 0x20 || cp == 0x09 || cp == 0x3000 || cp == 0x30FB || cp == 0xFF65 || cp == 0xB7;
}

bool IsKanji(uint32_t cp) {
  return (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0xF900 && cp <= 0xFAFF) ||
         (cp >= 0x20000 && cp <= 0x2FFFF) || cp == 0x3005;
}

bool IsSymbol(uint32_t cp) {
  return cp < 0x80 || (cp >= 0x2000 && cp <= 0x2BFF) || (cp >= 0x3000 && cp <= 0x303F) ||
         (cp >= 0xFF00 && cp <= 0xFF65);
}

}  // namespace

std::vector<uint32_t> CollationKey(const std::string& text) {
  struct Element {
    uint32_t Primary, Secondary, Tertiary;
  };
  std::vector<uint32_t> folded = DecodeUtf8(text);
  std::vector<Element> elements;
  elements.reserve(folded.size());
  uint32_t lastVowel = 0;
  for (uint32_t& cp : folded) {
    uint32_t tertiary = kLargeKana;
    if (cp >= 0xFF01 && cp <= 0xFF5E) {  // full-width ASCII
      cp -= 0xFEE0;
      tertiary |= kFullWidth;
    }
    if (cp >= 'A' && cp <= 'Z') cp += 'a' - 'A';
    if (cp == 0x3000) cp = 0x20;
    uint32_t vowel = 0;
    if (Ignorable(cp)) {
      continue;
    } else if (cp >= '0' && cp <= '9') {
      elements.push_back({kDigitClass + cp, 1, tertiary});
    } else if (cp >= 'a' && cp <= 'z') {
      elements.push_back({kLatinClass + cp, 1, tertiary});
    } else if ((cp >= 0x3041 && cp <= 0x3096) || (cp >= 0x30A1 && cp <= 0x30F6) || (cp >= 0x30F7 && cp <= 0x30FA)) {
      TKanaForm f;
      if (cp >= 0x30F7) {  // va, vi, ve, vo written on wa, wi, we, wo
        static constexpr uint32_t kOn[4] = {0x308F, 0x3090, 0x3091, 0x3092};
        f = TKanaForm{kOn[cp - 0x30F7], 1, false};
        tertiary |= kKatakana;
      } else if (cp >= 0x30A1) {
        f = HiraganaForm(cp - 0x60);
        tertiary |= kKatakana;
      } else {
        f = HiraganaForm(cp);
      }
      if (f.Small) tertiary &= ~kLargeKana;
      elements.push_back({kKanaClass + f.Base, 1 + f.Voice, tertiary});
      vowel = VowelOf(f.Base);
    } else if ((cp == 0x30FC || cp == 0xFF70) && lastVowel != 0) {
      // The long-vowel mark reads as the vowel it lengthens.
      elements.push_back({kKanaClass + lastVowel, 1, tertiary | kLongMark});
      vowel = lastVowel;
    } else if (IsKanji(cp)) {
      elements.push_back({kKanjiClass + cp, 1, tertiary});
    } else if (IsSymbol(cp)) {
      elements.push_back({kSymbolClass + cp, 1, tertiary});
    } else {
      elements.push_back({kOtherClass + cp, 1, tertiary});
    }
    lastVowel = vowel;
  }
  // Level by level, each level ended by 0 (lower than any weight), so a
  // text that is a prefix of another sorts first at the first level that
  // tells them apart.
  std::vector<uint32_t> key;
  key.reserve(elements.size() * 3 + folded.size() + 4);
  for (const Element& e : elements) key.push_back(e.Primary);
  key.push_back(0);
  for (const Element& e : elements) key.push_back(e.Secondary);
  key.push_back(0);
  for (const Element& e : elements) key.push_back(e.Tertiary + 1);
  key.push_back(0);
  for (uint32_t cp : folded) key.push_back(cp + 1);
  return key;
}

int CompareText(const std::string& a, const std::string& b) {
  const std::vector<uint32_t> ka = CollationKey(a), kb = CollationKey(b);
  return ka < kb ? -1 : kb < ka ? 1 : 0;
}
