#include "club/Ucommatext.h"

#include <algorithm>

namespace {

bool NeedsQuotes(const std::string& item) {
  return std::any_of(item.begin(), item.end(), [](char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u <= ' ' || c == '"' || c == ',';
  });
}

// Reads a quoted part starting at the opening quote text[i]; returns the
// index just past the closing quote (or the end of the text).
std::size_t ReadQuoted(const std::string& text, std::size_t i, std::string& item) {
  ++i;
  while (i < text.size()) {
    if (text[i] != '"') {
      item += text[i++];
    } else if (i + 1 < text.size() && text[i + 1] == '"') {
      item += '"';
      i += 2;
    } else {
      return i + 1;
    }
  }
  return i;
}

}  // namespace

std::string CommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    const std::string& item = items[i];
    if (!NeedsQuotes(item)) {
      out += item;
      continue;
    }
    out += '"';
    for (char c : item) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

std::vector<std::string> SplitCommaText(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  std::size_t i = 0;
  while (true) {
    std::string item;
    if (i < text.size() && text[i] == '"') i = ReadQuoted(text, i, item);
    while (i < text.size() && text[i] != ',') item += text[i++];
    items.push_back(std::move(item));
    if (i >= text.size()) break;
    ++i;  // the comma
  }
  return items;
}
