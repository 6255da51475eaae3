// Damaged input of every stream form the game reads. Real images are built,
// then cut short, bit-flipped and given absurd counts and lengths; each
// mutant must either read or raise one of our own errors (never a crash, a
// hang, a runaway allocation or another exception), and a refused read must
// leave its target exactly as it was (its re-saved bytes are compared).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "SaveTestWorld.h"
#include "TestData.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uintlist.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "club/Uteametc.h"
#include "match/Umatchmain.h"
#include "match/Umatchplayer.h"
#include "match/Umatchteam.h"
#include "world/Ugamemain.h"
#include "world/Uleague.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"
#include "world/Utrade.h"
#include "world/Uvsdata.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The mutation draws use their own small generator so they never touch the
// game's sequence.
struct MutationRng {
  uint64_t x;
  explicit MutationRng(uint64_t seed) : x(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(Next() % n); }
};

int32_t Le32(const Bytes& b, std::size_t at) {
  return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                              uint32_t(b[at + 3]) << 24);
}

void Put32(Bytes& b, std::size_t at, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

struct Mutant {
  Bytes Image;
  std::string Label;
};

// About `budget` mutants of an image: cuts on a stride (plus the last few
// bytes), random byte changes, and absurd values planted where the image
// holds a small non-negative integer (counts, lengths and sizes live there).
std::vector<Mutant> MakeMutants(const Bytes& image, uint64_t seed, int budget) {
  std::vector<Mutant> out;
  MutationRng rng(seed);
  const std::size_t n = image.size();
  const int cuts = budget / 3;
  const std::size_t stride = std::max<std::size_t>(1, n / static_cast<std::size_t>(std::max(1, cuts)));
  for (std::size_t len = 0; len < n; len += stride)
    out.push_back(
        {Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(len)), "cut at " + std::to_string(len)});
  for (std::size_t k = 1; k <= 5 && k <= n; ++k)
    out.push_back({Bytes(image.begin(), image.end() - static_cast<std::ptrdiff_t>(k)),
                   "cut " + std::to_string(k) + " from the end"});

  for (int i = 0; i < budget / 3 && n > 0; ++i) {
    Mutant m{image, "flips"};
    const int flips = 1 + static_cast<int>(rng.Below(3));
    for (int f = 0; f < flips; ++f) {
      const std::size_t at = rng.Below(n);
      m.Image[at] = static_cast<uint8_t>(rng.Next());
      m.Label += " " + std::to_string(at);
    }
    out.push_back(std::move(m));
  }

  std::vector<std::size_t> small;
  for (std::size_t at = 0; at + 4 <= n; ++at) {
    const int32_t v = Le32(image, at);
    if (v >= 0 && v <= 4096) small.push_back(at);
  }
  for (int i = 0; i < budget / 3 && !small.empty(); ++i) {
    const std::size_t at = small[rng.Below(small.size())];
    const int32_t rest = static_cast<int32_t>(std::min<std::size_t>(n - at, 0x7fffffff));
    const int32_t values[] = {-1,
                              std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max(),
                              0x40000000,
                              0x00ffffff,
                              rest,
                              rest + 1,
                              rest / 4 + 1,
                              Le32(image, at) + 1 + static_cast<int32_t>(rng.Below(64))};
    const int32_t v = values[rng.Below(sizeof values / sizeof values[0])];
    Mutant m{image, "value " + std::to_string(v) + " at " + std::to_string(at)};
    Put32(m.Image, at, v);
    out.push_back(std::move(m));
  }
  return out;
}

struct Outcome {
  int Read = 0;
  int Refused = 0;
};

// Every mutant is read by `load` from a fresh stream; `state` gives the
// target's bytes so that a refused read can be checked to change nothing.
Outcome Hammer(const std::string& form, const Bytes& image, uint64_t seed, int budget,
               const std::function<void(TStream&)>& load, const std::function<Bytes()>& state) {
  Outcome o;
  {
    TStream s(image);
    load(s);  // the untouched image must read
  }
  for (const Mutant& m : MakeMutants(image, seed, budget)) {
    const Bytes before = state();
    try {
      TStream s(m.Image);
      load(s);
      ++o.Read;
      (void)state();  // whatever was accepted must also save again
    } catch (const VantorelError&) {
      ++o.Refused;
      if (state() != before) ADD_FAILURE() << form << ", " << m.Label << ": refused read changed its target";
    } catch (const std::exception& e) {
      ADD_FAILURE() << form << ", " << m.Label << ": foreign exception " << e.what();
    }
  }
  EXPECT_GT(o.Refused, 0) << form;
  return o;
}

