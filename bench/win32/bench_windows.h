// Window helpers the Wine benches share: rectangles, sizes and texts of windows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace nx::bench {

inline RECT rectAt(int x, int y, int width, int height) {
  return RECT{x, y, x + width, y + height};
}

// "WxH" of the window's outer size, for the figures' labels.
inline std::string sizeText(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

inline std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The main of a bench over one library: the usage, then `run` on the library's path with OLE
// set up around it. Exit status 2 for wrong arguments, 1 when OLE cannot start, else run's.
inline int benchMain(int argc, char** argv, const char* name, const char* library,
                     int (*run)(const char* path)) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <%s>\n", name, library);
    return 2;
  }
  if (FAILED(OleInitialize(nullptr))) {
    std::fprintf(stderr, "%s: OleInitialize failed\n", name);
    return 1;
  }
  const int rc = run(argv[1]);
  OleUninitialize();
  return rc;
}

}  // namespace nx::bench
