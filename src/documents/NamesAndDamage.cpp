// The documents' side of data from outside: the code page the entries' names are read in, chosen
// by the user and kept in the settings, and files whose length does not match their count.
#include <memory>
#include <optional>

#include "format/AmbientFileMessages.h"
#include "format/NamesCodePage.h"
#include "commands/CommandStateMap.h"
#include "documents/DocumentsFeature.h"
#include "session/Settings.h"
#include "tabs/TabView.h"

namespace {

constexpr wchar_t kNamesCodePageSetting[] = L"NamesCodePage";
constexpr DWORD kWindows1251 = 1251;

NamesCodePage ChoiceOfCommand(UINT id) {
  return id == CMD_VIEW_NAMES_1251 ? NamesCodePage::Windows1251 : NamesCodePage::System;
}

}  // namespace

// Read before any document opens, so that the first one already shows its names this way.
void DocumentsFeature::LoadNamesCodePage() {
  const std::optional<DWORD> stored = Settings::Instance().GetNumber(kNamesCodePageSetting);
  SetNamesCodePage(stored == kWindows1251 ? NamesCodePage::Windows1251 : NamesCodePage::System);
  ShowNamesCodePage();
}

void DocumentsFeature::ShowNamesCodePage() {
  const bool cyrillic = CurrentNamesCodePage() == NamesCodePage::Windows1251;
  states_.SetCommandCheck(CMD_VIEW_NAMES_SYSTEM, cyrillic ? 0 : 1);
  states_.SetCommandCheck(CMD_VIEW_NAMES_1251, cyrillic ? 1 : 0);
}

// Every open document shows its unedited names as their stored bytes read the new way; nothing
// is written and nothing becomes modified. Saving then writes edited names in the new code page.
void DocumentsFeature::OnViewNamesCodePage(UINT id) {
  const NamesCodePage choice = ChoiceOfCommand(id);
  if (choice == CurrentNamesCodePage()) return;
  const CodePageConverter& from = NamesConverter();
  SetNamesCodePage(choice);
  const CodePageConverter& to = NamesConverter();
  for (const std::unique_ptr<AmbientView>& view : views_) {
    if (view->Handle() != nullptr) view->RereadNames(from, to);
  }
  Settings::Instance().SetNumber(kNamesCodePageSetting,
                                 choice == NamesCodePage::Windows1251 ? kWindows1251 : 0);
  ShowNamesCodePage();
}

// Told once, when the file opens; the first save over it asks again (ConfirmSaveOverDamaged).
void DocumentsFeature::TellLoadDamage(const AmbientView& view, const std::wstring& path) {
  if (view.GetLoadDamage().empty()) return;
  damagedViews_.insert(&view);
  frame_.Ask(path + L"\n" + view.GetLoadDamage(), MB_OK | MB_ICONWARNING);
}

bool DocumentsFeature::ConfirmSaveOverDamaged(const AmbientView& view) {
  if (!damagedViews_.contains(&view)) return true;
  std::wstring title = view.GetPath();
  for (int page = 0; page < frame_.PageTabs().GetPageCount(); ++page) {
    if (frame_.PageTabs().GetPageData(page) == &view) title = frame_.PageTabs().GetPageTitle(page);
  }
  // Asked as every other question is, so that nothing closes or reloads the page under it.
  return frame_.Ask(AskSaveOverDamaged(title, view.GetLoadDamage()), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void DocumentsFeature::ForgetLoadDamage(const AmbientView& view) { damagedViews_.erase(&view); }
