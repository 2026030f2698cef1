#include "ambient/EditHistory.h"

namespace {

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
  std::size_t bytes = sizeof(*this);
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
