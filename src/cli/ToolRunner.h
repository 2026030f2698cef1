#pragma once

#include <optional>
#include <string>
#include <vector>

// Runs the tool that the command line names (`arguments`: after the program's own name) and
// gives its exit code; nothing when the command line is the editor's. A tool opens no window
// and never hands itself to a running editor: it answers on the standard output and error.
std::optional<int> RunTool(const std::vector<std::wstring>& arguments);
