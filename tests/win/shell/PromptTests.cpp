// The common controls header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>

#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "commands/MenuPrompts.h"
#include "commands/ToolTipText.h"
#include "resources/ResourceIds.h"
#include "win/UniqueHandle.h"

namespace {

class MenuPrompts : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame.Create(), nullptr);
    wchar_t ready[128]{};
    LoadStringW(GetModuleHandleW(nullptr), STR_READY, ready, 128);
    frame.statusBar =
        CreateWindowExW(0, STATUSCLASSNAMEW, ready, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                        frame.Handle(), reinterpret_cast<HMENU>(0xE801), nullptr, nullptr);
    ASSERT_NE(frame.statusBar, nullptr);
    menu.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN)));
    ASSERT_TRUE(menu);
  }

  bool Simple() { return SendMessageW(frame.statusBar, SB_ISSIMPLE, 0, 0) != 0; }

  // The text the status bar shows: its simple text in simple mode, else its first part.
  std::wstring Shown() {
    wchar_t text[300]{};
    SendMessageW(frame.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }

  void Select(UINT item, UINT flags, HMENU popup) {
    SendMessageW(frame.Handle(), WM_MENUSELECT, MAKEWPARAM(item, flags), reinterpret_cast<LPARAM>(popup));
  }

  ServiceFrame frame;
  UniqueMenu menu;
};

TEST_F(MenuPrompts, SelectedItemsShowTheirPromptsAndClosingBringsBackReady) {
  HMENU file = GetSubMenu(menu.get(), 0), window = GetSubMenu(menu.get(), 3);
  Select(CMD_FILE_SAVE, MF_STRING | MF_HILITE, file);
  EXPECT_TRUE(Simple());
  EXPECT_EQ(Shown(), RussianInterface() ? L"Сохранить текущий документ" : L"Save the active document");

  Select(CMD_WINDOW_CLOSE, MF_STRING | MF_HILITE, window);
  EXPECT_TRUE(Simple());
  EXPECT_EQ(Shown(), L"") << "an id without a string";
  Select(CMD_FILE_SAVE, MF_STRING | MF_HILITE, file);
  Select(CMD_WINDOW_CLOSE_ALL, MF_STRING | MF_HILITE, window);
  EXPECT_EQ(Shown(), L"");

  Select(CMD_WINDOW_PAGE_FIRST + 3, MF_STRING | MF_HILITE, window);
  EXPECT_EQ(Shown(), RussianInterface() ? L"Перейти к этому окну" : L"Activate this window");

  // A popup shows no prompt even where its position matches a command with one.
  Select(0, MF_POPUP | MF_HILITE, menu.get());
  EXPECT_EQ(Shown(), L"");

  Select(0, 0xFFFF, nullptr);
  EXPECT_FALSE(Simple());
  EXPECT_EQ(Shown(), RussianInterface() ? L"Готово" : L"Ready");
}

TEST_F(MenuPrompts, SystemCommandsShareTheirPrompts) {
  HMENU system = GetSystemMenu(frame.Handle(), FALSE);
  Select(SC_MOVE, MF_STRING | MF_HILITE | MF_SYSMENU, system);
  EXPECT_EQ(Shown(), RussianInterface() ? L"Изменить положение окна" : L"Change the window position");
  Select(SC_RESTORE, MF_STRING | MF_HILITE | MF_SYSMENU, system);
  EXPECT_EQ(Shown(),
            RussianInterface() ? L"Восстановить обычный размер окна" : L"Restore the window to normal size");
  Select(SC_CLOSE, MF_STRING | MF_HILITE | MF_SYSMENU, system);
  EXPECT_EQ(Shown(), RussianInterface() ? L"Закрыть активное окно с предложением сохранить документы"
                                        : L"Close the active window and prompts to save the documents");
}

TEST_F(MenuPrompts, FollowTheSelectionInAnOpenMenu) {
  const std::wstring newPrompt = RussianInterface() ? L"Создать новый документ" : L"Create a new document";
  const std::wstring savePrompt =
      RussianInterface() ? L"Сохранить текущий документ" : L"Save the active document";
  HMENU file = GetSubMenu(menu.get(), 0);
  std::wstring first;
  ModalScript script;
  script.Then([] { return ShownPopupMenu() != nullptr; }, [] { SendKey(VK_DOWN); })
      .Then([&] { return Simple(); },
            [&] {
              first = Shown();
              SendKey(VK_DOWN);
              SendKey(VK_DOWN);
            })
      .Then([&] { return Shown() == savePrompt; }, [] { SendKey(VK_ESCAPE); });
  BringToFront(frame.Handle());
  TrackPopupMenuEx(file, TPM_LEFTALIGN | TPM_TOPALIGN, 200, 200, frame.Handle(), nullptr);
  PumpMessages();
  ASSERT_FALSE(script.GaveUp()) << "the status bar showed: " << testing::PrintToString(Shown());
  EXPECT_EQ(first, newPrompt);
  EXPECT_FALSE(Simple());
  EXPECT_EQ(Shown(), RussianInterface() ? L"Готово" : L"Ready");
}

