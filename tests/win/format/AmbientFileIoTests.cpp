#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "format/AmbientFileIo.h"
#include "format/FileAccess.h"
#include "format/FileStamp.h"
#include "format/Win32CodePageConverter.h"
#include "format/Windows1251Converter.h"
#include "win/UniqueHandle.h"

namespace {

// Stand-ins for file-system calls that fail the ways a disk or ReplaceFileW can.
BOOL WINAPI WriteToAFullDisk(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}
BOOL WINAPI FlushFailing(HANDLE) {
  SetLastError(ERROR_IO_DEVICE);
  return FALSE;
}
BOOL WINAPI ReplaceKeepingBoth(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
  return FALSE;
}
// The original is already gone when the replacement cannot be moved (no backup name given).
BOOL WINAPI ReplaceLosingTheOriginal(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  DeleteFileW(replaced);
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
  return FALSE;
}
// The original is kept under another name when the replacement cannot be moved.
BOOL WINAPI ReplaceRenamingTheOriginal(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
  MoveFileW(replaced, (std::wstring(replaced) + L".old").c_str());
  SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
  return FALSE;
}
// A disk that takes the first write and is full from then on.
int writesUntilFull = 0;
BOOL WINAPI WriteUntilFull(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (writesUntilFull-- > 0) return WriteFile(file, bytes, size, written, overlapped);
  return WriteToAFullDisk(file, bytes, size, written, overlapped);
}
BOOL WINAPI MoveDenied(LPCWSTR, LPCWSTR, DWORD) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

// Another program appends to the file right after each read of it.
std::wstring writtenAfterRead;
BOOL WINAPI ReadThenAnotherProgramWrites(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read,
                                         LPOVERLAPPED overlapped) {
  const BOOL ok = ReadFile(file, buffer, size, read, overlapped);
  UniqueFile other(CreateFileW(writtenAfterRead.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (other) WriteFile(other.get(), "x", 1, &written, nullptr);
  return ok;
}

// A record laid out by hand, as the file holds it.
struct HandRecord {
  std::int32_t minRepeat;
  std::int32_t maxRepeat;
  std::uint8_t timeOfDay;
  std::string name;  // the name field's bytes, zeros after them
  std::int32_t volume;
};

// A file laid out by hand: the 16-bit count, then 116 bytes a record: the 32-bit minimum and
// maximum, the time byte, 103 bytes of name and the 32-bit volume, every number little-endian.
std::vector<std::byte> HandMadeFile(const std::vector<HandRecord>& records) {
  std::vector<std::byte> out(2 + 116 * records.size());
  const auto put = [&out](std::size_t at, std::int64_t value, int size) {
    for (int index = 0; index < size; ++index) out[at + index] = static_cast<std::byte>(value >> (8 * index));
  };
  put(0, static_cast<std::int64_t>(records.size()), 2);
  for (std::size_t index = 0; index < records.size(); ++index) {
    const std::size_t at = 2 + 116 * index;
    put(at, records[index].minRepeat, 4);
    put(at + 4, records[index].maxRepeat, 4);
    put(at + 8, records[index].timeOfDay, 1);
    for (std::size_t letter = 0; letter < records[index].name.size(); ++letter)
      out[at + 9 + letter] = static_cast<std::byte>(records[index].name[letter]);
    put(at + 112, records[index].volume, 4);
  }
  return out;
}

// Each test works in a folder of its own under the temporary folder, removed afterwards.
class AmbientFileIo : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    static int folderNumber = 0;
    folder_ = std::wstring(temp) + L"sonarwick-ambient-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++folderNumber) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
    liveFiles_ = LiveHandleCount(HandleKind::File);
  }

  void TearDown() override {
    EXPECT_EQ(LiveHandleCount(HandleKind::File), liveFiles_);
    for (const std::wstring& name : FileNames()) {
      const std::wstring path = folder_ + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder_.c_str());
  }

  std::wstring PathOf(const std::wstring& name) const { return folder_ + name; }

  std::vector<std::wstring> FileNames() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }

  static void WriteBytes(const std::wstring& path, const std::vector<std::byte>& bytes) {
    UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
  }

