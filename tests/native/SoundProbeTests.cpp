// The sound probe: verdicts kept by stamp, the worker that finds them off the editing thread,
// and the whole check over real files on disk, worded for the command line.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <unistd.h>

#include "ProblemTestFiles.h"
#include "problems/DiskProbeFileSystem.h"
#include "problems/DocumentChecks.h"
#include "problems/ProblemText.h"
#include "problems/SoundProbeWorker.h"

namespace {

namespace fs = std::filesystem;

TEST(SoundProbeCacheTest, ReadsAFileAgainOnlyWhenItsSizeOrWriteTimeChanged) {
  MemoryFiles files;
  files.Put(L"a.wav", MakeWave(250), 10);
  SoundProbeCache cache;
  EXPECT_EQ(cache.Probe(files, L"a.wav").durationMs, 250u);
  EXPECT_EQ(cache.Probe(files, L"a.wav").durationMs, 250u);
  EXPECT_EQ(files.reads, 1);
  EXPECT_EQ(files.stats, 2);

  files.Touch(L"a.wav", 11);
  EXPECT_EQ(cache.Probe(files, L"a.wav").verdict, SoundVerdict::Playable);
  EXPECT_EQ(files.reads, 2);

  files.Put(L"a.wav", MakeWave(750), 11);  // same write time, another size
  EXPECT_EQ(cache.Probe(files, L"a.wav").durationMs, 750u);
  EXPECT_EQ(files.reads, 3);

  // A missing file is never read; once it appears it is.
  EXPECT_EQ(cache.Probe(files, L"b.wav").verdict, SoundVerdict::Missing);
  EXPECT_EQ(files.reads, 3);
  files.Put(L"b.wav", {});
  EXPECT_EQ(cache.Probe(files, L"b.wav").refusal, SoundRefusal::UnknownFormat);
  EXPECT_EQ(files.reads, 4);
}

TEST(SoundProbeWorkerTest, AnswersPendingThenDeliversAndRechecksWithoutRereading) {
  MemoryFiles files;
  files.Put(L"a.wav", MakeWave(100));
  std::atomic<int> notified = 0;
  SoundProbeWorker worker(files, [&] { ++notified; });

  EXPECT_EQ(worker.Lookup(L"a.wav").verdict, SoundVerdict::Pending);
  EXPECT_EQ(worker.Lookup(L"gone.wav").verdict, SoundVerdict::Pending);
  worker.WaitUntilIdle();
  EXPECT_EQ(worker.Lookup(L"a.wav").durationMs, 100u);
  EXPECT_EQ(worker.Lookup(L"gone.wav").verdict, SoundVerdict::Missing);
  EXPECT_EQ(notified, 2);
  EXPECT_EQ(worker.Generation(), 2u);

  // Nothing changed on disk: one stat each, no read, nobody told.
  worker.RecheckAll();
  worker.WaitUntilIdle();
  EXPECT_EQ(files.reads, 1);
  EXPECT_EQ(notified, 2);

  files.Put(L"gone.wav", MakeWave(40));
  worker.RecheckAll();
  worker.WaitUntilIdle();
  EXPECT_EQ(worker.Lookup(L"gone.wav").verdict, SoundVerdict::Playable);
  EXPECT_EQ(worker.Generation(), 3u);
}

TEST(SoundProbeWorkerTest, SurvivesAThrowingFileSystemAndStopsWhileBusy) {
  MemoryFiles files;
  files.Put(L"throws.wav", MakeWave(10));
  files.Put(L"slow.wav", MakeWave(10));
  files.Put(L"never.wav", MakeWave(10));
  std::mutex mutex;
  std::condition_variable changed;
  bool reading = false;
  bool release = false;
  files.onRead = [&](const std::wstring& path) {
    if (path == L"throws.wav") throw std::runtime_error("disk gone");
    if (path != L"slow.wav") return;
    std::unique_lock lock(mutex);
    reading = true;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  };

  auto worker = std::make_unique<SoundProbeWorker>(files);
  worker->Lookup(L"throws.wav");
  worker->WaitUntilIdle();
  EXPECT_EQ(worker->Lookup(L"throws.wav").fault, SoundFault::Unreadable);

  worker->Lookup(L"slow.wav");
  worker->Lookup(L"never.wav");
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return reading; });
  }
  // Shutting down while a probe reads gives up its decode, then ends the thread.
  std::thread stopper([&] { worker->Stop(); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  stopper.join();
  EXPECT_LE(files.reads, 3);
  // The probe under way when the worker stopped was given up, not finished: no verdict.
  EXPECT_EQ(worker->Lookup(L"slow.wav").verdict, SoundVerdict::Pending);
  // A stopped worker probes nothing more; destroying it stops nothing twice.
  const int reads = files.reads;
  EXPECT_EQ(worker->Lookup(L"later.wav").verdict, SoundVerdict::Pending);
  worker.reset();
  EXPECT_EQ(files.reads, reads);
}

// The file changes while its probe is reading it: the recheck that the change brings must not be
// lost because the path is still in hand, or the old verdict stays until the next change.
TEST(SoundProbeWorkerTest, ARecheckDuringAProbeProbesThatFileAgain) {
  MemoryFiles files;
  files.Put(L"a.wav", MakeWave(250), 1);
  std::mutex mutex;
  std::condition_variable changed;
  bool reading = false, release = false;
  files.onRead = [&](const std::wstring&) {
    std::unique_lock lock(mutex);
    if (release) return;
    reading = true;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  };
  SoundProbeWorker worker(files);
  worker.Lookup(L"a.wav");
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return reading; });
  }
  files.Put(L"a.wav", MakeWave(750), 2);  // overwritten after its old bytes were read
  worker.RecheckAll();
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  worker.WaitUntilIdle();
  EXPECT_EQ(worker.Lookup(L"a.wav").durationMs, 750u);
  EXPECT_EQ(files.reads, 2);
}

class DiskCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("sonarwick-problems-" + std::to_string(::getpid()));
    fs::create_directories(folder_ / "forest");
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const fs::path& path, const std::vector<std::byte>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

  fs::path folder_;
};

TEST_F(DiskCheckTest, FindsMissingCutAndTooLongSoundsOnDiskAndPrintsThemAsLines) {
  Write(folder_ / "forest" / "owl.wav", MakeWave(1500));
  const fs::path tone = folder_ / "tone.wav";
  const fs::path ogg = folder_ / "forest" / "wind.ogg";
  Run("sox -n -r 22050 -b 16 -c 1 '" + tone.string() + "' synth 0.5 sine 440 vol 0.5");
  Run("oggenc -Q -q 4 -o '" + ogg.string() + "' '" + tone.string() + "'");
  fs::resize_file(ogg, fs::file_size(ogg) / 2);

  const std::vector<DocumentEntry> entries = {
      MakeEntry(L"forest\\owl.wav", 1000, 4000),  // lasts 1.5 s
      MakeEntry(L"forest/wind.ogg", 2000, 4000),  // cut off
      MakeEntry(L"forest\\fox.wav", 2000, 4000),  // not there
  };
  DiskProbeFileSystem disk;
  SoundProbeWorker worker(disk);
  const Windows1251Converter converter;
  const CheckSetup setup{folder_.wstring(), &converter, VolumeScale::Percent};
  const SoundLookup sounds = [&](const std::wstring& path) { return worker.Lookup(path); };
  EXPECT_TRUE(CheckDocument(entries, setup, sounds).empty());  // nothing known yet
  worker.WaitUntilIdle();
  const std::vector<Problem> problems = CheckDocument(entries, setup, sounds);

  ASSERT_EQ(problems.size(), 3u);
  EXPECT_EQ(problems[0].ruleId, "BAD003");
  EXPECT_EQ(problems[1].facts.refusal, SoundRefusal::Truncated);
  EXPECT_EQ(problems[2].ruleId, "BAD004");

  const std::wstring fox = folder_.wstring() + L"\\forest\\fox.wav";
  const std::wstring lines = FormatProblemLines(L"night\tforest.bad", problems, ProblemLanguage::English);
  EXPECT_NE(lines.find(L"night forest.bad\t0\tMin. repeat\tBAD003\tThe sound lasts 1500 ms, longer than the "
                       L"minimum repeat time of 1000 ms"),
            std::wstring::npos)
      << std::string(lines.begin(), lines.end());
  EXPECT_NE(lines.find(L"night forest.bad\t2\tAudio file\tBAD004\tNo file is found at “" + fox +
                       L"”: correct the name or put the file there.\n"),
            std::wstring::npos);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), L'\n'), 3);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), L'\t'), 12);

  const std::wstring russian = FormatProblemLines(L"night.bad", problems, ProblemLanguage::Russian);
  EXPECT_NE(russian.find(L"night.bad\t1\tАудио-файл\tBAD005\tФайл «" + folder_.wstring() +
                         L"\\forest\\wind.ogg» не воспроизводится: он обрезан;"),
            std::wstring::npos);
}

}  // namespace
