#include "match/Umatchlive.h"

namespace {
constexpr uint32_t kSkin = 0xFFD8A5;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kGrey = 0x808080;

TliveShape Fill(int x1, int y1, int x2, int y2, uint32_t c) {
  TliveShape s;
  s.What = TliveShape::FillRect;
  s.X1 = x1, s.Y1 = y1, s.X2 = x2, s.Y2 = y2;
  s.Pen = s.Brush = c;
  return s;
}
TliveShape Ellipse(int x1, int y1, int x2, int y2, uint32_t brush, uint32_t pen) {
  TliveShape s;
  s.What = TliveShape::Ellipse;
  s.X1 = x1, s.Y1 = y1, s.X2 = x2, s.Y2 = y2;
  s.Brush = brush;
  s.Pen = pen;
  return s;
}
TliveShape Line(int x1, int y1, int x2, int y2, uint32_t pen, int width) {
  TliveShape s;
  s.What = TliveShape::Line;
  s.X1 = x1, s.Y1 = y1, s.X2 = x2, s.Y2 = y2;
  s.Pen = pen;
  s.PenWidth = width;
  return s;
}
TliveShape Text(int x, int y, const std::string& t, int pt, bool clear = true) {
  TliveShape s;
  s.What = TliveShape::Write;
  s.X1 = x, s.Y1 = y;
  s.Text = t;
  s.FontPt = pt;
  s.ClearBrush = clear;
  s.Brush = kWhite;
  s.Pen = kBlack;
  return s;
}
TliveShape Caption(const std::string& t, int pt = 10) { return Text(0, 0, t, pt, false); }
TliveShape Patch(int team, int x1, int y1, int x2, int y2) {
  TliveShape s;
  s.What = TliveShape::Patch;
  s.ImageId = team;
  s.X1 = x1, s.Y1 = y1, s.X2 = x2, s.Y2 = y2;
  return s;
}
TliveShape Image(int id, int x, int y) {
  TliveShape s;
  s.What = TliveShape::Image;
  s.ImageId = id;
  s.X1 = x, s.Y1 = y;
  return s;
}
// A figure of a team: the colour patch as body and a round skin head.
void Figure(TliveScene& s, int team, int bx1, int by1, int bx2, int by2, int hx1, int hy1, int hx2, int hy2) {
  s.Shapes.push_back(Patch(team, bx1, by1, bx2, by2));
  s.Shapes.push_back(Ellipse(hx1, hy1, hx2, hy2, kSkin, kSkin));
}
int Other(int team) { return team == 0 ? 1 : 0; }
}  // namespace

Tmlive::Tmlive() {
  pitch_.Shapes.push_back(Fill(0, 0, kWidth, kHeight, 0x00A000));
  TliveShape sky = Fill(0, 0, 190, 100, 0x7FBFFF);
  sky.What = TliveShape::Rect;
  pitch_.Shapes.push_back(sky);
  goalView_ = pitch_;
  TliveShape goal;
  goal.What = TliveShape::Rect;
  goal.X1 = 22, goal.Y1 = 67, goal.X2 = 167, goal.Y2 = 116;
  goal.Pen = kWhite;
  goal.PenWidth = 2;
  goal.Brush = kWhite;
  goal.HatchBrush = true;
  goalView_.Shapes.push_back(goal);
}

void Tmlive::KickerFigure(TliveScene& s, int kind) const {
  if (kind == 1 || kind == 3) s.Shapes.push_back(Ellipse(49, 115, 89, 130, kGrey, kBlack));
  if (kind == 1 || kind == 2) s.Shapes.push_back(Ellipse(99, 115, 139, 130, kGrey, kBlack));
  Figure(s, Event[0], 69, 65, 119, 115, 69, 15, 119, 65);
  s.Shapes.push_back(Text(80, 25, std::to_string(Event[1]), 18));
}

