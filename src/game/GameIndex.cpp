#include "game/GameIndex.h"

#include <algorithm>
#include <map>

#include "problems/ProblemRules.h"

namespace {

// The place in `items` (sorted by name) where an item named `name` is or belongs; `nameOf` gives
// an item's name. Checked against the last first: in-order puts then cost one comparison.
template <typename Item, typename NameOf>
std::size_t PlaceOf(const std::vector<Item>& items, std::wstring_view name, const NameOf& nameOf) {
  if (items.empty() || CompareSoundNames(nameOf(items.back()), name) < 0) return items.size();
  std::size_t low = 0, high = items.size();
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (CompareSoundNames(nameOf(items[middle]), name) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

}  // namespace

GameIndex::GameIndex(std::wstring gameFolder, std::wstring soundFolder)
    : gameFolder_(std::move(gameFolder)), soundFolder_(std::move(soundFolder)) {}

std::size_t GameIndex::ListPlace(std::wstring_view path) const {
  return PlaceOf(lists_, path, [](const GameList& list) { return std::wstring_view(list.path); });
}

std::size_t GameIndex::SoundPlace(std::wstring_view path) const {
  return PlaceOf(sounds_, path, [this](const GameSound& sound) { return names_.Spelling(sound.name); });
}

GameList& GameIndex::ListAt(std::wstring_view path) {
  std::wstring key = SoundNameKey(path);
  const auto known = listByKey_.find(key);
  if (known != listByKey_.end()) return lists_[known->second];
  const std::size_t place = ListPlace(path);
  lists_.insert(lists_.begin() + static_cast<std::ptrdiff_t>(place), GameList{std::wstring(path), {}, {}});
  // Only a list put out of order moves the ones after it.
  if (place + 1 != lists_.size()) {
    for (auto& [listKey, index] : listByKey_) index += index >= place ? 1 : 0;
  }
  listByKey_.emplace(std::move(key), place);
  return lists_[place];
}

void GameIndex::Count(const std::vector<GameEntry>& entries, int step) {
  for (const GameEntry& entry : entries) uses_[entry.name] += static_cast<std::uint32_t>(step);
}

std::vector<GameEntry> GameIndex::Compact(std::span<const AmbientEntryValues> entries) {
  std::vector<GameEntry> compact;
  compact.reserve(entries.size());
  for (const AmbientEntryValues& values : entries) {
    const std::wstring_view spelling =
        values.audioFile ? std::wstring_view(*values.audioFile) : std::wstring_view();
    const SoundNamePool::Id name = names_.Intern(spelling);
    compact.push_back({name, values.minRepeatMs, values.maxRepeatMs, values.volume, values.timeOfDay});
  }
  uses_.resize(names_.Count(), 0);
  hasFile_.resize(names_.Count(), 0);
  return compact;
}

void GameIndex::PutList(std::wstring_view path, const AmbientLoadResult& loaded) {
  std::vector<GameEntry> entries = Compact(loaded.entries);
  GameList& list = ListAt(path);
  Count(list.entries, -1);
  list.entries = std::move(entries);
  Count(list.entries, +1);
  list.state = {loaded.error,    loaded.systemError, loaded.declaredCount, loaded.damage,
                loaded.fileSize, loaded.extraBytes,  loaded.extraRecords,  loaded.missingBytes};
}

void GameIndex::PutListEntries(std::wstring_view path, std::span<const AmbientEntryValues> entries) {
  std::vector<GameEntry> compact = Compact(entries);
  GameList& list = ListAt(path);
  Count(list.entries, -1);
  list.entries = std::move(compact);
  Count(list.entries, +1);
  // A document in the editor has no damage: what it shows is what it saves.
  list.state = {};
  list.state.declaredCount = static_cast<int>(list.entries.size());
}

bool GameIndex::RemoveList(std::wstring_view path) {
  const auto known = listByKey_.find(SoundNameKey(path));
  if (known == listByKey_.end()) return false;
  const std::size_t place = known->second;
  Count(lists_[place].entries, -1);
  lists_.erase(lists_.begin() + static_cast<std::ptrdiff_t>(place));
  listByKey_.erase(known);
  for (auto& [listKey, index] : listByKey_) index -= index > place ? 1 : 0;
  return true;
}

void GameIndex::PutSound(std::wstring_view path, std::uint64_t size) {
  const SoundNamePool::Id name = names_.Intern(path);
  uses_.resize(names_.Count(), 0);
  hasFile_.resize(names_.Count(), 0);
  const std::size_t place = SoundPlace(path);
  if (place < sounds_.size() && sounds_[place].name == name) {
    sounds_[place].size = size;
    return;
  }
  names_.Respell(name, path);
  hasFile_[name] = 1;
  sounds_.insert(sounds_.begin() + static_cast<std::ptrdiff_t>(place), GameSound{name, size});
}

bool GameIndex::RemoveSound(std::wstring_view path) {
  const std::optional<SoundNamePool::Id> name = names_.Find(path);
  if (!name || !hasFile_[*name]) return false;
  const std::size_t place = SoundPlace(path);
  if (place >= sounds_.size() || sounds_[place].name != *name) return false;
  sounds_.erase(sounds_.begin() + static_cast<std::ptrdiff_t>(place));
  hasFile_[*name] = 0;
  return true;
}

std::optional<std::size_t> GameIndex::FindList(std::wstring_view path) const {
  const auto known = listByKey_.find(SoundNameKey(path));
  if (known == listByKey_.end()) return std::nullopt;
  return known->second;
}

std::vector<GameUsage> GameIndex::Usages(std::wstring_view sound) const {
  std::vector<GameUsage> usages;
  const std::optional<SoundNamePool::Id> name = names_.Find(sound);
  if (!name || uses_[*name] == 0) return usages;
  for (std::size_t list = 0; list < lists_.size(); ++list) {
    const std::vector<GameEntry>& entries = lists_[list].entries;
    for (std::size_t entry = 0; entry < entries.size(); ++entry) {
      if (entries[entry].name == *name)
        usages.push_back({list, static_cast<int>(entry), entries[entry].timeOfDay, entries[entry].volume});
    }
  }
  return usages;
}

std::vector<std::size_t> GameIndex::UnusedSounds() const {
  std::vector<std::size_t> unused;
  for (std::size_t sound = 0; sound < sounds_.size(); ++sound) {
    if (uses_[sounds_[sound].name] == 0) unused.push_back(sound);
  }
  return unused;
}

std::vector<GameMissingName> GameIndex::MissingNames() const {
  if (soundFolder_.empty()) return {};
  // An empty name plays nothing and names no file; it is no missing file either.
  const std::optional<SoundNamePool::Id> empty = names_.Find(L"");
  std::map<std::wstring, GameMissingName> missing;
  for (std::size_t list = 0; list < lists_.size(); ++list) {
    for (const GameEntry& entry : lists_[list].entries) {
      if (hasFile_[entry.name] || entry.name == empty) continue;
      GameMissingName& found = missing[SoundNameKey(names_.Spelling(entry.name))];
      found.name = entry.name;
      if (found.lists.empty() || found.lists.back() != list) found.lists.push_back(list);
    }
  }
  std::vector<GameMissingName> names;
  for (auto& [key, name] : missing) names.push_back(std::move(name));
  return names;
}

std::size_t GameIndex::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + names_.MemoryBytes() + uses_.capacity() * sizeof(std::uint32_t) +
                      hasFile_.capacity() + sounds_.capacity() * sizeof(GameSound) +
                      lists_.capacity() * sizeof(GameList);
  for (const GameList& list : lists_)
    bytes += list.path.capacity() * sizeof(wchar_t) + list.entries.capacity() * sizeof(GameEntry);
  // A node of the map: its key's text, the key and value, the bucket's pointer and the link.
  for (const auto& [key, index] : listByKey_)
    bytes += key.capacity() * sizeof(wchar_t) + sizeof(key) + sizeof(index) + 3 * sizeof(void*);
  return bytes;
}

std::size_t GameIndex::NameBytes() const {
  std::size_t characters = 0;
  for (const GameList& list : lists_) {
    characters += list.path.size();
    for (const GameEntry& entry : list.entries) characters += names_.Spelling(entry.name).size();
  }
  for (const GameSound& sound : sounds_) characters += names_.Spelling(sound.name).size();
  return characters * sizeof(wchar_t);
}

std::wstring TimeOfDayWord(std::uint8_t stored) {
  static constexpr const wchar_t* kWords[] = {L"dawn", L"day", L"sunset", L"night"};
  return stored < 4 ? kWords[stored] : std::to_wstring(stored);
}
