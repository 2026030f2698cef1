#include "commands/TextBoxKeys.h"

#include "resources/ResourceIds.h"

namespace {

constexpr BYTE kModifierMask = FSHIFT | FCONTROL | FALT;

bool IsDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

BYTE ModifierFlags(bool shift, bool control, bool alt) {
  BYTE flags = 0;
  if (shift) flags |= FSHIFT;
  if (control) flags |= FCONTROL;
  if (alt) flags |= FALT;
  return flags;
}

int FindAcceleratorCommand(const std::vector<ACCEL>& table, WORD key, BYTE modifiers) {
  for (const ACCEL& entry : table) {
    if ((entry.fVirt & FVIRTKEY) == 0 || entry.key != key) continue;
    if ((entry.fVirt & kModifierMask) == (modifiers & kModifierMask)) return entry.cmd;
  }
  return -1;
}

bool IsTextEditingCommand(int command) {
  switch (command) {
    case CMD_EDIT_UNDO:
    case CMD_EDIT_CUT:
    case CMD_EDIT_COPY:
    case CMD_EDIT_PASTE:
      return true;
    default:
      return false;
  }
}

bool IsEntryEditingCommand(int command) {
  switch (command) {
    case CMD_EDIT_REDO:
    case CMD_ENTRY_INSERT:
    case CMD_ENTRY_DUPLICATE:
    case CMD_ENTRY_DELETE:
    case CMD_ENTRY_MOVE_UP:
    case CMD_ENTRY_MOVE_DOWN:
      return true;
    default:
      return false;
  }
}

bool IsTextBox(HWND window) {
  return window != nullptr && (SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0;
}

int KeyCommand(const std::vector<ACCEL>& table, const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return -1;
  const BYTE modifiers = ModifierFlags(IsDown(VK_SHIFT), IsDown(VK_CONTROL), IsDown(VK_MENU));
  return FindAcceleratorCommand(table, static_cast<WORD>(msg.wParam), modifiers);
}

bool LeavesKeyToTextBox(const std::vector<ACCEL>& table, const MSG& msg) {
  return IsTextEditingCommand(KeyCommand(table, msg)) && IsTextBox(GetFocus());
}

bool LeavesKeyToCellEditor(const std::vector<ACCEL>& table, const MSG& msg) {
  const int command = KeyCommand(table, msg);
  return IsTextEditingCommand(command) || IsEntryEditingCommand(command);
}
