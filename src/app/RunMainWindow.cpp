#include "app/RunMainWindow.h"

#include "win/AppModule.h"
#include "app/MainFrame.h"
#include "win/MessageLoop.h"
#include "app/FirstIdleTasks.h"
#include "session/ShellRecentList.h"
#include "win/StartupMarks.h"

int RunMainWindow(int showCommand, const std::vector<std::wstring>& files) {
  return RunMainWindow(
      showCommand, [] { return std::make_unique<MainFrame>(); }, files, RecoveryStore::DefaultFolder);
}

int RunMainWindow(int showCommand, const FrameFactory& makeFrame, const std::vector<std::wstring>& files,
                  const RecoveryFolderSource& recoveryFolder) {
  auto loop = std::make_unique<MessageLoop>();
  TheAppModule().RegisterLoop(loop.get());

  // Marks the first time the queue runs empty (the first paints are done), before any other
  // idle work; the one registered after the frame marks the end of that work.
  FirstIdleMark queueDrained(L"first paints"), idleDone(L"first idle work");
  loop->RegisterIdleHandler(&queueDrained);
  FirstIdleTasks afterFirstPaint;
  loop->RegisterIdleHandler(&afterFirstPaint);
  // The files opened now go on the shell's recent list once the window is up.
  ShellRecentList::HoldWhileStarting(true);
  afterFirstPaint.Add([] { ShellRecentList::HoldWhileStarting(false); });
  std::unique_ptr<MainFrame> frame = makeFrame();
  MarkStartup(L"settings");
  HWND hwnd = frame->CreateFrame();
  MarkStartup(L"frame created");
  if (hwnd == nullptr) {
    // Nothing to show and nobody to tell: the process just ends with code 0.
    ShellRecentList::HoldWhileStarting(false);
    frame.reset();
    TheAppModule().UnregisterLoop();
    return 0;
  }
  if (!frame->ShowWhereLastClosed(showCommand)) {
    frame->SizeForFirstStart();
    ShowWindow(hwnd, showCommand);
  }
  MarkStartup(L"placed and shown");
  // The user picked these outside the editor: a message about one names it.
  for (const std::wstring& path : files) frame->OpenDocument(path, true);
  MarkStartup(L"files opened");
  if (recoveryFolder) {
    // Finding the user's folder loads the shell's library; the offer can wait for the picture.
    afterFirstPaint.Add([&frame, &recoveryFolder] {
      // Closed before it ever went idle: there is nothing left to keep copies for.
      if (!IsWindow(frame->Handle())) return;
      frame->KeepRecoveryCopies(recoveryFolder());
      frame->OfferRecovery();
      MarkStartup(L"recovery offered");
    });
  }
  loop->RegisterIdleHandler(&idleDone);
  const int exitCode = loop->Pump();
  ShellRecentList::HoldWhileStarting(false);
  loop->UnregisterIdleHandler(&idleDone);
  loop->UnregisterIdleHandler(&afterFirstPaint);
  loop->UnregisterIdleHandler(&queueDrained);
  // Copies are written on a crash only while the frame that keeps them lives.
  WriteRecoveryCopiesOnCrash(nullptr);
  TheAppModule().UnregisterLoop();
  frame.reset();
  return exitCode;
}
