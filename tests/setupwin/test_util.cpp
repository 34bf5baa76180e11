#include "test_util.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace nx::setup::win::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = std::string(temp) + "nxswt_" +
                                  std::to_string(::GetCurrentProcessId()) + "_" +
                                  std::to_string(counter++);
    if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files left by a test must not keep the folder.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec)) {
    ::SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(path_, ec);
}

void writeBytes(const std::string& path, std::string_view data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string unixToWindows(std::string_view unixPath) {
  std::string path = "Z:" + std::string(unixPath);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool underWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::vector<std::uint8_t> zlibDllImage() {
  const std::string bytes = readBytes(unixToWindows(NX_ZLIB_DLL_PATH));
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace nx::setup::win::test
