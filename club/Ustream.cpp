#include "Ustream.h"

#include <cstring>

StreamError::StreamError(const std::string& what, std::size_t offset)
    : VantorelError(what + " (byte " + std::to_string(offset) + ")"), offset_(offset) {}

std::string DamagePlace(const std::exception& e) {
  if (const auto* s = dynamic_cast<const StreamError*>(&e)) return "（" + std::to_string(s->Offset()) + "バイト目）";
  return std::string("（") + e.what() + "）";
}

void TStream::Seek(std::size_t pos) {
  if (pos > data_.size()) throw StreamError("seek past the end of the stream", pos);
  pos_ = pos;
}

std::vector<uint8_t> TStream::TakeBytes() {
  std::vector<uint8_t> out;
  out.swap(data_);
  pos_ = 0;
  return out;
}

void TStream::Clear() {
  data_.clear();
  pos_ = 0;
}

void TStream::WriteBytes(const void* p, std::size_t n) {
  if (n == 0) return;
  if (pos_ + n > data_.size()) data_.resize(pos_ + n);
  std::memcpy(data_.data() + pos_, p, n);
  pos_ += n;
}

void TStream::WriteInt32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  uint8_t b[4] = {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  WriteBytes(b, 4);
}

void TStream::WriteByte(uint8_t v) { WriteBytes(&v, 1); }

void TStream::Need(std::size_t n, const char* what) const {
  if (n > Remaining()) throw StreamError(std::string("stream ends too early reading ") + what, pos_);
}

void TStream::ReadBytes(void* p, std::size_t n) {
  Need(n, "bytes");
  if (n) std::memcpy(p, data_.data() + pos_, n);
  pos_ += n;
}

std::vector<uint8_t> TStream::ReadBytes(std::size_t n) {
  Need(n, "bytes");
  std::vector<uint8_t> out(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                           data_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
  pos_ += n;
  return out;
}

int32_t TStream::ReadInt32() {
  Need(4, "an integer");
  const uint8_t* b = data_.data() + pos_;
  uint32_t u = uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
  pos_ += 4;
  return static_cast<int32_t>(u);
}

uint8_t TStream::ReadByte() {
  Need(1, "a byte");
  return data_[pos_++];
}

int32_t TStream::ReadCount(std::size_t minBytesEach, const char* what) {
  std::size_t at = pos_;
  int32_t n = ReadInt32();
  if (n < 0) throw StreamError(std::string("negative count of ") + what, at);
  if (minBytesEach > 0 && static_cast<uint64_t>(n) * minBytesEach > Remaining())
    throw StreamError(std::string("count of ") + what + " larger than the stream can hold", at);
  return n;
}

int32_t TStream::ReadInt32In(int32_t lo, int32_t hi, const char* what) {
  std::size_t at = pos_;
  int32_t v = ReadInt32();
  if (v < lo || v > hi) throw StreamError(std::string("impossible value for ") + what + ": " + std::to_string(v), at);
  return v;
}
