// What the problems lead to: going to a problem's cell, walking from one to the next, and fixing
// one where the fix is certain.
#include <algorithm>

#include "commands/CommandStrings.h"
#include "diagnostics/ProblemsFeature.h"
#include "problems/ProblemText.h"
#include "resources/ResourceIds.h"

namespace {

// The document view's columns: the № column first, then the columns problems point at.
int GridColumnOf(ProblemColumn column) { return static_cast<int>(column) + 1; }

std::optional<ProblemColumn> ProblemColumnOf(int gridColumn) {
  if (gridColumn < 1 || gridColumn > static_cast<int>(ProblemColumn::Volume) + 1) return std::nullopt;
  return static_cast<ProblemColumn>(gridColumn - 1);
}

}  // namespace

AmbientView* ProblemsFeature::ActiveDocument() const {
  const int active = host_.tabs->GetActivePage();
  return active == -1 ? nullptr : static_cast<AmbientView*>(host_.tabs->GetPageData(active));
}

bool ProblemsFeature::Activate(const AmbientView* view) {
  for (int page = 0; page < host_.tabs->GetPageCount(); ++page) {
    if (host_.tabs->GetPageData(page) != view) continue;
    if (host_.tabs->GetActivePage() != page) host_.tabs->SetActivePage(page);
    return true;
  }
  return false;  // closed since the pane listed it
}

// The document's tab comes to the front with the cursor on the problem's cell, ready to edit.
void ProblemsFeature::GoTo(const NMPROBLEM& notice) {
  auto* view = reinterpret_cast<AmbientView*>(notice.document);
  if (!Activate(view)) return;
  const int entry = std::min(notice.entry, view->GetEntryCount() - 1);
  if (entry < 0) return;
  view->SelectCell(entry, GridColumnOf(notice.column));
  SetFocus(view->Handle());
}

// F8 and Shift+F8: from the cursor's cell to the next problem's (or the previous one's), round
// the ends of the list.
void ProblemsFeature::WalkProblems(bool forward) {
  AmbientView* view = ActiveDocument();
  const DocumentProblems* found = problems_.Find(view);
  if (found == nullptr || found->Problems().empty()) {
    host_.refuse(LoadCommandString(STR_PROBLEMS_NONE_TO_WALK));
    return;
  }
  const std::vector<Problem>& problems = found->Problems();
  const std::optional<std::size_t> next =
      NextProblem(problems, view->GetSelectedEntry(), ProblemColumnOf(view->GetSelectedColumn()), forward);
  if (!next) return;
  const Problem& problem = problems[*next];
  if (problem.entry >= view->GetEntryCount()) return;
  view->SelectCell(problem.entry, GridColumnOf(problem.column));
  SetFocus(view->Handle());
  // Where the walk went says what is wrong there, as the pane would.
  const ProblemLanguage language =
      LoadCommandString(STR_INTERFACE_LANGUAGE) == L"ru" ? ProblemLanguage::Russian : ProblemLanguage::English;
  host_.showStatus(FormatCommandStrings(STR_PROBLEMS_WALKED, {std::to_wstring(*next + 1), std::to_wstring(problems.size()),
                                                              DescribeProblem(problem, language)}));
}

std::vector<Problem> ProblemsFeature::ProblemsAtCursor(const AmbientView& view, const DocumentProblems& found) const {
  const int entry = view.GetSelectedEntry();
  const std::optional<ProblemColumn> column = ProblemColumnOf(view.GetSelectedColumn());
  std::vector<Problem> here;
  for (const Problem& problem : found.Problems()) {
    if (problem.entry == entry && (!column || problem.column == *column)) here.push_back(problem);
  }
  return here;
}

bool ProblemsFeature::CursorHasFix() {
  if (pane_.Handle() != nullptr && GetFocus() == pane_.ListHandle()) {
    const PaneProblem* row = pane_.FocusedProblem();
    return row != nullptr && row->fix != QuickFixKind::None;
  }
  AmbientView* view = ActiveDocument();
  const DocumentProblems* found = problems_.Find(view);
  const std::optional<OpenDocument> document = found != nullptr ? DocumentOf(view) : std::nullopt;
  if (!document) return false;
  for (const Problem& problem : ProblemsAtCursor(*view, *found)) {
    if (problems_.FixOffered(*document, problem)) return true;
  }
  return false;
}

// Ctrl+. in a document: the certain fix of a problem of the cursor's cell (of its entry, on the
// № column).
void ProblemsFeature::FixAtCursor() {
  AmbientView* view = ActiveDocument();
  // A value typed in an open cell goes in first, and the fix is found on it; a refused one stops
  // here, its editor still open with the reason.
  if (view != nullptr && !view->CommitEdit()) return;
  const std::optional<OpenDocument> document = DocumentOf(view);
  const DocumentProblems* found = problems_.Find(view);
  if (document && found != nullptr) {
    for (const Problem& problem : ProblemsAtCursor(*view, *found)) {
      if (!problems_.FixNow(*document, problem)) continue;
      ApplyFix(*document, problem);
      return;
    }
  }
  host_.refuse(LoadCommandString(STR_PROBLEMS_NO_FIX));
}

// The fix is found again on the document as it is now, and proved on the disk itself: what the
// pane offered may no longer hold.
void ProblemsFeature::ApplyFix(const OpenDocument& document, const Problem& problem) {
  if (!document.view->CommitEdit()) return;
  const std::optional<QuickFix> fix = problems_.FixNow(document, problem);
  if (!fix) {
    host_.refuse(LoadCommandString(STR_PROBLEMS_NO_FIX));
    return;
  }
  if (fix->kind == QuickFixKind::PickFile) {
    host_.pickFile(*document.view, fix->entry);
    return;
  }
  if (!document.view->ReplaceEntryValues(fix->entry, fix->values))
    host_.refuse(LoadCommandString(STR_PROBLEMS_NO_FIX));
}
