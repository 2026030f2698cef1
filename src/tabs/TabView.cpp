#include "tabs/TabView.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstddef>
#include <vector>

#include "tabs/DragGeometry.h"
#include "tabs/PageIndexes.h"
#include "tabs/TabText.h"
#include "tabs/WindowList.h"
#include "win/DeviceContext.h"

namespace {

// A tab item as the strip stores it once it keeps a TabPage in place of the single
// parameter value: the item header followed directly by the record.
struct TabItem {
  TCITEMHEADERW header;
  TabPage page;
};
static_assert(offsetof(TabItem, page) == offsetof(TCITEMW, lParam),
              "the record must sit where the strip expects the item data");

// The request a message loop sends the active page so that it may take a queued message
// before dispatch; pages that have nothing to take answer 0.
constexpr UINT kForwardMessage = 0x037F;

constexpr DWORD kStripStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TCS_TOOLTIPS;
constexpr UINT kRedrawEverything = RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME;
constexpr COLORREF kDragMaskColour = RGB(255, 0, 255);

POINT PointFrom(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

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
  HWND strip = CreateWindowExW(0, WC_TABCONTROLW, nullptr, kStripStyle, 0, 0, 0, 0, Handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(TAB_STRIP_ID)),
                               GetModuleHandleW(nullptr), nullptr);
  if (strip == nullptr) return;
  tabStrip.Subclass(strip);
  SendMessageW(strip, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SendMessageW(strip, TCM_SETITEMEXTRA, sizeof(TabPage), 0);
  tabHeight = MeasureStripHeight();
}

int TabView::MeasureStripHeight() {
  HWND strip = tabStrip.Handle();
  wchar_t probeText[] = L"NS";
  TCITEMW probe{};
  probe.mask = TCIF_TEXT;
  probe.pszText = probeText;
  int probeIndex = TabCtrl_InsertItem(strip, TabCtrl_GetItemCount(strip), &probe);
  RECT display{0, 0, 1000, 1000};
  TabCtrl_AdjustRect(strip, FALSE, &display);
  RECT band{0, 0, 1000, display.top};
  AdjustWindowRectEx(&band, static_cast<DWORD>(GetWindowLongPtrW(strip, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(strip, GWL_EXSTYLE)));
  if (probeIndex != -1) TabCtrl_DeleteItem(strip, probeIndex);
  return band.bottom - band.top;
}

// The strip and every page hear of the change; the strip's band may need another height.
void TabView::OnSettingsChanged(const Message& m) {
  HWND strip = tabStrip.Handle();
  if (strip == nullptr) return;
  SendMessageW(strip, m.msg, m.wParam, m.lParam);
  for (int index = 0; index < GetPageCount(); ++index)
    SendMessageW(GetPageWindow(index), m.msg, m.wParam, m.lParam);
  SetRedraw(false);
  tabHeight = MeasureStripHeight();
  LayoutPages();
  SetRedraw(true);
  RedrawAll();
}

void TabView::OnSetFocus() {
  if (activePage != -1) SetFocus(GetPageWindow(activePage));
}

bool TabView::OnNotify(Message& m) {
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
  wchar_t text[tabTextMax + 1];
  ClipTabText(copy, text, tabTextMax + 1);

  SetRedraw(false);
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.header.pszText = text;
  item.header.iImage = image;
  item.page = TabPage{window, copy, data};
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

bool TabView::SetPageTitle(int index, const wchar_t* title) {
  wchar_t* copy = CopyTitle(title);
  if (copy == nullptr) return false;
  TabPage old{};
  if (!ReadPage(index, old)) {
    FreeTitle(copy);
    return false;
  }
  wchar_t text[tabTextMax + 1];
  ClipTabText(copy, text, tabTextMax + 1);
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_PARAM;
  item.header.pszText = text;
  item.page = TabPage{old.window, copy, old.data};
  if (!SendMessageW(tabStrip.Handle(), TCM_SETITEMW, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&item))) {
    FreeTitle(copy);
    return false;
  }
  FreeTitle(old.title);
  RebuildWindowList();
  return true;
}

bool TabView::MovePage(int from, int to) {
  int count = GetPageCount();
  if (from < 0 || from >= count || to < 0 || to >= count) return false;
  if (from == to) return true;
  wchar_t text[tabTextMax + 1]{};
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
  item.header.pszText = text;
  item.header.cchTextMax = tabTextMax + 1;
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

void TabView::SetRedraw(bool on) { SendMessageW(Handle(), WM_SETREDRAW, on ? TRUE : FALSE, 0); }

void TabView::RedrawAll() { RedrawWindow(Handle(), nullptr, nullptr, kRedrawEverything); }

void TabView::RedrawEmpty() {
  InvalidateRect(Handle(), nullptr, TRUE);
  UpdateWindow(Handle());
}

void TabView::AttachWindowMenu(HMENU menu) {
  windowMenu = menu;
  if (windowMenu != nullptr) RebuildWindowList();
}

void TabView::RebuildWindowList() {
  if (windowMenu == nullptr) return;
  std::vector<const wchar_t*> titles;
  int count = GetPageCount();
  for (int index = 0; index < count; ++index) titles.push_back(GetPageTitle(index));
  ::RebuildWindowList(windowMenu, titles, activePage, menuEntriesMax);
}

void TabView::NotifyPageActivated() {
  NMHDR header{Handle(), static_cast<UINT_PTR>(static_cast<INT_PTR>(activePage)), TABVIEW_PAGEACTIVATED};
  SendMessageW(GetParent(Handle()), WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(Handle())),
               reinterpret_cast<LPARAM>(&header));
}

void TabView::NotifyContextMenu(int page, POINT point) {
  ClientToScreen(tabStrip.Handle(), &point);
  TabContextMenuInfo info{};
  info.header = NMHDR{Handle(), static_cast<UINT_PTR>(static_cast<INT_PTR>(page)), TABVIEW_CONTEXTMENU};
  info.point = point;
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
  if (capturing && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
    // Losing the capture is what ends a drag.
    ReleaseCapture();
    return true;
  }
  if (activePage == -1) return false;
  return SendMessageW(GetPageWindow(activePage), kForwardMessage, 0, reinterpret_cast<LPARAM>(msg)) != 0;
}

// ---- the strip: dragging and the context menu ----

bool TabView::HandleStripMessage(Message& m) {
  switch (m.msg) {
    case WM_LBUTTONDOWN:
      OnStripLButtonDown(PointFrom(m.lParam));
      return false;
    case WM_MOUSEMOVE:
      return OnStripMouseMove(PointFrom(m.lParam));
    case WM_LBUTTONUP:
      OnStripLButtonUp(PointFrom(m.lParam));
      return false;
    case WM_CAPTURECHANGED:
      OnStripCaptureChanged();
      return false;
    case WM_RBUTTONUP:
      OnStripRButtonUp(PointFrom(m.lParam));
      m.result = 0;
      return true;
    case WM_SYSKEYDOWN:
      if (!OnStripSysKeyDown(m.wParam)) return false;
      m.result = 0;
      return true;
    default:
      return false;
  }
}

int TabView::HitTestTab(POINT point) const {
  TCHITTESTINFO hit{};
  hit.pt = point;
  return TabCtrl_HitTest(tabStrip.Handle(), &hit);
}

void TabView::OnStripLButtonDown(POINT point) {
  if (GetPageCount() <= 1) return;
  capturing = true;
  SetCapture(tabStrip.Handle());
  dragStart = point;
}

bool TabView::OnStripMouseMove(POINT point) {
  if (!capturing) return false;
  if (!dragging &&
      DragDistanceReached(dragStart, point, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG))) {
    StartDrag();
  }
  if (!dragging) return false;
  TrackDrag(point);
  return true;
}

void TabView::StartDrag() {
  MakeDragImage(activePage);
  ImageList_BeginDrag(dragImage.get(), 0, -(GetSystemMetrics(SM_CXCURSOR) / 2),
                      -(GetSystemMetrics(SM_CYCURSOR) / 2));
  POINT start = dragStart;
  ClientToScreen(tabStrip.Handle(), &start);
  ImageList_DragEnter(GetDesktopWindow(), start.x, start.y);
  dragging = true;
}

void TabView::TrackDrag(POINT point) {
  int index = HitTestTab(point);
  SetCursor(LoadCursorW(nullptr, index != -1 ? IDC_ARROW : IDC_NO));
  if (index != insertMark) DrawInsertMark(index);
  ImageList_DragShowNolock(index != -1);
  POINT screen = point;
  ClientToScreen(tabStrip.Handle(), &screen);
  ImageList_DragMove(screen.x, screen.y);
}

void TabView::OnStripLButtonUp(POINT point) {
  if (!capturing) return;
  if (dragging) {
    int index = HitTestTab(point);
    if (index != -1) MovePage(activePage, index);
  }
  ReleaseCapture();
}

void TabView::OnStripCaptureChanged() {
  if (!capturing) return;
  capturing = false;
  if (!dragging) return;
  dragging = false;
  DrawInsertMark(-1);
  ImageList_DragLeave(GetDesktopWindow());
  ImageList_EndDrag();
  dragImage.reset();
}

void TabView::OnStripRButtonUp(POINT point) {
  int index = HitTestTab(point);
  if (index != -1) NotifyContextMenu(index, point);
}

bool TabView::OnStripSysKeyDown(WPARAM key) {
  if (key != VK_F10 || GetKeyState(VK_SHIFT) >= 0) return false;
  if (activePage == -1) return true;
  RECT tab{};
  TabCtrl_GetItemRect(tabStrip.Handle(), activePage, &tab);
  NotifyContextMenu(activePage, POINT{tab.left, tab.bottom});
  return true;
}

void TabView::MakeDragImage(int page) {
  RECT tab{};
  TabCtrl_GetItemRect(tabStrip.Handle(), page, &tab);
  RECT picture = DragPictureRect(tab);
  int width = picture.right - picture.left, height = picture.bottom - picture.top;
  dragImage.reset(ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 1, 1));
  WindowDcScope windowDc(Handle());
  UniqueMemoryDC memory(CreateCompatibleDC(windowDc.dc()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(windowDc.dc(), width, height));
  if (!dragImage || !memory || !bitmap) return;
  {
    SelectionScope selection(memory.get(), bitmap.get());
    SetViewportOrgEx(memory.get(), -picture.left, -picture.top, nullptr);
    SendMessageW(tabStrip.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), 0);
  }
  ImageList_AddMasked(dragImage.get(), bitmap.get(), kDragMaskColour);
}

RECT TabView::GetInsertMarkRect() const {
  RECT client{}, tab{};
  GetClientRect(tabStrip.Handle(), &client);
  TabCtrl_GetItemRect(tabStrip.Handle(), insertMark, &tab);
  return InsertMarkRect(client, tab, insertMark, activePage);
}

void TabView::DrawInsertMark(int index) {
  if (insertMark != -1) {
    RECT old = GetInsertMarkRect();
    InvalidateRect(tabStrip.Handle(), &old, TRUE);
  }
  insertMark = index;
  if (insertMark == -1) return;
  // Drawn straight onto the screen: the mark is a passing hint, not part of the strip's picture.
  WindowDcScope dc(tabStrip.Handle());
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  UniquePen pen(CreatePen(PS_SOLID, 1, colour));
  UniqueBrush brush(CreateSolidBrush(colour));
  SelectionScope penSelection(dc.dc(), pen.get());
  SelectionScope brushSelection(dc.dc(), brush.get());
  for (const Triangle& triangle : InsertMarkTriangles(GetInsertMarkRect())) {
    Polygon(dc.dc(), triangle.data(), static_cast<int>(triangle.size()));
  }
}
