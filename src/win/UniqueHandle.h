#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

// Kinds of handles whose owners count themselves, so tests can prove that nothing leaks
// (Wine answers 0 from GetGuiResources).
enum class HandleKind { Font, Pen, Brush, Bitmap, ImageList, Menu, Icon, DeviceContext, File, Count };

// Number of handles of `kind` that owners hold right now.
long LiveHandleCount(HandleKind kind);
void NoteHandleAcquired(HandleKind kind);
void NoteHandleReleased(HandleKind kind);

// Owns one handle and frees it through Traits::Close when it goes away.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) { reset(handle); }
  ~UniqueHandle() { reset(); }
  // Moving hands the handle over; the number of live handles does not change.
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, Traits::Invalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }

  // Gives up ownership without freeing.
  Handle release() {
    if (handle_ != Traits::Invalid()) NoteHandleReleased(Traits::kind);
    return std::exchange(handle_, Traits::Invalid());
  }

  void reset(Handle handle = Traits::Invalid()) {
    if (handle_ != Traits::Invalid()) {
      Traits::Close(handle_);
      NoteHandleReleased(Traits::kind);
    }
    handle_ = handle;
    if (handle_ != Traits::Invalid()) NoteHandleAcquired(Traits::kind);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

template <typename H, HandleKind K>
struct GdiObjectTraits {
  using Handle = H;
  static constexpr HandleKind kind = K;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { DeleteObject(handle); }
};

struct MenuTraits {
  using Handle = HMENU;
  static constexpr HandleKind kind = HandleKind::Menu;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { DestroyMenu(handle); }
};

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static constexpr HandleKind kind = HandleKind::ImageList;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { ImageList_Destroy(handle); }
};

struct IconTraits {
  using Handle = HICON;
  static constexpr HandleKind kind = HandleKind::Icon;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { DestroyIcon(handle); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static constexpr HandleKind kind = HandleKind::DeviceContext;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle handle) { DeleteDC(handle); }
};

struct FileTraits {
  using Handle = HANDLE;
  static constexpr HandleKind kind = HandleKind::File;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT, HandleKind::Font>>;
using UniquePen = UniqueHandle<GdiObjectTraits<HPEN, HandleKind::Pen>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH, HandleKind::Brush>>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP, HandleKind::Bitmap>>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMemoryDC = UniqueHandle<MemoryDcTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
