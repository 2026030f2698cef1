#include "panes/ProblemsPaneRows.h"

#include <algorithm>

namespace {

bool SameFacts(const ProblemFacts& a, const ProblemFacts& b) {
  return a.value == b.value && a.low == b.low && a.high == b.high && a.otherEntry == b.otherEntry &&
         a.path == b.path && a.fault == b.fault && a.refusal == b.refusal;
}

bool SameRow(const PaneProblem& a, const PaneProblem& b) {
  return PlaceOf(a) == PlaceOf(b) && a.documentTitle == b.documentTitle && a.fix == b.fix &&
         a.problem.severity == b.problem.severity && SameFacts(a.problem.facts, b.problem.facts);
}

template <typename T>
int Order(const T& left, const T& right) {
  return left < right ? -1 : (right < left ? 1 : 0);
}

// Texts compare as the user's locale sorts them, ignoring case, as Explorer's lists do.
int CompareText(const std::wstring& left, const std::wstring& right) {
  const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, left.c_str(), static_cast<int>(left.size()),
                                    right.c_str(), static_cast<int>(right.size()));
  return result == 0 ? Order(left, right) : result - CSTR_EQUAL;
}

}  // namespace

bool SamePaneProblems(std::span<const PaneProblem> left, std::span<const PaneProblem> right) {
  return std::equal(left.begin(), left.end(), right.begin(), right.end(), SameRow);
}

ProblemPlace PlaceOf(const PaneProblem& row) {
  return {row.document, row.problem.entry, row.problem.column, row.problem.ruleId};
}

int CompareRows(const PaneProblem& left, const PaneProblem& right, const std::wstring& leftText,
                const std::wstring& rightText, ProblemsPaneColumn column) {
  switch (column) {
    case ProblemsPaneColumn::Severity:
      return Order(left.problem.severity, right.problem.severity);
    case ProblemsPaneColumn::Document:
      return CompareText(left.documentTitle, right.documentTitle);
    case ProblemsPaneColumn::Entry:
      return Order(left.problem.entry, right.problem.entry);
    case ProblemsPaneColumn::Column:
      return Order(left.problem.column, right.problem.column);
    case ProblemsPaneColumn::Description:
    case ProblemsPaneColumn::Count:
      break;
  }
  return CompareText(leftText, rightText);
}

std::wstring RowText(const PaneProblem& row, const std::wstring& description, ProblemsPaneColumn column,
                     ProblemLanguage language) {
  switch (column) {
    case ProblemsPaneColumn::Document:
      return row.documentTitle;
    case ProblemsPaneColumn::Entry:
      return std::to_wstring(row.problem.entry);
    case ProblemsPaneColumn::Column:
      return ColumnCaption(row.problem.column, language);
    case ProblemsPaneColumn::Description:
      return description;
    case ProblemsPaneColumn::Severity:
    case ProblemsPaneColumn::Count:
      break;
  }
  return {};
}

std::wstring ClipboardLines(std::span<const PaneProblem* const> rows, ProblemLanguage language) {
  std::wstring text;
  for (const PaneProblem* row : rows) {
    std::wstring line = FormatProblemLines(row->documentTitle, std::span(&row->problem, 1), language);
    if (!line.empty() && line.back() == L'\n') line.insert(line.size() - 1, 1, L'\r');
    text += line;
  }
  return text;
}
