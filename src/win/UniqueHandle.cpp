#include "win/UniqueHandle.h"

#include <atomic>

namespace {
std::atomic<long> liveHandles[static_cast<int>(HandleKind::Count)];
}

long LiveHandleCount(HandleKind kind) { return liveHandles[static_cast<int>(kind)].load(); }
void NoteHandleAcquired(HandleKind kind) { ++liveHandles[static_cast<int>(kind)]; }
void NoteHandleReleased(HandleKind kind) { --liveHandles[static_cast<int>(kind)]; }
