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

// The two sides' name labels of the match and replay screens on one line
// from x `left` to `right` at `y`: side 0 from the left, side 1 ending at
// the right, never overlapping.
void FitSideNames(QLabel* name0, QLabel* name1, int left, int right, int y);
