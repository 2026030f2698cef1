#include "format/AmbientFileIo.h"

#include "format/FileAccess.h"
#include "format/NamesCodePage.h"

AmbientLoadResult LoadAmbientFile(const std::wstring& path) {
  return LoadAmbientFile(path, NamesConverter());
}

AmbientLoadResult LoadAmbientFile(const std::wstring& path, const CodePageConverter& converter) {
  const FileReadResult read = ReadFileStart(path, AmbientFileMaxBytes);
  if (!read) {
    AmbientLoadResult failure;
    failure.error = AmbientLoadError::CannotReadFile;
    failure.systemError = read.error;
    return failure;
  }
  return ReadAmbientFile(read.bytes, converter, read.fileSize);
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries) {
  return SaveAmbientFile(path, image, entries, NamesConverter());
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter) {
  const AmbientEncoding encoding = EncodeAmbientFile(image, entries, converter);
  if (!encoding.result) return encoding.result;
  const FileWriteResult written = ReplaceFileContents(path, encoding.bytes);
  if (!written) {
    AmbientSaveResult failure{AmbientSaveError::CannotWriteFile, -1};
    failure.systemError = written.error;
    failure.keptFile = written.keptFile;
    return failure;
  }
  image = encoding.image;
  return {};
}
