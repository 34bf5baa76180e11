#include "press/button/button.h"

#include <cmath>
#include <exception>
#include <utility>

#include "core/runtime/text.h"
#include "core/support/mask_region.h"

namespace nx {

namespace {

using B = NxButton;
using P = Property<B>;
using S = ButtonState;

// A colour read through its put with the busy guard set.
P color(std::string_view name, std::string_view key, std::uint32_t storeDefault,
        std::uint32_t newValue, OleColor (B::*get)() const, void (B::*put)(OleColor)) {
  return colorProperty<B>(name, key, storeDefault, newValue, get, put);
}

// A property stored straight into its field when read.
template <class T>
P direct(std::string_view name, TypeSpec type, std::string_view key, Value storeDefault,
         Value newValue, T (B::*get)() const, void (B::*put)(T),
         std::function<void(B&, const Value&)> load) {
  return directProperty<B>(name, type, key, std::move(storeDefault), std::move(newValue), get, put,
                           std::move(load));
}

// A Boolean flag stored straight into its field when read.
P flag(std::string_view name, std::string_view key, bool storeDefault, bool newValue,
       bool (B::*get)() const, void (B::*put)(bool), std::function<void(B&, const Value&)> load) {
  P p = direct(name, types::Bool, key, boolValue(storeDefault), boolValue(newValue), get, put,
               std::move(load));
  // Round trips need a value other than both the new-control value and the default.
  if (storeDefault != newValue) p.sample = boolValue(newValue);
  return p;
}

// An alignment read through its put with the busy guard set.
P alignProperty(std::string_view name, std::string_view key, std::int32_t storeDefault,
                std::int32_t (B::*get)() const, void (B::*put)(std::int32_t)) {
  return P{.name = name,
           .type = types::enumeration("NXB_ABSALIGNMENT"),
           .key = key,
           .storeDefault = storeDefault,
           .newValue = storeDefault,
           .load = LoadMode::ViaPutGuarded,
           .get = getter(get),
           .put = setter(put)};
}

}  // namespace

const ClassTable<NxButton>& NxButton::classTable() {
  using types::enumeration;
  // An absent font key reads as the window's current font; writing has no default, so the font
  // is always stored.
  const auto fontDefault = [](const B& c) {
    return Value{c.loading_ ? c.window().font() : FontRef{}};
  };
  // Cut style and strength are always stored; an absent key reads as 0.
  const Value alwaysStored{};
  static const ClassTable<NxButton> table(
      ClassSpec<NxButton>{
          .name = "NxButton",
          .members =
              {
                  P{.name = "hWnd", .type = types::Long, .get = getter(&B::hWnd)},
                  P{.name = "ExProp",
                    .type = types::String,
                    .key = "ExProp",
                    .storeDefault = Value{std::string()},
                    .newValue = Value{std::string()},
                    .hidden = true,
                    .sample = Value{std::string("ttstyle=balloon;tttitle=Note")},
                    .get = getter(&B::exProp),
                    .put = setter(&B::setExProp)},
                  P{.name = "retObj",
                    .type = types::Picture,
                    .hidden = true,
                    .get = getter(&B::retObj)},
                  direct("GradientStyle", enumeration("NXB_GTYPE"), "gtype", std::int32_t{gtPlain},
                         std::int32_t{gtPlain}, &B::gradientStyle, &B::setGradientStyle,
                         field(&B::s_, &S::gradientStyle)),
                  direct("BorderAppearence", enumeration("NXB_APPEARANCE"), "appear",
                         std::int32_t{ap3D}, std::int32_t{ap3D}, &B::borderAppearance,
                         &B::setBorderAppearance, field(&B::s_, &S::borderAppearance)),
                  direct("BorderStyle", enumeration("NXB_BORDERSTYLE"), "bstyle",
                         std::int32_t{bsFixedSingle}, std::int32_t{bsFixedSingle}, &B::borderStyle,
                         &B::setBorderStyle, field(&B::s_, &S::borderStyle)),
                  direct("CornerStyle", enumeration("NXB_CORNERSTYLE"), "crnstyle",
                         std::int32_t{csSquare}, std::int32_t{csSquare}, &B::cornerStyle,
                         &B::setCornerStyle, field(&B::s_, &S::cornerStyle)),
                  color("BorderColor", "brdcolor", 0x00424242, 0x00404040, &B::borderColor,
                        &B::setBorderColor),
                  P{.name = "Caption",
                    .type = types::String,
                    .key = "ptext",
                    .dynamicDefault = [](const B& c) { return Value{c.defaultCaption("Caption")}; },
                    .load = LoadMode::Direct,
                    .get = getter(&B::caption),
                    .put = setter(&B::setCaption),
                    .direct = field(&B::s_, &S::caption)},
                  P{.name = "Font",
                    .type = types::Font,
                    .key = "font",
                    .dynamicDefault = fontDefault,
                    .load = LoadMode::Direct,
                    .byRef = true,
                    .get = getter(&B::font),
                    .put = setter(&B::setFont),
                    .direct =
                        [](B& c, const Value& v) {
                          // A stored empty font leaves the control's font as it is.
                          if (FontRef f = toFont(v)) c.window().setFont(std::move(f));
                        }},
                  alignProperty("Alignment", "calign", aaMiddleCenter, &B::alignment,
                                &B::setAlignment),
                  P{.name = "Enabled",
                    .type = types::Bool,
                    .key = "enabled",
                    .storeDefault = boolValue(true),
                    .newValue = boolValue(true),
                    .load = LoadMode::Direct,
                    .get = getter(&B::enabled),
                    .put = setter(&B::setEnabled),
                    .direct = [](B& c, const Value& v) { c.window().setEnabled(toBool(v)); }},
                  flag("AutoSize", "asize", false, false, &B::autoSize, &B::setAutoSize,
                       field(&B::s_, &S::autoSize)),
                  flag("LightEffect", "plight", true, false, &B::lightEffect, &B::setLightEffect,
                       field(&B::s_, &S::lightEffect)),
                  flag("BottomLine", "btline", false, false, &B::bottomLine, &B::setBottomLine,
                       field(&B::s_, &S::bottomLine)),
                  flag("HandPointer", "handCursor", false, false, &B::handPointer,
                       &B::setHandPointer, field(&B::s_, &S::handPointer)),
                  direct("CutStyle", enumeration("NXB_POSITION"), "cstyle", alwaysStored,
                         std::int32_t{posNeither}, &B::cutStyle, &B::setCutStyle,
                         field(&B::s_, &S::cutStyle)),
                  direct("CutStrength", enumeration("NXB_STRENGTH"), "cstrength", alwaysStored,
                         std::int32_t{stSoft}, &B::cutStrength, &B::setCutStrength,
                         field(&B::s_, &S::cutStrength)),
                  color("ColorA", "c1", 0x00BBAD9C, 0x00FFFFFF, &B::colorA, &B::setColorA),
                  color("ColorB", "c2", 0x00FFFFFF, 0x00808080, &B::colorB, &B::setColorB),
                  direct("Outline", enumeration("NXB_BUTTONOUTLINESTYLE"),
                         "olstyle", std::int32_t{olRegular}, std::int32_t{olRegular}, &B::outline,
                         &B::setOutline, field(&B::s_, &S::outline)),
                  color("OutlineColor", "olcolor", 0x00FFFFFF, 0x00E0E0E0, &B::outlineColor,
                        &B::setOutlineColor),
                  color("ForeColor", "fcolor", 0x00000000, 0x00404040, &B::foreColor,
                        &B::setForeColor),
                  color("HoverColorA", "htcolor", 0x00BBAD9C, 0x00FFFFFF, &B::hoverColorA,
                        &B::setHoverColorA),
                  color("HoverColorB", "hbcolor", 0x00FFFFFF, 0x00909090, &B::hoverColorB,
                        &B::setHoverColorB),
                  color("HoverForecolor", "hfcolor", 0x00000000, 0x00404040, &B::hoverForeColor,
                        &B::setHoverForeColor),
                  color("HoverOutline", "holcolor", 0x00FFFFFF, 0x00FFFFFF, &B::hoverOutline,
                        &B::setHoverOutline),
                  P{.name = "Icon",
                    .type = types::Picture,
                    .key = "icpic",
                    .storeDefault = Value{PictureRef{}},
                    .newValue = Value{PictureRef{}},
                    .load = LoadMode::ViaPutGuarded,
                    .byRef = true,
                    .get = getter(&B::icon),
                    .put = setter(&B::setIcon)},
                  alignProperty("IconAlignment", "icalign", aaMiddleLeft, &B::iconAlignment,
                                &B::setIconAlignment),
                  direct("IconAdjustX", types::Short, "icx", std::int16_t{0}, std::int16_t{0},
                         &B::iconAdjustX, &B::setIconAdjustX, field(&B::s_, &S::iconAdjustX)),
                  direct("IconAdjustY", types::Short, "icy", std::int16_t{0}, std::int16_t{0},
                         &B::iconAdjustY, &B::setIconAdjustY, field(&B::s_, &S::iconAdjustY)),
                  P{.name = "Theme",
                    .type = enumeration("NXB_THEME"),
                    .newValue = std::int32_t{thmCUSTOM},
                    .get = getter(&B::theme),
                    .put = setter(&B::setTheme)},
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "xtrVar",
                    .newValue = Value{},
                    .load = LoadMode::Direct,
                    .sample = Value{std::string("tag")},
                    .get = [](const B& c) { return c.xtrVar(); },
                    .put = [](B& c, const Value& v) { c.setXtrVar(v); },
                    .direct = [](B& c, const Value& v) { c.s_.xtrVar = v; }},
              },
          .events = {{"Click"},
                     {"DblClick"},
                     {"MouseIn"},
                     {"MouseOut"},
                     {"MouseUp",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"MouseDown",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}}},
          .enums = {{"NXB_ABSALIGNMENT",
                     {{"aaTopLeft", aaTopLeft},
                      {"aaTopRight", aaTopRight},
                      {"aaTopCenter", aaTopCenter},
                      {"aaMiddleLeft", aaMiddleLeft},
                      {"aaMiddleRight", aaMiddleRight},
                      {"aaMiddleCenter", aaMiddleCenter},
                      {"aaBottomLeft", aaBottomLeft},
                      {"aaBottomRight", aaBottomRight},
                      {"aaBottomCenter", aaBottomCenter}}},
                    {"NXB_POSITION",
                     {{"posNeither", posNeither},
                      {"posLeft", posLeft},
                      {"posRight", posRight},
                      {"posBoth", posBoth}}},
                    {"NXB_STRENGTH", {{"stSoft", stSoft}, {"stHard", stHard}}},
                    {"NXB_BUTTONOUTLINESTYLE",
                     {{"olNone", olNone},
                      {"olRegular", olRegular},
                      {"olShadow", olShadow},
                      {"olHoverRegular", olHoverRegular},
                      {"olHoverShadow", olHoverShadow}}},
                    {"NXB_THEME",
                     {{"thmCUSTOM", thmCUSTOM},
                      {"thmSky3D", thmSky3D},
                      {"thmSkyFlat", thmSkyFlat},
                      {"thmSilver3D", thmSilver3D},
                      {"thmCandy3D", thmCandy3D},
                      {"thmOfficeBar", thmOfficeBar}}},
                    {"NXB_GTYPE", {{"gtPlain", gtPlain}, {"gtGel", gtGel}}},
                    {"NXB_APPEARANCE", {{"apFlat", apFlat}, {"ap3D", ap3D}}},
                    {"NXB_BORDERSTYLE", {{"bsNone", bsNone}, {"bsFixedSingle", bsFixedSingle}}},
                    {"NXB_CORNERSTYLE", {{"csSquare", csSquare}, {"csRound", csRound}}}},
          .defaultProperty = "Caption",
          .defaultEvent = "Click",
          .readOrder = {"c1",      "c2",        "htcolor",    "hbcolor", "fcolor", "hfcolor",
                        "olcolor", "holcolor",  "brdcolor",   "icpic",   "calign", "icalign",
                        "ptext",   "cstrength", "cstyle",     "plight",  "btline", "crnstyle",
                        "asize",   "olstyle",   "handCursor", "font",    "icx",    "icy",
                        "appear",  "bstyle",    "gtype",      "enabled", "xtrVar", "ExProp"},
          .writeOrder = {"c1",      "c2",         "htcolor",  "hbcolor", "fcolor",    "hfcolor",
                         "olcolor", "holcolor",   "brdcolor", "ptext",   "cstrength", "cstyle",
                         "plight",  "btline",     "crnstyle", "calign",  "asize",     "font",
                         "olstyle", "handCursor", "icpic",    "icalign", "icx",       "icy",
                         "appear",  "bstyle",     "enabled",  "gtype",   "xtrVar",    "ExProp"},
          .access = {.role = AccessRole::PushButton,
                     .nameProperty = "Caption",
                     .captionMarks = true,
                     .actionName = "Press"},
      });
  return table;
}

