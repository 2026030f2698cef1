#pragma once

#include <windows.h>

#include <vector>

class MessageLoop;

// The process's one module: its instance (also the instance every resource is loaded from),
// the thread that started it, and the message loop of each user-interface thread.
class AppModule {
 public:
  AppModule() = default;
  AppModule(const AppModule&) = delete;
  AppModule& operator=(const AppModule&) = delete;
  ~AppModule();

  // E_OUTOFMEMORY when the loop registry cannot be set up; S_OK otherwise.
  HRESULT Initialize(HINSTANCE instance);
  // Forgets every registered loop; the module can be initialised again afterwards.
  void Terminate();

  HINSTANCE Instance() const { return instance_; }
  HINSTANCE ResourceInstance() const { return instance_; }
  DWORD MainThreadId() const { return mainThreadId_; }

  // The registry is keyed by the calling thread. A thread has at most one loop: registering
  // a second one fails, as does any registry call on a module that is not initialised.
  bool RegisterLoop(MessageLoop* loop);
  bool UnregisterLoop();
  MessageLoop* LoopForThread();

  // Guards the one-time registration of window classes.
  CRITICAL_SECTION& ClassRegistrationLock();

 private:
  // Index of the calling thread's entry, or -1. Call with the registry lock held.
  int FindThread(DWORD threadId) const;

  HINSTANCE instance_ = nullptr;
  DWORD mainThreadId_ = 0;
  bool initialized_ = false;
  CRITICAL_SECTION registryLock_{};
  std::vector<DWORD> loopThreads_;
  std::vector<MessageLoop*> loops_;
};

// The process's module.
AppModule& TheAppModule();
