#include "core/control/control_base.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace nx {

ControlBase::ControlBase(ControlSite& site) : site_(site) {}

ControlBase::~ControlBase() = default;

void ControlBase::Initialize() {
  onInitialize();
}
void ControlBase::InitProperties() {
  onInitProperties();
}
void ControlBase::ReadProperties(PropertyBag& bag) {
  onReadProperties(bag);
}
void ControlBase::WriteProperties(PropertyBag& bag) {
  onWriteProperties(bag);
}
void ControlBase::Resize() {
  onResize();
}

void ControlBase::GotFocus() {
  hasFocus_ = true;
  onFocusChanged();
}

void ControlBase::LostFocus() {
  hasFocus_ = false;
  onFocusChanged();
}

void ControlBase::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  tooltip_.reset();
  onTerminate();
}

void ControlBase::PointerDown(std::int16_t button, std::int16_t shift, double x, double y,
                              bool secondOfDouble) {
  if (button == kLeftButton) leftPressed_ = !secondOfDouble;
  if (button == kLeftButton && secondOfDouble) {
    DblClick();
    return;
  }
  MouseDown(button, shift, x, y);
}

void ControlBase::PointerUp(std::int16_t button, std::int16_t shift, double x, double y,
                            bool inside) {
  const bool clicks = button == kLeftButton && leftPressed_ && inside;
  if (button == kLeftButton) leftPressed_ = false;
  MouseUp(button, shift, x, y);
  if (clicks && !terminated_) Click();
}

void ControlBase::Click() {
  onClick();
}
void ControlBase::DblClick() {
  onDblClick();
}
void ControlBase::KeyDown(std::int16_t& keyCode, std::int16_t shift) {
  onKeyDown(keyCode, shift);
}
void ControlBase::KeyPress(std::int16_t& keyAscii) {
  onKeyPress(keyAscii);
}
void ControlBase::KeyUp(std::int16_t& keyCode, std::int16_t shift) {
  onKeyUp(keyCode, shift);
}
void ControlBase::MouseDown(std::int16_t button, std::int16_t shift, double x, double y) {
  onMouseDown(button, shift, x, y);
}
void ControlBase::MouseMove(std::int16_t button, std::int16_t shift, double x, double y) {
  onMouseMove(button, shift, x, y);
}
void ControlBase::MouseUp(std::int16_t button, std::int16_t shift, double x, double y) {
  onMouseUp(button, shift, x, y);
}

void ControlBase::notifyChanged(std::string_view key) {
  if (notificationsEnabled()) site_.propertyChanged(key);
}

void ControlBase::raiseEvent(int position, std::span<Value> args) {
  site_.raiseEvent(position, args);
}

void ControlBase::raiseEvent(std::string_view name, std::span<Value> args) {
  const int position = classInfo().eventPosition(name);
  if (position == 0) throw std::logic_error("no event " + std::string(name));
  site_.raiseEvent(position, args);
}

bool ControlBase::pointerInside() const {
  ControlWindow& w = window();
  Point client = w.screenToClient(w.cursorScreenPosition());
  double x = client.x * w.twipsPerPixelX();
  double y = client.y * w.twipsPerPixelY();
  return x > 0 && x < w.width() && y > 0 && y < w.height();
}

void ControlBase::trackHover() {
  ControlWindow& w = window();
  if (w.captureHolder() != w.handle()) w.setCapture();
  if (pointerInside()) {
    if (!hovering_) {
      hovering_ = true;
      applyHoverLook();
      redrawForHover();
      raiseMouseIn();
      showTooltip();
    }
    w.setCapture();
  } else {
    bool was = hovering_;
    hovering_ = false;
    w.releaseCapture();
    if (was) undoHoverLook();
    redrawForHover();
    raiseMouseOut();
    tooltip_.reset();
  }
}

void ControlBase::showTooltip() {
  // Setting up the tip never fails the mouse event.
  try {
    const Extender* ext = site_.extender();
    if (ext == nullptr) return;
    std::string text = ext->toolTipText().value_or(std::string());
    if (text.empty() || tooltip_) return;
    TooltipSettings s = hoverTooltipSettings();
    auto tip = std::make_unique<CTooltip>(services());
    tip->BackColor = s.backColor;
    tip->Centered = s.centered;
    tip->ForeColor = s.foreColor;
    tip->MultiLine = s.multiLine;
    tip->Style = s.style;
    tip->Icon = s.icon;
    tip->Title = s.title;
    tip->Text = text;
    tip->HwndParentControl = window().handle();
    tip->Create();
    tooltip_ = std::move(tip);
  } catch (const std::exception&) {
    tooltip_.reset();
  }
}

bool ControlBase::moveLeftEdge(double twips) {
  try {
    if (Extender* ext = site_.extender()) return ext->setLeft(twips);
  } catch (const std::exception&) {
    // A host that cannot move the control leaves it where it is.
  }
  return false;
}

std::string ControlBase::defaultCaption(std::string_view fallback) const {
  try {
    if (const Extender* ext = site_.extender()) {
      std::optional<std::string> name = ext->name();
      if (name && !name->empty()) return *name;
    }
  } catch (const std::exception&) {
    // A host that cannot name the control gets the fallback.
  }
  return std::string(fallback);
}

void ControlBase::takeAmbientFontName(Font& font) const {
  try {
    if (const Ambient* amb = site_.ambient()) {
      std::optional<FontRef> f = amb->font();
      if (f && *f) font.setName((*f)->name());
    }
  } catch (const std::exception&) {
    // The control keeps its own face name.
  }
}

std::optional<bool> ControlBase::ambientUserMode() const {
  try {
    if (const Ambient* amb = site_.ambient()) return amb->userMode();
  } catch (const std::exception&) {
    // Treated as a host that does not say.
  }
  return std::nullopt;
}

std::optional<bool> ControlBase::ambientDisplayAsDefault() const {
  try {
    if (const Ambient* amb = site_.ambient()) return amb->displayAsDefault();
  } catch (const std::exception&) {
    // Treated as a host that does not say.
  }
  return std::nullopt;
}

}  // namespace nx
