// Draws the game's pictures (turf, goal, ball and shadow, keeper and hit
// pictures, flame, growth icons) into OUT_DIR/picture and the program's icon
// into OUT_DIR/icon as PNG files. Everything is drawn from code with a fixed
// private generator, so the files come out the same byte for byte on every
// run.
//
//   vantorel-picgen [SRC_DIR] OUT_DIR
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// A tiny fixed generator for the turf's grain (not the game's generator).
struct Grain {
  uint32_t s = 12345;
  int Next(int n) {
    s = s * 1103515245u + 12345u;
    return static_cast<int>((s >> 16) % static_cast<uint32_t>(n));
  }
};

// Drawn premultiplied: the painter then blends in whole numbers only. Qt's
// own conversion to straight alpha takes a processor-dependent path (its
// vector reciprocal rounds differently on different makers' chips), so the
// files would differ by one in a few edge pixels from machine to machine;
// Save converts with exact integer division instead.
QImage NewImage(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

// Mown grass: soft light and dark bands with a fine grain.
QImage Turf() {
  QImage img(105, 105, QImage::Format_RGB32);
  Grain g;
  for (int y = 0; y < 105; ++y) {
    for (int x = 0; x < 105; ++x) {
      bool light = (x / 35) % 2 == 0;
      int base = light ? 150 : 138;
      int n = g.Next(15) - 7;
      img.setPixel(x, y, qRgb(30 + n / 2, base + n, 40 + n / 2));
    }
  }
  return img;
}

// The goal seen from above: posts, bar shadow and the net behind.
QImage Goal() {
  QImage img = NewImage(15, 46);
  QPainter p(&img);
  p.setPen(QPen(QColor(220, 220, 220), 1));
  for (int x = 2; x < 15; x += 3) p.drawLine(x, 1, x, 44);
  for (int y = 1; y < 46; y += 3) p.drawLine(1, y, 14, y);
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(14, 0, 14, 45);
  p.drawLine(0, 1, 14, 1);
  p.drawLine(0, 44, 14, 44);
  return img;
}

QImage Ball() {
  QImage img = NewImage(8, 8);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 0.8));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(0.5, 0.5, 7, 7));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  p.drawEllipse(QRectF(3, 3, 2.2, 2.2));
  return img;
}

QImage Shadow() {
  QImage img = NewImage(8, 8);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 40, 0, 150));
  p.drawEllipse(QRectF(0.5, 2, 7, 4.5));
  return img;
}

// Two gloves closing round the ball.
QImage Keeper() {
  QImage img = NewImage(32, 32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(8, 9, 16, 16));
  p.setBrush(QColor(255, 140, 0));
  p.drawRoundedRect(QRectF(1, 6, 9, 18), 4, 4);
  p.drawRoundedRect(QRectF(22, 6, 9, 18), 4, 4);
  p.setPen(QPen(QColor(160, 70, 0), 1));
  for (int i = 0; i < 3; ++i) {
    p.drawLine(QPointF(3, 9 + 4 * i), QPointF(9, 9 + 4 * i));
    p.drawLine(QPointF(23, 9 + 4 * i), QPointF(29, 9 + 4 * i));
  }
  return img;
}

// A bright burst where the ball is punched away.
QImage Hit() {
  QImage img = NewImage(64, 64);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath star;
  for (int i = 0; i < 24; ++i) {
    double a = i * M_PI / 12;
    double r = (i % 2 == 0) ? 31 : 15;
    QPointF pt(32 + r * std::cos(a), 32 + r * std::sin(a));
    if (i == 0)
      star.moveTo(pt);
    else
      star.lineTo(pt);
  }
  star.closeSubpath();
  p.setPen(QPen(QColor(200, 60, 0), 2));
  p.setBrush(QColor(255, 230, 60));
  p.drawPath(star);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(24, 24, 16, 16));
  return img;
}

QImage Flame() {
  QImage img = NewImage(32, 32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath outer;
  outer.moveTo(16, 31);
  outer.cubicTo(2, 28, 3, 14, 11, 4);
  outer.cubicTo(12, 12, 16, 13, 17, 1);
  outer.cubicTo(27, 10, 31, 25, 16, 31);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(240, 70, 0));
  p.drawPath(outer);
  QPainterPath inner;
  inner.moveTo(16, 30);
  inner.cubicTo(9, 28, 10, 19, 15, 13);
  inner.cubicTo(17, 19, 22, 21, 16, 30);
  p.setBrush(QColor(255, 210, 40));
  p.drawPath(inner);
  return img;
}

