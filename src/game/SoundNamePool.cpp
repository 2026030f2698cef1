#include "game/SoundNamePool.h"

#include <algorithm>

#include "problems/ProblemRules.h"

int CompareSoundNames(std::wstring_view a, std::wstring_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    // Names of one folder share long beginnings: equal characters need no folding.
    if (a[i] == b[i]) continue;
    const wchar_t left = SoundNameKeyCharacter(a[i]), right = SoundNameKeyCharacter(b[i]);
    if (left != right) return left < right ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::optional<std::size_t> SoundNamePartUnder(std::wstring_view name, std::wstring_view folder) {
  if (name.size() == folder.size()) {
    if (SameSoundName(name, folder)) return name.size();
    return std::nullopt;
  }
  if (name.size() < folder.size() || SoundNameKeyCharacter(name[folder.size()]) != L'\\' ||
      !SameSoundName(name.substr(0, folder.size()), folder))
    return std::nullopt;
  return folder.size() + 1;
}

std::uint32_t SoundNamePool::HashOf(std::wstring_view name) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (const wchar_t c : name)
    hash = (hash ^ static_cast<std::uint32_t>(SoundNameKeyCharacter(c))) * 16777619u;
  return hash;
}

std::size_t SoundNamePool::SlotOf(std::wstring_view name, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    const Id id = held - 1;
    if (hash_[id] == hash && SameSoundName(Spelling(id), name)) return slot;
  }
}

void SoundNamePool::Grow() {
  std::vector<std::uint32_t> slots(slots_.empty() ? 1024 : slots_.size() * 2, 0);
  const std::size_t mask = slots.size() - 1;
  for (Id id = 0; id < start_.size(); ++id) {
    std::size_t slot = hash_[id] & mask;
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = id + 1;
  }
  slots_.swap(slots);
}

SoundNamePool::Id SoundNamePool::Intern(std::wstring_view spelling) {
  if ((start_.size() + 1) * 2 > slots_.size()) Grow();
  const std::uint32_t hash = HashOf(spelling);
  const std::size_t slot = SlotOf(spelling, hash);
  if (slots_[slot] != 0) return slots_[slot] - 1;
  const Id id = static_cast<Id>(start_.size());
  start_.push_back(static_cast<std::uint32_t>(text_.size()));
  length_.push_back(static_cast<std::uint16_t>(spelling.size()));
  hash_.push_back(hash);
  text_.insert(text_.end(), spelling.begin(), spelling.end());
  slots_[slot] = id + 1;
  return id;
}

std::optional<SoundNamePool::Id> SoundNamePool::Find(std::wstring_view name) const {
  if (slots_.empty()) return std::nullopt;
  const std::size_t slot = SlotOf(name, HashOf(name));
  if (slots_[slot] == 0) return std::nullopt;
  return slots_[slot] - 1;
}

std::wstring_view SoundNamePool::Spelling(Id id) const { return {text_.data() + start_[id], length_[id]}; }

void SoundNamePool::Respell(Id id, std::wstring_view spelling) {
  // Spellings of one key differ only in case and slashes, character for character: the new one
  // takes the old one's place.
  if (spelling.size() != length_[id]) return;
  std::copy(spelling.begin(), spelling.end(), text_.begin() + start_[id]);
}

std::size_t SoundNamePool::MemoryBytes() const {
  return text_.capacity() * sizeof(wchar_t) + start_.capacity() * sizeof(std::uint32_t) +
         length_.capacity() * sizeof(std::uint16_t) + hash_.capacity() * sizeof(std::uint32_t) +
         slots_.capacity() * sizeof(std::uint32_t);
}