template <class T>
Bytes Saved(const T& t) {
  TStream s;
  t.SaveToStream(s);
  return s.TakeBytes();
}

// The record without its RatingSum field (the field just before the history).
Bytes ShortPlayerRecord(const Tplayer& p) {
  const Bytes full = Saved(p);
  const std::size_t hist = Saved(p.History).size();
  Bytes out(full.begin(), full.end() - static_cast<std::ptrdiff_t>(hist + 4));
  out.insert(out.end(), full.end() - static_cast<std::ptrdiff_t>(hist), full.end());
  return out;
}

Bytes ShortList(const Tplayerlist& list) {
  TStream s;
  s.WriteInt32(list.Count());
  for (const auto& e : list.Entries) {
    s.WriteInt32(e.Number);
    s.WriteBytes(ShortPlayerRecord(*e.Player));
  }
  return s.TakeBytes();
}

// The coaching staff in the exchange layout: weights, ten spare bytes, the
// three coaches.
Bytes ExchangeCoach(const Tcoach& c) {
  const Bytes full = Saved(c);
  Bytes out(full.begin() + 102, full.end());
  out.insert(out.end(), 10, 0);
  out.insert(out.end(), full.begin(), full.begin() + 102);
  return out;
}

// Everything before the squad in a club record.
Bytes ClubHead(const Tteam& t) {
  const Bytes full = Saved(t);
  const std::size_t lists = Saved(*t.Squad).size() + Saved(*t.Youth).size();
  return Bytes(full.begin(), full.end() - static_cast<std::ptrdiff_t>(lists));
}

Bytes ShortClub(const Tteam& t) {
  Bytes out = ClubHead(t);
  for (const Bytes& b : {ShortList(*t.Squad), ShortList(*t.Youth)}) out.insert(out.end(), b.begin(), b.end());
  return out;
}

Bytes ExchangeClub(const Tteam& t) {
  const Bytes head = ClubHead(t);
  const std::size_t coachAt = head.size() - (20 + 64 + 88) - Tcoach::kRecordBytes;
  TStream s;
  s.WriteBytes(Bytes(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(coachAt)));
  s.WriteBytes(ExchangeCoach(*t.Coaches));
  s.WriteBytes(Bytes(head.begin() + static_cast<std::ptrdiff_t>(coachAt + Tcoach::kRecordBytes), head.end()));
  TIntgrid numbers;
  for (const auto& e : t.Squad->Entries) numbers.AddRow({e.Number});
  numbers.SaveToStream(s);
  for (const auto& e : t.Squad->Entries) e.Player->SaveToStream(s);
  s.WriteInt32(t.Youth->Count());
  for (const auto& e : t.Youth->Entries) e.Player->SaveToStream(s);
  return s.TakeBytes();
}

// The first club's emblem of the shipped start data: a real 10 x 10 picture.
Bytes ShippedEmblem() {
  TStream s(ReadWholeFile("data/first.dat"));
  for (int i = 0; i < 4; ++i) s.ReadInt32();
  s.Need(4, "club name");
  ReadString(s);
  return Tteam::ReadEmblem(s);
}

// A club that has lived a little: a real emblem, coaches hired, a youth
// intake, a few seasons of history on every player.
std::unique_ptr<Tteam> LivedClub(int32_t index) {
  auto t = std::make_unique<Tteam>(std::array<int32_t, 4>{0, 3, 5, 10}, 40, index, NoWorld());
  t->ClubName = "テスト・クラブ" + std::to_string(index);
  t->SetEmblem(ShippedEmblem());
  t->Coaches->Hire(1, {4, 5, 6, 7, 8, 9});
  t->Coaches->SetFocus(1, 2, 0);
  t->YouthIntake(NoWorld());
  t->YouthIntake(NoWorld());
  for (int season = 0; season < 3; ++season)
    for (auto& e : t->Squad->Entries) {
      e.Player->Games = 5 + season;
      e.Player->Goal = season;
      e.Player->AddRating(60 + season);
      e.Player->CloseSeason(season == 0 ? kTradeYouth : kTradeOrdinary, NoWorld());
    }
  t->AutoLineup(true);
  return t;
}

class Robustness : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = GetRandomState();
    RandSeed(20240611);
    club_ = LivedClub(5);
  }
  void TearDown() override { SetRandomState(saved_); }

  ScopedDataDir dir_;
  RandomState saved_{};
  std::unique_ptr<Tteam> club_;
};

