#include "screens/Fmatch.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "club/Ugridtext.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Umatchplayer.h"
#include "match/Umatchteam.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"
#include "screens/Clickpanel.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "screens/Uscale.h"
#include "screens/Usound.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {
constexpr int kStepMs = 17;
// Pitch units per pixel of the position map.
constexpr int kMapUnits = 48;
const QColor kMoneyGreen(192, 220, 192);

constexpr const char* kInfoHeader = "No,Name,MType,S,H,D,C,K,A,足";
constexpr const char* kStatsHeader = "No,Name,MType,ゴ,ア,成,ミ,奪,抜,総";

void SetupGrid(TStringGridex* g, int rows, const char* header, const QColor& colour, int rowHeight = 17) {
  // "No" and a two-digit number in 16 pixels, "MType" in 35: a slightly
  // narrowed small face. Without a frame the ten columns fill the 252 pixels.
  QFont f = GothicFont(11);
  f.setStretch(90);
  g->setFont(f);
  g->setFrameStyle(QFrame::NoFrame);
  g->RowHeight = rowHeight;
  g->CellColor = colour;
  g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  TGrid& m = g->Model();
  m.SetSize(10, rows);
  m.FixedRows = header ? 1 : 0;
  m.DefaultColWidth = 16;
  m.SetColWidth(1, 80);
  m.SetColWidth(2, 35);
  if (header) SetRowCommaText(m, 0, header);
}

QColor Rgb(uint32_t c) { return QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }
}  // namespace

Tmatch::Tmatch(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("match"));
  setWindowFlag(Qt::FramelessWindowHint);
  setFixedSize(1016, 672);
  move(0, 20);
  setFont(GothicFont(12));
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kMoneyGreen);
  setPalette(pal);

  lbtname0 = new QLabel(this);
  lbtname0->setFont(GothicFont(19));
  lbtname0->setStyleSheet(QStringLiteral("background: white;"));
  lbtname0->move(760, 6);
  lbtname1 = new QLabel(this);
  lbtname1->setFont(GothicFont(19));
  lbtname1->setStyleSheet(QStringLiteral("background: yellow;"));
  lbgoal0 = new QLabel(QStringLiteral("0"), this);
  lbgoal0->setFont(GothicFont(21));
  lbgoal0->setAlignment(Qt::AlignCenter);
  lbgoal0->setStyleSheet(QStringLiteral("background: white;"));
  lbgoal0->setGeometry(760, 40, 24, 24);
  lbgoal1 = new QLabel(QStringLiteral("0"), this);
  lbgoal1->setFont(GothicFont(21));
  lbgoal1->setAlignment(Qt::AlignCenter);
  lbgoal1->setStyleSheet(QStringLiteral("background: yellow;"));
  lbgoal1->setGeometry(986, 40, 24, 24);
  lbtime = new QLabel(QStringLiteral("00：00"), this);
  lbtime->setFont(GothicFont(27));
  lbtime->setAlignment(Qt::AlignCenter);
  lbtime->setGeometry(784, 32, 201, 32);
  lbtime->setCursor(Qt::PointingHandCursor);
  lbtime->installEventFilter(this);
  RichEdit1 = new QTextEdit(this);
  RichEdit1->setGeometry(760, 72, 249, 81);
  RichEdit1->setReadOnly(true);
  RichEdit1->setStyleSheet(QStringLiteral("background: black;"));

  Groupnormal = new QGroupBox(this);
  Groupnormal->setGeometry(756, 160, 265, 513);
  Groupnormal->hide();
  gridn1 = new TStringGridex(Groupnormal);
  gridn1->setGeometry(5, 8, 252, 225);
  SetupGrid(gridn1, 12, kInfoHeader, QColor(192, 192, 192));
  gridns1 = new TStringGridex(Groupnormal);
  gridns1->setGeometry(5, 8, 252, 225);
  SetupGrid(gridns1, 12, kStatsHeader, QColor(192, 192, 192));
  gridns1->hide();
  gridn2 = new TStringGridex(Groupnormal);
  gridn2->setGeometry(5, 232, 252, 97);
  SetupGrid(gridn2, 5, nullptr, Qt::white);
  imgpos = new QLabel(Groupnormal);
  imgpos->setGeometry(5, 330, 252, 175);
  imgpos->installEventFilter(this);

  for (TStringGridex* g : {gridn1, gridns1, gridn2}) {
    g->installEventFilter(this);
    connect(g, &TStringGridex::cellClicked, this, [this, g](int, int r, Qt::MouseButton b) {
      if (b == Qt::LeftButton && r == 0 && (g == gridn1 || g == gridns1)) {
        gridn1->setVisible(g != gridn1);
        gridns1->setVisible(g != gridns1);
      } else if (b == Qt::RightButton) {
        g->SetSelection(0, r);
        if (g == gridns1) gridn1->SetSelection(0, r);
        if (g == gridn1) gridns1->SetSelection(0, r);
        BenchSwap();
      } else if (b == Qt::LeftButton && g == gridns1) {
        gridn1->SetSelection(0, r);
      } else if (b == Qt::LeftButton && g == gridn1) {
        gridns1->SetSelection(0, r);
      }
    });
  }

  Groupvs = new QGroupBox(this);
  Groupvs->setGeometry(756, 152, 265, 513);
  Groupvs->hide();
  Gridv1 = new TStringGridex(Groupvs);
  gridvs1 = new TStringGridex(Groupvs);
  Gridv2 = new TStringGridex(Groupvs);
  gridvs2 = new TStringGridex(Groupvs);
  for (TStringGridex* g : {Gridv1, gridvs1, Gridv2, gridvs2}) {
    const bool side0 = g == Gridv1 || g == gridvs1;
    const bool stats = g == gridvs1 || g == gridvs2;
    g->setGeometry(5, side0 ? 8 : 264, 252, 249);
    SetupGrid(g, 12, stats ? kStatsHeader : kInfoHeader, side0 ? QColor(Qt::white) : QColor(Qt::yellow), 19);
    g->setVisible(!stats);
    connect(g, &TStringGridex::cellClicked, this, [this, g](int, int r, Qt::MouseButton b) {
      if (b == Qt::LeftButton) SwitchBattleGrids(g, r);
    });
  }

  // The pictures are loaded with the sides, where a missing one is reported.
  imgura_ = SharpCanvas(QSize(kMatchPictureWidth, kMatchPictureHeight));
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(kStepMs);
  connect(&timer_, &QTimer::timeout, this, &Tmatch::TimerStep);
}

