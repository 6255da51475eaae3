// The transfer frame of weeks 2 to 11. Its lists are filled from the market;
// NEXT hands the marked bids and answers to the market. Bidding arrives with
// the full transfer screen; until then the frame says which week it is and
// hands over the lists as filled (no bids, no answers).
#pragma once

#include <QLabel>
#include <QWidget>

#include "club/Ugrid.h"

class TFtrade : public QWidget {
  Q_OBJECT
 public:
  explicit TFtrade(QWidget* parent);
  void ShowTransfers();
  void SubmitBidsAndAnswers();

  QLabel* lbinfo;
  TGrid grid1;
  TGrid grid2;
  int listRows = 0;
};
