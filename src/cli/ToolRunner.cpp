#include "cli/ToolRunner.h"

#include <windows.h>

#include <algorithm>

#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "ambience/Win32SoundFileReader.h"
#include "cli/ConsoleOutput.h"
#include "cli/GameTools.h"
#include "cli/ToolOptions.h"
#include "cli/ToolPaths.h"
#include "cli/ToolStrings.h"
#include "format/AmbientFileIo.h"
#include "format/AmbientFileMessages.h"
#include "format/FileAccess.h"
#include "format/NamesCodePage.h"
#include "problems/ListCheck.h"
#include "problems/ProblemText.h"
#include "problems/Win32ProbeFileSystem.h"
#include "resources/ResourceIds.h"
#include "session/Settings.h"
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
    case ToolArgumentError::RepeatedOption:
      return STR_TOOL_REPEATED_OPTION;
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

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(ExtendedLengthPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Why the list `name` (at `path`) could not be read. A folder refuses to be opened as a file
// with "access denied", which would send the user after permissions.
void TellUnreadableList(const std::wstring& name, const std::wstring& path, const AmbientLoadResult& failed,
                        ConsoleOutput& console) {
  if (IsFolder(path)) {
    console.Error(ToolString(STR_TOOL_LIST_IS_FOLDER, {name}) + L"\n");
    return;
  }
  console.Error(ToolString(STR_TOOL_LIST_UNREADABLE, {name, DescribeLoadFailure(failed)}) + L"\n");
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
    TellUnreadableList(name, path, failed, console);
    return check;
  }
  check = CheckListFile(read.bytes, ParentFolder(path), soundFolder, NamesConverter(), Win32ProbeFileSystem());
  if (check.loadError != AmbientLoadError::None) {
    AmbientLoadResult failed = ReadAmbientFile(read.bytes, NamesConverter());
    console.Error(ToolString(STR_TOOL_LIST_UNREADABLE, {name, DescribeLoadFailure(failed)}) + L"\n");
  }
  return check;
}

// A sound folder given by hand that is not there would make every entry's sound "missing": the
// mistake is the folder's, and said once.
bool TellUnusableSoundFolder(const ToolOptions& options, ConsoleOutput& console) {
  if (!options.soundFolder) return false;
  const std::wstring& name = *options.soundFolder;
  const std::wstring path = ExtendedLengthPath(FullPath(name));
  const DWORD attributes = GetFileAttributesW(path.c_str());
  const DWORD error = GetLastError();
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    console.Error(ToolString(STR_TOOL_SOUND_FOLDER_IS_FILE, {name}) + L"\n");
    return true;
  }
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME)
    console.Error(ToolString(STR_TOOL_NO_SOUND_FOLDER, {name}) + L"\n");
  else
    console.Error(ToolString(STR_TOOL_SOUND_FOLDER_UNUSABLE, {name, SystemErrorText(error)}) + L"\n");
  return true;
}

int RunCheck(const ToolOptions& options, ConsoleOutput& console) {
  TakeEditorsCodePage();
  if (TellUnusableSoundFolder(options, console)) return kRefusedArguments;
  const std::wstring soundFolder = GivenSoundFolder(options);
  const ProblemLanguage language = InterfaceLanguage();
  std::vector<ListCheck> checks;
  for (const std::wstring& list : ListsToCheck(options.lists)) {
    checks.push_back(CheckOneList(list, soundFolder, console));
    console.Out(FormatProblemLines(list, checks.back().problems, language));
  }
  return CheckExitCode(checks);
}

