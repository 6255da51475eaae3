// The news screen: the week's league or cup results. A click on the message
// box closes it, advances the week and brings back the club screen.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>
#include <array>

class TStringGridex;

class Tnews : public QWidget {
  Q_OBJECT
 public:
  explicit Tnews(QWidget* parent = nullptr);

  TStringGridex* grid1;
  std::array<QPlainTextEdit*, 8> Memo{};
  TStringGridex* grid2;
  TStringGridex* gridleague;
  TStringGridex* gridcup;
  QPlainTextEdit* Memomes;

  void ShowLeagueResults();
  // A division chosen: its round's results, goal lists and standings.
  void gridleagueClick(int d);
  void ShowCupResults();
  // A page of the cup round chosen: its ties and goal lists; the message box
  // shows the round's three lines of news.
  void gridcupClick(int page);
  // A click on the message box ends the news: the week advances and the
  // club screen returns (once, however often it is clicked).
  void MemomesClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void FillMemos(const std::array<std::vector<std::string>, 8>& memos);
  bool closing_ = false;
};
