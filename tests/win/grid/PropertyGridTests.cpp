#include <gtest/gtest.h>

#include <string>

#include "GridTestSupport.h"
#include "WinTestSupport.h"
#include "griditems/AddRowItem.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "win/ScopedVariant.h"

namespace {

class GridRows : public testing::Test {
 protected:
  GridFixtureWindows w;
};

TEST_F(GridRows, RowsGoAboveTheAppendRowAndCellsStayInRange) {
  w.Build(3, GRID_EX_APPENDROW);
  EXPECT_EQ(ListView_GetItemCount(w.grid.Handle()), 4);
  EXPECT_EQ(w.grid.GetDataRowCount(), 3);
  EXPECT_NE(w.Item<AddRowItem>(3, 0), nullptr);

  auto* label = new LabelItem(L"caption", 0, 0);
  label->SetValue(*VariantText(L"shown"));
  EXPECT_EQ(w.grid.InsertRow(99, label), 3);  // past the end: still above the append row
  EXPECT_NE(w.Item<AddRowItem>(4, 0), nullptr);
  EXPECT_EQ(w.grid.GetCellItem(3, 0), label);
  // The list view reads what the cell shows, for whoever reads the list (a screen reader).
  wchar_t text[32] = L"";
  ListView_GetItemText(w.grid.Handle(), 3, 0, text, 32);
  EXPECT_STREQ(text, L"shown");
  EXPECT_EQ(w.grid.InsertRow(-1, new LabelItem(L"", 0, 0)), 4);
  EXPECT_EQ(w.grid.GetDataRowCount(), 5);

  auto* extra = CreateNumberItem(L"", 1, 0);
  EXPECT_FALSE(w.grid.SetCell(3, 6, extra));
  EXPECT_FALSE(w.grid.SetCell(3, -1, extra));
  EXPECT_FALSE(w.grid.SetCell(40, 1, extra));
  EXPECT_TRUE(w.grid.SetCell(3, 5, extra));
  EXPECT_EQ(w.grid.GetCellItem(3, 5), extra);
  EXPECT_EQ(w.grid.GetCellItem(3, 6), nullptr);
  EXPECT_EQ(w.grid.GetCellItem(6, 0), nullptr);
  EXPECT_EQ(w.grid.GetCellItem(3, 1), nullptr);  // a cell nobody filled
  EXPECT_EQ(w.grid.InsertRow(0, nullptr), -1);
}

TEST_F(GridRows, WithoutAppendRowEveryRowHoldsData) {
  w.Build(2, 0);
  EXPECT_EQ(w.grid.GetDataRowCount(), 2);
  EXPECT_EQ(w.grid.InsertRow(7, new LabelItem(L"", 0, 0)), 2);
}

LRESULT CALLBACK CountFramePaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR counter) {
  if (message == WM_NCPAINT) ++*reinterpret_cast<int*>(counter);
  return DefSubclassProc(window, message, wParam, lParam);
}

bool WaitsToBePainted(HWND window, POINT point) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const bool waits = GetUpdateRgn(window, region, FALSE) > NULLREGION && PtInRegion(region, point.x, point.y);
  DeleteObject(region);
  return waits;
}

// A change of the row count holds the list view's drawing off (its scroll bar would be drawn
// at once, outside any paint): what waited to be painted still waits, the bar is drawn with
// the next paint, a bar that goes away repaints everything, and a hidden grid stays hidden.
TEST_F(GridRows, ARowCountChangeDrawsItsScrollBarWithTheNextPaint) {
  w.Build(80, GRID_EX_APPENDROW);
  HWND grid = w.grid.Handle();
  ASSERT_NE(GetWindowLongPtrW(grid, GWL_STYLE) & WS_VSCROLL, 0);
  int framePaints = 0;
  SetWindowSubclass(grid, CountFramePaints, 1, reinterpret_cast<DWORD_PTR>(&framePaints));
  UpdateWindow(grid);
  const RECT waiting = w.Cell(1, 2);
  InvalidateRect(grid, &waiting, FALSE);
  framePaints = 0;
  ASSERT_TRUE(w.grid.DeleteRow(70));
  EXPECT_TRUE(WaitsToBePainted(grid, {(waiting.left + waiting.right) / 2, (waiting.top + waiting.bottom) / 2}));
  EXPECT_EQ(framePaints, 0);
  UpdateWindow(grid);
  EXPECT_GE(framePaints, 1);
  EXPECT_TRUE(IsWindowVisible(grid));
  SCROLLINFO scroll{};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_RANGE;
  ASSERT_TRUE(GetScrollInfo(grid, SB_VERT, &scroll));
  EXPECT_EQ(scroll.nMax, ListView_GetItemCount(grid) - 1);

  while (w.grid.GetDataRowCount() > 2) w.grid.DeleteRow(0);
  EXPECT_EQ(GetWindowLongPtrW(grid, GWL_STYLE) & WS_VSCROLL, 0);
  RECT client{};
  GetClientRect(grid, &client);
  EXPECT_TRUE(WaitsToBePainted(grid, {client.right - 2, client.bottom - 2}));
  RemoveWindowSubclass(grid, CountFramePaints, 1);

  ShowWindow(grid, SW_HIDE);
  w.grid.DeleteRow(0);
  EXPECT_FALSE(IsWindowVisible(grid));
}

