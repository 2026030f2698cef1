#include "panes/TimelinePane.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "panes/TimelinePainter.h"
#include "win/DeviceContext.h"
#include "win/Dpi.h"

namespace {

// Sent to child windows after their parent moved to a monitor of another scale (Windows 10 on).
constexpr UINT kDpiChangedAfterParent = 0x02E3;

RECT ClientRect(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  return client;
}

}  // namespace

const WindowClass* TimelinePane::Class() {
  return RegisterWindowClass(L"Sonarwick_TimelinePane", [](WNDCLASSEXW& wc) {
    wc.style = 0;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;  // every pixel comes from the kept bitmap
  });
}

HWND TimelinePane::Create(HWND parent, const RECT& rect, UINT id) {
  return Window::Create(Class(), parent, rect, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP, 0,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool TimelinePane::HandleMessage(Message& m) {
  if (m.msg == WM_MOUSEMOVE || m.msg == WM_LBUTTONDOWN || m.msg == WM_LBUTTONUP || m.msg == WM_RBUTTONDOWN ||
      m.msg == WM_RBUTTONUP)
    RelayToTip(m);
  switch (m.msg) {
    case WM_CREATE:
      OnCreate();
      return false;
    case WM_ERASEBKGND:
      m.result = 1;
      return true;
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_PRINTCLIENT:
      OnPrintClient(reinterpret_cast<HDC>(m.wParam));
      return true;
    case WM_SIZE:
      OnSize();
      return false;
    case WM_VSCROLL:
      OnVScroll(m.wParam);
      return true;
    case WM_MOUSEWHEEL:
      return OnMouseWheel(m.wParam, m.lParam);
    case WM_LBUTTONDOWN:
      OnLButtonDown(m.lParam);
      return true;
    case WM_KEYDOWN:
      return OnKeyDown(m.wParam);
    case WM_NOTIFY:
      return OnNotify(m) || Window::HandleMessage(m);
    case WM_DESTROY:
      markTip_.Destroy();
      return false;
    case WM_GETDLGCODE:
      m.result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(Handle(), nullptr, FALSE);  // the focus frame; the kept bitmap stays
      return false;
    case kDpiChangedAfterParent:
      ApplyDpi(WindowDpi(Handle()));
      return false;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      OnSettingChange();
      return false;
    default:
      return Window::HandleMessage(m);
  }
}

void TimelinePane::OnCreate() {
  dpi_ = WindowDpi(Handle());
  MakeFont();
  UpdateScrollBar();
}

void TimelinePane::MakeFont() {
  NONCLIENTMETRICSW metrics{};
  font_.reset(NonClientMetricsForDpi(metrics, dpi_) ? CreateFontIndirectW(&metrics.lfMessageFont) : nullptr);
  int textHeight = ScaleForDpi(16, dpi_);
  WindowDcScope dc(Handle());
  if (dc.dc() != nullptr && font_) {
    SelectionScope font(dc.dc(), font_.get());
    TEXTMETRICW text{};
    if (GetTextMetricsW(dc.dc(), &text)) textHeight = text.tmHeight;
  }
  metrics_ = TimelineMetrics::ForDpi(dpi_, textHeight);
}

TimelineGeometry TimelinePane::Geometry() const {
  const RECT client = ClientRect(Handle());
  return TimelineGeometry(metrics_, client.right, client.bottom, view_, static_cast<int>(model_.lanes.size()),
                          scrollY_);
}

// ---- what the owner sets ----

void TimelinePane::SetModel(TimelineModel model) {
  const int selected = SelectedEntry();
  model_ = std::move(model);
  selectedLane_ = selected >= 0 ? LaneOfEntry(model_, selected) : -1;
  UpdateScrollBar();
  Refresh();
}

void TimelinePane::SetView(TimelineView view) {
  view = ClampedView(view);
  if (view == view_) return;
  view_ = view;
  Refresh();
}

void TimelinePane::SetCursorTime(std::int64_t ms) {
  if (ms < 0) ms = -1;
  if (ms == cursorMs_) return;
  // Only the strips under the old and the new line are copied again from the kept bitmap.
  const RECT before = CursorStrip(cursorMs_);
  cursorMs_ = ms;
  const RECT after = CursorStrip(cursorMs_);
  if (Handle() == nullptr) return;
  InvalidateRect(Handle(), &before, FALSE);
  InvalidateRect(Handle(), &after, FALSE);
}

void TimelinePane::SetSelectedEntry(int entry) {
  const int lane = entry >= 0 ? LaneOfEntry(model_, entry) : -1;
  if (lane == selectedLane_) return;
  selectedLane_ = lane;
  if (lane >= 0) {
    const TimelineGeometry geometry = Geometry();
    const TimelineRect row = geometry.LaneRect(lane);
    const TimelineRect lanes = geometry.LanesRect();
    if (row.top < lanes.top) ScrollTo(scrollY_ - (lanes.top - row.top));
    if (row.bottom > lanes.bottom) ScrollTo(scrollY_ + (row.bottom - lanes.bottom));
  }
  Refresh();
}

int TimelinePane::SelectedEntry() const {
  return selectedLane_ >= 0 && selectedLane_ < static_cast<int>(model_.lanes.size())
             ? model_.lanes[static_cast<std::size_t>(selectedLane_)].entry
             : -1;
}

void TimelinePane::ApplyDpi(UINT dpi) {
  if (dpi == 0 || dpi == dpi_) return;
  // The same lane stays on top of the lanes in sight.
  const int topLane = metrics_.laneHeight > 0 ? scrollY_ / metrics_.laneHeight : 0;
  dpi_ = dpi;
  MakeFont();
  scrollY_ = topLane * metrics_.laneHeight;
  UpdateScrollBar();
  Refresh();
}

void TimelinePane::Refresh() {
  contentDirty_ = true;
  if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

// ---- painting ----

// The screen gets the kept picture with the cursor and the focus over it through a bitmap of
// the painted area, so that it never shows a strip without its cursor.
void TimelinePane::OnPaint() {
  PaintScope paint(Handle());
  const RECT area = paint.paint().rcPaint;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (paint.dc() == nullptr || width <= 0 || height <= 0 || !UpdateContent(paint.dc())) return;
  if (!canvas_ || canvasSize_.cx < width || canvasSize_.cy < height) {
    canvasSize_ = {std::max(width, static_cast<int>(canvasSize_.cx)),
                   std::max(height, static_cast<int>(canvasSize_.cy))};
    canvas_.reset(CreateCompatibleBitmap(paint.dc(), canvasSize_.cx, canvasSize_.cy));
  }
  UniqueMemoryDC canvas(CreateCompatibleDC(paint.dc()));
  if (!canvas || !canvas_) return;
  SelectionScope selection(canvas.get(), canvas_.get());
  SetViewportOrgEx(canvas.get(), -area.left, -area.top, nullptr);
  CopyContent(canvas.get(), area);
  DrawOverlays(canvas.get());
  SetViewportOrgEx(canvas.get(), 0, 0, nullptr);
  BitBlt(paint.dc(), area.left, area.top, width, height, canvas.get(), 0, 0, SRCCOPY);
}

// A print goes to a bitmap nobody sees while it is drawn: no canvas needed.
void TimelinePane::OnPrintClient(HDC dc) {
  if (!UpdateContent(dc)) return;
  CopyContent(dc, ClientRect(Handle()));
  DrawOverlays(dc);
}

bool TimelinePane::UpdateContent(HDC reference) {
  const RECT client = ClientRect(Handle());
  if (client.right <= 0 || client.bottom <= 0) return false;
  if (!content_ || contentSize_.cx != client.right || contentSize_.cy != client.bottom) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    content_.reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    contentBits_ = content_ ? static_cast<std::uint32_t*>(bits) : nullptr;
    contentSize_ = {client.right, client.bottom};
    contentDirty_ = true;
  }
  if (!content_) return false;
  if (!contentDirty_) return true;
  UniqueMemoryDC dc(CreateCompatibleDC(reference));
  if (!dc) return false;
  SelectionScope bitmap(dc.get(), content_.get());
  RenderContent(dc.get(), client.right, client.bottom);
  contentDirty_ = false;
  return true;
}

void TimelinePane::CopyContent(HDC target, const RECT& area) const {
  UniqueMemoryDC source(CreateCompatibleDC(target));
  if (!source) return;
  SelectionScope bitmap(source.get(), content_.get());
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), area.left,
         area.top, SRCCOPY);
}

