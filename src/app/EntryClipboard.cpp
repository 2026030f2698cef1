#include "app/EntryClipboard.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "ambient/EntryRecords.h"
#include "format/NamesCodePage.h"

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

// The bytes of `format`, at most `limit` of them, or nullopt when the clipboard does not hold
// it. Another program made the block, so its size bounds what is copied, never the other way.
std::optional<std::vector<std::byte>> ClipboardBytes(UINT format, std::size_t limit = SIZE_MAX) {
  HANDLE memory = GetClipboardData(format);
  if (memory == nullptr) return std::nullopt;
  const auto* data = static_cast<const std::byte*>(GlobalLock(memory));
  if (data == nullptr) return std::nullopt;
  std::vector<std::byte> bytes(data, data + std::min<std::size_t>(GlobalSize(memory), limit));
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

ClipboardPaste FromRecords(const std::vector<std::byte>& bytes, int room) {
  EntryRecordsDecode decode = DecodeEntryRecords(bytes, NamesConverter(), room);
  return {std::move(decode.entries), decode.error, decode.entry, 0};
}

ClipboardPaste FromText(const std::wstring& text, int room) {
  const EntryTextParse parse = ParseEntryLines(text, NamesConverter(), room);
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
  if (!clipboard.IsOpen()) return {{}, EntryTextError::NoEntries, 0, 0, true};
  // GlobalSize may round the block up; the records end where their count says. A block of the
  // editor's own format is taken or refused as it stands: the text beside it says the same.
  if (std::optional<std::vector<std::byte>> bytes = ClipboardBytes(EntryFormat(), MaxEntryRecordsBytes)) {
    return FromRecords(*bytes, room);
  }
  return FromText(ClipboardText(), room);
}
