#include "panes/ProblemsPane.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>
#include <optional>

#include "resources/ResourceIds.h"
#include "panes/ProblemsPaneMessages.h"
#include "win/Dpi.h"

namespace {

// Sent to child windows after their parent moved to a monitor of another scale (Windows 10).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The context menu's commands.
enum PaneCommand : UINT { kCommandGoTo = 1, kCommandCopy, kCommandFix };

std::wstring ResourceText(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

// The problems' sentences speak the language the rest of the interface does.
ProblemLanguage ResourceLanguage() {
  return ResourceText(STR_INTERFACE_LANGUAGE) == L"ru" ? ProblemLanguage::Russian : ProblemLanguage::English;
}

UINT FixCaption(QuickFixKind fix) {
  switch (fix) {
    case QuickFixKind::SwapRepeats:
      return STR_FIX_SWAP_REPEATS;
    case QuickFixKind::PickFile:
      return STR_FIX_PICK_FILE;
    case QuickFixKind::DropDriveLetter:
      return STR_FIX_DROP_DRIVE_LETTER;
    case QuickFixKind::DropLeadingSlash:
      return STR_FIX_DROP_LEADING_SLASH;
    case QuickFixKind::None:
      break;
  }
  return 0;
}

bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
  if (!OpenClipboard(owner)) return false;
  bool stored = false;
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = EmptyClipboard() ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      stored = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!stored) GlobalFree(memory);  // the clipboard owns the block only once it took it
  }
  CloseClipboard();
  return stored;
}

// Where each problem stands among the rows: the inverse of the rows' order.
std::vector<int> RowsOf(const std::vector<int>& order) {
  std::vector<int> rows(order.size());
  for (std::size_t row = 0; row < order.size(); ++row) rows[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
  return rows;
}

}  // namespace

bool ProblemsPane::Create(HWND parent, const RECT& rect, UINT id) {
  const WindowClass* windowClass = RegisterWindowClass(L"Sonarwick_ProblemsPane");
  if (windowClass == nullptr) return false;
  if (Window::Create(windowClass, parent, rect, L"", WS_CHILD | WS_CLIPCHILDREN, 0,
                     reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))) == nullptr) {
    return false;
  }
  language_ = ResourceLanguage();
  if (!list_.Create(Handle())) return false;
  baseFont_ = reinterpret_cast<HFONT>(SendMessageW(list_.Handle(), WM_GETFONT, 0, 0));
  SetDpi(WindowDpi(Handle()));
  return true;
}

bool ProblemsPane::SetProblems(std::vector<PaneProblem> problems) {
  if (SamePaneProblems(problems, problems_)) return false;
  // What the user had in view and in hand, by problem, to find again among the new ones.
  const auto placeOf = [this](int row) {
    const PaneProblem* problem = RowProblem(row);
    return problem != nullptr ? std::optional<ProblemPlace>(PlaceOf(*problem)) : std::nullopt;
  };
  std::vector<ProblemPlace> selected;
  for (int row : list_.SelectedRows())
    if (const auto place = placeOf(row)) selected.push_back(*place);
  const std::optional<ProblemPlace> focused = placeOf(list_.FocusedRow());
  const std::optional<ProblemPlace> top = placeOf(list_.TopRow());

  problems_ = std::move(problems);
  sentences_.clear();
  for (const PaneProblem& row : problems_) sentences_.push_back(DescribeProblem(row.problem, language_));
  Reorder();

  std::map<ProblemPlace, int> rows;
  for (std::size_t row = 0; row < order_.size(); ++row) rows.emplace(PlaceOf(problems_[order_[row]]), static_cast<int>(row));
  const auto findRow = [&rows](const std::optional<ProblemPlace>& wanted) {
    const auto found = wanted ? rows.find(*wanted) : rows.end();
    return found != rows.end() ? found->second : -1;
  };
  std::vector<int> selectedRows;
  for (const ProblemPlace& wanted : selected)
    if (const int row = findRow(wanted); row != -1) selectedRows.push_back(row);
  SendMessageW(list_.Handle(), WM_SETREDRAW, FALSE, 0);
  list_.ShowRows(static_cast<int>(order_.size()), selectedRows, findRow(focused), std::max(0, findRow(top)));
  SendMessageW(list_.Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_.Handle(), nullptr, TRUE);
  return true;
}

