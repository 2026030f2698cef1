#include "panes/SplitterBar.h"

#include <windowsx.h>

namespace {

int ScreenY(HWND hwnd, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(hwnd, &point);
  return point.y;
}

}  // namespace

const WindowClass* SplitterBar::Class() {
  return RegisterWindowClass(L"Sonarwick_SplitterBar", [](WNDCLASSEXW& wc) {
    wc.hCursor = LoadCursorW(nullptr, IDC_SIZENS);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  });
}

HWND SplitterBar::Create(HWND parent, std::function<void(int)> moved) {
  moved_ = std::move(moved);
  return Window::Create(Class(), parent, RECT{0, 0, 0, 0}, L"", WS_CHILD | WS_CLIPSIBLINGS);
}

// Screen coordinates: the bar itself moves while it is dragged.
bool SplitterBar::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_LBUTTONDOWN:
      SetCapture(Handle());
      pressY_ = ScreenY(Handle(), m.lParam);
      dragging_ = true;
      m.result = 0;
      return true;
    case WM_MOUSEMOVE:
      if (!dragging_) break;
      if (moved_) moved_(ScreenY(Handle(), m.lParam) - pressY_);
      pressY_ = ScreenY(Handle(), m.lParam);
      m.result = 0;
      return true;
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
