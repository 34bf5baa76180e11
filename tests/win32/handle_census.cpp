#include "handle_census.h"

#include <cstring>
#include <set>

namespace nx::test {

namespace {

std::set<HGDIOBJ> gGdi;
std::set<HDC> gMemoryDcs;
std::set<HDC> gWindowDcs;
std::set<HWND> gWindows;
std::set<HACCEL> gAccels;
long gTimers = 0;
std::set<HHOOK> gHooks;

template <class T>
T track(std::set<HGDIOBJ>& set, T h) {
  if (h) set.insert(reinterpret_cast<HGDIOBJ>(h));
  return h;
}

HBRUSH WINAPI censusCreateSolidBrush(COLORREF c) {
  return track(gGdi, CreateSolidBrush(c));
}
HPEN WINAPI censusCreatePen(int style, int width, COLORREF c) {
  return track(gGdi, CreatePen(style, width, c));
}
HRGN WINAPI censusCreateRectRgn(int a, int b, int c, int d) {
  return track(gGdi, CreateRectRgn(a, b, c, d));
}
HBITMAP WINAPI censusCreateCompatibleBitmap(HDC dc, int w, int h) {
  return track(gGdi, CreateCompatibleBitmap(dc, w, h));
}
HBITMAP WINAPI censusCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                      HANDLE section, DWORD offset) {
  return track(gGdi, CreateDIBSection(dc, info, usage, bits, section, offset));
}
HFONT WINAPI censusCreateFontIndirectW(const LOGFONTW* lf) {
  return track(gGdi, CreateFontIndirectW(lf));
}
// A region given to a window belongs to the window from then on: the system deletes it with
// the window (and its handle value may later name an object of someone else).
int WINAPI censusSetWindowRgn(HWND w, HRGN region, BOOL redraw) {
  const int ok = SetWindowRgn(w, region, redraw);
  if (ok && region) gGdi.erase(region);
  return ok;
}
BOOL WINAPI censusDeleteObject(HGDIOBJ h) {
  gGdi.erase(h);
  return DeleteObject(h);
}
HDC WINAPI censusCreateCompatibleDC(HDC dc) {
  HDC out = CreateCompatibleDC(dc);
  if (out) gMemoryDcs.insert(out);
  return out;
}
BOOL WINAPI censusDeleteDC(HDC dc) {
  gMemoryDcs.erase(dc);
  return DeleteDC(dc);
}
HDC WINAPI censusGetDC(HWND w) {
  HDC out = GetDC(w);
  if (out) gWindowDcs.insert(out);
  return out;
}
int WINAPI censusReleaseDC(HWND w, HDC dc) {
  gWindowDcs.erase(dc);
  return ReleaseDC(w, dc);
}
HWND WINAPI censusCreateWindowExW(DWORD ex, LPCWSTR cls, LPCWSTR name, DWORD style, int x, int y,
                                  int w, int h, HWND parent, HMENU menu, HINSTANCE inst,
                                  LPVOID param) {
  HWND out = CreateWindowExW(ex, cls, name, style, x, y, w, h, parent, menu, inst, param);
  if (out) gWindows.insert(out);
  return out;
}
HWND WINAPI censusCreateWindowExA(DWORD ex, LPCSTR cls, LPCSTR name, DWORD style, int x, int y,
                                  int w, int h, HWND parent, HMENU menu, HINSTANCE inst,
                                  LPVOID param) {
  HWND out = CreateWindowExA(ex, cls, name, style, x, y, w, h, parent, menu, inst, param);
  if (out) gWindows.insert(out);
  return out;
}
HACCEL WINAPI censusCreateAcceleratorTableA(LPACCEL entries, int count) {
  HACCEL out = CreateAcceleratorTableA(entries, count);
  if (out) gAccels.insert(out);
  return out;
}
BOOL WINAPI censusDestroyAcceleratorTable(HACCEL h) {
  gAccels.erase(h);
  return DestroyAcceleratorTable(h);
}
UINT_PTR WINAPI censusSetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC proc) {
  UINT_PTR out = SetTimer(w, id, ms, proc);
  if (out) ++gTimers;
  return out;
}
BOOL WINAPI censusKillTimer(HWND w, UINT_PTR id) {
  const BOOL ok = KillTimer(w, id);
  if (ok) --gTimers;
  return ok;
}
HHOOK WINAPI censusSetWindowsHookExW(int id, HOOKPROC proc, HINSTANCE inst, DWORD thread) {
  HHOOK out = SetWindowsHookExW(id, proc, inst, thread);
  if (out) gHooks.insert(out);
  return out;
}
BOOL WINAPI censusUnhookWindowsHookEx(HHOOK h) {
  gHooks.erase(h);
  return UnhookWindowsHookEx(h);
}

