#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ambient/AmbientEntry.h"
#include "ambient/AmbientFile.h"
#include "grid/PropertyGrid.h"

// The window of one open ".bad" document: a property grid with one row per entry and, for a
// document read from a file, an append row below them that adds a new entry when chosen.
// The view keeps the document's path, its modified flag and the record image of the file, so
// that a save writes back every byte it does not edit.
class AmbientView : public PropertyGrid {
 public:
  // Reads the file at `path` into rows below the six columns. FALSE when it cannot be read or
  // holds more entries than a document can (GetLastLoadError says which); the append row, the
  // flags and the path are set all the same, and the caller destroys the view.
  BOOL Load(const wchar_t* path);
  // Writes the rows to the document's path. On failure the file on disk, the rows and the
  // modified flag stay as they were, and GetLastSaveError says why.
  BOOL Save();
  // Saves to `path`, which becomes the document's path; a failed save keeps the old one.
  BOOL SaveAs(const wchar_t* path);
  BOOL IsModified() const { return modified; }
  // Empty for a document that was never loaded or saved.
  const wchar_t* GetPath() const { return path; }
  // Why the last Save or SaveAs failed, worded for the user in the interface language as the line
  // under "Не могу сохранить файл!"; empty after a success.
  const std::wstring& GetLastSaveError() const { return lastSaveError; }
  // Why the last Load failed, as the line under "Не могу открыть файл!"; empty after a success.
  const std::wstring& GetLastLoadError() const { return lastLoadError; }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void OnCreate();
  void OnAddRow();
  void OnSelectNewEntry(int row);
  bool InsertEntryRow(int row, const AmbientEntryValues& values);
  int ReadRowValues(int row, AmbientEntryValues& values) const;
  void SetPath(const wchar_t* newPath);

  bool modified = true;
  wchar_t path[MAX_PATH] = {};
  AmbientImage entries{};
  std::wstring lastSaveError;
  std::wstring lastLoadError;
};
