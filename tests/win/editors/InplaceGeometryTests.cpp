#include <gtest/gtest.h>

#include "grid/InplaceGeometry.h"

namespace {

TEST(DropListHeight, FitsFewEntriesExactlyAndCapsAt140) {
  EXPECT_EQ(DropListHeight(16, 1, 1), 18);
  EXPECT_EQ(DropListHeight(16, 4, 1), 66);
  EXPECT_EQ(DropListHeight(17, 8, 1), 138);
  EXPECT_EQ(DropListHeight(17, 9, 1), 140);
  EXPECT_EQ(DropListHeight(16, 20, 1), 140);
  EXPECT_EQ(DropListHeight(16, 0, 1), 2);
  // A count far beyond any real list must not wrap around below the cap.
  EXPECT_EQ(DropListHeight(1 << 20, 1 << 12, 1), 140);
}

TEST(DropButtonRect, SquareOfClientHeightAtRightEdgeOnePixelHigher) {
  RECT button = DropButtonRect(RECT{0, 0, 120, 20});
  EXPECT_EQ(button.left, 100);
  EXPECT_EQ(button.top, -1);
  EXPECT_EQ(button.right, 120);
  EXPECT_EQ(button.bottom, 20);
}

TEST(DropListRect, BelowTheEditorAtItsFullWidth) {
  RECT list = DropListRect(RECT{300, 980, 420, 1000}, 140);
  EXPECT_EQ(list.left, 300);
  EXPECT_EQ(list.top, 1000);
  EXPECT_EQ(list.right, 420);
  EXPECT_EQ(list.bottom, 1140);  // even past the bottom of a 1024-pixel screen
}

TEST(KeyLeavesCell, HorizontalKeysLeaveOnlyAtTheEndsWithoutSelection) {
  EXPECT_TRUE(KeyLeavesCell(VK_LEFT, 0, 0, 5));
  EXPECT_FALSE(KeyLeavesCell(VK_LEFT, 1, 1, 5));
  EXPECT_FALSE(KeyLeavesCell(VK_LEFT, 0, 3, 5));
  EXPECT_TRUE(KeyLeavesCell(VK_RIGHT, 5, 5, 5));
  EXPECT_FALSE(KeyLeavesCell(VK_RIGHT, 4, 4, 5));
  EXPECT_FALSE(KeyLeavesCell(VK_RIGHT, 0, 5, 5));
  EXPECT_TRUE(KeyLeavesCell(VK_LEFT, 0, 0, 0));
  EXPECT_TRUE(KeyLeavesCell(VK_RIGHT, 0, 0, 0));
  for (UINT vk : {VK_TAB, VK_UP, VK_DOWN}) EXPECT_TRUE(KeyLeavesCell(vk, 0, 5, 5));
  for (UINT vk : {VK_HOME, VK_END, VK_DELETE, VK_BACK}) EXPECT_FALSE(KeyLeavesCell(vk, 0, 0, 0));
}

}  // namespace
