#include "screens/Ftactics.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "club/Ufile.h"
#include "club/Upaths.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Fplayer.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "screens/Uscale.h"
#include "world/Ugamemain.h"

namespace {
const QColor kFormColour(215, 253, 215);
const QColor kCardSilver(192, 192, 192);
constexpr int kRowHeight = 17;

// Writes text from a top-left origin inside a filled box, clipped to it.
void BoxText(QPainter& p, const QRect& box, QPoint origin, const QColor& fill, const QString& text) {
  p.fillRect(box, fill);
  p.save();
  p.setClipRect(box);
  p.setPen(Qt::black);
  p.drawText(QRect(origin, box.bottomRight()), Qt::AlignLeft | Qt::AlignTop, text);
  p.restore();
}

QFont PointFont(int points, bool bold = false) {
  QFont f = GothicFont(12, bold);
  f.setPointSize(points);
  return f;
}
}  // namespace

Ttactics::Ttactics(QWidget* caller) : QWidget(nullptr), caller_(caller) {
  setObjectName(QStringLiteral("tactics"));
  setWindowFlag(Qt::FramelessWindowHint);
  setFixedSize(1016, 652);
  move(0, 20);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kFormColour);
  setPalette(pal);
  setFocusPolicy(Qt::StrongFocus);

  imgpitch = new QLabel(this);
  imgpitch->setGeometry(0, 0, kPitchPictureWidth, kPitchPictureHeight);
  imgpitch->installEventFilter(this);

  imgteam = new QLabel(this);
  imgteam->setGeometry(320, 448, 697, 210);

  gridmatchmen = new TStringGridex(this);
  gridmatchmen->setGeometry(0, 448, 320, 201);
  gridmatchmen->RowHeight = kRowHeight;
  gridmatchmen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridmatchmen->ShowModel(&Board.Lineup);
  gridmatchmen->SetSelection(1, 1);

  gridplayer = new TStringGridex(this);
  gridplayer->setGeometry(568, 0, 449, 440);
  gridplayer->RowHeight = kRowHeight;
  gridplayer->Sortable = true;
  gridplayer->HandColumn = kSquadName;
  gridplayer->ShowModel(&Board.Squad);
  UseSquadPainter(gridplayer, kSquadGrowth);

  GBmyteam = new QGroupBox(this);
  GBmyteam->setGeometry(736, 456, 273, 49);
  btnpossave = new TClickPanel(QStringLiteral("SAVE"), GBmyteam, 8, 12, 75, 30);
  btnposload = new TClickPanel(QStringLiteral("LOAD"), GBmyteam, 99, 12, 75, 30);
  btnautoselect = new TClickPanel(QStringLiteral("自動選抜"), GBmyteam, 190, 12, 75, 30);
  btnsave = new TClickPanel(QStringLiteral("OK"), this, 830, 616, 75, 30);
  btnback = new TClickPanel(QStringLiteral("戻る"), this, 926, 616, 75, 30);

  connect(btnsave, &TClickPanel::clicked, this, &Ttactics::btnsaveClick);
  connect(btnback, &TClickPanel::clicked, this, &Ttactics::btnbackClick);
  connect(btnautoselect, &TClickPanel::clicked, this, &Ttactics::btnautoselectClick);
  connect(btnpossave, &TClickPanel::clicked, this, &Ttactics::btnpossaveClick);
  connect(btnposload, &TClickPanel::clicked, this, &Ttactics::btnposloadClick);

  connect(gridplayer, &TStringGridex::cellClicked, this, [this](int c, int r, Qt::MouseButton b) {
    const TGrid& g = Board.Squad;
    if (r < g.FixedRows) return;  // the header sorts by itself
    if (b == Qt::RightButton) {
      AssignPlayer();
    } else if (b == Qt::LeftButton && c == kSquadName) {
      OpenPlayerCard(r);
    }
  });
  connect(gridmatchmen, &TStringGridex::cellClicked, this, [this](int, int, Qt::MouseButton b) {
    if (b == Qt::RightButton) AssignPlayer();
    DrawPositions();
  });
  connect(gridplayer, &TStringGridex::cellDoubleClicked, this, [this](int, int) { LinkGrids(gridplayer); });
  connect(gridmatchmen, &TStringGridex::cellDoubleClicked, this, [this](int, int) { LinkGrids(gridmatchmen); });

  QFile turf(QString::fromStdString(ShippedPath("picture/turf.png")));
  if (turf.open(QIODevice::ReadOnly)) imgsiba_.loadFromData(turf.readAll());
  DrawHalfPitch();
}

