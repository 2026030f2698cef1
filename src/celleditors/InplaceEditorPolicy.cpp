#include "celleditors/InplaceEditorPolicy.h"

#include <algorithm>

int DropListHeight(int itemHeight, int count, int borderHeight) {
  // 64-bit so a huge list cannot overflow past the cap.
  long long height = static_cast<long long>(itemHeight) * count + 2LL * borderHeight;
  return static_cast<int>(std::min<long long>(height, kMaxDropListHeight));
}

RECT DropButtonRect(const RECT& client) {
  int height = client.bottom - client.top;
  return RECT{client.right - height, client.top - 1, client.right, client.bottom};
}

RECT DropListRect(const RECT& editorWindow, int dropHeight) {
  return RECT{editorWindow.left, editorWindow.bottom, editorWindow.right, editorWindow.bottom + dropHeight};
}

bool KeyLeavesCell(UINT vk, DWORD selStart, DWORD selEnd, DWORD textLength) {
  switch (vk) {
    case VK_TAB:
    case VK_UP:
    case VK_DOWN:
      return true;
    case VK_LEFT:
      return selStart == selEnd && selStart == 0;
    case VK_RIGHT:
      return selStart == selEnd && selEnd == textLength;
    default:
      return false;
  }
}

int HighlightAfterKey(UINT vk, int current, int count, int pageSize) {
  int target = current;
  switch (vk) {
    case VK_UP:
      target = current - 1;
      break;
    case VK_DOWN:
      target = current + 1;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = count - 1;
      break;
    case VK_PRIOR:
      target = current - std::max(1, pageSize - 1);
      break;
    case VK_NEXT:
      target = current + std::max(1, pageSize - 1);
      break;
    default:
      break;
  }
  return std::clamp(target, 0, count - 1);
}
