#include "problems/ListCheck.h"

#include <algorithm>

#include "ambient/EntryList.h"
#include "problems/DocumentChecks.h"
#include "problems/ProblemRules.h"
#include "problems/SoundProbe.h"
#include "sound/SoundFolderSearch.h"

namespace {

std::wstring FindFolderFor(const std::vector<DocumentEntry>& entries, const std::wstring& listFolder,
                           const ProbeFileSystem& files) {
  std::vector<std::wstring> names;
  for (const DocumentEntry& entry : entries) {
    const std::wstring name = EntryName(entry);
    if (NameStaysInsideFolder(name)) names.push_back(name);
  }
  const auto exists = [&files](const std::wstring& path) { return files.Stat(path).exists; };
  return FindSoundFolder(listFolder, names, exists).value_or(std::wstring{});
}

}  // namespace

ListCheck CheckListFile(std::span<const std::byte> bytes, const std::wstring& listFolder,
                        const std::wstring& soundFolder, const CodePageConverter& converter,
                        const ProbeFileSystem& files) {
  ListCheck check;
  const AmbientLoadResult loaded = ReadAmbientFile(bytes, converter);
  if (!loaded) {
    check.loadError = loaded.error;
    return check;
  }
  const EntryList list = EntryList::FromLoad(loaded);
  std::vector<DocumentEntry> entries;
  for (int index = 0; index < list.Count(); ++index) entries.push_back(list.At(index));

  check.soundFolder = soundFolder.empty() ? FindFolderFor(entries, listFolder, files) : soundFolder;
  const CheckSetup setup{check.soundFolder, &converter, GuessListVolumeScale(entries)};
  SoundProbeCache cache;
  check.problems = CheckDocument(entries, setup, [&](const std::wstring& path) { return cache.Probe(files, path); });
  return check;
}

int CheckExitCode(std::span<const ListCheck> lists) {
  const auto unreadable = [](const ListCheck& list) { return list.loadError != AmbientLoadError::None; };
  if (std::any_of(lists.begin(), lists.end(), unreadable)) return 2;
  const auto troubled = [](const ListCheck& list) { return !list.problems.empty(); };
  return std::any_of(lists.begin(), lists.end(), troubled) ? 1 : 0;
}
