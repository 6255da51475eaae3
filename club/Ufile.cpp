#include "Ufile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <signal.h>
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

long TemporaryOwner(const std::string& fileName, const std::vector<std::string>& extensions) {
  const std::size_t mark = fileName.rfind(".tmp");
  if (mark == std::string::npos) return 0;
  const std::string digits = fileName.substr(mark + 4);
  // A process id as getpid() writes it: decimal, no sign, no leading zero.
  if (digits.empty() || digits.size() > 9 || digits[0] == '0') return 0;
  for (char c : digits)
    if (c < '0' || c > '9') return 0;
  const std::string target = fileName.substr(0, mark);
  for (const std::string& ext : extensions)
    if (target.size() > ext.size() && target.compare(target.size() - ext.size(), ext.size(), ext) == 0)
      return std::stol(digits);
  return 0;
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno == EPERM;
}

std::vector<std::string> RemoveDeadTemporaries(const std::string& dir, const std::vector<std::string>& extensions,
                                               bool (*alive)(long pid)) {
  std::vector<std::string> removed;
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  if (ec) return removed;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::string name = it->path().filename().string();
    const long pid = TemporaryOwner(name, extensions);
    if (pid == 0 || pid == ::getpid() || alive(pid)) continue;
    std::error_code kind;
    if (fs::symlink_status(it->path(), kind).type() != fs::file_type::regular || kind) continue;
    if (fs::remove(it->path(), kind) && !kind) removed.push_back(name);
  }
  std::sort(removed.begin(), removed.end());
  return removed;
}
