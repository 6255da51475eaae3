#include "screens/Fanalyse.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>

#include "match/Uball.h"
#include "screens/Clickpanel.h"
#include "screens/Uapp.h"
#include "screens/Upitchpaint.h"

namespace {

const QColor kSideRow[2] = {QColor(Qt::white), QColor(255, 255, 170)};
constexpr double kPitchScale = 0.75;

QString Percent(double p) { return QString::number(p, 'f', 1) + QStringLiteral("%"); }

// A point of the analysis (own goal on the left) on the pitch picture,
// mirrored when the side is shown attacking to the left.
QPointF PicturePoint(const TVtrPoint& p, bool mirrored) {
  const double x = mirrored ? kPitchWidth - p.X : p.X;
  const double y = mirrored ? kPitchHeight - p.Y : p.Y;
  return {x / kVtrPixelUnits, y / kVtrPixelUnits};
}

void DrawHeat(QPainter& p, const TVtrHeat& heat) {
  const int32_t most = *std::max_element(heat.begin(), heat.end());
  if (most <= 0) return;
  const double w = double(kFieldRight - kFieldLeft) / kHeatColumns / kVtrPixelUnits;
  const double h = double(kFieldBottom - kFieldTop) / kHeatRows / kVtrPixelUnits;
  p.setPen(Qt::NoPen);
  for (int r = 0; r < kHeatRows; ++r)
    for (int c = 0; c < kHeatColumns; ++c) {
      const int32_t v = heat[size_t(r * kHeatColumns + c)];
      if (v <= 0) continue;
      const double t = double(v) / most;
      p.setBrush(QColor(255, int(230 * (1 - t)), 0, int(50 + 170 * t)));
      p.drawRect(QRectF(double(kFieldLeft) / kVtrPixelUnits + c * w, double(kFieldTop) / kVtrPixelUnits + r * h, w, h));
    }
}

void DrawMarker(QPainter& p, const QPointF& at, const QColor& fill, int32_t number, bool ringed) {
  p.setBrush(fill);
  p.setPen(QPen(ringed ? QColor(Qt::red) : QColor(Qt::black), ringed ? 3 : 1));
  p.drawEllipse(at, 10, 10);
  p.setPen(Qt::black);
  p.drawText(QRectF(at.x() - 12, at.y() - 10, 24, 20), Qt::AlignCenter, QString::number(number));
}

void DrawShape(QPainter& p, const TVtrSideStats& side, int s, bool mirrored, int32_t ringed = -1) {
  for (const TVtrShapeSlot& slot : side.Shape)
    DrawMarker(p, PicturePoint(slot.Average, mirrored), SideColour(s), slot.Number, slot.Number == ringed);
}

// The table's numbers sort by value, not by text.
class TNumberItem : public QTableWidgetItem {
 public:
  TNumberItem(const QString& text, double value) : QTableWidgetItem(text) {
    setData(Qt::UserRole, value);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  bool operator<(const QTableWidgetItem& o) const override {
    return data(Qt::UserRole).toDouble() < o.data(Qt::UserRole).toDouble();
  }
};

class TPitchView : public QWidget {
 public:
  TPitchView(const TFanalyse* owner, QWidget* parent) : QWidget(parent), owner_(owner) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), owner_->PitchImage());
  }

 private:
  const TFanalyse* owner_;
};

}  // namespace

