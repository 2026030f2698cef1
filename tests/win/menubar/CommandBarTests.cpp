#include "CommandBarTestFixture.h"
#include "ResourceIds.h"
#include "WinTestSupport.h"

namespace {

TEST_F(CommandBarTest, ShowsOneButtonPerPopupWithItsText) {
  HMENU menu = bar_->GetMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 6);
  ASSERT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 6);
  std::vector<std::wstring> texts;
  for (int i = 0; i < 6; ++i) {
    texts.push_back(ButtonText(Bar(), i));
    EXPECT_EQ(texts.back(), MenuText(menu, i));
  }
  std::vector<std::wstring> english{L"&File", L"&Edit", L"&View", L"&Ambience", L"&Window", L"&Help"};
  std::vector<std::wstring> russian{L"&Файл", L"&Редактирование", L"&Вид", L"&Атмосфера", L"&Окно", L"&Помощь"};
  bool russianUi = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN;
  EXPECT_EQ(texts, russianUi ? russian : english);

  // Buttons are laid out left to right and none overlaps the next.
  RECT previous{};
  for (int i = 0; i < 6; ++i) {
    RECT rect{};
    SendMessageW(Bar(), TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
    EXPECT_GT(rect.right - rect.left, 10);
    EXPECT_GE(rect.left, previous.right);
    previous = rect;
  }
  // The frame shows no native menu any more.
  EXPECT_EQ(GetMenu(frame_->Handle()), nullptr);
}

TEST_F(CommandBarTest, AnswersTheMenuBarMessages) {
  HMENU menu = bar_->GetMenu();
  EXPECT_EQ(SendMessageW(frame_->Handle(), MENUBAR_GET_WINDOW, 0, 0), reinterpret_cast<LRESULT>(Bar()));
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_GET_MENU, 0, 0), reinterpret_cast<LRESULT>(menu));

  // An ordinary toolbar beside it answers 0, which is how the frame tells the two apart.
  HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", WS_CHILD, 0, 0, 100, 20, frame_->Handle(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(SendMessageW(toolbar, MENUBAR_GET_MENU, 0, 0), 0);
  DestroyWindow(toolbar);

  // A record of the wrong size, or without a menu, is refused without tracking anything.
  MenuBarTrackPopup request{sizeof(MenuBarTrackPopup) - 1, Popup(0), TPM_LEFTALIGN, 100, 100, nullptr};
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_TRACK_POPUP, 0, reinterpret_cast<LPARAM>(&request)), 0);
  request = MenuBarTrackPopup{sizeof(MenuBarTrackPopup), nullptr, TPM_LEFTALIGN, 100, 100, nullptr};
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_TRACK_POPUP, 0, reinterpret_cast<LPARAM>(&request)), 0);
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_TRACK_POPUP, 0, 0), 0);
}

