#pragma once

#include <windows.h>

#include <vector>

// Rewrites the numbered list of pages at the end of `menu`: everything from the first
// window-list entry on is removed, then (when there are pages) a separator unless one is
// already there and one entry per page up to `maxEntries`, the active page's entry carrying
// the radio mark. With no pages the separator in front of the list goes as well. With more
// pages than `maxEntries` and a `moreLabel`, a last item CMD_WINDOW_LIST_MORE reaches the rest.
void RebuildWindowList(HMENU menu, const std::vector<const wchar_t*>& titles, int activePage, int maxEntries,
                       const wchar_t* moreLabel = nullptr);
