#pragma once

#include <windows.h>

// TTN_GETDISPINFOW and TTN_GETDISPINFOA from a toolbar's tooltip: the tool's text is the
// short name in the string of the button's command id (the part after the line feed), at most
// 79 characters. A tool without an id, a window tool or a string without a short name shows
// no text; a tool whose string exists is told to keep the text. False for other
// notifications; the frame answers 0 when it is true.
bool SupplyToolTipText(NMHDR* header);
