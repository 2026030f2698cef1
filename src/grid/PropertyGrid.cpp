#include "grid/PropertyGrid.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>

#include "grid/GridGeometry.h"
#include "win/ScopedVariant.h"

namespace {

constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

const WindowClass* GridClass() { return RegisterSuperclass(WC_LISTVIEWW, L"Sonarwick_PropertyGrid"); }

bool IsHeaderLayoutChange(UINT code) {
  switch (code) {
    case HDN_ITEMCHANGINGA:
    case HDN_ITEMCHANGINGW:
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
    case HDN_TRACKA:
    case HDN_TRACKW:
      return true;
    default:
      return false;
  }
}

bool IsDividerDoubleClick(UINT code) { return code == HDN_DIVIDERDBLCLICKA || code == HDN_DIVIDERDBLCLICKW; }

// Custom-draw stages the list view may paint itself.
bool IsDefaultPaintStage(DWORD stage) {
  switch (stage) {
    case CDDS_POSTPAINT:
    case CDDS_PREERASE:
    case CDDS_POSTERASE:
    case CDDS_ITEMPOSTPAINT:
    case CDDS_ITEMPREERASE:
    case CDDS_ITEMPOSTERASE:
      return true;
    default:
      return false;
  }
}

}  // namespace

PropertyGrid::PropertyGrid() = default;

PropertyGrid::~PropertyGrid() {
  // Destroy the window while this object can still take its rows' deletion notices.
  if (IsWindow(Handle())) DestroyWindow(Handle());
}

HWND PropertyGrid::Create(HWND parent, const RECT& rect, DWORD style, DWORD exStyle, UINT controlId) {
  DWORD fullStyle = (style != 0 ? style : kDefaultStyle) | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  return Window::Create(GridClass(), parent, rect, nullptr, fullStyle, exStyle,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)));
}

int PropertyGrid::InsertRow(int index, PropertyItem* item) {
  if (columnCount == 0)
    columnCount = std::max(0, static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)));
  // Without columns there is no slot for the item.
  if (columnCount == 0 || item == nullptr) return -1;
  auto* items = new (std::nothrow) PropertyItem*[static_cast<size_t>(columnCount)]();
  if (items == nullptr) return -1;
  items[0] = item;
  LVITEMW row{};
  row.mask = LVIF_TEXT | LVIF_PARAM;
  row.iItem = ClampInsertIndex(index, GetDataRowCount());
  row.pszText = const_cast<wchar_t*>(item->GetCaption());
  row.lParam = reinterpret_cast<LPARAM>(items);
  rowArrays.insert(items);
  int inserted = static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
  if (inserted < 0) {
    rowArrays.erase(items);
    delete[] items;
    return -1;
  }
  item->SetOwner(Handle(), 0);
  return inserted;
}

BOOL PropertyGrid::SetCell(int row, int col, PropertyItem* item) {
  PropertyItem** items = GetRowItems(row);
  if (items == nullptr || col < 0 || col >= columnCount) return FALSE;
  items[col] = item;
  if (item != nullptr) item->SetOwner(Handle(), 0);
  LVITEMW cell{};
  cell.mask = LVIF_TEXT;
  cell.iItem = row;
  cell.iSubItem = col;
  cell.pszText = const_cast<wchar_t*>(L"");
  return static_cast<BOOL>(SendMessageW(Handle(), LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&cell)));
}

