#include "app/EntryClipboard.h"

#include <cstring>
#include <optional>
#include <string>

#include "ambient/EntryRecords.h"
#include "ambient/Win32CodePageConverter.h"

namespace {

UINT EntryFormat() {
  static const UINT format = RegisterClipboardFormatW(L"Sonarwick.AmbientEntries");
  return format;
}

// Open for the life of the object, when it could be opened at all.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

bool SetClipboardBytes(UINT format, const void* data, size_t size) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (memory == nullptr) return false;
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    return false;
  }
  std::memcpy(target, data, size);
  GlobalUnlock(memory);
  if (SetClipboardData(format, memory) != nullptr) return true;
  GlobalFree(memory);
  return false;
}

// The bytes of `format`, or nullopt when the clipboard does not hold it.
std::optional<std::vector<std::byte>> ClipboardBytes(UINT format) {
  HANDLE memory = GetClipboardData(format);
  if (memory == nullptr) return std::nullopt;
  const auto* data = static_cast<const std::byte*>(GlobalLock(memory));
  if (data == nullptr) return std::nullopt;
  std::vector<std::byte> bytes(data, data + GlobalSize(memory));
  GlobalUnlock(memory);
  return bytes;
}

std::wstring ClipboardText() {
  std::optional<std::vector<std::byte>> bytes = ClipboardBytes(CF_UNICODETEXT);
  if (!bytes) return {};
  std::wstring text(bytes->size() / sizeof(wchar_t), L'\0');
  std::memcpy(text.data(), bytes->data(), text.size() * sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

ClipboardPaste FromRecords(std::vector<DocumentEntry> entries, int room) {
  ClipboardPaste paste;
  if (entries.empty()) {
    paste.error = EntryTextError::NoEntries;
  } else if (static_cast<int>(entries.size()) > room) {
    paste.error = EntryTextError::TooManyEntries;
    paste.line = room + 1;
  } else {
    paste.entries = std::move(entries);
  }
  return paste;
}

ClipboardPaste FromText(const std::wstring& text, int room) {
  const EntryTextParse parse = ParseEntryLines(text, ProcessCodePageConverter(), room);
  ClipboardPaste paste{{}, parse.error, parse.line, parse.field};
  if (!parse) return paste;
  for (const AmbientEntryValues& values : parse.entries) paste.entries.push_back({values, {}});
  return paste;
}

}  // namespace

bool PutEntriesOnClipboard(HWND owner, const std::vector<DocumentEntry>& entries) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
  std::wstring text;
  for (const DocumentEntry& entry : entries) text += FormatEntryLine(entry.values) + L"\r\n";
  const std::vector<std::byte> records = EncodeEntryRecords(entries);
  return SetClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) &&
         SetClipboardBytes(EntryFormat(), records.data(), records.size());
}

bool ClipboardMayHoldEntries() {
  return IsClipboardFormatAvailable(EntryFormat()) || IsClipboardFormatAvailable(CF_UNICODETEXT);
}

ClipboardPaste TakeEntriesFromClipboard(HWND owner, int room) {
  OpenedClipboard clipboard(owner);
  if (!clipboard.IsOpen()) return {{}, EntryTextError::NoEntries, 0, 0};
  if (std::optional<std::vector<std::byte>> bytes = ClipboardBytes(EntryFormat())) {
    // GlobalSize may round the block up; the records end where their count says.
    if (auto entries = DecodeEntryRecords(*bytes)) return FromRecords(std::move(*entries), room);
  }
  return FromText(ClipboardText(), room);
}