TEST_F(Robustness, PlayerRecordInEveryForm) {
  const Tplayer& src = *club_->Squad->Entries.front().Player;
  ASSERT_GT(src.History.RowCount(), 1);
  Tplayer target(0, 0, 0, 5, NoWorld());
  target.Clone(src);
  auto state = [&] { return Saved(target); };
  Hammer(
      "player", Saved(src), 1, 240, [&](TStream& s) { target.LoadFromStream(s); }, state);
  Hammer(
      "short player", ShortPlayerRecord(src), 2, 240, [&](TStream& s) { target.LoadFromStreamShort(s); }, state);
  Hammer(
      "history table", Saved(src.History), 3, 150, [&](TStream& s) { target.History.LoadFromStream(s); },
      [&] { return Saved(target.History); });
}

TEST_F(Robustness, PlayerListsAndCoaches) {
  Tplayerlist list;
  auto state = [&] { return Saved(list); };
  Hammer(
      "player list", Saved(*club_->Squad), 4, 240, [&](TStream& s) { list.LoadFromStream(s, 5); }, state);
  Hammer(
      "short player list", ShortList(*club_->Youth), 5, 180, [&](TStream& s) { list.LoadFromStreamShort(s, 5); },
      state);

  Tcoach coach;
  auto cstate = [&] { return Saved(coach); };
  Hammer(
      "coaches", Saved(*club_->Coaches), 6, 120, [&](TStream& s) { coach.LoadFromStream(s); }, cstate);
  Hammer(
      "exchange coaches", ExchangeCoach(*club_->Coaches), 7, 120, [&](TStream& s) { coach.LoadExchange(s); }, cstate);
}

TEST_F(Robustness, ClubRecordInEveryForm) {
  Tteam target(5);
  auto state = [&] { return Saved(target); };
  const Bytes full = Saved(*club_);
  Hammer(
      "club", full, 8, 200, [&](TStream& s) { target.LoadFromStream(s); }, state);
  Hammer(
      "short club", ShortClub(*club_), 9, 150, [&](TStream& s) { target.LoadFromStreamShort(s); }, state);
  Hammer(
      "exchange club", ExchangeClub(*club_), 10, 150, [&](TStream& s) { target.LoadExchange(s); }, state);

  // The forms built here are the real ones: each reads to its end.
  Tteam a(5), b(5);
  TStream ss(ShortClub(*club_)), se(ExchangeClub(*club_));
  a.LoadFromStreamShort(ss);
  b.LoadExchange(se);
  EXPECT_TRUE(ss.AtEnd());
  EXPECT_TRUE(se.AtEnd());
  EXPECT_EQ(Saved(b), full);
}

TEST_F(Robustness, EmblemHeaderFields) {
  // Every header field of the picture, set to each absurd value in turn.
  const Bytes good = Saved(*club_);
  Tteam target(5);
  const Bytes before = Saved(target);
  int refused = 0;
  for (std::size_t at : {2u, 10u, 14u, 18u, 22u, 26u, 28u, 34u})
    for (int32_t v : {0, -1, 1, 0x7fffffff, int32_t(0x80000000), 0x10000, 1000000}) {
      Bytes img = good;
      Put32(img, at, v);
      try {
        TStream s(img);
        Tteam t(5);
        t.LoadFromStream(s);
      } catch (const StreamError&) {
        ++refused;
      } catch (const std::exception& e) {
        ADD_FAILURE() << "field " << at << " = " << v << ": " << e.what();
      }
    }
  EXPECT_GT(refused, 20);
  Bytes notBmp = good;
  notBmp[0] = 'X';
  TStream s(notBmp);
  EXPECT_THROW(target.LoadFromStream(s), StreamError);
  EXPECT_EQ(Saved(target), before);
}

