#pragma once

// The Problems pane's list: the system's report list view, with no items of its own (the pane
// answers for each row as it is drawn, so a list of any length updates in one step), subclassed
// for the keys the pane gives meaning to.

#include <windows.h>

#include <vector>

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

class ProblemsList : public Window {
 public:
  explicit ProblemsList(ProblemsListKeys& keys) : keys_(keys) {}

  bool Create(HWND pane);
  // Icons and column widths for the display scale the pane is now shown at.
  void ApplyDpi(UINT dpi);
  // The sort arrow on `column`'s header, and on no other; Count for none.
  // The sentences' column, the last, takes the width the others leave: a sentence is the
  // longest text of a row and the one most worth reading whole.
  void FillWidth();
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

  ProblemsListKeys& keys_;
  UINT dpi_ = 0;
  WPARAM menuKeyDown_ = 0;  // the menu key that opened the menu, until it is let go
  UniqueImageList severityIcons_;
};
