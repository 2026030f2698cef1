#include "preview/ExportProgressDialog.h"

#include <commctrl.h>

#include <new>

#include "ambience/Win32SoundFileReader.h"
#include "resources/ResourceIds.h"

namespace {

constexpr UINT kRenderDone = WM_APP + 1;
constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressMs = 100;
constexpr int kProgressSteps = 1000;

}  // namespace

ExportProgressDialog::ExportProgressDialog(const AmbienceRenderRequest& request, ByteSink sink)
    : request_(request), sink_(std::move(sink)) {}

ExportProgressDialog::~ExportProgressDialog() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

INT_PTR ExportProgressDialog::Run(HWND owner) {
  return RunModal(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(RES_EXPORT_DIALOG), owner);
}

bool ExportProgressDialog::HandleMessage(Message& m) {
  switch (m.msg) {
    case WM_INITDIALOG:
      OnInitDialog();
      break;
    case WM_TIMER:
      if (m.wParam != kProgressTimer) break;
      ShowProgress();
      m.result = 0;
      return true;
    case WM_COMMAND:
      if (LOWORD(m.wParam) != IDCANCEL) break;
      // The render stops at its next block and says so; the dialog ends then.
      cancel_ = true;
      EnableWindow(GetDlgItem(Handle(), IDCANCEL), FALSE);
      m.result = 0;
      return true;
    case kRenderDone:
      worker_.join();
      KillTimer(Handle(), kProgressTimer);
      End(result_ ? IDOK : IDCANCEL);
      m.result = 0;
      return true;
    default:
      break;
  }
  return Dialog::HandleMessage(m);
}

void ExportProgressDialog::OnInitDialog() {
  SendDlgItemMessageW(Handle(), IDC_EXPORT_PROGRESS, PBM_SETRANGE32, 0, kProgressSteps);
  SetTimer(Handle(), kProgressTimer, kProgressMs, nullptr);
  worker_ = std::thread([this] { Render(); });
}

void ExportProgressDialog::ShowProgress() {
  const std::int64_t total = request_.frames > 0 ? request_.frames : 1;
  const auto step = static_cast<WPARAM>(done_.load() * kProgressSteps / total);
  SendDlgItemMessageW(Handle(), IDC_EXPORT_PROGRESS, PBM_SETPOS, step, 0);
}

// Nothing may leave a thread's entry: a render that runs out of memory counts as not done.
void ExportProgressDialog::Render() {
  AmbienceRenderRequest request = request_;
  request.progress = [this](std::int64_t done, std::int64_t) {
    done_ = done;
    return !cancel_.load();
  };
  try {
    SoundCache cache{Win32SoundFileReader()};
    result_ = RenderAmbienceTo(request, cache, sink_);
  } catch (const std::bad_alloc&) {
    result_ = AmbienceRenderResult{};
    result_.error = AmbienceRenderError::OutOfMemory;
  } catch (...) {
    result_ = AmbienceRenderResult{};
    result_.error = AmbienceRenderError::Failed;
  }
  PostMessageW(Handle(), kRenderDone, 0, 0);
}
