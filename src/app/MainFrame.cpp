#include "app/MainFrame.h"

#include <shellapi.h>

#include <cwchar>
#include <utility>

#include "app/AppModule.h"
#include "app/ChevronMenu.h"
#include "app/CommandStrings.h"
#include "app/MenuPrompts.h"
#include "app/MessageLoop.h"
#include "app/SingleInstance.h"
#include "app/StartupFiles.h"
#include "app/TextBoxKeys.h"
#include "app/ToolTipText.h"
#include "resources/ResourceIds.h"
#include "win/Dpi.h"
#include "win/Reflection.h"
#include "win/ResourceModule.h"
#include "win/ScopedVariant.h"

namespace {

constexpr int kCaptionLength = 256;
constexpr int kStatusTextLength = 128;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kToolbarStyle =
    kChildStyle | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN;
constexpr DWORD kRebarStyle = kChildStyle | RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;
// The "&Window" popup, which receives the list of open pages.
constexpr int kWindowMenuPosition = 4;

// Printing is not built: its commands stay disabled in the menus and on the toolbar.
constexpr UINT kAlwaysDisabledCommands[] = {CMD_FILE_PRINT, CMD_FILE_PRINT_PREVIEW, CMD_FILE_PRINT_SETUP};

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

// A bar counts by its own style, not by whether it is on screen: the frame lays itself out at
// its place before it first shows, and a bar of a hidden frame still takes its room.
bool IsVisible(HWND window) {
  return window != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

int WindowHeight(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect.bottom - rect.top;
}

}  // namespace

// A window still alive goes down while this object is still a MainFrame, so that its
// destruction unregisters the filter from the loop like any other.
MainFrame::MainFrame(Settings& settings) : settings_(settings) {}

MainFrame::~MainFrame() {
  if (recovery_) WriteRecoveryCopiesOnCrash(nullptr);
  if (Handle() != nullptr) DestroyWindow(Handle());
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
  if (findKeys_ != nullptr) DestroyAcceleratorTable(findKeys_);
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
  if (HandleOutsideWorldMessage(m)) return true;
  if (m.msg == FindReplaceDialog::Message()) {
    OnFindMessage(m.lParam);
    m.result = 0;
    return true;
  }
  if (HandleOwnMessage(m)) return true;
  if (HandleSessionMessage(m)) return true;
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
    case WM_TIMER:
      if (m.wParam != kAmbienceCursorTimer) return false;
      OnAmbienceCursorTimer();
      m.result = 0;
      return true;
    case WM_COMMAND:
      if (!OnCommand(LOWORD(m.wParam)) && !OnEditCommand(LOWORD(m.wParam)) &&
          !OnSoundCommand(LOWORD(m.wParam)) && !OnFindCommand(LOWORD(m.wParam)))
        return false;
      m.result = 0;
      return true;
    case WM_CONTEXTMENU:
      if (!OnContextMenu(reinterpret_cast<HWND>(m.wParam), m.lParam)) return false;
      m.result = 0;
      return true;
    case WM_CLOSE:
      if (!OnClose()) return false;
      m.result = 0;
      return true;
    case WM_QUERYENDSESSION:
      m.result = OnQueryEndSession() ? TRUE : FALSE;
      if (m.result == TRUE) SaveWhereClosed();
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
    case WM_SOUND_NOTICE:
      OnSoundNotice(static_cast<unsigned>(m.wParam));
      m.result = 0;
      return true;
    case WM_NCDESTROY:
      // Every page window went down with the client before this last message.
      ReleaseClosedViews();
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
  if (timeline_ && timeline_->OnNotify(*header)) {
    m.result = 0;
    return true;
  }
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
      EndStatusReason(statusBar_);
      return false;
    case static_cast<UINT>(GRIDN_EDITORBUTTON):
      // The name editor's browse button does what F4 does in it.
      if (const AmbientView* view = ActiveView(); view != nullptr && view->Handle() == header->hwndFrom &&
                                                  IsWindow(view->GetEditor()))
        OnBrowseSoundName();
      m.result = 0;
      return true;
    case AMBIENTN_DOCUMENTFULL:
      RefuseEntryCommand(LoadCommandString(STR_DOCUMENT_FULL));
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

bool MainFrame::FilterMessage(MSG& msg) {
  // While the keyboard is in the menu bar its keys are the bar's, not the accelerators'.
  if (commandBar_.InKeyboardMode() && commandBar_.TranslateMenuKey(msg)) return true;
  if (IsBrowseSoundKey(msg)) {
    OnBrowseSoundName();
    return true;
  }
  if (IsStopSoundKey(msg)) {
    OnSoundStop();
    return true;
  }
  if (IsCloseTabKey(msg)) {
    // The same road as Window > Close, whatever that command asks first.
    SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(CMD_WINDOW_CLOSE, 1), 0);
    return true;
  }
  if (accelerators_ != nullptr && !LeavesKeyToTextBox(acceleratorEntries_, msg) &&
      !(CellEditorOpen() && LeavesKeyToCellEditor(acceleratorEntries_, msg)) &&
      TranslateAcceleratorW(Handle(), accelerators_, &msg) != 0) {
    // Default processing must still see an Alt+key that became a command (Alt+Up moves an
    // entry); otherwise it takes the Alt as pressed alone and opens the menu bar on release.
    if (msg.message == WM_SYSKEYDOWN) DefWindowProcW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    return true;
  }
  if (commandBar_.TranslateMenuKey(msg)) return true;
  return tabView_.TranslatePageKeys(&msg);
}

// Ctrl+F4 on any window of the frame, without Shift or Alt.
bool MainFrame::IsCloseTabKey(const MSG& msg) const {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F4) return false;
  if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
  return msg.hwnd == Handle() || IsChild(Handle(), msg.hwnd);
}

