// Name lists: data/name/N.txt, one name per line in cp932 (LF line ends,
// no blank lines). List 0 holds exactly 250 Japanese family names followed by
// 251 given names; lists 1 .. 9 hold foreign family names in katakana, each
// line one name, from which the game builds "A．name" or a single name.
#include <set>

#include "datagen.h"

namespace {

constexpr int kJapaneseFamilyNames = 250;
constexpr int kJapaneseGivenNames = 251;
constexpr int kMinForeignNames = 150;
constexpr int kMaxNameBytes = 16;  // eight full-width characters: fits the grids' name column

// Decodes one UTF-8 character; returns its code point and advances i.
char32_t NextChar(const std::string& s, std::size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
  char32_t cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < n && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  i += n;
  return cp;
}

bool IsKanji(char32_t c) { return (c >= 0x4E00 && c <= 0x9FFF) || c == U'々' || c == U'ヶ'; }
bool IsKatakana(char32_t c) { return (c >= U'ァ' && c <= U'ヶ') || c == U'ー' || c == U'・'; }

void CheckName(const std::string& name, bool japanese, const std::string& file, int line) {
  std::size_t i = 0;
  int chars = 0;
  char32_t first = 0, last = 0;
  while (i < name.size()) {
    char32_t c = NextChar(name, i);
    if (japanese ? !IsKanji(c) : !IsKatakana(c))
      throw SourceError(file, line,
                        "\"" + name + (japanese ? "\" is not written in kanji" : "\" is not written in katakana"));
    if (chars == 0) first = c;
    last = c;
    ++chars;
  }
  if (chars < (japanese ? 1 : 2)) throw SourceError(file, line, "name \"" + name + "\" is too short");
  if (first == U'ー' || first == U'・' || last == U'・' || first == U'ッ')
    throw SourceError(file, line, "name \"" + name + "\" starts or ends oddly");
}

struct NameSection {
  std::vector<std::string> Names;
};

}  // namespace

void GenerateNames(const std::string& srcDir, const std::string& outDir) {
  for (int n = 0; n <= 9; ++n) {
    std::string file = srcDir + "/names/" + std::to_string(n) + ".txt";
    bool japanese = n == 0;
    std::vector<std::string> family, given;
    std::vector<std::string>* section = japanese ? nullptr : &family;
    std::set<std::string> seenFamily, seenGiven;
    for (const SourceLine& l : ReadSourceLines(file)) {
      if (l.Text == "[family]" && japanese) {
        section = &family;
        continue;
      }
      if (l.Text == "[given]" && japanese) {
        section = &given;
        continue;
      }
      if (!section) throw SourceError(file, l.Number, "names before a [family] or [given] heading");
      for (const std::string& w : SplitWords(l.Text)) {
        CheckName(w, japanese, file, l.Number);
        std::string cp = ToCp932Strict(w, file, l.Number);
        if (cp.size() > kMaxNameBytes) throw SourceError(file, l.Number, "name \"" + w + "\" is too long");
        auto& seen = section == &family ? seenFamily : seenGiven;
        if (!seen.insert(w).second) throw SourceError(file, l.Number, "name \"" + w + "\" appears twice");
        section->push_back(cp);
      }
    }
    if (japanese) {
      if (family.size() != kJapaneseFamilyNames)
        throw SourceError(file, 0, "needs exactly 250 family names, has " + std::to_string(family.size()));
      if (given.size() != kJapaneseGivenNames)
        throw SourceError(file, 0, "needs exactly 251 given names, has " + std::to_string(given.size()));
    } else if (family.size() < kMinForeignNames) {
      throw SourceError(file, 0, "needs at least 150 names, has " + std::to_string(family.size()));
    }
    std::vector<uint8_t> bytes;
    for (const auto* list : {&family, &given})
      for (const std::string& cp : *list) {
        bytes.insert(bytes.end(), cp.begin(), cp.end());
        bytes.push_back('\n');
      }
    WriteOutput(outDir + "/name/" + std::to_string(n) + ".txt", bytes);
  }
}
