#include "widgets/meter/meter.h"

#include <cmath>

#include "core/support/rounding.h"
#include "widgets/meter/meter_layout.h"

namespace nx {

using namespace meter;

namespace {

using M = NxMeter;
using P = Property<M>;

// A colour property; loading goes through the put while the whole read holds the busy guard.
P color(std::string_view name, std::string_view key, OleColor dflt, OleColor (M::*get)() const,
        void (M::*put)(OleColor)) {
  return P{.name = name,
           .type = types::Color,
           .key = key,
           .storeDefault = dflt,
           .newValue = dflt,
           .get = getter(get),
           .put = setter(put)};
}

// A numeric or enumerated property stored straight into its field when read.
template <class T>
P direct(std::string_view name, TypeSpec type, std::string_view key, T dflt, T (M::*get)() const,
         void (M::*put)(T), std::function<void(M&, const Value&)> load) {
  return P{.name = name,
           .type = type,
           .key = key,
           .storeDefault = dflt,
           .newValue = dflt,
           .load = LoadMode::Direct,
           .get = getter(get),
           .put = setter(put),
           .direct = std::move(load)};
}

// The zone starts only accept values that keep level 1 below level 2: round trips use these.
P withSample(P p, std::int16_t sample) {
  p.sample = Value{sample};
  return p;
}

}  // namespace

const ClassTable<NxMeter>& NxMeter::classTable() {
  using types::enumeration;
  using S = MeterState;
  static const ClassTable<NxMeter> table(
      ClassSpec<NxMeter>{
          .name = "NxMeter",
          .members =
              {
                  P{.name = "hWnd", .type = types::Long, .get = getter(&M::hWnd)},
                  color("ColorOff", "coff", 0x00404040, &M::colorOff, &M::setColorOff),
                  color("ColorL0", "cl0", 0x0000C000, &M::colorL0, &M::setColorL0),
                  color("ColorL1", "cl1", 0x0000C0C0, &M::colorL1, &M::setColorL1),
                  color("ColorL2", "cl2", 0x000000C0, &M::colorL2, &M::setColorL2),
                  color("BackColor", "bcolor", 0x00000000, &M::backColor, &M::setBackColor),
                  P{.name = "Image", .type = types::Picture, .get = getter(&M::image)},
                  direct<std::int32_t>("Appearance", enumeration("MT_APPEARANCE"), "uappear",
                                       apFlat, &M::appearance, &M::setAppearance,
                                       field(&M::s_, &S::appearance)),
                  direct<std::int32_t>("BorderStyle", enumeration("MT_BORDERSTYLE"), "uborder",
                                       bsNone, &M::borderStyle, &M::setBorderStyle,
                                       field(&M::s_, &S::borderStyle)),
                  direct<std::int32_t>("Orientation", enumeration("MT_ORIENTATION"), "orient",
                                       orVertical, &M::orientation, &M::setOrientation,
                                       field(&M::s_, &S::orientation)),
                  // 32-bit in the interface, held as 16-bit: a stored count beyond that range fails
                  // the read with an overflow.
                  direct<std::int32_t>("Steps", types::Long, "stps", 12, &M::steps, &M::setSteps,
                                       field(&M::s_, &S::steps)),
                  withSample(direct<std::int16_t>("Level1StartPc", types::Short, "l1pc", 70,
                                                  &M::level1StartPc, &M::setLevel1StartPc,
                                                  field(&M::s_, &S::level1StartPc)),
                             std::int16_t{60}),
                  withSample(direct<std::int16_t>("Level2StartPc", types::Short, "l2pc", 90,
                                                  &M::level2StartPc, &M::setLevel2StartPc,
                                                  field(&M::s_, &S::level2StartPc)),
                             std::int16_t{95}),
                  direct<std::int32_t>("Min", types::Long, "minv", 0, &M::minValue, &M::setMinValue,
                                       field(&M::s_, &S::minValue)),
                  direct<std::int32_t>("Max", types::Long, "maxv", 100, &M::maxValue,
                                       &M::setMaxValue, field(&M::s_, &S::maxValue)),
                  P{.name = "Value",
                    .type = types::Long,
                    .key = "vl",
                    .storeDefault = 0,
                    .newValue = 0,
                    .get = getter(&M::value),
                    .put = setter(&M::setValue)},
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "xtrVar",
                    .newValue = Value{},
                    .load = LoadMode::Direct,
                    .sample = Value{std::string("tag")},
                    .get = [](const M& c) { return c.xtrVar(); },
                    .put = [](M& c, const Value& v) { c.setXtrVar(v); },
                    .direct = [](M& c, const Value& v) { c.s_.xtrVar = v; }},
                  P{.name = "Percentage", .type = types::Single, .get = getter(&M::percentage)},
                  Method<
                      M>{.name = "drawApiRect",
                         .params = {{"trgDC", types::Long},
                                    {"pX1", types::Long},
                                    {"pY1", types::Long},
                                    {"pX2", types::Long, true},
                                    {"pY2", types::Long, true},
                                    {"outLineColor", types::Long},
                                    {"fillColor", types::Long, false, Value{std::int32_t{-1}}}},
                         .call =
                             [](M& c, std::span<Value> a) {
                               c.drawApiRect(toInt32(a[0]), toInt32(a[1]), toInt32(a[2]),
                                             toInt32(a[3]), toInt32(a[4]), toInt32(a[5]),
                                             toInt32(a[6]));
                               return Value{};
                             }},
              },
          .events = {{"Click"}, {"DblClick"}, {"Change"}},
          .enums = {{"MT_ORIENTATION",
                     {{"orHorizontal", orHorizontal}, {"orVertical", orVertical}}},
                    {"MT_APPEARANCE", {{"apFlat", apFlat}, {"ap3D", ap3D}}},
                    {"MT_BORDERSTYLE", {{"bsNone", bsNone}, {"bsFixedSingle", bsFixedSingle}}}},
          .defaultProperty = "Value",
          .defaultEvent = "Change",
          .readOrder = {"cl0", "cl1", "cl2", "coff", "bcolor", "orient", "uappear", "uborder",
                        "minv", "maxv", "stps", "l1pc", "l2pc", "vl", "xtrVar"},
          .writeOrder = {"cl0", "cl1", "cl2", "coff", "bcolor", "orient", "uappear", "uborder",
                         "minv", "maxv", "vl", "stps", "l1pc", "l2pc", "xtrVar"},
          .access = {.role = AccessRole::LevelIndicator,
                     .valueProperty = "Value",
                     .focusable = false},
      });
  return table;
}

