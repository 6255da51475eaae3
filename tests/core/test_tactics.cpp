// The tactics board: pixel and formation points, the placement box, the
// position file, and the line-up edits that reach the club only through
// ApplyLineUp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "TeamTestData.h"
#include "club/Ufile.h"
#include "club/Uteam.h"
#include "world/Utactics.h"

namespace {

TEST(TacticsGeometry, PixelsAndFormationPoints) {
  struct Case {
    TPoint pixel, point;
    const char* why;
  };
  const Case cases[] = {
      {{0, 438}, {800, 800}, "own goal line, first touchline"},
      {{283, 438}, {800, 4196}, "the keeper's spot, as the pixel keeps it"},
      {{284, 219}, {3428, 4208}, "middle of the placement box"},
      {{566, 0}, {6056, 7592}, "halfway line, far touchline"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PixelToFormation(c.pixel), c.point) << c.why;
    EXPECT_EQ(FormationToPixel(c.point), c.pixel) << c.why;
  }
  // Back from the club, division truncates toward zero.
  EXPECT_EQ(FormationToPixel(TPoint{800, 4200}), (TPoint{283, 438}));
  EXPECT_EQ(FormationToPixel(TPoint{811, 795}), (TPoint{0, 438}));
  EXPECT_EQ(FormationToPixel(TPoint{789, 788}), (TPoint{-1, 438}));
  // A point no club should hold saturates instead of overflowing.
  const int32_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(PixelToFormation(TPoint{hi, lo}), (TPoint{hi, hi}));
  EXPECT_EQ(FormationToPixel(TPoint{lo, lo}), (TPoint{-178957037, 178957475}));
}

TEST(TacticsGeometry, PlacementBoxEdges) {
  struct Case {
    TPoint pixel;
    bool inside;
  };
  const Case cases[] = {{{54, 219}, true}, {{53, 219}, false}, {{514, 219}, true}, {{515, 219}, false},
                        {{284, 69}, true}, {{284, 68}, false}, {{284, 369}, true}, {{284, 370}, false},
                        {{54, 69}, true},  {{514, 369}, true}, {{283, 438}, false}};
  for (const Case& c : cases) EXPECT_EQ(InPlacementBox(c.pixel), c.inside) << c.pixel.X << "," << c.pixel.Y;
}

// The shipped 4-4-2 file, written out by hand.
const std::vector<uint8_t> k442Bytes = {
    0x1b, 0x01, 0, 0, 0xb6, 0x01, 0, 0, 0x55, 0x01, 0, 0, 0x46, 0x01, 0, 0, 0xe1, 0x00, 0, 0, 0x46, 0x01, 0, 0,
    0xe7, 0x01, 0, 0, 0x42, 0x01, 0, 0, 0x4f, 0x00, 0, 0, 0x42, 0x01, 0, 0, 0x4d, 0x01, 0, 0, 0xd5, 0x00, 0, 0,
    0xe9, 0x00, 0, 0, 0xd5, 0x00, 0, 0, 0xdb, 0x01, 0, 0, 0xc5, 0x00, 0, 0, 0x5b, 0x00, 0, 0, 0xc5, 0x00, 0, 0,
    0x51, 0x01, 0, 0, 0x58, 0x00, 0, 0, 0xe5, 0x00, 0, 0, 0x58, 0x00, 0, 0};
const TPixelPositions k442 = {TPoint{283, 438}, {341, 326}, {225, 326}, {487, 322}, {79, 322}, {333, 213},
                              {233, 213},       {475, 197}, {91, 197},  {337, 88},  {229, 88}};

TEST(PositionFile, GoldenBytesAndRoundTrip) {
  EXPECT_EQ(PositionFileBytes(k442), k442Bytes);
  TPixelPositions read{};
  EXPECT_EQ(ReadPositionBytes(k442Bytes, read), 11);
  EXPECT_EQ(read, k442);

  ScopedDataDir dir;
  std::filesystem::create_directories(PositionFileDir());
  const std::string path = PositionFileDir() + "/mine.dat";
  SavePositionFile(path, k442);
  EXPECT_EQ(ReadWholeFile(path), k442Bytes);
  TPixelPositions again{};
  EXPECT_EQ(LoadPositionFile(path, again), 11);
  EXPECT_EQ(again, k442);
  // The shipped file is the same shape.
  const std::string shipped = std::string(VANTOREL_SOURCE_DIR) + "/data/formation/4-4-2.dat";
  EXPECT_EQ(ReadWholeFile(shipped), k442Bytes);
}

TEST(PositionFile, ShortLongAndDamagedFiles) {
  const TPixelPositions before = k442;
  auto read = [&](std::vector<uint8_t> bytes, int filled) {
    TPixelPositions p = before;
    EXPECT_EQ(ReadPositionBytes(bytes, p), filled);
    return p;
  };
  // Twenty bytes: two whole slots; the half slot after them is not used.
  std::vector<uint8_t> shortFile = {10, 0, 0, 0, 20, 0, 0, 0, 30, 0, 0, 0, 40, 0, 0, 0, 99, 0, 0, 0};
  TPixelPositions p = read(shortFile, 2);
  EXPECT_EQ(p[0], (TPoint{10, 20}));
  EXPECT_EQ(p[1], (TPoint{30, 40}));
  for (int i = 2; i < 11; ++i) EXPECT_EQ(p[i], before[i]) << i;
  // Nothing at all changes nothing.
  EXPECT_EQ(read({}, 0), before);
  EXPECT_EQ(read({1, 2, 3}, 0), before);
  // Bytes beyond 88 are ignored.
  std::vector<uint8_t> longFile = k442Bytes;
  longFile.resize(200, 0xEE);
  EXPECT_EQ(read(longFile, 11), k442);
  // Coordinates off the picture come to its nearest edge.
  std::vector<uint8_t> wild = {0, 0, 0, 0x80, 0xff, 0xff, 0xff, 0x7f, 0xff, 0xff, 0xff, 0xff, 0x40, 0x1, 0, 0};
  p = read(wild, 2);
  EXPECT_EQ(p[0], (TPoint{0, 444}));
  EXPECT_EQ(p[1], (TPoint{0, 320}));

  // From disk: only the first 88 bytes are read; a missing file changes nothing.
  ScopedDataDir dir;
  WriteBytesFile("big.dat", std::vector<uint8_t>(1 << 20, 0x01));
  TPixelPositions q = before;
  EXPECT_EQ(LoadPositionFile("big.dat", q), 11);
  EXPECT_EQ(q[4], (TPoint{kPitchPictureWidth - 1, kPitchPictureHeight - 1}));
  q = before;
  EXPECT_THROW(LoadPositionFile("none.dat", q), FileError);
  EXPECT_THROW(LoadPositionFile(".", q), FileError);
  EXPECT_EQ(q, before);
}

// ---------------------------------------------------------------------------
// The board

class TacticsBoardTest : public ClubDataTest {
 protected:
  // Twenty players, numbers 1 .. 20: 1 .. 11 start, 12 .. 14 on the bench,
  // number 20 injured for three weeks.
  void SetUp() override {
    ClubDataTest::SetUp();
    club_ = std::make_unique<Tteam>(0);
    for (int i = 1; i <= 20; ++i) club_->Squad->Add(MakePlayer(i == 1 ? 0 : 13, 40, 25, 0), i);
    club_->Squad->PlayerByNumber(20)->InjuryWeeks = 3;
    for (int s = 0; s < kSlotCount; ++s) club_->SetSlotNumber(s, s < 14 ? s + 1 : -1);
    club_->SetPosition(0, kKeeperPoint);
    for (int s = 1; s < kStarterCount; ++s) club_->SetPosition(s, TPoint{1400 + 300 * s, 800 + 600 * s});
    board_.Open(*club_, NoWorld(), 0);
  }
  // The squad row of a shirt number.
  int RowOf(int32_t number) const { return board_.SquadRowOfNumber(number); }
  std::string Key(int32_t number) const { return board_.Squad.Cells(kSquadKey, RowOf(number)); }
  std::vector<std::string> Keys() const {
    std::vector<std::string> keys;
    for (int r = 1; r < board_.Squad.RowCount(); ++r)
      keys.push_back(board_.Squad.Cells(kSquadNumber, r) + ":" + board_.Squad.Cells(kSquadKey, r));
    return keys;
  }
  int32_t Tag(int32_t number) const { return board_.Squad.Tags(kSquadNumber, RowOf(number)); }

