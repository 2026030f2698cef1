#include "grid/PropertyGrid.h"

#include <algorithm>
#include <new>

#include "grid/GridCellPolicy.h"
#include "win/HeldDrawing.h"

// The grid window itself, its message dispatch and the storage of its rows and cells.

namespace {
constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

const WindowClass* GridClass() { return RegisterSuperclass(WC_LISTVIEWW, L"Sonarwick_PropertyGrid"); }

}  // namespace

PropertyGrid::PropertyGrid() = default;

PropertyGrid::~PropertyGrid() {
  if (IsWindow(Handle())) DestroyWindow(Handle());
  FreeAllRows();
}

HWND PropertyGrid::Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle, UINT controlId) {
  // The rows are the grid's own; the list view only counts them (see the class comment).
  DWORD fullStyle = (style != 0 ? style : kDefaultStyle) | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA;
  return Window::Create(GridClass(), parent, rect, nullptr, fullStyle, exStyle,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)));
}

int PropertyGrid::InsertRow(int index, PropertyItem* item) {
  if (columnCount == 0)
    columnCount = std::max(0, static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
  // Without columns there is no slot for the item.
  if (columnCount == 0 || item == nullptr || Handle() == nullptr) return -1;
  auto* items = new (std::nothrow) PropertyItem*[static_cast<size_t>(columnCount)]();
  if (items == nullptr) return -1;
  items[0] = item;
  const int row = ClampInsertIndex(index, GetDataRowCount());
  try {
    marked.reserve(rows.size() + 1);
    rows.insert(rows.begin() + row, items);
    marked.insert(marked.begin() + row, 0);
  } catch (const std::bad_alloc&) {
    if (marked.size() > rows.size()) marked.erase(marked.begin() + row);
    delete[] items;
    return -1;
  }
  item->SetOwner(Handle(), 0);
  ShiftRowIndexes(row, +1);
  NoteSplice(row, +1);
  if (firstChangedRow < 0 || row < firstChangedRow) firstChangedRow = row;
  SyncRowCount();
  return row;
}

BOOL PropertyGrid::DeleteRow(int row) {
  if (row < 0 || row >= GetRowCount()) return FALSE;
  CloseEditor();
  if (row == selRow) selRow = selCol = -1;
  PropertyItem** items = rows[static_cast<size_t>(row)];
  rows.erase(rows.begin() + row);
  marked.erase(marked.begin() + row);
  ShiftRowIndexes(row + 1, -1);
  FreeRow(items);
  NoteSplice(row, -1);
  if (firstChangedRow < 0 || row < firstChangedRow) firstChangedRow = row;
  SyncRowCount();
  return TRUE;
}

// Rows going in or out above the selected cell leave it on the same row of data.
void PropertyGrid::ShiftRowIndexes(int from, int delta) {
  if (selRow >= from) selRow += delta;
  if (anchorRow >= from) anchorRow += delta;
  if (editRow >= from) editRow += delta;
}

BOOL PropertyGrid::SetCell(int row, int col, PropertyItem* item) {
  PropertyItem** items = GetRowItems(row);
  if (items == nullptr || col < 0 || col >= columnCount) return FALSE;
  items[col] = item;
  if (item != nullptr) item->SetOwner(Handle(), 0);
  if (updateDepth == 0) RepaintCell(row, col);
  return TRUE;
}

PropertyItem** PropertyGrid::GetRowItems(int row) const {
  if (row < 0 || row >= GetRowCount()) return nullptr;
  return rows[static_cast<size_t>(row)];
}

PropertyItem* PropertyGrid::GetCellItem(int row, int col) const {
  if (col < 0 || col >= columnCount) return nullptr;
  PropertyItem** items = GetRowItems(row);
  return items != nullptr ? items[col] : nullptr;
}

int PropertyGrid::GetDataRowCount() const { return DataRowCount(GetRowCount(), HasAppendRow()); }

void PropertyGrid::BeginUpdate() { ++updateDepth; }

void PropertyGrid::EndUpdate() {
  if (updateDepth == 0 || --updateDepth > 0) return;
  SyncRowCount();
}

void PropertyGrid::SyncRowCount() {
  if (updateDepth > 0 || Handle() == nullptr) return;
  const int count = GetRowCount(), oldCount = ItemCount();
  const bool paintWaiting = GetUpdateRect(Handle(), nullptr, FALSE) != FALSE;
  const int topBefore = TopRow();
  // The list view would repaint every row and scroll to keep its old ones in view; only the
  // rows from the first changed one down differ. Its scroll bar is drawn with that paint.
  if (count != oldCount) {
    WithDrawingHeld(Handle(), [&] {
      SendMessageW(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    });
  }
  if (TopRow() != topBefore) {
    // A list scrolled to its end scrolls back when rows go: that happened while drawing was
    // held, so no pixel moved, and every row shown is another one now.
    InvalidateRect(Handle(), nullptr, TRUE);
  } else if (firstChangedRow >= 0 && !ShiftRowsOnScreen(oldCount, paintWaiting)) {
    RepaintRows(firstChangedRow);
  }
  // An open editor stays over its cell, wherever the rows took it.
  if (firstChangedRow >= 0) PlaceEditor();
  firstChangedRow = -1;
  splice = Splice{};
  // A virtual list keeps its selection at an index; the grid's selected row may have moved.
  if (selRow >= 0 && selRow < count && SelectedListRow() != selRow) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(selRow), reinterpret_cast<LPARAM>(&state));
  }
}

