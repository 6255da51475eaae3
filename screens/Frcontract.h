// The contract frame of week 1, the manager's off-season desk: next
// season's shirt numbers on the number board, players let go or made
// coaches, youths promoted, and where the youth scouts look. The marks live
// on the desk until NEXT hands them to the club; the figures above the list
// (wages, scouting cost, the deficit warning) follow every mark.
#pragma once

#include <QWidget>

#include "world/Uuserops.h"

class QGroupBox;
class QLabel;
class QListWidget;
class TClickPanel;
class TStringGridex;

class TFcontract : public QWidget {
  Q_OBJECT
 public:
  explicit TFcontract(QWidget* parent);

  // Builds the desk from club 0 (each time the club screen is shown in
  // week 1) and shows it.
  void ShowContracts();
  // NEXT in week 1: the marks are carried out on the club and the market.
  void CommitContracts();

  TStringGridex* gridcoach;
  QLabel* lbwage;
  QLabel* lbscout;
  QLabel* lbminus;
  QGroupBox* Groupyouth;
  QLabel* lby1;
  QLabel* lby2;
  QLabel* lby3;
  QListWidget* Lbox1;  // scouting country
  QListWidget* Lbox2;  // scouting type
  TStringGridex* gridplist;
  TStringGridex* gridfuture;
  TClickPanel* btncformat;

  Tcontractdesk Desk;

  // The selected list row gets the selected board row's label.
  void AssignNumber();
  // "初期化": the selected list row as it was filled.
  void btncformatMouseDown();
  // Selects the list row of the player the selected board row names.
  void gridfutureDblClick();
  // The scouting choice of the two list boxes goes to the club.
  void ScoutingChosen();
  // The player card of a squad row, over the club screen.
  void OpenPlayerCard(int plistRow);

 private:
  void ShowFigures();
  void RefreshGrids();
};
