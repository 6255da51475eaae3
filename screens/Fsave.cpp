#include "screens/Fsave.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPainter>

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Ftournament.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

Tsave::Tsave(QWidget* over) : QWidget(over, Qt::Window), over_(over) {
  setObjectName(QStringLiteral("save"));
  setWindowTitle(QStringLiteral("save"));
  setWindowFlag(Qt::FramelessWindowHint);
  // NEXT, the menu and the club column wait until the save screen is gone:
  // a week started from behind it would be saved half played.
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(700, 520);
  move(190, 90);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(160, 160, 160));
  setPalette(pal);

  grid = new TStringGridex(this);
  grid->setGeometry(240, 48, 230, 200);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid->RowHeight = 20;
  grid->ShowGridLines = false;
  grid->setFont(GothicFont(11));  // the date beside the scroll bar
  grid->Model().SetSize(2, 1);
  grid->Model().FixedRows = 0;
  grid->Model().DefaultColWidth = 130;
  connect(grid, &TStringGridex::cellDoubleClicked, this, [this](int, int) { gridDblClick(); });
  connect(grid, &TStringGridex::cellClicked, this, [this](int c, int r, Qt::MouseButton) { gridMouseDown(c, r); });

  lbsave = new QLabel(this);
  lbsave->setGeometry(224, 264, 257, 21);
  lbsave->setAlignment(Qt::AlignCenter);
  lbsave->setFont(GothicFont(21));
  lbsave->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

  btnnewfile = new TClickPanel(QStringLiteral("新規保存"), this, 310, 312, 80, 30);
  btnnewfile->hide();
  btn0 = new TClickPanel(QStringLiteral("保存"), this, 310, 376, 80, 30);
  btnchange = new TClickPanel(QStringLiteral("DATA変換"), this, 310, 434, 80, 30);
  btnchange->setFont(GothicFont(13, true));
  {
    QPalette p = btnchange->palette();
    p.setColor(QPalette::Window, QColor(255, 255, 0));
    btnchange->setPalette(p);
  }
  btncancel = new TClickPanel(QStringLiteral("Cancel"), this, 310, 488, 80, 30);
  // In the side choice the place of "新規保存" holds "大会".
  btntournament = new TClickPanel(QStringLiteral("大会"), this, 310, 312, 80, 30);
  btntournament->hide();

  img0 = new QLabel(this);
  img0->setGeometry(56, 56, 105, 105);
  img0->setScaledContents(true);
  img1 = new QLabel(this);
  img1->setGeometry(544, 56, 105, 105);
  img1->setScaledContents(true);
  memo0 = new QPlainTextEdit(this);
  memo0->setGeometry(24, 192, 185, 89);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setGeometry(504, 192, 185, 89);
  for (QPlainTextEdit* m : {memo0, Memo1}) {
    m->setReadOnly(true);
    m->hide();
  }
  grid0 = new TStringGridex(this);
  grid0->setGeometry(0, 298, 305, 223);
  grid1 = new TStringGridex(this);
  grid1->setGeometry(392, 297, 305, 223);
  for (TStringGridex* g : {grid0, grid1}) {
    QFont f = GothicFont(11);
    f.setStretch(90);
    g->setFont(f);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->RowHeight = 17;
    g->Model().SetSize(14, 23);
    g->Model().DefaultColWidth = 18;
    g->hide();
    // Starters and substitutes are told by the colour of their number.
    g->OnDrawCell = [g](QPainter& p, const QRect& rc, int c, int r) {
      const int32_t tag = g->Model().Tags(c, r);
      if (c != 1 || r < g->Model().FixedRows || tag == 0) return;
      p.fillRect(rc, TagColour(tag));
      p.setPen(Qt::black);
      p.drawText(rc.adjusted(2, 0, -1, 0), Qt::AlignVCenter | Qt::AlignLeft,
                 QString::fromStdString(g->Model().Cells(c, r)));
    };
    // A press on a squad only selects its row: picking a side is the
    // file list's alone.
  }
  connect(btnnewfile, &TClickPanel::clicked, this, &Tsave::btnnewfileClick);
  connect(btn0, &TClickPanel::clicked, this, &Tsave::btn0Click);
  connect(btnchange, &TClickPanel::clicked, this, &Tsave::btnchangeClick);
  connect(btncancel, &TClickPanel::clicked, this, &Tsave::btncancelClick);
  connect(btntournament, &TClickPanel::clicked, this, [this] { btntournamentClick(); });
}

