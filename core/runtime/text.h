// Text rules every platform shares: key and name matching without regard to letter case (ASCII
// folding only, so that the result does not depend on the locale) and line splitting.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nx {

constexpr char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr wchar_t asciiLower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

constexpr char asciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
// The text with its ASCII letters in upper case; other characters (UTF-8 included) stay.
inline std::string upperAscii(std::string s) {
  for (char& c : s) c = asciiUpper(c);
  return s;
}

// Equal when they differ only in the letter case of ASCII letters.
bool equalsNoCase(std::string_view a, std::string_view b);
bool equalsNoCase(std::wstring_view a, std::wstring_view b);
// Strict weak order of the same folding, for ordered containers.
bool lessNoCase(std::string_view a, std::string_view b);

// The access key of a caption: the character after the last single "&" ("&&" stands for a
// literal ampersand), folded to lower case; 0 when there is none.
char accessKeyOf(std::string_view caption);
// The caption as read aloud: single "&" marks dropped, "&&" as one ampersand.
std::string withoutAccessMarks(std::string_view caption);

// The lines of a text: CR, LF and CR LF each end one line. A text ending in a break has an empty
// last line; an empty text is one empty line.
std::vector<std::string_view> splitLines(std::string_view text);

}  // namespace nx