struct Replacement {
  const char* dll;
  const char* name;
  void* function;
};

const Replacement kReplacements[] = {
    {"gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&censusCreateSolidBrush)},
    {"gdi32.dll", "CreatePen", reinterpret_cast<void*>(&censusCreatePen)},
    {"gdi32.dll", "CreateRectRgn", reinterpret_cast<void*>(&censusCreateRectRgn)},
    {"gdi32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&censusCreateCompatibleBitmap)},
    {"gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&censusCreateDIBSection)},
    {"gdi32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&censusCreateFontIndirectW)},
    {"gdi32.dll", "DeleteObject", reinterpret_cast<void*>(&censusDeleteObject)},
    {"gdi32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&censusCreateCompatibleDC)},
    {"gdi32.dll", "DeleteDC", reinterpret_cast<void*>(&censusDeleteDC)},
    {"user32.dll", "SetWindowRgn", reinterpret_cast<void*>(&censusSetWindowRgn)},
    {"user32.dll", "GetDC", reinterpret_cast<void*>(&censusGetDC)},
    {"user32.dll", "ReleaseDC", reinterpret_cast<void*>(&censusReleaseDC)},
    {"user32.dll", "CreateWindowExW", reinterpret_cast<void*>(&censusCreateWindowExW)},
    {"user32.dll", "CreateWindowExA", reinterpret_cast<void*>(&censusCreateWindowExA)},
    {"user32.dll", "CreateAcceleratorTableA",
     reinterpret_cast<void*>(&censusCreateAcceleratorTableA)},
    {"user32.dll", "DestroyAcceleratorTable",
     reinterpret_cast<void*>(&censusDestroyAcceleratorTable)},
    {"user32.dll", "SetTimer", reinterpret_cast<void*>(&censusSetTimer)},
    {"user32.dll", "KillTimer", reinterpret_cast<void*>(&censusKillTimer)},
    {"user32.dll", "SetWindowsHookExW", reinterpret_cast<void*>(&censusSetWindowsHookExW)},
    {"user32.dll", "UnhookWindowsHookEx", reinterpret_cast<void*>(&censusUnhookWindowsHookEx)},
};

}  // namespace

bool watchLibrary(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  if (!base) return false;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  int patched = 0;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       imp->Name != 0; ++imp) {
    const char* dll = reinterpret_cast<const char*>(base + imp->Name);
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(
        base + (imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk));
    for (; names->u1.AddressOfData != 0; ++names, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      for (const Replacement& r : kReplacements) {
        if (_stricmp(dll, r.dll) != 0 ||
            std::strcmp(reinterpret_cast<const char*>(byName->Name), r.name) != 0)
          continue;
        DWORD old = 0;
        if (!VirtualProtect(&slot->u1.Function, sizeof(void*), PAGE_READWRITE, &old)) return false;
        slot->u1.Function = reinterpret_cast<ULONG_PTR>(r.function);
        VirtualProtect(&slot->u1.Function, sizeof(void*), old, &old);
        ++patched;
      }
    }
  }
  return patched > 0;
}

Census census() {
  Census c;
  for (HGDIOBJ h : gGdi) c.gdiObjects += GetObjectType(h) != 0 ? 1 : 0;
  c.dcs = static_cast<long>(gMemoryDcs.size() + gWindowDcs.size());
  for (HWND w : gWindows) c.windows += IsWindow(w) ? 1 : 0;
  c.accelerators = static_cast<long>(gAccels.size());
  c.timers = gTimers;
  c.hooks = static_cast<long>(gHooks.size());
  return c;
}

std::string Census::describe() const {
  return "gdi " + std::to_string(gdiObjects) + ", dcs " + std::to_string(dcs) + ", windows " +
         std::to_string(windows) + ", accelerators " + std::to_string(accelerators) + ", timers " +
         std::to_string(timers) + ", hooks " + std::to_string(hooks);
}

}  // namespace nx::test
