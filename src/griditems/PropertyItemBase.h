#pragma once

#include <string>

#include "griditems/PropertyItem.h"

// The common part of every item: owner grid, caption, enabled state and item data. Every
// operation that needs a value does nothing here; GetKind is left to the concrete kinds.
class PropertyItemBase : public PropertyItem {
 public:
  PropertyItemBase(const wchar_t* caption, LPARAM itemData);

  void SetOwner(HWND grid, LPARAM unused) override;
  const wchar_t* GetCaption() const override;
  BOOL SetEnabled(BOOL enable) override;
  BOOL IsEnabled() const override;
  void SetItemData(LPARAM data) override;
  LPARAM GetItemData() const override;
  void DrawCaption(const GridDrawInfo& info) override;
  void DrawValue(const GridDrawInfo& info) override;
  HWND CreateEditor(HWND parent, const RECT& cell) override;
  BOOL Activate(UINT action, LPARAM param) override;
  BOOL GetDisplayText(wchar_t* buffer, UINT capacity) const override;
  UINT GetDisplayTextLength() const override;
  BOOL GetValue(VARIANT* out) const override;
  BOOL SetValueFromEditor(HWND editor) override;
  BOOL SetValue(const VARIANT& value) override;

 protected:
  HWND owner = nullptr;
  // Draws the display text the way every value cell shows it; nothing when there is none.
  void DrawDisplayText(const GridDrawInfo& info, int backgroundMode, UINT format);

 private:
  std::wstring caption;
  bool enabled = true;
  LPARAM itemData;
};