bool IsFileNotFolder(const std::wstring& path) {
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
  return FindSoundFolder(ParentFolder(listPath), names, IsFileNotFolder).value_or(ParentFolder(listPath));
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

bool PlaysAt(const std::vector<AmbientEntryValues>& entries, TimeOfDay time) {
  return std::any_of(entries.begin(), entries.end(), [time](const AmbientEntryValues& entry) {
    return entry.timeOfDay == static_cast<std::uint8_t>(time);
  });
}

AmbienceRenderRequest RenderRequest(const ToolOptions& options, const std::wstring& listPath,
                                    const std::vector<AmbientEntryValues>& entries) {
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : entries) volumes.push_back(entry.volume);
  AmbienceRenderRequest request;
  request.entries = entries;
  request.soundFolder = SoundFolderOfList(options, listPath, entries);
  request.time = options.time;
  request.frames = static_cast<std::int64_t>(options.seconds) * AmbienceRate;
  request.seed = options.seed;
  request.scale = options.volumeScale.value_or(GuessVolumeScale(volumes));
  return request;
}

int RefuseOutput(const ToolOptions& options, const std::wstring& reason, ConsoleOutput& console) {
  console.Error(ToolString(STR_TOOL_CANNOT_WRITE, {options.out, reason}) + L"\n");
  return kOutputNotWritten;
}

int RunRender(const ToolOptions& options, ConsoleOutput& console) {
  TakeEditorsCodePage();
  if (TellUnusableSoundFolder(options, console)) return kRefusedArguments;
  const std::wstring& listName = options.lists.front();
  const std::wstring listPath = FullPath(listName);
  const AmbientLoadResult loaded = LoadAmbientFile(listPath);
  if (!loaded) {
    TellUnreadableList(listName, listPath, loaded, console);
    return kRefusedArguments;
  }
  const std::wstring outPath = FullPath(options.out);
  if (IsSameFile(outPath, listPath)) return RefuseOutput(options, ToolString(STR_TOOL_OUT_IS_LIST), console);
  // The sound goes to a temporary file beside the output as it is rendered, so an hour takes no
  // more memory than a block, and takes the output's place only when it is whole: a failure
  // leaves whatever was there before.
  FileReplacement output(outPath);
  if (!output) return RefuseOutput(options, SystemErrorText(output.Error()), console);
  const AmbienceRenderRequest request = RenderRequest(options, listPath, loaded.entries);
  SoundCache cache{Win32SoundFileReader()};
  const AmbienceRenderResult rendered = RenderAmbienceTo(
      request, cache, [&output](std::span<const std::byte> bytes) { return output.Write(bytes); });
  TellSilentEntries(rendered, loaded.entries, console);
  if (!rendered) {
    // The arguments cap the span well below what a WAV file holds; a refusing sink says why.
    const DWORD error =
        rendered.error == AmbienceRenderError::SinkFailed ? output.Error() : ERROR_FILE_TOO_LARGE;
    return RefuseOutput(options, SystemErrorText(error), console);
  }
  const FileWriteResult written = output.Commit();
  if (!written) return RefuseOutput(options, SystemErrorText(written.error), console);
  if (!PlaysAt(loaded.entries, options.time)) {
    const std::wstring time = ToolString(STR_AMBIENCE_TIME_FIRST + static_cast<UINT>(options.time));
    console.Error(ToolString(STR_TOOL_NO_ENTRIES, {time, options.out}) + L"\n");
  }
  return 0;
}

}  // namespace

std::optional<int> RunTool(const std::vector<std::wstring>& arguments) {
  const ToolOptions options = ParseToolOptions(arguments);
  if (options.mode == ToolMode::None && options.error == ToolArgumentError::None) return std::nullopt;
  ConsoleOutput console;
  if (options.error != ToolArgumentError::None) {
    const UINT reason = options.mode == ToolMode::None ? STR_TOOL_NOT_A_COMMAND : ReasonOf(options.error);
    console.Error(ToolString(reason, {options.argument}) + L"\n" + ToolString(STR_TOOL_USAGE));
    return kRefusedArguments;
  }
  if (options.mode == ToolMode::Check) return RunCheck(options, console);
  if (options.mode == ToolMode::RenderAmbience) return RunRender(options, console);
  TakeEditorsCodePage();
  return RunGameTool(options, GivenSoundFolder(options), console);
}
