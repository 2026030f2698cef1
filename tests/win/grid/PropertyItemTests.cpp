#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "GridTestSupport.h"
#include "WinTestSupport.h"
#include "griditems/AddRowItem.h"
#include "griditems/ItemDrawing.h"
#include "griditems/LabelItem.h"
#include "griditems/ListItem.h"
#include "win/DeviceContext.h"
#include "win/ScopedVariant.h"
#include "win/UniqueHandle.h"

namespace {

VARTYPE TypeOf(const PropertyItem& item) {
  ScopedVariant value;
  item.GetValue(value.get());
  return value->vt;
}

TEST(EditItemValues, NumberCellAcceptsOnlyTextThatIsA32BitNumber) {
  std::unique_ptr<EditItem> item(CreateNumberItem(L"", -5, 0));
  EXPECT_EQ(item->GetKind(), ITEMKIND_EDIT);
  EXPECT_EQ(DisplayText(*item), L"-5");

  EXPECT_TRUE(item->SetValue(*VariantText(L" 42")));
  EXPECT_EQ(NumberValue(*item), 42);
  EXPECT_EQ(TypeOf(*item), VT_I4);

  for (const wchar_t* refused : {L"1x", L"", L"99999999999", L"-2147483649"}) {
    EXPECT_FALSE(item->SetValue(*VariantText(refused))) << refused;
    EXPECT_EQ(NumberValue(*item), 42) << refused;
  }
  EXPECT_TRUE(item->SetValue(*VariantText(L"-2147483648")));
  EXPECT_EQ(NumberValue(*item), LONG_MIN);
}

TEST(EditItemValues, TextCellKeepsTextWhateverIsGiven) {
  std::unique_ptr<EditItem> item(CreateTextItem(L"", L"wind.wav", 0));
  for (const wchar_t* text : {L"", L"1x", L"Ночь.wav"}) {
    EXPECT_TRUE(item->SetValue(*VariantText(text)));
    EXPECT_EQ(TypeOf(*item), VT_BSTR);
    EXPECT_EQ(DisplayText(*item), text);
  }
  EXPECT_TRUE(item->SetValue(*VariantNumber(12)));  // a number becomes its text
  EXPECT_EQ(TypeOf(*item), VT_BSTR);
  EXPECT_EQ(DisplayText(*item), L"12");

  std::unique_ptr<EditItem> empty(CreateTextItem(L"", nullptr, 0));
  EXPECT_EQ(TypeOf(*empty), VT_BSTR);
  EXPECT_EQ(DisplayText(*empty), L"");
}

TEST(EditItemValues, EditorTextGoesThroughTheItemsConversion) {
  HWND edit = CreateWindowExW(0, L"EDIT", L" 17", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  std::unique_ptr<EditItem> number(CreateNumberItem(L"", 3, 0));
  EXPECT_TRUE(number->SetValueFromEditor(edit));
  EXPECT_EQ(NumberValue(*number), 17);
  SetWindowTextW(edit, L"");
  EXPECT_FALSE(number->SetValueFromEditor(edit));
  EXPECT_EQ(NumberValue(*number), 17);

  std::unique_ptr<EditItem> text(CreateTextItem(L"", L"x", 0));
  EXPECT_TRUE(text->SetValueFromEditor(edit));  // an empty text is a value, not a failure
  EXPECT_EQ(DisplayText(*text), L"");
  DestroyWindow(edit);
  EXPECT_FALSE(text->SetValueFromEditor(edit));
}

TEST(ValueItemValues, GetValueHandsOutAnOwnedCopy) {
  ValueItem item(L"caption", 9);
  EXPECT_EQ(TypeOf(item), VT_EMPTY);
  EXPECT_EQ(DisplayText(item), L"");
  EXPECT_TRUE(item.SetValue(*VariantText(L"first")));
  EXPECT_FALSE(item.GetValue(nullptr));

  ScopedVariant out;
  out.get()->vt = VT_BSTR;
  out.get()->bstrVal = SysAllocString(L"to be freed");
  ASSERT_TRUE(item.GetValue(out.get()));
  EXPECT_STREQ(out->bstrVal, L"first");
  // The copy is the caller's: changing the item leaves it alone.
  item.SetValue(*VariantNumber(5));
  EXPECT_STREQ(out->bstrVal, L"first");
  EXPECT_EQ(NumberValue(item), 5);
  EXPECT_STREQ(item.GetCaption(), L"caption");
  EXPECT_EQ(item.GetItemData(), 9);
}

TEST(ValueItemValues, DisplayTextIsCutToTheBuffer) {
  std::unique_ptr<EditItem> item(CreateTextItem(L"", L"hello", 0));
  wchar_t buffer[3] = {L'x', L'x', L'x'};
  EXPECT_TRUE(item->GetDisplayText(buffer, 3));
  EXPECT_STREQ(buffer, L"he");
  EXPECT_EQ(item->GetDisplayTextLength(), 5u);
}

TEST(ListItemValues, TextMatchesExactlyAndNumbersAreClamped) {
  ListItem item(L"", 0);
  EXPECT_EQ(item.GetKind(), ITEMKIND_LIST);
  EXPECT_EQ(NumberValue(item), -1);
  EXPECT_EQ(DisplayText(item), L"<none>");
  EXPECT_EQ(item.GetDisplayTextLength(), 0u);

  item.SetOptions(kTimesOfDay);
  EXPECT_EQ(NumberValue(item), 0);
  EXPECT_EQ(DisplayText(item), L"Рассвет");

  EXPECT_TRUE(item.SetValue(*VariantText(L"Ночь")));
  EXPECT_EQ(NumberValue(item), 3);
  EXPECT_FALSE(item.SetValue(*VariantText(L"ночь")));
  EXPECT_EQ(NumberValue(item), 0);
  EXPECT_EQ(DisplayText(item), L"Рассвет");

  EXPECT_TRUE(item.SetValue(*VariantNumber(2)));
  EXPECT_EQ(DisplayText(item), L"Закат");
  EXPECT_TRUE(item.SetValue(*VariantNumber(9)));
  EXPECT_EQ(NumberValue(item), 0);
  EXPECT_TRUE(item.SetValue(*VariantNumber(-3)));
  EXPECT_EQ(NumberValue(item), 0);

  // New options keep a chosen index.
  item.SetValue(*VariantNumber(1));
  const wchar_t* const other[] = {L"a", L"b", nullptr};
  item.SetOptions(other);
  EXPECT_EQ(DisplayText(item), L"b");
}

// Reflects nothing; records the notifications an item sends to its grid's parent.
class NotifyRecorder : public Window {
 public:
  std::vector<GridNotify> received;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg != WM_NOTIFY) return Window::HandleMessage(m);
    received.push_back(*reinterpret_cast<const GridNotify*>(m.lParam));
    m.result = 0;
    return true;
  }
};

