#include "match/Uvtr.h"

#include <chrono>
#include <limits>

#include "club/Ucommatext.h"
#include "club/Ufile.h"
#include "club/Ufunction.h"
#include "club/Uteam.h"

namespace {

bool IsPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || u < 0x20 || u == 0x7F) return false;
  }
  return true;
}

void WriteSide(TStream& s, const TVtrSide& side) {
  WriteString(s, side.Name);
  s.WriteBytes(side.Emblem);
  WriteString(s, CommaText(side.GoalLines));
}

TVtrSide ReadSide(TStream& s) {
  TVtrSide side;
  s.Need(4, "the side's name");
  side.Name = ReadString(s);
  side.Emblem = Tteam::ReadEmblem(s);
  s.Need(4, "the goal lines");
  side.GoalLines = SplitCommaText(ReadString(s));
  return side;
}

}  // namespace

std::string VtrPath(const std::string& name) {
  const std::string path = VtrDir() + "/" + name + ".vtr";
  if (!IsPlainName(name)) throw FileError(path, "このファイル名は使えません");
  return path;
}

std::vector<uint8_t> MakeVtrHeader(const std::array<TVtrSide, 2>& sides) {
  TStream s;
  for (const TVtrSide& side : sides) WriteSide(s, side);
  return s.TakeBytes();
}

std::vector<uint8_t> MakeVtrHeader(const Tteam& side0, const Tteam& side1, const Tmmain& driver) {
  std::array<TVtrSide, 2> sides;
  const Tteam* clubs[2] = {&side0, &side1};
  for (int s = 0; s < 2; ++s) {
    sides[s].Name = clubs[s]->ClubName;
    sides[s].Emblem = clubs[s]->Emblem;
    sides[s].GoalLines = driver.GoalLists[s];
  }
  return MakeVtrHeader(sides);
}

std::array<TVtrSide, 2> ReadVtrHeader(const std::string& path) {
  // Emblems are small: the first 64 KB nearly always hold the header.
  constexpr std::size_t kStart = 64u << 10;
  std::vector<uint8_t> image = ReadFileStart(path, kStart);
  for (bool whole = image.size() < kStart;; whole = true) {
    try {
      TStream s(image);
      std::array<TVtrSide, 2> sides;
      sides[0] = ReadSide(s);
      sides[1] = ReadSide(s);
      return sides;
    } catch (const StreamError& e) {
      if (whole) throw FileError(path, std::string("リプレイデータを読めません: ") + e.what());
    }
    image = ReadWholeFile(path, kMaxVtrFileBytes);
  }
}

std::vector<uint8_t> TmVTR::FileImage(const std::vector<uint8_t>& header) const {
  std::vector<uint8_t> out;
  out.reserve(header.size() + 4 + Frames.size() * kVtrFrameBytes);
  out.insert(out.end(), header.begin(), header.end());
  auto put = [&out](int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    out.push_back(static_cast<uint8_t>(u));
    out.push_back(static_cast<uint8_t>(u >> 8));
    out.push_back(static_cast<uint8_t>(u >> 16));
    out.push_back(static_cast<uint8_t>(u >> 24));
  };
  put(FrameCount());
  for (const TmVTRsc& f : Frames)
    for (int32_t v : f.Values) put(v);
  return out;
}

std::string TmVTR::WriteFile(const std::vector<uint8_t>& header) const {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  uint64_t ms = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  EnsureDirectory(VtrDir());
  while (FileExists(VtrPath(std::to_string(ms)))) ++ms;
  const std::string name = std::to_string(ms);
  WriteFileAs(header, name);
  return name;
}

void TmVTR::WriteFileAs(const std::vector<uint8_t>& header, const std::string& name) const {
  const std::string path = VtrPath(name);
  EnsureDirectory(VtrDir());
  WriteFileAtomic(path, FileImage(header));
}

void TmVTR::ReadFile(const std::string& name) { ReadPath(VtrPath(name)); }

void TmVTR::ReadPath(const std::string& path) {
  std::vector<uint8_t> image = ReadWholeFile(path, kMaxVtrFileBytes);
  try {
    ParseImage(image);
  } catch (const FileError&) {
    throw;
  } catch (const std::exception& e) {
    throw FileError(path, std::string("リプレイデータを読めません: ") + e.what());
  }
}

void TmVTR::ParseImage(const std::vector<uint8_t>& image) {
  TStream s(image);
  TmVTR r;
  r.Sides[0] = ReadSide(s);
  r.Sides[1] = ReadSide(s);
  const std::size_t countAt = s.Position();
  const int32_t n = s.ReadCount(kVtrFrameBytes, "frames");
  if (n < 1) throw StreamError("a recording without frames", countAt);
  if (s.Remaining() != static_cast<std::size_t>(n) * kVtrFrameBytes)
    throw StreamError("unexpected bytes after the last frame",
                      s.Position() + static_cast<std::size_t>(n) * kVtrFrameBytes);
  r.Frames.resize(static_cast<std::size_t>(n));
  int32_t before[2] = {0, 0};
  for (int32_t k = 0; k < n; ++k) {
    const std::size_t at = s.Position();
    TmVTRsc& f = r.Frames[static_cast<std::size_t>(k)];
    for (int32_t& v : f.Values) {
      v = s.ReadInt32();
      if (v < -kMaxVtrCoordinate || v > kMaxVtrCoordinate)
        throw StreamError("frame " + std::to_string(k) + " holds an impossible value " + std::to_string(v),
                          s.Position() - 4);
    }
    for (int side = 0; side < 2; ++side) {
      const int32_t g = f.Goals(side);
      const int32_t lines = static_cast<int32_t>(r.Sides[side].GoalLines.size());
      if (g < before[side] || g > lines)
        throw StreamError("frame " + std::to_string(k) + " holds a score its goal lines do not", at + 4 * (69 + side));
      before[side] = g;
    }
  }
  *this = std::move(r);
}

std::vector<TVtrGoal> TmVTR::GoalsUpTo(int32_t n) const {
  std::vector<TVtrGoal> out;
  int32_t shown[2] = {0, 0};
  const int32_t last = n < LastFrame() ? n : LastFrame();
  for (int32_t k = 0; k <= last; ++k) {
    for (int side = 0; side < 2; ++side) {
      const int32_t g = Frames[static_cast<std::size_t>(k)].Goals(side);
      const auto& lines = Sides[side].GoalLines;
      for (; shown[side] < g && shown[side] < static_cast<int32_t>(lines.size()); ++shown[side])
        out.push_back({k, side, lines[static_cast<std::size_t>(shown[side])]});
    }
  }
  return out;
}

int32_t TmVTR::Advance(int32_t position, int32_t speed, bool& stopped) const {
  stopped = false;
  const int64_t next = static_cast<int64_t>(position) + speed;
  if (next < 0) {
    stopped = true;
    return 0;
  }
  if (next > LastFrame()) {
    stopped = true;
    return LastFrame() < 0 ? 0 : LastFrame();
  }
  return static_cast<int32_t>(next);
}
