// The common controls header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "app/ChevronMenu.h"
#include "menubar/MenuBarMessages.h"
#include "resources/ResourceIds.h"
#include "win/UniqueHandle.h"

namespace {

constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TBSTYLE_FLAT |
                            CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;

// A band as the frame adds its bars: as wide as the bar's buttons, with a chevron.
void AddBand(HWND rebar, HWND bar) {
  int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  RECT first{}, last{};
  SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(bar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_ID | RBBIM_IDEALSIZE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_USECHEVRON;
  band.hwndChild = bar;
  band.cx = band.cxIdeal = last.right;
  band.cyMinChild = last.bottom - last.top;
  band.cxMinChild = first.right;
  band.wID = 0xEB00 + static_cast<UINT>(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0));
  ASSERT_TRUE(SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));
  SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_HIDECLIPPEDBUTTONS);
}

// Stands in for the menu bar: a toolbar with one button per popup of the main menu that
// answers the frame's requests and, asked to track a popup, only notes what it was given.
class MenuBarStandIn : public Window {
 public:
  HMENU menu = nullptr;
  int trackRequests = 0;
  MenuBarTrackPopup record{};
  TPMPARAMS exclude{};
  std::vector<std::wstring> items;
  std::vector<HMENU> submenus;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == MENUBAR_GET_MENU) {
      m.result = reinterpret_cast<LRESULT>(menu);
      return true;
    }
    if (m.msg == MENUBAR_TRACK_POPUP) {
      ++trackRequests;
      record = *reinterpret_cast<MenuBarTrackPopup*>(m.lParam);
      exclude = *record.exclusion;
      items = DescribeMenu(record.menu);
      for (int position = 0; position < GetMenuItemCount(record.menu); ++position) {
        submenus.push_back(GetSubMenu(record.menu, position));
      }
      return true;
    }
    return Window::HandleMessage(m);
  }
};

class Chevron : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame.Create(), nullptr);
    rebar =
        CreateWindowExW(0, REBARCLASSNAMEW, nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                            RBS_BANDBORDERS | CCS_NODIVIDER,
                        0, 0, 100, 100, frame.Handle(), reinterpret_cast<HMENU>(0xE800), nullptr, nullptr);
    ASSERT_NE(rebar, nullptr);
    REBARINFO info{sizeof(REBARINFO), 0, nullptr};
    SendMessageW(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  }

  LONG BarWidthForFrame(HWND bar, int width) {
    SetWindowPos(frame.Handle(), nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageW(rebar, WM_SIZE, 0, 0);
    PumpMessages();
    RECT client;
    GetClientRect(bar, &client);
    return client.right;
  }

  // Narrows the frame until the band's bar shows a client width in [low, high). The frame's
  // border, the band's gripper and, once it shows, the chevron take the rest of the width.
  bool NarrowUntil(HWND bar, LONG low, LONG high) {
    const LONG target = (low + high) / 2;
    LONG frameWidth = 600;
    for (int attempt = 0; attempt < 4; ++attempt) {
      LONG width = BarWidthForFrame(bar, frameWidth);
      if (width >= low && width < high) return true;
      frameWidth += target - width;
    }
    return false;
  }

  // The chevron of band 0, found by asking the rebar what lies under each point of the band.
  POINT ChevronPoint() {
    RECT band{};
    SendMessageW(rebar, RB_GETRECT, 0, reinterpret_cast<LPARAM>(&band));
    for (LONG x = band.right - 1; x > band.left; --x) {
      RBHITTESTINFO hit{};
      hit.pt = {x, (band.top + band.bottom) / 2};
      SendMessageW(rebar, RB_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.flags == RBHT_CHEVRON) return ClientToScreenPoint(rebar, x, hit.pt.y);
    }
    return POINT{-1, -1};
  }

  ServiceFrame frame;
  HWND rebar = nullptr;
};