TEST_F(Robustness, MarketInEveryForm) {
  // A market with every part present: free agents with history, listings,
  // negotiations with bids, report lines.
  Ttrade market;
  for (int i = 0; i < 4; ++i) {
    auto p = std::make_unique<Tplayer>(*club_->Squad->Entries[static_cast<std::size_t>(i)].Player);
    p->TeamIndex = kFreeAgentClub;
    market.FreeAgents->Add(std::move(p), i);
  }
  for (int i = 0; i < 5; ++i) market.Listings.AddRow({99000 + i, 99, i, 300 + i, 50, 60, 70, 80, 90});
  for (int i = 0; i < 3; ++i) {
    TIntgrid neg;
    neg.AddRow({5, i + 1});
    neg.AddRow({3, 500, 40});
    neg.AddRow({7, 650, 55});
    market.Negotiations.push_back(neg);
  }
  market.Report.push_back("山田　太郎,テスト,,1200,移籍");
  market.Report.push_back("\"A, B\",無所属,,300,残留");

  Ttrade target;
  auto state = [&] { return Saved(target); };
  const Bytes current = Saved(market);
  Hammer(
      "market", current, 11, 300, [&](TStream& s) { target.LoadFromStream(s); }, state);

  // The older layouts differ only in the free-agent part.
  const std::size_t listAt = Saved(market.Listings).size();
  const std::size_t agentsEnd = listAt + Saved(*market.FreeAgents).size();
  auto withAgents = [&](const Bytes& agents) {
    Bytes out(current.begin(), current.begin() + static_cast<std::ptrdiff_t>(listAt));
    out.insert(out.end(), agents.begin(), agents.end());
    out.insert(out.end(), current.begin() + static_cast<std::ptrdiff_t>(agentsEnd), current.end());
    return out;
  };
  Hammer(
      "market 11", withAgents(ShortList(*market.FreeAgents)), 12, 240, [&](TStream& s) { target.ReadVersion11(s); },
      state);
  TStream v6;
  TIntgrid numbers;
  for (const auto& e : market.FreeAgents->Entries) numbers.AddRow({e.Number});
  numbers.SaveToStream(v6);
  for (const auto& e : market.FreeAgents->Entries) e.Player->SaveToStream(v6);
  Hammer(
      "market 6", withAgents(v6.Bytes()), 13, 240, [&](TStream& s) { target.ReadVersion6(s); }, state);
}

TEST_F(Robustness, VsImagesAndFiles) {
  const Bytes image = MakeVsImage(*club_, "監督：テスト");
  Tteam scratch(1);
  std::unique_ptr<Tteam> last;
  Hammer(
      "vs image", image, 14, 200,
      [&](TStream& s) {
        TVsData d = ParseVsImage(s.Bytes(), 1);
        last = std::move(d.Club);
      },
      [&] { return Bytes{}; });

  // On disk: a damaged file is refused with its name.
  EnsureDirectory(VsDir());
  int checked = 0;
  for (const Mutant& m : MakeMutants(image, 15, 60)) {
    WriteFileAtomic("data/vs/x.vs", m.Image);
    try {
      ReadVsFile("data/vs/x.vs", 1);
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("x.vs"), std::string::npos) << e.what();
      ++checked;
    } catch (const std::exception& e) {
      ADD_FAILURE() << m.Label << ": " << e.what();
    }
  }
  EXPECT_GT(checked, 0);
}

TEST_F(Robustness, MatchLineupStream) {
  auto other = LivedClub(9);
  TStream home, away;
  club_->WriteLineup(home);
  other->WriteLineup(away);
  Tmmain match;
  match.Load(home, away, false);
  auto state = [&] {
    TStream s;
    for (int side = 0; side < 2; ++side) {
      const Tmteam& t = *match.Sides[side];
      s.WriteInt32(t.ClubId);
      s.WriteInt32(t.PlayerCount());
      for (int i = 0; i < t.PlayerCount(); ++i) {
        WriteString(s, t.Players[static_cast<std::size_t>(i)]->Name);
        s.WriteInt32(t.Players[static_cast<std::size_t>(i)]->HomeX);
      }
    }
    return s.TakeBytes();
  };
  Hammer(
      "line-up", home.Bytes(), 16, 300,
      [&](TStream& s) {
        away.Seek(0);
        match.Load(s, away, false);
      },
      state);
}

