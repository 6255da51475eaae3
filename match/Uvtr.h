// The match recorder: a data battle is recorded one frame per step and
// written at its end as a replay file "data/vtr/NAME.vtr"; the replay screen
// reads such a file back and plays it forwards or backwards.
//
// File layout (integers 32-bit signed little-endian): for side 0 then side 1
// the club name (stream string), the emblem (a complete BMP file image) and
// the goal lines as one comma text (stream string); then the frame count N
// and N frames of the 71 integers of TmVTRsc.
//
// Replay files are passed between players like VS files: reading is bounded
// and all-or-nothing. A count or length the file cannot hold is refused
// before anything is allocated, and a file that ends before its last frame
// (a short file), carries bytes after it, has no frame at all, or holds
// frames no match can produce (a score that falls or exceeds the goal lines,
// coordinates far off the picture) is refused as a whole; the recording held
// before is kept.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "match/Umatchmain.h"

class Tteam;

// The player's folder of replays ("data/vtr" in a checkout).
inline std::string VtrDir() { return PlayerPath("vtr"); }
inline constexpr std::size_t kVtrFrameBytes = TmVTRsc::kCount * 4;
// A full recording is about 1.5 MB; allow room for large emblems.
inline constexpr std::size_t kMaxVtrFileBytes = 48u << 20;
// Largest magnitude of a frame value: far beyond the picture, small enough
// that the viewer's pixel arithmetic cannot overflow.
inline constexpr int32_t kMaxVtrCoordinate = 1000000;

// "data/vtr/" + name + ".vtr" (the name is checked).
std::string VtrPath(const std::string& name);

// One side of a replay header.
struct TVtrSide {
  std::string Name;
  std::vector<uint8_t> Emblem;  // a complete BMP file image
  std::vector<std::string> GoalLines;
};

// The header of a replay file: both sides' name, emblem and goal lines.
std::vector<uint8_t> MakeVtrHeader(const std::array<TVtrSide, 2>& sides);
// The header at the end of a recorded match: the clubs' names and emblems,
// the driver's goal lines.
std::vector<uint8_t> MakeVtrHeader(const Tteam& side0, const Tteam& side1, const Tmmain& driver);

// Only the header of a replay file (both sides' name, emblem and goal
// lines), for listing replays without reading their frames; the frames are
// not checked. FileError naming the file when it cannot be read.
std::array<TVtrSide, 2> ReadVtrHeader(const std::string& path);

// A goal line as the replay shows it, with the frame where it was scored.
struct TVtrGoal {
  int32_t Frame = 0;
  int Side = 0;
  std::string Text;
};

class TmVTR {
 public:
  std::vector<TmVTRsc> Frames;    // frame 0 first
  std::array<TVtrSide, 2> Sides;  // playback: names, emblems, goal lines

  void AddFrame(const TmVTRsc& frame) { Frames.push_back(frame); }
  int32_t FrameCount() const { return static_cast<int32_t>(Frames.size()); }
  // The last frame the viewer may show (-1 with no frame).
  int32_t LastFrame() const { return FrameCount() - 1; }

  // The whole file: header, frame count, frames.
  std::vector<uint8_t> FileImage(const std::vector<uint8_t>& header) const;
  // Writes the file atomically under the current time in milliseconds
  // (the next free number when a replay of that name exists, so no
  // recording is ever overwritten) and returns the name used.
  std::string WriteFile(const std::vector<uint8_t>& header) const;
  // Writes "data/vtr/" + name + ".vtr" atomically, replacing an older file.
  void WriteFileAs(const std::vector<uint8_t>& header, const std::string& name) const;

  // Reads "data/vtr/" + name + ".vtr"; on any error (FileError naming the
  // file) the recording held so far is unchanged.
  void ReadFile(const std::string& name);
  // Reads a replay file by path; errors as ReadFile.
  void ReadPath(const std::string& path);
  // Parses a file image (StreamError on a damaged one); all-or-nothing.
  void ParseImage(const std::vector<uint8_t>& image);

  // Every goal scored up to and including frame n, in scoring order (side
  // 0 first within one frame).
  std::vector<TVtrGoal> GoalsUpTo(int32_t n) const;
  // Position after moving `speed` frames from `position`, limited to
  // 0 .. LastFrame(); `stopped` tells whether a limit was reached.
  int32_t Advance(int32_t position, int32_t speed, bool& stopped) const;
};