NxButton::NxButton(ControlSite& site) : Control(site) {}

NxButton::~NxButton() = default;

std::int32_t NxButton::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

// ---- lifecycle ----

void NxButton::onInitialize() {
  // The hand cursor is loaded when a button first needs it.
  shared_.emplace([] { return ButtonCursors{}; });
  recordSizes();
}

void NxButton::onTerminate() {
  tooltip_.reset();
  shared_.reset();
}

void NxButton::onInitProperties() {
  s_.caption = defaultCaption("Caption");
  try {
    if (const Ambient* amb = site().ambient()) {
      std::optional<FontRef> f = amb->font();
      if (f && *f) window().setFont(services().createFont((*f)->describe()));
    }
  } catch (const std::exception&) {
    // The window's font stands in for a host that has none.
  }
  // The silver look, while Theme itself stays custom.
  applyThemePreset(thmSilver3D);
}

void NxButton::onReadProperties(PropertyBag& bag) {
  loading_ = true;
  try {
    readStored(bag);
  } catch (...) {
    loading_ = false;
    throw;
  }
  loading_ = false;
  applyPointer();
}

void NxButton::onFocusChanged() {
  if (hasFocus()) {
    // The focus look shows at once: a user moving through the form with Tab must see where the
    // focus went.
    s_.focus = true;
    redraw();
    return;
  }
  s_.focus = false;
  s_.hover = false;
  redraw();
}

