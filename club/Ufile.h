// Whole-file reading and atomic writing. Paths come from club/Upaths.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Ustream.h"

// A file could not be read, written or understood. The message names the file.
class FileError : public VantorelError {
 public:
  FileError(const std::string& path, const std::string& what);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Reads a whole file. Refuses files larger than maxBytes.
std::vector<uint8_t> ReadWholeFile(const std::string& path, std::size_t maxBytes = 64u << 20);
// Reads at most the first maxBytes of a file (the rest is left unread).
std::vector<uint8_t> ReadFileStart(const std::string& path, std::size_t maxBytes);
// Writes to a temporary file in the same directory and renames it over the
// target only when complete: a failed write never destroys the old file.
void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);
bool FileExists(const std::string& path);
// Creates the directory (and parents) if missing.
void EnsureDirectory(const std::string& path);
