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
#include <vector>

#include "core/control/class_table.h"
#include "core/runtime/accessible.h"
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

  // Pointer buttons as the platform reports them, turned into the control's callbacks as
  // platform controls do it: a press gives MouseDown; the second press of a double click gives
  // DblClick instead; a release gives MouseUp, then Click for the left button when the press
  // that it ends was a single one and the release is inside the control (sliding off a pressed
  // control does not click it). A double click therefore gives MouseDown, MouseUp, Click,
  // DblClick, MouseUp. Positions are client twips.
  void PointerDown(std::int16_t button, std::int16_t shift, double x, double y,
                   bool secondOfDouble);
  void PointerUp(std::int16_t button, std::int16_t shift, double x, double y, bool inside);

  // Input on the control's window; positions are client twips.
  void Click();
  void DblClick();
  void KeyDown(std::int16_t& keyCode, std::int16_t shift);
  void KeyPress(std::int16_t& keyAscii);
  void KeyUp(std::int16_t& keyCode, std::int16_t shift);
  void MouseDown(std::int16_t button, std::int16_t shift, double x, double y);
  void MouseMove(std::int16_t button, std::int16_t shift, double x, double y);
  void MouseUp(std::int16_t button, std::int16_t shift, double x, double y);

  // The control's class table, and property access and method calls by name through it
  // (implemented by Control<C>).
  virtual const ClassInfo& classInfo() const = 0;
  virtual Value getProperty(std::string_view name) const = 0;
  virtual void putProperty(std::string_view name, const Value& value) = 0;
  virtual Value invokeMethod(std::string_view name, std::span<Value> args) = 0;
  // The property a change notification key stands for, so hosts can be told which one
  // changed; nullopt when the key names no single property.
  std::optional<std::string_view> propertyForKey(std::string_view key) const {
    return classInfo().propertyForKey(key);
  }

  // The access key the control answers to (the letter after the last single "&" of its
  // caption, lower case); 0 for none. A control whose key changes calls accessKeyChanged().
  virtual char accessKey() const { return 0; }
  // The host saw the access key pressed (Alt+letter, or the letter where the host routes it).
  void Mnemonic() {
    AnnounceScope announce(*this);
    onMnemonic();
  }
  // An ambient property of the host changed ("UserMode", "DisplayAsDefault", "Font"; empty
  // when the host says that several may have changed).
  void AmbientChanged(std::string_view name) {
    AnnounceScope announce(*this);
    onAmbientChanged(name);
  }

  // The control as assistive technology sees it: role, name, value, states, default action and
  // access key from the class's accessibility entry, with the class's own additions (states,
  // value text, constituent parts as children).
  AccessibleNode accessible() const;
  // Compares what accessibility clients read with what they were last told and announces the
  // differences through the window. Entry points that may change the control call it when they
  // end; a control calls it itself after a change that comes from elsewhere (a text part).
  void announceChanges() noexcept;

  bool busy() const { return busy_; }
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
  virtual void onMnemonic() {}
  virtual void onAmbientChanged(std::string_view /*name*/) {}
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
  void accessKeyChanged() { site_.controlInfoChanged(); }

  // The busy guard: set while the control changes itself (redraw, own resize, theme, loading),
  // so that puts neither notify nor redraw and Resize is ignored. Restores the previous state.
  class BusyScope {
   public:
    explicit BusyScope(ControlBase& c) : flag_(c.busy_), previous_(c.busy_) { flag_ = true; }
    ~BusyScope() { flag_ = previous_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    bool& flag_;
    bool previous_;
  };
  virtual bool notificationsEnabled() const { return true; }
  void raiseEvent(int position, std::span<Value> args = {});
  // Raises the event of that name of the class table.
  void raiseEvent(std::string_view name, std::span<Value> args = {});

  // Additions to the element the class entry gives: states, value text, action name, children.
  virtual void describeAccessible(AccessibleNode& node) const { static_cast<void>(node); }
  // What a click does, for default actions: a left press and release at the control's centre.
  void clickAtCentre();

  // Announces what changed when the outermost scope of an entry point ends.
  class AnnounceScope {
   public:
    explicit AnnounceScope(const ControlBase& c);
    ~AnnounceScope();
    AnnounceScope(const AnnounceScope&) = delete;
    AnnounceScope& operator=(const AnnounceScope&) = delete;

   private:
    ControlBase& c_;
  };

  // Keeps back the announcement made before each raised event while a change of several steps
  // is under way (an intermediate text): clients hear the result when the entry point ends.
  class HoldAnnouncements {
   public:
    explicit HoldAnnouncements(ControlBase& c) : c_(c) { ++c_.announceHold_; }
    ~HoldAnnouncements() { --c_.announceHold_; }
    HoldAnnouncements(const HoldAnnouncements&) = delete;
    HoldAnnouncements& operator=(const HoldAnnouncements&) = delete;

   private:
    ControlBase& c_;
  };

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

  // Moves the control's left edge through the host's extender, keeping errors inside; false
  // when the host has no extender or refuses.
  bool moveLeftEdge(double twips);
  // The host's extender name, or `fallback` when there is none, it is empty or asking fails.
  std::string defaultCaption(std::string_view fallback) const;
  // Gives `font` the face name of the host's ambient font; failures are ignored.
  void takeAmbientFontName(Font& font) const;
  // The host's user mode and "DisplayAsDefault"; nullopt when the host does not say.
  std::optional<bool> ambientUserMode() const;
  std::optional<bool> ambientDisplayAsDefault() const;

 private:
  void showTooltip();
  std::string accessibleName() const;
  std::vector<AccessibleSnapshot> accessibleSnapshots() const;

  ControlSite& site_;
  bool busy_ = false;
  bool hasFocus_ = false;
  bool leftPressed_ = false;  // a left press whose release may click
  bool hovering_ = false;
  bool terminated_ = false;
  std::unique_ptr<CTooltip> tooltip_;
  int announceDepth_ = 0;
  int announceHold_ = 0;
  bool announcedValid_ = false;
  std::vector<AccessibleSnapshot> announced_;  // the control, then its children
};

}  // namespace nx