  static std::vector<std::byte> ReadBytes(const std::wstring& path) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::vector<std::byte> bytes(1 << 16);
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
      return {};
    bytes.resize(read);
    return bytes;
  }

  // A file of two entries whose first name, "лес.wav" in Windows-1251, has bytes behind its
  // terminator.
  std::wstring WriteOriginal(const std::wstring& name) {
    original_ = HandMadeFile(
        {{1, 2, 3, std::string("\xEB\xE5\xF1.wav\0er_name.wav", 19), 4}, {-1, -2, 1, "b.wav", 9}});
    const std::wstring path = PathOf(name);
    WriteBytes(path, original_);
    return path;
  }

  // Saves the original document, with its first text changed to `text`, to `path`. A failed save
  // must leave the image as it was.
  AmbientSaveResult SaveEdited(const std::wstring& path, const std::wstring& text = L"новое.wav") {
    AmbientLoadResult document = ReadAmbientFile(original_, converter_);
    EXPECT_TRUE(document);
    const AmbientImage imageBefore = document.image;
    document.entries[1].audioFile = text;
    const AmbientSaveResult saved = SaveAmbientFile(path, document.image, document.entries, converter_);
    if (!saved) {
      EXPECT_EQ(std::memcmp(&document.image, &imageBefore, sizeof(imageBefore)), 0);
    }
    return saved;
  }

  const Windows1251Converter converter_;
  std::wstring folder_;
  std::vector<std::byte> original_;
  long liveFiles_ = 0;
};

}  // namespace

TEST_F(AmbientFileIo, SavesANewFileAndLoadsItBack) {
  const std::wstring path = PathOf(L"forest sounds.bad");
  AmbientImage image{};
  const std::vector<AmbientEntryValues> entries = {{L"птицы.wav", 100, 200, 0, 50},
                                                   {std::nullopt, INT_MIN, INT_MAX, 3, -1}};

  FileStamp stamp;
  ASSERT_TRUE(SaveAmbientFile(path, image, entries, converter_, &stamp));

  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"forest sounds.bad"});
  EXPECT_EQ(ReadBytes(path),
            HandMadeFile({{100, 200, 0, "\xEF\xF2\xE8\xF6\xFB.wav", 50}, {INT_MIN, INT_MAX, 3, "", -1}}));
  EXPECT_EQ(std::string_view(image[0].audioFile), "\xEF\xF2\xE8\xF6\xFB.wav");
  EXPECT_TRUE(stamp.exists);
  EXPECT_EQ(stamp, TakeFileStamp(path)) << "the file saved is not what was saved";
  const AmbientLoadResult loaded = LoadAmbientFile(path, converter_);
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded.entries.size(), 2u);
  EXPECT_EQ(loaded.entries[0], entries[0]);
  EXPECT_EQ(loaded.entries[1], (AmbientEntryValues{L"", INT_MIN, INT_MAX, 3, -1}));
}

TEST_F(AmbientFileIo, SavingOverAnExistingFileReplacesItWhole) {
  const std::wstring path = WriteOriginal(L"ambient.bad");
  WriteBytes(path, std::vector<std::byte>(5000, std::byte{0x55}));
  AmbientLoadResult document = ReadAmbientFile(original_, converter_);
  document.entries[0].audioFile = L"x.wav";

  FileStamp stamp;
  ASSERT_TRUE(SaveAmbientFile(path, document.image, document.entries, converter_, &stamp));

  EXPECT_EQ(ReadBytes(path),
            HandMadeFile({{1, 2, 3, std::string("x.wav\0v\0er_name.wav", 19), 4}, {-1, -2, 1, "b.wav", 9}}));
  EXPECT_TRUE(stamp.exists);
  EXPECT_EQ(stamp, TakeFileStamp(path));
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"ambient.bad"});
  EXPECT_EQ(std::string_view(document.image[0].audioFile), "x.wav");
}

