#pragma once

// Index arithmetic of the tab container's page list. Indexes are 0-based; -1 means no page.

// The page Ctrl+Tab (forward) or Ctrl+Shift+Tab (backwards) switches to, wrapping at both ends.
int NextPageIndex(int activePage, int count, bool backwards);

// Where the page at `index` stands after a new page was inserted at `inserted`.
int IndexAfterInsert(int index, int inserted);

// The page that becomes active after page `removed` is gone, given the page that was active
// and the number of pages left: the left neighbour of a removed active page (or the new first
// page), otherwise the same page at its new index.
int ActiveAfterRemoval(int removed, int activePage, int remaining);

// Moving a page from `from` to `to` is done by inserting a copy and deleting the original:
// the copy goes in at MoveInsertIndex, then the original is deleted at MoveDeleteIndex.
int MoveInsertIndex(int from, int to);
int MoveDeleteIndex(int from, int to);

// Where the page at `index` stands after the page at `from` was moved to `to`.
int IndexAfterMove(int index, int from, int to);