QString Tsave::SelectedName() const {
  int r = grid->Row();
  const TGrid& g = grid->Model();
  if (r < g.FixedRows || r >= g.RowCount()) return QString();
  return QString::fromStdString(g.Cells(0, r));
}

void Tsave::FillList() {
  TGrid& g = grid->Model();
  if (Mode <= 1) {
    FillSlotGrid(g, ListFiles("savedata/*.dat"));
  } else {
    FillVsGrid(g, ListFiles("vs/*.vs"), Mode == 3);
  }
  grid->SetSelection(0, g.RowCount() > g.FixedRows ? g.FixedRows : -1);
  grid->Refresh();
  // In the side choice nothing is chosen until a mark cell is pressed.
  if (Mode == 3) grid->SetSelection(0, -1);
}

bool Tsave::OpenSaveScreen(int mode) {
  Mode = mode;
  FillList();
  int files = grid->Model().RowCount() - grid->Model().FixedRows;
  if ((mode == 1 || mode == 3) && files <= 0) {
    App().Release(this);
    return false;
  }
  if (mode == 1) btn0->setText(QStringLiteral("Load"));
  if (mode == 3) {
    btn0->setText(QStringLiteral("対戦"));
    grid->ShowGridLines = true;
    grid->RowSelect = false;
    lbsave->hide();
  }
  btnnewfile->setVisible(mode == 0 || mode == 2);
  btntournament->setVisible(mode == 3);
  show();
  raise();
  return true;
}

void Tsave::btn0Click() {
  switch (Mode) {
    case 0: SaveSelected(); break;
    case 1: LoadSelected(); break;
    case 2: ExportSelected(); break;
    case 3: StartDataBattle(); break;
    default: break;
  }
}

void Tsave::gridDblClick() {
  if (Mode != 3) btn0Click();
}

bool Tsave::WriteNamed(const QString& name) {
  if (name.isEmpty() || !GameState) return false;
  if (Mode == 0) return App().Guard([&] { SaveGameToSlot(*GameState, name.toStdString()); });
  // The export asks for its comment first; Cancel writes nothing.
  QString comment = QString::fromUtf8(kDefaultVsComment);
  if (!App().AskText(this, QStringLiteral("コメント追加"), QStringLiteral("監督名、チーム紹介などのコメント"), comment))
    return false;
  return App().Guard([&] { ExportVs(GameState->Team(0), comment.toStdString(), name.toStdString()); });
}

void Tsave::SaveSelected() {
  if (WriteNamed(SelectedName())) App().Release(this);
}

void Tsave::LoadSelected() {
  QString name = SelectedName();
  if (name.isEmpty() || !GameState) return;
  if (!App().Guard([&] { LoadGameFromSlot(*GameState, name.toStdString()); })) return;
  App().Release(over_);
  App().Release(this);
  App().ShowMain();
}

void Tsave::ExportSelected() {
  if (WriteNamed(SelectedName())) App().Release(this);
}

void Tsave::gridMouseDown(int col, int row) {
  if (Mode == 3) {
    PickVsSide(col, row);
    return;
  }
  if (row >= grid->Model().FixedRows) lbsave->setText(SelectedName());
}

