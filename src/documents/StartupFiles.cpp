#include "documents/StartupFiles.h"

#include <windows.h>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The program's own name: a quoted name ends at the next quote (what follows it starts the
// first argument), another at the first blank; nothing escapes.
const wchar_t* SkipProgramName(const wchar_t* c) {
  if (*c == L'"') {
    ++c;
    while (*c != L'\0' && *c != L'"') ++c;
    return *c == L'"' ? c + 1 : c;
  }
  while (*c != L'\0' && !IsBlank(*c)) ++c;
  return c;
}

// One argument from `c` on, after the rules Windows documents for command lines: backslashes
// are themselves unless a quote follows them; then each pair of them is one backslash, and an
// odd one left over makes the quote a character of the argument instead of the start or end
// of a quoted part. Inside a quoted part, two quotes in a row are one quote character, and end
// the quoted part.
const wchar_t* ReadArgument(const wchar_t* c, std::wstring& argument) {
  bool quoted = false;
  while (*c != L'\0' && (quoted || !IsBlank(*c))) {
    size_t backslashes = 0;
    while (*c == L'\\') {
      ++backslashes;
      ++c;
    }
    if (*c != L'"') {
      argument.append(backslashes, L'\\');
      if (*c != L'\0' && (quoted || !IsBlank(*c))) argument += *c++;
      continue;
    }
    argument.append(backslashes / 2, L'\\');
    if (backslashes % 2 != 0) {
      argument += L'"';
    } else if (quoted && c[1] == L'"') {
      argument += L'"';
      quoted = false;
      ++c;
    } else {
      quoted = !quoted;
    }
    ++c;
  }
  return c;
}

}  // namespace

// Split here rather than by the shell's own function: that one alone would load the shell's
// library on every start, before the window could show.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine) {
  std::vector<std::wstring> arguments;
  if (commandLine == nullptr) return arguments;
  const wchar_t* c = SkipProgramName(commandLine);
  for (;;) {
    while (IsBlank(*c)) ++c;
    if (*c == L'\0') return arguments;
    std::wstring argument;
    c = ReadArgument(c, argument);
    arguments.push_back(std::move(argument));
  }
}

std::vector<std::wstring> FullPathsOf(const std::vector<std::wstring>& names) {
  std::vector<std::wstring> files;
  for (const std::wstring& name : names) {
    if (name.empty()) continue;
    DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
      files.push_back(name);
      continue;
    }
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(name.c_str(), length, full.data(), nullptr));
    files.push_back(std::move(full));
  }
  return files;
}
