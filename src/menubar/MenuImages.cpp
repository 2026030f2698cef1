#include "menubar/MenuImages.h"

// The common controls need the base types first.
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "resources/ResourceIds.h"
#include "win/DeviceContext.h"

namespace {

WORD WordAt(const BYTE* data, size_t index) {
  WORD value;
  std::memcpy(&value, data + index * sizeof(WORD), sizeof(WORD));
  return value;
}

// `strip` in a bitmap of our own: adding it to an image list with a mask colour blackens the
// masked pixels of the source, which belongs to the caller.
UniqueBitmap CopyOf(HBITMAP strip, int width, int height) {
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = nullptr;
  UniqueBitmap copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!copy) return copy;
  WindowDcScope screen(nullptr);
  if (GetDIBits(screen.dc(), strip, 0, static_cast<UINT>(height), bits, &info, DIB_RGB_COLORS) != height) {
    copy.reset();
  }
  return copy;
}

}  // namespace

BITMAPINFO TopDown32BitInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

std::optional<ToolbarLayout> ParseToolbarResource(const void* data, size_t size) {
  constexpr size_t kHeaderWords = 4;
  if (data == nullptr || size < kHeaderWords * sizeof(WORD)) return std::nullopt;
  auto* bytes = static_cast<const BYTE*>(data);
  if (WordAt(bytes, 0) != 1) return std::nullopt;
  ToolbarLayout layout;
  layout.imageWidth = WordAt(bytes, 1);
  layout.imageHeight = WordAt(bytes, 2);
  size_t count = WordAt(bytes, 3);
  if (layout.imageWidth == 0 || layout.imageHeight == 0) return std::nullopt;
  if (size < (kHeaderWords + count) * sizeof(WORD)) return std::nullopt;
  for (size_t i = 0; i < count; ++i) layout.items.push_back(WordAt(bytes, kHeaderWords + i));
  return layout;
}

POINT MenuImageOrigin(const RECT& slot, SIZE size) {
  LONG width = slot.right - slot.left, height = slot.bottom - slot.top;
  LONG x = width < 2 * size.cx ? std::max(0L, (width - size.cx) / 2) : 0;
  return POINT{slot.left + x, slot.top + std::max(0L, (height - size.cy) / 2)};
}

std::optional<ToolbarLayout> LoadToolbarLayout(HINSTANCE instance, UINT id) {
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(RES_TYPE_TOOLBAR));
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return ParseToolbarResource(data, data ? SizeofResource(instance, resource) : 0);
}

bool MenuImages::Load(HINSTANCE instance, UINT id) {
  *this = MenuImages();
  auto layout = LoadToolbarLayout(instance, id);
  if (!layout) return false;
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return strip && Build(*layout, strip.get());
}

bool MenuImages::Load(HINSTANCE instance, UINT layoutId, UINT bitmapId, SIZE imageSize) {
  *this = MenuImages();
  auto layout = LoadToolbarLayout(instance, layoutId);
  if (!layout || imageSize.cx <= 0 || imageSize.cy <= 0) return false;
  layout->imageWidth = imageSize.cx;
  layout->imageHeight = imageSize.cy;
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return strip && Build(*layout, strip.get());
}

bool MenuImages::Build(const ToolbarLayout& layout, HBITMAP strip) {
  *this = MenuImages();
  BITMAP info{};
  if (strip == nullptr || GetObjectW(strip, sizeof(info), &info) == 0) return false;
  if (info.bmHeight < layout.imageHeight || info.bmWidth < layout.imageWidth) return false;
  // The image list takes the top rows of a taller strip.
  UniqueBitmap rows = CopyOf(strip, info.bmWidth, info.bmHeight);
  UniqueImageList list(ImageList_Create(layout.imageWidth, layout.imageHeight, ILC_COLOR24 | ILC_MASK,
                                        info.bmWidth / layout.imageWidth, 0));
  if (!rows || !list || ImageList_AddMasked(list.get(), rows.get(), kTransparentColour) < 0) return false;
  int available = ImageList_GetImageCount(list.get());
  int imageIndex = 0;
  for (WORD command : layout.items) {
    if (command == 0) continue;
    if (imageIndex >= available) break;
    indices_[command] = imageIndex++;
  }
  if (indices_.empty()) return false;
  list_ = std::move(list);
  size_ = SIZE{layout.imageWidth, layout.imageHeight};
  return true;
}

