#include "core/control/control_base.h"

#include <algorithm>
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
  AnnounceScope announce(*this);
  onReadProperties(bag);
}
void ControlBase::WriteProperties(PropertyBag& bag) {
  onWriteProperties(bag);
}
void ControlBase::Resize() {
  AnnounceScope announce(*this);
  onResize();
}

void ControlBase::GotFocus() {
  {
    AnnounceScope announce(*this);
    hasFocus_ = true;
    onFocusChanged();
  }
  // A part with a window of its own is announced by the platform when it takes the focus.
  if (terminated_ || !window().accessibilityListening()) return;
  try {
    const AccessibleNode node = accessible();
    for (std::size_t i = 0; i < node.children.size(); ++i)
      if (node.children[i].states & accstate::kFocused) {
        if (node.children[i].part.empty())
          window().announce(AccessEvent::Focus, static_cast<int>(i) + 1);
        return;
      }
    window().announce(AccessEvent::Focus, 0);
  } catch (const std::exception&) {
    // Announcing never fails the focus change.
  }
}

void ControlBase::LostFocus() {
  AnnounceScope announce(*this);
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
  AnnounceScope announce(*this);
  if (button == kLeftButton) leftPressed_ = !secondOfDouble;
  if (button == kLeftButton && secondOfDouble) {
    DblClick();
    return;
  }
  MouseDown(button, shift, x, y);
}

void ControlBase::PointerUp(std::int16_t button, std::int16_t shift, double x, double y,
                            bool inside) {
  AnnounceScope announce(*this);
  const bool clicks = button == kLeftButton && leftPressed_ && inside;
  if (button == kLeftButton) leftPressed_ = false;
  MouseUp(button, shift, x, y);
  if (clicks && !terminated_) Click();
}

void ControlBase::Click() {
  AnnounceScope announce(*this);
  onClick();
}
void ControlBase::DblClick() {
  AnnounceScope announce(*this);
  onDblClick();
}
void ControlBase::KeyDown(std::int16_t& keyCode, std::int16_t shift) {
  AnnounceScope announce(*this);
  onKeyDown(keyCode, shift);
}
void ControlBase::KeyPress(std::int16_t& keyAscii) {
  AnnounceScope announce(*this);
  onKeyPress(keyAscii);
}
void ControlBase::KeyUp(std::int16_t& keyCode, std::int16_t shift) {
  AnnounceScope announce(*this);
  onKeyUp(keyCode, shift);
}
void ControlBase::MouseDown(std::int16_t button, std::int16_t shift, double x, double y) {
  AnnounceScope announce(*this);
  onMouseDown(button, shift, x, y);
}
void ControlBase::MouseMove(std::int16_t button, std::int16_t shift, double x, double y) {
  AnnounceScope announce(*this);
  onMouseMove(button, shift, x, y);
}
void ControlBase::MouseUp(std::int16_t button, std::int16_t shift, double x, double y) {
  AnnounceScope announce(*this);
  onMouseUp(button, shift, x, y);
}

void ControlBase::notifyChanged(std::string_view key) {
  if (notificationsEnabled()) site_.propertyChanged(key);
}

void ControlBase::raiseEvent(int position, std::span<Value> args) {
  // Clients hear about a change before the host's handler runs (it may look at the control
  // or change it again), unless the control is half way through a change.
  if (announceHold_ == 0) announceChanges();
  site_.raiseEvent(position, args);
}

void ControlBase::raiseEvent(std::string_view name, std::span<Value> args) {
  const int position = classInfo().eventPosition(name);
  if (position == 0) throw std::logic_error("no event " + std::string(name));
  raiseEvent(position, args);
}

// ---- accessibility ----

ControlBase::AnnounceScope::AnnounceScope(const ControlBase& c) : c_(const_cast<ControlBase&>(c)) {
  if (c_.announceDepth_++ == 0 && !c_.announcedValid_) c_.announceChanges();
}

