#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

// The undo and redo history of one document: every state it went through, newest last, and
// where the document now stands among them. Each change also remembers the row to select when
// it is undone (where it happened) and when it is redone (where it led).
template <typename State>
class EditHistory {
 public:
  // Forgets every change. `saved` tells whether `initial` is what the file on disk holds.
  void Reset(State initial, bool saved) {
    steps_.clear();
    steps_.push_back({std::move(initial), -1, -1});
    position_ = 0;
    saved_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
  }

  // A change from the current state to `changed`; whatever was undone before it is gone.
  void Record(State changed, int rowBefore, int rowAfter) {
    steps_.resize(position_ + 1);
    if (saved_ && *saved_ > position_) saved_.reset();
    steps_.push_back({std::move(changed), rowBefore, rowAfter});
    ++position_;
  }

  const State& Current() const { return steps_[position_].state; }
  // Replaces the current state without making it a change (a save that rewrote its bytes).
  void ReplaceCurrent(State state) { steps_[position_].state = std::move(state); }

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ + 1 < steps_.size(); }

  // Steps back; returns the row to select, or -1 when there was nothing to undo.
  int Undo() {
    if (!CanUndo()) return -1;
    return steps_[position_--].rowBefore;
  }
  // Steps forward again; returns the row to select, or -1 when there was nothing to redo.
  int Redo() {
    if (!CanRedo()) return -1;
    return steps_[++position_].rowAfter;
  }

  // Changes every state alike, without making it a change (the names' code page was switched).
  template <typename Change>
  void ChangeEveryState(Change change) {
    for (Step& step : steps_) change(step.state);
  }

  void MarkSaved() { saved_ = position_; }
  bool IsAtSaved() const { return saved_ == position_; }

 private:
  struct Step {
    State state;
    int rowBefore;
    int rowAfter;
  };

  std::vector<Step> steps_{{State{}, -1, -1}};
  std::size_t position_ = 0;
  std::optional<std::size_t> saved_;
};