Tmatch::~Tmatch() = default;

bool Tmatch::LoadSides(const int clubs[2], bool vs) {
  driver_ = std::make_unique<Tmmain>();
  // Pictures, line-ups and sounds: any that fails to load is shown with its
  // file, and the match does not open.
  const bool ok = App().Guard([&] {
    pics_.Load();
    look_ = MakeFrameLook(pics_, GameState->Team(clubs[0]).Emblem, GameState->Team(clubs[1]).Emblem);
    for (int s = 0; s < 2; ++s) {
      const Tteam& club = GameState->Team(clubs[s]);
      if (clubs[s] == 0) userSide_ = s;
      QLabel* name = s == 0 ? lbtname0 : lbtname1;
      name->setText(QString::fromStdString(club.ClubName));
      name->adjustSize();
    }
    LoadWatchedSides(*driver_, GameState->Team(clubs[0]), GameState->Team(clubs[1]), vs);
    sound_ = std::make_unique<TSoundPlayer>();
    sound_->LoadMatchSounds();
  });
  if (!ok) return false;
  FitClubNames();
  return true;
}

bool Tmatch::PrepareNormal() {
  if (!GameState) return false;
  normal_ = true;
  Groupnormal->show();
  const int clubs[2] = {GameState->NextHome, GameState->NextAway};
  return LoadSides(clubs, false);
}

void Tmatch::StartNormal() {
  show();
  setFocus();
  DrawPositionMap();
  FillNormalGrids();
  DrawFrame();
  paused_ = false;
  clock_.start();
  timer_.start();
}

bool Tmatch::OpenDataBattle() {
  if (!GameState || !GameState->Teams[0] || !GameState->Teams[1]) return false;
  normal_ = false;
  Groupvs->show();
  const int clubs[2] = {0, 1};
  if (!LoadSides(clubs, true)) return false;
  if (RecordBattle) {
    recorder_ = std::make_unique<TmVTR>();
    recorder_->Frames.reserve(kMatchTicks);
  }
  show();
  setFocus();
  FillBattleGrids();
  // Nobody picks players here: no row is highlighted.
  for (TStringGridex* g : {Gridv1, Gridv2, gridvs1, gridvs2}) g->SetSelection(0, -1);
  DrawFrame();
  paused_ = false;
  clock_.start();
  timer_.start();
  return true;
}

