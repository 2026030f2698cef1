#pragma once

#include <windows.h>

#include "commands/FrameFeature.h"
#include "commands/FrameServices.h"
#include "findreplace/FindReplaceDialog.h"
#include "resources/ResourceIds.h"

// Find and replace in the names of the active document's entries, through the system's Find
// and Replace dialogs: Edit > Find, Find Next and Replace, and the dialogs' buttons.
class FindReplaceFeature : public FrameFeature {
 public:
  static constexpr UINT kCommands[] = {CMD_EDIT_FIND, CMD_EDIT_REPLACE, CMD_EDIT_FIND_NEXT};

  explicit FindReplaceFeature(FrameServices& frame) : frame_(frame) {}
  ~FindReplaceFeature() override;
  FindReplaceFeature(const FindReplaceFeature&) = delete;
  FindReplaceFeature& operator=(const FindReplaceFeature&) = delete;

  bool OnCommand(UINT id) override;
  void UpdateStates(CommandStateMap& states) override;
  bool HandleMessage(Message& m) override;
  void OnFrameDestroying() override { dialog_.Close(); }

 private:
  void OnFindMessage(LPARAM lParam);
  void FindNextName(bool down);
  void ReplaceSelectedName();
  void ReplaceAllNames();
  HACCEL FindKeys();

  FrameServices& frame_;
  FindReplaceDialog dialog_;
  HACCEL findKeys_ = nullptr;
};
