#include "ambient/NameReplacement.h"

namespace {

// Lower case for the scripts the game's code pages hold (Latin, Latin-1 and Latin Extended-A
// letters, Cyrillic), the same on every platform: the C library's tables depend on the locale.
wchar_t FoldCase(wchar_t unit) {
  const auto code = static_cast<unsigned>(unit);
  if (code >= L'A' && code <= L'Z') return static_cast<wchar_t>(code + 0x20);
  if (code >= 0xC0 && code <= 0xDE && code != 0xD7) return static_cast<wchar_t>(code + 0x20);
  if (code >= 0x100 && code <= 0x17F && code != 0x130 && code != 0x131 && code != 0x138 && code != 0x149 &&
      code != 0x17F) {
    // Pairs alternate, upper case first, except in the two runs that start on an odd code.
    const bool oddRun = (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E);
    if ((code % 2 == 0) != oddRun) return static_cast<wchar_t>(code + 1);
    return unit;
  }
  if (code >= 0x410 && code <= 0x42F) return static_cast<wchar_t>(code + 0x20);
  if (code >= 0x400 && code <= 0x40F) return static_cast<wchar_t>(code + 0x50);
  if (code == 0x490) return static_cast<wchar_t>(0x491);  // Ukrainian Ghe with upturn
  return unit;
}

bool SameUnit(wchar_t left, wchar_t right, bool matchCase) {
  return left == right || (!matchCase && FoldCase(left) == FoldCase(right));
}

bool SameAt(std::wstring_view name, std::size_t at, std::wstring_view text, bool matchCase) {
  if (at + text.size() > name.size()) return false;
  for (std::size_t index = 0; index < text.size(); ++index) {
    if (!SameUnit(name[at + index], text[index], matchCase)) return false;
  }
  return true;
}

std::size_t FindIn(std::wstring_view name, std::size_t from, const NameSearch& search) {
  for (std::size_t at = from; at + search.text.size() <= name.size(); ++at) {
    if (SameAt(name, at, search.text, search.matchCase)) return at;
  }
  return std::wstring_view::npos;
}

}  // namespace

bool NameMatches(std::wstring_view name, const NameSearch& search) {
  if (search.text.empty()) return false;
  if (search.wholeName)
    return name.size() == search.text.size() && SameAt(name, 0, search.text, search.matchCase);
  return FindIn(name, 0, search) != std::wstring_view::npos;
}

std::wstring ReplaceInName(std::wstring_view name, const NameSearch& search, std::wstring_view replacement) {
  if (!NameMatches(name, search)) return std::wstring(name);
  if (search.wholeName) return std::wstring(replacement);
  std::wstring result;
  std::size_t from = 0;
  for (std::size_t at = FindIn(name, 0, search); at != std::wstring_view::npos;
       at = FindIn(name, from, search)) {
    result.append(name.substr(from, at - from));
    result.append(replacement);
    from = at + search.text.size();
  }
  result.append(name.substr(from));
  return result;
}

int FindMatchingName(const std::vector<std::wstring>& names, int from, bool down, const NameSearch& search) {
  const int count = static_cast<int>(names.size());
  if (count == 0) return -1;
  if (from < 0 || from >= count) from = down ? -1 : count;
  const int step = down ? 1 : -1;
  for (int passed = 1; passed <= count; ++passed) {
    const int index = ((from + step * passed) % count + count) % count;
    if (NameMatches(names[static_cast<std::size_t>(index)], search)) return index;
  }
  return -1;
}

int CountMatchingNames(const std::vector<std::wstring>& names, const NameSearch& search) {
  int count = 0;
  for (const std::wstring& name : names) count += NameMatches(name, search) ? 1 : 0;
  return count;
}

NamesReplaced ReplaceInNames(const std::vector<std::wstring>& names, const NameSearch& search,
                             std::wstring_view replacement, const CodePageConverter& converter) {
  NamesReplaced result;
  result.names.reserve(names.size());
  for (std::size_t index = 0; index < names.size(); ++index) {
    std::wstring replaced = ReplaceInName(names[index], search, replacement);
    if (replaced != names[index]) {
      if (const EntryTextError error = CheckEntryName(replaced, converter); error != EntryTextError::None) {
        result.names.clear();
        result.changed = 0;
        result.refusedEntry = static_cast<int>(index);
        result.refusal = error;
        result.refusedName = std::move(replaced);
        return result;
      }
      ++result.changed;
    }
    result.names.push_back(std::move(replaced));
  }
  return result;
}
