#pragma once

#include <windows.h>

// The property grid's private messages, notifications, flags and paint record, shared by the
// grid, its items, its in-place editors and the document view.

class PropertyItem;

// Messages sent to the grid window.
constexpr UINT GRIDM_COMMITEDIT = WM_USER + 430;    // wParam 0, lParam editor window
constexpr UINT GRIDM_CANCELEDIT = WM_USER + 431;    // wParam 0, lParam editor window
constexpr UINT GRIDM_SETITEMVALUE = WM_USER + 432;  // wParam VARIANT* new value, lParam PropertyItem*
constexpr UINT GRIDM_NAVIGATE = WM_USER + 435;      // wParam virtual key, lParam 0
// The editor's coming commit (Ctrl+Enter) is meant for every selected row; lParam editor window.
constexpr UINT GRIDM_FILLSELECTION = WM_USER + 436;
static_assert(GRIDM_COMMITEDIT == 1454 && GRIDM_NAVIGATE == 1459);
// The open editor's button was clicked (posted, so that whatever it starts runs on a clean
// stack); lParam editor window.
constexpr UINT GRIDM_EDITORBUTTON = WM_USER + 437;
// Posted by the grid to itself when it refused an editor's value: the editor, which gave the
// focus away to end the edit, takes it back; lParam editor window.
constexpr UINT GRIDM_REFOCUSEDITOR = WM_USER + 438;

// The lParam of GRIDM_COMMITEDIT and GRIDM_CANCELEDIT: the editor that asks.
inline LPARAM AsLParam(HWND editor) { return reinterpret_cast<LPARAM>(editor); }

// Notification codes (WM_NOTIFY with a GridNotify record) sent to the grid's parent.
constexpr int GRIDN_SELCHANGED = -3001;    // item of the new selected cell, or null
constexpr int GRIDN_ITEMCHANGING = -3002;  // nonzero answer vetoes
constexpr int GRIDN_ITEMCHANGED = -3003;
constexpr int GRIDN_CLICK = -3007;   // nonzero answer: the grid does nothing more
constexpr int GRIDN_ADDROW = -3009;  // sent by the append-row item; item is null
// The item refused the text typed into its editor, which stays open; the parent says why.
constexpr int GRIDN_VALUEREFUSED = -3010;
// The button of the open editor was clicked; item is the edited cell's.
constexpr int GRIDN_EDITORBUTTON = -3011;

struct GridNotify {
  NMHDR hdr;
  PropertyItem* item;  // may be null
};

// Extended flags (`exFlags` of the paint template).
constexpr DWORD GRID_EX_SINGLECLICKEDIT = 0x01;
constexpr DWORD GRID_EX_NOGRIDLINES = 0x02;
constexpr DWORD GRID_EX_TABCELLS = 0x04;
constexpr DWORD GRID_EX_NONAVIGATE = 0x08;
constexpr DWORD GRID_EX_ROWHIGHLIGHT = 0x10;
constexpr DWORD GRID_EX_CELLHIGHLIGHT = 0x20;
constexpr DWORD GRID_EX_APPENDROW = 0x40;
// Column 0 of every data row shows the row's zero-based number, whatever its item holds, so
// that rows going in, out or moving renumber nothing.
constexpr DWORD GRID_EX_ROWNUMBERS = 0x80;

// Cell state bits of GridDrawInfo::state.
constexpr UINT GRID_STATE_SELECTED = 0x1;
constexpr UINT GRID_STATE_DISABLED = 0x4;
constexpr UINT GRID_STATE_EDITING = 0x1000;

// The paint template the grid keeps and copies for every cell it paints.
struct GridDrawInfo {
  HDC hdc;
  RECT rect;
  UINT state;
  HFONT font;
  HFONT boldFont;
  HPEN pen;
  COLORREF clrText;
  COLORREF clrBack;
  COLORREF clrSelText;
  COLORREF clrSelBack;
  COLORREF clrLine;
  COLORREF clrDisabledText;
  COLORREF clrDisabledBack;
  TEXTMETRICW tm;
  UINT exFlags;
};
