#include "CommandBarTestFixture.h"

#include "ResourceIds.h"
#include "WinTestSupport.h"
#include "menubar/MenuBarNavigation.h"
#include "win/DeviceContext.h"
#include "win/Reflection.h"

namespace {

const WindowClass* FrameClass() { return RegisterWindowClass(L"Sonarwick_MenuBarTestFrame"); }

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

}  // namespace

WORD KeyFor(wchar_t character) {
  SHORT key = VkKeyScanW(character);
  if (key == -1) return 0;
  WORD vk = LOBYTE(key);
  UINT typed = MapVirtualKeyW(vk, MAPVK_VK_TO_CHAR) & 0xFFFF;
  return FindMnemonic({std::wstring{L'&', static_cast<wchar_t>(typed)}}, character) == 0 ? vk : 0;
}

void TestFrame::Reset() {
  lastCommand = 0;
  commandCount = 0;
  menuSelectCount = 0;
  lastSelectedItem = 0;
  lastInitPopup = nullptr;
}

bool TestFrame::HandleMessage(Message& m) {
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

std::unique_ptr<Canvas> ReferenceImage(UINT command) {
  MenuImages images;
  if (!images.Load(GetModuleHandleW(nullptr), RES_MAIN)) return nullptr;
  auto canvas = std::make_unique<Canvas>(images.ImageSize().cx, images.ImageSize().cy, kKeyColour);
  if (!images.DrawImage(canvas->dc(), command, POINT{0, 0}, false)) return nullptr;
  return canvas;
}

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

std::string Describe(const std::vector<std::string>& failures) {
  std::string text;
  for (auto& failure : failures) text += failure + "; ";
  return text;
}

void CommandBarTest::SetUpTestSuite() {
  sharedFrame = new TestFrame();
  sharedFrame->Create(FrameClass(), nullptr, RECT{50, 50, 650, 450}, L"Frame",
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
  sharedEdit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 60, 200, 24,
                               sharedFrame->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

void CommandBarTest::TearDownTestSuite() {
  delete sharedFrame;
  sharedFrame = nullptr;
}

void CommandBarTest::SetUp() {
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

void CommandBarTest::TearDown() {
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

std::function<bool()> CommandBarTest::PopupOpen(int index) const {
  HWND bar = Bar();
  HMENU popup = Popup(index);
  TestFrame* frame = frame_;
  return [bar, popup, frame, index] {
    return OpenMenuWindow() != nullptr && PressedButton(bar) == index && frame->lastInitPopup == popup;
  };
}

std::vector<std::string> CommandBarTest::RunWithFrameLoop(const std::function<void(Driver&)>& script) {
  CommandBar* bar = bar_.get();
  return Driver::Run(script, [bar](const MSG& msg) { return bar->TranslateMenuKey(msg); });
}

std::function<bool()> CommandBarTest::NoPopupOpen() {
  return [] { return OpenMenuWindow() == nullptr; };
}
