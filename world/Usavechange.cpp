#include "world/Usavechange.h"

#include <filesystem>
#include <utility>

#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uinvariants.h"
#include "club/Uteam.h"
#include "world/Ugamemain.h"
#include "world/Usavegame.h"
#include "world/Uvsdata.h"

int32_t Tsavechange::ReadVersionNumber(const std::vector<uint8_t>& image) {
  // A version is a string of two decimal digits. A file without one starts
  // with its year: a length of 1 followed by the low byte of the week could
  // spell a digit (weeks 48..52), which must not pass for a version.
  std::string v = PeekVersionString(image);
  if (v.size() != 2) return kNoVersion;
  for (char c : v)
    if (c < '0' || c > '9') return kNoVersion;
  return (v[0] - '0') * 10 + (v[1] - '0');
}

namespace {

// The old readers work on a scratch game so that the running game is never
// touched. A fresh state holds what an old image without reputations or
// history leaves in place; making it draws no random numbers.
class ScratchGame {
 public:
  ScratchGame() : game_(std::make_unique<Tgamemain>(Tgamemain::TNoSeed{})) {}
  Tgamemain& operator*() { return *game_; }
  Tgamemain* operator->() { return game_.get(); }

 private:
  std::unique_ptr<Tgamemain> game_;
};

void RequireEnd(const TStream& s, const char* what) {
  if (!s.AtEnd()) throw StreamError(std::string("unexpected bytes after ") + what, s.Position());
}

}  // namespace

std::vector<uint8_t> Tsavechange::ConvertSaveImage(const std::vector<uint8_t>& image) {
  int32_t version = ReadVersionNumber(image);
  if (version == kNoVersion) {
    TStream s;
    WriteString(s, "06");
    s.WriteBytes(image);
    s.WriteByte(0);
    std::vector<uint8_t> wrapped = s.TakeBytes();
    // Only a real old save gets wrapped: it must read as one to the end.
    ScratchGame g;
    TStream check(wrapped);
    g->ReadVersion6(check);
    RequireEnd(check, "the game");
    return wrapped;
  }
  if (version != 6 && version != 11) return {};
  ScratchGame g;
  TStream s(image);
  if (version == 6)
    g->ReadVersion6(s);
  else
    g->ReadVersion11(s);
  RequireEnd(s, "the game");
  return g->SaveBody();
}

std::vector<uint8_t> Tsavechange::ConvertVsImage(const std::vector<uint8_t>& image) {
  int32_t version = ReadVersionNumber(image);
  if (version != 6 && version != 11) return image;
  TStream s(image);
  ReadString(s);
  s.Need(4, "the comment");
  std::string comment = ReadString(s);
  std::size_t recordStart = s.Position();
  auto club = std::make_unique<Tteam>(0);
  if (version == 6) {
    club->LoadExchange(s);
    RequireEnd(s, "the club");
  } else {
    bool oldForm = false;
    try {
      club->LoadFromStreamShort(s);
      oldForm = s.AtEnd();
    } catch (const StreamError&) {
      oldForm = false;
    }
    if (!oldForm) {
      // Perhaps already written in the current form under the old label.
      TStream again(image);
      again.Seek(recordStart);
      auto current = std::make_unique<Tteam>(0);
      current->LoadFromStream(again);
      RequireEnd(again, "the club");
      return image;
    }
  }
  return MakeVsImage(*club, comment);
}

namespace {

// The converter writes only what the game will read: the new image of a
// save is read back exactly as loading a slot reads it (for a file without
// a version, as the second run will turn it into "17"), the new image of a
// VS file as the data battle's side choice reads it.
void CheckConvertedSave(const std::vector<uint8_t>& image) {
  std::vector<uint8_t> current = image;
  if (Tsavechange::ReadVersionNumber(current) != 17) current = Tsavechange::ConvertSaveImage(current);
  Tgamemain g(Tgamemain::TNoSeed{});
  TStream s(current);
  g.LoadFromStream(s, true);
}

void CheckConvertedVs(const std::vector<uint8_t>& image) { ParseVsImage(image, 0); }

// Runs one file's conversion; every error names the file.
template <class F>
void Refusing(const std::string& path, F&& convert) {
  try {
    convert();
  } catch (const FileError&) {
    throw;
  } catch (const InvariantError& e) {
    throw InvariantFileError(path, "変換できません。変換後のデータが規則に合いません", e);
  } catch (const std::exception& ex) {
    throw FileError(path, "変換できません。ファイルが壊れています" + DamagePlace(ex));
  }
}

struct TPending {
  std::string File;  // file name with extension
  std::string Path;  // where it lives
  std::vector<uint8_t> Old;
  std::vector<uint8_t> New;  // saves: empty leaves the file alone
};

}  // namespace

