#include "class_conformance.h"

#include <memory>

#include "platform/sim/sim_objects.h"

namespace nx::test {

namespace {

const EnumSpec* enumOf(const ClassInfo& cls, const MemberInfo& m) {
  for (const EnumSpec& e : cls.enums)
    if (e.name == m.type.idl) return &e;
  return nullptr;
}

}  // namespace

Value otherValue(const ClassInfo& cls, const MemberInfo& m, const Value& current,
                 sim::SimServices& services) {
  if (m.sample) return *m.sample;
  const auto differs = [&](const Value& v) {
    return !sameValue(v, current) && !sameValue(v, m.storeDefault);
  };
  switch (m.type.kind) {
    case ValueKind::Int32: {
      if (const EnumSpec* e = enumOf(cls, m)) {
        for (const auto& member : e->members)
          if (differs(Value{member.second})) return Value{member.second};
        return current;
      }
      const std::int32_t base = toInt32(current);
      const bool color = m.type.idl == "OLE_COLOR";
      for (std::int32_t v : color ? std::vector<std::int32_t>{0x00123456, 0x00654321}
                                  : std::vector<std::int32_t>{base + 1, base + 2, base - 1})
        if (differs(Value{v})) return Value{v};
      return current;
    }
    case ValueKind::Int16:
      return Value{static_cast<std::int16_t>(toInt16(current) + 1)};
    case ValueKind::Bool:
      return Value{toVBool(!toBool(current))};
    case ValueKind::Single:
      return Value{static_cast<float>(toDouble(current) + 1.5)};
    case ValueKind::Double:
      return Value{toDouble(current) + 1.5};
    case ValueKind::Currency:
      return Value{Currency{toCurrency(current).units + 15000}};
    case ValueKind::String:
      return Value{toText(current) + " sample"};
    case ValueKind::Font: {
      FontDesc d = toFont(current) ? toFont(current)->describe() : FontDesc{};
      d.name = d.name == "Courier New" ? "Arial" : "Courier New";
      d.size += 2;
      d.bold = !d.bold;
      return Value{services.createFont(d)};
    }
    case ValueKind::Empty:
      return Value{std::string("sample")};
    case ValueKind::Picture:
      // A stored picture property round-trips a small picture of its own.
      if (!toPicture(current))
        return Value{
            PictureRef{std::make_shared<sim::SimPicture>(sim::Bitmap(16, 16, 0x00336699))}};
      break;
  }
  return current;
}

}  // namespace nx::test
