#pragma once

#include <windows.h>

// What the entry-command benchmark needs to know of its plain list-view program.
inline constexpr const wchar_t* PlainListViewClassName = L"SonarwickPlainListView";

// wParam and lParam: the two rows whose texts change places.
inline constexpr UINT PlainSwapRowsMessage = WM_APP + 1;
