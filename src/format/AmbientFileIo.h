#pragma once

// Loading and saving ".bad" files on disk, with texts in the names' code page the user chose
// (NamesConverter). This is what the document view calls:
//
//   AmbientLoadResult loaded = LoadAmbientFile(path);
//   if (!loaded) ...;                  // cannot open or read it, or more than 100 entries
//   image = loaded.image;              // keep the record image for the next save
//   for (entry : loaded.entries) ...;  // one grid row each; a null text shows as empty
//
//   AmbientSaveResult saved = SaveAmbientFile(path, image, rowValues);
//   if (!saved) show DescribeSaveFailure(saved, field);  // AmbientFileMessages.h words why
//
// A failed save changes neither the file on disk nor `image`, so it can simply be retried. Only
// when the system gave up half-way through replacing the file may the file on disk be missing;
// the new contents are then kept in the file that the result's `keptFile` names.

#include <span>
#include <string>

#include "format/AmbientFile.h"
#include "format/FileStamp.h"

// Reads the file at `path` (see ReadAmbientFile). Fails with CannotReadFile when it cannot be
// opened or read, and with TooManyEntries when its count is above MaxAmbientEntries.
// `stamp`, when given, receives the stamp of the file as it was read (see FileReadResult).
AmbientLoadResult LoadAmbientFile(const std::wstring& path, FileStamp* stamp = nullptr);
AmbientLoadResult LoadAmbientFile(const std::wstring& path, const CodePageConverter& converter,
                                  FileStamp* stamp = nullptr);

// Writes `entries` to the file at `path` over the record image `image` (see EncodeAmbientFile).
// Every text is checked before the disk is touched; the file is then replaced as a whole.
// On success `image` holds what was written, and `stamp`, when given, the stamp of the file
// written (see FileWriteResult); on failure nothing changes.
AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries, FileStamp* stamp = nullptr);
AmbientSaveResult SaveAmbientFile(const std::wstring& path, AmbientImage& image,
                                  std::span<const AmbientEntryValues> entries,
                                  const CodePageConverter& converter, FileStamp* stamp = nullptr);
