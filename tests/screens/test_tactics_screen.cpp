// The tactics screen and the squad grid it stands on, driven as a user
// drives them: from the club screen's emblems, by clicks and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "../core/TestData.h"
#include "ScreenTestSupport.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Uteam.h"
#include "screens/Clickpanel.h"
#include "screens/Fmain.h"
#include "screens/Fplayer.h"
#include "screens/Ftactics.h"
#include "screens/Ftitle.h"
#include "screens/StringGridex.h"
#include "screens/Uapp.h"
#include "world/Ugamemain.h"

namespace {

// A mouse button on a grid cell, scrolled into view first.
void ClickCell(TStringGridex* g, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
  g->ScrollToRow(row);
  QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
}

class TacticsScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    OpenTitle(5);
    main_ = StartFromTitle();
    ASSERT_NE(main_, nullptr);
  }
  void TearDown() override { CloseEverything(); }
  // Left-clicks the emblem of a club of the shown division.
  Ttactics* OpenFor(bool ownClub) {
    for (int k = 0; k < 8; ++k) {
      if ((main_->slotClub[k] == 0) != ownClub) continue;
      club_ = main_->slotClub[k];
      QTest::mouseClick(main_->imgt[k], Qt::LeftButton);
      Settle();
      return Shown<Ttactics>();
    }
    return nullptr;
  }
  Ttactics* OpenedFor(bool ownClub) {
    Ttactics* t = OpenFor(ownClub);
    EXPECT_NE(t, nullptr);
    EXPECT_FALSE(main_->isVisible());
    EXPECT_TRUE(main_->BackFromTactics);
    return t;
  }
  // Assigns the first substitute to slot 3 by right clicks, moves field
  // player "4" (slot 5) with the digit key and a click on the pitch.
  void EditLineUp(Ttactics* t) {
    sub_ = t->Board.SlotNumber(11);
    moved_ = t->Board.SlotNumber(5);
    benched_ = t->Board.SlotNumber(3);
    ClickCell(t->gridmatchmen, 2, 3);
    ClickCell(t->gridplayer, 3, t->Board.SquadRowOfNumber(sub_), Qt::RightButton);
    EXPECT_EQ(t->Board.SlotNumber(3), sub_);
    EXPECT_EQ(t->Board.SlotNumber(11), benched_);
    EXPECT_EQ(t->gridmatchmen->Model().Cells(kMenNumber, 3), std::to_string(sub_));
    QTest::keyClick(t->gridplayer, Qt::Key_4, Qt::NoModifier);  // reaches the screen
    EXPECT_EQ(t->gridmatchmen->Row(), 5);
    QTest::mouseClick(t->imgpitch, Qt::LeftButton, {}, QPoint(100, 300));
    EXPECT_EQ(t->Board.Positions[5], (TPoint{100, 300}));
    QTest::mouseClick(t->imgpitch, Qt::LeftButton, {}, QPoint(40, 300));  // outside the box
    EXPECT_EQ(t->Board.Positions[5], (TPoint{100, 300}));
  }
  Tmain* main_ = nullptr;
  int club_ = -1;
  int32_t sub_ = 0, moved_ = 0, benched_ = 0;
  ScopedDataDir dir_;
};

TEST_F(TacticsScreen, TheUsersEditsReachTheClubThroughOk) {
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->btnsave->isVisible());
  EXPECT_TRUE(t->GBmyteam->isVisible());
  EXPECT_EQ(t->size(), QSize(1016, 652));
  EXPECT_EQ(t->gridmatchmen->Model().Cells(kMenLabel, 0), "GK");
  EditLineUp(t);
  const Tteam& club = GameState->Team(0);
  EXPECT_EQ(club.FindSlot(sub_), 11);  // nothing reaches the club before OK
  QTest::mouseClick(t->btnsave, Qt::LeftButton);
  Settle();
  EXPECT_EQ(Shown<Ttactics>(), nullptr);
  EXPECT_EQ(Shown<Tmain>(), main_);
  EXPECT_TRUE(main_->BackFromTactics);
  const int subSlot = club.FindSlot(sub_);
  EXPECT_GE(subSlot, 1);
  EXPECT_LE(subSlot, 10);
  EXPECT_EQ(club.FindSlot(benched_), 11);
  const int movedSlot = club.FindSlot(moved_);
  ASSERT_GE(movedSlot, 1);
  EXPECT_EQ(club.GetPosition(movedSlot), PixelToFormation(TPoint{100, 300}));
}

