#include "world/Usavegame.h"

#include <sys/stat.h>
#include <algorithm>

#include <ctime>
#include <filesystem>
#include <system_error>

#include "club/Ucalendar.h"
#include "club/Ufile.h"
#include "club/Ugrid.h"
#include "club/Uinvariants.h"
#include "club/Urandom.h"
#include "match/Uvtr.h"
#include "world/Ugamemain.h"

namespace fs = std::filesystem;

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) return false;
  }
  return true;
}

void CheckFileName(const std::string& dir, const std::string& name, const std::string& ext) {
  if (!IsSafeFileName(name)) throw FileError(dir + "/" + name + ext, "ファイル名に使えない文字が含まれています");
}

std::string SlotPath(const std::string& name) {
  CheckFileName(SaveDir(), name, ".dat");
  return SaveDir() + "/" + name + ".dat";
}

namespace {

std::string LocalDateText(int64_t seconds) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &tm);
  return buf;
}

int64_t ModifiedSeconds(const fs::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace

std::vector<TFileEntry> ListFiles(const std::string& pattern) {
  std::vector<TFileEntry> out;
  std::string dir = DataRoots().Player;  // every listed kind is the player's
  std::string mask = pattern;
  auto slash = pattern.rfind('/');
  if (slash != std::string::npos) {
    dir += "/" + pattern.substr(0, slash);
    mask = pattern.substr(slash + 1);
  }
  // Only "*.ext" and "*" are used.
  std::string ext;
  if (mask.size() > 1 && mask[0] == '*' && mask[1] == '.') ext = mask.substr(1);
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) return out;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    if (!it->is_regular_file(ec2)) continue;
    std::string file = it->path().filename().string();
    if (!ext.empty()) {
      if (file.size() <= ext.size() || file.compare(file.size() - ext.size(), ext.size(), ext) != 0) continue;
    }
    TFileEntry e;
    auto dot = file.rfind('.');
    e.Name = dot == std::string::npos ? file : file.substr(0, dot);
    e.Path = dir + "/" + file;
    e.Modified = ModifiedSeconds(it->path());
    e.DateText = LocalDateText(e.Modified);
    out.push_back(std::move(e));
  }
  std::sort(out.begin(), out.end(), [](const TFileEntry& a, const TFileEntry& b) { return a.Name < b.Name; });
  return out;
}

std::vector<TReplayEntry> ListReplays() {
  std::vector<TReplayEntry> out;
  for (const TFileEntry& f : ListFiles("vtr/*.vtr")) {
    TReplayEntry e;
    e.Name = f.Name;
    // The recorder names a replay by the millisecond clock of its writing.
    const bool clockName = !f.Name.empty() && f.Name.size() <= 15 &&
                           std::all_of(f.Name.begin(), f.Name.end(), [](char c) { return c >= '0' && c <= '9'; });
    e.RecordedMs = clockName ? std::stoll(f.Name) : f.Modified * 1000;
    e.DateText = LocalDateText(e.RecordedMs / 1000);
    try {
      const std::array<TVtrSide, 2> sides = ReadVtrHeader(f.Path);
      for (int s = 0; s < 2; ++s) {
        e.Clubs[size_t(s)] = sides[size_t(s)].Name;
        e.Score[size_t(s)] = static_cast<int32_t>(sides[size_t(s)].GoalLines.size());
      }
      e.Readable = true;
    } catch (const std::exception&) {
      // listed all the same: choosing it reports why it cannot be played
    }
    out.push_back(std::move(e));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const TReplayEntry& a, const TReplayEntry& b) { return a.RecordedMs > b.RecordedMs; });
  return out;
}

void FillSlotGrid(TGrid& grid, const std::vector<TFileEntry>& files) {
  // Newest first by the files' times (the text shows only the minute);
  // slots of the same second keep their name order.
  std::vector<TFileEntry> slots = files;
  std::stable_sort(slots.begin(), slots.end(),
                   [](const TFileEntry& a, const TFileEntry& b) { return a.Modified > b.Modified; });
  grid.SetColCount(2);
  grid.SetRowCount(1 + static_cast<int>(slots.size()));
  grid.ClearCells();
  grid.FixedRows = 1;
  grid.FixedCols = 0;
  grid.DefaultColWidth = 130;
  grid.SetColWidth(0, 100);
  grid.Cells(0, 0) = "data";
  grid.Cells(1, 0) = "保存日時";
  for (std::size_t i = 0; i < slots.size(); ++i) {
    grid.Cells(0, static_cast<int>(i) + 1) = slots[i].Name;
    grid.Cells(1, static_cast<int>(i) + 1) = slots[i].DateText;
  }
  grid.SortColumn = 1;  // as a descending sort by the date would leave it
  g_GridSortDirection = 1;
}

std::string PeekVersionString(const std::vector<uint8_t>& image) {
  if (image.size() < 4) return "";
  uint32_t u = uint32_t(image[0]) | uint32_t(image[1]) << 8 | uint32_t(image[2]) << 16 | uint32_t(image[3]) << 24;
  int32_t len = static_cast<int32_t>(u);
  if (len < 0 || static_cast<std::size_t>(len) > image.size() - 4) return "";
  return std::string(image.begin() + 4, image.begin() + 4 + len);
}

void WriteSlotFile(const std::string& name, const std::vector<uint8_t>& image) {
  std::string path = SlotPath(name);
  EnsureDirectory(SaveDir());
  WriteFileAtomic(path, image);
}

std::vector<uint8_t> ReadSlotFile(const std::string& name) {
  std::string path = SlotPath(name);
  std::vector<uint8_t> image = ReadWholeFile(path);
  std::string v = PeekVersionString(image);
  if (v != kCurrentVersion) {
    if (v == "06" || v == "11" || v.empty())
      throw FileError(path, "古い形式のセーブデータです。DATA変換をしてください");
    throw FileError(path, "セーブデータの形式が違います (version \"" + v + "\")");
  }
  return image;
}

void SaveGameToSlot(const Tgamemain& game, const std::string& name) {
  SlotPath(name);  // check the name before the work
  if (game.HalfPlayedWeek != 0) throw VantorelError("今週の試合が終わるまで保存できません");
  WriteSlotFile(name, game.SaveBody());
}

void LoadGameFromSlot(Tgamemain& game, const std::string& name) {
  std::string path = SlotPath(name);
  TStream s(ReadSlotFile(name));
  // The game parses into a fresh state and takes it over only when the
  // whole file was read with nothing left over. Making the players of the
  // file draws random numbers; a failed load puts the generator back too.
  const RandomState rs = GetRandomState();
  try {
    game.LoadFromStream(s, true);
  } catch (const InvariantError& e) {
    SetRandomState(rs);
    throw InvariantFileError(path, "セーブデータが規則に合いません", e);
  } catch (const std::exception& e) {
    SetRandomState(rs);
    throw FileError(path, "セーブデータが壊れています" + DamagePlace(e));
  }
}

bool IsAutosaveWeek(int32_t week) { return week >= kContractWeek && week <= kSeasonEndWeek && week % 6 == 0; }

bool AutosaveIfDue(const Tgamemain& game) {
  if (!IsAutosaveWeek(game.Week)) return false;
  SaveGameToSlot(game, kAutosaveSlot);
  return true;
}
