#include "win/HeldDrawing.h"

#include "win/UniqueHandle.h"

namespace {

// What of a window and its first-level children was waiting to be painted: holding the
// drawing off validates them.
class PendingPaint {
 public:
  explicit PendingPaint(HWND window) {
    Take(window);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) Take(child);
  }
  PendingPaint(const PendingPaint&) = delete;
  PendingPaint& operator=(const PendingPaint&) = delete;
  ~PendingPaint() {
    for (int index = 0; index < count_; ++index) {
      if (IsWindow(saved_[index].window))
        InvalidateRgn(saved_[index].window, saved_[index].region, saved_[index].erase ? TRUE : FALSE);
      DeleteObject(saved_[index].region);
    }
  }

 private:
  struct Saved {
    HWND window;
    HRGN region;
    bool erase;
  };
  void Take(HWND window) {
    if (count_ == kMaxWindows) return;
    RECT box{};
    if (!GetUpdateRect(window, &box, FALSE)) return;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (region == nullptr) return;
    if (GetUpdateRgn(window, region, FALSE) <= NULLREGION) {
      DeleteObject(region);
      return;
    }
    // GetUpdateRect cannot tell whether an erase was asked for; erasing again is only a
    // little work, leaving an old background would be a fault.
    saved_[count_++] = {window, region, true};
  }

  static constexpr int kMaxWindows = 4;
  Saved saved_[kMaxWindows]{};
  int count_ = 0;
};

// The window's frame, in its client coordinates, less its client area.
void InvalidateFrame(HWND window, const RECT& client) {
  RECT outer{};
  GetWindowRect(window, &outer);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&outer), 2);
  const RECT strips[] = {{outer.left, outer.top, outer.right, client.top},
                         {outer.left, client.bottom, outer.right, outer.bottom},
                         {outer.left, client.top, client.left, client.bottom},
                         {client.right, client.top, outer.right, client.bottom}};
  for (const RECT& strip : strips) {
    if (strip.right > strip.left && strip.bottom > strip.top)
      RedrawWindow(window, &strip, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
  }
}

}  // namespace

void WithDrawingHeld(HWND window, const std::function<void()>& change) {
  // A window marked hidden has nothing drawn at once, and must not be made visible after.
  if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) == 0) {
    change();
    return;
  }
  RECT before{};
  GetClientRect(window, &before);
  {
    PendingPaint pending(window);
    DefWindowProcW(window, WM_SETREDRAW, FALSE, 0);
    change();
    DefWindowProcW(window, WM_SETREDRAW, TRUE, 0);
  }
  RECT after{};
  GetClientRect(window, &after);
  if (!EqualRect(&before, &after)) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return;
  }
  InvalidateFrame(window, after);
}
