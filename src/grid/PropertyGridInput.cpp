#include <windows.h>
#include <windowsx.h>


#include "grid/GridCellPolicy.h"
#include "grid/PropertyGrid.h"

// What the grid does with keys, typed characters, clicks and pointer moves: it moves the
// selected cell and opens the selected item's editor.

bool PropertyGrid::OnKeyDown(Message& m) {
  auto key = static_cast<UINT>(m.wParam);
  switch (key) {
    case VK_TAB:
      if (drawInfo.exFlags & GRID_EX_TABCELLS) {
        SendMessageW(Handle(), GRIDM_NAVIGATE, VK_TAB, 0);
      } else {
        PostMessageW(GetParent(Handle()), WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
      SendMessageW(Handle(), GRIDM_NAVIGATE, key, 0);
      break;
    case VK_F4:
      // F4 drops a list, as in a combo box; it opens no other editor.
      if (!HasSelectedCell() || GetCellItem(selRow, selCol) == nullptr ||
          GetCellItem(selRow, selCol)->GetKind() != ITEMKIND_LIST)
        return false;
      [[fallthrough]];
    case VK_RETURN:
    case VK_SPACE:
    case VK_F2: {
      PropertyItem* item = HasSelectedCell() ? GetCellItem(selRow, selCol) : nullptr;
      if (item == nullptr || !item->IsEnabled()) break;
      int row = selRow, col = selCol;
      OpenEditor(item, row, col);
      item->Activate(ITEMACT_EDITOPENED, 0);
      RepaintCell(row, col);
      break;
    }
    case VK_DELETE: {
      PropertyItem* item = HasSelectedCell() ? GetCellItem(selRow, selCol) : nullptr;
      if (item == nullptr || item->GetKind() != ITEMKIND_EDIT || !item->IsEnabled()) break;
      int row = selRow, col = selCol;
      if (!OpenEditor(item, row, col)) break;
      item->Activate(ITEMACT_EDITOPENED, 0);
      SendMessageW(editor, WM_KEYDOWN, VK_DELETE, 0);
      RepaintCell(row, col);
      break;
    }
    default:
      return OnSelectionKey(m);
  }
  m.result = 0;
  return true;
}

bool PropertyGrid::OnChar(Message& m) {
  auto character = static_cast<wchar_t>(m.wParam);
  if (character < 0x20 || !HasSelectedCell()) return false;
  m.result = 0;
  if (character == 0x20) return true;  // VK_SPACE has already acted as a key
  PropertyItem* item = GetCellItem(selRow, selCol);
  int row = selRow, col = selCol;
  if (item == nullptr || !item->IsEnabled() || !OpenEditor(item, row, col)) return true;
  item->Activate(ITEMACT_EDITOPENED, 0);
  SendMessageW(editor, WM_CHAR, m.wParam, 1);
  RepaintCell(row, col);
  return true;
}

LRESULT PropertyGrid::OnMouseClick(Message& m) {
  // A click elsewhere ends the edit; a refused value keeps its editor, and the click is lost.
  if (!CommitEdit()) return 0;
  RepaintCell(selRow, selCol);
  DWORD position = GetMessagePos();
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ScreenToClient(Handle(), &hit.pt);
  SendMessageW(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const bool shift = (m.wParam & MK_SHIFT) != 0 || GetKeyState(VK_SHIFT) < 0;
  const bool control = (m.wParam & MK_CONTROL) != 0 || GetKeyState(VK_CONTROL) < 0;
  if (hit.iItem >= 0 && (shift || control) && m.msg == WM_LBUTTONDOWN) {
    OnModifiedClick(hit.iItem, hit.iSubItem, control && !shift);
    return 0;
  }
  int oldRow = selRow, oldCol = selCol;
  // Set before the list view acts, so that the row change it causes selects this column.
  selCol = hit.iSubItem;
  CloseEditor();
  LRESULT result = CallDefault(m);

  int row = hit.iItem, col = hit.iSubItem;
  if (row < 0) {
    CloseEditor();
    RepaintCell(selRow, selCol);
    selRow = selCol = -1;
    Notify(GRIDN_SELCHANGED, nullptr);
    return result;
  }
  bool appendRow = IsAppendRowIndex(row);
  if (appendRow) col = 0;
  PropertyItem* item = GetCellItem(row, col);
  if (item == nullptr) return 0;
  if (Notify(GRIDN_CLICK, item) != 0) return result;
  item->Activate(ITEMACT_CLICK, static_cast<LPARAM>(position));
  selRow = row;
  selCol = col;
  if (!appendRow) {
    if (row == oldRow && col != oldCol) Notify(GRIDN_SELCHANGED, item);
    bool sameCell = row == oldRow && col == oldCol;
    if (item->IsEnabled() && ((drawInfo.exFlags & GRID_EX_SINGLECLICKEDIT) || sameCell)) {
      bool opened = OpenEditor(item, row, col);
      item->Activate(opened ? ITEMACT_EDITOPENED : ITEMACT_NOEDITOR, 0);
    }
  }
  RepaintCell(selRow, selCol);
  return result;
}

void PropertyGrid::OnNavigate(UINT key) {
  if ((drawInfo.exFlags & GRID_EX_NONAVIGATE) || !HasSelectedCell()) return;
  if (!CommitEdit()) return;
  if (key == VK_TAB) {
    TabToNextCell(GetKeyState(VK_SHIFT) < 0);
    return;
  }
  NavigationState state{selRow, selCol, columnCount, GetDataRowCount(), IsAppendRowIndex(selRow)};
  CellMove move = NavigationMove(key, state);
  if (move.kind == CellMove::Kind::Row) {
    SelectCell(move.row, move.col);
  } else if (move.kind == CellMove::Kind::Column) {
    int oldCol = selCol;
    selCol = move.col;
    Notify(GRIDN_SELCHANGED, GetCellItem(selRow, selCol));
    RepaintCell(selRow, oldCol);
    RepaintCell(selRow, selCol);
  }
}

// Tab goes on to the next cell and from a row's last cell to the next row's first; Shift+Tab
// goes back the same way. Neither leaves the data rows.
void PropertyGrid::TabToNextCell(bool backwards) {
  if (IsAppendRowIndex(selRow)) return;
  int row = selRow, col = selCol + (backwards ? -1 : 1);
  if (col >= columnCount) {
    col = 0;
    ++row;
  } else if (col < 0) {
    col = columnCount - 1;
    --row;
  }
  if (row < 0 || row >= GetDataRowCount()) return;
  if (row != selRow) {
    SelectCell(row, col);
    return;
  }
  const int oldCol = selCol;
  selCol = col;
  Notify(GRIDN_SELCHANGED, GetCellItem(selRow, selCol));
  RepaintCell(selRow, oldCol);
  RepaintCell(selRow, selCol);
}

void PropertyGrid::OnMouseMove(const Message& m) {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  SendMessageW(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  // Made when the pointer first comes by: a page opened and never pointed at needs none.
  if (toolTip.Handle() == nullptr) toolTip.Create(Handle());
  toolTip.Track(hit.iItem, hit.iItem < 0 ? -1 : hit.iSubItem);
  toolTip.Relay(Handle(), m.msg, m.wParam, m.lParam);
}
