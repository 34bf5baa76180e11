#include "text.h"

namespace nx::nxcore {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool isHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

void utf8FromWide(std::wstring_view wide, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto c = static_cast<char32_t>(static_cast<char16_t>(wide[i]));
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (isHighSurrogate(c) && i + 1 < wide.size() &&
               isLowSurrogate(static_cast<char16_t>(wide[i + 1]))) {
      const auto low = static_cast<char32_t>(static_cast<char16_t>(wide[++i]));
      appendCodePoint(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      appendCodePoint(out, kReplacement);
    } else {
      appendCodePoint(out, c);
    }
  }
}

std::wstring wideFromUtf8(std::string_view utf8) {
  std::wstring out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
      out.push_back(static_cast<wchar_t>(kReplacement));
      ++i;
      continue;
    }
    bool good = i + static_cast<std::size_t>(extra) < utf8.size();
    for (int k = 1; good && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) good = false;
      c = (c << 6) | (next & 0x3F);
    }
    if (!good || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(static_cast<wchar_t>(kReplacement));
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<wchar_t>(c));
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

BSTR bstrFromUtf8(std::string_view utf8) {
  const std::wstring wide = wideFromUtf8(utf8);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

}  // namespace nx::nxcore