void Tmatch::FitClubNames() { FitSideNames(lbtname0, lbtname1, 760, 999, 6); }

void Tmatch::TimerStep() {
  if (paused_ || finished_ || !driver_) return;
  if (WaitForSounds && clock_.elapsed() < holdUntil_) return;
  Tmmain& d = *driver_;
  DrawFrame();
  TmWatchSetup setup;
  setup.Live = &live_;
  if (normal_) {
    // The computer's side makes its changes every five minutes of the second half.
    setup.AutoSubs[static_cast<std::size_t>(1 - userSide_)] = true;
  } else {
    setup.AutoSubs = {true, true};
    setup.Recorder = recorder_.get();
  }
  const TmWatchedStep step = WatchedStep(d, setup);
  if (step.NewScene) {
    strip_.clear();
    for (const TliveScene& s : live_.Scenes) strip_.push_back(RenderScene(s));
  }
  if (normal_) {
    gridns1->Model().ClearCells();
    SetRowCommaText(gridns1->Model(), 0, kStatsHeader);
    d.MatchTeam(userSide_).FillStatsGrid(gridns1->Model());
    gridns1->viewport()->update();
  } else {
    FillBattleGrids();
  }
  PlayCues(step);
  if (step.HalfTimeOver && normal_) DrawPositionMap();
  if (step.Finished) Finish();
  update(QRect(0, 0, 755, 672));
}

void Tmatch::PlayCues(const TmWatchedStep& step) {
  if (!sound_) return;
  for (int i = 0; i < step.CueCount; ++i) {
    const TmSoundCue& c = step.Cues[static_cast<std::size_t>(i)];
    if (c.Wait)
      PlayAndWait(c.Sound);
    else
      sound_->Play(c.Sound);
  }
}

void Tmatch::closeEvent(QCloseEvent* e) {
  // The match stands still while the question is open.
  const bool wasPaused = paused_;
  paused_ = true;
  if (!normal_) {
    // A data battle ends at the title, never with the program.
    e->ignore();
    if (finished_) return;
    const int answer =
        App().Choose(this, QStringLiteral("データ対戦を中断します。ここまでの録画を残しますか"),
                     {QStringLiteral("録画を残す"), QStringLiteral("録画を捨てる"), QStringLiteral("対戦に戻る")});
    if (answer == 0 || answer == 1)
      StopBattle(answer == 0);
    else
      paused_ = wasPaused;
    return;
  }
  if (App().ConfirmEndGame(this)) {
    timer_.stop();
    e->accept();
  } else {
    paused_ = wasPaused;
    e->ignore();
  }
}

void Tmatch::PlayAndWait(int k) {
  if (!sound_) return;
  int ms = sound_->Play(k);
  holdUntil_ = clock_.elapsed() + ms;
}

// The picture is painted from the driver's snapshot, as a recording keeps
// it, so the live match and its replay look alike.
void Tmatch::DrawFrame() {
  Tmmain& d = *driver_;
  QPainter p(&imgura_);
  PaintMatchFrame(p, look_, d.Snapshot());
  p.end();
  UpdateGoals();
  lbtime->setText(
      QStringLiteral("%1：%2").arg(d.Tick / 60, 2, 10, QLatin1Char('0')).arg(d.Tick % 60, 2, 10, QLatin1Char('0')));
}

void Tmatch::UpdateGoals() {
  Tmmain& d = *driver_;
  for (int s = 0; s < 2; ++s) {
    int n = static_cast<int>(d.GoalLists[s].size());
    if (n == shownGoals_[s]) continue;
    shownGoals_[s] = n;
    (s == 0 ? lbgoal0 : lbgoal1)->setText(QString::number(n));
    RichEdit1->setTextColor(SideColour(s));
    RichEdit1->append(QString::fromStdString(d.GoalLists[s].back()));
  }
}

void Tmatch::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, imgura_);
  for (std::size_t i = 0; i < strip_.size(); ++i) p.drawPixmap(189 * static_cast<int>(i), 525, strip_[i]);
}

