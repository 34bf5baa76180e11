#include "widgets/hyperlink/hyper_link.h"

#include <exception>

#include "core/support/rounding.h"
#include "widgets/checkbox/caption_lines.h"

namespace nx {

namespace {

using HL = NxHyperLink;
using P = Property<HL>;

// A colour read through its put.
P color(std::string_view name, std::string_view key, std::uint32_t storeDefault,
        OleColor (HL::*get)() const, void (HL::*put)(OleColor)) {
  return colorProperty<HL>(name, key, storeDefault, storeDefault, get, put, LoadMode::ViaPut);
}

}  // namespace

const ClassTable<NxHyperLink>& NxHyperLink::classTable() {
  using S = HyperLinkState;
  // Reading a font key that is absent gives the window's current font; writing has no default,
  // so the font is always stored.
  const auto fontDefault = [](const HL& c) {
    return Value{c.loading_ ? c.window().font() : FontRef{}};
  };
  static const ClassTable<NxHyperLink> table(
      ClassSpec<NxHyperLink>{
          .name = "NxHyperLink",
          .members =
              {
                  P{.name = "hWnd", .type = types::Long, .get = getter(&HL::hWnd)},
                  P{.name = "ExProp",
                    .type = types::String,
                    .key = "ExProp",
                    .storeDefault = Value{std::string()},
                    .newValue = Value{std::string()},
                    .hidden = true,
                    .sample = Value{std::string("ttstyle=balloon;tttitle=Note")},
                    .get = getter(&HL::exProp),
                    .put = setter(&HL::setExProp)},
                  P{.name = "Caption",
                    .type = types::String,
                    .key = "prop.pCaption",
                    .load = LoadMode::Direct,
                    .get = getter(&HL::caption),
                    .put = setter(&HL::setCaption),
                    .direct = field(&HL::s_, &S::caption)},
                  P{.name = "Alignment",
                    .type = types::Long,
                    .key = "prop.pAlignment",
                    .storeDefault = std::int32_t{alignLeft},
                    .newValue = std::int32_t{alignLeft},
                    .load = LoadMode::Direct,
                    .sample = std::int32_t{alignCenter},
                    .get = getter(&HL::alignment),
                    .put = setter(&HL::setAlignment),
                    .direct = field(&HL::s_, &S::alignment)},
                  P{.name = "Font",
                    .type = types::Font,
                    .key = "prop.pFont",
                    .dynamicDefault = fontDefault,
                    .load = LoadMode::Direct,
                    .byRef = true,
                    .get = getter(&HL::font),
                    .put = setter(&HL::setFont),
                    .direct = field(&HL::s_, &S::font)},
                  P{.name = "MouseOverFont",
                    .type = types::Font,
                    .key = "prop.pMOverFont",
                    .dynamicDefault = fontDefault,
                    .load = LoadMode::Direct,
                    .byRef = true,
                    .get = getter(&HL::mouseOverFont),
                    .put = setter(&HL::setMouseOverFont),
                    .direct = field(&HL::s_, &S::mouseOverFont)},
                  color("BackColor", "prop.pBackColor", 0x8000000Fu, &HL::backColor,
                        &HL::setBackColor),
                  color("ForeColor", "prop.pForeColor", 0x00FF0000u, &HL::foreColor,
                        &HL::setForeColor),
                  color("Maskcolor", "prop.pMaskColor", 0x00C0C0C0u, &HL::maskColor,
                        &HL::setMaskColor),
                  P{.name = "UseMaskColor",
                    .type = types::Bool,
                    .key = "prop.pUseMask",
                    .storeDefault = Value{VBool::True},
                    .newValue = Value{VBool::False},
                    .load = LoadMode::Direct,
                    .sample =
                        Value{VBool::False},  // the new-control value differs from the default
                    .get = getter(&HL::useMaskColor),
                    .put = setter(&HL::setUseMaskColor),
                    .direct = field(&HL::s_, &S::useMaskColor)},
                  P{.name = "AutoSize",
                    .type = types::Bool,
                    .key = "prop.pAutoSize",
                    .storeDefault = Value{VBool::False},
                    .newValue = Value{VBool::False},
                    .load = LoadMode::Direct,
                    .get = getter(&HL::autoSize),
                    .put = setter(&HL::setAutoSize),
                    .direct = field(&HL::s_, &S::autoSize)},
                  color("MouseOverColor", "prop.pMOverColor", 0x00FF0000u, &HL::mouseOverColor,
                        &HL::setMouseOverColor),
                  P{.name = "URL",
                    .type = types::String,
                    .key = "prop.pURL",
                    .storeDefault = Value{std::string("about:blank")},
                    .newValue = Value{std::string("about:blank")},
                    .load = LoadMode::Direct,
                    .get = getter(&HL::url),
                    .put = setter(&HL::setUrl),
                    .direct = field(&HL::s_, &S::url)},
                  P{.name = "Enabled",
                    .type = types::Bool,
                    .notifyKey = "enabled",
                    .newValue = Value{VBool::True},
                    .get = getter(&HL::enabled),
                    .put = setter(&HL::setEnabled)},
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "prop.pXtrVar",
                    .newValue = Value{},
                    .load = LoadMode::Direct,
                    .sample = Value{std::string("tag")},
                    .get = [](const HL& c) { return c.xtrVar(); },
                    .put = [](HL& c, const Value& v) { c.setXtrVar(v); },
                    .direct = [](HL& c, const Value& v) { c.s_.xtrVar = v; }},
              },
          .events = {{"Click"}, {"DblClick"}, {"MouseIn"}, {"MouseOut"}},
          .defaultProperty = "Caption",
          .defaultEvent = "Click",
          .readOrder = {"prop.pFont", "prop.pMOverFont", "prop.pAlignment", "prop.pAutoSize",
                        "prop.pBackColor", "prop.pCaption", "prop.pForeColor", "prop.pMaskColor",
                        "prop.pMOverColor", "prop.pURL", "prop.pUseMask", "prop.pXtrVar", "ExProp"},
          .writeOrder = {"prop.pFont", "prop.pMOverFont", "prop.pAlignment", "prop.pAutoSize",
                         "prop.pBackColor", "prop.pCaption", "prop.pForeColor", "prop.pMaskColor",
                         "prop.pMOverColor", "prop.pURL", "prop.pUseMask", "prop.pXtrVar",
                         "ExProp"},
          .access = {.role = AccessRole::Link,
                     .nameProperty = "Caption",
                     .valueProperty = "URL",
                     .actionName = "Jump"},
      });
  return table;
}

