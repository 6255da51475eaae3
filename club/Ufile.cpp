#include "Ufile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

FileError::FileError(const std::string& path, const std::string& what)
    : VantorelError(path + ": " + what), path_(path) {}

std::vector<uint8_t> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) throw FileError(path, "file not found");
  auto size = fs::file_size(path, ec);
  if (ec) throw FileError(path, "cannot read file size");
  if (size > maxBytes) throw FileError(path, "file is too large");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, "cannot open file");
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    throw FileError(path, "cannot read file");
  return bytes;
}

std::vector<uint8_t> ReadFileStart(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) throw FileError(path, "file not found");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, "cannot open file");
  std::vector<uint8_t> bytes(maxBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(maxBytes));
  if (in.bad()) throw FileError(path, "cannot read file");
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) throw FileError(path, "cannot write file");
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fflush(f) == 0) && ok;
  ok = (::fsync(::fileno(f)) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) {
    std::remove(tmp.c_str());
    throw FileError(path, "cannot write file (disk full?)");
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    std::remove(tmp.c_str());
    throw FileError(path, "cannot replace file: " + ec.message());
  }
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

void EnsureDirectory(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec && !fs::is_directory(path)) throw FileError(path, "cannot create directory: " + ec.message());
}
