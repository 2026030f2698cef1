// The frame at the display scale it runs at, and moved to another: its toolbar images and the
// document's columns come in the size made for the scale, and a scale change rebuilds fonts and
// images without leaving the old ones behind. The same program runs at 96 DPI and, in a prefix of its own, at
// 192.

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "app/StatusPanes.h"
#include "panes/TimelinePane.h"
#include "resources/ResourceIds.h"
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

int FontHeight(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return std::abs(font.lfHeight);
}

int RowHeight(HWND grid) {
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(grid, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  return row.bottom - row.top;
}

// The header cuts a caption that does not fit between its margins on both sides.
bool CaptionFits(HWND grid, int column) {
  auto header = reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0));
  RECT place{};
  if (!SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&place))) return false;
  return HeaderCaptionFits(header, column, place.right - place.left);
}

constexpr int kVolumeColumn = 5;

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
  // The repeat captions may need more than their 150 pixels; the others keep them.
  for (int column = 2; column < 6; ++column) {
    EXPECT_TRUE(CaptionFits(view->Handle(), column)) << column;
    if (column < 4) {
      EXPECT_GE(width(column), 150 * scale) << column;
    } else {
      EXPECT_EQ(width(column), 150 * scale) << column;
    }
  }
  const int others = width(0) + width(2) + width(3) + width(4) + width(5);

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
    EXPECT_EQ(allColumns(), std::max<int>(client.right, others + 150 * scale)) << frameWidth;
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

// Moved to a monitor of twice (or half) the scale, the grid's text and rows follow, default
// column widths still fit their captions, and an editor left open (its value refused) keeps
// what was typed in the grid's new font over its cell. Back at the first scale the rows are
// as they were and no font is left behind.
TEST_F(FrameDpi, TheGridAndAnOpenEditorFollowTheScale) {
  OpenFile(CopyOfSample(L"four-times-of-day.bad"));
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  const HWND grid = view->Handle();
  const UINT start = WindowDpi(Hwnd());
  const UINT other = start == 96 ? 192 : 96;
  RECT stay{};
  GetWindowRect(Hwnd(), &stay);
  const int rows = RowHeight(grid), text = FontHeight(grid);
  const long fonts = LiveHandleCount(HandleKind::Font);

  TypeIntoCell(1, kVolumeColumn, L"12x");
  ChangeDpi(Hwnd(), other, stay);
  Pump();
  EXPECT_NEAR(RowHeight(grid), MulDiv(rows, other, start), 2);
  EXPECT_NEAR(FontHeight(grid), MulDiv(text, other, start), 1);
  for (int column = 2; column < 6; ++column) EXPECT_TRUE(CaptionFits(grid, column)) << column;
  // A font made for the system's scale, handed in as a new document gets one, changes nothing.
  const LRESULT scaled = SendMessageW(grid, WM_GETFONT, 0, 0);
  SendMessageW(grid, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  EXPECT_EQ(SendMessageW(grid, WM_GETFONT, 0, 0), scaled);
  HWND editor = view->GetEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(WindowText(editor), L"12x");
  EXPECT_EQ(SendMessageW(editor, WM_GETFONT, 0, 0), SendMessageW(grid, WM_GETFONT, 0, 0));
  RECT cell = view->GetCellRect(1, kVolumeColumn), placed{};
  GetWindowRect(editor, &placed);
  MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.top, cell.top);
  EXPECT_EQ(placed.bottom, cell.bottom - 1);

  // A value the cell takes is never lost to the change: it is in the editor or in the entry.
  SendMessageW(editor, EM_SETSEL, 0, -1);
  for (wchar_t character : std::wstring(L"31415")) SendMessageW(editor, WM_CHAR, character, 1);
  ChangeDpi(Hwnd(), start, stay);
  Pump();
  editor = view->GetEditor();
  EXPECT_TRUE(editor != nullptr ? WindowText(editor) == L"31415"
                                : view->CellText(1, kVolumeColumn) == L"31415");
  if (editor != nullptr) {
    EXPECT_EQ(SendMessageW(editor, WM_GETFONT, 0, 0), SendMessageW(grid, WM_GETFONT, 0, 0));
  }
  view->CloseEditor();
  Pump();
  EXPECT_EQ(RowHeight(grid), rows);
  EXPECT_EQ(FontHeight(grid), text);
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts);
}