ControlBase::AnnounceScope::~AnnounceScope() {
  if (--c_.announceDepth_ == 0) c_.announceChanges();
}

std::string ControlBase::accessibleName() const {
  const AccessSpec& entry = classInfo().access;
  if (!entry.nameProperty.empty()) {
    std::string caption = toText(getProperty(entry.nameProperty));
    if (entry.captionMarks) caption = withoutAccessMarks(caption);
    if (!caption.empty()) return caption;
  }
  try {
    if (const Extender* ext = site_.extender()) {
      std::optional<std::string> tip = ext->toolTipText();
      if (tip && !tip->empty()) return *tip;
      std::optional<std::string> name = ext->name();
      if (name) return *name;
    }
  } catch (const std::exception&) {
    // A host that cannot name the control leaves it unnamed.
  }
  return {};
}

AccessibleNode ControlBase::accessible() const {
  const AccessSpec& entry = classInfo().access;
  AccessibleNode node;
  node.role = entry.role;
  node.name = accessibleName();
  if (!entry.valueProperty.empty()) node.value = toText(getProperty(entry.valueProperty));
  ControlWindow& w = window();
  node.bounds = {0, 0, w.width(), w.height()};
  const bool enabled = w.enabled();
  if (!enabled) node.states |= accstate::kUnavailable;
  if (entry.focusable && enabled) node.states |= accstate::kFocusable;
  if (hasFocus_) node.states |= accstate::kFocused;
  if (hovering_) node.states |= accstate::kHotTracked;
  if (const char key = accessKey()) node.keyboardShortcut = std::string("Alt+") + asciiUpper(key);
  if (!entry.actionName.empty() && enabled) {
    node.actionName = std::string(entry.actionName);
    ControlBase* self = const_cast<ControlBase*>(this);
    node.action = [self] { self->clickAtCentre(); };
  }
  describeAccessible(node);
  return node;
}

void ControlBase::clickAtCentre() {
  if (terminated_) return;
  ControlWindow& w = window();
  const double x = w.scaleWidth() / 2;
  const double y = w.scaleHeight() / 2;
  PointerDown(kLeftButton, 0, x, y, false);
  if (!terminated_) PointerUp(kLeftButton, 0, x, y, true);
}

std::vector<AccessibleSnapshot> ControlBase::accessibleSnapshots() const {
  const AccessibleNode node = accessible();
  std::vector<AccessibleSnapshot> out;
  out.reserve(node.children.size() + 1);
  out.push_back(snapshotOf(node));
  for (const AccessibleNode& child : node.children) out.push_back(snapshotOf(child));
  return out;
}

void ControlBase::announceChanges() noexcept {
  try {
    if (terminated_ || !window().accessibilityListening()) {
      announcedValid_ = false;
      return;
    }
    std::vector<AccessibleSnapshot> now = accessibleSnapshots();
    if (announcedValid_) {
      const std::vector<AccessibleSnapshot>& was = announced_;
      const std::size_t common = std::min(was.size(), now.size());
      for (std::size_t i = 0; i < common; ++i) {
        const int child = static_cast<int>(i);
        if (was[i].name != now[i].name) window().announce(AccessEvent::NameChange, child);
        if (was[i].value != now[i].value) window().announce(AccessEvent::ValueChange, child);
        if (was[i].states != now[i].states) window().announce(AccessEvent::StateChange, child);
        if (was[i].description != now[i].description)
          window().announce(AccessEvent::DescriptionChange, child);
      }
      for (std::size_t i = common; i < now.size(); ++i)
        window().announce(AccessEvent::Show, static_cast<int>(i));
      for (std::size_t i = common; i < was.size(); ++i)
        window().announce(AccessEvent::Hide, static_cast<int>(i));
    }
    announced_ = std::move(now);
    announcedValid_ = true;
  } catch (const std::exception&) {
    // A control that cannot describe itself right now is described again next time.
    announcedValid_ = false;
  }
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
