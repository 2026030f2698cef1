#pragma once

// The common controls header needs the platform header first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <vector>

#include "menubar/MenuImages.h"
#include "win/UniqueHandle.h"

// The frame's bars: the toolbar built from the toolbar layout resource and the rebar bands
// that hold the menu bar and the toolbar.

// Band ids: the first band added gets BAND_ID_FIRST, the next one more.
constexpr UINT BAND_ID_FIRST = 0xEB00;
// Width of the gap a zero id in the layout makes between buttons.
constexpr int kToolbarSeparatorWidth = 8;

// One button record per item, plus a leading separator when asked: buttons take the next
// image index (counting buttons only), enabled, plain style; separators are
// kToolbarSeparatorWidth wide.
std::vector<TBBUTTON> MakeToolbarButtons(const std::vector<WORD>& ids, bool leadingSeparator);

// Image and button sizes for images of the layout's size on a toolbar whose font is
// `fontHeight` pixels high: room for the taller of the two, and 7 pixels around it.
struct ToolbarSizes {
  SIZE bitmap;
  SIZE button;
};
ToolbarSizes ComputeToolbarSizes(int imageWidth, int imageHeight, int fontHeight);

// A toolbar made from layout and bitmap `resourceId`, with the image list it shows when the
// bitmap has more than 16 colours (none otherwise: the toolbar keeps a 16-colour bitmap itself).
struct ResourceToolbar {
  HWND window = nullptr;
  UniqueImageList images;
};
ResourceToolbar CreateResourceToolbar(HWND parent, HINSTANCE instance, UINT resourceId, DWORD style,
                                      UINT controlId, bool leadingSeparator);

// What a rebar band needs to know about the extent of the bar it holds.
struct BandExtent {
  int width = 0;
  int minWidth = 0;
  int minHeight = 0;
};
// From the rectangles of the bar's first and last buttons: the band is as wide as the buttons
// reach, never narrower than the first one, and as high as the last.
BandExtent BandExtentFromButtons(const RECT& first, const RECT& last);
// A bar without buttons: its window's size, and no minimum width.
BandExtent BandExtentFromWindow(const RECT& window);
// Band style: a child edge, a chevron when the bar has buttons to hide, a new row when asked.
UINT BandStyle(int buttonCount, bool newRow);

// Appends a band holding `bar` to `rebar`, with the next band id; the bar then hides the
// buttons the band cuts off (the chevron lists them). False when the rebar refused the band.
bool AddBarBand(HWND rebar, HWND bar, bool newRow);

// ---- display scale ----

// The toolbar pictures drawn for one image size: a bitmap strip and the size of its images.
struct ToolbarArt {
  UINT bitmapId = 0;
  SIZE imageSize{};
};
// Of the sizes drawn (16, 24 and 32 pixels wide), the one nearest 16 pixels at `dpi`; the
// smaller on a tie, since its art is the sharper.
ToolbarArt ToolbarArtForDpi(UINT dpi);
// Shows `art` on `toolbar` through an image list of its own and sizes the buttons for it.
bool ApplyToolbarArt(ResourceToolbar& toolbar, HINSTANCE instance, const ToolbarArt& art);
// Tells the rebar band holding `bar` the bar's new extent after its buttons changed size.
void UpdateBarBand(HWND rebar, HWND bar);