TEST_F(AmbientFileIo, AReadOnlyTargetIsNotReplaced) {
  const std::wstring path = WriteOriginal(L"read-only.bad");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

  EXPECT_EQ(SaveEdited(path).error, AmbientSaveError::CannotWriteFile);

  EXPECT_EQ(ReadBytes(path), original_);
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"read-only.bad"});
}

TEST_F(AmbientFileIo, ATargetHeldOpenWithoutSharingIsNotReplaced) {
  const std::wstring path = WriteOriginal(L"held.bad");
  {
    UniqueFile held(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);

    EXPECT_EQ(SaveEdited(path).error, AmbientSaveError::CannotWriteFile);
  }
  EXPECT_EQ(ReadBytes(path), original_);
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"held.bad"});
}

TEST_F(AmbientFileIo, AMissingFolderOrAFolderAsTargetFails) {
  WriteOriginal(L"unused.bad");
  EXPECT_EQ(SaveEdited(PathOf(L"нет такой папки\\a.bad")).error, AmbientSaveError::CannotWriteFile);
  ASSERT_TRUE(CreateDirectoryW(PathOf(L"folder.bad").c_str(), nullptr));
  EXPECT_EQ(SaveEdited(PathOf(L"folder.bad")).error, AmbientSaveError::CannotWriteFile);
  RemoveDirectoryW(PathOf(L"folder.bad").c_str());
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"unused.bad"});
}

TEST_F(AmbientFileIo, ATextTooLongFailsBeforeTheDiskIsTouched) {
  const std::wstring path = WriteOriginal(L"long.bad");
  const AmbientSaveResult saved = SaveEdited(path, std::wstring(103, L'Ж'));
  EXPECT_EQ(saved.error, AmbientSaveError::TextTooLong);
  EXPECT_EQ(saved.entryIndex, 1);
  EXPECT_EQ(SaveEdited(PathOf(L"new.bad"), std::wstring(103, L'Ж')).error, AmbientSaveError::TextTooLong);

  EXPECT_EQ(ReadBytes(path), original_);
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"long.bad"});
}

TEST_F(AmbientFileIo, LoadingFailsOnlyForFilesThatCannotBeReadOrHoldTooManyEntries) {
  EXPECT_EQ(LoadAmbientFile(PathOf(L"missing.bad"), converter_).error, AmbientLoadError::CannotReadFile);
  EXPECT_EQ(LoadAmbientFile(folder_, converter_).error, AmbientLoadError::CannotReadFile);

  std::vector<std::byte> hundredAndOne(2 + 101 * 116);
  hundredAndOne[0] = std::byte{101};
  WriteBytes(PathOf(L"101.bad"), hundredAndOne);
  EXPECT_EQ(LoadAmbientFile(PathOf(L"101.bad"), converter_).error, AmbientLoadError::TooManyEntries);

  // Bytes past the hundredth record are never needed, however large the file.
  std::vector<std::byte> hundredAndTrailing(64 * 1024, std::byte{0x41});
  hundredAndTrailing[0] = std::byte{100};
  hundredAndTrailing[1] = std::byte{0};
  WriteBytes(PathOf(L"large.bad"), hundredAndTrailing);
  const AmbientLoadResult large = LoadAmbientFile(PathOf(L"large.bad"), converter_);
  ASSERT_TRUE(large);
  EXPECT_EQ(large.entries.size(), 100u);
  EXPECT_EQ(large.entries[99].volume, 0x41414141);

  WriteBytes(PathOf(L"empty.bad"), {});
  const AmbientLoadResult empty = LoadAmbientFile(PathOf(L"empty.bad"), converter_);
  EXPECT_TRUE(empty);
  EXPECT_TRUE(empty.entries.empty());
}

// The stamp a read gives is the file's before its first byte, from the handle that read it: a
// write by another program right after the read shows as a change, unlike the stamp a second
// open afterwards would take.
TEST_F(AmbientFileIo, AWriteJustAfterTheReadShowsAsAChange) {
  const std::wstring path = WriteOriginal(L"watched.bad");
  const FileReadResult untouched = ReadFileStart(path, 1 << 16);
  ASSERT_TRUE(untouched);
  EXPECT_EQ(untouched.stamp, TakeFileStamp(path));

  writtenAfterRead = path;
  FileSystemCalls calls;
  calls.readFile = &ReadThenAnotherProgramWrites;
  const FileReadResult read = ReadFileStart(path, 1 << 16, calls);
  ASSERT_TRUE(read);
  EXPECT_EQ(read.bytes, original_);
  FileStamp now;
  EXPECT_EQ(CompareWithDisk(read.stamp, path, now), DiskChange::Changed);
}

