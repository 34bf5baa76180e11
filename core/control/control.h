// The base of every control class declared by a class table: property access, method calls,
// loading and saving come from `C::classTable()`.
#pragma once

#include <span>
#include <string_view>

#include "core/control/class_table.h"
#include "core/control/control_base.h"

namespace nx {

template <class C>
class Control : public ControlBase {
 public:
  using ControlBase::ControlBase;

  const ClassInfo& classInfo() const final { return C::classTable().info(); }
  Value getProperty(std::string_view name) const final { return C::classTable().get(self(), name); }
  void putProperty(std::string_view name, const Value& value) final {
    AnnounceScope announce(*this);
    C::classTable().put(self(), name, value);
  }
  Value invokeMethod(std::string_view name, std::span<Value> args) final {
    AnnounceScope announce(*this);
    return C::classTable().call(self(), name, args);
  }

 protected:
  // Reads every stored key as the table says, then lets the control set up derived state.
  void onReadProperties(PropertyBag& bag) override {
    readStored(bag);
    onLoaded();
  }
  void onWriteProperties(PropertyBag& bag) const override { writeStored(bag); }
  // After ReadProperties has read every key.
  virtual void onLoaded() {}

  // `policy` replaces the class's own error policy for this call.
  void readStored(PropertyBag& bag, std::optional<ReadPolicy> policy = std::nullopt) {
    C::classTable().read(
        self(), bag,
        [this](const std::function<void()>& put) {
          BusyScope guard(*this);
          put();
        },
        policy);
  }
  void writeStored(PropertyBag& bag, std::optional<ReadPolicy> policy = std::nullopt) const {
    C::classTable().write(self(), bag, policy);
  }

 private:
  C& self() { return static_cast<C&>(*this); }
  const C& self() const { return static_cast<const C&>(*this); }
};

}  // namespace nx
