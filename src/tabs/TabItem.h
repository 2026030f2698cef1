#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>

#include "tabs/TabPage.h"

// A tab item as the strip stores it once it keeps a TabPage in place of the single
// parameter value: the item header followed directly by the record.
struct TabItem {
  TCITEMHEADERW header;
  TabPage page;
};
static_assert(offsetof(TabItem, page) == offsetof(TCITEMW, lParam),
              "the record must sit where the strip expects the item data");
