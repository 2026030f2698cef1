#include <gtest/gtest.h>

#include <vector>

#include "commands/TextBoxKeys.h"
#include "resources/ResourceIds.h"

namespace {

std::vector<ACCEL> EditorAccelerators() {
  HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_MAIN));
  std::vector<ACCEL> entries(static_cast<size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
  CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
  DestroyAcceleratorTable(table);
  return entries;
}

TEST(TextBoxKeys, FindsTheCommandOfExactlyTheseModifiers) {
  const std::vector<ACCEL> table = EditorAccelerators();
  ASSERT_EQ(table.size(), 36u);
  const BYTE control = ModifierFlags(false, true, false);
  const BYTE shift = ModifierFlags(true, false, false);
  const BYTE alt = ModifierFlags(false, false, true);
  EXPECT_EQ(FindAcceleratorCommand(table, 'C', control), CMD_EDIT_COPY);
  EXPECT_EQ(FindAcceleratorCommand(table, 'X', control), CMD_EDIT_CUT);
  EXPECT_EQ(FindAcceleratorCommand(table, 'V', control), CMD_EDIT_PASTE);
  EXPECT_EQ(FindAcceleratorCommand(table, 'Z', control), CMD_EDIT_UNDO);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_BACK, alt), CMD_EDIT_UNDO);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_DELETE, shift), CMD_EDIT_CUT);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_INSERT, control), CMD_EDIT_COPY);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_INSERT, shift), CMD_EDIT_PASTE);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_F6, 0), CMD_NEXT_PANE);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_F6, shift), CMD_PREV_PANE);
  EXPECT_EQ(FindAcceleratorCommand(table, 'N', control), CMD_FILE_NEW);
  // Another modifier besides makes another key, as the platform's translation sees it.
  EXPECT_EQ(FindAcceleratorCommand(table, 'C', ModifierFlags(true, true, false)), -1);
  EXPECT_EQ(FindAcceleratorCommand(table, 'C', 0), -1);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_DELETE, 0), -1);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_DELETE, control), CMD_ENTRY_DELETE);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_INSERT, 0), CMD_ENTRY_INSERT);
  EXPECT_EQ(FindAcceleratorCommand(table, VK_F3, 0), CMD_EDIT_FIND_NEXT);
  EXPECT_EQ(FindAcceleratorCommand({}, 'C', control), -1);
}

TEST(TextBoxKeys, OnlyUndoCutCopyAndPasteAreLeftToTextBoxes) {
  for (int command : {CMD_EDIT_UNDO, CMD_EDIT_CUT, CMD_EDIT_COPY, CMD_EDIT_PASTE}) {
    EXPECT_TRUE(IsTextEditingCommand(command)) << command;
  }
  for (int command : {CMD_FILE_NEW, CMD_FILE_SAVE, CMD_FILE_PRINT, CMD_NEXT_PANE, -1}) {
    EXPECT_FALSE(IsTextEditingCommand(command)) << command;
  }
}

TEST(TextBoxKeys, EditControlsAreTextBoxes) {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                nullptr, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, parent, nullptr, nullptr, nullptr);
  HWND button =
      CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 30, 100, 20, parent, nullptr, nullptr, nullptr);
  HWND list =
      CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 60, 100, 50, parent, nullptr, nullptr, nullptr);
  EXPECT_TRUE(IsTextBox(edit));
  EXPECT_FALSE(IsTextBox(button));
  EXPECT_FALSE(IsTextBox(list));
  EXPECT_FALSE(IsTextBox(parent));
  EXPECT_FALSE(IsTextBox(nullptr));
  DestroyWindow(parent);
}

}  // namespace
