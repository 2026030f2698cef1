#pragma once

// Finding the folder that a document's sound names are relative to, when the user has not
// chosen one: the game keeps its lists near its sounds, so the search walks up from the
// document's own folder. Pure over an "exists" question, so it runs the same on any system.

#include <functional>
#include <optional>
#include <string>
#include <vector>

// `folder` and `name` joined with one backslash; forward slashes in the name count as
// backslashes, as the game treats them.
std::wstring JoinSoundPath(const std::wstring& folder, const std::wstring& name);

// The folder above `folder` ("C:\games" for "C:\games\data", "C:\" for "C:\games"); empty at a
// drive or share root.
std::wstring ParentFolder(const std::wstring& folder);

// The first of `start` and up to `levelsUp` folders above it under which at least half of the
// non-empty `names` exist; nothing when there are no names or no folder qualifies.
std::optional<std::wstring> FindSoundFolder(const std::wstring& start, const std::vector<std::wstring>& names,
                                            const std::function<bool(const std::wstring& path)>& exists,
                                            int levelsUp = 4);
