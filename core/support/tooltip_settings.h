// Tooltip settings of a control, parsed from its `ExProp` text ("key=value;key=value").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/runtime/color.h"

namespace nx {

struct TooltipSettings {
  OleColor backColor = syscolor::kTooltipBack;  // "ttbcolor"
  OleColor foreColor = syscolor::kTooltipText;  // "ttfcolor"
  bool centered = false;                        // "ttalign=center"
  std::int32_t icon = 0;                        // "tticon": 0 none, 1 info, 2 warning, 3 error
  bool multiLine = true;                        // "ttmultiline=false|no"
  std::int32_t style = 0;                       // "ttstyle=balloon" gives 1
  std::string title;                            // "tttitle", case kept

  friend bool operator==(const TooltipSettings&, const TooltipSettings&) = default;
};

// Parses the settings text; unknown keys and malformed pieces are skipped, later pieces override
// earlier ones. Never fails.
TooltipSettings parseExProp(std::string_view exProp);

// Whole number as the settings text writes it: decimal, or hexadecimal after "&h" (the 32 bits
// read as signed). nullopt when the text is not such a number.
std::optional<std::int32_t> parseSettingNumber(std::string_view text);

}  // namespace nx
