// Save slots: one file per slot in "data/savedata", the file list the save
// screen shows, atomic save, all-or-nothing load and the autosave rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "club/Upaths.h"

class Tgamemain;
class TGrid;

// The player's folder of save slots ("data/savedata" in a checkout).
inline std::string SaveDir() { return PlayerPath("savedata"); }
inline constexpr const char* kAutosaveSlot = "autosave";
// The version string of every file the current program writes.
inline constexpr const char* kCurrentVersion = "17";

// A name typed by the user becomes part of a path: it must stay one plain
// file name inside its directory (not empty, no "/" or "\", not "." or "..",
// no control characters). Throws FileError naming the would-be file otherwise.
bool IsSafeFileName(const std::string& name);
void CheckFileName(const std::string& dir, const std::string& name, const std::string& ext);

// "data/savedata/" + name + ".dat" (the name is checked).
std::string SlotPath(const std::string& name);

// One file found by ListFiles.
struct TFileEntry {
  std::string Name;      // file name without directory and extension
  std::string Path;      // the file's path, "data/..." in a checkout
  int64_t Modified = 0;  // seconds since the epoch
  std::string DateText;  // local "YYYY/MM/DD HH:MM"
};

// Every regular file matching the player's root ("data" in a checkout) + "/"
// + pattern, where the pattern is a directory and "*.ext" ("savedata/*.dat",
// "vs/*.vs", "vtr/*.vtr"). Sorted by name so that listings are the same on
// every file system. A missing directory lists nothing.
std::vector<TFileEntry> ListFiles(const std::string& pattern);

// One recorded data battle of the replay list: when it was recorded, and
// the clubs and final score from its header.
struct TReplayEntry {
  std::string Name;        // file name without directory and extension
  int64_t RecordedMs = 0;  // the name's millisecond clock; for another name, the file's time
  std::string DateText;    // local "YYYY/MM/DD HH:MM"
  bool Readable = false;   // false: the header cannot be read (clubs and score empty)
  std::array<std::string, 2> Clubs;
  std::array<int32_t, 2> Score{};
};

// Every replay in "data/vtr", newest first; replays of the same millisecond
// by name. Reads only the files' headers.
std::vector<TReplayEntry> ListReplays();

// The save screen's list in its save and load modes: one header row
// "data,保存日時", one row per slot (name, date), newest first; column 0
// 100 pixels wide.
void FillSlotGrid(TGrid& grid, const std::vector<TFileEntry>& slots);

// The version string at the start of a file image: a 32-bit length and that
// many bytes. Empty when fewer than four bytes are there, and when the length
// is negative or longer than the image (a file without a version).
std::string PeekVersionString(const std::vector<uint8_t>& image);

// Writes a slot atomically (temporary file, then rename): an interrupted
// save never destroys the slot it replaces. Creates "data/savedata".
void WriteSlotFile(const std::string& name, const std::vector<uint8_t>& image);
// Reads a slot image of the current version. A missing file, a file of
// another version or one without a version throws FileError naming the file.
std::vector<uint8_t> ReadSlotFile(const std::string& name);

// The whole game into a slot / a slot into the game. Loading parses into a
// fresh state and takes it over only when the whole file was read, nothing
// is left over and the world keeps every invariant; on any error (FileError
// naming the file; InvariantFileError, which also says which invariant and
// where) the game is unchanged. Saving between a week's matches and its
// close (HalfPlayedWeek) is refused with a VantorelError and writes nothing.
void SaveGameToSlot(const Tgamemain& game, const std::string& name);
void LoadGameFromSlot(Tgamemain& game, const std::string& name);

// The club screen saves to "autosave" whenever it is shown in a week that
// is a multiple of 6 (6, 12, ..., 48).
bool IsAutosaveWeek(int32_t week);
// Saves to "autosave" when the game's week is due; true when it saved.
bool AutosaveIfDue(const Tgamemain& game);
