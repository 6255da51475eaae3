// Byte streams: every record writes and reads itself field by field through
// these. Integers are 32-bit signed little-endian, flags single bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Base of every error the core raises on purpose.
class VantorelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read ran out of bytes, or met a count, length or value no real stream
// can hold. Offset is the byte position where the bad read started.
class StreamError : public VantorelError {
 public:
  StreamError(const std::string& what, std::size_t offset);
  std::size_t Offset() const { return offset_; }

 private:
  std::size_t offset_;
};

// Where a stream that could not be read went wrong, in the player's words:
// "（1234バイト目）" for a StreamError, the error's own text in brackets
// for any other error.
std::string DamagePlace(const std::exception& e);

// An in-memory byte stream with a current position, like a file stream:
// writes overwrite or extend at the position, reads advance it.
class TStream {
 public:
  TStream() = default;
  explicit TStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  std::size_t Position() const { return pos_; }
  void Seek(std::size_t pos);
  std::size_t Size() const { return data_.size(); }
  std::size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  const std::vector<uint8_t>& Bytes() const { return data_; }
  std::vector<uint8_t> TakeBytes();
  void Clear();

  void WriteInt32(int32_t v);
  void WriteByte(uint8_t v);
  void WriteBool(bool v) { WriteByte(v ? 1 : 0); }
  void WriteBytes(const void* p, std::size_t n);
  void WriteBytes(const std::vector<uint8_t>& b) { WriteBytes(b.data(), b.size()); }

  int32_t ReadInt32();
  uint8_t ReadByte();
  bool ReadBool() { return ReadByte() != 0; }
  void ReadBytes(void* p, std::size_t n);
  std::vector<uint8_t> ReadBytes(std::size_t n);
  // Reads a count of items that each take at least minBytesEach bytes in
  // the stream; rejects a negative count or one the remaining bytes cannot
  // hold, so nothing is allocated from an unchecked number.
  int32_t ReadCount(std::size_t minBytesEach, const char* what);
  // Reads an int32 and checks lo <= v <= hi.
  int32_t ReadInt32In(int32_t lo, int32_t hi, const char* what);

  // Throws a StreamError unless n more bytes can be read.
  void Need(std::size_t n, const char* what) const;

 private:
  std::vector<uint8_t> data_;
  std::size_t pos_ = 0;
};
