// vantorel-fuzzseeds WORK OUT: turns what vantorel-sim wrote in the working
// directory WORK (saves at several weeks, a VS export, a recording) and the
// shipped data there into the seed corpora OUT/<target>/, small enough to
// keep in the repository and to fuzz quickly, plus a few hand-made hostile
// files per target. scripts/fuzz-corpus.sh runs it.
#include <filesystem>
#include <iostream>
#include <limits>
#include <string>

#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uplayerlist.h"
#include "club/Uteam.h"
#include "match/Uvtr.h"
#include "tests/core/SaveTestWorld.h"
#include "world/Ugamemain.h"
#include "world/Utournament.h"
#include "world/Utrade.h"
#include "world/Uvsdata.h"

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

fs::path g_out;
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

void Put(const std::string& target, const std::string& name, const Bytes& bytes) {
  fs::create_directories(g_out / target);
  const fs::path p = g_out / target / name;
  WriteFileAtomic(p.string(), bytes);
}

// A hostile copy: the value planted at `at`, the file cut a little after
// it (the reader meets the value first; the rest would only take room).
Bytes Set32(Bytes b, std::size_t at, int32_t v) {
  if (at + 4 <= b.size())
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
  if (b.size() > at + 512) b.resize(at + 512);
  return b;
}

// The first emblem's file-size field (after `from`), claiming 4 GB.
Bytes HugeEmblem(const Bytes& b, std::size_t from) {
  for (std::size_t i = from; i + 6 <= b.size(); ++i)
    if (b[i] == 'B' && b[i + 1] == 'M') return Set32(b, i + 2, -1);
  return b;
}

Bytes Prefixed(uint8_t first, const Bytes& rest) {
  Bytes b{first};
  b.insert(b.end(), rest.begin(), rest.end());
  return b;
}

// A save made small: the computer's clubs keep their names, emblems, money
// and staff but no players (the user's club is whole), the market at most
// three free agents. Such a game still loads and saves like any other.
std::unique_ptr<Tgamemain> SmallWorld(const std::string& slot) {
  auto g = std::make_unique<Tgamemain>(Tgamemain::TNoSeed{});
  TStream s(ReadWholeFile("data/savedata/" + slot + ".dat"));
  g->LoadFromStream(s, true);
  for (int c = 1; c < kClubCount; ++c) {
    Tteam& t = *g->Teams[c];
    t.Squad = std::make_unique<Tplayerlist>();
    t.Youth = std::make_unique<Tplayerlist>();
    t.Slots.fill(-1);
  }
  if (g->Market) {
    Tplayerlist& agents = *g->Market->FreeAgents;
    while (agents.Count() > 3) agents.RemoveNumber(agents.NumberAt(agents.Count() - 1));
    while (g->Market->Listings.RowCount() > 3) g->Market->Listings.DeleteRow(g->Market->Listings.RowCount() - 1);
  }
  return g;
}

void SaveSeeds() {
  for (const char* slot : {"w1", "w5", "w13", "w30"}) {
    auto g = SmallWorld(slot);
    const Bytes body = g->SaveBody();
    Put("save", slot + std::string(".dat"), body);
    if (std::string(slot) == "w1") {
      // version string, year ..., division, reputation: the history table at 4 + 2 + 16 + 96 + 96.
      Put("save", "hostile-negative-version-length.dat", Set32(body, 0, -1));
      Put("save", "hostile-history-count.dat", Set32(body, 214, kMax));
      Put("save", "hostile-emblem-4gb.dat", HugeEmblem(body, 214));
      Put("save", "hostile-one-byte.dat", Bytes{0x02});
    }
    if (std::string(slot) == "w5") {
      Put("convert_save", "w5-no-version.dat", SaveImageV6(*g, false));
    }
    if (std::string(slot) == "w13") {
      const Bytes v11 = SaveImageV11(*g);
      Put("convert_save", "w13-v11.dat", v11);
      Put("convert_save", "w13-v06.dat", SaveImageV6(*g, true));
      Put("convert_save", "hostile-v11-history-count.dat", Set32(v11, 214, kMax));
      Put("convert_save", "hostile-one-byte.dat", Bytes{0x02});
    }
  }
}

void VsSeeds() {
  const Bytes vs = ReadWholeFile("data/vs/club.vs");
  Put("vs", "club.vs", vs);
  TVsData d = ParseVsImage(vs, 0);
  Put("vs", "default-comment.vs", MakeVsImage(*d.Club, kDefaultVsComment));
  const std::size_t club = 4 + 2 + 4 + static_cast<std::size_t>(LeInt(vs, 6));
  Put("vs", "hostile-negative-comment-length.vs", Set32(vs, 6, -1));
  Put("vs", "hostile-comment-length-max.vs", Set32(vs, 6, kMax));
  Put("vs", "hostile-emblem-4gb.vs", HugeEmblem(vs, club));
  Put("vs", "hostile-one-byte.vs", Bytes{0x02});

  for (const char* v : {"11", "06"}) {
    TStream s;
    WriteString(s, v);
    WriteString(s, d.Comment);
    if (std::string(v) == "11")
      WriteClubV11(s, *d.Club);
    else
      WriteClubV6(s, *d.Club);
    Put("convert_vs", std::string("club-v") + v + ".vs", s.Bytes());
    if (std::string(v) == "06") Put("convert_vs", "hostile-v06-emblem-4gb.vs", HugeEmblem(s.Bytes(), club));
  }
  Bytes current = vs;  // a current record under the old label "11"
  current[4] = '1';
  current[5] = '1';
  Put("convert_vs", "club-current-labelled-11.vs", current);
  Put("convert_vs", "hostile-negative-comment-length.vs", Set32(current, 6, -1));
  Put("convert_vs", "hostile-one-byte.vs", Bytes{0x02});
}

