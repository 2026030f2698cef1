#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "ambience/RenderAmbience.h"
#include "win/Dialog.h"

// Renders an ambience on a thread of its own, block by block into a sink, while a small dialog
// shows how far it got, with Cancel. The window stays responsive however long the span; Cancel
// stops the render at its next block.
class ExportProgressDialog : public Dialog {
 public:
  // `request` and the entries it points to must outlive Run; the sink is called on the render's
  // thread, one block at a time.
  ExportProgressDialog(const AmbienceRenderRequest& request, ByteSink sink);
  ~ExportProgressDialog() override;

  // Shows the dialog until the render ends; IDOK when the sink took the whole file, IDCANCEL
  // when the render stopped (Result says why), -1 when the dialog could not be shown.
  INT_PTR Run(HWND owner);
  AmbienceRenderResult& Result() { return result_; }

 protected:
  bool HandleMessage(Message& m) override;

 private:
  void OnInitDialog();
  void ShowProgress();
  void Render();

  AmbienceRenderRequest request_;
  ByteSink sink_;
  AmbienceRenderResult result_;
  std::thread worker_;
  std::atomic<bool> cancel_{false};
  std::atomic<std::int64_t> done_{0};
};
