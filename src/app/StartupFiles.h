#pragma once

#include <string>
#include <vector>

// The arguments of a command line after the program's own name, with the quoting rules
// Explorer uses when it passes paths with spaces.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

// The full paths of the names that are existing files, in their order; relative names are
// taken from the current folder. Anything else (folders, names of nothing, options) is left
// out without a word, so stray arguments change nothing.
std::vector<std::wstring> OpenableFiles(const std::vector<std::wstring>& names);
