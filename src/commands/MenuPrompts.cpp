#include "commands/MenuPrompts.h"

#include <commctrl.h>

#include "commands/CommandStrings.h"

namespace {

constexpr WORD kMenuClosed = 0xFFFF;
constexpr WPARAM kSimplePart = 255;

}  // namespace

void ShowMenuPrompt(HWND statusBar, WPARAM wParam, LPARAM lParam) {
  if (statusBar == nullptr) return;
  UINT flags = HIWORD(wParam);
  if (flags == kMenuClosed && lParam == 0) {
    EndStatusReason(statusBar);
    return;
  }
  std::wstring text;
  if ((flags & MF_POPUP) == 0) text = PromptPart(LoadCommandString(PromptStringId(LOWORD(wParam))));
  ShowStatusReason(statusBar, text);
}

void ShowStatusReason(HWND statusBar, const std::wstring& text) {
  if (statusBar == nullptr) return;
  SendMessageW(statusBar, SB_SIMPLE, TRUE, 0);
  SendMessageW(statusBar, SB_SETTEXTW, kSimplePart | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

void EndStatusReason(HWND statusBar) {
  // Asked after every command and every move of the cursor: the bar is told (and so repaints)
  // only when a reason actually shows.
  if (statusBar != nullptr && SendMessageW(statusBar, SB_ISSIMPLE, 0, 0)) SendMessageW(statusBar, SB_SIMPLE, FALSE, 0);
}
