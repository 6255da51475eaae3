// The contract frame of week 1. Its lists are filled from the club; NEXT
// commits what they hold. The marks the user can set here arrive with the
// full contract screen; until then the frame says which week it is and
// commits the lists as filled (every player keeps his number).
#pragma once

#include <QLabel>
#include <QWidget>

#include "club/Ugrid.h"

class TFcontract : public QWidget {
  Q_OBJECT
 public:
  explicit TFcontract(QWidget* parent);
  void ShowContracts();
  void CommitContracts();

  QLabel* lbinfo;
  TGrid gridplist;
  TGrid gridfuture;
};
