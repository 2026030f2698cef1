// What the frame does for its features: the status bar's reasons, texts and sound panes, and
// the errors it shows.
#include "app/MainFrame.h"

#include <commctrl.h>

#include "app/StatusPanes.h"
#include "commands/CommandStrings.h"
#include "commands/MenuPrompts.h"
#include "documents/DocumentsFeature.h"
#include "resources/ResourceIds.h"
#include "session/SingleInstance.h"
#include "win/RefusalBeep.h"
#include "win/ScopedVariant.h"

namespace {

// A message whose handler failed: the frame it belongs to says so.
void TellCommandRefused(HWND hwnd, UINT, bool outOfMemory) {
  if (auto* frame = dynamic_cast<MainFrame*>(Window::FromHandle(GetAncestor(hwnd, GA_ROOT)))) {
    frame->TellRefusedCommand(outOfMemory);
  } else {
    MessageBeep(MB_ICONHAND);
  }
}

}  // namespace

void MainFrame::TellRefusedCommand(bool outOfMemory) {
  AskUser(LoadCommandString(outOfMemory ? STR_OUT_OF_MEMORY : STR_COMMAND_FAILED), MB_OK | MB_ICONERROR);
}

void MainFrame::ListenForFailures() { Window::SetFailureHandler(TellCommandRefused); }

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

// The main pane is laid out anew with every text: the panes beside it yield to a long one.
void MainFrame::ShowStatusText(const std::wstring& text) {
  if (statusBar_ == nullptr || text == statusText_) return;
  statusText_ = text;
  LayoutStatusPanes();
}

void MainFrame::SetSoundPanes(const std::wstring& count, const std::wstring& folder) {
  if (statusBar_ == nullptr || (count == soundPanes_[0] && folder == soundPanes_[1])) return;
  soundPanes_[0] = count;
  soundPanes_[1] = folder;
  LayoutStatusPanes();
}

void MainFrame::LayoutStatusPanes() {
  // The problems' counts share the pane of the sounds' count: both say what is wrong in the list.
  const std::wstring counts = problemCounts_.empty() || soundPanes_[0].empty()
                                  ? problemCounts_ + soundPanes_[0]
                                  : problemCounts_ + L" \x2022 " + soundPanes_[0];
  if (statusBar_ != nullptr)
    ::LayoutStatusPanes(statusBar_, statusText_, {counts, volumePane_}, soundPanes_[1]);
}

void MainFrame::ShowError(const std::wstring& text) {
  MessageBoxW(Handle(), text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

bool MainFrame::CellEditorOpen() const {
  const AmbientView* view = ActiveView();
  return view != nullptr && IsWindow(view->GetEditor());
}

// WM_CLOSE from Exit, Alt+F4, the close box or the system menu: consumed (nothing closes)
// unless every document may go. One asked while a question is up is consumed unasked: the
// frame must not go under the question, nor the same page be asked about twice.
bool MainFrame::OnClose() {
  if (questionsUp_ > 0 || !documents_->ConfirmCloseAll()) return true;
  // Stored while the window still has its place: the next start opens it there.
  session_->SaveWhereClosed();
  // A start from now on opens its own window: files handed to this one would go down with it.
  RemovePropW(Handle(), kFrameProperty);
  return false;
}

bool MainFrame::OnQueryEndSession() { return questionsUp_ == 0 && documents_->ConfirmCloseAll(); }

// Every question the frame asks goes through here, so that close requests know one is up.
int MainFrame::AskUser(const std::wstring& text, UINT type) {
  const QuestionUp up(*this);
  wchar_t caption[256]{};
  GetWindowTextW(Handle(), caption, 256);
  return MessageBoxW(Handle(), text.c_str(), caption, type);
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
