// A small streaming JSON writer: objects and arrays, with commas placed by
// the writer. Texts are UTF-8; control characters are escaped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TJsonWriter {
 public:
  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  // The key of the next value inside an object.
  TJsonWriter& Key(const std::string& key);

  TJsonWriter& Value(const std::string& v);
  TJsonWriter& Value(const char* v) { return Value(std::string(v)); }
  TJsonWriter& Value(int64_t v);
  TJsonWriter& Value(int32_t v) { return Value(static_cast<int64_t>(v)); }
  TJsonWriter& Value(double v);
  TJsonWriter& Value(bool v);
  TJsonWriter& Null();

  // Shorthands: a key and its value.
  template <class T>
  TJsonWriter& Field(const std::string& key, const T& v) {
    Key(key);
    return Value(v);
  }
  TJsonWriter& IntArray(const std::vector<int32_t>& values);
  TJsonWriter& StringArray(const std::vector<std::string>& values);

  const std::string& Text() const { return out_; }

  static std::string Quote(const std::string& s);

 private:
  void BeforeValue();
  std::string out_;
  std::vector<bool> first_;  // per open container: nothing written yet
  bool afterKey_ = false;
};
