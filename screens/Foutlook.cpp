#include "screens/Foutlook.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "club/Ufunction.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Uapp.h"
#include "screens/Uworkerdialog.h"
#include "world/Ugamemain.h"

namespace {

QString Percent(double p) { return QString::number(p * 100.0, 'f', 1) + QStringLiteral("%"); }

// "12.5%" over "±3.1": the odds of `runs` runs and their 95 % margin.
QString PercentWithMargin(double p, int runs) {
  return Percent(p) + QStringLiteral("\n±") + QString::number(OddsMargin(p, runs) * 100.0, 'f', 1);
}

// What the dialog had when it was last closed, on the window's thread only:
// opened again on the same game it goes on from there.
struct TKeptOutlook {
  std::vector<uint8_t> Body;
  uint64_t Seed = 0;
  int RehearsalRuns = 0;
  std::optional<TRehearsal> Rehearsal;
  std::string RehearsalError;
  std::optional<TSeasonOutlook> Odds;
};
TKeptOutlook& Kept() {
  static TKeptOutlook kept;
  return kept;
}

// Position 1 green through 8 red.
QColor PlaceColour(int place) {
  const double t = place / 7.0;
  return QColor::fromHsvF((1.0 - t) * 0.33, 0.65, 0.9);
}

}  // namespace

void TOddsBar::SetOdds(double win, double draw, double loss) {
  odds_ = {win, draw, loss};
  update();
}

void TOddsBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  static const QColor colours[3] = {QColor(70, 160, 80), QColor(170, 170, 170), QColor(200, 70, 60)};
  static const char* names[3] = {"勝", "分", "負"};
  // A part narrower than this (in pixels) has no room for its label.
  constexpr double kLabelledWidth = 48;
  double x = 0;
  for (int i = 0; i < 3; ++i) {
    const double w = odds_[i] * width();
    QRectF part(x, 0, w, height());
    p.fillRect(part, colours[i]);
    if (w > kLabelledWidth) {
      p.setPen(Qt::white);
      p.drawText(part, Qt::AlignCenter, QString::fromUtf8(names[i]) + QStringLiteral(" ") + Percent(odds_[i]));
    }
    x += w;
  }
  p.setPen(Qt::black);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

TFoutlook::TFoutlook(int division, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("見通し"));
  setFont(GothicFont(12));
  setFixedSize(860, 640);
  pages_ = new QStackedWidget(this);
  pages_->setGeometry(0, 0, 860, 592);

  // Page 0: until the first odds are in.
  auto* waiting = new QWidget;
  DialogLabel(waiting, 180, 250, 500, 30, 16)
      ->setText(QStringLiteral("シーズンの残りと次の試合を何度も試しています……"));
  pages_->addWidget(waiting);

  // Page 1: the odds.
  auto* odds = new QWidget;
  DialogLabel(odds, 16, 10, 80, 24, 14)->setText(QStringLiteral("表示DIV"));
  cbdivision = new QComboBox(odds);
  cbdivision->setGeometry(96, 8, 80, 26);
  for (int d = 1; d <= kDivisionCount; ++d) cbdivision->addItem(QString::number(d), d);
  cbdivision->setCurrentIndex(std::clamp(division, 1, kDivisionCount) - 1);
  connect(cbdivision, &QComboBox::currentIndexChanged, this, [this](int i) { ShowDivision(i + 1); });
  lbmoney = DialogLabel(odds, 200, 10, 640, 24, 14);

  chart = new QChartView(odds);
  chart->setGeometry(8, 40, 470, 360);
  chart->setRenderHint(QPainter::Antialiasing);

  gridodds = new QTableWidget(kClubsPerDivision, 5, odds);
  gridodds->setGeometry(486, 44, 366, 316);
  gridodds->setHorizontalHeaderLabels({QStringLiteral("クラブ"), QStringLiteral("勝点"), QStringLiteral("昇格"),
                                       QStringLiteral("降格"), QStringLiteral("カップ")});
  gridodds->verticalHeader()->setVisible(false);
  gridodds->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridodds->setSelectionMode(QAbstractItemView::NoSelection);
  gridodds->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridodds->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridodds->setColumnWidth(0, 140);
  for (int c = 1; c < 5; ++c) gridodds->setColumnWidth(c, 54);
  for (int r = 0; r < kClubsPerDivision; ++r) gridodds->setRowHeight(r, 36);
  lbhelp = DialogLabel(odds, 486, 362, 366, 40, 11);
  lbhelp->setText(
      QStringLiteral("±は95%信頼区間（二項分布のウィルソン区間）の半幅です。試算が増えるほど狭くなります。"));

  auto* match = new QGroupBox(QStringLiteral("次の試合のリハーサル"), odds);
  match->setGeometry(8, 408, 844, 180);
  lbmatch = DialogLabel(match, 12, 24, 820, 24, 14);
  barmatch = new TOddsBar(match);
  barmatch->setGeometry(12, 52, 820, 28);
  lbscores = DialogLabel(match, 12, 88, 820, 40, 13);
  lbscorers = DialogLabel(match, 12, 130, 820, 40, 13);
  pages_->addWidget(odds);

  // Below both pages: how far the runs are, キャンセル and 閉じる.
  lbstatus = DialogLabel(this, 8, 600, 340, 28, 13);
  lbstatus->setWordWrap(false);
  progress = new QProgressBar(this);
  progress->setGeometry(352, 602, 280, 24);
  btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btncancel->setGeometry(644, 598, 100, 32);
  connect(btncancel, &QPushButton::clicked, this, &TFoutlook::Cancel);
  btnmore = new QPushButton(this);
  btnmore->setGeometry(464, 598, 180, 32);
  btnmore->hide();
  connect(btnmore, &QPushButton::clicked, this, &TFoutlook::MoreSeasons);
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setGeometry(752, 598, 100, 32);
  connect(btnclose, &QPushButton::clicked, this, &TFoutlook::reject);
}

