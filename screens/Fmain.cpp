#include "screens/Fmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QImage>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "club/Ugridtext.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "screens/Clickpanel.h"
#include "screens/Fadvice.h"
#include "screens/Foutlook.h"
#include "screens/Frcontract.h"
#include "screens/Frmatch.h"
#include "screens/Frtrade.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"

namespace {
const QColor kSkyBlue(166, 202, 240);
const QColor kMoneyGreen(192, 220, 192);

QLabel* MakeLabel(QWidget* parent, int x, int y, int px) {
  auto* l = new QLabel(parent);
  l->move(x, y);
  l->setFont(GothicFont(px));
  l->setAttribute(Qt::WA_TranslucentBackground);
  return l;
}
}  // namespace

void ShowEmblem(QLabel* label, int club) {
  if (!GameState || club < 0 || club >= kClubCount || !GameState->Teams[club]) return;
  const auto& bytes = GameState->Teams[club]->Emblem;
  QImage img;
  img.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
  if (img.isNull()) {
    label->clear();
    return;
  }
  label->setPixmap(QPixmap::fromImage(img.scaled(label->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

Tmain::Tmain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("main"));
  setWindowFlag(Qt::FramelessWindowHint);
  // Shown again after each week, the window may not count as active until
  // the player clicks into it, and an inactive window shows no tooltips
  // (the transfer report's reasons, club names cut short).
  setAttribute(Qt::WA_AlwaysShowToolTips);
  setFont(GothicFont(12));
  MainMenu1 = new QMenuBar(this);
  QAction* save = MainMenu1->addAction(QStringLiteral("SAVE"));
  QAction* vssave = MainMenu1->addAction(QStringLiteral("対戦データ書出"));
  QAction* end1 = MainMenu1->addAction(QStringLiteral("タイトルへ"));
  QAction* outlook = MainMenu1->addAction(QStringLiteral("見通し"));  // after the club screen's own three
  actadvice = MainMenu1->addAction(QStringLiteral("アシスタント"));   // match weeks only (Refresh)
  MainMenu1->adjustSize();
  int menuH = MainMenu1->sizeHint().height();
  MainMenu1->setGeometry(0, 0, 1016, menuH);
  setFixedSize(1016, 654 + menuH);
  move(0, 24 - menuH);
  client = new QWidget(this);
  client->setGeometry(0, menuH, 1016, 654);
  client->setAutoFillBackground(true);
  QPalette pal = client->palette();
  pal.setColor(QPalette::Window, kSkyBlue);
  client->setPalette(pal);

  connect(save, &QAction::triggered, this, [this] { App().OpenSave(0, this); });
  connect(vssave, &QAction::triggered, this, [this] {
    if (CheckStartingEleven()) App().OpenSave(2, this);
  });
  connect(outlook, &QAction::triggered, this, [this] { OpenOutlook(); });
  connect(actadvice, &QAction::triggered, this, [this] { OpenAdvice(); });
  connect(end1, &QAction::triggered, this, [this] {
    if (App().Confirm(this, QStringLiteral("タイトル画面に戻ります。よろしいですか"))) App().BackToTitle(this);
  });

  // The frames lie under the club column's components.
  Fcontract1 = new TFcontract(client);
  Fcontract1->setGeometry(240, 0, 780, 650);
  Fcontract1->hide();
  Ftrade1 = new TFtrade(client);
  Ftrade1->setGeometry(236, -2, 780, 600);
  Ftrade1->hide();
  Ftomatch1 = new TFtomatch(client);
  Ftomatch1->setGeometry(236, -2, 780, 650);
  Ftomatch1->hide();

  lbweek = MakeLabel(client, 48, 16, 27);
  lbmoney = MakeLabel(client, 56, 120, 27);

  gridoutleague = MakeMenuGrid(client, QRect(24, 56, 213, 25), 4, 1, 20, 50);
  gridoutleague->FixedColor = kMoneyGreen;
  SetRowCommaText(gridoutleague->Model(), 0, "表示DIV,1,2,3");
  connect(gridoutleague, &TStringGridex::cellClicked, this, [this](int c, int, Qt::MouseButton b) {
    if (b == Qt::LeftButton && c >= 1 && c <= 3) gridoutleagueClick(c);
  });

  for (int k = 0; k < 8; ++k) {
    imgt[k] = new QLabel(client);
    imgt[k]->setGeometry(16, 192 + 48 * k, 30, 30);
    imgt[k]->setCursor(Qt::PointingHandCursor);
    imgt[k]->installEventFilter(this);
    lbt[k] = MakeLabel(client, 64, 192 + 48 * k, 27);
    lbt[k]->setCursor(Qt::PointingHandCursor);
    lbt[k]->installEventFilter(this);
  }

  gridcoach = new TStringGridex(client);
  gridcoach->setGeometry(296, 48, 209, 113);
  gridcoach->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridcoach->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridcoach->RowHeight = 20;
  {
    // "SPE" and two digits in 20-pixel columns.
    QFont f = GothicFont(11);
    f.setStretch(85);
    gridcoach->setFont(f);
  }
  gridcoach->hide();
  gridcoach->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int r) {
    int32_t tag = gridcoach->Model().Tags(c, r);
    if (!tag) return;
    p.fillRect(rc, r == 0 || c == 0 ? gridcoach->FixedColor : gridcoach->CellColor);
    p.setPen(TagColour(tag));
    p.drawText(rc.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromStdString(gridcoach->Model().Cells(c, r)));
  };
  connect(gridcoach, &TStringGridex::cellClicked, this, [this](int c, int r, Qt::MouseButton b) {
    if (b != Qt::RightButton || c < 2 || r < 2 || !GameState) return;
    Tcoach& coaches = *GameState->Team(0).Coaches;
    // A silver cell is an ability the coach leaves alone: the click turns it
    // on; any other cell (the black ones he trains) is turned off.
    bool switchedOff = gridcoach->Model().Tags(c, r) == kTagSilver;
    coaches.SetFocus(r - 2, c - 2, switchedOff ? 1 : 0);
    FillCoachTable();
  });

  Memo1 = new QPlainTextEdit(client);
  Memo1->setGeometry(280, 496, 385, 153);
  Memo1->setReadOnly(true);
  Memo1->setFont(GothicFont(19));
  Memo1->hide();

  gridautobar = new TStringGridex(client);
  gridautobar->setGeometry(832, 616, 120, 25);
  gridautobar->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridautobar->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  gridautobar->ShowGridLines = false;
  gridautobar->RowHeight = 23;
  {
    TGrid& g = gridautobar->Model();
    g.SetSize(120, 1);
    g.FixedRows = 0;
    g.DefaultColWidth = 1;
  }
  gridautobar->OnDrawCell = [this](QPainter& p, const QRect& rc, int c, int) {
    if (c <= ProgressSteps) p.fillRect(rc, Qt::black);
  };
  gridautobar->hide();

  btntrain = new TClickPanel(QStringLiteral("指導方法"), client, 840, 80, 75, 30);
  btntrain->hide();
  connect(btntrain, &TClickPanel::clicked, this, &Tmain::btntrainClick);
  btnnext = new TClickPanel(QStringLiteral("NEXT"), client, 856, 576, 75, 30);
  connect(btnnext, &TClickPanel::clicked, this, &Tmain::btnnextClick);

  // A long club name would run over the contract list's marks: that frame
  // lies above the club column's names, which show through where it has
  // nothing (the calendar and the money stay on top).
  Fcontract1->stackUnder(gridcoach);
  lbweek->raise();
  lbmoney->raise();
}

void Tmain::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  Refresh();
}