TEST(AddRowItemActions, ClickAndEditOpenedAskTheParentForARow) {
  NotifyRecorder parent;
  parent.Create(RegisterWindowClass(L"Sonarwick_NotifyRecorder"), nullptr, RECT{0, 0, 100, 100}, L"",
                WS_POPUP);
  HWND owner = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, parent.Handle(),
                               reinterpret_cast<HMENU>(33), nullptr, nullptr);
  AddRowItem item(L"", 0);
  EXPECT_TRUE(item.Activate(ITEMACT_CLICK, 0));  // no owner yet: nothing to tell
  item.SetOwner(owner, 0);
  EXPECT_TRUE(item.Activate(ITEMACT_NOEDITOR, 0));
  EXPECT_TRUE(parent.received.empty());
  EXPECT_TRUE(item.Activate(ITEMACT_CLICK, 0));
  EXPECT_TRUE(item.Activate(ITEMACT_EDITOPENED, 0));
  ASSERT_EQ(parent.received.size(), 2u);
  for (const GridNotify& n : parent.received) {
    EXPECT_EQ(static_cast<int>(n.hdr.code), GRIDN_ADDROW);
    EXPECT_EQ(n.hdr.hwndFrom, owner);
    EXPECT_EQ(n.hdr.idFrom, 33u);
    EXPECT_EQ(n.item, nullptr);
  }
  EXPECT_EQ(item.GetKind(), ITEMKIND_STATIC);
  EXPECT_EQ(item.CreateEditor(owner, RECT{}), nullptr);
}

