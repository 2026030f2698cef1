#include "preview/AmbienceExport.h"

#include <algorithm>

#include "ambience/AmbienceFormat.h"
#include "ambience/RenderAmbience.h"
#include "commands/CommandStrings.h"
#include "documents/FileDialog.h"
#include "format/AmbientFileMessages.h"
#include "format/FileAccess.h"
#include "preview/ExportProgressDialog.h"
#include "resources/ResourceIds.h"

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

namespace {

bool PlaysAt(const std::vector<AmbientEntryValues>& entries, TimeOfDay time) {
  return std::any_of(entries.begin(), entries.end(), [time](const AmbientEntryValues& entry) {
    return entry.timeOfDay == static_cast<std::uint8_t>(time);
  });
}

// A file of silence is rarely what was meant: the user may have chosen the wrong time of day.
bool ExportSilenceAnyway(HWND owner, const std::wstring& timeName) {
  const std::wstring text = FormatCommandStrings(STR_EXPORT_NO_ENTRIES, {timeName});
  return MessageBoxW(owner, text.c_str(), nullptr, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// Compared as the file system does (by the file's identity where it exists), so no spelling of
// a list's name, in whatever letter case, through whatever folder, gets past.
bool IsOpenDocument(const std::wstring& path, const std::vector<std::wstring>& openDocuments) {
  return std::any_of(openDocuments.begin(), openDocuments.end(), [&path](const std::wstring& document) {
    return !document.empty() && IsSameFile(document, path);
  });
}

std::wstring NotExported(HWND owner, const std::wstring& path, const std::wstring& reason) {
  TellFailure(owner, path, reason);
  return LoadCommandString(STR_EXPORT_NOT_DONE);
}

AmbienceRenderRequest ExportRequest(const AmbienceExportSource& source) {
  AmbienceRenderRequest request;
  request.entries = source.entries;
  request.soundFolder = source.soundFolder;
  request.time = source.choice.time;
  request.frames = static_cast<std::int64_t>(source.choice.spanSeconds) * AmbienceRate;
  request.seed = source.choice.seed;
  request.scale = source.choice.ScaleFor(VolumesOf(source.entries));
  return request;
}

}  // namespace

std::wstring ExportAmbience(HWND owner, const AmbienceExportSource& source,
                            const std::vector<std::wstring>& openDocuments) {
  const std::wstring cancelled = LoadCommandString(STR_EXPORT_CANCELLED);
  const std::wstring timeName = TimeName(source.choice.time);
  if (!PlaysAt(source.entries, source.choice.time) && !ExportSilenceAnyway(owner, timeName)) return cancelled;
  const std::wstring suggested = SuggestedExportName(source.documentPath, timeName);
  const std::wstring filter = LoadCommandString(STR_EXPORT_FILTER);
  FileDialog dialog(false, L"wav", suggested.c_str(),
                    OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ENABLESIZING, filter.c_str(), owner);
  if (dialog.Run(owner) != IDOK) return cancelled;
  const std::wstring path = dialog.FullPath();
  if (IsOpenDocument(path, openDocuments))
    return NotExported(owner, path, LoadCommandString(STR_EXPORT_OVER_DOCUMENT));

  // The sound goes to a temporary file beside the target as it is rendered, so an hour takes no
  // more memory than a block, and takes the target's place only when whole: a failure or Cancel
  // leaves the file that was there as it was.
  FileReplacement output(path);
  if (!output) return NotExported(owner, path, SystemErrorText(output.Error()));
  const AmbienceRenderRequest request = ExportRequest(source);
  ExportProgressDialog progress(request,
                                [&output](std::span<const std::byte> bytes) { return output.Write(bytes); });
  const INT_PTR answer = progress.Run(owner);
  const AmbienceRenderResult& rendered = progress.Result();
  if (answer == -1) return NotExported(owner, path, RenderFailure(AmbienceRenderError::Failed));
  if (answer != IDOK && rendered.error == AmbienceRenderError::Cancelled) return cancelled;
  if (answer != IDOK && rendered.error == AmbienceRenderError::SinkFailed)
    return NotExported(owner, path, SystemErrorText(output.Error()));
  if (answer != IDOK) return NotExported(owner, path, RenderFailure(rendered.error));
  const FileWriteResult written = output.Commit();
  if (!written) return NotExported(owner, path, SystemErrorText(written.error));
  const std::wstring done = FormatCommandStrings(
      STR_EXPORT_DONE, {std::to_wstring(source.choice.spanSeconds), timeName, dialog.FileTitle()});
  if (rendered.problems.empty()) return done;
  return done + FormatCommandStrings(STR_EXPORT_SILENT, {std::to_wstring(rendered.problems.size())});
}
