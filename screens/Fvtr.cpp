#include "screens/Fvtr.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QPainter>

#include "screens/Clickpanel.h"
#include "screens/Fanalyse.h"
#include "screens/Uapp.h"
#include "screens/Uclip.h"
#include "world/Usavegame.h"

namespace {
constexpr int kStepMs = 17;

QLabel* SideLabel(QWidget* parent, int pixels, const QColor& background) {
  auto* l = new QLabel(parent);
  l->setFont(GothicFont(pixels));
  l->setAutoFillBackground(true);
  QPalette p = l->palette();
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::WindowText, Qt::black);
  l->setPalette(p);
  return l;
}

}  // namespace

Tvtr::Tvtr(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("vtr"));
  setWindowTitle(QStringLiteral("vtr"));
  setFixedSize(755, 700);
  move(192, 0);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  lbtname0 = SideLabel(this, 19, SideColour(0));
  lbtname0->move(273, 534);
  lbtname1 = SideLabel(this, 19, SideColour(1));
  lbgoal0 = SideLabel(this, 21, SideColour(0));
  lbgoal0->setAlignment(Qt::AlignCenter);
  lbgoal0->setGeometry(272, 560, 24, 24);
  lbgoal1 = SideLabel(this, 21, SideColour(1));
  lbgoal1->setAlignment(Qt::AlignCenter);
  lbgoal1->setGeometry(504, 560, 24, 24);
  // The sides' labels appear with the first file chosen.
  for (QLabel* l : {lbtname0, lbtname1, lbgoal0, lbgoal1}) l->hide();
  lbtime = new QLabel(QStringLiteral("00：00"), this);
  lbtime->setFont(GothicFont(27));
  lbtime->setAlignment(Qt::AlignCenter);
  lbtime->setGeometry(290, 584, 201, 32);
  RichEdit1 = new QTextEdit(this);
  RichEdit1->setGeometry(266, 616, 249, 81);
  RichEdit1->setReadOnly(true);
  RichEdit1->setStyleSheet(QStringLiteral("background: black;"));
  ListBox = new QListWidget(this);
  // Two lines a replay: when it was recorded, then the clubs and the score.
  ListBox->setGeometry(0, 560, 262, 137);
  ListBox->setFont(GothicFont(13));
  ListBox->setAlternatingRowColors(true);
  connect(ListBox, &QListWidget::itemClicked, this, [this] { ListBoxClick(); });
  connect(ListBox, &QListWidget::itemActivated, this, [this] { ListBoxClick(); });

  btnchange1 = new QPushButton(QStringLiteral("＜"), this);
  btnchange1->setObjectName(QStringLiteral("btnchange1"));
  btnchange1->setGeometry(584, 544, 25, 25);
  btnchange2 = new QPushButton(QStringLiteral("■"), this);
  btnchange2->setObjectName(QStringLiteral("btnchange2"));
  btnchange2->setGeometry(616, 544, 25, 25);
  btnchange3 = new QPushButton(QStringLiteral("＞"), this);
  btnchange3->setObjectName(QStringLiteral("btnchange3"));
  btnchange3->setGeometry(648, 544, 25, 25);
  connect(btnchange1, &QPushButton::clicked, this, [this] { SpeedClick(TSpeedButton::Slower); });
  connect(btnchange2, &QPushButton::clicked, this, [this] { SpeedClick(TSpeedButton::Stop); });
  connect(btnchange3, &QPushButton::clicked, this, [this] { SpeedClick(TSpeedButton::Faster); });
  btnend = new TClickPanel(QStringLiteral("終了"), this, 662, 664, 80, 30);
  connect(btnend, &TClickPanel::clicked, this, &Tvtr::btnendClick);
  btnanalyse = new TClickPanel(QStringLiteral("分析"), this, 662, 584, 80, 30);
  btnanalyse->hide();  // with the first file chosen
  connect(btnanalyse, &TClickPanel::clicked, this, &Tvtr::btnanalyseClick);
  btnclip = new TClickPanel(QStringLiteral("動画保存"), this, 662, 624, 80, 30);
  btnclip->hide();
  connect(btnclip, &TClickPanel::clicked, this, &Tvtr::btnclipClick);

  // FormCreate: the pitch, the list, playback idle until a file is chosen.
  App().Guard([this] { pics_.Load(); });
  look_ = MakeFrameLook(pics_, {}, {});
  imgura_ = look_.Pitch;
  FillList();
  Timer = new QTimer(this);
  Timer->setTimerType(Qt::PreciseTimer);
  Timer->setInterval(kStepMs);
  connect(Timer, &QTimer::timeout, this, &Tvtr::TimerIdle);
  Timer->start();
}

