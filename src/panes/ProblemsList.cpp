#include "panes/ProblemsList.h"

#include <commctrl.h>

#include "resources/ResourceIds.h"
#include "win/Dpi.h"

namespace {

// Column widths at 96 DPI, in the order of ProblemsPaneColumn.
constexpr int kColumnWidths[] = {26, 140, 44, 130, 520};
constexpr UINT kColumnCaptions[] = {0, STR_PROBLEMS_DOCUMENT, STR_PROBLEMS_ENTRY, STR_PROBLEMS_COLUMN,
                                    STR_PROBLEMS_DESCRIPTION};
static_assert(std::size(kColumnWidths) == static_cast<std::size_t>(ProblemsPaneColumn::Count));

std::wstring ResourceText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

bool ControlDown() { return GetKeyState(VK_CONTROL) < 0; }
bool ShiftDown() { return GetKeyState(VK_SHIFT) < 0; }

// A system icon drawn for `size` from its largest picture, so it stays crisp at any scale. The
// common controls' function for that is looked up, since import libraries may lack it; where it
// is missing, the icon comes stretched from the nearest size.
HICON LoadSystemIcon(const wchar_t* name, int size) {
  using LoadScaledDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  HICON icon = nullptr;
  if (HMODULE controls = GetModuleHandleW(L"comctl32.dll")) {
    const auto load = reinterpret_cast<LoadScaledDown>(
        reinterpret_cast<void*>(GetProcAddress(controls, "LoadIconWithScaleDown")));
    if (load != nullptr && SUCCEEDED(load(nullptr, name, size, size, &icon))) return icon;
  }
  return static_cast<HICON>(LoadImageW(nullptr, name, IMAGE_ICON, size, size, 0));
}

// The system's own error and warning icons, at the size small icons have at `dpi`.
UniqueImageList SeverityIcons(UINT dpi) {
  const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
  UniqueImageList icons(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 0));
  for (const wchar_t* name : {IDI_ERROR, IDI_WARNING}) {
    HICON loaded = LoadSystemIcon(name, size);
    UniqueIcon icon(loaded);
    ImageList_AddIcon(icons.get(), icon.get());
  }
  return icons;
}

}  // namespace

bool ProblemsList::Create(HWND pane) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, pane, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (list == nullptr || !Subclass(list)) return false;
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  AddColumns();
  ApplyDpi(WindowDpi(pane));
  return true;
}

void ProblemsList::AddColumns() {
  for (int column = 0; column < static_cast<int>(ProblemsPaneColumn::Count); ++column) {
    std::wstring caption = kColumnCaptions[column] != 0 ? ResourceText(kColumnCaptions[column]) : std::wstring();
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    item.fmt = column == static_cast<int>(ProblemsPaneColumn::Entry) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    item.cx = kColumnWidths[column];
    item.pszText = caption.data();
    item.iSubItem = column;
    ListView_InsertColumn(Handle(), column, &item);
  }
}

void ProblemsList::ApplyDpi(UINT dpi) {
  if (dpi == dpi_) return;
  severityIcons_ = SeverityIcons(dpi);
  ListView_SetImageList(Handle(), severityIcons_.get(), LVSIL_SMALL);
  // Widths the user dragged keep their share of the width at the new scale.
  for (int column = 0; column < static_cast<int>(ProblemsPaneColumn::Count); ++column) {
    const int width = dpi_ == 0 ? ScaleForDpi(kColumnWidths[column], dpi)
                                : MulDiv(ListView_GetColumnWidth(Handle(), column), static_cast<int>(dpi),
                                         static_cast<int>(dpi_));
    ListView_SetColumnWidth(Handle(), column, width);
  }
  dpi_ = dpi;
}

void ProblemsList::ShowSortArrow(ProblemsPaneColumn sorted, bool ascending) {
  HWND header = ListView_GetHeader(Handle());
  for (int column = 0; column < static_cast<int>(ProblemsPaneColumn::Count); ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, column, &item);
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == static_cast<int>(sorted)) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    Header_SetItem(header, column, &item);
  }
}

void ProblemsList::FillWidth() {
  ListView_SetColumnWidth(Handle(), static_cast<int>(ProblemsPaneColumn::Description), LVSCW_AUTOSIZE_USEHEADER);
}

int ProblemsList::FocusedRow() const { return ListView_GetNextItem(Handle(), -1, LVNI_FOCUSED); }

std::vector<int> ProblemsList::SelectedRows() const {
  std::vector<int> rows;
  for (int row = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); row != -1;
       row = ListView_GetNextItem(Handle(), row, LVNI_SELECTED)) {
    rows.push_back(row);
  }
  return rows;
}

int ProblemsList::TopRow() const { return ListView_GetTopIndex(Handle()); }

void ProblemsList::SetRowState(int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void ProblemsList::ShowRows(int count, const std::vector<int>& selected, int focused, int top) {
  SetRowState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(Handle(), count, LVSICF_NOSCROLL);
  for (int row : selected) SetRowState(row, LVIS_SELECTED, LVIS_SELECTED);
  if (focused != -1) {
    SetRowState(focused, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_SetSelectionMark(Handle(), focused);
  }
  if (top < 0) {
    if (focused != -1) ListView_EnsureVisible(Handle(), focused, FALSE);
    return;
  }
  RECT first{};
  if (count == 0 || !ListView_GetItemRect(Handle(), 0, &first, LVIR_BOUNDS)) return;
  const int shift = top - TopRow();
  if (shift != 0) ListView_Scroll(Handle(), 0, shift * (first.bottom - first.top));
}

void ProblemsList::SelectAll() { SetRowState(-1, LVIS_SELECTED, LVIS_SELECTED); }

bool ProblemsList::OnKeyDown(WPARAM key) {
  if (ControlDown() && key == 'A') {
    keys_.SelectAllProblems();
  } else if (ControlDown() && (key == 'C' || key == VK_INSERT)) {
    keys_.CopySelectedProblems();
  } else if (ControlDown() && key == VK_OEM_PERIOD) {
    keys_.RequestFocusedFix();
  } else if (key == VK_F10 && ShiftDown()) {
    menuKeyDown_ = key;
    keys_.OpenContextMenuAtFocus();
  } else {
    return false;
  }
  return true;
}

bool ProblemsList::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (!OnKeyDown(m.wParam)) break;
      m.result = 0;
      return true;
    // The menu keys open the menu as they go down; their going up must not open it a second
    // time (nor F10's open the menu bar), whichever of Shift and F10 is let go first.
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (m.wParam != menuKeyDown_) break;
      menuKeyDown_ = 0;
      m.result = 0;
      return true;
    // Ctrl+letter also types a control character, which the list would search its rows for.
    case WM_CHAR:
      if (m.wParam >= L' ' || !ControlDown()) break;
      m.result = 0;
      return true;
    default:
      break;
  }
  return Window::HandleMessage(m);
}
