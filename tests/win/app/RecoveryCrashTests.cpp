#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/RecoveryStore.h"

namespace {

constexpr wchar_t kFolderVariable[] = L"SONARWICK_CRASH_FOLDER";

RecoveryCopy SampleCopy() {
  RecoveryCopy copy;
  copy.path = L"C:\\sounds\\лес.bad";
  copy.title = L"лес.bad";
  copy.stamp = {true, 0x1234, 42, 118, 0x01DA000000000000ull};
  for (int index = 0; index < 118; ++index) copy.bytes.push_back(static_cast<std::byte>(index * 7));
  return copy;
}

std::vector<std::wstring> CopiesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*.recovery").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(folder + L"\\" + found.cFileName);
  while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

std::vector<std::byte> ReadBytes(const std::wstring& path) {
  std::vector<std::byte> bytes(4096);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD read = 0;
  if (file != INVALID_HANDLE_VALUE) {
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
  }
  bytes.resize(read);
  return bytes;
}

// Run only as the child of the test below: keeps a copy in memory (its file deleted, so that
// only the crash can write it again) and dies of an access violation nobody handles.
TEST(RecoveryCrash, ChildThatCrashes) {
  wchar_t folder[MAX_PATH]{};
  if (GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH) == 0)
    GTEST_SKIP() << "run by the test below";
  static RecoveryStore store(folder);
  ASSERT_TRUE(store.Write(7, SampleCopy()));
  for (const std::wstring& file : CopiesIn(folder)) DeleteFileW(file.c_str());
  WriteRecoveryCopiesOnCrash(&store);
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

// The last words of a crashing process are its recovery copies; the next process finds them
// as orphans, since the one named in them no longer runs.
TEST(RecoveryCrash, ACrashWritesEveryKeptCopy) {
  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"sonarwick-crash-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  wchar_t exe[MAX_PATH]{};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(exe) +
                         L"\" --gtest_filter=RecoveryCrash.ChildThatCrashes --gtest_catch_exceptions=0";
  SetEnvironmentVariableW(kFolderVariable, folder.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  const BOOL started =
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableW(kFolderVariable, nullptr);
  ASSERT_TRUE(started);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  EXPECT_EQ(exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

  const std::vector<std::wstring> copies = CopiesIn(folder);
  ASSERT_EQ(copies.size(), 1u);
  RecoveryCopy read;
  ASSERT_TRUE(RecoveryStore::Deserialize(ReadBytes(copies[0]), read));
  EXPECT_EQ(read, SampleCopy());
  EXPECT_EQ(RecoveryStore(folder).FindOrphans(), copies);
  for (const std::wstring& file : copies) DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

// A copy's file is read back only whole: any cut-off or lengthened copy is refused, never read
// past its end.
TEST(RecoveryCrash, OnlyAWholeCopyReadsBack) {
  const std::vector<std::byte> whole = RecoveryStore::Serialize(SampleCopy());
  RecoveryCopy read;
  ASSERT_TRUE(RecoveryStore::Deserialize(whole, read));
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_FALSE(RecoveryStore::Deserialize({whole.begin(), whole.begin() + static_cast<long>(length)}, read))
        << length;
  }
  std::vector<std::byte> longer = whole;
  longer.push_back(std::byte{0});
  EXPECT_FALSE(RecoveryStore::Deserialize(longer, read));
}

}  // namespace
