#include <windowsx.h>

#include "menubar/CommandBar.h"
#include "menubar/MenuBarNavigation.h"

namespace {

// The bar whose popup this thread is tracking; the menu loop's message hook reports to it.
thread_local CommandBar* trackingBar = nullptr;

}  // namespace

LRESULT CommandBar::TrackPopup(const MenuBarTrackPopup& request) {
  if (request.size != sizeof(MenuBarTrackPopup) || !IsMenu(request.menu) || tracking_) return 0;
  LoadPendingImages();
  tracking_ = true;
  BOOL result =
      TrackPopupMenuEx(request.menu, request.flags, request.x, request.y, OwnerWindow(), request.exclusion);
  tracking_ = false;
  return result;
}

bool CommandBar::OnLeftButtonDown(Message& m) {
  POINT point{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)};
  int index = static_cast<int>(SendMessageW(m.hwnd, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
  if (index < 0 || index >= ButtonCount() || !UsableButtons()[static_cast<size_t>(index)]) return false;
  // Tracked right here, while the button is still down, so that press-drag-release chooses.
  RunPopups(index, false);
  return true;
}

bool CommandBar::OnOpenPopup(Message& m) {
  int index = static_cast<int>(m.wParam);
  if (index < 0 || index >= ButtonCount() || tracking_) return true;
  RunPopups(index, m.lParam != 0);
  return true;
}

void CommandBar::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
  if (!tracking_) return;
  UINT flags = HIWORD(wParam);
  selectedMenu_ = reinterpret_cast<HMENU>(lParam);
  selectedIsPopup_ = flags != 0xFFFF && (flags & MF_POPUP) != 0;
}

void CommandBar::RunPopups(int index, bool selectFirstItem) {
  if (tracking_ || !menu_) return;
  tracking_ = true;
  GetCursorPos(&lastMousePoint_);
  int next = index;
  bool byKeyboard = selectFirstItem;
  bool escaped = false;
  int last = index;
  while (next >= 0 && Handle() != nullptr) {
    last = next;
    switchTo_ = -1;
    TrackButtonPopup(next, byKeyboard);
    escaped = escapeClosed_;
    next = switchTo_;
    byKeyboard = switchByKeyboard_;
  }
  tracking_ = false;
  if (Handle() == nullptr) return;
  // Escape steps back from the popup to its button; any other ending (a command, a click
  // elsewhere) leaves the bar.
  if (escaped) {
    EnterKeyboardMode(last);
  } else if (keyboardMode_) {
    LeaveKeyboardMode(true);
  } else {
    SetHotButton(-1);
  }
}

void CommandBar::TrackButtonPopup(int index, bool selectFirstItem) {
  HMENU popup = GetSubMenu(menu_.get(), index);
  if (popup == nullptr) return;
  LoadPendingImages();
  HWND hwnd = Handle();
  openIndex_ = index;
  openPopup_ = popup;
  selectedMenu_ = nullptr;
  selectedIsPopup_ = false;
  escapeClosed_ = false;
  if (keyboardMode_) SetHotButton(index);
  SendMessageW(hwnd, TB_PRESSBUTTON, kFirstButtonId + static_cast<WPARAM>(index), TRUE);
  UpdateWindow(hwnd);
  // A popup opened from the keyboard starts with its first item selected, as the menu loop
  // does for a Down key waiting in the queue.
  if (selectFirstItem) PostMessageW(hwnd, WM_KEYDOWN, VK_DOWN, 0);

  RECT button = ButtonScreenRect(index);
  TPMPARAMS exclusion{sizeof(exclusion), button};
  trackingBar = this;
  hook_ = SetWindowsHookExW(WH_MSGFILTER, MenuMessageHook, nullptr, GetCurrentThreadId());
  TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON, button.left,
                   button.bottom, OwnerWindow(), &exclusion);
  ReleaseMenuHook();

  if (Handle() == nullptr) return;
  SendMessageW(hwnd, TB_PRESSBUTTON, kFirstButtonId + static_cast<WPARAM>(index), FALSE);
  openIndex_ = -1;
  openPopup_ = nullptr;
  UpdateWindow(hwnd);
}

// An input the bar failed to handle is consumed (its action refused), as a procedure's is.
LRESULT CALLBACK CommandBar::MenuMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_MENU && trackingBar != nullptr) {
    auto& msg = *reinterpret_cast<MSG*>(lParam);
    if (Window::Guard(msg.hwnd, msg.message, true, [&] { return trackingBar->OnMenuInput(msg); }))
      return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CommandBar::OnMenuInput(const MSG& msg) {
  switch (msg.message) {
    case WM_MOUSEMOVE:
      return OnMenuMouseMove(msg);
    case WM_LBUTTONDOWN:
      return OnMenuLeftButtonDown(msg);
    case WM_KEYDOWN:
      return OnMenuKeyDown(msg);
    default:
      return false;
  }
}

bool CommandBar::OnMenuMouseMove(const MSG& msg) {
  // Only a real move counts: the pointer resting on one button must not pull the popup
  // back after the keyboard switched away from it.
  if (msg.pt.x == lastMousePoint_.x && msg.pt.y == lastMousePoint_.y) return false;
  lastMousePoint_ = msg.pt;
  int index = ButtonAtScreenPoint(msg.pt);
  if (index < 0 || index == openIndex_ || !UsableButtons()[static_cast<size_t>(index)]) return false;
  SwitchTo(index, false);
  return true;
}

bool CommandBar::OnMenuLeftButtonDown(const MSG& msg) {
  int index = ButtonAtScreenPoint(msg.pt);
  if (index < 0) return false;
  // A click on the open popup's own button closes it; the click is used up so that the
  // button does not open the popup again.
  if (index == openIndex_ || !UsableButtons()[static_cast<size_t>(index)]) {
    EndMenu();
    return true;
  }
  SwitchTo(index, false);
  return true;
}

bool CommandBar::OnMenuKeyDown(const MSG& msg) {
  bool inTopPopup = selectedMenu_ == nullptr || selectedMenu_ == openPopup_;
  switch (msg.wParam) {
    case VK_LEFT:
      if (!inTopPopup) return false;  // Left closes a cascaded submenu first
      SwitchTo(StepButtonIndex(openIndex_, -1, UsableButtons()), true);
      return true;
    case VK_RIGHT:
      if (selectedIsPopup_) return false;  // Right opens the selected submenu
      SwitchTo(StepButtonIndex(openIndex_, 1, UsableButtons()), true);
      return true;
    case VK_ESCAPE:
      if (inTopPopup) escapeClosed_ = true;
      return false;
    default:
      return false;
  }
}

void CommandBar::SwitchTo(int index, bool byKeyboard) {
  if (index < 0 || index == openIndex_) return;
  switchTo_ = index;
  switchByKeyboard_ = byKeyboard;
  EndMenu();
}

void CommandBar::ReleaseMenuHook() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
  if (trackingBar == this) trackingBar = nullptr;
}
