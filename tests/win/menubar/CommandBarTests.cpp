#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "Canvas.h"
#include "MenuBarDriver.h"
#include "ResourceIds.h"
#include "WinTestSupport.h"
#include "menubar/CommandBar.h"
#include "menubar/MenuBarNavigation.h"
#include "menubar/ThemeLibrary.h"
#include "win/DeviceContext.h"
#include "win/Reflection.h"
#include "win/Window.h"

namespace {

// The virtual key that types `character` on this display's keyboard layout, or 0.
WORD KeyFor(wchar_t character) {
  SHORT key = VkKeyScanW(character);
  if (key == -1) return 0;
  WORD vk = LOBYTE(key);
  UINT typed = MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR) & 0xFFFF;
  return FindMnemonic({std::wstring{L'&', static_cast<wchar_t>(typed)}}, character) == 0 ? vk : 0;
}

// A plain frame: records what a menu tells its owner and reflects notifications back to the
// controls, as the editor's frame does. Its records are read from the driver's thread too.
class TestFrame : public Window {
 public:
  std::atomic<UINT> lastCommand{0};
  std::atomic<int> commandCount{0};
  std::atomic<int> menuSelectCount{0};
  std::atomic<UINT> lastSelectedItem{0};
  std::atomic<HMENU> lastInitPopup{nullptr};

  void Reset() {
    lastCommand = 0;
    commandCount = 0;
    menuSelectCount = 0;
    lastSelectedItem = 0;
    lastInitPopup = nullptr;
  }

 protected:
  bool HandleMessage(Message& m) override {
    switch (m.msg) {
      case WM_COMMAND:
        if (m.lParam == 0) {
          lastCommand = LOWORD(m.wParam);
          ++commandCount;
          return true;
        }
        break;
      case WM_MENUSELECT:
        ++menuSelectCount;
        lastSelectedItem = LOWORD(m.wParam);
        break;
      case PlaceCursorMessage:
        SetCursorPos(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
        return true;
      case WM_INITMENUPOPUP:
        lastInitPopup = reinterpret_cast<HMENU>(m.wParam);
        break;
      default:
        break;
    }
    if (ReflectNotification(m)) return true;
    return Window::HandleMessage(m);
  }
};

const WindowClass* FrameClass() { return RegisterWindowClass(L"Sonarwick_MenuBarTestFrame"); }

std::wstring ButtonText(HWND bar, int index) {
  wchar_t text[128] = {};
  SendMessageW(bar, TB_GETBUTTONTEXTW, CommandBar::kFirstButtonId + index, reinterpret_cast<LPARAM>(text));
  return text;
}

std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return text;
}

HBITMAP ItemBitmap(HMENU menu, UINT id) {
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_BITMAP;
  GetMenuItemInfoW(menu, id, FALSE, &item);
  return item.hbmpItem;
}

// The pixels of `rect` in `hwnd`'s client area after a full repaint, row by row.
std::vector<COLORREF> ReadPixels(HWND hwnd, const RECT& rect) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  PumpMessages();
  std::vector<COLORREF> pixels;
  WindowDcScope dc(hwnd);
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) pixels.push_back(GetPixel(dc.dc(), x, y));
  }
  return pixels;
}

// A toolbar image as drawn over a key colour, to find it on the screen: the key marks the
// see-through pixels.
constexpr COLORREF kKeyColour = RGB(10, 200, 90);

std::unique_ptr<Canvas> ReferenceImage(UINT command) {
  MenuImages images;
  if (!images.Load(GetModuleHandleW(nullptr), RES_MAIN)) return nullptr;
  auto canvas = std::make_unique<Canvas>(images.ImageSize().cx, images.ImageSize().cy, kKeyColour);
  if (!images.DrawImage(canvas->dc(), command, POINT{0, 0}, false)) return nullptr;
  return canvas;
}

// A copy of `screen` (screen coordinates) as window `hwnd` shows it.
std::unique_ptr<Canvas> CopyOfWindow(HWND hwnd, const RECT& screen) {
  RECT window{};
  GetWindowRect(hwnd, &window);
  auto copy = std::make_unique<Canvas>(screen.right - screen.left, screen.bottom - screen.top, kKeyColour);
  HDC dc = GetWindowDC(hwnd);
  BitBlt(copy->dc(), 0, 0, copy->width(), copy->height(), dc, screen.left - window.left,
         screen.top - window.top, SRCCOPY);
  ReleaseDC(hwnd, dc);
  return copy;
}

