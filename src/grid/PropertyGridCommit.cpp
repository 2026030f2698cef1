#include "grid/GridCellPolicy.h"
#include "grid/PropertyGrid.h"
#include "win/ScopedVariant.h"
#include "win/RefusalBeep.h"

// The in-place editor's life and the commit protocol: a typed value goes to the item, and the
// parent may veto the change before it stands.

BOOL PropertyGrid::OpenEditor(PropertyItem* item, int row, int col) {
  CloseEditor();
  if (row < 0 || col < 0 || row != SelectedListRow() || item == nullptr || !item->IsEnabled()) return FALSE;
  HWND created = item->CreateEditor(Handle(), EditorRect(GetCellRect(row, col)));
  if (created == nullptr) return FALSE;
  editor = created;
  fillRequested = false;
  SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetFocus(editor);
  editRow = row;
  editCol = col;
  if (editorOpened) editorOpened(editor, row, col);
  return TRUE;
}

void PropertyGrid::PlaceEditor() {
  if (!IsWindow(editor) || editRow < 0 || editCol < 0) return;
  RECT rect = EditorRect(GetCellRect(editRow, editCol));
  SetWindowPos(editor, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void PropertyGrid::CloseEditor() {
  if (IsWindow(editor)) {
    // Taking the focus back makes the editor commit or cancel at once, nested in this call,
    // while editRow/editCol still name its cell; that nested commit closes it itself.
    HWND focus = GetFocus();
    if (focus != Handle() && IsChild(Handle(), focus)) SetFocus(Handle());
    if (editor != nullptr) PostMessageW(editor, WM_CLOSE, 0, 0);
  }
  editor = nullptr;
  editRow = -1;
  editCol = -1;
}

bool PropertyGrid::CommitEdit() {
  if (!IsWindow(editor)) return true;
  // Whatever the editor has dropped closes as Escape would close it: the value it shows stays.
  SendMessageW(editor, WM_CANCELMODE, 0, 0);
  HWND focus = GetFocus();
  if (focus != Handle() && IsChild(Handle(), focus)) {
    // The editor (or its drop button) ends the edit itself as it loses the focus.
    SetFocus(Handle());
  } else if (editor != nullptr) {
    // An editor without the focus has already been refused once; it holds typed text.
    SendMessageW(Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
  }
  if (editor == nullptr) return true;
  SetFocus(editor);
  return false;
}

// Only the open editor speaks for its cell: a request naming any other window (an editor
// that was replaced, a stray sender) must not write that window's text into the cell.
bool PropertyGrid::IsOpenEditor(HWND editorWindow) const {
  return editorWindow == editor && IsWindow(editorWindow) && editRow >= 0 && editCol >= 0;
}

void PropertyGrid::OnCommitEdit(HWND editorWindow) {
  if (!IsOpenEditor(editorWindow)) return;
  PropertyItem* item = GetCellItem(editRow, editCol);
  if (item == nullptr) return;
  int row = editRow, col = editCol;
  ScopedVariant old;
  item->GetValue(old.get());
  refusalReason.clear();
  if (!item->SetValueFromEditor(editorWindow)) {
    RefuseEdit(item, std::wstring());
    return;
  }
  if (Notify(GRIDN_ITEMCHANGING, item) != 0) {
    item->SetValue(*old);
  } else {
    Notify(GRIDN_ITEMCHANGED, item);
    RepaintCell(row, col);
  }
  CloseEditor();
}

// The editor stays open on its cell with what was typed; the parent says why.
void PropertyGrid::RefuseEdit(PropertyItem* item, std::wstring reason) {
  // A refused commit ends its Ctrl+Enter: the next commit asks again, or not.
  fillRequested = false;
  refusalReason = std::move(reason);
  RefusalBeep();
  Notify(GRIDN_VALUEREFUSED, item);
  // The editor gave the focus away to end the edit and cannot take it back while it is still
  // losing it; it does so once this is over, so that the next key goes on with the edit.
  if (IsWindow(editor)) PostMessageW(Handle(), GRIDM_REFOCUSEDITOR, 0, AsLParam(editor));
}

// Only where the focus went to the grid itself: a click into another window or a dialog keeps it.
void PropertyGrid::OnRefocusEditor(HWND editorWindow) {
  if (IsOpenEditor(editorWindow) && GetFocus() == Handle()) SetFocus(editorWindow);
}

// An editor stays open without the focus only when its value was refused. A key that reaches
// the grid meanwhile (the frame gave the grid the focus back, say) goes to that editor, which
// takes the focus first: Enter or Tab asks again and is refused again, Escape gives the value
// up, a character goes on with the text. Opening another editor, or moving the cursor, would
// throw away what was typed.
bool PropertyGrid::HandKeyToRefusedEditor(Message& m) {
  if (!IsOpenEditor(editor) || GetFocus() != Handle()) return false;
  HWND refused = editor;
  SetFocus(refused);
  m.result = SendMessageW(refused, m.msg, m.wParam, m.lParam);
  return true;
}

void PropertyGrid::OnCancelEdit(HWND editorWindow) {
  if (!IsOpenEditor(editorWindow)) return;
  RepaintCell(editRow, editCol);
  CloseEditor();
}

// Only the open editor's button speaks for its cell; a click posted by an editor that has
// closed since is dropped.
void PropertyGrid::OnEditorButton(HWND editorWindow) {
  if (IsOpenEditor(editorWindow)) Notify(GRIDN_EDITORBUTTON, GetCellItem(editRow, editCol));
}

void PropertyGrid::OnSetItemValue(const VARIANT* value, PropertyItem* item) {
  if (value == nullptr || item == nullptr) return;
  if (Notify(GRIDN_ITEMCHANGING, item) != 0) return;
  if (!item->SetValue(*value)) RefusalBeep();
  Notify(GRIDN_ITEMCHANGED, item);
  int row = -1, col = -1;
  if (!FindItem(item, row, col)) return;
  RepaintCell(row, col);
  // Only the edited cell's own editor is recreated to show the new value; another item of
  // the same row must not get an editor over the edited cell.
  if (row == editRow && col == editCol) OpenEditor(item, row, col);
}
