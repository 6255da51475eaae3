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
#include <functional>
#include <memory>

#include "match/Umatchlive.h"
#include "match/Umatchwatch.h"
#include "screens/Upitchpaint.h"

class Tmmain;
class TmVTR;
class TStringGridex;
class TSoundPlayer;

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
  QGroupBox* Groupvs;
  TStringGridex* Gridv1;
  TStringGridex* Gridv2;
  TStringGridex* gridvs1;
  TStringGridex* gridvs2;

  // The user's next match (NextHome against NextAway), live: Prepare loads
  // pictures, line-ups and sounds without showing anything (false, with the
  // file named to the user, when one fails); Start shows the prepared match
  // and starts its clock.
  bool PrepareNormal();
  void StartNormal();
  // A data battle: club 0 against club 1 as data-battle sides, both run by
  // the computer, every step recorded; at the end the replay is written
  // and a new title shown.
  bool OpenDataBattle();
  // A data battle of a tournament: recorded only when asked, and at its
  // end OnBattleEnd is called instead of writing the replay and returning
  // to the title; the screen is released after it.
  bool RecordBattle = true;
  std::function<void(Tmatch&)> OnBattleEnd;
  bool NormalMode() const { return normal_; }
  // A left click on the header of a data-battle grid switches both sides
  // between abilities and statistics.
  void gridvs1MouseDown(TStringGridex* clicked, int row);
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
  const TmVTR* Recorder() const { return recorder_.get(); }
  // The replay file written at the end of a data battle ("" before).
  const std::string& ReplayName() const { return replayName_; }
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
  void DrawFrame();
  void UpdateGoals();
  void DrawPositionMap();
  void FillNormalGrids();
  void PlayAndWait(int k);
  bool LoadSides(const int clubs[2], bool vs);
  void FillBattleGrids();
  void PlayCues(const TmWatchedStep& step);
  void ReportResult();
  void SaveRecording();
  void Finish();
  // A data battle stopped by closing its window: back to the title, with
  // the recording so far written when `keep`.
  void StopBattle(bool keep);
  QPixmap RenderScene(const TliveScene& scene) const;

  std::unique_ptr<Tmmain> driver_;
  std::unique_ptr<TmVTR> recorder_;
  Tmlive live_;
  bool normal_ = true;
  std::string replayName_;
  std::unique_ptr<TSoundPlayer> sound_;
  TMatchPictures pics_;
  TFrameLook look_;  // the pitch (imgbg), the sides' markers, ball and shadow
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
