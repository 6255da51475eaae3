// The shipped-data generator: turns the readable UTF-8 sources in
// tools/datagen/src into the files the game reads from data/.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A source file is malformed or a generated value breaks a rule of the game.
class SourceError : public std::runtime_error {
 public:
  SourceError(const std::string& file, int line, const std::string& what)
      : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + what) {}
};

// One line of a source file, with its 1-based line number; comments (from
// '#') and surrounding blanks are already removed, empty lines dropped.
struct SourceLine {
  int Number = 0;
  std::string Text;
};

std::vector<SourceLine> ReadSourceLines(const std::string& path);
std::vector<std::string> SplitWords(const std::string& text);
// UTF-8 -> cp932; a character cp932 cannot hold is an error, not a '?'.
std::string ToCp932Strict(const std::string& utf8, const std::string& file, int line);
void WriteOutput(const std::string& path, const std::vector<uint8_t>& bytes);
// Little-endian integers appended to a file being built, as BMP and WAV
// files keep them.
inline void PutLe16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
inline void PutLe32(std::vector<uint8_t>& b, uint32_t v) {
  PutLe16(b, v & 0xFFFF);
  PutLe16(b, v >> 16);
}

// The box the tactics screen lets the user place outfield players in, in
// formation coordinates (X from the own goal line at 800 toward the
// halfway line, Y across the pitch, larger Y on the right): the computer's
// presets and the shipped position files keep to it as well.
constexpr int kBoxMinX = 1628, kBoxMaxX = 5228;
constexpr int kBoxMinY = 1448, kBoxMaxY = 6968;

// "X,Y" -> point; a malformed pair or one outside the box is an error.
std::pair<int, int> ParsePoint(const std::string& pair, const std::string& file, int line);

// Each generator reads its sources below srcDir and writes below outDir.
void GenerateNames(const std::string& srcDir, const std::string& outDir);
void GeneratePresets(const std::string& srcDir, const std::string& outDir);
void GenerateClubs(const std::string& srcDir, const std::string& outDir);
void GeneratePositionFiles(const std::string& srcDir, const std::string& outDir);
void GenerateSounds(const std::string& outDir);

// A 24-bit BMP file image (bottom-up rows padded to four bytes) of a
// width x height picture given top row first as 0xRRGGBB values.
std::vector<uint8_t> MakeBmp24(int width, int height, const std::vector<uint32_t>& rgbTopDown);
// A PCM 16-bit mono WAVE file image.
std::vector<uint8_t> MakeWav16(int sampleRate, const std::vector<int16_t>& samples);