void Tmlive::Show(int32_t e0, int32_t e1, int32_t e2, int32_t e3) {
  Event[0] = e0, Event[1] = e1, Event[2] = e2, Event[3] = e3;
  const std::size_t before = Scenes.size();
  if (e0 == 2) {
    GoalLineView();
    if (e2 != -1) GoalScene();
  } else if (e0 != -1) {
    switch (e2) {
      case 0: KeeperScene(); break;
      case 1: BallWonScene(); break;
      case 2:
      case 3:
        if (e3 >= 0 && e3 <= 6) OnBallScene();  // deliberately none when his decision did nothing
        break;
      default: break;
    }
  }
  // A new scene drawn exactly like one the strip holds replaces that copy.
  for (std::size_t i = before; i < Scenes.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (Scenes[j] == Scenes[i]) {
        Scenes.erase(Scenes.begin() + static_cast<std::ptrdiff_t>(j));
        --i;
        break;
      }
  while (Scenes.size() > static_cast<std::size_t>(kStripLength)) Scenes.pop_front();
}

void Tmlive::KeeperScene() {
  TliveScene s = goalView_;
  KickerFigure(s, 1);
  if (Event[3] != 0) {
    s.Shapes.push_back(Image(kHitImage, 62, 60));
    s.Caption = "おっと弾いた";
  } else {
    s.Shapes.push_back(Image(kKeeperImage, 78, 75));
    s.Caption = "しっかりキャッチ";
  }
  s.Shapes.push_back(Caption(s.Caption));
  Scenes.push_back(std::move(s));
}

void Tmlive::BallWonScene() {
  TliveScene s = pitch_;
  Figure(s, Event[0], 27, 50, 77, 100, 27, 0, 77, 50);
  s.Shapes.push_back(Text(37, 10, std::to_string(Event[1]), 18));
  s.Shapes.push_back(Ellipse(36, 94, 68, 126, kWhite, kWhite));
  s.Shapes.push_back(Ellipse(68, 90, 88, 130, kGrey, kBlack));
  Figure(s, Other(Event[0]), 88, 80, 138, 130, 138, 80, 188, 130);
  s.Shapes.push_back(Text(150, 90, std::to_string(Event[3]), 18));
  s.Caption = "ボール奪取";
  s.Shapes.push_back(Caption(s.Caption));
  Scenes.push_back(std::move(s));
}

void Tmlive::OnBallScene() {
  static const char* const kCaptions[7] = {"スペースへのパス", "前線へのフィード", "クロスボール", "シュート",
                                           "クリア",           "確実につなごう",   "ドリブル"};
  const int s2 = Event[2] - 2;  // 0 left-footed, 1 right-footed
  const int kind = Event[3];
  TliveScene s = kind == 3 ? goalView_ : pitch_;
  if (kind == 6) {
    s.Shapes.push_back(Ellipse(33 + 90 * s2, 80, 65 + 90 * s2, 112, kWhite, kWhite));
    for (int i = 0; i < 4; ++i)
      s.Shapes.push_back(Line(44 + 100 * s2 + 5 * i, 112, 54 + 80 * s2 + 5 * i, 122, kBlack, 1));
    KickerFigure(s, 1);
  } else {
    if (kind == 2) {
      TliveShape cross;
      cross.What = TliveShape::Rect;
      cross.X1 = 15 + 138 * s2, cross.Y1 = 70, cross.X2 = 35 + 138 * s2, cross.Y2 = 100;
      cross.Pen = kBlack;
      cross.Brush = kWhite;
      cross.HatchBrush = true;
      s.Shapes.push_back(cross);
    }
    s.Shapes.push_back(Ellipse(37 + 82 * s2, 98, 69 + 82 * s2, 130, kWhite, kWhite));
    KickerFigure(s, Event[2]);
    s.Shapes.push_back(Ellipse(54 + 63 * s2, 90, 69 + 63 * s2, 130, kGrey, kBlack));
    if (kind == 4) {
      int opp = Other(Event[0]);
      Figure(s, opp, 10, 90, 40, 120, 10, 60, 40, 90);
      Figure(s, opp, 155, 90, 185, 120, 155, 60, 185, 90);
      Figure(s, opp, 79, 110, 109, 140, 79, 80, 109, 110);
    } else if (kind == 5) {
      Figure(s, Event[0], 160, 100, 180, 120, 160, 80, 180, 100);
      s.Shapes.push_back(Line(160, 100, 150, 90, kSkin, 10));
    }
  }
  s.Caption = kCaptions[kind];
  s.Shapes.push_back(Caption(s.Caption));
  Scenes.push_back(std::move(s));
}

void Tmlive::GoalScene() {
  TliveScene s = pitch_;
  const int scorerTeam = Event[2] / 100;
  Figure(s, scorerTeam, 56, 75, 131, 150, 56, 0, 131, 74);
  s.Shapes.push_back(Text(80, 15, std::to_string(Event[2] % 100), 20));
  if (Event[3] == -2) {
    s.Shapes.push_back(Line(75, 20, 75, 65, 0x00FFFF, 10));
    s.Shapes.push_back(Line(111, 20, 111, 65, 0x00FFFF, 10));
  } else {
    if (Event[3] != -1) {
      s.Shapes.push_back(Ellipse(0, 92, 56, 144, kSkin, kSkin));
      s.Shapes.push_back(Text(15, 100, std::to_string(Event[3] % 100), 15));
    }
    s.Shapes.push_back(Ellipse(71, 50, 116, 60, 0xFF0000, 0xFF0000));
    s.Shapes.push_back(Line(56, 75, 0, 0, kSkin, 30));
    s.Shapes.push_back(Line(131, 75, 187, 0, kSkin, 30));
  }
  s.Caption = "ゴール";
  s.Shapes.push_back(Caption(s.Caption, 18));
  Scenes.push_back(std::move(s));
}

void Tmlive::GoalLineView() {
  TliveScene s = goalView_;
  const int x = Event[1] / 1000;
  const int y = 116 - Event[1] % 1000;
  if (y < 0)
    s.Shapes.push_back(Text(x - 5, 0, "↑", 15));
  else
    s.Shapes.push_back(Image(kBallImage, x - 3, y - 3));
  Scenes.push_back(std::move(s));
}
