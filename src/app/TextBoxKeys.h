#pragma once

#include <windows.h>

#include <vector>

// The clipboard and undo keys belong to the text box that has the focus: the frame's
// accelerator table maps them to its own (unhandled, always disabled) edit commands, and
// translating them there would take copy and paste away from the in-place text editor.

// Shift, control and alt as an accelerator entry's flags (FSHIFT, FCONTROL, FALT).
BYTE ModifierFlags(bool shift, bool control, bool alt);

// The command of the virtual-key entry of `table` that `key` with exactly `modifiers` (the
// flags above) triggers, or -1 when no entry matches.
int FindAcceleratorCommand(const std::vector<ACCEL>& table, WORD key, BYTE modifiers);

// Undo, cut, copy and paste.
bool IsTextEditingCommand(int command);

// True for an edit control and anything built on one: it asks for its selection to be set.
bool IsTextBox(HWND window);

// True when `msg` is a key press that `table` would turn into a text-editing command while
// a text box has the focus; the frame then leaves the key to the text box.
bool LeavesKeyToTextBox(const std::vector<ACCEL>& table, const MSG& msg);