bool MatchesAt(const Canvas& shown, const Canvas& image, POINT at) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      COLORREF expected = image.At(x, y);
      if (expected != kKeyColour && shown.At(at.x + x, at.y + y) != expected) return false;
    }
  }
  return true;
}

// Where the opaque pixels of `image` appear in `shown`, or nothing.
std::optional<POINT> FindImage(const Canvas& shown, const Canvas& image) {
  for (int y = 0; y + image.height() <= shown.height(); ++y) {
    for (int x = 0; x + image.width() <= shown.width(); ++x) {
      if (MatchesAt(shown, image, POINT{x, y})) return POINT{x, y};
    }
  }
  return std::nullopt;
}

// The colours `shown` has at the see-through pixels of `image` placed at `at`.
std::vector<COLORREF> SeeThroughColours(const Canvas& shown, const Canvas& image, POINT at) {
  std::vector<COLORREF> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.At(x, y) == kKeyColour) colours.push_back(shown.At(at.x + x, at.y + y));
    }
  }
  return colours;
}

// An image as a shown popup item has it: where it sits in the item, and the item's background
// around it (the row above).
struct ShownImage {
  POINT at{};
  COLORREF background = 0;
};

// Finds `image` in item `position` of the shown popup `menu`, with the item's background
// showing through every see-through pixel; nothing while it is not shown like that.
std::optional<ShownImage> ImageSeeThroughInItem(HMENU menu, int position, const Canvas& image) {
  RECT item{};
  if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item)) return std::nullopt;
  HWND window = WindowFromPoint(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
  if (window == nullptr) return std::nullopt;
  std::unique_ptr<Canvas> shown = CopyOfWindow(window, item);
  std::optional<POINT> at = FindImage(*shown, image);
  if (!at || at->y == 0) return std::nullopt;
  COLORREF around = shown->At(at->x, at->y - 1);
  for (COLORREF colour : SeeThroughColours(*shown, image, *at)) {
    if (colour != around) return std::nullopt;
  }
  return ShownImage{*at, around};
}

// Records the reflected WM_DRAWITEM an owner-drawn control gets back from its parent.
class ReflectedDrawRecorder : public Window {
 public:
  int drawn = 0;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg == REFLECT_BASE + WM_DRAWITEM) {
      ++drawn;
      m.result = TRUE;
      return true;
    }
    return Window::HandleMessage(m);
  }
};

std::string Describe(const std::vector<std::string>& failures) {
  std::string text;
  for (auto& failure : failures) text += failure + "; ";
  return text;
}

