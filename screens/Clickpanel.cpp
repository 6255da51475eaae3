#include "screens/Clickpanel.h"

#include <QFontMetrics>
#include <QMouseEvent>

QFont GothicFont(int pixelSize, bool bold) {
  QFont f(QStringLiteral("IPAPGothic"));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  return f;
}

TClickPanel::TClickPanel(const QString& text, QWidget* parent, int x, int y, int w, int h) : QLabel(text, parent) {
  setGeometry(x, y, w, h);
  setAlignment(Qt::AlignCenter);
  setFont(GothicFont(15, true));
  setCursor(Qt::PointingHandCursor);
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(255, 251, 240));
  p.setColor(QPalette::WindowText, Qt::black);
  setPalette(p);
}

void TClickPanel::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && isEnabled()) emit clicked();
  QLabel::mouseReleaseEvent(e);
}

// Both names share the line from `left` to `right`: the largest face up to
// 19 pixels that shows both in full, side by side. Names too long even at
// the smallest face are cut at the end (the label keeps the whole name,
// which its tooltip shows).
void FitSideNames(QLabel* name0, QLabel* name1, int left, int right, int y) {
  constexpr int kGap = 6, kMinPx = 10;
  const int room = right - left - kGap;
  QLabel* labels[2] = {name0, name1};
  int px = 19;
  for (; px > kMinPx; --px) {
    QFontMetrics fm(GothicFont(px));
    if (fm.horizontalAdvance(name0->text()) + fm.horizontalAdvance(name1->text()) <= room) break;
  }
  int w[2];
  for (int s = 0; s < 2; ++s) {
    labels[s]->setFont(GothicFont(px));
    labels[s]->setToolTip(labels[s]->text());
    labels[s]->adjustSize();
    w[s] = labels[s]->width();
  }
  if (w[0] + w[1] > room) {
    // Each keeps its own width when it fits in half the line.
    const int half = room / 2;
    if (w[0] > half && w[1] > half)
      w[0] = w[1] = half;
    else if (w[0] > half)
      w[0] = room - w[1];
    else
      w[1] = room - w[0];
  }
  for (int s = 0; s < 2; ++s) labels[s]->resize(w[s], labels[s]->height());
  name0->move(left, y);
  name1->move(right - w[1], y);
}
