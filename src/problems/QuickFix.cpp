#include "problems/QuickFix.h"

#include <tuple>

#include "problems/ProblemRules.h"
#include "sound/SoundFolderSearch.h"

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool HasDriveLetter(const std::wstring& name) { return name.size() >= 2 && IsAsciiLetter(name[0]) && name[1] == L':'; }

std::wstring WithoutLeadingSlashes(std::wstring name, std::size_t from) {
  while (from < name.size() && IsSlash(name[from])) ++from;
  return name.substr(from);
}

std::optional<QuickFix> SwapRepeats(int index, const DocumentEntry& entry) {
  if (entry.values.maxRepeatMs >= entry.values.minRepeatMs) return std::nullopt;
  QuickFix fix{QuickFixKind::SwapRepeats, index, entry.values};
  std::swap(fix.values.minRepeatMs, fix.values.maxRepeatMs);
  return fix;
}

std::optional<QuickFix> PickFile(int index, const DocumentEntry& entry) {
  // An empty name is no missing file; the rule never reports one, and a stale problem may.
  if (EntryName(entry).empty()) return std::nullopt;
  return QuickFix{QuickFixKind::PickFile, index, entry.values};
}

// The name without what anchors it outside the folder, when that is all that is wrong with it
// and the rest names a file that is there: then the writer plainly meant that file.
std::optional<QuickFix> DropAnchor(int index, const DocumentEntry& entry, const std::wstring& soundFolder,
                                   const FileExists& fileExists) {
  const std::wstring name = EntryName(entry);
  if (soundFolder.empty() || !fileExists || NameStaysInsideFolder(name)) return std::nullopt;
  const bool drive = HasDriveLetter(name);
  const std::wstring rest = WithoutLeadingSlashes(name, drive ? 2 : 0);
  // ".." parts stay wrong without the anchor, and nothing here can say where they were meant to lead.
  if (rest.empty() || !NameStaysInsideFolder(rest)) return std::nullopt;
  if (!fileExists(JoinSoundPath(soundFolder, rest))) return std::nullopt;
  QuickFix fix{drive ? QuickFixKind::DropDriveLetter : QuickFixKind::DropLeadingSlash, index, entry.values};
  fix.values.audioFile = rest;
  return fix;
}

// The cell's place in the walk: rows first, the row's number before its columns.
std::tuple<int, int> CellOrder(int entry, std::optional<ProblemColumn> column) {
  return {entry, column ? static_cast<int>(*column) : -1};
}

}  // namespace

std::optional<QuickFix> FindQuickFix(const Problem& problem, std::span<const DocumentEntry> entries,
                                     const std::wstring& soundFolder, const FileExists& fileExists) {
  if (problem.entry < 0 || static_cast<std::size_t>(problem.entry) >= entries.size()) return std::nullopt;
  const DocumentEntry& entry = entries[static_cast<std::size_t>(problem.entry)];
  if (problem.ruleId == kRuleMaxBelowMin) return SwapRepeats(problem.entry, entry);
  if (problem.ruleId == kRuleSoundMissing) return PickFile(problem.entry, entry);
  if (problem.ruleId == kRuleNameOutsideFolder) return DropAnchor(problem.entry, entry, soundFolder, fileExists);
  return std::nullopt;
}

std::optional<std::size_t> NextProblem(std::span<const Problem> problems, int entry,
                                       std::optional<ProblemColumn> column, bool forward) {
  const auto here = CellOrder(entry, column);
  std::optional<std::size_t> beyond;  // the nearest cell past `here` in the walk's direction
  std::optional<std::size_t> wrap;    // the farthest cell the other way: where the walk wraps to
  // Nearer in the walk's direction; on one cell, the first rule, whichever way the walk goes.
  const auto before = [forward](const Problem& left, const Problem& right) {
    const auto leftCell = CellOrder(left.entry, left.column), rightCell = CellOrder(right.entry, right.column);
    if (leftCell != rightCell) return forward ? leftCell < rightCell : leftCell > rightCell;
    return left.ruleId < right.ruleId;
  };
  for (std::size_t index = 0; index < problems.size(); ++index) {
    const Problem& problem = problems[index];
    const auto cell = CellOrder(problem.entry, problem.column);
    const bool past = forward ? cell > here : cell < here;
    std::optional<std::size_t>& best = past ? beyond : wrap;
    if (!best || before(problem, problems[*best])) best = index;
  }
  if (beyond) return beyond;
  if (!wrap) return std::nullopt;
  return wrap;
}
