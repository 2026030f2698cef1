#include "format/AmbientFileIo.h"

#include "format/FileAccess.h"
#include "format/NamesCodePage.h"

AmbientLoadResult LoadAmbientFile(const std::wstring& path, FileStamp* stamp) {
  return LoadAmbientFile(path, NamesConverter(), stamp);
}

AmbientLoadResult LoadAmbientFile(const std::wstring& path, const CodePageConverter& converter,
                                  FileStamp* stamp) {
  const FileReadResult read = ReadFileStart(path, AmbientFileMaxBytes);
  if (!read) {
    AmbientLoadResult failure;
    failure.error = AmbientLoadError::CannotReadFile;
    failure.systemError = read.error;
    return failure;
  }
  if (stamp != nullptr) *stamp = read.stamp;
  return ReadAmbientFile(read.bytes, converter, read.fileSize);
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries, FileStamp* stamp) {
  return SaveAmbientFile(path, image, entries, NamesConverter(), stamp);
}

AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter, FileStamp* stamp) {
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
  if (stamp != nullptr) *stamp = written.stamp;
  return {};
}
