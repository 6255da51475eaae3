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
  void gridleagueClick(int d);
  void ShowCupResults();
  void gridcupClick(int page);
  void MemomesClick();

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void FillMemos(const std::array<std::vector<std::string>, 8>& memos);
  bool closing_ = false;
};
