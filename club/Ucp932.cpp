#include "Ucp932.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace {

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts, replacing each unconvertible or invalid input character by '?'.
  // stepOver tells how many input bytes one bad character takes.
  template <typename StepOver>
  std::string Run(const std::string& in, StepOver stepOver) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 2 + 4);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[256];
    while (srcLeft > 0) {
      char* dst = buf;
      size_t dstLeft = sizeof buf;
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: skip the offending character.
        size_t skip = stepOver(reinterpret_cast<const unsigned char*>(src), srcLeft);
        if (skip == 0 || skip > srcLeft) skip = 1;
        src += skip;
        srcLeft -= skip;
        out.push_back('?');
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

size_t Utf8CharLen(const unsigned char* p, size_t left) {
  unsigned char c = p[0];
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  return n > left ? left : n;
}

size_t Cp932CharLen(const unsigned char* p, size_t left) {
  unsigned char c = p[0];
  bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
  return (lead && left >= 2) ? 2 : 1;
}

// Converts through a per-thread memo of recent texts: the same players'
// names go to and from every match, week after week. The memo is emptied
// whenever it grows past a few thousand texts, so it never grows without
// bound.
template <typename StepOver>
const std::string& Remembered(Converter& conv, std::unordered_map<std::string, std::string>& memo,
                              const std::string& in, StepOver stepOver) {
  if (const auto it = memo.find(in); it != memo.end()) return it->second;
  constexpr std::size_t kMostRemembered = 4096;
  if (memo.size() >= kMostRemembered) memo.clear();
  return memo.emplace(in, conv.Run(in, stepOver)).first->second;
}

}  // namespace

std::string Utf8ToCp932(const std::string& utf8) {
  if (IsAscii(utf8)) return utf8;
  thread_local Converter conv("CP932", "UTF-8");
  thread_local std::unordered_map<std::string, std::string> memo;
  return Remembered(conv, memo, utf8, Utf8CharLen);
}

std::string Cp932ToUtf8(const std::string& cp932) {
  if (IsAscii(cp932)) return cp932;
  thread_local Converter conv("UTF-8", "CP932");
  thread_local std::unordered_map<std::string, std::string> memo;
  return Remembered(conv, memo, cp932, Cp932CharLen);
}

int Cp932Length(const std::string& utf8) { return static_cast<int>(Utf8ToCp932(utf8).size()); }