void PropertyGrid::RepaintRows(int first, int last) {
  const int count = GetRowCount();
  if (first < 0) first = 0;
  if (last < 0 || last >= count) last = count - 1;
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT area = client;
  if (first < count && count > 0) {
    RECT top{};
    top.left = LVIR_BOUNDS;
    if (SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(first), reinterpret_cast<LPARAM>(&top)))
      area.top = std::max(client.top, top.top);
  }
  // Rows that went away leave their place below the last row to be wiped as well.
  if (last >= first && last < count - 1) {
    RECT bottom{};
    bottom.left = LVIR_BOUNDS;
    if (SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(last), reinterpret_cast<LPARAM>(&bottom)))
      area.bottom = std::min(client.bottom, bottom.bottom);
  }
  if (area.bottom > area.top) InvalidateRect(Handle(), &area, TRUE);
}

BOOL PropertyGrid::SelectCell(int row, int col) {
  CloseEditor();
  RepaintCell(selRow, selCol);
  selCol = col;
  if (SelectedListRow() == selRow && selRow == row) {
    TrackSelection(row);
    return TRUE;
  }
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state))) {
    return FALSE;
  }
  // A virtual list that already had the row selected (the selected row was deleted and
  // another took its index) reports no change.
  if (selRow != row) TrackSelection(row);
  return static_cast<BOOL>(SendMessageW(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE));
}

RECT PropertyGrid::GetCellRect(int row, int col) const { return CellRect(row, col, IsAppendRowIndex(row)); }

RECT PropertyGrid::CellRect(int row, int col, bool appendRow) const {
  RECT cell{};
  if (col > 0) {
    cell.top = col;
    cell.left = LVIR_BOUNDS;
    SendMessageW(Handle(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return cell;
  }
  cell.left = LVIR_BOUNDS;
  SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  if (appendRow || columnCount < 2) return cell;
  RECT second{};
  second.top = 1;
  second.left = LVIR_BOUNDS;
  SendMessageW(Handle(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&second));
  return FirstColumnRect(cell, second, columnCount);
}

BOOL PropertyGrid::ChangeStyleBits(DWORD remove, DWORD add, UINT swpFlags) {
  DWORD old = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
  DWORD changed = (old & ~remove) | add;
  if (changed == old) return FALSE;
  SetWindowLongW(Handle(), GWL_STYLE, static_cast<LONG>(changed));
  if (swpFlags != 0) {
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
  }
  return TRUE;
}

bool PropertyGrid::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      m.result = OnCreate(m);
      return true;
    case WM_DESTROY:
      OnDestroy();
      m.result = 0;
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      OnFocusChange(reinterpret_cast<HWND>(m.wParam));
      return Window::HandleMessage(m);
    case WM_SIZE:
      // A size cannot be refused: an editor holding a refused value moves with its cell.
      if (!CommitEdit()) PlaceEditor();
      return Window::HandleMessage(m);
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      // The list does not scroll away from an editor whose value was refused.
      if (!CommitEdit()) {
        m.result = 0;
        return true;
      }
      return Window::HandleMessage(m);
    case WM_KEYDOWN:
      return HandKeyToRefusedEditor(m) || OnKeyDown(m) || Window::HandleMessage(m);
    case WM_CHAR:
      return HandKeyToRefusedEditor(m) || OnChar(m) || Window::HandleMessage(m);
    case WM_GETDLGCODE:
      m.result = CallDefault(m) | DLGC_WANTALLKEYS;
      return true;
    case WM_SETFONT:
      // A font from outside is made for the system's scale; the grid shown at another keeps its own.
      if (painter.KeepsOwnFont(reinterpret_cast<HFONT>(m.wParam))) {
        m.result = 0;
        return true;
      }
      return Window::HandleMessage(m);
    case WM_SETTINGCHANGE:
      OnSettingsChanged();
      m.result = 0;
      return true;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_FONTCHANGE:
      OnSettingsChanged();
      return Window::HandleMessage(m);
    case WM_SHOWWINDOW:
    case WM_CANCELMODE:
      // Nothing an editor dropped may stay on screen over a hidden page.
      if (IsWindow(editor) && (m.msg == WM_CANCELMODE || m.wParam == FALSE))
        SendMessageW(editor, WM_CANCELMODE, 0, 0);
      return Window::HandleMessage(m);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      toolTip.Relay(Handle(), m.msg, m.wParam, m.lParam);
      m.result = OnMouseClick(m);
      return true;
    case WM_MOUSEMOVE:
      OnMouseMove(m);
      return Window::HandleMessage(m);
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      toolTip.Relay(Handle(), m.msg, m.wParam, m.lParam);
      return Window::HandleMessage(m);
    case GRIDM_NAVIGATE:
      OnNavigate(static_cast<UINT>(m.wParam));
      m.result = 0;
      return true;
    case GRIDM_COMMITEDIT:
      OnCommitEdit(reinterpret_cast<HWND>(m.lParam));
      OnEditorLeft();
      m.result = 0;
      return true;
    case GRIDM_FILLSELECTION:
      fillRequested = IsOpenEditor(reinterpret_cast<HWND>(m.lParam));
      m.result = 0;
      return true;
    case GRIDM_CANCELEDIT:
      OnCancelEdit(reinterpret_cast<HWND>(m.lParam));
      OnEditorLeft();
      m.result = 0;
      return true;
    case GRIDM_EDITORBUTTON:
      OnEditorButton(reinterpret_cast<HWND>(m.lParam));
      m.result = 0;
      return true;
    case GRIDM_REFOCUSEDITOR:
      OnRefocusEditor(reinterpret_cast<HWND>(m.lParam));
      m.result = 0;
      return true;
    case GRIDM_SETITEMVALUE:
      OnSetItemValue(reinterpret_cast<const VARIANT*>(m.wParam), reinterpret_cast<PropertyItem*>(m.lParam));
      m.result = 0;
      return true;
    case WM_NOTIFY:
      return OnNotify(m) || Window::HandleMessage(m);
    case REFLECT_BASE + WM_NOTIFY:
      return OnReflectedNotify(m) || Window::HandleMessage(m);
    default:
      return Window::HandleMessage(m);
  }
}

