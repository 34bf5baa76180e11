// UTF-16 (automation strings) to and from UTF-8 (the engine's texts), without the system's
// conversion calls so that array checks convert each element into one reused buffer.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>

namespace nx::nxcore {

// Replaces out with the UTF-8 form of the UTF-16 text; unpaired surrogates become U+FFFD.
void utf8FromWide(std::wstring_view wide, std::string& out);

// The UTF-16 form of UTF-8 text; malformed sequences become U+FFFD, one per bad byte.
std::wstring wideFromUtf8(std::string_view utf8);

// The text of a BSTR (a null BSTR is the empty text).
inline std::wstring_view bstrView(BSTR b) {
  return b ? std::wstring_view(b, SysStringLen(b)) : std::wstring_view();
}

// A new BSTR holding the UTF-8 text, or nullptr when memory ran out.
BSTR bstrFromUtf8(std::string_view utf8);

}  // namespace nx::nxcore
