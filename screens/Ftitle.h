// The title screen: START, LOAD, data battle, replay and quit.
#pragma once

#include <QLabel>
#include <QWidget>

class TClickPanel;

class Ttitle : public QWidget {
  Q_OBJECT
 public:
  explicit Ttitle(QWidget* parent = nullptr);

  TClickPanel* btnstart;
  TClickPanel* btnload;
  TClickPanel* btnvsload;
  TClickPanel* btnvtr;
  TClickPanel* btnend;
  QLabel* imgbg;
  QLabel* imgtitle;
  QLabel* Lbver;

  void btnstartClick();
  void btnloadClick();
  void btnvsloadClick();
  void btnvtrClick();
  void btnendClick();

 private:
  void FormCreate();
  void DrawBackground();
  void DrawTitle();
};
