#pragma once

// Indexing a game folder, shaped to run on a worker: the stop flag is looked at between any two
// files, and a list is read in well under a millisecond, so whoever sets it waits no longer.
// One walk of the game folder finds its lists and, when the sound folder lies inside it (as it
// mostly does), its sounds too; only a sound folder elsewhere is walked on its own.

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format/CodePageConverter.h"
#include "game/GameFileSystem.h"
#include "game/GameIndex.h"

struct GameIndexRequest {
  std::wstring gameFolder;
  // Empty: found from the lists as the editor finds a document's, the folder most lists agree on.
  std::wstring soundFolder;
};

// Counts the window's status bar shows while indexing; written by the worker only.
struct GameIndexProgress {
  std::atomic<std::size_t> files = 0;      // files seen by the walk so far
  std::atomic<std::size_t> lists = 0;      // lists found by the walk
  std::atomic<std::size_t> listsRead = 0;  // of those, read
};

enum class GameIndexEnd {
  Done,
  Stopped,                // the stop flag was set: the index is incomplete
  GameFolderUnreadable,   // the game folder could not be listed: the index is empty
  SoundFolderUnreadable,  // the lists are indexed, but the sound folder could not be listed
};

// Fills `index` (fresh) with the game that `request` names.
GameIndexEnd BuildGameIndex(const GameIndexRequest& request, const GameFileSystem& files,
                            const CodePageConverter& converter, const std::atomic<bool>& stop,
                            GameIndex& index, GameIndexProgress* progress = nullptr);

// Reads the list at `path` (relative to the game folder) again and puts what it holds in
// `index`, or takes it out when it is no longer there; the other lists are not touched.
void ReloadGameList(GameIndex& index, std::wstring_view path, const GameFileSystem& files,
                    const CodePageConverter& converter);

// Every list under `folder` at any depth, relative to it, in the order of their paths without
// case. False when the folder cannot be listed.
bool FindListsUnder(const std::wstring& folder, const GameFileSystem& files,
                    std::vector<std::wstring>& lists);
