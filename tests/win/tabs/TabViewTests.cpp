#include "TabTestFixture.h"

namespace {

using Texts = std::vector<std::wstring>;

std::wstring Repeat(wchar_t c, size_t count) { return std::wstring(count, c); }

}  // namespace

TEST_F(TabViewTest, EmptyContainerShowsWorkspaceAndHidesStrip) {
  ASSERT_NE(view.GetTabStrip(), nullptr);
  EXPECT_EQ(GetDlgCtrlID(view.GetTabStrip()), TAB_STRIP_ID);
  EXPECT_FALSE(IsWindowVisible(view.GetTabStrip()));
  EXPECT_EQ(view.GetActivePage(), -1);
  EXPECT_EQ(view.GetPageWindow(0), nullptr);
  EXPECT_EQ(view.GetPageTitle(0), nullptr);
  EXPECT_EQ(view.GetPageData(-1), nullptr);
  EXPECT_EQ(ReadClientPixel(view.Handle(), 20, 20), GetSysColor(COLOR_APPWORKSPACE));
  EXPECT_EQ(MenuTexts(), (Texts{L"&Close\tCtrl+F4", L"Close &All"}));
}

TEST_F(TabViewTest, AddedPagesLieBelowTheStripAndOnlyTheActiveOneShows) {
  TestPage& first = Add(L"first.bad");
  TestPage& second = Add(L"second.bad");
  PumpMessages();
  EXPECT_EQ(view.GetPageCount(), 2);
  EXPECT_EQ(view.GetActivePage(), 1);
  EXPECT_EQ(view.GetPageData(0), &first);
  EXPECT_EQ(view.GetPageWindow(1), second.Handle());
  EXPECT_FALSE(IsWindowVisible(first.Handle()));
  EXPECT_TRUE(IsWindowVisible(second.Handle()));
  EXPECT_EQ(GetFocus(), second.Handle());
  EXPECT_EQ(TabCtrl_GetCurSel(view.GetTabStrip()), 1);

  RECT client{}, strip{}, page{};
  GetClientRect(view.Handle(), &client);
  GetWindowRect(view.GetTabStrip(), &strip);
  GetWindowRect(second.Handle(), &page);
  MapWindowPoints(nullptr, view.Handle(), reinterpret_cast<POINT*>(&strip), 2);
  MapWindowPoints(nullptr, view.Handle(), reinterpret_cast<POINT*>(&page), 2);
  int band = strip.bottom - strip.top;
  EXPECT_GT(band, 10);
  EXPECT_EQ(strip.right - strip.left, client.right);
  EXPECT_EQ(page.top, band);
  EXPECT_EQ(page.bottom, client.bottom);

  // The new page of InsertPage in the active one's place: the page on screen so far is hidden.
  TestPage& inserted = MakePage();
  EXPECT_TRUE(view.InsertPage(1, inserted.Handle(), L"inserted", -1, nullptr));
  EXPECT_EQ(view.GetActivePage(), 1);
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_TRUE(IsWindowVisible(inserted.Handle()));
  EXPECT_EQ(parent.NotesWithCode(TABVIEW_PAGEACTIVATED).back().id, 1);

  // Layout follows the container's size.
  SetWindowPos(view.Handle(), nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOMOVE);
  GetClientRect(view.Handle(), &client);
  GetWindowRect(inserted.Handle(), &page);
  EXPECT_EQ(page.right - page.left, client.right);
  EXPECT_EQ(page.bottom - page.top, client.bottom - band);
}

