#include "grid/GridCellPolicy.h"

int DataRowCount(int itemCount, bool hasAppendRow) {
  int count = hasAppendRow ? itemCount - 1 : itemCount;
  return count < 0 ? 0 : count;
}

bool IsAppendRow(int row, int itemCount, bool hasAppendRow) {
  return hasAppendRow && row >= 0 && row == itemCount - 1;
}

int ClampInsertIndex(int index, int dataRowCount) {
  return index < 0 || index > dataRowCount ? dataRowCount : index;
}

RECT FirstColumnRect(const RECT& rowBounds, const RECT& secondColumnBounds, int columnCount) {
  RECT cell = rowBounds;
  if (columnCount >= 2) cell.right = secondColumnBounds.left - 1;
  return cell;
}

RECT EditorRect(const RECT& cell) {
  RECT rect = cell;
  rect.right -= 1;
  rect.bottom -= 1;
  return rect;
}

RECT FocusFrameRect(const RECT& cell, bool listGridLines) {
  RECT rect = cell;
  if (!listGridLines) return rect;
  rect.left += 1;
  rect.right -= 1;
  rect.bottom -= 1;
  return rect;
}

CellMove NavigationMove(UINT key, const NavigationState& state) {
  CellMove move;
  switch (key) {
    case VK_LEFT:
      if (state.selRow >= 0 && state.selCol > 0 && !state.onAppendRow) {
        move = {CellMove::Kind::Column, state.selRow, state.selCol - 1};
      }
      break;
    case VK_RIGHT:
      if (state.selRow >= 0 && state.selCol < state.columnCount - 1 && !state.onAppendRow) {
        move = {CellMove::Kind::Column, state.selRow, state.selCol + 1};
      }
      break;
    case VK_UP:
      if (state.selRow > 0) move = {CellMove::Kind::Row, state.selRow - 1, state.selCol};
      break;
    case VK_DOWN:
      if (state.selRow < state.dataRowCount - 1) move = {CellMove::Kind::Row, state.selRow + 1, state.selCol};
      break;
    default:
      break;
  }
  return move;
}

LONG BoldWeight(LONG baseWeight) { return baseWeight + 700; }

bool HasFocusFrame(const FocusFrameState& state) {
  bool focused = (state.gridHasFocus && state.itemHasFocusState) || state.showSelectionAlways;
  bool selected = state.row == state.selRow && (state.col == state.selCol || state.appendRow);
  return focused && selected && state.row != state.editRow && state.col != state.editCol;
}

int CellRowHeight(int fontHeight) { return fontHeight + 3; }
