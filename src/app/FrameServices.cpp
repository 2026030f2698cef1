// What the frame does for its features: the status bar's reasons, texts and sound panes, and
// the errors it shows.
#include "app/MainFrame.h"

#include <commctrl.h>

#include "app/StatusPanes.h"
#include "commands/MenuPrompts.h"
#include "win/RefusalBeep.h"

void MainFrame::ShowStatusReason(const std::wstring& reason) {
  reasonView_ = ActiveView();
  ::ShowStatusReason(statusBar_, reason);
}

void MainFrame::EndStatusReason() { ::EndStatusReason(statusBar_); }

void MainFrame::RefuseCommand(const std::wstring& reason) {
  ShowStatusReason(reason);
  RefusalBeep();
}

// A reason speaks of the document that was active when it was given; another one coming to
// the front (switched to, opened, or left when that one closed) ends it.
void MainFrame::EndReasonOfOtherView() {
  if (ActiveView() == reasonView_) return;
  reasonView_ = ActiveView();
  ::EndStatusReason(statusBar_);
}

void MainFrame::ShowStatusText(const std::wstring& text) {
  if (statusBar_ != nullptr) SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainFrame::SetSoundPanes(const std::wstring& count, const std::wstring& folder) {
  if (statusBar_ == nullptr || (count == soundPanes_[0] && folder == soundPanes_[1])) return;
  soundPanes_[0] = count;
  soundPanes_[1] = folder;
  LayoutStatusPanes();
}

void MainFrame::LayoutStatusPanes() {
  if (statusBar_ != nullptr) ::LayoutStatusPanes(statusBar_, soundPanes_[0], soundPanes_[1]);
}

void MainFrame::ShowError(const std::wstring& text) {
  MessageBoxW(Handle(), text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

bool MainFrame::CellEditorOpen() const {
  const AmbientView* view = ActiveView();
  return view != nullptr && IsWindow(view->GetEditor());
}
