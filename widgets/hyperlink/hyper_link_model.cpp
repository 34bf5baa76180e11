#include "widgets/hyperlink/hyper_link_model.h"

#include "core/support/rounding.h"
#include "widgets/checkbox/caption_lines.h"

namespace nx {

double lineStart(std::int32_t alignment, double width, double lineWidth) {
  switch (alignment) {
    case alignRight:
      return width - lineWidth;
    case alignCenter:
      return roundHalfEven(width / 2.0 - lineWidth / 2.0);
    default:
      return 0;
  }
}

std::string wordPerLine(const std::string& caption) {
  std::string out;
  bool first = true;
  for (const std::string& word : splitAtBlanks(caption)) {
    if (!first) out += "\r\n";
    out += word;
    first = false;
  }
  return out;
}

bool opensAddress(const std::string& url) {
  return !trimBlanks(url).empty();
}

}  // namespace nx
