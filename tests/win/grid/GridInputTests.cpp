#include <gtest/gtest.h>

#include <string>

#include "GridTestSupport.h"
#include "WinTestSupport.h"
#include "celleditors/InplaceList.h"
#include "griditems/ListItem.h"

namespace {

constexpr UINT kDocumentFlags = GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT;

class GridInput : public testing::Test {
 protected:
  void Click(int row, int col) { ClickAt(w.CellCentre(row, col)); }
  std::pair<int, int> Selected() const { return {w.grid.GetSelectedRow(), w.grid.GetSelectedColumn()}; }

  GridFixtureWindows w;
};

TEST_F(GridInput, WithoutSingleClickEditTheSecondClickOpensTheEditor) {
  w.Build(4, GRID_EX_APPENDROW);
  Click(1, 2);
  EXPECT_EQ(Selected(), (std::pair{1, 2}));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  Click(1, 3);
  EXPECT_EQ(Selected(), (std::pair{1, 3}));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(w.parent.notifications.back().code, GRIDN_SELCHANGED);
  Click(1, 3);
  ASSERT_NE(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(WindowText(w.grid.GetEditor()), L"2001");
  EXPECT_EQ(GetFocus(), w.grid.GetEditor());
}

TEST_F(GridInput, SingleClickEditOpensAtOnceAndReportsToTheItem) {
  w.Build(4, kDocumentFlags);
  auto* probe = new CountingEditItem(100);
  probe->SetValue(*VariantNumber(7));
  delete w.grid.GetCellItem(2, 3);
  w.grid.SetCell(2, 3, probe);
  Click(2, 3);
  EXPECT_EQ(Selected(), (std::pair{2, 3}));
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), L"7");
  EXPECT_EQ(probe->actions, (std::vector<UINT>{ITEMACT_CLICK, ITEMACT_EDITOPENED}));
  EXPECT_EQ(w.parent.Count(GRIDN_CLICK), 1);

  // Clicking another cell ends the unchanged edit without a commit and opens there.
  w.parent.Clear();
  Click(0, 1);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor); }));
  EXPECT_EQ(w.parent.Count(GRIDN_ITEMCHANGED), 0);
  ASSERT_NE(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(WindowText(w.grid.GetEditor()), L"sound0.wav");
}

TEST_F(GridInput, ParentCanSwallowAClick) {
  w.Build(4, kDocumentFlags);
  w.parent.clickAnswer = 1;
  Click(2, 3);
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
}

TEST_F(GridInput, ClickBelowTheRowsClearsTheSelection) {
  w.Build(3, kDocumentFlags);
  Click(1, 1);
  ASSERT_EQ(Selected(), (std::pair{1, 1}));
  w.parent.Clear();
  RECT last = w.Cell(3, 0);
  ClickAt(ClientToScreenPoint(w.grid.Handle(), 200, last.bottom + 40));
  EXPECT_EQ(Selected(), (std::pair{-1, -1}));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  ASSERT_FALSE(w.parent.notifications.empty());
  EXPECT_EQ(w.parent.notifications.back().code, GRIDN_SELCHANGED);
  EXPECT_EQ(w.parent.notifications.back().item, nullptr);
}

TEST_F(GridInput, ClickOnTheAppendRowSelectsItsOnlyCellAndOpensNothing) {
  w.Build(3, kDocumentFlags);
  Click(3, 4);
  EXPECT_EQ(Selected(), (std::pair{3, 0}));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(w.parent.Count(GRIDN_ADDROW), 1);
  EXPECT_EQ(w.grid.GetDataRowCount(), 3);
  // Enter asks the append row for its editor: the item answers, nothing opens.
  w.parent.Clear();
  PressKey(VK_RETURN);
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(w.parent.Count(GRIDN_ADDROW), 1);
}

