// Owning wrappers for the Windows handles the setup program opens.
#pragma once

#include <windows.h>

#include <utility>

namespace nx::setup::win {

// Owns one handle, released by Traits::close; Traits::invalid() marks "no handle".
template <typename Traits>
class UniqueResource {
 public:
  using H = typename Traits::Handle;

  UniqueResource() = default;
  explicit UniqueResource(H h) : h_(h) {}
  ~UniqueResource() { reset(); }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept
      : h_(std::exchange(other.h_, Traits::invalid())) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(std::exchange(other.h_, Traits::invalid()));
    return *this;
  }

  H get() const { return h_; }
  bool valid() const { return h_ != Traits::invalid(); }
  explicit operator bool() const { return valid(); }
  H release() { return std::exchange(h_, Traits::invalid()); }
  void reset(H h = Traits::invalid()) {
    if (h_ != Traits::invalid()) Traits::close(h_);
    h_ = h;
  }

 private:
  H h_ = Traits::invalid();
};

namespace detail {
template <typename T, auto Close>
struct NullTraits {
  using Handle = T;
  static Handle invalid() { return nullptr; }
  static void close(Handle h) { Close(h); }
};
template <auto Close>
struct InvalidValueTraits {
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) { Close(h); }
};
inline void closeHandle(HANDLE h) {
  ::CloseHandle(h);
}
inline void findClose(HANDLE h) {
  ::FindClose(h);
}
inline void freeLibrary(HMODULE h) {
  ::FreeLibrary(h);
}
inline void regCloseKey(HKEY h) {
  ::RegCloseKey(h);
}
inline void destroyWindow(HWND h) {
  ::DestroyWindow(h);
}
inline void deleteObject(HGDIOBJ h) {
  ::DeleteObject(h);
}
}  // namespace detail

// A file opened with CreateFile (no handle: INVALID_HANDLE_VALUE).
using FileHandle = UniqueResource<detail::InvalidValueTraits<detail::closeHandle>>;
// A kernel object whose "none" value is null (threads, events, processes).
using KernelHandle = UniqueResource<detail::NullTraits<HANDLE, detail::closeHandle>>;
using FindHandle = UniqueResource<detail::InvalidValueTraits<detail::findClose>>;
using ModuleHandle = UniqueResource<detail::NullTraits<HMODULE, detail::freeLibrary>>;
using RegKey = UniqueResource<detail::NullTraits<HKEY, detail::regCloseKey>>;
using WindowHandle = UniqueResource<detail::NullTraits<HWND, detail::destroyWindow>>;
using GdiObject = UniqueResource<detail::NullTraits<HGDIOBJ, detail::deleteObject>>;

}  // namespace nx::setup::win