TEST_F(CommandBarTest, AttachingAnotherMenuReplacesTheButtonsAndFreesTheOldMenu) {
  long menus = LiveHandleCount(HandleKind::Menu);
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Only");
  ASSERT_TRUE(bar_->AttachMenu(menu));
  EXPECT_EQ(LiveHandleCount(HandleKind::Menu), menus);
  EXPECT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 1);
  EXPECT_EQ(ButtonText(Bar(), 0), L"&Only");
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_GET_MENU, 0, 0), reinterpret_cast<LRESULT>(menu));

  EXPECT_FALSE(bar_->AttachMenu(nullptr));
  EXPECT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 0);
  EXPECT_EQ(LiveHandleCount(HandleKind::Menu), menus - 1);
  // Without a menu, Alt and F10 are left to the default processing. That may open the
  // system menu's own modal loop, which the queued Escapes end again.
  PostMessageW(frame_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageW(frame_->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageW(frame_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  PumpMessages();
  EXPECT_FALSE(bar_->InKeyboardMode());
}

TEST_F(CommandBarTest, TracksAPopupForTheChevronWithTheFrameAsOwner) {
  // The chevron's popup: the bar's own popups as entries of a new menu.
  UniqueMenu chevron(CreatePopupMenu());
  AppendMenuW(chevron.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(5)),
              MenuText(bar_->GetMenu(), 5).c_str());
  AppendMenuW(chevron.get(), MF_STRING, 0xE140, L"About");
  POINT corner = ClientToScreenPoint(frame_->Handle(), 300, 100);
  MenuBarTrackPopup request{sizeof(MenuBarTrackPopup),
                            chevron.get(),
                            TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL,
                            corner.x,
                            corner.y,
                            nullptr};
  HWND bar = Bar();
  HMENU help = Popup(5);
  TestFrame* frame = frame_;
  std::unique_ptr<Canvas> aboutImage = ReferenceImage(CMD_APP_ABOUT);
  ASSERT_TRUE(aboutImage);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PostMessageW(bar, MENUBAR_TRACK_POPUP, 0, reinterpret_cast<LPARAM>(&request));
    if (!driver.WaitFor("chevron popup shown", [] { return OpenMenuWindow() != nullptr; })) return;
    driver.WaitFor("frame saw WM_INITMENUPOPUP of the chevron popup",
                   [&] { return frame->lastInitPopup == chevron.get(); });
    // The bar's popup inside the chevron's still shows the images.
    PressKey(VK_DOWN);
    PressKey(VK_RIGHT);
    if (!driver.WaitFor("Help opens from the chevron", [&] { return frame->lastInitPopup == help; })) return;
    driver.WaitFor("About shows its image in it",
                   [&] { return ImageSeeThroughInItem(help, 0, *aboutImage).has_value(); });
    PressKey(VK_LEFT);
    PressKey(VK_UP);  // the last item, the command
    driver.WaitFor("frame saw the selection", [&] { return frame->lastSelectedItem == 0xE140; });
    PressKey(VK_RETURN);
    driver.WaitFor("command reached the frame", [&] { return frame->lastCommand == 0xE140; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  // The chevron's entries are detached by the frame before its menu goes; the bar's popup
  // must survive here.
  RemoveMenu(chevron.get(), 0, MF_BYPOSITION);
  EXPECT_TRUE(IsMenu(Popup(5)));
}

// A neighbour in the bar's row shows how much room the bar's band takes: it starts where the
// bar's band ends. However narrow the row, the band keeps its first button whole.
TEST_F(CommandBarTest, KeepsItsRebarBandFittedToTheButtons) {
  HWND rebar = CreateWindowExW(0, REBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER,
                               0, 0, 580, 30, frame_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(rebar, nullptr);
  // Sized for far longer buttons than the menu attached below has.
  REBARBANDINFOW stale{};
  stale.cbSize = sizeof(stale);
  stale.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
  stale.hwndChild = Bar();
  stale.cx = stale.cxIdeal = 400;
  stale.cxMinChild = 300;
  stale.cyMinChild = 20;
  ASSERT_TRUE(SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&stale)));
  HWND neighbour = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, rebar, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  REBARBANDINFOW next{};
  next.cbSize = sizeof(next);
  next.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
  next.hwndChild = neighbour;
  next.cx = 100;
  next.cxMinChild = 20;
  next.cyMinChild = 20;
  ASSERT_TRUE(SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&next)));

  // The frame's chevron asks the band's child for its menu.
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_GET_MENU, 0, 0), reinterpret_cast<LRESULT>(bar_->GetMenu()));

  auto fitted = [&](const char* when) {
    RECT first{}, bar{}, neighbourBand{};
    SendMessageW(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    GetClientRect(Bar(), &bar);
    SendMessageW(rebar, RB_GETRECT, 1, reinterpret_cast<LPARAM>(&neighbourBand));
    EXPECT_GE(bar.right, first.right) << when << ": the first button is cut off";
    EXPECT_LT(neighbourBand.left, 300) << when << ": the band keeps the room of the old buttons";
  };
  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&A");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Bee");
  ASSERT_TRUE(bar_->AttachMenu(menu));
  fitted("after a new menu");

  // Still owned by the frame, which the settings change reaches: a band gone stale meanwhile
  // is fitted again (a new menu font changes the buttons).
  stale.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
  SendMessageW(rebar, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&stale));
  SendMessageW(frame_->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  fitted("after a settings change");
  DestroyWindow(rebar);
  EXPECT_EQ(Bar(), nullptr);
}

TEST_F(CommandBarTest, FollowsTheMenuFontAfterASettingsChange) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  long fontsBefore = LiveHandleCount(HandleKind::Font);
  SendMessageW(frame_->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  SendMessageW(Bar(), WM_THEMECHANGED, 0, 0);
  // The old font is replaced, not kept beside the new one.
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fontsBefore);
  auto font = reinterpret_cast<HFONT>(SendMessageW(Bar(), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW used{};
  GetObjectW(font, sizeof(used), &used);
  EXPECT_EQ(std::wstring(used.lfFaceName), std::wstring(metrics.lfMenuFont.lfFaceName));
  EXPECT_EQ(used.lfHeight, metrics.lfMenuFont.lfHeight);
  EXPECT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 6);
}

}  // namespace
