// Find and replace in the names of the active document's entries, through the system's Find and
// Replace dialogs. A search goes from the selected entry to the next whose name matches, wrapping
// around; the status bar says which match it is. Replace All is one step of the history, and
// takes every name or none.
#include <cwchar>

#include "format/NamesCodePage.h"
#include "app/CommandStrings.h"
#include "app/MainFrame.h"
#include "app/MenuPrompts.h"
#include "resources/ResourceIds.h"
#include "win/RefusalBeep.h"

namespace {

// The view's column of the names: a found entry is shown with its name selected.
constexpr int kNameColumn = 1;

// String `id`, a printf pattern, with a text put in.
std::wstring Format(UINT id, const std::wstring& argument) {
  wchar_t text[512]{};
  std::swprintf(text, std::size(text), LoadCommandString(id).c_str(), argument.c_str());
  return text;
}

std::vector<std::wstring> EntryNames(const AmbientView& view) {
  std::vector<std::wstring> names;
  names.reserve(static_cast<size_t>(view.GetEntryCount()));
  for (int index = 0; index < view.GetEntryCount(); ++index)
    names.push_back(view.GetEntry(index).values.audioFile.value_or(L""));
  return names;
}

}  // namespace

bool MainFrame::OnFindCommand(UINT id) {
  if (id != CMD_EDIT_FIND && id != CMD_EDIT_REPLACE && id != CMD_EDIT_FIND_NEXT) return false;
  if (ActiveView() == nullptr) {
    RefusalBeep();
    return true;
  }
  // Find Next with nothing to find yet asks what to find.
  if (id == CMD_EDIT_FIND_NEXT && !findReplace_.Search().text.empty()) {
    FindNextName(findReplace_.SearchesDown());
  } else if (!findReplace_.Show(Handle(), id == CMD_EDIT_REPLACE, FindKeys())) {
    RefusalBeep();
  }
  return true;
}

void MainFrame::OnFindMessage(LPARAM lParam) {
  const DWORD asked = findReplace_.TakeNotification(lParam);
  if ((asked & (FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL)) == 0) return;
  if (ActiveView() == nullptr) {
    RefusalBeep();
    return;
  }
  EndStatusReason(statusBar_);
  // The dialog's buttons come as this message, not as commands: a replacement is an edit all
  // the same, and its recovery copy follows as soon.
  if ((asked & (FR_REPLACE | FR_REPLACEALL)) != 0) recoveryDue_ = true;
  if ((asked & FR_REPLACEALL) != 0) {
    ReplaceAllNames();
  } else if ((asked & FR_REPLACE) != 0) {
    ReplaceSelectedName();
  } else {
    FindNextName(findReplace_.SearchesDown());
  }
}

// Selects the next matching entry and says which of the matches it is.
void MainFrame::FindNextName(bool down) {
  AmbientView* view = ActiveView();
  view->CloseEditor();
  const NameSearch search = findReplace_.Search();
  const std::vector<std::wstring> names = EntryNames(*view);
  const int found = FindMatchingName(names, view->GetSelectedEntry(), down, search);
  if (found < 0) {
    RefuseEntryCommand(Format(STR_FIND_NOT_FOUND, search.text));
    return;
  }
  int place = 0;
  for (int index = 0; index <= found; ++index)
    place += NameMatches(names[static_cast<size_t>(index)], search) ? 1 : 0;
  view->SelectCell(found, kNameColumn);
  ShowStatusReason(FormatCommandNumbers(STR_FIND_MATCHES, place, CountMatchingNames(names, search)));
}

// Replaces in the selected entry when its name matches, then goes on to the next match, so that
// pressing Replace again and again walks through them.
void MainFrame::ReplaceSelectedName() {
  AmbientView* view = ActiveView();
  view->CloseEditor();
  const NameSearch search = findReplace_.Search();
  std::vector<std::wstring> names = EntryNames(*view);
  const int entry = view->GetSelectedEntry();
  if (entry >= 0 && NameMatches(names[static_cast<size_t>(entry)], search)) {
    names[static_cast<size_t>(entry)] =
        ReplaceInName(names[static_cast<size_t>(entry)], search, findReplace_.Replacement());
    const std::wstring refusal = view->ReplaceNames(names);
    if (!refusal.empty()) {
      RefuseEntryCommand(Format(STR_REPLACE_REFUSED, refusal));
      return;
    }
    if (FindMatchingName(EntryNames(*view), entry, true, search) < 0) {
      ShowStatusReason(FormatCommandNumbers(STR_REPLACED_COUNT, 1));
      return;
    }
  }
  FindNextName(true);
}

void MainFrame::ReplaceAllNames() {
  AmbientView* view = ActiveView();
  view->CloseEditor();
  const NameSearch search = findReplace_.Search();
  const std::vector<std::wstring> names = EntryNames(*view);
  const NamesReplaced replaced = ReplaceInNames(names, search, findReplace_.Replacement(), NamesConverter());
  if (!replaced) {
    // The view words the refusal as it does for a typed name, naming the entry.
    std::vector<std::wstring> refused = names;
    refused[static_cast<size_t>(replaced.refusedEntry)] = replaced.refusedName;
    RefuseEntryCommand(Format(STR_REPLACE_REFUSED, view->ReplaceNames(refused, false)));
    return;
  }
  if (replaced.changed == 0) {
    RefuseEntryCommand(Format(STR_FIND_NOT_FOUND, search.text));
    return;
  }
  const std::wstring refusal = view->ReplaceNames(replaced.names);
  if (!refusal.empty()) {
    RefuseEntryCommand(Format(STR_REPLACE_REFUSED, refusal));
    return;
  }
  ShowStatusReason(FormatCommandNumbers(STR_REPLACED_COUNT, replaced.changed));
}

// The keys of the find commands, which work in the dialogs as well; made once from the frame's
// table, so that the keys stay the same everywhere.
HACCEL MainFrame::FindKeys() {
  if (findKeys_ != nullptr) return findKeys_;
  std::vector<ACCEL> keys;
  for (ACCEL entry : acceleratorEntries_) {
    if (entry.cmd != CMD_EDIT_FIND && entry.cmd != CMD_EDIT_FIND_NEXT && entry.cmd != CMD_EDIT_REPLACE)
      continue;
    entry.fVirt &= static_cast<BYTE>(~0x80);  // the copied table's end mark
    keys.push_back(entry);
  }
  if (!keys.empty()) findKeys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
  return findKeys_;
}

void MainFrame::UpdateFindCommandStates() {
  const bool document = ActiveView() != nullptr;
  commandStates_.EnableCommand(CMD_EDIT_FIND, document);
  commandStates_.EnableCommand(CMD_EDIT_FIND_NEXT, document);
  commandStates_.EnableCommand(CMD_EDIT_REPLACE, document);
}