void NxButton::onAmbientChanged(std::string_view name) {
  if (equalsNoCase(name, "DisplayAsDefault")) redraw();
}

// ---- properties ----

// After a put: the host hears of the change and the button is laid out again, both unless the
// button is busy changing itself.
void NxButton::changed(std::string_view key, bool layOutAfter) {
  if (busy()) return;
  notifyChanged(key);
  if (layOutAfter) layOut();
}

void NxButton::setExProp(std::string text) {
  s_.exProp = std::move(text);
  notifyChanged("ExProp");  // also while busy
  const ExPropCommand command = exPropCommandOf(s_.exProp);
  if (command == ExPropCommand::TooltipSettings) {
    s_.tooltip = parseExProp(s_.exProp);
    return;
  }
  if (command == ExPropCommand::GetImage) {
    s_.retObj = window().surface().image();
  } else if (command == ExPropCommand::FakeClick) {
    // One drawing of the pressed, focused, hovered look; the flags go back without a redraw.
    const bool hover = s_.hover, focus = s_.focus, pressed = s_.pressed;
    s_.hover = s_.focus = s_.pressed = true;
    try {
      redraw();
    } catch (...) {
      s_.hover = hover, s_.focus = focus, s_.pressed = pressed;
      s_.exProp.clear();
      throw;
    }
    s_.hover = hover, s_.focus = focus, s_.pressed = pressed;
  }
  s_.exProp.clear();
}