void FillWithCountingItems(PropertyGrid& grid, int rows, int& next) {
  for (int r = 0; r < rows; ++r) {
    int row = grid.InsertRow(r, new CountingEditItem(next++));
    for (int c = 1; c < 6; ++c) grid.SetCell(row, c, new CountingEditItem(next++));
  }
}

TEST(GridOwnership, DestroyingTheGridDestroysEveryItemOnce) {
  for (bool reflect : {true, false}) {
    DestroyedItems().clear();
    int next = 0;
    {
      GridFixtureWindows w;
      w.Build(0, 0);
      w.parent.reflect = reflect;  // a parent that reflects nothing must not leak the rows
      FillWithCountingItems(w.grid, 4, next);
      w.grid.SelectCell(1, 2);
      ASSERT_TRUE(w.grid.OpenEditor(w.grid.GetCellItem(1, 2), 1, 2));
      EXPECT_TRUE(DestroyedItems().empty());
      DestroyWindow(w.grid.Handle());
    }
    ASSERT_EQ(static_cast<int>(DestroyedItems().size()), next) << reflect;
    for (const auto& [label, times] : DestroyedItems()) EXPECT_EQ(times, 1) << label;
  }
}

TEST(GridOwnership, DeletingOneRowDestroysItsItemsAndClearsTheSelection) {
  DestroyedItems().clear();
  int next = 0;
  GridFixtureWindows w;
  w.Build(0, 0);
  FillWithCountingItems(w.grid, 3, next);
  w.grid.SelectCell(1, 3);
  EXPECT_EQ(w.grid.GetSelectedRow(), 1);
  EXPECT_TRUE(w.grid.DeleteRow(1));
  EXPECT_EQ(DestroyedItems().size(), 6u);
  for (int label = 6; label < 12; ++label) EXPECT_EQ(DestroyedItems()[label], 1);
  EXPECT_EQ(w.grid.GetSelectedRow(), -1);
  EXPECT_EQ(w.grid.GetSelectedColumn(), -1);
}

class GridCommit : public testing::Test {
 protected:
  void SetUp() override { w.Build(4, GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT); }
  HWND OpenOn(int row, int col) {
    w.grid.SelectCell(row, col);
    PumpMessages();
    if (!w.grid.OpenEditor(w.grid.GetCellItem(row, col), row, col)) return nullptr;
    w.parent.Clear();
    return w.grid.GetEditor();
  }
  void SetItemValue(PropertyItem* item, ScopedVariant* value) {
    SendMessageW(w.grid.Handle(), GRIDM_SETITEMVALUE,
                 reinterpret_cast<WPARAM>(value != nullptr ? value->get() : nullptr),
                 reinterpret_cast<LPARAM>(item));
  }
  bool Gone(HWND editor) {
    return PumpUntil([&] { return !IsWindow(editor); });
  }
  GridFixtureWindows w;
};

TEST_F(GridCommit, AcceptedValueIsNotifiedAndClosesTheEditor) {
  HWND editor = OpenOn(1, 2);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), L"1001");
  SetWindowTextW(editor, L" 42");
  SendMessageW(w.grid.Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(1, 2)), 42);
  EXPECT_EQ(w.parent.Codes(), (std::vector<int>{GRIDN_ITEMCHANGING, GRIDN_ITEMCHANGED}));
  EXPECT_EQ(w.parent.notifications[1].item, w.grid.GetCellItem(1, 2));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_TRUE(Gone(editor));
  EXPECT_EQ(GetFocus(), w.grid.Handle());
}

