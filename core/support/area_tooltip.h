// A plain tooltip over one rectangle of a window: a drawn part's name or a list row's full text.
// The tip window is made on the first text and kept; later texts and rectangles update it.
#pragma once

#include <memory>
#include <string>

#include "core/runtime/geometry.h"
#include "core/runtime/tooltip_types.h"

namespace nx {

class SystemServices;

class AreaTooltip {
 public:
  AreaTooltip(SystemServices& services, WindowHandle window);
  ~AreaTooltip();
  AreaTooltip(const AreaTooltip&) = delete;
  AreaTooltip& operator=(const AreaTooltip&) = delete;

  // Shows `text` while the pointer rests on `area` (window client pixels). An empty text keeps
  // the tool but shows nothing. False when the platform refused the tip window (nothing shows).
  bool set(const Rect& area, const std::string& text);

  const std::string& text() const { return tool_.text; }
  const Rect& area() const { return tool_.rect; }
  // The tip window, 0 before the first text or without a window to attach to.
  WindowHandle tipWindow() const;

 private:
  SystemServices& services_;
  WindowHandle window_;
  std::unique_ptr<TooltipWindow> tip_;
  ToolInfo tool_;
};

}  // namespace nx
