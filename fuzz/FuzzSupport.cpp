#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "club/Ufile.h"
#include "club/Uplayer.h"
#include "club/Urandom.h"
#include "club/Uteametc.h"

namespace fs = std::filesystem;

namespace fuzz {

namespace {
fs::path g_dir;
void RemoveDir() {
  std::error_code ec;
  fs::current_path(fs::temp_directory_path(ec), ec);
  fs::remove_all(g_dir, ec);
}
}  // namespace

void EnterDataDir(int* argc, char*** argv) {
  if (!g_dir.empty()) return;
  // Corpus directories, files to run and paths in flags, absolute.
  static std::vector<std::string> args;
  static std::vector<char*> pointers;
  const fs::path start = fs::current_path();
  bool artifacts = false;
  for (int i = 0; i < *argc; ++i) {
    std::string a = (*argv)[i];
    if (i > 0 && !a.empty() && a[0] != '-') a = (start / a).lexically_normal().string();
    for (const std::string flag : {"-artifact_prefix=", "-exact_artifact_path=", "-dict="})
      if (a.rfind(flag, 0) == 0) {
        if (a.size() > flag.size() && a[flag.size()] != '/') a = flag + (start / a.substr(flag.size())).string();
        artifacts = artifacts || flag != "-dict=";
      }
    args.push_back(a);
  }
  if (!artifacts) args.push_back("-artifact_prefix=" + start.string() + "/");
  for (std::string& a : args) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = pointers.data();

  // In memory where there is such a place: the targets write a file per
  // input, and a disk would flush each one.
  std::error_code ec;
  const fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path();
  g_dir = base / ("vantorel-fuzz-" + std::to_string(::getpid()));
  fs::remove_all(g_dir);
  fs::create_directories(g_dir / "data");
  const fs::path src = fs::path(VANTOREL_SOURCE_DIR) / "data";
  for (const char* part : {"first.dat", "name", "aiforma"})
    fs::copy(src / part, g_dir / "data" / part, fs::copy_options::recursive);
  fs::current_path(g_dir);
  std::atexit(RemoveDir);
  ClearNameListCache();
  Tformation::ClearPresetCache();
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "\n*** fuzz target: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

bool Reads(const std::function<void()>& read) {
  try {
    read();
    return true;
  } catch (const VantorelError&) {
    return false;
  } catch (const std::exception& e) {
    Fail(std::string("a foreign exception: ") + e.what());
  }
}

bool ReadsFile(const std::string& file, const std::function<void()>& read) {
  try {
    read();
    return true;
  } catch (const FileError& e) {
    Check(std::string(e.what()).find(file) != std::string::npos,
          "a refusal that does not name " + file + ": " + e.what());
    return false;
  } catch (const VantorelError& e) {
    Fail("a refusal that is not a FileError naming " + file + ": " + e.what());
  } catch (const std::exception& e) {
    Fail(std::string("a foreign exception: ") + e.what());
  }
}

SameRandom::SameRandom() {
  const RandomState r = GetRandomState();
  state_ = r.state;
  inc_ = r.inc;
}

void SameRandom::Check(const char* what) const {
  const RandomState r = GetRandomState();
  if (r.state != state_ || r.inc != inc_) Fail(std::string(what) + " moved the random generator");
}

void PutFile(const std::string& path, const uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "cannot write " + path);
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

}  // namespace fuzz