TEST_F(TabViewTest, TabsShowShortenedTitlesWhileListAndTooltipShowThemWhole) {
  std::wstring thirty = Repeat(L'a', 30), thirtyOne = Repeat(L'b', 31);
  AddPages({thirty.c_str(), thirtyOne.c_str()});
  EXPECT_EQ(TabText(0), thirty);
  EXPECT_EQ(TabText(1), Repeat(L'b', 27) + L"...");
  EXPECT_EQ(view.GetPageTitle(1), thirtyOne);
  Texts menu = MenuTexts();
  ASSERT_EQ(menu.size(), 5u);
  EXPECT_EQ(menu[3], L"&1 " + thirty);
  EXPECT_EQ(menu[4], L"&2 " + thirtyOne);

  HWND tooltip = TabCtrl_GetToolTips(view.GetTabStrip());
  ASSERT_NE(tooltip, nullptr);
  NMTTDISPINFOW info{};
  info.hdr = NMHDR{tooltip, 1, TTN_GETDISPINFOW};
  SendMessageW(view.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(std::wstring(info.lpszText), thirtyOne);
  // The same request from any other window is the frame's business.
  parent.notes.clear();
  info.hdr.hwndFrom = pages[0]->Handle();
  SendMessageW(view.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, TTN_GETDISPINFOW);
}

TEST_F(TabViewTest, RetitlingAndListPicksSendNothing) {
  AddPages({L"one", L"two", L"three"});
  parent.notes.clear();
  std::wstring longName = L"C:\\Games\\Sounds\\" + Repeat(L'x', 30) + L".bad";
  EXPECT_TRUE(view.SetPageTitle(1, longName.c_str()));
  EXPECT_FALSE(view.SetPageTitle(3, L"nobody"));
  EXPECT_EQ(view.GetPageTitle(1), longName);
  EXPECT_EQ(TabText(1), longName.substr(0, 27) + L"...");
  EXPECT_EQ(MenuTexts()[4], L"&2 " + longName);
  EXPECT_EQ(view.GetActivePage(), 2);

  view.SetActivePage(0);
  EXPECT_EQ(CheckedMenuPosition(), 3);
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));
  EXPECT_EQ(GetFocus(), pages[0]->Handle());
  EXPECT_TRUE(parent.notes.empty());

  wchar_t caption[64]{};
  GetWindowTextW(parent.Handle(), caption, 64);
  EXPECT_STREQ(caption, L"Frame caption");
}

TEST_F(TabViewTest, WindowListHoldsTenNumberedEntriesAndMarksOnlyListedPages) {
  for (int index = 1; index <= 12; ++index) Add(L"page" + std::to_wstring(index));
  view.SetActivePage(0);
  Texts menu = MenuTexts();
  ASSERT_EQ(menu.size(), 13u);
  EXPECT_EQ(menu[2], L"-");
  EXPECT_EQ(menu[3], L"&1 page1");
  EXPECT_EQ(menu[11], L"&9 page9");
  EXPECT_EQ(menu[12], L"10 page10");
  EXPECT_EQ(GetMenuItemID(windowMenu, 12), CMD_WINDOW_PAGE_FIRST + 9);
  EXPECT_EQ(CheckedMenuPosition(), 3);

  // Ctrl+Tab walks to page 11, which has no entry, so nothing is marked.
  view.SetActivePage(9);
  EXPECT_EQ(CheckedMenuPosition(), 12);
  EXPECT_EQ(PressWithPageKeys({VK_CONTROL, VK_TAB}), 1);
  EXPECT_EQ(view.GetActivePage(), 10);
  EXPECT_EQ(CheckedMenuPosition(), -1);
  EXPECT_EQ(MenuTexts().size(), 13u);
}

TEST_F(TabViewTest, CtrlTabCyclesAndWraps) {
  // With no page the keys are not the container's.
  EXPECT_EQ(PressWithPageKeys({VK_CONTROL, VK_TAB}), 0);
  Add(L"only");
  parent.notes.clear();
  EXPECT_EQ(PressWithPageKeys({VK_CONTROL, VK_TAB}), 1);
  EXPECT_EQ(view.GetActivePage(), 0);
  EXPECT_TRUE(parent.notes.empty());

  AddPages({L"B", L"C"});
  parent.notes.clear();
  EXPECT_EQ(view.GetActivePage(), 2);
  PressWithPageKeys({VK_CONTROL, VK_TAB});
  EXPECT_EQ(view.GetActivePage(), 0);
  EXPECT_EQ(GetFocus(), pages[0]->Handle());
  PressWithPageKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(view.GetActivePage(), 2);
  PressWithPageKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_EQ(view.GetActivePage(), 1);
  auto notes = parent.NotesWithCode(TABVIEW_PAGEACTIVATED);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].id, 0);
  EXPECT_EQ(notes[1].id, 2);
  EXPECT_EQ(notes[2].id, 1);
  EXPECT_EQ(notes[2].from, view.Handle());
  EXPECT_EQ(VisiblePageCount(), 1);

  // Other keys are offered to the active page, which may take them.
  pages[1]->takesForwardedKey = 'Q';
  EXPECT_EQ(PressWithPageKeys({'Q'}), 1);
  EXPECT_EQ(PressWithPageKeys({'W'}), 0);
}

