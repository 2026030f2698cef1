#pragma once

#include <windows.h>

// The property grid's cell policy, free of any window so it can be checked on its own:
// which rows hold data, where a cell and its editor lie, where the selected cell moves on a
// navigation key and which cell shows the focus frame.

// Rows that hold data: the list view's rows without the append row.
int DataRowCount(int itemCount, bool hasAppendRow);

// Whether `row` is the append row.
bool IsAppendRow(int row, int itemCount, bool hasAppendRow);

// Where a new row goes: indexes outside 0..dataRowCount land at the end of the data rows,
// so nothing is ever inserted below the append row.
int ClampInsertIndex(int index, int dataRowCount);

// Column 0's cell: the whole row up to just left of column 1; the whole row when the grid
// has a single column.
RECT FirstColumnRect(const RECT& rowBounds, const RECT& secondColumnBounds, int columnCount);

// An editor leaves the cell's bottom and right grid lines visible.
RECT EditorRect(const RECT& cell);

// The focus frame stays inside list-view grid lines when those are on.
RECT FocusFrameRect(const RECT& cell, bool listGridLines);

// Where the selected cell moves on a navigation key.
struct CellMove {
  enum class Kind { None, Column, Row };
  Kind kind = Kind::None;
  int row = -1;
  int col = -1;
};
struct NavigationState {
  int selRow;
  int selCol;
  int columnCount;
  int dataRowCount;
  bool onAppendRow;
};
// VK_LEFT/VK_RIGHT move within the row (never on the append row), VK_UP/VK_DOWN move between
// data rows; anything past an edge, and any other key, is no move. VK_TAB is mapped to
// VK_RIGHT by the caller.
CellMove NavigationMove(UINT key, const NavigationState& state);

// The height a row asks of the list view for a font `fontHeight` pixels tall: room for a pixel
// row above the text and two below it, for glyphs that reach under the font's descent (the
// underscore), besides the grid line.
int CellRowHeight(int fontHeight);

// The weight of the grid's bold font: the base font's weight plus 700.
LONG BoldWeight(LONG baseWeight);

// Whether a cell gets the focus frame.
struct FocusFrameState {
  bool gridHasFocus;
  bool itemHasFocusState;    // CDIS_FOCUS in the custom-draw record
  bool showSelectionAlways;  // LVS_SHOWSELALWAYS
  int row;
  int col;
  int selRow;
  int selCol;
  bool appendRow;
  int editRow;
  int editCol;
};
bool HasFocusFrame(const FocusFrameState& state);
