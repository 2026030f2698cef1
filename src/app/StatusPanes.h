#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The status bar's main pane, the panes right of it (the volume scale, the count of sounds not
// found, ...) and the sound folder last, each as wide as its text in the bar's own font at
// whatever scale it is shown; an empty text takes no room. The main pane keeps at least a
// quarter of the bar; the panes after the first narrow for the folder, and a folder too long for
// the rest is shown shortened in its middle, keeping its drive and its own name.
void LayoutStatusPanes(HWND statusBar, const std::vector<std::wstring>& middle, const std::wstring& folder);
