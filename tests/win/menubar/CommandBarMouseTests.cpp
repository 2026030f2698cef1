#include "CommandBarTestFixture.h"
#include "ResourceIds.h"
#include "WinTestSupport.h"

namespace {

TEST_F(CommandBarTest, AClickOpensAPopupAndMovingToAnotherButtonSwitches) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0), editOpen = PopupOpen(1), viewOpen = PopupOpen(2);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 0));
    if (!driver.WaitFor("File opens on a click", fileOpen)) return;
    RECT popup{}, button{};
    GetWindowRect(OpenMenuWindow(), &popup);
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    if (popup.top < button.bottom - 1 || popup.left > button.left + 2)
      driver.Fail("File drops down below its button");

    DriverMove(frameWindow, ButtonCentre(bar, 1));
    if (!driver.WaitFor("moving to Edit switches to its popup", editOpen)) return;
    DriverMove(frameWindow, ButtonCentre(bar, 2));
    if (!driver.WaitFor("moving on to View switches again", viewOpen)) return;
    int selects = frame->menuSelectCount;
    PressKey(VK_DOWN);
    driver.WaitFor("WM_MENUSELECT reaches the frame while the popup is open", [&] {
      return frame->menuSelectCount > selects && frame->lastSelectedItem == CMD_VIEW_TOOLBAR;
    });

    // A click on the open popup's own button closes it and does not open it again.
    DriverClick(frameWindow, ButtonCentre(bar, 2));
    driver.WaitFor("a click on the open button closes", NoPopupOpen());
    driver.WaitFor("no button stays pressed", [&] { return PressedButton(bar) == -1; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  PumpMessages();
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_EQ(frame_->commandCount, 0);
}

TEST_F(CommandBarTest, AChosenItemReachesTheFrameAsItsCommand) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU help = Popup(5);
  TestFrame* frame = frame_;
  auto helpOpen = PopupOpen(5);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 5));
    if (!driver.WaitFor("Help opens", helpOpen)) return;
    RECT item{};
    GetMenuItemRect(nullptr, help, 0, &item);
    DriverClick(frameWindow, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    driver.WaitFor("About reaches the frame", [&] { return frame->lastCommand == CMD_APP_ABOUT; });
    driver.WaitFor("the popup has closed", NoPopupOpen());
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 1);
  EXPECT_EQ(GetFocus(), edit_);
}

TEST_F(CommandBarTest, AClickElsewhereClosesThePopupWithoutACommand) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto editOpen = PopupOpen(1);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 1));
    if (!driver.WaitFor("Edit opens", editOpen)) return;
    // Low in the frame, below any popup.
    DriverClick(frameWindow, ClientToScreenPoint(frameWindow, 20, 350));
    driver.WaitFor("a click elsewhere closes the popup", NoPopupOpen());
    driver.WaitFor("no button stays pressed or hot",
                   [&] { return PressedButton(bar) == -1 && HotButton(bar) != 1; });
    driver.WaitFor("the document keeps the focus", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 0);
  EXPECT_FALSE(bar_->InKeyboardMode());
}

TEST_F(CommandBarTest, PressDragReleaseChoosesAnItem) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU view = Popup(2);
  TestFrame* frame = frame_;
  auto viewOpen = PopupOpen(2);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverButton(frameWindow, ButtonCentre(bar, 2), true);
    if (!driver.WaitFor("View opens while the button is held", viewOpen)) return;
    RECT item{};
    GetMenuItemRect(nullptr, view, 1, &item);
    POINT target{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    DriverMove(frameWindow, target);
    DriverButton(frameWindow, target, false);
    driver.WaitFor("Status Bar reaches the frame", [&] { return frame->lastCommand == CMD_VIEW_STATUS_BAR; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

}  // namespace