TEST_F(GridCommit, RefusedTextKeepsTheEditorOpenAndTheOldValue) {
  for (const wchar_t* refused : {L"1x", L"", L"4294967296"}) {
    HWND editor = OpenOn(2, 3);
    ASSERT_NE(editor, nullptr);
    SetWindowTextW(editor, refused);
    SendMessageW(w.grid.Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
    PumpMessages();
    EXPECT_EQ(NumberValue(*w.grid.GetCellItem(2, 3)), 2002) << refused;
    EXPECT_TRUE(w.parent.notifications.empty());
    EXPECT_EQ(w.grid.GetEditor(), editor);
    EXPECT_TRUE(IsWindow(editor));
  }
}

TEST_F(GridCommit, VetoRestoresTheOldValueWithoutChangedNotice) {
  HWND editor = OpenOn(0, 1);
  ASSERT_NE(editor, nullptr);
  w.parent.changingAnswer = 1;
  SetWindowTextW(editor, L"other.wav");
  SendMessageW(w.grid.Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
  EXPECT_EQ(DisplayText(*w.grid.GetCellItem(0, 1)), L"sound0.wav");
  EXPECT_EQ(w.parent.Codes(), std::vector<int>{GRIDN_ITEMCHANGING});
  EXPECT_TRUE(Gone(editor));
}

TEST_F(GridCommit, CancelKeepsTheValue) {
  HWND editor = OpenOn(0, 1);
  ASSERT_NE(editor, nullptr);
  SetWindowTextW(editor, L"other.wav");
  SendMessageW(w.grid.Handle(), GRIDM_CANCELEDIT, 0, reinterpret_cast<LPARAM>(editor));
  EXPECT_EQ(DisplayText(*w.grid.GetCellItem(0, 1)), L"sound0.wav");
  EXPECT_TRUE(w.parent.notifications.empty());
  EXPECT_TRUE(Gone(editor));
}

TEST_F(GridCommit, CommitOrCancelFromAWindowThatIsNotTheOpenEditorIsIgnored) {
  HWND editor = OpenOn(1, 2);
  ASSERT_NE(editor, nullptr);
  SetWindowTextW(editor, L"42");
  // Texts the number cell would accept, were they read as the editor's.
  SetWindowTextW(w.parent.Handle(), L"7");
  HWND stranger =
      CreateWindowW(L"EDIT", L"8", WS_CHILD, 0, 0, 10, 10, w.parent.Handle(), nullptr, nullptr, nullptr);
  for (HWND sender : {w.parent.Handle(), stranger, HWND{}}) {
    SendMessageW(w.grid.Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(sender));
    SendMessageW(w.grid.Handle(), GRIDM_CANCELEDIT, 0, reinterpret_cast<LPARAM>(sender));
  }
  PumpMessages();
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(1, 2)), 1001);
  EXPECT_TRUE(w.parent.notifications.empty());
  EXPECT_EQ(w.grid.GetEditor(), editor);
  EXPECT_TRUE(IsWindow(editor));
  EXPECT_EQ(WindowText(editor), L"42");
  DestroyWindow(stranger);
}

TEST_F(GridCommit, SetItemValueReopensTheEditorWithTheNewValue) {
  HWND editor = OpenOn(1, 2);
  ASSERT_NE(editor, nullptr);
  PropertyItem* item = w.grid.GetCellItem(1, 2);
  VariantNumber value(99);
  SetItemValue(item, &value);
  EXPECT_EQ(NumberValue(*item), 99);
  HWND reopened = w.grid.GetEditor();
  ASSERT_NE(reopened, nullptr);
  EXPECT_NE(reopened, editor);
  EXPECT_EQ(WindowText(reopened), L"99");
  EXPECT_TRUE(Gone(editor));
  // The old editor's own end of edit (it was unchanged: a cancel) sends nothing.
  EXPECT_EQ(w.parent.Codes(), (std::vector<int>{GRIDN_ITEMCHANGING, GRIDN_ITEMCHANGED}));
}

