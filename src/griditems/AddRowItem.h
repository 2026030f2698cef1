#pragma once

#include "griditems/PropertyItemBase.h"

// The string the append row shows ("<< Щелкните чтобы добавить фразу >>" in Russian).
constexpr UINT kAddRowStringId = 129;

// The single item of the grid's append row. It shows an invitation to add an entry and
// tells the grid's parent (GRIDN_ADDROW) when it is clicked or its editor is asked for.
class AddRowItem : public PropertyItemBase {
 public:
  AddRowItem(const wchar_t* caption, LPARAM itemData);

  BYTE GetKind() const override;
  void DrawValue(const GridDrawInfo& info) override;
  BOOL Activate(UINT action, LPARAM param) override;
};
