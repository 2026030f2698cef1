#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "problems/ProblemText.h"

// String `id` of the program's resources in the interface language, any length, with
// `inserts` in place of %1, %2... (FormatMessage's rules).
std::wstring ToolString(UINT id, const std::vector<std::wstring>& inserts = {});

// The language the resources speak, so that problems are worded as the rest of the interface.
ProblemLanguage InterfaceLanguage();
