#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <thread>
#include <vector>

#include "documents/RecoveryStore.h"
#include "win/ThreadGuard.h"

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

constexpr wchar_t kScenarioVariable[] = L"SONARWICK_CRASH_SCENARIO";
constexpr wchar_t kOrphanName[] = L"4294967291-0000000000000001-1.recovery";

// Stands for the crash reporting installed before the store's handler: it ends the process
// with a code that says it ran, and for which exception.
LONG WINAPI EndAsReported(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), 0x5EED0000 | (exception->ExceptionRecord->ExceptionCode & 0xFFFF));
  return EXCEPTION_EXECUTE_HANDLER;
}

// Run only as the child of the tests below, in the scenario they name: keeps copies in memory
// (their files deleted, so that only the crash could write them again) and dies.
TEST(RecoveryCrash, ChildThatCrashes) {
  wchar_t folder[MAX_PATH]{};
  wchar_t scenario[32]{};
  if (GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH) == 0 ||
      GetEnvironmentVariableW(kScenarioVariable, scenario, 32) == 0)
    GTEST_SKIP() << "run by the tests below";
  const std::wstring name = scenario;
  static RecoveryStore store(folder);
  if (name == L"claimed") {
    RecoveryCopy copy;
    ASSERT_TRUE(store.ClaimOrphan(std::wstring(folder) + L"\\" + kOrphanName, 1, copy));
  } else {
    ASSERT_TRUE(store.Write(7, SampleCopy()));
  }
  if (name == L"failed") {
    // A folder where the temporary file goes: the next write of slot 7 fails.
    const std::wstring blocker = CopiesIn(folder).at(0) + L".tmp";
    CreateDirectoryW(blocker.c_str(), nullptr);
    RecoveryCopy later = SampleCopy();
    later.title = L"позже.bad";
    EXPECT_FALSE(store.Write(7, later));
    RemoveDirectoryW(blocker.c_str());
  }
  if (name != L"claimed") {
    for (const std::wstring& file : CopiesIn(folder)) DeleteFileW(file.c_str());
  }
  SetUnhandledExceptionFilter(EndAsReported);
  WriteRecoveryCopiesOnCrash(&store);
  if (name == L"thread") {
    std::thread(GuardedThreadEntry([] { throw std::bad_alloc(); })).join();
  }
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
}

class RecoveryCrashTest : public testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    folder = std::wstring(temp) + L"sonarwick-crash-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& file : CopiesIn(folder)) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
  }

  // The child's exit code.
  DWORD RunChild(const wchar_t* scenario) {
    wchar_t exe[MAX_PATH]{};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_filter=RecoveryCrash.ChildThatCrashes --gtest_catch_exceptions=0";
    SetEnvironmentVariableW(kFolderVariable, folder.c_str());
    SetEnvironmentVariableW(kScenarioVariable, scenario);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &child);
    SetEnvironmentVariableW(kFolderVariable, nullptr);
    SetEnvironmentVariableW(kScenarioVariable, nullptr);
    if (!started) return 0;
    EXPECT_EQ(WaitForSingleObject(child.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return exitCode;
  }

  std::vector<RecoveryCopy> ReadCopies() const {
    std::vector<RecoveryCopy> copies;
    for (const std::wstring& file : CopiesIn(folder)) {
      RecoveryCopy read;
      EXPECT_TRUE(RecoveryStore::Deserialize(ReadBytes(file), read));
      copies.push_back(read);
    }
    return copies;
  }

  std::wstring folder;
};

// The last words of a crashing process are its recovery copies, also when the crash is a C++
// exception leaving a worker thread; the next process finds them as orphans, since the one
// named in them no longer runs. The crash then goes on to the reporting installed before.
TEST_F(RecoveryCrashTest, ACrashWritesEveryKeptCopyAndIsReportedOn) {
  EXPECT_EQ(RunChild(L"kept"), 0x5EED0005u);
  EXPECT_EQ(ReadCopies(), std::vector<RecoveryCopy>{SampleCopy()});
  EXPECT_EQ(RecoveryStore(folder).FindOrphans(), CopiesIn(folder));
  TearDown();
  SetUp();

  EXPECT_EQ(RunChild(L"thread"), 0x5EED0000u | (kEscapedCppException & 0xFFFF));
  EXPECT_EQ(ReadCopies(), std::vector<RecoveryCopy>{SampleCopy()});
}

// A copy whose write failed is not written by the crash: its document may have been saved or
// closed since, and would come back as unsaved work.
TEST_F(RecoveryCrashTest, ACopyThatCouldNotBeWrittenIsNotWrittenByTheCrash) {
  RunChild(L"failed");
  EXPECT_TRUE(ReadCopies().empty());
}

// A copy claimed for a restore stays on disk until the restored document has its own: after
// a crash half-way, the next start offers it again.
TEST_F(RecoveryCrashTest, AClaimedCopyLeftByACrashIsOfferedAgain) {
  const std::vector<std::byte> orphan = RecoveryStore::Serialize(SampleCopy());
  HANDLE file = CreateFileW((folder + L"\\" + kOrphanName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, orphan.data(), static_cast<DWORD>(orphan.size()), &written, nullptr);
  CloseHandle(file);

  RunChild(L"claimed");
  EXPECT_EQ(ReadCopies(), std::vector<RecoveryCopy>{SampleCopy()});
  EXPECT_EQ(RecoveryStore(folder).FindOrphans().size(), 1u);
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
