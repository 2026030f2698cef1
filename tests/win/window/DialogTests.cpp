#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/Dialog.h"

namespace {

// A dialog template in memory: a captioned box with one OK button.
std::vector<WORD> OkBoxTemplate() {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);  // no menu, class or title
  auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
  dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  dialog->cdit = 1;
  dialog->cx = 120;
  dialog->cy = 60;
  if (words.size() % 2 != 0) words.push_back(0);  // items start on a DWORD boundary
  size_t item = words.size();
  words.resize(item + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
  auto* button = reinterpret_cast<DLGITEMTEMPLATE*>(words.data() + item);
  button->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
  button->x = 35;
  button->y = 30;
  button->cx = 50;
  button->cy = 14;
  button->id = IDOK;
  for (WORD word : {WORD{0xFFFF}, WORD{0x0080}, WORD{L'O'}, WORD{L'K'}, WORD{0}, WORD{0}})
    words.push_back(word);
  return words;
}

// Runs its checks from inside its own modal loop, then ends with 7.
class ProbeDialog : public Dialog {
 public:
  std::vector<UINT> seen;
  HWND boundAtInit = nullptr;
  Dialog* foundAtInit = nullptr;
  bool okFocused = false;
  LRESULT answered = 0;
  BOOL initAnswer = FALSE;

 protected:
  bool HandleMessage(Message& m) override {
    seen.push_back(m.msg);
    switch (m.msg) {
      case WM_INITDIALOG:
        boundAtInit = Handle();
        foundAtInit = FromHandle(m.hwnd);
        PostMessageW(m.hwnd, WM_APP, 0, 0);
        // The root's answer decides where the focus goes.
        Dialog::HandleMessage(m);
        initAnswer = static_cast<BOOL>(m.result);
        return true;
      case WM_APP:
        okFocused = GetFocus() == GetDlgItem(m.hwnd, IDOK);
        answered = SendMessageW(m.hwnd, WM_APP + 1, 0, 0);
        End(7);
        return true;
      case WM_APP + 1:
        m.result = 0x1234;
        return true;
      default:
        return Dialog::HandleMessage(m);
    }
  }
};

TEST(Dialogs, BindAtInitDialogAnswerThroughTheChainAndEnd) {
  std::vector<WORD> dialogTemplate = OkBoxTemplate();
  ProbeDialog dialog;
  INT_PTR result = dialog.RunModal(reinterpret_cast<DLGTEMPLATE*>(dialogTemplate.data()), nullptr);
  EXPECT_EQ(result, 7);
  ASSERT_FALSE(dialog.seen.empty());
  EXPECT_EQ(dialog.seen.front(), UINT{WM_INITDIALOG});
  EXPECT_NE(dialog.boundAtInit, nullptr);
  EXPECT_EQ(dialog.foundAtInit, &dialog);
  EXPECT_EQ(dialog.initAnswer, TRUE);
  EXPECT_TRUE(dialog.okFocused);
  // A consumed message's result reaches the sender through DWLP_MSGRESULT.
  EXPECT_EQ(dialog.answered, 0x1234);
  // The binding ends with the window.
  EXPECT_EQ(dialog.Handle(), nullptr);
  EXPECT_EQ(dialog.seen.back(), UINT{WM_NCDESTROY});
  EXPECT_FALSE(IsWindow(dialog.boundAtInit));
}

TEST(Dialogs, MissingTemplateFails) {
  ProbeDialog dialog;
  EXPECT_EQ(dialog.RunModal(GetModuleHandleW(nullptr), L"NoSuchTemplate", nullptr), -1);
  EXPECT_TRUE(dialog.seen.empty());
}

}  // namespace
