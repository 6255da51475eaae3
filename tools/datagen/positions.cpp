// Position files for the tactics screen: data/formation/NAME.dat, ready-made
// shapes the user can load and adapt. Each file is 88 bytes: for slots
// 0 .. 10 the point (x, y) in pixels of the tactics screen's half pitch,
// x across the pitch (0 .. 567), y from the halfway line (0) down to the own
// goal line (438). The sources give the ten outfield points in formation
// coordinates, as the computer's presets do.
#include <algorithm>
#include <set>

#include "club/Ustream.h"
#include "datagen.h"

namespace {

constexpr int kOutfield = 10;

// Formation point -> tactics screen pixel, the inverse of the screen's
// (length, width) = ((438 - y) * 12 + 800, x * 12 + 800).
std::pair<int32_t, int32_t> ToScreen(int length, int width) { return {(width - 800) / 12, 438 - (length - 800) / 12}; }

}  // namespace

void GeneratePositionFiles(const std::string& srcDir, const std::string& outDir) {
  const std::string file = srcDir + "/formation.txt";
  std::string name;
  int nameLine = 0;
  std::vector<std::pair<int, int>> points;
  std::set<std::string> names;
  auto finish = [&]() {
    if (name.empty()) return;
    if (points.size() != kOutfield) throw SourceError(file, nameLine, name + ": needs ten outfield points");
    if (std::set<std::pair<int, int>>(points.begin(), points.end()).size() != kOutfield)
      throw SourceError(file, nameLine, name + ": two players on one spot");
    // Slot order as the club keeps its line-up: deepest first, on equal
    // depth the right-hand side first.
    std::stable_sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::stable_sort(points.begin(), points.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    TStream s;
    auto keeper = ToScreen(800, 4200);
    s.WriteInt32(keeper.first);
    s.WriteInt32(keeper.second);
    for (const auto& [length, width] : points) {
      auto [x, y] = ToScreen(length, width);
      s.WriteInt32(x);
      s.WriteInt32(y);
    }
    WriteOutput(outDir + "/formation/" + name + ".dat", s.Bytes());
  };
  for (const SourceLine& l : ReadSourceLines(file)) {
    auto words = SplitWords(l.Text);
    if (words[0] == "formation") {
      finish();
      if (words.size() != 2 || words[1].find_first_not_of("0123456789-") != std::string::npos)
        throw SourceError(file, l.Number, "a formation is named like 4-4-2");
      name = words[1];
      nameLine = l.Number;
      if (!names.insert(name).second) throw SourceError(file, l.Number, name + " appears twice");
      points.clear();
      continue;
    }
    if (name.empty()) throw SourceError(file, l.Number, "points before the first formation");
    for (const std::string& pair : words) points.push_back(ParsePoint(pair, file, l.Number));
  }
  finish();
  if (names.empty()) throw SourceError(file, 0, "no formations");
}
