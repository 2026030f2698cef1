#include <gtest/gtest.h>

#include <algorithm>

#include "GridTestSupport.h"
#include "WinTestSupport.h"
#include "win/DeviceContext.h"
#include "win/UniqueHandle.h"

namespace {

constexpr UINT kDocumentFlags = GRID_EX_APPENDROW | GRID_EX_ROWHIGHLIGHT | GRID_EX_SINGLECLICKEDIT;

class GridPaint : public testing::Test {
 protected:
  // A pixel of `cell` read back from the screen: an inner point away from any text, or an
  // edge point.
  COLORREF Background(int row, int col) {
    RECT cell = w.Cell(row, col);
    return ReadClientPixel(w.grid.Handle(), cell.right - 6, cell.top + 3);
  }
  COLORREF RightLine(int row, int col) {
    RECT cell = w.Cell(row, col);
    return ReadClientPixel(w.grid.Handle(), cell.right - 1, (cell.top + cell.bottom) / 2);
  }
  COLORREF BottomLine(int row, int col) {
    RECT cell = w.Cell(row, col);
    return ReadClientPixel(w.grid.Handle(), cell.right - 6, cell.bottom - 1);
  }
  COLORREF LeftEdge(int row, int col) {
    RECT cell = w.Cell(row, col);
    return ReadClientPixel(w.grid.Handle(), cell.left, (cell.top + cell.bottom) / 2);
  }
  GridFixtureWindows w;
};

TEST_F(GridPaint, SelectedRowFocusFrameAndGridLinesInSystemColours) {
  w.Build(4, kDocumentFlags);
  w.grid.SelectCell(1, 2);
  PumpMessages();
  const COLORREF window = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE),
                 highlight = GetSysColor(COLOR_HIGHLIGHT);
  ASSERT_NE(window, face);
  ASSERT_NE(window, highlight);
  EXPECT_EQ(Background(2, 3), window);
  EXPECT_EQ(Background(1, 3), highlight);  // the selected row, as a list view shows it
  EXPECT_EQ(Background(1, 2), window);     // the cell under the cursor stands out of it
  EXPECT_EQ(RightLine(2, 3), face);
  EXPECT_EQ(BottomLine(2, 3), face);
  EXPECT_EQ(LeftEdge(1, 2), highlight);
  EXPECT_EQ(RightLine(1, 2), highlight);
  EXPECT_NE(LeftEdge(2, 2), highlight);  // the frame is on the selected cell only

  // An editor in the row takes the frame away (the editor leaves the right edge uncovered).
  ASSERT_TRUE(w.grid.OpenEditor(w.grid.GetCellItem(1, 2), 1, 2));
  PumpMessages();
  EXPECT_EQ(RightLine(1, 2), face);
  EXPECT_EQ(Background(1, 3), highlight);  // the editor has the keyboard: the grid still has it
}

// The screen as it stands, without a repaint of its own: what the grid's own invalidation
// after a change left there.
class ShownGrid {
 public:
  explicit ShownGrid(HWND grid) {
    UpdateWindow(grid);
    RECT client{};
    GetClientRect(grid, &client);
    width_ = client.right;
    pixels_ = ClientPixels(grid);
  }
  COLORREF At(int x, int y) const {
    const DWORD pixel =
        pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
  COLORREF Background(const RECT& cell) const { return At(cell.right - 6, cell.top + 3); }
  bool Shows(const RECT& cell, COLORREF colour) const {
    for (int y = cell.top; y < cell.bottom - 1; ++y) {
      for (int x = cell.left + 2; x < cell.right - 1; ++x) {
        if (At(x, y) == colour) return true;
      }
    }
    return false;
  }

 private:
  int width_ = 0;
  std::vector<DWORD> pixels_;
};

// Rows chosen together read as selected in the system's colours, brightly while the keyboard is
// in the grid and in the unfocused colours when it is elsewhere, high contrast included.
TEST_F(GridPaint, SelectedRowsShowTheSystemHighlightFocusedOrNot) {
  w.Build(6, kDocumentFlags);
  w.grid.SelectRowSet({1, 3, 4}, 4, 2);
  const COLORREF window = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE),
                 highlight = GetSysColor(COLOR_HIGHLIGHT);
  ShownGrid focused(w.grid.Handle());
  for (int row : {1, 3}) {
    for (int col = 0; col < 6; ++col)
      EXPECT_EQ(focused.Background(w.Cell(row, col)), highlight) << row << "," << col;
  }
  EXPECT_EQ(focused.Background(w.Cell(4, 2)), window);
  EXPECT_EQ(focused.Background(w.Cell(4, 3)), highlight);
  EXPECT_EQ(focused.Background(w.Cell(2, 3)), window);
  // The text of a selected row is in the highlight's own text colour.
  EXPECT_TRUE(focused.Shows(w.Cell(1, 3), GetSysColor(COLOR_HIGHLIGHTTEXT)));