Tvtr::~Tvtr() = default;

void Tvtr::FillList() {
  ListBox->clear();
  const QFontMetrics fm(ListBox->font());
  const int room = ListBox->width() - 28;  // the frame and a scroll bar
  for (const TReplayEntry& e : ListReplays()) {
    const QString when = QString::fromStdString(e.DateText);
    QString match = QStringLiteral("（読めないファイル）");
    QString whole = match;
    if (e.Readable) {
      const QString score = QStringLiteral(" %1-%2 ").arg(e.Score[0]).arg(e.Score[1]);
      // Long names are shortened each to half of what the score leaves.
      const int half = (room - fm.horizontalAdvance(score)) / 2;
      const QString club0 = QString::fromStdString(e.Clubs[0]), club1 = QString::fromStdString(e.Clubs[1]);
      match = fm.elidedText(club0, Qt::ElideRight, half) + score + fm.elidedText(club1, Qt::ElideRight, half);
      whole = club0 + score + club1;
    }
    auto* item = new QListWidgetItem(when + QStringLiteral("\n") + match, ListBox);
    item->setData(Qt::UserRole, QString::fromStdString(e.Name));
    item->setToolTip(when + QStringLiteral("　") + whole + QStringLiteral("\n") + QString::fromStdString(e.Name) +
                     QStringLiteral(".vtr"));
  }
}

void Tvtr::ListBoxClick() {
  QListWidgetItem* item = ListBox->currentItem();
  if (!item) return;
  const std::string name = item->data(Qt::UserRole).toString().toStdString();
  if (!App().Guard([&] { player_.ReadFile(name); })) return;
  RichEdit1->clear();
  shownGoals_.clear();
  lbgoal0->setText(QStringLiteral("0"));
  lbgoal1->setText(QStringLiteral("0"));
  for (int s = 0; s < 2; ++s) {
    const TVtrSide& side = player_.Sides[static_cast<std::size_t>(s)];
    QLabel* label = s == 0 ? lbtname0 : lbtname1;
    label->setText(QString::fromStdString(side.Name));
    look_.Markers[static_cast<std::size_t>(s)] = EmblemMarker(side.Emblem, s);
  }
  FitSideNames(lbtname0, lbtname1, 273, 509, 534);
  for (QLabel* l : {lbtname0, lbtname1, lbgoal0, lbgoal1}) l->show();
  btnanalyse->show();
  btnclip->show();
  position_ = 0;
  speed_ = 0;
  ShowFrame(0);
}

void Tvtr::SpeedClick(TSpeedButton button) {
  switch (button) {
    case TSpeedButton::Slower: --speed_; break;
    case TSpeedButton::Stop: speed_ = 0; break;
    case TSpeedButton::Faster: ++speed_; break;
  }
}

void Tvtr::TimerIdle() {
  if (position_ < 0) return;
  bool stopped = false;
  position_ = player_.Advance(position_, speed_, stopped);
  if (stopped) speed_ = 0;
  if (position_ != drawn_) ShowFrame(position_);
}

