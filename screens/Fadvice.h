// The assistant dialog ("アシスタント" on the club screen in match weeks):
// candidate line-ups for the user's next match, each rehearsed the same
// number of times on the same seeds in worker threads, shown best first
// with their odds; a chosen one is given to the club by the tactics
// screen's own steps. The game is only changed by that button: the runs
// play on copies made from the game's bytes when the dialog opens. Opened
// again before anything in the game has changed, it shows its last advice
// at once.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "screens/Uworkerdialog.h"
#include "world/Uadvice.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class TFadvice : public QDialog {
  Q_OBJECT
 public:
  explicit TFadvice(QWidget* parent = nullptr);
  ~TFadvice() override;

  int Runs = 500;     // rehearsals per candidate; set before Start
  uint64_t Seed = 0;  // 0: the clock's
  void Start();
  bool Finished() const { return finished_; }
  const TAdvice* Advice() const { return advice_ ? &*advice_ : nullptr; }

  QLabel* lbmatch;
  QLabel* lbstatus;
  QProgressBar* progress;
  QTableWidget* gridadvice;  // one row a candidate, best first
  QLabel* lbhelp;
  QPushButton* btncancel;
  QPushButton* btnapply;  // the selected row's line-up to the club
  QPushButton* btnclose;

  // Gives the club candidate `row` of the table; false (with a message) if
  // it can no longer be made.
  bool ApplyRow(int row);
  // Closing (キャンセル, 閉じる, Esc, the close box) stops the runs first.
  void reject() override;

 signals:
  void Applied();

 private:
  void Poll();
  void StopRuns();
  void ShowAdvice();

  std::optional<TAdvice> result_;  // written by the worker before it is done
  std::string error_;
  std::optional<TAdvice> advice_;
  std::vector<uint8_t> body_;  // the game's bytes the advice is of
  uint64_t seed_ = 0;
  TWorkerRuns runs_{this, [this] { Poll(); }};
  TRunClock clock_;  // from the first match on
  bool clockStarted_ = false;
  std::vector<std::string> clubNames_;
  bool finished_ = false;
};