TEST_F(TacticsScreen, AnotherClubIsShownButNeverChanged) {
  Ttactics* t = OpenedFor(false);
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->btnsave->isVisible());
  EXPECT_FALSE(t->GBmyteam->isVisible());
  EXPECT_EQ(t->Board.Club, club_);
  const Tteam& club = GameState->Team(club_);
  const auto slotsBefore = club.Slots;
  const auto positions = club.Positions;
  EditLineUp(t);
  t->btnsaveClick();  // even called directly, OK does nothing for this club
  EXPECT_TRUE(t->isVisible());
  QTest::mouseClick(t->btnback, Qt::LeftButton);
  Settle();
  EXPECT_EQ(Shown<Tmain>(), main_);
  EXPECT_EQ(club.Slots, slotsBefore);
  EXPECT_EQ(club.Positions, positions);
}

TEST_F(TacticsScreen, IncompleteElevenStaysAndAutomaticChoiceFillsIt) {
  Tteam& club = GameState->Team(0);
  club.SetSlotNumber(15, -1);
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  const auto slotsBefore = club.Slots;
  // A starter to the empty bench slot leaves a hole in the eleven.
  const int32_t starter = t->Board.SlotNumber(2);
  ClickCell(t->gridmatchmen, 2, 15);
  ClickCell(t->gridplayer, 3, t->Board.SquadRowOfNumber(starter), Qt::RightButton);
  EXPECT_EQ(t->Board.SlotNumber(2), -1);
  EXPECT_EQ(t->gridmatchmen->Model().Cells(kMenName, 2), "");
  QTest::mouseClick(t->btnsave, Qt::LeftButton);
  Settle();
  EXPECT_EQ(App().LastMessage, "スタメン11人が決まってません");
  EXPECT_EQ(Shown<Ttactics>(), t);
  EXPECT_EQ(club.Slots, slotsBefore);
  // 自動選抜 chooses again at once, and leaves the injured out, the keeper
  // and a starter among them.
  club.SetSlotNumber(4, -1);
  const int32_t hurt[] = {club.SlotNumber(0), club.SlotNumber(6)};
  for (int32_t n : hurt) club.Squad->PlayerByNumber(n)->InjuryWeeks = 2;
  QTest::mouseClick(t->btnautoselect, Qt::LeftButton);
  EXPECT_TRUE(t->Board.StartersComplete());
  for (int s = 0; s < kStarterCount; ++s) EXPECT_GT(club.SlotNumber(s), 0) << s;
  EXPECT_EQ(t->Board.SlotNumber(4), club.SlotNumber(4));
  for (int s = 0; s < kSlotCount; ++s)
    for (int32_t n : hurt) {
      EXPECT_NE(club.SlotNumber(s), n) << s;
      EXPECT_NE(t->Board.SlotNumber(s), n) << s;
    }
}

