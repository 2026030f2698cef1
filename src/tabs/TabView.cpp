#include "tabs/TabView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <string>
#include <vector>

#include "tabs/PageIndexes.h"
#include "tabs/TabItem.h"
#include "tabs/TabText.h"
#include "tabs/WindowList.h"
#include "win/Reflection.h"

namespace {

// The request a message loop sends the active page so that it may take a queued message
// before dispatch; pages that have nothing to take answer 0.
constexpr UINT kForwardMessage = 0x037F;

// Painted when the thread next goes idle, once, however many changes asked for it.
constexpr UINT kRedrawEverything = RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME;

}  // namespace

TabView::~TabView() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

const WindowClass* TabView::Class() {
  return RegisterWindowClass(L"Sonarwick_TabView", [](WNDCLASSEXW& wc) {
    wc.style = 0;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  });
}

// ---- messages of the container ----

bool TabView::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      OnCreate();
      m.result = 0;
      return true;
    case WM_DESTROY:
      RemoveAllPages();
      return false;
    case WM_SIZE:
      LayoutPages();
      m.result = 0;
      return true;
    case WM_SETFOCUS:
      OnSetFocus();
      m.result = 0;
      return true;
    case WM_NOTIFY:
      if (OnNotify(m)) return true;
      break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_FONTCHANGE:
      OnSettingsChanged(m);
      return Window::HandleMessage(m);
    default:
      break;
  }
  // Commands, notifications and control messages of the pages belong to the frame.
  if (IsReflectable(m.msg)) {
    m.result = PassToParent(m);
    return true;
  }
  return Window::HandleMessage(m);
}

void TabView::OnCreate() {
  if (!tabStrip.Create(Handle(), sizeof(TabPage))) return;
  tabHeight = tabStrip.MeasureHeight();
}

// The strip and every page hear of the change; the pages move only when the strip's height
// changed, and everything is painted once, later.
void TabView::OnSettingsChanged(const Message& m) {
  HWND strip = tabStrip.Handle();
  if (strip == nullptr) return;
  // The strip and the pages repaint what the change touched in them (with drawing held off
  // here, what they ask for would be dropped); only a new strip height moves everything.
  SendMessageW(strip, m.msg, m.wParam, m.lParam);
  for (int index = 0; index < GetPageCount(); ++index)
    SendMessageW(GetPageWindow(index), m.msg, m.wParam, m.lParam);
  const int oldHeight = tabHeight;
  tabHeight = tabStrip.MeasureHeight();
  if (tabHeight == oldHeight) return;
  SetRedraw(false);
  LayoutPages();
  RedrawAll();
  SetRedraw(true);
}

void TabView::OnSetFocus() {
  if (activePage != -1) SetFocus(GetPageWindow(activePage));
}

bool TabView::OnNotify(Message& m) {
  // A page's own painting and selection notices go straight back to it.
  if (ReflectToOwningControl(m)) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(m.lParam);
  HWND strip = tabStrip.Handle();
  if (strip != nullptr && header->hwndFrom == strip && header->idFrom == TAB_STRIP_ID) {
    if (header->code == TCN_SELCHANGE) {
      int selected = TabCtrl_GetCurSel(strip);
      if (selected != -1) {
        // A strip that has the focus keeps it, so arrow keys can go on switching tabs.
        ShowPage(selected, GetFocus() != strip);
        NotifyPageActivated();
      }
    }
    m.result = 0;
    return true;
  }
  if (strip != nullptr && header->code == TTN_GETDISPINFOW &&
      header->hwndFrom == TabCtrl_GetToolTips(strip)) {
    // The tooltip shows the full title, which the tab itself may show shortened.
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(m.lParam);
    info->lpszText = const_cast<wchar_t*>(GetPageTitle(static_cast<int>(header->idFrom)));
    m.result = 0;
    return true;
  }
  return false;
}

LRESULT TabView::PassToParent(const Message& m) {
  return SendMessageW(GetParent(m.hwnd), m.msg, m.wParam, m.lParam);
}

// ---- pages ----

int TabView::GetPageCount() const {
  if (tabStrip.Handle() == nullptr) return 0;
  return TabCtrl_GetItemCount(tabStrip.Handle());
}

