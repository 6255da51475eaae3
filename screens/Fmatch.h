// The match screen: one match shown live while the driver plays it, one
// step every 17 ms, with the goal report, highlight scenes, sounds, and the
// user's substitutions and position changes.
#pragma once

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>

#include "match/Umatchlive.h"

class Tmmain;
class TStringGridex;
class TSoundPlayer;

// The pictures the match screen and the live scenes draw with.
struct TMatchPictures {
  QPixmap turf, goal, ball, shadow, keeper, hit;
  // Loads data/picture/*.png; a missing file raises FileError naming it.
  void Load();
};

class Tmatch : public QWidget {
  Q_OBJECT
 public:
  explicit Tmatch(QWidget* parent = nullptr);
  ~Tmatch() override;

  QLabel* lbtname0;
  QLabel* lbtname1;
  QLabel* lbgoal0;
  QLabel* lbgoal1;
  QLabel* lbtime;
  QTextEdit* RichEdit1;
  QGroupBox* Groupnormal;
  TStringGridex* gridn1;
  TStringGridex* gridns1;
  TStringGridex* gridn2;
  QLabel* imgpos;

  // Shows the user's next match (NextHome against NextAway) live.
  bool OpenNormal();
  // One step of the match clock (what the timer does every 17 ms).
  void TimerStep();
  void lbtimeClick() { paused_ = !paused_; }
  bool Paused() const { return paused_; }
  // Substitutes the selected bench row for the selected pitch row.
  void BenchSwap();
  // A click on the position map at map pixel (x, y).
  void imgposMouseDown(int x, int y);
  void SelectPitchRow(int row);

  Tmmain* Driver() { return driver_.get(); }
  const Tmlive& Live() const { return live_; }
  int UserSide() const { return userSide_; }
  // Tests run the clock without waiting for sounds.
  bool WaitForSounds = true;

 protected:
  void paintEvent(QPaintEvent*) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void FitClubNames();
  void DrawPitchBackground();
  void DrawFrame();
  void UpdateGoals();
  void DrawPositionMap();
  void FillNormalGrids();
  void PlaySoundEvent();
  void PlayAndWait(int k);
  void ReportResult();
  void Finish();
  QPixmap RenderScene(const TliveScene& scene) const;

  std::unique_ptr<Tmmain> driver_;
  Tmlive live_;
  std::unique_ptr<TSoundPlayer> sound_;
  TMatchPictures pics_;
  std::array<QPixmap, 2> emblems_;
  QPixmap imgbg_;
  QPixmap imgura_;
  std::deque<QPixmap> strip_;
  QTimer timer_;
  QElapsedTimer clock_;
  qint64 holdUntil_ = 0;
  int userSide_ = 0;
  bool paused_ = true;
  bool finished_ = false;
  int shownGoals_[2] = {0, 0};
};
