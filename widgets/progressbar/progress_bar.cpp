#include "widgets/progressbar/progress_bar.h"

#include "core/support/rounding.h"
#include "widgets/progressbar/progress_bar_layout.h"

namespace nx {

// ReadProperties stores the direct keys without their puts' side effects; this is the one place
// that reaches into the state for that.
struct ProgressBarLoader {
  static ProgressBarState& state(NxProgressBar& c) { return c.s_; }
};

namespace {

using Def = PropertyDef<NxProgressBar>;
using PB = NxProgressBar;

Def readOnly(std::string_view name, ValueKind kind, std::function<Value(const PB&)> get) {
  Def d{name, {}, kind, {}, {}, std::nullopt, std::move(get), {}, {}, LoadMode::Direct};
  return d;
}

// A persisted 32-bit property stored directly when read.
Def direct(std::string_view name, std::string_view key, std::int32_t storeDefault,
           std::int32_t newValue, std::int32_t (PB::*get)() const, void (PB::*put)(std::int32_t),
           std::int32_t ProgressBarState::*field) {
  return Def{name,
             key,
             ValueKind::Int32,
             storeDefault,
             {},
             Value{newValue},
             [get](const PB& c) { return Value{(c.*get)()}; },
             [put](PB& c, const Value& v) { (c.*put)(toInt32(v)); },
             [field](PB& c, const Value& v) { ProgressBarLoader::state(c).*field = toInt32(v); },
             LoadMode::Direct};
}

// A colour property, read through its put.
Def color(std::string_view name, OleColor storeDefault, OleColor newValue,
          OleColor (PB::*get)() const, void (PB::*put)(OleColor)) {
  return Def{name,
             name,
             ValueKind::Int32,
             storeDefault,
             {},
             Value{newValue},
             [get](const PB& c) { return Value{(c.*get)()}; },
             [put](PB& c, const Value& v) { (c.*put)(toInt32(v)); },
             {},
             LoadMode::ViaPut};
}

}  // namespace

const PropertyTable<NxProgressBar>& NxProgressBar::properties() {
  static const PropertyTable<NxProgressBar> table(
      {
          readOnly("hWnd", ValueKind::Int32, [](const PB& c) { return Value{c.hWnd()}; }),
          Def{"Theme",
              {},
              ValueKind::Int32,
              {},
              {},
              Value{std::int32_t{thmCorporate}},
              [](const PB& c) { return Value{c.theme()}; },
              [](PB& c, const Value& v) { c.setTheme(toInt32(v)); },
              {},
              LoadMode::Direct},
          readOnly("Image", ValueKind::Picture, [](const PB& c) { return Value{c.image()}; }),
          direct("Appearance", "uappear", apFlat, apFlat, &PB::appearance, &PB::setAppearance,
                 &ProgressBarState::appearance),
          direct("BorderStyle", "uborder", bsNone, bsFixedSingle, &PB::borderStyle,
                 &PB::setBorderStyle, &ProgressBarState::borderStyle),
          color("BorderColor", 0x00000000, 0x00C9A08D, &PB::borderColor, &PB::setBorderColor),
          color("BarColor", 0x00BBAD9C, 0x00873A00, &PB::barColor, &PB::setBarColor),
          color("BackColor", 0x00FFFFFF, 0x00DED9D8, &PB::backColor, &PB::setBackColor),
          color("LightColor", 0x00FFFFFF, 0x00FFFFFF, &PB::lightColor, &PB::setLightColor),
          direct("LightStyle", "lstyle", lsSoft, lsTube, &PB::lightStyle, &PB::setLightStyle,
                 &ProgressBarState::lightStyle),
          direct("Orientation", "orient", orVertical, orHorizontal, &PB::orientation,
                 &PB::setOrientation, &ProgressBarState::orientation),
          direct("Min", "minv", 0, 0, &PB::minValue, &PB::setMinValue, &ProgressBarState::minValue),
          direct("Max", "maxv", 100, 100, &PB::maxValue, &PB::setMaxValue,
                 &ProgressBarState::maxValue),
          direct("Value", "vl", 0, 0, &PB::value, &PB::setValue, &ProgressBarState::value),
          readOnly("Percentage", ValueKind::Single,
                   [](const PB& c) { return Value{c.percentage()}; }),
          Def{"xtrVar",
              "xtrVar",
              ValueKind::Empty,
              {},
              {},
              Value{},
              [](const PB& c) { return c.xtrVar(); },
              [](PB& c, const nx::Value& v) { c.setXtrVar(v); },
              [](PB& c, const nx::Value& v) { ProgressBarLoader::state(c).xtrVar = v; },
              LoadMode::Direct},
      },
      PersistOrder{{"BarColor", "BackColor", "LightColor", "BorderColor", "lstyle", "orient",
                    "uappear", "uborder", "minv", "maxv", "vl", "xtrVar"},
                   {"BarColor", "BackColor", "LightColor", "BorderColor", "orient", "lstyle",
                    "uappear", "uborder", "minv", "maxv", "vl", "xtrVar"}});
  return table;
}

NxProgressBar::NxProgressBar(ControlSite& site) : ControlBase(site) {}

Value NxProgressBar::getProperty(std::string_view name) const {
  return properties().get(*this, name);
}

std::optional<std::string_view> NxProgressBar::propertyForKey(std::string_view key) const {
  // Theme is not persisted; its notification still names it.
  if (key == "thm") return "Theme";
  return properties().nameForKey(key);
}

void NxProgressBar::putProperty(std::string_view name, const nx::Value& value) {
  properties().put(*this, name, value);
}

std::int32_t NxProgressBar::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

PictureRef NxProgressBar::image() const {
  return window().surface().image();
}

void NxProgressBar::resetTheme() {
  if (s_.theme > 0) s_.theme = thmCUSTOM;
}

void NxProgressBar::setTheme(std::int32_t theme) {
  s_.theme = theme;
  notifyChanged("thm");
  if (theme != thmCUSTOM) {
    applyTheme(theme, false);
    redraw();
  }
}

void NxProgressBar::applyTheme(std::int32_t theme, bool redrawAfter) {
  std::optional<ProgressBarTheme> t = progressBarTheme(theme);
  if (!t) return;
  {
    BusyScope busy(busy_);
    setBarColor(t->bar);
    setBackColor(t->back);
    setLightColor(t->light);
    setBorderColor(t->border);
    s_.appearance = t->appearance;
    s_.borderStyle = t->borderStyle;
    s_.lightStyle = t->lightStyle;
  }
  if (redrawAfter) redraw();
}

void NxProgressBar::setAppearance(std::int32_t value) {
  s_.appearance = value;
  notifyChanged("uappear");
  resetTheme();
  redraw();
}

void NxProgressBar::setBorderStyle(std::int32_t value) {
  s_.borderStyle = value;
  notifyChanged("uborder");
  resetTheme();
  redraw();
}

void NxProgressBar::putColor(ColorProperty& color, OleColor value, std::string_view key) {
  color.set(value, services());
  if (busy_) return;
  notifyChanged(key);
  resetTheme();
  redraw();
}

void NxProgressBar::setBorderColor(OleColor c) {
  putColor(s_.borderColor, c, "BorderColor");
}
void NxProgressBar::setBarColor(OleColor c) {
  putColor(s_.barColor, c, "BarColor");
}
void NxProgressBar::setBackColor(OleColor c) {
  putColor(s_.backColor, c, "BackColor");
}
void NxProgressBar::setLightColor(OleColor c) {
  putColor(s_.lightColor, c, "LightColor");
}

void NxProgressBar::setLightStyle(std::int32_t value) {
  s_.lightStyle = value;
  notifyChanged("lstyle");
  resetTheme();
  redraw();
}

void NxProgressBar::setOrientation(std::int32_t value) {
  if (value != s_.orientation) {
    BusyScope busy(busy_);
    const double w = window().width();
    const double h = window().height();
    window().setWidth(h);
    window().setHeight(w);
  }
  s_.orientation = value;
  notifyChanged("orient");
  onResize();
}

void NxProgressBar::setMinValue(std::int32_t v) {
  if (v >= s_.maxValue) return;
  if (s_.value < v) s_.value = v;
  s_.minValue = v;
  notifyChanged("minv");
  redraw();
}

void NxProgressBar::setMaxValue(std::int32_t v) {
  if (v <= s_.minValue) return;
  if (v < s_.value) s_.value = v;
  s_.maxValue = v;
  notifyChanged("maxv");
  redraw();
}

void NxProgressBar::setValue(std::int32_t v) {
  const std::int32_t next = clampToRange(v, s_.minValue, s_.maxValue);
  if (next == s_.value) return;
  s_.value = next;
  notifyChanged("vl");
  redraw();
  raiseEvent(kChangeEvent);
}

void NxProgressBar::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

void NxProgressBar::onInitProperties() {
  design_ = true;
  s_.theme = thmCorporate;
  applyTheme(thmCorporate, false);
  s_.maxValue = 100;
  s_.minValue = 0;
  s_.value = 0;
  s_.orientation = orHorizontal;
}

void NxProgressBar::onReadProperties(PropertyBag& bag) {
  {
    BusyScope busy(busy_);
    properties().read(*this, bag, LoadMode::ViaPut, ReadPolicy::Propagate);
  }
  properties().read(*this, bag, LoadMode::Direct, ReadPolicy::Propagate);
  std::optional<bool> userMode = ambientUserMode();
  design_ = userMode.has_value() && !*userMode;
}

void NxProgressBar::onWriteProperties(PropertyBag& bag) const {
  properties().write(*this, bag);
}

void NxProgressBar::recordSizes() {
  ControlWindow& w = window();
  drawWidthTw_ = roundHalfEven(w.scaleWidth());
  drawHeightTw_ = roundHalfEven(w.scaleHeight());
  drawWidthPx_ = roundToInt32(drawWidthTw_ / w.twipsPerPixelX());
  drawHeightPx_ = roundToInt32(drawHeightTw_ / w.twipsPerPixelY());
}

void NxProgressBar::onResize() {
  if (busy_) return;
  {
    BusyScope busy(busy_);
    if (window().scaleHeight() < kMinimumSize) window().setHeight(kMinimumSize);
    if (window().scaleWidth() < kMinimumSize) window().setWidth(kMinimumSize);
  }
  recordSizes();
  redraw();
}

void NxProgressBar::redraw() {
  if (busy_) return;
  BusyScope busy(busy_);
  ControlWindow& w = window();
  Surface& surface = w.surface();
  surface.clear();
  if (w.appearance() != s_.appearance) w.setAppearance(static_cast<std::int16_t>(s_.appearance));
  if (s_.appearance == ap3D) {
    if (w.borderStyle() != s_.borderStyle) {
      w.setBorderStyle(static_cast<std::int16_t>(s_.borderStyle));
      recordSizes();
    }
  } else if (s_.appearance == apFlat && w.borderStyle() == bsFixedSingle) {
    w.setBorderStyle(bsNone);
    recordSizes();
  }
  BarLayout layout = layoutBar(s_, drawWidthPx_, drawHeightPx_);
  s_.percentage = layout.percentage;
  paintBar(surface.dc(), layout);
  if (s_.appearance == apFlat && s_.borderStyle == bsFixedSingle) {
    surface.box(0, 0, drawWidthTw_ - 15.0, drawHeightTw_ - 15.0, s_.borderColor.resolved(), false);
  }
}

void NxProgressBar::onClick() {
  raiseEvent(kClickEvent);
}
void NxProgressBar::onDblClick() {
  raiseEvent(kDblClickEvent);
}

}  // namespace nx
