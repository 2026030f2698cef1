#include <cstring>
#include <string>
#include <vector>

#include "FrameTestSupport.h"
#include "WinTestSupport.h"
#include "resources/ResourceIds.h"
#include "menubar/MenuBarMessages.h"

namespace {

REBARBANDINFOW Band(HWND rebar, int index) {
  REBARBANDINFOW band{};
  band.cbSize = REBARBANDINFOW_V6_SIZE;
  band.fMask = RBBIM_ID | RBBIM_CHILD | RBBIM_STYLE;
  SendMessageW(rebar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&band));
  return band;
}

using MainFrameTest = FrameTest;

TEST_F(MainFrameTest, TheRebarHoldsTheMenuBarAndTheToolbarOnTwoRows) {
  HWND rebar = frame->RebarWindow();
  ASSERT_NE(rebar, nullptr);
  EXPECT_EQ(GetDlgCtrlID(rebar), 0xE800);
  ASSERT_EQ(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0), 2);
  REBARBANDINFOW menuBand = Band(rebar, 0), toolbarBand = Band(rebar, 1);
  EXPECT_EQ(menuBand.wID, 0xEB00u);
  EXPECT_EQ(menuBand.hwndChild, frame->MenuBar().Handle());
  EXPECT_EQ(toolbarBand.wID, 0xEB01u);
  EXPECT_EQ(toolbarBand.hwndChild, frame->ToolbarWindow());
  EXPECT_TRUE(toolbarBand.fStyle & RBBS_BREAK);
  EXPECT_TRUE(toolbarBand.fStyle & RBBS_USECHEVRON);
  EXPECT_FALSE(menuBand.fStyle & RBBS_BREAK);
  for (HWND bar : {frame->MenuBar().Handle(), frame->ToolbarWindow()}) {
    EXPECT_TRUE(SendMessageW(bar, TB_GETEXTENDEDSTYLE, 0, 0) & TBSTYLE_EX_HIDECLIPPEDBUTTONS);
  }
  EXPECT_EQ(GetDlgCtrlID(frame->ToolbarWindow()), 0xE800);
  EXPECT_EQ(SendMessageW(frame->ToolbarWindow(), TB_BUTTONCOUNT, 0, 0), 13);

  // The menu lives in the menu bar alone, which answers for the frame.
  EXPECT_EQ(GetMenu(Hwnd()), nullptr);
  EXPECT_EQ(GetMenuItemCount(frame->MenuBar().GetMenu()), 6);
  EXPECT_EQ(SendMessageW(Hwnd(), MENUBAR_GET_WINDOW, 0, 0),
            reinterpret_cast<LRESULT>(frame->MenuBar().Handle()));

  HWND status = frame->StatusBarWindow();
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(GetDlgCtrlID(status), 0xE801);
  EXPECT_EQ(StatusText(), RussianInterface() ? L"Готово" : L"Ready");
  EXPECT_TRUE(GetWindowLongPtrW(status, GWL_STYLE) & SBARS_SIZEGRIP);
  EXPECT_TRUE(GetWindowLongPtrW(frame->ClientWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(MainFrameTest, TheClientFillsTheSpaceBetweenTheBarsAsTheFrameResizes) {
  for (SIZE size : {SIZE{900, 640}, SIZE{640, 480}}) {
    SetWindowPos(Hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT frameClient{};
    GetClientRect(Hwnd(), &frameClient);
    RECT rebar = ChildRect(frame->RebarWindow()), status = ChildRect(frame->StatusBarWindow());
    RECT client = ChildRect(frame->ClientWindow());
    EXPECT_EQ(rebar.top, 0);
    EXPECT_EQ(rebar.right - rebar.left, frameClient.right);
    EXPECT_EQ(status.bottom, frameClient.bottom);
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, frameClient.right);
    EXPECT_EQ(client.top, rebar.bottom);
    EXPECT_EQ(client.bottom, status.top);
    // Both bars have room for their rows.
    EXPECT_GE(rebar.bottom - rebar.top, 2 * 22);
  }
}

// A start lays the frame out once, while it is still hidden at its place: the bars take their
// rows then, and showing the frame moves nothing.
TEST_F(MainFrameTest, AHiddenFrameIsLaidOutBeforeItShowsAndShowingMovesNothing) {
  MainFrame starting;
  HWND hwnd = starting.CreateFrame();
  ASSERT_NE(hwnd, nullptr);
  starting.SizeForFirstStart();
  ASSERT_FALSE(IsWindowVisible(hwnd));
  const auto rectOf = [hwnd](HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  RECT frameClient{};
  GetClientRect(hwnd, &frameClient);
  const RECT rebar = rectOf(starting.RebarWindow()), status = rectOf(starting.StatusBarWindow());
  const RECT client = rectOf(starting.ClientWindow());
  EXPECT_GE(rebar.bottom - rebar.top, 2 * 22);
  EXPECT_EQ(client.top, rebar.bottom);
  EXPECT_EQ(client.bottom, status.top);
  EXPECT_EQ(status.bottom, frameClient.bottom);

  ShowWindow(hwnd, SW_SHOWNORMAL);
  Pump();
  const RECT shownRebar = rectOf(starting.RebarWindow()), shownClient = rectOf(starting.ClientWindow());
  EXPECT_TRUE(EqualRect(&shownRebar, &rebar));
  EXPECT_TRUE(EqualRect(&shownClient, &client));
  DestroyWindow(hwnd);
  // The frame ended the loop as it went; the fixture's frame still runs it.
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(MainFrameTest, TogglingTheToolbarHidesItsBandAndFollowsTheFlagTwice) {
  ASSERT_TRUE(ViewItemChecked(CMD_VIEW_TOOLBAR));
  const RECT before = ChildRect(frame->ClientWindow());
  const int rebarHeight = ChildRect(frame->RebarWindow()).bottom;

  Command(CMD_VIEW_TOOLBAR);
  EXPECT_TRUE(Band(frame->RebarWindow(), 1).fStyle & RBBS_HIDDEN);
  EXPECT_FALSE(Band(frame->RebarWindow(), 0).fStyle & RBBS_HIDDEN);
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_TOOLBAR));
  EXPECT_LT(ChildRect(frame->RebarWindow()).bottom, rebarHeight);
  EXPECT_EQ(ChildRect(frame->ClientWindow()).top, ChildRect(frame->RebarWindow()).bottom);

  Command(CMD_VIEW_TOOLBAR);
  EXPECT_FALSE(Band(frame->RebarWindow(), 1).fStyle & RBBS_HIDDEN);
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_TOOLBAR));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).top, before.top);
}