void NxButton::setGradientStyle(std::int32_t style) {
  s_.gradientStyle = style;
  changed("gtype", true);
}

void NxButton::setBorderAppearance(std::int32_t appearance) {
  s_.borderAppearance = appearance;
  s_.cornerStyle = cornerStyleAfter(appearance, s_.cornerStyle);
  changed("appear", true);
}

void NxButton::setBorderStyle(std::int32_t style) {
  s_.borderStyle = style;
  changed("bstyle", true);
}

void NxButton::setCornerStyle(std::int32_t style) {
  if (!acceptsCornerStyle(style, s_.borderAppearance)) return;
  s_.cornerStyle = style;
  changed("crnstyle", true);
}

void NxButton::setBorderColor(OleColor color) {
  s_.borderColor.set(color, services());
  changed("brdcolor", true);
}

void NxButton::setCaption(std::string caption) {
  s_.caption = std::move(caption);
  changed("ptext", true);
}

FontRef NxButton::font() const {
  return window().font();
}

void NxButton::setFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  window().setFont(std::move(font));
  changed("font", true);
}

void NxButton::setAlignment(std::int32_t alignment) {
  s_.alignment = alignment;
  layout_.captionClasses = alignmentClasses(alignment);
  changed("calign", true);
}

bool NxButton::enabled() const {
  return window().enabled();
}

void NxButton::setEnabled(bool on) {
  window().setEnabled(on);
  changed("enabled", true);
}

void NxButton::setAutoSize(bool on) {
  s_.autoSize = on;
  changed("asize", true);
}

