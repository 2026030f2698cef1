// Indexing a whole game: 1,000 lists of 100 entries and 20,000 tiny sound files, made on the
// first run in the folder named on the command line (kept for the next). The index is timed
// against a plain program that walks the same tree with FindFirstFileExW and reads every list's
// bytes into memory, the two alternating in one run; then the answers after indexing, one
// list changed on disk, and the index's memory against the bytes of the names it holds.
// Usage: game_index_bench [folder] [rounds]

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "format/AmbientEntry.h"
#include "format/Windows1251Converter.h"
#include "game/GameIndexBuild.h"
#include "game/Win32GameFileSystem.h"

namespace {

constexpr int kLists = 1000, kListFolders = 20, kEntries = 100, kSounds = 20000, kSoundFolders = 100;
// The lists name sounds from the first nine tenths only: the rest are the unused ones.
constexpr int kNamedSounds = kSounds * 9 / 10;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::wstring SoundName(int sound) {
  wchar_t name[64];
  swprintf(name, 64, L"sounds\\group%03d\\sound%05d.wav", sound % kSoundFolders, sound);
  return name;
}

std::wstring ListName(int list) {
  wchar_t name[64];
  swprintf(name, 64, L"lists\\level%02d\\list%04d.bad", list % kListFolders, list);
  return name;
}

bool WriteBytes(const std::wstring& path, const void* data, DWORD size) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok;
}

// A list's bytes: the count, then its records; entry e of list l names a sound drawn from both.
std::vector<std::byte> ListBytes(int list, int salt) {
  std::vector<std::byte> bytes(2 + sizeof(AmbientEntry) * kEntries);
  const std::int16_t count = kEntries;
  std::memcpy(bytes.data(), &count, 2);
  for (int e = 0; e < kEntries; ++e) {
    AmbientEntry entry{};
    entry.minRepeatMs = 1000 + e;
    entry.maxRepeatMs = 5000 + e;
    entry.timeOfDay = static_cast<std::uint8_t>(e % 4);
    entry.volume = (list + e) % 101;
    const int sound = static_cast<int>((static_cast<unsigned>(list) * 7919u +
                                        static_cast<unsigned>(e) * 104729u + static_cast<unsigned>(salt)) %
                                       kNamedSounds);
    const std::wstring name = SoundName(sound);
    for (std::size_t i = 0; i < name.size(); ++i) entry.audioFile[i] = static_cast<char>(name[i]);
    std::memcpy(bytes.data() + 2 + sizeof(AmbientEntry) * static_cast<std::size_t>(e), &entry, sizeof(entry));
  }
  return bytes;
}

