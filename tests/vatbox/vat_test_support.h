// Helpers of the NxVATNumber tests: a site of the usual size, stand-in pictures for the button
// and the flags, and access to the number box as the simulation models it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/nif_validator.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_parts.h"
#include "taxid/vatbox/vatnumber.h"

namespace nx::vattest {

// __NxVATNumber
inline constexpr int kChange = 1;
inline constexpr int kValidNumber = 2;

// Solid stand-ins: the button's three looks (11 x 18) and one flag per state (24 x 16).
inline constexpr Rgb kButtonLooks[3] = {0x00C08040, 0x0040C040, 0x004040C0};
inline Rgb flagColor(int i) {
  return makeRgb(static_cast<std::uint8_t>(40 + 8 * i), static_cast<std::uint8_t>(200 - 6 * i),
                 static_cast<std::uint8_t>(90 + 5 * i));
}

inline void registerPictures(sim::SimServices& services) {
  for (int i = 0; i < 3; ++i)
    services.addResourcePicture(
        "BT_" + std::to_string(i),
        std::make_shared<sim::SimPicture>(sim::Bitmap(11, 18, kButtonLooks[i])));
  for (int i = 0; i < taxid::kCountryCount; ++i)
    services.addResourcePicture(
        "FLG_" + std::string(taxid::countryCode(i)),
        std::make_shared<sim::SimPicture>(sim::Bitmap(24, 16, flagColor(i))));
}

inline sim::SiteOptions vatSite(double left = 0, double top = 0) {
  sim::SiteOptions o;
  o.name = "NxVATNumber1";
  o.left = left;
  o.top = top;
  o.width = 2400;
  o.height = 300;
  return o;
}

inline sim::SimTextBox& box(const NxVATNumber& v) {
  return static_cast<sim::SimTextBox&>(v.numberBox());
}

// The focus leaves the control's parts (to another control of the form).
inline void leave(sim::SimHost& host, const NxVATNumber& v) {
  host.window(v).simParts().focusLeaves();
}

inline std::vector<int> eventPositions(const sim::SimSite& site) {
  std::vector<int> out;
  for (const sim::Record& r : site.events()) out.push_back(r.position);
  return out;
}

}  // namespace nx::vattest
