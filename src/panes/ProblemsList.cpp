#include "panes/ProblemsList.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <numeric>

#include "resources/ResourceIds.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"

namespace {

// Column widths at 96 DPI, in the order of ProblemsPaneColumn.
constexpr int kColumnWidths[] = {26, 140, 44, 130, 520};
// A narrow list narrows its columns but for the sentences' to no less than this at 96 DPI.
constexpr int kLeastColumnWidth = 40;
constexpr UINT kColumnCaptions[] = {0, STR_PROBLEMS_DOCUMENT, STR_PROBLEMS_ENTRY, STR_PROBLEMS_COLUMN,
                                    STR_PROBLEMS_DESCRIPTION};
static_assert(std::size(kColumnWidths) == static_cast<std::size_t>(ProblemsPaneColumn::Count));

std::wstring ResourceText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                       : std::wstring();
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

std::vector<int> ProblemColumnWidths(const std::vector<int>& wanted, int room, int least) {
  std::vector<int> widths = wanted;
  if (widths.empty()) return widths;
  room = std::max(room, 0);
  const auto others = [&widths] { return std::accumulate(widths.begin(), widths.end() - 1, 0); };
  const int limit = room - (room + 1) / 2;  // what the others may take
  // Lower the widest of the others a step at a time to the next one's width, until they fit.
  while (others() > limit) {
    auto widest = std::max_element(widths.begin(), widths.end() - 1);
    if (*widest <= least) break;
    int next = least;
    for (auto column = widths.begin(); column != widths.end() - 1; ++column) {
      if (*column < *widest) next = std::max(next, *column);
    }
    const int count = static_cast<int>(std::count(widths.begin(), widths.end() - 1, *widest));
    const int excess = others() - limit;
    const int level = std::max(next, *widest - (excess + count - 1) / count);
    for (auto column = widths.begin(); column != widths.end() - 1; ++column) {
      if (*column > level) *column = level;
    }
  }
  widths.back() = std::max(0, room - others());
  return widths;
}

bool ProblemsList::Create(HWND pane) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, pane, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (list == nullptr || !Subclass(list)) return false;
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  AddColumns();
  ApplyDpi(WindowDpi(pane));
  return true;
}

void ProblemsList::AddColumns() {
  for (int column = 0; column < static_cast<int>(ProblemsPaneColumn::Count); ++column) {
    std::wstring caption =
        kColumnCaptions[column] != 0 ? ResourceText(kColumnCaptions[column]) : std::wstring();
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
  wanted_.resize(std::size(kColumnWidths));
  for (std::size_t column = 0; column < wanted_.size(); ++column) {
    wanted_[column] = dpi_ == 0 ? ScaleForDpi(kColumnWidths[column], dpi)
                                : MulDiv(wanted_[column], static_cast<int>(dpi), static_cast<int>(dpi_));
  }
  dpi_ = dpi;
  FillWidth();
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
  if (wanted_.empty()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const std::vector<int> widths =
      ProblemColumnWidths(wanted_, client.right, ScaleForDpi(kLeastColumnWidth, dpi_));
  for (std::size_t column = 0; column < widths.size(); ++column) {
    if (ListView_GetColumnWidth(Handle(), static_cast<int>(column)) != widths[column])
      ListView_SetColumnWidth(Handle(), static_cast<int>(column), widths[column]);
  }
}

void ProblemsList::TrackTip(LPARAM position) {
  if (cellTip_.Handle() == nullptr) cellTip_.Create(Handle());
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  const bool onCell = ListView_SubItemHitTest(Handle(), &hit) >= 0 && (hit.flags & LVHT_ONITEM) != 0 &&
                      hit.iSubItem > 0 && !TipText(hit.iItem, hit.iSubItem).empty();
  cellTip_.Track(onCell ? hit.iItem : -1, onCell ? hit.iSubItem : -1);
}

// The list asks the pane for a row's text as it draws it; the tip asks the same way.
std::wstring ProblemsList::TipText(int row, int column) const {
  if (row < 0 || column <= 0) return std::wstring();
  std::wstring text(1024, L'\0');
  ListView_GetItemText(Handle(), row, column, text.data(), static_cast<int>(text.size()));
  text.resize(wcsnlen(text.c_str(), text.size()));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(Handle(), WM_GETFONT, 0, 0));
  WindowDcScope dc(Handle());
  SelectionScope selection(dc.dc(), font);
  SIZE extent{};
  GetTextExtentPoint32W(dc.dc(), text.c_str(), static_cast<int>(text.size()), &extent);
  // The list insets a cell's text by about half a character on each side.
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc.dc(), &metrics);
  const bool fits = extent.cx + metrics.tmAveCharWidth <= ListView_GetColumnWidth(Handle(), column);
  return fits ? std::wstring() : text;
}

bool ProblemsList::OnNotify(NMHDR& header) {
  if (cellTip_.Handle() != nullptr && header.hwndFrom == cellTip_.Handle()) {
    if (header.code == TTN_GETDISPINFOW)
      cellTip_.SupplyText(&header, TipText(cellTip_.Row(), cellTip_.Col()));
    return true;
  }
  // A column the user dragged keeps that width when the list is next fitted to its pane.
  if (header.code == HDN_ENDTRACKW || header.code == HDN_ENDTRACKA) {
    const auto& change = reinterpret_cast<const NMHEADERW&>(header);
    if (change.pitem != nullptr && (change.pitem->mask & HDI_WIDTH) != 0 && change.iItem >= 0 &&
        change.iItem + 1 < static_cast<int>(wanted_.size()))
      wanted_[static_cast<std::size_t>(change.iItem)] = change.pitem->cxy;
  }
  return false;
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
  if (m.msg == WM_MOUSEMOVE) TrackTip(m.lParam);
  if (m.msg >= WM_MOUSEFIRST && m.msg <= WM_MOUSELAST && cellTip_.Handle() != nullptr)
    cellTip_.Relay(Handle(), m.msg, m.wParam, m.lParam);
  switch (m.msg) {
    case WM_NOTIFY:
      if (!OnNotify(*reinterpret_cast<NMHDR*>(m.lParam))) break;
      m.result = 0;
      return true;
    case WM_SIZE:
      // After the list has placed its header for the new size.
      m.result = CallDefault(m);
      FillWidth();
      return true;
    case WM_DESTROY:
      cellTip_.Destroy();
      break;
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
