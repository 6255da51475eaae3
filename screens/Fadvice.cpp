#include "screens/Fadvice.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Foutlook.h"
#include "screens/Uapp.h"
#include "screens/Uworkerdialog.h"
#include "world/Ugamemain.h"

namespace {

enum TAdviceColumn : int { kName, kBar, kWin, kDraw, kLoss, kGoals, kPoints, kDiff, kColumns };

QString OneDecimal(double v) { return QString::number(v, 'f', 1); }

// "45.2%" over "±4.4".
QString ShareWithMargin(double p, double margin) {
  return OneDecimal(p * 100.0) + QStringLiteral("%\n±") + OneDecimal(margin * 100.0);
}

// "+0.12" over "±0.08", with "＊" when the difference is larger than that.
QString Difference(const TAdviceCandidate& c, bool reference) {
  if (reference) return QStringLiteral("基準");
  const QString sign = c.PointsDiff > 0 ? QStringLiteral("+") : QString();
  return sign + QString::number(c.PointsDiff, 'f', 2) + (c.Significant ? QStringLiteral("＊") : QString()) +
         QStringLiteral("\n±") + QString::number(c.PointsDiffMargin, 'f', 2);
}

// The advice of the last dialog that got one, on the window's thread only:
// opened again on the same game (the same saved bytes) for as many
// matches, the dialog shows it at once.
struct TKeptAdvice {
  std::vector<uint8_t> Body;
  int Runs = 0;
  uint64_t Seed = 0;
  std::optional<TAdvice> Advice;
};
TKeptAdvice& Kept() {
  static TKeptAdvice kept;
  return kept;
}

}  // namespace

TFadvice::TFadvice(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("アシスタント"));
  setFont(GothicFont(12));
  setFixedSize(860, 600);
  lbmatch = DialogLabel(this, 12, 8, 836, 26, 14);
  lbmatch->setText(QStringLiteral("次の試合に向けて布陣を試しています……"));

  gridadvice = new QTableWidget(0, kColumns, this);
  gridadvice->setGeometry(8, 40, 844, 410);
  gridadvice->setHorizontalHeaderLabels({QStringLiteral("布陣"), QStringLiteral("勝・分・負"), QStringLiteral("勝"),
                                         QStringLiteral("分"), QStringLiteral("負"), QStringLiteral("得点-失点"),
                                         QStringLiteral("勝点"), QStringLiteral("差")});
  gridadvice->verticalHeader()->setVisible(false);
  gridadvice->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridadvice->setSelectionBehavior(QAbstractItemView::SelectRows);
  gridadvice->setSelectionMode(QAbstractItemView::SingleSelection);
  gridadvice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int widths[kColumns] = {250, 170, 58, 58, 58, 76, 52, 90};
  for (int c = 0; c < kColumns; ++c) gridadvice->setColumnWidth(c, widths[c]);
  gridadvice->hide();

  lbhelp = DialogLabel(this, 12, 454, 836, 40, 11);
  lbhelp->setText(QStringLiteral(
      "各布陣を同じ乱数で同じ回数だけ試合させています。±は95%信頼区間（勝・分・負はウィルソン区間の半幅）。"
      "差は基準の布陣との1試合あたりの勝点差で、＊は誤差より大きい差です。"));
  lbhelp->hide();

  lbstatus = DialogLabel(this, 12, 500, 400, 26, 13);
  lbstatus->setWordWrap(false);
  progress = new QProgressBar(this);
  progress->setGeometry(420, 502, 300, 24);
  btncancel = new QPushButton(QStringLiteral("キャンセル"), this);
  btncancel->setGeometry(736, 498, 100, 32);
  connect(btncancel, &QPushButton::clicked, this, &TFadvice::reject);
  btnapply = new QPushButton(QStringLiteral("この布陣にする"), this);
  btnapply->setGeometry(576, 556, 160, 32);
  btnapply->setEnabled(false);
  connect(btnapply, &QPushButton::clicked, this, [this] {
    const QList<QTableWidgetSelectionRange> sel = gridadvice->selectedRanges();
    if (!sel.isEmpty()) ApplyRow(sel.first().topRow());
  });
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setGeometry(752, 556, 100, 32);
  connect(btnclose, &QPushButton::clicked, this, &TFadvice::reject);
}

TFadvice::~TFadvice() {
  StopRuns();
  if (advice_) Kept() = TKeptAdvice{std::move(body_), Runs, seed_, std::move(advice_)};
}

