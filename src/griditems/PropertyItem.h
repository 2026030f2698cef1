#pragma once

#include <windows.h>
// VARIANT and the OLE Automation calls; they need windows.h first.
#include <oleauto.h>

#include "griditems/GridMessages.h"

// What kind of editing a cell allows (GetKind).
constexpr BYTE ITEMKIND_STATIC = 2;  // shown, never edited
constexpr BYTE ITEMKIND_EDIT = 3;    // edited as text in an InplaceEdit
constexpr BYTE ITEMKIND_LIST = 4;    // chosen in an InplaceList

// Actions the grid reports to an item through Activate.
constexpr UINT ITEMACT_NOEDITOR = 1;    // a click asked for an editor but none opened; param 0
constexpr UINT ITEMACT_CLICK = 3;       // a click on the cell; param = GetMessagePos() of the click
constexpr UINT ITEMACT_EDITOPENED = 7;  // the grid opened (or tried to open) the editor; param 0

// The object behind one grid cell. The grid owns the items in its rows and destroys them
// through the virtual destructor. Values are VARIANTs; whoever receives one from GetValue
// owns that copy.
class PropertyItem {
 public:
  virtual ~PropertyItem() = default;
  virtual BYTE GetKind() const = 0;
  virtual void SetOwner(HWND grid, LPARAM unused) = 0;
  virtual const wchar_t* GetCaption() const = 0;
  virtual BOOL SetEnabled(BOOL enable) = 0;
  virtual BOOL IsEnabled() const = 0;
  virtual void SetItemData(LPARAM data) = 0;
  virtual LPARAM GetItemData() const = 0;
  virtual void DrawCaption(const GridDrawInfo& info) = 0;
  virtual void DrawValue(const GridDrawInfo& info) = 0;
  virtual HWND CreateEditor(HWND parent, const RECT& cell) = 0;
  virtual BOOL Activate(UINT action, LPARAM param) = 0;
  // Copies at most capacity - 1 characters and a NUL into `buffer`.
  virtual BOOL GetDisplayText(wchar_t* buffer, UINT capacity) const = 0;
  virtual UINT GetDisplayTextLength() const = 0;
  virtual BOOL GetValue(VARIANT* out) const = 0;
  virtual BOOL SetValueFromEditor(HWND editor) = 0;
  virtual BOOL SetValue(const VARIANT& value) = 0;
};
