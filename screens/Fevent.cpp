#include "screens/Fevent.h"

#include <QCloseEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QTimer>

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"

namespace {
const QColor kBackground(224, 224, 224);
const QColor kSkin(255, 216, 165);

QImage EmblemOf(int club) {
  QImage img;
  if (GameState && club >= 0 && club < kClubCount && GameState->Teams[club]) {
    const auto& b = GameState->Teams[club]->Emblem;
    img.loadFromData(b.data(), static_cast<int>(b.size()), "BMP");
  }
  if (img.isNull()) {
    img = QImage(10, 10, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 160));
  }
  return img;
}

// A standing figure: the emblem stretched over the body as a shirt, a skin
// head and arms, black feet. scale 1 is 180 pixels tall.
void DrawFigure(QPainter& p, int cx, int top, double scale, const QImage* shirt, const QColor& plain) {
  auto s = [scale](double v) { return static_cast<int>(v * scale); };
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawEllipse(QRect(cx - s(34), top + s(168), s(28), s(12)));
  p.drawEllipse(QRect(cx + s(6), top + s(168), s(28), s(12)));
  p.setBrush(QColor(40, 40, 90));
  p.drawRect(QRect(cx - s(26), top + s(120), s(22), s(50)));
  p.drawRect(QRect(cx + s(4), top + s(120), s(22), s(50)));
  p.setPen(QPen(kSkin, s(12), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(cx - s(36), top + s(62), cx - s(52), top + s(118));
  p.drawLine(cx + s(36), top + s(62), cx + s(52), top + s(118));
  QRect body(cx - s(38), top + s(52), s(76), s(72));
  if (shirt)
    p.drawImage(body, *shirt);
  else
    p.fillRect(body, plain);
  p.setPen(Qt::NoPen);
  p.setBrush(kSkin);
  p.drawEllipse(QRect(cx - s(26), top, s(52), s(52)));
}
}  // namespace

Tevent::Tevent(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("event"));
  setWindowTitle(QStringLiteral("event"));
  setWindowFlag(Qt::FramelessWindowHint);
  setFixedSize(640, 480);
  move(200, 100);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kBackground);
  setPalette(pal);

  canvas = new QLabel(this);
  canvas->setGeometry(0, 0, 640, 360);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(0, 360, 640, 120);
  Memo1->setReadOnly(true);
  Memo1->setFont(GothicFont(24));
  Memo1->setCursor(Qt::PointingHandCursor);
  Memo1->viewport()->installEventFilter(this);

  lbnext = new QLabel(QStringLiteral("クリックで次へ ▶"), this);
  lbnext->setFont(GothicFont(16));
  lbnext->setStyleSheet(QStringLiteral("color: rgb(80, 80, 80);"));
  lbnext->adjustSize();
  lbnext->move(640 - 8 - lbnext->width(), 360 - 4 - lbnext->height());

  Gridpfree = new TStringGridex(this);
  Gridpfree->setGeometry(200, 104, 225, 201);
  Gridpfree->RowHeight = 20;
  Gridpfree->hide();

  Events.Start();
  ShowLines();
}

Tevent::~Tevent() = default;

void Tevent::closeEvent(QCloseEvent* e) {
  if (App().ConfirmEndGame(this))
    e->accept();
  else
    e->ignore();
}

bool Tevent::eventFilter(QObject* o, QEvent* e) {
  if (o == Memo1->viewport() && e->type() == QEvent::MouseButtonRelease) {
    Memo1Click();
    return true;
  }
  return QWidget::eventFilter(o, e);
}

void Tevent::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) Memo1Click();
}

void Tevent::ShowLines() {
  Memo1->clear();
  for (const auto& l : Events.Lines) Memo1->appendPlainText(QString::fromStdString(l));
}

void Tevent::Memo1Click() {
  if (closing_) return;
  Gridpfree->hide();
  if (!App().Guard([this] { Events.Next(); })) return;
  ShowLines();
  if (Events.GridVisible) {
    Gridpfree->Model() = Events.Gridpfree;
    Gridpfree->Model().DefaultColWidth = 50;
    Gridpfree->Model().SetColWidth(0, 20);
    Gridpfree->Model().SetColWidth(1, 80);
    Gridpfree->Refresh();
    Gridpfree->show();
  }
  if (Events.Picture.Kind != TseasonEventKind::Departures) DrawPicture();
  if (Events.Finished) {
    closing_ = true;
    lbnext->hide();
    // The last lines stay on screen for a moment before the club screen returns.
    QTimer::singleShot(EndPauseMs, this, [this] {
      App().Release(this);
      App().ShowMain();
    });
  }
}

void Tevent::DrawPicture() {
  QPixmap pm(640, 360);
  pm.fill(kBackground);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QImage own = EmblemOf(0);
  switch (Events.Picture.Kind) {
    case TseasonEventKind::Comeback: {
      DrawFigure(p, 320, 120, 1.0, &own, Qt::blue);
      // Flames over the face: the fire in his eyes.
      for (int i = 0; i < 2; ++i) {
        int x = 302 + 22 * i, y = 132;
        QPainterPath flame;
        flame.moveTo(x, y + 22);
        flame.cubicTo(x - 10, y + 8, x + 2, y + 4, x + 4, y - 8);
        flame.cubicTo(x + 8, y + 2, x + 16, y + 8, x + 8, y + 22);
        flame.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 90, 0));
        p.drawPath(flame);
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QRect(x + 1, y + 10, 7, 10));
      }
      break;
    }
    case TseasonEventKind::Complacency:
      DrawFigure(p, 320, 120, 1.0, &own, Qt::blue);
      p.setPen(QPen(kSkin, 16, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(372, 112, 372, 170);
      break;
    case TseasonEventKind::YoungerBrother:
      DrawFigure(p, 250, 120, 1.0, &own, Qt::blue);
      DrawFigure(p, 400, 198, 0.6, &own, Qt::blue);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::red);
      p.drawEllipse(QRect(243, 155, 14, 6));
      p.drawEllipse(QRect(396, 219, 9, 4));
      break;
    case TseasonEventKind::NamelessSigning: {
      DrawFigure(p, 220, 120, 1.0, nullptr, QColor(128, 128, 128));
      p.setPen(QPen(Qt::white, 3));
      for (int x = 186; x < 258; x += 9) p.drawLine(x, 172, x, 244);
      DrawFigure(p, 420, 120, 1.0, &own, Qt::blue);
      QFont f = GothicFont(12, true);
      f.setPointSize(48);
      p.setFont(f);
      p.setPen(Qt::black);
      p.drawText(QRect(380, 40, 80, 90), Qt::AlignCenter, QStringLiteral("？"));
      break;
    }
    case TseasonEventKind::CheapSale: {
      QImage buyer = EmblemOf(Events.Picture.EmblemClub);
      DrawFigure(p, 320, 120, 1.0, &buyer, Qt::blue);
      break;
    }
    case TseasonEventKind::VeteranRetires:
      DrawFigure(p, 320, 120, 1.0, &own, Qt::blue);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::cyan);
      p.drawRect(QRect(304, 138, 10, 20));
      p.drawRect(QRect(326, 138, 10, 20));
      p.setBrush(QColor(128, 0, 0));
      p.drawRect(QRect(308, 160, 24, 6));
      break;
    default: break;
  }
  p.end();
  canvas->setPixmap(pm);
}