TEST_F(TabViewTest, ClosingPagesActivatesTheRightNeighbour) {
  AddPages({L"A", L"B", L"C", L"D", L"E", L"F"});
  // A page right of the active one: the active page stays where it is.
  view.SetActivePage(0);
  view.RemovePage(5);
  EXPECT_EQ(view.GetActivePage(), 0);
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_TRUE(IsWindowVisible(pages[0]->Handle()));
  // The active first page: the new first page follows.
  parent.notes.clear();
  view.RemovePage(0);
  EXPECT_EQ(Titles(), (Texts{L"B", L"C", L"D", L"E"}));
  EXPECT_EQ(view.GetActivePage(), 0);
  EXPECT_EQ(parent.notes.back().id, 0);
  // The active third page: the second follows.
  view.SetActivePage(2);
  view.RemovePage(2);
  EXPECT_EQ(view.GetActivePage(), 1);
  EXPECT_EQ(view.GetPageTitle(1), std::wstring(L"C"));
  // A page left of the active one: the same page stays active one place further left.
  view.SetActivePage(2);
  parent.notes.clear();
  view.RemovePage(0);
  EXPECT_EQ(Titles(), (Texts{L"C", L"E"}));
  EXPECT_EQ(view.GetActivePage(), 1);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].id, 1);
  EXPECT_TRUE(IsWindowVisible(view.GetPageWindow(1)));
  EXPECT_EQ(VisiblePageCount(), 1);
  EXPECT_EQ(CheckedMenuPosition(), 4);
  for (int index : {0, 1, 3}) EXPECT_EQ(pages[static_cast<size_t>(index)]->destroyed, 1);

  // The last pages: strip hidden, workspace back, list and separator gone.
  view.RemovePage(1);
  parent.notes.clear();
  view.RemovePage(0);
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, TABVIEW_PAGEACTIVATED);
  EXPECT_EQ(parent.notes[0].id, -1);
  EXPECT_EQ(view.GetActivePage(), -1);
  EXPECT_FALSE(IsWindowVisible(view.GetTabStrip()));
  EXPECT_EQ(MenuTexts(), (Texts{L"&Close\tCtrl+F4", L"Close &All"}));
  EXPECT_EQ(ReadClientPixel(view.Handle(), 20, 40), GetSysColor(COLOR_APPWORKSPACE));
}

TEST_F(TabViewTest, CloseAllEmptiesOnceAndThenDoesNothing) {
  AddPages({L"A", L"B", L"C"});
  parent.notes.clear();
  view.RemoveAllPages();
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].id, -1);
  EXPECT_EQ(view.GetPageCount(), 0);
  EXPECT_FALSE(IsWindowVisible(view.GetTabStrip()));
  EXPECT_EQ(MenuTexts().size(), 2u);
  for (const auto& page : pages) EXPECT_EQ(page->destroyed, 1);

  parent.notes.clear();
  view.RemoveAllPages();
  EXPECT_TRUE(parent.notes.empty());
}

TEST_F(TabViewTest, DestroyingTheContainerClosesItsPagesFirst) {
  AddPages({L"A", L"B"});
  parent.notes.clear();
  DestroyWindow(view.Handle());
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].id, -1);
  for (const auto& page : pages) EXPECT_EQ(page->destroyed, 1);
  EXPECT_FALSE(view.TranslatePageKeys(nullptr));
}

TEST_F(TabViewTest, PageMessagesGoUpUnchanged) {
  Add(L"A");
  parent.commandResult = 77;
  EXPECT_EQ(SendMessageW(view.Handle(), WM_COMMAND, MAKEWPARAM(12, 1),
                         reinterpret_cast<LPARAM>(pages[0]->Handle())),
            77);
  EXPECT_EQ(parent.otherMessages, std::vector<UINT>{WM_COMMAND});
  NMHDR header{pages[0]->Handle(), 5, NM_CLICK};
  parent.notes.clear();
  SendMessageW(view.Handle(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header));
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].from, pages[0]->Handle());
  // The strip's own notifications stay inside.
  header = NMHDR{view.GetTabStrip(), TAB_STRIP_ID, NM_CLICK};
  SendMessageW(view.Handle(), WM_NOTIFY, TAB_STRIP_ID, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(parent.notes.size(), 1u);
  // The focus given to the container goes on to the page.
  SetFocus(view.Handle());
  EXPECT_EQ(GetFocus(), pages[0]->Handle());
}
