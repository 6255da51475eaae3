// The JSON of vantorel-sim's output: nlohmann's ordered_json, whose objects
// keep their keys in the order they were set.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

using TJson = nlohmann::ordered_json;

// Compact text without spaces; UTF-8 is written as it is (a byte that is not
// UTF-8 becomes U+FFFD), control characters are escaped.
std::string JsonText(const TJson& j);

// A measurement (seconds, milliseconds, megabytes) rounded to six
// significant digits, a whole number without a fraction; null when it is not
// finite.
TJson Measured(double v);