// The frame with the menu bar over an edit box that has the focus, shown and in front, built
// the way the editor's frame builds it: the menu comes with the frame, the bar takes it over
// with the toolbar images, and the frame's own menu is removed. The frame serves every test
// (hiding a frame costs Wine seconds); each test gets a new bar and a freshly loaded menu.
class CommandBarTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    sharedFrame = new TestFrame();
    sharedFrame->Create(FrameClass(), nullptr, RECT{50, 50, 650, 450}, L"Frame",
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    sharedEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 200, 24,
                                 sharedFrame->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  static void TearDownTestSuite() {
    delete sharedFrame;
    sharedFrame = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(sharedFrame->Handle(), nullptr);
    frame_ = sharedFrame;
    edit_ = sharedEdit;
    frame_->Reset();
    menusBefore_ = LiveHandleCount(HandleKind::Menu);
    bitmapsBefore_ = LiveHandleCount(HandleKind::Bitmap);
    imageListsBefore_ = LiveHandleCount(HandleKind::ImageList);
    iconsBefore_ = LiveHandleCount(HandleKind::Icon);
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN));
    ASSERT_NE(menu, nullptr);
    SetMenu(frame_->Handle(), menu);
    bar_ = std::make_unique<CommandBar>();
    ASSERT_NE(bar_->Create(frame_->Handle(), RECT{0, 0, 580, 26}), nullptr);
    ASSERT_TRUE(bar_->AttachMenu(GetMenu(frame_->Handle())));
    ASSERT_TRUE(bar_->LoadImages(GetModuleHandleW(nullptr), RES_MAIN));
    SetMenu(frame_->Handle(), nullptr);
    ShowWindow(frame_->Handle(), SW_SHOW);
    UpdateWindow(frame_->Handle());
    BringToFront(frame_->Handle());
    SetFocus(edit_);
    CommandBar* bar = bar_.get();
    SetPumpFilter([bar](const MSG& msg) { return bar->TranslateMenuKey(msg); });
    PumpMessages();
  }

  void TearDown() override {
    SetPumpFilter(nullptr);
    bar_.reset();
    PumpMessages();
    EXPECT_EQ(LiveHandleCount(HandleKind::Menu), menusBefore_);
    EXPECT_EQ(LiveHandleCount(HandleKind::Bitmap), bitmapsBefore_);
    EXPECT_EQ(LiveHandleCount(HandleKind::ImageList), imageListsBefore_);
    EXPECT_EQ(LiveHandleCount(HandleKind::Icon), iconsBefore_);
    // Gone with the bar: the frame answers MENUBAR_GET_WINDOW no more.
    EXPECT_EQ(SendMessageW(frame_->Handle(), MENUBAR_GET_WINDOW, 0, 0), 0);
  }

  HWND Bar() const { return bar_->Handle(); }
  HMENU Popup(int index) const { return GetSubMenu(bar_->GetMenu(), index); }

  // True while popup `index` is shown under its pressed button.
  std::function<bool()> PopupOpen(int index) const {
    HWND bar = Bar();
    HMENU popup = Popup(index);
    TestFrame* frame = frame_;
    return [bar, popup, frame, index] {
      return OpenMenuWindow() != nullptr && PressedButton(bar) == index && frame->lastInitPopup == popup;
    };
  }

  // Runs a driver script while this thread pumps messages the way the editor's loop does,
  // offering them to the bar through the frame's filter first.
  std::vector<std::string> RunWithFrameLoop(const std::function<void(Driver&)>& script) {
    CommandBar* bar = bar_.get();
    return Driver::Run(script, [bar](const MSG& msg) { return bar->TranslateMenuKey(msg); });
  }

  static std::function<bool()> NoPopupOpen() {
    return [] { return OpenMenuWindow() == nullptr; };
  }

  static inline TestFrame* sharedFrame = nullptr;
  static inline HWND sharedEdit = nullptr;
  TestFrame* frame_ = nullptr;
  std::unique_ptr<CommandBar> bar_;
  HWND edit_ = nullptr;
  long menusBefore_ = 0;
  long bitmapsBefore_ = 0;
  long imageListsBefore_ = 0;
  long iconsBefore_ = 0;
};

TEST_F(CommandBarTest, ShowsOneButtonPerPopupWithItsText) {
  HMENU menu = bar_->GetMenu();
  ASSERT_EQ(GetMenuItemCount(menu), 5);
  ASSERT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 5);
  std::vector<std::wstring> texts;
  for (int i = 0; i < 5; ++i) {
    texts.push_back(ButtonText(Bar(), i));
    EXPECT_EQ(texts.back(), MenuText(menu, i));
  }
  std::vector<std::wstring> english{L"&File", L"&Edit", L"&View", L"&Window", L"&Help"};
  std::vector<std::wstring> russian{L"&Файл", L"&Редактирование", L"&Вид", L"&Окно", L"&Помощь"};
  bool russianUi = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN;
  EXPECT_EQ(texts, russianUi ? russian : english);

  // Buttons are laid out left to right and none overlaps the next.
  RECT previous{};
  for (int i = 0; i < 5; ++i) {
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

TEST_F(CommandBarTest, TracksAPopupForTheChevronWithTheFrameAsOwner) {
  // The chevron's popup: the bar's own popups as entries of a new menu.
  UniqueMenu chevron(CreatePopupMenu());
  AppendMenuW(chevron.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(4)),
              MenuText(bar_->GetMenu(), 4).c_str());
  AppendMenuW(chevron.get(), MF_STRING, 0xE140, L"About");
  POINT corner = ClientToScreenPoint(frame_->Handle(), 300, 100);
  MenuBarTrackPopup request{sizeof(MenuBarTrackPopup),
                            chevron.get(),
                            TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL,
                            corner.x,
                            corner.y,
                            nullptr};
  HWND bar = Bar();
  HMENU help = Popup(4);
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
  EXPECT_TRUE(IsMenu(Popup(4)));
}

