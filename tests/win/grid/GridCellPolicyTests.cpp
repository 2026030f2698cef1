#include <gtest/gtest.h>

#include "grid/GridCellPolicy.h"

namespace {

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(GridCellPolicy, AppendRowIsLeftOutOfDataRowsAndInsertsStayAboveIt) {
  EXPECT_EQ(DataRowCount(5, true), 4);
  EXPECT_EQ(DataRowCount(5, false), 5);
  EXPECT_EQ(DataRowCount(0, true), 0);  // never negative
  EXPECT_TRUE(IsAppendRow(4, 5, true));
  EXPECT_FALSE(IsAppendRow(4, 5, false));
  EXPECT_FALSE(IsAppendRow(-1, 0, true));
  EXPECT_EQ(ClampInsertIndex(-1, 3), 3);
  EXPECT_EQ(ClampInsertIndex(4, 3), 3);
  EXPECT_EQ(ClampInsertIndex(0, 3), 0);
  EXPECT_EQ(ClampInsertIndex(3, 3), 3);
}

TEST(GridCellPolicy, FirstColumnEndsJustLeftOfTheSecond) {
  RECT row{0, 20, 700, 37};
  RECT second{50, 20, 190, 37};
  EXPECT_TRUE(SameRect(FirstColumnRect(row, second, 6), RECT{0, 20, 49, 37}));
  EXPECT_TRUE(SameRect(FirstColumnRect(row, second, 1), row));
  EXPECT_TRUE(SameRect(EditorRect(RECT{50, 20, 190, 37}), RECT{50, 20, 189, 36}));
  EXPECT_TRUE(SameRect(FocusFrameRect(RECT{50, 20, 190, 37}, true), RECT{51, 20, 189, 36}));
  EXPECT_TRUE(SameRect(FocusFrameRect(RECT{50, 20, 190, 37}, false), RECT{50, 20, 190, 37}));
}

TEST(GridCellPolicy, NavigationStopsAtTheEdges) {
  NavigationState middle{2, 3, 6, 5, false};
  CellMove left = NavigationMove(VK_LEFT, middle);
  EXPECT_EQ(left.kind, CellMove::Kind::Column);
  EXPECT_EQ(left.col, 2);
  EXPECT_EQ(NavigationMove(VK_UP, middle).row, 1);
  EXPECT_EQ(NavigationMove(VK_DOWN, middle).row, 3);
  EXPECT_EQ(NavigationMove(VK_DOWN, middle).col, 3);

  EXPECT_EQ(NavigationMove(VK_LEFT, {2, 0, 6, 5, false}).kind, CellMove::Kind::None);
  EXPECT_EQ(NavigationMove(VK_RIGHT, {2, 5, 6, 5, false}).kind, CellMove::Kind::None);
  EXPECT_EQ(NavigationMove(VK_UP, {0, 1, 6, 5, false}).kind, CellMove::Kind::None);
  EXPECT_EQ(NavigationMove(VK_DOWN, {4, 1, 6, 5, false}).kind, CellMove::Kind::None);
  // The append row has a single cell; Up still leaves it.
  EXPECT_EQ(NavigationMove(VK_RIGHT, {5, 0, 6, 5, true}).kind, CellMove::Kind::None);
  EXPECT_EQ(NavigationMove(VK_UP, {5, 0, 6, 5, true}).row, 4);
  EXPECT_EQ(NavigationMove(VK_HOME, middle).kind, CellMove::Kind::None);
}

TEST(GridCellPolicy, FocusFrameOnlyOnTheSelectedCellAwayFromTheEditor) {
  FocusFrameState state{false, false, true, 2, 3, 2, 3, false, -1, -1};
  EXPECT_TRUE(HasFocusFrame(state));
  state.col = 4;
  EXPECT_FALSE(HasFocusFrame(state));
  state.appendRow = true;  // the append row's single cell counts whatever the column
  EXPECT_TRUE(HasFocusFrame(state));
  state = {false, false, true, 2, 3, 2, 3, false, 2, 1};  // editor open in the row
  EXPECT_FALSE(HasFocusFrame(state));
  state = {true, false, false, 2, 3, 2, 3, false, -1, -1};  // focus without CDIS_FOCUS
  EXPECT_FALSE(HasFocusFrame(state));
  state.itemHasFocusState = true;
  EXPECT_TRUE(HasFocusFrame(state));
}

}  // namespace
