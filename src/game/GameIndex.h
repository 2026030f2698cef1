#pragma once

// A game as the questions of real work see it: every list under its folder with the values of
// every entry, and every file under its sound folder with its size. It answers where a sound is
// used, which sounds no list uses and which names no file has, and takes one list's new entries
// without reading the others again (a change on disk, a document edited in the editor).
// Not thread-safe: it is built on a worker (GameIndexBuild) and then owned by one thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "format/AmbientFile.h"
#include "game/SoundNamePool.h"

// One entry as the index keeps it: 20 bytes, the name an id of the pool.
struct GameEntry {
  SoundNamePool::Id name = 0;
  std::int32_t minRepeatMs = 0;
  std::int32_t maxRepeatMs = 0;
  std::int32_t volume = 0;
  std::uint8_t timeOfDay = 0;  // the stored byte
};

// What reading a list found: a damaged list is indexed with the entries it has and its damage.
struct GameListState {
  AmbientLoadError error = AmbientLoadError::None;
  std::uint32_t systemError = 0;  // CannotReadFile: the platform's error code
  int declaredCount = 0;
  AmbientFileDamage damage = AmbientFileDamage::None;
  std::uint64_t fileSize = 0;
  std::uint64_t extraBytes = 0;
  std::uint64_t extraRecords = 0;
  std::uint64_t missingBytes = 0;
};

struct GameList {
  std::wstring path;  // relative to the game folder, parts joined by `\`
  GameListState state;
  std::vector<GameEntry> entries;
};

struct GameSound {
  SoundNamePool::Id name = 0;  // spelled as on disk, relative to the sound folder
  std::uint64_t size = 0;
};

struct GameUsage {
  std::size_t list = 0;  // index into Lists()
  int entry = 0;         // as the № column shows it
  std::uint8_t timeOfDay = 0;
  std::int32_t volume = 0;
};

struct GameMissingName {
  SoundNamePool::Id name = 0;
  std::vector<std::size_t> lists;  // the lists naming it, in the order of Lists()
};

class GameIndex {
 public:
  GameIndex() = default;
  GameIndex(std::wstring gameFolder, std::wstring soundFolder);

  const std::wstring& GameFolder() const { return gameFolder_; }
  // Empty when none was given or found: then there are no sounds, and no name counts as missing.
  const std::wstring& SoundFolder() const { return soundFolder_; }
  void SetSoundFolder(std::wstring folder) { soundFolder_ = std::move(folder); }

  // Adds the list at `path` (relative to the game folder) or replaces what was known of it.
  void PutList(std::wstring_view path, const AmbientLoadResult& loaded);
  // The same from the entries of an open document, which count as they are now.
  void PutListEntries(std::wstring_view path, std::span<const AmbientEntryValues> entries);
  bool RemoveList(std::wstring_view path);
  // Adds the file at `path` (relative to the sound folder) or takes its new size.
  void PutSound(std::wstring_view path, std::uint64_t size);
  bool RemoveSound(std::wstring_view path);

  // Lists in the order of their paths, sounds in the order of their names (both without case).
  const std::vector<GameList>& Lists() const { return lists_; }
  const std::vector<GameSound>& Sounds() const { return sounds_; }
  std::optional<std::size_t> FindList(std::wstring_view path) const;
  std::wstring_view Name(SoundNamePool::Id id) const { return names_.Spelling(id); }

  // Every entry naming `sound`, by list, then entry.
  std::vector<GameUsage> Usages(std::wstring_view sound) const;
  // How many entries name the sound file `sound` (an index into Sounds()).
  std::uint32_t UseCount(std::size_t sound) const { return uses_[sounds_[sound].name]; }
  // Indexes into Sounds() of the files no entry names, in the order of Sounds().
  std::vector<std::size_t> UnusedSounds() const;
  // Names entries use that no file under the sound folder has, in the order of their keys.
  std::vector<GameMissingName> MissingNames() const;

  // What the index takes in memory, and the characters' bytes of every name it answers for
  // (every entry's name, every sound file's and every list's path).
  std::size_t MemoryBytes() const;
  std::size_t NameBytes() const;

 private:
  GameList& ListAt(std::wstring_view path);
  void Count(const std::vector<GameEntry>& entries, int step);
  std::vector<GameEntry> Compact(std::span<const AmbientEntryValues> entries);
  // Where a list or sound named `path` is or belongs; lists and sounds put in their order (as
  // the indexing does) always go at the end.
  std::size_t ListPlace(std::wstring_view path) const;
  std::size_t SoundPlace(std::wstring_view path) const;

  std::wstring gameFolder_;
  std::wstring soundFolder_;
  SoundNamePool names_;
  std::vector<std::uint32_t> uses_;    // per name id: the entries naming it
  std::vector<std::uint8_t> hasFile_;  // per name id: a file under the sound folder has it
  std::vector<GameList> lists_;
  std::unordered_map<std::wstring, std::size_t> listByKey_;
  std::vector<GameSound> sounds_;
};

// The word the command line uses for a time-of-day byte (dawn, day, sunset, night), or the
// byte's number when it names none.
std::wstring TimeOfDayWord(std::uint8_t stored);
