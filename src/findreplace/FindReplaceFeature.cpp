// Find and replace in the names of the active document's entries, through the system's Find and
// Replace dialogs. A search goes from the selected entry to the next whose name matches, wrapping
// around; the status bar says which match it is. Replace All is one step of the history, and
// takes every name or none.
#include <cwchar>

#include "findreplace/FindReplaceFeature.h"

#include <vector>

#include "editor/AmbientView.h"
#include "format/NamesCodePage.h"
#include "commands/CommandStateMap.h"
#include "commands/CommandStrings.h"
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

FindReplaceFeature::~FindReplaceFeature() {
  dialog_.Close();
  if (findKeys_ != nullptr) DestroyAcceleratorTable(findKeys_);
}

bool FindReplaceFeature::HandleMessage(Message& m) {
  if (m.msg != FindReplaceDialog::Message()) return false;
  OnFindMessage(m.lParam);
  m.result = 0;
  return true;
}

bool FindReplaceFeature::OnCommand(UINT id) {
  if (frame_.ActiveView() == nullptr) {
    RefusalBeep();
    return true;
  }
  // Find Next with nothing to find yet asks what to find.
  if (id == CMD_EDIT_FIND_NEXT && !dialog_.Search().text.empty()) {
    FindNextName(dialog_.SearchesDown());
  } else if (!dialog_.Show(frame_.FrameWindow(), id == CMD_EDIT_REPLACE, FindKeys())) {
    RefusalBeep();
  }
  return true;
}

void FindReplaceFeature::OnFindMessage(LPARAM lParam) {
  const DWORD asked = dialog_.TakeNotification(lParam);
  if ((asked & (FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL)) == 0) return;
  if (frame_.ActiveView() == nullptr) {
    RefusalBeep();
    return;
  }
  frame_.EndStatusReason();
  // The dialog's buttons come as this message, not as commands: a replacement is an edit all
  // the same, and its recovery copy follows as soon.
  if ((asked & (FR_REPLACE | FR_REPLACEALL)) != 0) frame_.NoteDocumentsChanged();
  if ((asked & FR_REPLACEALL) != 0) {
    ReplaceAllNames();
  } else if ((asked & FR_REPLACE) != 0) {
    ReplaceSelectedName();
  } else {
    FindNextName(dialog_.SearchesDown());
  }
}

// Selects the next matching entry and says which of the matches it is.
void FindReplaceFeature::FindNextName(bool down) {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const NameSearch search = dialog_.Search();
  const std::vector<std::wstring> names = EntryNames(*view);
  const int found = FindMatchingName(names, view->GetSelectedEntry(), down, search);
  if (found < 0) {
    frame_.RefuseCommand(Format(STR_FIND_NOT_FOUND, search.text));
    return;
  }
  int place = 0;
  for (int index = 0; index <= found; ++index)
    place += NameMatches(names[static_cast<size_t>(index)], search) ? 1 : 0;
  view->SelectCell(found, kNameColumn);
  frame_.ShowStatusReason(FormatCommandNumbers(STR_FIND_MATCHES, place, CountMatchingNames(names, search)));
}

// Replaces in the selected entry when its name matches, then goes on to the next match, so that
// pressing Replace again and again walks through them.
void FindReplaceFeature::ReplaceSelectedName() {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const NameSearch search = dialog_.Search();
  std::vector<std::wstring> names = EntryNames(*view);
  const int entry = view->GetSelectedEntry();
  if (entry >= 0 && NameMatches(names[static_cast<size_t>(entry)], search)) {
    names[static_cast<size_t>(entry)] =
        ReplaceInName(names[static_cast<size_t>(entry)], search, dialog_.Replacement());
    const std::wstring refusal = view->ReplaceNames(names);
    if (!refusal.empty()) {
      frame_.RefuseCommand(Format(STR_REPLACE_REFUSED, refusal));
      return;
    }
    if (FindMatchingName(EntryNames(*view), entry, true, search) < 0) {
      frame_.ShowStatusReason(FormatCommandNumbers(STR_REPLACED_COUNT, 1));
      return;
    }
  }
  FindNextName(true);
}

void FindReplaceFeature::ReplaceAllNames() {
  AmbientView* view = frame_.ActiveView();
  view->CloseEditor();
  const NameSearch search = dialog_.Search();
  const std::vector<std::wstring> names = EntryNames(*view);
  const NamesReplaced replaced = ReplaceInNames(names, search, dialog_.Replacement(), NamesConverter());
  if (!replaced) {
    // The view words the refusal as it does for a typed name, naming the entry.
    std::vector<std::wstring> refused = names;
    refused[static_cast<size_t>(replaced.refusedEntry)] = replaced.refusedName;
    frame_.RefuseCommand(Format(STR_REPLACE_REFUSED, view->ReplaceNames(refused, false)));
    return;
  }
  if (replaced.changed == 0) {
    frame_.RefuseCommand(Format(STR_FIND_NOT_FOUND, search.text));
    return;
  }
  const std::wstring refusal = view->ReplaceNames(replaced.names);
  if (!refusal.empty()) {
    frame_.RefuseCommand(Format(STR_REPLACE_REFUSED, refusal));
    return;
  }
  frame_.ShowStatusReason(FormatCommandNumbers(STR_REPLACED_COUNT, replaced.changed));
}

// The keys of the find commands, which work in the dialogs as well; made once from the frame's
// table, so that the keys stay the same everywhere.
HACCEL FindReplaceFeature::FindKeys() {
  if (findKeys_ != nullptr) return findKeys_;
  std::vector<ACCEL> keys;
  for (ACCEL entry : frame_.AcceleratorEntries()) {
    if (entry.cmd != CMD_EDIT_FIND && entry.cmd != CMD_EDIT_FIND_NEXT && entry.cmd != CMD_EDIT_REPLACE)
      continue;
    entry.fVirt &= static_cast<BYTE>(~0x80);  // the copied table's end mark
    keys.push_back(entry);
  }
  if (!keys.empty()) findKeys_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
  return findKeys_;
}

void FindReplaceFeature::UpdateStates(CommandStateMap& states) {
  const bool document = frame_.ActiveView() != nullptr;
  for (UINT id : kCommands) states.EnableCommand(id, document);
}