TEST_F(CommandBarTest, ItemsWithToolbarCommandsShowTheToolbarImages) {
  HMENU file = Popup(0), edit = Popup(1), view = Popup(2), help = Popup(4);
  // Marked for their owner to draw the image.
  for (UINT id : {CMD_FILE_NEW, CMD_FILE_OPEN, CMD_FILE_SAVE, CMD_FILE_PRINT}) {
    EXPECT_EQ(ItemBitmap(file, id), HBMMENU_CALLBACK) << std::hex << id;
  }
  for (UINT id : {CMD_EDIT_CUT, CMD_EDIT_COPY, CMD_EDIT_PASTE})
    EXPECT_EQ(ItemBitmap(edit, id), HBMMENU_CALLBACK) << std::hex << id;
  EXPECT_EQ(ItemBitmap(help, CMD_APP_ABOUT), HBMMENU_CALLBACK);
  for (UINT id : {CMD_FILE_SAVE_AS, CMD_FILE_PRINT_PREVIEW, CMD_FILE_PRINT_SETUP, CMD_APP_EXIT}) {
    EXPECT_EQ(ItemBitmap(file, id), nullptr) << std::hex << id;
  }
  EXPECT_EQ(ItemBitmap(edit, CMD_EDIT_UNDO), nullptr);
  EXPECT_EQ(ItemBitmap(view, CMD_VIEW_TOOLBAR), nullptr);

  // The frame measures the marked items for the images, 16×15, and leaves everything else.
  MEASUREITEMSTRUCT measure{ODT_MENU, 0, CMD_FILE_SAVE, 0, 0, 0};
  EXPECT_TRUE(SendMessageW(frame_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
  EXPECT_EQ(measure.itemWidth, 16u);
  EXPECT_EQ(measure.itemHeight, 15u);
  MEASUREITEMSTRUCT plain{ODT_MENU, 0, CMD_FILE_SAVE_AS, 0, 0, 0};
  EXPECT_FALSE(SendMessageW(frame_->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&plain)));
  EXPECT_EQ(plain.itemWidth, 0u);
}

TEST_F(CommandBarTest, OwnerDrawnControlsOfTheFrameStillGetTheirDrawingReflected) {
  // Its id is a command with an image: only menus are the images' business.
  HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_OWNERDRAW, 0, 0, 20, 20, frame_->Handle(),
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CMD_FILE_SAVE)),
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(button, nullptr);
  ReflectedDrawRecorder recorder;
  ASSERT_TRUE(recorder.Subclass(button));
  Canvas canvas(20, 20, kKeyColour);
  DRAWITEMSTRUCT draw{ODT_BUTTON,  CMD_FILE_SAVE,      0, ODA_DRAWENTIRE, 0, button,
                      canvas.dc(), RECT{0, 0, 20, 20}, 0};
  SendMessageW(frame_->Handle(), WM_DRAWITEM, CMD_FILE_SAVE, reinterpret_cast<LPARAM>(&draw));
  EXPECT_EQ(recorder.drawn, 1);
  std::vector<COLORREF> pixels = canvas.Pixels();
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kKeyColour), 20 * 20) << "no image was drawn over it";
  DestroyWindow(button);
}

