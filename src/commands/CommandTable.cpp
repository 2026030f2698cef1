#include "commands/CommandTable.h"

#include <algorithm>

void CommandTable::Add(UINT first, UINT last, FrameFeature& feature) {
  if (last < first) return;
  ranges_.push_back({first, last, &feature});
  if (std::find(features_.begin(), features_.end(), &feature) == features_.end()) features_.push_back(&feature);
}

FrameFeature* CommandTable::Find(UINT id) const {
  for (const Range& range : ranges_) {
    if (id >= range.first && id <= range.last) return range.feature;
  }
  return nullptr;
}

bool CommandTable::Route(UINT id) const {
  FrameFeature* feature = Find(id);
  return feature != nullptr && feature->OnCommand(id);
}

void CommandTable::UpdateStates(CommandStateMap& states) const {
  for (FrameFeature* feature : features_) feature->UpdateStates(states);
}
