#pragma once

// The Problems pane's list: the system's report list view, with no items of its own (the pane
// answers for each row as it is drawn, so a list of any length updates in one step), subclassed
// for the keys the pane gives meaning to.

#include <windows.h>

#include <string>
#include <vector>

#include "grid/CellToolTip.h"
#include "panes/ProblemsPaneRows.h"
#include "win/UniqueHandle.h"
#include "win/Window.h"

// What the list's keys ask of the pane that owns it.
class ProblemsListKeys {
 public:
  virtual void SelectAllProblems() = 0;
  virtual void CopySelectedProblems() = 0;
  virtual void RequestFocusedFix() = 0;
  virtual void OpenContextMenuAtFocus() = 0;

 protected:
  ~ProblemsListKeys() = default;
};

// The widths of the list's columns in a list `room` wide, from the widths they would have
// (`wanted`, the last the sentences'): the sentences take what the others leave and at least
// half the room; where they would get less, the widest of the others narrow to one common
// width first, none below `least` (nor a column already narrower).
std::vector<int> ProblemColumnWidths(const std::vector<int>& wanted, int room, int least);

class ProblemsList : public Window {
 public:
  explicit ProblemsList(ProblemsListKeys& keys) : keys_(keys) {}

  bool Create(HWND pane);
  // Icons and column widths for the display scale the pane is now shown at.
  void ApplyDpi(UINT dpi);
  // The sentences' column, the last, takes the width the others leave, and at least half the
  // list: a sentence is the longest text of a row and the one most worth reading whole. In a
  // narrow pane the widest of the others give way first (ProblemColumnWidths).
  void FillWidth();
  // The sort arrow on `column`'s header, and on no other; Count for none.
  void ShowSortArrow(ProblemsPaneColumn column, bool ascending);

  int FocusedRow() const;
  std::vector<int> SelectedRows() const;
  int TopRow() const;
  // Sets the number of rows, selecting `selected` and focusing `focused` (-1: none), with
  // `top` the first row shown where the rows allow; with `top` -1 the focused row is scrolled
  // into view instead.
  void ShowRows(int count, const std::vector<int>& selected, int focused, int top);
  void SelectAll();

 protected:
  bool HandleMessage(Message& m) override;

 private:
  bool OnKeyDown(WPARAM key);
  void AddColumns();
  void SetRowState(int row, UINT state, UINT mask);
  // The tip over a cell whose text the column cuts: the whole text.
  void TrackTip(LPARAM position);
  std::wstring TipText(int row, int column) const;
  bool OnNotify(NMHDR& header);

  ProblemsListKeys& keys_;
  UINT dpi_ = 0;
  // The columns' widths before a narrow list narrowed them: the scale's own, or as dragged.
  std::vector<int> wanted_;
  CellToolTip cellTip_;
  WPARAM menuKeyDown_ = 0;  // the menu key that opened the menu, until it is let go
  UniqueImageList severityIcons_;
};