void ProblemsPane::SortBy(ProblemsPaneColumn column, bool ascending) {
  std::vector<int> selected;
  for (int row : list_.SelectedRows())
    if (static_cast<std::size_t>(row) < order_.size()) selected.push_back(order_[row]);
  const int focusedRow = list_.FocusedRow();
  const int focused = focusedRow >= 0 && static_cast<std::size_t>(focusedRow) < order_.size() ? order_[focusedRow] : -1;

  sortColumn_ = column;
  ascending_ = ascending;
  Reorder();

  const std::vector<int> rows = RowsOf(order_);
  std::vector<int> selectedRows;
  for (int index : selected)
    if (static_cast<std::size_t>(index) < rows.size()) selectedRows.push_back(rows[index]);
  list_.ShowRows(static_cast<int>(order_.size()), selectedRows, focused >= 0 ? rows[focused] : -1, -1);
  InvalidateRect(list_.Handle(), nullptr, TRUE);
}

void ProblemsPane::Reorder() {
  order_.resize(problems_.size());
  std::iota(order_.begin(), order_.end(), 0);
  // Stable over the parent's order, which ties then follow whichever way the column sorts.
  if (sortColumn_ != ProblemsPaneColumn::Count) {
    std::stable_sort(order_.begin(), order_.end(), [this](int left, int right) {
      const int result =
          CompareRows(problems_[left], problems_[right], sentences_[left], sentences_[right], sortColumn_);
      return ascending_ ? result < 0 : result > 0;
    });
  }
  list_.ShowSortArrow(sortColumn_, ascending_);
}

const PaneProblem* ProblemsPane::RowProblem(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= order_.size()) return nullptr;
  return &problems_[order_[row]];
}

UniqueMenu ProblemsPane::BuildContextMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  const PaneProblem* focused = RowProblem(list_.FocusedRow());
  const UINT goToState = focused != nullptr ? MF_ENABLED : MF_GRAYED;
  const UINT copyState = list_.SelectedRows().empty() ? MF_GRAYED : MF_ENABLED;
  AppendMenuW(menu.get(), MF_STRING | goToState, kCommandGoTo, ResourceText(STR_PROBLEMS_GOTO).c_str());
  AppendMenuW(menu.get(), MF_STRING | copyState, kCommandCopy, ResourceText(STR_PROBLEMS_COPY).c_str());
  if (focused != nullptr && focused->fix != QuickFixKind::None) {
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kCommandFix, ResourceText(FixCaption(focused->fix)).c_str());
  }
  // Going to the problem is what a double-click does, so it is the menu's default.
  if (focused != nullptr) SetMenuDefaultItem(menu.get(), kCommandGoTo, FALSE);
  return menu;
}

bool ProblemsPane::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_SIZE:
      Arrange();
      break;
    case WM_SETFOCUS:
      SetFocus(list_.Handle());
      return true;
    case WM_SETFONT:
      SendMessageW(list_.Handle(), WM_SETFONT, m.wParam, m.lParam);
      baseFont_ = reinterpret_cast<HFONT>(m.wParam);
      scaledFont_.reset();  // only now that the list holds the new one
      return true;
    case WM_NOTIFY:
      if (OnNotify(*reinterpret_cast<const NMHDR*>(m.lParam), m.result)) return true;
      break;
    case WM_COMMAND:
      if (m.lParam == 0 && OnCommand(LOWORD(m.wParam))) return true;
      break;
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(m.wParam), m.lParam);
      return true;
    case kDpiChangedAfterParent:
      SetDpi(WindowDpi(Handle()));
      break;
    default:
      break;
  }
  return Window::HandleMessage(m);
}

void ProblemsPane::SetDpi(UINT dpi) {
  UniqueFont font = FontForDpi(baseFont_, dpi);
  if (font || scaledFont_) {
    SendMessageW(list_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font ? font.get() : baseFont_), TRUE);
  }
  scaledFont_ = std::move(font);  // after the list let go of the font it replaces
  list_.ApplyDpi(dpi);
  Arrange();
}

void ProblemsPane::Arrange() {
  RECT client{};
  GetClientRect(Handle(), &client);
  MoveWindow(list_.Handle(), 0, 0, client.right, client.bottom, TRUE);
  list_.FillWidth();
}

