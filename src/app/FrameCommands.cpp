// The frame's own commands: file, view, window and help.
#include <algorithm>
#include <memory>
#include <vector>

#include "app/AboutDialog.h"
#include "app/FrameFeatures.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT kToolbarBandId = BAND_ID_FIRST + 1;

// Whether the toolbar is meant to show; one flag for the process. It, not the band's
// visibility, decides what the toggle does next.
bool toolbarVisible = true;

}  // namespace

// Printing is not built: its commands stay disabled in the menus and on the toolbar.
constexpr UINT kAlwaysDisabledCommands[] = {CMD_FILE_PRINT, CMD_FILE_PRINT_PREVIEW, CMD_FILE_PRINT_SETUP};

void MainFrame::OwnCommands::AddTo(CommandTable& table) {
  static constexpr UINT kIds[] = {CMD_APP_EXIT,  CMD_VIEW_TOOLBAR, CMD_VIEW_STATUS_BAR, CMD_APP_ABOUT,
                                  CMD_NEXT_PANE, CMD_PREV_PANE,    CMD_WINDOW_LIST_MORE};
  table.Add(kIds, *this);
  table.Add(kAlwaysDisabledCommands, *this);
  table.Add(CMD_WINDOW_PAGE_FIRST, CMD_WINDOW_PAGE_LAST, *this);
}

void MainFrame::OwnCommands::UpdateStates(CommandStateMap& states) {
  for (UINT id : kAlwaysDisabledCommands) states.EnableCommand(id, false);
}

bool MainFrame::OwnCommands::OnCommand(UINT id) { return frame_.OnCommand(id); }

bool MainFrame::OnCommand(UINT id) {
  switch (id) {
    case CMD_APP_EXIT:
      OnAppExit();
      return true;
    case CMD_VIEW_TOOLBAR:
      OnViewToolbar();
      return true;
    case CMD_VIEW_STATUS_BAR:
      OnViewStatusBar();
      return true;
    case CMD_APP_ABOUT:
      OnAppAbout();
      return true;
    case CMD_NEXT_PANE:
    case CMD_PREV_PANE:
      OnSwitchPane(id == CMD_NEXT_PANE);
      return true;
    case CMD_WINDOW_LIST_MORE:
      OnWindowsDialog();
      return true;
    default:
      if (id < CMD_WINDOW_PAGE_FIRST || id > CMD_WINDOW_PAGE_LAST) return false;
      OnWindowPage(static_cast<int>(id - CMD_WINDOW_PAGE_FIRST));
      return true;
  }
}

// Goes the way of the close box, so the save prompt comes first.
void MainFrame::OnAppExit() { PostMessageW(Handle(), WM_CLOSE, 0, 0); }

void MainFrame::OnViewToolbar() {
  toolbarVisible = !toolbarVisible;
  if (rebar_ != nullptr) {
    const auto band = static_cast<int>(SendMessageW(rebar_, RB_IDTOINDEX, kToolbarBandId, 0));
    if (band != -1) SendMessageW(rebar_, RB_SHOWBAND, static_cast<WPARAM>(band), toolbarVisible);
  }
  commandStates_.SetCommandCheck(CMD_VIEW_TOOLBAR, toolbarVisible ? 1 : 0);
  LayoutChildren(true);
}

void MainFrame::OnViewStatusBar() {
  const bool visible = !IsWindowVisible(statusBar_);
  ShowWindow(statusBar_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
  commandStates_.SetCommandCheck(CMD_VIEW_STATUS_BAR, visible ? 1 : 0);
  LayoutChildren(true);
}

// Every dialog the frame waits for counts as a question: nothing may close or reload under it.
void MainFrame::OnAppAbout() {
  const QuestionUp up(*this);
  AboutDialog about;
  about.Run(GetActiveWindow());
}

// The window list only offers pages that exist; a stray id for a missing page is ignored
// rather than leaving the container with an active page it does not have.
void MainFrame::OnWindowPage(int index) {
  if (index >= tabView_.GetPageCount()) return;
  tabView_.SetActivePage(index);
}

// F6 goes round the panes: the tab strip, the active page, and the Problems pane while it is
// shown; Shift+F6 goes round the other way. A pane holds the focus when a window inside it does
// (a cell editor in the page).
void MainFrame::OnSwitchPane(bool forward) {
  std::vector<HWND> panes;
  if (const int active = tabView_.GetActivePage(); active != -1) {
    if (HWND strip = tabView_.GetTabStrip(); strip != nullptr) panes.push_back(strip);
    panes.push_back(tabView_.GetPageWindow(active));
  }
  if (problems_ && problems_->IsShown() && problems_->Pane().ListHandle() != nullptr)
    panes.push_back(problems_->Pane().ListHandle());
  if (panes.empty()) return;
  HWND focus = GetFocus();
  const auto holding = std::find_if(panes.begin(), panes.end(),
                                    [focus](HWND pane) { return focus == pane || IsChild(pane, focus); });
  const auto count = static_cast<std::ptrdiff_t>(panes.size());
  std::ptrdiff_t next = 0;
  if (holding != panes.end()) next = ((holding - panes.begin()) + (forward ? 1 : count - 1)) % count;
  SetFocus(panes[static_cast<std::size_t>(next)]);
}