TEST_F(CommandBarTest, AClickOpensAPopupAndMovingToAnotherButtonSwitches) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0), editOpen = PopupOpen(1), viewOpen = PopupOpen(2);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 0));
    if (!driver.WaitFor("File opens on a click", fileOpen)) return;
    RECT popup{}, button{};
    GetWindowRect(OpenMenuWindow(), &popup);
    SendMessageW(bar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    if (popup.top < button.bottom - 1 || popup.left > button.left + 2)
      driver.Fail("File drops down below its button");

    DriverMove(frameWindow, ButtonCentre(bar, 1));
    if (!driver.WaitFor("moving to Edit switches to its popup", editOpen)) return;
    DriverMove(frameWindow, ButtonCentre(bar, 2));
    if (!driver.WaitFor("moving on to View switches again", viewOpen)) return;
    int selects = frame->menuSelectCount;
    PressKey(VK_DOWN);
    driver.WaitFor("WM_MENUSELECT reaches the frame while the popup is open", [&] {
      return frame->menuSelectCount > selects && frame->lastSelectedItem == CMD_VIEW_TOOLBAR;
    });

    // A click on the open popup's own button closes it and does not open it again.
    DriverClick(frameWindow, ButtonCentre(bar, 2));
    driver.WaitFor("a click on the open button closes", NoPopupOpen());
    driver.WaitFor("no button stays pressed", [&] { return PressedButton(bar) == -1; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  PumpMessages();
  EXPECT_EQ(OpenMenuWindow(), nullptr);
  EXPECT_EQ(frame_->commandCount, 0);
}

TEST_F(CommandBarTest, AChosenItemReachesTheFrameAsItsCommand) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU help = Popup(4);
  TestFrame* frame = frame_;
  auto helpOpen = PopupOpen(4);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 4));
    if (!driver.WaitFor("Help opens", helpOpen)) return;
    RECT item{};
    GetMenuItemRect(nullptr, help, 0, &item);
    DriverClick(frameWindow, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    driver.WaitFor("About reaches the frame", [&] { return frame->lastCommand == CMD_APP_ABOUT; });
    driver.WaitFor("the popup has closed", NoPopupOpen());
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 1);
  EXPECT_EQ(GetFocus(), edit_);
}

TEST_F(CommandBarTest, AClickElsewhereClosesThePopupWithoutACommand) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto editOpen = PopupOpen(1);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 1));
    if (!driver.WaitFor("Edit opens", editOpen)) return;
    // Low in the frame, below any popup.
    DriverClick(frameWindow, ClientToScreenPoint(frameWindow, 20, 350));
    driver.WaitFor("a click elsewhere closes the popup", NoPopupOpen());
    driver.WaitFor("no button stays pressed or hot",
                   [&] { return PressedButton(bar) == -1 && HotButton(bar) != 1; });
    driver.WaitFor("the document keeps the focus", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 0);
  EXPECT_FALSE(bar_->InKeyboardMode());
}

TEST_F(CommandBarTest, ThePopupShowsTheToolbarImagesWithTheirBackgroundSeeThroughInEveryState) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU file = Popup(0);
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0);
  EnableMenuItem(file, CMD_FILE_PRINT, MF_BYCOMMAND | MF_GRAYED);
  std::unique_ptr<Canvas> newImage = ReferenceImage(CMD_FILE_NEW), openImage = ReferenceImage(CMD_FILE_OPEN),
                          printImage = ReferenceImage(CMD_FILE_PRINT);
  ASSERT_TRUE(newImage && openImage && printImage);
  COLORREF grey = RGB(192, 192, 192);
  bool greyMenus = GetSysColor(COLOR_MENU) == grey;

  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverClick(frameWindow, ButtonCentre(bar, 0));
    if (!driver.WaitFor("File opens", fileOpen)) return;
    PressKey(VK_DOWN);
    if (!driver.WaitFor("New is highlighted", [&] { return frame->lastSelectedItem == CMD_FILE_NEW; }))
      return;
    // Both are checked against the background around their image, which differs: the
    // highlight for New, the menu's own colour for Open.
    ShownImage highlighted, plain;
    auto shows = [&](int position, const Canvas& image, ShownImage& result) {
      std::optional<ShownImage> found = ImageSeeThroughInItem(file, position, image);
      if (found) result = *found;
      return found.has_value();
    };
    if (!driver.WaitFor("the highlighted New shows its image over the highlight",
                        [&] { return shows(0, *newImage, highlighted); }) ||
        !driver.WaitFor("Open, not highlighted, shows its image over the menu's background",
                        [&] { return shows(1, *openImage, plain); })) {
      return;
    }
    if (highlighted.background == plain.background) driver.Fail("New is not highlighted after all");
    if (!greyMenus && (highlighted.background == grey || plain.background == grey))
      driver.Fail("the light grey itself is shown");

    // Grayed Print, where Open has its image: drawn, but not in its colours, and with no
    // light grey either.
    RECT print{};
    GetMenuItemRect(nullptr, file, 5, &print);
    std::unique_ptr<Canvas> shown = CopyOfWindow(OpenMenuWindow(), print);
    if (MatchesAt(*shown, *printImage, plain.at)) driver.Fail("the grayed Print shows its image in colour");
    int drawn = 0, greyShown = 0;
    for (int y = 0; y < printImage->height(); ++y) {
      for (int x = 0; x < printImage->width(); ++x) {
        COLORREF colour = shown->At(plain.at.x + x, plain.at.y + y);
        greyShown += colour == grey;
        drawn += colour != plain.background;
      }
    }
    if (drawn == 0) driver.Fail("the grayed Print shows no image");
    if (!greyMenus && greyShown != 0) driver.Fail("the grayed Print shows light grey");
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

