// Start data: data/first.dat, 24 club records one after another, each
// four nationalities (int32), the club name (stream string) and the club's
// 10 x 10 emblem as a complete BMP file image.
#include <map>
#include <set>

#include "club/Ufunction.h"
#include "datagen.h"

namespace {

constexpr int kClubs = 24;
constexpr int kEmblemSize = 10;
constexpr int kMaxClubNameBytes = 16;

struct ClubSource {
  int Line = 0;
  std::string Name;
  std::vector<int32_t> Nations;
  std::map<char, uint32_t> Palette;
  std::vector<std::string> Rows;
  bool Closed = false;
};

int ParseNumber(const std::string& text, const std::string& file, int line) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
    throw SourceError(file, line, "\"" + text + "\" is not a nationality number");
  return std::stoi(text);
}

uint32_t ParseColour(const std::string& hex, const std::string& file, int line) {
  if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw SourceError(file, line, "colour \"" + hex + "\" is not RRGGBB");
  return static_cast<uint32_t>(std::stoul(hex, nullptr, 16));
}

std::vector<ClubSource> ReadClubs(const std::string& file) {
  std::vector<ClubSource> clubs;
  ClubSource* cur = nullptr;
  bool inEmblem = false;
  for (const SourceLine& l : ReadSourceLines(file)) {
    if (inEmblem) {
      if (l.Text == "end") {
        inEmblem = false;
        cur->Closed = true;
        continue;
      }
      cur->Rows.push_back(l.Text);
      continue;
    }
    auto words = SplitWords(l.Text);
    const std::string& key = words[0];
    if (key == "club") {
      if (cur && !cur->Closed) throw SourceError(file, l.Number, "club \"" + cur->Name + "\" has no emblem");
      if (words.size() != 2) throw SourceError(file, l.Number, "a club name is one word");
      clubs.push_back({});
      cur = &clubs.back();
      cur->Line = l.Number;
      cur->Name = words[1];
    } else if (!cur) {
      throw SourceError(file, l.Number, "\"" + key + "\" before the first club");
    } else if (key == "nations") {
      if (words.size() != 5) throw SourceError(file, l.Number, "a club has four nationalities");
      for (std::size_t i = 1; i < 5; ++i) {
        int v = ParseNumber(words[i], file, l.Number);
        if (v < 0 || v > 10) throw SourceError(file, l.Number, "a nationality is 0 .. 10");
        cur->Nations.push_back(v);
      }
    } else if (key == "colour") {
      if (words.size() != 3 || words[1].size() != 1)
        throw SourceError(file, l.Number, "colour needs a letter and RRGGBB");
      if (!cur->Palette.emplace(words[1][0], ParseColour(words[2], file, l.Number)).second)
        throw SourceError(file, l.Number, "colour letter defined twice");
    } else if (key == "emblem") {
      inEmblem = true;
    } else {
      throw SourceError(file, l.Number, "unknown keyword \"" + key + "\"");
    }
  }
  if (inEmblem || (cur && !cur->Closed)) throw SourceError(file, 0, "the last emblem has no end");
  return clubs;
}

std::vector<uint32_t> EmblemPixels(const ClubSource& c, const std::string& file) {
  if (c.Rows.size() != kEmblemSize) throw SourceError(file, c.Line, c.Name + ": an emblem has 10 rows");
  std::vector<uint32_t> pixels;
  std::set<uint32_t> used;
  for (const std::string& row : c.Rows) {
    if (row.size() != kEmblemSize) throw SourceError(file, c.Line, c.Name + ": an emblem row has 10 pixels: " + row);
    for (char ch : row) {
      auto it = c.Palette.find(ch);
      if (it == c.Palette.end())
        throw SourceError(file, c.Line, c.Name + ": no colour for '" + std::string(1, ch) + "'");
      pixels.push_back(it->second);
      used.insert(it->second);
    }
  }
  if (used.size() < 3) throw SourceError(file, c.Line, c.Name + ": an emblem needs at least three colours");
  return pixels;
}

}  // namespace

std::vector<uint8_t> MakeBmp24(int width, int height, const std::vector<uint32_t>& rgbTopDown) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const uint32_t imageBytes = static_cast<uint32_t>(rowBytes * height);
  const uint32_t fileBytes = 14 + 40 + imageBytes;
  std::vector<uint8_t> b;
  auto u16 = [&](uint32_t v) { PutLe16(b, v); };
  auto u32 = [&](uint32_t v) { PutLe32(b, v); };
  b.push_back('B');
  b.push_back('M');
  u32(fileBytes);
  u32(0);        // reserved
  u32(14 + 40);  // offset of the pixels
  u32(40);       // BITMAPINFOHEADER
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));  // positive: rows stored bottom-up
  u16(1);                              // planes
  u16(24);                             // bits per pixel
  u32(0);                              // no compression
  u32(imageBytes);
  u32(2835);  // 72 dpi
  u32(2835);
  u32(0);
  u32(0);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      uint32_t rgb = rgbTopDown[static_cast<std::size_t>(y * width + x)];
      b.push_back(uint8_t(rgb));        // blue
      b.push_back(uint8_t(rgb >> 8));   // green
      b.push_back(uint8_t(rgb >> 16));  // red
    }
    for (int p = width * 3; p < rowBytes; ++p) b.push_back(0);
  }
  return b;
}

void GenerateClubs(const std::string& srcDir, const std::string& outDir) {
  const std::string file = srcDir + "/clubs.txt";
  std::vector<ClubSource> clubs = ReadClubs(file);
  if (clubs.size() != kClubs) throw SourceError(file, 0, "needs exactly 24 clubs, has " + std::to_string(clubs.size()));
  std::set<std::string> names;
  std::set<std::vector<uint32_t>> emblems;
  TStream s;
  for (const ClubSource& c : clubs) {
    if (c.Nations.size() != 4) throw SourceError(file, c.Line, c.Name + ": no nationalities");
    std::string cp = ToCp932Strict(c.Name, file, c.Line);
    if (cp.size() > kMaxClubNameBytes) throw SourceError(file, c.Line, c.Name + ": club name too long");
    if (!names.insert(c.Name).second) throw SourceError(file, c.Line, c.Name + ": two clubs share this name");
    std::vector<uint32_t> pixels = EmblemPixels(c, file);
    if (!emblems.insert(pixels).second) throw SourceError(file, c.Line, c.Name + ": emblem repeats another club's");
    for (int32_t v : c.Nations) s.WriteInt32(v);
    WriteString(s, c.Name);
    s.WriteBytes(MakeBmp24(kEmblemSize, kEmblemSize, pixels));
  }
  WriteOutput(outDir + "/first.dat", s.Bytes());
}
