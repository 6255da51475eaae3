// What every screen test does: let deferred deletions and queued calls run,
// find the screen that is showing, and click a panel as a user does.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "screens/Clickpanel.h"

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