  SetFocus(w.parent.Handle());
  PumpMessages();
  ShownGrid unfocused(w.grid.Handle());
  EXPECT_EQ(unfocused.Background(w.Cell(1, 3)), face);
  EXPECT_EQ(unfocused.Background(w.Cell(3, 0)), face);
  EXPECT_EQ(unfocused.Background(w.Cell(4, 2)), window);
  EXPECT_TRUE(unfocused.Shows(w.Cell(1, 3), GetSysColor(COLOR_BTNTEXT)));
  SetFocus(w.grid.Handle());
  PumpMessages();
  EXPECT_EQ(ShownGrid(w.grid.Handle()).Background(w.Cell(1, 3)), highlight);

  // The keyboard going from the grid's editor to a window outside the grid.
  ASSERT_TRUE(w.grid.OpenEditor(w.grid.GetCellItem(4, 2), 4, 2));
  PumpMessages();
  EXPECT_EQ(ShownGrid(w.grid.Handle()).Background(w.Cell(3, 3)), highlight);
  SetFocus(w.parent.Handle());
  PumpMessages();
  EXPECT_EQ(ShownGrid(w.grid.Handle()).Background(w.Cell(3, 3)), face);
}

TEST_F(GridPaint, FlagsChangeLinesAndHighlight) {
  w.Build(4, GRID_EX_NOGRIDLINES | GRID_EX_CELLHIGHLIGHT);
  w.grid.SelectCell(2, 1);
  PumpMessages();
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(RightLine(3, 3), window);
  EXPECT_EQ(BottomLine(3, 3), window);
  EXPECT_EQ(Background(2, 1), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Background(2, 3), window);  // no row highlight without its flag
}