bool MakeGame(const std::wstring& game) {
  if (GetFileAttributesW((game + L"\\made").c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  std::printf("Making the game (once)...\n");
  CreateDirectoryW(game.c_str(), nullptr);
  CreateDirectoryW((game + L"\\lists").c_str(), nullptr);
  CreateDirectoryW((game + L"\\sounds").c_str(), nullptr);
  for (int folder = 0; folder < kListFolders; ++folder)
    CreateDirectoryW((game + L"\\" + ListName(folder).substr(0, 13)).c_str(), nullptr);
  for (int folder = 0; folder < kSoundFolders; ++folder)
    CreateDirectoryW((game + L"\\" + SoundName(folder).substr(0, 15)).c_str(), nullptr);
  for (int list = 0; list < kLists; ++list) {
    const std::vector<std::byte> bytes = ListBytes(list, 0);
    if (!WriteBytes(game + L"\\" + ListName(list), bytes.data(), static_cast<DWORD>(bytes.size())))
      return false;
  }
  for (int sound = 0; sound < kSounds; ++sound) {
    if (!WriteBytes(game + L"\\" + SoundName(sound), "RIFF", 4)) return false;
  }
  return WriteBytes(game + L"\\made", "", 0);
}

// The baseline: the same walk, and every list's bytes read into memory.
std::size_t PlainWalk(const std::wstring& game) {
  std::size_t bytesRead = 0;
  std::vector<std::wstring> pending{game + L"\\"};
  std::vector<std::vector<char>> lists;
  while (!pending.empty()) {
    const std::wstring folder = pending.back();
    pending.pop_back();
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (found.cFileName[0] == L'.') continue;
      const std::wstring path = folder + found.cFileName;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        pending.push_back(path + L"\\");
        continue;
      }
      const std::size_t length = wcslen(found.cFileName);
      if (length < 4 || _wcsicmp(found.cFileName + length - 4, L".bad") != 0) continue;
      const HANDLE file =
          CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      if (file == INVALID_HANDLE_VALUE) continue;
      std::vector<char> bytes(found.nFileSizeLow);
      DWORD read = 0;
      ReadFile(file, bytes.data(), found.nFileSizeLow, &read, nullptr);
      CloseHandle(file);
      bytesRead += read;
      lists.push_back(std::move(bytes));
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  return bytesRead;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring game = argc > 1 ? argv[1] : std::wstring(temp) + L"sonarwick-bench-game";
  const int rounds = argc > 2 ? _wtoi(argv[2]) : 9;
  if (!MakeGame(game)) {
    std::fprintf(stderr, "cannot make the game in %ls\n", game.c_str());
    return 2;
  }
  const Win32GameFileSystem files;
  const Windows1251Converter converter;
  const std::atomic<bool> never = false;
  // One of each first, so that both find the files in the system's cache.
  PlainWalk(game);
  GameIndex index;
  BuildGameIndex({game, L""}, files, converter, never, index);

  std::vector<double> plain, indexed;
  for (int round = 0; round < rounds; ++round) {
    double start = Now();
    PlainWalk(game);
    plain.push_back(Now() - start);
    GameIndex fresh;
    start = Now();
    BuildGameIndex({game, L""}, files, converter, never, fresh);
    indexed.push_back(Now() - start);
  }
  // The median, and the best of each, which the other programs on the machine disturb least.
  const double plainMs = Median(plain) * 1000, indexMs = Median(indexed) * 1000;
  const double plainBest = *std::min_element(plain.begin(), plain.end()) * 1000;
  const double indexBest = *std::min_element(indexed.begin(), indexed.end()) * 1000;
  std::printf("index %d lists x %d entries, %d sounds: median %.0f ms, best %.0f ms; plain walk and read: median "
              "%.0f ms, best %.0f ms; ratio %.2f median, %.2f best (goal <= 1.5)\n",
              kLists, kEntries, kSounds, indexMs, indexBest, plainMs, plainBest, indexMs / plainMs,
              indexBest / plainBest);
  std::printf("  %zu lists, %zu sounds, sound folder %ls\n", index.Lists().size(), index.Sounds().size(),
              index.SoundFolder().c_str());

  // Every 20th sound asked for: the median and the slowest answer.
  std::vector<double> answers;
  std::size_t found = 0;
  for (int sound = 0; sound < kSounds; sound += 20) {
    const double start = Now();
    found += index.Usages(SoundName(sound)).size();
    answers.push_back(Now() - start);
  }
  const double slowest = *std::max_element(answers.begin(), answers.end());
  double start = Now();
  const std::size_t unused = index.UnusedSounds().size();
  const double unusedMs = (Now() - start) * 1000;
  start = Now();
  const std::size_t missing = index.MissingNames().size();
  const double missingMs = (Now() - start) * 1000;
  std::printf(
      "usages of %d sounds: median %.3f ms, slowest %.2f ms (%zu entries found); unused: %.2f ms (%zu); "
      "missing: %.2f ms (%zu) (goal <= 5 ms)\n",
      kSounds / 20, Median(answers) * 1000, slowest * 1000, found, unusedMs, unused, missingMs, missing);

  // One list changed on disk and read again; the others are not.
  const std::vector<std::byte> changed = ListBytes(7, 12345);
  WriteBytes(game + L"\\" + ListName(7), changed.data(), static_cast<DWORD>(changed.size()));
  start = Now();
  ReloadGameList(index, ListName(7), files, converter);
  const double updateMs = (Now() - start) * 1000;
  const std::vector<std::byte> original = ListBytes(7, 0);
  WriteBytes(game + L"\\" + ListName(7), original.data(), static_cast<DWORD>(original.size()));
  std::printf("one list updated: %.2f ms (goal <= 200 ms)\n", updateMs);

  std::printf(
      "memory: index %.2f MB (its containers' capacities), names it answers for %.2f MB: ratio %.2f "
      "(goal <= 3)\n",
      index.MemoryBytes() / 1e6, index.NameBytes() / 1e6,
      static_cast<double>(index.MemoryBytes()) / static_cast<double>(index.NameBytes()));
  return 0;
}
