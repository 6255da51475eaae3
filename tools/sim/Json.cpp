#include "tools/sim/Json.h"

#include <cmath>
#include <cstdio>

std::string TJsonWriter::Quote(const std::string& s) {
  std::string o = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': o += "\\\""; break;
      case '\\': o += "\\\\"; break;
      case '\n': o += "\\n"; break;
      case '\r': o += "\\r"; break;
      case '\t': o += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          o += buf;
        } else {
          o += static_cast<char>(c);
        }
    }
  }
  return o + "\"";
}

void TJsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!first_.empty()) {
    if (!first_.back()) out_ += ',';
    first_.back() = false;
  }
}

TJsonWriter& TJsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  first_.push_back(true);
  return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
  out_ += '}';
  first_.pop_back();
  return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  first_.push_back(true);
  return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
  out_ += ']';
  first_.pop_back();
  return *this;
}

TJsonWriter& TJsonWriter::Key(const std::string& key) {
  BeforeValue();
  out_ += Quote(key);
  out_ += ':';
  afterKey_ = true;
  return *this;
}

TJsonWriter& TJsonWriter::Value(const std::string& v) {
  BeforeValue();
  out_ += Quote(v);
  return *this;
}

TJsonWriter& TJsonWriter::Value(int64_t v) {
  BeforeValue();
  out_ += std::to_string(v);
  return *this;
}

TJsonWriter& TJsonWriter::Value(double v) {
  BeforeValue();
  if (!std::isfinite(v)) {
    out_ += "null";
    return *this;
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  out_ += buf;
  return *this;
}

TJsonWriter& TJsonWriter::Value(bool v) {
  BeforeValue();
  out_ += v ? "true" : "false";
  return *this;
}

TJsonWriter& TJsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

TJsonWriter& TJsonWriter::IntArray(const std::vector<int32_t>& values) {
  BeginArray();
  for (int32_t v : values) Value(v);
  return EndArray();
}

TJsonWriter& TJsonWriter::StringArray(const std::vector<std::string>& values) {
  BeginArray();
  for (const auto& v : values) Value(v);
  return EndArray();
}
