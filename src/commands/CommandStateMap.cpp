#include "commands/CommandStateMap.h"

#include <commctrl.h>

#include <iterator>

#include "resources/ResourceIds.h"

namespace {

constexpr WORD kShownInPopupAndToolbar = COMMAND_KIND_MENU_POPUP | COMMAND_KIND_TOOLBAR;
constexpr WORD kTableEnd = 0xFFFF;

constexpr CommandStateEntry kCommandTable[] = {
    {CMD_VIEW_TOOLBAR, kShownInPopupAndToolbar},     {CMD_VIEW_STATUS_BAR, kShownInPopupAndToolbar},
    {CMD_FILE_SAVE, kShownInPopupAndToolbar},        {CMD_FILE_SAVE_AS, kShownInPopupAndToolbar},
    {CMD_FILE_PRINT, kShownInPopupAndToolbar},       {CMD_FILE_PRINT_PREVIEW, kShownInPopupAndToolbar},
    {CMD_FILE_PRINT_SETUP, kShownInPopupAndToolbar}, {CMD_EDIT_UNDO, kShownInPopupAndToolbar},
    {CMD_EDIT_CUT, kShownInPopupAndToolbar},         {CMD_EDIT_COPY, kShownInPopupAndToolbar},
    {CMD_EDIT_PASTE, kShownInPopupAndToolbar},       {CMD_EDIT_REDO, COMMAND_KIND_MENU_POPUP},
    {CMD_ENTRY_INSERT, COMMAND_KIND_MENU_POPUP},     {CMD_ENTRY_DUPLICATE, COMMAND_KIND_MENU_POPUP},
    {CMD_ENTRY_DELETE, COMMAND_KIND_MENU_POPUP},     {CMD_ENTRY_MOVE_UP, COMMAND_KIND_MENU_POPUP},
    {CMD_ENTRY_MOVE_DOWN, COMMAND_KIND_MENU_POPUP},  {CMD_VIEW_NAMES_SYSTEM, COMMAND_KIND_MENU_POPUP},
    {CMD_VIEW_NAMES_1251, COMMAND_KIND_MENU_POPUP},  
    // The sound commands.
    {CMD_SOUND_PLAY, kShownInPopupAndToolbar},       {CMD_SOUND_STOP, kShownInPopupAndToolbar},
    {CMD_SOUND_NEXT_MISSING, COMMAND_KIND_MENU_POPUP}, {CMD_SOUND_PREV_MISSING, COMMAND_KIND_MENU_POPUP},
    {CMD_VIEW_SOUND_FOLDER_AUTO, COMMAND_KIND_MENU_POPUP},
    
    // Find and replace in names
    {CMD_EDIT_FIND, COMMAND_KIND_MENU_POPUP},        {CMD_EDIT_FIND_NEXT, COMMAND_KIND_MENU_POPUP},
    {CMD_EDIT_REPLACE, COMMAND_KIND_MENU_POPUP},
    // The ambience
    {CMD_AMBIENCE_DAWN, COMMAND_KIND_MENU_POPUP},    {CMD_AMBIENCE_DAY, COMMAND_KIND_MENU_POPUP},
    {CMD_AMBIENCE_SUNSET, COMMAND_KIND_MENU_POPUP},  {CMD_AMBIENCE_NIGHT, COMMAND_KIND_MENU_POPUP},
    {CMD_AMBIENCE_SCALE_AUTO, COMMAND_KIND_MENU_POPUP}, {CMD_AMBIENCE_SCALE_PERCENT, COMMAND_KIND_MENU_POPUP},
    {CMD_AMBIENCE_SCALE_CENTIBELS, COMMAND_KIND_MENU_POPUP}, {CMD_AMBIENCE_SCALE_BYTE, COMMAND_KIND_MENU_POPUP},
    {CMD_FILE_EXPORT_AMBIENCE, COMMAND_KIND_MENU_POPUP}, {CMD_VIEW_TIMELINE, COMMAND_KIND_MENU_POPUP},
    {CMD_AMBIENCE_PLAY, kShownInPopupAndToolbar},
    // The problems
    {CMD_VIEW_PROBLEMS, COMMAND_KIND_MENU_POPUP},    {CMD_PROBLEM_QUICKFIX, COMMAND_KIND_MENU_POPUP},
    {kTableEnd, 0},
};

constexpr int kEntryCount = static_cast<int>(std::size(kCommandTable)) - 1;

constexpr WORD kFromAccelerator = 1;

// Sets or clears `bits` in `state`; true when the state changed.
bool Assign(WORD& state, WORD bits, bool on) {
  WORD updated = on ? static_cast<WORD>(state | bits) : static_cast<WORD>(state & ~bits);
  bool changed = updated != state;
  state = updated;
  return changed;
}

void PushToToolbar(HWND toolbar, UINT id, WORD state) {
  SendMessageW(toolbar, TB_ENABLEBUTTON, id, MAKELPARAM((state & COMMAND_STATE_DISABLED) == 0, 0));
  SendMessageW(toolbar, TB_CHECKBUTTON, id, MAKELPARAM((state & COMMAND_STATE_CHECKED) != 0, 0));
  SendMessageW(toolbar, TB_INDETERMINATE, id, MAKELPARAM((state & COMMAND_STATE_INDETERMINATE) != 0, 0));
  SendMessageW(toolbar, TB_PRESSBUTTON, id, MAKELPARAM((state & COMMAND_STATE_RADIO) != 0, 0));
}

// Items that show their check as a radio bullet: one of a group is always chosen.
bool IsRadioItem(UINT id) {
  return id == CMD_VIEW_NAMES_SYSTEM || id == CMD_VIEW_NAMES_1251 ||
         (id >= CMD_AMBIENCE_DAWN && id <= CMD_AMBIENCE_NIGHT) ||
         (id >= CMD_AMBIENCE_SCALE_AUTO && id <= CMD_AMBIENCE_SCALE_BYTE);
}

void ShowAsRadioItem(HMENU menu, UINT id) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_FTYPE;
  if (!GetMenuItemInfoW(menu, id, FALSE, &info) || (info.fType & MFT_RADIOCHECK) != 0) return;
  info.fType |= MFT_RADIOCHECK;
  SetMenuItemInfoW(menu, id, FALSE, &info);
}

