// Live highlight scenes: the match driver's per-tick event record becomes a
// small cartoon (a save, a won ball, a goal, a pass, a shot) with a caption.
// The last four stay in a strip under the pitch. The scenes are kept as
// lists of drawing commands on a 188 x 145 picture, which the match screen
// paints; nothing here changes the match.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// One drawing command. Rectangles are (X1, Y1)-(X2, Y2) in picture pixels,
// ellipses are given by their bounding rectangle; colours are 0xRRGGBB.
struct TliveShape {
  enum Kind : int32_t {
    FillRect,  // filled rectangle, pen = brush
    Rect,      // rectangle with Pen outline and Brush fill
    Ellipse,   // ellipse with Pen outline and Brush fill
    Line,      // line from (X1, Y1) to (X2, Y2)
    Write,     // Text at (X1, Y1), FontPt points, on Brush unless ClearBrush
    Image,     // picture ImageId with its top-left at (X1, Y1)
    Patch,     // team ImageId's colour patch stretched over the rectangle
  };
  Kind What = FillRect;
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  uint32_t Pen = 0;
  uint32_t Brush = 0;
  int32_t PenWidth = 1;
  bool ClearBrush = false;  // no fill
  bool HatchBrush = false;  // cross-hatched fill in Brush colour
  int32_t FontPt = 10;
  int32_t ImageId = 0;  // Image: 0 ball, 1 keeper, 2 hit; Patch: team 0 or 1
  std::string Text;
  bool operator==(const TliveShape&) const = default;
};

struct TliveScene {
  std::vector<TliveShape> Shapes;
  std::string Caption;  // the scene's caption, for tests and screen readers
  bool operator==(const TliveScene&) const = default;
};

class Tmlive {
 public:
  static constexpr int kWidth = 188;
  static constexpr int kHeight = 145;
  static constexpr int kStripLength = 4;
  enum ImageId : int32_t { kBallImage = 0, kKeeperImage = 1, kHitImage = 2 };

  Tmlive();

  int32_t Event[4] = {-1, -1, -1, -1};
  std::deque<TliveScene> Scenes;  // oldest first, at most four after Show

  // Draws the scene(s) for the driver's event record and trims the strip.
  // A scene drawn exactly like one the strip holds (a dribble that goes on,
  // tick after tick) replaces that copy: the strip never shows one twice.
  void Show(int32_t e0, int32_t e1, int32_t e2, int32_t e3);

  // The base pictures: the pitch and the pitch with a goal.
  const TliveScene& PitchBase() const { return pitch_; }
  const TliveScene& GoalBase() const { return goalView_; }

 private:
  void KeeperScene();
  void BallWonScene();
  void OnBallScene();
  void GoalScene();
  void GoalLineView();
  void KickerFigure(TliveScene& s, int kind) const;
  TliveScene pitch_;
  TliveScene goalView_;
};
