#include "screens/Frtrade.h"

#include "screens/Clickpanel.h"
#include "world/Ugamemain.h"
#include "world/Utrade.h"
#include "world/Uuserops.h"

TFtrade::TFtrade(QWidget* parent) : QWidget(parent) {
  lbinfo = new QLabel(this);
  // Below the coach table, which opens over the top of the frame.
  lbinfo->setGeometry(40, 170, 700, 120);
  lbinfo->setFont(GothicFont(21));
  lbinfo->setWordWrap(true);
}

void TFtrade::ShowTransfers() {
  if (!GameState || !GameState->Market) return;
  GameState->Market->ShowListings(grid1);
  listRows = grid1.RowCount();
  GameState->Market->ShowNegotiations(grid2);
  lbinfo->setText(QStringLiteral("第") + QString::number(GameState->Week) +
                  QStringLiteral("週　移籍市場の週です。\n入札も回答もせずにNEXTで次の週へ進みます。"));
}

void TFtrade::SubmitBidsAndAnswers() {
  if (!GameState || !GameState->Market) return;
  SubmitBids(*GameState->Market, grid1);
  AnswerOffers(*GameState->Market, grid2);
}
