#pragma once

#include <windows.h>

#include "commands/FrameFeature.h"
#include "commands/FrameServices.h"
#include "resources/ResourceIds.h"

// The edit commands on the active document: undo and redo, the clipboard and the commands on
// whole entries, and the document's context menu. While a text box (a cell's text editor) has
// the focus, undo and the clipboard commands work on its text instead.
class EntryFeature : public FrameFeature {
 public:
  static constexpr UINT kCommands[] = {CMD_EDIT_UNDO,    CMD_EDIT_REDO,       CMD_EDIT_CUT,
                                       CMD_EDIT_COPY,    CMD_EDIT_PASTE,      CMD_ENTRY_INSERT,
                                       CMD_ENTRY_DUPLICATE, CMD_ENTRY_DELETE, CMD_ENTRY_MOVE_UP,
                                       CMD_ENTRY_MOVE_DOWN};

  // `menuBar`: the frame's menu bar (null without one), whose Edit popup is the context menu.
  EntryFeature(FrameServices& frame, HWND menuBar, HMENU menu) : frame_(frame), menuBar_(menuBar), menu_(menu) {}

  bool OnCommand(UINT id) override;
  void UpdateStates(CommandStateMap& states) override;
  // WM_CONTEXTMENU on a document.
  bool HandleMessage(Message& m) override;

 private:
  bool RouteToTextBox(UINT id);
  void Copy();
  void Cut();
  void Paste();
  bool OnContextMenu(HWND window, LPARAM position);

  FrameServices& frame_;
  HWND menuBar_;
  HMENU menu_;
  // The states the context menu shows are brought up to date when it opens.
  CommandStateMap* states_ = nullptr;
};
