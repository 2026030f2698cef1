#pragma once

// One ".bad" document without a window: its entries, their history, every command on them and
// the bytes of its file. A view shows it and forwards what the user does; it never reads the
// entries back from the screen, so everything here can be tested and fuzzed on its own.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ambient/EditHistory.h"
#include "ambient/EntryList.h"
#include "format/AmbientFile.h"
#include "format/CodePageConverter.h"

// What a command acts on and what it leaves chosen: the chosen entries (ascending, apart or not)
// and the entry under the cursor. A lone index, and the cursor, may be Count(): the place after
// the last entry, where a view keeps its row for adding one.
struct EntrySelection {
  std::vector<int> entries;
  int cursor = -1;

  bool operator==(const EntrySelection&) const = default;
};

// The five values of an entry, one at a time, as a cell holds one.
enum class EntryField { AudioFile, MinRepeat, MaxRepeat, TimeOfDay, Volume };

// What changed: the `before` entries from `first` on are now `after` entries. `everything` when
// the whole document was replaced or read again (a reload, another code page).
struct EntriesChanged {
  int first = 0;
  int before = 0;
  int after = 0;
  bool everything = false;

  bool operator==(const EntriesChanged&) const = default;
};

class DocumentObserver {
 public:
  virtual void OnEntriesChanged(const EntriesChanged& change) = 0;

 protected:
  ~DocumentObserver() = default;
};

// Why a name cannot be stored, as facts for the view to word: a tab, line break or NUL, or what a
// save would fail with (the entry, and the character the code page lacks).
struct NameRefusal {
  bool controlCharacter = false;
  AmbientSaveResult save;
};

// The outcome of an entry command.
struct EntryCommandOutcome {
  // The document would hold more than MaxAmbientEntries: nothing changed.
  bool refused = false;
  // What to choose now; none when nothing changed.
  std::optional<EntrySelection> select;
};

class AmbientDocument {
 public:
  AmbientDocument();

  // An observer hears of every change to the entries until it is removed.
  void AddObserver(DocumentObserver* observer);
  void RemoveObserver(DocumentObserver* observer);

  int Count() const { return entries_.Count(); }
  const DocumentEntry& At(int index) const { return entries_.At(index); }
  const EntryList& Entries() const { return entries_; }
  std::vector<AmbientEntryValues> Values() const;
  AmbientImage Image() const { return entries_.Image(); }

  // ---- the file ----
  // The entries of `loaded` replace the document's and the history starts anew; `matchesDisk`
  // tells whether they are what the file on disk holds (false for a recovery copy).
  void Adopt(const AmbientLoadResult& loaded, bool matchesDisk);
  // Reads `bytes` (a file's or a recovery copy's) and adopts them when they can be read.
  AmbientLoadResult LoadBytes(std::span<const std::byte> bytes, const CodePageConverter& converter,
                              bool matchesDisk);
  // The bytes a save (or a recovery copy) writes now; fails, naming the entry, when one cannot be stored.
  AmbientEncoding Encode(const CodePageConverter& converter) const;
  // The file now holds `written` (the image a successful save gave back).
  void SavedAs(const AmbientImage& written);
  bool IsModified() const { return !history_.IsAtSaved(); }
  // The file went away: the document must be saved to exist again, whatever is undone.
  void MarkModified() { history_.ForgetSaved(); }

  // ---- the history ----
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  // What to choose afterwards; none when there was nothing to undo or redo.
  std::optional<EntrySelection> Undo();
  std::optional<EntrySelection> Redo();
  std::size_t HistoryBytes() const { return history_.MemoryBytes(); }

  // ---- entry commands: each is one step of the history and chooses exactly what it touched ----
  // `entries` before `row` (clamped to the list).
  EntryCommandOutcome Insert(int row, std::vector<DocumentEntry> entries);
  // A fresh entry above the cursor (after the last one without a cursor).
  EntryCommandOutcome InsertFresh(const EntrySelection& selection);
  // `entries` above the first chosen entry, or at the cursor without one.
  EntryCommandOutcome Paste(const EntrySelection& selection, std::vector<DocumentEntry> entries);
  // Copies of the chosen entries below the last of them.
  EntryCommandOutcome Duplicate(const EntrySelection& selection);
  EntryCommandOutcome Delete(const EntrySelection& selection);
  // The chosen entries one place up (-1) or down (+1); nothing when one is at that edge.
  EntryCommandOutcome Move(const EntrySelection& selection, int delta);

  // One cell's value: `field` of `source` goes into entry `entry`. False when it changed nothing
  // (the same value again), which is no step.
  bool EditCell(int entry, EntryField field, const AmbientEntryValues& source);
  // `field` of `source` goes into every entry of `entries` as one step; how many it changed.
  int Fill(const std::vector<int>& entries, EntryField field, const AmbientEntryValues& source);

  // Why `name` cannot be the name of entry `entry`; none when it can.
  static std::optional<NameRefusal> RefuseName(int entry, const std::wstring& name,
                                               const CodePageConverter& converter);
  // Find and replace: why the first changed name of `names` (one per entry) cannot be stored.
  std::optional<NameRefusal> RefuseNames(const std::vector<std::wstring>& names,
                                         const CodePageConverter& converter) const;
  // Gives the entries `names` as one step choosing the renamed entries; nothing when a name is
  // refused or none changed.
  std::optional<EntrySelection> ReplaceNames(const std::vector<std::wstring>& names,
                                             const CodePageConverter& converter);

  // The names' code page changed: every unedited name, in the entries and the history, reads its
  // stored bytes in `to`. Nothing becomes modified.
  void RereadNames(const CodePageConverter& from, const CodePageConverter& to);

 private:
  // Makes, records and tells `change`; what it chose.
  EntrySelection Apply(EntryChange change);
  void Tell(const EntriesChanged& change);
  void TellStep(const EntryChange& step, bool forward);

  EntryList entries_;
  EditHistory history_;
  std::vector<DocumentObserver*> observers_;
};
