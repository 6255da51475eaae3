#include "screens/Frcontract.h"

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

TFcontract::TFcontract(QWidget* parent) : QWidget(parent) {
  lbinfo = new QLabel(this);
  lbinfo->setGeometry(40, 40, 700, 120);
  lbinfo->setFont(GothicFont(21));
  lbinfo->setWordWrap(true);
}

void TFcontract::ShowContracts() {
  if (!GameState) return;
  FillContractGrid(GameState->Team(0), *GameState, gridplist, gridfuture);
  lbinfo->setText(QStringLiteral("第1週　契約更改の週です。\n全員の契約をそのまま更新します。NEXTで次の週へ進みます。"));
}

void TFcontract::CommitContracts() {
  if (!GameState || !GameState->Market) return;
  Tteam& club = GameState->Team(0);
  ::CommitContracts(club, *GameState, *GameState->Market, gridplist, club.YouthNationality, club.YouthPosition);
}
