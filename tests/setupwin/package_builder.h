// Builds setup images for the tests: an executable image, a ZIP payload and the trailer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nxsetup/install_info.h"

namespace nx::setup::win::test {

struct Member {
  std::string name;
  std::string data;
  bool deflate = true;
};

std::string buildZip(const std::vector<Member>& members);

// `image` + `payload` + trailer whose header points at the payload.
std::string buildSetupImage(std::string_view image, std::string_view payload,
                            std::string_view zlibVersion = "1.2.3");

// An install information text for the members (all to `target`), sizes from their data.
std::string installInfoFor(const std::vector<Member>& members, std::string_view target,
                           bool eula = false);

}  // namespace nx::setup::win::test
