#include "entries/EntryFeature.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "editor/AmbientView.h"
#include "commands/CommandStateMap.h"
#include "commands/CommandStrings.h"
#include "commands/TextBoxKeys.h"
#include "entries/EntryClipboard.h"
#include "menubar/MenuBarMessages.h"
#include "tabs/TabView.h"
#include "win/RefusalBeep.h"

namespace {

// The "&Edit" popup, which is also the document's context menu.
constexpr int kEditMenuPosition = 1;


std::wstring PasteRefusal(const ClipboardPaste& paste) {
  if (paste.busy) return LoadCommandString(STR_PASTE_CLIPBOARD_BUSY);
  switch (paste.error) {
    case EntryTextError::None:
      return {};
    case EntryTextError::NoEntries:
      return LoadCommandString(STR_PASTE_NO_ENTRIES);
    case EntryTextError::WrongFieldCount:
      return FormatCommandNumbers(STR_PASTE_FIELD_COUNT, paste.line, paste.field);
    case EntryTextError::NotANumber:
      return FormatCommandNumbers(STR_PASTE_NOT_A_NUMBER, paste.line, paste.field);
    case EntryTextError::NumberOutOfRange:
      return FormatCommandNumbers(STR_PASTE_OUT_OF_RANGE, paste.line, paste.field);
    case EntryTextError::TimeOfDayOutOfRange:
      return FormatCommandNumbers(STR_PASTE_TIME_OF_DAY, paste.line);
    case EntryTextError::NameTooLong:
      return FormatCommandNumbers(STR_PASTE_NAME_TOO_LONG, paste.line);
    case EntryTextError::NameNotConvertible:
      return FormatCommandNumbers(STR_PASTE_NAME_NOT_CONVERTIBLE, paste.line);
    case EntryTextError::TooManyEntries:
      return FormatCommandNumbers(STR_PASTE_TOO_MANY, paste.line);
    case EntryTextError::NameHasControlCharacter:
      return FormatCommandNumbers(STR_PASTE_NAME_CONTROL, paste.line);
    case EntryTextError::RecordsDamaged:
      return LoadCommandString(STR_PASTE_DAMAGED);
  }
  return {};
}

bool IsInside(HWND outer, HWND window) { return window == outer || IsChild(outer, window); }

UINT TextBoxMessage(UINT command) {
  switch (command) {
    case CMD_EDIT_UNDO:
      return WM_UNDO;
    case CMD_EDIT_CUT:
      return WM_CUT;
    case CMD_EDIT_COPY:
      return WM_COPY;
    case CMD_EDIT_PASTE:
      return WM_PASTE;
    default:
      return 0;
  }
}

}  // namespace

bool EntryFeature::HandleMessage(Message& m) {
  if (m.msg != WM_CONTEXTMENU || !OnContextMenu(reinterpret_cast<HWND>(m.wParam), m.lParam)) return false;
  m.result = 0;
  return true;
}

bool EntryFeature::OnCommand(UINT id) {
  if (RouteToTextBox(id)) return true;
  AmbientView* view = frame_.ActiveView();
  if (view == nullptr) {
    RefusalBeep();
    return true;
  }
  frame_.EndStatusReason();
  const std::wstring full = LoadCommandString(STR_DOCUMENT_FULL);
  switch (id) {
    case CMD_EDIT_UNDO:
      view->Undo();
      break;
    case CMD_EDIT_REDO:
      view->Redo();
      break;
    case CMD_EDIT_COPY:
      Copy();
      break;
    case CMD_EDIT_CUT:
      Cut();
      break;
    case CMD_EDIT_PASTE:
      Paste();
      break;
    case CMD_ENTRY_INSERT:
      if (!view->InsertEntry()) frame_.RefuseCommand(full);
      break;
    case CMD_ENTRY_DUPLICATE:
      if (!view->DuplicateEntry()) frame_.RefuseCommand(full);
      break;
    case CMD_ENTRY_DELETE:
      view->DeleteEntry();
      break;
    case CMD_ENTRY_MOVE_UP:
      view->MoveEntry(-1);
      break;
    case CMD_ENTRY_MOVE_DOWN:
      view->MoveEntry(1);
      break;
    default:
      break;
  }
  return true;
}

// Undo and the clipboard commands belong to a focused text box, as its own keys do.
bool EntryFeature::RouteToTextBox(UINT id) {
  const UINT message = TextBoxMessage(id);
  HWND focus = GetFocus();
  if (message == 0 || !IsTextBox(focus)) return false;
  SendMessageW(focus, message, 0, 0);
  return true;
}

namespace {

// The selected entries in display order, as the clipboard takes them.
std::vector<DocumentEntry> SelectedEntries(const AmbientView& view) {
  std::vector<DocumentEntry> entries;
  for (int row : view.GetSelectedEntries()) entries.push_back(view.GetEntry(row));
  return entries;
}

}  // namespace

