// A control's own tooltip window, built from its members by Create.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/runtime/color.h"
#include "core/runtime/tooltip_types.h"

namespace nx {

class SystemServices;

class CTooltip {
 public:
  // Initialises the platform's common controls and sets the defaults.
  explicit CTooltip(SystemServices& services);
  ~CTooltip();
  CTooltip(const CTooltip&) = delete;
  CTooltip& operator=(const CTooltip&) = delete;

  WindowHandle HwndParentControl = 0;
  std::int32_t Icon = 0;
  std::int32_t Style = 0;
  bool Centered = false;
  OleColor ForeColor = syscolor::kTooltipText;
  OleColor BackColor = syscolor::kTooltipBack;
  std::string Title;
  std::string Text;
  bool MultiLine = true;

  static constexpr OleColor SystemToolTipForeColor() { return syscolor::kTooltipText; }
  static constexpr OleColor SystemToolTipBackColor() { return syscolor::kTooltipBack; }

  // Builds the tooltip window, replacing one that exists. True when finished (also when there
  // is no owner window, which creates nothing); False when a step failed.
  bool Create();

  // The tooltip window, nullptr when there is none.
  const TooltipWindow* window() const { return window_.get(); }
  const ToolInfo& toolInfo() const { return tool_; }

 private:
  SystemServices& services_;
  std::unique_ptr<TooltipWindow> window_;
  ToolInfo tool_;
};

}  // namespace nx
