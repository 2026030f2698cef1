// The frame at the display scale it runs at, and moved to another: its toolbar images and the
// document's columns come in the size made for the scale, and a scale change rebuilds fonts and
// images without leaving the old ones behind. The same program runs at 96 DPI and, in a prefix of its own, at 192.

#include <algorithm>

#include "FrameTestSupport.h"
#include "app/resources/ResourceIds.h"
#include "win/Dpi.h"

namespace {

SIZE ToolbarImageSize(HWND toolbar) {
  SIZE size{};
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  int width = 0, height = 0;
  if (images != nullptr && ImageList_GetIconSize(images, &width, &height)) size = SIZE{width, height};
  return size;
}

// As the system announces a move to a monitor of `dpi`: both halves of wParam carry it.
void ChangeDpi(HWND frame, UINT dpi, RECT suggested) {
  SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

}  // namespace

class FrameDpi : public FrameTest {
 protected:
  // The program declares per-monitor awareness in its manifest; the test program says so here.
  static void SetUpTestSuite() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (auto set = reinterpret_cast<SetContext>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext"))))
      set(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
    FrameTest::SetUpTestSuite();
  }
};

TEST_F(FrameDpi, ToolbarImagesAreDrawnForTheScale) {
  const UINT dpi = WindowDpi(Hwnd());
  if (dpi != 96 && dpi != 192) GTEST_SKIP() << "runs at 96 and 192 DPI, not " << dpi;
  const int scale = static_cast<int>(dpi / 96);
  const SIZE images = ToolbarImageSize(frame->ToolbarWindow());
  EXPECT_EQ(images.cx, 16 * scale);
  EXPECT_EQ(images.cy, 15 * scale);
  // The band is as tall as its buttons, which hold the images.
  RECT button{};
  SendMessageW(frame->ToolbarWindow(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
  EXPECT_GT(button.bottom - button.top, images.cy);
  EXPECT_GE(ChildRect(frame->RebarWindow()).bottom - ChildRect(frame->RebarWindow()).top,
            button.bottom - button.top);
}

TEST_F(FrameDpi, ScaleChangesTakeTheSuggestedPlaceAndLeakNothing) {
  const RECT suggested{40, 30, 1000, 700};
  ChangeDpi(Hwnd(), 144, suggested);
  Pump();
  RECT window{};
  GetWindowRect(Hwnd(), &window);
  EXPECT_TRUE(EqualRect(&window, &suggested));
  EXPECT_EQ(ToolbarImageSize(frame->ToolbarWindow()).cx, 24);

  const long fonts = LiveHandleCount(HandleKind::Font);
  const long imageLists = LiveHandleCount(HandleKind::ImageList);
  for (int round = 0; round < 5; ++round) {
    for (UINT dpi : {192u, 96u, 120u, 144u}) {
      ChangeDpi(Hwnd(), dpi, suggested);
      Pump();
    }
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts);
  EXPECT_EQ(LiveHandleCount(HandleKind::ImageList), imageLists);

  ChangeDpi(Hwnd(), 192, suggested);
  Pump();
  EXPECT_EQ(ToolbarImageSize(frame->ToolbarWindow()).cx, 32);
  // The caption's icon is picked for the scale from the sizes the icon holds.
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(Hwnd(), WM_GETICON, ICON_SMALL, 0)), &info));
  UniqueBitmap mask(info.hbmMask), color(info.hbmColor);
  BITMAP bitmap{};
  GetObjectW(color.get(), sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, SystemMetricForDpi(SM_CXSMICON, 192));
  ChangeDpi(Hwnd(), 96, suggested);
  Pump();
  EXPECT_EQ(ToolbarImageSize(frame->ToolbarWindow()).cx, 16);
}

// The columns are laid out for 96 DPI and shown at the window's scale; the name column takes
// the room a wider window gives, and the widths the user leaves come back at the next start.
TEST_F(FrameDpi, ColumnsScaleFillTheWidthAndAreRemembered) {
  const UINT dpi = WindowDpi(Hwnd());
  if (dpi != 96 && dpi != 192) GTEST_SKIP() << "runs at 96 and 192 DPI, not " << dpi;
  const int scale = static_cast<int>(dpi / 96);
  Command(CMD_FILE_NEW);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  auto width = [view](int column) {
    return static_cast<int>(SendMessageW(view->Handle(), LVM_GETCOLUMNWIDTH, column, 0));
  };
  EXPECT_EQ(width(0), 50 * scale);
  for (int column = 2; column < 6; ++column) EXPECT_EQ(width(column), 150 * scale) << column;

  auto allColumns = [&] {
    int sum = 0;
    for (int column = 0; column < 6; ++column) sum += width(column);
    return sum;
  };
  for (int frameWidth : {600, 1250}) {
    SetWindowPos(Hwnd(), nullptr, 0, 0, frameWidth, 500, SWP_NOZORDER | SWP_NOMOVE);
    Pump();
    RECT client{};
    GetClientRect(view->Handle(), &client);
    EXPECT_EQ(allColumns(), std::max<int>(client.right, 50 * scale + 5 * 150 * scale)) << frameWidth;
  }

  SendMessageW(view->Handle(), LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(90 * scale, 0));
  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
  ASSERT_FALSE(IsWindow(Hwnd()));
  frame = std::make_unique<TestFrame>();
  ASSERT_NE(frame->CreateFrame(), nullptr);
  Command(CMD_FILE_NEW);
  ASSERT_NE(frame->ActiveView(), nullptr);
  EXPECT_EQ(SendMessageW(frame->ActiveView()->Handle(), LVM_GETCOLUMNWIDTH, 2, 0), 90 * scale);
}
