#pragma once

// The command-line forms over a whole game folder:
//   --usages SOUND GAME_FOLDER: every entry naming SOUND, one tab-separated line each (list,
//     entry as the № column shows it, time of day, volume); exit 0 when it is used, 1 when not.
//   --unused-sounds GAME_FOLDER [--missing]: every sound file no list names, sorted, and with
//     --missing every name no file has with the lists naming it; exit 0 when there are none.
// Both exit 2 when the game, its sound folder or one of its lists cannot be read (the answer
// is then printed as far as it goes, and the reason goes to the standard error).

#include <string>
#include <vector>

#include "cli/ConsoleOutput.h"
#include "cli/ToolOptions.h"

// `soundFolder` is the one given or chosen in the editor; empty: found from the lists.
int RunGameTool(const ToolOptions& options, const std::wstring& soundFolder, ConsoleOutput& console);

// The lists that --check goes through: each named list, and every list under each named folder.
std::vector<std::wstring> ListsToCheck(const std::vector<std::wstring>& named);
