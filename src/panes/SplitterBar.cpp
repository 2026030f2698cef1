#include "panes/SplitterBar.h"

#include <windowsx.h>

const WindowClass* SplitterBar::Class() {
  return RegisterWindowClass(L"Sonarwick_SplitterBar", [](WNDCLASSEXW& wc) {
    wc.hCursor = nullptr;  // set on WM_SETCURSOR, by which way the bar stands
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  });
}

HWND SplitterBar::Create(HWND parent, std::function<void(int)> moved) {
  moved_ = std::move(moved);
  return Window::Create(Class(), parent, RECT{0, 0, 0, 0}, L"", WS_CHILD | WS_CLIPSIBLINGS);
}

bool SplitterBar::Upright() const {
  RECT rect{};
  GetClientRect(Handle(), &rect);
  return rect.bottom - rect.top > rect.right - rect.left;
}

// In screen coordinates: the bar itself moves while it is dragged.
int SplitterBar::ScreenPosition(LPARAM lParam) const {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(Handle(), &point);
  return Upright() ? point.x : point.y;
}

bool SplitterBar::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_SETCURSOR:
      if (LOWORD(m.lParam) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, Upright() ? IDC_SIZEWE : IDC_SIZENS));
      m.result = TRUE;
      return true;
    case WM_LBUTTONDOWN:
      SetCapture(Handle());
      pressAt_ = ScreenPosition(m.lParam);
      dragging_ = true;
      m.result = 0;
      return true;
    case WM_MOUSEMOVE: {
      if (!dragging_) break;
      const int at = ScreenPosition(m.lParam);
      if (moved_ && at != pressAt_) moved_(at - pressAt_);
      pressAt_ = at;
      m.result = 0;
      return true;
    }
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_ && m.msg == WM_LBUTTONUP) ReleaseCapture();
      dragging_ = false;
      m.result = 0;
      return true;
    default:
      break;
  }
  return Window::HandleMessage(m);
}
