#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ambience/AmbienceChoice.h"
#include "format/AmbientFile.h"

// What an export writes: a snapshot of the document, so that edits made while it renders do
// not reach the file half-way.
struct AmbienceExportSource {
  std::vector<AmbientEntryValues> entries;
  // Who each entry is (DocumentEntry::identity), so that the live preview keeps each entry's
  // timing wherever it moves; empty where nothing moves (an export).
  std::vector<std::uint64_t> identities;
  std::wstring soundFolder;
  // The document's file; its folder and name suggest where the sound goes. Empty for a new one.
  std::wstring documentPath;
  AmbienceChoice choice;
};

// File > Export Ambience: asks where in the system's Save dialog, renders the chosen time of day
// over the timeline's span with a progress dialog and Cancel, and writes the WAV file whole or
// not at all. It never writes over a file in `openDocuments` (the files of the open lists), and
// asks first when no entry plays at the time, as the file would be silence. A failure is told
// in a message box owned by `owner`. Gives the status bar's text for what happened, a cancel
// included.
std::wstring ExportAmbience(HWND owner, const AmbienceExportSource& source,
                            const std::vector<std::wstring>& openDocuments);

// Everything of the document the ambience is made from, as text: the entries' values, who they
// are and the sound folder. A different key is a different list to hear or draw.
std::wstring AmbienceEntriesKey(const AmbienceExportSource& source);

// The file name the Save dialog suggests: the list's name and the time of day, in the folder of
// the list ("forest - night.wav").
std::wstring SuggestedExportName(const std::wstring& documentPath, const std::wstring& timeName);
