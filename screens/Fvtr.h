// The replay screen: lists the recorded data battles in data/vtr and plays
// one back, forwards or backwards at the chosen speed, with clock, score,
// goal list, the 22 players and the ball.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <array>
#include <vector>

#include "match/Uvtr.h"
#include "screens/Fanalyse.h"
#include "screens/Uclip.h"
#include "screens/Upitchpaint.h"

class TClickPanel;

// The replay's speed buttons.
enum class TSpeedButton { Slower, Stop, Faster };

class Tvtr : public QWidget {
  Q_OBJECT
 public:
  explicit Tvtr(QWidget* parent = nullptr);
  ~Tvtr() override;

  QLabel* lbtname0;
  QLabel* lbtname1;
  QLabel* lbgoal0;
  QLabel* lbgoal1;
  QLabel* lbtime;
  QTextEdit* RichEdit1;
  QListWidget* ListBox;
  QPushButton* btnchange1;  // "＜": one frame per step slower (or backwards)
  QPushButton* btnchange2;  // "■": stop
  QPushButton* btnchange3;  // "＞": one frame per step faster
  TClickPanel* btnend;
  TClickPanel* btnanalyse;  // "分析": the analysis of the replay chosen
  TClickPanel* btnclip;     // "動画保存": a goal or the moment shown as an animated picture
  QTimer* Timer;            // one playback step every 17 ms

  // Loads the selected file and shows its first frame; a file that cannot
  // be read is reported with its name and the list stays as it was.
  void ListBoxClick();
  // The speed buttons: "＜" one frame per step slower (below zero the
  // replay runs backwards), "■" stops, "＞" one frame per step faster.
  void SpeedClick(TSpeedButton button);
  // One playback step: moves by the speed, stops at either end.
  void TimerIdle();
  // Shows frame n (one second of match time): clock, score, the goals
  // scored so far and the picture; a frame outside the replay is ignored.
  void ShowFrame(int n);
  // "終了" (and closing the window): back to a new title with a fresh
  // game, once however often it is asked.
  void btnendClick();
  // Opens the analysis dialog of the replay chosen (nothing without one).
  void btnanalyseClick();
  TFanalyse* AnalysisDialog() const { return analyse_; }
  // Offers the clips: the moment shown or a goal, as WebP or GIF.
  void btnclipClick();
  // Writes the clip of goal `goal` (0-based), or of the moment shown when
  // -1, to the clips folder and tells the user where; the path, or empty
  // when it failed (the reason shown).
  QString SaveClip(int goal, TClipFormat format);

  int Position() const { return position_; }
  int Speed() const { return speed_; }
  const TmVTR& Player() const { return player_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void FillList();
  void ShowGoals(int n);

  TMatchPictures pics_;
  TFrameLook look_;  // the pitch (imgbg), the sides' markers, ball and shadow
  QPixmap imgura_;
  TmVTR player_;
  std::vector<TVtrGoal> shownGoals_;
  int position_ = -1;
  int speed_ = 0;
  int drawn_ = -1;
  bool ending_ = false;
  QPointer<TFanalyse> analyse_;
};
