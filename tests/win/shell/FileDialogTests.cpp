// The dialog control ids header needs the platform header first.
// clang-format off
#include <windows.h>
#include <dlgs.h>
// clang-format on
#include <gtest/gtest.h>

#include <string>

#include "ShellTestSupport.h"
#include "WinTestSupport.h"
#include "documents/FileDialog.h"

namespace {

using namespace std::string_literals;

TEST(FileDialogFilter, BarsBecomeZerosAndTheListEndsInTwo) {
  std::wstring pairs = ConvertFilter(kAmbientFileFilter);
  EXPECT_EQ(pairs, L"Ambient Data (.bad)\0*.bad\0"s);
  EXPECT_EQ(pairs.c_str()[pairs.size()], L'\0');
  // Without the closing bar the platform would read past the end of the list.
  EXPECT_EQ(ConvertFilter(L"Text|*.txt|All|*.*"), L"Text\0*.txt\0All\0*.*\0"s);
  EXPECT_EQ(ConvertFilter(L""), L"\0"s);
}

TEST(FileDialogRecord, FullRecordFromWindows2000AndMe) {
  EXPECT_FALSE(TakesFullFileDialogRecord(VER_PLATFORM_WIN32_NT, 4, 0));
  EXPECT_TRUE(TakesFullFileDialogRecord(VER_PLATFORM_WIN32_NT, 5, 0));
  EXPECT_TRUE(TakesFullFileDialogRecord(VER_PLATFORM_WIN32_NT, 10, 0));
  EXPECT_FALSE(TakesFullFileDialogRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 10));
  EXPECT_TRUE(TakesFullFileDialogRecord(VER_PLATFORM_WIN32_WINDOWS, 4, 90));
}

TEST(FileDialogRecord, ConstructionFillsTheRecord) {
  std::wstring longName(300, L'x');
  FileDialog dialog(false, L"bad", longName.c_str(), OFN_HIDEREADONLY, kAmbientFileFilter, nullptr);
  const OPENFILENAMEW& record = dialog.Record();
  EXPECT_EQ(record.lStructSize, sizeof(OPENFILENAMEW));
  EXPECT_EQ(record.Flags, DWORD{OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING});
  EXPECT_NE(record.lpfnHook, nullptr);
  EXPECT_STREQ(record.lpstrDefExt, L"bad");
  EXPECT_EQ(std::wstring(record.lpstrFile), dialog.FullPath());
  // The buffer takes the longest path the system knows, so a long one is never cut.
  EXPECT_EQ(record.nMaxFile, DWORD{32768});
  EXPECT_EQ(record.lpstrFileTitle, dialog.FileTitle());
  EXPECT_EQ(record.nMaxFileTitle, 256u);
  EXPECT_EQ(dialog.FullPath(), longName);
  EXPECT_STREQ(dialog.FileTitle(), L"");
  EXPECT_EQ(std::wstring(record.lpstrFilter, 27), L"Ambient Data (.bad)\0*.bad\0\0"s);

  FileDialog unconverted(true, nullptr, nullptr, 0, L"As|it|stands", nullptr, false);
  EXPECT_STREQ(unconverted.Record().lpstrFilter, L"As|it|stands");
  EXPECT_EQ(unconverted.FullPath(), L"");
}

// The real dialogs of the platform, driven by typed input.
class FileDialogs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(frame.Create(), nullptr);
    BringToFront(frame.Handle());
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"SonarwickDialogs" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    existing = folder + L"\\existing.bad";
    HANDLE file = CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  void TearDown() override {
    DeleteFileW(existing.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  static bool Shown(const FileDialog& dialog) {
    return dialog.DialogWindow() != nullptr && IsWindowVisible(dialog.DialogWindow());
  }

  // Puts the caret into the dialog's file name box and types `name` and Enter.
  static void TypeName(HWND dialog, const wchar_t* name) {
    SetForegroundWindow(dialog);
    HWND box = GetDlgItem(dialog, cmb13);
    if (box == nullptr) box = GetDlgItem(dialog, edt1);
    SetFocus(box);
    SendText(name);
    SendKey(VK_RETURN);
  }

  static std::wstring Folder(HWND dialog) {
    wchar_t path[MAX_PATH]{};
    SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(path));
    return path;
  }

  ServiceFrame frame;
  std::wstring folder, existing;
};

