#include "screens/Uworkerdialog.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "world/Ugamemain.h"

TWorkerRuns::TWorkerRuns(QObject* owner, std::function<void()> poll) : timer_(new QTimer(owner)) {
  timer_->setInterval(100);
  QObject::connect(timer_, &QTimer::timeout, owner, std::move(poll));
}

TWorkerRuns::~TWorkerRuns() { Stop(); }

void TWorkerRuns::Start(std::function<void()> work) {
  done_ = false;
  worker_ = std::jthread([this, work = std::move(work)] {
    work();
    done_ = true;
  });
  timer_->start();
}

void TWorkerRuns::Stop() {
  Control.Cancel = true;
  if (worker_.joinable()) worker_.join();
  if (timer_) timer_->stop();
}

void TWorkerRuns::Finish() {
  timer_->stop();
  if (worker_.joinable()) worker_.join();
}

QString TimeLeftText(double elapsedSeconds, int done, int total) {
  if (done <= 0 || done >= total || !(elapsedSeconds >= 0)) return QString();
  const double left = elapsedSeconds * (total - done) / done;
  const double seconds = left < 10 ? std::max(1.0, std::ceil(left)) : std::ceil(left / 5) * 5;
  if (seconds >= 60) return QStringLiteral("残り約%1分").arg(static_cast<long long>(std::ceil(left / 60)));
  return QStringLiteral("残り約%1秒").arg(static_cast<long long>(seconds));
}

uint64_t RunsSeed(uint64_t seed) {
  return seed != 0 ? seed : static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::vector<std::string> ClubNamesOf(const Tgamemain& game) {
  std::vector<std::string> names;
  for (int c = 0; c < kClubCount; ++c) names.push_back(game.Teams[c] ? game.Teams[c]->ClubName : std::string());
  return names;
}

QLabel* DialogLabel(QWidget* parent, int x, int y, int w, int h, int px) {
  auto* l = new QLabel(parent);
  l->setGeometry(x, y, w, h);
  l->setFont(GothicFont(px));
  l->setWordWrap(true);
  return l;
}