// A tournament of three clubs after its first round, as vantorel-sim saved
// it: version, seed, legs, favourite, club count at 24, then each club's
// file name and VS image.
void TournamentSeeds() {
  const Bytes tn = ReadWholeFile("data/tournament/tn.tnm");
  Put("tournament", "tn.tnm", tn);
  const std::size_t firstSize = 28 + 4 + static_cast<std::size_t>(LeInt(tn, 28));
  Put("tournament", "hostile-club-count.tnm", Set32(tn, 24, kMax));
  Put("tournament", "hostile-club-size-max.tnm", Set32(tn, firstSize, kMax));
  Put("tournament", "hostile-emblem-4gb.tnm", HugeEmblem(tn, firstSize));
  Put("tournament", "hostile-one-byte.tnm", Bytes{0x04});
}

void VtrSeeds() {
  TmVTR full;
  full.ReadFile("rec");
  // Every 90th frame keeps the goals in order in a file of a few kilobytes.
  TmVTR small;
  small.Sides = full.Sides;
  for (int32_t k = 0; k < full.FrameCount(); k += 90) small.AddFrame(full.Frames[static_cast<std::size_t>(k)]);
  small.AddFrame(full.Frames.back());
  const Bytes header = MakeVtrHeader(small.Sides);
  const Bytes image = small.FileImage(header);
  Put("vtr", "rec.vtr", image);
  TmVTR one;
  one.Sides = full.Sides;
  one.AddFrame(full.Frames.front());
  Put("vtr", "one-frame.vtr", one.FileImage(header));
  Put("vtr", "hostile-name-length-max.vtr", Set32(image, 0, kMax));
  Put("vtr", "hostile-negative-name-length.vtr", Set32(image, 0, -1));
  Put("vtr", "hostile-frame-count.vtr", Set32(image, header.size(), kMax));
  Put("vtr", "hostile-emblem-4gb.vtr", HugeEmblem(image, 0));
  Put("vtr", "hostile-one-byte.vtr", Bytes{0x02});
}

void DataSeeds() {
  const Bytes first = ReadWholeFile("data/first.dat");
  Put("startdata", "first.dat", first);
  Put("startdata", "hostile-nationality.dat", Set32(first, 0, kMax));
  Put("startdata", "hostile-negative-name-length.dat", Set32(first, 16, -1));
  Put("startdata", "hostile-emblem-4gb.dat", HugeEmblem(first, 0));
  Put("startdata", "hostile-one-byte.dat", Bytes{0x02});

  const TStartData clubs = ParseStartData(first);
  Put("emblem", "club0.bmp", clubs[0].Emblem);
  Put("emblem", "club13.bmp", clubs[13].Emblem);
  Put("emblem", "empty.bmp", Tteam::EmptyEmblem());
  Put("emblem", "hostile-4gb.bmp", Set32(clubs[0].Emblem, 2, -1));
  Put("emblem", "hostile-info-size.bmp", Set32(clubs[0].Emblem, 14, kMax));
  Put("emblem", "hostile-one-byte.bmp", Bytes{'B'});

  for (int n : {0, 3, 7}) {
    const Bytes list = ReadWholeFile("data/name/" + std::to_string(n) + ".txt");
    Put("names", std::to_string(n) + ".txt", Prefixed(static_cast<uint8_t>(n), list));
  }
  Put("names", "hostile-empty-list.txt", Bytes{0x05});
  Bytes noLines(3000, 0x82);  // one long line of lead bytes and no end
  Put("names", "hostile-lead-bytes.txt", Prefixed(0x04, noLines));

  for (int line = 0; line < 4; ++line) {
    const Bytes preset = ReadWholeFile("data/aiforma/" + std::to_string(line) + ".dat");
    Put("preset", std::to_string(line) + ".dat", Prefixed(static_cast<uint8_t>(line), preset));
    if (line == 1) {
      Put("preset", "hostile-row-count.dat", Prefixed(1, Set32(preset, 0, kMax)));
      Put("preset", "hostile-negative-row-length.dat", Prefixed(1, Set32(preset, 4, -1)));
    }
  }
  Put("preset", "hostile-one-byte.dat", Bytes{0x02});

  for (const char* f : {"4-4-2", "3-5-2", "5-3-2"})
    Put("positions", std::string(f) + ".dat", ReadWholeFile("data/formation/" + std::string(f) + ".dat"));
  Bytes extreme;
  for (int i = 0; i < 11; ++i) {
    const int32_t v = i % 2 ? kMax : std::numeric_limits<int32_t>::min();
    for (int k = 0; k < 2; ++k)
      for (int b = 0; b < 4; ++b) extreme.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
  }
  Put("positions", "hostile-extremes.dat", extreme);
  Put("positions", "hostile-one-byte.dat", Bytes{0x7f});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vantorel-fuzzseeds WORK OUT\n";
    return 2;
  }
  g_out = fs::absolute(argv[2]);
  fs::current_path(argv[1]);
  try {
    SaveSeeds();
    VsSeeds();
    TournamentSeeds();
    VtrSeeds();
    DataSeeds();
  } catch (const std::exception& e) {
    std::cerr << "vantorel-fuzzseeds: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
