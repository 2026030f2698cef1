#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ambient/AmbientDocument.h"
#include "format/AmbientFile.h"
#include "format/FileStamp.h"
#include "grid/PropertyGrid.h"

// Sent to the parent (WM_NOTIFY with a plain NMHDR) when the append row cannot add an entry
// because the document already holds MaxAmbientEntries; the parent tells the user why.
constexpr UINT AMBIENTN_DOCUMENTFULL = static_cast<UINT>(-3101);
// Sent to the parent (WM_NOTIFY with a plain NMHDR) when the view has something to say in the
// status bar (GetStatusText), such as how many entries a Ctrl+Enter changed.
constexpr UINT AMBIENTN_STATUS = static_cast<UINT>(-3102);

// The window of one open ".bad" document: a property grid with one row per entry and, for a
// document read from a file, an append row below them that adds a new entry when chosen.
//
// The view binds an AmbientDocument to the grid: it forwards what the user commits and the
// commands to the document, and the rows show what the document tells changed. Nothing is read
// back from the grid. The view owns the document's file: its path and the stamp it had.
class AmbientView : public PropertyGrid, private DocumentObserver {
 public:
  AmbientView();
  ~AmbientView() override;
  // Changes made to the document show in the rows at once. The user's commands go through the
  // view's own methods below, which first end an open cell edit.
  AmbientDocument& Document() { return document; }
  const AmbientDocument& Document() const { return document; }

  // Reads the file at `path` into rows below the six columns. FALSE when it cannot be read or
  // holds more entries than a document can (GetLastLoadError says which); the append row, the
  // flags and the path are set all the same, and the caller destroys the view.
  BOOL Load(const wchar_t* path);
  // Writes the entries to the document's path. On failure the file on disk, the entries and the
  // modified flag stay as they were, and GetLastSaveError says why.
  BOOL Save();
  // Saves to `path`, which becomes the document's path; a failed save keeps the old one.
  BOOL SaveAs(const wchar_t* path);
  BOOL IsModified() const { return document.IsModified(); }
  // Empty for a document that was never loaded or saved. Never cut short, however long.
  const wchar_t* GetPath() const { return path.c_str(); }
  // Why the last Save or SaveAs failed, worded for the user in the interface language as the line
  // under "Не могу сохранить файл!"; empty after a success.
  const std::wstring& GetLastSaveError() const { return lastSaveError; }
  // Why the last Load failed, as the line under "Не могу открыть файл!"; empty after a success.
  const std::wstring& GetLastLoadError() const { return lastLoadError; }

  // What the loaded file's length said beyond its records (AmbientFileMessages'
  // DescribeLoadDamage); empty for a whole file or a document not loaded.
  const std::wstring& GetLoadDamage() const { return loadDamage; }
  // The names' code page changed from `from` to `to`: shows every unedited name as its stored
  // bytes read in `to`, in the document and every step of its history; nothing becomes modified.
  void RereadNames(const CodePageConverter& from, const CodePageConverter& to);

  // Gives a document made with New the append row, so that it can be filled.
  void StartNew();

  // ---- the document and the world outside ----
  // The file as this document last read or wrote it; no file for a new document.
  const FileStamp& GetFileStamp() const { return fileStamp; }
  // Reads the document's file again in place of its entries: the selection stays on its row,
  // the history starts anew and the document is unmodified. FALSE (GetLastLoadError says why)
  // leaves the document as it was.
  BOOL Reload();
  // The bytes Save would write now, without writing them; false when an entry cannot be stored.
  bool EncodeForSave(std::vector<std::byte>& bytes) const;
  // Fills a fresh view from the contents of a recovery copy, bound to `boundPath` (empty for a
  // document that never had a file) and to the stamp its file had then; the document comes up
  // modified, as it was when the copy was written.
  BOOL LoadRecovered(std::span<const std::byte> bytes, const std::wstring& boundPath, const FileStamp& stamp);
  // A document whose file went away must be saved to exist again.
  void MarkModified() { document.MarkModified(); }

  // The entry under the cursor; -1 on the append row or without a selection.
  int GetSelectedEntry() const;
  // Every selected entry, ascending; empty on the append row or without a selection.
  std::vector<int> GetSelectedEntries() const;
  const std::wstring& GetStatusText() const { return statusText; }
  int GetEntryCount() const { return document.Count(); }
  const DocumentEntry& GetEntry(int index) const { return document.At(index); }
  // The chosen entries and the cursor's row, as the document's commands take them.
  EntrySelection GetSelection() const;

