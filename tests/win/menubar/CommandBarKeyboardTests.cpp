#include "CommandBarTestFixture.h"
#include "ResourceIds.h"
#include "WinTestSupport.h"
#include "menubar/MenuBarNavigation.h"

namespace {

TEST_F(CommandBarTest, ArrowKeysSkipDisabledPopups) {
  // A menu built here: the second popup is grayed, so its button is disabled and skipped.
  HMENU menu = CreateMenu();
  const wchar_t* names[] = {L"&One", L"&Two", L"T&hree"};
  for (const wchar_t* name : names) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 0x100, L"&Item");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), name);
  }
  EnableMenuItem(menu, 1, MF_BYPOSITION | MF_GRAYED);
  ASSERT_TRUE(bar_->AttachMenu(menu));
  ASSERT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_FALSE(SendMessageW(Bar(), TB_ISBUTTONENABLED, CommandBar::kFirstButtonId + 1, 0));

  PressKey(VK_F10);
  ASSERT_TRUE(bar_->InKeyboardMode());
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_LEFT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(GetFocus(), edit_);
}

TEST_F(CommandBarTest, ButtonsClippedByANarrowBandAreLeftToTheChevron) {
  // As inside the frame's rebar: clipped buttons are hidden, and the bar is narrowed so that
  // only the first three fit.
  SendMessageW(Bar(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_HIDECLIPPEDBUTTONS);
  RECT third{};
  SendMessageW(Bar(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  SetWindowPos(Bar(), nullptr, 0, 0, third.right + 2, 26, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  PressKey(VK_F10);
  ASSERT_TRUE(bar_->InKeyboardMode());
  PressKey(VK_LEFT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(bar_->InKeyboardMode());
}

// The focused window keeps the focus all along, and with it its text and caret.
TEST_F(CommandBarTest, AltEntersTheBarArrowsNavigateAndEscapeLeavesTheFocusAlone) {
  HWND bar = Bar();
  HWND edit = edit_;
  SetWindowTextW(edit, L"half typed");
  SendMessageW(edit, EM_SETSEL, 4, 4);
  DWORD thread = GetCurrentThreadId();
  auto editOpen = PopupOpen(1), viewOpen = PopupOpen(2), fileOpen = PopupOpen(0), helpOpen = PopupOpen(5);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_MENU);
    if (!driver.WaitFor("Alt makes the first button hot", [&] { return HotButton(bar) == 0; })) return;
    driver.WaitFor("the edit keeps the focus", [&] { return FocusOfThread(thread) == edit; });
    if (OpenMenuWindow() != nullptr) driver.Fail("Alt alone opens no popup");
    PressKey(VK_RIGHT);
    driver.WaitFor("Right moves to Edit", [&] { return HotButton(bar) == 1; });
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    driver.WaitFor("Left wraps around to Help", [&] { return HotButton(bar) == 5; });
    PressKey(VK_RIGHT);
    PressKey(VK_RIGHT);
    driver.WaitFor("Right wraps around to Edit", [&] { return HotButton(bar) == 1; });
    PressKey(VK_DOWN);
    if (!driver.WaitFor("Down opens Edit", editOpen)) return;
    PressKey(VK_RIGHT);
    if (!driver.WaitFor("Right switches to View", viewOpen)) return;
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    if (!driver.WaitFor("Left twice switches to File", fileOpen)) return;
    PressKey(VK_LEFT);
    if (!driver.WaitFor("Left from File wraps to Help", helpOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes the popup", NoPopupOpen());
    driver.WaitFor("its button stays hot", [&] { return HotButton(bar) == 5; });
    driver.WaitFor("the edit still has the focus", [&] { return FocusOfThread(thread) == edit; });
    PressKey(VK_ESCAPE);
    driver.WaitFor("a second Escape leaves the bar", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("with the focus where it was", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(frame_->commandCount, 0);
  wchar_t text[32]{};
  GetWindowTextW(edit, text, 32);
  EXPECT_STREQ(text, L"half typed");
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(end, 4u);
  SetWindowTextW(edit, L"");
}

TEST_F(CommandBarTest, AltPressedTwiceLeavesTheBar) {
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_MENU);
    if (!driver.WaitFor("Alt enters the bar", [&] { return HotButton(bar) == 0; })) return;
    PressKey(VK_MENU);
    driver.WaitFor("Alt again leaves it", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("the focus is back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

TEST_F(CommandBarTest, F10AndEnterOpenTheFirstPopupWithItsFirstItemSelected) {
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_F10);
    if (!driver.WaitFor("F10 makes the first button hot", [&] { return HotButton(bar) == 0; })) return;
    PressKey(VK_RETURN);
    if (!driver.WaitFor("Enter opens File", fileOpen)) return;
    driver.WaitFor("its first item is selected", [&] { return frame->lastSelectedItem == CMD_FILE_NEW; });
    PressKey(VK_RETURN);
    driver.WaitFor("Enter chooses New", [&] { return frame->lastCommand == CMD_FILE_NEW; });
    driver.WaitFor("a command leaves the bar", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("and gives the focus back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 1);
}

TEST_F(CommandBarTest, AltAndAMnemonicOpenThatPopupDirectly) {
  // The mnemonics are letters of the menu's language. Where the display's keyboard layout has
  // no key for them (Cyrillic letters on the virtual display's US layout), the characters the
  // keyboard would produce are posted into the same loop instead.
  wchar_t viewMnemonic = MnemonicOf(MenuText(bar_->GetMenu(), 2));
  wchar_t fileMnemonic = MnemonicOf(MenuText(bar_->GetMenu(), 0));
  WORD viewKey = KeyFor(viewMnemonic), fileKey = KeyFor(fileMnemonic);
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto viewOpen = PopupOpen(2), fileOpen = PopupOpen(0);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    if (viewKey != 0) {
      PressChord({VK_MENU, viewKey});
    } else {
      constexpr LPARAM kAltDown = 1 << 29;
      PostMessageW(edit, WM_SYSCHAR, viewMnemonic, 1 | kAltDown);
    }
    if (!driver.WaitFor("Alt+mnemonic opens View", viewOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes it", NoPopupOpen());
    driver.WaitFor("View stays hot", [&] { return HotButton(bar) == 2; });
    // Inside the bar the mnemonic alone opens its popup.
    if (fileKey != 0) {
      PressKey(fileKey);
    } else {
      PostMessageW(bar, WM_CHAR, fileMnemonic, 1);
    }
    if (!driver.WaitFor("the mnemonic alone opens File", fileOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes it", NoPopupOpen());
    PressKey(VK_ESCAPE);
    driver.WaitFor("the focus is back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

// Alt+Q matches no popup: the keys go on to the focused window as if there were no bar.
TEST_F(CommandBarTest, AnUnknownMnemonicOpensNothing) {
  HWND bar = Bar();
  HWND edit = edit_;
  SetWindowTextW(edit, L"");
  auto typed = [edit] {
    wchar_t text[8]{};
    GetWindowTextW(edit, text, 8);
    return std::wstring(text);
  };
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressChord({VK_MENU, 'Q'});
    // Reaches the edit only once the chord has been handled and nothing took the keyboard; a
    // popup the chord asked for would open first, its request being queued ahead of the key.
    PressKey('X');
    driver.WaitFor("the next letter is typed into the edit", [&] { return typed() == L"x"; });
    if (OpenMenuWindow() != nullptr) driver.Fail("Alt+Q opened a popup");
    if (HotButton(bar) != -1) driver.Fail("Alt+Q lit a button");
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_FALSE(bar_->InKeyboardMode());
  SetWindowTextW(edit, L"");
}

}  // namespace
