// Counts the window-system objects a loaded library creates and has not released: GDI objects
// and device contexts, windows, accelerator tables, timers and hooks. It replaces the library's
// imports of the creating and releasing functions with counting ones (the library links the
// system DLLs through its import table), so it sees exactly that library's calls; the system's
// own resource counters are not available under every Windows implementation.
#pragma once

#include <windows.h>

#include <string>

namespace nx::test {

struct Census {
  long gdiObjects = 0;  // brushes, pens, fonts, bitmaps, regions
  long dcs = 0;         // memory DCs and window DCs not released
  long windows = 0;     // created and still existing
  long accelerators = 0;
  long timers = 0;
  long hooks = 0;
  friend bool operator==(const Census&, const Census&) = default;
  std::string describe() const;
};

// Starts counting the calls of `module`; returns false when its imports could not be patched.
bool watchLibrary(HMODULE module);
Census census();

}  // namespace nx::test