Ttactics::~Ttactics() {
  // The screen below comes back once this one is gone.
  QPointer<QWidget> caller = caller_;
  if (caller)
    QTimer::singleShot(0, caller, [caller] {
      if (!caller) return;
      App().Current = caller;
      caller->show();
    });
}

void Ttactics::OpenForClub(int club) {
  if (!GameState || club < 0 || club >= kClubCount || !GameState->Teams[club]) return;
  const bool own = club == kUserClub;
  btnsave->setVisible(own);
  GBmyteam->setVisible(own);
  Board.Open(GameState->Team(club), *GameState, club);
  // Headers ("Age") and names whole.
  for (int c = 0; c < Board.Squad.ColCount(); ++c) gridplayer->WidenToFit(c);
  RefreshGrids();
  DrawPositions();
  DrawClubCard();
  show();
  setFocus();
}

void Ttactics::RefreshGrids() {
  gridmatchmen->Refresh();
  gridplayer->Refresh();
}

// ---- the half pitch ---------------------------------------------------------

void Ttactics::DrawHalfPitch() {
  // Pitch units are 12 to the pixel here; 100 units make a metre.
  // As many pixels as the monitor shows: the lines stay sharp at any scale.
  imgbg_ = SharpCanvas(QSize(kPitchPictureWidth, kPitchPictureHeight));
  QPainter p(&imgbg_);
  if (!imgsiba_.isNull())
    p.drawTiledPixmap(QRect(0, 0, kPitchPictureWidth, kPitchPictureHeight), imgsiba_);
  else
    imgbg_.fill(QColor(0, 150, 0));
  const int goalLine = kOwnGoalLinePixel, mid = kPlacementCentre.X - 1;  // the pitch's long axis
  auto metres = [](double m) { return static_cast<int>(m * 100 / kUnitsPerPixel + 0.5); };
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(Qt::NoBrush);
  p.drawLine(0, 1, kPitchPictureWidth, 1);                // halfway line
  p.drawLine(0, goalLine, kPitchPictureWidth, goalLine);  // goal line
  p.drawLine(1, 1, 1, goalLine);                          // touchlines
  p.drawLine(kPitchPictureWidth - 2, 1, kPitchPictureWidth - 2, goalLine);
  const int circle = metres(9.15);
  p.drawEllipse(QPoint(mid, 1), circle, circle);
  const int boxHalf = metres(20.16), boxDepth = metres(16.5);
  p.drawRect(mid - boxHalf, goalLine - boxDepth, 2 * boxHalf, boxDepth);
  const int areaHalf = metres(9.16), areaDepth = metres(5.5);
  p.drawRect(mid - areaHalf, goalLine - areaDepth, 2 * areaHalf, areaDepth);
  const int spot = goalLine - metres(11);
  p.setBrush(Qt::white);
  p.drawEllipse(QPoint(mid, spot), 2, 2);
  p.setBrush(Qt::NoBrush);
  // The arc of the penalty area: the part of the spot's circle outside the box.
  p.save();
  p.setClipRect(0, 0, kPitchPictureWidth, goalLine - boxDepth);
  p.drawEllipse(QPoint(mid, spot), circle, circle);
  p.restore();
  const int goalHalf = metres(3.66);
  p.setPen(QPen(QColor(230, 230, 230), 1));
  p.setBrush(QColor(255, 255, 255, 90));
  p.drawRect(mid - goalHalf, goalLine, 2 * goalHalf, kPitchPictureHeight - goalLine - 1);
}

