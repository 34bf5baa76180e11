#include "ui_style.h"

#include <vector>

namespace nx::setup::stub {

Scale::Scale() {
  HDC screen = ::GetDC(nullptr);
  if (screen) {
    const int d = ::GetDeviceCaps(screen, LOGPIXELSY);
    if (d > 0) dpi_ = d;
    ::ReleaseDC(nullptr, screen);
  }
}

namespace {

int CALLBACK faceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool hasFace(const wchar_t* face) {
  HDC screen = ::GetDC(nullptr);
  if (!screen) return false;
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy_s(lf.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  ::EnumFontFamiliesExW(screen, &lf, &faceFound, reinterpret_cast<LPARAM>(&found), 0);
  ::ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

std::wstring dialogFace() {
  static const std::wstring face = hasFace(L"Segoe UI") ? L"Segoe UI" : L"Tahoma";
  return face;
}

GdiHandle makeFont(const Scale& scale, int points, int weight) {
  const std::wstring face = dialogFace();
  if (points <= 0) points = face == L"Segoe UI" ? 9 : 8;
  LOGFONTW lf{};
  lf.lfHeight = -::MulDiv(points, scale.dpi(), 72);
  lf.lfWeight = weight;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  wcsncpy_s(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  // Null when the system cannot make it: windows then keep their own font.
  return GdiHandle(::CreateFontIndirectW(&lf));
}

std::wstring widen(std::string_view text) {
  if (text.empty()) return {};
  const int n = static_cast<int>(text.size());
  UINT page = CP_UTF8;
  int size = ::MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), n, nullptr, 0);
  if (size <= 0) {
    page = CP_ACP;
    size = ::MultiByteToWideChar(page, 0, text.data(), n, nullptr, 0);
  }
  if (size <= 0) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(page, page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text.data(), n,
                        out.data(), size);
  return out;
}

std::wstring withCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

std::wstring windowText(HWND window) {
  const int n = ::GetWindowTextLengthW(window);
  if (n <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(n) + 1);
  const int got = ::GetWindowTextW(window, buffer.data(), n + 1);
  return std::wstring(buffer.data(), got > 0 ? static_cast<std::size_t>(got) : 0);
}

namespace {
BOOL CALLBACK setChildFont(HWND child, LPARAM font) {
  ::SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}
}  // namespace

void setFontAll(HWND window, HFONT font) {
  if (!window || !font) return;
  ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ::EnumChildWindows(window, &setChildFont, reinterpret_cast<LPARAM>(font));
}

}  // namespace nx::setup::stub