TFoutlook::~TFoutlook() {
  StopRuns();
  KeepForNextTime();
}

void TFoutlook::KeepForNextTime() {
  // The worker has stopped: what it left is the dialog's alone. A rehearsal
  // cut short (neither odds nor a reason for none), or runs that failed, are
  // not kept.
  if (!result_ || !(result_->Rehearsal || !result_->RehearsalError.empty()) || !result_->OutlookError.empty()) return;
  TKeptOutlook& kept = Kept();
  kept.Body = body_;
  kept.Seed = seed_;
  kept.RehearsalRuns = RehearsalRuns;
  kept.Rehearsal = result_->Rehearsal;
  kept.RehearsalError = result_->RehearsalError;
  kept.Odds = result_->Latest;
}

void TFoutlook::Start() {
  if (!GameState || runs_.Started()) return;
  clubNames_ = ClubNamesOf(*GameState);
  progress->setRange(0, RehearsalRuns);
  progress->setValue(0);
  pages_->setCurrentIndex(0);
  // The copies are read from the game's bytes, taken here on the game's
  // thread.
  body_ = GameState->SaveBody();
  result_ = std::make_unique<TResult>();
  const TKeptOutlook& kept = Kept();
  const bool again = kept.Body == body_ && kept.RehearsalRuns == RehearsalRuns && (Seed == 0 || Seed == kept.Seed);
  seed_ = again ? kept.Seed : RunsSeed(Seed);
  from_ = 0;
  if (again) {
    result_->Rehearsal = kept.Rehearsal;
    result_->RehearsalError = kept.RehearsalError;
    result_->RehearsalDone = true;
    result_->Latest = kept.Odds;
    from_ = kept.Odds ? kept.Odds->Runs : 0;
    Runs = std::max(Runs, from_);
  }
  phase_ = again ? 1 : 0;
  RunOn();
  // What was kept shows at once.
  Poll();
}

void TFoutlook::MoreSeasons() {
  if (!shown_ || !stopped_) return;
  runs_.Finish();
  from_ = shown_->Runs;
  Runs = std::min(from_ + MoreRuns, kMaxOutlookRuns);
  if (Runs <= from_) return;
  cancelled_ = false;
  finished_ = false;
  stopped_ = false;
  runs_.Control.Cancel = false;
  runs_.Control.Done = 0;
  RunOn();
  ShowStatus();
}

void TFoutlook::RunOn() {
  clockPhase_ = phase_;
  clock_.Restart();
  // One report per round of the workers: the first odds come as soon as
  // each core has played a season.
  const int batch = std::max(1, std::min(DefaultOutlookThreads(), Runs));
  std::optional<TSeasonOutlook> from;
  {
    std::lock_guard<std::mutex> lock(lock_);
    from = result_->Latest;
  }
  runs_.Start([this, batch, runs = Runs, rehearsals = RehearsalRuns, from = std::move(from)] {
    TResult& r = *result_;
    // The next match first: a thousand matches take about as long as one
    // season, and a player who stops the seasons early still has them.
    if (phase_ == 0) {
      std::optional<TRehearsal> rehearsal;
      std::string rehearsalError;
      try {
        rehearsal = RehearseNextMatchOfBody(body_, {rehearsals, 0, seed_}, &runs_.Control);
      } catch (const TOutlookCancelled&) {
      } catch (const std::exception& e) {
        rehearsalError = e.what();
      }
      {
        std::lock_guard<std::mutex> lock(lock_);
        r.Rehearsal = std::move(rehearsal);
        r.RehearsalError = rehearsalError;
        r.RehearsalDone = true;
      }
      runs_.Control.Done = 0;
      phase_ = 1;
    }
    std::string outlookError;
    try {
      if (!runs_.Control.Cancel) {
        TOutlookOptions options{runs, 0, seed_, batch};
        if (from) options.From = &*from;
        SeasonOutlookOfBody(body_, options, &runs_.Control, [this](const TSeasonOutlook& part) {
          std::lock_guard<std::mutex> lock(lock_);
          result_->Latest = part;
        });
      }
    } catch (const TOutlookCancelled&) {
    } catch (const std::exception& e) {
      outlookError = e.what();
    }
    {
      std::lock_guard<std::mutex> lock(lock_);
      r.OutlookError = outlookError;
    }
  });
}

