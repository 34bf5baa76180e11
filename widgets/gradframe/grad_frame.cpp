#include "widgets/gradframe/grad_frame.h"

#include <algorithm>
#include <array>

#include "core/support/grad_bar.h"
#include "core/support/rounding.h"
#include "widgets/gradframe/grad_frame_layout.h"

namespace nx {

using namespace gradframe;

namespace {

using G = NxGradFrame;
using P = Property<G>;

// Every key is written without a default, so that each one is always stored.
constexpr std::array<std::string_view, 15> kWriteOrder = {
    "ColorA",  "ColorB",  "ForeColor", "orient", "appear",   "bstyle",      "BorderColor", "xtrVar",
    "enabled", "caption", "capW",      "capH",   "capAlign", "capCentered", "font"};

// A property read through its put with the busy guard set (no notification, no redraw).
template <class T>
P guarded(std::string_view name, TypeSpec type, std::string_view key, Value storeDefault,
          std::optional<Value> newValue, T (G::*get)() const, void (G::*put)(T)) {
  return P{.name = name,
           .type = type,
           .key = key,
           .storeDefault = std::move(storeDefault),
           .newValue = std::move(newValue),
           .load = LoadMode::ViaPutGuarded,
           .get = getter(get),
           .put = setter(put)};
}

P color(std::string_view name, OleColor dflt, OleColor (G::*get)() const,
        void (G::*put)(OleColor)) {
  return guarded<OleColor>(name, types::Color, name, dflt, dflt, get, put);
}

// An enumerated property stored straight into its field when read.
P direct(std::string_view name, std::string_view enumName, std::string_view key, std::int32_t dflt,
         std::int32_t (G::*get)() const, void (G::*put)(std::int32_t),
         std::function<void(G&, const Value&)> load) {
  return P{.name = name,
           .type = types::enumeration(enumName),
           .key = key,
           .storeDefault = dflt,
           .newValue = dflt,
           .load = LoadMode::Direct,
           .get = getter(get),
           .put = setter(put),
           .direct = std::move(load)};
}

}  // namespace

const ClassTable<NxGradFrame>& NxGradFrame::classTable() {
  using S = GradFrameState;
  static const ClassTable<NxGradFrame> table(
      ClassSpec<NxGradFrame>{
          .name = "NxGradFrame",
          .members =
              {
                  P{.name = "hWnd", .type = types::Long, .get = getter(&G::hWnd)},
                  P{.name = "Font",
                    .type = types::Font,
                    .key = "font",
                    .dynamicDefault = [](const G& c) { return Value{c.font()}; },
                    .load = LoadMode::Direct,
                    .byRef = true,
                    .get = getter(&G::font),
                    .put = setter(&G::setFont),
                    .direct =
                        [](G& c, const Value& v) {
                          if (FontRef f = toFont(v)) c.window().setFont(std::move(f));
                        }},
                  P{.name = "Caption",
                    .type = types::String,
                    .key = "caption",
                    .dynamicDefault = [](const G& c) { return Value{c.defaultCaption("Caption")}; },
                    .load = LoadMode::ViaPutGuarded,
                    .get = [](const G& c) { return Value{c.caption()}; },
                    .put = [](G& c, const Value& v) { c.setCaption(toText(v)); }},
                  guarded<std::int32_t>("CaptionAlignment", types::enumeration("GF_CAPALIGN"),
                                        "capAlign", caTopLeft, std::int32_t{caTopLeft},
                                        &G::captionAlignment, &G::setCaptionAlignment),
                  P{.name = "CaptionTextCentered",
                    .type = types::Bool,
                    .key = "capCentered",
                    .storeDefault = VBool::True,  // a stored control without the key is centred
                    .newValue = VBool::False,
                    .load = LoadMode::ViaPutGuarded,
                    .sample = VBool::False,
                    .get = getter(&G::captionTextCentered),
                    .put = setter(&G::setCaptionTextCentered)},
                  guarded<std::int32_t>("CaptionWidth", types::Long, "capW", 0, 0, &G::captionWidth,
                                        &G::setCaptionWidth),
                  guarded<std::int32_t>("CaptionHeight", types::Long, "capH", 0, 0,
                                        &G::captionHeight, &G::setCaptionHeight),
                  P{.name = "Enabled",
                    .type = types::Bool,
                    .key = "enabled",
                    .storeDefault = VBool::True,
                    .newValue = VBool::True,
                    .get = getter(&G::enabled),
                    .put = setter(&G::setEnabled)},
                  direct("Appearance", "GF_APPEARANCE", "appear", ap3D, &G::appearance,
                         &G::setAppearance, field(&G::s_, &S::appearance)),
                  direct("BorderStyle", "GF_BORDERSTYLE", "bstyle", bsFixedSingle, &G::borderStyle,
                         &G::setBorderStyle, field(&G::s_, &S::borderStyle)),
                  color("BorderColor", syscolor::kGrayText, &G::borderColor, &G::setBorderColor),
                  color("ForeColor", 0x00000000, &G::foreColor, &G::setForeColor),
                  color("ColorA", 0x00BBAD9C, &G::colorA, &G::setColorA),
                  color("ColorB", 0x00FFFFFF, &G::colorB, &G::setColorB),
                  direct("Orientation", "GF_ORIENTATION", "orient", orVertical, &G::orientation,
                         &G::setOrientation, field(&G::s_, &S::orientation)),
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "xtrVar",
                    .newValue = Value{},
                    .load = LoadMode::Direct,
                    .sample = Value{std::string("tag")},
                    .get = [](const G& c) { return c.xtrVar(); },
                    .put = [](G& c, const Value& v) { c.setXtrVar(v); },
                    .direct = [](G& c, const Value& v) { c.s_.xtrVar = v; }},
              },
          .events = {{"Click"},
                     {"DblClick"},
                     {"MouseMove",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"MouseUp",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"MouseDown",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"Resize"}},
          .enums = {{"GF_BORDERSTYLE", {{"bsNone", bsNone}, {"bsFixedSingle", bsFixedSingle}}},
                    {"GF_APPEARANCE", {{"apFlat", apFlat}, {"ap3D", ap3D}}},
                    {"GF_ORIENTATION",
                     {{"orHorizontal", orHorizontal}, {"orVertical", orVertical}}},
                    {"GF_CAPALIGN",
                     {{"caTopLeft", caTopLeft},
                      {"caTopRight", caTopRight},
                      {"caBottomLeft", caBottomLeft},
                      {"caBottomRight", caBottomRight}}}},
          .defaultProperty = "Enabled",
          .defaultEvent = "Click",
          .readOrder = {"ColorA", "ColorB", "BorderColor", "ForeColor", "caption", "capW", "capH",
                        "capAlign", "capCentered", "font", "orient", "appear", "bstyle", "xtrVar",
                        "enabled"},
          .writeOrder = {kWriteOrder.begin(), kWriteOrder.end()},
          .readPolicy = ReadPolicy::ContinueOnError,
          .access = {.role = AccessRole::Grouping, .nameProperty = "Caption", .focusable = false},
      });
  return table;
}

