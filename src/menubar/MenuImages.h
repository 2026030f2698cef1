#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <vector>

#include "win/UniqueHandle.h"

// The layout of a toolbar resource (type 241): the image size and one command id per item,
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

// One pixel of a 32-bit image for a menu: the key colour (0x00RRGGBB) becomes fully
// transparent, everything else opaque, premultiplied as menus expect.
DWORD MenuImagePixel(DWORD rgb, DWORD transparentRgb);

// Images for menu items, cut from the toolbar bitmap: one 32-bit premultiplied bitmap per
// toolbar button, keyed by the button's command id. Light grey (192, 192, 192) is transparent.
class MenuImages {
 public:
  static constexpr DWORD kTransparentRgb = 0xC0C0C0;

  // Loads the toolbar resource and the bitmap of the same id; false (and no images) when
  // either is missing or malformed.
  bool Load(HINSTANCE instance, UINT id);
  // Cuts `strip` (images side by side in button order) into per-command images.
  bool Build(const ToolbarLayout& layout, HBITMAP strip);

  HBITMAP ImageFor(UINT commandId) const;
  size_t Count() const { return images_.size(); }

  // Gives every item of `menu` and its submenus the image of its command, or none.
  void ApplyTo(HMENU menu) const;

 private:
  std::map<UINT, UniqueBitmap> images_;
};
