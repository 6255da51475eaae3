// The size of the game's window: one scale for every screen, dialog and
// picture (1x, 1.25x, 1.5x, 2x, 3x). Qt applies it (QT_SCALE_FACTOR, set
// before the application object exists), so every screen keeps its own
// coordinates and only the pixels on the monitor grow. The player chooses
// it on the title screen or with "vantorel --scale 1.5"; it is remembered
// in the user's settings (QSettings, ~/.config/Vantorel/vantorel.conf).
// At the first start the largest step whose club screen fits the screen is
// taken. A setting that cannot be read or makes no sense counts as absent;
// nothing here throws.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>
#include <vector>

class QWidget;
class TClickPanel;

// The steps offered, smallest first.
const std::vector<double>& ScaleSteps();
// "1.5", "1.5x", "×1.5", "150%" as a step; 0 when the text names none.
double ParseScale(const QString& text);
// How a step is shown: "×1", "×1.25", "×2".
QString ScaleText(double scale);
// The largest step at which the club screen fits an area of this many
// logical pixels (the screen's available area at 1x); 1 when none does.
double FittingScale(QSize available);

// The remembered step; 0 when none is remembered.
double SavedScale();
void SaveScale(double scale);

// What main() does before the application object exists, in this order:
// "--scale S" (or "--scale=S") on the command line, taken out of argv and
// remembered; else QT_SCALE_FACTOR already set in the environment (left as
// it is); else the remembered step; else, at the first start, the fitting
// step, found by asking the screen through a short-lived probe and then
// remembered. The chosen step is put into QT_SCALE_FACTOR. Returns false
// with *error set when --scale names no step.
bool PrepareScale(int& argc, char** argv, QString* error);
// The step the running program uses (QT_SCALE_FACTOR as PrepareScale left it).
double CurrentScale();

// A picture drawn once and shown at the window's scale: a pixmap of the
// logical size with as many pixels as the monitor shows, so that lines and
// text drawn on it stay sharp. Fill it before painting.
QPixmap SharpCanvas(QSize logical);

// The title screen's choice: a panel showing the step, a click opens the
// steps that fit this screen; a new choice is remembered and takes effect
// at the next start, which the player is told (and may restart at once).
TClickPanel* AddScaleChooser(QWidget* title, int x, int y, int w, int h);
// What a click on the chooser does once a step is picked (the menu's
// action; tests call it directly).
void ChooseScale(QWidget* title, double scale);
