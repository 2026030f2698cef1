#include "problems/SoundProbeWorker.h"

#include <utility>

SoundProbeWorker::SoundProbeWorker(const ProbeFileSystem& files, Notify notify)
    : files_(files), notify_(std::move(notify)), thread_(&SoundProbeWorker::Run, this) {}

SoundProbeWorker::~SoundProbeWorker() { Stop(); }

void SoundProbeWorker::Stop() {
  stopRequested_ = true;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
    queued_.clear();
  }
  wake_.notify_all();
  idle_.notify_all();
  if (thread_.joinable()) thread_.join();
}

SoundProbe SoundProbeWorker::Lookup(const std::wstring& path) {
  std::lock_guard lock(mutex_);
  if (const SoundProbe* known = cache_.Find(path)) return *known;
  Queue(path);
  return {};
}

void SoundProbeWorker::RecheckAll() {
  std::lock_guard lock(mutex_);
  // The path in hand is still counted as queued, so Queue passes it over: it goes round again
  // once its probe ends.
  if (probing_) probeAgain_ = true;
  cache_.ForEachPath([this](const std::wstring& path) { Queue(path); });
}

std::uint64_t SoundProbeWorker::Generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

bool SoundProbeWorker::Busy() const {
  std::lock_guard lock(mutex_);
  return probing_ || !queue_.empty();
}

void SoundProbeWorker::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return stopping_ || (!probing_ && queue_.empty()); });
}

// Called with the lock held.
void SoundProbeWorker::Queue(const std::wstring& path) {
  if (stopping_ || !queued_.insert(path).second) return;
  queue_.push_back(path);
  wake_.notify_one();
}

void SoundProbeWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    const std::wstring path = std::move(queue_.front());
    queue_.pop_front();
    probing_ = true;
    lock.unlock();
    ProbeOne(path);
    lock.lock();
    queued_.erase(path);
    probing_ = false;
    if (std::exchange(probeAgain_, false)) Queue(path);
    if (queue_.empty()) idle_.notify_all();
  }
}

// The disk and the decoder run without the lock, so lookups answer meanwhile.
void SoundProbeWorker::ProbeOne(const std::wstring& path) {
  SoundProbe previous;
  {
    std::lock_guard lock(mutex_);
    if (const SoundProbe* known = cache_.Find(path)) previous = *known;
  }
  SoundProbe probe;
  try {
    probe = ProbeSound(files_, path, &previous, &stopRequested_);
  } catch (...) {
    // Out of memory or a file system that throws: the file counts as unreadable rather than
    // taking the thread, and the program, down. The next recheck tries it again.
    probe.verdict = SoundVerdict::Faulty;
    probe.fault = SoundFault::Unreadable;
  }
  if (probe.refusal == SoundRefusal::Stopped) return;
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    const SoundProbe* known = cache_.Find(path);
    changed = known == nullptr || !(*known == probe);
    // Every name ever checked stays known, and a long session may type many; far beyond what
    // open lists name, the verdicts start over rather than grow without end.
    if (known == nullptr && cache_.Size() >= kMaxKnownSounds) cache_.Clear();
    cache_.Store(path, probe);
    if (changed) ++generation_;
  }
  if (!changed || !notify_) return;
  try {
    notify_();
  } catch (...) {
    // A listener's failure must not end the worker; the generation still tells what changed.
  }
}
