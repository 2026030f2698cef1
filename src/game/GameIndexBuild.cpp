#include "game/GameIndexBuild.h"

#include <algorithm>
#include <map>
#include <optional>

#include "problems/ProblemRules.h"
#include "sound/SoundFolderSearch.h"

namespace {

struct WalkedFile {
  std::wstring path;  // relative to the walked folder
  std::uint64_t size = 0;
};

bool Before(const WalkedFile& a, const WalkedFile& b) { return CompareSoundNames(a.path, b.path) < 0; }

bool IsListName(std::wstring_view path) {
  return path.size() > 4 && SameSoundName(path.substr(path.size() - 4), L".bad");
}

// A folder without the separators at its end, so that "C:\" and "C:\game\" compare as prefixes.
std::wstring_view Trimmed(std::wstring_view folder) {
  while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.remove_suffix(1);
  return folder;
}

GameWalkEnd WalkSorted(const std::wstring& folder, const GameFileSystem& files, const std::atomic<bool>& stop,
                       GameIndexProgress* progress, std::vector<WalkedFile>& walked) {
  walked.reserve(4096);
  const GameWalkEnd end = files.Walk(folder, [&](std::wstring_view path, std::uint64_t size) {
    walked.push_back({std::wstring(path), size});
    if (progress) progress->files.fetch_add(1, std::memory_order_relaxed);
    return !stop.load(std::memory_order_relaxed);
  });
  std::sort(walked.begin(), walked.end(), Before);
  return end;
}

AmbientLoadResult ReadList(const std::wstring& path, const GameFileSystem& files,
                           const CodePageConverter& converter) {
  const GameFileRead read = files.ReadStart(path, AmbientFileMaxBytes);
  if (read.error != 0) {
    AmbientLoadResult failed;
    failed.error = AmbientLoadError::CannotReadFile;
    failed.systemError = read.error;
    return failed;
  }
  return ReadAmbientFile(read.bytes, converter, read.fileSize);
}

// The sound folder as the editor finds a document's, asked for each folder that holds lists; the
// answer most lists share wins, the first met among equals. Paths inside the game folder are
// looked up in its walk instead of on the disk.
std::wstring FindGameSoundFolder(const GameIndex& index, const std::vector<WalkedFile>& walked,
                                 const GameFileSystem& files) {
  const std::wstring_view game = Trimmed(index.GameFolder());
  const auto exists = [&](const std::wstring& path) {
    const std::optional<std::size_t> part = SoundNamePartUnder(path, game);
    if (!part) return files.IsFile(path);
    const WalkedFile sought{path.substr(*part), 0};
    const auto found = std::lower_bound(walked.begin(), walked.end(), sought, Before);
    return found != walked.end() && SameSoundName(found->path, sought.path);
  };
  std::map<std::wstring, std::optional<std::wstring>> answerOfFolder;
  std::map<std::wstring, std::size_t> votes;
  std::vector<std::wstring> order;
  for (const GameList& list : index.Lists()) {
    const std::wstring listFolder = ParentFolder(JoinSoundPath(index.GameFolder(), list.path));
    auto [answer, isNew] = answerOfFolder.try_emplace(SoundNameKey(Trimmed(listFolder)));
    if (isNew) {
      std::vector<std::wstring> names;
      for (const GameEntry& entry : list.entries) {
        const std::wstring_view name = index.Name(entry.name);
        if (NameStaysInsideFolder(name)) names.emplace_back(name);
      }
      answer->second = FindSoundFolder(listFolder, names, exists);
    }
    if (!answer->second) continue;
    if (votes[*answer->second]++ == 0) order.push_back(*answer->second);
  }
  std::wstring best;
  std::size_t bestVotes = 0;
  for (const std::wstring& folder : order) {
    if (votes[folder] > bestVotes) best = folder, bestVotes = votes[folder];
  }
  return best;
}

// Takes the sounds from the game folder's walk when the sound folder lies inside it.
bool SoundsFromGameWalk(GameIndex& index, const std::vector<WalkedFile>& walked) {
  const std::wstring_view sounds = Trimmed(index.SoundFolder());
  const std::optional<std::size_t> part = SoundNamePartUnder(sounds, Trimmed(index.GameFolder()));
  if (!part) return false;
  const std::wstring_view under = sounds.substr(std::min(*part, sounds.size()));
  for (const WalkedFile& file : walked) {
    if (IsListName(file.path)) continue;
    if (under.empty()) {
      index.PutSound(file.path, file.size);
    } else if (const std::optional<std::size_t> start = SoundNamePartUnder(file.path, under);
               start && *start < file.path.size()) {
      index.PutSound(std::wstring_view(file.path).substr(*start), file.size);
    }
  }
  return true;
}

}  // namespace

GameIndexEnd BuildGameIndex(const GameIndexRequest& request, const GameFileSystem& files,
                            const CodePageConverter& converter, const std::atomic<bool>& stop,
                            GameIndex& index, GameIndexProgress* progress) {
  index = GameIndex(request.gameFolder, request.soundFolder);
  std::vector<WalkedFile> walked;
  const GameWalkEnd walk = WalkSorted(request.gameFolder, files, stop, progress, walked);
  if (walk == GameWalkEnd::CannotList) return GameIndexEnd::GameFolderUnreadable;
  if (walk == GameWalkEnd::Stopped) return GameIndexEnd::Stopped;

  if (progress)
    progress->lists = static_cast<std::size_t>(std::count_if(
        walked.begin(), walked.end(), [](const WalkedFile& file) { return IsListName(file.path); }));
  for (const WalkedFile& file : walked) {
    if (!IsListName(file.path)) continue;
    if (stop.load(std::memory_order_relaxed)) return GameIndexEnd::Stopped;
    index.PutList(file.path, ReadList(JoinSoundPath(request.gameFolder, file.path), files, converter));
    if (progress) progress->listsRead.fetch_add(1, std::memory_order_relaxed);
  }

  if (index.SoundFolder().empty()) index.SetSoundFolder(FindGameSoundFolder(index, walked, files));
  if (index.SoundFolder().empty() || SoundsFromGameWalk(index, walked)) return GameIndexEnd::Done;
  std::vector<WalkedFile> sounds;
  const GameWalkEnd soundWalk = WalkSorted(index.SoundFolder(), files, stop, progress, sounds);
  if (soundWalk == GameWalkEnd::CannotList) return GameIndexEnd::SoundFolderUnreadable;
  if (soundWalk == GameWalkEnd::Stopped) return GameIndexEnd::Stopped;
  for (const WalkedFile& file : sounds) {
    if (!IsListName(file.path)) index.PutSound(file.path, file.size);
  }
  return GameIndexEnd::Done;
}

void ReloadGameList(GameIndex& index, std::wstring_view path, const GameFileSystem& files,
                    const CodePageConverter& converter) {
  const std::wstring full = JoinSoundPath(index.GameFolder(), std::wstring(path));
  if (!files.IsFile(full)) {
    index.RemoveList(path);
    return;
  }
  index.PutList(path, ReadList(full, files, converter));
}

bool FindListsUnder(const std::wstring& folder, const GameFileSystem& files,
                    std::vector<std::wstring>& lists) {
  const std::atomic<bool> never = false;
  std::vector<WalkedFile> walked;
  if (WalkSorted(folder, files, never, nullptr, walked) == GameWalkEnd::CannotList) return false;
  for (WalkedFile& file : walked) {
    if (IsListName(file.path)) lists.push_back(std::move(file.path));
  }
  return true;
}