// The half pitch as painted: for every starter, at the point his club keeps
// (x = (width - 800) div 12, y = 438 - (length - 800) div 12, kept whole
// inside the picture), his number
// in a white 16-pixel box round the point and his position's name in a
// yellow box above it, each written from the box's top left.
TEST_F(TacticsScreen, ThePitchShowsEveryStartersNumberAndPositionInTheirBoxes) {
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  const Tteam& club = GameState->Team(0);
  struct Box {
    QRect rect;
    QPoint origin;
    QColor fill;
    QString text;
  };
  std::vector<Box> boxes;
  for (int i = 0; i < kStarterCount; ++i) {
    const int32_t number = club.SlotNumber(i);
    const Tplayer* p = club.Squad->PlayerByNumber(number);
    ASSERT_NE(p, nullptr) << i;
    const TPoint f = club.GetPosition(i);
    // Kept whole inside the picture: the keeper on his goal line stands a
    // few pixels above its bottom edge.
    const int x = std::clamp((f.Y - 800) / 12, 20, kPitchPictureWidth - 21);
    const int y = std::clamp(438 - (f.X - 800) / 12, 26, kPitchPictureHeight - 9);
    boxes.push_back(
        {QRect(QPoint(x - 8, y - 8), QPoint(x + 8, y + 8)), QPoint(x - 7, y - 8), Qt::white, QString::number(number)});
    boxes.push_back({QRect(QPoint(x - 20, y - 26), QPoint(x + 20, y - 10)), QPoint(x - 20, y - 26), Qt::yellow,
                     QString::fromStdString(PositionName(p->Mtype))});
  }
  const QImage pitch = t->imgpitch->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
  // The chosen field player's number is framed in red, just outside his box.
  const int chosen = t->gridmatchmen->Row();
  const QRect frame = chosen >= 0 && chosen < kStarterCount
                          ? boxes[static_cast<std::size_t>(2 * chosen)].rect.adjusted(-3, -3, 3, 3)
                          : QRect();
  int compared = 0, numbers = 0;
  for (std::size_t k = 0; k < boxes.size(); ++k) {
    const Box& b = boxes[k];
    bool covered =
        !pitch.rect().contains(b.rect) || (k != static_cast<std::size_t>(2 * chosen) && frame.intersects(b.rect));
    for (std::size_t later = k + 1; later < boxes.size(); ++later)
      if (boxes[later].rect.intersects(b.rect)) covered = true;
    if (covered) continue;  // painted over by a team-mate drawn after him
    QPixmap ref(b.rect.size());
    {
      QPainter p(&ref);
      p.fillRect(ref.rect(), b.fill);
      p.setFont(GothicFont(12));
      p.setPen(Qt::black);
      p.drawText(QRect(b.origin - b.rect.topLeft(), b.rect.bottomRight() - b.rect.topLeft()),
                 Qt::AlignLeft | Qt::AlignTop, b.text);
    }
    const QImage want = ref.toImage().convertToFormat(QImage::Format_RGB32);
    int inked = 0, wrong = 0;
    for (int y = 1; y < want.height() - 1; ++y)
      for (int x = 1; x < want.width() - 1; ++x) {
        if (QColor(want.pixel(x, y)) != b.fill) ++inked;
        if (want.pixel(x, y) != pitch.pixel(b.rect.left() + x, b.rect.top() + y)) ++wrong;
      }
    EXPECT_GT(inked, 5) << b.text.toStdString();
    EXPECT_EQ(wrong, 0) << "box " << k << " \"" << b.text.toStdString() << "\" at " << b.rect.x() << "," << b.rect.y();
    ++compared;
    if (k % 2 == 0) ++numbers;
  }
  EXPECT_GE(compared, 14);  // most of the 22 boxes stand free
  EXPECT_GE(numbers, 8);
}

