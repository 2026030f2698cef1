#pragma once

#include <windows.h>

class Settings;

// Where the frame was when the user last closed it: kept in the settings as the system's
// placement record and given back at the next start.

// `window` moved (and, when larger, shrunk) so that it lies wholly inside `area`; a window
// already inside comes back unchanged.
RECT FitIntoArea(const RECT& window, const RECT& area);

// Stores the placement of `frame` (normal position, maximised or not).
void SavePlacement(Settings& settings, HWND frame);

// Shows `frame` where it was last closed, maximised if it was; a position on a monitor that
// is no longer there is moved onto the nearest one's work area. A minimised frame comes back
// in its normal position. `showCommand` is what the program was started with: a start asked
// to be minimised or hidden is obeyed. False (nothing shown) when nothing usable was stored.
bool RestorePlacement(const Settings& settings, HWND frame, int showCommand);
