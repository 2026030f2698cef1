#pragma once

// Command ids of the numbered window list in the "&Window" popup: entry k carries
// CMD_WINDOW_PAGE_FIRST + k. Plain preprocessor definitions, because the resource scripts
// read this header too (through the application's resource header).
#define CMD_WINDOW_PAGE_FIRST 0xFF00
#define CMD_WINDOW_PAGE_LAST 0xFFFD
// The first id past the list's range; an entry from FIRST up to this one marks where a list
// built earlier begins.
#define CMD_WINDOW_LIST_END 0xFFFE
// The last item of a list too long to show whole: it opens the list of all windows. It counts
// as part of the list, so a rebuild takes it away with the entries.
#define CMD_WINDOW_LIST_MORE CMD_WINDOW_LIST_END