NxHyperLink::NxHyperLink(ControlSite& site) : Control(site) {
  s_.backColor.set(syscolor::kButtonFace, services());
}

NxHyperLink::~NxHyperLink() = default;

std::int32_t NxHyperLink::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

// ---- lifecycle ----

void NxHyperLink::onInitialize() {
  ControlWindow& w = window();
  s_.font = w.font();
  SystemServices& services = this->services();
  shared_.emplace([&services] { return HyperLinkCursors{services.loadResourceCursor("HAND")}; });
  if (std::shared_ptr<HyperLinkCursors> cursors = Shared::objects()) w.setMouseIcon(cursors->hand);
  w.setMousePointer(kCustomPointer);
}

void NxHyperLink::onTerminate() {
  shared_.reset();
}

// A font of its own for the control, described like the host's ambient font (the window's font
// when the host has none).
FontRef NxHyperLink::ambientFontCopy() const {
  FontDesc desc = window().font() ? window().font()->describe() : FontDesc{};
  try {
    if (const Ambient* amb = site().ambient()) {
      std::optional<FontRef> f = amb->font();
      if (f && *f) desc = (*f)->describe();
    }
  } catch (const std::exception&) {
    // The window's font stands in.
  }
  return services().createFont(desc);
}

void NxHyperLink::onInitProperties() {
  LoadingScope loading(*this);
  try {
    s_.caption = defaultCaption("Caption");
    s_.maskColor.set(0x00C0C0C0, services());
    s_.font = ambientFontCopy();
    s_.mouseOverFont = ambientFontCopy();
    s_.mouseOverFont->setUnderline(true);
    s_.backColor.set(syscolor::kButtonFace, services());
    window().setBackColor(static_cast<OleColor>(s_.backColor.resolved()));
    s_.foreColor.set(0x00FF0000, services());
    s_.mouseOverColor.set(0x00FF0000, services());
    s_.url = "about:blank";
  } catch (const std::exception&) {
    // A new control keeps what it has; the host sees no error.
  }
}

void NxHyperLink::onReadProperties(PropertyBag& bag) {
  {
    LoadingScope loading(*this);
    readStored(bag);
  }
  redraw();
}

void NxHyperLink::onResize() {
  if (loading_) return;
  redraw();
}

// ---- properties ----

void NxHyperLink::setExProp(std::string text) {
  s_.exProp = std::move(text);
  notifyChanged("ExProp");
  s_.tooltip = parseExProp(s_.exProp);
}