void Tmain::closeEvent(QCloseEvent* e) {
  if (App().ConfirmEndGame(this))
    e->accept();
  else
    e->ignore();
}

void Tmain::Refresh() {
  if (BackFromTactics || !GameState) return;
  const int week = GameState->Week;
  App().AutoSave();
  lbweek->setText(QString::number(GameState->Year) + QStringLiteral("年") + QString::number(week) +
                  QStringLiteral("週"));
  lbweek->adjustSize();
  int d = GameState->DivisionOf(0);
  gridoutleague->SetSelection(d, 0);
  gridoutleagueClick(d);
  const TWeekPhase phase = WeekPhase(week);
  btntrain->setVisible(phase != TWeekPhase::Contract);
  actadvice->setVisible(IsLeagueWeek(week) || IsCupWeek(week));
  lbmoney->setText(QStringLiteral("所持金：") + QString::number(GameState->Team(0).Money));
  lbmoney->adjustSize();
  ShowMessages();
  if (phase == TWeekPhase::Contract) {
    Ftomatch1->hide();
    Ftrade1->hide();
    Fcontract1->show();
    Fcontract1->ShowContracts();
  } else if (phase == TWeekPhase::Transfer) {
    Fcontract1->hide();
    Ftomatch1->hide();
    Ftrade1->show();
    Ftrade1->ShowTransfers();
  } else {
    Fcontract1->hide();
    Ftrade1->hide();
    Ftomatch1->show();
    Ftomatch1->ShowNextMatch();
  }
}

