// A scripted host for control tests: places controls new or from a stored property bag, resizes
// them, moves the mouse (screen pixels, capture honoured), clicks, presses keys, moves the focus
// and saves them. Each site records the events its control raised (with their arguments) and the
// change notifications, in order.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/control/control_base.h"
#include "platform/sim/sim_property_bag.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_window.h"

namespace nx::sim {

struct SiteOptions {
  std::optional<std::string> name;         // extender Name; nullopt: the host gives none
  std::optional<std::string> toolTipText;  // extender ToolTipText
  bool hasExtender = true;
  bool hasAmbient = true;
  std::optional<FontDesc> ambientFont;  // nullopt: the host lacks an ambient font
  std::optional<bool> userMode = false;
  std::optional<bool> displayAsDefault;
  double left = 0;
  double top = 0;
  double width = 1500;  // twips
  double height = 300;
  bool hostMoves = true;  // the extender's Left can be written
};

struct Record {
  enum class Kind { Event, Changed };
  Kind kind = Kind::Event;
  int position = 0;         // events
  std::string key;          // change notifications
  std::vector<Value> args;  // events, as the control left them
};

class SimHost;

class SimSite : public ControlSite {
 public:
  SimSite(SimHost& host, WindowHandle handle, SiteOptions options);

  ControlWindow& window() override { return window_; }
  SystemServices& services() override;
  const Extender* extender() const override;
  Extender* extender() override;
  const Ambient* ambient() const override;
  void raiseEvent(int position, std::span<Value> args) override;
  void propertyChanged(std::string_view key) override;

  SimWindow& simWindow() { return window_; }
  SiteOptions& options() { return options_; }
  ControlBase* control() const { return control_; }
  void setControl(ControlBase* control) { control_ = control; }
  // Called with each event before it is recorded; may change by-reference arguments.
  void setEventHandler(std::function<void(int, std::span<Value>)> handler) {
    eventHandler_ = std::move(handler);
  }

  const std::vector<Record>& log() const { return log_; }
  std::vector<Record> events() const;
  std::vector<std::string> changes() const;
  int eventCount(int position) const;
  void clearLog() { log_.clear(); }

 private:
  class SimExtender;
  class SimAmbient;

  SimHost& host_;
  SiteOptions options_;
  SimWindow window_;
  std::unique_ptr<SimExtender> extender_;
  std::unique_ptr<SimAmbient> ambient_;
  ControlBase* control_ = nullptr;
  std::function<void(int, std::span<Value>)> eventHandler_;
  std::vector<Record> log_;
};

class SimHost {
 public:
  explicit SimHost(double twipsPerPixelX = 15, double twipsPerPixelY = 15);
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  SimServices& services() { return services_; }
  double twipsPerPixelX() const { return tppX_; }
  double twipsPerPixelY() const { return tppY_; }

  // Places a control: Initialize, then InitProperties (no bag) or ReadProperties (stored bag),
  // then the first Resize.
  template <class C>
  C& create(SiteOptions options = {}, const SimPropertyBag* stored = nullptr) {
    SimSite& s = addSite(std::move(options));
    auto control = std::make_unique<C>(s);
    C& ref = *control;
    attach(s, std::move(control), stored);
    return ref;
  }

  SimSite& site(const ControlBase& control);
  SimWindow& window(const ControlBase& control) { return site(control).simWindow(); }

  void resize(ControlBase& control, double width, double height);
  // Moves the pointer; the capture holder gets the move, else the window under the pointer.
  void moveMouse(Point screen);
  // Screen pixel of a client pixel of the control.
  Point screenPoint(const ControlBase& control, std::int32_t clientX, std::int32_t clientY);
  // Presses and releases at the pointer's position (which may be outside the control).
  void mouseDown(ControlBase& control, std::int16_t button, std::int16_t shift = 0,
                 bool secondOfDouble = false);
  void mouseUp(ControlBase& control, std::int16_t button, std::int16_t shift = 0);
  // A full left click with the pointer on the control (moved there without a mouse move when
  // it is elsewhere): down, up, Click.
  void click(ControlBase& control);
  // Down, up, Click, DblClick, up: the platform delivers the second press as the DblClick.
  void dblClick(ControlBase& control);
  // KeyDown, KeyPress, KeyUp; returns the key as the control left it in KeyPress.
  std::int16_t pressKey(ControlBase& control, std::int16_t keyAscii, std::int16_t shift = 0);
  // Moves the focus: LostFocus to the old holder, GotFocus to the new one (nullptr: none).
  void focus(ControlBase* control);
  SimPropertyBag save(ControlBase& control);
  // Changes an ambient property of every site and tells each control (UserMode,
  // DisplayAsDefault).
  void setUserMode(bool userMode);
  void setDisplayAsDefault(ControlBase& control, bool on);
  // Alt+letter on the form: the first control whose access key is `key` gets its mnemonic.
  // Returns whether one did.
  bool pressAccessKey(char key);
  // Terminates and removes the control.
  void destroy(ControlBase& control);

  Point cursor() const { return cursor_; }
  WindowHandle capture() const { return capture_; }
  void setCapture(WindowHandle window) { capture_ = window; }
  std::vector<HostedObject*> controls() const;
  std::optional<Rect> clientRect(WindowHandle window) const;

 private:
  struct Entry {
    std::unique_ptr<SimSite> site;
    std::unique_ptr<ControlBase> control;
  };
  SimSite& addSite(SiteOptions options);
  void moveInto(ControlBase& control);
  void attach(SimSite& site, std::unique_ptr<ControlBase> control, const SimPropertyBag* stored);
  Entry* find(const ControlBase& control);
  void clientTwips(const ControlBase& control, double& x, double& y);

  double tppX_;
  double tppY_;
  SimServices services_;
  std::vector<Entry> entries_;
  Point cursor_{0, 0};
  WindowHandle capture_ = 0;
  ControlBase* focus_ = nullptr;
  WindowHandle nextHandle_ = 0x1000;
};

}  // namespace nx::sim
