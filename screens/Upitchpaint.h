// The match picture: the pitch with its lines and goals, the 22 players as
// their clubs' emblems with shirt numbers, the ball and its shadow, painted
// from one recorded frame (TmVTRsc). The live match screen paints the
// driver's snapshot with it, the replay screen a frame of the file, and a
// clip made from a replay its frames one by one, so a frame looks the same
// wherever it is shown.
//
// Loading the pictures raises FileError naming the file that is missing or
// unreadable. A club emblem that cannot be read becomes a plain marker in the
// side's colour. Painting itself never fails; a frame whose values lie off
// the picture is painted partly or not at all.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <cstdint>
#include <vector>

#include "match/Umatchmain.h"

// The match picture's size in pixels; one pixel is 16 pitch units.
inline constexpr int kMatchPictureWidth = 755;
inline constexpr int kMatchPictureHeight = 525;

// The pictures the match and replay screens draw with (data/picture/*.png).
struct TMatchPictures {
  QPixmap turf, goal, ball, shadow, keeper, hit;
  // Loads every picture; a missing or unreadable file raises FileError
  // naming it, and the pictures held before stay as they were.
  void Load();
};

// The pitch picture (755 x 525): turf, white lines, both goals.
QPixmap DrawPitchPicture(const TMatchPictures& pics);

// Side 0's colour (white) and side 1's (yellow): shirt numbers, name and
// score labels, goal lines, emblem fallback.
QColor SideColour(int side);

// A side's 10 x 10 player marker from its club emblem (a BMP file image);
// an emblem that cannot be read is a plain square in the side's colour.
QPixmap EmblemMarker(const std::vector<uint8_t>& bmp, int side);

// What a frame is painted with.
struct TFrameLook {
  QPixmap Pitch;                   // DrawPitchPicture
  std::array<QPixmap, 2> Markers;  // EmblemMarker of side 0 and side 1
  QPixmap Ball, Shadow;            // 8 x 8
};

// The look of a match between two clubs with these emblems.
TFrameLook MakeFrameLook(const TMatchPictures& pics, const std::vector<uint8_t>& emblem0,
                         const std::vector<uint8_t>& emblem1);

// Paints one frame with its top-left corner at the painter's origin, covering
// 755 x 525 pixels: the pitch; each player's marker at his frame position
// with his shirt number, 10-point, just below it in his side's colour; the
// ball's shadow on the ground and the ball lifted above it by its height.
// Needs no widget: any QPainter (a screen's back buffer, an image for a clip)
// will do. The painter's pen and font are left changed.
void PaintMatchFrame(QPainter& p, const TFrameLook& look, const TmVTRsc& frame);