struct Tsavechange::TWork {
  std::vector<TPending> Saves;
  std::vector<TPending> Vs;
  bool SavesRead = false;
  bool VsRead = false;
};

void Tsavechange::PrepareSaves(TWork& work) {
  work.SavesRead = true;
  for (const TFileEntry& e : ListFiles("savedata/*.dat")) {
    TPending p;
    p.File = e.Name + ".dat";
    p.Path = e.Path;
    p.Old = ReadWholeFile(e.Path);
    Name = e.Name;
    Image = TStream(p.Old);
    Refusing(e.Path, [&] {
      p.New = ConvertSaveImage(p.Old);
      if (!p.New.empty()) CheckConvertedSave(p.New);
    });
    work.Saves.push_back(std::move(p));
  }
}

void Tsavechange::PrepareVsFiles(TWork& work) {
  work.VsRead = true;
  for (const TFileEntry& e : ListFiles("vs/*.vs")) {
    TPending p;
    p.File = e.Name + ".vs";
    p.Path = e.Path;
    p.Old = ReadWholeFile(e.Path, kMaxVsFileBytes);
    Name = e.Name;
    Image = TStream(p.Old);
    Refusing(e.Path, [&] {
      p.New = ConvertVsImage(p.Old);
      if (p.New != p.Old) CheckConvertedVs(p.New);
    });
    work.Vs.push_back(std::move(p));
  }
}

void Tsavechange::Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFileAtomic(path, bytes);
  if (AfterWrite) AfterWrite(path);
}

void Tsavechange::BackUp(const std::string& dir, const std::string& file, const std::vector<uint8_t>& bytes) {
  const std::size_t dot = file.rfind('.');
  const std::string stem = file.substr(0, dot), ext = file.substr(dot);
  // The first free name, or the one already holding these bytes (a retried
  // run). The bound only stops a folder full of backups from looping on.
  for (int n = 1; n <= 9999; ++n) {
    const std::string path = dir + "/" + (n == 1 ? file : stem + " (" + std::to_string(n) + ")" + ext);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
      Write(path, bytes);
      return;
    }
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    if (std::filesystem::file_size(path, ec) == bytes.size() && !ec && ReadWholeFile(path, bytes.size()) == bytes)
      return;
  }
  throw FileError(dir + "/" + file, "バックアップを作れません（同じ名前のバックアップが多すぎます）");
}

void Tsavechange::Commit(TWork& work, TReport& saves, TReport& vs) {
  // Only files that change are backed up; a file left as it is needs none,
  // and backing it up could push an older original aside for nothing.
  bool savesChange = false, vsChange = false;
  for (const TPending& p : work.Saves) savesChange |= !p.New.empty();
  for (const TPending& p : work.Vs) vsChange |= p.New != p.Old;
  if (savesChange) EnsureDirectory(SaveBackupDir());
  for (TPending& p : work.Saves) {
    if (p.New.empty()) {
      saves.Unchanged.push_back(p.File);
    } else {
      BackUp(SaveBackupDir(), p.File, p.Old);
      Write(p.Path, p.New);
      saves.Converted.push_back(p.File);
    }
  }
  if (vsChange) EnsureDirectory(VsBackupDir());
  for (TPending& p : work.Vs) {
    // A file the conversion leaves as it is (current, or nothing it knows)
    // is not written again: the converter writes only what it has checked.
    if (p.New == p.Old) {
      vs.Unchanged.push_back(p.File);
    } else {
      BackUp(VsBackupDir(), p.File, p.Old);
      Write(p.Path, p.New);
      vs.Converted.push_back(p.File);
    }
  }
  Image.Clear();
  Name.clear();
}

Tsavechange::TReport Tsavechange::ConvertSaves() {
  TWork work;
  PrepareSaves(work);
  TReport saves, vs;
  Commit(work, saves, vs);
  return saves;
}

Tsavechange::TReport Tsavechange::ConvertVsFiles() {
  TWork work;
  PrepareVsFiles(work);
  TReport saves, vs;
  Commit(work, saves, vs);
  return vs;
}

void Tsavechange::ConvertAll(TReport& saves, TReport& vs) {
  TWork work;
  PrepareSaves(work);
  PrepareVsFiles(work);
  Commit(work, saves, vs);
}
