// The editor splits its command line itself (the shell's function would load the shell's
// library on every start); it must split every line as that function does.
#include <windows.h>
// Needs the base definitions above.
#include <gtest/gtest.h>
#include <shellapi.h>

#include <random>
#include <string>
#include <vector>

#include "documents/StartupFiles.h"

namespace {

// The arguments after the program's name as the shell's own function gives them.
std::vector<std::wstring> ShellArguments(const std::wstring& commandLine) {
  std::vector<std::wstring> arguments;
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(commandLine.c_str(), &count);
  if (split == nullptr) return arguments;
  for (int index = 1; index < count; ++index) arguments.emplace_back(split[index]);
  LocalFree(split);
  return arguments;
}

TEST(CommandLineTest, SplitsAsTheShellDoes) {
  const std::vector<std::wstring> lines = {
      L"sonarwick.exe",
      L"\"C:\\Program Files\\Sonarwick\\sonarwick.exe\" \"C:\\My Sounds\\forest day.bad\"",
      L"\"C:\\Program Files\\Sonarwick\\sonarwick.exe\" a.bad  b.bad\t\tc.bad   ",
      L"sonarwick.exe relative\\name.bad ..\\up.bad \\\\server\\share\\x.bad",
      L"sonarwick.exe \"ends in a folder\\\\\" next",
      L"sonarwick.exe \"unclosed quote runs to the end",
      L"sonarwick.exe a\\\\\\\"b c\\\\\\\\\"d e\" f",
      L"sonarwick.exe \"\" empty \"\"",
      L"sonarwick.exe --check \"C:\\a b\\c.bad\"",
      L"sonarwick.exe \"a\"\"b\" c",
      L"sonarwick.exe a\"\"\"b\"\"\" c",
      L"\"C:\\Pro\"gram\\x.exe rest of it",
      L"sonarwick.exe \x0444\x0430\x0439\x043B.bad",
  };
  for (const std::wstring& line : lines) EXPECT_EQ(CommandLineArguments(line.c_str()), ShellArguments(line)) << line;
}

// Lines made of the characters the rules treat specially, in every mix.
TEST(CommandLineTest, SplitsRandomLinesAsTheShellDoes) {
  const std::wstring alphabet = L"a \t\\\"";
  std::mt19937 random(20261208);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1), length(0, 14);
  for (int round = 0; round < 5000; ++round) {
    std::wstring line = L"x.exe ";
    for (size_t size = length(random); size > 0; --size) line += alphabet[pick(random)];
    ASSERT_EQ(CommandLineArguments(line.c_str()), ShellArguments(line)) << L"[" << line << L"]";
  }
}

}  // namespace
