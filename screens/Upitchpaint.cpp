#include "screens/Upitchpaint.h"

#include <QImage>
#include <QTransform>
#include <string>

#include "club/Ufile.h"
#include "club/Upaths.h"
#include "screens/Clickpanel.h"
#include "screens/Uscale.h"

namespace {
constexpr int kMarkerSize = 10;

QPixmap LoadPicture(const char* name) {
  std::string path = ShippedPath(std::string("picture/") + name);
  std::vector<uint8_t> bytes = ReadWholeFile(path);
  QPixmap pm;
  if (!pm.loadFromData(bytes.data(), static_cast<uint>(bytes.size()))) throw FileError(path, "画像を読めません");
  return pm;
}
}  // namespace

void TMatchPictures::Load() {
  TMatchPictures loaded;
  loaded.turf = LoadPicture("turf.png");
  loaded.goal = LoadPicture("goal.png");
  loaded.ball = LoadPicture("ball.png");
  loaded.shadow = LoadPicture("shadow.png");
  loaded.keeper = LoadPicture("keeper.png");
  loaded.hit = LoadPicture("hit.png");
  *this = loaded;
}

QPixmap DrawPitchPicture(const TMatchPictures& pics) {
  // As many pixels as the monitor shows: the lines stay sharp at any scale.
  QPixmap pm = SharpCanvas(QSize(kMatchPictureWidth, kMatchPictureHeight));
  QPainter p(&pm);
  p.drawTiledPixmap(QRect(0, 0, kMatchPictureWidth, kMatchPictureHeight), pics.turf);
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(QPoint(49, 49), QPoint(703, 472)));    // touch and goal lines
  p.drawRect(QRect(QPoint(49, 133), QPoint(149, 386)));   // penalty areas
  p.drawRect(QRect(QPoint(605, 133), QPoint(703, 386)));  //
  p.drawEllipse(QRect(QPoint(318, 205), QPoint(432, 317)));
  p.drawLine(375, 49, 375, 472);
  p.drawPixmap(35, 240, pics.goal);
  p.drawPixmap(705, 240, pics.goal.transformed(QTransform().scale(-1, 1)));
  return pm;
}

QColor SideColour(int side) { return side == 0 ? QColor(Qt::white) : QColor(Qt::yellow); }

QPixmap EmblemMarker(const std::vector<uint8_t>& bmp, int side) {
  QImage img;
  img.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
  if (img.isNull() || img.width() < 1 || img.height() < 1) {
    img = QImage(kMarkerSize, kMarkerSize, QImage::Format_RGB32);
    img.fill(SideColour(side));
  }
  return QPixmap::fromImage(img.scaled(kMarkerSize, kMarkerSize));
}

TFrameLook MakeFrameLook(const TMatchPictures& pics, const std::vector<uint8_t>& emblem0,
                         const std::vector<uint8_t>& emblem1) {
  TFrameLook look;
  look.Pitch = DrawPitchPicture(pics);
  look.Markers = {EmblemMarker(emblem0, 0), EmblemMarker(emblem1, 1)};
  look.Ball = pics.ball;
  look.Shadow = pics.shadow;
  return look;
}

void PaintMatchFrame(QPainter& p, const TFrameLook& look, const TmVTRsc& frame) {
  p.drawPixmap(0, 0, look.Pitch);
  QFont font = GothicFont(12);
  font.setPointSize(10);
  p.setFont(font);
  const int ascent = p.fontMetrics().ascent();
  for (int s = 0; s < 2; ++s) {
    p.setPen(SideColour(s));
    for (int j = 0; j < Tmteam::kOnPitch; ++j) {
      const int x = frame.PlayerX(s, j), y = frame.PlayerY(s, j);
      p.drawPixmap(x, y, look.Markers[static_cast<std::size_t>(s)]);
      p.drawText(x, y + kMarkerSize + 1 + ascent, QString::number(frame.PlayerNumber(s, j)));
    }
  }
  p.drawPixmap(frame.BallX(), frame.BallY(), look.Shadow);
  p.drawPixmap(frame.BallX(), frame.BallY() - frame.BallLift(), look.Ball);
}
