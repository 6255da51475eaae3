// The replay's analysis dialog ("分析" on the replay screen): the pitch with
// a heat map of a side or a player and the sides' shapes (average places of
// the eleven), the possession of every five minutes as a chart, and every
// player's time on the pitch, distance and top speed as a table. It shows
// the core's analysis of the recording (match/Uvtranalyse) and computes
// nothing itself; it cannot fail once opened.
#pragma once

#include <QDialog>
#include <QPixmap>
#include <array>

#include "match/Uvtranalyse.h"

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TFanalyse : public QDialog {
  Q_OBJECT
 public:
  // The recording must hold at least one frame (any file TmVTR accepted).
  TFanalyse(const TmVTR& recording, QWidget* parent = nullptr);

  // What the pitch shows: both sides' shapes, one side's heat map and
  // shape, or one player's heat map (kShowPlayer + his index in the
  // analysis's player list).
  enum : int { kShowBoth = -1, kShowSide0 = 0, kShowSide1 = 1, kShowPlayer = 100 };

  QComboBox* cbshow;
  QWidget* imgpitch;
  QLabel* lbpitch;  // what the pitch shows, and the direction of play
  QLabel* lbsummary;
  QChartView* chart;
  QTableWidget* gridrun;
  QPushButton* btnclose;

  const TVtrAnalysis& Analysis() const { return analysis_; }
  int Showing() const { return showing_; }
  // Shows a choice of cbshow's list (kShowBoth, a side, or a player).
  void Show(int what);
  // Paints the pitch picture as imgpitch shows it, at full size (755 x 525).
  QImage PitchImage() const;

 private:
  void FillChoices();
  void FillSummary();
  void FillChart();
  void FillTable();
  void gridrunClick(int row);

  TVtrAnalysis analysis_;
  std::array<QString, 2> names_;
  QPixmap pitch_;
  int showing_ = kShowBoth;
};
