#include "menubar/CommandBar.h"
#include "menubar/MenuBarNavigation.h"

bool CommandBar::TranslateMenuKey(const MSG& msg) {
  constexpr LPARAM kAltDown = 1 << 29;
  if (keyboardMode_ && !tracking_ && TranslateKeyboardModeMessage(msg)) return true;
  if (msg.message != WM_SYSCHAR || (msg.lParam & kAltDown) == 0 || Handle() == nullptr) return false;
  HWND owner = OwnerWindow();
  if (msg.hwnd != owner && !IsChild(owner, msg.hwnd)) return false;
  return OnKeyMenu(static_cast<LPARAM>(msg.wParam));
}

// The keyboard is in the bar but the focus stays where it was (an open cell editor keeps its
// text and caret), so the bar takes its keys here, before they reach the focused window.
bool CommandBar::TranslateKeyboardModeMessage(const MSG& msg) {
  HWND owner = OwnerWindow();
  if (msg.hwnd != owner && !IsChild(owner, msg.hwnd)) return false;
  switch (msg.message) {
    case WM_KEYDOWN:
      // Keys the bar has no use for still make their characters, which may be mnemonics.
      if (!OnKeyboardModeKey(msg.wParam)) TranslateMessage(&msg);
      return true;
    case WM_CHAR:
      OnKeyboardModeChar(msg.wParam);
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      // A click anywhere ends keyboard access to the bar and then goes on as usual.
      LeaveKeyboardMode(false);
      return false;
    default:
      return false;
  }
}

bool CommandBar::OnKeyMenu(LPARAM character) {
  if (tracking_ || ButtonCount() == 0) return false;
  if (character == 0) {
    // Alt alone or F10: in, or out again.
    if (keyboardMode_) {
      LeaveKeyboardMode(true);
    } else {
      EnterKeyboardMode(StepButtonIndex(-1, 1, UsableButtons()));
    }
    return true;
  }
  if (character == L' ') {
    // Alt+Space is the system menu's; the bar steps aside for it.
    if (keyboardMode_) LeaveKeyboardMode(true);
    return false;
  }
  int index = FindMnemonic(texts_, static_cast<wchar_t>(character));
  if (index < 0 || !UsableButtons()[static_cast<size_t>(index)]) return false;
  if (!keyboardMode_) EnterKeyboardMode(index);
  PostOpenPopup(index);
  return true;
}

bool CommandBar::OnKeyDown(Message& m) { return keyboardMode_ && OnKeyboardModeKey(m.wParam); }

bool CommandBar::OnKeyboardModeKey(WPARAM key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
      SetHotButton(StepButtonIndex(HotButton(), key == VK_LEFT ? -1 : 1, UsableButtons()));
      return true;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN:
      PostOpenPopup(HotButton());
      return true;
    case VK_ESCAPE:
      LeaveKeyboardMode(true);
      return true;
    default:
      return false;
  }
}

bool CommandBar::OnChar(Message& m) {
  if (!keyboardMode_) return false;
  OnKeyboardModeChar(m.wParam);
  return true;
}

void CommandBar::OnKeyboardModeChar(WPARAM character) {
  int index = FindMnemonic(texts_, static_cast<wchar_t>(character));
  if (index >= 0 && UsableButtons()[static_cast<size_t>(index)]) {
    PostOpenPopup(index);
  } else if (character != VK_ESCAPE && character != VK_RETURN) {
    MessageBeep(0);
  }
}

void CommandBar::OnKillFocus() {
  // Focus taken elsewhere (a click into the document) ends keyboard access to the bar; the
  // popups themselves never take the focus.
  if (keyboardMode_ && !tracking_) LeaveKeyboardMode(false);
}

void CommandBar::EnterKeyboardMode(int hotIndex) {
  if (!keyboardMode_) {
    keyboardMode_ = true;
    // The focus stays where it is; the frame's message filter hands the bar its keys.
    HWND focus = GetFocus();
    focusBeforeKeyboardMode_ = focus != Handle() ? focus : nullptr;
    ApplyDrawTextFlags();
  }
  SetHotButton(hotIndex);
}

void CommandBar::LeaveKeyboardMode(bool restoreFocus) {
  keyboardMode_ = false;
  SetHotButton(-1);
  ApplyDrawTextFlags();
  HWND previous = focusBeforeKeyboardMode_;
  focusBeforeKeyboardMode_ = nullptr;
  if (!restoreFocus || GetFocus() != Handle()) return;
  SetFocus(previous != nullptr && IsWindow(previous) ? previous : OwnerWindow());
}

void CommandBar::SetHotButton(int index) {
  keyboardHot_ = index;
  SendMessageW(Handle(), TB_SETHOTITEM, static_cast<WPARAM>(index), 0);
}

int CommandBar::HotButton() const {
  // The mouse may have moved the toolbar's own hot item since the keyboard set it.
  int hot = static_cast<int>(SendMessageW(Handle(), TB_GETHOTITEM, 0, 0));
  return hot >= 0 ? hot : keyboardHot_;
}

void CommandBar::PostOpenPopup(int index) {
  if (index >= 0) PostMessageW(Handle(), kOpenPopupMessage, static_cast<WPARAM>(index), TRUE);
}
