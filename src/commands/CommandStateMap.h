#pragma once

#include <windows.h>

#include <vector>

#include "win/Message.h"

// Kinds of elements that show a command; in a state word the same bits mark the kinds the
// entry must still be pushed to.
enum CommandElementKind : WORD {
  COMMAND_KIND_MENU_POPUP = 0x1,
  COMMAND_KIND_MENU_BAR = 0x2,
  COMMAND_KIND_CHILD_WINDOW = 0x4,
  COMMAND_KIND_TOOLBAR = 0x8,
  COMMAND_KIND_STATUS_PANE = 0x10,
};

enum CommandStateBits : WORD {
  COMMAND_STATE_DISABLED = 0x100,
  COMMAND_STATE_CHECKED = 0x200,
  COMMAND_STATE_INDETERMINATE = 0x400,
  COMMAND_STATE_RADIO = 0x800,
  COMMAND_STATE_DEFAULT = 0x1000,
  COMMAND_STATE_TEXT = 0x2000,
  COMMAND_STATE_CLEAR_DEFAULT = 0x4000,
};

struct CommandStateEntry {
  WORD id;
  WORD kinds;
};

// The frame's table of enabled and checked states of the commands it shows in popup menus
// and on its toolbar. Changes are collected and pushed to the elements only on the next
// idle pass, and only the entries that changed.
class CommandStateMap {
 public:
  CommandStateMap();

  void RegisterElement(HWND window, WORD kind);
  void EnableCommand(UINT id, bool on);
  // 0 unchecked, 1 checked, 2 indeterminate.
  void SetCommandCheck(UINT id, int state);
  void PushToToolbars();
  void PushToMenuBars();

  // Called from the frame's dispatch: WM_INITMENUPOPUP updates the popup's items and goes
  // on; WM_COMMAND from an accelerator for a disabled command is swallowed while blocking is
  // on. True when the message is consumed.
  bool HandleMessage(Message& m);
  void SetAcceleratorBlocking(bool on) { blockDisabledAccelerators_ = on; }

  // The state word of `id` (0 for ids not in the table) and the kinds with pending changes.
  WORD State(UINT id) const;
  WORD DirtyKinds() const { return dirtyKinds_; }

 private:
  struct Element {
    HWND window;
    WORD kind;
  };

  int Find(UINT id) const;
  void MarkChanged(int index, bool changed);
  void UpdatePopup(HMENU popup) const;
  bool BlocksAccelerator(const Message& m) const;

  std::vector<WORD> states_;
  WORD dirtyKinds_ = 0;
  std::vector<Element> elements_;
  bool blockDisabledAccelerators_ = false;
};
