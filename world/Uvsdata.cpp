#include "world/Uvsdata.h"

#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Ugrid.h"
#include "club/Uinvariants.h"
#include "club/Uplayer.h"
#include "club/Uplayerlist.h"
#include "club/Urandom.h"
#include "club/Ustream.h"
#include "club/Uteam.h"
#include "match/Umatchwatch.h"
#include "match/Uvtr.h"
#include "world/Ugamemain.h"
#include "world/Usavechange.h"
#include "world/Usavegame.h"

TVsData::TVsData() = default;
TVsData::~TVsData() = default;
TVsData::TVsData(TVsData&&) noexcept = default;
TVsData& TVsData::operator=(TVsData&&) noexcept = default;

std::string VsPath(const std::string& name) {
  CheckFileName(VsDir(), name, ".vs");
  return VsDir() + "/" + name + ".vs";
}

std::vector<uint8_t> MakeVsImage(const Tteam& club, const std::string& comment) {
  TStream s;
  WriteString(s, kCurrentVersion);
  WriteString(s, comment);
  club.SaveToStream(s);
  return s.TakeBytes();
}

void ExportVs(const Tteam& club, const std::string& comment, const std::string& name) {
  std::string path = VsPath(name);
  std::vector<uint8_t> image = MakeVsImage(club, comment);
  EnsureDirectory(VsDir());
  WriteFileAtomic(path, image);
}

TVsData ParseVsImage(const std::vector<uint8_t>& image, int32_t teamIndex) {
  TStream s(image);
  TVsData d;
  s.Need(4, "the version");
  d.Version = ReadString(s);
  if (d.Version != kCurrentVersion) {
    if (d.Version != "06" && d.Version != "11") throw VantorelError("対戦データではありません");
    // The converter keeps a file labelled "11" whose club is already in
    // the current form; such a file is read as it is. Anything else of
    // an old label has to be converted first.
    bool current = false;
    if (d.Version == "11") {
      try {
        current = Tsavechange::ConvertVsImage(image) == image;
      } catch (const std::exception&) {
        current = false;
      }
    }
    if (!current) throw VantorelError("古い形式の対戦データです。DATA変換をしてください");
  }
  s.Need(4, "the comment");
  d.Comment = ReadString(s);
  auto club = std::make_unique<Tteam>(teamIndex);
  club->LoadFromStream(s);
  if (!s.AtEnd()) throw StreamError("unexpected bytes after the club", s.Position());
  // A VS club goes straight into a match: it must be a club the game could
  // have exported, its starting eleven complete.
  RequireNoViolations(CheckClub(*club, -1, true));
  club->TeamIndex = teamIndex;
  d.Club = std::move(club);
  return d;
}

TVsData ReadVsFile(const std::string& path, int32_t teamIndex) {
  return ParseVsFileImage(path, ReadWholeFile(path, kMaxVsFileBytes), teamIndex);
}

TVsData ParseVsFileImage(const std::string& path, const std::vector<uint8_t>& image, int32_t teamIndex) {
  try {
    return ParseVsImage(image, teamIndex);
  } catch (const FileError&) {
    throw;
  } catch (const InvariantError& e) {
    throw InvariantFileError(path, "対戦データが規則に合いません", e);
  } catch (const std::exception& e) {
    throw FileError(path, "対戦データが壊れています" + DamagePlace(e));
  }
}

TMatchOutcome PlayDataBattle(const Tteam& side0, const Tteam& side1, TmVTR* recorder, std::vector<uint8_t>* vtrHeader) {
  Tmmain m;
  LoadWatchedSides(m, side0, side1, true);
  TmWatchSetup setup;
  setup.AutoSubs = {true, true};
  setup.Recorder = recorder;
  TMatchOutcome o = PlayWatchedMatch(m, setup);
  if (recorder && vtrHeader) *vtrHeader = MakeVtrHeader(side0, side1, m);
  return o;
}

std::string LoadVsSide(Tgamemain& game, int side, const std::string& name) {
  if (side != 0 && side != 1) throw VantorelError("side must be 0 or 1");
  const RandomState rs = GetRandomState();
  TVsData d;
  try {
    d = ReadVsFile(VsPath(name), side);
  } catch (...) {
    SetRandomState(rs);  // a refused file changes nothing at all
    throw;
  }
  game.Teams[side] = std::move(d.Club);
  return d.Comment;
}

bool DistinguishVsSides(Tgamemain& game, const std::string& leftFile, const std::string& rightFile) {
  Tteam& left = game.Team(0);
  Tteam& right = game.Team(1);
  if (left.ClubName != right.ClubName) return false;
  const bool oneFile = leftFile == rightFile;
  left.ClubName += "（" + (oneFile ? std::string("左") : leftFile) + "）";
  right.ClubName += "（" + (oneFile ? std::string("右") : rightFile) + "）";
  return true;
}

void FillVsGrid(TGrid& grid, const std::vector<TFileEntry>& files, bool dataBattle) {
  const int rows = 1 + static_cast<int>(files.size());
  grid.FixedCols = 0;
  grid.DefaultColWidth = 130;
  if (!dataBattle) {
    grid.SetColCount(1);
    grid.SetRowCount(rows);
    grid.ClearCells();
    grid.FixedRows = files.empty() ? 0 : 1;
    for (std::size_t i = 0; i < files.size(); ++i) grid.Cells(0, static_cast<int>(i) + 1) = files[i].Name;
    return;
  }
  grid.SetColCount(3);
  grid.SetRowCount(rows);
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.SetColWidth(0, 35);
  grid.SetColWidth(2, 35);
  grid.Cells(0, 0) = "←";
  grid.Cells(1, 0) = "VSdata";
  grid.Cells(2, 0) = "→";
  for (std::size_t i = 0; i < files.size(); ++i) grid.Cells(1, static_cast<int>(i) + 1) = files[i].Name;
}

void FillVsSideGrid(TGrid& grid, const Tteam& club, const TworldView& world) {
  club.FillSquadGrid(grid, world);
  SortByColumn(grid, 0, 0);
  for (int c = 13; c < grid.ColCount(); ++c) grid.SetColWidth(c, -1);
}

int MarkVsSide(TGrid& grid, int col, int row) {
  if (grid.ColCount() < 3 || (col != 0 && col != 2) || row < grid.FixedRows || row >= grid.RowCount()) return -1;
  for (int r = grid.FixedRows; r < grid.RowCount(); ++r) grid.Cells(col, r).clear();
  grid.Cells(col, row) = "○";
  return col / 2;
}