TEST_F(GridCommit, SetItemValueOfAnotherItemInTheRowLeavesTheEditorAlone) {
  HWND editor = OpenOn(1, 2);
  ASSERT_NE(editor, nullptr);
  PropertyItem* other = w.grid.GetCellItem(1, 3);
  VariantNumber value(5);
  SetItemValue(other, &value);
  EXPECT_EQ(NumberValue(*other), 5);
  EXPECT_EQ(NumberValue(*w.grid.GetCellItem(1, 2)), 1001);
  EXPECT_EQ(w.grid.GetEditor(), editor);
}

TEST_F(GridCommit, SetItemValueVetoedOrRefused) {
  PropertyItem* item = w.grid.GetCellItem(3, 5);
  VariantText text(L"loud");
  w.parent.changingAnswer = 1;
  SetItemValue(item, &text);
  EXPECT_EQ(w.parent.Codes(), std::vector<int>{GRIDN_ITEMCHANGING});
  w.parent.Clear();
  w.parent.changingAnswer = 0;
  // The number cell refuses the text, and the parent still hears that the change is over.
  SetItemValue(item, &text);
  EXPECT_EQ(NumberValue(*item), 53);
  EXPECT_EQ(w.parent.Codes(), (std::vector<int>{GRIDN_ITEMCHANGING, GRIDN_ITEMCHANGED}));
  w.parent.Clear();
  SetItemValue(item, nullptr);
  EXPECT_TRUE(w.parent.notifications.empty());
}

TEST_F(GridCommit, SelectionTrackingNotifiesTheCellItem) {
  w.parent.Clear();
  w.grid.SelectCell(2, 4);
  PumpMessages();
  EXPECT_EQ(w.grid.GetSelectedRow(), 2);
  EXPECT_EQ(w.grid.GetSelectedColumn(), 4);
  ASSERT_FALSE(w.parent.notifications.empty());
  EXPECT_EQ(w.parent.notifications.back().code, GRIDN_SELCHANGED);
  EXPECT_EQ(w.parent.notifications.back().item, w.grid.GetCellItem(2, 4));
  // Same row, other column: tracked without a row change.
  w.parent.Clear();
  EXPECT_TRUE(w.grid.SelectCell(2, 1));
  EXPECT_EQ(w.parent.Codes(), std::vector<int>{GRIDN_SELCHANGED});
  EXPECT_EQ(w.parent.notifications[0].item, w.grid.GetCellItem(2, 1));
  // The append row has a single cell.
  w.grid.SelectCell(4, 3);
  PumpMessages();
  EXPECT_EQ(w.grid.GetSelectedRow(), 4);
  EXPECT_EQ(w.grid.GetSelectedColumn(), 0);
}

TEST_F(GridCommit, NavigationMovesWithinTheDataRows) {
  w.grid.SelectCell(0, 0);
  auto navigate = [&](UINT key) {
    SendMessageW(w.grid.Handle(), GRIDM_NAVIGATE, key, 0);
    PumpMessages();
    return std::pair{w.grid.GetSelectedRow(), w.grid.GetSelectedColumn()};
  };
  EXPECT_EQ(navigate(VK_LEFT), (std::pair{0, 0}));
  EXPECT_EQ(navigate(VK_UP), (std::pair{0, 0}));
  for (int i = 0; i < 8; ++i) navigate(VK_RIGHT);
  // Tab wraps to the next row's first cell; Shift+Tab comes back to the row before's last.
  EXPECT_EQ(navigate(VK_TAB), (std::pair{1, 0}));
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  EXPECT_EQ(navigate(VK_TAB), (std::pair{0, 5}));
  EXPECT_EQ(navigate(VK_TAB), (std::pair{0, 4}));
  navigate(VK_RIGHT);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  for (int i = 0; i < 8; ++i) navigate(VK_DOWN);
  EXPECT_EQ(navigate(VK_DOWN), (std::pair{3, 5}));  // never into the append row
  EXPECT_EQ(navigate(VK_UP), (std::pair{2, 5}));
  w.grid.SetExFlags(w.grid.DrawInfo().exFlags | GRID_EX_NONAVIGATE);
  EXPECT_EQ(navigate(VK_LEFT), (std::pair{2, 5}));
}

}  // namespace
