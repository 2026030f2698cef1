#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reads at most `maxBytes` from the start of the file at `path`; fewer when the file is shorter.
// The file is opened with full sharing, so a file another program has open can still be read.
// nullopt when the file cannot be opened or a read fails.
std::optional<std::vector<std::byte>> ReadFileStart(const std::wstring& path, std::size_t maxBytes);

// Makes the file at `path` hold exactly `bytes`, all or nothing: the bytes go to a temporary file
// in the target's folder, every write and the close are checked, and only then does the temporary
// take the target's place in one step. On any failure (read-only or locked target, missing
// folder, a full disk) the target stays byte for byte as it was, the temporary is removed and
// false is returned.
bool ReplaceFileContents(const std::wstring& path, std::span<const std::byte> bytes);