TEST_F(AmbientFileIo, AFileAnotherProgramIsWritingCanStillBeLoaded) {
  const std::wstring path = WriteOriginal(L"shared.bad");
  UniqueFile writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);

  const AmbientLoadResult loaded = LoadAmbientFile(path, converter_);

  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries[0].audioFile, L"лес.wav");
}

// The samples load and save byte for byte in the thread's own code page, Russian or not.
TEST_F(AmbientFileIo, SamplesRoundTripThroughTheDiskInTheThreadCodePage) {
  for (const wchar_t* name :
       {L"no-entries.bad", L"four-times-of-day.bad", L"extreme-numbers.bad", L"bytes-behind-terminators.bad",
        L"hundred-entries.bad", L"longest-names.bad"}) {
    const std::wstring sample = std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/" + name;
    AmbientLoadResult loaded = LoadAmbientFile(sample);
    ASSERT_TRUE(loaded) << "cannot load sample";

    ASSERT_TRUE(SaveAmbientFile(PathOf(name), loaded.image, loaded.entries));

    EXPECT_EQ(ReadBytes(PathOf(name)), ReadBytes(sample));
  }
  const AmbientLoadResult russian =
      LoadAmbientFile(std::wstring(L"" SONARWICK_SAMPLES_DIR) + L"/four-times-of-day.bad");
  ASSERT_EQ(russian.entries.size(), 4u);
  const bool russianCodePage = GetACP() == 1251;
  EXPECT_EQ(russian.entries[1].audioFile, russianCodePage ? L"лес\\кукушка.wav" : L"ëåñ\\êóêóøêà.wav");
}

TEST_F(AmbientFileIo, AReplacementThatFailsNeverLosesTheDocument) {
  const std::vector<std::byte> edited(300, std::byte{0x42});
  FileSystemCalls diskFull, flushFails, bothKept;
  diskFull.writeFile = &WriteToAFullDisk;
  flushFails.flushFileBuffers = &FlushFailing;
  bothKept.replaceFile = &ReplaceKeepingBoth;
  for (const auto& [calls, error] : {std::pair{diskFull, DWORD{ERROR_DISK_FULL}},
                                     {flushFails, ERROR_IO_DEVICE},
                                     {bothKept, ERROR_UNABLE_TO_REMOVE_REPLACED}}) {
    const std::wstring path = WriteOriginal(L"a.bad");
    const FileWriteResult result = ReplaceFileContents(path, edited, calls);
    EXPECT_EQ(result.error, error);
    EXPECT_EQ(result.keptFile, L"");
    EXPECT_EQ(ReadBytes(path), original_);
    EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"a.bad"});
  }

  // Stopped half-way, the system leaves the temporary as the only copy: it takes the place.
  FileSystemCalls originalGone, originalRenamed;
  originalGone.replaceFile = &ReplaceLosingTheOriginal;
  originalRenamed.replaceFile = &ReplaceRenamingTheOriginal;
  EXPECT_TRUE(ReplaceFileContents(PathOf(L"a.bad"), edited, originalGone));
  EXPECT_EQ(ReadBytes(PathOf(L"a.bad")), edited);
  const std::wstring renamed = WriteOriginal(L"b.bad");
  EXPECT_TRUE(ReplaceFileContents(renamed, edited, originalRenamed));
  EXPECT_EQ(ReadBytes(renamed), edited);
  EXPECT_EQ(ReadBytes(renamed + L".old"), original_);
  EXPECT_EQ(FileNames(), (std::vector<std::wstring>{L"a.bad", L"b.bad", L"b.bad.old"}));

  // And when even that move fails, the temporary stays and is named.
  originalGone.moveFile = &MoveDenied;
  const FileWriteResult kept = ReplaceFileContents(PathOf(L"a.bad"), edited, originalGone);
  EXPECT_EQ(kept.error, DWORD{ERROR_ACCESS_DENIED});
  EXPECT_EQ(ReadBytes(kept.keptFile), edited);
  EXPECT_EQ(FileNames().size(), 3u);
}

