#include "grid/InplaceGeometry.h"

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