TEST_F(GridPaint, DisabledGridPaintsButtonFace) {
  w.Build(3, kDocumentFlags);
  EnableWindow(w.grid.Handle(), FALSE);
  EXPECT_EQ(Background(0, 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Background(2, 5), GetSysColor(COLOR_BTNFACE));
}

TEST_F(GridPaint, AppendRowTextRunsAcrossTheWholeRow) {
  w.Build(2, kDocumentFlags);
  ListView_SetColumnWidth(w.grid.Handle(), 0, 12);
  RECT row = w.Cell(2, 0);
  RECT second = w.Cell(1, 1);
  EXPECT_EQ(row.right, w.Cell(0, 5).right);
  ReadClientPixel(w.grid.Handle(), 0, 0);
  WindowDcScope dc(w.grid.Handle());
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  int beyondFirstColumn = 0;
  for (int x = second.left; x < second.left + 60; ++x)
    for (int y = row.top; y < row.bottom; ++y) beyondFirstColumn += GetPixel(dc.dc(), x, y) == text ? 1 : 0;
  EXPECT_GT(beyondFirstColumn, 30);
}

TEST_F(GridPaint, FontsComeFromTheParentAndBoldAddsSevenHundred) {
  w.Build(2, kDocumentFlags);
  LOGFONTW normal{}, bold{};
  GetObjectW(w.grid.DrawInfo().font, sizeof(normal), &normal);
  GetObjectW(w.grid.DrawInfo().boldFont, sizeof(bold), &bold);
  EXPECT_EQ(bold.lfWeight, normal.lfWeight + 700);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(w.grid.Handle(), WM_GETFONT, 0, 0)), w.grid.DrawInfo().font);

  LOGFONTW parentFont{};
  parentFont.lfHeight = -23;
  parentFont.lfWeight = 300;
  lstrcpyW(parentFont.lfFaceName, L"Tahoma");
  UniqueFont font(CreateFontIndirectW(&parentFont));
  w.parent.font = font.get();
  HFONT previous = w.grid.DrawInfo().font;
  SendMessageW(w.grid.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(GetObjectType(previous), 0u);  // the old font is gone, not leaked
  GetObjectW(w.grid.DrawInfo().font, sizeof(normal), &normal);
  GetObjectW(w.grid.DrawInfo().boldFont, sizeof(bold), &bold);
  EXPECT_EQ(normal.lfHeight, -23);
  EXPECT_EQ(bold.lfWeight, 1000);
  {
    WindowDcScope dc(nullptr);
    SelectionScope selection(dc.dc(), font.get());
    TEXTMETRICW expected{};
    GetTextMetricsW(dc.dc(), &expected);
    EXPECT_EQ(w.grid.DrawInfo().tm.tmHeight, expected.tmHeight);
    EXPECT_EQ(w.grid.DrawInfo().tm.tmAveCharWidth, expected.tmAveCharWidth);
  }
  w.parent.font = nullptr;
  SendMessageW(w.grid.Handle(), WM_SETTINGCHANGE, 0, 0);
}

TEST_F(GridPaint, SettingsChangesAndRepaintsLeaveNoGdiObjectsBehind) {
  w.Build(20, kDocumentFlags);
  w.grid.SelectCell(3, 2);
  PumpMessages();
  const long fonts = LiveHandleCount(HandleKind::Font), pens = LiveHandleCount(HandleKind::Pen),
             brushes = LiveHandleCount(HandleKind::Brush);
  EXPECT_EQ(fonts, 2);
  EXPECT_EQ(pens, 1);
  HPEN firstPen = w.grid.DrawInfo().pen;
  // A leak of one object a change shows after a few; the soak benchmark makes a thousand.
  for (int i = 0; i < 200; ++i) {
    SendMessageW(w.grid.Handle(), WM_SETTINGCHANGE, 0, 0);
    RedrawWindow(w.grid.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts);
  EXPECT_EQ(LiveHandleCount(HandleKind::Pen), pens);
  EXPECT_EQ(LiveHandleCount(HandleKind::Brush), brushes);
  // Nothing changed, so nothing was made again.
  EXPECT_EQ(w.grid.DrawInfo().pen, firstPen);
  EXPECT_EQ(GetObjectType(firstPen), static_cast<DWORD>(OBJ_PEN));
}

}  // namespace

namespace {

// Pixels across the right end of a cell, at half its height, that are neither background nor
// line: the mark's.
int MarkPixels(GridFixtureWindows& w, int row, int col) {
  RECT cell = w.Cell(row, col);
  int marked = 0;
  for (int x = cell.right - 20; x < cell.right - 1; ++x) {
    const COLORREF pixel = ReadClientPixel(w.grid.Handle(), x, (cell.top + cell.bottom) / 2);
    marked += pixel != GetSysColor(COLOR_WINDOW) && pixel != GetSysColor(COLOR_BTNFACE);
  }
  return marked;
}

TEST(GridWarningMark, DrawnInTheCellsTheOwnerWarnsAboutAndGoneWithTheWarning) {
  GridFixtureWindows w;
  w.Build(4, kDocumentFlags);
  w.grid.SetCellWarning([](int row, int col) { return row == 2 && col == 1 ? L"Not found" : L""; });
  InvalidateRect(w.grid.Handle(), nullptr, TRUE);
  PumpMessages();
  EXPECT_GT(MarkPixels(w, 2, 1), 4);
  EXPECT_EQ(MarkPixels(w, 2, 2), 0);
  EXPECT_EQ(MarkPixels(w, 1, 1), 0);

  w.grid.SetCellWarning(nullptr);
  InvalidateRect(w.grid.Handle(), nullptr, TRUE);
  PumpMessages();
  EXPECT_EQ(MarkPixels(w, 2, 1), 0);
}

}  // namespace

