#include "soundfolder/SoundFolderDialog.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace {

template <typename T>
struct ComRelease {
  T* pointer = nullptr;
  ~ComRelease() {
    if (pointer != nullptr) pointer->Release();
  }
};

}  // namespace

std::optional<std::wstring> PickSoundFolder(HWND owner, const std::wstring& title, const std::wstring& initial) {
  ComRelease<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.pointer))))
    return std::nullopt;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.pointer->GetOptions(&options);
  dialog.pointer->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog.pointer->SetTitle(title.c_str());
  if (!initial.empty()) {
    ComRelease<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(initial.c_str(), nullptr, IID_PPV_ARGS(&folder.pointer))))
      dialog.pointer->SetFolder(folder.pointer);
  }
  if (FAILED(dialog.pointer->Show(owner))) return std::nullopt;
  ComRelease<IShellItem> chosen;
  if (FAILED(dialog.pointer->GetResult(&chosen.pointer))) return std::nullopt;
  wchar_t* path = nullptr;
  if (FAILED(chosen.pointer->GetDisplayName(SIGDN_FILESYSPATH, &path))) return std::nullopt;
  std::wstring result = path;
  CoTaskMemFree(path);
  return result;
}