void TFadvice::Start() {
  if (!GameState || runs_.Started()) return;
  clubNames_ = ClubNamesOf(*GameState);
  // The copy is read from the game's bytes, taken here on the game's thread.
  body_ = GameState->SaveBody();
  const TKeptAdvice& kept = Kept();
  if (kept.Advice && kept.Body == body_ && kept.Runs == Runs && (Seed == 0 || Seed == kept.Seed)) {
    seed_ = kept.Seed;
    advice_ = kept.Advice;
    finished_ = true;
    ShowAdvice();
    return;
  }
  progress->setRange(0, 0);  // busy until the candidates are made
  lbstatus->setText(QStringLiteral("布陣を用意しています"));
  seed_ = RunsSeed(Seed);
  runs_.Start([this, body = body_, seed = seed_, runs = Runs] {
    try {
      result_ = AdviseNextMatchOfBody(body, {runs, 0, seed}, &runs_.Control);
    } catch (const TOutlookCancelled&) {
    } catch (const std::exception& e) {
      error_ = e.what();
    }
  });
}

void TFadvice::StopRuns() { runs_.Stop(); }

void TFadvice::reject() {
  StopRuns();
  QDialog::reject();
}

void TFadvice::Poll() {
  const int total = runs_.Control.Total.load();
  if (total > 0) {
    if (!clockStarted_) {  // the candidates are made: the matches' own pace
      clockStarted_ = true;
      clock_.Restart();
    }
    const int done = std::min(runs_.Control.Done.load(), total);
    progress->setRange(0, total);
    progress->setValue(done);
    lbstatus->setText(clock_.WithTimeLeft(
        QStringLiteral("試合中 ") + QString::number(done) + QStringLiteral(" / ") + QString::number(total), done,
        total));
  }
  if (!runs_.Done()) return;
  runs_.Finish();
  if (!result_) {
    lbmatch->setText(QString::fromStdString(error_));
    lbstatus->setText(QStringLiteral("アドバイスできません"));
    progress->hide();
    btncancel->hide();
    return;
  }
  advice_ = std::move(result_);
  finished_ = true;
  ShowAdvice();
}

void TFadvice::ShowAdvice() {
  const TAdvice& a = *advice_;
  const TFixture& f = a.Fixture;
  lbmatch->setText((f.Cup ? QStringLiteral("カップ戦　") : QStringLiteral("リーグ戦　")) +
                   QString::fromStdString(clubNames_[f.Home]) + QStringLiteral("（H） 対 ") +
                   QString::fromStdString(clubNames_[f.Away]) + QStringLiteral("（A）　") + QString::number(f.Week) +
                   QStringLiteral("週　各布陣") + QString::number(a.Runs) + QStringLiteral("試合"));
  progress->hide();
  btncancel->hide();
  lbhelp->show();
  lbstatus->setText(QStringLiteral("いちばん上がおすすめです"));
  gridadvice->setRowCount(static_cast<int>(a.Candidates.size()));
  for (int r = 0; r < gridadvice->rowCount(); ++r) {
    const TAdviceCandidate& c = a.Candidates[static_cast<std::size_t>(r)];
    gridadvice->setRowHeight(r, 34);
    const QStringList cells = {
        QString::fromStdString(c.Name) + (r == 0 ? QStringLiteral("（おすすめ）") : QString()),
        QString(),
        ShareWithMargin(c.Win, c.WinMargin),
        ShareWithMargin(c.Draw, c.DrawMargin),
        ShareWithMargin(c.Loss, c.LossMargin),
        QString::number(c.GoalsFor, 'f', 2) + QStringLiteral("-") + QString::number(c.GoalsAgainst, 'f', 2),
        QString::number(c.Points, 'f', 2),
        Difference(c, r == a.Reference)};
    for (int col = 0; col < kColumns; ++col) {
      auto* item = new QTableWidgetItem(cells[col]);
      item->setTextAlignment(col == kName ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
      if (r == 0) item->setBackground(QColor(255, 255, 160));  // the advice
      gridadvice->setItem(r, col, item);
    }
    auto* bar = new TOddsBar;
    bar->SetOdds(c.Win, c.Draw, c.Loss);
    gridadvice->setCellWidget(r, kBar, bar);
  }
  gridadvice->show();
  gridadvice->selectRow(0);
  btnapply->setEnabled(true);
}

bool TFadvice::ApplyRow(int row) {
  if (!advice_ || !GameState || row < 0 || row >= static_cast<int>(advice_->Candidates.size())) return false;
  const TAdviceCandidate& c = advice_->Candidates[static_cast<std::size_t>(row)];
  bool made = false;
  App().Guard([&] { made = ApplyAdvice(GameState->Team(kUserClub), *GameState, c); });
  if (!made) {
    App().Message(this, QStringLiteral("この布陣はもう作れません"));
    return false;
  }
  lbstatus->setText(QString::fromStdString(c.Name) + QStringLiteral("：スタメンを変更しました"));
  emit Applied();
  return true;
}
