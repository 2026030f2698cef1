#include <gtest/gtest.h>

#include "format/Win32CodePageConverter.h"
#include "format/Windows1251Converter.h"

namespace {

bool RussianThreadLocale() { return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())) == LANG_RUSSIAN; }

// The suite runs once per locale; make sure the Russian run really converts in Russian.
bool StartedForRussian() {
  wchar_t locale[64] = {};
  GetEnvironmentVariableW(L"LC_ALL", locale, 64);
  return std::wstring(locale).starts_with(L"ru");
}

}  // namespace

TEST(ProcessCodePage, IsTheThreadCodePageOnNtAndTheLocaleCodePageBeforeIt) {
  EXPECT_EQ(ProcessAnsiCodePage(), static_cast<UINT>(CP_THREAD_ACP));
  EXPECT_EQ(ProcessAnsiCodePage(), ProcessAnsiCodePage());
  EXPECT_EQ(LegacyAnsiCodePage(), GetACP());
  EXPECT_EQ(RussianThreadLocale(), StartedForRussian());
  EXPECT_EQ(LegacyAnsiCodePage(), RussianThreadLocale() ? 1251u : 1252u);
}

TEST(ProcessCodePage, ConvertsRussianNamesUnderTheRussianLocaleOnly) {
  const CodePageConverter& converter = ProcessCodePageConverter();
  const std::wstring name = L"лес\\Птицы №1.wav";
  const std::optional<std::string> bytes = converter.FromUtf16(name);
  if (RussianThreadLocale()) {
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes,
              "\xEB\xE5\xF1\\\xCF\xF2\xE8\xF6\xFB \xB9"
              "1.wav");
    EXPECT_EQ(converter.ToUtf16(*bytes), name);
    EXPECT_EQ(converter.FromUtf16(L"naïve_日本.ogg"), std::nullopt);
  } else {
    EXPECT_EQ(bytes, std::nullopt);
    EXPECT_EQ(converter.ToUtf16("\xEB\xE5\xF1"), L"ëåñ");
  }
}

// Encoding never substitutes: not the default character, not a best-fit look-alike (ï as i),
// whichever way the code page reports a character it lacks.
TEST(Win32CodePageConverter, RefusesTextTheCodePageCannotHoldExactly) {
  EXPECT_EQ(Win32CodePageConverter(1251).FromUtf16(L"naïve"), std::nullopt);
  EXPECT_EQ(Win32CodePageConverter(1251).FromUtf16(L"日本"), std::nullopt);
  EXPECT_EQ(Win32CodePageConverter(1252).FromUtf16(L"лес.ogg"), std::nullopt);
  EXPECT_EQ(Win32CodePageConverter(1252).FromUtf16(L"naïve"), "na\xEFve");
  EXPECT_EQ(Win32CodePageConverter(CP_UTF8).FromUtf16(L"ï日"), "\xC3\xAF\xE6\x97\xA5");
  EXPECT_EQ(Win32CodePageConverter(CP_UTF8).FromUtf16(L"a\xD800"), std::nullopt);
  EXPECT_EQ(Win32CodePageConverter(CP_SYMBOL).FromUtf16(L"\xF041"), "A");
  EXPECT_EQ(Win32CodePageConverter(CP_SYMBOL).FromUtf16(L"я"), std::nullopt);
}

TEST(Win32CodePageConverter, AgreesWithThePortableStandInForCodePage1251) {
  const Win32CodePageConverter system(1251);
  const Windows1251Converter standIn;
  for (int value = 1; value < 256; ++value) {
    const std::string byte(1, static_cast<char>(value));
    const std::optional<std::wstring> decoded = system.ToUtf16(byte);
    ASSERT_TRUE(decoded) << value;
    EXPECT_EQ(decoded, standIn.ToUtf16(byte)) << "byte " << value;
    EXPECT_EQ(system.FromUtf16(*decoded), byte) << "byte " << value;
  }
  EXPECT_EQ(system.FromUtf16(L"中"), standIn.FromUtf16(L"中"));
}

TEST(Win32CodePageConverter, EmptyTextConvertsToEmptyText) {
  const Win32CodePageConverter converter(1251);
  EXPECT_EQ(converter.ToUtf16(""), L"");
  EXPECT_EQ(converter.FromUtf16(L""), "");
}
