#include "app/MainFrame.h"

#include "app/FrameFeatures.h"

#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "win/AppModule.h"
#include "app/ChevronMenu.h"
#include "commands/CommandStrings.h"
#include "commands/MenuPrompts.h"
#include "win/MessageLoop.h"
#include "session/SingleInstance.h"
#include "documents/StartupFiles.h"
#include "commands/TextBoxKeys.h"
#include "commands/ToolTipText.h"
#include "resources/ResourceIds.h"
#include "win/Dpi.h"
#include "win/Reflection.h"
#include "win/ResourceModule.h"

namespace {

constexpr int kCaptionLength = 256;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kToolbarStyle =
    kChildStyle | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
// The "&Window" popup, which receives the list of open pages.
constexpr int kWindowMenuPosition = 4;

HICON LoadMainIcon(int size) {
  // Shared icons belong to the system; the class keeps them for the life of the process.
  return static_cast<HICON>(LoadImageW(ResourceModule(), MAKEINTRESOURCEW(RES_MAIN),
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
    // The sizes the system shows at its scale; the icon holds 16 to 256 pixels to pick from.
    wc.hIcon = LoadMainIcon(GetSystemMetrics(SM_CXICON));
    wc.hIconSm = LoadMainIcon(GetSystemMetrics(SM_CXSMICON));
  });
}

std::vector<ACCEL> CopyEntries(HACCEL accelerators) {
  if (accelerators == nullptr) return {};
  std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(accelerators, nullptr, 0)));
  CopyAcceleratorTableW(accelerators, entries.data(), static_cast<int>(entries.size()));
  return entries;
}

}  // namespace

// A window still alive goes down while this object is still a MainFrame, so that its
// destruction unregisters the filter from the loop like any other.
MainFrame::MainFrame(Settings& settings) : settings_(settings) {}