TEST_F(FileDialogs, OfferOneFilterAndCancelGivesCancel) {
  FileDialog dialog = MakeOpenFileDialog(frame.Handle());
  std::vector<std::wstring> filters;
  HWND owner = nullptr;
  ModalScript script;
  script.Then([&] { return Shown(dialog); },
              [&] {
                HWND shown = dialog.DialogWindow();
                owner = GetWindow(shown, GW_OWNER);
                HWND combo = GetDlgItem(shown, cmb1);
                for (int index = 0; index < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++index) {
                  wchar_t text[128]{};
                  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
                  filters.push_back(text);
                }
                SetForegroundWindow(shown);
                SendKey(VK_ESCAPE);
              });
  EXPECT_EQ(dialog.Run(nullptr), IDCANCEL);
  EXPECT_FALSE(script.GaveUp());
  EXPECT_EQ(owner, frame.Handle());
  EXPECT_EQ(dialog.DialogWindow(), nullptr);
  EXPECT_EQ(filters, std::vector<std::wstring>{L"Ambient Data (.bad)"});
  EXPECT_EQ(dialog.FullPath(), L"");
}

TEST_F(FileDialogs, SaveAsAppendsTheExtensionInTheShownFolder) {
  FileDialog dialog = MakeSaveAsFileDialog(nullptr);
  std::wstring shownFolder;
  const std::wstring name = L"fresh" + std::to_wstring(GetTickCount());
  ModalScript script;
  script.Then([&] { return Shown(dialog); },
              [&] {
                shownFolder = Folder(dialog.DialogWindow());
                TypeName(dialog.DialogWindow(), name.c_str());
              });
  // Without an owner of its own the dialog takes the parent given to Run.
  EXPECT_EQ(dialog.Run(frame.Handle()), IDOK);
  ASSERT_FALSE(script.GaveUp());
  EXPECT_EQ(dialog.Record().hwndOwner, frame.Handle());
  ASSERT_FALSE(shownFolder.empty());
  if (shownFolder.back() != L'\\') shownFolder += L'\\';
  EXPECT_EQ(dialog.FullPath(), shownFolder + name + L".bad");
  EXPECT_EQ(std::wstring(dialog.FileTitle()), name + L".bad");
}

TEST_F(FileDialogs, OpenAcceptsOnlyAnExistingFile) {
  FileDialog refused = MakeOpenFileDialog(frame.Handle());
  HWND complaint = nullptr;
  ModalScript script;
  script.Then([&] { return Shown(refused); }, [&] { TypeName(refused.DialogWindow(), L"missing-file-name"); })
      .Then([&] { return (complaint = FindThreadDialog(refused.DialogWindow())) != nullptr; },
            [&] {
              SetForegroundWindow(complaint);
              SendKey(VK_RETURN);
            })
      .Then([&] { return !IsWindow(complaint) && IsWindowEnabled(refused.DialogWindow()); },
            [&] {
              SetForegroundWindow(refused.DialogWindow());
              SendKey(VK_ESCAPE);
            });
  EXPECT_EQ(refused.Run(frame.Handle()), IDCANCEL);
  EXPECT_FALSE(script.GaveUp());
  EXPECT_NE(complaint, nullptr) << "no message about the missing file";

  FileDialog accepted = MakeOpenFileDialog(frame.Handle());
  ModalScript second;
  second.Then([&] { return Shown(accepted); }, [&] { TypeName(accepted.DialogWindow(), existing.c_str()); });
  EXPECT_EQ(accepted.Run(frame.Handle()), IDOK);
  EXPECT_FALSE(second.GaveUp());
  EXPECT_EQ(accepted.FullPath(), existing);
  EXPECT_STREQ(accepted.FileTitle(), L"existing.bad");
}

}  // namespace
