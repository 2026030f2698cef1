// Decoding once, within a memory bound, and knowing a changed file.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AmbienceTestSounds.h"
#include "ambience/AmbienceFormat.h"
#include "ambience/SoundCache.h"

namespace {

using ambience_test::MemoryFiles;
using ambience_test::Sine;
using ambience_test::WaveFile;

// Bytes a sound of `seconds` takes in the cache.
std::size_t CachedBytes(double seconds) {
  return static_cast<std::size_t>(seconds * AmbienceRate) * 2 * sizeof(float);
}

TEST(SoundCache, DecodesEachFileOnceUntilItChanges) {
  MemoryFiles files;
  files.files[L"a.wav"].bytes = WaveFile(Sine(22050, 1, 1.0, 440, 0.5), 22050, 1);
  files.files[L"noise.wav"].bytes = {std::byte{'R'}, std::byte{'I'}, std::byte{'F'}, std::byte{'F'}};
  SoundCache cache(files.Reader());

  const CachedSound first = cache.Get(L"a.wav");
  ASSERT_TRUE(first);
  EXPECT_EQ(first.sound->FrameCount(), AmbienceRate);
  EXPECT_EQ(cache.BytesHeld(), CachedBytes(1.0));
  EXPECT_EQ(cache.Get(L"a.wav").sound, first.sound);
  EXPECT_EQ(files.reads, 1);

  // A new write time (or size) is a new file: decoded again, the old one's memory given back.
  files.files[L"a.wav"].bytes = WaveFile(Sine(44100, 2, 0.5, 440, 0.5), 44100, 2);
  files.files[L"a.wav"].writeTime = 2;
  const CachedSound changed = cache.Get(L"a.wav");
  ASSERT_TRUE(changed);
  EXPECT_EQ(changed.sound->FrameCount(), AmbienceRate / 2);
  EXPECT_EQ(cache.BytesHeld(), CachedBytes(0.5));
  EXPECT_EQ(first.sound->FrameCount(), AmbienceRate) << "a sound handed out stays whole";

  // A file the decoder refuses is refused with its reason, and not read again until it changes.
  const CachedSound refused = cache.Get(L"noise.wav");
  EXPECT_EQ(refused.refusal, SoundCacheRefusal::CannotDecode);
  EXPECT_EQ(refused.decodeRefusal, SoundRefusal::Truncated);
  cache.Get(L"noise.wav");
  EXPECT_EQ(files.reads, 3);
  EXPECT_EQ(cache.Get(L"missing.wav").refusal, SoundCacheRefusal::CannotRead);

  files.files.erase(L"a.wav");
  EXPECT_EQ(cache.Get(L"a.wav").refusal, SoundCacheRefusal::CannotRead);
  EXPECT_EQ(cache.BytesHeld(), 0u);
}

// Many distinct sounds over a session: the one used longest ago makes room for a new one, as
// long as nothing plays it any more; only the sounds still in use can fill the bound.
TEST(SoundCache, MakesRoomByDroppingTheSoundUsedLongestAgoAndKeepsWhatIsInUse) {
  MemoryFiles files;
  for (const wchar_t* name : {L"one.wav", L"two.wav", L"three.wav", L"four.wav"}) {
    files.files[name].bytes = WaveFile(Sine(44100, 1, 1.0, 440, 0.5), 44100, 1);
  }
  files.files[L"long.wav"].bytes = WaveFile(Sine(8000, 1, 4.0, 440, 0.5), 8000, 1);
  SoundCache cache(files.Reader(), CachedBytes(2.5));

  EXPECT_TRUE(cache.Get(L"one.wav"));
  EXPECT_TRUE(cache.Get(L"two.wav"));
  EXPECT_TRUE(cache.Get(L"one.wav"));  // two is now the one used longest ago
  EXPECT_TRUE(cache.Get(L"three.wav"));
  EXPECT_EQ(files.reads, 3);
  EXPECT_TRUE(cache.Get(L"one.wav"));
  EXPECT_EQ(files.reads, 3) << "one was kept";
  EXPECT_TRUE(cache.Get(L"two.wav"));
  EXPECT_EQ(files.reads, 4) << "two was dropped and is read again";
  EXPECT_LE(cache.BytesHeld(), cache.BoundBytes());
  // Small as a file, larger than the bound once converted: refused, whatever is dropped.
  EXPECT_EQ(cache.Get(L"long.wav").refusal, SoundCacheRefusal::OverMemoryBound);
  EXPECT_EQ(cache.BytesHeld(), CachedBytes(2.0)) << "nothing was dropped for it";

  // Sounds a mixer still plays are not dropped for another: it is refused until they go.
  {
    const CachedSound playing = cache.Get(L"one.wav");
    const CachedSound alsoPlaying = cache.Get(L"two.wav");
    EXPECT_EQ(cache.Get(L"four.wav").refusal, SoundCacheRefusal::OverMemoryBound);
  }
  EXPECT_TRUE(cache.Get(L"four.wav"));
  EXPECT_LE(cache.BytesHeld(), cache.BoundBytes());

  // What no open list names goes at once.
  const std::vector<std::wstring> named = {L"four.wav", L"three.wav"};
  cache.KeepOnly(named);
  EXPECT_EQ(cache.BytesHeld(), CachedBytes(1.0));
  EXPECT_TRUE(cache.Get(L"three.wav"));
  EXPECT_EQ(cache.BytesHeld(), CachedBytes(2.0));
}

}  // namespace