void Tvtr::ShowGoals(int n) {
  const TmVTRsc& f = player_.Frames[static_cast<std::size_t>(n)];
  lbgoal0->setText(QString::number(f.Goals(0)));
  lbgoal1->setText(QString::number(f.Goals(1)));
  std::vector<TVtrGoal> goals = player_.GoalsUpTo(n);
  bool prefix = shownGoals_.size() <= goals.size();
  for (std::size_t i = 0; prefix && i < shownGoals_.size(); ++i)
    prefix = shownGoals_[i].Side == goals[i].Side && shownGoals_[i].Text == goals[i].Text;
  // Forwards the new lines are appended; backwards (or after a jump) the
  // list is rebuilt, so that it always holds exactly the goals scored so far.
  std::size_t from = shownGoals_.size();
  if (!prefix) {
    RichEdit1->clear();
    from = 0;
  }
  for (std::size_t i = from; i < goals.size(); ++i) {
    RichEdit1->setTextColor(SideColour(goals[i].Side));
    RichEdit1->append(QString::fromStdString(goals[i].Text));
  }
  shownGoals_ = std::move(goals);
}

void Tvtr::ShowFrame(int n) {
  if (n < 0 || n > player_.LastFrame()) return;
  lbtime->setText(QStringLiteral("%1：%2").arg(n / 60, 2, 10, QLatin1Char('0')).arg(n % 60, 2, 10, QLatin1Char('0')));
  ShowGoals(n);
  QPainter p(&imgura_);
  PaintMatchFrame(p, look_, player_.Frames[static_cast<std::size_t>(n)]);
  p.end();
  drawn_ = n;
  update(QRect(0, 0, kMatchPictureWidth, kMatchPictureHeight));
}

void Tvtr::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, imgura_);
}

void Tvtr::btnanalyseClick() {
  if (position_ < 0) return;
  // Playback goes on behind the dialog; a second click raises it.
  if (!analyse_) {
    analyse_ = new TFanalyse(player_, this);
    analyse_->setAttribute(Qt::WA_DeleteOnClose);
  }
  analyse_->show();
  analyse_->raise();
}

void Tvtr::btnclipClick() {
  if (position_ < 0) return;
  speed_ = 0;  // the moment on screen stays where it is
  QMenu menu(this);
  for (TClipFormat format : {TClipFormat::WebP, TClipFormat::Gif}) {
    QMenu* sub = menu.addMenu(format == TClipFormat::WebP ? QStringLiteral("WebP（アニメーション）")
                                                          : QStringLiteral("GIF（アニメーション）"));
    sub->addAction(QStringLiteral("表示中の場面（%1）").arg(lbtime->text()), [this, format] { SaveClip(-1, format); });
    const std::vector<TVtrGoal> goals = player_.GoalsUpTo(player_.LastFrame());
    for (std::size_t g = 0; g < goals.size(); ++g)
      sub->addAction(QString::fromStdString(goals[g].Text), [this, g, format] { SaveClip(int(g), format); });
  }
  menu.exec(btnclip->mapToGlobal(QPoint(0, 0)));
}

QString Tvtr::SaveClip(int goal, TClipFormat format) {
  if (position_ < 0) return {};
  const std::string name = ListBox->currentItem() ? ListBox->currentItem()->data(Qt::UserRole).toString().toStdString()
                                                  : std::string("replay");
  std::string path;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool ok = App().Guard([&] {
    const TVtrClip clip = goal >= 0 ? GoalClip(player_, goal) : MomentClip(player_, position_);
    path = ExportClip(player_, name, clip, format);
  });
  QApplication::restoreOverrideCursor();
  if (!ok) return {};
  App().Message(this, QStringLiteral("動画を保存しました\n") + QString::fromStdString(path));
  return QString::fromStdString(path);
}

void Tvtr::btnendClick() {
  if (ending_) return;
  ending_ = true;
  Timer->stop();
  // Back to a new title, with a fresh game state.
  App().BackToTitle(this);
}

void Tvtr::closeEvent(QCloseEvent* e) {
  // Closing the window is the same as "終了".
  e->ignore();
  btnendClick();
}
