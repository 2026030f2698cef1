#pragma once

#include <windows.h>

#include "format/CodePageConverter.h"

// Converts with the platform's MultiByteToWideChar and WideCharToMultiByte. Encoding is exact:
// a text with a character the code page lacks is refused rather than given a default character
// or a best-fit look-alike.
class Win32CodePageConverter final : public CodePageConverter {
 public:
  explicit Win32CodePageConverter(UINT codePage) : codePage_(codePage) {}

  UINT codePage() const { return codePage_; }
  std::optional<std::wstring> ToUtf16(std::string_view bytes) const override;
  std::optional<std::string> FromUtf16(std::wstring_view text) const override;

 private:
  UINT codePage_;
};

// The code page of ".bad" texts, chosen on first use and kept for the life of the process:
// CP_THREAD_ACP (the editing thread's ANSI code page) on Windows NT 5.0 and later, otherwise
// LegacyAnsiCodePage().
UINT ProcessAnsiCodePage();

// The thread locale's default ANSI code page, or the system's (GetACP) when the locale names none.
UINT LegacyAnsiCodePage();

// The converter for ProcessAnsiCodePage(), shared by every document of the process.
const CodePageConverter& ProcessCodePageConverter();
