// cp932 exists only in files: in memory every text is UTF-8.
#pragma once

#include <string>

// UTF-8 -> cp932 bytes. A character cp932 cannot hold becomes '?'.
std::string Utf8ToCp932(const std::string& utf8);
// cp932 bytes -> UTF-8. A byte sequence that is not valid cp932 becomes '?'.
std::string Cp932ToUtf8(const std::string& cp932);
// Number of bytes the text takes in cp932 (two for a full-width character).
int Cp932Length(const std::string& utf8);