// The panes' widths: all whole where they fit, the main one taking the rest; otherwise the
// widest narrowed to one width, the others whole, the room used exactly.
TEST(StatusPaneWidths, TheWidestGiveWayFirstAndTheRoomIsUsedExactly) {
  EXPECT_EQ(FitPaneWidths({100, 50, 0, 80}, 300), (std::vector<int>{170, 50, 0, 80}));
  EXPECT_EQ(FitPaneWidths({300, 50, 0, 200}, 400), (std::vector<int>{175, 50, 0, 175}));
  EXPECT_EQ(FitPaneWidths({300, 50, 0, 201}, 401), (std::vector<int>{176, 50, 0, 175}));
  EXPECT_EQ(FitPaneWidths({300, 50}, 0), (std::vector<int>{0, 0}));
}

// A text cut for its pane ends in an ellipsis, after a whole word where one ends in the back
// half of what fits; each character here is 10 pixels wide.
TEST(StatusPaneWidths, AShortenedTextEndsInAnEllipsisAfterAWholeWord) {
  const auto measure = [](const std::wstring& text) { return static_cast<int>(text.size()) * 10; };
  EXPECT_EQ(EllipsizedText(L"Playing the ambience", 200, measure), L"Playing the ambience");
  EXPECT_EQ(EllipsizedText(L"Playing the ambience", 150, measure), L"Playing the\x2026");
  EXPECT_EQ(EllipsizedText(L"Volume: 0-255 (guessed)", 180, measure), L"Volume: 0-255\x2026");
  EXPECT_EQ(EllipsizedText(L"Ambience", 50, measure), L"Ambi\x2026");
  EXPECT_EQ(EllipsizedText(L"Ambience", 10, measure), L"\x2026");
  EXPECT_EQ(EllipsizedText(L"Ambience", 5, measure), L"");
}

// Every pane of the status bar, the main text among them, holds its whole text in the bar's
// font, measured here; where the bar is too narrow for all, a shortened text ends in an
// ellipsis and is never cut off unmarked.
TEST_F(FrameDpi, StatusPanesHoldTheirWholeTextOrShortenItWithAnEllipsis) {
  const std::wstring path = CopyOfSample(L"bytes-behind-terminators.bad");
  WriteFileBytes(TempFile(L"wind.wav"), {'R', 'I', 'F', 'F'});
  Command(CMD_VIEW_SOUND_FOLDER_AUTO);
  OpenFile(path);
  Pump();
  const std::wstring playing = L"Playing the ambience at day, volumes of 0-255 from the list itself";
  static_cast<FrameServices&>(*frame).ShowStatusText(playing);
  Pump();
  const HWND bar = frame->StatusBarWindow();
  NONCLIENTMETRICSW metrics{};
  NonClientMetricsForDpi(metrics, WindowDpi(bar));
  const HFONT systemFont = CreateFontIndirectW(&metrics.lfStatusFont);
  auto font = reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0));
  HDC dc = GetDC(bar);
  HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : systemFont);
  const auto check = [&](bool wide) {
    const auto parts = static_cast<int>(SendMessageW(bar, SB_GETPARTS, 0, 0));
    ASSERT_EQ(parts, 4);
    int shortened = 0;
    for (int part = 0; part < parts; ++part) {
      wchar_t text[512]{};
      SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
      const std::wstring shown = text;
      ASSERT_FALSE(shown.empty()) << part;
      SIZE size{};
      GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
      RECT pane{};
      SendMessageW(bar, SB_GETRECT, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(&pane));
      EXPECT_GE(pane.right - pane.left, size.cx + 2 * GetSystemMetrics(SM_CXEDGE)) << part << " " << wide;
      if (shown.back() == L'\x2026') ++shortened;
    }
    wchar_t main[512]{};
    SendMessageW(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(main));
    if (wide) {
      // As wide as the screen lets it be: at 200 % not every text may fit even so.
      if (shortened == 0) {
        EXPECT_EQ(main, playing);
      }
    } else {
      EXPECT_GT(shortened, 0);
      // Cut after a whole word: what is left of the sentence ends where a word of it ends.
      const std::wstring kept = std::wstring(main).substr(0, wcslen(main) - 1);
      if (wcslen(main) > 1 && main[wcslen(main) - 1] == L'\x2026') {
        EXPECT_TRUE(playing.compare(0, kept.size(), kept) == 0 &&
                    (playing[kept.size()] == L' ' || playing[kept.size()] == L','))
            << kept.size();
      }
    }
  };
  RECT frameRect{};
  GetWindowRect(Hwnd(), &frameRect);
  SetWindowPos(Hwnd(), nullptr, 0, 0, ScaleForDpi(1200, WindowDpi(bar)), frameRect.bottom - frameRect.top,
               SWP_NOZORDER | SWP_NOMOVE);
  Pump();
  check(true);
  SetWindowPos(Hwnd(), nullptr, 0, 0, ScaleForDpi(520, WindowDpi(bar)), frameRect.bottom - frameRect.top,
               SWP_NOZORDER | SWP_NOMOVE);
  Pump();
  check(false);
  SelectObject(dc, previous);
  ReleaseDC(bar, dc);
  DeleteObject(systemFont);
}