// A file too large to hold in memory is made in parts beside its target, which it replaces only
// once whole; whatever stops it on the way leaves the target byte for byte and no temporary.
TEST_F(AmbientFileIo, AFileMadeInPartsTakesThePlaceOnlyWhenWhole) {
  const std::vector<std::byte> part(5000, std::byte{0x5A});
  const std::wstring path = WriteOriginal(L"night.wav");
  {
    FileReplacement made(path);
    ASSERT_TRUE(made) << made.Error();
    for (int index = 0; index < 3; ++index) EXPECT_TRUE(made.Write(part));
    EXPECT_EQ(ReadBytes(path), original_) << "the target changed before the file was whole";
    EXPECT_EQ(FileNames().size(), 2u);
    EXPECT_TRUE(made.Commit());
  }
  EXPECT_EQ(ReadBytes(path).size(), 15000u);
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"night.wav"});

  FileSystemCalls fillsUp, flushFails, moveDenied;
  fillsUp.writeFile = &WriteUntilFull;
  flushFails.flushFileBuffers = &FlushFailing;
  moveDenied.moveFile = &MoveDenied;
  for (const auto& [calls, error] : {std::pair{fillsUp, DWORD{ERROR_DISK_FULL}},
                                     {flushFails, ERROR_IO_DEVICE},
                                     {moveDenied, ERROR_ACCESS_DENIED}}) {
    WriteOriginal(L"night.wav");
    writesUntilFull = 1;
    FileReplacement made(path, calls);
    ASSERT_TRUE(made);
    made.Write(part);
    made.Write(part);
    EXPECT_EQ(made.Commit().error, error);
    EXPECT_EQ(ReadBytes(path), original_);
    EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"night.wav"});
  }
  {
    FileReplacement cancelled(path);
    EXPECT_TRUE(cancelled.Write(part));
  }
  EXPECT_EQ(ReadBytes(path), original_);
  EXPECT_EQ(FileNames(), std::vector<std::wstring>{L"night.wav"});
}

TEST_F(AmbientFileIo, OneFileIsRecognisedUnderEachOfItsNames) {
  const std::wstring path = WriteOriginal(L"Forest.bad");
  const std::wstring other = WriteOriginal(L"other.bad");
  ASSERT_TRUE(CreateHardLinkW(PathOf(L"link.bad").c_str(), path.c_str(), nullptr));
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(folder_.c_str());

  EXPECT_TRUE(IsSameFile(path, PathOf(L"FOREST.BAD")));
  EXPECT_TRUE(IsSameFile(L"forest.bad", path));
  EXPECT_TRUE(IsSameFile(PathOf(L"link.bad"), path));
  EXPECT_FALSE(IsSameFile(other, path));
  EXPECT_FALSE(IsSameFile(L"missing.bad", path));
  SetCurrentDirectoryW(current);
}

// A Windows-1251 file read where the names' code page is UTF-8 (a Windows 10/11 option): the
// Cyrillic bytes are not UTF-8, so the names show with U+FFFD, and a save after an edit of
// something else keeps every one of their bytes; only a name the user edits is encoded anew.
TEST_F(AmbientFileIo, AnUntouchedNameKeepsItsBytesInACodePageThatCannotDecodeIt) {
  const Win32CodePageConverter utf8(CP_UTF8);
  const std::wstring path = WriteOriginal(L"cyrillic.bad");
  AmbientLoadResult loaded = LoadAmbientFile(path, utf8);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries[0].audioFile, L"\xFFFD\xFFFD\xFFFD.wav");
  EXPECT_TRUE(NameBytesUndecodable(loaded.image[0], utf8));
  EXPECT_FALSE(NameBytesUndecodable(loaded.image[1], utf8));

  loaded.entries[0].volume = 77;
  ASSERT_TRUE(SaveAmbientFile(path, loaded.image, loaded.entries, utf8));
  std::vector<std::byte> expected = original_;
  const std::int32_t volume = 77;
  std::memcpy(expected.data() + 2 + offsetof(AmbientEntry, volume), &volume, sizeof(volume));
  EXPECT_EQ(ReadBytes(path), expected);

  loaded.entries[0].audioFile = L"лес.wav";
  ASSERT_TRUE(SaveAmbientFile(path, loaded.image, loaded.entries, utf8));
  EXPECT_EQ(std::string_view(loaded.image[0].audioFile), "\xD0\xBB\xD0\xB5\xD1\x81.wav");
}

