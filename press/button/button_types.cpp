#include "press/button/button_types.h"

namespace nx {

AlignmentClasses alignmentClasses(std::int32_t alignment) {
  AlignmentClasses c;
  // Column of the value in the 3 x 3 table: 0 left, 1 right, 2 centre; kept non-negative for
  // values below zero.
  const std::int32_t column = ((alignment % 3) + 3) % 3;
  c.horizontal = column == 0 ? 0 : (column == 1 ? 2 : 1);
  c.vertical = alignment <= 2 ? 0 : (alignment <= 5 ? 1 : 2);
  return c;
}

}  // namespace nx
