// What the host offers a control: its property store, extender and ambient properties, the event
// sink and the change notification.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/value.h"

namespace nx {

class ControlWindow;
class SystemServices;

// The host's persistent store. Keys are matched without regard to letter case. Reading a key
// that is absent gives the default. Writing may leave out a value equal to its default; a key
// written with an empty default is always stored.
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  virtual Value read(std::string_view key, const Value& defaultValue) = 0;
  virtual void write(std::string_view key, const Value& value, const Value& defaultValue) = 0;
};

// Anything the host keeps in its collection of controls on a form.
class HostedObject {
 public:
  virtual ~HostedObject() = default;
};

// Extender properties the host keeps on a control's behalf. A property the host lacks or fails
// to give is nullopt.
class Extender {
 public:
  virtual ~Extender() = default;
  virtual std::optional<std::string> name() const = 0;
  virtual std::optional<std::string> toolTipText() const = 0;
  virtual std::optional<double> left() const = 0;
  virtual std::optional<double> width() const = 0;
  // Moves the control's left edge (twips in the container); false when the host refuses.
  virtual bool setLeft(double twips) = 0;
  // The controls on the same parent form, the caller included.
  virtual std::optional<std::vector<HostedObject*>> parentControls() const = 0;
};

// Ambient properties of the container. A property the host lacks is nullopt.
class Ambient {
 public:
  virtual ~Ambient() = default;
  virtual std::optional<FontRef> font() const = 0;
  virtual std::optional<bool> userMode() const = 0;
  virtual std::optional<bool> displayAsDefault() const = 0;
};

// The host side of one control instance.
class ControlSite {
 public:
  virtual ~ControlSite() = default;
  virtual ControlWindow& window() = 0;
  virtual SystemServices& services() = 0;
  // nullptr when the host offers no extender or ambient object at all.
  virtual const Extender* extender() const = 0;
  virtual Extender* extender() = 0;
  virtual const Ambient* ambient() const = 0;
  // Raises the event at `position` (1 for the first) of the control's event interface; the
  // arguments are passed by reference and the host may change them.
  virtual void raiseEvent(int position, std::span<Value> args) = 0;
  // Tells the host that the persisted property stored under `key` changed.
  virtual void propertyChanged(std::string_view key) = 0;
  // Tells the host that the control's access key changed.
  virtual void controlInfoChanged() {}
};

}  // namespace nx