NxMeter::NxMeter(ControlSite& site) : Control(site) {}

std::int32_t NxMeter::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

PictureRef NxMeter::image() const {
  return window().surface().image();
}

// While loading (busy) a colour is only stored: the first drawing follows the host's Resize.
void NxMeter::putColor(ColorProperty& color, OleColor value, std::string_view key) {
  color.set(value, services());
  if (busy()) return;
  notifyChanged(key);
  redraw();
}

void NxMeter::setColorOff(OleColor c) {
  putColor(s_.colorOff, c, "coff");
}
void NxMeter::setColorL0(OleColor c) {
  putColor(s_.colorL0, c, "cl0");
}
void NxMeter::setColorL1(OleColor c) {
  putColor(s_.colorL1, c, "cl1");
}
void NxMeter::setColorL2(OleColor c) {
  putColor(s_.colorL2, c, "cl2");
}
void NxMeter::setBackColor(OleColor c) {
  putColor(s_.backColor, c, "bcolor");
}

void NxMeter::setAppearance(std::int32_t v) {
  s_.appearance = v;
  notifyChanged("uappear");
  layout();
}

void NxMeter::setBorderStyle(std::int32_t v) {
  s_.borderStyle = v;
  notifyChanged("uborder");
  layout();
}

void NxMeter::setOrientation(std::int32_t v) {
  if (v != s_.orientation) {
    BusyScope busy(*this);
    const double w = window().width();
    const double h = window().height();
    window().setWidth(h);
    window().setHeight(w);
  }
  s_.orientation = v;
  notifyChanged("orient");
  layout();
}

void NxMeter::setSteps(std::int32_t v) {
  if (!stepsAccepted(v, s_.minValue, s_.maxValue)) return;
  s_.steps = toInt16(Value{v});
  notifyChanged("stps");
  layout();
}

void NxMeter::setLevel1StartPc(std::int16_t v) {
  if (!level1Accepted(v, s_.level2StartPc)) return;
  s_.level1StartPc = v;
  notifyChanged("l1pc");
  redraw();
}

