// How the frame lets documents go: every road that closes a modified document (Window > Close,
// Close All, Exit, Alt+F4, the close box, the end of the session) asks first whether to save it,
// and every road that saves or closes first ends an open cell edit, so that what is written is
// what the grid shows.
#include "commands/CommandStrings.h"
#include "app/MainFrame.h"
#include "session/SingleInstance.h"
#include "resources/ResourceIds.h"

// A new document nobody has put anything into has nothing to lose.
bool MainFrame::HoldsNothingToLose(const AmbientView& view) {
  return !view.IsModified() || (view.GetPath()[0] == L'\0' && view.GetDataRowCount() == 0);
}

// A file another program changed since it was read is only overwritten when the user says so.
bool MainFrame::SaveDocument(AmbientView& view) {
  if (!view.CommitEdit()) return false;
  if (view.GetPath()[0] == L'\0') return SaveDocumentAs(view);
  if (!ConfirmSaveOverDamaged(view)) return false;
  if (!ConfirmOverwriteChanged(view)) return false;
  if (view.Save()) {
    ForgetLoadDamage(view);
    NoteRecentFile(view.GetPath());
    DocumentSaved(view);
    return true;
  }
  ShowSaveError(view);
  return false;
}

bool MainFrame::ConfirmClosePage(int index) {
  auto* view = static_cast<AmbientView*>(tabView_.GetPageData(index));
  if (view == nullptr) return true;
  if (tabView_.GetActivePage() != index) tabView_.SetActivePage(index);
  if (!view->CommitEdit()) return false;
  if (HoldsNothingToLose(*view)) return true;
  // Until the prompt and the save it may lead to are over, further close requests are ignored.
  const QuestionUp up(*this);
  switch (AskUser(FormatCommandString(STR_SAVE_CHANGES, tabView_.GetPageTitle(index)),
                  MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
      return SaveDocument(*view);
    case IDNO:
      return true;
    default:
      return false;
  }
}

// Asked in tab order; a Cancel, or a save that fails or is cancelled, keeps every page open.
bool MainFrame::ConfirmCloseAll() {
  for (int index = 0; index < tabView_.GetPageCount(); ++index) {
    if (!ConfirmClosePage(index)) return false;
  }
  return true;
}

// WM_CLOSE from Exit, Alt+F4, the close box or the system menu: consumed (nothing closes)
// unless every document may go. One asked while a question is up is consumed unasked: the
// frame must not go under the question, nor the same page be asked about twice.
bool MainFrame::OnClose() {
  if (questionsUp_ > 0 || !ConfirmCloseAll()) return true;
  // Stored while the window still has its place: the next start opens it there.
  SaveWhereClosed();
  // A start from now on opens its own window: files handed to this one would go down with it.
  RemovePropW(Handle(), kFrameProperty);
  return false;
}

bool MainFrame::OnQueryEndSession() { return questionsUp_ == 0 && ConfirmCloseAll(); }

// Every question the frame asks goes through here, so that close requests know one is up.
int MainFrame::AskUser(const std::wstring& text, UINT type) {
  const QuestionUp up(*this);
  wchar_t caption[256]{};
  GetWindowTextW(Handle(), caption, 256);
  return MessageBoxW(Handle(), text.c_str(), caption, type);
}
