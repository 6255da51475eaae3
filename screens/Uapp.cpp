#include "screens/Uapp.h"

#include <QApplication>
#include <QBuffer>
#include <QFontMetrics>
#include <QImage>
#include <QImageReader>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <vector>

#include "club/Ufile.h"
#include "club/Upaths.h"
#include "club/Uteam.h"
#include "screens/Fevent.h"
#include "screens/Fmain.h"
#include "screens/Fmatch.h"
#include "screens/Fnews.h"
#include "screens/Fsave.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/Fvtr.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"

TApp& App() {
  static TApp* app = new TApp;
  return *app;
}

void TApp::Start() {
  // A save or conversion killed mid-write left its temporary behind.
  RemoveStalePlayerTemporaries();
  ShowTitle();
}

void TApp::Shutdown() { FreeGameState(); }

// A directory that cannot be made shows up later as a failed write.
void TApp::CreateDirectories() { CreatePlayerDirectories(); }

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
    ShowError(QStringLiteral("開始データを読めませんでした: ") + QString::fromStdString(ShippedPath("first.dat")));
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

Tmatch* TApp::PrepareMatch() {
  auto* m = new Tmatch;
  if (!m->PrepareNormal()) {
    m->deleteLater();
    return nullptr;
  }
  return m;
}

void TApp::OpenMatch(Tmatch* prepared) {
  if (!prepared) return;
  Current = prepared;
  prepared->StartNormal();
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

bool TApp::ConfirmEndGame(QWidget* screen) {
  return Confirm(screen, QStringLiteral("ゲームを終了しますか？保存していない進行は失われます"));
}

bool TApp::LoadQtTranslation() {
  static QTranslator* loaded = nullptr;
  if (loaded) return true;
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  auto* tr = new QTranslator(qApp);
  if (!tr->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete tr;
    return false;
  }
  QCoreApplication::installTranslator(tr);
  loaded = tr;
  return true;
}

void TApp::AutoSave() {
  if (!GameState) return;
  Guard([] { AutosaveIfDue(*GameState); });
}

bool TApp::SetEmblemFromFile(int club, const QString& file, QString* error) {
  QImageReader reader(file);
  QImage img = reader.read();
  if (img.isNull()) {
    QString why;
    switch (reader.error()) {
      case QImageReader::FileNotFoundError: why = QStringLiteral("ファイルがありません"); break;
      case QImageReader::UnsupportedFormatError: why = QStringLiteral("対応していない画像形式です"); break;
      case QImageReader::InvalidDataError: why = QStringLiteral("画像が壊れています"); break;
      default: why = QStringLiteral("画像を読めません"); break;
    }
    *error = file + QStringLiteral(": ") + why;
    return false;
  }
  QImage small =
      img.scaled(10, 10, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  if (!small.save(&buf, "BMP")) {
    *error = file + QStringLiteral(": 画像を変換できません");
    return false;
  }
  std::vector<uint8_t> bmp(bytes.begin(), bytes.end());
  try {
    GameState->Team(club).SetEmblem(std::move(bmp));
  } catch (const std::exception& e) {
    *error = file + QStringLiteral(": 画像を変換できません") + QString::fromStdString(DamagePlace(e));
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

namespace {
// A long file name has no place to break a line: the box shows it with
// break chances every 48 characters instead of running off its edge.
QString Breakable(const QString& text) {
  QString out;
  int run = 0;
  for (QChar c : text) {
    out += c;
    run = c.isSpace() ? 0 : run + 1;
    if (run == 48) {
      out += QChar(0x200B);
      run = 0;
    }
  }
  return out;
}
}  // namespace

void TApp::ShowError(const QString& what) {
  LastMessage = what;
  if (Interactive())
    QMessageBox::critical(nullptr, QStringLiteral("Vantorel"), Breakable(what));
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

int TApp::Choose(QWidget* parent, const QString& text, const QStringList& answers) {
  LastMessage = text;
  if (!Interactive()) return AutoChoice;
  QMessageBox box(QMessageBox::Question, QStringLiteral("Vantorel"), text, QMessageBox::NoButton, parent);
  std::vector<QAbstractButton*> buttons;
  for (const QString& a : answers) buttons.push_back(box.addButton(a, QMessageBox::AcceptRole));
  if (!buttons.empty()) box.setEscapeButton(buttons.back());
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
  return static_cast<int>(answers.size()) - 1;
}

bool TApp::AskText(QWidget* parent, const QString& caption, const QString& prompt, QString& text) {
  LastAskedText = text;
  if (!Interactive()) {
    QString answer = AutoTexts.isEmpty() ? AutoText : AutoTexts.takeFirst();
    if (answer.isNull()) return false;
    text = answer;
    return true;
  }
  QInputDialog dialog(parent);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(text);
  // The title bar shows the whole caption (and the program's name the
  // window system adds) beside its buttons: the dialog's layout takes its
  // width from the entry field.
  const QFontMetrics fm(QApplication::font());
  const int title =
      fm.horizontalAdvance(caption + QStringLiteral(" — ") + QApplication::applicationDisplayName()) + 140;
  if (auto* entry = dialog.findChild<QLineEdit*>()) entry->setMinimumWidth(std::max(300, title - 40));
  if (dialog.exec() != QDialog::Accepted) return false;
  text = dialog.textValue();
  return true;
}
