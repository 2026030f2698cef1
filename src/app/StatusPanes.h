#pragma once

#include <windows.h>

#include <string>

// The status bar's main pane and the two panes right of it (the count of sounds not found,
// then the sound folder), each as wide as its text in the bar's own font at whatever scale it
// is shown. The main pane keeps at least a quarter of the bar: a folder too long for the rest
// is shown shortened in its middle, keeping its drive and its own name.
void LayoutStatusPanes(HWND statusBar, const std::wstring& count, const std::wstring& folder);
