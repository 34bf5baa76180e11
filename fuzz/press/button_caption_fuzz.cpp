// Parses arbitrary bytes as a button caption and draws them, with a look taken from the first
// bytes, on a small simulated surface. The parsed text never holds a mark it should have lost,
// its key position lies inside it, and the drawing never fails or leaves the surface's size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_surface.h"
#include "press/button/button_paint.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kLookBytes = 8;
  std::uint8_t b[kLookBytes] = {};
  for (std::size_t i = 0; i < kLookBytes && i < size; ++i) b[i] = data[i];
  const std::string_view caption(reinterpret_cast<const char*>(data), size);

  const nx::ButtonCaption parsed = nx::parseButtonCaption(caption);
  check(parsed.text.size() <= caption.size());
  check(parsed.key <= parsed.text.size());
  if (parsed.key > 0) check(parsed.text[parsed.key - 1] == parsed.accessKey);
  if (caption.find('&') != std::string_view::npos && !parsed.text.empty())
    check(parsed.text.front() != ' ' && parsed.text.back() != ' ');

  static nx::sim::SimServices services;
  nx::sim::SimSurface surface(15, 15, std::make_shared<nx::sim::Switches>(),
                              std::make_shared<nx::sim::SimFont>(nx::FontDesc{}));
  const int w = b[0] % 24;
  const int h = b[1] % 24;
  surface.resizePixels(w, h);
  nx::ButtonLook look;
  look.caption = std::string(caption);
  look.scaleWidth = w * 15.0;
  look.scaleHeight = h * 15.0;
  look.innerWidthPx = look.outerWidthPx = w;
  look.innerHeightPx = look.outerHeightPx = h;
  look.alignment = static_cast<std::int8_t>(b[2]) / 8;  // also values outside 0..8
  look.iconAlignment = b[2] % 9;
  look.outline = b[3] % 6;
  look.cutStyle = b[4] % 4;
  look.cutStrength = (b[4] >> 2) % 2;
  look.gradientStyle = (b[4] >> 3) % 2;
  look.borderAppearance = (b[4] >> 4) % 2;
  look.cornerStyle = (b[4] >> 5) % 2;
  look.borderStyle = (b[4] >> 6) % 2;
  look.lightEffect = (b[5] & 1) != 0;
  look.bottomLine = (b[5] & 2) != 0;
  look.hover = (b[5] & 4) != 0;
  look.focus = (b[5] & 8) != 0;
  look.pressed = (b[5] & 16) != 0;
  look.isDefault = (b[5] & 32) != 0;
  look.enabled = (b[5] & 64) != 0;
  look.colorB = b[6] * 0x010101u;
  if ((b[5] & 128) != 0) {
    const int side = b[7] % 40;
    look.icon = std::make_shared<nx::sim::SimPicture>(nx::sim::Bitmap(side, side, 0x00A000));
    look.iconWidth = look.iconHeight = side * 15.0;
    look.iconAdjustX = static_cast<std::int16_t>(static_cast<std::int8_t>(b[7]));
    look.iconAdjustY = static_cast<std::int16_t>(-look.iconAdjustX);
  }
  const nx::ButtonPaintResult r = nx::paintButton(surface, look, services);
  check(surface.bitmap().width() == w && surface.bitmap().height() == h);
  check((r.region != nullptr) == (look.borderStyle == nx::bsFixedSingle));
  check(r.caption.text == parsed.text);
  return 0;
}