LRESULT PropertyGrid::OnCreate(Message& m) {
  LRESULT created = CallDefault(m);
  if (created == -1) return created;
  if ((GetWindowLongW(Handle(), GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) {
    ChangeStyleBits(LVS_TYPEMASK, LVS_REPORT, 0);
  }
  SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  header = reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
  SendMessageW(Handle(), WM_SETTINGCHANGE, 0, 0);
  return created;
}

// An open editor keeps its edit and takes the new font, since the one it shows goes now.
void PropertyGrid::OnSettingsChanged() {
  painter.RefreshSettings(Handle(), drawInfo);
  if (IsWindow(editor)) SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(drawInfo.font), TRUE);
}

void PropertyGrid::OnDestroy() {
  toolTip.Destroy();
  CloseEditor();
  FreeAllRows();
}

void PropertyGrid::FreeAllRows() {
  std::vector<PropertyItem**> freed;
  freed.swap(rows);
  marked.clear();
  selRow = selCol = -1;
  for (PropertyItem** items : freed) FreeRow(items);
}

void PropertyGrid::FreeRow(PropertyItem** items) {
  for (int col = 0; col < columnCount; ++col) delete items[col];
  delete[] items;
}

bool PropertyGrid::IsAppendRowIndex(int row) const { return IsAppendRow(row, GetRowCount(), HasAppendRow()); }

int PropertyGrid::ItemCount() const {
  return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

int PropertyGrid::TopRow() const { return static_cast<int>(SendMessageW(Handle(), LVM_GETTOPINDEX, 0, 0)); }

int PropertyGrid::SelectedListRow() const {
  return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void PropertyGrid::RepaintCell(int row, int col, bool erase) {
  if (row < 0 || col < 0) return;
  RECT cell = GetCellRect(row, col);
  InvalidateRect(Handle(), &cell, erase);
}

// The focus going to or coming from the grid's own editor stays within the grid.
void PropertyGrid::OnFocusChange(HWND other) {
  if (other != nullptr && IsChild(Handle(), other)) return;
  RepaintCell(selRow, selCol);
  RepaintSelectedRows();
}

// An editor that lost the keyboard to a window outside the grid (another program, a dialog)
// tells the grid only by ending; the grid itself heard of no focus change.
void PropertyGrid::OnEditorLeft() {
  const HWND focus = GetFocus();
  if (focus == Handle() || (focus != nullptr && IsChild(Handle(), focus))) return;
  RepaintSelectedRows();
}

void PropertyGrid::RepaintSelectedRows() {
  const int top = TopRow();
  const int shown = static_cast<int>(SendMessageW(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
  for (int row = std::max(top, 0); row < std::min(top + shown, GetRowCount()); ++row) {
    if (row == selRow || IsRowSelected(row)) RepaintRows(row, row);
  }
}

LRESULT PropertyGrid::Notify(int code, PropertyItem* item) {
  GridNotify notify{};
  notify.hdr.hwndFrom = Handle();
  notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
  notify.hdr.code = static_cast<UINT>(code);
  notify.item = item;
  return SendMessageW(GetParent(Handle()), WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

bool PropertyGrid::FindItem(const PropertyItem* item, int& row, int& col) const {
  auto findInRow = [&](int candidate) {
    for (int c = 0; c < columnCount; ++c) {
      if (GetCellItem(candidate, c) != item) continue;
      row = candidate;
      col = c;
      return true;
    }
    return false;
  };
  if (editRow >= 0 && findInRow(editRow)) return true;
  for (int candidate = 0; candidate < GetRowCount(); ++candidate) {
    if (findInRow(candidate)) return true;
  }
  return false;
}