TEST_F(TacticsScreen, PositionFilesSaveAskBeforeOverwritingAndLoad) {
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  EnsureDirectory(PositionFileDir());
  const std::string path = PositionFileDir() + "/mine.dat";
  t->AutoFile = QStringLiteral("mine");
  QTest::mouseClick(t->btnpossave, Qt::LeftButton);
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(ReadWholeFile(path), PositionFileBytes(t->Board.Positions));
  const TPixelPositions saved = t->Board.Positions;
  // Move a player; saving again over the file is asked first and declined.
  QTest::keyClick(t, Qt::Key_0);
  QTest::mouseClick(t->imgpitch, Qt::LeftButton, {}, QPoint(300, 100));
  App().LastMessage.clear();
  App().AutoAnswer = false;
  QTest::mouseClick(t->btnpossave, Qt::LeftButton);
  EXPECT_EQ(App().LastMessage, "同じ名前のファイルがあります。上書きしますか");
  EXPECT_EQ(ReadWholeFile(path), PositionFileBytes(saved));
  // Loading brings the saved places back; a cancelled dialog changes nothing.
  t->AutoFile = QStringLiteral("mine.dat");
  QTest::mouseClick(t->btnposload, Qt::LeftButton);
  EXPECT_EQ(t->Board.Positions, saved);
  t->AutoFile.clear();
  QTest::mouseClick(t->btnposload, Qt::LeftButton);
  EXPECT_EQ(t->Board.Positions, saved);
}

TEST_F(TacticsScreen, TheNameColumnOpensThePlayerCardOfAnyClub) {
  for (bool own : {true, false}) {
    Ttactics* t = OpenedFor(own);
    ASSERT_NE(t, nullptr);
    const int row = t->Board.SquadRowOfNumber(t->Board.SlotNumber(4));
    ClickCell(t->gridplayer, kSquadName, row);
    auto* card = t->findChild<Tplayerinfo*>();
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->isVisible());
    EXPECT_EQ(card->grid2->Model().Cells(1, 0), GameState->Team(club_).ClubName);
    EXPECT_EQ(card->grid2->Model().Cells(1, 1), t->Board.Squad.Cells(kSquadName, row));
    QTest::mouseClick(card->btnclose, Qt::LeftButton);
    Settle();
    EXPECT_EQ(t->findChild<Tplayerinfo*>(), nullptr);
    EXPECT_TRUE(t->isVisible());
    QTest::mouseClick(t->btnback, Qt::LeftButton);
    Settle();
    ASSERT_EQ(Shown<Tmain>(), main_);
  }
}

TEST_F(TacticsScreen, GridsLinkSortAndShowTheHandOverNames) {
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  TStringGridex* g = t->gridplayer;
  // Double click on a squad row selects his slot, and back.
  const int32_t keeper = t->Board.SlotNumber(0);
  const int32_t sub = t->Board.SlotNumber(12);
  const int subRow = t->Board.SquadRowOfNumber(sub);
  ClickCell(g, 3, subRow);
  QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(3, subRow).center());
  EXPECT_EQ(t->gridmatchmen->Row(), 12);
  ClickCell(t->gridmatchmen, 2, 0);
  QTest::mouseDClick(t->gridmatchmen->viewport(), Qt::LeftButton, {}, t->gridmatchmen->CellRect(2, 0).center());
  EXPECT_EQ(g->Model().Cells(kSquadNumber, g->Row()), std::to_string(keeper));
  // A right click selects the row under the mouse before it assigns: the
  // player of slot 7 is put into the selected slot 0.
  const int32_t seventh = t->Board.SlotNumber(7);
  ClickCell(g, 5, t->Board.SquadRowOfNumber(seventh), Qt::RightButton);
  EXPECT_EQ(t->Board.SlotNumber(0), seventh);
  EXPECT_EQ(t->Board.SlotNumber(7), keeper);
  EXPECT_EQ(g->Row(), t->Board.SquadRowOfNumber(seventh));
  // Arrow keys move the selection in the grid itself.
  const int before = g->Row();
  QTest::keyClick(g, Qt::Key_Down);
  EXPECT_EQ(g->Row(), before + 1);
  // The hand over the name column only.
  QTest::mouseMove(g->viewport(), g->CellRect(kSquadName, 2).center());
  EXPECT_EQ(g->viewport()->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(g->viewport(), g->CellRect(5, 2).center());
  EXPECT_EQ(g->viewport()->cursor().shape(), Qt::ArrowCursor);
  // A header click sorts by that column, descending first.
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(3, 0).center());
  for (int r = 2; r < g->Model().RowCount(); ++r)
    EXPECT_GE(std::stoi(g->Model().Cells(3, r - 1)), std::stoi(g->Model().Cells(3, r)));
}