void TFoutlook::StopRuns() { runs_.Stop(); }

void TFoutlook::reject() {
  StopRuns();
  QDialog::reject();
}

void TFoutlook::Cancel() {
  if (!shown_) {
    reject();
    return;
  }
  // The odds so far stay, and what was in when the runs stopped.
  StopRuns();
  cancelled_ = true;
  Poll();
}

void TFoutlook::Poll() {
  // Whether the worker is done is read before what it left: once it is,
  // the odds read below are its last, never a report older than the end.
  const bool done = runs_.Done();
  std::optional<TSeasonOutlook> latest;
  std::string outlookError;
  bool rehearsalReady = false;
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (result_) {
      if (result_->Latest && (!shown_ || result_->Latest->Runs != shown_->Runs)) latest = result_->Latest;
      rehearsalReady = result_->RehearsalDone;
      outlookError = result_->OutlookError;
    }
  }
  if (rehearsalReady && !rehearsalShown_) {
    rehearsalShown_ = true;
    ShowRehearsal();
  }
  if (latest) {
    shown_ = std::move(latest);
    ShowOdds();
  }
  if (done || cancelled_) {
    stopped_ = true;
    runs_.Finish();
    finished_ = done && !cancelled_ && shown_ && shown_->Runs == Runs;
    if (!shown_) {
      if (!cancelled_)
        App().ShowError(QStringLiteral("見通しを計算できませんでした：") + QString::fromStdString(outlookError));
      QDialog::reject();
      return;
    }
  }
  ShowStatus();
}

void TFoutlook::ShowStatus() {
  const bool running = !stopped_;
  btncancel->setVisible(running);
  btnmore->setText(QStringLiteral("さらに") + QString::number(MoreRuns) + QStringLiteral("シーズン試算"));
  btnmore->setVisible(!running && shown_ && shown_->Runs < kMaxOutlookRuns);
  progress->setVisible(running);
  if (!running) {
    const int n = shown_ ? shown_->Runs : 0;
    lbstatus->setText(n == Runs ? QString::number(n) + QStringLiteral("シーズンの試算が終わりました")
                                : QStringLiteral("キャンセル：") + QString::number(n) +
                                      QStringLiteral("シーズンまでの試算です"));
    return;
  }
  const int phase = phase_;
  if (phase != clockPhase_) {  // the seasons have started: their own pace
    clockPhase_ = phase;
    clock_.Restart();
  }
  // The seasons count on from those already in when the dialog opened;
  // the pace is this stretch's own.
  const int done = runs_.Control.Done.load();
  const int before = phase == 0 ? 0 : from_;
  const int total = phase == 0 ? RehearsalRuns : Runs;
  const int in = std::min(before + done, total);
  progress->setRange(0, total);
  progress->setValue(in);
  const QString status = phase == 0 ? QStringLiteral("次の試合を試しています")
                                    : QStringLiteral("シーズンの試算 ") + QString::number(in) + QStringLiteral(" / ") +
                                          QString::number(total);
  lbstatus->setText(clock_.WithTimeLeft(status, done, total - before));
}

void TFoutlook::ShowOdds() {
  const TSeasonOutlook& o = *shown_;
  lbmoney->setText(QStringLiteral("シーズン終了時の予想所持金：") + QString::number(std::llround(o.UserMoney)) +
                   QStringLiteral("　（") + QString::number(o.Runs) + QStringLiteral("シーズンの試算）"));
  ShowDivision(cbdivision->currentIndex() + 1);
  pages_->setCurrentIndex(1);
}

