// The next-match frame: league and cup views, the watch choice, and the
// week's matches on NEXT.
#pragma once

#include <QGroupBox>
#include <QPointer>
#include <QRadioButton>
#include <QWidget>
#include <functional>

class TStringGridex;
class Tmatch;

class TFtomatch : public QWidget {
  Q_OBJECT
 public:
  explicit TFtomatch(QWidget* parent);
  ~TFtomatch() override;

  TStringGridex* gridmenu;
  TStringGridex* grid;
  QGroupBox* Groupwatch;
  QRadioButton* radiowatchy;
  QRadioButton* radiowatchn;

  void ShowNextMatch();
  // The division of the league views; a league view on show follows it.
  void SetDivision(int d);
  int Division() const { return division_; }
  // The menu of views (next round, standings, rankings, cup ties,
  // schedule, past seasons) for the division chosen on the club screen;
  // the labels of the menu's first column do nothing.
  void gridmenuClick(int col, int row);
  void PlayLeagueMatches(const std::function<void()>& progress);
  void PlayCupMatches(const std::function<void()>& progress);
  // True when the user's match is to be watched live.
  bool Watching() const;
  // Loads the watched match before any match of the week is played, so that
  // one that cannot open leaves the week as it was: false (the reason shown)
  // then. True at once when the user does not watch.
  bool PrepareWatchedMatch();
  // After the week's matches: the prepared match, or the news.
  void OpenMatchOrNews();

 private:
  QPointer<Tmatch> prepared_;
  int shownItem_ = 0;  // row * 10 + column of the view on show (0: none)
  int division_ = 3;
};
