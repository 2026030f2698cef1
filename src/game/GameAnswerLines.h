#pragma once

// The index's answers as tab-separated lines for scripts and the clipboard, each ending with
// '\n'. Tabs and line breaks inside a name or path become spaces, so the fields always split.

#include <cstddef>
#include <span>
#include <string>

#include "game/GameIndex.h"

// list path (relative to the game folder), entry as the № column shows it, time of day
// (dawn, day, sunset, night or the stored byte), volume.
std::wstring FormatUsageLines(const GameIndex& index, std::span<const GameUsage> usages);
// The sound file's path relative to the sound folder, one a line.
std::wstring FormatUnusedLines(const GameIndex& index, std::span<const std::size_t> sounds);
// The name as a list spells it, then every list naming it.
std::wstring FormatMissingLines(const GameIndex& index, std::span<const GameMissingName> names);
