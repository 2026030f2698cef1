// How the frame lets documents go: every road that closes a modified document (Window > Close,
// Close All, Exit, Alt+F4, the close box, the end of the session) asks first whether to save it,
// and every road that saves or closes first ends an open cell edit, so that what is written is
// what the grid shows.
#include "commands/CommandStrings.h"
#include "documents/DocumentsFeature.h"
#include "tabs/TabView.h"

// A new document nobody has put anything into has nothing to lose.
bool DocumentsFeature::HoldsNothingToLose(const AmbientView& view) {
  return !view.IsModified() || (view.GetPath()[0] == L'\0' && view.GetDataRowCount() == 0);
}

// A file another program changed since it was read is only overwritten when the user says so.
bool DocumentsFeature::SaveDocument(AmbientView& view) {
  if (!view.CommitEdit()) return false;
  if (view.GetPath()[0] == L'\0') return SaveDocumentAs(view);
  if (!ConfirmSaveOverDamaged(view)) return false;
  if (!ConfirmOverwriteChanged(view)) return false;
  if (view.Save()) {
    ForgetLoadDamage(view);
    host_.noteRecentFile(view.GetPath());
    DocumentSaved(view);
    return true;
  }
  ShowSaveError(view);
  return false;
}

bool DocumentsFeature::ConfirmClosePage(int index) {
  auto* view = static_cast<AmbientView*>(frame_.PageTabs().GetPageData(index));
  if (view == nullptr) return true;
  if (frame_.PageTabs().GetActivePage() != index) frame_.PageTabs().SetActivePage(index);
  if (!view->CommitEdit()) return false;
  if (HoldsNothingToLose(*view)) return true;
  // Until the prompt and the save it may lead to are over, further close requests are ignored.
  const QuestionUp up(frame_);
  switch (frame_.Ask(FormatCommandString(STR_SAVE_CHANGES, frame_.PageTabs().GetPageTitle(index)),
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
bool DocumentsFeature::ConfirmCloseAll() {
  for (int index = 0; index < frame_.PageTabs().GetPageCount(); ++index) {
    if (!ConfirmClosePage(index)) return false;
  }
  return true;
}
