#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "menubar/MenuImages.h"

namespace {

std::vector<WORD> Words(std::initializer_list<WORD> words) { return std::vector<WORD>(words); }

size_t Bytes(const std::vector<WORD>& words) { return words.size() * sizeof(WORD); }

// A 32-bit strip of `count` images of 4×3 pixels: image i is filled with colour `colours[i]`
// except its top-left pixel, which is light grey.
UniqueBitmap MakeStrip(const std::vector<DWORD>& colours) {
  const int width = 4 * static_cast<int>(colours.size()), height = 3;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueBitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool corner = x % 4 == 0 && y == 0;
      pixels[y * width + x] = corner ? MenuImages::kTransparentRgb : colours[static_cast<size_t>(x / 4)];
    }
  }
  return strip;
}

std::vector<DWORD> PixelsOf(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof(info), &info);
  std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  const auto* bits = static_cast<const DWORD*>(info.bmBits);
  // Our images are top-down sections: the first row comes first.
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = bits[i];
  return pixels;
}

}  // namespace

TEST(ToolbarResource, ParsesTheHeaderAndItemsInOrder) {
  auto words = Words({1, 16, 15, 10, 0xE100, 0xE101, 0xE103, 0, 0xE123, 0xE122, 0xE125, 0, 0xE107, 0xE140});
  auto layout = ParseToolbarResource(words.data(), Bytes(words));
  ASSERT_TRUE(layout.has_value());
  EXPECT_EQ(layout->imageWidth, 16);
  EXPECT_EQ(layout->imageHeight, 15);
  ASSERT_EQ(layout->items.size(), 10u);
  EXPECT_EQ(layout->items[0], 0xE100);
  EXPECT_EQ(layout->items[3], 0);
  EXPECT_EQ(layout->items[9], 0xE140);
}

TEST(ToolbarResource, RefusesBlocksThatDoNotHoldWhatTheyAnnounce) {
  auto truncated = Words({1, 16, 15, 3, 0xE100, 0xE101});
  EXPECT_FALSE(ParseToolbarResource(truncated.data(), Bytes(truncated)).has_value());
  auto header = Words({1, 16, 15, 0});
  EXPECT_FALSE(ParseToolbarResource(header.data(), Bytes(header) - 1).has_value());
  auto otherVersion = Words({2, 16, 15, 1, 0xE100});
  EXPECT_FALSE(ParseToolbarResource(otherVersion.data(), Bytes(otherVersion)).has_value());
  auto noImage = Words({1, 0, 15, 1, 0xE100});
  EXPECT_FALSE(ParseToolbarResource(noImage.data(), Bytes(noImage)).has_value());
  EXPECT_FALSE(ParseToolbarResource(nullptr, 64).has_value());
  auto empty = Words({1, 16, 15, 0});
  EXPECT_TRUE(ParseToolbarResource(empty.data(), Bytes(empty)).has_value());
}

TEST(MenuImages, LightGreyBecomesTransparentAndTheRestOpaque) {
  EXPECT_EQ(MenuImagePixel(0xC0C0C0, MenuImages::kTransparentRgb), 0u);
  EXPECT_EQ(MenuImagePixel(0x000000, MenuImages::kTransparentRgb), 0xFF000000u);
  EXPECT_EQ(MenuImagePixel(0xFFFF00, MenuImages::kTransparentRgb), 0xFFFFFF00u);
  EXPECT_EQ(MenuImagePixel(0xC0C0C1, MenuImages::kTransparentRgb), 0xFFC0C0C1u);
}

TEST(MenuImages, CutsOneImagePerButtonSkippingSeparators) {
  long bitmapsBefore = LiveHandleCount(HandleKind::Bitmap);
  {
    UniqueBitmap strip = MakeStrip({0x0000FF, 0x00FF00, 0xFF0000});
    ToolbarLayout layout{4, 3, {0xE100, 0, 0xE101, 0xE140}};
    MenuImages images;
    ASSERT_TRUE(images.Build(layout, strip.get()));
    EXPECT_EQ(images.Count(), 3u);
    EXPECT_EQ(images.ImageFor(0), nullptr);
    EXPECT_EQ(images.ImageFor(0xE103), nullptr);

    // The separator takes no image: the third button gets the third image.
    std::vector<DWORD> about = PixelsOf(images.ImageFor(0xE140));
    ASSERT_EQ(about.size(), 12u);
    EXPECT_EQ(about[0], 0u);
    EXPECT_EQ(about[1], 0xFFFF0000u);
    EXPECT_EQ(about[11], 0xFFFF0000u);
    std::vector<DWORD> open = PixelsOf(images.ImageFor(0xE101));
    EXPECT_EQ(open[0], 0u);
    EXPECT_EQ(open[5], 0xFF00FF00u);

    BITMAP info{};
    GetObjectW(images.ImageFor(0xE100), sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 32);
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Bitmap), bitmapsBefore);
}

TEST(MenuImages, ButtonsBeyondTheStripGetNoImage) {
  UniqueBitmap strip = MakeStrip({0x0000FF});
  MenuImages images;
  ASSERT_TRUE(images.Build(ToolbarLayout{4, 3, {0xE100, 0xE101}}, strip.get()));
  EXPECT_NE(images.ImageFor(0xE100), nullptr);
  EXPECT_EQ(images.ImageFor(0xE101), nullptr);
  EXPECT_FALSE(images.Build(ToolbarLayout{4, 5, {0xE100}}, strip.get()));
  EXPECT_FALSE(images.Build(ToolbarLayout{4, 3, {0xE100}}, nullptr));
}

TEST(MenuImages, AppliesImagesToMatchingItemsInEverySubmenu) {
  UniqueBitmap strip = MakeStrip({0x0000FF, 0x00FF00});
  MenuImages images;
  ASSERT_TRUE(images.Build(ToolbarLayout{4, 3, {0xE100, 0xE140}}, strip.get()));
  UniqueMenu bar(CreateMenu());
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 0xE100, L"&New");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 0xE141, L"E&xit");
  HMENU help = CreatePopupMenu();
  HMENU nested = CreatePopupMenu();
  AppendMenuW(nested, MF_STRING, 0xE140, L"&About");
  AppendMenuW(help, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), L"&More");
  AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  images.ApplyTo(bar.get());

  auto bitmapOf = [](HMENU menu, UINT id) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    return item.hbmpItem;
  };
  EXPECT_EQ(bitmapOf(file, 0xE100), images.ImageFor(0xE100));
  EXPECT_EQ(bitmapOf(file, 0xE141), nullptr);
  EXPECT_EQ(bitmapOf(nested, 0xE140), images.ImageFor(0xE140));

  // Another set replaces the first everywhere and leaves no item pointing at the old images.
  MenuImages others;
  ASSERT_TRUE(others.Build(ToolbarLayout{4, 3, {0xE140}}, strip.get()));
  others.ApplyTo(bar.get());
  EXPECT_EQ(bitmapOf(file, 0xE100), nullptr);
  EXPECT_EQ(bitmapOf(nested, 0xE140), others.ImageFor(0xE140));
}
