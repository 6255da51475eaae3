// Tournaments of exported clubs in the window: the entrants' choice (opened
// by "大会" on the data battle's side choice) and the tournament screen —
// table, fixtures and results of a round, results matrix, scorers; the next
// match watched live on the match screen or played without a screen, a
// round or all that is left played on a worker thread with progress and
// キャンセル; the champion; save and resume; the final table as a PNG. The
// rules are world/Utournament's; these screens only show and ask. Worker
// threads play on a copy of the tournament and never touch the game's own
// generator; a watched match runs on the window's generator from the
// match's own seed and puts it back afterwards.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <thread>

#include "club/Urandom.h"
#include "world/Utournament.h"

class TClickPanel;
class Tgamemain;
class Tmatch;

// A club's emblem (a BMP file image) as a square picture of the given side;
// a plain grey square when it cannot be read.
QPixmap EmblemPicture(const std::vector<uint8_t>& bmp, int side);

// The entrants' choice: every VS file with emblem, club name and comment,
// checked to enter; the legs; the club the user follows. Also lists the
// saved tournaments to go on with.
class TFtournamentsetup : public QDialog {
  Q_OBJECT
 public:
  // over: the screens to release when the tournament begins (the side
  // choice and the title).
  TFtournamentsetup(QWidget* sideChoice, QWidget* title, QWidget* parent = nullptr);

  QListWidget* lstclubs;
  QComboBox* cblegs;
  QComboBox* cbfavourite;
  QComboBox* cbsaved;
  TClickPanel* btnstart;
  TClickPanel* btnresume;
  TClickPanel* btncancel;
  QLabel* lbinfo;

  // Checks the files with these names (without .vs) and no others.
  void CheckFiles(const QStringList& names);
  // Starts the tournament of the checked files; false (the reason shown)
  // when it cannot begin.
  bool btnstartClick();
  bool btnresumeClick();

 private:
  void FillClubs();
  void UpdateFavourites();
  void Begin(std::unique_ptr<Ttournament> t);
  QWidget* sideChoice_;
  QWidget* title_;
};

class TFtournament : public QWidget {
  Q_OBJECT
 public:
  explicit TFtournament(std::unique_ptr<Ttournament> t, QWidget* parent = nullptr);
  ~TFtournament() override;

  QLabel* lbtitle;
  QTabWidget* tabs;
  QTableWidget* gridtable;
  QTableWidget* gridmatrix;
  QTableWidget* gridscorers;
  QLabel* lbround;
  TClickPanel* btnprevround;
  TClickPanel* btnnextround;
  QTableWidget* gridround;
  QLabel* imgchampion;
  QLabel* lbchampion;
  QProgressBar* progress;
  TClickPanel* btncancel;
  QCheckBox* chkrecord;
  TClickPanel* btnwatch;
  TClickPanel* btnplay;
  TClickPanel* btnround;
  TClickPanel* btnall;
  TClickPanel* btnsave;
  TClickPanel* btnpng;
  TClickPanel* btnend;

  const Ttournament& Tournament() const { return *t_; }
  // True while matches are played on the worker thread.
  bool Busy() const { return worker_.joinable(); }

  // The next match live on the match screen (this screen hidden meanwhile).
  bool btnwatchClick();
  // The next match, the rest of its round, or every match left, without a
  // screen; the last two on the worker thread.
  void btnplayClick();
  void btnroundClick();
  void btnallClick();
  void btncancelClick();
  // Asks for a name and writes data/tournament/NAME.tnm.
  bool btnsaveClick();
  // Asks for a name and writes the table as data/tournament/NAME.png.
  bool btnpngClick();
  void btnendClick();
  // Waits for the worker thread and takes its results (tests).
  void WaitForWorker();
  // The table as a picture: title, champion, every row with its emblem.
  QImage TableImage() const;
  // Shows round r (0-based) in the fixtures list.
  void ShowRound(int r);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void Refresh();
  void FillTable();
  void FillMatrix();
  void FillScorers();
  void FillRound();
  void UpdateButtons();
  void PlayInBackground(int count);
  void PollWorker();
  void EndWatched(Tmatch& m, int k);
  void PutBackGame();
  QString Label(int entrant) const;

  std::unique_ptr<Ttournament> t_;
  int shownRound_ = 0;
  // The worker's copy and its control.
  std::unique_ptr<Ttournament> work_;
  TTournamentControl control_;
  std::thread worker_;
  std::atomic<bool> workDone_{false};
  std::string workError_;
  QTimer poll_;
  // A watched match: its world, and the game and generator put back after it.
  std::unique_ptr<Tgamemain> matchWorld_;
  Tgamemain* savedGame_ = nullptr;
  RandomState savedRandom_{};
  bool watching_ = false;
};
