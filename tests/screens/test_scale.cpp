// The game at twice its size (Qt's own scaling, as "--scale 2" sets it):
// every screen keeps its coordinates, shows twice as many pixels, and a
// click where the player sees a control reaches it. Runs in a program of
// its own because the scale is fixed before the application object exists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "screens/Clickpanel.h"
#include "screens/Fmain.h"
#include "screens/Ftitle.h"
#include "screens/Uapp.h"
#include "screens/Uscale.h"
#include "tests/core/TestData.h"
#include "tests/screens/ScreenTestSupport.h"

namespace {

constexpr double kScale = 2.0;

// The pixels the player sees of a screen, and the size it has at 1x.
void ExpectTwiceTheSize(QWidget* screen, QSize atOne) {
  EXPECT_EQ(screen->size(), atOne);  // the screens' own coordinates are untouched
  ASSERT_NE(screen->windowHandle(), nullptr);
  EXPECT_EQ(screen->windowHandle()->devicePixelRatio(), kScale);
  EXPECT_EQ(screen->grab().size(), atOne * kScale);
}

// A click at the monitor's pixel (twice the control's own coordinates),
// delivered the way the window system delivers it.
void ClickAtMonitorPixel(QWidget* screen, QPoint pixel) {
  QWindow* w = screen->windowHandle();
  const QPointF logical = QPointF(pixel) / w->devicePixelRatio();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, logical.toPoint());
}

QPoint MonitorPixelOf(QWidget* control) {
  const QPoint centre = control->mapTo(control->window(), control->rect().center());
  return centre * kScale;
}

TEST(Scale, TitleAndClubScreenAtTwiceTheSize) {
  ScopedDataDir dir;
  OpenTitle(7);
  Ttitle* t = Shown<Ttitle>();
  ASSERT_NE(t, nullptr);
  ExpectTwiceTheSize(t, QSize(690, 453));
  // The title's pictures are drawn with the monitor's pixels, not enlarged.
  EXPECT_EQ(t->imgbg->pixmap().size(), QSize(690, 453) * kScale);

  // START and NEXT clicked where the monitor shows them.
  ClickAtMonitorPixel(t, MonitorPixelOf(t->btnstart));
  Settle();
  Tmain* m = Shown<Tmain>();
  ASSERT_NE(m, nullptr);
  ExpectTwiceTheSize(m, QSize(1016, m->MainMenu1->height() + 654));
  ClickAtMonitorPixel(m, MonitorPixelOf(m->btnnext));  // week 1: the contract week goes by
  Settle();
  m = Shown<Tmain>();
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->lbweek->text(), QStringLiteral("1年2週"));
  CloseEverything();
}

TEST(Scale, StepsChosenAndRemembered) {
  struct Case {
    const char* Text;
    double Step;
  };
  for (const Case& c : {Case{"1", 1}, Case{"1.25", 1.25}, Case{"1.5x", 1.5}, Case{"×2", 2}, Case{"300%", 3},
                        Case{"2.5", 0}, Case{"0", 0}, Case{"", 0}, Case{"big", 0}})
    EXPECT_EQ(ParseScale(QString::fromUtf8(c.Text)), c.Step) << c.Text;

  // The largest step at which the club screen (1016 x 680 with its menu)
  // fits the free area: a laptop, a 1440p and a 4K monitor, a small one.
  struct Area {
    QSize Available;
    double Step;
  };
  for (const Area& a : {Area{{1920, 1040}, 1.5}, Area{{2560, 1400}, 2}, Area{{3840, 2120}, 3}, Area{{1366, 728}, 1},
                        Area{{1280, 1000}, 1.25}, Area{{800, 600}, 1}})
    EXPECT_EQ(FittingScale(a.Available), a.Step) << a.Available.width() << "x" << a.Available.height();

  // --scale is taken out of the arguments, remembered and handed to Qt;
  // a step that does not exist stops the program with the reason.
  const QByteArray kept = qgetenv("QT_SCALE_FACTOR");
  char prog[] = "vantorel", flag[] = "--scale", value[] = "1.5", other[] = "-x", bad[] = "--scale=7";
  char* args[] = {prog, flag, value, other, nullptr};
  int argc = 4;
  QString error;
  ASSERT_TRUE(PrepareScale(argc, args, &error)) << error.toStdString();
  EXPECT_EQ(argc, 2);
  EXPECT_STREQ(args[1], "-x");
  EXPECT_EQ(qgetenv("QT_SCALE_FACTOR"), "1.5");
  EXPECT_EQ(SavedScale(), 1.5);
  char* wrong[] = {prog, bad, nullptr};
  argc = 2;
  EXPECT_FALSE(PrepareScale(argc, wrong, &error));
  EXPECT_TRUE(error.contains(QStringLiteral("7"))) << error.toStdString();
  EXPECT_EQ(SavedScale(), 1.5);
  qputenv("QT_SCALE_FACTOR", kept);

  // Chosen on the title: remembered, and the player is told it needs a restart.
  ScopedDataDir dir;
  OpenTitle(8);
  App().AutoAnswer = false;
  ChooseScale(Shown<Ttitle>(), 3);
  EXPECT_EQ(SavedScale(), 3.0);
  EXPECT_TRUE(App().LastMessage.contains(QStringLiteral("次に起動したときから"))) << App().LastMessage.toStdString();
  CloseEverything();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("SDL_AUDIODRIVER", "dummy");
  qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
  // The settings go to a folder of the test's own, not the user's.
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