void Tsave::PickVsSide(int col, int row) {
  TGrid& g = grid->Model();
  if (!GameState || col < 0 || col >= g.ColCount() || row < g.FixedRows || row >= g.RowCount()) return;
  std::vector<std::string> marks;
  for (int r = 0; r < g.RowCount(); ++r) marks.push_back(g.Cells(col, r));
  const int side = MarkVsSide(g, col, row);
  if (side < 0) return;
  const std::string name = g.Cells(1, row);
  std::string comment;
  if (!App().Guard([&] { comment = LoadVsSide(*GameState, side, name); })) {
    // A refused file leaves the side as it was, mark included.
    for (int r = 0; r < g.RowCount(); ++r) g.Cells(col, r) = marks[static_cast<std::size_t>(r)];
    grid->Refresh();
    return;
  }
  grid->Refresh();
  const Tteam& club = GameState->Team(side);
  TStringGridex* squad = side == 0 ? grid0 : grid1;
  FillVsSideGrid(squad->Model(), club, *GameState);
  {
    // The squad in its 305 pixels beside the scroll bar: narrower name and
    // type columns, two digits in the others, the kick types left out.
    TGrid& m = squad->Model();
    for (int c = 1; c < 12; ++c) m.SetColWidth(c, 18);
    m.SetColWidth(2, 74);
    m.SetColWidth(4, 35);
    m.SetColWidth(12, -1);
  }
  squad->Refresh();
  squad->SetSelection(0, -1);
  squad->show();
  QPlainTextEdit* memo = side == 0 ? memo0 : Memo1;
  memo->clear();
  memo->setPlainText(QString::fromStdString(club.ClubName) + QStringLiteral("\n") + QString::fromStdString(comment));
  memo->show();
  QImage emblem;
  emblem.loadFromData(club.Emblem.data(), static_cast<int>(club.Emblem.size()), "BMP");
  QLabel* img = side == 0 ? img0 : img1;
  // The emblem's pixels stay sharp when blown up.
  img->setPixmap(emblem.isNull()
                     ? QPixmap()
                     : QPixmap::fromImage(emblem.scaled(img->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

namespace {
// The file marked for a side in the data-battle list (column 0 left, 2 right).
std::string MarkedFile(const TGrid& g, int col) {
  for (int r = g.FixedRows; r < g.RowCount(); ++r)
    if (!g.Cells(col, r).empty()) return g.Cells(1, r);
  return std::string();
}

// The right side's second kit: its emblem in the opposite colours, so that
// two copies of one club are told apart on the pitch and in the replay.
void SecondKit(Tteam& club) {
  QImage img;
  img.loadFromData(club.Emblem.data(), static_cast<int>(club.Emblem.size()), "BMP");
  if (img.isNull()) return;
  img = img.convertToFormat(QImage::Format_RGB888);
  img.invertPixels();
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  if (!img.save(&buf, "BMP")) return;
  App().Guard([&] { club.SetEmblem(std::vector<uint8_t>(bytes.begin(), bytes.end())); });
}
}  // namespace

void Tsave::StartDataBattle() {
  if (grid0->isHidden() || grid1->isHidden()) {
    App().Message(this, QStringLiteral("チームが選択されていません"));
    return;
  }
  const TGrid& g = grid->Model();
  DistinguishVsSides(*GameState, MarkedFile(g, 0), MarkedFile(g, 2));
  if (GameState->Team(0).Emblem == GameState->Team(1).Emblem) SecondKit(GameState->Team(1));
  if (!App().OpenDataBattle()) return;
  App().Release(over_);
  App().Release(this);
}

void Tsave::btnnewfileClick() {
  QString answer;
  if (!App().AskText(this, QStringLiteral("新規ファイル名"), QStringLiteral("ファイル名を入力してください"), answer) ||
      answer.isEmpty())
    return;
  TGrid& g = grid->Model();
  for (int r = 1; r < g.RowCount(); ++r) {
    if (QString::fromStdString(g.Cells(0, r)) == answer) {
      if (!App().Confirm(
              this, QStringLiteral("ファイル名") + answer + QStringLiteral("は既に存在しています。上書きしますか")))
        return;
      grid->SetSelection(0, r);
      gridDblClick();
      return;
    }
  }
  if (!IsSafeFileName(answer.toStdString())) {
    App().ShowError(QStringLiteral("このファイル名は使えません: ") + answer);
    return;
  }
  // The new slot joins the list only once its file exists: a name the file
  // system refuses leaves the list as it was.
  if (!WriteNamed(answer)) return;
  g.SetRowCount(g.RowCount() + 1);
  g.Cells(0, g.RowCount() - 1) = answer.toStdString();
  grid->SetSelection(0, g.RowCount() - 1);
  grid->Refresh();
  App().Release(this);
}

void Tsave::btnchangeClick() {
  // Saves and VS files are converted together: a damaged file of either
  // kind stops the run before any file is written.
  bool ok = App().Guard([] {
    Tsavechange conv;
    Tsavechange::TReport saves, vs;
    conv.ConvertAll(saves, vs);
  });
  if (ok) App().Message(this, QStringLiteral("変換終了"));
  FillList();
}

void Tsave::btncancelClick() {
  // Sides read into the title's world must not become the next new game.
  if (Mode == 3 && (!grid0->isHidden() || !grid1->isHidden())) App().NewGameState();
  App().Release(this);
}

TFtournamentsetup* Tsave::btntournamentClick() {
  auto* setup = new TFtournamentsetup(this, over_, this);
  setup->setWindowFlag(Qt::Dialog);
  setup->show();
  return setup;
}

void Tsave::closeEvent(QCloseEvent* e) {
  // Accepted, the event would only hide the screen; released, it goes.
  e->ignore();
  btncancelClick();
}
