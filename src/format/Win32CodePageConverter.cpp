#include "format/Win32CodePageConverter.h"

#include <charconv>
#include <climits>
#include <cstring>

namespace {

UINT ChooseAnsiCodePage() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  const bool ntFiveOrLater =
      GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 5;
  return ntFiveOrLater ? CP_THREAD_ACP : LegacyAnsiCodePage();
}

// How a conversion to the code page learns that a character did not survive. Most code pages
// report a default character when best-fit look-alikes are turned off; the Unicode code pages
// refuse invalid text instead; a few allow no flags at all and are checked by decoding again.
enum class EncodingCheck { DefaultCharacter, InvalidCharacters, RoundTrip };

EncodingCheck EncodingCheckFor(UINT codePage) {
  switch (codePage) {
    case CP_UTF8:
    case 54936:  // GB 18030 encodes every character; only malformed text fails
      return EncodingCheck::InvalidCharacters;
    case CP_UTF7:
    case CP_SYMBOL:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
      return EncodingCheck::RoundTrip;
    default:
      return codePage >= 57002 && codePage <= 57011 ? EncodingCheck::RoundTrip
                                                    : EncodingCheck::DefaultCharacter;
  }
}

DWORD FlagsFor(EncodingCheck check) {
  switch (check) {
    case EncodingCheck::DefaultCharacter:
      return WC_NO_BEST_FIT_CHARS;
    case EncodingCheck::InvalidCharacters:
      return WC_ERR_INVALID_CHARS;
    case EncodingCheck::RoundTrip:
      return 0;
  }
  return 0;
}

// The number behind CP_ACP, CP_THREAD_ACP and the other stand-ins, whose flags depend on it.
UINT ResolvedCodePage(UINT codePage) {
  CPINFOEXW info{};
  return GetCPInfoExW(codePage, 0, &info) ? info.CodePage : codePage;
}

// The code pages that take no flags when decoding either (MultiByteToWideChar refuses them).
DWORD DecodingFlagsFor(UINT codePage) {
  return EncodingCheckFor(codePage) == EncodingCheck::RoundTrip ? 0 : MB_ERR_INVALID_CHARS;
}

}  // namespace

std::optional<std::wstring> Win32CodePageConverter::ToUtf16(std::string_view bytes) const {
  if (bytes.empty()) return std::wstring();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int byteCount = static_cast<int>(bytes.size());
  // Bytes that are not valid in the code page fail the decoding rather than turning into a
  // default character: the caller then shows them as U+FFFD and keeps them as stored.
  const DWORD flags = DecodingFlagsFor(ResolvedCodePage(codePage_));
  const int length = MultiByteToWideChar(codePage_, flags, bytes.data(), byteCount, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage_, flags, bytes.data(), byteCount, text.data(), length) != length)
    return std::nullopt;
  return text;
}

std::optional<std::string> Win32CodePageConverter::FromUtf16(std::wstring_view text) const {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const UINT codePage = ResolvedCodePage(codePage_);
  const EncodingCheck check = EncodingCheckFor(codePage);
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = check == EncodingCheck::DefaultCharacter ? &usedDefault : nullptr;
  const DWORD flags = FlagsFor(check);
  const int byteCount =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (byteCount <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(byteCount), '\0');
  if (WideCharToMultiByte(codePage, flags, text.data(), length, bytes.data(), byteCount, nullptr,
                          usedDefaultOut) != byteCount ||
      usedDefault) {
    return std::nullopt;
  }
  if (check == EncodingCheck::RoundTrip && ToUtf16(bytes) != text) return std::nullopt;
  return bytes;
}

UINT ProcessAnsiCodePage() {
  static const UINT codePage = ChooseAnsiCodePage();
  return codePage;
}

UINT LegacyAnsiCodePage() {
  char digits[8] = {};
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)) > 0) {
    UINT codePage = 0;
    const char* end = digits + std::strlen(digits);
    const auto [stop, error] = std::from_chars(digits, end, codePage);
    if (error == std::errc() && stop == end && codePage != 0) return codePage;
  }
  return GetACP();
}

const CodePageConverter& ProcessCodePageConverter() {
  static const Win32CodePageConverter converter(ProcessAnsiCodePage());
  return converter;
}
