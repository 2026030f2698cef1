#pragma once

#include <windows.h>

#include <vector>

// The clipboard and undo keys belong to the text box that has the focus: the frame's
// accelerator table maps them to its own entry-level edit commands, and translating them there
// would take copy and paste away from the in-place text editor. While a cell editor is open the
// entry commands' keys (Insert, Alt+Up, ...) are its own as well.

// Shift, control and alt as an accelerator entry's flags (FSHIFT, FCONTROL, FALT).
BYTE ModifierFlags(bool shift, bool control, bool alt);

// The command of the virtual-key entry of `table` that `key` with exactly `modifiers` (the
// flags above) triggers, or -1 when no entry matches.
int FindAcceleratorCommand(const std::vector<ACCEL>& table, WORD key, BYTE modifiers);

// Undo, cut, copy and paste.
bool IsTextEditingCommand(int command);

// Redo and the commands on whole entries (insert, duplicate, delete, move).
bool IsEntryEditingCommand(int command);

// True for an edit control and anything built on one: it asks for its selection to be set.
bool IsTextBox(HWND window);

// The command of `table` that the key press `msg` triggers with the modifiers now down, or -1.
int KeyCommand(const std::vector<ACCEL>& table, const MSG& msg);

// True when `msg` is a key press that `table` would turn into a text-editing command while
// a text box has the focus; the frame then leaves the key to the text box.
bool LeavesKeyToTextBox(const std::vector<ACCEL>& table, const MSG& msg);

// True when `msg` is a key press that `table` would turn into an edit or entry command; the
// frame asks only while a cell editor is open, and then leaves such keys to the editor.
bool LeavesKeyToCellEditor(const std::vector<ACCEL>& table, const MSG& msg);