TEST_F(MainFrameTest, TogglingTheStatusBarGivesItsRowToTheClient) {
  ASSERT_TRUE(ViewItemChecked(CMD_VIEW_STATUS_BAR));
  RECT frameClient{};
  GetClientRect(Hwnd(), &frameClient);
  const RECT before = ChildRect(frame->ClientWindow());

  Command(CMD_VIEW_STATUS_BAR);
  EXPECT_FALSE(IsWindowVisible(frame->StatusBarWindow()));
  EXPECT_FALSE(ViewItemChecked(CMD_VIEW_STATUS_BAR));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).bottom, frameClient.bottom);
  EXPECT_EQ(ChildRect(frame->ClientWindow()).top, before.top);

  Command(CMD_VIEW_STATUS_BAR);
  EXPECT_TRUE(IsWindowVisible(frame->StatusBarWindow()));
  EXPECT_TRUE(ViewItemChecked(CMD_VIEW_STATUS_BAR));
  EXPECT_EQ(ChildRect(frame->ClientWindow()).bottom, before.bottom);
}

TEST_F(MainFrameTest, IdlePassesShowWhatCanBeDone) {
  // Nothing open: nothing to save, and the print and edit commands are never available.
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));
  for (UINT id : {CMD_FILE_PRINT, CMD_EDIT_CUT, CMD_EDIT_COPY, CMD_EDIT_PASTE}) {
    EXPECT_FALSE(ToolbarButtonEnabled(id)) << id;
  }
  EXPECT_TRUE(ToolbarButtonEnabled(CMD_FILE_NEW));
  for (UINT id : {CMD_FILE_SAVE_AS, CMD_EDIT_FIND, CMD_EDIT_FIND_NEXT, CMD_EDIT_REPLACE})
    EXPECT_TRUE(frame->CommandStates().State(id) & COMMAND_STATE_DISABLED) << id;

  Command(CMD_FILE_NEW);
  EXPECT_FALSE(frame->CommandStates().State(CMD_EDIT_REPLACE) & COMMAND_STATE_DISABLED);
  // An untouched new document has nothing to save, yet can be saved under a name; once it
  // holds an entry it has.
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));
  EXPECT_FALSE(frame->CommandStates().State(CMD_FILE_SAVE_AS) & COMMAND_STATE_DISABLED);
  Command(CMD_ENTRY_INSERT);
  Pump();
  EXPECT_TRUE(ToolbarButtonEnabled(CMD_FILE_SAVE));
  HMENU file = GetSubMenu(frame->MenuBar().GetMenu(), 0);
  SendMessageW(Hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  EXPECT_FALSE(GetMenuState(file, CMD_FILE_SAVE, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(file, CMD_FILE_PRINT, MF_BYCOMMAND) & MF_GRAYED);

  // Taken back, the new document closes without a question.
  frame->ActiveView()->Undo();
  Command(CMD_WINDOW_CLOSE);
  EXPECT_FALSE(ToolbarButtonEnabled(CMD_FILE_SAVE));
}

TEST_F(MainFrameTest, MenuPromptsShowInTheStatusBar) {
  HWND status = frame->StatusBarWindow();
  HMENU file = GetSubMenu(frame->MenuBar().GetMenu(), 0);
  SendMessageW(Hwnd(), WM_MENUSELECT, MAKEWPARAM(CMD_FILE_SAVE, MF_STRING), reinterpret_cast<LPARAM>(file));
  EXPECT_TRUE(SendMessageW(status, SB_ISSIMPLE, 0, 0));
  wchar_t prompt[256]{};
  LoadStringW(GetModuleHandleW(nullptr), CMD_FILE_SAVE, prompt, 256);
  std::wstring expected(prompt);
  // In simple mode the status bar gives its simple text for part 0.
  EXPECT_EQ(StatusText(), expected.substr(0, expected.find(L'\n')));
  SendMessageW(Hwnd(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_FALSE(SendMessageW(status, SB_ISSIMPLE, 0, 0));
}

TEST_F(MainFrameTest, ToolbarButtonsShowTheirShortNamesAsTooltips) {
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageW(frame->ToolbarWindow(), TB_GETTOOLTIPS, 0, 0));
  info.hdr.idFrom = CMD_APP_ABOUT;
  info.hdr.code = TTN_GETDISPINFOW;
  EXPECT_EQ(SendMessageW(Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)), 0);
  EXPECT_STREQ(info.szText, RussianInterface() ? L"О программе" : L"About");
  EXPECT_TRUE(info.uFlags & TTF_DI_SETITEM);
}

// The chevron of a clipped toolbar band lists the buttons the band cannot show.
TEST_F(MainFrameTest, TheToolbarBandsChevronListsTheHiddenButtons) {
  SetWindowPos(Hwnd(), nullptr, 0, 0, 170, 400, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  HWND rebar = frame->RebarWindow();
  RECT band{};
  SendMessageW(rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&band));
  POINT chevron{-1, -1};
  for (LONG x = band.right - 1; x > band.left && chevron.x < 0; --x) {
    RBHITTESTINFO hit{};
    hit.pt = {x, (band.top + band.bottom) / 2};
    SendMessageW(rebar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.flags == RBHT_CHEVRON && hit.iBand == 1) chevron = ClientToScreenPoint(rebar, x, hit.pt.y);
  }
  ASSERT_GE(chevron.x, 0) << "the toolbar band shows no chevron";

  std::vector<std::wstring> shown;
  ModalScript script;
  script.Then([] { return ShownPopupMenu() != nullptr; },
              [&shown] {
                shown = DescribeMenu(ShownPopupMenu());
                EndMenu();
              });
  SendClick(chevron);
  ASSERT_TRUE(PumpUntil([&] { return script.Finished(); }, 10000));
  Pump();
  EXPECT_FALSE(script.GaveUp());
  ASSERT_GE(shown.size(), 5u);
  // Nothing to play without a document.
  EXPECT_EQ(shown.back(), RussianInterface() ? L"Слушать атмосферу (grayed)" : L"Play Ambience (grayed)");
  EXPECT_EQ(shown[shown.size() - 2], RussianInterface() ? L"Проиграть звук (grayed)" : L"Play Sound (grayed)");
  EXPECT_EQ(shown[shown.size() - 4], RussianInterface() ? L"О программе" : L"About");
  EXPECT_EQ(shown[shown.size() - 5], RussianInterface() ? L"Печать (grayed)" : L"Print (grayed)");
}

// Setting changes reach the grid through the frame and the tabs: a new colour scheme shows
// in its cells by itself, a change that touches nothing the page or the menu bar draws with
// repaints neither, and a thousand changes leave no font, pen or image list behind.
TEST_F(MainFrameTest, SettingChangesReachTheGridWithoutLeaking) {
  ModalScript open;
  AnswerFileDialog(open, CopyOfSample(L"four-times-of-day.bad"));
  CommandWithScript(CMD_FILE_OPEN, open);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  const RECT cell = view->GetCellRect(2, 3);
  const POINT blank{cell.right - 4, (cell.top + cell.bottom) / 2};

  const COLORREF original = GetSysColor(COLOR_WINDOW);
  const int element = COLOR_WINDOW;
  const COLORREF scheme = RGB(255, 255, 200);
  SetSysColors(1, &element, &scheme);
  RedrawWindow(Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageW(Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  RedrawWindow(view->Handle(), nullptr, nullptr, RDW_UPDATENOW);
  Pump();
  const COLORREF shown = ReadClientPixel(view->Handle(), blank.x, blank.y);
  SetSysColors(1, &element, &original);
  SendMessageW(Hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(shown, scheme);

  RedrawWindow(Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  SendMessageW(Hwnd(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  RECT waiting{};
  EXPECT_FALSE(GetUpdateRect(view->Handle(), &waiting, FALSE));
  EXPECT_FALSE(GetUpdateRect(frame->MenuBar().Handle(), &waiting, FALSE));

  const HandleKind kinds[] = {HandleKind::Font, HandleKind::Pen, HandleKind::ImageList};
  long before[3];
  for (int i = 0; i < 3; ++i) before[i] = LiveHandleCount(kinds[i]);
  const auto oldFont = SendMessageW(view->Handle(), WM_GETFONT, 0, 0);
  const UINT changes[] = {WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_THEMECHANGED, WM_FONTCHANGE};
  // The soak benchmark sends a thousand; a hundred already shows any per-change leak.
  for (int i = 0; i < 100; ++i) SendMessageW(Hwnd(), changes[i % 4], 0, 0);
  Pump();
  // Nothing the font is made from changed, so the grid kept it (and its row layout).
  EXPECT_EQ(SendMessageW(view->Handle(), WM_GETFONT, 0, 0), oldFont);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(LiveHandleCount(kinds[i]), before[i]) << "kind " << i;
}

// Every glyph of a cell shows, the underscore too, and a cell too narrow for its text shows
// it whole in a tooltip while the pointer rests on it.
TEST_F(MainFrameTest, CellsShowTheirWholeText) {
  std::wstring path = CopyOfSample(L"four-times-of-day.bad");
  std::vector<char> bytes = ReadFileBytes(path);
  const char underscores[] = "___";
  std::memcpy(bytes.data() + 2 + 9, underscores, sizeof(underscores));
  const std::string longName(60, 'w');
  std::memcpy(bytes.data() + 2 + 116 + 9, longName.c_str(), longName.size() + 1);
  WriteFileBytes(path, bytes);
  ModalScript open;
  AnswerFileDialog(open, path);
  CommandWithScript(CMD_FILE_OPEN, open);
  AmbientView* view = frame->ActiveView();
  ASSERT_NE(view, nullptr);
  view->SelectCell(3, 0);
  Pump();

  RECT cell = view->GetCellRect(0, 1);
  bool inked = false;
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  // From the bottom up: the underscores' ink is the lowest the font has, so it is found first.
  for (int y = cell.bottom - 2; y >= cell.top && !inked; --y) {
    for (int x = cell.left; x < cell.left + 30 && !inked; ++x)
      inked = ReadClientPixel(view->Handle(), x, y) == text;
  }
  EXPECT_TRUE(inked) << "the underscores show";

  auto visibleTip = [] {
    HWND tip = nullptr;
    while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
      if (IsWindowVisible(tip)) return tip;
    }
    return tip;
  };
  cell = view->GetCellRect(1, 1);
  MoveMouseTo(ClientToScreenPoint(view->Handle(), cell.left + 20, (cell.top + cell.bottom) / 2));
  MoveMouseTo(ClientToScreenPoint(view->Handle(), cell.left + 22, (cell.top + cell.bottom) / 2));
  EXPECT_TRUE(PumpUntil([&] { return visibleTip() != nullptr; }, 5000)) << "the long name's tip shows";
  cell = view->GetCellRect(2, 2);
  MoveMouseTo(ClientToScreenPoint(view->Handle(), cell.left + 10, (cell.top + cell.bottom) / 2));
  MoveMouseTo(ClientToScreenPoint(view->Handle(), cell.left + 12, (cell.top + cell.bottom) / 2));
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(visibleTip(), nullptr) << "a number that fits has none";
}

TEST_F(MainFrameTest, FocusGivenToTheFrameGoesToTheActiveDocument) {
  Command(CMD_FILE_NEW);
  SetFocus(nullptr);
  SetFocus(Hwnd());
  Pump();
  EXPECT_EQ(GetFocus(), frame->ActiveView()->Handle());
}

// New documents nobody typed into go without a question; the views are released and the loop
// ends with exit code 1.
TEST_F(MainFrameTest, ExitClosesUntouchedNewDocumentsWithoutAsking) {
  Command(CMD_FILE_NEW);
  Command(CMD_FILE_NEW);
  ASSERT_EQ(frame->ViewCount(), 2u);
  HWND firstView = frame->ActiveView()->Handle();
  HWND hwnd = Hwnd();

  SendMessageW(hwnd, WM_COMMAND, CMD_APP_EXIT, 0);
  EXPECT_TRUE(IsWindow(hwnd));  // posted, not yet done
  MSG msg;
  bool quit = false;
  int exitCode = -1;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit = true;
      exitCode = static_cast<int>(msg.wParam);
      break;
    }
    DispatchMessageW(&msg);
  }
  EXPECT_TRUE(quit);
  EXPECT_EQ(exitCode, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindow(firstView));
  EXPECT_EQ(frame->ViewCount(), 0u);
  EXPECT_EQ(frame->Handle(), nullptr);
  // The loop no longer holds the frame's filter and idle handler.
  EXPECT_FALSE(loop->UnregisterFilter(frame.get()));
  EXPECT_FALSE(loop->UnregisterIdleHandler(frame.get()));
}

}  // namespace