void PushToMenu(HMENU menu, UINT id, WORD state) {
  if (IsRadioItem(id)) ShowAsRadioItem(menu, id);
  bool disabled = (state & COMMAND_STATE_DISABLED) != 0;
  EnableMenuItem(menu, id, MF_BYCOMMAND | (disabled ? MF_GRAYED | MF_DISABLED : MF_ENABLED));
  CheckMenuItem(menu, id, MF_BYCOMMAND | ((state & COMMAND_STATE_CHECKED) != 0 ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

CommandStateMap::CommandStateMap() : states_(kEntryCount, 0) {}

void CommandStateMap::RegisterElement(HWND window, WORD kind) { elements_.push_back({window, kind}); }

int CommandStateMap::Find(UINT id) const {
  for (int index = 0; kCommandTable[index].id != kTableEnd; ++index) {
    if (kCommandTable[index].id == id) return index;
  }
  return -1;
}

WORD CommandStateMap::State(UINT id) const {
  int index = Find(id);
  return index < 0 ? 0 : states_[index];
}

void CommandStateMap::MarkChanged(int index, bool changed) {
  WORD kinds = kCommandTable[index].kinds;
  if (changed) states_[index] |= kinds;
  if ((states_[index] & kinds) != 0) dirtyKinds_ |= kinds;
}

void CommandStateMap::EnableCommand(UINT id, bool on) {
  int index = Find(id);
  if (index < 0) return;
  MarkChanged(index, Assign(states_[index], COMMAND_STATE_DISABLED, !on));
}

void CommandStateMap::SetCommandCheck(UINT id, int state) {
  int index = Find(id);
  if (index < 0) return;
  WORD& word = states_[index];
  bool changed = Assign(word, COMMAND_STATE_CHECKED, state == 1);
  changed = Assign(word, COMMAND_STATE_INDETERMINATE, state == 2) || changed;
  MarkChanged(index, changed);
}

void CommandStateMap::PushToToolbars() {
  if ((dirtyKinds_ & COMMAND_KIND_TOOLBAR) == 0) return;
  for (int index = 0; index < kEntryCount; ++index) {
    WORD& state = states_[index];
    if ((state & COMMAND_KIND_TOOLBAR) == 0 || (kCommandTable[index].kinds & COMMAND_KIND_TOOLBAR) == 0)
      continue;
    for (const Element& element : elements_) {
      if (element.kind == COMMAND_KIND_TOOLBAR) PushToToolbar(element.window, kCommandTable[index].id, state);
    }
    state &= ~COMMAND_KIND_TOOLBAR;
  }
  dirtyKinds_ &= ~COMMAND_KIND_TOOLBAR;
}

void CommandStateMap::PushToMenuBars() {
  if ((dirtyKinds_ & COMMAND_KIND_MENU_BAR) == 0) return;
  for (int index = 0; index < kEntryCount; ++index) {
    WORD& state = states_[index];
    if ((state & COMMAND_KIND_MENU_BAR) == 0 || (kCommandTable[index].kinds & COMMAND_KIND_MENU_BAR) == 0)
      continue;
    for (const Element& element : elements_) {
      if (element.kind != COMMAND_KIND_MENU_BAR) continue;
      PushToMenu(GetMenu(element.window), kCommandTable[index].id, state);
      DrawMenuBar(element.window);
    }
    state &= ~COMMAND_KIND_MENU_BAR;
  }
  dirtyKinds_ &= ~COMMAND_KIND_MENU_BAR;
}

void CommandStateMap::UpdatePopup(HMENU popup) const {
  for (int index = 0; index < kEntryCount; ++index) {
    if ((kCommandTable[index].kinds & COMMAND_KIND_MENU_POPUP) == 0) continue;
    PushToMenu(popup, kCommandTable[index].id, states_[index]);
  }
}

bool CommandStateMap::BlocksAccelerator(const Message& m) const {
  if (!blockDisabledAccelerators_ || HIWORD(m.wParam) != kFromAccelerator) return false;
  return (State(LOWORD(m.wParam)) & COMMAND_STATE_DISABLED) != 0;
}

bool CommandStateMap::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_INITMENUPOPUP:
      if (m.wParam != 0) UpdatePopup(reinterpret_cast<HMENU>(m.wParam));
      return false;
    case WM_COMMAND:
      if (!BlocksAccelerator(m)) return false;
      m.result = 0;
      return true;
    default:
      return false;
  }
}
