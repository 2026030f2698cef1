#include "win/AppModule.h"

#include <new>

#include "win/CriticalSectionGuard.h"
#include "win/WindowClass.h"

AppModule::~AppModule() { Terminate(); }

HRESULT AppModule::Initialize(HINSTANCE instance) {
  Terminate();
  try {
    loopThreads_.reserve(1);
    loops_.reserve(1);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  instance_ = instance;
  mainThreadId_ = GetCurrentThreadId();
  InitializeCriticalSection(&registryLock_);
  initialized_ = true;
  return S_OK;
}

void AppModule::Terminate() {
  if (!initialized_) return;
  initialized_ = false;
  loopThreads_.clear();
  loops_.clear();
  loopThreads_.shrink_to_fit();
  loops_.shrink_to_fit();
  DeleteCriticalSection(&registryLock_);
}

int AppModule::FindThread(DWORD threadId) const {
  for (size_t index = 0; index < loopThreads_.size(); ++index) {
    if (loopThreads_[index] == threadId) return static_cast<int>(index);
  }
  return -1;
}

bool AppModule::RegisterLoop(MessageLoop* loop) {
  if (!initialized_ || loop == nullptr) return false;
  CriticalSectionGuard guard(registryLock_);
  const DWORD thread = GetCurrentThreadId();
  if (FindThread(thread) != -1) return false;
  try {
    loopThreads_.push_back(thread);
    loops_.push_back(loop);
  } catch (const std::bad_alloc&) {
    loopThreads_.resize(loops_.size());
    return false;
  }
  return true;
}

bool AppModule::UnregisterLoop() {
  if (!initialized_) return false;
  CriticalSectionGuard guard(registryLock_);
  const int index = FindThread(GetCurrentThreadId());
  if (index == -1) return false;
  loopThreads_.erase(loopThreads_.begin() + index);
  loops_.erase(loops_.begin() + index);
  return true;
}

MessageLoop* AppModule::LoopForThread() {
  if (!initialized_) return nullptr;
  CriticalSectionGuard guard(registryLock_);
  const int index = FindThread(GetCurrentThreadId());
  return index == -1 ? nullptr : loops_[index];
}

CRITICAL_SECTION& AppModule::ClassRegistrationLock() { return ::ClassRegistrationLock(); }

AppModule& TheAppModule() {
  static AppModule module;
  return module;
}
