#pragma once

#include <windows.h>

#include <functional>

#include "win/Window.h"

// The bar between two panes: dragging it tells the owner how far, and the owner lays its
// windows out anew. A bar wider than tall lies between panes above and below each other and
// moves up and down; a bar taller than wide stands between panes side by side and moves left
// and right. Its pointer shows which.
class SplitterBar : public Window {
 public:
  static const WindowClass* Class();
  // `moved` gets the pointer's travel in pixels since the press (down or right is positive),
  // across the bar, while the button is down.
  HWND Create(HWND parent, std::function<void(int travel)> moved);

  // Whether the bar stands upright between panes side by side, as placed now.
  bool Upright() const;

 protected:
  bool HandleMessage(Message& m) override;

 private:
  int ScreenPosition(LPARAM lParam) const;

  std::function<void(int)> moved_;
  int pressAt_ = 0;
  bool dragging_ = false;
};