TEST_F(CommandBarTest, ArrowKeysSkipDisabledPopups) {
  // A menu built here: the second popup is grayed, so its button is disabled and skipped.
  HMENU menu = CreateMenu();
  const wchar_t* names[] = {L"&One", L"&Two", L"T&hree"};
  for (const wchar_t* name : names) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 0x100, L"&Item");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), name);
  }
  EnableMenuItem(menu, 1, MF_BYPOSITION | MF_GRAYED);
  ASSERT_TRUE(bar_->AttachMenu(menu));
  ASSERT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 3);
  EXPECT_FALSE(SendMessageW(Bar(), TB_ISBUTTONENABLED, CommandBar::kFirstButtonId + 1, 0));

  PressKey(VK_F10);
  ASSERT_TRUE(bar_->InKeyboardMode());
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_LEFT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(GetFocus(), edit_);
}

TEST_F(CommandBarTest, ButtonsClippedByANarrowBandAreLeftToTheChevron) {
  // As inside the frame's rebar: clipped buttons are hidden, and the bar is narrowed so that
  // only the first three fit.
  SendMessageW(Bar(), TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_HIDECLIPPEDBUTTONS);
  RECT third{};
  SendMessageW(Bar(), TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
  SetWindowPos(Bar(), nullptr, 0, 0, third.right + 2, 26, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  PressKey(VK_F10);
  ASSERT_TRUE(bar_->InKeyboardMode());
  PressKey(VK_LEFT);
  EXPECT_EQ(HotButton(Bar()), 2);
  PressKey(VK_RIGHT);
  EXPECT_EQ(HotButton(Bar()), 0);
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(bar_->InKeyboardMode());
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

TEST_F(CommandBarTest, PressDragReleaseChoosesAnItem) {
  HWND bar = Bar();
  HWND frameWindow = frame_->Handle();
  HMENU view = Popup(2);
  TestFrame* frame = frame_;
  auto viewOpen = PopupOpen(2);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    DriverButton(frameWindow, ButtonCentre(bar, 2), true);
    if (!driver.WaitFor("View opens while the button is held", viewOpen)) return;
    RECT item{};
    GetMenuItemRect(nullptr, view, 1, &item);
    POINT target{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    DriverMove(frameWindow, target);
    DriverButton(frameWindow, target, false);
    driver.WaitFor("Status Bar reaches the frame", [&] { return frame->lastCommand == CMD_VIEW_STATUS_BAR; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

// The focused window keeps the focus all along, and with it its text and caret.
TEST_F(CommandBarTest, AltEntersTheBarArrowsNavigateAndEscapeLeavesTheFocusAlone) {
  HWND bar = Bar();
  HWND edit = edit_;
  SetWindowTextW(edit, L"half typed");
  SendMessageW(edit, EM_SETSEL, 4, 4);
  DWORD thread = GetCurrentThreadId();
  auto editOpen = PopupOpen(1), viewOpen = PopupOpen(2), fileOpen = PopupOpen(0), helpOpen = PopupOpen(4);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_MENU);
    if (!driver.WaitFor("Alt makes the first button hot", [&] { return HotButton(bar) == 0; })) return;
    driver.WaitFor("the edit keeps the focus", [&] { return FocusOfThread(thread) == edit; });
    if (OpenMenuWindow() != nullptr) driver.Fail("Alt alone opens no popup");
    PressKey(VK_RIGHT);
    driver.WaitFor("Right moves to Edit", [&] { return HotButton(bar) == 1; });
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    driver.WaitFor("Left wraps around to Help", [&] { return HotButton(bar) == 4; });
    PressKey(VK_RIGHT);
    PressKey(VK_RIGHT);
    driver.WaitFor("Right wraps around to Edit", [&] { return HotButton(bar) == 1; });
    PressKey(VK_DOWN);
    if (!driver.WaitFor("Down opens Edit", editOpen)) return;
    PressKey(VK_RIGHT);
    if (!driver.WaitFor("Right switches to View", viewOpen)) return;
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    if (!driver.WaitFor("Left twice switches to File", fileOpen)) return;
    PressKey(VK_LEFT);
    if (!driver.WaitFor("Left from File wraps to Help", helpOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes the popup", NoPopupOpen());
    driver.WaitFor("its button stays hot", [&] { return HotButton(bar) == 4; });
    driver.WaitFor("the edit still has the focus", [&] { return FocusOfThread(thread) == edit; });
    PressKey(VK_ESCAPE);
    driver.WaitFor("a second Escape leaves the bar", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("with the focus where it was", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(frame_->commandCount, 0);
  wchar_t text[32]{};
  GetWindowTextW(edit, text, 32);
  EXPECT_STREQ(text, L"half typed");
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 4u);
  EXPECT_EQ(end, 4u);
  SetWindowTextW(edit, L"");
}

TEST_F(CommandBarTest, AltPressedTwiceLeavesTheBar) {
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_MENU);
    if (!driver.WaitFor("Alt enters the bar", [&] { return HotButton(bar) == 0; })) return;
    PressKey(VK_MENU);
    driver.WaitFor("Alt again leaves it", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("the focus is back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

TEST_F(CommandBarTest, F10AndEnterOpenTheFirstPopupWithItsFirstItemSelected) {
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  TestFrame* frame = frame_;
  auto fileOpen = PopupOpen(0);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressKey(VK_F10);
    if (!driver.WaitFor("F10 makes the first button hot", [&] { return HotButton(bar) == 0; })) return;
    PressKey(VK_RETURN);
    if (!driver.WaitFor("Enter opens File", fileOpen)) return;
    driver.WaitFor("its first item is selected", [&] { return frame->lastSelectedItem == CMD_FILE_NEW; });
    PressKey(VK_RETURN);
    driver.WaitFor("Enter chooses New", [&] { return frame->lastCommand == CMD_FILE_NEW; });
    driver.WaitFor("a command leaves the bar", [&] { return HotButton(bar) == -1; });
    driver.WaitFor("and gives the focus back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_EQ(frame_->commandCount, 1);
}

TEST_F(CommandBarTest, AltAndAMnemonicOpenThatPopupDirectly) {
  // The mnemonics are letters of the menu's language. Where the display's keyboard layout has
  // no key for them (Cyrillic letters on the virtual display's US layout), the characters the
  // keyboard would produce are posted into the same loop instead.
  wchar_t viewMnemonic = MnemonicOf(MenuText(bar_->GetMenu(), 2));
  wchar_t fileMnemonic = MnemonicOf(MenuText(bar_->GetMenu(), 0));
  WORD viewKey = KeyFor(viewMnemonic), fileKey = KeyFor(fileMnemonic);
  HWND bar = Bar();
  HWND edit = edit_;
  DWORD thread = GetCurrentThreadId();
  auto viewOpen = PopupOpen(2), fileOpen = PopupOpen(0);
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    if (viewKey != 0) {
      PressChord({VK_MENU, viewKey});
    } else {
      constexpr LPARAM kAltDown = 1 << 29;
      PostMessageW(edit, WM_SYSCHAR, viewMnemonic, 1 | kAltDown);
    }
    if (!driver.WaitFor("Alt+mnemonic opens View", viewOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes it", NoPopupOpen());
    driver.WaitFor("View stays hot", [&] { return HotButton(bar) == 2; });
    // Inside the bar the mnemonic alone opens its popup.
    if (fileKey != 0) {
      PressKey(fileKey);
    } else {
      PostMessageW(bar, WM_CHAR, fileMnemonic, 1);
    }
    if (!driver.WaitFor("the mnemonic alone opens File", fileOpen)) return;
    PressKey(VK_ESCAPE);
    driver.WaitFor("Escape closes it", NoPopupOpen());
    PressKey(VK_ESCAPE);
    driver.WaitFor("the focus is back", [&] { return FocusOfThread(thread) == edit; });
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
}

TEST_F(CommandBarTest, AnUnknownMnemonicOpensNothing) {
  HWND bar = Bar();
  auto failures = RunWithFrameLoop([&](Driver& driver) {
    PressChord({VK_MENU, 'Q'});
    PressKey(VK_SHIFT);  // something harmless, to know the chord went through
    driver.WaitFor("the bar stays out of the way", [&] { return HotButton(bar) == -1; });
    if (OpenMenuWindow() != nullptr) driver.Fail("Alt+Q opened a popup");
  });
  EXPECT_TRUE(failures.empty()) << Describe(failures);
  EXPECT_FALSE(bar_->InKeyboardMode());
}

TEST_F(CommandBarTest, KeepsItsRebarBandFittedToTheButtons) {
  HWND rebar = CreateWindowExW(0, REBARCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | RBS_VARHEIGHT | CCS_NODIVIDER,
                               0, 0, 580, 30, frame_->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(rebar, nullptr);
  REBARBANDINFOW band{};
  band.cbSize = sizeof(band);
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
  band.hwndChild = Bar();
  band.cx = band.cxIdeal = 400;
  band.cxMinChild = 300;
  band.cyMinChild = 20;
  ASSERT_TRUE(SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));

  // The frame's chevron asks the band's child for its menu.
  EXPECT_EQ(SendMessageW(Bar(), MENUBAR_GET_MENU, 0, 0), reinterpret_cast<LRESULT>(bar_->GetMenu()));

  HMENU menu = CreateMenu();
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&A");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"&Bee");
  ASSERT_TRUE(bar_->AttachMenu(menu));
  RECT first{}, last{};
  SendMessageW(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  SendMessageW(Bar(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
  band.fMask = RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_IDEALSIZE;
  ASSERT_TRUE(SendMessageW(rebar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band)));
  EXPECT_EQ(band.cxMinChild, static_cast<UINT>(first.right));
  EXPECT_EQ(band.cxIdeal, static_cast<UINT>(last.right));
  EXPECT_EQ(band.cyMinChild, static_cast<UINT>(last.bottom - last.top));

  // Still owned by the frame, which the settings change reaches.
  SendMessageW(frame_->Handle(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  ASSERT_TRUE(SendMessageW(rebar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band)));
  SendMessageW(Bar(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(band.cxIdeal, static_cast<UINT>(last.right));
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
  EXPECT_EQ(SendMessageW(Bar(), TB_BUTTONCOUNT, 0, 0), 5);
}

TEST_F(CommandBarTest, TheButtonOfTheKeyboardIsLit) {
  RECT file{};
  SendMessageW(Bar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&file));
  std::vector<COLORREF> unlit = ReadPixels(Bar(), file);
  // Keyboard entry lights the first button without any popup, so it can be read back here.
  SendMessageW(frame_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  ASSERT_TRUE(bar_->InKeyboardMode());
  std::vector<COLORREF> lit = ReadPixels(Bar(), file);
  EXPECT_NE(lit, unlit);
  if (!IsVisualStyleActive()) {
    // Classic look: lit like a selected menu item.
    BOOL flat = FALSE;
    SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0);
    COLORREF highlight = GetSysColor(flat ? COLOR_MENUHILIGHT : COLOR_HIGHLIGHT);
    EXPECT_EQ(lit.front(), highlight);
  }
  SendMessageW(frame_->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_FALSE(bar_->InKeyboardMode());
  EXPECT_EQ(GetFocus(), edit_);
  EXPECT_EQ(ReadPixels(Bar(), file), unlit);
}

}  // namespace
