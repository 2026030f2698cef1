#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "commands/CenterOver.h"
#include "win/Window.h"

namespace {

TEST(CenteredPosition, CentresAndStaysInsideTheArea) {
  const RECT area{0, 0, 1000, 800};
  // Odd extents round towards the top-left, as integer halves do.
  EXPECT_EQ(CenteredPosition({101, 51}, RECT{100, 100, 301, 201}, area).x, 150);
  EXPECT_EQ(CenteredPosition({101, 51}, RECT{100, 100, 301, 201}, area).y, 125);

  POINT pastLeftTop = CenteredPosition({200, 100}, RECT{-50, -30, 50, 30}, area);
  EXPECT_EQ(pastLeftTop.x, 0);
  EXPECT_EQ(pastLeftTop.y, 0);

  POINT pastRightBottom = CenteredPosition({200, 100}, RECT{900, 750, 1000, 800}, area);
  EXPECT_EQ(pastRightBottom.x, 800);
  EXPECT_EQ(pastRightBottom.y, 700);

  // An area that is not at the origin.
  POINT offset = CenteredPosition({100, 100}, RECT{0, 0, 10, 10}, RECT{300, 200, 900, 700});
  EXPECT_EQ(offset.x, 300);
  EXPECT_EQ(offset.y, 200);
}

TEST(CenteredPosition, WindowLargerThanTheAreaKeepsItsCornerInside) {
  // Pulled back from the far edge it would start above and left of the area, its caption out
  // of reach.
  POINT corner = CenteredPosition({1200, 900}, RECT{900, 700, 1000, 800}, RECT{0, 0, 1000, 800});
  EXPECT_EQ(corner.x, 0);
  EXPECT_EQ(corner.y, 0);
}

const WindowClass* PlainClass() { return RegisterWindowClass(L"Sonarwick_CenterTest"); }

class PlainWindow : public Window {};

RECT WindowRect(HWND hwnd) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  return rect;
}

RECT WorkArea() {
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TEST(CenterOver, ChildCentresOverASiblingInsideTheParentsClientArea) {
  PlainWindow parent, sibling, child;
  parent.Create(PlainClass(), nullptr, RECT{0, 0, 500, 400}, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  sibling.Create(PlainClass(), parent.Handle(), RECT{100, 60, 300, 160}, L"",
                 WS_CHILD | WS_VISIBLE | WS_BORDER);
  child.Create(PlainClass(), parent.Handle(), RECT{0, 0, 80, 40}, L"", WS_CHILD | WS_VISIBLE);

  // The sibling's client area (inside its border) is the centre, in the parent's coordinates.
  RECT centre;
  GetClientRect(sibling.Handle(), &centre);
  MapWindowPoints(sibling.Handle(), parent.Handle(), reinterpret_cast<POINT*>(&centre), 2);
  ASSERT_TRUE(CenterOver(child.Handle(), sibling.Handle()));
  RECT placed = WindowRect(child.Handle());
  MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, (centre.left + centre.right) / 2 - 40);
  EXPECT_EQ(placed.top, (centre.top + centre.bottom) / 2 - 20);
  EXPECT_EQ(placed.right - placed.left, 80);

  // Without a window to centre over, a child centres in its parent.
  RECT client;
  GetClientRect(parent.Handle(), &client);
  ASSERT_TRUE(CenterOver(child.Handle()));
  placed = WindowRect(child.Handle());
  MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, client.right / 2 - 40);
  EXPECT_EQ(placed.top, client.bottom / 2 - 20);

  // Over a sibling in the corner, the child stays inside the parent's client area.
  SetWindowPos(sibling.Handle(), nullptr, -60, -30, 100, 50, SWP_NOZORDER);
  ASSERT_TRUE(CenterOver(child.Handle(), sibling.Handle()));
  placed = WindowRect(child.Handle());
  MapWindowPoints(nullptr, parent.Handle(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 0);
  EXPECT_EQ(placed.top, 0);
}

TEST(CenterOver, TopLevelCentresOverItsOwnerInsideTheWorkArea) {
  RECT area = WorkArea();
  PlainWindow owner, owned;
  owner.Create(PlainClass(), nullptr, RECT{200, 150, 700, 550}, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  owned.Create(PlainClass(), owner.Handle(), RECT{0, 0, 200, 120}, L"owned", WS_POPUP | WS_CAPTION);

  ASSERT_TRUE(CenterOver(owned.Handle()));
  RECT over = WindowRect(owner.Handle());
  RECT placed = WindowRect(owned.Handle());
  EXPECT_EQ(placed.left, (over.left + over.right) / 2 - 100);
  EXPECT_EQ(placed.top, (over.top + over.bottom) / 2 - 60);
  EXPECT_EQ(placed.bottom - placed.top, 120);

  // An owner hanging off the bottom-right corner: the owned window stops at the work area.
  SetWindowPos(owner.Handle(), nullptr, area.right - 100, area.bottom - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(CenterOver(owned.Handle()));
  placed = WindowRect(owned.Handle());
  EXPECT_EQ(placed.right, area.right);
  EXPECT_EQ(placed.bottom, area.bottom);
}

TEST(CenterOver, HiddenOrMinimisedOwnerIsDroppedForTheWorkArea) {
  RECT area = WorkArea();
  const LONG expectedLeft = (area.left + area.right) / 2 - 100;
  const LONG expectedTop = (area.top + area.bottom) / 2 - 60;
  PlainWindow owner, owned;
  owner.Create(PlainClass(), nullptr, RECT{10, 10, 300, 200}, L"owner", WS_OVERLAPPEDWINDOW);
  owned.Create(PlainClass(), owner.Handle(), RECT{0, 0, 200, 120}, L"owned", WS_POPUP | WS_CAPTION);

  ASSERT_TRUE(CenterOver(owned.Handle(), owner.Handle()));
  RECT placed = WindowRect(owned.Handle());
  EXPECT_EQ(placed.left, expectedLeft);
  EXPECT_EQ(placed.top, expectedTop);

  ShowWindow(owner.Handle(), SW_SHOWMINNOACTIVE);
  PumpMessages();
  ASSERT_TRUE(IsIconic(owner.Handle()));
  SetWindowPos(owned.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(CenterOver(owned.Handle(), owner.Handle()));
  placed = WindowRect(owned.Handle());
  EXPECT_EQ(placed.left, expectedLeft);
  EXPECT_EQ(placed.top, expectedTop);
}

}  // namespace
