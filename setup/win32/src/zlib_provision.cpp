#include "nxsetupwin/zlib_provision.h"

#include "nxsetup/paths.h"
#include "nxsetup/versions.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

// Compares dotted versions part by part as numbers (four parts, missing ones 0): 1 when a is
// newer, 2 when older, 0 when equal. A shared library is never replaced by an older one, so
// 1.2.13 must count as newer than 1.2.3.
int compareVersionNumbers(std::string_view a, std::string_view b) {
  const auto parts = [](std::string_view v) {
    std::vector<std::string> out;
    while (out.size() < 4) {
      const std::size_t dot = v.find('.');
      const std::string digits = leadingNumberText(v.substr(0, dot));
      out.push_back(digits.empty() || digits[0] == '-' ? "0" : digits);
      if (dot == std::string_view::npos) {
        v = {};
      } else {
        v.remove_prefix(dot + 1);
      }
    }
    return out;
  };
  const auto pa = parts(a), pb = parts(b);
  for (std::size_t i = 0; i < 4; ++i) {
    if (pa[i].size() != pb[i].size()) return pa[i].size() > pb[i].size() ? 1 : 2;
    if (pa[i] != pb[i]) return pa[i] > pb[i] ? 1 : 2;
  }
  return 0;
}

}  // namespace

int compareZlibVersions(std::string_view installed, std::string_view required) {
  return compareVersionNumbers(installed, required);
}

std::optional<std::vector<std::uint8_t>> zlibResourceImage(HMODULE module) {
  const HRSRC found = ::FindResourceA(module, kZlibResourceName, kZlibResourceType);
  if (found == nullptr) return std::nullopt;
  const DWORD size = ::SizeofResource(module, found);
  const HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr || size == 0) return std::nullopt;
  const auto* data = static_cast<const std::uint8_t*>(::LockResource(loaded));
  if (data == nullptr) return std::nullopt;
  return std::vector<std::uint8_t>(data, data + size);
}

bool provideZlib(std::string_view folder, std::string_view requiredVersion,
                 const std::vector<std::uint8_t>& image) {
  const std::string base = normalizePath(folder, true);
  if (base.empty()) return false;
  const std::string path = base + std::string(kZlibFileName);
  if (fileExists(path)) {
    const nxkFileInfo info(path);
    const int order = compareZlibVersions(info.text(kItemFileVersion), requiredVersion);
    if (order == 0 || order == 1) return true;
  }
  if (image.empty()) return false;

  // A name of this process's own, so that two setups started together do not collide.
  const std::string staging = path + "." + std::to_string(::GetCurrentProcessId()) + ".new";
  ::DeleteFileA(staging.c_str());
  bool written = false;
  {
    const FileHandle file(::CreateFileA(staging.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD put = 0;
      written =
          ::WriteFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &put, nullptr) &&
          put == image.size() && ::FlushFileBuffers(file.get());
    }
  }
  if (written) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    written = ::MoveFileExA(staging.c_str(), path.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  }
  if (!written) ::DeleteFileA(staging.c_str());
  return written;
}

bool checkZlib(std::string_view folder, std::string_view requiredVersion) {
  const auto image = zlibResourceImage(nullptr);
  return provideZlib(folder, requiredVersion, image ? *image : std::vector<std::uint8_t>());
}

std::string zlibVersionOf(std::string_view path) {
  const ModuleHandle library(::LoadLibraryA(std::string(path).c_str()));
  if (!library) return {};
  using VersionFn = const char*(__cdecl*)();
  const auto version = reinterpret_cast<VersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(library.get(), "zlibVersion")));
  if (version == nullptr) return {};
  const char* text = version();
  return text != nullptr ? std::string(text) : std::string();
}

}  // namespace nx::setup::win
