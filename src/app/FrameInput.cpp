// What reaches the frame from the user outside its commands: the keys it filters before the
// accelerators, the focus as the frame goes to the background and comes back, and files
// dropped on it.
#include "app/FrameFeatures.h"

#include <shellapi.h>

#include <utility>

#include "commands/TextBoxKeys.h"
#include "documents/StartupFiles.h"
#include "resources/ResourceIds.h"

bool MainFrame::FilterMessage(MSG& msg) {
  // While the keyboard is in the menu bar its keys are the bar's, not the accelerators'.
  if (commandBar_.InKeyboardMode() && commandBar_.TranslateMenuKey(msg)) return true;
  for (FrameFeature* feature : features_) {
    if (feature->FilterMessage(msg)) return true;
  }
  if (IsCloseTabKey(msg)) {
    // The same road as Window > Close, whatever that command asks first.
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(CMD_WINDOW_CLOSE, 1), 0);
    return true;
  }
  if (accelerators_ != nullptr && !LeavesKeyToTextBox(acceleratorEntries_, msg) &&
      !(CellEditorOpen() && LeavesKeyToCellEditor(acceleratorEntries_, msg)) &&
      TranslateAcceleratorW(Handle(), accelerators_, &msg) != 0) {
    // Default processing must still see an Alt+key that became a command (Alt+Up moves an
    // entry); otherwise it takes the Alt as pressed alone and opens the menu bar on release.
    if (msg.message == WM_SYSKEYDOWN) DefWindowProcW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    return true;
  }
  if (commandBar_.TranslateMenuKey(msg)) return true;
  return tabView_.TranslatePageKeys(&msg);
}

// Ctrl+F4 on any window of the frame, without Shift or Alt.
bool MainFrame::IsCloseTabKey(const MSG& msg) const {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F4) return false;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
  return msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd);
}

void MainFrame::OnSetFocus() {
  if (ClientWindow() != nullptr) SetFocus(ClientWindow());
}

// Back from the background the focus returns where it was (an open cell editor keeps its
// edit), as long as that window is still there and on screen. True when it gave the focus
// back; the default processing would give it to the frame.
bool MainFrame::OnActivate(WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    CancelModes();
    HWND focus = GetFocus();
    focusWhenDeactivated_ = focus != nullptr && IsChild(Handle(), focus) ? focus : nullptr;
    return false;
  }
  for (FrameFeature* feature : features_) feature->OnFrameActivated();
  HWND saved = std::exchange(focusWhenDeactivated_, nullptr);
  if (HIWORD(state) != 0 || saved == nullptr || !IsWindow(saved) || !IsChild(Handle(), saved) ||
      !IsWindowVisible(saved) || !IsWindowEnabled(saved))
    return false;
  SetFocus(saved);
  return true;
}

void MainFrame::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(std::move(path));
  }
  DragFinish(drop);
  const std::vector<std::wstring> files = FullPathsOf(paths);
  for (const std::wstring& path : files) OpenDocument(path, files.size() > 1);
}
