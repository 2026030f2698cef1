#pragma once

#include <windows.h>

#include "win/UniqueHandle.h"

// The display scale a window is shown at. The per-monitor functions came with Windows 10 and
// are looked up at run time, so the program still starts on Windows 7, where every window
// has the system's scale.

constexpr UINT kBaseDpi = 96;

// `value` given at 96 DPI, at `dpi`.
inline int ScaleForDpi(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kBaseDpi); }

// The system's scale: what fonts and metrics without a DPI of their own are made for.
UINT SystemDpi();
// The scale of the monitor `window` is on (the system's where it cannot be told).
UINT WindowDpi(HWND window);
// The non-client metrics (menu, status and message fonts among them) at `dpi`.
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, UINT dpi);
int SystemMetricForDpi(int index, UINT dpi);

// A copy of `base` (a font made for the system's scale) sized for `dpi`; empty when `dpi` is
// the system's, where `base` itself serves.
UniqueFont FontForDpi(HFONT base, UINT dpi);
