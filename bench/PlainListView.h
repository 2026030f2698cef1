#pragma once

#include <windows.h>

// What the entry-command benchmark needs to know of its plain list-view program.
inline constexpr const wchar_t* PlainListViewClassName = L"SonarwickPlainListView";

// wParam and lParam: the two rows whose texts change places.
inline constexpr UINT PlainSwapRowsMessage = WM_APP + 1;

// wParam: the row taken out; the rows below it are numbered again.
inline constexpr UINT PlainDeleteRowMessage = WM_APP + 2;
// wParam: the row whose copy goes in below it; the rows below are numbered again.
inline constexpr UINT PlainDuplicateRowMessage = WM_APP + 3;
