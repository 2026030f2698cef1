#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "Canvas.h"
#include "menubar/MenuImages.h"
#include "win/DeviceContext.h"

namespace {

std::vector<WORD> Words(std::initializer_list<WORD> words) { return std::vector<WORD>(words); }

size_t Bytes(const std::vector<WORD>& words) { return words.size() * sizeof(WORD); }

// A 32-bit strip of `count` images of 4×3 pixels: image i is filled with colour `colours[i]`
// except its top-left pixel, which is light grey.
UniqueBitmap MakeStrip(const std::vector<DWORD>& colours) {
  const int width = 4 * static_cast<int>(colours.size()), height = 3;
  BITMAPINFO info = TopDown32BitInfo(width, height);
  void* bits = nullptr;
  UniqueBitmap strip(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool corner = x % 4 == 0 && y == 0;
      pixels[y * width + x] = corner ? 0xC0C0C0 : colours[static_cast<size_t>(x / 4)];
    }
  }
  return strip;
}

constexpr COLORREF kBackground = RGB(10, 200, 90);

DRAWITEMSTRUCT MenuDrawItem(HMENU menu, UINT id, HDC dc, const RECT& rect, UINT state) {
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_MENU;
  draw.itemID = id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.itemState = state;
  draw.hwndItem = reinterpret_cast<HWND>(menu);
  draw.hDC = dc;
  draw.rcItem = rect;
  return draw;
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

TEST(MenuImages, AnImageSitsCentredInItsColumnOrAtTheLeftOfAWiderRoom) {
  SIZE image{16, 15};
  POINT column = MenuImageOrigin(RECT{100, 200, 120, 219}, image);
  EXPECT_EQ(column.x, 102);
  EXPECT_EQ(column.y, 202);
  POINT wide = MenuImageOrigin(RECT{100, 200, 300, 215}, image);
  EXPECT_EQ(wide.x, 100);
  EXPECT_EQ(wide.y, 200);
  // Too small a room: the image starts at its corner rather than before it.
  POINT small = MenuImageOrigin(RECT{100, 200, 110, 210}, image);
  EXPECT_EQ(small.x, 100);
  EXPECT_EQ(small.y, 200);
}

TEST(MenuImages, CutsOneImagePerButtonSkippingSeparatorsWithLightGreySeeThrough) {
  long bitmapsBefore = LiveHandleCount(HandleKind::Bitmap);
  long listsBefore = LiveHandleCount(HandleKind::ImageList);
  {
    UniqueBitmap strip = MakeStrip({0x0000FF, 0x00FF00, 0xFF0000});
    ToolbarLayout layout{4, 3, {0xE100, 0, 0xE101, 0xE140}};
    MenuImages images;
    ASSERT_TRUE(images.Build(layout, strip.get()));
    EXPECT_EQ(images.Count(), 3u);
    EXPECT_EQ(images.ImageSize().cx, 4);
    EXPECT_EQ(images.ImageSize().cy, 3);
    EXPECT_FALSE(images.Has(0));
    EXPECT_FALSE(images.Has(0xE103));

    // The separator takes no image: the third button gets the third image (0xRRGGBB above).
    Canvas canvas(6, 5, kBackground);
    ASSERT_TRUE(images.DrawImage(canvas.dc(), 0xE140, POINT{1, 1}, false));
    EXPECT_EQ(canvas.At(1, 1), kBackground) << "the light grey corner lets the background through";
    EXPECT_EQ(canvas.At(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(4, 3), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(0, 0), kBackground);
    EXPECT_EQ(canvas.At(5, 4), kBackground);
    ASSERT_TRUE(images.DrawImage(canvas.dc(), 0xE101, POINT{1, 1}, false));
    EXPECT_EQ(canvas.At(1, 1), kBackground);
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 255, 0));
    EXPECT_FALSE(images.DrawImage(canvas.dc(), 0xE103, POINT{1, 1}, false));

    // The caller's strip keeps its light grey.
    Canvas copy(12, 3, kBackground);
    UniqueMemoryDC source(CreateCompatibleDC(nullptr));
    SelectionScope selected(source.get(), strip.get());
    BitBlt(copy.dc(), 0, 0, 12, 3, source.get(), 0, 0, SRCCOPY);
    EXPECT_EQ(copy.At(4, 0), RGB(192, 192, 192));
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Bitmap), bitmapsBefore);
  EXPECT_EQ(LiveHandleCount(HandleKind::ImageList), listsBefore);
}

