#include "screens/Ftournament.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>

#include "club/Ucommatext.h"
#include "club/Ufile.h"
#include "club/Uteam.h"
#include "match/Umatchmain.h"
#include "match/Uvtr.h"
#include "screens/Clickpanel.h"
#include "screens/Fmatch.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

namespace {

constexpr int kEmblemPx = 20;
const QColor kFavourite(255, 240, 150);
const QColor kChampionGold(200, 150, 0);

QString Q(const std::string& s) { return QString::fromStdString(s); }

QTableWidget* MakeGrid(QWidget* parent, const QStringList& header) {
  auto* g = new QTableWidget(parent);
  g->setColumnCount(static_cast<int>(header.size()));
  g->setHorizontalHeaderLabels(header);
  g->verticalHeader()->hide();
  g->verticalHeader()->setDefaultSectionSize(24);
  g->horizontalHeader()->setMinimumSectionSize(18);
  g->setEditTriggers(QAbstractItemView::NoEditTriggers);
  g->setSelectionMode(QAbstractItemView::NoSelection);
  g->setFocusPolicy(Qt::NoFocus);
  g->setIconSize(QSize(kEmblemPx, kEmblemPx));
  g->setFont(GothicFont(13));
  g->horizontalHeader()->setFont(GothicFont(12, true));
  return g;
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignCenter) {
  auto* it = new QTableWidgetItem(text);
  it->setTextAlignment(align | Qt::AlignVCenter);
  return it;
}

// A new tournament's seed: the clock, never the game's generator.
uint64_t ClockSeed() {
  return static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000000ull;
}

}  // namespace

