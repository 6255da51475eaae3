// The season-events screen: the news of the turn of the year for the
// user's club, one item per click on the text, each with a small picture.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <memory>

#include "world/Useasonevent.h"

class TStringGridex;

class Tevent : public QWidget {
  Q_OBJECT
 public:
  explicit Tevent(QWidget* parent = nullptr);
  ~Tevent() override;

  QPlainTextEdit* Memo1;
  TStringGridex* Gridpfree;
  QLabel* canvas;  // the drawing area above the text
  QLabel* lbnext;  // "クリックで次へ", until the last item
  Tseasonevent Events;

  // A click on the text shows the next season event; after the last one
  // the lines stay a moment and the club screen returns.
  void Memo1Click();
  // The pause before the club screen comes back (ms); tests shorten it.
  int EndPauseMs = 2000;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  // A click on the picture goes on too.
  void mouseReleaseEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void ShowLines();
  void DrawPicture();
  bool closing_ = false;
};
