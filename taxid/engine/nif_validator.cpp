#include "engine/nif_validator.h"

#include <cstddef>

#include "engine/countries.h"

namespace nx::taxid {

namespace {

constexpr bool inTable(int index) {
  return index >= 0 && index < kCountryCount;
}

constexpr char upperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

// Upper-cases ASCII letters and the Latin-1 letters of UTF-8 text (U+00E0..U+00FE except
// U+00F7 map 0x20 down, as the platform's upper-casing of such text does). Other bytes stay.
void upperCase(std::string& s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0xC3 && i + 1 < s.size()) {
      const auto next = static_cast<unsigned char>(s[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) s[i + 1] = static_cast<char>(next - 0x20);
      ++i;
    } else {
      s[i] = upperAscii(s[i]);
    }
  }
}

// Length in characters of UTF-8 text: continuation bytes do not count.
std::size_t characterCount(std::string_view s) {
  std::size_t count = 0;
  for (char c : s)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

// Tries the completion alphabet at position `at` of `candidate`; true and the candidate left
// in place on the first that the country accepts.
bool completeAt(std::string& candidate, std::size_t at, int index) {
  for (char c : kCompletionAlphabet) {
    candidate[at] = c;
    if (checkNumber(candidate, index)) return true;
  }
  return false;
}

// Countries tried, in table order, when no country is known.
constexpr int kSearchedCountries = 25;

}  // namespace

std::string_view countryCode(int index) {
  return inTable(index) ? kCountries[index].code : "";
}

std::string_view countryName(int index, int lang) {
  if (!inTable(index)) return "";
  return lang == NX_PT ? kCountries[index].namePt : kCountries[index].nameEn;
}

int countryIndex(std::string_view code) {
  if (code.size() != 2) return -1;
  const char upper[2] = {upperAscii(code[0]), upperAscii(code[1])};
  const std::string_view key(upper, 2);
  for (int i = 0; i < kCountryCount; ++i)
    if (kCountries[i].code == key) return i;
  return -1;
}

void splitCountryPrefix(std::string& number, int& index, bool strip) {
  const auto first = number.find_first_not_of(' ');
  if (first == std::string::npos) {
    number.clear();
  } else {
    number.erase(number.find_last_not_of(' ') + 1);
    number.erase(0, first);
  }
  upperCase(number);

  index = -1;
  if (characterCount(number) <= 6) return;
  index = countryIndex(std::string_view(number).substr(0, 2));
  if (index != -1 && strip) number.erase(0, 2);
}

bool checkNumber(std::string_view number, int index) {
  if (!inTable(index)) return true;
  return kCountries[index].check(number);
}

std::string completeNumber(std::string_view number, int index) {
  std::string candidate(number);
  const auto mark = candidate.find('?');
  if (mark == std::string::npos)
    candidate.push_back('?');
  else if (candidate.rfind('?') != mark)
    return "";

  int prefixed = -1;
  splitCountryPrefix(candidate, prefixed, true);
  if (prefixed != -1) index = prefixed;

  // Normalising only trims spaces and upper-cases, so exactly one "?" is left.
  const auto at = candidate.find('?');
  if (index != -1) return completeAt(candidate, at, index) ? candidate : "";

  for (int country = 0; country < kSearchedCountries; ++country)
    if (completeAt(candidate, at, country))
      return std::string(kCountries[country].code) + candidate;
  return "";
}

}  // namespace nx::taxid
