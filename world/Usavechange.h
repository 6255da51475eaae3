// "DATA変換": brings save files and VS files of older layouts ("06", "11"
// and save files without a version) to the current layout "17", keeping a
// backup of every file it rewrites in "data/savedatatmp" and "data/vstmp".
// A backup is never replaced by different bytes: a run killed half-way and
// run again, or a file converted in two runs, leaves every original there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "club/Ustream.h"

// The converter's backups, in the player's root ("data/savedatatmp" and
// "data/vstmp" in a checkout).
inline std::string SaveBackupDir() { return PlayerPath("savedatatmp"); }
inline std::string VsBackupDir() { return PlayerPath("vstmp"); }

// The version a file image carries: 6, 11, 17 (or any other two-digit
// number), or kNoVersion for a save file written before versions existed.
inline constexpr int32_t kNoVersion = -1;

class Tsavechange {
 public:
  // The image of the file being converted and its name without extension.
  TStream Image;
  std::string Name;

  // What one run did, file names without directory.
  struct TReport {
    std::vector<std::string> Converted;  // rewritten in a newer layout
    std::vector<std::string> Unchanged;  // already current (VS files are rewritten identically)
  };

  // Each converts every file of its kind. The work is done in two passes:
  // every file is read and converted in memory first, and each new image
  // is read back as the game will read it; only when all of them succeeded
  // are the backups and the new files written (each atomically). A damaged
  // file, or one whose conversion the game would refuse (InvariantFileError:
  // which invariant, where), therefore stops the run with a FileError naming
  // it and nothing on disk changes. A file left as it is (a current one, or
  // a VS file of no version it knows) is neither backed up nor written.
  // A file to be rewritten is first backed up under its own name in the
  // backup folder; when that name already holds a different file (an
  // earlier original of the same name, or the same file before an earlier
  // step of its conversion) the backup goes to "NAME (2).dat", "NAME (3).dat"
  // and so on, so no backup is ever lost. A backup with the same bytes
  // already there is not written again. A run killed between its writes
  // and run again therefore leaves every original recoverable.
  // The running game is not touched: conversion works on a scratch world.
  TReport ConvertSaves();
  TReport ConvertVsFiles();
  // Both kinds, as the "DATA変換" button does; every file of both kinds is
  // read and converted before anything is written.
  void ConvertAll(TReport& saves, TReport& vs);

  // The version of an image: the string at its start (a 32-bit length and
  // that many bytes) read as a decimal number. Only a string of exactly two
  // decimal digits is a version; anything else means the file has none.
  static int32_t ReadVersionNumber(const std::vector<uint8_t>& image);

  // The new image of one save file, or an empty vector when it is current.
  // Version-less: "06" + the old image + one 0 byte (the cup-present byte
  // it lacks), so a second run takes it on to "17". "06"/"11": read by the
  // old readers into a scratch game and written as "17". Throws on damage
  // and (InvariantError) on a world that breaks an invariant.
  static std::vector<uint8_t> ConvertSaveImage(const std::vector<uint8_t>& image);
  // The new image of one VS file: "06"/"11" are read in the old club form
  // and written in the current one; anything else is returned unchanged.
  // A file labelled "11" whose record is already in the current form (it
  // reads exactly to the end that way and not in the old form) is kept.
  static std::vector<uint8_t> ConvertVsImage(const std::vector<uint8_t>& image);

  // Called after every file the run writes (a backup or a converted file),
  // with its path; a test stops the run there by throwing, as a kill would.
  std::function<void(const std::string& path)> AfterWrite;

 private:
  struct TWork;
  void PrepareSaves(TWork& work);
  void PrepareVsFiles(TWork& work);
  void Commit(TWork& work, TReport& saves, TReport& vs);
  void Write(const std::string& path, const std::vector<uint8_t>& bytes);
  void BackUp(const std::string& dir, const std::string& file, const std::vector<uint8_t>& bytes);
};
