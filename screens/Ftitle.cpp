#include "screens/Ftitle.h"

#include <QPainter>
#include <QPixmap>

#include "screens/Clickpanel.h"
#include "screens/Uapp.h"
#include "screens/Uscale.h"

Ttitle::Ttitle(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("title"));
  setWindowTitle(QStringLiteral("title"));
  setWindowFlag(Qt::FramelessWindowHint);
  setFixedSize(690, 453);
  move(190, 107);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(0, 170, 0));
  setPalette(pal);

  imgbg = new QLabel(this);
  imgbg->setGeometry(0, 0, 690, 453);
  imgtitle = new QLabel(this);
  imgtitle->setGeometry(128, 80, 450, 60);
  imgtitle->setAttribute(Qt::WA_TranslucentBackground);
  Lbver = new QLabel(QStringLiteral("version17"), this);
  Lbver->setFont(GothicFont(21));
  Lbver->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
  Lbver->move(512, 144);
  Lbver->adjustSize();

  btnstart = new TClickPanel(QStringLiteral("START"), this, 166, 256, 80, 30);
  btnload = new TClickPanel(QStringLiteral("LOAD"), this, 438, 256, 80, 30);
  btnvsload = new TClickPanel(QStringLiteral("データ対戦"), this, 166, 328, 80, 30);
  btnvtr = new TClickPanel(QStringLiteral("VTR再生"), this, 438, 328, 80, 30);
  btnend = new TClickPanel(QStringLiteral("終了"), this, 306, 400, 80, 30);
  connect(btnstart, &TClickPanel::clicked, this, &Ttitle::btnstartClick);
  connect(btnload, &TClickPanel::clicked, this, &Ttitle::btnloadClick);
  connect(btnvsload, &TClickPanel::clicked, this, &Ttitle::btnvsloadClick);
  connect(btnvtr, &TClickPanel::clicked, this, &Ttitle::btnvtrClick);
  connect(btnend, &TClickPanel::clicked, this, &Ttitle::btnendClick);
  // The window's size, in the black corner beside 終了.
  AddScaleChooser(this, 590, 413, 90, 30);
  FormCreate();
}

void Ttitle::FormCreate() {
  App().CreateDirectories();
  App().NewGameState();
  DrawTitle();
  DrawBackground();
}

void Ttitle::DrawTitle() {
  QPixmap pm = SharpCanvas(QSize(450, 60));
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  QFont f = GothicFont(12);
  f.setPointSize(36);
  p.setFont(f);
  QFontMetrics fm(f);
  p.setPen(QColor(0, 0, 255));
  p.drawText(3, 3 + fm.ascent(), QStringLiteral("Vantorel"));
  p.setPen(QColor(0, 204, 215));
  p.drawText(0, fm.ascent(), QStringLiteral("Vantorel"));
  p.end();
  imgtitle->setPixmap(pm);
}

void Ttitle::DrawBackground() {
  QPixmap pm = SharpCanvas(QSize(690, 453));
  pm.fill(Qt::black);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0, 170, 0));
  p.setPen(QColor(0, 170, 0));
  p.drawEllipse(QRect(QPoint(-10, -10), QPoint(width() + 10, height() + 10)));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, 3));
  p.drawEllipse(QRect(QPoint(270, 152), QPoint(418, 301)));
  p.drawLine(344, 0, 344, 453);
  p.end();
  imgbg->setPixmap(pm);
}

void Ttitle::btnstartClick() { App().StartNewGame(this); }
void Ttitle::btnloadClick() { App().OpenSave(1, this); }
void Ttitle::btnvsloadClick() { App().OpenSave(3, this); }
void Ttitle::btnvtrClick() { App().OpenReplay(this); }
void Ttitle::btnendClick() { App().Quit(this); }
