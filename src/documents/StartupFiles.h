#pragma once

#include <string>
#include <vector>

// The arguments of a command line after the program's own name, with the quoting rules
// Explorer uses when it passes paths with spaces.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

// The full paths of the names, in their order; relative names are taken from the current
// folder. Nothing is left out but empty names: a name that turns out to be no file is the
// opening's to refuse, with a message, so that the user learns why nothing opened.
std::vector<std::wstring> FullPathsOf(const std::vector<std::wstring>& names);
