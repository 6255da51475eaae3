#include "Ufunction.h"

#include "Ucp932.h"

namespace {
const char* const kPositionNames[21] = {"GK/N", "GK/C", "GK/D", "CB/N", "CB/C", "CB/D", "OV/N",
                                        "OV/C", "OV/D", "DM/N", "DM/C", "DM/D", "AR/N", "AM/N",
                                        "AL/N", "SR/D", "SH/D", "SL/D", "FR/D", "FW/D", "FL/D"};
}

void PositionName(int code, std::string& name) {
  if (code >= 0 && code <= 20) name = kPositionNames[code];
}

std::string PositionName(int code) {
  std::string s;
  PositionName(code, s);
  return s;
}

void WriteString(TStream& s, const std::string& text) {
  std::string bytes = Utf8ToCp932(text);
  s.WriteInt32(static_cast<int32_t>(bytes.size()));
  s.WriteBytes(bytes.data(), bytes.size());
}

void ReadString(TStream& s, std::string& text) {
  if (s.Remaining() < 4) return;
  std::size_t at = s.Position();
  int32_t len = s.ReadInt32();
  if (len < 0 || static_cast<std::size_t>(len) > s.Remaining())
    throw StreamError("impossible text length " + std::to_string(len), at);
  std::string raw(static_cast<std::size_t>(len), '\0');
  s.ReadBytes(raw.data(), raw.size());
  text = Cp932ToUtf8(raw);
}

std::string ReadString(TStream& s) {
  std::string t;
  ReadString(s, t);
  return t;
}
