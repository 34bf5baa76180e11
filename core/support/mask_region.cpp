#include "core/support/mask_region.h"

#include <vector>

namespace nx {

std::unique_ptr<Region> regionFromMask(const DeviceContext* dc, std::int32_t width,
                                       std::int32_t height, Rgb maskColor, bool whole) {
  if (dc == nullptr || width <= 0 || height <= 0) return nullptr;
  if (whole) return std::make_unique<Region>(Rect{0, 0, width, height});

  // Per row, the spans that are not mask-coloured are exactly the full row minus its mask runs.
  auto result = std::make_unique<Region>();
  std::vector<Rgb> row(static_cast<std::size_t>(width));
  std::vector<Region::Span> spans;
  bool anyMask = false;
  for (std::int32_t y = 0; y < height; ++y) {
    dc->readRow(y, 0, row);
    spans.clear();
    std::int32_t x = 0;
    while (x < width) {
      if (row[static_cast<std::size_t>(x)] == maskColor) {
        anyMask = true;
        ++x;
        continue;
      }
      std::int32_t start = x;
      while (x < width && row[static_cast<std::size_t>(x)] != maskColor) ++x;
      spans.emplace_back(start, x);
    }
    result->appendBand(y, y + 1, spans);
  }
  if (!anyMask) return nullptr;
  return result;
}

std::unique_ptr<Region> regionFromMaskPerPixel(const DeviceContext* dc, std::int32_t width,
                                               std::int32_t height, Rgb maskColor, bool whole) {
  if (dc == nullptr || width <= 0 || height <= 0) return nullptr;
  if (whole) return std::make_unique<Region>(Rect{0, 0, width, height});

  std::unique_ptr<Region> mask;
  auto addRun = [&mask](std::int32_t start, std::int32_t end, std::int32_t y) {
    Region run(Rect{start, y, end + 1, y + 1});
    if (!mask) {
      mask = std::make_unique<Region>(run);
    } else {
      mask->unite(run);
    }
  };
  for (std::int32_t y = 0; y < height; ++y) {
    bool open = false;
    std::int32_t start = 0;
    for (std::int32_t x = 0; x < width; ++x) {
      bool isMask = dc->pixel(x, y) == maskColor;
      if (isMask && !open) {
        open = true;
        start = x;
      } else if (!isMask && open) {
        open = false;
        addRun(start, x - 1, y);
      }
    }
    if (open) addRun(start, width - 1, y);
  }
  if (!mask) return nullptr;
  auto result = std::make_unique<Region>(Rect{0, 0, width, height});
  result->subtract(*mask);
  return result;
}

bool applyRegion(ControlWindow* window, std::unique_ptr<Region> region) {
  if (window == nullptr || !region) return false;
  return window->setRegion(std::move(region), true);
}

}  // namespace nx
