#include <algorithm>

#include "CommandBarTestFixture.h"
#include "ResourceIds.h"
#include "WinTestSupport.h"
#include "menubar/ThemeLibrary.h"
#include "win/Reflection.h"

namespace {

// Records the reflected WM_DRAWITEM an owner-drawn control gets back from its parent.
class ReflectedDrawRecorder : public Window {
 public:
  int drawn = 0;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == REFLECT_BASE + WM_DRAWITEM) {
      ++drawn;
      m.result = TRUE;
      return true;
    }
    return Window::HandleMessage(m);
  }
};

TEST_F(CommandBarTest, ItemsWithToolbarCommandsShowTheToolbarImages) {
  HMENU file = Popup(0), edit = Popup(1), view = Popup(2), help = Popup(5);
  // Marked for their owner to draw the image.
  for (UINT id : {CMD_FILE_NEW, CMD_FILE_OPEN, CMD_FILE_SAVE, CMD_FILE_PRINT}) {
    EXPECT_EQ(ItemBitmap(file, id), HBMMENU_CALLBACK) << std::hex << id;
  }
  for (UINT id : {CMD_EDIT_CUT, CMD_EDIT_COPY, CMD_EDIT_PASTE})
    EXPECT_EQ(ItemBitmap(edit, id), HBMMENU_CALLBACK) << std::hex << id;
  EXPECT_EQ(ItemBitmap(help, CMD_APP_ABOUT), HBMMENU_CALLBACK);
  for (UINT id : {CMD_FILE_SAVE_AS, CMD_FILE_PRINT_PREVIEW, CMD_FILE_PRINT_SETUP, CMD_APP_EXIT}) {
    EXPECT_EQ(ItemBitmap(file, id), nullptr) << std::hex << id;
  }
  EXPECT_EQ(ItemBitmap(edit, CMD_EDIT_UNDO), nullptr);
  EXPECT_EQ(ItemBitmap(view, CMD_VIEW_TOOLBAR), nullptr);

  // The frame measures the marked items for the images, 16×15, and leaves everything else.
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, CMD_FILE_SAVE, 0, 0, 0};
  EXPECT_TRUE(SendMessageW(frame_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
  EXPECT_EQ(measure.itemWidth, 16u);
  EXPECT_EQ(measure.itemHeight, 15u);
  MEASUREITEMSTRUCT plain{ODT_MENU, 0, CMD_FILE_SAVE_AS, 0, 0, 0};
  EXPECT_FALSE(SendMessageW(frame_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&plain)));
  EXPECT_EQ(plain.itemWidth, 0u);
}

TEST_F(CommandBarTest, OwnerDrawnControlsOfTheFrameStillGetTheirDrawingReflected) {
  // Its id is a command with an image: only menus are the images' business.
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 20, 20, frame_->Handle(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CMD_FILE_SAVE)),
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  ReflectedDrawRecorder recorder;
  ASSERT_TRUE(recorder.Subclass(button));
  Canvas canvas(20, 20, kKeyColour);
  DRAWITEMSTRUCT draw{ODT_BUTTON,  CMD_FILE_SAVE,      0, ODA_DRAWENTIRE, 0, button,
                      canvas.dc(), RECT{0, 0, 20, 20}, 0};
  SendMessageW(frame_->Handle(), WM_DRAWITEM, CMD_FILE_SAVE, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(recorder.drawn, 1);
  std::vector<COLORREF> pixels = canvas.Pixels();
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kKeyColour), 20 * 20) << "no image was drawn over it";
  DestroyWindow(button);
}

TEST_F(CommandBarTest, ThePopupShowsTheToolbarImagesWithTheirBackgroundSeeThroughInEveryState) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU file = Popup(0);
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0);
  EnableMenuItem(file, CMD_FILE_PRINT, MF_BYCOMMAND | MF_GRAYED);
  std::unique_ptr<Canvas> newImage = ReferenceImage(CMD_FILE_NEW), openImage = ReferenceImage(CMD_FILE_OPEN),
                          printImage = ReferenceImage(CMD_FILE_PRINT);
  ASSERT_TRUE(newImage && openImage && printImage);
  COLORREF grey = RGB(192, 192, 192);
  bool greyMenus = GetSysColor(COLOR_MENU) == grey;

  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 0));
    if (!driver.WaitFor("File opens", fileOpen)) return;
    PressKey(VK_DOWN);
    if (!driver.WaitFor("New is highlighted", [&] { return frame->lastSelectedItem == CMD_FILE_NEW; }))
      return;
    // Both are checked against the background around their image, which differs: the
    // highlight for New, the menu's own colour for Open.
    ShownImage highlighted, plain;
    auto shows = [&](int position, const Canvas& image, ShownImage& result) {
      std::optional<ShownImage> found = ImageSeeThroughInItem(file, position, image);
      if (found) result = *found;
      return found.has_value();
    };
    if (!driver.WaitFor("the highlighted New shows its image over the highlight",
                        [&] { return shows(0, *newImage, highlighted); }) ||
        !driver.WaitFor("Open, not highlighted, shows its image over the menu's background",
                        [&] { return shows(1, *openImage, plain); })) {
      return;
    }
    if (highlighted.background == plain.background) driver.Fail("New is not highlighted after all");
    if (!greyMenus && (highlighted.background == grey || plain.background == grey))
      driver.Fail("the light grey itself is shown");

    // Grayed Print, where Open has its image: drawn, but not in its colours, and with no
    // light grey either.
    RECT print{};
    GetMenuItemRect(nullptr, file, 5, &print);
    std::unique_ptr<Canvas> shown = CopyOfWindow(OpenMenuWindow(), print);
    if (MatchesAt(*shown, *printImage, plain.at)) driver.Fail("the grayed Print shows its image in colour");
    int drawn = 0, greyShown = 0;
    for (int y = 0; y < printImage->height(); ++y) {
      for (int x = 0; x < printImage->width(); ++x) {
        COLORREF colour = shown->At(plain.at.x + x, plain.at.y + y);
        greyShown += colour == grey;
        drawn += colour != plain.background;
      }
    }
    if (drawn == 0) driver.Fail("the grayed Print shows no image");
    if (!greyMenus && greyShown != 0) driver.Fail("the grayed Print shows light grey");
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

TEST_F(CommandBarTest, TheButtonOfTheKeyboardIsLit) {
  RECT file{};
  SendMessageW(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&file));
  std::vector<COLORREF> unlit = ReadPixels(Bar(), file);
  // Keyboard entry lights the first button without any popup, so it can be read back here.
  SendMessageW(frame_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  ASSERT_TRUE(bar_->InKeyboardMode());
  std::vector<COLORREF> lit = ReadPixels(Bar(), file);
  EXPECT_NE(lit, unlit);
  if (!IsVisualStyleActive()) {
    // Classic look: lit like a selected menu item.
    BOOL flat = FALSE;
    SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    COLORREF highlight = GetSysColor(flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    EXPECT_EQ(lit.front(), highlight);
  }
  SendMessageW(frame_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(GetFocus(), edit_);
  EXPECT_EQ(ReadPixels(Bar(), file), unlit);
}

}  // namespace