// Paths of 260 characters and more: the file layer reads, replaces (its temporary beside the
// target) and compares them in full; nothing is cut to a shorter name.
TEST_F(AmbientFileIo, AFileWhosePathIsLongerThanMaxPathOpensAndSaves) {
  const std::wstring deep = folder_ + std::wstring(120, L'd') + L"\\";
  const std::wstring deeper = deep + std::wstring(120, L'e') + L"\\";
  ASSERT_TRUE(CreateDirectoryW(ExtendedLengthPath(deep).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(ExtendedLengthPath(deeper).c_str(), nullptr));
  const std::wstring path = deeper + L"ambient sounds.bad";
  ASSERT_GE(path.size(), 270u);
  AmbientImage image{};
  const std::vector<AmbientEntryValues> entries = {{L"лес.wav", 1, 2, 3, 4}};

  ASSERT_TRUE(SaveAmbientFile(path, image, entries, converter_));
  const AmbientLoadResult loaded = LoadAmbientFile(path, converter_);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded.entries, entries);
  EXPECT_EQ(loaded.fileSize, 2u + 116);
  EXPECT_TRUE(SaveAmbientFile(path, image, entries, converter_));
  EXPECT_TRUE(IsSameFile(path, deeper + L".\\ambient sounds.bad"));
  EXPECT_FALSE(IsSameFile(path, deeper + L"ambient sounds.ba"));

  // One folder holds only the file: no temporary was left behind.
  WIN32_FIND_DATAW found{};
  int names = 0;
  const HANDLE search = FindFirstFileW(ExtendedLengthPath(deeper + L"*").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do ++names;
  while (FindNextFileW(search, &found));
  FindClose(search);
  EXPECT_EQ(names, 3);  // ".", ".." and the file
  EXPECT_TRUE(DeleteFileW(ExtendedLengthPath(path).c_str()));
  EXPECT_TRUE(RemoveDirectoryW(ExtendedLengthPath(deeper).c_str()));
  EXPECT_TRUE(RemoveDirectoryW(ExtendedLengthPath(deep).c_str()));
}

// The whole file's length, not only the part read, decides what is reported.
TEST_F(AmbientFileIo, LoadingReportsRecordsTheCountLeavesOut) {
  const std::wstring path = WriteOriginal(L"negative.bad");
  std::vector<std::byte> bytes = original_;
  bytes[0] = std::byte{0xFF};
  bytes[1] = std::byte{0xFF};
  bytes.resize(2 + 116 * 4);
  WriteBytes(path, bytes);
  const AmbientLoadResult loaded = LoadAmbientFile(path, converter_);
  ASSERT_TRUE(loaded);
  EXPECT_TRUE(loaded.entries.empty());
  EXPECT_EQ(loaded.damage, AmbientFileDamage::RecordsBehindCount);
  EXPECT_EQ(loaded.extraRecords, 4u);

  bytes = original_;
  bytes.resize(AmbientFileMaxBytes + 500, std::byte{1});
  WriteBytes(path, bytes);
  const AmbientLoadResult trailing = LoadAmbientFile(path, converter_);
  EXPECT_EQ(trailing.damage, AmbientFileDamage::BytesAfterRecords);
  EXPECT_EQ(trailing.extraBytes, AmbientFileMaxBytes + 500 - original_.size());
}
