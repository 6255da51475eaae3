#include "screens/Uapp.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QInputDialog>
#include <QMessageBox>
#include <QWidget>
#include <exception>

#include "club/Ufile.h"
#include "club/Uteam.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/Fevent.h"
#include "screens/Fsave.h"
#include "screens/Fvtr.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"

TApp& App() {
  static TApp* app = new TApp;
  return *app;
}

void TApp::Start() { ShowTitle(); }

void TApp::Shutdown() { FreeGameState(); }

void TApp::CreateDirectories() {
  for (const char* d : {"data/tmp", "data/savedata", "data/vs", "data/formation", "data/vtr"}) {
    try {
      EnsureDirectory(d);
    } catch (const std::exception&) {
      // A directory that cannot be made shows up later as a failed write.
    }
  }
}

bool TApp::NewGameState() {
  FreeGameState();
  GameState = new Tgamemain;
  return Guard([] { GameState->NewGame(); });
}

void TApp::FreeGameState() {
  delete GameState;
  GameState = nullptr;
}

void TApp::ShowTitle() {
  auto* t = new Ttitle;
  Current = t;
  t->show();
}

void TApp::StartNewGame(QWidget* title) {
  if (!GameState || !GameState->Teams[0]) {
    ShowError(QStringLiteral("開始データを読めませんでした: data/first.dat"));
    return;
  }
  GameState->Market = std::make_unique<Ttrade>();
  ShowMain();
  Release(title);
}

void TApp::OpenSave(int mode, QWidget* over) {
  auto* s = new Tsave(over);
  s->OpenSaveScreen(mode);
}

void TApp::OpenReplay(QWidget* title) {
  auto* v = new Tvtr;
  Current = v;
  v->show();
  Release(title);
}

void TApp::Quit(QWidget* title) {
  FreeGameState();
  Release(title);
  QApplication::quit();
}

void TApp::ShowMain() {
  auto* m = new Tmain;
  Current = m;
  m->show();
}

void TApp::BackToTitle(QWidget* from) {
  FreeGameState();
  ShowTitle();
  Release(from);
}

void TApp::OpenMatch() {
  auto* m = new Tmatch;
  Current = m;
  m->OpenNormal();
}

bool TApp::OpenDataBattle() {
  auto* m = new Tmatch;
  if (!m->OpenDataBattle()) {
    m->deleteLater();
    return false;
  }
  Current = m;
  return true;
}

void TApp::OpenNews() {
  auto* n = new Tnews;
  Current = n;
  n->show();
}

void TApp::OpenEvent() {
  auto* e = new Tevent;
  Current = e;
  e->show();
}

void TApp::OpenTactics(int club, QWidget* main) {
  auto* t = new Ttactics(main);
  Current = t;
  t->OpenForClub(club);
  if (main) main->hide();
}

void TApp::Release(QWidget* screen) {
  if (!screen) return;
  screen->hide();
  screen->deleteLater();
}

void TApp::AutoSave() {
  if (!GameState) return;
  Guard([] { SaveGameToSlot(*GameState, kAutosaveSlot); });
}

bool TApp::SetEmblemFromFile(int club, const QString& file, QString* error) {
  QImageReader reader(file);
  QImage img = reader.read();
  if (img.isNull()) {
    *error = QStringLiteral("画像を読めませんでした: ") + file + QStringLiteral("\n") + reader.errorString();
    return false;
  }
  QImage small = img.scaled(10, 10, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  if (!small.save(&buf, "BMP")) {
    *error = QStringLiteral("画像を変換できませんでした: ") + file;
    return false;
  }
  std::vector<uint8_t> bmp(bytes.begin(), bytes.end());
  try {
    GameState->Team(club).SetEmblem(std::move(bmp));
  } catch (const std::exception& e) {
    *error = QStringLiteral("画像を変換できませんでした: ") + file + QStringLiteral("\n") + QString::fromStdString(e.what());
    return false;
  }
  return true;
}

bool TApp::Guard(const std::function<void()>& op) {
  try {
    op();
    return true;
  } catch (const std::exception& e) {
    ShowError(QString::fromStdString(e.what()));
    return false;
  }
}

bool TApp::Interactive() const {
  return qApp && QApplication::platformName() != QLatin1String("offscreen") &&
         QApplication::platformName() != QLatin1String("minimal");
}

void TApp::ShowError(const QString& what) {
  LastMessage = what;
  if (Interactive())
    QMessageBox::critical(nullptr, QStringLiteral("Vantorel"), what);
  else
    qWarning("%s", qPrintable(what));
}

void TApp::Message(QWidget* parent, const QString& text) {
  LastMessage = text;
  if (Interactive()) QMessageBox::information(parent, QStringLiteral("Vantorel"), text);
}

bool TApp::Confirm(QWidget* parent, const QString& text) {
  LastMessage = text;
  if (!Interactive()) return AutoAnswer;
  return QMessageBox::question(parent, QStringLiteral("Vantorel"), text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

bool TApp::AskText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) {
  if (!Interactive()) {
    QString answer = AutoTexts.isEmpty() ? AutoText : AutoTexts.takeFirst();
    if (answer.isNull()) return false;
    text = answer;
    return true;
  }
  bool ok = false;
  QString answer = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, text, &ok);
  if (ok) text = answer;
  return ok;
}
