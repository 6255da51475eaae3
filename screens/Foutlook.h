// The season outlook dialog ("見通し" on the club screen): the rest of the
// season played many times on copies of the world and the user's next match
// rehearsed, on worker threads while the window stays responsive. The game
// is never touched: the copies are made from the game's saved bytes when
// the dialog opens.
#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "world/Uoutlook.h"

class QChartView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTimer;

class TFoutlook : public QDialog {
  Q_OBJECT
 public:
  // division: the division shown first (1..3).
  TFoutlook(int division, QWidget* parent = nullptr);
  ~TFoutlook() override;

  // How many seasons and matches are played; set before Start.
  int Runs = 200;
  int RehearsalRuns = 1000;
  // Takes the snapshot of the running game and starts the runs.
  void Start();
  bool Finished() const { return finished_; }

  QProgressBar* progress;
  QPushButton* btncancel;
  QComboBox* cbdivision;
  QChartView* chart;
  QTableWidget* gridodds;
  QLabel* lbmoney;
  QLabel* lbmatch;
  QWidget* barmatch;  // win / draw / loss
  QLabel* lbscores;
  QLabel* lbscorers;

  // Closing (キャンセル, 閉じる, Esc, the close box) stops the runs first.
  void reject() override;

 private:
  void Poll();
  void StopRuns();
  void ShowDivision(int division);
  void ShowRehearsal();

  struct TResult {
    std::optional<TSeasonOutlook> Outlook;
    std::optional<TRehearsal> Rehearsal;
    std::string OutlookError;
    std::string RehearsalError;
  };
  TOutlookControl control_;
  std::atomic<bool> done_{false};
  std::unique_ptr<TResult> result_;
  std::jthread worker_;
  QTimer* timer_;
  QStackedWidget* pages_;
  std::vector<std::string> clubNames_;
  bool finished_ = false;
};
