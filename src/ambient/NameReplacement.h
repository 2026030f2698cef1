#pragma once

// Finding and replacing text in the entries' names. A name is the unit: a search moves from name
// to name, and a replacement changes every occurrence inside the names it touches. Pure, so that
// the rules can be tested anywhere; the document applies what it returns.

#include <string>
#include <string_view>
#include <vector>

#include "format/CodePageConverter.h"
#include "format/EntryText.h"

struct NameSearch {
  std::wstring text;
  bool matchCase = false;
  // The whole name must be the text; otherwise any part of it may be.
  bool wholeName = false;
};

// Whether `name` matches. An empty search text matches nothing.
bool NameMatches(std::wstring_view name, const NameSearch& search);

// `name` with every match of the search replaced by `replacement` (the name itself for a
// whole-name search); the name unchanged when it does not match.
std::wstring ReplaceInName(std::wstring_view name, const NameSearch& search, std::wstring_view replacement);

// The next name after `from` (before it when `down` is false) that matches, wrapping around the
// list and ending at `from` itself; -1 when none does. `from` may be -1 (or the count): the search
// then starts at the first (or the last) name.
int FindMatchingName(const std::vector<std::wstring>& names, int from, bool down, const NameSearch& search);

// How many names match.
int CountMatchingNames(const std::vector<std::wstring>& names, const NameSearch& search);

struct NamesReplaced {
  // Every name, replaced where it matched; empty when a name was refused.
  std::vector<std::wstring> names;
  int changed = 0;
  // The first entry whose new name cannot be stored, and why; -1 and None when all can.
  int refusedEntry = -1;
  EntryTextError refusal = EntryTextError::None;
  std::wstring refusedName;

  explicit operator bool() const { return refusal == EntryTextError::None; }
};

// Replaces in every name, or in none: a new name that typing could not store either (too long
// for the field in `converter`'s code page, a character it lacks, a tab or line break) refuses
// the whole replacement. A name the replacement leaves as it was is no change and never refused.
NamesReplaced ReplaceInNames(const std::vector<std::wstring>& names, const NameSearch& search,
                             std::wstring_view replacement, const CodePageConverter& converter);
