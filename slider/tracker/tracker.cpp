#include "slider/tracker/tracker.h"

#include <exception>
#include <utility>

#include "core/support/rounding.h"

namespace nx {

namespace {

using T = NxTracker;
using P = Property<T>;
using S = TrackerState;

// A colour read through its put with the loading guard set.
P color(std::string_view name, std::string_view key, std::int32_t storeDefault,
        OleColor (T::*get)() const, void (T::*put)(OleColor)) {
  return colorProperty<T>(name, key, storeDefault, storeDefault, get, put);
}

// A property stored straight into its field when read, without the put's checks.
template <class V>
P direct(std::string_view name, TypeSpec type, std::string_view key, Value storeDefault,
         Value newValue, V (T::*get)() const, void (T::*put)(V),
         std::function<void(T&, const Value&)> load) {
  return directProperty<T>(name, type, key, std::move(storeDefault), std::move(newValue), get, put,
                           std::move(load));
}

// A whole number of the scale, stored straight into its field when read.
P scaleValue(std::string_view name, std::string_view key, std::int32_t storeDefault,
             std::int32_t (T::*get)() const, void (T::*put)(std::int32_t),
             std::function<void(T&, const Value&)> load) {
  return direct(name, types::Long, key, storeDefault, storeDefault, get, put, std::move(load));
}

// The marker's font of a new control.
const FontDesc kMarkerFont{"Tahoma", 6, true, false, false};

FontRef tahoma(SystemServices& services) {
  return services.createFont(kMarkerFont);
}

// A font that is only a description: what the class table names as a new control's marker
// font (fonts compare by their description).
class DescribedFont final : public Font {
 public:
  explicit DescribedFont(FontDesc d) : d_(std::move(d)) {}
  std::string name() const override { return d_.name; }
  void setName(const std::string& name) override { d_.name = name; }
  double size() const override { return d_.size; }
  void setSize(double points) override { d_.size = points; }
  bool bold() const override { return d_.bold; }
  void setBold(bool on) override { d_.bold = on; }
  bool italic() const override { return d_.italic; }
  void setItalic(bool on) override { d_.italic = on; }
  bool underline() const override { return d_.underline; }
  void setUnderline(bool on) override { d_.underline = on; }

