#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "WinTestSupport.h"
#include "griditems/LabelItem.h"

namespace {

constexpr UINT kDocumentFlags = GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT;

TEST(GridCreation, AReportListViewOfItsOwnClass) {
  TestParent& parent = SharedParent();
  parent.Reset();
  GridUnderTest grid;
  HWND hwnd = grid.Create(parent.Handle(), RECT{0, 0, 300, 200});
  ASSERT_NE(hwnd, nullptr);
  wchar_t className[64] = L"";
  GetClassNameW(hwnd, className, 64);
  EXPECT_STREQ(className, L"Sonarwick_PropertyGrid");
  auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_EQ(style & (LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_CHILD | WS_VISIBLE),
            static_cast<DWORD>(LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_CHILD | WS_VISIBLE));
  EXPECT_EQ(ListView_GetExtendedListViewStyle(hwnd), static_cast<DWORD>(LVS_EX_FULLROWSELECT));
  EXPECT_TRUE(SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  EXPECT_NE(grid.DrawInfo().font, nullptr);
  EXPECT_EQ(grid.DrawInfo().exFlags, 0u);
  EXPECT_EQ(grid.DrawInfo().clrSelBack, GetSysColor(COLOR_HIGHLIGHT));
  // No columns yet: a row has nowhere to go.
  EXPECT_EQ(grid.InsertRow(0, new LabelItem(L"", 0, 0)), -1);

  EXPECT_FALSE(grid.ChangeStyleBits(0, LVS_REPORT, 0));
  EXPECT_TRUE(grid.ChangeStyleBits(0, LVS_NOSORTHEADER, SWP_FRAMECHANGED));
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & LVS_NOSORTHEADER);
}

// The document view's shape: its own handlers first, everything else on to the grid.
class ViewLikeGrid : public GridUnderTest {
 public:
  int commits = 0;
  int cancels = 0;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == GRIDM_COMMITEDIT) ++commits;  // watched, not consumed
    if (m.msg == GRIDM_CANCELEDIT) {
      ++cancels;
      m.result = 0;
      return true;  // consumed: the grid never sees it
    }
    return GridUnderTest::HandleMessage(m);
  }
};

TEST(GridDerivation, DerivedHandlersRunFirstAndPassTheRestOn) {
  TestParent& parent = SharedParent();
  parent.Reset();
  ViewLikeGrid grid;
  RECT client{};
  GetClientRect(parent.Handle(), &client);
  grid.Create(parent.Handle(), client, WS_CHILD | WS_VISIBLE | LVS_REPORT);
  InsertDocumentColumns(grid.Handle());
  grid.SetExFlags(kDocumentFlags);
  AddDocumentRow(grid, 0);
  BringToFront(parent.Handle());
  grid.SelectCell(0, 2);
  ASSERT_TRUE(grid.OpenEditor(grid.GetCellItem(0, 2), 0, 2));
  HWND editor = grid.GetEditor();
  SendMessageW(grid.Handle(), GRIDM_CANCELEDIT, 0, reinterpret_cast<LPARAM>(editor));
  EXPECT_EQ(grid.cancels, 1);
  EXPECT_EQ(grid.GetEditor(), editor);  // the grid did not see the cancel
  SetWindowTextW(editor, L"77");
  SendMessageW(grid.Handle(), GRIDM_COMMITEDIT, 0, reinterpret_cast<LPARAM>(editor));
  EXPECT_EQ(grid.commits, 1);
  EXPECT_EQ(NumberValue(*grid.GetCellItem(0, 2)), 77);
  EXPECT_EQ(parent.Count(GRIDN_ITEMCHANGED), 1);
}

class GridLayout : public testing::Test {
 protected:
  void SetUp() override { w.Build(3, kDocumentFlags); }
  // The header's divider at the right end of `col`, in screen coordinates.
  POINT Divider(int col) {
    HWND header = ListView_GetHeader(w.grid.Handle());
    RECT item{};
    Header_GetItemRect(header, col, &item);
    return ClientToScreenPoint(header, item.right, (item.top + item.bottom) / 2);
  }
  GridFixtureWindows w;
};

TEST_F(GridLayout, DividerDoubleClickLeavesTheWidth) {
  int width = ListView_GetColumnWidth(w.grid.Handle(), 1);
  DoubleClickAt(Divider(1));
  EXPECT_EQ(ListView_GetColumnWidth(w.grid.Handle(), 1), width);
}

TEST_F(GridLayout, DraggingADividerClosesTheEditor) {
  ClickAt(w.CellCentre(1, 3));
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  POINT divider = Divider(1);
  MouseButton(divider, true);
  MoveMouseTo(POINT{divider.x + 15, divider.y});
  MouseButton(POINT{divider.x + 30, divider.y}, false);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor); }));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  EXPECT_GT(ListView_GetColumnWidth(w.grid.Handle(), 1), 140);
}

TEST_F(GridLayout, ResizingClosesTheEditor) {
  ClickAt(w.CellCentre(0, 1));
  HWND editor = w.grid.GetEditor();
  ASSERT_NE(editor, nullptr);
  SetWindowPos(w.grid.Handle(), nullptr, 0, 0, 700, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(editor); }));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
}

// A read-only cell that records what the grid tells it.
class RecordingLabel : public LabelItem {
 public:
  RecordingLabel() : LabelItem(L"", 0, 0) {}
  BOOL Activate(UINT action, LPARAM param) override {
    actions.push_back(action);
    params.push_back(param);
    return LabelItem::Activate(action, param);
  }
  std::vector<UINT> actions;
  std::vector<LPARAM> params;
};

TEST_F(GridLayout, ACellWithoutEditorHearsThatNoneOpened) {
  auto* label = new RecordingLabel;
  delete w.grid.GetCellItem(1, 0);
  w.grid.SetCell(1, 0, label);
  POINT at = w.CellCentre(1, 0);
  ClickAt(at);
  EXPECT_EQ(label->actions, (std::vector<UINT>{ITEMACT_CLICK, ITEMACT_NOEDITOR}));
  EXPECT_EQ(label->params[0], static_cast<LPARAM>(MAKELONG(at.x, at.y)));
  EXPECT_EQ(w.grid.GetEditor(), nullptr);
  label->actions.clear();
  PressKey(VK_F2);  // the item still hears the attempt
  EXPECT_EQ(label->actions, std::vector<UINT>{ITEMACT_EDITOPENED});
}

}  // namespace
