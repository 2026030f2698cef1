#include <gtest/gtest.h>

#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "app/AboutDialog.h"

namespace {

RECT WindowRect(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  return rect;
}

// The point of `dialog`'s close box, found by asking the dialog where its caption buttons are.
POINT CloseBoxPoint(HWND dialog) {
  RECT rect = WindowRect(dialog);
  int y = rect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  for (int x = rect.right - 1; x > rect.left; --x) {
    if (SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return POINT{x, y};
  }
  return POINT{-1, -1};
}

class AboutBox : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame.Create(), nullptr);
    BringToFront(frame.Handle());
  }

  // Runs the box over the frame; `close` ends it once it is shown.
  INT_PTR RunAndClose(const std::function<void(HWND)>& close) {
    ModalScript script;
    script.Then([&] { return (dialog = FindThreadDialog()) != nullptr; },
                [&] {
                  shownRect = WindowRect(dialog);
                  focusOnOk = GetFocus() == GetDlgItem(dialog, IDOK);
                  SetForegroundWindow(dialog);
                  close(dialog);
                });
    AboutDialog about;
    INT_PTR result = about.Run(frame.Handle());
    EXPECT_FALSE(script.GaveUp());
    EXPECT_EQ(about.Handle(), nullptr);
    return result;
  }

  ServiceFrame frame;
  HWND dialog = nullptr;
  RECT shownRect{};
  bool focusOnOk = false;
};

TEST_F(AboutBox, OpensCentredOverItsOwnerWithOkFocusedAndEnterClosesIt) {
  EXPECT_EQ(RunAndClose([](HWND) { SendKey(VK_RETURN); }), IDOK);
  RECT owner = WindowRect(frame.Handle());
  LONG width = shownRect.right - shownRect.left, height = shownRect.bottom - shownRect.top;
  EXPECT_EQ(shownRect.left, (owner.left + owner.right) / 2 - width / 2);
  EXPECT_EQ(shownRect.top, (owner.top + owner.bottom) / 2 - height / 2);
  EXPECT_TRUE(focusOnOk);
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(AboutBox, EscapeAndTheCloseBoxCancelIt) {
  EXPECT_EQ(RunAndClose([](HWND) { SendKey(VK_ESCAPE); }), IDCANCEL);
  POINT closeBox{};
  EXPECT_EQ(RunAndClose([&](HWND shown) {
              closeBox = CloseBoxPoint(shown);
              SendClick(closeBox);
            }),
            IDCANCEL);
  EXPECT_GE(closeBox.x, 0) << "no close box found";
}

TEST_F(AboutBox, StaysInsideTheWorkAreaNearItsEdge) {
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  SetWindowPos(frame.Handle(), nullptr, area.right - 150, area.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(RunAndClose([](HWND) { SendKey(VK_RETURN); }), IDOK);
  EXPECT_EQ(shownRect.right, area.right);
}

}  // namespace