// ---- Tooltips ------------------------------------------------------------------------------

NMTTDISPINFOW AskWide(UINT_PTR id, UINT flags = 0) {
  NMTTDISPINFOW info{};
  info.hdr.idFrom = id;
  info.hdr.code = TTN_GETDISPINFOW;
  info.uFlags = flags;
  wcscpy(info.szText, L"stale");
  EXPECT_TRUE(SupplyToolTipText(&info.hdr));
  return info;
}

TEST(ToolTips, ShowTheShortNameOfTheButtonsCommand) {
  NMTTDISPINFOW about = AskWide(CMD_APP_ABOUT);
  EXPECT_STREQ(about.lpszText, RussianInterface() ? L"О программе" : L"About");
  EXPECT_NE(about.uFlags & TTF_DI_SETITEM, 0u);
  EXPECT_STREQ(AskWide(CMD_FILE_NEW).lpszText, RussianInterface() ? L"Создать" : L"New");
  EXPECT_STREQ(AskWide(CMD_EDIT_CUT).lpszText, RussianInterface() ? L"Вырезать" : L"Cut");

  NMTTDISPINFOA narrow{};
  narrow.hdr.idFrom = CMD_FILE_SAVE;
  narrow.hdr.code = TTN_GETDISPINFOA;
  ASSERT_TRUE(SupplyToolTipText(&narrow.hdr));
  const wchar_t* expected = RussianInterface() ? L"Сохранить" : L"Save";
  char expectedNarrow[80]{};
  WideCharToMultiByte(CP_ACP, 0, expected, -1, expectedNarrow, 80, nullptr, nullptr);
  EXPECT_STREQ(narrow.lpszText, expectedNarrow);
}

TEST(ToolTips, ToolsWithoutAShortNameShowNothing) {
  NMTTDISPINFOW separator = AskWide(0);
  EXPECT_STREQ(separator.lpszText, L"");
  EXPECT_EQ(separator.uFlags & TTF_DI_SETITEM, 0u);
  EXPECT_STREQ(AskWide(CMD_APP_ABOUT, TTF_IDISHWND).lpszText, L"");

  NMTTDISPINFOW noString = AskWide(CMD_WINDOW_CLOSE);
  EXPECT_STREQ(noString.lpszText, L"");
  EXPECT_EQ(noString.uFlags & TTF_DI_SETITEM, 0u);

  // "Ready" exists but has no short name: no text, yet the tooltip may keep that answer.
  NMTTDISPINFOW noShortName = AskWide(STR_READY);
  EXPECT_STREQ(noShortName.lpszText, L"");
  EXPECT_NE(noShortName.uFlags & TTF_DI_SETITEM, 0u);

  NMHDR other{nullptr, 0, TTN_SHOW};
  EXPECT_FALSE(SupplyToolTipText(&other));
}

TEST(ToolTips, HoveringTheAboutButtonShowsAbout) {
  ServiceFrame frame;
  ASSERT_NE(frame.Create(), nullptr);
  HWND toolbar = CreateResourceToolbar(frame.Handle(), TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER);
  ASSERT_NE(toolbar, nullptr);
  BringToFront(frame.Handle());
  int about = static_cast<int>(SendMessageW(toolbar, TB_COMMANDTOINDEX, CMD_APP_ABOUT, 0));
  RECT button{};
  SendMessageW(toolbar, TB_GETITEMRECT, about, reinterpret_cast<LPARAM>(&button));
  auto tooltip = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tooltip, nullptr);

  MoveMouseTo(ClientToScreenPoint(toolbar, button.left + 5, button.top + 5));
  MoveMouseTo(ClientToScreenPoint(toolbar, button.left + 8, button.top + 8));
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(tooltip) != FALSE; }, 5000));
  wchar_t text[80]{};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = toolbar;
  tool.uId = CMD_APP_ABOUT;
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, RussianInterface() ? L"О программе" : L"About");
  MoveMouseTo(POINT{0, 0});
}

}  // namespace
