#include "ambient/EntryList.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <unordered_set>

namespace {

// Shared by every document, so that an entry heard from one list is never taken for another's.
std::atomic<std::uint64_t> lastIdentity{0};

}  // namespace

void EntryList::Identify(int first, int count) {
  std::unordered_set<std::uint64_t> taken;
  for (int index = 0; index < Count(); ++index) {
    if (index < first || index >= first + count) taken.insert(At(index).identity);
  }
  for (int index = first; index < first + count; ++index) {
    DocumentEntry& entry = entries_[static_cast<std::size_t>(index)];
    if (entry.identity == 0 || !taken.insert(entry.identity).second) {
      entry.identity = ++lastIdentity;
      taken.insert(entry.identity);
    }
  }
}

bool DocumentEntry::operator==(const DocumentEntry& other) const {
  return values == other.values && std::memcmp(&record, &other.record, sizeof(record)) == 0;
}

EntryList EntryList::FromLoad(const AmbientLoadResult& loaded) {
  EntryList list;
  for (std::size_t index = 0; index < loaded.entries.size() && index < loaded.image.size(); ++index) {
    list.entries_.push_back({loaded.entries[index], loaded.image[index]});
  }
  list.Identify(0, list.Count());
  return list;
}

bool EntryList::Insert(int index, std::span<const DocumentEntry> added) {
  if (!HasRoomFor(static_cast<int>(added.size()))) return false;
  const int at = std::clamp(index, 0, Count());
  entries_.insert(entries_.begin() + at, added.begin(), added.end());
  Identify(at, static_cast<int>(added.size()));
  return true;
}

void EntryList::Erase(int index) {
  if (index < 0 || index >= Count()) return;
  entries_.erase(entries_.begin() + index);
}

bool EntryList::MoveBlock(int first, int count, int delta) {
  if (count <= 0 || first < 0 || first + count > Count()) return false;
  if (first + delta < 0 || first + count + delta > Count()) return false;
  const auto begin = entries_.begin();
  if (delta < 0) {
    std::rotate(begin + first + delta, begin + first, begin + first + count);
  } else if (delta > 0) {
    std::rotate(begin + first, begin + first + count, begin + first + count + delta);
  }
  return true;
}

void EntryList::SetValues(int index, const AmbientEntryValues& values) {
  if (index < 0 || index >= Count()) return;
  entries_[static_cast<std::size_t>(index)].values = values;
}

bool EntryList::Replace(int first, int count, std::span<const DocumentEntry> with) {
  if (first < 0 || count < 0 || first + count > Count()) return false;
  if (Count() - count + static_cast<int>(with.size()) > MaxAmbientEntries) return false;
  const auto at = entries_.begin() + first;
  const int common = std::min(count, static_cast<int>(with.size()));
  std::copy(with.begin(), with.begin() + common, at);
  if (count > common) {
    entries_.erase(at + common, at + count);
  } else {
    entries_.insert(at + common, with.begin() + common, with.end());
  }
  Identify(first, static_cast<int>(with.size()));
  return true;
}

std::vector<DocumentEntry> EntryList::Slice(int first, int count) const {
  const int begin = std::clamp(first, 0, Count());
  const int end = std::clamp(first + count, begin, Count());
  return {entries_.begin() + begin, entries_.begin() + end};
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

void RereadName(DocumentEntry& entry, const CodePageConverter& from, const CodePageConverter& to) {
  if (NameIsUnedited(entry, from)) entry.values.audioFile = DecodeName(AudioFileBytes(entry.record), to);
}

void EntryList::RereadNames(const CodePageConverter& from, const CodePageConverter& to) {
  for (DocumentEntry& entry : entries_) RereadName(entry, from, to);
}
