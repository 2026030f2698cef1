#pragma once

#include <windows.h>

#include <functional>

#include "win/Window.h"

// The bar between the documents and a pane under them: dragging it up or down tells the owner
// how far, and the owner lays its windows out anew.
class SplitterBar : public Window {
 public:
  static const WindowClass* Class();
  // `moved` gets the pointer's travel in pixels since the press, while the button is down.
  HWND Create(HWND parent, std::function<void(int travel)> moved);

 protected:
  bool HandleMessage(Message& m) override;

 private:
  std::function<void(int)> moved_;
  int pressY_ = 0;
  bool dragging_ = false;
};
