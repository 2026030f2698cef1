#include <gtest/gtest.h>

#include <thread>

#include "win/AppModule.h"
#include "win/MessageLoop.h"
#include "win/WindowClass.h"

namespace {

class AppModuleTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(module.Initialize(GetModuleHandleW(nullptr)), S_OK); }

  AppModule module;
};

TEST_F(AppModuleTest, KnowsItsInstanceAndStartingThread) {
  EXPECT_EQ(module.Instance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(module.ResourceInstance(), GetModuleHandleW(nullptr));
  EXPECT_EQ(module.MainThreadId(), GetCurrentThreadId());
  // One lock guards class registration, whoever registers.
  EXPECT_EQ(&module.ClassRegistrationLock(), &ClassRegistrationLock());
}

TEST_F(AppModuleTest, EachThreadFindsOnlyItsOwnLoop) {
  MessageLoop mine, theirs, second;
  ASSERT_TRUE(module.RegisterLoop(&mine));
  EXPECT_FALSE(module.RegisterLoop(&second));  // one loop per thread
  EXPECT_EQ(module.LoopForThread(), &mine);

  MessageLoop* seenThere = &mine;
  bool unregisteredThere = true;
  std::thread other([&] {
    seenThere = module.LoopForThread();
    unregisteredThere = module.UnregisterLoop();
    module.RegisterLoop(&theirs);
  });
  other.join();
  EXPECT_EQ(seenThere, nullptr);
  EXPECT_FALSE(unregisteredThere);  // removing there left this thread's entry alone
  EXPECT_EQ(module.LoopForThread(), &mine);

  EXPECT_TRUE(module.UnregisterLoop());
  EXPECT_EQ(module.LoopForThread(), nullptr);
  EXPECT_FALSE(module.UnregisterLoop());
  EXPECT_TRUE(module.RegisterLoop(&second));
  EXPECT_EQ(module.LoopForThread(), &second);
}

TEST_F(AppModuleTest, TerminateForgetsEveryLoopAndRefusesLaterCalls) {
  MessageLoop loop;
  ASSERT_TRUE(module.RegisterLoop(&loop));
  module.Terminate();
  EXPECT_EQ(module.LoopForThread(), nullptr);
  EXPECT_FALSE(module.RegisterLoop(&loop));
  EXPECT_FALSE(module.UnregisterLoop());

  ASSERT_EQ(module.Initialize(GetModuleHandleW(nullptr)), S_OK);
  EXPECT_EQ(module.LoopForThread(), nullptr);
  EXPECT_TRUE(module.RegisterLoop(&loop));
}

TEST_F(AppModuleTest, RefusesNullLoop) { EXPECT_FALSE(module.RegisterLoop(nullptr)); }

}  // namespace
