#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Popups are tracked in a modal loop on the thread that owns the bar, so a test cannot send
// the next key from that thread while a popup is open. A Driver runs the script of real input
// on a second thread while the test thread keeps pumping messages (inside the popup's loop,
// too). The script waits for observable states after every step, so timing never decides.
class Driver {
 public:
  // Runs `script` on a second thread and pumps this thread's messages until it has ended.
  // Any popup still open when the script ends is closed with Escape before it returns.
  // `filter` sees each message of this thread first, as the frame's message filter does.
  static std::vector<std::string> Run(const std::function<void(Driver&)>& script,
                                      const std::function<bool(const MSG&)>& filter = {});

  // Waits until `condition` holds; notes `what` as a failure and answers false after 3 s.
  bool WaitFor(const std::string& what, const std::function<bool()>& condition);
  void Fail(const std::string& what) { failures_.push_back(what); }

 private:
  std::vector<std::string> failures_;
};

// Mouse input from the driver's thread. While a popup is open Wine holds the pointer grab on
// the bar's thread and refuses to warp the pointer for any other thread, so the pointer is
// placed by `uiWindow`'s thread (see PlaceCursorMessage) before the input is sent.
constexpr UINT PlaceCursorMessage = WM_APP + 1;  // wParam x, lParam y, screen coordinates
void DriverMove(HWND uiWindow, POINT screen);
void DriverButton(HWND uiWindow, POINT screen, bool down);
void DriverClick(HWND uiWindow, POINT screen);

// Observations that are safe from the driver's thread.

// The visible popup menu window of this process, or null.
HWND OpenMenuWindow();
// The index of the bar's pressed button, or -1.
int PressedButton(HWND bar);
int HotButton(HWND bar);
// The window with the keyboard focus on `thread`.
HWND FocusOfThread(DWORD thread);
// The screen centre of button `index` of toolbar `bar`.
POINT ButtonCentre(HWND bar, int index);
