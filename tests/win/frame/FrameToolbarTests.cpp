#include <gtest/gtest.h>

#include <vector>

#include "app/FrameToolbar.h"
#include "resources/ResourceIds.h"

namespace {

TEST(ToolbarButtons, ButtonsCountImagesAndSeparatorsAreEightWide) {
  const std::vector<WORD> ids{CMD_FILE_NEW, CMD_FILE_OPEN, 0, CMD_EDIT_CUT};
  std::vector<TBBUTTON> buttons = MakeToolbarButtons(ids, false);
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0].iBitmap, 0);
  EXPECT_EQ(buttons[0].idCommand, CMD_FILE_NEW);
  EXPECT_EQ(buttons[0].fsState, TBSTATE_ENABLED);
  EXPECT_EQ(buttons[0].fsStyle, BTNS_BUTTON);
  EXPECT_EQ(buttons[1].iBitmap, 1);
  EXPECT_EQ(buttons[2].fsStyle, BTNS_SEP);
  EXPECT_EQ(buttons[2].idCommand, 0);
  EXPECT_EQ(buttons[2].iBitmap, kToolbarSeparatorWidth);
  // The separator takes no image: the button after it shows the third picture.
  EXPECT_EQ(buttons[3].iBitmap, 2);

  std::vector<TBBUTTON> led = MakeToolbarButtons(ids, true);
  ASSERT_EQ(led.size(), 5u);
  EXPECT_EQ(led[0].fsStyle, BTNS_SEP);
  EXPECT_EQ(led[1].iBitmap, 0);
}

TEST(ToolbarSizes, ImagesGetSevenPixelsAroundAndGrowWithTheFont) {
  ToolbarSizes small = ComputeToolbarSizes(16, 15, 12);
  EXPECT_EQ(small.bitmap.cx, 16);
  EXPECT_EQ(small.bitmap.cy, 15);
  EXPECT_EQ(small.button.cx, 23);
  EXPECT_EQ(small.button.cy, 22);
  ToolbarSizes tall = ComputeToolbarSizes(16, 15, 20);
  EXPECT_EQ(tall.bitmap.cy, 20);
  EXPECT_EQ(tall.button.cx, 23);
  EXPECT_EQ(tall.button.cy, 27);
}

TEST(BandExtent, FromButtonsAndFromTheWindow) {
  BandExtent buttons = BandExtentFromButtons(RECT{0, 2, 40, 24}, RECT{180, 2, 230, 26});
  EXPECT_EQ(buttons.width, 230);
  EXPECT_EQ(buttons.minWidth, 40);
  EXPECT_EQ(buttons.minHeight, 24);
  BandExtent window = BandExtentFromWindow(RECT{100, 50, 400, 80});
  EXPECT_EQ(window.width, 300);
  EXPECT_EQ(window.minWidth, 0);
  EXPECT_EQ(window.minHeight, 30);
}

TEST(BandStyle, ChevronOnlyWithButtonsBreakOnlyWhenAsked) {
  EXPECT_EQ(BandStyle(0, false), UINT{RBBS_CHILDEDGE});
  EXPECT_EQ(BandStyle(5, false), UINT{RBBS_CHILDEDGE | RBBS_USECHEVRON});
  EXPECT_EQ(BandStyle(5, true), UINT{RBBS_CHILDEDGE | RBBS_USECHEVRON | RBBS_BREAK});
  EXPECT_EQ(BandStyle(0, true), UINT{RBBS_CHILDEDGE | RBBS_BREAK});
}

// The toolbar the frame builds, from the editor's own layout and bitmap.
TEST(ResourceToolbar, BuildsTheEditorsButtons) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                                nullptr, nullptr);
  ResourceToolbar toolbar = CreateResourceToolbar(parent, GetModuleHandleW(nullptr), RES_MAIN,
                                                  WS_CHILD | TBSTYLE_FLAT | CCS_NORESIZE, 0xE800, false);
  ASSERT_NE(toolbar.window, nullptr);
  // A 16-colour bitmap stays with the toolbar; no image list of ours.
  EXPECT_FALSE(toolbar.images);
  EXPECT_EQ(GetDlgCtrlID(toolbar.window), 0xE800);
  const UINT expected[] = {CMD_FILE_NEW,   CMD_FILE_OPEN, CMD_FILE_SAVE,  0,
                           CMD_EDIT_CUT,   CMD_EDIT_COPY, CMD_EDIT_PASTE, 0,
                           CMD_FILE_PRINT, CMD_APP_ABOUT, 0,
                           CMD_SOUND_PLAY, CMD_AMBIENCE_PLAY};
  ASSERT_EQ(SendMessageW(toolbar.window, TB_BUTTONCOUNT, 0, 0), 13);
  for (int index = 0; index < 13; ++index) {
    TBBUTTON button{};
    SendMessageW(toolbar.window, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(static_cast<UINT>(button.idCommand), expected[index]) << index;
  }
  const auto size = static_cast<DWORD>(SendMessageW(toolbar.window, TB_GETBUTTONSIZE, 0, 0));
  EXPECT_EQ(LOWORD(size), 23);
  EXPECT_GE(HIWORD(size), 22);
  DestroyWindow(parent);
}

}  // namespace
