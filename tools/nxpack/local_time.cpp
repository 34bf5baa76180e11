#include "local_time.h"

#include <chrono>
#include <ctime>

namespace nx::pack {
namespace {

setup::DateTime fromTimeT(std::time_t t) {
  const std::tm* tm = std::localtime(&t);
  if (tm == nullptr) return {};
  return {tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec};
}

}  // namespace

setup::DateTime localNow() {
  return fromTimeT(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

std::optional<setup::DateTime> localLastWrite(const std::filesystem::path& path) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  if (ec) return std::nullopt;
  const auto system = std::chrono::file_clock::to_sys(written);
  const auto seconds = std::chrono::time_point_cast<std::chrono::seconds>(system);
  return fromTimeT(std::chrono::system_clock::to_time_t(seconds));
}

}  // namespace nx::pack
