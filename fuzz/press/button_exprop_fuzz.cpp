// Feeds arbitrary text to a button as its ExProp and its caption, live and from a stored form:
// commands and tooltip settings in any shape never fail, a command never stays in ExProp, the
// interaction flags come back after a fake click, and the button stays at least as large as
// its caption.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sim/sim_host.h"
#include "press/button/button.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  nx::sim::SimHost host;
  nx::sim::SiteOptions site;
  site.name = "Fuzz";
  site.toolTipText = "tip";
  site.width = (size % 7) * 15.0;
  site.height = (size % 5) * 15.0;

  auto& live = host.create<nx::NxButton>(site);
  live.putProperty("ExProp", nx::Value{text});
  check(nx::exPropCommandOf(text) == nx::ExPropCommand::TooltipSettings || live.exProp().empty());
  check(!live.state().hover && !live.state().focus && !live.state().pressed);
  live.putProperty("Caption", nx::Value{text});
  nx::sim::SimWindow& w = host.window(live);
  check(w.width() >= w.surface().textWidth(text) && w.height() >= w.surface().textHeight(text));
  host.moveMouse(host.screenPoint(live, 1, 1));
  live.putProperty("Theme", nx::Value{static_cast<std::int32_t>(size % 8) - 1});

  nx::sim::SimPropertyBag bag;
  bag.set("ExProp", nx::Value{text});
  bag.set("ptext", nx::Value{text});
  bag.set("icx", nx::Value{static_cast<std::int16_t>(size * 37)});
  bag.set("calign", nx::Value{static_cast<std::int32_t>(size) - 4});
  auto& stored = host.create<nx::NxButton>(site, &bag);
  check(nx::exPropCommandOf(text) == nx::ExPropCommand::TooltipSettings || stored.exProp().empty());
  host.save(stored);
  return 0;
}
