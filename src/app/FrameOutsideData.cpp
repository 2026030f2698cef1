// The frame's side of data from outside: the code page the entries' names are read in, chosen
// by the user and kept in the settings, and files whose length does not match their count.
#include <memory>
#include <optional>

#include "format/AmbientFileMessages.h"
#include "format/NamesCodePage.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "resources/ResourceIds.h"

namespace {

constexpr wchar_t kNamesCodePageSetting[] = L"NamesCodePage";
constexpr DWORD kWindows1251 = 1251;

NamesCodePage ChoiceOfCommand(UINT id) {
  return id == CMD_VIEW_NAMES_1251 ? NamesCodePage::Windows1251 : NamesCodePage::System;
}

}  // namespace

// Read before any document opens, so that the first one already shows its names this way.
void MainFrame::LoadNamesCodePage() {
  const std::optional<DWORD> stored = Settings::Instance().GetNumber(kNamesCodePageSetting);
  SetNamesCodePage(stored == kWindows1251 ? NamesCodePage::Windows1251 : NamesCodePage::System);
  ShowNamesCodePage();
}

void MainFrame::ShowNamesCodePage() {
  const bool cyrillic = CurrentNamesCodePage() == NamesCodePage::Windows1251;
  commandStates_.SetCommandCheck(CMD_VIEW_NAMES_SYSTEM, cyrillic ? 0 : 1);
  commandStates_.SetCommandCheck(CMD_VIEW_NAMES_1251, cyrillic ? 1 : 0);
}

// Every open document shows its unedited names as their stored bytes read the new way; nothing
// is written and nothing becomes modified. Saving then writes edited names in the new code page.
void MainFrame::OnViewNamesCodePage(UINT id) {
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
void MainFrame::TellLoadDamage(const AmbientView& view, const std::wstring& path) {
  if (view.GetLoadDamage().empty()) return;
  damagedViews_.insert(&view);
  const std::wstring text = path + L"\n" + view.GetLoadDamage();
  wchar_t caption[256]{};
  GetWindowTextW(Handle(), caption, 256);
  MessageBoxW(Handle(), text.c_str(), caption, MB_OK | MB_ICONWARNING);
}

bool MainFrame::ConfirmSaveOverDamaged(const AmbientView& view) {
  if (!damagedViews_.contains(&view)) return true;
  std::wstring title = view.GetPath();
  for (int page = 0; page < tabView_.GetPageCount(); ++page) {
    if (tabView_.GetPageData(page) == &view) title = tabView_.GetPageTitle(page);
  }
  const std::wstring question = AskSaveOverDamaged(title, view.GetLoadDamage());
  wchar_t caption[256]{};
  GetWindowTextW(Handle(), caption, 256);
  return MessageBoxW(Handle(), question.c_str(), caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void MainFrame::ForgetLoadDamage(const AmbientView& view) { damagedViews_.erase(&view); }
