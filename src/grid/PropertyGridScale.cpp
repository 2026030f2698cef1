#include "grid/PropertyGrid.h"

// The grid at the display scale of the monitor its window is on.

void PropertyGrid::SetFontDpi(UINT dpi) {
  if (!painter.SetDpi(dpi) || Handle() == nullptr) return;
  // The settings refresh makes the fonts and the row height and hands the open editor its font.
  OnSettingsChanged();
  PlaceEditor();
}