void Tmain::ShowMessages() {
  if (!GameState) return;
  for (const std::string& line : GameState->Messages) Memo1->appendPlainText(QString::fromStdString(line));
  GameState->Messages.clear();
  auto& own = GameState->Team(0).Messages;
  for (const std::string& line : own) Memo1->appendPlainText(QString::fromStdString(line));
  own.clear();
  Memo1->setVisible(!Memo1->toPlainText().isEmpty());
}

void Tmain::OpenOutlook() {
  if (!GameState) return;
  const int shown = GameState->DivisionOf(slotClub[0]);
  TFoutlook dialog(shown >= 1 ? shown : GameState->DivisionOf(0), this);
  dialog.Start();
  dialog.exec();
}

void Tmain::OpenAdvice() {
  if (!GameState) return;
  TFadvice dialog(this);
  // A line-up taken from the advice shows at once in the next-match frame.
  connect(&dialog, &TFadvice::Applied, this, [this] {
    if (Ftomatch1->isVisible()) Ftomatch1->ShowNextMatch();
  });
  dialog.Start();
  dialog.exec();
}

void Tmain::gridoutleagueClick(int division) {
  if (!GameState || division < 1 || division > 3) return;
  for (int k = 0; k < 8; ++k) {
    int club = GameState->TeamAt(division, k);
    slotClub[k] = club;
    ShowEmblem(imgt[k], club);
    SetClubName(k, QString::fromStdString(GameState->Team(club).ClubName));
  }
  Ftomatch1->SetDivision(division);
}

bool Tmain::eventFilter(QObject* o, QEvent* e) {
  if (e->type() != QEvent::MouseButtonPress) return QWidget::eventFilter(o, e);
  auto* me = static_cast<QMouseEvent*>(e);
  for (int k = 0; k < 8; ++k) {
    if (o == imgt[k]) {
      if (me->button() == Qt::LeftButton) imgtLeftClick(k);
      if (me->button() == Qt::RightButton) ReplaceEmblem(k);
      return true;
    }
    if (o == lbt[k] && me->button() == Qt::LeftButton) {
      lbtClick(k);
      return true;
    }
  }
  return QWidget::eventFilter(o, e);
}

void Tmain::imgtLeftClick(int k) {
  if (!GameState) return;
  BackFromTactics = true;
  App().OpenTactics(slotClub[k], this);
}