// Growth phase v (1..5): an arrow from steep rise to steep fall, in colours
// from fresh green to dull red.
QImage GrowthIcon(int v) {
  QImage img = NewImage(14, 14);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  static const QColor kColours[5] = {QColor(0, 170, 60), QColor(60, 160, 0), QColor(230, 150, 0), QColor(220, 90, 0),
                                     QColor(180, 30, 30)};
  static const double kAngles[5] = {-90, -45, 0, 45, 90};
  p.translate(7, 7);
  p.rotate(kAngles[v - 1]);
  p.setPen(QPen(kColours[v - 1], 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(-5, 0), QPointF(4, 0));
  QPainterPath head;
  head.moveTo(6, 0);
  head.lineTo(1, -4);
  head.lineTo(1, 4);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(kColours[v - 1]);
  p.drawPath(head);
  return img;
}

// The program's icon at size x size pixels, drawn at every size rather than
// scaled: a rounded green pitch with its halfway line and centre circle,
// and a ball on the centre spot.
QImage AppIcon(int size) {
  QImage img = NewImage(size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 256.0, size / 256.0);
  // the pitch, lighter and darker bands
  QPainterPath pitch;
  pitch.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
  p.setClipPath(pitch);
  for (int band = 0; band < 6; ++band) {
    p.fillRect(QRectF(8 + band * 40, 8, 40, 240), band % 2 == 0 ? QColor(40, 150, 55) : QColor(30, 132, 46));
  }
  p.setClipping(false);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(20, 90, 30), 4));
  p.drawPath(pitch);
  // the lines
  p.setPen(QPen(QColor(245, 250, 245), 9));
  p.drawLine(QPointF(128, 12), QPointF(128, 244));
  p.drawEllipse(QPointF(128, 128), 70, 70);
  // the ball: a white disc with a dark centre patch and five around it
  const QPointF c(128, 128);
  const double r = 46;
  p.setPen(QPen(QColor(30, 30, 30), 5));
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(c, r, r);
  QPainterPath inside;
  inside.addEllipse(c, r - 2, r - 2);
  p.setClipPath(inside);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  auto pentagon = [&](QPointF centre, double radius, double turn) {
    QPolygonF poly;
    for (int i = 0; i < 5; ++i) {
      const double a = turn + i * 2 * M_PI / 5;
      poly << QPointF(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a));
    }
    p.drawPolygon(poly);
  };
  pentagon(c, 16, -M_PI / 2);
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + M_PI / 5 + i * 2 * M_PI / 5;
    pentagon(QPointF(c.x() + 44 * std::cos(a), c.y() + 44 * std::sin(a)), 15, a);
  }
  return img;
}

// Straight alpha from premultiplied, rounded to nearest, the same on every
// machine.
QImage Unpremultiplied(const QImage& pm) {
  QImage out(pm.size(), QImage::Format_ARGB32);
  for (int y = 0; y < pm.height(); ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(pm.constScanLine(y));
    auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < pm.width(); ++x) {
      const QRgb p = src[x];
      const int a = qAlpha(p);
      auto straight = [a](int c) { return a == 0 ? 0 : std::min(255, (c * 255 + a / 2) / a); };
      dst[x] = qRgba(straight(qRed(p)), straight(qGreen(p)), straight(qBlue(p)), a);
    }
  }
  return out;
}

bool Save(const QImage& img, const QString& dir, const QString& name) {
  QString path = dir + "/" + name;
  const QImage file = img.format() == QImage::Format_ARGB32_Premultiplied ? Unpremultiplied(img) : img;
  if (!file.save(path, "PNG")) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  // The data check passes the sources' directory first; pictures need none.
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: vantorel-picgen [SRC_DIR] OUT_DIR\n");
    return 2;
  }
  QString dir = QString::fromLocal8Bit(argv[argc - 1]) + "/picture";
  QDir().mkpath(dir);
  bool ok = Save(Turf(), dir, "turf.png") && Save(Goal(), dir, "goal.png") && Save(Ball(), dir, "ball.png") &&
            Save(Shadow(), dir, "shadow.png") && Save(Keeper(), dir, "keeper.png") && Save(Hit(), dir, "hit.png") &&
            Save(Flame(), dir, "flame.png");
  for (int v = 1; v <= 5 && ok; ++v) ok = Save(GrowthIcon(v), dir, QString("grow%1.png").arg(v));
  // The icon of the menu entry and the window, one file per size of the
  // icon theme's folders.
  const QString iconDir = QString::fromLocal8Bit(argv[argc - 1]) + "/icon";
  QDir().mkpath(iconDir);
  for (int size : {32, 48, 64, 128, 256}) {
    if (ok) ok = Save(AppIcon(size), iconDir, QString("vantorel-%1.png").arg(size));
  }
  return ok ? 0 : 1;
}
