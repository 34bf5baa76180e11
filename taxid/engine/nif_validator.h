// The tax-identifier validation engine: the 27 member states, their VAT prefixes and names,
// and the national check rules behind checkNumber and completeNumber.
//
// Texts are byte strings; names are UTF-8. No operation reports an error: malformed input
// gives false, -1 or an empty text. None of them keeps state, so all are safe to call from
// any thread.
#pragma once

#include <string>
#include <string_view>

namespace nx::taxid {

// Language of country names (the NX_LANG enumeration of the control's type library).
enum NX_LANG : int { NX_EN = 0, NX_PT = 1 };

inline constexpr int kCountryCount = 27;

// The characters tried in place of "?", in this order.
inline constexpr std::string_view kCompletionAlphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The two-letter VAT prefix of the entry, or "" for an index outside 0..26.
std::string_view countryCode(int index);

// The name in Portuguese when lang is 1, in English for any other value; "" outside 0..26.
std::string_view countryName(int index, int lang);

// Index of a two-character code in any letter case, or -1.
int countryIndex(std::string_view code);

// Trims spaces, upper-cases the number in place and reports a leading country prefix
// through index (-1 when the text is six characters or shorter, or the prefix is unknown).
// With strip true a known prefix is removed from the number.
void splitCountryPrefix(std::string& number, int& index, bool strip);

// True when number is a valid national identifier of the country (the text exactly as
// given, without a prefix). Any index outside 0..26 accepts every text.
bool checkNumber(std::string_view number, int index);

// Completes a number holding one "?" (or missing its last character) for the country, or
// for the first country that accepts a candidate when index is -1; "" when none is found.
std::string completeNumber(std::string_view number, int index);

}  // namespace nx::taxid
