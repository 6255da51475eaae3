#include "Ufile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

FileError::FileError(const std::string& path, const std::string& what)
    : VantorelError(path + ": " + what), path_(path) {}

namespace {
// The reason a file operation failed, in the player's words.
std::string Reason(int err) {
  switch (err) {
    case ENAMETOOLONG: return "（ファイル名が長すぎます）";
    case ENOSPC:
    case EDQUOT: return "（ディスクに空きがありません）";
    case EACCES:
    case EPERM: return "（書き込みが許可されていません）";
    case EROFS: return "（読み取り専用の場所です）";
    case ENOENT:
    case ENOTDIR: return "（フォルダがありません）";
    case EISDIR: return "（同じ名前のフォルダがあります）";
    default: return "";
  }
}
}  // namespace

std::vector<uint8_t> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) throw FileError(path, "ファイルがありません");
  auto size = fs::file_size(path, ec);
  if (ec) throw FileError(path, "ファイルを読めません");
  if (size > maxBytes) throw FileError(path, "ファイルが大きすぎます");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(path, "ファイルを開けません" + Reason(errno));
  std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    throw FileError(path, "ファイルを読めません");
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
  if (!f) throw FileError(path, "ファイルに書き込めません" + Reason(errno));
  // The first failure's reason is the one reported.
  int err = 0;
  auto check = [&err](bool done) {
    if (!done && err == 0) err = errno ? errno : EIO;
  };
  check(bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  check(std::fflush(f) == 0);
  check(::fsync(::fileno(f)) == 0);
  check(std::fclose(f) == 0);
  if (err != 0) {
    std::remove(tmp.c_str());
    throw FileError(path, "ファイルに書き込めません" + Reason(err));
  }
  std::error_code ec;
  fs::rename(tmp, path, ec);
  if (ec) {
    std::remove(tmp.c_str());
    throw FileError(path, "ファイルを置き換えられません" + Reason(ec.value()));
  }
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

void EnsureDirectory(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec && !fs::is_directory(path)) throw FileError(path, "フォルダを作れません" + Reason(ec.value()));
}
