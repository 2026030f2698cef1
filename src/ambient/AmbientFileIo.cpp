#include "ambient/AmbientFileIo.h"

#include "ambient/FileAccess.h"
#include "ambient/Win32CodePageConverter.h"

AmbientLoadResult LoadAmbientFile(const std::wstring& path) {
  return LoadAmbientFile(path, ProcessCodePageConverter());
}

AmbientLoadResult LoadAmbientFile(const std::wstring& path, const CodePageConverter& converter) {
  const std::optional<std::vector<std::byte>> bytes = ReadFileStart(path, AmbientFileMaxBytes);
  if (!bytes) {
    AmbientLoadResult failure;
    failure.error = AmbientLoadError::CannotReadFile;
    return failure;
  }
  return ReadAmbientFile(*bytes, converter);
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries) {
  return SaveAmbientFile(path, image, entries, ProcessCodePageConverter());
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter) {
  const AmbientEncoding encoding = EncodeAmbientFile(image, entries, converter);
  if (!encoding.result) return encoding.result;
  if (!ReplaceFileContents(path, encoding.bytes)) return {AmbientSaveError::CannotWriteFile, -1};
  image = encoding.image;
  return {};
}
