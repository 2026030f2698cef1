#pragma once

// The entries of one document in display order, each with the 116-byte record it was read from,
// so that the bytes the editor does not interpret stay with their entry wherever it moves.

#include <cstdint>
#include <span>
#include <vector>

#include "format/AmbientFile.h"

struct DocumentEntry {
  AmbientEntryValues values;
  // Zero for an entry made in the editor; a copy keeps its original's bytes.
  AmbientEntry record{};
  // Who the entry is while the program runs, whichever row it moves to: the live preview keeps
  // each entry's timing by it. Never stored and not part of equality; a list gives an entry
  // that comes in without one, or as a copy of one it holds, a number no other entry has had.
  std::uint64_t identity = 0;

  bool operator==(const DocumentEntry& other) const;
};

// Whether the entry's name shows stored bytes that are not valid in `converter`'s code page
// (with U+FFFD in their place) and so is kept as stored: the grid's tooltip says so.
bool NameIsUndecodable(const DocumentEntry& entry, const CodePageConverter& converter);

// An entry's name as its stored bytes read in `to`, unless it was edited since it was read in
// `from` (an edited name is the user's text and stays).
void RereadName(DocumentEntry& entry, const CodePageConverter& from, const CodePageConverter& to);

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
  // Moves the `count` entries from `first` on `delta` places (up when negative), the entries
  // they pass shifting the other way; false, changing nothing, when the block would leave the list.
  bool MoveBlock(int first, int count, int delta);
  void SetValues(int index, const AmbientEntryValues& values);
  // The `count` entries from `first` on give way to `with`. Refuses, changing nothing, when the
  // range is not in the list or the list would grow beyond MaxAmbientEntries.
  bool Replace(int first, int count, std::span<const DocumentEntry> with);
  // A copy of `count` entries from `first` on (fewer at the end of the list).
  std::vector<DocumentEntry> Slice(int first, int count) const;

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
  // Gives the entries from `first` on, `count` of them, an identity of their own where they
  // came in without one or share it with another entry of the list.
  void Identify(int first, int count);

  std::vector<DocumentEntry> entries_;
};
