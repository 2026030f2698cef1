#include "menubar/MenuImages.h"

#include <cstring>

#include "win/DeviceContext.h"

namespace {

constexpr WORD kToolbarResourceType = 241;

WORD WordAt(const BYTE* data, size_t index) {
  WORD value;
  std::memcpy(&value, data + index * sizeof(WORD), sizeof(WORD));
  return value;
}

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

// The pixels of `bitmap` as 32-bit 0x00RRGGBB values, top row first.
std::vector<DWORD> ReadPixels(HBITMAP bitmap, int width, int height) {
  std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  BITMAPINFO info = TopDown32BitInfo(width, height);
  WindowDcScope screen(nullptr);
  if (GetDIBits(screen.dc(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) !=
      height) {
    pixels.clear();
  }
  return pixels;
}

UniqueBitmap CutImage(const std::vector<DWORD>& strip, int stripWidth, int imageIndex, int width,
                      int height) {
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = nullptr;
  UniqueBitmap image(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!image) return image;
  auto* target = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      DWORD source = strip[static_cast<size_t>(y) * static_cast<size_t>(stripWidth) +
                           static_cast<size_t>(imageIndex * width + x)];
      target[y * width + x] = MenuImagePixel(source & 0xFFFFFF, MenuImages::kTransparentRgb);
    }
  }
  return image;
}

}  // namespace

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

DWORD MenuImagePixel(DWORD rgb, DWORD transparentRgb) { return rgb == transparentRgb ? 0 : 0xFF000000 | rgb; }

bool MenuImages::Load(HINSTANCE instance, UINT id) {
  images_.clear();
  HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
  HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  auto layout = ParseToolbarResource(data, data ? SizeofResource(instance, resource) : 0);
  if (!layout) return false;
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return strip && Build(*layout, strip.get());
}

bool MenuImages::Build(const ToolbarLayout& layout, HBITMAP strip) {
  images_.clear();
  BITMAP info{};
  if (strip == nullptr || GetObjectW(strip, sizeof(info), &info) == 0) return false;
  std::vector<DWORD> pixels = ReadPixels(strip, info.bmWidth, info.bmHeight);
  if (pixels.empty() || info.bmHeight < layout.imageHeight) return false;
  int imageIndex = 0;
  for (WORD command : layout.items) {
    if (command == 0) continue;
    if ((imageIndex + 1) * layout.imageWidth > info.bmWidth) break;
    UniqueBitmap image = CutImage(pixels, info.bmWidth, imageIndex++, layout.imageWidth, layout.imageHeight);
    if (image) images_[command] = std::move(image);
  }
  return !images_.empty();
}

HBITMAP MenuImages::ImageFor(UINT commandId) const {
  auto found = images_.find(commandId);
  return found == images_.end() ? nullptr : found->second.get();
}

void MenuImages::ApplyTo(HMENU menu) const {
  int count = GetMenuItemCount(menu);
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
    // An item keeps no image from an earlier set that has none for its command now.
    HBITMAP image = ImageFor(item.wID);
    if (image == item.hbmpItem) continue;
    MENUITEMINFOW change{};
    change.cbSize = sizeof(change);
    change.fMask = MIIM_BITMAP;
    change.hbmpItem = image;
    SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &change);
  }
}
