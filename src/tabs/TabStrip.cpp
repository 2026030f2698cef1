#include "tabs/TabStrip.h"

#include <commctrl.h>
#include <windowsx.h>

#include "tabs/DragGeometry.h"
#include "tabs/TabViewIds.h"
#include "win/DeviceContext.h"

namespace {

constexpr DWORD kStripStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TCS_TOOLTIPS;
constexpr COLORREF kDragMaskColour = RGB(255, 0, 255);

POINT PointFrom(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

bool TabStrip::Create(HWND container, int itemExtra) {
  HWND strip = CreateWindowExW(0, WC_TABCONTROLW, nullptr, kStripStyle, 0, 0, 0, 0, container,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(TAB_STRIP_ID)),
                               GetModuleHandleW(nullptr), nullptr);
  if (strip == nullptr) return false;
  Subclass(strip);
  SendMessageW(strip, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  SendMessageW(strip, TCM_SETITEMEXTRA, static_cast<WPARAM>(itemExtra), 0);
  return true;
}

// Measured with a probe tab, since an empty strip reports no band at all.
int TabStrip::MeasureHeight() {
  HWND strip = Handle();
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

bool TabStrip::TranslateDragKeys(const MSG* msg) {
  if (!capturing || msg->message != WM_KEYDOWN || msg->wParam != VK_ESCAPE) return false;
  // Losing the capture is what ends a drag.
  ReleaseCapture();
  return true;
}

bool TabStrip::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_LBUTTONDOWN:
      OnLButtonDown(PointFrom(m.lParam));
      break;
    case WM_MOUSEMOVE:
      if (OnMouseMove(PointFrom(m.lParam))) return true;
      break;
    case WM_LBUTTONUP:
      OnLButtonUp(PointFrom(m.lParam));
      break;
    case WM_CAPTURECHANGED:
      OnCaptureChanged();
      break;
    case WM_RBUTTONUP:
      OnRButtonUp(PointFrom(m.lParam));
      m.result = 0;
      return true;
    case WM_SYSKEYDOWN:
      if (!OnSysKeyDown(m.wParam)) break;
      m.result = 0;
      return true;
    default:
      break;
  }
  return Window::HandleMessage(m);
}

int TabStrip::HitTestTab(POINT point) const {
  TCHITTESTINFO hit{};
  hit.pt = point;
  return TabCtrl_HitTest(Handle(), &hit);
}

void TabStrip::OnLButtonDown(POINT point) {
  if (TabCtrl_GetItemCount(Handle()) <= 1) return;
  capturing = true;
  SetCapture(Handle());
  dragStart = point;
}

bool TabStrip::OnMouseMove(POINT point) {
  if (!capturing) return false;
  if (!dragging &&
      DragDistanceReached(dragStart, point, GetSystemMetrics(SM_CXDRAG), GetSystemMetrics(SM_CYDRAG))) {
    StartDrag();
  }
  if (!dragging) return false;
  TrackDrag(point);
  return true;
}

void TabStrip::StartDrag() {
  MakeDragImage(owner_.GetActivePage());
  ImageList_BeginDrag(dragImage.get(), 0, -(GetSystemMetrics(SM_CXCURSOR) / 2),
                      -(GetSystemMetrics(SM_CYCURSOR) / 2));
  POINT start = dragStart;
  ClientToScreen(Handle(), &start);
  ImageList_DragEnter(GetDesktopWindow(), start.x, start.y);
  dragging = true;
}

void TabStrip::TrackDrag(POINT point) {
  int index = HitTestTab(point);
  SetCursor(LoadCursorW(nullptr, index != -1 ? IDC_ARROW : IDC_NO));
  if (index != insertMark) DrawInsertMark(index);
  ImageList_DragShowNolock(index != -1);
  POINT screen = point;
  ClientToScreen(Handle(), &screen);
  ImageList_DragMove(screen.x, screen.y);
}

void TabStrip::OnLButtonUp(POINT point) {
  if (!capturing) return;
  if (dragging) {
    int index = HitTestTab(point);
    if (index != -1) owner_.MovePage(owner_.GetActivePage(), index);
  }
  ReleaseCapture();
}

void TabStrip::OnCaptureChanged() {
  if (!capturing) return;
  capturing = false;
  if (!dragging) return;
  dragging = false;
  DrawInsertMark(-1);
  ImageList_DragLeave(GetDesktopWindow());
  ImageList_EndDrag();
  dragImage.reset();
}

void TabStrip::OnRButtonUp(POINT point) {
  int index = HitTestTab(point);
  if (index != -1) OpenContextMenu(index, point);
}

bool TabStrip::OnSysKeyDown(WPARAM key) {
  if (key != VK_F10 || GetKeyState(VK_SHIFT) >= 0) return false;
  int active = owner_.GetActivePage();
  if (active == -1) return true;
  RECT tab{};
  TabCtrl_GetItemRect(Handle(), active, &tab);
  OpenContextMenu(active, POINT{tab.left, tab.bottom});
  return true;
}

void TabStrip::OpenContextMenu(int page, POINT point) {
  ClientToScreen(Handle(), &point);
  owner_.ShowTabContextMenu(page, point);
}

void TabStrip::MakeDragImage(int page) {
  RECT tab{};
  TabCtrl_GetItemRect(Handle(), page, &tab);
  RECT picture = DragPictureRect(tab);
  int width = picture.right - picture.left, height = picture.bottom - picture.top;
  dragImage.reset(ImageList_Create(width, height, ILC_COLORDDB | ILC_MASK, 1, 1));
  WindowDcScope windowDc(GetParent(Handle()));
  UniqueMemoryDC memory(CreateCompatibleDC(windowDc.dc()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(windowDc.dc(), width, height));
  if (!dragImage || !memory || !bitmap) return;
  {
    SelectionScope selection(memory.get(), bitmap.get());
    SetViewportOrgEx(memory.get(), -picture.left, -picture.top, nullptr);
    SendMessageW(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), 0);
  }
  ImageList_AddMasked(dragImage.get(), bitmap.get(), kDragMaskColour);
}

RECT TabStrip::GetInsertMarkRect() const {
  RECT client{}, tab{};
  GetClientRect(Handle(), &client);
  TabCtrl_GetItemRect(Handle(), insertMark, &tab);
  return InsertMarkRect(client, tab, insertMark, owner_.GetActivePage());
}

void TabStrip::DrawInsertMark(int index) {
  if (insertMark != -1) {
    RECT old = GetInsertMarkRect();
    InvalidateRect(Handle(), &old, TRUE);
  }
  insertMark = index;
  if (insertMark == -1) return;
  // Drawn straight onto the screen: the mark is a passing hint, not part of the strip's picture.
  WindowDcScope dc(Handle());
  COLORREF colour = GetSysColor(COLOR_WINDOWTEXT);
  UniquePen pen(CreatePen(PS_SOLID, 1, colour));
  UniqueBrush brush(CreateSolidBrush(colour));
  SelectionScope penSelection(dc.dc(), pen.get());
  SelectionScope brushSelection(dc.dc(), brush.get());
  for (const Triangle& triangle : InsertMarkTriangles(GetInsertMarkRect())) {
    Polygon(dc.dc(), triangle.data(), static_cast<int>(triangle.size()));
  }
}
