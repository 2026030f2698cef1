#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "win/UniqueHandle.h"

// The layout of a toolbar resource (type RES_TYPE_TOOLBAR): the image size and one command id per item,
// 0 for a separator.
struct ToolbarLayout {
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<WORD> items;
};

// Reads a toolbar resource: 16-bit words version (1), image width, image height, item count,
// then the items. Nothing when the block is too short for what it announces or has another
// version.
std::optional<ToolbarLayout> ParseToolbarResource(const void* data, size_t size);
// Finds and parses toolbar resource `id` of `instance`; nothing when it is missing or malformed.
std::optional<ToolbarLayout> LoadToolbarLayout(HINSTANCE instance, UINT id);

// The header of a 32-bit top-down bitmap of `width` × `height` pixels, the layout the images
// are cut from.
BITMAPINFO TopDown32BitInfo(int width, int height);

// Where an image of `size` goes in the room `slot` a menu gives it: centred vertically, and
// horizontally when the room is about one image wide; at its left edge when the room is wider
// (some systems hand over more of the item than the image's own column).
POINT MenuImageOrigin(const RECT& slot, SIZE size);

// Images for menu items, cut from the toolbar bitmap with light grey (192, 192, 192) as the
// see-through colour, keyed by the buttons' command ids.
//
// The items get HBMMENU_CALLBACK rather than bitmaps of their own: menus paint the background
// of a bitmap with alpha only for the highlighted item on some systems (black elsewhere), while
// an image drawn by its owner with a mask shows the item's own background in every state. The
// menu's owner window passes WM_MEASUREITEM and WM_DRAWITEM to Measure and Draw.
class MenuImages {
 public:
  static constexpr COLORREF kTransparentColour = RGB(192, 192, 192);

  // Loads the toolbar resource and the bitmap of the same id; false (and no images) when
  // either is missing or malformed.
  bool Load(HINSTANCE instance, UINT id);
  // The same with the images cut from bitmap `bitmapId` in pieces of `imageSize` (the same
  // pictures drawn for another scale).
  bool Load(HINSTANCE instance, UINT layoutId, UINT bitmapId, SIZE imageSize);
  // Cuts `strip` (images side by side in button order) into per-command images; `strip`
  // itself is left as it is.
  bool Build(const ToolbarLayout& layout, HBITMAP strip);

  bool Has(UINT commandId) const { return indices_.count(commandId) != 0; }
  size_t Count() const { return indices_.size(); }
  SIZE ImageSize() const { return size_; }

  // Marks every item of `menu` and its submenus whose command has an image as drawn by the
  // owner, and takes the mark off items whose command has none (any more). In a popup where
  // some items have images, the others get the mark too, with an empty image: menus lay the
  // shortcuts out from the items' own measures, and on some systems an item measured without an
  // image ends its text short of the picture column every item's text is drawn after, so the
  // longest name ran into its shortcut.
  void ApplyTo(HMENU menu);

  // WM_MEASUREITEM for a menu item with a mark of ours: the image size, with room on both sides
  // of a picture for a larger scale. False for anything else, which the owner handles as
  // before. The measure names no menu, so a wholly owner-drawn item with a command of ours
  // would be taken too; the frame's menus have none.
  bool Measure(MEASUREITEMSTRUCT& measure) const;
  // WM_DRAWITEM for the image of a marked menu item: draws it see-through, grayed for a grayed
  // item, or nothing for an item marked only to keep its text in line. False for anything else.
  bool Draw(const DRAWITEMSTRUCT& draw) const;
  // Draws the image of `commandId` with its top-left corner at `origin`.
  bool DrawImage(HDC dc, UINT commandId, POINT origin, bool grayed) const;

 private:
  UniqueImageList list_;
  SIZE size_{};
  std::map<UINT, int> indices_;
  // Commands of items marked without an image of their own.
  std::set<UINT> blanks_;
};
