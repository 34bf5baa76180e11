// The frame every control follows towards its host: lifecycle notifications, input, the property
// change protocol, hover tracking with its tooltip, and the host helpers (default caption,
// ambient font, user mode).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/runtime/host.h"
#include "core/runtime/services.h"
#include "core/runtime/window.h"
#include "core/support/tooltip.h"
#include "core/support/tooltip_settings.h"

namespace nx {

// Mouse buttons and shift state as the host reports them.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;

class ControlBase : public HostedObject {
 public:
  explicit ControlBase(ControlSite& site);
  ~ControlBase() override;
  ControlBase(const ControlBase&) = delete;
  ControlBase& operator=(const ControlBase&) = delete;

  // Lifecycle notifications, in the order in which the host delivers them.
  void Initialize();
  void InitProperties();
  void ReadProperties(PropertyBag& bag);
  void WriteProperties(PropertyBag& bag);
  void Resize();
  void GotFocus();
  void LostFocus();
  void Terminate();

  // Input on the control's window; positions are client twips.
  void Click();
  void DblClick();
  void KeyDown(std::int16_t& keyCode, std::int16_t shift);
  void KeyPress(std::int16_t& keyAscii);
  void KeyUp(std::int16_t& keyCode, std::int16_t shift);
  void MouseDown(std::int16_t button, std::int16_t shift, double x, double y);
  void MouseMove(std::int16_t button, std::int16_t shift, double x, double y);
  void MouseUp(std::int16_t button, std::int16_t shift, double x, double y);

  // Property access by name through the control's property table.
  virtual Value getProperty(std::string_view name) const = 0;
  // The property a change notification key stands for, so hosts can be told which one
  // changed; nullopt when the key names no single property.
  virtual std::optional<std::string_view> propertyForKey(std::string_view /*key*/) const {
    return std::nullopt;
  }
  virtual void putProperty(std::string_view name, const Value& value) = 0;

  bool hasFocus() const { return hasFocus_; }
  bool hovering() const { return hovering_; }
  bool terminated() const { return terminated_; }
  const CTooltip* tooltip() const { return tooltip_.get(); }

 protected:
  ControlSite& site() const { return site_; }
  ControlWindow& window() const { return site_.window(); }
  SystemServices& services() const { return site_.services(); }

  virtual void onInitialize() {}
  virtual void onInitProperties() {}
  virtual void onReadProperties(PropertyBag& bag) = 0;
  virtual void onWriteProperties(PropertyBag& bag) const = 0;
  virtual void onResize() {}
  virtual void onFocusChanged() {}
  virtual void onTerminate() {}
  virtual void onClick() {}
  virtual void onDblClick() {}
  virtual void onKeyDown(std::int16_t& /*keyCode*/, std::int16_t /*shift*/) {}
  virtual void onKeyPress(std::int16_t& /*keyAscii*/) {}
  virtual void onKeyUp(std::int16_t& /*keyCode*/, std::int16_t /*shift*/) {}
  virtual void onMouseDown(std::int16_t /*button*/, std::int16_t /*shift*/, double, double) {}
  virtual void onMouseMove(std::int16_t /*button*/, std::int16_t /*shift*/, double, double) {}
  virtual void onMouseUp(std::int16_t /*button*/, std::int16_t /*shift*/, double, double) {}

  // Property change protocol: tell the host that the property persisted under `key` changed,
  // unless the control keeps its notifications back (see notificationsEnabled).
  void notifyChanged(std::string_view key);
  virtual bool notificationsEnabled() const { return true; }
  void raiseEvent(int position, std::span<Value> args = {});

  // Hover tracking; a control calls it from its MouseMove. The hooks give its hover look.
  void trackHover();
  bool pointerInside() const;
  virtual void applyHoverLook() {}
  virtual void undoHoverLook() {}
  virtual void redrawForHover() {}
  virtual void raiseMouseIn() {}
  virtual void raiseMouseOut() {}
  // The control's parsed tooltip settings; defaults when it has none.
  virtual TooltipSettings hoverTooltipSettings() const { return {}; }

  // The host's extender name, or `fallback` when there is none, it is empty or asking fails.
  std::string defaultCaption(std::string_view fallback) const;
  // Gives `font` the face name of the host's ambient font; failures are ignored.
  void takeAmbientFontName(Font& font) const;
  // The host's user mode and "DisplayAsDefault"; nullopt when the host does not say.
  std::optional<bool> ambientUserMode() const;
  std::optional<bool> ambientDisplayAsDefault() const;

 private:
  void showTooltip();

  ControlSite& site_;
  bool hasFocus_ = false;
  bool hovering_ = false;
  bool terminated_ = false;
  std::unique_ptr<CTooltip> tooltip_;
};

}  // namespace nx