namespace {

// The rows of `cell`'s right half that show `colour` somewhere: how tall a mark drawn there is.
int MarkHeight(const ShownGrid& shown, const RECT& cell, COLORREF colour) {
  int top = cell.bottom, bottom = cell.top;
  for (int y = cell.top; y < cell.bottom - 1; ++y) {
    for (int x = (cell.left + cell.right) / 2; x < cell.right - 1; ++x) {
      if (shown.At(x, y) != colour) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y + 1);
    }
  }
  return std::max(bottom - top, 0);
}

RECT UpdateRect(HWND window) {
  RECT update{};
  if (!GetUpdateRect(window, &update, FALSE)) return RECT{};
  return update;
}

// The speaker marks the preview sets on the entries heard now: drawn in the number cells of the
// marked rows only, in the highlight's text colour on a selected row, as tall as the rows at any
// scale; setting them asks to paint the cells whose mark came or went, and nothing more.
TEST_F(GridPaint, SpeakerMarksShowInTheNumberCellsOfTheMarkedRowsOnly) {
  w.Build(5, kDocumentFlags | GRID_EX_ROWNUMBERS);
  w.grid.SelectCell(3, 2);
  PumpMessages();
  UpdateWindow(w.grid.Handle());
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT), selected = GetSysColor(COLOR_HIGHLIGHTTEXT);

  w.grid.SetRowMarks({3, 1, 1});
  EXPECT_EQ(w.grid.GetRowMarks(), (std::vector<int>{1, 3}));
  const RECT asked = UpdateRect(w.grid.Handle());
  EXPECT_EQ(asked.left, w.Cell(1, 0).left);
  EXPECT_EQ(asked.right, w.Cell(1, 0).right) << "only the number cells";
  EXPECT_EQ(asked.top, w.Cell(1, 0).top);
  EXPECT_EQ(asked.bottom, w.Cell(3, 0).bottom);
  const ShownGrid marked(w.grid.Handle());
  const int height = MarkHeight(marked, w.Cell(1, 0), text);
  EXPECT_GE(height, (w.Cell(1, 0).bottom - w.Cell(1, 0).top) / 2);
  EXPECT_GE(MarkHeight(marked, w.Cell(3, 0), selected), height) << "a selected row's mark is in its text colour";
  EXPECT_EQ(MarkHeight(marked, w.Cell(2, 0), text), 0);
  EXPECT_EQ(MarkHeight(marked, w.Cell(1, 1), text), 0);

  // The same marks again paint nothing; one gone paints its own cell only.
  w.grid.SetRowMarks({1, 3});
  EXPECT_EQ(UpdateRect(w.grid.Handle()).bottom, 0);
  w.grid.SetRowMarks({3});
  EXPECT_EQ(UpdateRect(w.grid.Handle()).bottom, w.Cell(1, 0).bottom);
  const ShownGrid unmarked(w.grid.Handle());
  EXPECT_EQ(MarkHeight(unmarked, w.Cell(1, 0), text), 0);
  EXPECT_GE(MarkHeight(unmarked, w.Cell(3, 0), selected), height);

  // At twice the scale the rows and the mark are twice as tall, drawn again, not stretched.
  w.grid.SetFontDpi(192);
  PumpMessages();
  EXPECT_GE(MarkHeight(ShownGrid(w.grid.Handle()), w.Cell(3, 0), selected), height * 2 - 2);
}

}  // namespace