void EntryFeature::Copy() {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const std::vector<DocumentEntry> entries = SelectedEntries(*view);
  if (entries.empty() || !PutEntriesOnClipboard(frame_.FrameWindow(), entries)) RefusalBeep();
}

// The copy and the deletion are one step of the history: the copy changes nothing.
void EntryFeature::Cut() {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const std::vector<DocumentEntry> entries = SelectedEntries(*view);
  if (entries.empty() || !PutEntriesOnClipboard(frame_.FrameWindow(), entries)) {
    RefusalBeep();
    return;
  }
  view->DeleteEntry();
}

void EntryFeature::Paste() {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const ClipboardPaste paste = TakeEntriesFromClipboard(frame_.FrameWindow(), MaxAmbientEntries - view->GetEntryCount());
  if (paste.error != EntryTextError::None) {
    frame_.RefuseCommand(PasteRefusal(paste));
    return;
  }
  if (!view->PasteEntries(paste.entries)) frame_.RefuseCommand(LoadCommandString(STR_DOCUMENT_FULL));
}

void EntryFeature::UpdateStates(CommandStateMap& states) {
  states_ = &states;
  const AmbientView* view = frame_.ActiveView();
  HWND focus = GetFocus();
  const bool textBox = view != nullptr && IsTextBox(focus) && IsChild(view->Handle(), focus);
  const std::vector<int> entries = view != nullptr ? view->GetSelectedEntries() : std::vector<int>();
  const bool selected = !entries.empty();
  if (textBox) {
    DWORD start = 0, end = 0;
    SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    states.EnableCommand(CMD_EDIT_UNDO, SendMessageW(focus, EM_CANUNDO, 0, 0) != 0);
    states.EnableCommand(CMD_EDIT_REDO, false);
    states.EnableCommand(CMD_EDIT_CUT, start != end);
    states.EnableCommand(CMD_EDIT_COPY, start != end);
    states.EnableCommand(CMD_EDIT_PASTE, IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
  } else {
    states.EnableCommand(CMD_EDIT_UNDO, view != nullptr && view->CanUndo());
    states.EnableCommand(CMD_EDIT_REDO, view != nullptr && view->CanRedo());
    states.EnableCommand(CMD_EDIT_CUT, selected);
    states.EnableCommand(CMD_EDIT_COPY, selected);
    states.EnableCommand(CMD_EDIT_PASTE, view != nullptr && ClipboardMayHoldEntries());
  }
  states.EnableCommand(CMD_ENTRY_INSERT, view != nullptr);
  states.EnableCommand(CMD_ENTRY_DUPLICATE, selected);
  states.EnableCommand(CMD_ENTRY_DELETE, selected);
  // The block moves as one, so it stops at either edge.
  states.EnableCommand(CMD_ENTRY_MOVE_UP, selected && entries.front() > 0);
  states.EnableCommand(CMD_ENTRY_MOVE_DOWN, selected && entries.back() < view->GetEntryCount() - 1);
}

// Right-click, Shift+F10 and the Menu key on a document show its Edit menu; from the keyboard
// it opens below the selected row. Default processing hands the request up with each parent
// naming its own child, so the document is found by the focus or the clicked point.
bool EntryFeature::OnContextMenu(HWND window, LPARAM position) {
  AmbientView* view = frame_.ActiveView();
  if (view == nullptr || (window != frame_.PageTabs().Handle() && !IsInside(view->Handle(), window))) return false;
  const bool fromKeyboard = position == -1;
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (!IsInside(view->Handle(), fromKeyboard ? GetFocus() : WindowFromPoint(point))) return false;
  HMENU popup = GetSubMenu(menu_, kEditMenuPosition);
  if (popup == nullptr) return false;
  if (fromKeyboard) {
    // Under the focused cell, where the keyboard user is looking.
    const int row = view->GetSelectedRow();
    const RECT cell = row >= 0 ? view->GetCellRect(row, std::max(view->GetSelectedColumn(), 0)) : RECT{};
    point = {cell.left, cell.bottom};
    ClientToScreen(view->Handle(), &point);
  }
  if (states_ != nullptr) UpdateStates(*states_);
  constexpr UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON;
  if (menuBar_ == nullptr) {
    TrackPopupMenuEx(popup, flags, point.x, point.y, frame_.FrameWindow(), nullptr);
    return true;
  }
  MenuBarTrackPopup record{sizeof(MenuBarTrackPopup), popup, flags, point.x, point.y, nullptr};
  SendMessageW(menuBar_, MENUBAR_TRACK_POPUP, 0, reinterpret_cast<LPARAM>(&record));
  return true;
}
