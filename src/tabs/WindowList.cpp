#include "tabs/WindowList.h"

#include <algorithm>
#include <string>

#include "tabs/TabText.h"
#include "tabs/TabViewIds.h"

namespace {

bool IsWindowListId(UINT id) { return id >= CMD_WINDOW_PAGE_FIRST && id <= CMD_WINDOW_LIST_END; }

int ListStart(HMENU menu) {
  int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    if (IsWindowListId(GetMenuItemID(menu, position))) return position;
  }
  return std::max(count, 0);
}

bool IsSeparator(HMENU menu, int position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_TYPE;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return false;
  return (info.fType & MFT_SEPARATOR) != 0;
}

}  // namespace

void RebuildWindowList(HMENU menu, const std::vector<const wchar_t*>& titles, int activePage,
                       int maxEntries, const wchar_t* moreLabel) {
  if (menu == nullptr) return;
  int position = ListStart(menu);
  while (DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION)) {
  }
  int count = static_cast<int>(titles.size());
  bool separatorBefore = position > 0 && IsSeparator(menu, position - 1);
  if (count == 0) {
    if (separatorBefore) DeleteMenu(menu, static_cast<UINT>(position - 1), MF_BYPOSITION);
    return;
  }
  if (position > 0 && !separatorBefore) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ++position;
  }
  int entries = std::min(count, maxEntries);
  for (int index = 0; index < entries; ++index) {
    std::wstring label = WindowListLabel(index, titles[static_cast<size_t>(index)]);
    AppendMenuW(menu, MF_STRING, CMD_WINDOW_PAGE_FIRST + static_cast<UINT>(index), label.c_str());
  }
  if (activePage >= 0 && activePage < entries) {
    CheckMenuRadioItem(menu, static_cast<UINT>(position), static_cast<UINT>(position + entries - 1),
                       static_cast<UINT>(position + activePage), MF_BYPOSITION);
  }
  if (count > maxEntries && moreLabel != nullptr) AppendMenuW(menu, MF_STRING, CMD_WINDOW_LIST_MORE, moreLabel);
}