void TimelinePane::DrawOverlays(HDC dc) const {
  if (cursorMs_ >= 0) {
    const RECT strip = CursorStrip(cursorMs_);
    SetDCBrushColor(dc, TimelineColours::FromSystem().cursor);
    FillRect(dc, &strip, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  }
  if (GetFocus() == Handle()) {
    RECT focus = ClientRect(Handle());
    InflateRect(&focus, -1, -1);
    DrawFocusRect(dc, &focus);
  }
}

void TimelinePane::RenderContent(HDC dc, int width, int height) {
  const TimelineGeometry geometry(metrics_, width, height, view_, static_cast<int>(model_.lanes.size()),
                                  scrollY_);
  const TimelineColours colours = TimelineColours::FromSystem();
  const TimelinePixels pixels{contentBits_, width, height};
  TimelinePainter(dc, geometry, model_, colours, font_.get(), selectedLane_, pixels).Paint();
}

RECT TimelinePane::CursorStrip(std::int64_t ms) const {
  if (ms < 0 || Handle() == nullptr) return {0, 0, 0, 0};
  const TimelineGeometry geometry = Geometry();
  const int x = static_cast<int>(geometry.XOfMs(static_cast<double>(ms)));
  if (x < geometry.PlotLeft() || x > geometry.PlotRight()) return {0, 0, 0, 0};
  const int width = TimelineCursorWidth(dpi_);
  return {x - width / 2, 0, x - width / 2 + width, geometry.Height()};
}

// ---- scrolling ----

void TimelinePane::OnSize() {
  UpdateScrollBar();
  Refresh();
}

void TimelinePane::UpdateScrollBar() {
  if (Handle() == nullptr) return;
  const TimelineGeometry geometry = Geometry();
  scrollY_ = std::clamp(scrollY_, 0, geometry.MaxScroll());
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = geometry.ContentHeight() - 1;
  info.nPage = static_cast<UINT>(std::max(0, geometry.LanesRect().bottom - geometry.LanesTop()));
  info.nPos = scrollY_;
  SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
}

void TimelinePane::ScrollTo(int y) {
  const int limited = std::clamp(y, 0, Geometry().MaxScroll());
  if (limited == scrollY_) return;
  scrollY_ = limited;
  SetScrollPos(Handle(), SB_VERT, scrollY_, TRUE);
  Refresh();
}

void TimelinePane::OnVScroll(WPARAM wParam) {
  const TimelineGeometry geometry = Geometry();
  const int page = std::max(metrics_.laneHeight, geometry.LanesRect().bottom - geometry.LanesTop());
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(Handle(), SB_VERT, &info);
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      ScrollTo(scrollY_ - metrics_.laneHeight);
      break;
    case SB_LINEDOWN:
      ScrollTo(scrollY_ + metrics_.laneHeight);
      break;
    case SB_PAGEUP:
      ScrollTo(scrollY_ - page);
      break;
    case SB_PAGEDOWN:
      ScrollTo(scrollY_ + page);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      ScrollTo(info.nTrackPos);
      break;
    case SB_TOP:
      ScrollTo(0);
      break;
    case SB_BOTTOM:
      ScrollTo(geometry.MaxScroll());
      break;
    default:
      break;
  }
}

void TimelinePane::OnSettingChange() {
  MakeFont();
  UpdateScrollBar();
  Refresh();
}