bool TabView::ReadPage(int index, TabPage& page) const {
  if (index < 0 || index >= GetPageCount()) return false;
  TabItem item{};
  item.header.mask = TCIF_PARAM;
  if (!SendMessageW(tabStrip.Handle(), TCM_GETITEMW, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&item))) {
    return false;
  }
  page = item.page;
  return true;
}

HWND TabView::GetPageWindow(int index) const {
  TabPage page{};
  return ReadPage(index, page) ? page.window : nullptr;
}

const wchar_t* TabView::GetPageTitle(int index) const {
  TabPage page{};
  return ReadPage(index, page) ? page.title : nullptr;
}

void* TabView::GetPageData(int index) const {
  TabPage page{};
  return ReadPage(index, page) ? page.data : nullptr;
}

bool TabView::AddPage(HWND window, const wchar_t* title, int image, void* data) {
  return InsertPage(GetPageCount(), window, title, image, data);
}

bool TabView::InsertPage(int index, HWND window, const wchar_t* title, int image, void* data) {
  if (tabStrip.Handle() == nullptr) return false;
  wchar_t* copy = CopyTitle(title);
  if (copy == nullptr) return false;
  wchar_t text[tabTextRoom];
  ClipTabText(copy, text, tabTextMax + 1);

  SetRedraw(false);
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.header.pszText = text;
  item.header.iImage = image;
  item.page = TabPage{window, copy, data, false};
  int inserted = static_cast<int>(SendMessageW(tabStrip.Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(&item)));
  if (inserted == -1) {
    FreeTitle(copy);
    SetRedraw(true);
    return false;
  }
  // The page shown so far may have moved one place to the right; it must be the one hidden.
  activePage = IndexAfterInsert(activePage, inserted);
  SetActivePage(inserted);
  NotifyPageActivated();
  if (GetPageCount() == 1) ShowWindow(tabStrip.Handle(), SW_SHOWNOACTIVATE);
  LayoutPages();
  SetRedraw(true);
  RedrawAll();
  return true;
}

void TabView::SetActivePage(int index) { ShowPage(index, true); }

void TabView::ShowPage(int index, bool focusPage) {
  SetRedraw(false);
  if (activePage != -1) ShowWindow(GetPageWindow(activePage), SW_HIDE);
  activePage = index;
  TabCtrl_SetCurSel(tabStrip.Handle(), index);
  HWND window = GetPageWindow(index);
  ShowWindow(window, SW_SHOWNORMAL);
  LayoutPages();
  SetRedraw(true);
  RedrawAll();
  if (focusPage) SetFocus(window);
  RebuildWindowList();
}

void TabView::RemovePage(int index) {
  TabPage page{};
  if (!ReadPage(index, page)) return;
  SetRedraw(false);
  int count = GetPageCount();
  if (count == 1) ShowWindow(tabStrip.Handle(), SW_HIDE);
  int next = ActiveAfterRemoval(index, activePage, count - 1);
  // From here on no page counts as shown: the focus must not be passed to a dying window.
  activePage = -1;
  DestroyWindow(page.window);
  FreeTitle(page.title);
  TabCtrl_DeleteItem(tabStrip.Handle(), index);
  if (next != -1) {
    SetActivePage(next);
    SetRedraw(true);
  } else {
    SetRedraw(true);
    RedrawEmpty();
    RebuildWindowList();
    KeepFocusOnScreen();
  }
  NotifyPageActivated();
}

// With the last page gone the focus would be left on nothing (its window destroyed) or on the
// hidden strip; the container holds it instead, so the frame's keys still arrive.
void TabView::KeepFocusOnScreen() {
  // A frame in the background must not be brought forward by taking the focus.
  if (GetActiveWindow() != GetAncestor(Handle(), GA_ROOT)) return;
  HWND focus = GetFocus();
  if (focus == nullptr || focus == tabStrip.Handle() || !IsWindowVisible(focus)) SetFocus(Handle());
}

void TabView::RemoveAllPages() {
  int count = GetPageCount();
  if (count == 0) return;
  SetRedraw(false);
  ShowWindow(tabStrip.Handle(), SW_HIDE);
  activePage = -1;
  for (int index = 0; index < count; ++index) {
    TabPage page{};
    if (!ReadPage(index, page)) continue;
    DestroyWindow(page.window);
    FreeTitle(page.title);
  }
  TabCtrl_DeleteAllItems(tabStrip.Handle());
  NotifyPageActivated();
  SetRedraw(true);
  RedrawEmpty();
  RebuildWindowList();
  if (IsWindowVisible(Handle())) KeepFocusOnScreen();
}

