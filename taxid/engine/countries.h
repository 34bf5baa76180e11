// The country table: one row per member state, in the fixed order that is each country's
// identity throughout the library (dispatch, drop-down rows, flag pictures).
#pragma once

#include <array>
#include <string_view>

#include "engine/nif_validator.h"
#include "engine/rules.h"

namespace nx::taxid {

struct Country {
  std::string_view code;
  std::string_view nameEn;
  std::string_view namePt;  // UTF-8
  rules::Rule check;
};

extern const std::array<Country, kCountryCount> kCountries;

}  // namespace nx::taxid
