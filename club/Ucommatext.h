// Comma text: a list of text items written as one line, the form in which
// grid rows, goal lists, departure lists and transfer report lines travel.
// Items are separated by ","; an item that holds a comma, a double quote, a
// space or a control character is put in double quotes with its inner
// quotes doubled. Reading splits at commas only (a space never separates),
// so every list survives writing and reading back unchanged.
#pragma once

#include <string>
#include <vector>

// The items as one comma text. No items give the empty text; a single empty
// item gives "\"\"" so that it reads back as one item.
std::string CommaText(const std::vector<std::string>& items);

// The items of a comma text. The empty text holds no items. A quote opens a
// quoted part only at the start of an item; a quote elsewhere, and anything
// after a quoted part up to the next comma, is taken as it stands. A quoted
// part that is never closed runs to the end of the text.
std::vector<std::string> SplitCommaText(const std::string& text);
