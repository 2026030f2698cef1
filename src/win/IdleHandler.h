#pragma once

// Runs once each time the thread's message queue runs empty after a message that may have
// changed something (see MessageLoop).
class IdleHandler {
 public:
  virtual void DoIdle() = 0;

 protected:
  ~IdleHandler() = default;
};