  // Entry commands on the selected entries. Each ends an open cell edit first and is one step of
  // the history, after which the entries it touched are selected. Those that add entries return
  // false, changing nothing, when the document would hold more than MaxAmbientEntries.
  void DeleteEntry();
  // A fresh entry above the cursor's row (or above the append row) with its file-name editor open.
  bool InsertEntry();
  // Copies of the selected entries, below the last of them.
  bool DuplicateEntry();
  // Moves the selected entries one row up (-1) or down (+1) as one block; nothing moves when
  // the block is at that edge.
  void MoveEntry(int delta);
  // Puts `entries` above the first selected row and selects them.
  bool PasteEntries(const std::vector<DocumentEntry>& entries);

  bool CanUndo() const { return document.CanUndo(); }
  bool CanRedo() const { return document.CanRedo(); }
  void Undo();
  void Redo();
  // What the history holds, in bytes.
  std::size_t HistoryBytes() const { return document.HistoryBytes(); }

  // ---- column widths at the display scale ----
  // The widths of the columns counted at 96 DPI, as kept between runs.
  std::vector<int> GetColumnWidths96() const;
  // Shows the columns `widths` wide (at 96 DPI); a list of another length is ignored.
  void SetColumnWidths96(const std::vector<int>& widths);
  // Shows the text at `dpi`, in fonts made for it, and the columns as wide as they were at
  // the scale before; a column at its default width takes the default of the new scale.
  void ApplyDpi(UINT dpi);
  // A column's width before the user chose one: its width given for 96 DPI at the window's
  // scale, or what its caption needs in the header's font where that is more.
  int DefaultColumnWidth(int index) const;
  // Find and replace: gives the entries `names` (one per entry, in order) as one step of the
  // history, which selects the entries whose names changed. Changes nothing and returns why the
  // first changed name cannot be stored when one cannot; empty otherwise (also when no name
  // changed). With `apply` false it only says why.
  std::wstring ReplaceNames(const std::vector<std::wstring>& names, bool apply = true);
  // A quick fix: gives the entry at `index` all of `values` as one step of the history, which
  // selects it. False, changing nothing, when the values are the entry's already, the index is
  // beyond the entries or a changed name cannot be stored.
  bool ReplaceEntryValues(int index, const AmbientEntryValues& values);

 protected:
  bool HandleMessage(Message& m) override;
  // A name whose stored bytes the code page cannot read says so, whatever the cell's width.
  std::wstring CellToolTipText(int row, int col) const override;

 private:
  void OnEntriesChanged(const EntriesChanged& change) override;
  void OnCreate();
  void OnAddRow();
  void OnSelectNewEntry(int row);
  bool OnCommitEdit(Message& m);
  void OnSetItemValue(Message& m);
  void AddAppendRow();
  void AdoptLoaded(const AmbientLoadResult& loaded);

  // The rows from `first` on that showed `shownBefore` entries now show `shownAfter` of them.
  void ShowReplacedRows(int first, int shownBefore, int shownAfter);

  // Why the name typed into the open editor of `row` cannot be stored; empty when it can.
  std::wstring NameRefusalText(int row, const std::wstring& name) const;
  // A committed cell's new value goes into its entry, as one step of the history.
  void TakeCellValue(int row, int col);
  // Runs an entry command and chooses what it left chosen, in the column the cursor was in. The
  // column is read first: the command's notices rebuild the rows, and the cursor with them.
  EntryCommandOutcome Choose(const std::function<EntryCommandOutcome()>& command);
  void SelectEntryRow(int row, int column);
  void SelectEntries(const std::vector<int>& rows, int column);
  // Ctrl+Enter: the committed cell's value goes into that field of every selected entry.
  void FillSelection(int row, int col);
  void Tell(std::wstring text);

  void FitNameColumn();
  int CaptionWidth(int index) const;

  std::wstring path;
  AmbientDocument document;
  // The scale the columns are shown at.
  UINT columnDpi = 96;
  bool fittingNameColumn = false;
  // While the columns take a new scale's widths, which no open editor may hold back.
  bool applyingDpi = false;
  std::wstring lastSaveError;
  std::wstring lastLoadError;
  std::wstring statusText;
  FileStamp fileStamp;
  std::wstring loadDamage;
};
