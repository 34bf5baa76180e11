// Records the events of ZipExtractionClass for the tests.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "nxsetup/zip_extraction.h"

namespace nx::setup::test {

class RecordingEvents : public ZipEvents {
 public:
  void Progress(std::int32_t percent, bool& cancel) override {
    progress.push_back(percent);
    if (cancelAt > 0 && static_cast<int>(progress.size()) == cancelAt) cancel = true;
  }
  void Status(const std::string& text) override { status.push_back(text); }
  void ZipError(std::int32_t number, const std::string& description) override {
    errors.emplace_back(number, description);
  }
  std::vector<std::int32_t> errorNumbers() const {
    std::vector<std::int32_t> out;
    for (const auto& e : errors) out.push_back(e.first);
    return out;
  }

  std::vector<std::int32_t> progress;
  std::vector<std::string> status;
  std::vector<std::pair<std::int32_t, std::string>> errors;
  int cancelAt = 0;
};

}  // namespace nx::setup::test
