#include "widgets/progressbar/progress_bar.h"

#include <cmath>

#include "core/support/rounding.h"
#include "widgets/progressbar/progress_bar_layout.h"

namespace nx {

namespace {

using PB = NxProgressBar;
using P = Property<PB>;

// An enumerated or numeric property stored straight into its field when read.
P direct(std::string_view name, TypeSpec type, std::string_view key, std::int32_t storeDefault,
         std::int32_t newValue, std::int32_t (PB::*get)() const, void (PB::*put)(std::int32_t),
         std::function<void(PB&, const Value&)> load) {
  return P{.name = name,
           .type = type,
           .key = key,
           .storeDefault = storeDefault,
           .newValue = newValue,
           .load = LoadMode::Direct,
           .get = getter(get),
           .put = setter(put),
           .direct = std::move(load)};
}

// A colour read through its put with the busy guard set (neither notifying nor resetting the
// theme).
P color(std::string_view name, OleColor storeDefault, OleColor newValue,
        OleColor (PB::*get)() const, void (PB::*put)(OleColor)) {
  return P{.name = name,
           .type = types::Color,
           .key = name,
           .storeDefault = storeDefault,
           .newValue = newValue,
           .load = LoadMode::ViaPutGuarded,
           .get = getter(get),
           .put = setter(put)};
}

}  // namespace

const ClassTable<NxProgressBar>& NxProgressBar::classTable() {
  using types::enumeration;
  using S = ProgressBarState;
  static const ClassTable<NxProgressBar> table(ClassSpec<NxProgressBar>{
      .name = "NxProgressBar",
      .members =
          {
              P{.name = "hWnd", .type = types::Long, .get = getter(&PB::hWnd)},
              P{.name = "Theme",
                .type = enumeration("PB_THEME"),
                .notifyKey = "thm",
                .newValue = std::int32_t{thmCorporate},
                .get = getter(&PB::theme),
                .put = setter(&PB::setTheme)},
              P{.name = "Image", .type = types::Picture, .get = getter(&PB::image)},
              direct("Appearance", enumeration("PB_APPEARANCE"), "uappear", apFlat, apFlat,
                     &PB::appearance, &PB::setAppearance, field(&PB::s_, &S::appearance)),
              direct("BorderStyle", enumeration("PB_BORDERSTYLE"), "uborder", bsNone, bsFixedSingle,
                     &PB::borderStyle, &PB::setBorderStyle, field(&PB::s_, &S::borderStyle)),
              color("BorderColor", 0x00000000, 0x00C9A08D, &PB::borderColor, &PB::setBorderColor),
              color("BarColor", 0x00BBAD9C, 0x00873A00, &PB::barColor, &PB::setBarColor),
              color("BackColor", 0x00FFFFFF, 0x00DED9D8, &PB::backColor, &PB::setBackColor),
              color("LightColor", 0x00FFFFFF, 0x00FFFFFF, &PB::lightColor, &PB::setLightColor),
              direct("LightStyle", enumeration("PB_LIGHTSTYLE"), "lstyle", lsSoft, lsTube,
                     &PB::lightStyle, &PB::setLightStyle, field(&PB::s_, &S::lightStyle)),
              direct("Orientation", enumeration("PB_ORIENTATION"), "orient", orVertical,
                     orHorizontal, &PB::orientation, &PB::setOrientation,
                     field(&PB::s_, &S::orientation)),
              direct("Min", types::Long, "minv", 0, 0, &PB::minValue, &PB::setMinValue,
                     field(&PB::s_, &S::minValue)),
              direct("Max", types::Long, "maxv", 100, 100, &PB::maxValue, &PB::setMaxValue,
                     field(&PB::s_, &S::maxValue)),
              direct("Value", types::Long, "vl", 0, 0, &PB::value, &PB::setValue,
                     field(&PB::s_, &S::value)),
              P{.name = "Percentage", .type = types::Single, .get = getter(&PB::percentage)},
              P{.name = "xtrVar",
                .type = types::Variant,
                .key = "xtrVar",
                .newValue = Value{},
                .load = LoadMode::Direct,
                .sample = Value{std::string("tag")},
                .get = [](const PB& c) { return c.xtrVar(); },
                .put = [](PB& c, const Value& v) { c.setXtrVar(v); },
                .direct = [](PB& c, const Value& v) { c.s_.xtrVar = v; }},
          },
      .events = {{"Click"}, {"DblClick"}, {"Change"}},
      .enums = {{"PB_THEME",
                 {{"thmCUSTOM", thmCUSTOM},
                  {"thmCorporate", thmCorporate},
                  {"thmOffice", thmOffice},
                  {"thmVitamin", thmVitamin},
                  {"thmMercury3D", thmMercury3D},
                  {"thmNature3D", thmNature3D}}},
                {"PB_APPEARANCE", {{"apFlat", apFlat}, {"ap3D", ap3D}}},
                {"PB_BORDERSTYLE", {{"bsNone", bsNone}, {"bsFixedSingle", bsFixedSingle}}},
                {"PB_LIGHTSTYLE", {{"lsSoft", lsSoft}, {"lsTube", lsTube}}},
                {"PB_ORIENTATION", {{"orHorizontal", orHorizontal}, {"orVertical", orVertical}}}},
      .defaultProperty = "Value",
      .defaultEvent = "Change",
      .readOrder = {"BarColor", "BackColor", "LightColor", "BorderColor", "lstyle", "orient",
                    "uappear", "uborder", "minv", "maxv", "vl", "xtrVar"},
      .writeOrder = {"BarColor", "BackColor", "LightColor", "BorderColor", "orient", "lstyle",
                     "uappear", "uborder", "minv", "maxv", "vl", "xtrVar"},
      .access = {.role = AccessRole::ProgressBar, .focusable = false},
  });
  return table;
}

NxProgressBar::NxProgressBar(ControlSite& site) : Control(site) {}

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
    BusyScope busy(*this);
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
  if (busy()) return;
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
    BusyScope busy(*this);
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
  raiseEvent("Change");
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

void NxProgressBar::onLoaded() {
  std::optional<bool> userMode = ambientUserMode();
  design_ = userMode.has_value() && !*userMode;
}

void NxProgressBar::recordSizes() {
  ControlWindow& w = window();
  drawWidthTw_ = roundHalfEven(w.scaleWidth());
  drawHeightTw_ = roundHalfEven(w.scaleHeight());
  drawWidthPx_ = roundToInt32(drawWidthTw_ / w.twipsPerPixelX());
  drawHeightPx_ = roundToInt32(drawHeightTw_ / w.twipsPerPixelY());
}

void NxProgressBar::onResize() {
  if (busy()) return;
  {
    BusyScope busy(*this);
    if (window().scaleHeight() < kMinimumSize) window().setHeight(kMinimumSize);
    if (window().scaleWidth() < kMinimumSize) window().setWidth(kMinimumSize);
  }
  recordSizes();
  redraw();
}

void NxProgressBar::redraw() {
  if (busy()) return;
  BusyScope busy(*this);
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
    // Right and bottom edges one pixel in: the outermost pixel column and row.
    surface.box(0, 0, drawWidthTw_ - surface.twipsPerPixelX(),
                drawHeightTw_ - surface.twipsPerPixelY(), s_.borderColor.resolved(), false);
  }
}

void NxProgressBar::onClick() {
  raiseEvent("Click");
}
void NxProgressBar::onDblClick() {
  raiseEvent("DblClick");
}

// ---- accessibility ----

// The value as a progress bar reads it out: the whole percentage done.
void NxProgressBar::describeAccessible(AccessibleNode& node) const {
  node.value = std::to_string(static_cast<int>(std::lround(s_.percentage))) + "%";
  node.states |= accstate::kReadOnly;
}

}  // namespace nx
