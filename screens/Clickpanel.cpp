#include "screens/Clickpanel.h"

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
