#include "cli/ToolRunner.h"

#include <windows.h>

#include "ambient/AmbientFileMessages.h"
#include "ambient/FileAccess.h"
#include "ambient/NamesCodePage.h"
#include "app/Settings.h"
#include "app/resources/ResourceIds.h"
#include "cli/ConsoleOutput.h"
#include "cli/ToolOptions.h"
#include "cli/ToolStrings.h"
#include "problems/ListCheck.h"
#include "problems/ProblemText.h"
#include "problems/Win32ProbeFileSystem.h"
#include "sound/SoundFolderSearch.h"

namespace {

// What a refused command line exits with, as a list that cannot be read does.
constexpr int kRefusedArguments = 2;

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
    case ToolArgumentError::None: break;
  }
  return 0;
}

std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  full.resize(length < size ? length : 0);
  return full.empty() ? path : full;
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
  for (const std::wstring& list : options.lists) {
    checks.push_back(CheckOneList(list, soundFolder, console));
    console.Out(FormatProblemLines(list, checks.back().problems, language));
  }
  return CheckExitCode(checks);
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
  return kRefusedArguments;
}