void MainFrame::DoIdle() {
  const AmbientView* view = ActiveView();
  commandStates_.EnableCommand(CMD_FILE_SAVE, view != nullptr && view->IsModified());
  commandStates_.EnableCommand(CMD_FILE_SAVE_AS, view != nullptr);
  for (UINT id : kAlwaysDisabledCommands) commandStates_.EnableCommand(id, false);
  UpdateEditCommandStates();
  UpdateUnsavedMarks();
  if (recoveryDue_) ScheduleRecoveryCopies();
  EndReasonOfOtherView();
  UpdateSoundState();
  UpdateFindCommandStates();
  if (ambience_) UpdateAmbience(view != nullptr);
  commandStates_.PushToToolbars();
  commandStates_.PushToMenuBars();
}

// A refusal beeps in the grid; the status bar says what the cell takes.
void MainFrame::OnValueRefused(const GridNotify& notify) {
  // A refusal with words of its own (a name the file cannot store) says them.
  if (auto* grid = dynamic_cast<PropertyGrid*>(Window::FromHandle(notify.hdr.hwndFrom))) {
    if (!grid->GetRefusalReason().empty()) {
      ShowStatusReason(grid->GetRefusalReason());
      return;
    }
  }
  ScopedVariant value;
  const bool number = notify.item != nullptr && notify.item->GetValue(value.get()) && value->vt == VT_I4;
  ShowStatusReason(LoadCommandString(number ? STR_REFUSED_NUMBER : STR_REFUSED_VALUE));
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
  LoadNamesCodePage();
  if (MessageLoop* loop = TheAppModule().LoopForThread()) {
    loop->RegisterFilter(this);
    loop->RegisterIdleHandler(this);
  }
  const std::wstring moreWindows = LoadCommandString(STR_WINDOWS_MORE);
  tabView_.AttachWindowMenu(GetSubMenu(commandBar_.GetMenu(), kWindowMenuPosition), moreWindows.c_str());
  UpdateRecentMenu();
  if (WindowDpi(Handle()) != SystemDpi() || ToolbarArtForDpi(WindowDpi(Handle())).bitmapId != RES_MAIN)
    ApplyDpi(WindowDpi(Handle()));
  player_.SetNotifyWindow(Handle(), WM_SOUND_NOTICE);
  // A second start finds the frame by this mark and hands its files over.
  SetPropW(Handle(), kFrameProperty, reinterpret_cast<HANDLE>(1));
  ListenForFailures();
  CreateAmbienceFeatures();
}

// The menu shows only in the menu bar, which takes it over and shows the toolbar's images
// beside the items that have a button.
void MainFrame::CreateMenuBar() {
  if (commandBar_.Create(Handle()) == nullptr) return;
  HMENU menu = GetMenu(Handle());
  commandBar_.AttachMenu(menu);
  commandBar_.LoadImagesOnFirstUse(ResourceModule(), RES_MAIN);
  SetMenu(Handle(), nullptr);
}