bool TabView::MovePage(int from, int to) {
  int count = GetPageCount();
  if (from < 0 || from >= count || to < 0 || to >= count) return false;
  if (from == to) return true;
  wchar_t text[tabTextRoom]{};
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.header.pszText = text;
  item.header.cchTextMax = tabTextRoom;
  HWND strip = tabStrip.Handle();
  if (!SendMessageW(strip, TCM_GETITEMW, static_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&item)))
    return false;
  int target = MoveInsertIndex(from, to);
  int inserted = static_cast<int>(
      SendMessageW(strip, TCM_INSERTITEMW, static_cast<WPARAM>(target), reinterpret_cast<LPARAM>(&item)));
  if (inserted != target) {
    if (inserted != -1) TabCtrl_DeleteItem(strip, inserted);
    return false;
  }
  TabCtrl_DeleteItem(strip, MoveDeleteIndex(from, to));
  // Keep naming the page that is on screen, so that it is the one hidden.
  activePage = IndexAfterMove(activePage, from, to);
  SetActivePage(to);
  NotifyPageActivated();
  return true;
}

RECT TabView::PageArea() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  client.top = std::min(client.bottom, client.top + tabHeight);
  return client;
}

void TabView::LayoutPages() {
  RECT client{};
  GetClientRect(Handle(), &client);
  int width = client.right - client.left, height = client.bottom - client.top;
  HWND strip = tabStrip.Handle();
  if (strip != nullptr && (GetWindowLongPtrW(strip, GWL_STYLE) & WS_VISIBLE) != 0) {
    SetWindowPos(strip, nullptr, 0, 0, width, tabHeight, SWP_NOZORDER);
  }
  if (activePage != -1) {
    SetWindowPos(GetPageWindow(activePage), nullptr, 0, tabHeight, width, height - tabHeight, SWP_NOZORDER);
  }
}

void TabView::SetStripFont(HFONT font) {
  HWND strip = tabStrip.Handle();
  if (strip == nullptr) return;
  if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(strip, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  tabHeight = tabStrip.MeasureHeight();
  LayoutPages();
  RedrawAll();
}

// WM_SETREDRAW does not nest: a page shown inside an insertion would turn drawing back on
// half-way through. Only the outermost scope switches it, and repaints what was asked for.
void TabView::SetRedraw(bool on) {
  if (!on) {
    if (redrawOffCount++ == 0) SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    return;
  }
  if (redrawOffCount == 0 || --redrawOffCount > 0) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  if (redrawPending) RedrawAll();
}

void TabView::RedrawAll() {
  redrawPending = redrawOffCount > 0;
  if (!redrawPending) RedrawWindow(Handle(), nullptr, nullptr, kRedrawEverything);
}

void TabView::RedrawEmpty() { InvalidateRect(Handle(), nullptr, TRUE); }

void TabView::NotifyPageActivated() {
  NMHDR header{Handle(), static_cast<UINT_PTR>(static_cast<INT_PTR>(activePage)), TABVIEW_PAGEACTIVATED};
  SendMessageW(GetParent(Handle()), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(Handle())),
               reinterpret_cast<LPARAM>(&header));
}

void TabView::ShowTabContextMenu(int page, POINT screen) {
  TabContextMenuInfo info{};
  info.header = NMHDR{Handle(), static_cast<UINT_PTR>(static_cast<INT_PTR>(page)), TABVIEW_CONTEXTMENU};
  info.point = screen;
  SendMessageW(GetParent(Handle()), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(Handle())),
               reinterpret_cast<LPARAM>(&info));
}

bool TabView::TranslatePageKeys(const MSG* msg) {
  if (Handle() == nullptr || !IsWindow(Handle())) return false;
  int count = GetPageCount();
  if (count > 0 && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    if (count == 1) return true;
    SetActivePage(NextPageIndex(activePage, count, GetKeyState(VK_SHIFT) < 0));
    NotifyPageActivated();
    return true;
  }
  if (tabStrip.TranslateDragKeys(msg)) return true;
  if (activePage == -1) return false;
  return SendMessageW(GetPageWindow(activePage), kForwardMessage, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}
