// Program entry: the application object, the window title, the title screen.
#include <QApplication>

#include "screens/Clickpanel.h"
#include "screens/Uapp.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantorel"));
  QApplication::setApplicationDisplayName(QStringLiteral("Vantorel"));
  QApplication::setFont(GothicFont(12));
  App().LoadQtTranslation();
  App().Start();
  int rc = app.exec();
  App().Shutdown();
  return rc;
}
