// The club main screen: calendar, money, the clubs of one division, the
// coach table, the week's messages, and the frame of the week (contract,
// transfer or next match). NEXT advances the game.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>
#include <array>

class TClickPanel;
class TStringGridex;
class TFtomatch;
class TFcontract;
class TFtrade;
class QAction;
class QMenuBar;

class Tmain : public QWidget {
  Q_OBJECT
 public:
  explicit Tmain(QWidget* parent = nullptr);

  QWidget* client;  // the 1016 x 654 client area below the menu
  QMenuBar* MainMenu1;
  QLabel* lbweek;
  QLabel* lbmoney;
  TStringGridex* gridoutleague;
  std::array<QLabel*, 8> imgt{};
  std::array<QLabel*, 8> lbt{};
  std::array<int, 8> slotClub{};
  TStringGridex* gridcoach;
  QPlainTextEdit* Memo1;
  TStringGridex* gridautobar;  // the week's matches played so far, as a bar
  TClickPanel* btntrain;
  TClickPanel* btnnext;
  TFcontract* Fcontract1;
  TFtrade* Ftrade1;
  TFtomatch* Ftomatch1;
  bool BackFromTactics = false;  // shown again after the tactics screen: no refresh
  int ProgressSteps = 0;         // the black columns of gridautobar

  void Refresh();  // what every show does
  // A division chosen in the league table: its eight clubs' emblems and
  // names take the eight places, and the next-match frame follows it.
  void gridoutleagueClick(int division);
  // A left click on a club's emblem opens that club's tactics screen (the
  // user's own to edit, any other to look at); this screen is shown again
  // as it was when the tactics screen closes.
  void imgtLeftClick(int k);
  // A click on a club's name renames the club, for the whole game.
  void lbtClick(int k);
  // Club name k beside its emblem, fitted to the room before the frame.
  void SetClubName(int k, const QString& name);
  // The emblem's menu: a picture file becomes the club's new emblem; a
  // picture that cannot be read is reported and the emblem stays.
  void ReplaceEmblem(int k);
  // "指導方法": shows or hides the coach table, filled fresh each time.
  void btntrainClick();
  // NEXT: what the week's phase asks (contract marks carried out, bids and
  // answers handed to the market, the round played, the season closed), then
  // the week advances; a match week needs a complete starting eleven.
  void btnnextClick();
  bool CheckStartingEleven();
  void FillCoachTable();
  void StepProgress();  // the progress bar moves one cell
  void ShowMessages();
  // "見通し": the odds of the season's end and of the next match, in a dialog.
  void OpenOutlook();
  // "アシスタント" (league and cup weeks): line-ups for the next match compared.
  void OpenAdvice();
  QAction* actadvice;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void AdvanceWithoutMatch();
  void PlayMatchWeek(bool cup);
};

// Draws a club's 10 x 10 emblem stretched over a label.
void ShowEmblem(QLabel* label, int club);
