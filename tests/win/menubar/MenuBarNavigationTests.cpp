#include <gtest/gtest.h>

#include "menubar/MenuBarNavigation.h"

TEST(MenuBarMnemonics, TakesTheCharacterAfterASingleAmpersand) {
  EXPECT_EQ(MnemonicOf(L"&File"), L'F');
  EXPECT_EQ(MnemonicOf(L"Save &As..."), L'A');
  EXPECT_EQ(MnemonicOf(L"&Файл"), L'Ф');
  EXPECT_EQ(MnemonicOf(L"Fish && &Chips"), L'C');
  EXPECT_EQ(MnemonicOf(L"Fish && Chips"), 0);
  EXPECT_EQ(MnemonicOf(L"Plain"), 0);
  EXPECT_EQ(MnemonicOf(L"Trailing&"), 0);
  EXPECT_EQ(MnemonicOf(L""), 0);
}

TEST(MenuBarMnemonics, FindsTheFirstMatchIgnoringCase) {
  std::vector<std::wstring> english{L"&File", L"&Edit", L"&View", L"&Window", L"&Help"};
  EXPECT_EQ(FindMnemonic(english, L'f'), 0);
  EXPECT_EQ(FindMnemonic(english, L'W'), 3);
  EXPECT_EQ(FindMnemonic(english, L'h'), 4);
  EXPECT_EQ(FindMnemonic(english, L'x'), -1);
  EXPECT_EQ(FindMnemonic(english, 0), -1);

  std::vector<std::wstring> russian{L"&Файл", L"&Редактирование", L"&Вид", L"&Окно", L"&Помощь"};
  EXPECT_EQ(FindMnemonic(russian, L'ф'), 0);
  EXPECT_EQ(FindMnemonic(russian, L'в'), 2);
  EXPECT_EQ(FindMnemonic(russian, L'F'), -1);

  std::vector<std::wstring> clash{L"&Save", L"No mnemonic", L"&Search"};
  EXPECT_EQ(FindMnemonic(clash, L's'), 0);
}

TEST(MenuBarNavigation, StepsWrapAroundAndSkipUnusableButtons) {
  std::vector<bool> all(5, true);
  EXPECT_EQ(StepButtonIndex(0, 1, all), 1);
  EXPECT_EQ(StepButtonIndex(4, 1, all), 0);
  EXPECT_EQ(StepButtonIndex(0, -1, all), 4);
  EXPECT_EQ(StepButtonIndex(-1, 1, all), 0);
  EXPECT_EQ(StepButtonIndex(-1, -1, all), 4);
  EXPECT_EQ(StepButtonIndex(7, 1, all), 0);

  std::vector<bool> holes{false, true, false, false, true};
  EXPECT_EQ(StepButtonIndex(1, 1, holes), 4);
  EXPECT_EQ(StepButtonIndex(4, 1, holes), 1);
  EXPECT_EQ(StepButtonIndex(1, -1, holes), 4);
  EXPECT_EQ(StepButtonIndex(-1, 1, holes), 1);

  std::vector<bool> lone{false, true, false};
  EXPECT_EQ(StepButtonIndex(1, 1, lone), 1);
  EXPECT_EQ(StepButtonIndex(1, -1, lone), 1);

  EXPECT_EQ(StepButtonIndex(0, 1, std::vector<bool>(3, false)), -1);
  EXPECT_EQ(StepButtonIndex(-1, 1, {}), -1);
}
