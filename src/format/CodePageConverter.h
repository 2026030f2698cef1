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

  // Encodes UTF-16 text exactly. nullopt when the code page lacks one of its characters (no
  // default character and no look-alike stands in for it) or the text cannot be encoded at all:
  // a name must never be stored as something other than what the user typed.
  virtual std::optional<std::string> FromUtf16(std::wstring_view text) const = 0;
};
