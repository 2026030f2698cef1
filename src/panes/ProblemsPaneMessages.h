#pragma once

// What the Problems pane tells its parent, by WM_NOTIFY: the parent owns the documents, so it
// goes to the cell and applies the fixes; the pane only lists and asks.

#include <windows.h>

#include "problems/Problem.h"
#include "problems/QuickFix.h"

// The user asked to go to the problem's cell (Enter, a double-click, "Go to").
constexpr int PROBLEMSN_GOTO = -3301;
// The user asked for the problem's quick fix (its menu item, Ctrl+.); `fix` says which, None
// when the problem has no certain fix (the parent says so).
constexpr int PROBLEMSN_QUICKFIX = -3302;

struct NMPROBLEM {
  NMHDR hdr;
  UINT_PTR document;     // the key the parent gave the problem's document
  int entry;             // as the № column shows it, from 0
  ProblemColumn column;
  const Problem* problem;  // valid while the notification is handled
  QuickFixKind fix;      // None for PROBLEMSN_GOTO
};
