// Formation presets: data/aiforma/N.dat, one integer table per line of the
// formation (0 defence, 1 holding midfield, 2 attacking midfield,
// 3 forwards). Row r holds X1, Y1, X2, Y2, ... for a line of k players, in
// the frame of a club defending the goal at X = 800 and attacking toward
// +X; a larger Y is the right-hand side of the pitch.
#include <cstdlib>

#include "club/Uintlist.h"
#include "datagen.h"

namespace {

// Players per row that the formation rules ask each file for.
const std::vector<std::vector<int>> kRowSizes = {
    {3, 4},
    {1, 2, 2, 3, 3, 4, 5},
    {1, 2, 2, 3, 3, 4},
    {1, 2, 3},
};

int ParseInt(const std::string& text, const std::string& file, int line) {
  char* end = nullptr;
  long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || v < -100000 || v > 100000)
    throw SourceError(file, line, "\"" + text + "\" is not a number");
  return static_cast<int>(v);
}

}  // namespace

std::pair<int, int> ParsePoint(const std::string& pair, const std::string& file, int line) {
  auto comma = pair.find(',');
  if (comma == std::string::npos) throw SourceError(file, line, "expected X,Y but found \"" + pair + "\"");
  int x = ParseInt(pair.substr(0, comma), file, line);
  int y = ParseInt(pair.substr(comma + 1), file, line);
  if (x < kBoxMinX || x > kBoxMaxX || y < kBoxMinY || y > kBoxMaxY)
    throw SourceError(file, line, "point " + pair + " lies outside the placement box of the own half");
  return {x, y};
}

void GeneratePresets(const std::string& srcDir, const std::string& outDir) {
  for (int n = 0; n < 4; ++n) {
    std::string file = srcDir + "/aiforma/" + std::to_string(n) + ".txt";
    TIntgrid table;
    for (const SourceLine& l : ReadSourceLines(file)) {
      std::vector<int32_t> row;
      for (const std::string& pair : SplitWords(l.Text)) {
        auto [x, y] = ParsePoint(pair, file, l.Number);
        row.push_back(x);
        row.push_back(y);
      }
      table.AddRow(row);
    }
    const auto& sizes = kRowSizes[static_cast<std::size_t>(n)];
    if (table.RowCount() != static_cast<int>(sizes.size()))
      throw SourceError(file, 0, "needs " + std::to_string(sizes.size()) + " rows");
    for (int r = 0; r < table.RowCount(); ++r)
      if (table.RowLength(r) != 2 * sizes[static_cast<std::size_t>(r)])
        throw SourceError(
            file, 0,
            "row " + std::to_string(r) + " needs " + std::to_string(sizes[static_cast<std::size_t>(r)]) + " points");
    TStream s;
    table.SaveToStream(s);
    WriteOutput(outDir + "/aiforma/" + std::to_string(n) + ".dat", s.Bytes());
  }
}
