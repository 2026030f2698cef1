#pragma once

#include <windows.h>

#include <vector>

#include "commands/FrameFeature.h"

class CommandStateMap;

// The one road from a command id to the feature that carries it out and keeps its state.
// Ranges (the recent files, the window list) go to one feature as a block.
class CommandTable {
 public:
  // `feature` carries out the ids from `first` to `last`, both included. Where entries overlap
  // (a mistake of the program) the one added first wins.
  void Add(UINT first, UINT last, FrameFeature& feature);
  void Add(UINT id, FrameFeature& feature) { Add(id, id, feature); }
  template <size_t N>
  void Add(const UINT (&ids)[N], FrameFeature& feature) {
    for (UINT id : ids) Add(id, feature);
  }

  // The feature carrying out `id`, or null when no feature does.
  FrameFeature* Find(UINT id) const;
  // Hands the command to its feature; false when none took it.
  bool Route(UINT id) const;
  // Every feature in the table, each once, in the order it was first added.
  const std::vector<FrameFeature*>& Features() const { return features_; }
  // The idle pass of every feature's command states.
  void UpdateStates(CommandStateMap& states) const;

 private:
  struct Range {
    UINT first;
    UINT last;
    FrameFeature* feature;
  };
  std::vector<Range> ranges_;
  std::vector<FrameFeature*> features_;
};
