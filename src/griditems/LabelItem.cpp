#include "griditems/LabelItem.h"

LabelItem::LabelItem(const wchar_t* caption, LPARAM itemData, UINT textFormat)
    : ValueItem(caption, itemData), textFormat(textFormat) {}

void LabelItem::DrawValue(const GridDrawInfo& info) { DrawDisplayText(info, OPAQUE, textFormat); }
