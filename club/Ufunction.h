// Position codes and the stream form of a text.
#pragma once

#include <string>

#include "Ustream.h"

// Four-character name of a position code 0 .. 20 ("GK/N" .. "FL/D"); a code
// outside that range leaves `name` as the caller passed it.
void PositionName(int code, std::string& name);
std::string PositionName(int code);

// Position group (code div 3) and variant (code mod 3).
inline int PositionGroup(int code) { return code / 3; }
inline int PositionVariant(int code) { return code % 3; }

// Writes the text's cp932 byte length (int32) and its cp932 bytes.
void WriteString(TStream& s, const std::string& text);
// Reads a text written by WriteString. When fewer than four bytes remain the
// text keeps its value and nothing is read; a negative length or one longer
// than the remaining bytes raises StreamError.
void ReadString(TStream& s, std::string& text);
std::string ReadString(TStream& s);
