// Position files for the tactics screen: data/formation/NAME.dat, ready-made
// shapes the user can load and adapt. Each file is 88 bytes: for slots
// 0 .. 10 the point (x, y) in pixels of the tactics screen's half pitch,
// x across the pitch (0 .. 567), y from the halfway line (0) down to the own
// goal line (438). The sources give the ten outfield points in formation
// coordinates, as the computer's presets do.
#include <algorithm>
#include <set>

#include "datagen.h"
#include "world/Utactics.h"

namespace {

constexpr int kOutfield = 10;

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
    TPixelPositions positions{};
    positions[0] = FormationToPixel(kKeeperPoint);
    for (int i = 0; i < kOutfield; ++i)
      positions[static_cast<std::size_t>(i) + 1] = FormationToPixel(
          TPoint{points[static_cast<std::size_t>(i)].first, points[static_cast<std::size_t>(i)].second});
    WriteOutput(outDir + "/formation/" + name + ".dat", PositionFileBytes(positions));
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
