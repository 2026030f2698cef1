// Arbitrary bytes taken as a list of entry commands on a document: each byte picks a command,
// the entries it acts on and the values it gives. Properties: nothing crashes or trips a
// sanitizer, the document always holds what a plain list worked out by hand holds, its notices
// tell exactly that list, and undoing everything gives back the bytes it was loaded from.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DocumentCommandModel.h"
#include "ambient/AmbientDocument.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// A file of `count` entries with bytes behind each name's terminator.
std::vector<std::byte> StartingFile(int count) {
  std::vector<std::byte> bytes(2 + static_cast<std::size_t>(count) * sizeof(AmbientEntry));
  const auto declared = static_cast<std::int16_t>(count);
  std::memcpy(bytes.data(), &declared, sizeof(declared));
  for (int index = 0; index < count; ++index) {
    AmbientEntry entry{};
    entry.minRepeatMs = index;
    entry.timeOfDay = static_cast<std::uint8_t>(index % 4);
    const std::string name = "n" + std::to_string(index) + ".wav";
    std::memcpy(entry.audioFile, name.data(), name.size());
    entry.audioFile[80] = static_cast<char>(index + 1);
    std::memcpy(bytes.data() + 2 + static_cast<std::size_t>(index) * sizeof(AmbientEntry), &entry, sizeof(entry));
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Windows1251Converter converter;
  std::size_t next = 0;
  // Past the input every pick is zero, so every run ends.
  const auto pick = [&](int n) { return next < size ? data[next++] % n : 0; };
  const std::vector<std::byte> original = StartingFile(pick(MaxAmbientEntries + 1));
  AmbientDocument document;
  Require(static_cast<bool>(document.LoadBytes(original, converter, true)));
  DocumentCommandModel model(document, pick);
  while (next < size) Require(model.Step());
  Require(model.UndoAll());
  const AmbientEncoding saved = document.Encode(converter);
  Require(static_cast<bool>(saved.result) && saved.bytes == original && !document.IsModified());
  return 0;
}
