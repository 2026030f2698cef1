#pragma once

#include <windows.h>

#include <vector>

#include "ambient/EntryList.h"
#include "format/EntryText.h"

// Entries on the clipboard: the editor's own registered format, which carries every byte of each
// record from one document to another, and tab-separated text (one line per entry) for other
// programs. A paste prefers the editor's own format and otherwise reads the text.

// False when the clipboard could not be opened or filled.
bool PutEntriesOnClipboard(HWND owner, const std::vector<DocumentEntry>& entries);

// True when the clipboard holds the editor's format or text, which may hold entries.
bool ClipboardMayHoldEntries();

struct ClipboardPaste {
  std::vector<DocumentEntry> entries;
  // Why nothing can be pasted, with the one-based line (and field) at fault.
  EntryTextError error = EntryTextError::None;
  int line = 0;
  int field = 0;
  // The clipboard could not be opened (another program holds it): its own reason, since the
  // clipboard may well hold entries. `error` is then NoEntries.
  bool busy = false;
};

// At most `room` entries; anything beyond refuses the whole paste.
ClipboardPaste TakeEntriesFromClipboard(HWND owner, int room);