// Draws an item into a white 120×20 bitmap and counts the pixels of one colour.
class ItemCanvas {
 public:
  ItemCanvas() : screen_(nullptr), dc_(CreateCompatibleDC(screen_.dc())) {
    bitmap_.reset(CreateCompatibleBitmap(screen_.dc(), 120, 20));
    previous_ = SelectObject(dc_.get(), bitmap_.get());
    SelectObject(dc_.get(), GetStockObject(DEFAULT_GUI_FONT));
    RECT all{0, 0, 120, 20};
    FillCell(dc_.get(), all, RGB(255, 255, 255));
  }
  ~ItemCanvas() { SelectObject(dc_.get(), previous_); }
  GridDrawInfo Info(UINT state) const {
    GridDrawInfo info{};
    info.hdc = dc_.get();
    info.rect = {0, 0, 120, 20};
    info.state = state;
    info.clrText = RGB(0, 0, 0);
    info.clrBack = RGB(255, 0, 0);
    info.clrSelText = RGB(0, 255, 0);
    info.clrSelBack = RGB(0, 0, 255);
    info.clrDisabledText = RGB(128, 0, 128);
    return info;
  }
  int Count(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 120; ++x) count += GetPixel(dc_.get(), x, y) == colour ? 1 : 0;
    return count;
  }

 private:
  WindowDcScope screen_;
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_;
};

TEST(ItemDrawingTest, ValuesDrawTransparentlyLabelsOnTheirBackground) {
  std::unique_ptr<EditItem> value(CreateTextItem(L"", L"WWWW", 0));
  ItemCanvas plain;
  value->DrawValue(plain.Info(0));
  EXPECT_GT(plain.Count(RGB(0, 0, 0)), 10);
  EXPECT_EQ(plain.Count(RGB(255, 0, 0)), 0);  // the cell background is not the item's to fill

  ItemCanvas disabled;
  value->DrawValue(disabled.Info(GRID_STATE_DISABLED));
  EXPECT_GT(disabled.Count(RGB(128, 0, 128)), 10);
  EXPECT_EQ(disabled.Count(RGB(0, 0, 0)), 0);

  LabelItem label(L"", 0, kValueFormat);
  label.SetValue(*VariantNumber(77));
  ItemCanvas labelled;
  label.DrawValue(labelled.Info(0));
  EXPECT_GT(labelled.Count(RGB(255, 0, 0)), 10);
  EXPECT_GT(labelled.Count(RGB(0, 0, 0)), 10);
}

TEST(ItemDrawingTest, CaptionFillsTheCellInSelectionColours) {
  LabelItem item(L"Name", 0, kValueFormat);
  ItemCanvas selected;
  item.DrawCaption(selected.Info(GRID_STATE_SELECTED));
  EXPECT_GT(selected.Count(RGB(0, 0, 255)), 120 * 20 / 2);
  EXPECT_GT(selected.Count(RGB(0, 255, 0)), 5);
  ItemCanvas disabled;
  item.DrawCaption(disabled.Info(GRID_STATE_SELECTED | GRID_STATE_DISABLED));
  EXPECT_GT(disabled.Count(RGB(255, 0, 0)), 120 * 20 / 2);
  EXPECT_GT(disabled.Count(RGB(128, 0, 128)), 5);
}

TEST(ItemDrawingTest, AddRowShowsItsStringResource) {
  AddRowItem item(L"", 0);
  ItemCanvas canvas;
  item.DrawValue(canvas.Info(0));
  EXPECT_GT(canvas.Count(RGB(0, 0, 0)), 10);
  wchar_t text[128] = L"";
  EXPECT_GT(LoadStringW(GetModuleHandleW(nullptr), kAddRowStringId, text, 128), 0);
}

}  // namespace