void MenuImages::ApplyTo(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  bool anyImage = false;
  for (int position = 0; position < count && !anyImage; ++position) {
    const UINT id = GetMenuItemID(menu, position);
    anyImage = id != static_cast<UINT>(-1) && Has(id);
  }
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item)) continue;
    if (item.hSubMenu != nullptr) {
      ApplyTo(item.hSubMenu);
      continue;
    }
    if (item.fType & MFT_SEPARATOR) continue;
    // Bitmaps that others gave an item stay; only our own mark comes and goes.
    const bool othersBitmap = item.hbmpItem != nullptr && item.hbmpItem != HBMMENU_CALLBACK;
    if (othersBitmap && !Has(item.wID)) continue;
    const bool marked = Has(item.wID) || anyImage;
    if (marked && !Has(item.wID)) blanks_.insert(item.wID);
    HBITMAP wanted = marked ? HBMMENU_CALLBACK : nullptr;
    if (wanted == item.hbmpItem || (wanted == nullptr && item.hbmpItem != HBMMENU_CALLBACK)) continue;
    MENUITEMINFOW change{};
    change.cbSize = sizeof(change);
    change.fMask = MIIM_BITMAP;
    change.hbmpItem = wanted;
    SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &change);
  }
}

bool MenuImages::Measure(MEASUREITEMSTRUCT& measure) const {
  if (measure.CtlType != ODT_MENU || (!Has(measure.itemID) && blanks_.count(measure.itemID) == 0))
    return false;
  // The pictures of the larger scales fill their cells, where the 16-pixel art keeps a margin
  // of its own: they get an eighth of their width on each side, which keeps them off the text.
  const LONG room = size_.cx >= 24 ? size_.cx / 8 : 0;
  measure.itemWidth = static_cast<UINT>(size_.cx + 2 * room);
  measure.itemHeight = static_cast<UINT>(size_.cy);
  return true;
}

bool MenuImages::Draw(const DRAWITEMSTRUCT& draw) const {
  const bool blank = !Has(draw.itemID) && blanks_.count(draw.itemID) != 0;
  if (draw.CtlType != ODT_MENU || (!Has(draw.itemID) && !blank)) return false;
  // Only the image of an item we marked; an item drawn wholly by its owner is not ours.
  auto menu = reinterpret_cast<HMENU>(draw.hwndItem);
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_BITMAP;
  if (!IsMenu(menu) || !GetMenuItemInfoW(menu, draw.itemID, FALSE, &item) ||
      item.hbmpItem != HBMMENU_CALLBACK)
    return false;
  if (blank) return true;
  bool grayed = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  return DrawImage(draw.hDC, draw.itemID, MenuImageOrigin(draw.rcItem, size_), grayed);
}

bool MenuImages::DrawImage(HDC dc, UINT commandId, POINT origin, bool grayed) const {
  auto found = indices_.find(commandId);
  if (found == indices_.end()) return false;
  if (!grayed) return ImageList_Draw(list_.get(), found->second, dc, origin.x, origin.y, ILD_TRANSPARENT);
  // Grayed as the system grays pictures: embossed in the 3D colours, the mask still see-through.
  UniqueIcon icon(ImageList_GetIcon(list_.get(), found->second, ILD_TRANSPARENT));
  return icon && DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, origin.x, origin.y,
                            size_.cx, size_.cy, DST_ICON | DSS_DISABLED);
}