// A world that has lived a few weeks: the computer clubs' market weeks,
// the league and cup set up, one league round played; and the market of
// its pre-season kept aside, so that the same world can be had in week 6
// with the market, every optional part of a save body thus present in one
// of the two.
class WorldRobustness : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new ScopedDataDir;
    game_ = new TestGame(77);
    Tgamemain& g = game_->Get();
    game_->FillMarket();
    market_ = new Bytes;
    while (g.Week < 12) {
      g.AdvanceWeek();
      if (g.Week == 6) *market_ = Saved(*g.Market);
    }
    g.PlayWeekMatches();
    g.AdvanceWeek();
  }
  static void TearDownTestSuite() {
    delete game_;
    delete market_;
    delete dir_;
  }
  Tgamemain& Game() { return game_->Get(); }
  // The world as it would be in week 6: the market, no competitions.
  void PreSeason(Tgamemain& pre) {
    TStream s(Game().SaveBody());
    pre.LoadFromStream(s, true);
    pre.Week = 6;
    for (auto& l : pre.Leagues) l.reset();
    pre.Cup.reset();
    pre.Market = std::make_unique<Ttrade>();
    TStream ms(*market_);
    pre.Market->LoadFromStream(ms);
  }

  static ScopedDataDir* dir_;
  static TestGame* game_;
  static Bytes* market_;
};
ScopedDataDir* WorldRobustness::dir_ = nullptr;
TestGame* WorldRobustness::game_ = nullptr;
Bytes* WorldRobustness::market_ = nullptr;

TEST_F(WorldRobustness, LeagueAndCupRecords) {
  Tgamemain& g = Game();
  ASSERT_TRUE(g.Leagues[0] && g.Cup);
  ASSERT_GT(g.Leagues[0]->ScorerRanking.RowCount(), 0);
  std::array<int32_t, 8> clubs{};
  for (int p = 0; p < 8; ++p) clubs[p] = g.Divisions[0][p];
  Tleague league(clubs, Tleague::TNoDraw{});
  Hammer(
      "league", Saved(*g.Leagues[0]), 20, 240, [&](TStream& s) { league.LoadFromStream(s); },
      [&] { return Saved(league); });
  Tcup cup{Tcup::TNoDraw{}};
  Hammer(
      "cup", Saved(*g.Cup), 21, 120, [&](TStream& s) { cup.LoadFromStream(s); }, [&] { return Saved(cup); });
}

TEST_F(WorldRobustness, SaveBodyOfEveryVersion) {
  Tgamemain& g = Game();
  ASSERT_TRUE(g.Leagues[0] && g.Cup);
  Tgamemain pre(Tgamemain::TNoSeed{});
  PreSeason(pre);
  ASSERT_GT(pre.Market->Negotiations.size() + pre.Market->Report.size(), 1u);
  const Bytes body = g.SaveBody();
  const Bytes withMarket = pre.SaveBody();
  const Bytes v11 = SaveImageV11(pre);
  const Bytes v6 = SaveImageV6(pre, true);
  const RandomState rs = GetRandomState();
  Tgamemain target(Tgamemain::TNoSeed{});
  auto state = [&] { return target.Teams[0] ? target.SaveBody() : Bytes{}; };
  Hammer(
      "save body", body, 22, 60, [&](TStream& s) { target.LoadFromStream(s, true); }, state);
  Hammer(
      "save body with market", withMarket, 29, 40, [&](TStream& s) { target.LoadFromStream(s, true); }, state);
  Hammer(
      "save body 11", v11, 23, 40, [&](TStream& s) { target.ReadVersion11(s); }, state);
  Hammer(
      "save body 6", v6, 24, 40, [&](TStream& s) { target.ReadVersion6(s); }, state);
  // Reading never draws from the game's generator.
  EXPECT_EQ(GetRandomState().state, rs.state);

  // The converter takes an old image to the current one or refuses it.
  for (const Bytes* img : {&v11, &v6})
    for (const Mutant& m : MakeMutants(*img, 25, 12)) {
      try {
        Tsavechange::ConvertSaveImage(m.Image);
      } catch (const VantorelError&) {
      } catch (const std::exception& e) {
        ADD_FAILURE() << "convert " << m.Label << ": " << e.what();
      }
    }
}

