#pragma once

#include <windows.h>

#include "format/CodePageConverter.h"

// The code page the entries' names are read and written in. The game names its sounds in
// Windows-1251, but a system whose ANSI code page is another one decodes them as something else,
// so the user may choose. Every document of the process uses the one choice; the frame keeps it
// in the user's settings and sets it at start.
enum class NamesCodePage {
  System,       // the editing thread's ANSI code page (ProcessCodePageConverter)
  Windows1251,  // Cyrillic, the code page of the game's own files
};

NamesCodePage CurrentNamesCodePage();
void SetNamesCodePage(NamesCodePage choice);

// The converter of the current choice. A document reads and saves its names with it; the
// reference stays valid for the life of the process (a later choice hands out another one).
const CodePageConverter& NamesConverter();
const CodePageConverter& NamesConverterFor(NamesCodePage choice);

// The number of the code page in use ("code page 1252" for the user), CP_THREAD_ACP resolved.
UINT NamesCodePageNumber();
