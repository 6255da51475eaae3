// What the dialogs share whose runs play on a worker thread while the
// window stays responsive (the season outlook, the assistant): the worker
// itself with its progress counters and cancel flag, the poll that shows
// its progress on the window's thread, the seed and the club names taken
// when the runs start, and the dialogs' labels. Nothing here throws: the
// work's own exceptions are the work's to catch, and the worker is always
// stopped and joined before it goes.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "world/Uoutlook.h"

class QLabel;
class QTimer;
class QWidget;
class Tgamemain;

class TWorkerRuns {
 public:
  // `poll` is called on the window's thread every 100 ms from Start until
  // Stop or Finish; the timer is a child of `owner`.
  TWorkerRuns(QObject* owner, std::function<void()> poll);
  // Stops the runs. A dialog whose work writes its own members stops them
  // in its destructor first, before those members go.
  ~TWorkerRuns();
  TWorkerRuns(const TWorkerRuns&) = delete;
  TWorkerRuns& operator=(const TWorkerRuns&) = delete;

  // Whether a worker was started and not yet joined.
  bool Started() const { return worker_.joinable(); }
  // Runs `work` on the worker thread and starts polling; Done() turns true
  // when it has returned.
  void Start(std::function<void()> work);
  bool Done() const { return done_; }
  // Asks the runs to stop, waits for the worker and stops polling.
  void Stop();
  // After Done(): joins the worker (it has returned) and stops polling.
  void Finish();

  // The work's progress (Done, Total) and the cancel flag it obeys.
  TOutlookControl Control;

 private:
  std::atomic<bool> done_{false};
  std::jthread worker_;
  QTimer* timer_;
};

// How long the rest of a stretch of runs will take at the pace of those in
// so far, `done` of `total` in `elapsedSeconds`, as the dialogs show it:
// "残り約N秒" (rounded up; to five seconds from ten on) or, from a minute
// on, "残り約N分" (rounded up). Empty before the first run is in and once
// all are.
QString TimeLeftText(double elapsedSeconds, int done, int total);

// The clock of one stretch of runs (the outlook's rehearsal, then its
// seasons; the assistant's matches), for TimeLeftText.
class TRunClock {
 public:
  void Restart() { start_ = std::chrono::steady_clock::now(); }
  // `status` followed by the time left, when there is one to say.
  QString WithTimeLeft(const QString& status, int done, int total) const {
    const QString left =
        TimeLeftText(std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(), done, total);
    return left.isEmpty() ? status : status + QStringLiteral("　") + left;
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The runs' seed: `seed` itself, or when 0 the clock's (never a draw of the
// game's generator).
uint64_t RunsSeed(uint64_t seed);
// The names of every club of `game` by index, for a worker's results shown
// after the game may have moved on ("" for a missing club).
std::vector<std::string> ClubNamesOf(const Tgamemain& game);
// A word-wrapped label at (x, y), w × h, in the Gothic font of `px` pixels.
QLabel* DialogLabel(QWidget* parent, int x, int y, int w, int h, int px);
