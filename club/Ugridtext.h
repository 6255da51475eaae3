// Grid rows filled from comma text: headers, fixture lines and player rows
// are built as one comma text and put into a grid row in one call.
#pragma once

#include <string>

#include "club/Ugrid.h"

// Sets the cells of grid row `row` to the items of the comma text. The grid
// grows to hold the row and every item; cells beyond the items are emptied
// (their colour tags stay).
void SetRowCommaText(TGrid& grid, int row, const std::string& text);
