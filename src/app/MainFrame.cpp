#include "app/MainFrame.h"

#include <cwchar>

#include "app/AppModule.h"
#include "app/MessageLoop.h"
#include "app/resources/ResourceIds.h"

namespace {

constexpr int kCaptionLength = 256;

HICON LoadMainIcon(int size) {
  // Shared icons belong to the system; the class keeps them for the life of the process.
  return static_cast<HICON>(LoadImageW(TheAppModule().ResourceInstance(), MAKEINTRESOURCEW(RES_MAIN),
                                       IMAGE_ICON, size, size, LR_SHARED));
}

// The class name is made at run time from an address of this program, so that another
// program's class (or another copy of this code in the same process) never answers to it.
const wchar_t* FrameClassName() {
  static wchar_t name[64];
  if (name[0] == L'\0') {
    std::swprintf(name, 64, L"Sonarwick:%p", static_cast<const void*>(&name));
  }
  return name;
}

// Registered once, on first use, under the module's class-registration lock.
const WindowClass* FrameClass() {
  return RegisterWindowClass(FrameClassName(), [](WNDCLASSEXW& wc) {
    wc.style = 0;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadMainIcon(32);
    wc.hIconSm = LoadMainIcon(16);
  });
}

}  // namespace

// A window still alive goes down while this object is still a MainFrame, so that its
// destruction unregisters the filter from the loop like any other.
MainFrame::~MainFrame() {
  if (Handle() != nullptr) DestroyWindow(Handle());
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

HWND MainFrame::CreateFrame() {
  wchar_t caption[kCaptionLength]{};
  HINSTANCE resources = TheAppModule().ResourceInstance();
  LoadStringW(resources, RES_MAIN, caption, kCaptionLength);
  HMENU menu = LoadMenuW(resources, MAKEINTRESOURCEW(RES_MAIN));
  const RECT useDefault{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
  HWND hwnd = Create(FrameClass(), nullptr, useDefault, caption,
                     WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                     WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, menu);
  if (hwnd == nullptr) {
    // A window that got as far as its creation message took the menu down with it.
    if (menu != nullptr && IsMenu(menu)) DestroyMenu(menu);
    return nullptr;
  }
  accelerators_ = LoadAcceleratorsW(resources, MAKEINTRESOURCEW(RES_MAIN));
  return hwnd;
}

bool MainFrame::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      OnCreate();
      return true;
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  // The frame base.
  if (m.msg == WM_DESTROY) OnFrameDestroy();
  return Window::HandleMessage(m);
}

bool MainFrame::FilterMessage(MSG& msg) {
  return accelerators_ != nullptr && TranslateAcceleratorW(Handle(), accelerators_, &msg) != 0;
}

void MainFrame::OnCreate() {
  if (MessageLoop* loop = TheAppModule().LoopForThread()) loop->RegisterFilter(this);
}

void MainFrame::OnDestroy() {
  if (MessageLoop* loop = TheAppModule().LoopForThread()) loop->UnregisterFilter(this);
}

// The loop ends with the top-level frame; exit code 1 says the program ran and was closed.
void MainFrame::OnFrameDestroy() {
  const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  if ((style & (WS_CHILD | WS_POPUP)) == 0) PostQuitMessage(1);
}
