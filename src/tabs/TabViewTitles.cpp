// The titles the container shows for its pages: on the tabs (shortened, with the unsaved
// mark) and in the window list of the Window menu.
#include "tabs/TabView.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tabs/TabItem.h"
#include "tabs/TabText.h"
#include "tabs/WindowList.h"

namespace {

// What follows the title of a page whose document has unsaved changes.
constexpr wchar_t kUnsavedMark[] = L" *";

}  // namespace

bool TabView::SetPageTitle(int index, const wchar_t* title) {
  wchar_t* copy = CopyTitle(title);
  if (copy == nullptr) return false;
  TabPage old{};
  if (!ReadPage(index, old)) {
    FreeTitle(copy);
    return false;
  }
  wchar_t text[tabTextRoom];
  TabText(copy, old.marked, text);
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_PARAM;
  item.header.pszText = text;
  item.page = TabPage{old.window, copy, old.data, old.marked};
  if (!SendMessageW(tabStrip.Handle(), TCM_SETITEMW, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(&item))) {
    FreeTitle(copy);
    return false;
  }
  FreeTitle(old.title);
  RebuildWindowList();
  return true;
}

void TabView::AttachWindowMenu(HMENU menu, const wchar_t* moreLabel) {
  windowMenu = menu;
  moreWindowsLabel = moreLabel != nullptr ? moreLabel : L"";
  if (windowMenu != nullptr) RebuildWindowList();
}

void TabView::RebuildWindowList() {
  if (windowMenu == nullptr) return;
  std::vector<std::wstring> shown;
  int count = GetPageCount();
  for (int index = 0; index < count; ++index) shown.push_back(GetShownTitle(index));
  std::vector<const wchar_t*> titles;
  for (const std::wstring& title : shown) titles.push_back(title.c_str());
  ::RebuildWindowList(windowMenu, titles, activePage, menuEntriesMax,
                      moreWindowsLabel.empty() ? nullptr : moreWindowsLabel.c_str());
}

// ---- unsaved marks ----

void TabView::TabText(const wchar_t* title, bool marked, wchar_t (&text)[tabTextRoom]) {
  // The title is shortened before the mark goes on, so a long name never hides it.
  size_t length = ClipTabText(title, text, tabTextMax + 1);
  if (marked) std::wcscpy(text + length, kUnsavedMark);
}

std::wstring TabView::GetShownTitle(int index) const {
  TabPage page{};
  if (!ReadPage(index, page)) return {};
  std::wstring title = page.title != nullptr ? page.title : L"";
  if (page.marked) title += kUnsavedMark;
  return title;
}

bool TabView::IsPageMarked(int index) const {
  TabPage page{};
  return ReadPage(index, page) && page.marked;
}

// Only a change of the mark touches the strip and the window list.
bool TabView::SetPageMarked(int index, bool marked) {
  TabPage page{};
  if (!ReadPage(index, page)) return false;
  if (page.marked == marked) return true;
  wchar_t text[tabTextRoom];
  TabText(page.title, marked, text);
  TabItem item{};
  item.header.mask = TCIF_TEXT | TCIF_PARAM;
  item.header.pszText = text;
  item.page = page;
  item.page.marked = marked;
  if (!SendMessageW(tabStrip.Handle(), TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
    return false;
  RebuildWindowList();
  return true;
}
