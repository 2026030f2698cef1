#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The status bar's panes: the main text, the panes right of it (the problems and the count of
// sounds not found, the volume scale, ...) and the sound folder last, each as wide as its text
// in the bar's own font at the scale the bar is shown at; an empty text takes no room. The
// main pane takes what the others leave. When the bar is too narrow for every text, the
// longest are shortened first, each with an ellipsis (the folder in its middle, keeping its
// drive and its own name), so that no text is ever cut off unmarked.
void LayoutStatusPanes(HWND statusBar, const std::wstring& main, const std::vector<std::wstring>& middle,
                       const std::wstring& folder);

// The widths given to panes that want `wanted` pixels in a bar `room` wide. When all fit, each
// gets what it wants and the first also what is left over. Otherwise the widest are narrowed
// to one common width, as wide as the room allows, and the rest keep theirs: the sum is then
// exactly `room` (or 0 for a room of none).
std::vector<int> FitPaneWidths(const std::vector<int>& wanted, int room);

// `text` shortened to the longest beginning that fits `room` pixels with an ellipsis after it,
// `measure` telling a text's width. The cut falls after a whole word where one is in the back
// half of what fits, so a sentence is not broken in a word when it need not be. The text as
// it is when it fits; an empty text where not even the ellipsis fits.
std::wstring EllipsizedText(const std::wstring& text, int room,
                            const std::function<int(const std::wstring&)>& measure);