void NxButton::setLightEffect(bool on) {
  s_.lightEffect = on;
  changed("plight", true);
}

void NxButton::setBottomLine(bool on) {
  s_.bottomLine = on;
  changed("btline", true);
}

void NxButton::setHandPointer(bool on) {
  s_.handPointer = on;
  applyPointer();
  changed("handCursor", false);
}

void NxButton::setCutStyle(std::int32_t style) {
  s_.cutStyle = style;
  changed("cstyle", true);
}

void NxButton::setCutStrength(std::int32_t strength) {
  s_.cutStrength = strength;
  changed("cstrength", true);
}

void NxButton::setColorA(OleColor color) {
  s_.colorA.set(color, services());
  changed("c1", true);
}

void NxButton::setColorB(OleColor color) {
  s_.colorB.set(color, services());
  changed("c2", true);
}

void NxButton::setOutline(std::int32_t style) {
  s_.outline = style;
  changed("olstyle", true);
}

void NxButton::setOutlineColor(OleColor color) {
  s_.outlineColor.set(color, services());
  changed("olcolor", true);
}

void NxButton::setForeColor(OleColor color) {
  s_.foreColor.set(color, services());
  changed("fcolor", true);
}

// The hover colours show at the next hover drawing.
void NxButton::setHoverColorA(OleColor color) {
  s_.hoverColorA.set(color, services());
  changed("htcolor", false);
}

void NxButton::setHoverColorB(OleColor color) {
  s_.hoverColorB.set(color, services());
  changed("hbcolor", false);
}

void NxButton::setHoverForeColor(OleColor color) {
  s_.hoverForeColor.set(color, services());
  changed("hfcolor", false);
}

void NxButton::setHoverOutline(OleColor color) {
  s_.hoverOutline.set(color, services());
  changed("holcolor", false);
}

void NxButton::setIcon(PictureRef picture) {
  s_.icon = std::move(picture);
  const ControlWindow& w = window();
  layout_.icon = iconSizeOf(s_.icon.get(), w.twipsPerPixelX(), w.twipsPerPixelY());
  changed("icpic", true);
}

void NxButton::setIconAlignment(std::int32_t alignment) {
  s_.iconAlignment = alignment;
  layout_.iconClasses = alignmentClasses(alignment);
  changed("icalign", true);
}

void NxButton::setIconAdjustX(std::int16_t pixels) {
  s_.iconAdjustX = clampIconAdjust(pixels);
  changed("icx", true);
}

void NxButton::setIconAdjustY(std::int16_t pixels) {
  s_.iconAdjustY = clampIconAdjust(pixels);
  changed("icy", true);
}

// Theme keeps any number; 1-5 bring their preset. Nothing is notified: Theme is not stored.
void NxButton::setTheme(std::int32_t theme) {
  s_.theme = theme;
  if (theme < 1) return;
  applyThemePreset(theme);
  layOut();
}

void NxButton::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  changed("xtrVar", false);
}

void NxButton::applyThemePreset(std::int32_t theme) {
  const std::optional<ButtonThemePreset> t = buttonThemePreset(theme);
  if (!t) return;
  {
    BusyScope quiet(*this);
    setColorA(t->colorA);
    setColorB(t->colorB);
    setHoverColorA(t->hoverColorA);
    setHoverColorB(t->hoverColorB);
    setForeColor(t->foreColor);
    setHoverForeColor(t->hoverForeColor);
    setOutlineColor(t->outlineColor);
    setHoverOutline(t->hoverOutline);
    setBorderColor(t->borderColor);
  }
  s_.borderAppearance = t->borderAppearance;
  s_.borderStyle = t->borderStyle;
  s_.outline = t->outline;
  setAlignment(aaMiddleCenter);
  setIconAlignment(aaMiddleLeft);
  s_.iconAdjustX = 0;
  s_.iconAdjustY = 0;
  s_.cutStyle = t->cutStyle;
  s_.cutStrength = t->cutStrength;
  s_.autoSize = false;
  s_.handPointer = false;  // the flag only: the pointer stays as it is
  s_.bottomLine = t->bottomLine;
  s_.lightEffect = t->lightEffect;
}

// The shared hand becomes the mouse icon unless the host gave the control one of its own.
void NxButton::applyPointer() {
  ControlWindow& w = window();
  if (!s_.handPointer) {
    w.setMousePointer(kDefaultPointer);
    return;
  }
  if (!w.mouseIcon()) w.setMouseIcon(handCursor());
  w.setMousePointer(kCustomPointer);
}