void NxHyperLink::setCaption(std::string caption) {
  s_.caption = std::move(caption);
  redraw();
  notifyChanged("prop.pCaption");
}

void NxHyperLink::setAlignment(std::int32_t alignment) {
  s_.alignment = alignment;
  redraw();
  notifyChanged("prop.pAlignment");
}

void NxHyperLink::setFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  s_.font = std::move(font);
  if (loading_) return;
  redraw();
  notifyChanged("prop.pFont");
}

void NxHyperLink::setMouseOverFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  s_.mouseOverFont = std::move(font);
  if (loading_) return;
  redraw();
  notifyChanged("prop.pMOverFont");
}

void NxHyperLink::setBackColor(OleColor color) {
  s_.backColor.set(color, services());
  window().setBackColor(static_cast<OleColor>(s_.backColor.resolved()));
  redraw();
  notifyChanged("prop.pBackColor");
}

void NxHyperLink::setForeColor(OleColor color) {
  s_.foreColor.set(color, services());
  if (loading_) return;
  redraw();
  notifyChanged("prop.pForeColor");
}

void NxHyperLink::setMaskColor(OleColor color) {
  s_.maskColor.set(color, services());
  if (loading_) return;
  redraw();
  notifyChanged("prop.pMaskColor");
}

void NxHyperLink::setUseMaskColor(bool on) {
  s_.useMaskColor = on;
  redraw();
  notifyChanged("prop.pUseMask");
}

void NxHyperLink::setAutoSize(bool on) {
  s_.autoSize = on;
  redraw();
  notifyChanged("prop.pAutoSize");
}

void NxHyperLink::setMouseOverColor(OleColor color) {
  s_.mouseOverColor.set(color, services());
  if (loading_) return;
  notifyChanged("prop.pMOverColor");
}

void NxHyperLink::setUrl(std::string url) {
  s_.url = std::move(url);
  notifyChanged("prop.pURL");
}

bool NxHyperLink::enabled() const {
  return window().enabled();
}

void NxHyperLink::setEnabled(bool on) {
  window().setEnabled(on);
  redraw();
  notifyChanged("enabled");
}

void NxHyperLink::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  notifyChanged("prop.pXtrVar");
}

// ---- input ----

void NxHyperLink::onClick() {
  // The shell's answer is not looked at: an address it cannot open gives no error.
  if (opensAddress(s_.url)) services().shellOpen(s_.url, window().handle(), "C:\\");
  raiseEvent("Click");
}

void NxHyperLink::onDblClick() {
  raiseEvent("DblClick");
}

void NxHyperLink::onMouseMove(std::int16_t, std::int16_t, double, double) {
  try {
    trackHover();
  } catch (const std::exception&) {
    // A failing mouse move leaves the look as it is.
  }
}

// ---- drawing ----

void NxHyperLink::redraw() {
  if (loading_) return;
  ControlWindow& w = window();
  Surface& surface = w.surface();
  mask_.beforePaint(w);
  surface.clear();
  double width = roundHalfEven(w.scaleWidth());
  const FontRef& font = hovering() ? s_.mouseOverFont : s_.font;
  if (font) w.setFont(font);
  Rgb color = hovering() ? s_.mouseOverColor.resolved() : s_.foreColor.resolved();
  if (!w.enabled()) color = translateColor(syscolor::kGrayText, services());
  surface.setForeColor(color);
  if (s_.autoSize) {
    const std::string words = wordPerLine(s_.caption);
    const double wordsWidth = roundHalfEven(surface.textWidth(words));
    const double wordsHeight = roundHalfEven(surface.textHeight(words));
    {
      LoadingScope resizing(*this);
      w.setWidth(wordsWidth);
      w.setHeight(wordsHeight);
    }
    width = wordsWidth;
  }
  if (!trimBlanks(s_.caption).empty()) {
    double y = 0;
    for (const std::string& line :
         wrapCaption(s_.caption, width, [&](std::string_view t) { return surface.textWidth(t); })) {
      if (line.empty()) continue;
      surface.setCurrentPosition(lineStart(s_.alignment, width, surface.textWidth(line)), y);
      surface.print(line, true);
      y += surface.textHeight(line);
    }
  }
  mask_.afterPaint(w, s_.useMaskColor, s_.maskColor.resolved());
}

// ---- accessibility ----

void NxHyperLink::describeAccessible(AccessibleNode& node) const {
  node.states |= accstate::kLinked;
}

}  // namespace nx