TEST_F(WorldRobustness, DamagedFilesOnDiskChangeNothing) {
  Tgamemain& g = Game();
  const Bytes body = g.SaveBody();
  const Bytes before = body;
  int refused = 0;
  for (const Mutant& m : MakeMutants(body, 26, 45)) {
    WriteSlotFile("damaged", m.Image);
    try {
      LoadGameFromSlot(g, "damaged");
      if (g.SaveBody() != before) {
        // A damaged file that still reads is a game of its own; go back.
        TStream s(before);
        g.LoadFromStream(s, true);
      }
    } catch (const FileError& e) {
      ++refused;
      EXPECT_NE(std::string(e.what()).find("damaged.dat"), std::string::npos) << e.what();
      if (g.SaveBody() != before) ADD_FAILURE() << m.Label << ": a refused slot changed the game";
    } catch (const std::exception& e) {
      ADD_FAILURE() << m.Label << ": " << e.what();
    }
  }
  EXPECT_GT(refused, 0);

  // A VS side is replaced only by a whole file.
  const Bytes vs = MakeVsImage(*g.Teams[3], "");
  EnsureDirectory(VsDir());
  const Bytes side = Saved(*g.Teams[0]);
  for (const Mutant& m : MakeMutants(vs, 27, 45)) {
    WriteFileAtomic("data/vs/side.vs", m.Image);
    try {
      LoadVsSide(g, 0, "side");
      TStream s(side);
      g.Teams[0]->LoadFromStream(s);
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("side.vs"), std::string::npos) << e.what();
      if (Saved(*g.Teams[0]) != side) ADD_FAILURE() << m.Label << ": a refused VS file changed the side";
    } catch (const std::exception& e) {
      ADD_FAILURE() << m.Label << ": " << e.what();
    }
  }

  // Old VS files go through the converter: converted or refused.
  TStream old;
  WriteString(old, "11");
  WriteString(old, "古い");
  WriteClubV11(old, *g.Teams[3]);
  for (const Mutant& m : MakeMutants(old.Bytes(), 28, 45)) {
    try {
      Tsavechange::ConvertVsImage(m.Image);
    } catch (const VantorelError&) {
    } catch (const std::exception& e) {
      ADD_FAILURE() << "convert " << m.Label << ": " << e.what();
    }
  }
}

// A value that reads must be one the game can live with: each number of a
// player record set to an extreme is either refused by the reader or
// survives a market week, the player's derived values and a season end.
TEST(ExtremeValues, ReadOrRefusedNeverBreaksTheGame) {
  ScopedDataDir dir;
  const RandomState saved = GetRandomState();
  TestGame game(5);
  Tgamemain& g = game.Get();
  g.AdvanceWeek();
  const Bytes body = g.SaveBody();
  int refused = 0;
  for (int field = 0; field < 70; ++field)
    for (int32_t v : {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
      TStream in(body);
      g.LoadFromStream(in, true);
      Tplayer& p = *g.Teams[3]->Squad->PlayerAt(0);
      Bytes b = Saved(p);
      Put32(b, 4 + static_cast<std::size_t>(Le32(b, 0)) + 4 * static_cast<std::size_t>(field), v);
      try {
        TStream rs(b);
        p.LoadFromStream(rs);
      } catch (const StreamError&) {
        ++refused;
        continue;
      }
      try {
        g.AdvanceWeek();
        (void)p.Value(g);
        (void)p.Wage();
        (void)p.RowFields(g);
        (void)p.AverageRatingText();
        (void)p.LineupRow();
        (void)p.CoachValues();
        p.UpdateCondition();
        p.AddFatigue(5, true, g);
        g.Teams[3]->SeasonEnd(g, g.Market.get());
      } catch (const VantorelError&) {
        // an overflow caught by the checked arithmetic is a clean refusal too
      }
    }
  // Abilities, form, ages and attachment are bounded on reading.
  EXPECT_GE(refused, 2 * (6 + 1 + 2 + 24));
  SetRandomState(saved);
}

}  // namespace

// ---- inputs the fuzz targets found ----------------------------------------------
// Each is the file a fuzz target (fuzz/) broke a promise with, fed to the
// same reader.

TEST(FuzzFound, DamagedPresetLeavesTheLineUpAsItWas) {
  ScopedDataDir dir;
  const RandomState saved = GetRandomState();
  RandSeed(1);
  Tteam club({0, 2, 5, 10}, 20, 3, NoWorld());
  const Bytes before = Saved(club);
  // fuzz_preset: an empty preset file for line 2 used to leave the slots
  // and role ratings of the new picks with the places of the old line-up.
  WriteFileAtomic("data/aiforma/2.dat", {});
  Tformation::ClearPresetCache();
  EXPECT_THROW(club.AutoLineup(false), FileError);
  EXPECT_EQ(Saved(club), before);
  Tformation::ClearPresetCache();
  SetRandomState(saved);
}

TEST(FuzzFound, VsSideThatCannotBeShownIsRefused) {
  // fuzz_vs: a player whose base value was near 2^31 passed the reader, and
  // the side's squad grid then overflowed pricing him (the data-battle
  // screen fills that grid right after the file is read).
  const Bytes image =
      ReadWholeFile(std::string(VANTOREL_SOURCE_DIR) + "/tests/core/fuzzfound/vs-base-value-overflow.vs");
  EXPECT_THROW(ParseVsImage(image, 0), VantorelError);
}
