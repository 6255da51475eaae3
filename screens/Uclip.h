// Goal clips as animated pictures to share: the frames of a clip (see
// match/Uvtrclip) painted by the match painter (PaintMatchFrame, the replay
// screen's own) under a strip with both clubs, the score and the clock, and
// encoded with the Debian libraries: animated WebP by libwebp's animation
// encoder (the first picture lossless, the later ones storing only what
// changed, lossy at quality 75) and GIF by giflib (a 255-colour palette made
// from the first picture, unchanged pixels transparent, so only what moves is
// stored). The pictures are painted one at a time as they are encoded.
//
// Failures: a picture file of the game that cannot be loaded, an encoder
// error or a file that cannot be written raise FileError naming the file;
// nothing is written then. A clip is written whole (a temporary file renamed)
// and never over another file.
//
// The same export runs without a window: `vantorel --export-clip FILE.vtr
// (--goal N | --at MM:SS) [--gif]` (the game's program on Qt's offscreen
// platform) prints the path written.
#pragma once

#include <QImage>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "match/Uvtrclip.h"
#include "screens/Upitchpaint.h"

enum class TClipFormat { WebP, Gif };

inline constexpr int kClipStripHeight = 28;
inline constexpr int kClipWidth = kMatchPictureWidth;
inline constexpr int kClipHeight = kMatchPictureHeight + kClipStripHeight;

// One picture of a clip (kClipWidth x kClipHeight): the strip with the
// clubs, the frame's score and clock on top, the painted frame below it.
QImage PaintClipPicture(const TFrameLook& look, const TmVTR& replay, int32_t frame);

// The clip's pictures encoded as a file image.
std::vector<uint8_t> EncodeClip(const TFrameLook& look, const TmVTR& replay, const TVtrClip& clip, TClipFormat format);

// Paints, encodes and writes the clip of a replay (its file name without
// ".vtr") to ClipPath; returns the path written.
std::string ExportClip(const TmVTR& replay, const std::string& replayName, const TVtrClip& clip, TClipFormat format);

// The command line's export (arguments after the program's name): 0 with
// the path on standard output, 2 with one line on standard error.
bool IsClipCommand(int argc, char** argv);
int RunClipCommand(const QStringList& args);