TEST(MenuImages, ButtonsBeyondTheStripGetNoImage) {
  UniqueBitmap strip = MakeStrip({0x0000FF});
  MenuImages images;
  ASSERT_TRUE(images.Build(ToolbarLayout{4, 3, {0xE100, 0xE101}}, strip.get()));
  EXPECT_TRUE(images.Has(0xE100));
  EXPECT_FALSE(images.Has(0xE101));
  EXPECT_FALSE(images.Build(ToolbarLayout{4, 5, {0xE100}}, strip.get()));
  EXPECT_EQ(images.Count(), 0u);
  EXPECT_FALSE(images.Build(ToolbarLayout{4, 3, {0xE100}}, nullptr));
  EXPECT_FALSE(images.Build(ToolbarLayout{8, 3, {0xE100}}, strip.get()));
}

TEST(MenuImages, MarksMatchingItemsInEverySubmenuForTheOwnerToDraw) {
  UniqueBitmap strip = MakeStrip({0x0000FF, 0x00FF00});
  MenuImages images;
  ASSERT_TRUE(images.Build(ToolbarLayout{4, 3, {0xE100, 0xE140}}, strip.get()));
  UniqueMenu bar(CreateMenu());
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 0xE100, L"&New");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 0xE141, L"E&xit");
  AppendMenuW(file, MF_STRING, 0xE142, L"&Close");
  HMENU help = CreatePopupMenu();
  HMENU nested = CreatePopupMenu();
  AppendMenuW(nested, MF_STRING, 0xE140, L"&About");
  AppendMenuW(help, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), L"&More");
  AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  auto bitmapOf = [](HMENU menu, UINT id) {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_BITMAP;
    GetMenuItemInfoW(menu, id, FALSE, &item);
    return item.hbmpItem;
  };
  // A picture someone else gave an item is not ours to take away.
  MENUITEMINFOW close{};
  close.cbSize = sizeof(close);
  close.fMask = MIIM_BITMAP;
  close.hbmpItem = HBMMENU_MBAR_CLOSE;
  SetMenuItemInfoW(file, 0xE142, FALSE, &close);
  images.ApplyTo(bar.get());

  EXPECT_EQ(bitmapOf(file, 0xE100), HBMMENU_CALLBACK);
  // Exit has no image but shares a popup with New: it is marked to be laid out alike.
  EXPECT_EQ(bitmapOf(file, 0xE141), HBMMENU_CALLBACK);
  EXPECT_EQ(bitmapOf(nested, 0xE140), HBMMENU_CALLBACK);
  EXPECT_EQ(bitmapOf(file, 0xE142), HBMMENU_MBAR_CLOSE);

  // Another set replaces the first everywhere.
  MenuImages others;
  ASSERT_TRUE(others.Build(ToolbarLayout{4, 3, {0xE140}}, strip.get()));
  others.ApplyTo(bar.get());
  EXPECT_EQ(bitmapOf(file, 0xE100), nullptr);
  EXPECT_EQ(bitmapOf(file, 0xE141), nullptr);
  EXPECT_EQ(bitmapOf(nested, 0xE140), HBMMENU_CALLBACK);
  EXPECT_EQ(bitmapOf(file, 0xE142), HBMMENU_MBAR_CLOSE);
}

