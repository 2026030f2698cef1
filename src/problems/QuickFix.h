#pragma once

// Fixes for problems where the right change is certain, so the editor can offer to make it in
// one step. Where a fix needs a guess (which of two repeat times was meant to be 0, which file a
// name that exists nowhere was meant to be), none is offered: a wrong "fix" is worse than the
// problem, since it looks settled. Also the walk from one problem to the next.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "ambient/EntryList.h"
#include "problems/Problem.h"

enum class QuickFixKind {
  None,
  SwapRepeats,       // a maximum repeat time below the minimum: the two were typed the wrong way round
  PickFile,          // a sound that is not there: the user picks the file (the editor's own browse)
  DropDriveLetter,   // "C:\x.ogg" where "x.ogg" is in the sound folder
  DropLeadingSlash,  // "\x.ogg" where "x.ogg" is in the sound folder
};

struct QuickFix {
  QuickFixKind kind = QuickFixKind::None;
  int entry = -1;
  // The entry's values once fixed. For PickFile they are today's: the name comes from the
  // user's pick, which the caller puts in before applying them.
  AmbientEntryValues values;
};

// Whether a file is at a full path (a folder does not count).
using FileExists = std::function<bool(const std::wstring& path)>;

// The certain fix for `problem` among `entries`, or nullopt when there is none. The entry is
// read as it is now, so a problem that no longer holds (the list changed since it was found)
// gets no fix. `soundFolder` empty: no folder known, and no name fix can be proved.
std::optional<QuickFix> FindQuickFix(const Problem& problem, std::span<const DocumentEntry> entries,
                                     const std::wstring& soundFolder, const FileExists& fileExists);

// Where F8 (forward) or Shift+F8 goes from the cell at `entry` and `column` (nullopt: the row's
// number, before every column): the index in `problems` of the first problem on a later cell,
// or on an earlier one walking back, wrapping around the list's ends. Problems on the same cell
// are one stop. Nullopt when `problems` is empty. `problems` need not be sorted.
std::optional<std::size_t> NextProblem(std::span<const Problem> problems, int entry,
                                       std::optional<ProblemColumn> column, bool forward);
