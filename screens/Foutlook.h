// The season outlook dialog ("見通し" on the club screen): the user's next
// match rehearsed, then the rest of the season played many times on copies
// of the world, on worker threads while the window stays responsive. The
// odds show after the first runs and sharpen as more finish; キャンセル
// keeps those so far. The game is never touched: the copies are made from
// the game's saved bytes when the dialog opens. Closed and opened again on
// the same game (the same saved bytes), it shows what it had at once and
// plays only the seasons still missing.
#pragma once

#include <QDialog>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "screens/Uworkerdialog.h"
#include "world/Uoutlook.h"

class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;

// Win, draw and loss as one bar of three parts (green, grey, red), each
// labelled with its per cent where it is wide enough.
class TOddsBar : public QWidget {
 public:
  explicit TOddsBar(QWidget* parent = nullptr) : QWidget(parent) {}
  void SetOdds(double win, double draw, double loss);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  std::array<double, 3> odds_{0, 0, 0};
};

class TFoutlook : public QDialog {
  Q_OBJECT
 public:
  // division: the division shown first (1..3).
  TFoutlook(int division, QWidget* parent = nullptr);
  ~TFoutlook() override;

  // How many seasons and matches are played and the seed (0: the clock's);
  // set before Start.
  int Runs = 200;
  int RehearsalRuns = 1000;
  int MoreRuns = 200;  // what さらに…シーズン試算 adds
  uint64_t Seed = 0;
  // Takes the snapshot of the running game and starts the runs.
  void Start();
  // Every run is in (or none will come: an error closed the dialog).
  bool Finished() const { return finished_; }
  // The odds shown: those of the runs finished so far, or of all of them.
  const TSeasonOutlook* ShownOdds() const { return shown_ ? &*shown_ : nullptr; }

  QLabel* lbstatus;  // what runs now, how many are in
  QProgressBar* progress;
  QPushButton* btncancel;  // stops the runs; with odds shown they stay
  QPushButton* btnmore;    // once the runs stop: MoreRuns seasons more, on the same seed
  QPushButton* btnclose;
  QComboBox* cbdivision;
  QChartView* chart;
  QTableWidget* gridodds;
  QLabel* lbmoney;
  QLabel* lbmatch;
  QWidget* barmatch;  // win / draw / loss
  QLabel* lbscores;
  QLabel* lbscorers;
  QLabel* lbhelp;

  // Closing (閉じる, Esc, the close box) stops the runs first.
  void reject() override;
  // キャンセル: before any odds it closes the dialog; after, the runs stop
  // and the odds so far stay, labelled with their run count.
  void Cancel();
  // さらに…シーズン試算: plays MoreRuns seasons more after those shown, to the
  // odds one outlook of them all would give.
  void MoreSeasons();

 private:
  void Poll();
  void StopRuns();
  void ShowOdds();
  void ShowDivision(int division);
  void ShowRehearsal();
  void ShowStatus();
  void KeepForNextTime();
  void RunOn();

  // Written by the worker, read by Poll, under lock_.
  struct TResult {
    std::optional<TSeasonOutlook> Latest;  // the odds of the runs finished so far
    std::optional<TRehearsal> Rehearsal;
    bool RehearsalDone = false;
    std::string OutlookError;
    std::string RehearsalError;
  };
  std::atomic<int> phase_{0};  // 0 the rehearsal, 1 the seasons
  std::vector<uint8_t> body_;  // the game's bytes the runs play from
  uint64_t seed_ = 0;
  int from_ = 0;  // seasons already in when this stretch of runs began
  std::mutex lock_;
  std::unique_ptr<TResult> result_;
  TWorkerRuns runs_{this, [this] { Poll(); }};
  TRunClock clock_;  // of the phase shown
  int clockPhase_ = 0;
  QStackedWidget* pages_;
  std::vector<std::string> clubNames_;
  std::optional<TSeasonOutlook> shown_;
  bool rehearsalShown_ = false;
  bool stopped_ = false;  // the runs are over, as the last poll saw them
  bool cancelled_ = false;
  bool finished_ = false;
};
