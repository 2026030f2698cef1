#pragma once

#include <optional>
#include <string>
#include <string_view>

// Converts entry texts between the file's single- or double-byte code page and the editor's
// UTF-16 text. On Windows the code page is the editing thread's ANSI code page; elsewhere a fixed
// stand-in takes its place. Inputs never contain NUL characters: the callers cut texts at their
// first NUL, as the file does.
class CodePageConverter {
 public:
  virtual ~CodePageConverter() = default;

  // Decodes bytes of the code page; nullopt when they cannot be decoded.
  virtual std::optional<std::wstring> ToUtf16(std::string_view bytes) const = 0;

  // Encodes UTF-16 text; characters the code page lacks become its default character.
  // nullopt when the text cannot be encoded at all.
  virtual std::optional<std::string> FromUtf16(std::wstring_view text) const = 0;
};
