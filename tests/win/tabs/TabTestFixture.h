#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "tabs/TabView.h"

// What the container's parent was sent.
struct ParentRecord {
  UINT code;
  INT_PTR id;
  HWND from;
  POINT point;
};

// The frame's stand-in: records every notification and answers passed-up commands.
class TestParent : public Window {
 public:
  std::vector<ParentRecord> notes;
  std::vector<UINT> otherMessages;
  LRESULT commandResult = 0;

  std::vector<ParentRecord> NotesWithCode(UINT code) const;

 protected:
  bool HandleMessage(Message& m) override;
};

// A page window that counts how often it is destroyed and may take forwarded keys.
class TestPage : public Window {
 public:
  int destroyed = 0;
  UINT takesForwardedKey = 0;

 protected:
  bool HandleMessage(Message& m) override;
};

class TabViewTest : public testing::Test {
 protected:
  // One frame stand-in serves a whole suite: hiding a foreground window costs Wine two
  // seconds without a window manager.
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A fresh page window, child of the container, not yet added.
  TestPage& MakePage();
  // Adds a page titled `title` whose window is a fresh TestPage.
  TestPage& Add(const std::wstring& title);
  void AddPages(std::initializer_list<const wchar_t*> titles);
  std::vector<std::wstring> Titles() const;
  std::wstring TabText(int index) const;
  // Texts of the "&Window" popup from its first entry on.
  std::vector<std::wstring> MenuTexts() const;
  int CheckedMenuPosition() const;
  // Screen position of the centre of tab `index`.
  POINT TabCentre(int index) const;
  RECT TabRect(int index) const;
  int VisiblePageCount() const;
  // Real key input, then the queue pumped through the container's keyboard pre-translation
  // as the frame's message loop does it; returns how many messages the container took.
  int PressWithPageKeys(std::initializer_list<WORD> keys);

  static TestParent* sharedParent;
  TestParent& parent = *sharedParent;
  TabView view;
  std::vector<std::unique_ptr<TestPage>> pages;
  HMENU windowMenu = nullptr;
};
