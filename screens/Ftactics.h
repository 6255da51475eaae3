// The tactics screen: one club's squad, its sixteen line-up slots and the
// starters' places on a picture of the club's own half. The user's club
// (club 0) is edited here — slots, places, the automatic choice, position
// files. Slots and places reach the club only through OK ("戻る" drops
// them); "自動選抜" is different: the club chooses its line-up itself at
// once, and the screen then shows that choice. Any other club can be
// rearranged on the screen but the club itself is never touched. Closing
// the screen shows the screen that opened it again.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include "world/Utactics.h"

class QGroupBox;
class QLabel;
class TClickPanel;
class TStringGridex;

class Ttactics : public QWidget {
  Q_OBJECT
 public:
  // `caller` (the club screen) is shown again when this screen goes.
  explicit Ttactics(QWidget* caller = nullptr);
  ~Ttactics() override;

  // Fills the screen from the club and shows it; OK and the position-file
  // group only for the user's club.
  void OpenForClub(int club);

  QLabel* imgpitch;
  QLabel* imgteam;
  TStringGridex* gridmatchmen;
  TStringGridex* gridplayer;
  QGroupBox* GBmyteam;
  TClickPanel* btnpossave;
  TClickPanel* btnposload;
  TClickPanel* btnautoselect;
  TClickPanel* btnsave;
  TClickPanel* btnback;

  Ttacticsboard Board;
  // Without a display the file dialogs answer this (empty = cancelled); a
  // name without an extension gets ".dat" as the save dialog gives it.
  QString AutoFile;

  // The selected squad player into the selected slot.
  void AssignPlayer();
  // A click on the pitch picture places the selected field player.
  void imgpitchMouseDown(int x, int y);
  void DrawPositions();
  void DrawClubCard();
  // "OK": the board goes to the user's club (slots, places, then the club
  // orders its line-up); refused with a message while a starter is missing.
  void btnsaveClick();
  // "戻る": closes without touching the club.
  void btnbackClick();
  // "自動選抜": the user's club picks its line-up at once, injured players
  // left out, and the screen is filled again from it.
  void btnautoselectClick();
  // "SAVE" / "LOAD" of a position file: the eleven places only; a loaded
  // file reaches the club through OK like any other change.
  void btnpossaveClick();
  void btnposloadClick();
  // Selects in the other grid the row of the player selected in `from`.
  void LinkGrids(TStringGridex* from);
  // The player card of a squad row, over this screen.
  void OpenPlayerCard(int squadRow);

  // The club card's colours: A the emblem's top-left pixel, B the first
  // pixel on its diagonal that differs (black on white, else white).
  static void CardColours(const QImage& emblem, QColor& a, QColor& b);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  // The close box (or Alt+F4) is "戻る": the screen below comes back.
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void DrawHalfPitch();
  void RefreshGrids();
  QString ChoosePositionFile(bool save);
  QPixmap imgbg_;
  QPixmap imgsiba_;
  QPointer<QWidget> caller_;
};