TEST_F(Chevron, ListsTheClippedButtonsOfAToolbarBandByShortName) {
  HWND toolbar = CreateResourceToolbar(frame.Handle(), kBarStyle | TBSTYLE_TOOLTIPS);
  ASSERT_NE(toolbar, nullptr);
  AddBand(rebar, toolbar);
  // The frame's command states say which buttons are disabled; the popup's own
  // WM_INITMENUPOPUP at the frame shows the same.
  frame.states.RegisterElement(toolbar, COMMAND_KIND_TOOLBAR);
  frame.states.EnableCommand(CMD_EDIT_CUT, false);
  frame.states.PushToToolbars();
  // Cut (the first button after the first separator) and everything behind it are cut off.
  ASSERT_TRUE(NarrowUntil(toolbar, 77, 100));
  POINT chevron = ChevronPoint();
  ASSERT_GE(chevron.x, 0) << "the band shows no chevron";
  BringToFront(frame.Handle());

  std::vector<std::wstring> shown;
  HMENU popup = nullptr;
  ModalScript script;
  script.Then([&] { return (popup = ShownPopupMenu()) != nullptr; },
              [&] {
                shown = DescribeMenu(popup);
                RECT paste{};
                GetMenuItemRect(nullptr, popup, 2, &paste);
                SendClick(POINT{(paste.left + paste.right) / 2, (paste.top + paste.bottom) / 2});
              });
  SendClick(chevron);
  ASSERT_TRUE(PumpUntil([&] { return script.Finished(); }, 10000));
  PumpMessages();
  ASSERT_FALSE(script.GaveUp());

  const wchar_t* print = RussianInterface() ? L"Печать" : L"Print";
  const wchar_t* play = RussianInterface() ? L"Проиграть звук" : L"Play Sound";
  const wchar_t* ambience = RussianInterface() ? L"Слушать атмосферу" : L"Play Ambience";
  const std::vector<std::wstring> english{L"Cut (grayed)", L"Copy",  L"Paste", L"-",
                                          print,           L"About", L"-",     play, ambience};
  const std::vector<std::wstring> russian{L"Вырезать (grayed)", L"Копировать", L"Вставить", L"-", print,
                                          L"О программе",       L"-",          play, ambience};
  EXPECT_EQ(shown, RussianInterface() ? russian : english);
  EXPECT_TRUE(frame.chevronHandled);
  EXPECT_FALSE(IsMenu(popup)) << "the popup outlived its menu";
  // The chosen entry arrives as an ordinary menu command.
  EXPECT_EQ(frame.commands, std::vector<UINT>{CMD_EDIT_PASTE});
}

TEST_F(Chevron, ClickOnTheChevronClosesTheMenuWithoutOpeningItAgain) {
  HWND toolbar = CreateResourceToolbar(frame.Handle(), kBarStyle);
  ASSERT_NE(toolbar, nullptr);
  AddBand(rebar, toolbar);
  ASSERT_TRUE(NarrowUntil(toolbar, 77, 100));
  POINT chevron = ChevronPoint();
  ASSERT_GE(chevron.x, 0);
  BringToFront(frame.Handle());

  ModalScript script;
  script.Then([] { return ShownPopupMenu() != nullptr; }, [&] { SendClick(chevron); })
      .Then([] { return ShownPopupMenu() == nullptr; }, [] {});
  SendClick(chevron);
  ASSERT_TRUE(PumpUntil([&] { return script.Finished(); }, 10000));
  PumpMessages();
  EXPECT_FALSE(script.GaveUp());
  EXPECT_EQ(ShownPopupMenu(), nullptr);
  EXPECT_EQ(frame.chevronPushes, 1);
  EXPECT_TRUE(frame.commands.empty());
}

TEST_F(Chevron, NothingButSeparatorsOrNoButtonsGivesNoMenu) {
  HWND toolbar = CreateResourceToolbar(frame.Handle(), kBarStyle);
  ASSERT_NE(toolbar, nullptr);
  AddBand(rebar, toolbar);
  // Print, About and both Plays hidden, the separators behind Paste are the last items and the
  // only ones cut off.
  for (UINT id : {CMD_FILE_PRINT, CMD_APP_ABOUT, CMD_SOUND_PLAY, CMD_AMBIENCE_PLAY})
    SendMessageW(toolbar, TB_HIDEBUTTON, id, MAKELPARAM(TRUE, 0));

  HWND empty = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kBarStyle, 0, 0, 100, 100, frame.Handle(),
                               nullptr, nullptr, nullptr);
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD | RBBIM_STYLE;
  band.fStyle = RBBS_BREAK;
  band.hwndChild = empty;
  ASSERT_TRUE(SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));

  // With a second band the bands get grippers: narrow only now.
  ASSERT_TRUE(NarrowUntil(toolbar, 146, 154));

  int menusShown = 0;
  ModalScript watch;
  std::vector<std::wstring> shown;
  watch.Then([] { return ShownPopupMenu() != nullptr; },
             [&] {
               ++menusShown;
               shown = DescribeMenu(ShownPopupMenu());
               EndMenu();
             });
  long menus = LiveHandleCount(HandleKind::Menu);
  NMREBARCHEVRON pushed{};
  pushed.hdr = {rebar, 0xE800, static_cast<UINT>(RBN_CHEVRONPUSHED)};
  pushed.rc = {100, 0, 112, 24};
  EXPECT_FALSE(ShowChevronMenu(frame.Handle(), rebar, pushed));
  pushed.uBand = 1;
  EXPECT_FALSE(ShowChevronMenu(frame.Handle(), rebar, pushed));
  PumpMessages();
  EXPECT_EQ(menusShown, 0) << testing::PrintToString(shown);
  EXPECT_EQ(LiveHandleCount(HandleKind::Menu), menus);
}

