#pragma once

#include <cstddef>
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
  // Where the selection goes when the change is undone (where it happened) and when it is done
  // again (where it led); the first and last entry of the block it touched.
  int selectBefore = -1;
  int selectAfter = -1;
  int selectBeforeLast = -1;
  int selectAfterLast = -1;

  static EntryChange Replacing(int first, std::vector<DocumentEntry> before, std::vector<DocumentEntry> after);
  static EntryChange Moving(int first, int count, int by);

  // Puts the change into `entries` (forward) or takes it back out.
  void ApplyTo(EntryList& entries, bool forward) const;
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

  std::size_t MemoryBytes() const;

 private:
  std::vector<EntryChange> steps_;
  std::size_t done_ = 0;
  std::optional<std::size_t> saved_;
};
