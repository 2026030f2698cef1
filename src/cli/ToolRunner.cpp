#include "cli/ToolRunner.h"

#include <windows.h>

#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "ambience/Win32SoundFileReader.h"
#include "format/AmbientFileIo.h"
#include "format/AmbientFileMessages.h"
#include "format/FileAccess.h"
#include "format/NamesCodePage.h"
#include "session/Settings.h"
#include "resources/ResourceIds.h"
#include "cli/ConsoleOutput.h"
#include "cli/GameTools.h"
#include "cli/ToolOptions.h"
#include "cli/ToolPaths.h"
#include "cli/ToolStrings.h"
#include "problems/ListCheck.h"
#include "problems/ProblemText.h"
#include "problems/Win32ProbeFileSystem.h"
#include "sound/SoundFolderSearch.h"

namespace {

// What a refused command line exits with, as a list that cannot be read does; an output that
// cannot be written exits with its own code.
constexpr int kRefusedArguments = 2;
constexpr int kOutputNotWritten = 3;

UINT ReasonOf(ToolArgumentError error) {
  switch (error) {
    case ToolArgumentError::UnknownOption: return STR_TOOL_UNKNOWN_OPTION;
    case ToolArgumentError::MissingValue: return STR_TOOL_MISSING_VALUE;
    case ToolArgumentError::BadTime: return STR_TOOL_BAD_TIME;
    case ToolArgumentError::BadSeconds: return STR_TOOL_BAD_SECONDS;
    case ToolArgumentError::BadSeed: return STR_TOOL_BAD_SEED;
    case ToolArgumentError::BadVolumeScale: return STR_TOOL_BAD_SCALE;
    case ToolArgumentError::NoList: return STR_TOOL_NO_LIST;
    case ToolArgumentError::OneListOnly: return STR_TOOL_ONE_LIST;
    case ToolArgumentError::NoTime: return STR_TOOL_NO_TIME;
    case ToolArgumentError::NoOutput: return STR_TOOL_NO_OUTPUT;
    case ToolArgumentError::NoSound: return STR_TOOL_NO_SOUND;
    case ToolArgumentError::NoGame: return STR_TOOL_NO_GAME;
    case ToolArgumentError::ExtraArgument: return STR_TOOL_EXTRA_ARGUMENT;
    case ToolArgumentError::None: break;
  }
  return 0;
}

// The names are read as the editor reads them, in the code page the user chose there.
void TakeEditorsCodePage() {
  const auto stored = Settings::Instance().GetNumber(Settings::NamesCodePageName);
  SetNamesCodePage(stored == 1251u ? NamesCodePage::Windows1251 : NamesCodePage::System);
}

// The folder given on the command line, else the one chosen in the editor; empty: found near
// each list, as the editor finds it.
std::wstring GivenSoundFolder(const ToolOptions& options) {
  if (options.soundFolder) return FullPath(*options.soundFolder);
  return Settings::Instance().GetString(Settings::SoundFolderName).value_or(L"");
}

ListCheck CheckOneList(const std::wstring& name, const std::wstring& soundFolder, ConsoleOutput& console) {
  const std::wstring path = FullPath(name);
  ListCheck check;
  const FileReadResult read = ReadFileStart(path, AmbientFileMaxBytes);
  if (!read) {
    check.loadError = AmbientLoadError::CannotReadFile;
    AmbientLoadResult failed;
    failed.error = AmbientLoadError::CannotReadFile;
    failed.systemError = read.error;
    console.Error(ToolString(STR_TOOL_LIST_UNREADABLE, {name, DescribeLoadFailure(failed)}) + L"\n");
    return check;
  }
  check = CheckListFile(read.bytes, ParentFolder(path), soundFolder, NamesConverter(), Win32ProbeFileSystem());
  if (check.loadError != AmbientLoadError::None) {
    AmbientLoadResult failed = ReadAmbientFile(read.bytes, NamesConverter());
    console.Error(ToolString(STR_TOOL_LIST_UNREADABLE, {name, DescribeLoadFailure(failed)}) + L"\n");
  }
  return check;
}

int RunCheck(const ToolOptions& options, ConsoleOutput& console) {
  TakeEditorsCodePage();
  const std::wstring soundFolder = GivenSoundFolder(options);
  const ProblemLanguage language = InterfaceLanguage();
  std::vector<ListCheck> checks;
  for (const std::wstring& list : ListsToCheck(options.lists)) {
    checks.push_back(CheckOneList(list, soundFolder, console));
    console.Out(FormatProblemLines(list, checks.back().problems, language));
  }
  return CheckExitCode(checks);
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The folder the names are relative to, as the editor finds it when the user chose none.
std::wstring SoundFolderOfList(const ToolOptions& options, const std::wstring& listPath,
                               const std::vector<AmbientEntryValues>& entries) {
  std::wstring folder = GivenSoundFolder(options);
  if (!folder.empty()) return folder;
  std::vector<std::wstring> names;
  for (const AmbientEntryValues& entry : entries) names.push_back(entry.audioFile.value_or(L""));
  return FindSoundFolder(ParentFolder(listPath), names, IsFile).value_or(ParentFolder(listPath));
}

std::wstring SoundProblemText(const AmbienceSoundProblem& problem) {
  switch (problem.refusal) {
    case SoundCacheRefusal::CannotDecode:
      return ToolString(STR_SOUND_REFUSED_FIRST + static_cast<UINT>(problem.decodeRefusal));
    case SoundCacheRefusal::OverMemoryBound:
      return ToolString(STR_TOOL_OVER_BOUND);
    case SoundCacheRefusal::CannotRead:
    case SoundCacheRefusal::None:
      break;
  }
  return SystemErrorText(ERROR_FILE_NOT_FOUND);
}

// A sound that cannot be had plays silent, as in the game; the script is told which.
void TellSilentEntries(const AmbienceRenderResult& result, const std::vector<AmbientEntryValues>& entries,
                       ConsoleOutput& console) {
  for (const AmbienceSoundProblem& problem : result.problems) {
    const std::wstring name = entries[static_cast<std::size_t>(problem.entry)].audioFile.value_or(L"");
    console.Error(ToolString(STR_TOOL_SOUND_REFUSED, {name, SoundProblemText(problem)}) + L"\n");
  }
}

int RunRender(const ToolOptions& options, ConsoleOutput& console) {
  TakeEditorsCodePage();
  const std::wstring& listName = options.lists.front();
  const std::wstring listPath = FullPath(listName);
  const AmbientLoadResult loaded = LoadAmbientFile(listPath);
  if (!loaded) {
    console.Error(ToolString(STR_TOOL_LIST_UNREADABLE, {listName, DescribeLoadFailure(loaded)}) + L"\n");
    return kRefusedArguments;
  }
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : loaded.entries) volumes.push_back(entry.volume);
  AmbienceRenderRequest request;
  request.entries = loaded.entries;
  request.soundFolder = SoundFolderOfList(options, listPath, loaded.entries);
  request.time = options.time;
  request.frames = static_cast<std::int64_t>(options.seconds) * AmbienceRate;
  request.seed = options.seed;
  request.scale = options.volumeScale.value_or(GuessVolumeScale(volumes));
  SoundCache cache{Win32SoundFileReader()};
  const AmbienceRenderResult rendered = RenderAmbience(request, cache);
  TellSilentEntries(rendered, loaded.entries, console);
  if (!rendered) {
    // Only a span longer than a WAV file holds is refused here; the arguments cap it well below.
    console.Error(ToolString(STR_TOOL_CANNOT_WRITE, {options.out, SystemErrorText(ERROR_FILE_TOO_LARGE)}) + L"\n");
    return kOutputNotWritten;
  }
  // Written whole or not at all: a failed write leaves whatever was there before.
  const FileWriteResult written = ReplaceFileContents(FullPath(options.out), rendered.wav);
  if (!written) {
    console.Error(ToolString(STR_TOOL_CANNOT_WRITE, {options.out, SystemErrorText(written.error)}) + L"\n");
    return kOutputNotWritten;
  }
  return 0;
}

}  // namespace

std::optional<int> RunTool(const std::vector<std::wstring>& arguments) {
  const ToolOptions options = ParseToolOptions(arguments);
  if (options.mode == ToolMode::None) return std::nullopt;
  ConsoleOutput console;
  if (options.error != ToolArgumentError::None) {
    console.Error(ToolString(ReasonOf(options.error), {options.argument}) + L"\n" + ToolString(STR_TOOL_USAGE));
    return kRefusedArguments;
  }
  if (options.mode == ToolMode::Check) return RunCheck(options, console);
  if (options.mode == ToolMode::RenderAmbience) return RunRender(options, console);
  TakeEditorsCodePage();
  return RunGameTool(options, GivenSoundFolder(options), console);
}