TEST(MenuImages, MeasuresAndDrawsOnlyTheImagesOfMarkedMenuItems) {
  UniqueBitmap strip = MakeStrip({0x0000FF, 0x00FF00});
  MenuImages images;
  ASSERT_TRUE(images.Build(ToolbarLayout{4, 3, {0xE100, 0xE101}}, strip.get()));
  UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, 0xE100, L"&New");
  AppendMenuW(menu.get(), MF_STRING, 0xE101, L"&Open");
  AppendMenuW(menu.get(), MF_STRING, 0xE102, L"&Save");
  images.ApplyTo(menu.get());

  MEASUREITEMSTRUCT measure{ODT_MENU, 0, 0xE100, 1, 1, 0};
  ASSERT_TRUE(images.Measure(measure));
  EXPECT_EQ(measure.itemWidth, 4u);
  EXPECT_EQ(measure.itemHeight, 3u);
  // Save has no image of its own; it is measured like its neighbours and drawn as nothing.
  MEASUREITEMSTRUCT blank{ODT_MENU, 0, 0xE102, 1, 1, 0};
  ASSERT_TRUE(images.Measure(blank));
  EXPECT_EQ(blank.itemWidth, 4u);
  MEASUREITEMSTRUCT other{ODT_MENU, 0, 0xE103, 1, 1, 0};
  EXPECT_FALSE(images.Measure(other));
  {
    // Pictures for 150 % fill their 24-pixel cells edge to edge: the menu gives them room
    // beside them, or the name after the picture would touch it.
    BITMAPINFO info = TopDown32BitInfo(24, 22);
    void* bits = nullptr;
    UniqueBitmap large(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    std::fill_n(static_cast<DWORD*>(bits), 24 * 22, DWORD{0x000080});
    MenuImages scaled;
    ASSERT_TRUE(scaled.Build(ToolbarLayout{24, 22, {0xE100}}, large.get()));
    MEASUREITEMSTRUCT wide{ODT_MENU, 0, 0xE100, 1, 1, 0};
    ASSERT_TRUE(scaled.Measure(wide));
    EXPECT_GT(wide.itemWidth, 24u);
    EXPECT_EQ(wide.itemHeight, 22u);
  }
  MEASUREITEMSTRUCT control{ODT_BUTTON, 0xE100, 0, 1, 1, 0};
  EXPECT_FALSE(images.Measure(control));
  EXPECT_EQ(control.itemWidth, 1u);

  // Drawn in the middle of the room the menu gives, see-through in every state.
  Canvas canvas(8, 7, kBackground);
  RECT room{0, 0, 6, 7};
  for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_CHECKED)}) {
    ASSERT_TRUE(images.Draw(MenuDrawItem(menu.get(), 0xE100, canvas.dc(), room, state)));
    EXPECT_EQ(canvas.At(1, 2), kBackground) << state;
    EXPECT_EQ(canvas.At(2, 2), RGB(0, 0, 255)) << state;
    EXPECT_EQ(canvas.At(4, 4), RGB(0, 0, 255)) << state;
  }

  // Grayed: no longer in its colours, and still no light grey.
  for (UINT state : {static_cast<UINT>(ODS_GRAYED), static_cast<UINT>(ODS_DISABLED)}) {
    Canvas grayed(8, 7, kBackground);
    ASSERT_TRUE(images.Draw(MenuDrawItem(menu.get(), 0xE101, grayed.dc(), room, state)));
    std::vector<COLORREF> pixels = grayed.Pixels();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), RGB(0, 255, 0)), 0) << state;
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), RGB(192, 192, 192)), 0) << state;
    EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [](COLORREF c) { return c != kBackground; }), 0)
        << state;
    EXPECT_EQ(grayed.At(1, 2), kBackground) << state;
  }

  // Not ours: another kind of item, an item without our mark. A blank one draws nothing.
  Canvas untouched(8, 7, kBackground);
  DRAWITEMSTRUCT button = MenuDrawItem(menu.get(), 0xE100, untouched.dc(), room, 0);
  button.CtlType = ODT_BUTTON;
  EXPECT_FALSE(images.Draw(button));
  UniqueMenu unmarked(CreatePopupMenu());
  AppendMenuW(unmarked.get(), MF_STRING, 0xE100, L"&New");
  EXPECT_FALSE(images.Draw(MenuDrawItem(unmarked.get(), 0xE100, untouched.dc(), room, 0)));
  EXPECT_TRUE(images.Draw(MenuDrawItem(menu.get(), 0xE102, untouched.dc(), room, 0)));
  std::vector<COLORREF> pixels = untouched.Pixels();
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), kBackground), 8 * 7);
}
