#include <gtest/gtest.h>

#include "win/DeviceContext.h"
#include "win/ScopedVariant.h"
#include "win/UniqueHandle.h"

namespace {

TEST(UniqueHandles, CountLiveObjectsPerKindAndFreeThemOnce) {
  long fonts = LiveHandleCount(HandleKind::Font);
  long pens = LiveHandleCount(HandleKind::Pen);
  {
    LOGFONTW description{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    UniqueFont font(CreateFontIndirectW(&description));
    ASSERT_TRUE(font);
    UniquePen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts + 1);
    EXPECT_EQ(LiveHandleCount(HandleKind::Pen), pens + 1);

    UniqueFont moved(std::move(font));
    EXPECT_FALSE(font);
    EXPECT_TRUE(moved);
    EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts + 1);

    moved.reset(CreateFontIndirectW(&description));
    EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts + 1);
    HPEN raw = pen.release();
    EXPECT_EQ(LiveHandleCount(HandleKind::Pen), pens);
    DeleteObject(raw);
  }
  EXPECT_EQ(LiveHandleCount(HandleKind::Font), fonts);
  EXPECT_EQ(LiveHandleCount(HandleKind::Pen), pens);
}

TEST(UniqueHandles, SelectionScopeRestoresThePreviousObject) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = GetCurrentObject(dc, OBJ_PEN);
  UniquePen pen(CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
  {
    SelectionScope selected(dc, pen.get());
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.get());
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), original);
  DeleteDC(dc);
}

TEST(UniqueHandles, ScopedVariantClearsItsString) {
  ScopedVariant value;
  EXPECT_EQ(value->vt, VT_EMPTY);
  value.get()->vt = VT_BSTR;
  value.get()->bstrVal = SysAllocString(L"text");
  EXPECT_STREQ(value->bstrVal, L"text");
}

}  // namespace
