// Shared by the fuzz targets: a private working directory holding a copy
// of the shipped data, the checks a target makes, and small helpers.
//
// Every target feeds its input to one reader and asserts what a load
// promises: it either succeeds, or raises one of the game's own errors
// (VantorelError) and leaves what it was reading into as it was; whatever
// it accepted saves to bytes that read back to the same bytes. Any other
// exception, a sanitizer report or a broken promise aborts, and libFuzzer
// keeps the input as a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "club/Ustream.h"

using Bytes = std::vector<uint8_t>;

namespace fuzz {

// Creates a fresh directory in /dev/shm (or the temporary directory) with
// data/first.dat, data/name and data/aiforma copied from the source tree,
// makes it the working directory and removes it at exit. The fuzzer's
// arguments are its own: paths in them are made absolute first, and
// crashes go to the directory it was started in unless told otherwise.
void EnterDataDir(int* argc, char*** argv);

// Aborts with the target's complaint.
[[noreturn]] void Fail(const std::string& what);
inline void Check(bool ok, const std::string& what) {
  if (!ok) Fail(what);
}

// Runs a read. True when it succeeded, false when it raised one of the
// game's errors; any other exception is a failure of the target.
bool Reads(const std::function<void()>& read);
// As Reads, but a refusal must be a FileError whose message names `file`.
bool ReadsFile(const std::string& file, const std::function<void()>& read);

// Writes a file plainly (no fsync: the targets write one per input).
void PutFile(const std::string& path, const uint8_t* data, std::size_t size);

// The game's generator is left where it was (reading never draws from it).
class SameRandom {
 public:
  SameRandom();
  void Check(const char* what) const;

 private:
  uint64_t state_, inc_;
};

template <class T>
Bytes Saved(const T& t) {
  TStream s;
  t.SaveToStream(s);
  return s.TakeBytes();
}

}  // namespace fuzz
