// What the frame shows of its pages beyond the tabs themselves: the unsaved marks and the
// list of all windows.
#include "app/FrameFeatures.h"
#include "app/WindowsDialog.h"

// Called on every idle pass; the tabs change only when a document's state did. The mark goes
// where closing would ask to save, so an untouched new document carries none.
void MainFrame::UpdateUnsavedMarks() {
  for (int page = 0; page < tabView_.GetPageCount(); ++page) {
    const auto* view = static_cast<const AmbientView*>(tabView_.GetPageData(page));
    tabView_.SetPageMarked(page, view != nullptr && !DocumentsFeature::HoldsNothingToLose(*view));
  }
}


void MainFrame::OnWindowsDialog() {
  WindowsDialog::Pages pages;
  pages.titles = [this] {
    std::vector<std::wstring> titles;
    // Numbered as in the Window menu: untitled documents share one name.
    for (int page = 0; page < tabView_.GetPageCount(); ++page)
      titles.push_back(std::to_wstring(page + 1) + L"  " + tabView_.GetShownTitle(page));
    return titles;
  };
  pages.active = [this] { return tabView_.GetActivePage(); };
  pages.close = [this](int page) {
    if (!documents_->ConfirmClosePage(page)) return false;
    documents_->ClosePage(page);
    return true;
  };
  const QuestionUp up(*this);
  WindowsDialog dialog(std::move(pages));
  const int chosen = dialog.Run(Handle());
  if (chosen >= 0 && chosen < tabView_.GetPageCount()) tabView_.SetActivePage(chosen);
}