// The timeline and the Problems pane at the window's scale: the timeline's ruler and lanes
// hold a line of the message font of that scale (measured here) and are no lower than the
// document's rows; beside the timeline the Problems pane has an upright bar between them,
// which drags the width from one to the other.
TEST_F(FrameDpi, TimelineAndProblemsFollowTheScaleAndTheBarBetweenThemDrags) {
  OpenFile(CopyOfSample(L"bytes-behind-terminators.bad"));
  Command(CMD_VIEW_TIMELINE);
  Command(CMD_VIEW_PROBLEMS);
  Pump();
  const UINT dpi = WindowDpi(Hwnd());
  auto* pane = static_cast<TimelinePane*>(Window::FromHandle(GetDlgItem(Hwnd(), 0xE810)));
  ASSERT_NE(pane, nullptr);
  NONCLIENTMETRICSW metrics{};
  ASSERT_TRUE(NonClientMetricsForDpi(metrics, dpi));
  const HFONT message = CreateFontIndirectW(&metrics.lfMessageFont);
  HDC dc = GetDC(Hwnd());
  HGDIOBJ previous = SelectObject(dc, message);
  TEXTMETRICW text{};
  GetTextMetricsW(dc, &text);
  SelectObject(dc, previous);
  ReleaseDC(Hwnd(), dc);
  DeleteObject(message);
  const TimelineMetrics lanes = pane->Geometry().Metrics();
  EXPECT_GT(lanes.rulerHeight, text.tmHeight);
  EXPECT_GT(lanes.laneHeight, text.tmHeight);
  ASSERT_NE(frame->ActiveView(), nullptr);
  EXPECT_GE(lanes.laneHeight, RowHeight(frame->ActiveView()->Handle()));
  HWND upright = nullptr;
  for (HWND child = GetWindow(Hwnd(), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64]{};
    GetClassNameW(child, name, 64);
    const RECT rect = ChildRect(child);
    if (std::wstring(name) == L"Sonarwick_SplitterBar" && IsWindowVisible(child) &&
        rect.bottom - rect.top > rect.right - rect.left)
      upright = child;
  }
  ASSERT_NE(upright, nullptr);
  HWND problems = GetDlgItem(Hwnd(), 0xE811);
  HWND timeline = GetDlgItem(Hwnd(), 0xE810);
  ASSERT_NE(problems, nullptr);
  ASSERT_NE(timeline, nullptr);
  const RECT paneBefore = ChildRect(problems);
  const RECT timelineBefore = ChildRect(timeline);
  const RECT barBefore = ChildRect(upright);
  EXPECT_EQ(barBefore.left, timelineBefore.right);
  EXPECT_EQ(barBefore.right, paneBefore.left);
  const int travel = ScaleForDpi(60, WindowDpi(Hwnd()));
  SendMessageW(upright, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
  SendMessageW(upright, WM_MOUSEMOVE, MK_LBUTTON,
               MAKELPARAM(static_cast<WORD>(static_cast<short>(1 - travel)), 10));
  SendMessageW(upright, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(static_cast<short>(1 - travel)), 10));
  Pump();
  const RECT paneAfter = ChildRect(problems);
  EXPECT_NEAR(paneAfter.right - paneAfter.left, paneBefore.right - paneBefore.left + travel, 1);
  EXPECT_EQ(paneAfter.right, paneBefore.right);
  EXPECT_EQ(ChildRect(timeline).right, ChildRect(upright).left);
  EXPECT_EQ(ChildRect(upright).right, paneAfter.left);
}
