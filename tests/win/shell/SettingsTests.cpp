#include <gtest/gtest.h>

#include "session/Settings.h"

namespace {

// A key of the test's own, removed before and after, so runs never see each other's values.
class SettingsTest : public ::testing::Test {
 protected:
  static constexpr const wchar_t* kKey = L"Software\\Sonarwick-SettingsTest";
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

  static void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
};

TEST_F(SettingsTest, ValuesSurviveANewReadOfTheKey) {
  Settings written(kKey);
  written.Load();
  EXPECT_TRUE(written.SetString(L"Folder", L"C:\\Игра\\sound"));
  EXPECT_TRUE(written.SetNumber(L"Width", 640));
  EXPECT_TRUE(written.SetBytes(L"Placement", {1, 2, 3}));
  EXPECT_TRUE(written.SetStringList(L"Recent", {L"a.bad", L"", L"b.bad"}));

  Settings read(kKey);
  read.Load();
  EXPECT_EQ(read.GetString(L"Folder"), L"C:\\Игра\\sound");
  EXPECT_EQ(read.GetNumber(L"Width"), 640u);
  EXPECT_EQ(read.GetBytes(L"Placement"), (std::vector<BYTE>{1, 2, 3}));
  EXPECT_EQ(read.GetStringList(L"Recent"), (std::vector<std::wstring>{L"a.bad", L"b.bad"}));

  EXPECT_TRUE(read.Remove(L"Width"));
  Settings again(kKey);
  again.Load();
  EXPECT_FALSE(again.GetNumber(L"Width").has_value());
}

TEST_F(SettingsTest, DamagedOrForeignValuesReadAsAbsent) {
  const DWORD number = 7;
  WriteRaw(L"NumberAsString", REG_DWORD, &number, sizeof(number));
  const BYTE shortNumber[2] = {1, 2};
  WriteRaw(L"ShortNumber", REG_DWORD, shortNumber, sizeof(shortNumber));
  const BYTE halfCharacter[3] = {'a', 0, 'b'};
  WriteRaw(L"HalfCharacter", REG_SZ, halfCharacter, sizeof(halfCharacter));
  const wchar_t unterminated[2] = {L'o', L'k'};
  WriteRaw(L"Unterminated", REG_SZ, unterminated, sizeof(unterminated));

  Settings settings(kKey);
  settings.Load();
  EXPECT_FALSE(settings.GetString(L"NumberAsString").has_value());
  EXPECT_FALSE(settings.GetNumber(L"ShortNumber").has_value());
  EXPECT_FALSE(settings.GetString(L"HalfCharacter").has_value());
  // A string without its terminator is still the string it holds.
  EXPECT_EQ(settings.GetString(L"Unterminated"), L"ok");
  EXPECT_FALSE(settings.GetString(L"Missing").has_value());
}

}  // namespace
