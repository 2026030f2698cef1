#include "ambient/EntryList.h"

#include <algorithm>
#include <cstring>

bool DocumentEntry::operator==(const DocumentEntry& other) const {
  return values == other.values && std::memcmp(&record, &other.record, sizeof(record)) == 0;
}

EntryList EntryList::FromLoad(const AmbientLoadResult& loaded) {
  EntryList list;
  for (std::size_t index = 0; index < loaded.entries.size() && index < loaded.image.size(); ++index) {
    list.entries_.push_back({loaded.entries[index], loaded.image[index]});
  }
  return list;
}

bool EntryList::Insert(int index, std::span<const DocumentEntry> added) {
  if (!HasRoomFor(static_cast<int>(added.size()))) return false;
  const int at = std::clamp(index, 0, Count());
  entries_.insert(entries_.begin() + at, added.begin(), added.end());
  return true;
}

void EntryList::Erase(int index) {
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
}

bool EntryList::Move(int index, int delta) {
  const int target = index + delta;
  if (index < 0 || index >= Count() || target < 0 || target >= Count()) return false;
  std::swap(entries_[static_cast<std::size_t>(index)], entries_[static_cast<std::size_t>(target)]);
  return true;
}

void EntryList::SetValues(int index, const AmbientEntryValues& values) {
  if (index < 0 || index >= Count()) return;
  entries_[static_cast<std::size_t>(index)].values = values;
}

AmbientImage EntryList::Image() const {
  AmbientImage image{};
  for (std::size_t index = 0; index < entries_.size(); ++index) image[index] = entries_[index].record;
  return image;
}

void EntryList::AdoptImage(const AmbientImage& image) {
  for (std::size_t index = 0; index < entries_.size(); ++index) entries_[index].record = image[index];
}

namespace {

bool NameIsUnedited(const DocumentEntry& entry, const CodePageConverter& converter) {
  return entry.values.audioFile == DecodeName(AudioFileBytes(entry.record), converter);
}

}  // namespace

bool NameIsUndecodable(const DocumentEntry& entry, const CodePageConverter& converter) {
  return NameBytesUndecodable(entry.record, converter) && NameIsUnedited(entry, converter);
}

void EntryList::RereadNames(const CodePageConverter& from, const CodePageConverter& to) {
  for (DocumentEntry& entry : entries_) {
    if (NameIsUnedited(entry, from)) entry.values.audioFile = DecodeName(AudioFileBytes(entry.record), to);
  }
}