MainFrame::~MainFrame() {
  if (documents_) documents_->StopCopyingOnCrash();
  if (Handle() != nullptr) DestroyWindow(Handle());
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

HWND MainFrame::CreateFrame() {
  wchar_t caption[kCaptionLength]{};
  HINSTANCE resources = ResourceModule();
  LoadStringW(resources, RES_MAIN, caption, kCaptionLength);
  HMENU menu = LoadMenuW(resources, MAKEINTRESOURCEW(RES_MAIN));
  const RECT useDefault{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
  HWND hwnd = Create(FrameClass(), nullptr, useDefault, caption,
                     WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                     // Takes dropped files from birth: the shell's own call that would say so
                     // loads its library on every start.
                     WS_EX_APPWINDOW | WS_EX_WINDOWEDGE | WS_EX_ACCEPTFILES, menu);
  if (hwnd == nullptr) {
    // A window that got as far as its creation message handed the menu to its menu bar or
    // took it down with it.
    if (menu != nullptr && IsMenu(menu) && menu != commandBar_.GetMenu()) DestroyMenu(menu);
    return nullptr;
  }
  accelerators_ = LoadAcceleratorsW(resources, MAKEINTRESOURCEW(RES_MAIN));
  acceleratorEntries_ = CopyEntries(accelerators_);
  return hwnd;
}

AmbientView* MainFrame::ActiveView() const {
  const int active = tabView_.GetActivePage();
  return active == -1 ? nullptr : static_cast<AmbientView*>(tabView_.GetPageData(active));
}

// ---- dispatch ----

bool MainFrame::HandleMessage(Message& m) {
  for (FrameFeature* feature : features_) {
    if (feature->HandleMessage(m)) return true;
  }
  if (HandleOwnMessage(m)) return true;
  if (HandleDpiMessage(m)) return true;
  if (commandStates_.HandleMessage(m)) return true;
  if (HandleLayoutAndBarMessage(m)) return true;
  if (ReflectNotification(m)) return true;
  return Window::HandleMessage(m);
}

bool MainFrame::HandleOwnMessage(Message& m) {
  switch (m.msg) {
    case WM_CREATE:
      OnCreate();
      m.result = 0;
      return true;
    case WM_DESTROY:
      OnDestroy();
      return false;
    case WM_COMMAND:
      // Every command goes to the feature the table names for it.
      if (!commands_.Route(LOWORD(m.wParam))) return false;
      m.result = 0;
      return true;
    case WM_CLOSE:
      if (!OnClose()) return false;
      m.result = 0;
      return true;
    case WM_QUERYENDSESSION:
      m.result = OnQueryEndSession() ? TRUE : FALSE;
      if (m.result == TRUE) session_->SaveWhereClosed();
      return true;
    case WM_ACTIVATE:
      if (!OnActivate(m.wParam)) return false;
      m.result = 0;
      return true;
    case WM_MOVE:
    case WM_ENTERSIZEMOVE:
    case WM_CANCELMODE:
      CancelModes();
      return false;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
    case WM_FONTCHANGE:
      ForwardSettingChange(m);
      return false;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(m.wParam));
      m.result = 0;
      return true;
    case WM_NCDESTROY:
      // Every page window went down with the client before this last message.
      if (documents_) documents_->ReleaseClosedViews();
      return false;
    default:
      return false;
  }
}

// The frame's window plumbing: layout, the bars' notifications and prompts, the focus, and the
// quit message when it goes.
bool MainFrame::HandleLayoutAndBarMessage(Message& m) {
  switch (m.msg) {
    case WM_SIZE:
      CancelModes();
      // Showing the frame tells it its size again; it was laid out for that size while hidden,
      // and doing it twice made the rebar lay out and notify once more on the first picture.
      if (m.wParam != SIZE_MINIMIZED &&
          (LOWORD(m.lParam) != laidOutFor_.cx || HIWORD(m.lParam) != laidOutFor_.cy))
        LayoutChildren(true);
      return false;
    case WM_NOTIFY:
      return OnNotify(m);
    case WM_ERASEBKGND:
      // The client covers everything between the bars; erasing would only flicker.
      if (ClientWindow() == nullptr) return false;
      m.result = 1;
      return true;
    case WM_MENUSELECT:
      ShowMenuPrompt(statusBar_, m.wParam, m.lParam);
      return false;
    case WM_SETFOCUS:
      OnSetFocus();
      return false;
    case WM_DESTROY:
      OnFrameDestroy();
      return false;
    default:
      return false;
  }
}

bool MainFrame::OnNotify(Message& m) {
  auto* header = reinterpret_cast<NMHDR*>(m.lParam);
  switch (header->code) {
    case RBN_AUTOSIZE:
      LayoutChildren(false);
      m.result = 0;
      return true;
    case RBN_CHEVRONPUSHED:
      if (!ShowChevronMenu(m.hwnd, header->hwndFrom, *reinterpret_cast<NMREBARCHEVRON*>(header)))
        return false;
      m.result = 0;
      return true;
    case static_cast<UINT>(GRIDN_VALUEREFUSED):
      OnValueRefused(*reinterpret_cast<const GridNotify*>(header));
      m.result = 0;
      return true;
    case static_cast<UINT>(GRIDN_ITEMCHANGED):
    case static_cast<UINT>(GRIDN_SELCHANGED):
      // The next edit ends what a refusal said; the notification still goes back to its grid.
      // (A new name is looked up at the next idle pass; the others stay as looked up.)
      EndStatusReason();
      return false;
    case AMBIENTN_DOCUMENTFULL:
      RefuseCommand(LoadCommandString(STR_DOCUMENT_FULL));
      m.result = 0;
      return true;
    case AMBIENTN_STATUS:
      if (auto* view = dynamic_cast<AmbientView*>(Window::FromHandle(header->hwndFrom)))
        ShowStatusReason(view->GetStatusText());
      m.result = 0;
      return true;
    case TTN_GETDISPINFOA:
    case TTN_GETDISPINFOW:
      if (!SupplyToolTipText(header)) return false;
      m.result = 0;
      return true;
    default:
      return false;
  }
}

void MainFrame::DoIdle() {
  UpdateUnsavedMarks();
  EndReasonOfOtherView();
  commands_.UpdateStates(commandStates_);
  commandStates_.PushToToolbars();
  commandStates_.PushToMenuBars();
}

// ---- creation and destruction ----

void MainFrame::OnCreate() {
  CreateMenuBar();
  toolbar_ = CreateResourceToolbar(Handle(), ResourceModule(), RES_MAIN, kToolbarStyle,
                                   FRAME_TOOLBAR_ID, false);
  CreateRebar();
  CreateStatusBar();
  CreateClient();
  if (toolbar_.window != nullptr) commandStates_.RegisterElement(toolbar_.window, COMMAND_KIND_TOOLBAR);
  commandStates_.SetCommandCheck(CMD_VIEW_TOOLBAR, 1);
  commandStates_.SetCommandCheck(CMD_VIEW_STATUS_BAR, 1);
  if (MessageLoop* loop = TheAppModule().LoopForThread()) {
    loop->RegisterFilter(this);
    loop->RegisterIdleHandler(this);
  }
  const std::wstring moreWindows = LoadCommandString(STR_WINDOWS_MORE);
  tabView_.AttachWindowMenu(GetSubMenu(commandBar_.GetMenu(), kWindowMenuPosition), moreWindows.c_str());
  if (WindowDpi(Handle()) != SystemDpi() || ToolbarArtForDpi(WindowDpi(Handle())).bitmapId != RES_MAIN)
    ApplyDpi(WindowDpi(Handle()));
  // A second start finds the frame by this mark and hands its files over.
  SetPropW(Handle(), kFrameProperty, reinterpret_cast<HANDLE>(1));
  ListenForFailures();
  CreateFeatures();
}

void MainFrame::OnDestroy() {
  RemovePropW(Handle(), kFrameProperty);
  for (FrameFeature* feature : features_) feature->OnFrameDestroying();
  if (MessageLoop* loop = TheAppModule().LoopForThread()) {
    loop->UnregisterFilter(this);
    loop->UnregisterIdleHandler(this);
  }
}

// The loop ends with the top-level frame; exit code 1 says the program ran and was closed.
void MainFrame::OnFrameDestroy() {
  const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  if ((style & (WS_CHILD | WS_POPUP)) == 0) PostQuitMessage(1);
}
