// The transfer frame of weeks 2 to 11: the transfer list with its filter,
// the running negotiations and the transfer report, one view at a time.
// The market fills the grids; the user marks bids on listed players and
// answers negotiations with a right click, and NEXT hands the marks to the
// market. A click on a name opens the player card.
#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QSpinBox;
class TClickPanel;
class TStringGridex;
struct TListFilter;

class TFtrade : public QWidget {
  Q_OBJECT
 public:
  explicit TFtrade(QWidget* parent);

  // Rebuilds every view from the market (each show of the club screen in a
  // transfer week); the view chosen in the menu stays.
  void ShowTransfers();
  // NEXT: the marked bids, then the answers, to the market.
  void SubmitBidsAndAnswers();

  TStringGridex* gridmenu;
  QLabel* lboffer;
  TStringGridex* grid1;  // the transfer list
  TStringGridex* grid2;  // the negotiations
  TStringGridex* grid3;  // the transfer report
  QGroupBox* GBfilter;
  QLabel* Label7;
  TClickPanel* btnfilter;
  // Criterion k (1..8) of the filter: CB[k] ticks it; GB[k] (2..8) holds
  // its spin edit SE[k]; criterion 1 shows the position list LB1.
  std::array<QCheckBox*, 9> CB{};
  std::array<QGroupBox*, 9> GB{};
  std::array<QSpinBox*, 9> SE{};
  QListWidget* LB1;
  // Rows of the list as the market filled it: OK brings them all back.
  int ListRows = 0;

  // The menu row: the list opens through its filter panel; offers and the
  // report show only when they have a row.
  void gridmenuClick(int col);
  // A criterion's tick box shows or hides that criterion's settings.
  void CBClick(int k);
  // The filter's OK: the list shows only the players that pass it (the
  // others are hidden, never dropped: NEXT still sees every bid).
  void btnfilterClick();
  // The filter as the panel's controls set it.
  TListFilter Filter() const;
  // On the list: a left click on a name opens the player's card, a right
  // click marks a bid at the asking price or takes it back.
  void grid1MouseDown(int col, int row, Qt::MouseButton button);
  // On the negotiations: a left click on a name opens the card, a right
  // click doubles the leading bid for another club's player, or holds out
  // for the user's own, or clears the answer.
  void grid2MouseDown(int col, int row, Qt::MouseButton button);

 private:
  void OpenPlayerCard(const std::string& club, const std::string& number);
  void grid2DrawCell(QPainter& p, const QRect& rc, int col, int row);
};
