// How the frame lets documents go: every road that closes a modified document (Window > Close,
// Close All, Exit, Alt+F4, the close box, the end of the session) asks first whether to save it,
// and every road that saves or closes first ends an open cell edit, so that what is written is
// what the grid shows.
#include "app/CommandStrings.h"
#include "app/MainFrame.h"
#include "app/resources/ResourceIds.h"

namespace {

// A new document nobody has put anything into has nothing to lose.
bool HoldsNothingToLose(const AmbientView& view) {
  return !view.IsModified() || (view.GetPath()[0] == L'\0' && view.GetDataRowCount() == 0);
}

// The prompt's text with the page's title in place of %1.
std::wstring SaveChangesQuestion(const wchar_t* title) {
  const std::wstring pattern = LoadCommandString(STR_SAVE_CHANGES);
  const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(title)};
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      pattern.c_str(), 0, 0, reinterpret_cast<wchar_t*>(&text), 0,
      reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(arguments)));
  std::wstring question = length > 0 ? std::wstring(text, length) : std::wstring(title);
  LocalFree(text);
  return question;
}

}  // namespace

bool MainFrame::SaveDocument(AmbientView& view) {
  if (!view.CommitEdit()) return false;
  if (view.GetPath()[0] == L'\0') return SaveDocumentAs(view);
  if (!ConfirmSaveOverDamaged(view)) return false;
  if (view.Save()) {
    ForgetLoadDamage(view);
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
  const std::wstring question = SaveChangesQuestion(tabView_.GetPageTitle(index));
  wchar_t caption[256]{};
  GetWindowTextW(Handle(), caption, 256);
  switch (MessageBoxW(Handle(), question.c_str(), caption, MB_YESNOCANCEL | MB_ICONWARNING)) {
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
// unless every document may go.
bool MainFrame::OnClose() { return !ConfirmCloseAll(); }
