// The frame's own commands: file, view, window and help.
#include <memory>

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
      OnSwitchPane();
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

// The two panes are the tab strip and the active page; F6 and Shift+F6 both go to the other.
void MainFrame::OnSwitchPane() {
  const int active = tabView_.GetActivePage();
  if (active == -1) return;
  HWND strip = tabView_.GetTabStrip();
  if (GetFocus() == strip) {
    SetFocus(tabView_.GetPageWindow(active));
  } else if (strip != nullptr) {
    SetFocus(strip);
  }
}

