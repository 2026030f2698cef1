#pragma once

// The Problems pane's rows as data: what the parent hands in, how rows compare for the sort,
// whether an update changes anything, and the words a row shows and copies.

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <tuple>
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

// What tells one problem from another across updates, though its wording may change
// meanwhile: a row the user selected stays selected while its problem keeps its place.
using ProblemPlace = std::tuple<UINT_PTR, int, ProblemColumn, std::string_view>;
ProblemPlace PlaceOf(const PaneProblem& row);

// Negative, zero or positive as `left` sorts before, with or after `right` by `column`.
int CompareRows(const PaneProblem& left, const PaneProblem& right, const std::wstring& leftText,
                const std::wstring& rightText, ProblemsPaneColumn column);

// The text a row shows in `column` (nothing in the severity column: its icon says it).
std::wstring RowText(const PaneProblem& row, const std::wstring& description, ProblemsPaneColumn column,
                     ProblemLanguage language);

// The rows as the clipboard takes them: one tab-separated line each (document, entry, column,
// rule, sentence), lines ending in CR LF as other programs expect of text.
std::wstring ClipboardLines(std::span<const PaneProblem* const> rows, ProblemLanguage language);