TEST_F(GridInput, ArrowKeysStopAtTheEdges) {
  w.Build(3, kDocumentFlags);
  w.grid.SelectCell(0, 0);
  PumpMessages();
  PressKey(VK_LEFT);
  PressKey(VK_UP);
  EXPECT_EQ(Selected(), (std::pair{0, 0}));
  for (int i = 0; i < 7; ++i) PressKey(VK_RIGHT);
  EXPECT_EQ(Selected(), (std::pair{0, 5}));
  PressKey(VK_DOWN);  // the list view moves the row; the grid keeps the column
  EXPECT_EQ(Selected(), (std::pair{1, 5}));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
}

TEST_F(GridInput, TabMovesTheDialogFocusOrTheCell) {
  w.Build(3, kDocumentFlags);
  w.grid.SelectCell(1, 1);
  PumpMessages();
  PressKey(VK_TAB);
  PressChord({VK_SHIFT, VK_TAB});
  EXPECT_EQ(w.parent.nextControlRequests, (std::vector<WPARAM>{0, 1}));
  EXPECT_EQ(Selected(), (std::pair{1, 1}));

  w.grid.SetExFlags(kDocumentFlags | GRID_EX_TABCELLS);
  PressKey(VK_TAB);
  EXPECT_EQ(Selected(), (std::pair{1, 2}));
  PressChord({VK_SHIFT, VK_TAB});  // back the way Tab came
  EXPECT_EQ(Selected(), (std::pair{1, 1}));
  EXPECT_EQ(w.parent.nextControlRequests.size(), 2u);
}

TEST_F(GridInput, EnterSpaceAndF2OpenTheEditor) {
  w.Build(3, kDocumentFlags);
  for (WORD key : {VK_RETURN, VK_SPACE, VK_F2}) {
    w.grid.SelectCell(2, 5);
    PumpMessages();
    ASSERT_EQ(w.grid.GetEditor(), nullptr);
    PressKey(key);
    HWND editor = w.grid.GetEditor();
    ASSERT_NE(editor, nullptr) << key;
    EXPECT_EQ(WindowText(editor), L"52") << key;  // a space does not reach the editor
    EXPECT_EQ(GetFocus(), editor);
  }
}

TEST_F(GridInput, DeleteClearsAnEditCellAndLeavesAListCell) {
  w.Build(3, kDocumentFlags);
  w.grid.SelectCell(1, 1);
  PumpMessages();
  PressKey(VK_DELETE);
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), L"");
  w.grid.SelectCell(1, 4);
  PumpMessages();
  PressKey(VK_DELETE);
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_EQ(DisplayText(*w.grid.GetCellItem(1, 4)), L"День");
}

TEST_F(GridInput, TypingEditsAndEnterCommits) {
  w.Build(3, kDocumentFlags);
  w.grid.SelectCell(0, 2);
  PumpMessages();
  TypeText(L"4");
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), L"4");  // the letter replaced the selected old text
  TypeText(L"2");
  w.parent.Clear();
  PressKey(VK_RETURN);
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(0, 2)), 42);
  EXPECT_EQ(w.parent.Codes(), (std::vector<int>{GRIDN_ITEMCHANGING, GRIDN_ITEMCHANGED}));
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor); }));

  // Letters in a number cell are refused: the editor stays and the value is kept.
  w.grid.SelectCell(0, 3);
  PumpMessages();
  TypeText(L"1x");
  editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  w.parent.Clear();
  PressKey(VK_RETURN);
  EXPECT_TRUE(IsWindow(editor));
  EXPECT_EQ(w.grid.GetEditor(), editor);
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(0, 3)), 2000);
  EXPECT_TRUE(w.parent.notifications.empty());
}

TEST_F(GridInput, ChoosingFromTheDroppedListCommitsTheOption) {
  w.Build(3, kDocumentFlags);
  Click(2, 4);
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  HWND list = InplaceList::GetListBox(editor);
  ASSERT_TRUE(IsWindowVisible(list));
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
  RECT entry{};
  SendMessageW(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&entry));
  w.parent.Clear();
  ClickAt(ClientToScreenPoint(list, (entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2));
  EXPECT_EQ(DisplayText(*w.grid.GetCellItem(2, 4)), L"Ночь");
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(2, 4)), 3);
  EXPECT_EQ(w.parent.Count(GRIDN_ITEMCHANGED), 1);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor); }));
}

}  // namespace
