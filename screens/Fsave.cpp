#include "screens/Fsave.h"

#include <QInputDialog>
#include <QMessageBox>

#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

Tsave::Tsave(QWidget* over, QWidget* parent) : QWidget(parent), over_(over) {
  setObjectName(QStringLiteral("save"));
  setWindowTitle(QStringLiteral("save"));
  setWindowFlag(Qt::FramelessWindowHint);
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
  connect(grid, &TStringGridex::cellClicked, this, [this](int, int r, Qt::MouseButton) {
    if (Mode != 3 && r >= grid->Model().FixedRows) {
      lbsave->setText(SelectedName());
    }
  });

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
  connect(btnnewfile, &TClickPanel::clicked, this, &Tsave::btnnewfileClick);
  connect(btn0, &TClickPanel::clicked, this, &Tsave::btn0Click);
  connect(btnchange, &TClickPanel::clicked, this, &Tsave::btnchangeClick);
  connect(btncancel, &TClickPanel::clicked, this, &Tsave::btncancelClick);
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
    auto files = ListFiles("vs/*.vs");
    g.SetSize(1, static_cast<int>(files.size()) + 1);
    g.FixedRows = 1;
    g.Cells(0, 0) = "data";
    g.SetColWidth(0, 130);
    for (std::size_t i = 0; i < files.size(); ++i) g.Cells(0, static_cast<int>(i) + 1) = files[i].Name;
  }
  grid->SetSelection(0, g.RowCount() > g.FixedRows ? g.FixedRows : -1);
  grid->Refresh();
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
  if (mode == 3) btn0->setText(QStringLiteral("対戦"));
  btnnewfile->setVisible(mode == 0 || mode == 2);
  show();
  raise();
  return true;
}

void Tsave::btn0Click() {
  switch (Mode) {
    case 0:
      SaveSelected();
      break;
    case 1:
      LoadSelected();
      break;
    case 2:
      ExportSelected();
      break;
    default:
      break;
  }
}

void Tsave::gridDblClick() {
  if (Mode != 3) btn0Click();
}

bool Tsave::WriteNamed(const QString& name) {
  if (name.isEmpty() || !GameState) return false;
  if (Mode == 0) return App().Guard([&] { SaveGameToSlot(*GameState, name.toStdString()); });
  return App().Guard([&] { ExportVs(GameState->Team(0), std::string(), name.toStdString()); });
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

void Tsave::btnnewfileClick() {
  QString answer;
  if (!App().AskText(this, QStringLiteral("新規ファイル名"), QStringLiteral("ファイル名を入力してください"), answer) ||
      answer.isEmpty())
    return;
  TGrid& g = grid->Model();
  for (int r = 1; r < g.RowCount(); ++r) {
    if (QString::fromStdString(g.Cells(0, r)) == answer) {
      if (!App().Confirm(this, QStringLiteral("ファイル名") + answer + QStringLiteral("は既に存在しています。上書きしますか")))
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
  bool ok = App().Guard([] {
    Tsavechange conv;
    conv.ConvertSaves();
    conv.ConvertVsFiles();
  });
  if (ok) App().Message(this, QStringLiteral("変換終了"));
  FillList();
}

void Tsave::btncancelClick() { App().Release(this); }
