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
  QLabel* lbtime;        // the match clock
  QTextEdit* RichEdit1;  // the goal report
  // The user's match: his eleven with their abilities (gridn1) or their
  // statistics so far (gridns1, in the same place; a click on either
  // header swaps them), his bench (gridn2) and the position map (imgpos).
  QGroupBox* Groupnormal;
  TStringGridex* gridn1;
  TStringGridex* gridns1;
  TStringGridex* gridn2;
  QLabel* imgpos;
  // A data battle: each side's eleven with abilities (Gridv1, Gridv2) or
  // statistics (gridvs1, gridvs2).
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
  void SwitchBattleGrids(TStringGridex* clicked, int row);
  // One step of the match clock (what the timer does every 17 ms). The
  // match stands still while paused, and while a whistle or a goal cry
  // plays to its end; the computer's side makes its own changes.
  void TimerStep();
  // A click on the clock: the manager stops the match to think, and lets
  // it run on with the next click.
  void lbtimeClick() { paused_ = !paused_; }
  bool Paused() const { return paused_; }
  // A right click on a bench or pitch row: the bench player chosen comes
  // on for the pitch player chosen. A third change is refused with a
  // message, an empty or spent bench slot quietly.
  void BenchSwap();
  // A click on the position map at map pixel (x, y): the pitch player
  // chosen keeps that place for the rest of the match. The goalkeeper, and
  // a place outside the area a player may be sent to, are refused and the
  // map stays as it was.
  void imgposMouseDown(int x, int y);
  // Chooses the pitch player of `row` in both of the user's eleven grids,
  // so that a change picks the same man whichever grid is shown.
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
  // Closing the window: the match stands still while the question is open.
  // A data battle asks whether to keep its recording and goes back to the
  // title; the user's match asks whether to end the game.
  void closeEvent(QCloseEvent* e) override;
  // The number keys 0 .. 9 choose the pitch player of that row (0 the
  // first), so the hand can stay on the keyboard during play.
  void keyPressEvent(QKeyEvent* e) override;
  // Clicks on the clock and on the map; number keys typed in the grids
  // reach the screen.
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
