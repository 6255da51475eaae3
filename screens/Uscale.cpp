#include "screens/Uscale.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <memory>

#include "screens/Clickpanel.h"
#include "screens/Uapp.h"

namespace {

// The club screen with its menu bar, the largest of the screens; it sits
// at the top of the monitor.
constexpr int kClubScreenWidth = 1016;
constexpr int kClubScreenHeight = 680;
const char* const kScaleKey = "window/scale";

std::unique_ptr<QSettings> Settings() {
  // ~/.config/Vantorel/vantorel.conf (XDG_CONFIG_HOME honoured).
  return std::make_unique<QSettings>(QStringLiteral("Vantorel"), QStringLiteral("vantorel"));
}

}  // namespace

const std::vector<double>& ScaleSteps() {
  static const std::vector<double> steps = {1.0, 1.25, 1.5, 2.0, 3.0};
  return steps;
}

double ParseScale(const QString& text) {
  QString t = text.trimmed();
  bool percent = false;
  if (t.startsWith(QChar(0x00D7))) t.remove(0, 1);
  if (t.endsWith(QLatin1Char('x'), Qt::CaseInsensitive)) t.chop(1);
  if (t.endsWith(QLatin1Char('%'))) {
    t.chop(1);
    percent = true;
  }
  bool ok = false;
  double v = t.trimmed().toDouble(&ok);
  if (!ok) return 0;
  if (percent) v /= 100;
  for (double s : ScaleSteps())
    if (std::abs(v - s) < 1e-6) return s;
  return 0;
}

QString ScaleText(double scale) { return QString(QChar(0x00D7)) + QString::number(scale); }

double FittingScale(QSize available) {
  double best = 1.0;
  for (double s : ScaleSteps())
    if (kClubScreenWidth * s <= available.width() && kClubScreenHeight * s <= available.height()) best = s;
  return best;
}

double SavedScale() { return ParseScale(Settings()->value(QLatin1String(kScaleKey)).toString()); }

void SaveScale(double scale) {
  auto s = Settings();
  s->setValue(QLatin1String(kScaleKey), QString::number(scale));
  s->sync();
}

bool PrepareScale(int& argc, char** argv, QString* error) {
  // --scale S or --scale=S, taken out of the arguments Qt sees.
  double asked = 0;
  for (int i = 1; i < argc; ++i) {
    QString value;
    int used = 0;
    if (std::strcmp(argv[i], "--scale") == 0) {
      if (i + 1 >= argc) {
        *error = QStringLiteral("--scale: 倍率がありません（1, 1.25, 1.5, 2, 3）");
        return false;
      }
      value = QString::fromLocal8Bit(argv[i + 1]);
      used = 2;
    } else if (std::strncmp(argv[i], "--scale=", 8) == 0) {
      value = QString::fromLocal8Bit(argv[i] + 8);
      used = 1;
    } else {
      continue;
    }
    asked = ParseScale(value);
    if (asked == 0) {
      *error = QStringLiteral("--scale: %1 は選べません（1, 1.25, 1.5, 2, 3）").arg(value);
      return false;
    }
    for (int j = i; j + used <= argc; ++j) argv[j] = argv[j + used];
    argc -= used;
    --i;
  }
  if (asked != 0) {
    SaveScale(asked);
  } else if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    return true;  // the player's own choice for Qt programs
  } else {
    asked = SavedScale();
  }
  if (asked == 0) {
    // The first start: the screen's free area, asked through a probe that
    // is gone before the game's own application object is made.
    QSize available;
    {
      // Its own copy of the arguments: Qt takes out the ones it reads.
      std::vector<char*> probeArgv(argv, argv + argc + 1);
      int probeArgc = argc;
      QGuiApplication probe(probeArgc, probeArgv.data());
      if (QScreen* screen = QGuiApplication::primaryScreen()) available = screen->availableGeometry().size();
    }
    asked = available.isValid() ? FittingScale(available) : 1.0;
    SaveScale(asked);
  }
  // Fractional steps stay fractional; fonts are drawn at the scaled size.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  qputenv("QT_SCALE_FACTOR", QByteArray::number(asked));
  return true;
}

double CurrentScale() {
  bool ok = false;
  const double v = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
  return ok && v > 0 ? v : 1.0;
}

QPixmap SharpCanvas(QSize logical) {
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap pm(logical * ratio);
  pm.setDevicePixelRatio(ratio);
  return pm;
}

TClickPanel* AddScaleChooser(QWidget* title, int x, int y, int w, int h) {
  auto* panel = new TClickPanel(QStringLiteral("表示") + ScaleText(CurrentScale()), title, x, y, w, h);
  panel->setObjectName(QStringLiteral("btnscale"));
  panel->setFont(GothicFont(13, true));
  panel->setToolTip(QStringLiteral("画面の大きさ（次に起動したときから）"));
  QObject::connect(panel, &TClickPanel::clicked, title, [title, panel] {
    QMenu menu(title);
    // Only the steps at which the club screen fits this monitor (at 1x
    // logical pixels: the current scale taken out again).
    QSize area(kClubScreenWidth, kClubScreenHeight);
    if (QScreen* screen = title->screen()) area = screen->availableGeometry().size() * CurrentScale();
    const double fits = FittingScale(area);
    for (double s : ScaleSteps()) {
      if (s > fits && s != CurrentScale()) continue;
      QAction* a = menu.addAction(ScaleText(s));
      a->setCheckable(true);
      a->setChecked(s == CurrentScale());
      QObject::connect(a, &QAction::triggered, title, [title, s] { ChooseScale(title, s); });
    }
    menu.exec(panel->mapToGlobal(QPoint(0, panel->height())));
  });
  return panel;
}

void ChooseScale(QWidget* title, double scale) {
  SaveScale(scale);
  if (scale == CurrentScale()) return;
  const QString text =
      QStringLiteral("画面の大きさを%1にします。\n次に起動したときから変わります。今すぐ再起動しますか")
          .arg(ScaleText(scale));
  if (!App().Confirm(title, text) || !App().Interactive()) return;
  // On the title nothing is in progress: start again at the new size.
  // The step goes on the command line: it wins over the QT_SCALE_FACTOR
  // this process hands down.
  QStringList args = QCoreApplication::arguments().mid(1);
  args << QStringLiteral("--scale") << QString::number(scale);
  if (QProcess::startDetached(QCoreApplication::applicationFilePath(), args)) App().Quit(title);
}
