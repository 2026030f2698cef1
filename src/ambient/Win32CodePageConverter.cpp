#include "ambient/Win32CodePageConverter.h"

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

}  // namespace

std::optional<std::wstring> Win32CodePageConverter::ToUtf16(std::string_view bytes) const {
  if (bytes.empty()) return std::wstring();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int byteCount = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(codePage_, 0, bytes.data(), byteCount, nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage_, 0, bytes.data(), byteCount, text.data(), length) != length)
    return std::nullopt;
  return text;
}

std::optional<std::string> Win32CodePageConverter::FromUtf16(std::wstring_view text) const {
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int byteCount = WideCharToMultiByte(codePage_, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (byteCount <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(byteCount), '\0');
  if (WideCharToMultiByte(codePage_, 0, text.data(), length, bytes.data(), byteCount, nullptr, nullptr) !=
      byteCount) {
    return std::nullopt;
  }
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
