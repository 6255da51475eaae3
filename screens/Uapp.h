// The application object: owns the screens, the one game state, and the
// navigation between screens. A screen is closed by releasing it (deferred
// deletion); its successor is created in the same handler.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class Tmatch;

class TApp : public QObject {
  Q_OBJECT
 public:
  void Start();
  void Shutdown();

  // The five working directories under data/; failures are ignored.
  void CreateDirectories();
  // Frees the game state in use and builds a fresh one with a new world.
  // A missing or damaged start file is reported with its name.
  bool NewGameState();
  void FreeGameState();

  // Navigation (see each screen for when it is used).
  void ShowTitle();
  void StartNewGame(QWidget* title);
  void OpenSave(int mode, QWidget* over);
  void OpenReplay(QWidget* title);
  void Quit(QWidget* title);
  void ShowMain();
  void BackToTitle(QWidget* from);
  // The match screen for the user's next match, loaded but not shown; null
  // (the reason shown, naming the file) when its pictures, sounds or
  // line-ups cannot be loaded. OpenMatch shows a prepared one.
  Tmatch* PrepareMatch();
  void OpenMatch(Tmatch* prepared);
  // The match screen in data-battle mode: club 0 against club 1. False
  // (with the reason shown) when the match could not be set up.
  bool OpenDataBattle();
  void OpenNews();
  void OpenEvent();
  // The tactics screen for a club, over the club screen (hidden meanwhile
  // and shown again when the tactics screen closes).
  void OpenTactics(int club, QWidget* main);
  void Release(QWidget* screen);
  // Asked when a screen of a running game is closed by the window manager
  // (close box, Alt+F4): true lets the window close and the game end.
  bool ConfirmEndGame(QWidget* screen);

  // Qt's own Japanese texts (OK, Cancel, Yes, No, the file dialogs) and the
  // Japanese locale. False when the translation file is not installed.
  bool LoadQtTranslation();

  // Saves to the "autosave" slot when the week is due; a failure is
  // reported, the game goes on.
  void AutoSave();
  // Replaces a club's emblem by a picture file (BMP, PNG, JPEG) shrunk to
  // 10 x 10. On failure the emblem is unchanged and *error says why.
  bool SetEmblemFromFile(int club, const QString& file, QString* error);

  // Runs a core operation; an error is shown to the user (with the file it
  // concerns) and false returned. The running game is kept.
  bool Guard(const std::function<void()>& op);

  // Modal dialogs; without a display (offscreen tests) they answer from
  // AutoAnswer and record the text in LastMessage.
  void ShowError(const QString& what);
  void Message(QWidget* parent, const QString& text);
  bool Confirm(QWidget* parent, const QString& text);
  // A question with its own answers; the index of the one chosen (the last
  // when the box is closed). Without a display it answers AutoChoice.
  int Choose(QWidget* parent, const QString& text, const QStringList& answers);
  int AutoChoice = 0;
  // Input dialog; false when cancelled. Without a display it answers the
  // first of AutoTexts (a null string cancels), or AutoText when that list
  // is empty (cancelled when AutoText is null).
  bool AskText(QWidget* parent, const QString& caption, const QString& prompt, QString& text);
  QString LastAskedText;  // the text the last input dialog opened with
  QString AutoText;
  QStringList AutoTexts;
  bool Interactive() const;

  bool AutoAnswer = true;
  QString LastMessage;
  QPointer<QWidget> Current;  // the newest full-window screen
};

TApp& App();
