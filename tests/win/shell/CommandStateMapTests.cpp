// The common controls header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <vector>

#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "resources/ResourceIds.h"
#include "win/UniqueHandle.h"

namespace {

class CommandStates : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame.Create(), nullptr);
    toolbar = CreateResourceToolbar(frame.Handle(), TBSTYLE_FLAT | CCS_NODIVIDER);
    ASSERT_NE(toolbar, nullptr);
    frame.states.RegisterElement(toolbar, COMMAND_KIND_TOOLBAR);
  }

  bool Enabled(UINT id) { return SendMessageW(toolbar, TB_ISBUTTONENABLED, id, 0) != 0; }
  bool Checked(UINT id) { return SendMessageW(toolbar, TB_ISBUTTONCHECKED, id, 0) != 0; }
  bool Indeterminate(UINT id) { return SendMessageW(toolbar, TB_ISBUTTONINDETERMINATE, id, 0) != 0; }

  ServiceFrame frame;
  CommandStateMap& states = frame.states;
  HWND toolbar = nullptr;
};

TEST_F(CommandStates, ChangesReachTheToolbarOnlyWhenPushed) {
  EXPECT_EQ(states.DirtyKinds(), 0);
  ASSERT_TRUE(Enabled(CMD_FILE_SAVE));

  states.EnableCommand(CMD_FILE_SAVE, false);
  EXPECT_NE(states.State(CMD_FILE_SAVE) & COMMAND_STATE_DISABLED, 0);
  EXPECT_TRUE(Enabled(CMD_FILE_SAVE)) << "pushed before the idle pass";
  EXPECT_NE(states.DirtyKinds() & COMMAND_KIND_TOOLBAR, 0);

  states.PushToToolbars();
  EXPECT_FALSE(Enabled(CMD_FILE_SAVE));
  EXPECT_EQ(states.DirtyKinds() & COMMAND_KIND_TOOLBAR, 0);
  EXPECT_EQ(states.State(CMD_FILE_SAVE) & COMMAND_KIND_TOOLBAR, 0);

  states.EnableCommand(CMD_FILE_SAVE, true);
  states.PushToToolbars();
  EXPECT_TRUE(Enabled(CMD_FILE_SAVE));
  EXPECT_EQ(states.State(CMD_FILE_SAVE) & COMMAND_STATE_DISABLED, 0);
}

TEST_F(CommandStates, UnchangedStatesPushNothing) {
  states.EnableCommand(CMD_EDIT_COPY, false);
  states.PushToToolbars();
  ASSERT_FALSE(Enabled(CMD_EDIT_COPY));
  // Someone else enables the button; setting the state the map already has must not undo it.
  SendMessageW(toolbar, TB_ENABLEBUTTON, CMD_EDIT_COPY, MAKELPARAM(TRUE, 0));
  states.EnableCommand(CMD_EDIT_COPY, false);
  states.SetCommandCheck(CMD_EDIT_COPY, 0);
  states.PushToToolbars();
  EXPECT_TRUE(Enabled(CMD_EDIT_COPY));
}

TEST_F(CommandStates, CheckStatesAndIdsOutsideTheTable) {
  states.SetCommandCheck(CMD_EDIT_CUT, 1);
  states.PushToToolbars();
  EXPECT_TRUE(Checked(CMD_EDIT_CUT));
  EXPECT_FALSE(Indeterminate(CMD_EDIT_CUT));

  states.SetCommandCheck(CMD_EDIT_CUT, 2);
  states.PushToToolbars();
  EXPECT_FALSE(Checked(CMD_EDIT_CUT));
  EXPECT_TRUE(Indeterminate(CMD_EDIT_CUT));

  states.SetCommandCheck(CMD_EDIT_CUT, 0);
  states.PushToToolbars();
  EXPECT_FALSE(Checked(CMD_EDIT_CUT));
  EXPECT_FALSE(Indeterminate(CMD_EDIT_CUT));

  // New and About are not in the table: the map keeps no state for them.
  states.EnableCommand(CMD_FILE_NEW, false);
  states.SetCommandCheck(CMD_APP_ABOUT, 1);
  states.PushToToolbars();
  EXPECT_EQ(states.State(CMD_FILE_NEW), 0);
  EXPECT_TRUE(Enabled(CMD_FILE_NEW));
  EXPECT_FALSE(Checked(CMD_APP_ABOUT));
}

