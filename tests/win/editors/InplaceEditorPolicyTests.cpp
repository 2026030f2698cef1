#include <gtest/gtest.h>

#include "celleditors/InplaceEditorPolicy.h"

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
