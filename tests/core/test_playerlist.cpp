// The player list: numbering, ownership and its stream form.
#include <gtest/gtest.h>

#include "club/Uplayerlist.h"
#include "tests/core/PlayerTestSupport.h"

namespace {

std::unique_ptr<Tplayer> Named(const std::string& name, int32_t club = 1) {
  auto p = std::make_unique<Tplayer>(9, 0, 20, club, NoWorld());
  p->Name = name;
  p->Age = 22;
  return p;
}

std::vector<uint8_t> Saved(const Tplayerlist& l) {
  TStream s;
  l.SaveToStream(s);
  return s.Bytes();
}

}  // namespace

using PlayerList = PlayerFixture;

TEST_F(PlayerList, NumbersAreUniqueAndTakenInOrder) {
  Tplayerlist l;
  EXPECT_EQ(l.Add(Named("a"), 3), 3);
  EXPECT_EQ(l.Add(Named("b"), 4), 4);
  EXPECT_EQ(l.Add(Named("c"), 5), 5);
  EXPECT_EQ(l.Add(Named("d"), 3), 6);  // 3, 4, 5 taken
  EXPECT_EQ(l.Add(Named("e"), 1), 1);
  EXPECT_EQ(l.Count(), 5);
  EXPECT_EQ(l.PlayerAt(4)->Name, "e");  // appended, not sorted
  EXPECT_EQ(l.PlayerByNumber(6)->Name, "d");
  EXPECT_EQ(l.PlayerByNumber(7), nullptr);
  EXPECT_EQ(l.PlayerAt(5), nullptr);
  EXPECT_EQ(l.IndexOfNumber(5), 2);
  EXPECT_EQ(l.IndexOfNumber(99), -1);
  EXPECT_EQ(l.FirstFreeNumber(1), 2);

  l.SetNumber(6, 20);
  EXPECT_EQ(l.PlayerByNumber(20)->Name, "d");
  l.RemoveNumber(4);
  l.RemoveNumber(4);  // absent: nothing
  l.RemoveAt(10);     // beyond the end: nothing
  l.RemoveAt(-1);
  EXPECT_EQ(l.Count(), 4);
  l.RemoveAt(0);
  EXPECT_EQ(l.NumberAt(0), 5);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST_F(PlayerList, FillerPlayers) {
  Tplayerlist l;
  l.Add(Named("x", 7), 51);
  l.Add(Named("y", 7), 52);
  RandSeed(1);
  EXPECT_EQ(l.AddFiller(7, NoWorld()), 53);
  const Tplayer* f = l.PlayerByNumber(53);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Age, 40);
  EXPECT_EQ(f->TeamIndex, 7);
  EXPECT_EQ(f->GetAffinity(7), 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f->Ability(i), 1);
  EXPECT_TRUE(f->IsRetiring());  // gone at the first season end
}

TEST_F(PlayerList, GoldenBytesOfOneEntry) {
  Tplayerlist empty;
  EXPECT_EQ(Saved(empty), (std::vector<uint8_t>{0, 0, 0, 0}));

  Tplayerlist l;
  auto p = Named("ab");
  l.Add(std::move(p), 260);
  TStream record;
  l.PlayerAt(0)->SaveToStream(record);
  Bytes e;
  e.I(1).I(260);
  e.b.insert(e.b.end(), record.Bytes().begin(), record.Bytes().end());
  EXPECT_EQ(Saved(l), e.b);
  // The record starts with the name and ends with the one history row.
  EXPECT_EQ(std::vector<uint8_t>(e.b.begin() + 8, e.b.begin() + 14), (std::vector<uint8_t>{2, 0, 0, 0, 'a', 'b'}));
  EXPECT_EQ(e.b.size(), 8u + 6 + 285 + 4 + 4 + 28);
}

TEST_F(PlayerList, SaveLoadKeepsNumbersOrderAndFields) {
  RandSeed(31);
  Tplayerlist l;
  l.Add(Named("first", 2), 9);
  l.Add(Named("second", 2), 1);
  l.Add(Named("third", 2), 200);
  l.PlayerByNumber(1)->RatingSum = 17;
  std::vector<uint8_t> bytes = Saved(l);

  Tplayerlist m;
  m.Add(Named("old"), 5);  // replaced, not appended to
  TStream s(bytes);
  m.LoadFromStream(s, 11);
  EXPECT_TRUE(s.AtEnd());
  ASSERT_EQ(m.Count(), 3);
  EXPECT_EQ(m.NumberAt(0), 9);
  EXPECT_EQ(m.NumberAt(1), 1);
  EXPECT_EQ(m.NumberAt(2), 200);
  EXPECT_EQ(m.PlayerAt(1)->Name, "second");
  EXPECT_EQ(m.PlayerAt(1)->RatingSum, 17);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(m.PlayerAt(i)->TeamIndex, 11);
  EXPECT_EQ(Saved(m), bytes);
}

TEST_F(PlayerList, ShortFormHasNoRatingSums) {
  Tplayerlist l;
  l.Add(Named("s"), 4);
  std::vector<uint8_t> full = Saved(l);
  // The record without rating sum: drop the four bytes before the history.
  TStream rec;
  l.PlayerAt(0)->SaveToStream(rec);
  std::size_t ratingAt = 8 + rec.Size() - (4 + 4 + 28) - 4;
  std::vector<uint8_t> shortForm = full;
  shortForm.erase(shortForm.begin() + static_cast<std::ptrdiff_t>(ratingAt),
                  shortForm.begin() + static_cast<std::ptrdiff_t>(ratingAt + 4));
  Tplayerlist m;
  TStream s(shortForm);
  m.LoadFromStreamShort(s, 0);
  EXPECT_TRUE(s.AtEnd());
  ASSERT_EQ(m.Count(), 1);
  EXPECT_EQ(m.NumberAt(0), 4);
  EXPECT_EQ(m.PlayerAt(0)->RatingSum, 0);
  EXPECT_EQ(Saved(m), full);
}

TEST_F(PlayerList, DamagedStreamsLeaveTheListAlone) {
  Tplayerlist l;
  l.Add(Named("p"), 1);
  l.Add(Named("q"), 2);
  std::vector<uint8_t> bytes = Saved(l);

  Tplayerlist keep;
  keep.Add(Named("keep"), 7);
  for (std::size_t len = 0; len < bytes.size(); len += 7) {
    TStream s(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(len)));
    EXPECT_THROW(keep.LoadFromStream(s, 3), StreamError) << "length " << len;
  }
  for (int32_t count : {-1, 3, 1 << 30}) {
    std::vector<uint8_t> b = bytes;
    uint32_t u = static_cast<uint32_t>(count);
    for (int k = 0; k < 4; ++k) b[k] = static_cast<uint8_t>(u >> (8 * k));
    TStream s(b);
    EXPECT_THROW(keep.LoadFromStream(s, 3), StreamError) << "count " << count;
  }
  ASSERT_EQ(keep.Count(), 1);
  EXPECT_EQ(keep.PlayerAt(0)->Name, "keep");
}
