#pragma once

// The Problems pane: every problem of every open document in one list, sortable by any column.
// The parent hands it the problems (on each idle pass: an update that changes nothing costs a
// comparison and no drawing) and hears back, by WM_NOTIFY, where the user wants to go and
// which fix to apply (ProblemsPaneMessages.h). It knows nothing of documents beyond their keys.

#include <windows.h>

#include <functional>
#include <vector>

#include "panes/ProblemsList.h"
#include "panes/ProblemsPaneRows.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

class ProblemsPane : public Window, private ProblemsListKeys {
 public:
  ProblemsPane() : list_(*this) {}

  // A child of `parent` with control id `id`, hidden until the parent shows it.
  bool Create(HWND parent, const RECT& rect, UINT id);
  // Shows `problems`, keeping the sort, the selection, the focus and the scroll position for
  // the problems still there. False, with the window untouched, when nothing changed.
  bool SetProblems(std::vector<PaneProblem> problems);
  // Sorts by `column` (Count: the parent's order), as a click on its header does.
  void SortBy(ProblemsPaneColumn column, bool ascending);

  // Icons, column widths and the font for the display scale `dpi`, as the frame's own parts
  // follow it when the window moves to a monitor of another scale.
  void SetDpi(UINT dpi);

  HWND ListHandle() const { return list_.Handle(); }
  // The problem shown in `row`, top first; null beyond the rows.
  const PaneProblem* RowProblem(int row) const;
  // The focused row's problem; null when no row has the focus.
  const PaneProblem* FocusedProblem() const { return RowProblem(list_.FocusedRow()); }
  // The context menu for the focused row: Go to, Copy and its quick fix; each item's id is
  // a command the pane takes by WM_COMMAND.
  UniqueMenu BuildContextMenu() const;
  // Who shows the context menu and answers the chosen command's id (0: none): TrackPopupMenu
  // unless replaced, as tests replace it to choose without a modal loop of the system's.
  using MenuTracker = std::function<UINT(HMENU menu, POINT screen)>;
  void SetMenuTracker(MenuTracker tracker) { menuTracker_ = std::move(tracker); }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void OnSize(int width, int height);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void OnGetDisplayInfo(NMLVDISPINFOW& info) const;
  void OnColumnClick(int column);
  bool OnCommand(UINT command);
  void OnContextMenu(HWND from, LPARAM position);

  void SelectAllProblems() override;
  void CopySelectedProblems() override;
  void RequestFocusedFix() override;
  void OpenContextMenuAtFocus() override;

  void ShowMenuAt(POINT screen);
  void Notify(int code, int row, QuickFixKind fix);
  void Arrange();
  // Puts the rows in the order of the sort column (the parent's order without one).
  void Reorder();

  ProblemsList list_;
  ProblemLanguage language_ = ProblemLanguage::English;
  std::vector<PaneProblem> problems_;   // as the parent gave them
  std::vector<std::wstring> sentences_;  // problems_'s sentences, worded once per update
  std::vector<int> order_;               // the rows: indexes into problems_, top first
  ProblemsPaneColumn sortColumn_ = ProblemsPaneColumn::Count;
  bool ascending_ = true;
  MenuTracker menuTracker_;
  HFONT baseFont_ = nullptr;  // the list's font at the system's scale; not ours to free
  UniqueFont scaledFont_;     // made from it for another scale
};