  std::unique_ptr<Tteam> club_;
  Ttacticsboard board_;
};

TEST_F(TacticsBoardTest, OpensWithTheLineUpInSlotOrder) {
  EXPECT_EQ(board_.Club, 0);
  for (int s = 0; s < kSlotCount; ++s) EXPECT_EQ(board_.SlotNumber(s), s < 14 ? s + 1 : -1) << s;
  EXPECT_EQ(board_.Lineup.Cells(kMenLabel, 0), "GK");
  EXPECT_EQ(board_.Lineup.Cells(kMenLabel, 1), "0");
  EXPECT_EQ(board_.Lineup.Cells(kMenLabel, 10), "9");
  EXPECT_EQ(board_.Lineup.Cells(kMenLabel, 11), "");
  EXPECT_EQ(board_.Lineup.Cells(kMenPosition, 0), "GK/N");
  // Squad list: the line-up in slot order, then the available, then the injured.
  for (int s = 0; s < 14; ++s) EXPECT_EQ(board_.Squad.Cells(kSquadNumber, s + 1), std::to_string(s + 1));
  EXPECT_EQ(board_.Squad.Cells(kSquadNumber, board_.Squad.RowCount() - 1), "20");
  EXPECT_TRUE(IsInjuredRow(board_.Squad, RowOf(20)));
  EXPECT_EQ(board_.Positions[0], (TPoint{283, 438}));
  EXPECT_EQ(board_.Positions[3], FormationToPixel(TPoint{2300, 2600}));
}

TEST_F(TacticsBoardTest, AssignFillsEmptySlotsSwapsOccupantsAndRefusesTheInjured) {
  int row = -1;
  // An empty bench slot.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(15), 14, &row));
  EXPECT_EQ(row, RowOf(15));
  EXPECT_EQ(Key(15), "14");
  EXPECT_EQ(Tag(15), kTagSilver);
  EXPECT_EQ(board_.SlotNumber(14), 15);
  // A substitute into an occupied starter's slot: the starter goes to the bench.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(12), 5));
  EXPECT_EQ(board_.SlotNumber(5), 12);
  EXPECT_EQ(board_.SlotNumber(11), 6);
  EXPECT_EQ(Tag(12), kTagYellow);
  EXPECT_EQ(Tag(6), kTagSilver);
  // A player from outside the line-up: the occupant leaves it.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(16), 3));
  EXPECT_EQ(board_.SlotNumber(3), 16);
  EXPECT_EQ(Key(4), "99");
  EXPECT_EQ(Tag(4), 0);
  EXPECT_EQ(board_.SlotOfNumber(4), -1);
  // A starter into an empty slot leaves his own slot empty.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(2), 15));
  EXPECT_EQ(board_.SlotNumber(1), -1);
  EXPECT_FALSE(board_.StartersComplete());
  // The injured player, a bad row or slot: refused, nothing changes.
  const std::vector<std::string> keys = Keys();
  EXPECT_FALSE(board_.AssignPlayer(RowOf(20), 1));
  EXPECT_FALSE(board_.AssignPlayer(0, 1));
  EXPECT_FALSE(board_.AssignPlayer(RowOf(17), 16));
  EXPECT_EQ(Keys(), keys);
  EXPECT_EQ(board_.SlotNumber(1), -1);
  // Every player stands in at most one slot.
  for (int n = 1; n <= 20; ++n) {
    int count = 0;
    for (int s = 0; s < kSlotCount; ++s) count += board_.SlotNumber(s) == n;
    EXPECT_LE(count, 1) << n;
  }
}

TEST_F(TacticsBoardTest, ApplyLineUpWritesSlotsAndPointsOrIsRefused) {
  // Incomplete: nothing reaches the club.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(3), 14));
  const auto slotsBefore = club_->Slots;
  const auto positionsBefore = club_->Positions;
  EXPECT_FALSE(board_.ApplyLineUp(*club_));
  EXPECT_EQ(club_->Slots, slotsBefore);
  EXPECT_EQ(club_->Positions, positionsBefore);

  // Fill slot 2 again, move field player 5 forward, and apply.
  ASSERT_TRUE(board_.AssignPlayer(RowOf(17), 2));
  EXPECT_FALSE(board_.PlacePlayer(5, TPoint{284, 70 - 2}));
  EXPECT_FALSE(board_.PlacePlayer(0, TPoint{284, 200}));
  EXPECT_FALSE(board_.PlacePlayer(11, TPoint{284, 200}));
  ASSERT_TRUE(board_.PlacePlayer(5, TPoint{100, 70}));
  ASSERT_TRUE(board_.ApplyLineUp(*club_));
  // The club orders its outfield starters by length, then width descending;
  // the moved player is now the furthest forward.
  EXPECT_EQ(club_->SlotNumber(0), 1);
  EXPECT_EQ(club_->SlotNumber(10), 6);
  EXPECT_EQ(club_->GetPosition(10), (TPoint{(438 - 70) * 12 + 800, 100 * 12 + 800}));
  EXPECT_EQ(club_->GetPosition(0), (TPoint{800, 4196}));
  EXPECT_EQ(club_->SlotNumber(1), 2);
  EXPECT_EQ(club_->SlotNumber(2), 17);
  for (int s = 1; s < kStarterCount - 1; ++s) EXPECT_LE(club_->GetPosition(s).X, club_->GetPosition(s + 1).X);
  // Bench: 12, 13, 14, then the player who left slot 2.
  EXPECT_EQ(club_->SlotNumber(11), 12);
  EXPECT_EQ(club_->SlotNumber(13), 14);
  EXPECT_EQ(club_->SlotNumber(14), 3);
  EXPECT_EQ(club_->SlotNumber(15), -1);

  // A board that names a player the squad no longer has is refused.
  Ttacticsboard stale;
  stale.Open(*club_, NoWorld(), 0);
  club_->Release(6, NoWorld());
  const auto slotsNow = club_->Slots;
  EXPECT_FALSE(stale.ApplyLineUp(*club_));
  EXPECT_EQ(club_->Slots, slotsNow);
}

TEST_F(TacticsBoardTest, SavedPlacesLoadBackExactlyAndApply) {
  ASSERT_TRUE(board_.PlacePlayer(4, TPoint{54, 369}));
  ASSERT_TRUE(board_.PlacePlayer(7, TPoint{514, 69}));
  std::filesystem::create_directories(PositionFileDir());
  const std::string path = PositionFileDir() + "/t.dat";
  SavePositionFile(path, board_.Positions);
  const TPixelPositions saved = board_.Positions;
  board_.Open(*club_, NoWorld(), 0);
  EXPECT_NE(board_.Positions, saved);
  EXPECT_EQ(LoadPositionFile(path, board_.Positions), 11);
  EXPECT_EQ(board_.Positions, saved);
  ASSERT_TRUE(board_.ApplyLineUp(*club_));
  Ttacticsboard again;
  again.Open(*club_, NoWorld(), 0);
  std::vector<TPoint> a(saved.begin() + 1, saved.end()), b(again.Positions.begin() + 1, again.Positions.end());
  std::sort(a.begin(), a.end(), [](TPoint l, TPoint r) { return l.X != r.X ? l.X < r.X : l.Y < r.Y; });
  std::sort(b.begin(), b.end(), [](TPoint l, TPoint r) { return l.X != r.X ? l.X < r.X : l.Y < r.Y; });
  EXPECT_EQ(a, b);  // the same places, in the club's order
  EXPECT_EQ(again.Positions[0], saved[0]);
}

}  // namespace