void NxMeter::setLevel2StartPc(std::int16_t v) {
  if (!level2Accepted(v, s_.level1StartPc)) return;
  s_.level2StartPc = v;
  notifyChanged("l2pc");
  redraw();
}

void NxMeter::setMinValue(std::int32_t v) {
  if (v >= s_.maxValue) return;
  if (s_.value < v) s_.value = v;
  s_.minValue = v;
  notifyChanged("minv");
  layout();
}

void NxMeter::setMaxValue(std::int32_t v) {
  if (v <= s_.minValue) return;
  if (s_.value > v) s_.value = v;
  s_.maxValue = v;
  notifyChanged("maxv");
  layout();
}

void NxMeter::setValue(std::int32_t v) {
  const std::int32_t next = clampValue(v, s_.minValue, s_.maxValue);
  if (next == s_.value) return;
  s_.value = next;
  s_.percentage = meterPercentage(next, s_.minValue, s_.maxValue).value_or(0.0f);
  s_.lit = litCount(s_.steps, next, s_.minValue, s_.maxValue);
  if (busy()) return;
  notifyChanged("vl");
  raiseEvent("Change");
  if (s_.lit != drawnLit_) redraw();
}

void NxMeter::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

void NxMeter::onInitProperties() {
  s_ = MeterState{};
}

void NxMeter::onReadProperties(PropertyBag& bag) {
  {
    BusyScope busy(*this);
    readStored(bag);
  }
  onLoaded();
}

void NxMeter::onResize() {
  layout();
}

void NxMeter::layout() {
  if (busy()) return;
  ControlWindow& w = window();
  {
    BusyScope busy(*this);
    if (w.appearance() != s_.appearance) w.setAppearance(static_cast<std::int16_t>(s_.appearance));
    if (w.borderStyle() != s_.borderStyle)
      w.setBorderStyle(static_cast<std::int16_t>(s_.borderStyle));
    const bool vertical = s_.orientation == orVertical;
    const std::int32_t length = vertical ? roundToInt32(w.scaleHeight() / w.twipsPerPixelY())
                                         : roundToInt32(w.scaleWidth() / w.twipsPerPixelX());
    segment_ = segmentSize(length, s_.steps);
    // A stored count below 1 has no segments to fit: the size is left alone.
    if (s_.steps >= 1) {
      const double snapped = snappedLengthTwips(s_.steps, segment_, s_.appearance, s_.borderStyle,
                                                vertical ? w.twipsPerPixelY() : w.twipsPerPixelX());
      if (vertical)
        w.setHeight(snapped);
      else
        w.setWidth(snapped);
    }
  }
  segments_ = segmentRects(s_.orientation, s_.steps, segment_,
                           roundToInt32(w.scaleWidth() / w.twipsPerPixelX()),
                           roundToInt32(w.scaleHeight() / w.twipsPerPixelY()));
  drawnLit_ = 0;
  redraw();
}

void NxMeter::redraw() {
  ControlWindow& w = window();
  const Rgb back = s_.backColor.resolved();
  if (w.backColor() != static_cast<OleColor>(back)) w.setBackColor(static_cast<OleColor>(back));
  Surface& surface = w.surface();
  surface.clear();
  paintSegments(surface.dc(), s_, segments_);
  drawnLit_ = s_.lit;
}

std::optional<Rgb> NxMeter::drawingColor(OleColor c) const {
  if (c == -1) return std::nullopt;
  if (c < 0) return translateColor(c, services());
  return static_cast<Rgb>(c) & 0x00FFFFFFu;
}

void NxMeter::drawApiRect(std::intptr_t dcHandle, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                          std::int32_t y2, OleColor outline, OleColor fill) {
  std::unique_ptr<DeviceContext> dc = services().deviceContextFor(dcHandle);
  if (!dc) throw HostError("drawApiRect: trgDC is not a device context");
  drawRectangle(*dc, x1, y1, x2, y2, drawingColor(outline), drawingColor(fill));
}

void NxMeter::onClick() {
  raiseEvent("Click");
}
void NxMeter::onDblClick() {
  raiseEvent("DblClick");
}

// ---- accessibility ----

void NxMeter::describeAccessible(AccessibleNode& node) const {
  node.description = std::to_string(static_cast<int>(std::lround(s_.percentage))) + "%";
  node.states |= accstate::kReadOnly;
}

}  // namespace nx
