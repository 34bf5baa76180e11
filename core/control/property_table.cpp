#include "core/control/property_table.h"

namespace nx {

Value coerceTo(ValueKind kind, const Value& v) {
  switch (kind) {
    case ValueKind::Empty:
      return v;  // a variant property keeps whatever it is given
    case ValueKind::Int16:
      return toInt16(v);
    case ValueKind::Int32:
      return toInt32(v);
    case ValueKind::Bool:
      return toVBool(toBool(v));
    case ValueKind::Single:
      return static_cast<float>(toDouble(v));
    case ValueKind::Double:
      return toDouble(v);
    case ValueKind::String:
      return toText(v);
    case ValueKind::Font:
      return toFont(v);
    case ValueKind::Picture:
      return toPicture(v);
  }
  throw ConversionError("type mismatch");
}

}  // namespace nx
