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
// The temporary is named path + ".tmp" + the writing process's id; a process
// killed mid-write leaves it behind (RemoveDeadTemporaries clears it).
void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);
// The process id in the name of a temporary WriteFileAtomic leaves for a file
// ending in one of the extensions (".dat", ".vs", ...): "a.dat.tmp4711" gives
// 4711. 0 when the name is not one of ours.
long TemporaryOwner(const std::string& fileName, const std::vector<std::string>& extensions);
// Whether a process with this id exists (one we may not signal counts).
bool ProcessAlive(long pid);
// Removes the temporaries in dir (not below it) for files with one of the
// extensions whose writing process is gone (alive(pid) false). Anything
// else is left alone: other names, folders, links, and the temporaries of
// living processes (this one's among them: a save may be running on
// another thread). Failures to list or remove are passed over. Returns the
// names removed.
std::vector<std::string> RemoveDeadTemporaries(const std::string& dir, const std::vector<std::string>& extensions,
                                               bool (*alive)(long pid) = ProcessAlive);
bool FileExists(const std::string& path);
// Creates the directory (and parents) if missing.
void EnsureDirectory(const std::string& path);
