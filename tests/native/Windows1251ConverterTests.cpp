#include <gtest/gtest.h>

#include "format/Windows1251Converter.h"

TEST(Windows1251Converter, ConvertsRussianNamesBothWays) {
  const Windows1251Converter converter;
  const std::string bytes =
      "\xEB\xE5\xF1\\\xCF\xF2\xE8\xF6\xFB \xB9"
      "1 \xA8\xB8.wav";
  const std::wstring text = L"лес\\Птицы №1 Ёё.wav";
  EXPECT_EQ(converter.ToUtf16(bytes), text);
  EXPECT_EQ(converter.FromUtf16(text), bytes);
}

TEST(Windows1251Converter, EveryByteSurvivesDecodingAndEncoding) {
  const Windows1251Converter converter;
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const std::optional<std::wstring> text = converter.ToUtf16(all);
  ASSERT_TRUE(text);
  EXPECT_EQ(converter.FromUtf16(*text), all);
  EXPECT_EQ((*text)[0x88 - 1], L'€');
  EXPECT_EQ((*text)[0x98 - 1], L'\x0098');
}

TEST(Windows1251Converter, RefusesTextsWithCharactersOutsideTheCodePage) {
  const Windows1251Converter converter;
  for (const wchar_t* text : {L"é", L"x中", L"\xD800x"}) EXPECT_EQ(converter.FromUtf16(text), std::nullopt);
}