 private:
  FontDesc d_;
};

// Caption text as stored: without leading and trailing blanks.
std::string trimmed(std::string text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

const ClassTable<NxTracker>& NxTracker::classTable() {
  using types::enumeration;
  // Fonts absent from the store read as the host form's font and the marker's Tahoma; writing
  // has no default, so both fonts are always stored.
  const auto fontDefault = [](const T& c) {
    if (!c.loading_) return Value{};
    FontRef f = c.window().font();
    try {
      if (const Ambient* amb = c.site().ambient()) {
        std::optional<FontRef> host = amb->font();
        if (host && *host) f = c.services().createFont((*host)->describe());
      }
    } catch (const std::exception&) {
      // The window's font stands in.
    }
    return Value{f};
  };
  const auto markerFontDefault = [](const T& c) {
    return c.loading_ ? Value{tahoma(c.services())} : Value{};
  };
  static const ClassTable<NxTracker> table(
      ClassSpec<NxTracker>{
          .name = "NxTracker",
          .members =
              {
                  P{.name = "hwnd", .type = types::Long, .get = getter(&T::hwnd)},
                  direct("Alignment", enumeration("NXT_ABSALIGNMENT"), "align",
                         std::int32_t{aaTopLeft}, std::int32_t{aaTopLeft}, &T::alignment,
                         &T::setAlignment, field(&T::s_, &S::alignment)),
                  P{.name = "Appearence",
                    .type = enumeration("NXT_APPEARANCE"),
                    .key = "appearence",
                    .storeDefault = std::int32_t{ap3D},
                    .newValue = std::int32_t{ap3D},
                    .load = LoadMode::ViaPutGuarded,
                    .get = getter(&T::appearance),
                    .put = setter(&T::setAppearance)},
                  P{.name = "BorderStyle",
                    .type = enumeration("NXT_BORDERSTYLE"),
                    .key = "borderstyle",
                    .storeDefault = std::int32_t{bsFixedSingle},
                    .newValue = std::int32_t{bsFixedSingle},
                    .load = LoadMode::ViaPutGuarded,
                    .get = getter(&T::borderStyle),
                    .put = setter(&T::setBorderStyle)},
                  P{.name = "Caption",
                    .type = types::String,
                    .key = "caption",
                    .dynamicDefault = [](const T& c) { return Value{c.defaultCaption("Caption")}; },
                    .load = LoadMode::Direct,
                    .get = getter(&T::caption),
                    .put = setter(&T::setCaption),
                    .direct = field(&T::s_, &S::caption)},
                  P{.name = "Font",
                    .type = types::Font,
                    .key = "font",
                    .dynamicDefault = fontDefault,
                    .load = LoadMode::ViaPut,
                    .byRef = true,
                    .get = getter(&T::font),
                    .put = setter(&T::setFont)},
                  direct("Style", enumeration("NXT_GRAPHSTYLE"), "style", std::int32_t{gsLine},
                         std::int32_t{gsLine}, &T::style, &T::setStyle, field(&T::s_, &S::style)),
                  color("AverageColor", "averagecolor", 0x008080, &T::averageColor,
                        &T::setAverageColor),
                  color("BackColorBottom", "backcolorbottom", 0x003300, &T::backColorBottom,
                        &T::setBackColorBottom),
                  color("BackColorTop", "backcolortop", 0, &T::backColorTop, &T::setBackColorTop),
                  color("ForeColor", "forecolor", 0xFFFFFF, &T::foreColor, &T::setForeColor),
                  color("GridColor", "gridcolor", 0x003300, &T::gridColor, &T::setGridColor),
                  color("LineColor", "linecolor", 0x00FF00, &T::lineColor, &T::setLineColor),
                  color("MarkerColor", "markercolor", 0x000080, &T::markerColor,
                        &T::setMarkerColor),
                  direct("RefreshInterval", types::Short, "interval", std::int16_t{250},
                         std::int16_t{0}, &T::refreshInterval, &T::setRefreshInterval,
                         field(&T::s_, &S::refreshInterval)),
                  [] {
                    P p = direct("Enabled", types::Bool, "enabled", Value{VBool::False},
                                 Value{VBool::True}, &T::enabled, &T::setEnabled,
                                 field(&T::s_, &S::enabled));
                    p.sample = Value{VBool::True};
                    return p;
                  }(),
                  direct("Average", types::Bool, "average", Value{VBool::False},
                         Value{VBool::False}, &T::average, &T::setAverage,
                         field(&T::s_, &S::average)),
                  direct("GridStyle", enumeration("NXT_GRIDSTYLE"), "gridstyle",
                         std::int32_t{gdsNone}, std::int32_t{gdsNone}, &T::gridStyle,
                         &T::setGridStyle, field(&T::s_, &S::gridStyle)),
                  direct("GridBlockSize", types::Short, "gridbsize", std::int16_t{20},
                         std::int16_t{20}, &T::gridBlockSize, &T::setGridBlockSize,
                         field(&T::s_, &S::gridBlockSize)),
                  P{.name = "Value",
                    .type = types::Long,
                    .newValue = std::int32_t{0},
                    .get = getter(&T::value),
                    .put = setter(&T::setValue)},
                  scaleValue("InitValue", "initvalue", 0, &T::initValue, &T::setInitValue,
                             field(&T::s_, &S::initValue)),
                  scaleValue("Max", "maxvalue", 100, &T::max, &T::setMax, field(&T::s_, &S::max)),
                  scaleValue("Min", "minvalue", 0, &T::min, &T::setMin, field(&T::s_, &S::min)),
                  direct("MarkerStyle", enumeration("NXT_MARKERSTYLE"), "markerstyle",
                         std::int32_t{msNone}, std::int32_t{msNone}, &T::markerStyle,
                         &T::setMarkerStyle, field(&T::s_, &S::markerStyle)),
                  scaleValue("MarkerValue", "markervalue", 50, &T::markerValue,
                             &T::setMarkerValue, field(&T::s_, &S::markerValue)),
                  direct("MarkerLabel", types::String, "markerlabel", Value{std::string()},
                         Value{std::string()}, &T::markerLabel, &T::setMarkerLabel,
                         field(&T::s_, &S::markerLabel)),
                  P{.name = "MarkerFont",
                    .type = types::Font,
                    .key = "markerfont",
                    .dynamicDefault = markerFontDefault,
                    .newValue = Value{FontRef{std::make_shared<DescribedFont>(kMarkerFont)}},
                    .load = LoadMode::Direct,
                    .byRef = true,
                    .get = getter(&T::markerFont),
                    .put = setter(&T::setMarkerFont),
                    .direct =
                        [](T& c, const Value& v) {
                          // A stored empty font leaves the marker's font as it is.
                          if (FontRef f = toFont(v)) c.s_.markerFont = std::move(f);
                        }},
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "xtrVar",
                    .newValue = Value{},
                    .load = LoadMode::Direct,
                    .sample = Value{std::string("tag")},
                    .get = [](const T& c) { return c.xtrVar(); },
                    .put = [](T& c, const Value& v) { c.setXtrVar(v); },
                    .direct = [](T& c, const Value& v) { c.s_.xtrVar = v; }},
              },
          .events = {},
          .enums = {{"NXT_GRAPHSTYLE",
                     {{"gsLine", gsLine},
                      {"gsPoint", gsPoint},
                      {"gsTopBar", gsTopBar},
                      {"gsBottomBar", gsBottomBar}}},
                    {"NXT_GRIDSTYLE",
                     {{"gdsNone", gdsNone},
                      {"gdsHorizontal", gdsHorizontal},
                      {"gdsVertical", gdsVertical},
                      {"gdsBoth", gdsBoth}}},
                    {"NXT_MARKERSTYLE",
                     {{"msNone", msNone},
                      {"msLine", msLine},
                      {"msLabeledLine", msLabeledLine},
                      {"msValueLabeledLine", msValueLabeledLine}}},
                    {"NXT_ABSALIGNMENT",
                     {{"aaTopLeft", aaTopLeft},
                      {"aaTopRight", aaTopRight},
                      {"aaTopCenter", aaTopCenter},
                      {"aaMiddleLeft", aaMiddleLeft},
                      {"aaMiddleRight", aaMiddleRight},
                      {"aaMiddleCenter", aaMiddleCenter},
                      {"aaBottomLeft", aaBottomLeft},
                      {"aaBottomRight", aaBottomRight},
                      {"aaBottomCenter", aaBottomCenter}}},
                    {"NXT_APPEARANCE", {{"apFlat", apFlat}, {"ap3D", ap3D}}},
                    {"NXT_BORDERSTYLE", {{"bsNone", bsNone}, {"bsFixedSingle", bsFixedSingle}}}},
          .defaultProperty = "Value",
          .readOrder = {"markerlabel", "markerstyle", "markervalue", "gridstyle",
                        "gridbsize", "average", "align", "caption",
                        "enabled", "initvalue", "interval", "maxvalue",
                        "minvalue", "style", "font", "markerfont",
                        "averagecolor", "gridcolor", "appearence", "borderstyle",
                        "backcolortop", "backcolorbottom", "forecolor", "linecolor",
                        "markercolor", "xtrVar"},
          .writeOrder = {"markerlabel", "markerstyle", "markervalue", "gridstyle",
                         "gridbsize", "average", "align", "caption",
                         "enabled", "font", "markerfont", "initvalue",
                         "interval", "maxvalue", "minvalue", "style",
                         "appearence", "borderstyle", "averagecolor", "gridcolor",
                         "backcolortop", "backcolorbottom", "forecolor", "linecolor",
                         "markercolor", "xtrVar"},
          .readPolicy = ReadPolicy::ContinueOnError,
          .access = {.role = AccessRole::Graph, .nameProperty = "Caption", .valueProperty = "Value", .focusable = false},
        });
  return table;
}

NxTracker::NxTracker(ControlSite& site) : Control(site) {}

NxTracker::~NxTracker() {
  // A control destroyed without ending leaves no timer running for nobody.
  if (!terminated() && ownsRunningTimer()) trackertimer::stopTimer();
}

std::int32_t NxTracker::hwnd() const {
  return static_cast<std::int32_t>(window().handle());
}

bool NxTracker::runMode() const {
  return ambientUserMode().value_or(true);
}

bool NxTracker::ownsRunningTimer() const {
  return timer_ && trackertimer::timerRunning() && trackertimer::slottedTimer() == timer_;
}

// ---- lifecycle ----

void NxTracker::onInitialize() {
  firstLayout_ = true;
}

void NxTracker::onInitProperties() {
  s_.alignment = aaTopLeft;
  s_.caption = defaultCaption("Caption");
  s_.value = 0;
  s_.enabled = true;
  s_.initValue = 0;
  s_.max = 100;
  s_.min = 0;
  s_.refreshInterval = 0;
  s_.style = gsLine;
  s_.markerStyle = msNone;
  s_.markerLabel.clear();
  s_.markerValue = 50;
  s_.gridStyle = gdsNone;
  s_.gridBlockSize = 20;
  s_.average = false;
  {
    BusyScope loading(*this);
    setBorderStyle(bsFixedSingle);
    setAppearance(ap3D);
    try {
      if (const Ambient* amb = site().ambient()) {
        std::optional<FontRef> f = amb->font();
        if (f && *f) setFont(services().createFont((*f)->describe()));
      }
    } catch (const std::exception&) {
      // The window's font stands in for a host that has none.
    }
    s_.markerFont = tahoma(services());
    setBackColorTop(0);
    setBackColorBottom(0x003300);
    setForeColor(0xFFFFFF);
    setLineColor(0x00FF00);
    setAverageColor(0x008080);
    setGridColor(0x003300);
    setMarkerColor(0x000080);
  }
  measureCaption();
}

void NxTracker::onReadProperties(PropertyBag& bag) {
  s_.markerFont = tahoma(services());
  loading_ = true;
  try {
    readStored(bag);
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
  measureCaption();
}

void NxTracker::onTerminate() {
  trackertimer::stopTimer();
  timer_.reset();
}

// ---- properties ----

void NxTracker::changed(std::string_view key, bool redrawAfter) {
  if (busy()) return;
  if (redrawAfter) redraw();
  notifyChanged(key);
}

void NxTracker::setAlignment(std::int32_t alignment) {
  s_.alignment = alignment;
  changed("align", true);
}

void NxTracker::setAppearance(std::int32_t appearance) {
  s_.appearance = appearance;
  window().setAppearance(appearance == apFlat ? std::int16_t{0} : std::int16_t{1});
  changed("appearence", true);
}

void NxTracker::setBorderStyle(std::int32_t style) {
  s_.borderStyle = style;
  window().setBorderStyle(style == bsNone ? std::int16_t{0} : std::int16_t{1});
  changed("borderstyle", true);
}

void NxTracker::setCaption(std::string caption) {
  s_.caption = trimmed(std::move(caption));
  measureCaption();
  changed("caption", true);
}

FontRef NxTracker::font() const {
  return window().font();
}

void NxTracker::setFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  window().setFont(std::move(font));
  measureCaption();
  changed("font", true);
}

void NxTracker::setStyle(std::int32_t style) {
  s_.style = style;
  notifyChanged("style");
}

void NxTracker::setAverageColor(OleColor color) {
  s_.averageColor.set(color, services());
  changed("averagecolor", true);
}

void NxTracker::setBackColorBottom(OleColor color) {
  s_.backColorBottom.set(color, services());
  changed("backcolorbottom", true);
}

void NxTracker::setBackColorTop(OleColor color) {
  s_.backColorTop.set(color, services());
  changed("backcolortop", true);
}

void NxTracker::setForeColor(OleColor color) {
  s_.foreColor.set(color, services());
  changed("forecolor", true);
}

void NxTracker::setGridColor(OleColor color) {
  s_.gridColor.set(color, services());
  changed("gridcolor", true);
}

void NxTracker::setLineColor(OleColor color) {
  s_.lineColor.set(color, services());
  changed("linecolor", true);
}

void NxTracker::setMarkerColor(OleColor color) {
  s_.markerColor.set(color, services());
  changed("markercolor", true);
}

// The interval cannot change under a running timer, whichever tracker it belongs to.
void NxTracker::setRefreshInterval(std::int16_t ms) {
  if (ms == s_.refreshInterval || trackertimer::timerRunning()) return;
  s_.refreshInterval = ms < 0 ? std::int16_t{0} : ms;
  notifyChanged("interval");
}

// In run mode: off stops the library's timer (whoever's it is); on with an interval starts a
// timer of this control unless one already runs. In design mode only the value changes.
void NxTracker::setEnabled(bool on) {
  if (!runMode()) {
    s_.enabled = on;
    changed("enabled", false);
    return;
  }
  if (!on) {
    trackertimer::stopTimer();
    timer_.reset();
  } else if (s_.refreshInterval > 0 && !trackertimer::timerRunning()) {
    timer_ = std::make_shared<TrackerTimer>(static_cast<std::uint32_t>(s_.refreshInterval),
                                            [this] { onTimer(); });
    trackertimer::startTimer(services().timers(), timer_);
  }
  window().setEnabled(on);
  s_.enabled = on;
}

void NxTracker::setAverage(bool on) {
  s_.average = on;
  changed("average", false);
}

void NxTracker::setGridStyle(std::int32_t style) {
  s_.gridStyle = style;
  changed("gridstyle", true);
}

void NxTracker::setGridBlockSize(std::int16_t percent) {
  if (percent < 5 || percent > 50) return;
  s_.gridBlockSize = percent;
  changed("gridbsize", true);
}

void NxTracker::setValue(std::int32_t v) {
  if (v < s_.min || v > s_.max) return;
  s_.value = v;
  if (busy() || s_.refreshInterval > 0) return;
  samples_.add(v);
  redrawAfterSample();
}

void NxTracker::setInitValue(std::int32_t v) {
  if (v < s_.min || v > s_.max) return;
  s_.initValue = v;
  notifyChanged("initvalue");
}

void NxTracker::setMax(std::int32_t v) {
  if (v <= s_.min) return;
  s_.max = v;
  notifyChanged("maxvalue");
}

void NxTracker::setMin(std::int32_t v) {
  if (v >= s_.max) return;
  s_.min = v;
  notifyChanged("minvalue");
}

void NxTracker::setMarkerStyle(std::int32_t style) {
  s_.markerStyle = style;
  changed("markerstyle", true);
}

void NxTracker::setMarkerValue(std::int32_t v) {
  if (v <= s_.min || v >= s_.max) return;
  s_.markerValue = v;
  changed("markervalue", s_.markerStyle == msValueLabeledLine);
}

void NxTracker::setMarkerLabel(std::string label) {
  s_.markerLabel = std::move(label);
  changed("markerlabel", s_.markerStyle == msLabeledLine);
}

void NxTracker::setMarkerFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  s_.markerFont = std::move(font);
  changed("markerfont", s_.markerStyle > msLine);
}

void NxTracker::setXtrVar(const Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

// ---- layout, sampling and drawing ----

void NxTracker::measureCaption() {
  if (s_.caption.empty()) {
    captionWidth_ = captionHeight_ = 0;
    return;
  }
  Surface& surface = window().surface();
  captionWidth_ = surface.textWidth(s_.caption);
  captionHeight_ = surface.textHeight(s_.caption);
}

// Enforces the minimum size; in run mode gives the buffers one sample per pixel column of the
// width (a width that is not a whole number of columns always counts as changed) and starts
// sampling at the first layout; then draws.
void NxTracker::layOut() {
  if (layoutGuard_) return;
  ControlWindow& w = window();
  layoutGuard_ = true;
  try {
    if (w.width() < kMinimumWidth) w.setWidth(kMinimumWidth);
    if (w.height() < kMinimumHeight) w.setHeight(kMinimumHeight);
  } catch (...) {
    layoutGuard_ = false;
    throw;
  }
  layoutGuard_ = false;
  if (runMode()) {
    const double tpp = w.twipsPerPixelX() > 0 ? w.twipsPerPixelX() : 15.0;
    const double columns = w.width() / tpp;
    if (columns != static_cast<double>(samples_.size())) {
      samples_.reallocate(roundToInt32(columns), s_.initValue);
      s_.value = s_.initValue;
      notifyChanged("arraylen");
    }
    if (firstLayout_) {
      firstLayout_ = false;
      setEnabled(s_.enabled);
    }
  }
  redraw();
}

void NxTracker::onTimer() {
  if (terminated()) return;
  samples_.add(s_.value);
  redrawAfterSample();
}

TrackerLook NxTracker::look() const {
  const ControlWindow& w = window();
  TrackerLook l;
  l.scaleWidth = w.scaleWidth();
  l.scaleHeight = w.scaleHeight();
  l.tppX = w.twipsPerPixelX();
  l.tppY = w.twipsPerPixelY();
  l.min = s_.min;
  l.max = s_.max;
  l.style = s_.style;
  l.gridStyle = s_.gridStyle;
  l.gridBlockSize = s_.gridBlockSize;
  l.markerStyle = s_.markerStyle;
  l.markerValue = s_.markerValue;
  l.markerLabel = s_.markerLabel;
  l.font = w.font();
  l.markerFont = s_.markerFont;
  l.caption = s_.caption;
  l.captionWidth = captionWidth_;
  l.captionHeight = captionHeight_;
  l.alignment = s_.alignment;
  l.backColorTop = s_.backColorTop.resolved();
  l.backColorBottom = s_.backColorBottom.resolved();
  l.foreColor = s_.foreColor.resolved();
  l.lineColor = s_.lineColor.resolved();
  l.averageColor = s_.averageColor.resolved();
  l.gridColor = s_.gridColor.resolved();
  l.markerColor = s_.markerColor.resolved();
  l.average = s_.average;
  l.showSeries = s_.enabled && runMode();
  return l;
}

void NxTracker::redraw() {
  if (terminated()) return;
  canvas_.paint(window().surface(), look(), samples_);
}

void NxTracker::redrawAfterSample() {
  if (terminated()) return;
  canvas_.paintAfterSample(window().surface(), look(), samples_);
}

// ---- accessibility ----

void NxTracker::describeAccessible(AccessibleNode& node) const {
  node.states |= accstate::kReadOnly;
}

}  // namespace nx