void TFoutlook::ShowDivision(int division) {
  if (!shown_) return;
  const TSeasonOutlook& o = *shown_;
  const std::vector<const TClubOdds*> clubs = OddsOfDivision(o, division);

  auto* series = new QHorizontalStackedBarSeries;
  QStringList categories;
  // The bars run bottom to top: the likeliest champion last, so he is on top.
  std::vector<const TClubOdds*> bottomUp(clubs.rbegin(), clubs.rend());
  for (const TClubOdds* c : bottomUp) categories << QString::fromStdString(clubNames_[c->Club]);
  for (int place = 0; place < kClubsPerDivision; ++place) {
    auto* set = new QBarSet(QString::number(place + 1) + QStringLiteral("位"));
    set->setColor(PlaceColour(place));
    set->setBorderColor(PlaceColour(place).darker(120));
    for (const TClubOdds* c : bottomUp) *set << c->Position[place] * 100.0;
    series->append(set);
  }
  auto* ch = new QChart;
  ch->addSeries(series);
  ch->setTitle(QStringLiteral("DIV") + QString::number(division) + QStringLiteral("　最終順位の確率（") +
               QString::number(o.Runs) + QStringLiteral("シーズン）"));
  ch->setTitleFont(GothicFont(14));
  auto* clubsAxis = new QBarCategoryAxis;
  clubsAxis->append(categories);
  clubsAxis->setLabelsFont(GothicFont(11));
  ch->addAxis(clubsAxis, Qt::AlignLeft);
  series->attachAxis(clubsAxis);
  auto* percentAxis = new QValueAxis;
  percentAxis->setRange(0, 100);
  percentAxis->setLabelFormat("%d%%");
  percentAxis->setTickCount(6);
  ch->addAxis(percentAxis, Qt::AlignBottom);
  series->attachAxis(percentAxis);
  ch->legend()->setAlignment(Qt::AlignBottom);
  ch->legend()->setFont(GothicFont(10));
  ch->setMargins(QMargins(2, 2, 2, 2));
  QChart* old = chart->chart();
  chart->setChart(ch);
  delete old;

  for (int r = 0; r < kClubsPerDivision; ++r) {
    const TClubOdds* c = r < static_cast<int>(clubs.size()) ? clubs[static_cast<std::size_t>(r)] : nullptr;
    const QStringList cells =
        c ? QStringList{QString::fromStdString(clubNames_[c->Club]), QString::number(c->ExpectedPoints, 'f', 1),
                        division > 1 ? PercentWithMargin(c->Promotion, o.Runs) : QStringLiteral("-"),
                        division < kDivisionCount ? PercentWithMargin(c->Relegation, o.Runs) : QStringLiteral("-"),
                        PercentWithMargin(c->Cup, o.Runs)}
          : QStringList{"", "", "", "", ""};
    for (int col = 0; col < 5; ++col) {
      auto* item = new QTableWidgetItem(cells[col]);
      item->setTextAlignment(col == 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
      if (c && c->Club == 0) item->setBackground(QColor(255, 255, 160));  // the user's club
      gridodds->setItem(r, col, item);
    }
  }
}

void TFoutlook::ShowRehearsal() {
  auto* bar = static_cast<TOddsBar*>(barmatch);
  std::lock_guard<std::mutex> lock(lock_);
  if (!result_->Rehearsal) {
    lbmatch->setText(QString::fromStdString(result_->RehearsalError));
    bar->hide();
    lbscores->clear();
    lbscorers->clear();
    return;
  }
  const TRehearsal& r = *result_->Rehearsal;
  bar->show();
  lbmatch->setText((r.Cup ? QStringLiteral("カップ戦　") : QStringLiteral("リーグ戦　")) +
                   QString::fromStdString(clubNames_[r.HomeClub]) + QStringLiteral("（H） 対 ") +
                   QString::fromStdString(clubNames_[r.AwayClub]) + QStringLiteral("（A）　") +
                   QString::number(r.Runs) + QStringLiteral("試合　平均得点 ") +
                   QString::number(r.MeanHomeGoals, 'f', 2) + QStringLiteral(" - ") +
                   QString::number(r.MeanAwayGoals, 'f', 2));
  bar->SetOdds(r.Win, r.Draw, r.Loss);
  QString scores = QStringLiteral("予想スコア：");
  for (std::size_t i = 0; i < r.Scores.size(); ++i)
    scores += (i ? QStringLiteral("　") : QString()) + QString::number(r.Scores[i].HomeGoals) + QStringLiteral("-") +
              QString::number(r.Scores[i].AwayGoals) + QStringLiteral(" ") + Percent(r.Scores[i].Probability);
  lbscores->setText(scores);
  QString scorers = QStringLiteral("得点しそうな選手：");
  if (r.Scorers.empty()) scorers += QStringLiteral("なし");
  for (std::size_t i = 0; i < r.Scorers.size(); ++i)
    scorers += (i ? QStringLiteral("　") : QString()) + QString::number(r.Scorers[i].Number) + QStringLiteral(" ") +
               QString::fromStdString(r.Scorers[i].Name) + QStringLiteral(" ") + Percent(r.Scorers[i].Probability);
  lbscorers->setText(scorers);
}