// The menu bar shows popups, not commands: whatever the frame disables or checks, a menu bar
// registered with the map keeps its items as they are.
TEST_F(CommandStates, NoEntryShowsOnAMenuBar) {
  UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN)));
  ASSERT_TRUE(menu);
  SetMenu(frame.Handle(), menu.get());
  states.RegisterElement(frame.Handle(), COMMAND_KIND_MENU_BAR);
  std::vector<UINT> ids;
  for (HMENU popup : {GetSubMenu(menu.get(), 0), GetSubMenu(menu.get(), 1), GetSubMenu(menu.get(), 2)}) {
    for (int item = 0; item < GetMenuItemCount(popup); ++item) ids.push_back(GetMenuItemID(popup, item));
  }
  for (UINT id : ids) {
    states.EnableCommand(id, false);
    states.SetCommandCheck(id, 1);
  }
  EXPECT_EQ(states.DirtyKinds() & COMMAND_KIND_MENU_BAR, 0);
  states.PushToMenuBars();
  for (UINT id : ids) {
    if (id == 0 || id == static_cast<UINT>(-1)) continue;  // separators and cascading popups
    EXPECT_EQ(GetMenuState(menu.get(), id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), 0u) << std::hex << id;
  }
  SetMenu(frame.Handle(), nullptr);
}

TEST_F(CommandStates, PopupShowsStatesWhenItOpens) {
  UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN)));
  ASSERT_TRUE(menu);
  states.SetCommandCheck(CMD_VIEW_TOOLBAR, 1);
  states.SetCommandCheck(CMD_VIEW_STATUS_BAR, 1);
  HMENU view = GetSubMenu(menu.get(), 2);
  HMENU file = GetSubMenu(menu.get(), 0);

  // A real popup: the platform sends the frame WM_INITMENUPOPUP before showing it.
  std::vector<std::wstring> shown;
  ModalScript script;
  script.Then(
      [] { return ShownPopupMenu() != nullptr; },
      [&] {
        shown = {GetMenuState(view, CMD_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED ? L"toolbar checked" : L"",
                 GetMenuState(view, CMD_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED ? L"bar checked" : L""};
        EndMenu();
      });
  BringToFront(frame.Handle());
  TrackPopupMenuEx(view, TPM_LEFTALIGN | TPM_TOPALIGN, 200, 200, frame.Handle(), nullptr);
  PumpMessages();
  ASSERT_FALSE(script.GaveUp());
  EXPECT_EQ(shown, (std::vector<std::wstring>{L"toolbar checked", L"bar checked"}));

  // Hiding the toolbar takes its mark away the next time the popup opens.
  states.SetCommandCheck(CMD_VIEW_TOOLBAR, 0);
  SendMessageW(frame.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), MAKELPARAM(2, FALSE));
  EXPECT_EQ(GetMenuState(view, CMD_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_NE(GetMenuState(view, CMD_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, 0u);

  // Items are found by command: File's disabled entries gray out, the others stay as they are.
  states.EnableCommand(CMD_FILE_SAVE, false);
  states.EnableCommand(CMD_FILE_PRINT_SETUP, false);
  SendMessageW(frame.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
  EXPECT_NE(GetMenuState(file, CMD_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(file, CMD_FILE_PRINT_SETUP, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(file, CMD_FILE_SAVE_AS, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuState(file, CMD_FILE_NEW, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(GetMenuItemCount(file), 11);

  states.EnableCommand(CMD_FILE_SAVE, true);
  SendMessageW(frame.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
  EXPECT_EQ(GetMenuState(file, CMD_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

TEST_F(CommandStates, AcceleratorsOfDisabledCommandsPassUnlessBlockingIsOn) {
  states.EnableCommand(CMD_EDIT_PASTE, false);
  Message fromAccelerator{frame.Handle(), WM_COMMAND, MAKEWPARAM(CMD_EDIT_PASTE, 1), 0};
  EXPECT_FALSE(states.HandleMessage(fromAccelerator));

  states.SetAcceleratorBlocking(true);
  EXPECT_TRUE(states.HandleMessage(fromAccelerator));
  Message fromMenu{frame.Handle(), WM_COMMAND, MAKEWPARAM(CMD_EDIT_PASTE, 0), 0};
  EXPECT_FALSE(states.HandleMessage(fromMenu));
  Message enabledCommand{frame.Handle(), WM_COMMAND, MAKEWPARAM(CMD_FILE_SAVE, 1), 0};
  EXPECT_FALSE(states.HandleMessage(enabledCommand));
}

}  // namespace
