#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
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

using Files = std::vector<std::vector<std::byte>>;

// Slot 7's copy after one more edit.
RecoveryCopy LaterCopy() {
  RecoveryCopy copy = SampleCopy();
  copy.title = L"позже.bad";
  copy.bytes.resize(2);
  return copy;
}

// The file of a copy, laid out here independently of the store: the tag, the path and the title
// (each a 32-bit count of UTF-16 units, then the units), the stamp (a 32-bit "exists", the
// 32-bit volume, the 64-bit index, size and write time) and the document's bytes after their
// 32-bit count, every number little-endian.
std::vector<std::byte> LaidOutCopy(const RecoveryCopy& copy) {
  std::vector<std::byte> out;
  const auto number = [&out](std::uint64_t value, int size) {
    for (int at = 0; at < size; ++at) out.push_back(static_cast<std::byte>(value >> (8 * at)));
  };
  for (const char tag : std::string("SWKRECV1")) out.push_back(static_cast<std::byte>(tag));
  for (const std::wstring* text : {&copy.path, &copy.title}) {
    number(text->size(), 4);
    for (const wchar_t unit : *text) number(unit, 2);
  }
  number(copy.stamp.exists ? 1 : 0, 4);
  number(copy.stamp.volume, 4);
  number(copy.stamp.index, 8);
  number(copy.stamp.size, 8);
  number(copy.stamp.lastWrite, 8);
  number(copy.bytes.size(), 4);
  out.insert(out.end(), copy.bytes.begin(), copy.bytes.end());
  return out;
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

// Stand-ins for the store's file calls: another thread crashes while the frame's thread is
// between two steps of replacing or removing a copy.
// Set once the crash's handler is in place; the calls before it run as the real ones.
bool crashArmed = false;
void CrashOnAnotherThread() {
  if (!crashArmed) return;
  std::thread(GuardedThreadEntry([] { throw std::bad_alloc(); })).join();
}
BOOL WINAPI MoveThenCrash(LPCWSTR from, LPCWSTR to, DWORD flags) {
  const BOOL moved = MoveFileExW(from, to, flags);
  CrashOnAnotherThread();
  return moved;
}
BOOL WINAPI DeleteThenCrash(LPCWSTR file) {
  const BOOL deleted = DeleteFileW(file);
  CrashOnAnotherThread();
  return deleted;
}
BOOL WINAPI CrashBeforeDelete(LPCWSTR file) {
  CrashOnAnotherThread();
  return DeleteFileW(file);
}

RecoveryFileCalls CallsFor(const std::wstring& scenario) {
  RecoveryFileCalls calls;
  if (scenario == L"rewrite") calls.moveFile = MoveThenCrash;
  if (scenario == L"removed") calls.deleteFile = DeleteThenCrash;
  if (scenario == L"removing") calls.deleteFile = CrashBeforeDelete;
  return calls;
}

// Slot 7 has a copy on disk; another thread crashes half-way through its next write (rewrite)
// or its removal after a save (removed, removing).
void CrashHalfWay(RecoveryStore& store, const std::wstring& scenario) {
  ASSERT_TRUE(store.Write(7, SampleCopy()));
  SetUnhandledExceptionFilter(EndAsReported);
  WriteRecoveryCopiesOnCrash(&store);
  crashArmed = true;
  if (scenario == L"rewrite") {
    store.Write(7, LaterCopy());
  } else {
    store.Remove(7);
  }
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
  static RecoveryStore store(folder, CallsFor(name));
  if (name == L"rewrite" || name == L"removed" || name == L"removing") {
    CrashHalfWay(store, name);
    return;
  }
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
    EXPECT_FALSE(store.Write(7, LaterCopy()));
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
    // The copies, and any temporary file a crash left beside them.
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"\\*.recovery*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do DeleteFileW((folder + L"\\" + found.cFileName).c_str());
      while (FindNextFileW(search, &found));
      FindClose(search);
    }
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

  // The files of the copies in the folder, as they are on disk.
  std::vector<std::vector<std::byte>> ReadCopies() const {
    std::vector<std::vector<std::byte>> copies;
    for (const std::wstring& file : CopiesIn(folder)) copies.push_back(ReadBytes(file));
    return copies;
  }

  std::wstring folder;
};

// The last words of a crashing process are its recovery copies, also when the crash is a C++
// exception leaving a worker thread; the next process finds them as orphans, since the one
// named in them no longer runs. The crash then goes on to the reporting installed before.
TEST_F(RecoveryCrashTest, ACrashWritesEveryKeptCopyAndIsReportedOn) {
  EXPECT_EQ(RunChild(L"kept"), 0x5EED0005u);
  EXPECT_EQ(ReadCopies(), Files{LaidOutCopy(SampleCopy())});
  EXPECT_EQ(RecoveryStore(folder).FindOrphans(), CopiesIn(folder));
  TearDown();
  SetUp();

  EXPECT_EQ(RunChild(L"thread"), 0x5EED0000u | (kEscapedCppException & 0xFFFF));
  EXPECT_EQ(ReadCopies(), Files{LaidOutCopy(SampleCopy())});
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
  const std::vector<std::byte> orphan = LaidOutCopy(SampleCopy());
  HANDLE file = CreateFileW((folder + L"\\" + kOrphanName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, orphan.data(), static_cast<DWORD>(orphan.size()), &written, nullptr);
  CloseHandle(file);

  RunChild(L"claimed");
  EXPECT_EQ(ReadCopies(), Files{LaidOutCopy(SampleCopy())});
  EXPECT_EQ(RecoveryStore(folder).FindOrphans().size(), 1u);
}

// Another thread's crash while a copy is replaced leaves the old copy or the new one, never the
// older content over the newer copy; one while a saved document's copy is removed leaves no
// copy to bring the saved document back as unsaved work.
TEST_F(RecoveryCrashTest, ACrashHalfWayThroughAWriteOrARemovalLeavesNoStaleCopy) {
  const DWORD crashed = 0x5EED0000u | (kEscapedCppException & 0xFFFF);
  EXPECT_EQ(RunChild(L"rewrite"), crashed);
  EXPECT_EQ(ReadCopies(), Files{LaidOutCopy(LaterCopy())});
  for (const wchar_t* scenario : {L"removed", L"removing"}) {
    TearDown();
    SetUp();
    EXPECT_EQ(RunChild(scenario), crashed) << scenario;
    EXPECT_TRUE(ReadCopies().empty()) << scenario;
  }
}

// A copy's file is laid out as above, and read back only whole: any cut-off or lengthened copy
// is refused, never read past its end.
TEST(RecoveryCrash, OnlyAWholeCopyReadsBack) {
  const std::vector<std::byte> whole = LaidOutCopy(SampleCopy());
  EXPECT_EQ(RecoveryStore::Serialize(SampleCopy()), whole);
  RecoveryCopy read;
  ASSERT_TRUE(RecoveryStore::Deserialize(whole, read));
  EXPECT_EQ(read, SampleCopy());
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_FALSE(RecoveryStore::Deserialize({whole.begin(), whole.begin() + static_cast<long>(length)}, read))
        << length;
  }
  std::vector<std::byte> longer = whole;
  longer.push_back(std::byte{0});
  EXPECT_FALSE(RecoveryStore::Deserialize(longer, read));
}

}  // namespace
