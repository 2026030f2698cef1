#include "cli/GameTools.h"

#include <windows.h>

#include "cli/ToolPaths.h"
#include "cli/ToolStrings.h"
#include "format/AmbientFileMessages.h"
#include "format/NamesCodePage.h"
#include "game/GameAnswerLines.h"
#include "game/GameIndexBuild.h"
#include "game/Win32GameFileSystem.h"
#include "resources/ResourceIds.h"
#include "sound/SoundFolderSearch.h"

namespace {

constexpr int kUnreadableInput = 2;

// The lists the reader refused are named on the standard error: the answer leaves them out.
bool TellUnreadableLists(const GameIndex& index, ConsoleOutput& console) {
  bool any = false;
  for (const GameList& list : index.Lists()) {
    if (list.state.error == AmbientLoadError::None) continue;
    AmbientLoadResult failed;
    failed.error = list.state.error;
    failed.systemError = list.state.systemError;
    failed.declaredCount = list.state.declaredCount;
    console.Error(ToolString(STR_TOOL_LIST_UNREADABLE,
                             {JoinSoundPath(index.GameFolder(), list.path), DescribeLoadFailure(failed)}) +
                  L"\n");
    any = true;
  }
  return any;
}

// Indexes the game; false (and the reason told) when the game or its sound folder cannot be read.
bool IndexGame(const std::wstring& game, const std::wstring& soundFolder, GameIndex& index,
               ConsoleOutput& console) {
  if (!IsFolder(game)) {
    console.Error(ToolString(STR_TOOL_GAME_UNREADABLE, {game, SystemErrorText(ERROR_PATH_NOT_FOUND)}) +
                  L"\n");
    return false;
  }
  if (!soundFolder.empty() && !IsFolder(soundFolder)) {
    console.Error(
        ToolString(STR_TOOL_SOUND_FOLDER_UNREADABLE, {soundFolder, SystemErrorText(ERROR_PATH_NOT_FOUND)}) +
        L"\n");
    return false;
  }
  const std::atomic<bool> never = false;
  const GameIndexEnd end =
      BuildGameIndex({game, soundFolder}, Win32GameFileSystem(), NamesConverter(), never, index);
  if (end == GameIndexEnd::GameFolderUnreadable) {
    console.Error(ToolString(STR_TOOL_GAME_UNREADABLE, {game, SystemErrorText(ERROR_ACCESS_DENIED)}) + L"\n");
    return false;
  }
  if (end == GameIndexEnd::SoundFolderUnreadable) {
    console.Error(ToolString(STR_TOOL_SOUND_FOLDER_UNREADABLE,
                             {index.SoundFolder(), SystemErrorText(ERROR_ACCESS_DENIED)}) +
                  L"\n");
    return false;
  }
  return true;
}

int RunUsages(const std::wstring& sound, const std::wstring& game, const std::wstring& soundFolder,
              ConsoleOutput& console) {
  GameIndex index;
  if (!IndexGame(game, soundFolder, index, console)) return kUnreadableInput;
  const std::vector<GameUsage> usages = index.Usages(sound);
  console.Out(FormatUsageLines(index, usages));
  if (TellUnreadableLists(index, console)) return kUnreadableInput;
  return usages.empty() ? 1 : 0;
}

int RunUnusedSounds(const std::wstring& game, const std::wstring& soundFolder, bool missing,
                    ConsoleOutput& console) {
  GameIndex index;
  if (!IndexGame(game, soundFolder, index, console)) return kUnreadableInput;
  if (index.SoundFolder().empty()) {
    console.Error(ToolString(STR_TOOL_GAME_NO_SOUND_FOLDER, {game}) + L"\n");
    return kUnreadableInput;
  }
  const std::vector<std::size_t> unused = index.UnusedSounds();
  console.Out(FormatUnusedLines(index, unused));
  std::vector<GameMissingName> names;
  if (missing) names = index.MissingNames();
  console.Out(FormatMissingLines(index, names));
  if (TellUnreadableLists(index, console)) return kUnreadableInput;
  return unused.empty() && names.empty() ? 0 : 1;
}

}  // namespace

int RunGameTool(const ToolOptions& options, const std::wstring& soundFolder, ConsoleOutput& console) {
  if (options.mode == ToolMode::Usages)
    return RunUsages(options.lists[0], FullPath(options.lists[1]), soundFolder, console);
  return RunUnusedSounds(FullPath(options.lists[0]), soundFolder, options.missing, console);
}

std::vector<std::wstring> ListsToCheck(const std::vector<std::wstring>& named) {
  std::vector<std::wstring> lists;
  for (const std::wstring& name : named) {
    std::vector<std::wstring> under;
    if (!IsFolder(name) || !FindListsUnder(FullPath(name), Win32GameFileSystem(), under)) {
      lists.push_back(name);
      continue;
    }
    for (const std::wstring& list : under) lists.push_back(JoinSoundPath(name, list));
  }
  return lists;
}