QPixmap Tmatch::RenderScene(const TliveScene& scene) const {
  QPixmap pm = SharpCanvas(QSize(Tmlive::kWidth, Tmlive::kHeight));
  pm.fill(Qt::black);
  QPainter p(&pm);
  for (const TliveShape& s : scene.Shapes) {
    QRect rc(QPoint(s.X1, s.Y1), QPoint(s.X2 - 1, s.Y2 - 1));
    QPen pen(Rgb(s.Pen), s.PenWidth);
    QBrush brush = s.ClearBrush ? QBrush(Qt::NoBrush)
                                : QBrush(Rgb(s.Brush), s.HatchBrush ? Qt::DiagCrossPattern : Qt::SolidPattern);
    switch (s.What) {
      case TliveShape::FillRect: p.fillRect(rc, Rgb(s.Brush)); break;
      case TliveShape::Rect:
        p.setPen(pen);
        p.setBrush(brush);
        p.drawRect(rc);
        break;
      case TliveShape::Ellipse:
        p.setPen(pen);
        p.setBrush(brush);
        p.drawEllipse(rc);
        break;
      case TliveShape::Line:
        p.setPen(QPen(Rgb(s.Pen), s.PenWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(s.X1, s.Y1, s.X2, s.Y2);
        break;
      case TliveShape::Write: {
        QFont f = GothicFont(12);
        f.setPointSize(s.FontPt);
        p.setFont(f);
        QFontMetrics fm(f);
        QString t = QString::fromStdString(s.Text);
        if (!s.ClearBrush) p.fillRect(QRect(s.X1, s.Y1, fm.horizontalAdvance(t), fm.height()), Rgb(s.Brush));
        p.setPen(Rgb(s.Pen));
        p.drawText(s.X1, s.Y1 + fm.ascent(), t);
        break;
      }
      case TliveShape::Image: {
        const QPixmap& img = s.ImageId == Tmlive::kBallImage     ? pics_.ball
                             : s.ImageId == Tmlive::kKeeperImage ? pics_.keeper
                                                                 : pics_.hit;
        p.drawPixmap(s.X1, s.Y1, img);
        break;
      }
      case TliveShape::Patch: p.drawPixmap(rc, look_.Markers[s.ImageId == 1 ? 1 : 0]); break;
    }
  }
  return pm;
}

void Tmatch::FillNormalGrids() {
  const Tmteam& team = driver_->MatchTeam(userSide_);
  TGrid& g1 = gridn1->Model();
  g1.ClearCells();
  SetRowCommaText(g1, 0, kInfoHeader);
  team.FillInfoGrid(g1, true);
  TGrid& g2 = gridn2->Model();
  g2.ClearCells();
  team.FillInfoGrid(g2, false);
  TGrid& gs = gridns1->Model();
  gs.ClearCells();
  SetRowCommaText(gs, 0, kStatsHeader);
  team.FillStatsGrid(gs);
  for (auto* g : {gridn1, gridn2, gridns1}) g->Refresh();
}

void Tmatch::FillBattleGrids() {
  TStringGridex* info[2] = {Gridv1, Gridv2};
  TStringGridex* stats[2] = {gridvs1, gridvs2};
  for (int s = 0; s < 2; ++s) {
    const Tmteam& team = driver_->MatchTeam(s);
    TGrid& gi = info[s]->Model();
    gi.ClearCells();
    SetRowCommaText(gi, 0, kInfoHeader);
    team.FillInfoGrid(gi, true);
    TGrid& gs = stats[s]->Model();
    gs.ClearCells();
    SetRowCommaText(gs, 0, kStatsHeader);
    team.FillStatsGrid(gs);
    info[s]->viewport()->update();
    stats[s]->viewport()->update();
  }
}

void Tmatch::SwitchBattleGrids(TStringGridex* clicked, int row) {
  if (row != 0) return;
  for (TStringGridex* g : {Gridv1, Gridv2, gridvs1, gridvs2}) g->show();
  clicked->hide();
  if (clicked == gridvs1 || clicked == gridvs2) {
    gridvs1->hide();
    gridvs2->hide();
  } else {
    Gridv1->hide();
    Gridv2->hide();
  }
}

void Tmatch::SelectPitchRow(int row) {
  gridn1->SetSelection(0, row);
  gridns1->SetSelection(0, row);
}

// A right click on a bench row: he comes on for the player chosen in
// gridn1. The side refuses an empty or already used bench slot and a third
// substitution; either way the grids show the side as it now is.
void Tmatch::BenchSwap() {
  const TmRefusal why = driver_->MatchTeam(userSide_).Substitute(gridn1->Row() - 1, gridn2->Row(), driver_->Tick);
  FillNormalGrids();
  DrawPositionMap();
  if (why == TmRefusal::NoSubstitutionsLeft) {
    // The match waits while the refusal is read.
    const bool wasPaused = paused_;
    paused_ = true;
    App().Message(this, QStringLiteral("交代は2人までです"));
    paused_ = wasPaused;
  }
}

void Tmatch::DrawPositionMap() {
  const qreal ratio = look_.Pitch.devicePixelRatio();
  QPixmap pm = look_.Pitch.scaled(imgpos->size() * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  pm.setDevicePixelRatio(ratio);
  QPainter p(&pm);
  QFont f = GothicFont(12);
  f.setPointSize(9);
  p.setFont(f);
  const Tmteam& team = driver_->MatchTeam(userSide_);
  for (int i = 0; i < Tmteam::kOnPitch; ++i) {
    const Tmplayer& pl = team.PlayerAt(i);
    int x = pl.HomeX / kMapUnits, y = pl.HomeY / kMapUnits;
    p.fillRect(QRect(QPoint(x - 6, y - 6), QPoint(x + 6, y + 6)), Qt::white);
    p.setPen(Qt::black);
    p.drawText(QRect(x - 6, y - 6, 13, 13), Qt::AlignCenter, QString::number(pl.Number));
  }
  p.end();
  imgpos->setPixmap(pm);
}

// A click on the position map sends the player chosen in gridn1 there for
// the rest of the match; the side refuses the goalkeeper and a point too
// far from its own goal line or the pitch's middle, and the map stays.
void Tmatch::imgposMouseDown(int x, int y) {
  Tmteam& team = driver_->MatchTeam(userSide_);
  if (team.MoveHome(gridn1->Row() - 1, kMapUnits * x, kMapUnits * y) == TmRefusal::None) DrawPositionMap();
}

bool Tmatch::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    auto* me = static_cast<QMouseEvent*>(e);
    if (o == lbtime) {
      lbtimeClick();
      return true;
    }
    if (o == imgpos) {
      imgposMouseDown(static_cast<int>(me->position().x()), static_cast<int>(me->position().y()));
      return true;
    }
  }
  if (e->type() == QEvent::KeyPress && (o == gridn1 || o == gridn2 || o == gridns1)) {
    keyPressEvent(static_cast<QKeyEvent*>(e));
    return true;
  }
  return QWidget::eventFilter(o, e);
}

void Tmatch::keyPressEvent(QKeyEvent* e) {
  if (e->key() >= Qt::Key_0 && e->key() <= Qt::Key_9) SelectPitchRow(e->key() - Qt::Key_0 + 1);
}

void Tmatch::ReportResult() {
  std::string goals0, goals1;
  int32_t score0 = 0, score1 = 0;
  TIntgrid rows;
  driver_->Result(goals0, goals1, score0, score1, rows);
  GameState->RecordWatchedMatch(goals0, goals1, score0, score1, rows);
}

void Tmatch::SaveRecording() {
  const std::vector<uint8_t> header = MakeVtrHeader(GameState->Team(0), GameState->Team(1), *driver_);
  replayName_ = recorder_->WriteFile(header);
}

void Tmatch::Finish() {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  if (normal_) {
    App().Guard([this] { ReportResult(); });
    App().Release(this);
    App().OpenNews();
    return;
  }
  if (OnBattleEnd) {
    OnBattleEnd(*this);
    App().Release(this);
    return;
  }
  if (GameState) App().Guard([this] { SaveRecording(); });
  recorder_.reset();
  App().BackToTitle(this);
}

void Tmatch::StopBattle(bool keep) {
  if (finished_) return;
  finished_ = true;
  timer_.stop();
  if (keep && GameState && recorder_ && recorder_->FrameCount() > 0) App().Guard([this] { SaveRecording(); });
  recorder_.reset();
  App().BackToTitle(this);
}
