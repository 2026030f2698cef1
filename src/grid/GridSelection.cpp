#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "grid/PropertyGrid.h"

// The rows chosen beside the cursor: Shift with the arrow, paging and Home/End keys or with a
// click extends from the anchor, Ctrl with a click adds or removes a row, Ctrl+A takes every
// data row. The list view itself keeps one selected row, the cursor's.

namespace {

bool KeyDown(int key) { return GetKeyState(key) < 0; }

bool IsRowMoveKey(UINT key) {
  switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<int> PropertyGrid::GetSelectedRows() const {
  std::vector<int> selected;
  const int dataRows = GetDataRowCount();
  for (int row = 0; row < dataRows && row < static_cast<int>(marked.size()); ++row) {
    if (marked[static_cast<size_t>(row)] != 0) selected.push_back(row);
  }
  if (selected.empty() && selRow >= 0 && selRow < dataRows) selected.push_back(selRow);
  return selected;
}

bool PropertyGrid::IsRowSelected(int row) const {
  return row >= 0 && row < GetDataRowCount() && row < static_cast<int>(marked.size()) &&
         marked[static_cast<size_t>(row)] != 0;
}

// Only the rows whose mark goes are painted again.
void PropertyGrid::ClearMarks() {
  for (int row = 0; row < static_cast<int>(marked.size()); ++row) {
    if (marked[static_cast<size_t>(row)] == 0) continue;
    marked[static_cast<size_t>(row)] = 0;
    RepaintRows(row, row);
  }
}

void PropertyGrid::MarkRow(int row) {
  if (row < 0 || row >= GetDataRowCount() || marked[static_cast<size_t>(row)] != 0) return;
  marked[static_cast<size_t>(row)] = 1;
  RepaintRows(row, row);
}

// The cursor is arriving at `row`: the selected rows follow the gesture that moved it.
void PropertyGrid::MarkRowsFor(int row) {
  const bool dataRow = row >= 0 && row < GetDataRowCount();
  switch (gesture) {
    case SelectionGesture::Keep:
      return;
    case SelectionGesture::Toggle:
      if (dataRow) marked[static_cast<size_t>(row)] ^= 1;
      anchorRow = row;
      RepaintRows(row, row);
      return;
    case SelectionGesture::Extend:
      if (anchorRow < 0 || anchorRow >= GetDataRowCount()) anchorRow = selRow >= 0 ? selRow : row;
      if (!dataRow) return;
      ClearMarks();
      for (int marking = std::min(anchorRow, row); marking <= std::max(anchorRow, row); ++marking) MarkRow(marking);
      return;
    case SelectionGesture::Single:
      ClearMarks();
      if (dataRow) marked[static_cast<size_t>(row)] = 1;
      anchorRow = row;
      return;
  }
}

void PropertyGrid::SelectRows(int first, int last, int cursorRow, int col) {
  std::vector<int> block;
  for (int row = std::max(first, 0); row <= last; ++row) block.push_back(row);
  SelectRowSet(block, cursorRow, col);
}

void PropertyGrid::SelectRowSet(const std::vector<int>& chosen, int cursorRow, int col) {
  ClearMarks();
  for (int row : chosen) MarkRow(row);
  if (!chosen.empty()) anchorRow = chosen.front();
  gesture = SelectionGesture::Keep;
  SelectCell(cursorRow, col);
  gesture = SelectionGesture::Single;
}

void PropertyGrid::SelectAllRows() {
  const int dataRows = GetDataRowCount();
  if (dataRows == 0) return;
  const int cursor = selRow >= 0 && selRow < dataRows ? selRow : 0;
  SelectRows(0, dataRows - 1, cursor, std::max(selCol, 0));
  anchorRow = 0;
}

// Row moves go to the list view, which moves its one selected row; Shift makes the move extend
// the selected rows from the anchor. Ctrl+A takes every data row.
bool PropertyGrid::OnSelectionKey(Message& m) {
  const auto key = static_cast<UINT>(m.wParam);
  if (key == 'A' && KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) {
    SelectAllRows();
    m.result = 0;
    return true;
  }
  if (!IsRowMoveKey(key)) return false;
  gesture = KeyDown(VK_SHIFT) ? SelectionGesture::Extend : SelectionGesture::Single;
  m.result = CallDefault(m);
  gesture = SelectionGesture::Single;
  return true;
}

// A click with Shift or Ctrl chooses rows and opens no editor.
bool PropertyGrid::OnModifiedClick(int row, int col, bool toggle) {
  SetFocus(Handle());
  if (!IsAppendRowIndex(row)) selCol = col;
  gesture = toggle ? SelectionGesture::Toggle : SelectionGesture::Extend;
  MoveListSelection(row);
  gesture = SelectionGesture::Single;
  return true;
}

void PropertyGrid::MoveListSelection(int row) {
  const int moves = selectionMoves;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  // The list view says nothing when the row already was its selected one.
  if (selectionMoves == moves) TrackSelection(row);
}
