// vantorel-datagen SRC_DIR OUT_DIR: writes the shipped data files
// (name/, aiforma/, first.dat, formation/, sound/) into OUT_DIR.
// After editing a source, regenerate the shipped copy from the repository
// root with `vantorel-datagen tools/datagen/src data` and commit both; the
// test `shipped_data_is_generated` fails while they differ.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "club/Ucp932.h"
#include "datagen.h"

namespace fs = std::filesystem;

std::vector<SourceLine> ReadSourceLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError(path, 0, "cannot open source file");
  std::vector<SourceLine> lines;
  std::string text;
  int number = 0;
  while (std::getline(in, text)) {
    ++number;
    if (number == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    auto hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) continue;
    auto last = text.find_last_not_of(" \t\r");
    lines.push_back({number, text.substr(first, last - first + 1)});
  }
  return lines;
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

std::string ToCp932Strict(const std::string& utf8, const std::string& file, int line) {
  std::string out = Utf8ToCp932(utf8);
  if (Cp932ToUtf8(out) != utf8) throw SourceError(file, line, "\"" + utf8 + "\" cannot be written in cp932");
  return out;
}

void WriteOutput(const std::string& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw SourceError(path, 0, "cannot create output file");
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw SourceError(path, 0, "cannot write output file");
}

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vantorel-datagen SRC_DIR OUT_DIR\n";
    return 2;
  }
  try {
    std::string src = argv[1], out = argv[2];
    GenerateNames(src, out);
    GeneratePresets(src, out);
    GenerateClubs(src, out);
    GeneratePositionFiles(src, out);
    GenerateSounds(out);
  } catch (const std::exception& e) {
    std::cerr << "vantorel-datagen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
