// The zlib functions the ZIP reader calls, served by the "zlib.dll" that checkZlib provides.
// Linked into a program instead of a zlib library: the library is loaded on the first call,
// from the system folder only, and a missing library makes zlibVersion return null, which the
// reader reports as "Zlib is not installed".
#include <windows.h>
#include <zlib.h>

#include <mutex>
#include <string>

#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"

namespace nx::setup::win {
namespace {

struct ZlibApi {
  using VersionFn = const char*(__cdecl*)();
  using Crc32Fn = uLong(__cdecl*)(uLong, const Bytef*, uInt);
  using InflateInit2Fn = int(__cdecl*)(z_streamp, int, const char*, int);
  using InflateFn = int(__cdecl*)(z_streamp, int);
  using InflateEndFn = int(__cdecl*)(z_streamp);

  ModuleHandle module;
  VersionFn fnVersion = nullptr;
  Crc32Fn fnCrc32 = nullptr;
  InflateInit2Fn fnInflateInit2 = nullptr;
  InflateFn fnInflate = nullptr;
  InflateEndFn fnInflateEnd = nullptr;
};

struct ZlibState {
  std::mutex lock;
  std::string path;  // empty: the system folder's copy
  ZlibApi api;
};

ZlibState& state() {
  static ZlibState s;
  return s;
}

template <typename Fn>
Fn lookup(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string effectivePath(const ZlibState& s) {
  if (!s.path.empty()) return s.path;
  const std::string folder = systemFolder();
  if (folder == "{Unknown}") return {};
  return folder + std::string(kZlibFileName);
}

// The loaded functions, or null when the library cannot be loaded; a failed load is tried
// again on the next call (checkZlib may have provided the library in between).
const ZlibApi* api() {
  ZlibState& s = state();
  const std::lock_guard<std::mutex> guard(s.lock);
  if (s.api.module) return &s.api;
  const std::string path = effectivePath(s);
  if (path.empty()) return nullptr;
  ZlibApi loaded;
  loaded.module.reset(::LoadLibraryA(path.c_str()));
  if (!loaded.module) return nullptr;
  const HMODULE m = loaded.module.get();
  loaded.fnVersion = lookup<ZlibApi::VersionFn>(m, "zlibVersion");
  loaded.fnCrc32 = lookup<ZlibApi::Crc32Fn>(m, "crc32");
  loaded.fnInflateInit2 = lookup<ZlibApi::InflateInit2Fn>(m, "inflateInit2_");
  loaded.fnInflate = lookup<ZlibApi::InflateFn>(m, "inflate");
  loaded.fnInflateEnd = lookup<ZlibApi::InflateEndFn>(m, "inflateEnd");
  if (!loaded.fnVersion || !loaded.fnCrc32 || !loaded.fnInflateInit2 || !loaded.fnInflate ||
      !loaded.fnInflateEnd) {
    return nullptr;
  }
  s.api = std::move(loaded);
  return &s.api;
}

}  // namespace

void setZlibLibraryPath(std::string path) {
  ZlibState& s = state();
  const std::lock_guard<std::mutex> guard(s.lock);
  s.api = ZlibApi();
  s.path = std::move(path);
}

std::string zlibLibraryPath() {
  ZlibState& s = state();
  const std::lock_guard<std::mutex> guard(s.lock);
  return effectivePath(s);
}

bool zlibLoaded() {
  return api() != nullptr;
}

}  // namespace nx::setup::win

using nx::setup::win::api;

extern "C" {

const char* ZEXPORT zlibVersion(void) {
  const auto* z = api();
  return z ? z->fnVersion() : nullptr;
}

uLong ZEXPORT crc32(uLong crc, const Bytef* buf, uInt len) {
  const auto* z = api();
  return z ? z->fnCrc32(crc, buf, len) : 0;
}

int ZEXPORT inflateInit2_(z_streamp strm, int windowBits, const char* version, int stream_size) {
  const auto* z = api();
  return z ? z->fnInflateInit2(strm, windowBits, version, stream_size) : Z_VERSION_ERROR;
}

int ZEXPORT inflate(z_streamp strm, int flush) {
  const auto* z = api();
  return z ? z->fnInflate(strm, flush) : Z_STREAM_ERROR;
}

int ZEXPORT inflateEnd(z_streamp strm) {
  const auto* z = api();
  return z ? z->fnInflateEnd(strm) : Z_STREAM_ERROR;
}

}  // extern "C"