QPixmap EmblemPicture(const std::vector<uint8_t>& bmp, int side) {
  QImage img;
  img.loadFromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
  if (img.isNull()) {
    QPixmap pm(side, side);
    pm.fill(Qt::lightGray);
    return pm;
  }
  return QPixmap::fromImage(img.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

// ---- the entrants' choice ------------------------------------------------------

TFtournamentsetup::TFtournamentsetup(QWidget* sideChoice, QWidget* title, QWidget* parent)
    : QDialog(parent), sideChoice_(sideChoice), title_(title) {
  setObjectName(QStringLiteral("tournamentsetup"));
  setWindowTitle(QStringLiteral("大会"));
  setFixedSize(560, 520);
  setFont(GothicFont(12));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* lbclubs = new QLabel(QStringLiteral("参加クラブ（3～16）"), this);
  lbclubs->setGeometry(12, 8, 300, 20);
  lstclubs = new QListWidget(this);
  lstclubs->setGeometry(12, 30, 536, 330);
  lstclubs->setIconSize(QSize(30, 30));
  lstclubs->setFont(GothicFont(13));
  connect(lstclubs, &QListWidget::itemChanged, this, [this](QListWidgetItem*) { UpdateFavourites(); });

  auto* lblegs = new QLabel(QStringLiteral("形式"), this);
  lblegs->setGeometry(12, 372, 90, 24);
  cblegs = new QComboBox(this);
  cblegs->setGeometry(104, 372, 250, 24);
  cblegs->addItem(QStringLiteral("総当たり1回（各組1試合）"));
  cblegs->addItem(QStringLiteral("ホーム＆アウェー（各組2試合）"));
  auto* lbfav = new QLabel(QStringLiteral("応援クラブ"), this);
  lbfav->setGeometry(12, 404, 90, 24);
  cbfavourite = new QComboBox(this);
  cbfavourite->setGeometry(104, 404, 250, 24);
  auto* lbsaved = new QLabel(QStringLiteral("保存した大会"), this);
  lbsaved->setGeometry(12, 436, 90, 24);
  cbsaved = new QComboBox(this);
  cbsaved->setGeometry(104, 436, 250, 24);
  for (const TFileEntry& f : ListFiles("tournament/*.tnm")) cbsaved->addItem(Q(f.Name));
  lbinfo = new QLabel(this);
  lbinfo->setGeometry(12, 470, 330, 40);
  lbinfo->setWordWrap(true);

  btnstart = new TClickPanel(QStringLiteral("開始"), this, 376, 372, 80, 30);
  btnresume = new TClickPanel(QStringLiteral("続きから"), this, 376, 436, 80, 30);
  btncancel = new TClickPanel(QStringLiteral("Cancel"), this, 468, 480, 80, 30);
  btnresume->setEnabled(cbsaved->count() > 0);
  connect(btnstart, &TClickPanel::clicked, this, [this] { btnstartClick(); });
  connect(btnresume, &TClickPanel::clicked, this, [this] { btnresumeClick(); });
  connect(btncancel, &TClickPanel::clicked, this, [this] { close(); });
  FillClubs();
  UpdateFavourites();
}

void TFtournamentsetup::FillClubs() {
  const QSignalBlocker block(lstclubs);
  for (const TFileEntry& f : ListFiles("vs/*.vs")) {
    auto* it = new QListWidgetItem(lstclubs);
    it->setData(Qt::UserRole, Q(f.Path));
    it->setData(Qt::UserRole + 1, Q(f.Name));
    try {
      TVsData d = ReadVsFile(f.Path, 0);
      it->setIcon(EmblemPicture(d.Club->Emblem, 30));
      it->setText(Q(d.Club->ClubName) + QStringLiteral("　（") + Q(f.Name) + QStringLiteral("）\n　") +
                  Q(d.Comment).simplified());
      it->setData(Qt::UserRole + 2, Q(d.Club->ClubName));
      it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
      it->setCheckState(Qt::Unchecked);
    } catch (const std::exception& e) {
      // A file a data battle would refuse cannot enter; it says why.
      it->setText(Q(f.Name) + QStringLiteral("　読めません\n　") + Q(e.what()));
      it->setFlags(Qt::NoItemFlags);
    }
  }
}

void TFtournamentsetup::CheckFiles(const QStringList& names) {
  for (int i = 0; i < lstclubs->count(); ++i) {
    QListWidgetItem* it = lstclubs->item(i);
    if (!(it->flags() & Qt::ItemIsUserCheckable)) continue;
    it->setCheckState(names.contains(it->data(Qt::UserRole + 1).toString()) ? Qt::Checked : Qt::Unchecked);
  }
}

void TFtournamentsetup::UpdateFavourites() {
  const QString was = cbfavourite->currentText();
  cbfavourite->clear();
  cbfavourite->addItem(QStringLiteral("なし"));
  int checked = 0;
  for (int i = 0; i < lstclubs->count(); ++i) {
    QListWidgetItem* it = lstclubs->item(i);
    if (it->checkState() != Qt::Checked) continue;
    ++checked;
    cbfavourite->addItem(it->icon(), it->data(Qt::UserRole + 2).toString() + QStringLiteral("（") +
                                         it->data(Qt::UserRole + 1).toString() + QStringLiteral("）"));
  }
  const int keep = cbfavourite->findText(was);
  cbfavourite->setCurrentIndex(keep >= 0 ? keep : 0);
  lbinfo->setText(QStringLiteral("%1クラブ選択中").arg(checked));
}

bool TFtournamentsetup::btnstartClick() {
  std::vector<std::string> paths;
  for (int i = 0; i < lstclubs->count(); ++i)
    if (lstclubs->item(i)->checkState() == Qt::Checked)
      paths.push_back(lstclubs->item(i)->data(Qt::UserRole).toString().toStdString());
  if (paths.size() < kMinTournamentClubs || paths.size() > kMaxTournamentClubs) {
    App().Message(this, QStringLiteral("参加クラブを3～16選んでください"));
    return false;
  }
  std::unique_ptr<Ttournament> t;
  if (!App().Guard([&] {
        t = std::make_unique<Ttournament>(Ttournament::Create(paths, cblegs->currentIndex() + 1, ClockSeed()));
        t->SetFavourite(cbfavourite->currentIndex() - 1);
      }))
    return false;
  Begin(std::move(t));
  return true;
}

bool TFtournamentsetup::btnresumeClick() {
  if (cbsaved->currentIndex() < 0) return false;
  std::unique_ptr<Ttournament> t;
  if (!App().Guard([&] { t = std::make_unique<Ttournament>(Ttournament::Load(cbsaved->currentText().toStdString())); }))
    return false;
  Begin(std::move(t));
  return true;
}

void TFtournamentsetup::Begin(std::unique_ptr<Ttournament> t) {
  auto* screen = new TFtournament(std::move(t));
  App().Current = screen;
  screen->show();
  App().Release(sideChoice_);
  App().Release(title_);
  close();
}

// ---- the tournament screen ------------------------------------------------------

TFtournament::TFtournament(std::unique_ptr<Ttournament> t, QWidget* parent) : QWidget(parent), t_(std::move(t)) {
  setObjectName(QStringLiteral("tournament"));
  setWindowTitle(QStringLiteral("大会"));
  setFixedSize(1016, 672);
  move(0, 20);
  setFont(GothicFont(12));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(192, 220, 192));
  setPalette(pal);

  lbtitle = new QLabel(this);
  lbtitle->setGeometry(12, 6, 600, 30);
  lbtitle->setFont(GothicFont(19, true));

  tabs = new QTabWidget(this);
  tabs->setGeometry(8, 40, 612, 500);
  tabs->setFont(GothicFont(13));
  gridtable = MakeGrid(nullptr, {QStringLiteral("順位"), QStringLiteral("クラブ"), QStringLiteral("試"),
                                 QStringLiteral("勝"), QStringLiteral("分"), QStringLiteral("敗"), QStringLiteral("得"),
                                 QStringLiteral("失"), QStringLiteral("差"), QStringLiteral("勝点")});
  gridtable->setColumnWidth(0, 40);
  gridtable->setColumnWidth(1, 270);
  for (int c = 2; c < 10; ++c) gridtable->setColumnWidth(c, c == 9 ? 44 : 34);
  gridmatrix = MakeGrid(nullptr, {});
  gridmatrix->setWordWrap(false);  // as the round's fixtures
  gridmatrix->setTextElideMode(Qt::ElideMiddle);
  gridscorers = MakeGrid(nullptr, {QStringLiteral("順位"), QStringLiteral("選手"), QStringLiteral("クラブ"),
                                   QStringLiteral("得点"), QStringLiteral("アシスト")});
  gridscorers->setColumnWidth(0, 40);
  gridscorers->setColumnWidth(1, 160);
  gridscorers->setColumnWidth(2, 240);
  gridscorers->setColumnWidth(3, 60);
  gridscorers->setColumnWidth(4, 70);
  tabs->addTab(gridtable, QStringLiteral("順位表"));
  tabs->addTab(gridmatrix, QStringLiteral("対戦成績"));
  tabs->addTab(gridscorers, QStringLiteral("得点ランキング"));

  btnprevround = new TClickPanel(QStringLiteral("＜"), this, 632, 42, 30, 26);
  lbround = new QLabel(this);
  lbround->setGeometry(666, 42, 300, 26);
  lbround->setAlignment(Qt::AlignCenter);
  lbround->setFont(GothicFont(15, true));
  btnnextround = new TClickPanel(QStringLiteral("＞"), this, 970, 42, 30, 26);
  gridround = MakeGrid(this, {QStringLiteral("ホーム"), QStringLiteral(""), QStringLiteral("アウェー")});
  gridround->setGeometry(632, 72, 376, 228);
  gridround->setColumnWidth(0, 160);
  gridround->setColumnWidth(1, 52);
  gridround->setColumnWidth(2, 160);
  gridround->verticalHeader()->setDefaultSectionSize(26);
  // Exported clubs often share a name, and the label tells them apart by
  // its end, the file's name: a label too long stays on its one line and
  // loses its middle.
  gridround->setWordWrap(false);
  gridround->setTextElideMode(Qt::ElideMiddle);

  imgchampion = new QLabel(this);
  imgchampion->setGeometry(640, 316, 60, 60);
  imgchampion->setScaledContents(true);
  lbchampion = new QLabel(this);
  lbchampion->setGeometry(712, 316, 296, 60);
  lbchampion->setFont(GothicFont(19, true));
  lbchampion->setWordWrap(true);

  progress = new QProgressBar(this);
  progress->setGeometry(632, 400, 280, 24);
  progress->hide();
  btncancel = new TClickPanel(QStringLiteral("キャンセル"), this, 920, 397, 88, 30);
  btncancel->hide();
  chkrecord = new QCheckBox(QStringLiteral("試合を録画する（VTR再生で見られます）"), this);
  chkrecord->setGeometry(632, 440, 376, 24);

  btnwatch = new TClickPanel(QStringLiteral("次の試合を観る"), this, 12, 560, 130, 30);
  btnplay = new TClickPanel(QStringLiteral("次の試合"), this, 152, 560, 100, 30);
  btnround = new TClickPanel(QStringLiteral("この節を進める"), this, 262, 560, 130, 30);
  btnall = new TClickPanel(QStringLiteral("残り全部"), this, 402, 560, 100, 30);
  btnsave = new TClickPanel(QStringLiteral("保存"), this, 632, 560, 80, 30);
  btnpng = new TClickPanel(QStringLiteral("画像出力"), this, 722, 560, 90, 30);
  btnend = new TClickPanel(QStringLiteral("タイトルへ"), this, 908, 620, 100, 30);

  // A panel that cannot be pressed now says so with grey text.
  for (TClickPanel* b :
       {btnprevround, btnnextround, btnwatch, btnplay, btnround, btnall, btnsave, btnpng, btnend, btncancel}) {
    QPalette p = b->palette();
    p.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    b->setPalette(p);
  }
  connect(btnprevround, &TClickPanel::clicked, this, [this] { ShowRound(shownRound_ - 1); });
  connect(btnnextround, &TClickPanel::clicked, this, [this] { ShowRound(shownRound_ + 1); });
  connect(btnwatch, &TClickPanel::clicked, this, [this] { btnwatchClick(); });
  connect(btnplay, &TClickPanel::clicked, this, &TFtournament::btnplayClick);
  connect(btnround, &TClickPanel::clicked, this, &TFtournament::btnroundClick);
  connect(btnall, &TClickPanel::clicked, this, &TFtournament::btnallClick);
  connect(btncancel, &TClickPanel::clicked, this, &TFtournament::btncancelClick);
  connect(btnsave, &TClickPanel::clicked, this, [this] { btnsaveClick(); });
  connect(btnpng, &TClickPanel::clicked, this, [this] { btnpngClick(); });
  connect(btnend, &TClickPanel::clicked, this, &TFtournament::btnendClick);
  poll_.setInterval(50);
  connect(&poll_, &QTimer::timeout, this, &TFtournament::PollWorker);

  const int rows = static_cast<int>(t_->Entrants().size());
  gridmatrix->setColumnCount(rows + 1);
  // The clubs' column takes what the results leave of the tab, within reason.
  const int resultWidth = rows > 10 ? 27 : 40;
  gridmatrix->setColumnWidth(0, std::clamp(590 - rows * resultWidth, 150, 270));
  QStringList header{QStringLiteral("ホーム＼アウェー")};
  for (int c = 0; c < rows; ++c) {
    gridmatrix->setColumnWidth(c + 1, resultWidth);
    header << QString::number(c + 1);
  }
  gridmatrix->setHorizontalHeaderLabels(header);
  gridmatrix->horizontalHeader()->setFont(GothicFont(11, true));
  gridmatrix->setFont(GothicFont(rows > 10 ? 11 : 13));
  gridmatrix->setRowCount(rows);
  shownRound_ = std::min(t_->CurrentRound(), t_->RoundCount() - 1);
  Refresh();
}

TFtournament::~TFtournament() {
  if (worker_.joinable()) {
    control_.Cancel = true;
    worker_.join();
  }
  PutBackGame();
}

QString TFtournament::Label(int entrant) const { return Q(t_->Entrants()[static_cast<std::size_t>(entrant)].Label); }

void TFtournament::Refresh() {
  const int rounds = t_->RoundCount();
  QString title = QStringLiteral("大会　%1クラブ・%2　")
                      .arg(t_->Entrants().size())
                      .arg(t_->Legs() == 2 ? QStringLiteral("ホーム＆アウェー") : QStringLiteral("総当たり"));
  title += t_->Finished() ? QStringLiteral("全%1節終了").arg(rounds)
                          : QStringLiteral("第%1節／全%2節").arg(t_->CurrentRound() + 1).arg(rounds);
  lbtitle->setText(title);
  FillTable();
  FillMatrix();
  FillScorers();
  FillRound();
  const int32_t champion = t_->Champion();
  if (champion >= 0) {
    imgchampion->setPixmap(EmblemPicture(t_->Entrants()[static_cast<std::size_t>(champion)].Club->Emblem, 60));
    lbchampion->setText(QStringLiteral("優勝　") + Label(champion));
    QPalette p = lbchampion->palette();
    p.setColor(QPalette::WindowText, kChampionGold);
    lbchampion->setPalette(p);
  } else {
    imgchampion->clear();
    lbchampion->clear();
  }
  UpdateButtons();
}

void TFtournament::FillTable() {
  const std::vector<TTableRow> table = t_->Table();
  gridtable->setRowCount(static_cast<int>(table.size()));
  for (int i = 0; i < static_cast<int>(table.size()); ++i) {
    const TTableRow& r = table[static_cast<std::size_t>(i)];
    const auto& e = t_->Entrants()[static_cast<std::size_t>(r.Entrant)];
    gridtable->setItem(i, 0, Cell(QString::number(i + 1)));
    QTableWidgetItem* club = Cell(Label(r.Entrant), Qt::AlignLeft);
    club->setIcon(EmblemPicture(e.Club->Emblem, kEmblemPx));
    club->setToolTip(Q(e.Comment));
    gridtable->setItem(i, 1, club);
    const int values[] = {r.Played, r.Won, r.Drawn, r.Lost, r.GoalsFor, r.GoalsAgainst, r.Difference(), r.Points};
    for (int c = 0; c < 8; ++c) gridtable->setItem(i, c + 2, Cell(QString::number(values[c])));
    if (r.Entrant == t_->Favourite())
      for (int c = 0; c < 10; ++c) gridtable->item(i, c)->setBackground(kFavourite);
  }
}

void TFtournament::FillMatrix() {
  const std::vector<std::vector<int>> m = t_->Matrix();
  for (int h = 0; h < static_cast<int>(m.size()); ++h) {
    QTableWidgetItem* club = Cell(QString::number(h + 1) + QStringLiteral(" ") + Label(h), Qt::AlignLeft);
    club->setIcon(EmblemPicture(t_->Entrants()[static_cast<std::size_t>(h)].Club->Emblem, 16));
    if (h == t_->Favourite()) club->setBackground(kFavourite);
    gridmatrix->setItem(h, 0, club);
    for (int a = 0; a < static_cast<int>(m.size()); ++a) {
      const int k = m[static_cast<std::size_t>(h)][static_cast<std::size_t>(a)];
      QTableWidgetItem* it = Cell(QString());
      if (h == a) {
        it->setBackground(Qt::darkGray);
      } else if (k >= 0 && k < t_->Played()) {
        const TTournamentResult& r = t_->Results()[static_cast<std::size_t>(k)];
        it->setText(QStringLiteral("%1-%2").arg(r.HomeGoals).arg(r.AwayGoals));
      } else if (k >= 0) {
        it->setText(QStringLiteral("・"));
        it->setForeground(Qt::gray);
      }
      gridmatrix->setItem(h, a + 1, it);
    }
  }
}

void TFtournament::FillScorers() {
  const std::vector<TScorerRow> scorers = t_->Scorers();
  gridscorers->setRowCount(static_cast<int>(scorers.size()));
  for (int i = 0; i < static_cast<int>(scorers.size()); ++i) {
    const TScorerRow& s = scorers[static_cast<std::size_t>(i)];
    // Players level on goals and assists share their place.
    const bool level = i > 0 && scorers[static_cast<std::size_t>(i - 1)].Goals == s.Goals &&
                       scorers[static_cast<std::size_t>(i - 1)].Assists == s.Assists;
    gridscorers->setItem(i, 0, Cell(level ? gridscorers->item(i - 1, 0)->text() : QString::number(i + 1)));
    gridscorers->setItem(i, 1, Cell(Q(s.Name), Qt::AlignLeft));
    QTableWidgetItem* club = Cell(Label(s.Entrant), Qt::AlignLeft);
    club->setIcon(EmblemPicture(t_->Entrants()[static_cast<std::size_t>(s.Entrant)].Club->Emblem, 16));
    gridscorers->setItem(i, 2, club);
    gridscorers->setItem(i, 3, Cell(QString::number(s.Goals)));
    gridscorers->setItem(i, 4, Cell(QString::number(s.Assists)));
    if (s.Entrant == t_->Favourite())
      for (int c = 0; c < 5; ++c) gridscorers->item(i, c)->setBackground(kFavourite);
  }
}

void TFtournament::ShowRound(int r) {
  if (r < 0 || r >= t_->RoundCount()) return;
  shownRound_ = r;
  FillRound();
}

void TFtournament::FillRound() {
  lbround->setText(QStringLiteral("第%1節").arg(shownRound_ + 1));
  btnprevround->setEnabled(shownRound_ > 0);
  btnnextround->setEnabled(shownRound_ + 1 < t_->RoundCount());
  const auto [first, end] = t_->RoundRange(shownRound_);
  std::vector<bool> plays(t_->Entrants().size(), false);
  gridround->setRowCount(end - first);
  for (int k = first; k < end; ++k) {
    const TTournamentFixture& f = t_->Fixtures()[static_cast<std::size_t>(k)];
    plays[static_cast<std::size_t>(f.Home)] = plays[static_cast<std::size_t>(f.Away)] = true;
    const int row = k - first;
    QTableWidgetItem* home = Cell(Label(f.Home), Qt::AlignRight);
    QTableWidgetItem* away = Cell(Label(f.Away), Qt::AlignLeft);
    home->setIcon(EmblemPicture(t_->Entrants()[static_cast<std::size_t>(f.Home)].Club->Emblem, kEmblemPx));
    away->setIcon(EmblemPicture(t_->Entrants()[static_cast<std::size_t>(f.Away)].Club->Emblem, kEmblemPx));
    QString score = QStringLiteral("vs");
    if (k < t_->Played()) {
      const TTournamentResult& r = t_->Results()[static_cast<std::size_t>(k)];
      score = QStringLiteral("%1 - %2").arg(r.HomeGoals).arg(r.AwayGoals);
      QStringList lines;
      for (const std::string& l : r.HomeText.empty() ? std::vector<std::string>{} : SplitCommaText(r.HomeText))
        lines << Label(f.Home) + QStringLiteral("　") + Q(l);
      for (const std::string& l : r.AwayText.empty() ? std::vector<std::string>{} : SplitCommaText(r.AwayText))
        lines << Label(f.Away) + QStringLiteral("　") + Q(l);
      home->setToolTip(lines.join(QLatin1Char('\n')));
      away->setToolTip(home->toolTip());
    }
    QTableWidgetItem* mid = Cell(score);
    if (k == t_->Played()) mid->setBackground(QColor(255, 255, 255));  // the next match
    gridround->setItem(row, 0, home);
    gridround->setItem(row, 1, mid);
    gridround->setItem(row, 2, away);
    if (f.Home == t_->Favourite() || f.Away == t_->Favourite())
      for (int c = 0; c < 3; ++c) gridround->item(row, c)->setBackground(kFavourite);
  }
  for (std::size_t e = 0; e < plays.size(); ++e)
    if (!plays[e]) {
      const int row = gridround->rowCount();
      gridround->setRowCount(row + 1);
      gridround->setItem(row, 0, Cell(Label(static_cast<int>(e)), Qt::AlignRight));
      gridround->setItem(row, 1, Cell(QStringLiteral("休み")));
      gridround->setItem(row, 2, Cell(QString()));
    }
}

void TFtournament::UpdateButtons() {
  const bool idle = !Busy() && !watching_;
  const bool more = !t_->Finished();
  for (TClickPanel* b : {btnwatch, btnplay, btnround, btnall}) {
    b->setEnabled(idle && more);
    b->setVisible(more);  // nothing is left to play once the champion is known
  }
  for (TClickPanel* b : {btnsave, btnpng, btnend}) b->setEnabled(idle);
  chkrecord->setEnabled(idle);
  progress->setVisible(Busy());
  btncancel->setVisible(Busy());
}

// ---- playing ---------------------------------------------------------------------

bool TFtournament::btnwatchClick() {
  if (Busy() || watching_ || t_->Finished()) return false;
  const int k = t_->Played();
  savedGame_ = GameState;
  savedRandom_ = GetRandomState();
  std::unique_ptr<Tgamemain> world;
  // The window's generator goes where the match starts; the match screen
  // plays it from there exactly as a worker thread would.
  if (!App().Guard([&] { world = t_->PrepareMatchWorld(k); })) {
    SetRandomState(savedRandom_);
    return false;
  }
  matchWorld_ = std::move(world);
  GameState = matchWorld_.get();
  watching_ = true;
  auto* m = new Tmatch;
  m->RecordBattle = chkrecord->isChecked();
  m->OnBattleEnd = [this, k](Tmatch& match) { EndWatched(match, k); };
  if (!m->OpenDataBattle()) {
    m->deleteLater();
    watching_ = false;
    PutBackGame();
    return false;
  }
  App().Current = m;
  hide();
  return true;
}

void TFtournament::EndWatched(Tmatch& m, int k) {
  TMatchOutcome o;
  m.Driver()->Result(o.HomeText, o.AwayText, o.HomeGoals, o.AwayGoals, o.Stats);
  if (const TmVTR* rec = m.Recorder())
    App().Guard([&] {
      EnsureDirectory(VtrDir());
      WriteFileAtomic(VtrPath(t_->ReplayName(k)),
                      rec->FileImage(MakeVtrHeader(GameState->Team(0), GameState->Team(1), *m.Driver())));
    });
  t_->AddResult(k, ResultOf(o));
  watching_ = false;
  PutBackGame();
  App().Current = this;
  shownRound_ = t_->Fixtures()[static_cast<std::size_t>(k)].Round;
  show();
  Refresh();
}

void TFtournament::PutBackGame() {
  if (!matchWorld_) return;
  if (GameState == matchWorld_.get()) GameState = savedGame_;
  SetRandomState(savedRandom_);
  // The match screen goes later; it holds no pointer into the world.
  matchWorld_.reset();
}

void TFtournament::btnplayClick() {
  if (Busy() || watching_ || t_->Finished()) return;
  // One match is quick: played here, on a copy, without a worker.
  const int k = t_->Played();
  App().Guard([&] {
    Ttournament next = *t_;
    next.PlayNext(1, 1, nullptr, chkrecord->isChecked() ? VtrDir() : std::string());
    *t_ = std::move(next);
  });
  shownRound_ = t_->Fixtures()[static_cast<std::size_t>(k)].Round;
  Refresh();
}

void TFtournament::btnroundClick() {
  if (t_->Finished()) return;
  PlayInBackground(t_->RoundRange(t_->CurrentRound()).second - t_->Played());
}

void TFtournament::btnallClick() { PlayInBackground(static_cast<int>(t_->Fixtures().size()) - t_->Played()); }

void TFtournament::PlayInBackground(int count) {
  if (Busy() || watching_ || count <= 0) return;
  work_ = std::make_unique<Ttournament>(*t_);
  control_.Done = 0;
  control_.Cancel = false;
  workDone_ = false;
  workError_.clear();
  progress->setRange(0, count);
  progress->setValue(0);
  const std::string recordDir = chkrecord->isChecked() ? VtrDir() : std::string();
  worker_ = std::thread([this, count, recordDir] {
    try {
      work_->PlayNext(count, 0, &control_, recordDir);
    } catch (const std::exception& e) {
      workError_ = e.what();
    }
    workDone_ = true;
  });
  poll_.start();
  UpdateButtons();
}

void TFtournament::PollWorker() {
  progress->setValue(control_.Done.load());
  if (!workDone_.load()) return;
  WaitForWorker();
}

void TFtournament::WaitForWorker() {
  if (!worker_.joinable()) return;
  worker_.join();
  poll_.stop();
  if (!workError_.empty()) {
    App().ShowError(Q(workError_));
  } else {
    t_ = std::move(work_);
  }
  work_.reset();
  shownRound_ = std::min(t_->CurrentRound(), t_->RoundCount() - 1);
  Refresh();
}

void TFtournament::btncancelClick() { control_.Cancel = true; }

// ---- files -------------------------------------------------------------------------

bool TFtournament::btnsaveClick() {
  if (Busy() || watching_) return false;
  QString name = QStringLiteral("大会");
  if (!App().AskText(this, QStringLiteral("大会の保存"), QStringLiteral("保存名"), name)) return false;
  if (!App().Guard([&] { t_->Save(name.toStdString()); })) return false;
  App().Message(this, QStringLiteral("保存しました: ") + Q(TournamentPath(name.toStdString())));
  return true;
}

QImage TFtournament::TableImage() const {
  const std::vector<TTableRow> table = t_->Table();
  constexpr int kRow = 28, kTop = 90, kWidth = 664;
  QImage img(kWidth, kTop + kRow * (static_cast<int>(table.size()) + 1) + 16, QImage::Format_RGB32);
  img.fill(QColor(192, 220, 192));
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setFont(GothicFont(20, true));
  p.setPen(Qt::black);
  p.drawText(QRect(16, 8, kWidth - 32, 32), Qt::AlignLeft | Qt::AlignVCenter, lbtitle->text());
  const int32_t champion = t_->Champion();
  if (champion >= 0) {
    p.drawPixmap(16, 44, EmblemPicture(t_->Entrants()[static_cast<std::size_t>(champion)].Club->Emblem, 36));
    p.setPen(kChampionGold);
    p.drawText(QRect(60, 44, kWidth - 76, 36), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("優勝　") + Label(champion));
  }
  const int xs[] = {16, 56, 380, 412, 444, 476, 508, 540, 576, 616};
  const QStringList head = {QStringLiteral("順位"), QStringLiteral("クラブ"), QStringLiteral("試"),
                            QStringLiteral("勝"),   QStringLiteral("分"),     QStringLiteral("敗"),
                            QStringLiteral("得"),   QStringLiteral("失"),     QStringLiteral("差"),
                            QStringLiteral("点")};
  p.setFont(GothicFont(13, true));
  p.setPen(Qt::black);
  for (int c = 0; c < 10; ++c)
    p.drawText(xs[c], kTop, c < 2 ? 300 : 30, kRow, (c < 2 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
               head[c]);
  p.setFont(GothicFont(14));
  for (int i = 0; i < static_cast<int>(table.size()); ++i) {
    const TTableRow& r = table[static_cast<std::size_t>(i)];
    const int y = kTop + kRow * (i + 1);
    p.fillRect(8, y, kWidth - 16, kRow - 2, r.Entrant == t_->Favourite() ? kFavourite : QColor(255, 255, 255));
    p.drawText(xs[0], y, 36, kRow, Qt::AlignLeft | Qt::AlignVCenter, QString::number(i + 1));
    p.drawPixmap(xs[1], y + 3, EmblemPicture(t_->Entrants()[static_cast<std::size_t>(r.Entrant)].Club->Emblem, 20));
    QFontMetrics fm(p.font());
    p.drawText(xs[1] + 26, y, 290, kRow, Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(Label(r.Entrant), Qt::ElideRight, 290));
    const int values[] = {r.Played, r.Won, r.Drawn, r.Lost, r.GoalsFor, r.GoalsAgainst, r.Difference(), r.Points};
    for (int c = 0; c < 8; ++c)
      p.drawText(xs[c + 2], y, 30, kRow, Qt::AlignRight | Qt::AlignVCenter, QString::number(values[c]));
  }
  p.end();
  return img;
}

bool TFtournament::btnpngClick() {
  if (Busy() || watching_) return false;
  QString name = QStringLiteral("大会の順位表");
  if (!App().AskText(this, QStringLiteral("画像出力"), QStringLiteral("画像の名前（PNG）"), name)) return false;
  std::string path;
  if (!App().Guard([&] {
        CheckFileName(TournamentDir(), name.toStdString(), ".png");
        EnsureDirectory(TournamentDir());
        path = TournamentDir() + "/" + name.toStdString() + ".png";
        if (!TableImage().save(Q(path), "PNG")) throw FileError(path, "画像を書き込めません");
      }))
    return false;
  App().Message(this, QStringLiteral("画像を保存しました: ") + Q(path));
  return true;
}

void TFtournament::btnendClick() {
  if (Busy() || watching_) return;
  if (!App().Confirm(this, QStringLiteral("タイトルへ戻りますか？保存していない大会の進行は失われます"))) return;
  App().BackToTitle(this);
}

void TFtournament::closeEvent(QCloseEvent* e) {
  if (Busy() || watching_ || !App().ConfirmEndGame(this)) {
    e->ignore();
    return;
  }
  e->accept();
}
