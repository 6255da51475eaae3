// Test helper: runs a test inside a fresh temporary working directory that
// holds a copy of the shipped data (first.dat, name lists, presets, sounds),
// so tests can build worlds and write saves without touching the repository.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

class ScopedDataDir {
 public:
  ScopedDataDir() {
    namespace fs = std::filesystem;
    static std::atomic<int> counter{0};
    old_ = fs::current_path();
    dir_ =
        fs::temp_directory_path() / ("vantorel-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "data");
    fs::path src = fs::path(VANTOREL_SOURCE_DIR) / "data";
    if (fs::exists(src)) {
      for (const auto& e : fs::directory_iterator(src)) {
        std::string n = e.path().filename().string();
        if (n == "first.dat" || n == "name" || n == "aiforma" || n == "sound" || n == "picture")
          fs::copy(e.path(), dir_ / "data" / n, fs::copy_options::recursive);
      }
    }
    fs::current_path(dir_);
  }
  ~ScopedDataDir() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  ScopedDataDir(const ScopedDataDir&) = delete;
  ScopedDataDir& operator=(const ScopedDataDir&) = delete;
  const std::filesystem::path& Path() const { return dir_; }

 private:
  std::filesystem::path old_;
  std::filesystem::path dir_;
};
