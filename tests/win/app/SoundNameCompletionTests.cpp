#include <gtest/gtest.h>
#include <windows.h>
// SHFileOperationW; needs windows.h first.
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "app/SoundNameCompletion.h"
#include "griditems/GridMessages.h"
#include "celleditors/InplaceEdit.h"
#include "win/Window.h"

namespace {

// A folder made for one test, with the files named (folders made on the way), removed after.
class TempFolder {
 public:
  explicit TempFolder(std::initializer_list<std::wstring> files) {
    wchar_t base[MAX_PATH]{};
    GetTempPathW(MAX_PATH, base);
    root_ = std::wstring(base) + L"sonarwick-names-" + std::to_wstring(GetTickCount64());
    for (const std::wstring& file : files) {
      for (std::size_t slash = file.find(L'\\'); slash != std::wstring::npos;
           slash = file.find(L'\\', slash + 1))
        CreateDirectoryW((root_ + L"\\" + file.substr(0, slash)).c_str(), nullptr);
      CreateDirectoryW(root_.c_str(), nullptr);
      if (file.back() == L'\\') continue;
      HANDLE handle =
          CreateFileW((root_ + L"\\" + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(handle);
    }
  }
  ~TempFolder() {
    std::wstring from = root_ + L'\0';
    SHFILEOPSTRUCTW remove{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI, FALSE, nullptr, nullptr};
    SHFileOperationW(&remove);
  }
  const std::wstring& Root() const { return root_; }

 private:
  std::wstring root_;
};

using Names = std::vector<std::wstring>;

TEST(SoundFiles, ListedRelativeAndSortedWithinTheirBounds) {
  TempFolder folder({L"Wind.WAV", L"notes.txt", L"ambient\\forest\\birds.ogg", L"ambient\\forest\\brook.wav",
                     L"ambient\\fire.wav", L"folder.ogg\\", L"a\\b\\shallow.ogg", L"a\\b\\c\\deep.ogg"});
  EXPECT_EQ(ListSoundFiles(folder.Root(), 100, 2),
            (Names{L"ambient\\fire.wav", L"ambient\\forest\\birds.ogg", L"ambient\\forest\\brook.wav",
                   L"a\\b\\shallow.ogg", L"Wind.WAV"}))
      << "audio files only, two folders down at most, a folder named like one is none; sorted as the "
         "system compares without case (in capitals, where `\\` comes after the letters)";
  EXPECT_EQ(ListSoundFiles(folder.Root() + L"\\", 100, 8).size(), 6u) << "deeper, and with a trailing slash";
  EXPECT_EQ(ListSoundFiles(folder.Root(), 2, 8).size(), 2u) << "never more than the bound";
  EXPECT_TRUE(ListSoundFiles(folder.Root() + L"\\missing").empty());
  EXPECT_TRUE(ListSoundFiles(L"").empty());
}

// Stands in for the grid: records how the name editor ends.
class EditorHost : public Window {
 public:
  EditorHost() {
    Create(RegisterWindowClass(L"Sonarwick_CompletionHost"), nullptr, RECT{100, 100, 600, 400}, L"host",
           WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN);
  }
  std::vector<std::pair<UINT, std::wstring>> ends;

 protected:
  bool HandleMessage(Message& m) override {
    if (m.msg != GRIDM_COMMITEDIT && m.msg != GRIDM_CANCELEDIT) return Window::HandleMessage(m);
    ends.emplace_back(m.msg, WindowText(reinterpret_cast<HWND>(m.lParam)));
    PostMessageW(reinterpret_cast<HWND>(m.lParam), WM_CLOSE, 0, 0);
    m.result = 0;
    return true;
  }
};

// The system's suggestion list for the focused text box, when it shows one: a visible list box
// of this thread outside the host.
HWND SuggestionList(HWND host) {
  struct Search {
    HWND host;
    HWND found;
  } search{host, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (window == s->host || !IsWindowVisible(window)) return TRUE;
        HWND list = FindWindowExW(window, nullptr, L"ListBox", nullptr);
        wchar_t name[32]{};
        GetClassNameW(window, name, 32);
        if (list == nullptr && lstrcmpiW(name, L"ListBox") == 0) list = window;
        if (list != nullptr) s->found = list;
        return list == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The name editor with the folder's files: typing suggests and completes them; Escape first
// closes the suggestions, Enter commits what the box shows; the system lets go of everything
// with the editor. Without the system's autocompletion the editor is left as it was.
TEST(SoundFiles, ATypedNameMatchesEachFolderByItsBeginning) {
  EXPECT_TRUE(NameMatchesTyped(L"amb\\for", L"Ambient\\forest\\birds.ogg"));
  EXPECT_TRUE(NameMatchesTyped(L"amb/for/", L"ambient\\forest\\birds.ogg"));
  EXPECT_FALSE(NameMatchesTyped(L"amb\\fire", L"ambient\\forest\\birds.ogg"));
  EXPECT_FALSE(NameMatchesTyped(L"wind.wav\\x", L"wind.wav"));
  EXPECT_FALSE(NameMatchesTyped(L"for", L"ambient\\forest\\birds.ogg"));
}

TEST(SoundFiles, NameEditorCompletesFromTheFolder) {
  auto names = std::make_shared<const Names>(
      Names{L"ambient\\fire.wav", L"ambient\\forest\\birds.ogg", L"ambient\\forest\\brook.wav", L"wind.wav"});
  EditorHost host;
  BringToFront(host.Handle());
  auto open = [&] {
    HWND editor = InplaceEdit::Create(host.Handle(), RECT{20, 20, 300, 40}, L"", VT_BSTR);
    SetFocus(editor);
    PumpMessages();
    return editor;
  };
  HWND editor = open();
  if (!AttachNameCompletion(editor, names)) {
    DestroyWindow(editor);
    GTEST_SKIP() << "this system has no autocompletion object";
  }
  TypeText(L"ambient\\for");
  PumpUntil([&] { return SuggestionList(host.Handle()) != nullptr; }, 2000);
  HWND list = SuggestionList(host.Handle());
  ASSERT_NE(list, nullptr) << "no suggestions shown";
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(WindowText(editor), L"ambient\\forest\\birds.ogg") << "the first match is appended";
  PressKey(VK_ESCAPE);
  PumpMessages();
  EXPECT_TRUE(host.ends.empty()) << "the first Escape only closes the suggestions";
  EXPECT_FALSE(IsWindowVisible(list));
  PressKey(VK_ESCAPE);
  PumpMessages();
  ASSERT_EQ(host.ends.size(), 1u);
  EXPECT_EQ(host.ends[0].first, static_cast<UINT>(GRIDM_CANCELEDIT));
  PumpMessages();
  EXPECT_EQ(SoundNameEnumerator::LiveObjects(), 0) << "the system let go of the names with the editor";

  host.ends.clear();
  editor = open();
  ASSERT_TRUE(AttachNameCompletion(editor, names));
  TypeText(L"w");
  PumpUntil([&] { return SuggestionList(host.Handle()) != nullptr; }, 2000);
  PressKey(VK_RETURN);
  PumpMessages();
  ASSERT_EQ(host.ends.size(), 1u) << "Enter with the suggestions open commits";
  EXPECT_EQ(host.ends[0].first, static_cast<UINT>(GRIDM_COMMITEDIT));
  EXPECT_EQ(host.ends[0].second, L"wind.wav");
  PumpMessages();
  EXPECT_EQ(SoundNameEnumerator::LiveObjects(), 0);

  // A short form of each folder offers what it abbreviates, and puts in nothing by itself.
  editor = open();
  ASSERT_TRUE(AttachNameCompletion(editor, names));
  TypeText(L"amb\\for");
  PumpUntil([&] { return SuggestionList(host.Handle()) != nullptr; }, 2000);
  list = SuggestionList(host.Handle());
  ASSERT_NE(list, nullptr) << "no suggestions for a short form";
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(WindowText(editor), L"amb\\for");
  DestroyWindow(editor);
  PumpMessages();
  EXPECT_EQ(SoundNameEnumerator::LiveObjects(), 0);
}

}  // namespace