NxGradFrame::NxGradFrame(ControlSite& site) : Control(site) {
  // A key that cannot be read leaves the border in the grey-text colour.
  s_.borderColor.set(syscolor::kGrayText, services());
}

std::int32_t NxGradFrame::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

void NxGradFrame::changed(std::string_view key) {
  if (busy()) return;
  notifyChanged(key);
  redraw();
}

FontRef NxGradFrame::font() const {
  return window().font();
}

void NxGradFrame::setFont(FontRef font) {
  if (!font) throw HostError("Font: no font object");
  window().setFont(std::move(font));
  changed("font");
}

void NxGradFrame::setCaption(std::string caption) {
  s_.caption = std::move(caption);
  changed("caption");
}

void NxGradFrame::setCaptionAlignment(std::int32_t v) {
  s_.captionAlignment = v;
  changed("capalign");
}

void NxGradFrame::setCaptionTextCentered(bool v) {
  s_.captionTextCentered = v;
  changed("capCentered");
}

void NxGradFrame::setCaptionWidth(std::int32_t twips) {
  s_.captionWidth = captionSize(twips);
  changed("capW");
}

void NxGradFrame::setCaptionHeight(std::int32_t twips) {
  s_.captionHeight = captionSize(twips);
  changed("capH");
}

bool NxGradFrame::enabled() const {
  return window().enabled();
}

void NxGradFrame::setEnabled(bool on) {
  window().setEnabled(on);
  notifyChanged("enabled");
}

void NxGradFrame::setAppearance(std::int32_t v) {
  s_.appearance = v;
  changed("appear");
}

void NxGradFrame::setBorderStyle(std::int32_t v) {
  s_.borderStyle = v;
  changed("bstyle");
}

void NxGradFrame::putColor(ColorProperty& color, OleColor value, std::string_view key) {
  color.set(value, services());
  changed(key);
}

