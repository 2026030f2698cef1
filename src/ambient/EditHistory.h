#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "ambient/EntryList.h"

// One change of a document's entries: the entries from `first` on that were `before` became
// `after` (an insert has nothing before, a delete nothing after, a cell edit one of each). Only
// what changed is kept, so a step costs the entries it touched, not the document. A move keeps
// no entries at all: the block of `moveCount` entries from `first` on went `moveBy` places.
struct EntryChange {
  int first = 0;
  std::vector<DocumentEntry> before;
  std::vector<DocumentEntry> after;
  int moveCount = 0;
  int moveBy = 0;
  // What is selected when the change is undone (the entries it was made on) and when it is
  // done again (the entries it led to), ascending, the cursor on the first. They are the very
  // entries chosen, apart as they were: a block from the first to the last of them would let
  // the next command act on entries nobody chose. A lone row may be the one after the entries.
  std::vector<int> selectBefore;
  std::vector<int> selectAfter;

  static EntryChange Replacing(int first, std::vector<DocumentEntry> before, std::vector<DocumentEntry> after);
  static EntryChange Moving(int first, int count, int by);

  // The steps of the entry commands, made from the entries they act on (`selected`: ascending,
  // apart or not, none beyond `entries`), each selecting exactly what it touched.
  // `entries` put in before `row`.
  static EntryChange Inserting(int row, std::vector<DocumentEntry> entries);
  // The selected entries go; the cursor stays where the first of them was.
  static EntryChange Deleting(const EntryList& entries, const std::vector<int>& selected);
  // Copies of the selected entries, as one block below the last of them.
  static EntryChange Duplicating(const EntryList& entries, const std::vector<int>& selected);
  // Each selected entry one place up (-1) or down (+1), the entries between them stepping the
  // other way; nothing when one of them is at that edge.
  static std::optional<EntryChange> MovingSelected(const EntryList& entries, const std::vector<int>& selected,
                                                   int delta);
  // `edit` changes each of the `touched` entries in place; nothing when it fails for one.
  using EntryEdit = std::function<bool(int index, DocumentEntry& entry)>;
  static std::optional<EntryChange> Editing(const EntryList& entries, const std::vector<int>& touched,
                                            const EntryEdit& edit);

  // Puts the change into `entries` (forward) or takes it back out.
  void ApplyTo(EntryList& entries, bool forward) const;
  // How many entries a change of values (same count before and after) gives other values.
  int ChangedEntries() const;
  // Heap and object bytes the step holds.
  std::size_t MemoryBytes() const;
};

// The undo and redo history of one document: its changes, oldest first, and how many of them
// are done. It remembers which point of the history is what the file on disk holds.
class EditHistory {
 public:
  // Forgets every change. `saved` tells whether the document as it is now is what is on disk.
  void Reset(bool saved);

  // A change just made to the document; whatever was undone before it is gone.
  void Record(EntryChange change);

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }

  // The change to take back (ApplyTo with forward false), now counted as undone; null when
  // there is nothing to undo.
  const EntryChange* Undo();
  // The change to make again (ApplyTo with forward true); null when there is nothing to redo.
  const EntryChange* Redo();

  void MarkSaved() { saved_ = done_; }
  bool IsAtSaved() const { return saved_ == done_; }
  // No point of the history is what is on disk any more (the file went away).
  void ForgetSaved() { saved_.reset(); }

  std::size_t MemoryBytes() const;

  // Runs `change` over every entry the steps hold (names read again in another code page).
  template <typename Change>
  void ChangeEveryEntry(Change change) {
    for (EntryChange& step : steps_) {
      for (DocumentEntry& entry : step.before) change(entry);
      for (DocumentEntry& entry : step.after) change(entry);
    }
  }

 private:
  std::vector<EntryChange> steps_;
  std::size_t done_ = 0;
  std::optional<std::size_t> saved_;
};
