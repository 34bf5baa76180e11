#include "core/support/area_tooltip.h"

#include <exception>

#include "core/runtime/services.h"

namespace nx {

namespace {
constexpr std::uint32_t kNewToolRectA = 0x406;
}  // namespace

AreaTooltip::AreaTooltip(SystemServices& services, WindowHandle window)
    : services_(services), window_(window) {}

AreaTooltip::~AreaTooltip() = default;

WindowHandle AreaTooltip::tipWindow() const {
  return tip_ ? tip_->handle() : 0;
}

bool AreaTooltip::set(const Rect& area, const std::string& text) {
  if (window_ == 0) return false;
  try {
    if (!tip_) {
      services_.initCommonControls();
      TooltipWindowParams params;
      params.style = tt::kStyleAlwaysTip | tt::kStyleNoPrefix;
      params.owner = window_;
      params.instance = services_.moduleInstance();
      tip_ = services_.createTooltipWindow(params);
      if (!tip_) return false;
      tip_->setWindowPos(tt::kTopmost, 0, 0, 0, 0, tt::kTopmostFlags);
      tool_ = ToolInfo{};
      tool_.size = tip_->toolInfoSize();
      tool_.flags = tt::kToolSubclass;
      tool_.window = window_;
      tool_.id = 1;
      tool_.rect = area;
      tool_.instance = services_.moduleInstance();
      tool_.text = text;
      tip_->sendMessage(tt::kAddToolA, 0, tool_);
      return true;
    }
    if (!(area == tool_.rect)) {
      tool_.rect = area;
      tip_->sendMessage(kNewToolRectA, 0, tool_);
    }
    if (text != tool_.text) {
      tool_.text = text;
      tip_->sendMessage(tt::kUpdateTipTextA, 0, tool_);
    }
    return true;
  } catch (const std::exception&) {
    tip_.reset();
    return false;
  }
}

}  // namespace nx
