#include "ambient/EditHistory.h"

#include <algorithm>

namespace {

std::vector<int> Block(int first, int last) {
  std::vector<int> block;
  for (int index = first; index <= last; ++index) block.push_back(index);
  return block;
}

std::size_t EntryBytes(const DocumentEntry& entry) {
  std::size_t bytes = sizeof(entry);
  if (entry.values.audioFile && entry.values.audioFile->capacity() > 7)
    bytes += (entry.values.audioFile->capacity() + 1) * sizeof(wchar_t);
  return bytes;
}

}  // namespace

EntryChange EntryChange::Replacing(int first, std::vector<DocumentEntry> before, std::vector<DocumentEntry> after) {
  EntryChange change;
  change.first = first;
  change.before = std::move(before);
  change.after = std::move(after);
  return change;
}

EntryChange EntryChange::Moving(int first, int count, int by) {
  EntryChange change;
  change.first = first;
  change.moveCount = count;
  change.moveBy = by;
  return change;
}

EntryChange EntryChange::Inserting(int row, std::vector<DocumentEntry> entries) {
  const auto count = static_cast<int>(entries.size());
  EntryChange change = Replacing(row, {}, std::move(entries));
  change.selectBefore = {row};
  change.selectAfter = Block(row, row + std::max(count, 1) - 1);
  return change;
}

// One step replaces the run from the first to the last selected entry with those between them.
EntryChange EntryChange::Deleting(const EntryList& entries, const std::vector<int>& selected) {
  const int first = selected.front(), last = selected.back();
  std::vector<DocumentEntry> kept;
  for (int index = first; index <= last; ++index) {
    if (!std::binary_search(selected.begin(), selected.end(), index)) kept.push_back(entries.At(index));
  }
  EntryChange change = Replacing(first, entries.Slice(first, last - first + 1), std::move(kept));
  change.selectBefore = selected;
  const int remaining = entries.Count() - static_cast<int>(selected.size());
  change.selectAfter = {std::max(0, std::min(first, remaining - 1))};
  return change;
}

EntryChange EntryChange::Duplicating(const EntryList& entries, const std::vector<int>& selected) {
  std::vector<DocumentEntry> copies;
  for (int index : selected) copies.push_back(entries.At(index));
  const int below = selected.back() + 1;
  EntryChange change = Replacing(below, {}, std::move(copies));
  change.selectBefore = selected;
  change.selectAfter = Block(below, below + static_cast<int>(selected.size()) - 1);
  return change;
}

std::optional<EntryChange> EntryChange::MovingSelected(const EntryList& entries, const std::vector<int>& selected,
                                                       int delta) {
  if (selected.empty() || (delta != -1 && delta != 1)) return std::nullopt;
  const int first = selected.front(), last = selected.back();
  if (first + delta < 0 || last + delta >= entries.Count()) return std::nullopt;
  EntryChange change;
  if (last - first + 1 == static_cast<int>(selected.size())) {
    change = Moving(first, last - first + 1, delta);
  } else {
    // Each selected entry swaps with its neighbour, the ones nearest the edge first.
    const int top = delta < 0 ? first - 1 : first;
    const int count = last - first + 2;
    std::vector<DocumentEntry> moved = entries.Slice(top, count);
    const auto swapWithNeighbour = [&](int index) {
      std::swap(moved[static_cast<size_t>(index - top)], moved[static_cast<size_t>(index - top + delta)]);
    };
    if (delta < 0) {
      std::for_each(selected.begin(), selected.end(), swapWithNeighbour);
    } else {
      std::for_each(selected.rbegin(), selected.rend(), swapWithNeighbour);
    }
    change = Replacing(top, entries.Slice(top, count), std::move(moved));
  }
  change.selectBefore = selected;
  change.selectAfter = selected;
  for (int& index : change.selectAfter) index += delta;
  return change;
}

std::optional<EntryChange> EntryChange::Editing(const EntryList& entries, const std::vector<int>& touched,
                                                const EntryEdit& edit) {
  if (touched.empty()) return std::nullopt;
  const int first = touched.front(), last = touched.back();
  std::vector<DocumentEntry> before = entries.Slice(first, last - first + 1), after = before;
  for (int index : touched) {
    if (!edit(index, after[static_cast<size_t>(index - first)])) return std::nullopt;
  }
  EntryChange change = Replacing(first, std::move(before), std::move(after));
  change.selectBefore = touched;
  change.selectAfter = touched;
  return change;
}

int EntryChange::ChangedEntries() const {
  int changed = 0;
  for (size_t index = 0; index < before.size() && index < after.size(); ++index) {
    if (!(before[index].values == after[index].values)) ++changed;
  }
  return changed;
}

void EntryChange::ApplyTo(EntryList& entries, bool forward) const {
  if (moveBy != 0) {
    if (forward) {
      entries.MoveBlock(first, moveCount, moveBy);
    } else {
      entries.MoveBlock(first + moveBy, moveCount, -moveBy);
    }
    return;
  }
  const std::vector<DocumentEntry>& removed = forward ? before : after;
  const std::vector<DocumentEntry>& added = forward ? after : before;
  entries.Replace(first, static_cast<int>(removed.size()), added);
}

std::size_t EntryChange::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + (selectBefore.capacity() + selectAfter.capacity()) * sizeof(int);
  for (const DocumentEntry& entry : before) bytes += EntryBytes(entry);
  for (const DocumentEntry& entry : after) bytes += EntryBytes(entry);
  return bytes;
}

void EditHistory::Reset(bool saved) {
  steps_.clear();
  done_ = 0;
  saved_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
}

void EditHistory::Record(EntryChange change) {
  steps_.resize(done_);
  if (saved_ && *saved_ > done_) saved_.reset();
  steps_.push_back(std::move(change));
  ++done_;
}

const EntryChange* EditHistory::Undo() {
  if (!CanUndo()) return nullptr;
  return &steps_[--done_];
}

const EntryChange* EditHistory::Redo() {
  if (!CanRedo()) return nullptr;
  return &steps_[done_++];
}

std::size_t EditHistory::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + (steps_.capacity() - steps_.size()) * sizeof(EntryChange);
  for (const EntryChange& step : steps_) bytes += step.MemoryBytes();
  return bytes;
}