CursorRef NxButton::handCursor() {
  std::shared_ptr<ButtonCursors> shared = Shared::objects();
  if (!shared) return services().loadResourceCursor("HAND");
  if (!shared->hand) shared->hand = services().loadResourceCursor("HAND");
  return shared->hand;
}

// ---- input ----

void NxButton::raiseIfEnabled(std::string_view event) {
  if (window().enabled()) raiseEvent(event);
}

void NxButton::raiseMouseButton(std::string_view event, std::int16_t button, std::int16_t shift,
                                double x, double y) {
  if (!window().enabled()) return;
  Value args[] = {Value{button}, Value{shift}, Value{static_cast<float>(x)},
                  Value{static_cast<float>(y)}};
  raiseEvent(event, args);
}

void NxButton::onClick() {
  raiseIfEnabled("Click");
}

void NxButton::onDblClick() {
  raiseIfEnabled("DblClick");
}

void NxButton::onMnemonic() {
  raiseIfEnabled("Click");
}

void NxButton::onMouseDown(std::int16_t button, std::int16_t shift, double x, double y) {
  s_.focus = true;
  raiseMouseButton("MouseDown", button, shift, x, y);
  // Only a raised 3D border can be pushed in by the mouse.
  if (s_.borderStyle == bsFixedSingle && s_.borderAppearance == ap3D) {
    s_.pressed = true;
    redraw();
  }
}

void NxButton::onMouseUp(std::int16_t button, std::int16_t shift, double x, double y) {
  raiseMouseButton("MouseUp", button, shift, x, y);
  // Hover ends too, so that the next move inside greets the pointer again.
  s_.pressed = false;
  s_.hover = false;
  redraw();
}

void NxButton::onKeyDown(std::int16_t& keyCode, std::int16_t) {
  if (keyCode != 32 || s_.borderStyle != bsFixedSingle) return;
  s_.pressed = true;
  redraw();
}

void NxButton::onKeyUp(std::int16_t& keyCode, std::int16_t) {
  if (keyCode != 32) return;
  if (s_.borderStyle == bsFixedSingle) {
    s_.pressed = false;
    redraw();
  }
  raiseIfEnabled("Click");
}

void NxButton::onMouseMove(std::int16_t, std::int16_t, double, double) {
  trackPointer();
}

// Hover tracking with the capture: the button keeps the mouse while the pointer is inside and
// lets it go on the first move outside. The hover flag also ends with a mouse release (unlike
// the framework's own tracking), so the button keeps its own flag and tooltip.
void NxButton::trackPointer() {
  ControlWindow& w = window();
  if (w.captureHolder() != w.handle()) w.setCapture();
  if (pointerInside()) {
    if (!s_.hover) {
      s_.hover = true;
      raiseIfEnabled("MouseIn");
      redraw();
      showTooltip();
    }
    w.setCapture();
    return;
  }
  s_.hover = false;
  w.releaseCapture();
  tooltip_.reset();
  raiseIfEnabled("MouseOut");
  s_.pressed = false;
  redraw();
}

void NxButton::showTooltip() {
  // A tip that cannot be set up is simply absent.
  try {
    const Extender* ext = site().extender();
    if (ext == nullptr || tooltip_) return;
    const std::string text = ext->toolTipText().value_or(std::string());
    if (text.empty()) return;
    auto tip = std::make_unique<CTooltip>(services());
    tip->BackColor = s_.tooltip.backColor;
    tip->Centered = s_.tooltip.centered;
    tip->ForeColor = s_.tooltip.foreColor;
    tip->MultiLine = s_.tooltip.multiLine;
    tip->Style = s_.tooltip.style;
    tip->Icon = s_.tooltip.icon;
    tip->Title = s_.tooltip.title;
    tip->Text = text;
    tip->HwndParentControl = window().handle();
    tip->Create();
    tooltip_ = std::move(tip);
  } catch (const std::exception&) {
    tooltip_.reset();
  }
}

// ---- layout and drawing ----

