#include <gtest/gtest.h>

#include <string>

#include "tabs/DragGeometry.h"
#include "tabs/TabText.h"
#include "tabs/TabViewIds.h"
#include "tabs/WindowList.h"

namespace {

std::wstring Clip(const std::wstring& title, size_t room = 31) {
  wchar_t out[64];
  size_t length = ClipTabText(title.c_str(), out, room);
  EXPECT_EQ(length, std::wcslen(out));
  return out;
}

}  // namespace

TEST(ClipTabText, KeepsThirtyCharactersAndShortensLongerTitles) {
  std::wstring thirty(30, L'a');
  EXPECT_EQ(Clip(thirty), thirty);
  EXPECT_EQ(Clip(std::wstring(31, L'b')), std::wstring(27, L'b') + L"...");
  EXPECT_EQ(Clip(std::wstring(200, L'c')), std::wstring(27, L'c') + L"...");
  EXPECT_EQ(Clip(L""), L"");
  EXPECT_EQ(Clip(L"Новый"), L"Новый");
  // A character outside the basic plane is never cut in half.
  std::wstring title = std::wstring(26, L'd') + L"\U0001F50A" + std::wstring(10, L'e');
  EXPECT_EQ(Clip(title), std::wstring(26, L'd') + L"...");
  EXPECT_EQ(Clip(L"abcdef", 4), L"...");
  EXPECT_EQ(Clip(L"abcdef", 3), L"");
}

TEST(WindowListLabel, NumbersEntriesAndKeepsAmpersands) {
  EXPECT_EQ(WindowListLabel(0, L"a.bad"), L"&1 a.bad");
  EXPECT_EQ(WindowListLabel(8, L"x"), L"&9 x");
  EXPECT_EQ(WindowListLabel(9, L"x"), L"10 x");
  EXPECT_EQ(WindowListLabel(1, L"R&B.bad"), L"&2 R&&B.bad");
}

TEST(DragGeometry, ThresholdPictureAndMark) {
  EXPECT_FALSE(DragDistanceReached({10, 10}, {13, 7}, 4, 4));
  EXPECT_TRUE(DragDistanceReached({10, 10}, {14, 10}, 4, 4));
  EXPECT_TRUE(DragDistanceReached({10, 10}, {10, 6}, 4, 4));

  RECT picture = DragPictureRect(RECT{10, 2, 60, 22});
  EXPECT_EQ(picture.left, 8);
  EXPECT_EQ(picture.bottom, 24);

  RECT strip{0, 0, 400, 24}, tab{100, 2, 150, 22};
  RECT before = InsertMarkRect(strip, tab, 1, 3);
  EXPECT_EQ(before.left, 96);
  EXPECT_EQ(before.right, 103);
  EXPECT_EQ(before.top, 0);
  EXPECT_EQ(before.bottom, 24);
  EXPECT_EQ(InsertMarkRect(strip, tab, 3, 3).left, 96);
  EXPECT_EQ(InsertMarkRect(strip, tab, 4, 3).left, 146);

  auto triangles = InsertMarkTriangles(before);
  EXPECT_EQ(triangles[0][1].x, 102);
  EXPECT_EQ(triangles[0][2].y, 3);
  EXPECT_EQ(triangles[1][0].y, 23);
  EXPECT_EQ(triangles[1][2].y, 20);
}

TEST(WindowList, FollowsThePagesWithoutDisturbingTheCommands) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 0x8004, L"&Close");
  AppendMenuW(menu, MF_STRING, 0x8005, L"Close &All");
  RebuildWindowList(menu, {L"a", L"b", L"c"}, 1, 10);
  EXPECT_EQ(GetMenuItemCount(menu), 6);
  EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(menu, 4, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_FALSE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_CHECKED);
  // Rebuilding replaces the list and keeps a single separator.
  RebuildWindowList(menu, {L"a"}, 0, 10);
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_EQ(GetMenuItemID(menu, 3), CMD_WINDOW_PAGE_FIRST);
  RebuildWindowList(menu, {}, -1, 10);
  EXPECT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(GetMenuItemID(menu, 1), 0x8005u);
  // A popup holding nothing else gets the list without a separator in front.
  HMENU bare = CreatePopupMenu();
  RebuildWindowList(bare, {L"a", L"b"}, 1, 1);
  EXPECT_EQ(GetMenuItemCount(bare), 1);
  EXPECT_FALSE(GetMenuState(bare, 0, MF_BYPOSITION) & MF_CHECKED);
  DestroyMenu(bare);
  DestroyMenu(menu);
}
