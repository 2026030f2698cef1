#pragma once

// The entries of one document in display order, each with the 116-byte record it was read from,
// so that the bytes the editor does not interpret stay with their entry wherever it moves.

#include <span>
#include <vector>

#include "ambient/AmbientFile.h"

struct DocumentEntry {
  AmbientEntryValues values;
  // Zero for an entry made in the editor; a copy keeps its original's bytes.
  AmbientEntry record{};

  bool operator==(const DocumentEntry& other) const;
};

// Whether the entry's name shows stored bytes that are not valid in `converter`'s code page
// (with U+FFFD in their place) and so is kept as stored: the grid's tooltip says so.
bool NameIsUndecodable(const DocumentEntry& entry, const CodePageConverter& converter);

class EntryList {
 public:
  EntryList() = default;
  // Entry i takes the values of `loaded.entries[i]` and record i of its image.
  static EntryList FromLoad(const AmbientLoadResult& loaded);

  int Count() const { return static_cast<int>(entries_.size()); }
  const DocumentEntry& At(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  bool HasRoomFor(int added) const { return Count() + added <= MaxAmbientEntries; }

  // Inserts before `index` (clamped to the list). Refuses, changing nothing, beyond MaxAmbientEntries.
  bool Insert(int index, std::span<const DocumentEntry> added);
  void Erase(int index);
  // Swaps the entry with its neighbour `delta` (-1 or +1) away; false when there is none.
  bool Move(int index, int delta);
  void SetValues(int index, const AmbientEntryValues& values);

  // Record i in slot i; the slots behind the last entry are zero.
  AmbientImage Image() const;
  // Takes back the records a save wrote, so that they hold what is now on disk.
  void AdoptImage(const AmbientImage& image);

  // After the names' code page changed from `from` to `to`: every name nobody edited (it still
  // shows what its stored bytes decode to in `from`) shows what they decode to in `to`. Edited
  // names stay as typed. No record changes, so nothing becomes modified.
  void RereadNames(const CodePageConverter& from, const CodePageConverter& to);

  bool operator==(const EntryList&) const = default;

 private:
  std::vector<DocumentEntry> entries_;
};
