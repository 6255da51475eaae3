// The player card: a borderless black panel over the calling screen with a
// figure of the player (his club's emblem as the shirt, thinner when he is
// tired, coloured by form and injury, the stronger foot in red), his data,
// ability bars for this season and the two before, his preferred kicks, a
// growth comment, his injury and his career. A click on "閉じる" or anywhere
// on the card releases it.
#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class TClickPanel;
class TStringGridex;

class Tplayerinfo : public QWidget {
  Q_OBJECT
 public:
  // A child of the calling screen, so it goes wherever that screen goes.
  explicit Tplayerinfo(QWidget* parent);

  // Fills the card with player `number` of club `club` (0 .. 23, or 99 for
  // a free agent of the market) and shows it over the caller. When there is
  // no such player the card releases itself at once.
  void ShowPlayer(int club, int number);

  QLabel* Image1;
  TStringGridex* grid2;   // data: Team, Name, Age, ...
  TStringGridex* grid;    // abilities, with the three seasons' bars
  TStringGridex* Grid1;   // preferred kicks in words
  QPlainTextEdit* Memo1;  // growth comment and injury line
  TStringGridex* grid3;   // career, newest first
  TClickPanel* btnclose;

  int Club = 0;  // the club of the player shown (99: a free agent)

  // Figure colours.
  QColor BodyColour;
  QColor RightFootColour;
  QColor LeftFootColour;
  QColor CrossColour;

  // Closes the card; the screen under it stays as it was.
  void btncloseClick();

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void gridDrawCell(QPainter& p, const QRect& rc, int col, int row);
  void ShowPicture(int club, bool freeAgent, int width);
  bool closing_ = false;
};