void Ttactics::DrawPositions() {
  QPixmap pm = imgbg_;
  QPainter p(&pm);
  p.setFont(GothicFont(12));  // the screens' 12-pixel face fits the 16-pixel boxes
  const int selected = gridmatchmen->Row();
  for (int i = 0; i < kStarterCount; ++i) {
    const TPoint pos = Board.Positions[static_cast<std::size_t>(i)];
    // Drawn whole inside the picture: the goalkeeper stands on the goal
    // line, a few pixels above its bottom edge.
    const int x = std::clamp(pos.X, 20, kPitchPictureWidth - 21);
    const int y = std::clamp(pos.Y, 26, kPitchPictureHeight - 9);
    const QRect numberBox(QPoint(x - 8, y - 8), QPoint(x + 8, y + 8));
    BoxText(p, numberBox, QPoint(x - 7, y - 8), Qt::white, QString::fromStdString(Board.Lineup.Cells(kMenNumber, i)));
    if (i == selected) {  // the player a click would move
      p.setPen(QPen(Qt::red, 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(numberBox.adjusted(-1, -1, 1, 1));
    }
    const QRect nameBox(QPoint(x - 20, y - 26), QPoint(x + 20, y - 10));
    BoxText(p, nameBox, QPoint(x - 20, y - 26), Qt::yellow,
            QString::fromStdString(Board.Lineup.Cells(kMenPosition, i)));
  }
  p.end();
  imgpitch->setPixmap(pm);
}

void Ttactics::imgpitchMouseDown(int x, int y) {
  if (Board.PlacePlayer(gridmatchmen->Row(), TPoint{x, y})) DrawPositions();
}

// ---- the club card ----------------------------------------------------------

void Ttactics::CardColours(const QImage& emblem, QColor& a, QColor& b) {
  // Read from the card itself, where the emblem lies at (10, 10) at its own
  // size over the form colour.
  QImage card(20, 20, QImage::Format_RGB32);
  card.fill(kFormColour);
  {
    QPainter p(&card);
    p.drawImage(10, 10, emblem);
  }
  a = QColor(card.pixel(10, 10));
  for (int i = 11; i <= 19; ++i) {
    if (QColor(card.pixel(i, i)) != a) {
      b = QColor(card.pixel(i, i));
      return;
    }
  }
  b = a == QColor(Qt::white) ? QColor(Qt::black) : QColor(Qt::white);
}

void Ttactics::DrawClubCard() {
  if (!GameState) return;
  const Tteam& club = GameState->Team(Board.Club);
  QImage emblem;
  emblem.loadFromData(club.Emblem.data(), static_cast<int>(club.Emblem.size()), "BMP");
  emblem = emblem.convertToFormat(QImage::Format_RGB32);
  QColor a, b;
  CardColours(emblem, a, b);
  QPixmap pm = SharpCanvas(imgteam->size());
  pm.fill(kFormColour);
  QPainter p(&pm);
  if (!emblem.isNull()) p.drawImage(QRect(10, 10, 180, 180), emblem);
  p.setFont(PointFont(30));
  const QString name = QString::fromStdString(club.ClubName);
  const QRect area(QPoint(0, 0), imgteam->size());
  auto write = [&](int x, int y, const QColor& c) {
    p.setPen(c);
    p.drawText(area.adjusted(x, y, 0, 0), Qt::AlignLeft | Qt::AlignTop, name);
  };
  write(258, 75, kCardSilver);
  write(253, 73, b);
  write(250, 70, a);
  p.end();
  imgteam->setPixmap(pm);
}

// ---- line-up ------------------------------------------------------------------

void Ttactics::AssignPlayer() {
  int newRow = -1;
  if (!Board.AssignPlayer(gridplayer->Row(), gridmatchmen->Row(), &newRow)) return;
  RefreshGrids();
  if (newRow > 0) {
    gridplayer->SetSelection(gridplayer->Col(), newRow);
    gridplayer->ScrollToRow(newRow);
  }
  DrawPositions();
}

void Ttactics::LinkGrids(TStringGridex* from) {
  if (from == gridplayer) {
    const int r = gridplayer->Row();
    if (r < 1 || r >= Board.Squad.RowCount()) return;
    const int slot = Board.SlotOfNumber(QString::fromStdString(Board.Squad.Cells(kSquadNumber, r)).toInt());
    if (slot < 0) return;
    gridmatchmen->SetSelection(gridmatchmen->Col(), slot);
    gridmatchmen->ScrollToRow(slot);
    DrawPositions();
  } else {
    const int32_t number = Board.SlotNumber(gridmatchmen->Row());
    const int r = number < 0 ? -1 : Board.SquadRowOfNumber(number);
    if (r < 0) return;
    gridplayer->SetSelection(gridplayer->Col(), r);
    gridplayer->ScrollToRow(r);
  }
}

void Ttactics::OpenPlayerCard(int squadRow) {
  if (squadRow < 1 || squadRow >= Board.Squad.RowCount()) return;
  bool ok = false;
  const int number = QString::fromStdString(Board.Squad.Cells(kSquadNumber, squadRow)).toInt(&ok);
  if (!ok) return;
  auto* card = new Tplayerinfo(this);  // goes with this screen
  card->ShowPlayer(Board.Club, number);
}

void Ttactics::keyPressEvent(QKeyEvent* e) {
  const QString t = e->text();
  if (t.size() == 1 && t[0] >= QLatin1Char('0') && t[0] <= QLatin1Char('9')) {
    const int row = t[0].digitValue() + 1;  // the field player labelled d
    gridmatchmen->SetSelection(gridmatchmen->Col(), row);
    gridmatchmen->ScrollToRow(row);
    DrawPositions();
    return;
  }
  QWidget::keyPressEvent(e);
}

bool Ttactics::eventFilter(QObject* o, QEvent* e) {
  if (o == imgpitch && e->type() == QEvent::MouseButtonPress) {
    const QPoint pos = static_cast<QMouseEvent*>(e)->position().toPoint();
    imgpitchMouseDown(pos.x(), pos.y());
    return true;
  }
  return QWidget::eventFilter(o, e);
}

// ---- buttons --------------------------------------------------------------------

void Ttactics::btnsaveClick() {
  if (!GameState || Board.Club != kUserClub) return;
  if (!Board.ApplyLineUp(GameState->Team(kUserClub))) {
    App().Message(this, QStringLiteral("スタメン11人が決まってません"));
    return;
  }
  App().Release(this);
}

void Ttactics::btnbackClick() { App().Release(this); }

void Ttactics::closeEvent(QCloseEvent* e) {
  // Accepting would leave no window shown for a moment and end the game:
  // the screen releases itself instead, as "戻る" does.
  e->ignore();
  btnbackClick();
}

void Ttactics::btnautoselectClick() {
  if (!GameState || Board.Club != kUserClub) return;
  if (!App().Guard([] { GameState->Team(kUserClub).AutoLineup(true); })) return;
  OpenForClub(kUserClub);
}

QString Ttactics::ChoosePositionFile(bool save) {
  const QString dir = QDir::current().absoluteFilePath(QString::fromStdString(PositionFileDir()));
  // Installed, the ready-made position files live apart from the player's.
  const QString shipped = QDir::current().absoluteFilePath(QString::fromStdString(ShippedPositionFileDir()));
  const bool twoFolders = QDir(shipped).canonicalPath() != QDir(dir).canonicalPath();
  QString file;
  if (App().Interactive()) {
    // LOAD opens on the ready-made files until the player has saved his own.
    const bool ownFiles = !QDir(dir).entryList({QStringLiteral("*.dat")}, QDir::Files).isEmpty();
    QFileDialog dialog(this, QString(), twoFolders && !save && !ownFiles ? shipped : dir,
                       QStringLiteral("フォーメーション (*.dat)"));
    if (twoFolders) {
      // Both folders in the side bar, which only the toolkit's own dialog has.
      dialog.setOption(QFileDialog::DontUseNativeDialog);
      QList<QUrl> side = {QUrl::fromLocalFile(dir), QUrl::fromLocalFile(shipped)};
      side += dialog.sidebarUrls();
      dialog.setSidebarUrls(side);
      // Both folders are called "formation": say whose they are, again
      // whenever the dialog renames its entries after reading the folders.
      if (auto* bar = dialog.findChild<QListView*>(QStringLiteral("sidebar")); bar && bar->model()) {
        QAbstractItemModel* m = bar->model();
        auto label = [m] {
          const QString names[2] = {QStringLiteral("自分のフォーメーション"), QStringLiteral("付属のフォーメーション")};
          for (int row = 0; row < 2 && row < m->rowCount(); ++row)
            if (m->index(row, 0).data().toString() != names[row]) m->setData(m->index(row, 0), names[row]);
        };
        label();
        connect(m, &QAbstractItemModel::dataChanged, &dialog, label);
        if (auto* split = dialog.findChild<QSplitter*>(QStringLiteral("splitter"))) split->setSizes({190, 430});
      }
    }
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the screen asks itself
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    file = dialog.selectedFiles().first();
  } else {
    file = AutoFile;
    if (file.isEmpty()) return QString();
    if (QFileInfo(file).isRelative()) {
      const QString name = file;
      file = QDir(dir).filePath(name);
      if (!save && twoFolders && !QFileInfo::exists(file)) file = QDir(shipped).filePath(name);
    }
    if (save && QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".dat");
  }
  return file;
}

void Ttactics::btnpossaveClick() {
  const QString file = ChoosePositionFile(true);
  if (file.isEmpty()) return;
  if (QFileInfo::exists(file)) {
    const QString ask = QStringLiteral("同じ名前のファイルがあります。上書きしますか");
    App().LastMessage = ask;
    const bool overwrite = App().Interactive()
                               ? QMessageBox::warning(this, QStringLiteral("Vantorel"), ask,
                                                      QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok
                               : App().AutoAnswer;
    if (!overwrite) return;
  }
  const std::string path = file.toStdString();
  App().Guard([&] { SavePositionFile(path, Board.Positions); });
}

void Ttactics::btnposloadClick() {
  const QString file = ChoosePositionFile(false);
  if (!file.isEmpty()) {
    const std::string path = file.toStdString();
    App().Guard([&] { LoadPositionFile(path, Board.Positions); });
  }
  DrawPositions();
}