void NxGradFrame::setBorderColor(OleColor c) {
  putColor(s_.borderColor, c, "BorderColor");
}
void NxGradFrame::setForeColor(OleColor c) {
  putColor(s_.foreColor, c, "ForeColor");
}
void NxGradFrame::setColorA(OleColor c) {
  putColor(s_.colorA, c, "ColorA");
}
void NxGradFrame::setColorB(OleColor c) {
  putColor(s_.colorB, c, "ColorB");
}

void NxGradFrame::setOrientation(std::int32_t v) {
  s_.orientation = v;
  changed("orient");
}

void NxGradFrame::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

void NxGradFrame::onInitProperties() {
  try {
    {
      BusyScope busy(*this);
      setColorA(0x00BBAD9C);
      setColorB(0x00FFFFFF);
      setBorderColor(syscolor::kGrayText);
      setForeColor(0x00000000);
    }
    // The font of the host's form, as a font object of the control's own.
    if (const Ambient* amb = site().ambient()) {
      std::optional<FontRef> hostFont = amb->font();
      if (hostFont && *hostFont) window().setFont(services().createFont((*hostFont)->describe()));
    }
    s_.caption = defaultCaption("Caption");
    s_.orientation = orVertical;
    s_.appearance = ap3D;
    s_.borderStyle = bsFixedSingle;
  } catch (const std::exception&) {
    // A host that cannot answer leaves the remaining values as they are.
  }
}

void NxGradFrame::onLoaded() {
  redraw();
}

void NxGradFrame::onWriteProperties(PropertyBag& bag) const {
  const ClassInfo& cls = classInfo();
  for (std::string_view key : kWriteOrder) {
    const std::optional<std::string_view> name = cls.propertyForKey(key);
    if (name) bag.write(key, getProperty(*name), Value{});
  }
}

void NxGradFrame::recordSizes() {
  ControlWindow& w = window();
  drawWidthPx_ = static_cast<float>(w.scaleWidth() / w.twipsPerPixelX());
  drawHeightPx_ = static_cast<float>(w.scaleHeight() / w.twipsPerPixelY());
}

void NxGradFrame::onResize() {
  if (busy()) return;
  {
    BusyScope busy(*this);
    if (window().scaleHeight() < 0) window().setHeight(0);
    if (window().scaleWidth() < 0) window().setWidth(0);
  }
  recordSizes();
  redraw();
  raiseEvent("Resize");
}

void NxGradFrame::redraw() {
  ControlWindow& w = window();
  Surface& surface = w.surface();
  recordSizes();
  const Rgb a = s_.colorA.resolved();
  const Rgb b = s_.colorB.resolved();
  if (a == b) {
    // A plain background: the window's own colour, no gradient.
    if (w.backColor() != s_.colorA.value()) w.setBackColor(s_.colorA.value());
    surface.clear();
  } else {
    surface.clear();
    // The orientation is the gradient's direction (0 left to right, 1 top to bottom).
    const auto direction = static_cast<std::int16_t>(std::clamp(s_.orientation, -32768, 32767));
    drawGradient(surface.dc(), 0, 0, roundToInt32(drawWidthPx_), roundToInt32(drawHeightPx_), a, b,
                 direction);
  }
  const Rgb fore = s_.foreColor.resolved();
  if (w.foreColor() != static_cast<OleColor>(fore)) w.setForeColor(static_cast<OleColor>(fore));
  paintBorderAndCaption(surface, s_, roundHalfEven(w.scaleWidth()), roundHalfEven(w.scaleHeight()));
}

void NxGradFrame::forwardMouse(std::string_view event, std::int16_t button, std::int16_t shift,
                               double x, double y) {
  Value args[] = {Value{button}, Value{shift}, Value{static_cast<float>(x)},
                  Value{static_cast<float>(y)}};
  raiseEvent(event, args);
}

void NxGradFrame::onClick() {
  raiseEvent("Click");
}
void NxGradFrame::onDblClick() {
  raiseEvent("DblClick");
}
void NxGradFrame::onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) {
  forwardMouse("MouseDown", button, shift, x, y);
}
void NxGradFrame::onMouseMove(std::int16_t button, std::int16_t shift, double x, double y) {
  forwardMouse("MouseMove", button, shift, x, y);
}
void NxGradFrame::onMouseUp(std::int16_t button, std::int16_t shift, double x, double y) {
  forwardMouse("MouseUp", button, shift, x, y);
}

}  // namespace nx
