#pragma once

// The Problems pane's rows as data: what the parent hands in, how rows compare for the sort,
// whether an update changes anything, and the words a row shows and copies.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

#include "problems/Problem.h"
#include "problems/ProblemText.h"
#include "problems/QuickFix.h"

struct PaneProblem {
  UINT_PTR document = 0;       // the parent's own key for the document, handed back in notifications
  std::wstring documentTitle;  // as its tab shows it
  Problem problem;
  // The fix the parent can apply to it now (FindQuickFix), offered on the menu and by Ctrl+.
  QuickFixKind fix = QuickFixKind::None;
};

// The pane's columns, left to right.
enum class ProblemsPaneColumn { Severity, Document, Entry, Column, Description, Count };

// Whether two lists show exactly the same, so an update may leave the window alone.
bool SamePaneProblems(std::span<const PaneProblem> left, std::span<const PaneProblem> right);

// Whether two rows are the same problem, though its wording may have changed: a row the user
// selected stays selected across an update while this holds.
bool SameProblemPlace(const PaneProblem& left, const PaneProblem& right);

// Negative, zero or positive as `left` sorts before, with or after `right` by `column`.
int CompareRows(const PaneProblem& left, const PaneProblem& right, const std::wstring& leftText,
                const std::wstring& rightText, ProblemsPaneColumn column);

// The text a row shows in `column` (nothing in the severity column: its icon says it).
std::wstring RowText(const PaneProblem& row, const std::wstring& description, ProblemsPaneColumn column,
                     ProblemLanguage language);

// The rows as the clipboard takes them: one tab-separated line each (document, entry, column,
// rule, sentence), lines ending in CR LF as other programs expect of text.
std::wstring ClipboardLines(std::span<const PaneProblem* const> rows, ProblemLanguage language);
