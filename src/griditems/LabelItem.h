#pragma once

#include "griditems/ValueItem.h"

// A read-only value cell drawn on its own background with a DrawTextW format of its choice.
class LabelItem : public ValueItem {
 public:
  LabelItem(const wchar_t* caption, LPARAM itemData, UINT textFormat);

  void DrawValue(const GridDrawInfo& info) override;

 private:
  UINT textFormat;
};