TFanalyse::TFanalyse(const TmVTR& recording, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("試合分析"));
  setFont(GothicFont(12));
  setFixedSize(1016, 680);
  analysis_ = AnalyseVtr(recording);
  for (int s = 0; s < 2; ++s) names_[size_t(s)] = QString::fromStdString(recording.Sides[size_t(s)].Name);
  TMatchPictures pics;
  App().Guard([&] { pics.Load(); });
  pitch_ = DrawPitchPicture(pics);

  cbshow = new QComboBox(this);
  cbshow->setGeometry(8, 8, 300, 26);
  lbpitch = new QLabel(this);
  lbpitch->setGeometry(316, 8, 260, 26);
  lbpitch->setFont(GothicFont(13));
  imgpitch = new TPitchView(this, this);
  imgpitch->setGeometry(8, 40, int(755 * kPitchScale), int(525 * kPitchScale));

  gridrun = new QTableWidget(0, 5, this);
  gridrun->setGeometry(584, 8, 424, 426);
  gridrun->setHorizontalHeaderLabels({QStringLiteral("No"), QStringLiteral("名前"), QStringLiteral("出場(分)"),
                                      QStringLiteral("走行距離(m)"), QStringLiteral("最高速(m/秒)")});
  gridrun->verticalHeader()->setVisible(false);
  gridrun->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridrun->setSelectionBehavior(QAbstractItemView::SelectRows);
  gridrun->setSelectionMode(QAbstractItemView::SingleSelection);
  const int widths[5] = {36, 120, 66, 90, 90};
  for (int c = 0; c < 5; ++c) gridrun->setColumnWidth(c, widths[c]);
  connect(gridrun, &QTableWidget::cellClicked, this, [this](int row, int) { gridrunClick(row); });

  lbsummary = new QLabel(this);
  lbsummary->setGeometry(8, 442, 1000, 40);
  lbsummary->setFont(GothicFont(12));
  chart = new QChartView(this);
  chart->setGeometry(8, 484, 900, 190);
  chart->setRenderHint(QPainter::Antialiasing);
  btnclose = new QPushButton(QStringLiteral("閉じる"), this);
  btnclose->setGeometry(920, 640, 88, 30);
  connect(btnclose, &QPushButton::clicked, this, &TFanalyse::accept);

  FillChoices();
  FillSummary();
  FillChart();
  FillTable();
  Show(kShowBoth);
}

void TFanalyse::FillChoices() {
  cbshow->addItem(QStringLiteral("両チームの布陣（平均位置）"), kShowBoth);
  for (int s = 0; s < 2; ++s) cbshow->addItem(names_[size_t(s)] + QStringLiteral("　全体"), s);
  for (size_t i = 0; i < analysis_.Players.size(); ++i) {
    const TVtrPlayerStats& p = analysis_.Players[i];
    cbshow->addItem(names_[size_t(p.Side)] + QStringLiteral("　") + QString::number(p.Number) + QStringLiteral("　") +
                        QString::fromStdString(p.Name),
                    kShowPlayer + int(i));
  }
  connect(cbshow, &QComboBox::currentIndexChanged, this, [this](int i) { Show(cbshow->itemData(i).toInt()); });
}

void TFanalyse::FillSummary() {
  const auto& a = analysis_.Sides;
  QString text = QStringLiteral("ボール支配率　%1 %2 － %3 %4　（前半 %5 － %6、後半 %7 － %8）")
                     .arg(names_[0], Percent(a[0].Possession), Percent(a[1].Possession), names_[1],
                          Percent(a[0].HalfPossession[0]), Percent(a[1].HalfPossession[0]),
                          Percent(a[0].HalfPossession[1]), Percent(a[1].HalfPossession[1]));
  text += QStringLiteral("\nボールのあった場所（%1 から見て 自陣 / 中盤 / 敵陣）　%2 / %3 / %4")
              .arg(names_[0], Percent(a[0].Territory[0]), Percent(a[0].Territory[1]), Percent(a[0].Territory[2]));
  lbsummary->setText(text);
}

