// The clickable panel every screen uses as a button: cream face, bold
// 15-pixel text, hand cursor.
#pragma once

#include <QLabel>

class TClickPanel : public QLabel {
  Q_OBJECT
 public:
  TClickPanel(const QString& text, QWidget* parent, int x, int y, int w, int h);

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The face used by every screen: IPAPGothic at the given pixel size.
QFont GothicFont(int pixelSize, bool bold = false);