// Paints one cell of a grid into an image.
QImage PaintCell(TStringGridex* g, int col, int row, QSize size) {
  QImage img(size, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  PaintSquadCell(p, QRect(QPoint(0, 0), size), *g, col, row, kSquadGrowth);
  return img;
}

TEST_F(TacticsScreen, SquadCellsShowLineUpFormInjuryAndGrowth) {
  Tteam& club = GameState->Team(0);
  // An injured player outside the line-up.
  int32_t injured = -1;
  for (const TplayerInput& e : club.Squad->Entries)
    if (club.FindSlot(e.Number) < 0) injured = e.Number;
  ASSERT_GT(injured, 0);
  club.Squad->PlayerByNumber(injured)->InjuryWeeks = 2;
  Ttactics* t = OpenedFor(true);
  ASSERT_NE(t, nullptr);
  TStringGridex* g = t->gridplayer;
  const QSize cell(40, 17);
  g->SetSelection(0, g->Model().RowCount() - 1);
  // A starter's row has the yellow background, a substitute's the silver.
  QImage starter = PaintCell(g, 5, t->Board.SquadRowOfNumber(t->Board.SlotNumber(0)), cell);
  EXPECT_EQ(QColor(starter.pixel(38, 1)), QColor(255, 255, 0));
  QImage sub = PaintCell(g, 5, t->Board.SquadRowOfNumber(t->Board.SlotNumber(11)), cell);
  EXPECT_EQ(QColor(sub.pixel(38, 1)), QColor(192, 192, 192));
  // The injured row is struck through in red.
  const int row = t->Board.SquadRowOfNumber(injured);
  EXPECT_EQ(g->Model().Cells(kSquadKey, row), "902");
  QImage hurt = PaintCell(g, 5, row, cell);
  EXPECT_EQ(QColor(hurt.pixel(38, 8)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(hurt.pixel(38, 1)), QColor(Qt::white));
  // The growth column shows the icon, not the digit.
  QImage icon(
      QStringLiteral("data/picture/grow%1.png").arg(QString::fromStdString(g->Model().Cells(kSquadGrowth, row))));
  ASSERT_FALSE(icon.isNull());
  QImage growth = PaintCell(g, kSquadGrowth, row, QSize(20, 17));
  QImage expected(QSize(20, 17), QImage::Format_RGB32);
  expected.fill(Qt::white);  // the selected row's background
  QPainter(&expected).drawImage(2, 2, icon);
  EXPECT_EQ(growth, expected);
  // A growth cell without a phase stays text.
  g->Model().Cells(kSquadGrowth, row) = "x";
  QImage plain = PaintCell(g, kSquadGrowth, row, QSize(20, 17));
  EXPECT_EQ(QColor(plain.pixel(1, 1)), QColor(Qt::white));
}

TEST(ClubCard, ColoursComeFromTheEmblem) {
  QImage e(10, 10, QImage::Format_RGB32);
  QColor a, b;
  e.fill(Qt::white);
  Ttactics::CardColours(e, a, b);
  EXPECT_EQ(a, QColor(Qt::white));
  EXPECT_EQ(b, QColor(Qt::black));
  e.fill(QColor(200, 0, 0));
  Ttactics::CardColours(e, a, b);
  EXPECT_EQ(b, QColor(Qt::white));
  e.setPixel(4, 4, qRgb(0, 0, 90));
  e.setPixel(6, 6, qRgb(0, 90, 0));
  Ttactics::CardColours(e, a, b);
  EXPECT_EQ(a, QColor(200, 0, 0));
  EXPECT_EQ(b, QColor(0, 0, 90));
  // No picture: the form colour, and white against it.
  Ttactics::CardColours(QImage(), a, b);
  EXPECT_EQ(a, QColor(215, 253, 215));
  EXPECT_EQ(b, QColor(Qt::white));
}

}  // namespace
