// The next-match frame: league and cup views, the watch choice, and the
// week's matches on NEXT.
#pragma once

#include <QGroupBox>
#include <QRadioButton>
#include <QWidget>
#include <functional>

class TStringGridex;

class TFtomatch : public QWidget {
  Q_OBJECT
 public:
  explicit TFtomatch(QWidget* parent);

  TStringGridex* gridmenu;
  TStringGridex* grid;
  QGroupBox* Groupwatch;
  QRadioButton* radiowatchy;
  QRadioButton* radiowatchn;

  void ShowNextMatch();
  void SetDivision(int d);
  void gridmenuClick(int col, int row);
  void PlayLeagueMatches(const std::function<void()>& progress);
  void PlayCupMatches(const std::function<void()>& progress);
  // True when the user's match is to be watched live.
  bool Watching() const;
  void OpenMatchOrNews();
};
