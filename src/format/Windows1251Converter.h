#pragma once

#include "format/CodePageConverter.h"

// The code page the portable build uses in place of the thread's ANSI code page, which only
// Windows has. Windows-1251 is the code page of the game's Russian file names. It maps every
// byte to a character the way Windows does (0x98, unassigned, to U+0098), so decoding never fails
// and any byte string survives a decode and an encode unchanged. A text with a character outside
// the code page does not encode, as with the system's converter.
class Windows1251Converter final : public CodePageConverter {
 public:
  std::optional<std::wstring> ToUtf16(std::string_view bytes) const override;
  std::optional<std::string> FromUtf16(std::wstring_view text) const override;
};
