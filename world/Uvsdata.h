// VS data: the user's club exported as "data/vs/NAME.vs" (version string,
// comment, club record), and such files read back as the two sides of a
// data battle. VS files come from other players: every read is bounded and
// all-or-nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "club/Upaths.h"
#include "match/Umatchmain.h"

class Tteam;
class TmVTR;
class Tgamemain;
class TGrid;
class TworldView;
struct TFileEntry;

// The player's folder of VS files ("data/vs" in a checkout).
inline std::string VsDir() { return PlayerPath("vs"); }
// The comment of an export when the user types none.
inline constexpr const char* kDefaultVsComment = "なし";
// VS files are small (one club); anything much larger is not one.
inline constexpr std::size_t kMaxVsFileBytes = 8u << 20;

// "data/vs/" + name + ".vs" (the name is checked).
std::string VsPath(const std::string& name);

// The file image: version "17", the comment, the club record.
std::vector<uint8_t> MakeVsImage(const Tteam& club, const std::string& comment);
// Writes "data/vs/" + name + ".vs" atomically, replacing an older file.
void ExportVs(const Tteam& club, const std::string& comment, const std::string& name);

// What a VS file holds.
struct TVsData {
  std::string Version;
  std::string Comment;
  std::unique_ptr<Tteam> Club;
  TVsData();
  ~TVsData();
  TVsData(TVsData&&) noexcept;
  TVsData& operator=(TVsData&&) noexcept;
};

// Parses a VS image of the current version into a fresh club with the given
// index (a file labelled "11" that already holds the current form, which
// the converter keeps, is read too). A file of an older version, a
// truncated or damaged record or bytes left over after the record throw
// VantorelError (StreamError for the record itself); a club the game could
// not have exported (club/Uinvariants.h, the starting eleven complete)
// throws InvariantError.
TVsData ParseVsImage(const std::vector<uint8_t>& image, int32_t teamIndex);
// Reads and parses a VS file by path; every error is a FileError naming it
// (an InvariantFileError for a club that breaks an invariant).
TVsData ReadVsFile(const std::string& path, int32_t teamIndex);
// The same for a file's bytes already read from `path`.
TVsData ParseVsFileImage(const std::string& path, const std::vector<uint8_t>& image, int32_t teamIndex);

// A data battle played without a screen exactly as the match screen plays
// it: both clubs as data-battle sides, the computer substituting for both,
// every step drawn from the thread's generator. With a recorder every frame
// is recorded and *vtrHeader receives the replay file's header.
TMatchOutcome PlayDataBattle(const Tteam& side0, const Tteam& side1, TmVTR* recorder = nullptr,
                             std::vector<uint8_t>* vtrHeader = nullptr);

// The data battle's side choice: loads "data/vs/" + name + ".vs" into club
// `side` (0 left, 1 right) of the game; the club is replaced only when the
// whole file was read. Returns the file's comment.
std::string LoadVsSide(Tgamemain& game, int side, const std::string& name);

// Two sides of one name (two copies of one club, or one file on both sides)
// are told apart before the battle: each name gets its file's name in
// brackets, or "左"/"右" when both sides come from one file. Sides of
// different names are left as they are. True when the names were changed.
bool DistinguishVsSides(Tgamemain& game, const std::string& leftFile, const std::string& rightFile);

// The save screen's list of VS files. Export mode: one column of names
// under an empty fixed row (no fixed row when there is no file). Data-battle
// mode: three columns "←,VSdata,→", the names in column 1, columns 0 and 2
// (35 pixels) left for the side marks.
void FillVsGrid(TGrid& grid, const std::vector<TFileEntry>& files, bool dataBattle);
// The squad of a side chosen for a data battle: the club's squad table,
// sorted by its first column, with the columns from 13 on hidden.
void FillVsSideGrid(TGrid& grid, const Tteam& club, const TworldView& world);
// A press on cell (col, row) of the data-battle list: in column 0 or 2 of a
// file row, moves that column's "○" to the row and returns the side (0 left,
// 1 right); anywhere else nothing and -1.
int MarkVsSide(TGrid& grid, int col, int row);
