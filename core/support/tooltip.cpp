#include "core/support/tooltip.h"

#include <exception>

#include "core/runtime/services.h"
#include "core/support/color_funcs.h"

namespace nx {
namespace {

// Wider than any text: the tip then breaks lines only at the text's own line breaks.
constexpr std::intptr_t kUnlimitedTipWidth = 0x7FFFFFFF;

}  // namespace

CTooltip::CTooltip(SystemServices& services) : services_(services) {
  services_.initCommonControls();
}

CTooltip::~CTooltip() = default;

bool CTooltip::Create() {
  try {
    window_.reset();
    std::uint32_t style = tt::kStyleAlwaysTip | tt::kStyleNoPrefix;
    if (Style == 1) style |= tt::kStyleBalloon;
    if (HwndParentControl == 0) return true;

    TooltipWindowParams params;
    params.style = style;
    params.owner = HwndParentControl;
    params.instance = services_.moduleInstance();
    window_ = services_.createTooltipWindow(params);
    if (!window_) return false;
    window_->setWindowPos(tt::kTopmost, 0, 0, 0, 0, tt::kTopmostFlags);

    Rect client = services_.clientRect(HwndParentControl).value_or(Rect{});
    tool_ = ToolInfo{};
    tool_.size = window_->toolInfoSize();
    tool_.flags = Centered ? (tt::kToolSubclass | tt::kToolCentered) : tt::kToolSubclass;
    tool_.window = HwndParentControl;
    tool_.id = 0;
    tool_.rect = client;
    tool_.instance = services_.moduleInstance();
    tool_.text = Text;
    window_->sendMessage(tt::kAddToolA, 0, tool_);

    if (!Title.empty()) {
      window_->sendMessage(tt::kSetTitleA, static_cast<std::uintptr_t>(Icon), Title);
    }
    // The platform takes plain RGB values; a system colour other than the tooltip defaults is
    // resolved first so that the tip shows that colour.
    if (ForeColor != syscolor::kTooltipText) {
      window_->sendMessage(tt::kSetTipTextColor,
                           static_cast<std::uintptr_t>(translateColor(ForeColor, services_)),
                           std::monostate{});
    }
    if (BackColor != syscolor::kTooltipBack) {
      window_->sendMessage(tt::kSetTipBkColor,
                           static_cast<std::uintptr_t>(translateColor(BackColor, services_)),
                           std::monostate{});
    }
    if (MultiLine) window_->sendMessage(tt::kSetMaxTipWidth, 0, kUnlimitedTipWidth);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nx