TEST_F(Chevron, MenuBarBandHandsItsOwnPopupsToTheMenuBar) {
  UniqueMenu menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN)));
  ASSERT_TRUE(menu);
  HWND bar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, kBarStyle, 0, 0, 100, 100, frame.Handle(),
                             nullptr, nullptr, nullptr);
  SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
  std::vector<TBBUTTON> buttons(5);
  for (int index = 0; index < 5; ++index) {
    buttons[index].idCommand = index + 1;
    buttons[index].iBitmap = I_IMAGENONE;
    buttons[index].fsState = TBSTATE_ENABLED;
    buttons[index].fsStyle = BTNS_BUTTON;
  }
  SendMessageW(bar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(40, 22));
  SendMessageW(bar, TB_ENABLEBUTTON, 4, MAKELPARAM(FALSE, 0));
  MenuBarStandIn standIn;
  ASSERT_TRUE(standIn.Subclass(bar));
  standIn.menu = menu.get();
  frame.menuBarWindow = bar;
  AddBand(rebar, bar);
  RECT third{};
  SendMessageW(bar, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  ASSERT_TRUE(NarrowUntil(bar, third.left, third.right));

  NMREBARCHEVRON pushed{};
  pushed.hdr = {rebar, 0xE800, static_cast<UINT>(RBN_CHEVRONPUSHED)};
  pushed.rc = {100, 2, 112, 24};
  // The click that closed the menu on the chevron waits in the queue (its point is where the
  // cursor was when it was posted); it must not push the chevron again.
  POINT onChevron = ClientToScreenPoint(rebar, 106, 12);
  SetCursorPos(onChevron.x, onChevron.y);
  PostMessageW(rebar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(106, 12));
  EXPECT_TRUE(ShowChevronMenu(frame.Handle(), rebar, pushed));
  MSG waiting;
  EXPECT_FALSE(PeekMessageW(&waiting, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));

  ASSERT_EQ(standIn.trackRequests, 1);
  auto text = [&](int position) {
    wchar_t name[64]{};
    GetMenuStringW(menu.get(), position, name, 64, MF_BYPOSITION);
    return std::wstring(name);
  };
  EXPECT_EQ(standIn.items, (std::vector<std::wstring>{text(2), text(3) + L" (grayed)", text(4)}));
  EXPECT_EQ(standIn.submenus, (std::vector<HMENU>{GetSubMenu(menu.get(), 2), GetSubMenu(menu.get(), 3),
                                                  GetSubMenu(menu.get(), 4)}));
  EXPECT_EQ(standIn.record.size, sizeof(MenuBarTrackPopup));
  EXPECT_EQ(standIn.record.flags,
            UINT{TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_LEFTBUTTON | TPM_VERPOSANIMATION});
  POINT corner = ClientToScreenPoint(rebar, 100, 24);
  EXPECT_EQ(standIn.record.x, corner.x);
  EXPECT_EQ(standIn.record.y, corner.y);
  EXPECT_EQ(standIn.exclude.rcExclude.left, corner.x);
  EXPECT_EQ(standIn.exclude.rcExclude.top, corner.y - 22);

  // The popup is gone, the menu bar's popups are not.
  EXPECT_FALSE(IsMenu(standIn.record.menu));
  EXPECT_EQ(GetMenuItemCount(menu.get()), 6);
  for (HMENU submenu : standIn.submenus) EXPECT_TRUE(IsMenu(submenu));
  EXPECT_EQ(GetSubMenu(menu.get(), 3), standIn.submenus[1]);

  // A click elsewhere is left alone.
  POINT elsewhere = ClientToScreenPoint(rebar, 60, 12);
  SetCursorPos(elsewhere.x, elsewhere.y);
  PostMessageW(rebar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 12));
  EXPECT_TRUE(ShowChevronMenu(frame.Handle(), rebar, pushed));
  EXPECT_TRUE(PeekMessageW(&waiting, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
}

}  // namespace
