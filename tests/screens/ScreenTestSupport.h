// What every screen test does: open the title, START a game, let deferred
// deletions and queued calls run, find the screen that is showing, click a
// panel as a user does, and close everything at the end.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "club/Upaths.h"
#include "club/Urandom.h"
#include "screens/Clickpanel.h"
#include "screens/Fmain.h"
#include "screens/Ftitle.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"

// Lets deferred deletions and queued calls run.
inline void Settle() {
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
}

// The visible top-level screen of one kind, or nullptr.
template <typename T>
T* Shown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
  return nullptr;
}

inline void Click(TClickPanel* panel) { QTest::mouseClick(panel, Qt::LeftButton); }

// A fresh title screen: every question answered yes, no typed text, and the
// world it built (from the clock, as the game's own title does) built again
// from `seed`, so that a test plays the same game every time.
inline void OpenTitle(uint64_t seed) {
  App().AutoAnswer = true;
  App().AutoText = QString();
  App().ShowTitle();
  Settle();
  RandSeed(seed);
  if (GameState) GameState->NewGameFrom(ShippedPath("first.dat"), false);
}

// START on the title screen: the club screen of the new game, or nullptr.
inline Tmain* StartFromTitle() {
  Ttitle* t = Shown<Ttitle>();
  if (!t) return nullptr;
  Click(t->btnstart);
  Settle();
  return Shown<Tmain>();
}

// Every window closed and the game freed, as each test leaves the application.
inline void CloseEverything() {
  for (QWidget* w : QApplication::topLevelWidgets()) w->deleteLater();
  Settle();
  App().FreeGameState();
}