// Without a rebar the bars stay plain children where they were made.
void MainFrame::CreateRebar() {
  rebar_ = CreateWindowExW(0, REBARCLASSNAMEW, nullptr, kRebarStyle, 0, 0, 100, 100, Handle(),
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FRAME_REBAR_ID)),
                           ResourceModule(), nullptr);
  if (rebar_ == nullptr) return;
  REBARINFO info{};
  info.cbSize = sizeof(info);
  if (SendMessageW(rebar_, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info)) == 0) {
    DestroyWindow(rebar_);
    rebar_ = nullptr;
    return;
  }
  if (commandBar_.Handle() != nullptr) AddBarBand(rebar_, commandBar_.Handle(), false);
  if (toolbar_.window != nullptr) AddBarBand(rebar_, toolbar_.window, true);
}

void MainFrame::CreateStatusBar() {
  wchar_t ready[kStatusTextLength]{};
  LoadStringW(ResourceModule(), STR_READY, ready, kStatusTextLength);
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, ready, kChildStyle | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(FRAME_STATUS_BAR_ID)),
                               ResourceModule(), nullptr);
}

void MainFrame::CreateClient() {
  tabView_.Create(TabView::Class(), Handle(), RECT{}, nullptr, kChildStyle, WS_EX_CLIENTEDGE);
}

void MainFrame::OnDestroy() {
  RemovePropW(Handle(), kFrameProperty);
  OnSoundStop();
  findReplace_.Close();
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

void MainFrame::OnSetFocus() {
  if (ClientWindow() != nullptr) SetFocus(ClientWindow());
}

// Back from the background the focus returns where it was (an open cell editor keeps its
// edit), as long as that window is still there and on screen. True when it gave the focus
// back; the default processing would give it to the frame.
bool MainFrame::OnActivate(WPARAM state) {
  if (LOWORD(state) == WA_INACTIVE) {
    CancelModes();
    HWND focus = GetFocus();
    focusWhenDeactivated_ = focus != nullptr && IsChild(Handle(), focus) ? focus : nullptr;
    return false;
  }
  // Files may have come or gone while another program had the foreground.
  soundCheck_.Forget();
  soundNames_.reset();
  HWND saved = std::exchange(focusWhenDeactivated_, nullptr);
  if (HIWORD(state) != 0 || saved == nullptr || !IsWindow(saved) || !IsChild(Handle(), saved) ||
      !IsWindowVisible(saved) || !IsWindowEnabled(saved))
    return false;
  SetFocus(saved);
  return true;
}

// Lists dropped from a cell close up when the frame moves, changes size or goes to the
// background; they hear it through the window with the focus, as combo boxes do.
void MainFrame::CancelModes() {
  HWND focus = GetFocus();
  if (focus != nullptr && focus != Handle()) SendMessageW(focus, WM_CANCELMODE, 0, 0);
}

// Only top-level windows hear of setting changes; the bars, the client and its pages follow
// them too.
void MainFrame::ForwardSettingChange(const Message& m) {
  for (HWND child : {rebar_, commandBar_.Handle(), toolbar_.window, statusBar_, ClientWindow()}) {
    if (child != nullptr) SendMessageW(child, m.msg, m.wParam, m.lParam);
  }
  LayoutChildren(true);
}

void MainFrame::OnDropFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(std::move(path));
  }
  DragFinish(drop);
  const std::vector<std::wstring> files = FullPathsOf(paths);
  for (const std::wstring& path : files) OpenDocument(path, files.size() > 1);
}

// ---- layout ----

// The rebar and the status bar place themselves along the top and bottom edges when told
// the frame's size changed; the client takes what they leave.
void MainFrame::LayoutChildren(bool resizeBars) {
  RECT client{};
  GetClientRect(Handle(), &client);
  if (resizeBars) laidOutFor_ = {client.right, client.bottom};
  if (IsVisible(rebar_)) {
    if (resizeBars) {
      SendMessageW(rebar_, WM_SIZE, 0, 0);
      InvalidateRect(rebar_, nullptr, FALSE);
    }
    client.top += WindowHeight(rebar_);
  }
  if (IsVisible(statusBar_)) {
    if (resizeBars) {
      SendMessageW(statusBar_, WM_SIZE, 0, 0);
      LayoutStatusPanes();
    }
    client.bottom -= WindowHeight(statusBar_);
  }
  if (ClientWindow() == nullptr) return;
  if (timeline_) client = timeline_->Layout(client);
  SetWindowPos(ClientWindow(), nullptr, client.left, client.top, client.right - client.left,
               client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