void TFanalyse::FillChart() {
  auto* series = new QStackedBarSeries;
  QStringList categories;
  std::array<QBarSet*, 2> sets{};
  for (int s = 0; s < 2; ++s) {
    sets[size_t(s)] = new QBarSet(names_[size_t(s)]);
    sets[size_t(s)]->setColor(SideColour(s));
    sets[size_t(s)]->setBorderColor(QColor(80, 80, 80));
  }
  for (const TVtrSlice& sl : analysis_.Slices) {
    categories << QString::number(sl.From / 60);
    for (int s = 0; s < 2; ++s) *sets[size_t(s)] << sl.Share[size_t(s)];
  }
  for (QBarSet* set : sets) series->append(set);
  auto* ch = new QChart;
  ch->addSeries(series);
  ch->setTitle(QStringLiteral("ボール支配率の推移（5分ごと）"));
  ch->setTitleFont(GothicFont(12));
  ch->setTitleBrush(Qt::white);
  ch->setBackgroundBrush(QColor(24, 24, 24));
  auto* minutes = new QBarCategoryAxis;
  minutes->append(categories);
  minutes->setLabelsFont(GothicFont(10));
  minutes->setLabelsColor(Qt::white);
  minutes->setTitleText(QStringLiteral("開始（分）"));
  minutes->setTitleFont(GothicFont(10));
  minutes->setTitleBrush(Qt::white);
  ch->addAxis(minutes, Qt::AlignBottom);
  series->attachAxis(minutes);
  auto* percent = new QValueAxis;
  percent->setRange(0, 100);
  percent->setTickCount(5);
  percent->setLabelFormat("%d%%");
  percent->setLabelsColor(Qt::white);
  ch->addAxis(percent, Qt::AlignLeft);
  series->attachAxis(percent);
  ch->legend()->setAlignment(Qt::AlignRight);
  ch->legend()->setFont(GothicFont(11));
  ch->legend()->setLabelColor(Qt::white);
  ch->setMargins(QMargins(2, 2, 2, 2));
  // The view gives up its former chart without deleting it.
  QChart* old = chart->chart();
  chart->setChart(ch);
  delete old;
}

void TFanalyse::FillTable() {
  gridrun->setRowCount(int(analysis_.Players.size()));
  for (size_t i = 0; i < analysis_.Players.size(); ++i) {
    const TVtrPlayerStats& p = analysis_.Players[i];
    const int row = int(i);
    auto* number = new TNumberItem(QString::number(p.Number), p.Number);
    number->setData(Qt::UserRole + 1, kShowPlayer + row);
    gridrun->setItem(row, 0, number);
    auto* name = new QTableWidgetItem(QString::fromStdString(p.Name));
    gridrun->setItem(row, 1, name);
    gridrun->setItem(row, 2, new TNumberItem(QString::number((p.Steps + 30) / 60), p.Steps));
    gridrun->setItem(row, 3, new TNumberItem(QString::number(p.DistanceMetres, 'f', 0), p.DistanceMetres));
    gridrun->setItem(row, 4, new TNumberItem(QString::number(p.TopSpeed, 'f', 2), p.TopSpeed));
    for (int c = 0; c < 5; ++c) gridrun->item(row, c)->setBackground(kSideRow[p.Side]);
    gridrun->setRowHeight(row, 20);
  }
  // Side 0 first as they came on; a header click sorts.
  gridrun->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  gridrun->setSortingEnabled(true);
}

void TFanalyse::gridrunClick(int row) {
  const QTableWidgetItem* item = gridrun->item(row, 0);
  if (!item) return;
  const int what = item->data(Qt::UserRole + 1).toInt();
  const int index = cbshow->findData(what);
  if (index >= 0) cbshow->setCurrentIndex(index);
}

void TFanalyse::Show(int what) {
  showing_ = what;
  const int index = cbshow->findData(what);
  if (index >= 0 && cbshow->currentIndex() != index) cbshow->setCurrentIndex(index);
  if (what == kShowBoth)
    lbpitch->setText(QStringLiteral("%1 →　　← %2").arg(names_[0], names_[1]));
  else
    lbpitch->setText(QStringLiteral("攻撃方向 →"));
  imgpitch->update();
}

QImage TFanalyse::PitchImage() const {
  QImage img = pitch_.toImage().convertToFormat(QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font = GothicFont(12);
  font.setBold(true);
  p.setFont(font);
  if (showing_ == kShowBoth) {
    for (int s = 0; s < 2; ++s) DrawShape(p, analysis_.Sides[size_t(s)], s, s == 1);
  } else if (showing_ == kShowSide0 || showing_ == kShowSide1) {
    DrawHeat(p, analysis_.Sides[size_t(showing_)].Heat);
    DrawShape(p, analysis_.Sides[size_t(showing_)], showing_, false);
  } else if (showing_ >= kShowPlayer && size_t(showing_ - kShowPlayer) < analysis_.Players.size()) {
    const TVtrPlayerStats& pl = analysis_.Players[size_t(showing_ - kShowPlayer)];
    DrawHeat(p, pl.Heat);
    DrawMarker(p, PicturePoint(pl.Average, false), SideColour(pl.Side), pl.Number, true);
  }
  return img;
}