void NxButton::recordSizes() {
  const ControlWindow& w = window();
  const double tppX = w.twipsPerPixelX() > 0 ? w.twipsPerPixelX() : 15.0;
  const double tppY = w.twipsPerPixelY() > 0 ? w.twipsPerPixelY() : 15.0;
  layout_.width = w.width();
  layout_.height = w.height();
  layout_.scaleWidth = w.scaleWidth();
  layout_.scaleHeight = w.scaleHeight();
  layout_.widthPx = static_cast<std::int32_t>(std::round(layout_.width / tppX));
  layout_.heightPx = static_cast<std::int32_t>(std::round(layout_.height / tppY));
  layout_.scaleWidthPx = static_cast<std::int32_t>(std::round(layout_.scaleWidth / tppX));
  layout_.scaleHeightPx = static_cast<std::int32_t>(std::round(layout_.scaleHeight / tppY));
  layout_.captionClasses = alignmentClasses(s_.alignment);
  layout_.iconClasses = alignmentClasses(s_.iconAlignment);
}

// The button is at least as large as its caption (an empty one counts as 30 x 30 twips); with
// AutoSize exactly as large.
void NxButton::layOut() {
  if (busy()) return;
  {
    BusyScope sizing(*this);
    ControlWindow& w = window();
    Surface& surface = w.surface();
    double textWidth = 30;
    double textHeight = 30;
    if (!s_.caption.empty()) {
      textWidth = surface.textWidth(s_.caption);
      textHeight = surface.textHeight(s_.caption);
    }
    if (s_.autoSize) {
      w.setWidth(textWidth);
      w.setHeight(textHeight);
    } else {
      if (w.scaleHeight() < textHeight) w.setHeight(textHeight);
      if (w.scaleWidth() < textWidth) w.setWidth(textWidth);
    }
  }
  recordSizes();
  redraw();
}

ButtonLook NxButton::look() const {
  ButtonLook l;
  l.colorA = s_.colorA.resolved();
  l.colorB = s_.colorB.resolved();
  l.hoverColorA = s_.hoverColorA.resolved();
  l.hoverColorB = s_.hoverColorB.resolved();
  l.foreColor = s_.foreColor.resolved();
  l.hoverForeColor = s_.hoverForeColor.resolved();
  l.outlineColor = s_.outlineColor.resolved();
  l.hoverOutline = s_.hoverOutline.resolved();
  l.borderColor = s_.borderColor.resolved();
  l.grayText = translateColor(syscolor::kGrayText, services());
  l.caption = s_.caption;
  l.alignment = s_.alignment;
  l.iconAlignment = s_.iconAlignment;
  l.icon = s_.icon;
  l.iconWidth = layout_.icon.widthTwips;
  l.iconHeight = layout_.icon.heightTwips;
  l.iconAdjustX = s_.iconAdjustX;
  l.iconAdjustY = s_.iconAdjustY;
  l.gradientStyle = s_.gradientStyle;
  l.borderAppearance = s_.borderAppearance;
  l.borderStyle = s_.borderStyle;
  l.cornerStyle = s_.cornerStyle;
  l.outline = s_.outline;
  l.cutStyle = s_.cutStyle;
  l.cutStrength = s_.cutStrength;
  l.lightEffect = s_.lightEffect;
  l.bottomLine = s_.bottomLine;
  l.hover = s_.hover;
  l.focus = s_.focus;
  l.pressed = s_.pressed;
  l.isDefault = ambientDisplayAsDefault().value_or(false);
  l.enabled = window().enabled();
  l.scaleWidth = layout_.scaleWidth;
  l.scaleHeight = layout_.scaleHeight;
  l.innerWidthPx = layout_.scaleWidthPx;
  l.innerHeightPx = layout_.scaleHeightPx;
  l.outerWidthPx = layout_.widthPx;
  l.outerHeightPx = layout_.heightPx;
  return l;
}

void NxButton::redraw() {
  ControlWindow& w = window();
  ButtonPaintResult painted = paintButton(w.surface(), look(), services());
  const char key = asciiLower(painted.caption.accessKey);
  if (key != accessKey_) {
    accessKey_ = key;
    accessKeyChanged();
  }
  if (painted.region) applyRegion(&w, std::move(painted.region));
}

// ---- accessibility ----

void NxButton::describeAccessible(AccessibleNode& node) const {
  // The button tracks the pointer itself (its hover also ends with a release).
  if (s_.hover) node.states |= accstate::kHotTracked;
  if (s_.pressed) node.states |= accstate::kPressed;
  if (ambientDisplayAsDefault().value_or(false)) node.states |= accstate::kDefault;
}

}  // namespace nx