PropertyItem** PropertyGrid::GetRowItems(int row) const {
  LVITEMW query{};
  query.mask = LVIF_PARAM;
  query.iItem = row;
  if (!SendMessageW(Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return nullptr;
  return reinterpret_cast<PropertyItem**>(query.lParam);
}

PropertyItem* PropertyGrid::GetCellItem(int row, int col) const {
  if (col < 0 || col >= columnCount || row < 0 || row >= ItemCount()) return nullptr;
  PropertyItem** items = GetRowItems(row);
  return items != nullptr ? items[col] : nullptr;
}

int PropertyGrid::GetDataRowCount() const { return DataRowCount(ItemCount(), HasAppendRow()); }

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

BOOL PropertyGrid::OpenEditor(PropertyItem* item, int row, int col) {
  CloseEditor();
  if (row < 0 || col < 0 || row != SelectedListRow() || item == nullptr || !item->IsEnabled()) return FALSE;
  HWND created = item->CreateEditor(Handle(), EditorRect(GetCellRect(row, col)));
  if (created == nullptr) return FALSE;
  editor = created;
  SetWindowPos(editor, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetFocus(editor);
  editRow = row;
  editCol = col;
  return TRUE;
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
  HWND focus = GetFocus();
  if (focus != Handle() && IsChild(Handle(), focus)) {
    SetFocus(Handle());
  } else {
    // An editor without the focus has already been refused once; it holds typed text.
    SendMessageW(Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
  }
  if (editor == nullptr) return true;
  SetFocus(editor);
  return false;
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
      RepaintCell(selRow, selCol);
      return Window::HandleMessage(m);
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
      CloseEditor();
      return Window::HandleMessage(m);
    case WM_KEYDOWN:
      return OnKeyDown(m) || Window::HandleMessage(m);
    case WM_CHAR:
      return OnChar(m) || Window::HandleMessage(m);
    case WM_GETDLGCODE:
      m.result = CallDefault(m) | DLGC_WANTALLKEYS;
      return true;
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
      m.result = OnMouseClick(m);
      return true;
    case WM_MOUSEMOVE:
      OnMouseMove(m.lParam);
      return Window::HandleMessage(m);
    case GRIDM_NAVIGATE:
      OnNavigate(static_cast<UINT>(m.wParam));
      m.result = 0;
      return true;
    case GRIDM_COMMITEDIT:
      OnCommitEdit(reinterpret_cast<HWND>(m.lParam));
      m.result = 0;
      return true;
    case GRIDM_CANCELEDIT:
      OnCancelEdit(reinterpret_cast<HWND>(m.lParam));
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
  toolTip.Create(Handle());
  return created;
}

void PropertyGrid::OnMouseMove(LPARAM position) {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  SendMessageW(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  toolTip.Track(hit.iItem, hit.iItem < 0 ? -1 : hit.iSubItem);
}

// The whole text of the cell under the pointer when the cell shows it cut short; otherwise
// none, and so no tip (an open editor shows its text itself).
bool PropertyGrid::OnToolTipText(Message& m) {
  int row = toolTip.Row(), col = toolTip.Col();
  std::wstring text;
  bool editing = row == editRow && col == editCol;
  if (row >= 0 && col >= 0 && !editing && !IsAppendRowIndex(row)) {
    text = CellText(row, col);
    RECT cell = GetCellRect(row, col);
    if (CellTextFits(Handle(), drawInfo.font, text, cell.right - cell.left)) text.clear();
  }
  toolTip.SupplyText(reinterpret_cast<NMHDR*>(m.lParam), std::move(text));
  m.result = 0;
  return true;
}

std::wstring PropertyGrid::CellText(int row, int col) const {
  PropertyItem* item = GetCellItem(row, col);
  if (item == nullptr) return std::wstring();
  std::wstring text(item->GetDisplayTextLength() + 1, L'\0');
  if (!item->GetDisplayText(text.data(), static_cast<UINT>(text.size()))) return std::wstring();
  text.resize(wcslen(text.c_str()));
  return text;
}

// An open editor keeps its edit and takes the new font, since the one it shows goes now.
void PropertyGrid::OnSettingsChanged() {
  painter.RefreshSettings(Handle(), drawInfo);
  if (IsWindow(editor)) SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(drawInfo.font), TRUE);
}

void PropertyGrid::OnDestroy() {
  toolTip.Destroy();
  SendMessageW(Handle(), LVM_DELETEALLITEMS, 0, 0);
  // Rows whose deletion notice did not come back (a parent that reflects nothing).
  for (PropertyItem** items : rowArrays) FreeRow(items);
  rowArrays.clear();
}

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
      return false;
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
  RepaintCell(selRow, selCol);
  DWORD position = GetMessagePos();
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ScreenToClient(Handle(), &hit.pt);
  SendMessageW(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
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
  CloseEditor();
  if (key == VK_TAB) {
    SendMessageW(Handle(), GRIDM_NAVIGATE, VK_RIGHT, 0);
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

void PropertyGrid::OnCommitEdit(HWND editorWindow) {
  if (!IsWindow(editorWindow) || editRow < 0 || editCol < 0) return;
  PropertyItem* item = GetCellItem(editRow, editCol);
  if (item == nullptr) return;
  int row = editRow, col = editCol;
  ScopedVariant old;
  item->GetValue(old.get());
  if (!item->SetValueFromEditor(editorWindow)) {
    MessageBeep(static_cast<UINT>(-1));
    Notify(GRIDN_VALUEREFUSED, item);
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

void PropertyGrid::OnCancelEdit(HWND editorWindow) {
  if (!IsWindow(editorWindow) || editRow < 0 || editCol < 0) return;
  RepaintCell(editRow, editCol);
  CloseEditor();
}

void PropertyGrid::OnSetItemValue(const VARIANT* value, PropertyItem* item) {
  if (value == nullptr || item == nullptr) return;
  if (Notify(GRIDN_ITEMCHANGING, item) != 0) return;
  if (!item->SetValue(*value)) MessageBeep(static_cast<UINT>(-1));
  Notify(GRIDN_ITEMCHANGED, item);
  int row = -1, col = -1;
  if (!FindItem(item, row, col)) return;
  RepaintCell(row, col);
  // Only the edited cell's own editor is recreated to show the new value; another item of
  // the same row must not get an editor over the edited cell.
  if (row == editRow && col == editCol) OpenEditor(item, row, col);
}

bool PropertyGrid::OnNotify(Message& m) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
  if (hdr != nullptr && hdr->hwndFrom == toolTip.Handle() && hdr->hwndFrom != nullptr)
    return OnToolTipText(m);
  if (hdr == nullptr || header == nullptr || hdr->hwndFrom != header) return false;
  UINT code = hdr->code;
  if (IsDividerDoubleClick(code)) {
    m.result = 0;
    return true;
  }
  if (!IsHeaderLayoutChange(code)) return false;
  if (HasAppendRow() && ItemCount() > 0) {
    RECT row = GetCellRect(ItemCount() - 1, 0);
    InvalidateRect(Handle(), &row, FALSE);
  }
  CloseEditor();
  return false;
}

bool PropertyGrid::OnReflectedNotify(Message& m) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
  if (hdr == nullptr || hdr->hwndFrom != Handle()) return false;
  switch (hdr->code) {
    case LVN_ITEMCHANGED:
      return OnItemChanged(*reinterpret_cast<const NMLISTVIEW*>(m.lParam));
    case LVN_DELETEITEM:
      OnDeleteItem(*reinterpret_cast<const NMLISTVIEW*>(m.lParam));
      m.result = 0;
      return true;
    case NM_CUSTOMDRAW:
      return OnCustomDraw(m);
    default:
      return false;
  }
}

bool PropertyGrid::OnItemChanged(const NMLISTVIEW& change) {
  if (!(change.uNewState & LVIS_SELECTED)) return true;
  if (change.iItem == -1) return false;
  TrackSelection(change.iItem);
  return false;
}

void PropertyGrid::TrackSelection(int row) {
  selRow = row;
  if (selCol == -1 || IsAppendRowIndex(row)) selCol = 0;
  RepaintCell(selRow, selCol);
  Notify(GRIDN_SELCHANGED, GetCellItem(selRow, selCol));
}

void PropertyGrid::OnDeleteItem(const NMLISTVIEW& deletion) {
  CloseEditor();
  if (deletion.iItem == selRow) selRow = selCol = -1;
  auto* items = reinterpret_cast<PropertyItem**>(deletion.lParam);
  if (items != nullptr && rowArrays.erase(items) != 0) FreeRow(items);
}

void PropertyGrid::FreeRow(PropertyItem** items) {
  for (int col = 0; col < columnCount; ++col) delete items[col];
  delete[] items;
}

bool PropertyGrid::OnCustomDraw(Message& m) {
  auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(m.lParam);
  DWORD stage = draw.nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT) {
    m.result = CDRF_NOTIFYITEMDRAW;
  } else if (stage == CDDS_ITEMPREPAINT) {
    m.result = CDRF_NOTIFYSUBITEMDRAW;
  } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    PaintCell(draw);
    m.result = CDRF_SKIPDEFAULT;
  } else if (IsDefaultPaintStage(stage)) {
    m.result = CDRF_DODEFAULT;
  } else {
    return false;
  }
  return true;
}

void PropertyGrid::PaintCell(const NMLVCUSTOMDRAW& draw) {
  auto row = static_cast<int>(draw.nmcd.dwItemSpec);
  int col = draw.iSubItem;
  // The list view only asks for rows it has, so the row's array can be taken as it is.
  bool appendRow = IsAppendRowIndex(row);
  if (appendRow && col != 0) return;  // the append row's single cell spans the row
  PropertyItem** items = col >= 0 && col < columnCount ? GetRowItems(row) : nullptr;
  PropertyItem* item = items != nullptr ? items[col] : nullptr;
  if (item == nullptr) return;

  auto style = static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE));
  auto listExStyle = static_cast<DWORD>(SendMessageW(Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  CellPaint cell{};
  cell.hdc = draw.nmcd.hdc;
  cell.rect = CellRect(row, col, appendRow);
  cell.item = item;
  cell.state = CellState(*item, row, col);
  cell.inSelectedRow = row == selRow;
  cell.selectedCell = row == selRow && col == selCol;
  cell.gridDisabled = (style & WS_DISABLED) != 0;
  bool showSelectionAlways = (style & LVS_SHOWSELALWAYS) != 0;
  // GetFocus asks the server; only the selected row of a grid that hides its selection needs it.
  bool gridHasFocus = row == selRow && !showSelectionAlways && GetFocus() == Handle();
  cell.focusFrame = HasFocusFrame({.gridHasFocus = gridHasFocus,
                                   .itemHasFocusState = (draw.nmcd.uItemState & CDIS_FOCUS) != 0,
                                   .showSelectionAlways = showSelectionAlways,
                                   .row = row,
                                   .col = col,
                                   .selRow = selRow,
                                   .selCol = selCol,
                                   .appendRow = appendRow,
                                   .editRow = editRow,
                                   .editCol = editCol});
  cell.listGridLines = (listExStyle & LVS_EX_GRIDLINES) != 0;
  GridPainter::PaintCell(drawInfo, cell);
}

UINT PropertyGrid::CellState(const PropertyItem& item, int row, int col) const {
  UINT state = 0;
  if (row == selRow && col == selCol) state |= GRID_STATE_SELECTED;
  if (row == editRow && col == editCol) state |= GRID_STATE_EDITING;
  if (!item.IsEnabled()) state |= GRID_STATE_DISABLED;
  return state;
}

bool PropertyGrid::IsAppendRowIndex(int row) const { return IsAppendRow(row, ItemCount(), HasAppendRow()); }

int PropertyGrid::ItemCount() const {
  return static_cast<int>(SendMessageW(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

int PropertyGrid::SelectedListRow() const {
  return static_cast<int>(SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void PropertyGrid::RepaintCell(int row, int col, bool erase) {
  if (row < 0 || col < 0) return;
  RECT cell = GetCellRect(row, col);
  InvalidateRect(Handle(), &cell, erase);
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
  int candidate = -1;
  while ((candidate = static_cast<int>(
              SendMessageW(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(candidate), LVNI_ALL))) != -1) {
    if (findInRow(candidate)) return true;
  }
  return false;
}
