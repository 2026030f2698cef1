#include "preview/AmbienceExport.h"

#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "format/AmbientFileMessages.h"
#include "format/FileAccess.h"
#include "commands/CommandStrings.h"
#include "documents/FileDialog.h"
#include "resources/ResourceIds.h"
#include "preview/ExportProgressDialog.h"

namespace {

std::wstring TimeName(TimeOfDay time) {
  return LoadCommandString(STR_AMBIENCE_TIME_FIRST + static_cast<UINT>(time));
}

std::wstring RenderFailure(AmbienceRenderError error) {
  switch (error) {
    case AmbienceRenderError::OutOfMemory:
      return LoadCommandString(STR_OUT_OF_MEMORY);
    case AmbienceRenderError::SpanTooLong:
      return SystemErrorText(ERROR_FILE_TOO_LARGE);
    default:
      return LoadCommandString(STR_COMMAND_FAILED);
  }
}

void TellFailure(HWND owner, const std::wstring& path, const std::wstring& reason) {
  const std::wstring text = FormatCommandStrings(STR_EXPORT_FAILED, {path, reason});
  MessageBoxW(owner, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
}

std::vector<std::int32_t> VolumesOf(const std::vector<AmbientEntryValues>& entries) {
  std::vector<std::int32_t> volumes;
  for (const AmbientEntryValues& entry : entries) volumes.push_back(entry.volume);
  return volumes;
}

}  // namespace

std::wstring AmbienceEntriesKey(const AmbienceExportSource& source) {
  std::wstring key = source.soundFolder;
  for (const AmbientEntryValues& entry : source.entries) {
    key += L"|" + entry.audioFile.value_or(L"") + L"," + std::to_wstring(entry.minRepeatMs) + L"," +
           std::to_wstring(entry.maxRepeatMs) + L"," + std::to_wstring(entry.timeOfDay) + L"," +
           std::to_wstring(entry.volume);
  }
  // Two equal entries that swap places are another list to the preview: each keeps its own timing.
  for (const std::uint64_t identity : source.identities) key += L"#" + std::to_wstring(identity);
  return key;
}

std::wstring SuggestedExportName(const std::wstring& documentPath, const std::wstring& timeName) {
  const std::size_t folderEnd = documentPath.find_last_of(L"\\/");
  std::wstring name = folderEnd == std::wstring::npos ? documentPath : documentPath.substr(folderEnd + 1);
  const std::size_t extension = name.find_last_of(L'.');
  if (extension != std::wstring::npos && extension > 0) name.erase(extension);
  const std::wstring folder = folderEnd == std::wstring::npos ? L"" : documentPath.substr(0, folderEnd + 1);
  return folder + (name.empty() ? timeName : name + L" - " + timeName) + L".wav";
}

std::wstring ExportAmbience(HWND owner, const AmbienceExportSource& source) {
  const std::wstring timeName = TimeName(source.choice.time);
  const std::wstring suggested = SuggestedExportName(source.documentPath, timeName);
  const std::wstring filter = LoadCommandString(STR_EXPORT_FILTER);
  FileDialog dialog(false, L"wav", suggested.c_str(), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING,
                    filter.c_str(), owner);
  if (dialog.Run(owner) != IDOK) return std::wstring();
  const std::wstring path = dialog.FullPath();

  AmbienceRenderRequest request;
  request.entries = source.entries;
  request.soundFolder = source.soundFolder;
  request.time = source.choice.time;
  request.frames = static_cast<std::int64_t>(source.choice.spanSeconds) * AmbienceRate;
  request.seed = source.choice.seed;
  request.scale = source.choice.ScaleFor(VolumesOf(source.entries));
  ExportProgressDialog progress(request);
  const INT_PTR answer = progress.Run(owner);
  const AmbienceRenderResult& rendered = progress.Result();
  if (answer != IDOK) {
    if (answer != -1 && rendered.error == AmbienceRenderError::Cancelled) return std::wstring();
    TellFailure(owner, path, RenderFailure(answer == -1 ? AmbienceRenderError::Failed : rendered.error));
    return std::wstring();
  }
  // Written whole or not at all: a failed write leaves the file that was there as it was.
  const FileWriteResult written = ReplaceFileContents(path, rendered.wav);
  if (!written) {
    TellFailure(owner, path, SystemErrorText(written.error));
    return std::wstring();
  }
  const std::wstring done = FormatCommandStrings(
      STR_EXPORT_DONE, {std::to_wstring(source.choice.spanSeconds), timeName, dialog.FileTitle()});
  if (rendered.problems.empty()) return done;
  return done + FormatCommandStrings(STR_EXPORT_SILENT, {std::to_wstring(rendered.problems.size())});
}
