// The frame's bars and its layout: the menu bar and the toolbar in a rebar at the top, the
// status bar at the bottom, and the tab container (with the timeline under it) between them.
#include "app/FrameFeatures.h"

#include <commctrl.h>

#include "app/StatusPanes.h"
#include "resources/ResourceIds.h"
#include "win/ResourceModule.h"

namespace {

constexpr int kStatusTextLength = 128;
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kRebarStyle = kChildStyle | RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER;

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
  statusText_ = ready;
}

void MainFrame::CreateClient() {
  tabView_.Create(TabView::Class(), Handle(), RECT{}, nullptr, kChildStyle, WS_EX_CLIENTEDGE);
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
  // The problems lay themselves out beside the timeline, which sizes the two.
  if (ambience_) client = problems_ ? problems_->Layout(client, &ambience_->Timeline()) : ambience_->Layout(client);
  SetWindowPos(ClientWindow(), nullptr, client.left, client.top, client.right - client.left,
               client.bottom - client.top, SWP_NOZORDER | SWP_NOACTIVATE);
}
