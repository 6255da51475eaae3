// Program entry: the application object, the window title, the title screen.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <string>

#include "club/Upaths.h"
#include "screens/Clickpanel.h"
#include "screens/Uapp.h"
#include "screens/Uclip.h"
#include "screens/Uscale.h"

int main(int argc, char** argv) {
  // A goal clip from the command line needs no display and no window scale.
  const bool clip = IsClipCommand(argc, argv);
  if (clip && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's scale is Qt's own and must be set before the application
  // object exists.
  QString error;
  if (!clip && !PrepareScale(argc, argv, &error)) {
    std::fprintf(stderr, "vantorel: %s\n", qPrintable(error));
    return 2;
  }
  QApplication app(argc, argv);
  if (clip) {
    QApplication::setFont(GothicFont(12));
    return RunClipCommand(QApplication::arguments().mid(1));
  }
  QApplication::setApplicationName(QStringLiteral("Vantorel"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vantorel"));
  // The menu entry's name (packaging/), so that desktops match the window to it.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vantorel.Vantorel"));
  QIcon icon;
  for (int size : {32, 48, 64, 128, 256})
    icon.addFile(QString::fromStdString(ShippedPath("icon/vantorel-" + std::to_string(size) + ".png")),
                 QSize(size, size));
  QApplication::setWindowIcon(icon);
  QApplication::setFont(GothicFont(12));
  App().LoadQtTranslation();
  App().Start();
  int rc = app.exec();
  App().Shutdown();
  return rc;
}
