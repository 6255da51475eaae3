// The save screen: saving the running game, loading a game from the title,
// and (with VS files) the club export and the data battle's side choice.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QWidget>

class TClickPanel;
class TFtournamentsetup;
class TStringGridex;

class Tsave : public QWidget {
  Q_OBJECT
 public:
  // over: the screen below (title or club screen). The save screen is a
  // window of its own in front of it, and holds every other window back
  // while it is open; it goes when that screen goes.
  explicit Tsave(QWidget* over);

  TStringGridex* grid;
  QLabel* lbsave;
  TClickPanel* btnnewfile;
  TClickPanel* btn0;
  TClickPanel* btnchange;
  TClickPanel* btncancel;
  // Data battle: a tournament of many VS files instead of one battle.
  TClickPanel* btntournament;
  // Data battle: each side's emblem, club name and comment, squad.
  QLabel* img0;
  QLabel* img1;
  QPlainTextEdit* memo0;
  QPlainTextEdit* Memo1;
  TStringGridex* grid0;
  TStringGridex* grid1;
  int Mode = 0;

  // Shows the screen for mode 0 (save), 1 (load), 2 (VS export), 3 (data
  // battle). Returns false when the screen released itself at once.
  bool OpenSaveScreen(int mode);
  // The mode's action on the selected file: save, load, VS export, or
  // start the data battle with the two sides chosen.
  void btn0Click();
  // A double click is the same as the action button, except in the data
  // battle, where one click already picks a side.
  void gridDblClick();
  // "新規保存": asks a name; an existing one is overwritten after a question,
  // a new one joins the list once its file is written.
  void btnnewfileClick();
  // "DATA変換": every old save and VS file is brought to the current layout.
  void btnchangeClick();
  // Cancel: nothing written; in the data battle the sides read so far are
  // dropped with a fresh title world.
  void btncancelClick();
  // "大会": the entrants' choice of a tournament, over this screen.
  TFtournamentsetup* btntournamentClick();
  // Data battle: a press on cell (col, row) of the list picks that file
  // for the side of its column.
  void gridMouseDown(int col, int row);
  QString SelectedName() const;

 protected:
  // The close box (or Alt+F4) is "Cancel".
  void closeEvent(QCloseEvent* e) override;

 private:
  // Saves (mode 0) or exports (mode 2) under the name; a failure is shown.
  bool WriteNamed(const QString& name);
  void SaveSelected();
  void LoadSelected();
  void ExportSelected();
  void PickVsSide(int col, int row);
  void StartDataBattle();
  void FillList();
  QWidget* over_;
};