bool ProblemsPane::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != list_.Handle()) return false;
  result = 0;
  switch (header.code) {
    case LVN_GETDISPINFOW:
      OnGetDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
      return true;
    case LVN_COLUMNCLICK:
      OnColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return true;
    case NM_DBLCLK:
      if (const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem; row >= 0) {
        Notify(PROBLEMSN_GOTO, row, QuickFixKind::None);
      }
      return true;
    case NM_RETURN:
      Notify(PROBLEMSN_GOTO, list_.FocusedRow(), QuickFixKind::None);
      return true;
    case LVN_ODFINDITEMW:
      result = -1;  // rows are not found by typing: their first column is an icon
      return true;
    default:
      return false;
  }
}

void ProblemsPane::OnGetDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  const PaneProblem* row = RowProblem(item.iItem);
  if (row == nullptr) return;
  if ((item.mask & LVIF_IMAGE) != 0 && item.iSubItem == 0) {
    item.iImage = row->problem.severity == ProblemSeverity::Error ? 0 : 1;
  }
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::size_t index = static_cast<std::size_t>(order_[item.iItem]);
    const std::wstring text =
        RowText(*row, sentences_[index], static_cast<ProblemsPaneColumn>(item.iSubItem), language_);
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
  }
}

void ProblemsPane::OnColumnClick(int column) {
  if (column < 0 || column >= static_cast<int>(ProblemsPaneColumn::Count)) return;
  const auto clicked = static_cast<ProblemsPaneColumn>(column);
  SortBy(clicked, clicked == sortColumn_ ? !ascending_ : true);
}

bool ProblemsPane::OnCommand(UINT command) {
  switch (command) {
    case kCommandGoTo:
      Notify(PROBLEMSN_GOTO, list_.FocusedRow(), QuickFixKind::None);
      return true;
    case kCommandCopy:
      CopySelectedProblems();
      return true;
    case kCommandFix:
      RequestFocusedFix();
      return true;
    default:
      return false;
  }
}

void ProblemsPane::OnContextMenu(HWND from, LPARAM position) {
  if (from != list_.Handle()) return;  // the header's menu, if any, is not ours to give
  if (position == -1) return OpenContextMenuAtFocus();
  ShowMenuAt(POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)});
}

void ProblemsPane::SelectAllProblems() { list_.SelectAll(); }

void ProblemsPane::CopySelectedProblems() {
  std::vector<const PaneProblem*> rows;
  for (int row : list_.SelectedRows())
    if (const PaneProblem* problem = RowProblem(row)) rows.push_back(problem);
  if (rows.empty()) return;
  PutTextOnClipboard(Handle(), ClipboardLines(rows, language_));
}

void ProblemsPane::RequestFocusedFix() {
  const int row = list_.FocusedRow();
  const PaneProblem* problem = RowProblem(row);
  // Asked for with none to give, the parent still hears of it: it says so, where a silent key
  // would leave the user wondering.
  if (problem == nullptr) return;
  Notify(PROBLEMSN_QUICKFIX, row, problem->fix);
}

void ProblemsPane::OpenContextMenuAtFocus() {
  POINT point{0, 0};
  RECT row{};
  const int focused = list_.FocusedRow();
  if (focused != -1 && ListView_GetItemRect(list_.Handle(), focused, &row, LVIR_LABEL)) {
    point = POINT{row.left, row.bottom};
  }
  ClientToScreen(list_.Handle(), &point);
  ShowMenuAt(point);
}

void ProblemsPane::ShowMenuAt(POINT screen) {
  UniqueMenu menu = BuildContextMenu();
  const UINT command =
      menuTracker_ ? menuTracker_(menu.get(), screen)
                   : static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y,
                                                      0, Handle(), nullptr));
  if (command != 0) OnCommand(command);
}

void ProblemsPane::Notify(int code, int row, QuickFixKind fix) {
  const PaneProblem* problem = RowProblem(row);
  if (problem == nullptr) return;
  NMPROBLEM notice{};
  notice.hdr.hwndFrom = Handle();
  notice.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Handle()));
  notice.hdr.code = static_cast<UINT>(code);
  notice.document = problem->document;
  notice.entry = problem->problem.entry;
  notice.column = problem->problem.column;
  notice.problem = &problem->problem;
  notice.fix = fix;
  SendMessageW(GetParent(Handle()), WM_NOTIFY, notice.hdr.idFrom, reinterpret_cast<LPARAM>(&notice));
}