void Tmain::SetClubName(int k, const QString& name) {
  // The name ends before the week's frame: a long one gets a smaller face,
  // and one too long even then is cut, whole in its tooltip.
  constexpr int kRoom = 236 - 64 - 4, kMinPx = 14;
  QLabel* l = lbt[k];
  int px = 27;
  // (Two pixels to spare: eliding measures a little wider than the advance.)
  while (px > kMinPx && QFontMetrics(GothicFont(px)).horizontalAdvance(name) > kRoom - 2) --px;
  l->setFont(GothicFont(px));
  const QFontMetrics fm(l->font());
  l->setText(fm.elidedText(name, Qt::ElideRight, kRoom));
  l->setToolTip(l->text() == name ? QString() : name);
  l->adjustSize();
  l->resize(l->width(), QFontMetrics(GothicFont(27)).height());
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Tmain::lbtClick(int k) {
  if (!GameState) return;
  QString name = QString::fromStdString(GameState->Team(slotClub[k]).ClubName);
  if (!App().AskText(this, QStringLiteral("チーム名変更"), QStringLiteral("チーム名を入力してください"), name)) return;
  SetClubName(k, name);
  GameState->Team(slotClub[k]).ClubName = name.toStdString();
}

void Tmain::ReplaceEmblem(int k) {
  if (!GameState) return;
  QString file = QFileDialog::getOpenFileName(
      this, QString(), QDir::currentPath(),
      QStringLiteral("画像 (*.bmp *.png *.jpg *.jpeg);;ビットマップ (*.bmp);;JPEG イメージファイル (*.jpg *.jpeg);;"
                     "PNG イメージファイル (*.png);;すべてのファイル (*)"));
  if (file.isEmpty()) return;
  QString error;
  if (!App().SetEmblemFromFile(slotClub[k], file, &error)) {
    App().ShowError(error);
    return;
  }
  ShowEmblem(imgt[k], slotClub[k]);
}

void Tmain::FillCoachTable() {
  if (!GameState) return;
  TGrid& g = gridcoach->Model();
  GameState->Team(0).Coaches->FillCoachGrid(g);
  g.FixedRows = 1;
  g.FixedCols = 1;
  g.DefaultColWidth = 20;
  g.SetColWidth(0, 50);
  gridcoach->Refresh();
}

void Tmain::btntrainClick() {
  gridcoach->setVisible(!gridcoach->isVisible());
  gridcoach->raise();
  FillCoachTable();
}

bool Tmain::CheckStartingEleven() {
  if (!GameState) return false;
  if (GameState->Team(0).StartingElevenComplete()) return true;
  App().Message(this, QStringLiteral("スタメンが決まっていません"));
  return false;
}

void Tmain::StepProgress() {
  ++ProgressSteps;
  gridautobar->viewport()->repaint();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Tmain::AdvanceWithoutMatch() {
  App().Guard([&] { GameState->AdvanceWeek(); });
  hide();
  show();
}

void Tmain::PlayMatchWeek(bool cup) {
  if (!CheckStartingEleven()) return;
  if (!Ftomatch1->PrepareWatchedMatch()) return;  // a match that cannot open plays nothing
  ProgressSteps = 0;
  gridautobar->show();
  gridautobar->raise();
  setEnabled(false);
  bool ok = App().Guard([&] {
    if (cup)
      Ftomatch1->PlayCupMatches([this] { StepProgress(); });
    else
      Ftomatch1->PlayLeagueMatches([this] { StepProgress(); });
  });
  if (!ok) {
    setEnabled(true);
    gridautobar->hide();
    return;
  }
  Ftomatch1->OpenMatchOrNews();
  App().Release(this);
}

void Tmain::btnnextClick() {
  if (!GameState) return;
  BackFromTactics = false;
  Memo1->clear();
  switch (WeekPhase(GameState->Week)) {
    case TWeekPhase::Contract:
      // The contract frame's marks are carried out on the club and the market.
      if (App().Guard([&] { Fcontract1->CommitContracts(); })) AdvanceWithoutMatch();
      break;
    case TWeekPhase::Transfer:
      // The marked bids and answers go to the market before its week runs.
      if (App().Guard([&] { Ftrade1->SubmitBidsAndAnswers(); })) AdvanceWithoutMatch();
      break;
    case TWeekPhase::SeasonEnd:
      // The season closes, then its events are shown.
      if (!App().Guard([&] { GameState->AdvanceWeek(); })) return;
      App().OpenEvent();
      App().Release(this);
      break;
    case TWeekPhase::Cup: PlayMatchWeek(true); break;
    case TWeekPhase::League: PlayMatchWeek(false); break;
    case TWeekPhase::Free: AdvanceWithoutMatch(); break;
  }
}
