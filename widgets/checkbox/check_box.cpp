#include "widgets/checkbox/check_box.h"

#include "widgets/checkbox/check_box_layout.h"

namespace nx {

namespace {

using CB = NxCheckBox;
using P = Property<CB>;

// A Boolean flag of the state, stored straight into its field when read.
P flag(std::string_view name, std::string_view key, bool storeDefault, bool newValue,
       bool (CB::*get)() const, void (CB::*put)(bool),
       std::function<void(CB&, const Value&)> load) {
  return P{.name = name,
           .type = types::Bool,
           .key = key,
           .storeDefault = boolValue(storeDefault),
           .newValue = boolValue(newValue),
           .load = LoadMode::Direct,
           .get = getter(get),
           .put = setter(put),
           .direct = std::move(load)};
}

CheckBoxPictures loadPictures(SystemServices& services) {
  CheckBoxPictures p;
  for (int i = 0; i < 3; ++i) {
    p.enabled[static_cast<std::size_t>(i)] =
        services.loadResourcePicture("CHK_IMG1_" + std::to_string(i));
    p.disabled[static_cast<std::size_t>(i)] =
        services.loadResourcePicture("CHK_IMG0_" + std::to_string(i));
  }
  return p;
}

}  // namespace

const ClassTable<NxCheckBox>& NxCheckBox::classTable() {
  using types::enumeration;
  using S = CheckBoxState;
  static const ClassTable<NxCheckBox> table(ClassSpec<NxCheckBox>{
      .name = "NxCheckBox",
      .members =
          {
              P{.name = "hWnd", .type = types::Long, .get = getter(&CB::hWnd)},
              P{.name = "ExProp",
                .type = types::String,
                .key = "ExProp",
                .storeDefault = Value{std::string()},
                .newValue = Value{std::string()},
                .hidden = true,
                .sample = Value{std::string("ttstyle=balloon;tttitle=Note")},
                .get = getter(&CB::exProp),
                .put = setter(&CB::setExProp)},
              P{.name = "Style",
                .type = enumeration("CB_CHECKBOXSTYLE"),
                .key = "ustyle",
                .storeDefault = std::int32_t{csNormal},
                .newValue = std::int32_t{csNormal},
                .load = LoadMode::Direct,
                .get = getter(&CB::style),
                .put = setter(&CB::setStyle),
                .direct = field(&CB::s_, &S::style)},
              P{.name = "Caption",
                .type = types::String,
                .key = "text",
                .dynamicDefault = [](const CB& c) { return Value{c.defaultCaption("Caption")}; },
                .load = LoadMode::Direct,
                .get = getter(&CB::caption),
                .put = setter(&CB::setCaption),
                .direct = field(&CB::s_, &S::caption)},
              P{.name = "Alignment",
                .type = enumeration("CB_BASICALIGN"),
                .key = "ualign",
                .storeDefault = std::int32_t{baLeft},
                .newValue = std::int32_t{baLeft},
                .load = LoadMode::Direct,
                .get = getter(&CB::alignment),
                .put = setter(&CB::setAlignment),
                .direct = field(&CB::s_, &S::alignment)},
              P{.name = "Font",
                .type = types::Font,
                .key = "font",
                // No font as the default: the font is always stored, and a store without it
                // leaves the control's font as it is.
                .storeDefault = Value{FontRef{}},
                .load = LoadMode::Direct,
                .byRef = true,
                .get = getter(&CB::font),
                .put = setter(&CB::setFont),
                .direct =
                    [](CB& c, const Value& v) {
                      FontRef f = toFont(v);
                      if (!f) throw ConversionError("no font stored");
                      c.window().setFont(std::move(f));
                    }},
              P{.name = "BackColor",
                .type = types::Color,
                .key = "bcolor",
                .storeDefault = colorValue(0x8000000Fu),
                .load = LoadMode::Direct,
                .get = getter(&CB::backColor),
                .put = setter(&CB::setBackColor),
                .direct = [](CB& c, const Value& v) { c.window().setBackColor(toInt32(v)); }},
              P{.name = "ForeColor",
                .type = types::Color,
                .key = "fcolor",
                .storeDefault = colorValue(0x80000012u),
                .load = LoadMode::Direct,
                .get = getter(&CB::foreColor),
                .put = setter(&CB::setForeColor),
                .direct = [](CB& c, const Value& v) { c.window().setForeColor(toInt32(v)); }},
              P{.name = "Maskcolor",
                .type = types::Color,
                .key = "mcolor",
                .storeDefault = colorValue(0x00C0C0C0u),
                .newValue = colorValue(0x00C0C0C0u),
                .get = getter(&CB::maskColor),
                .put = setter(&CB::setMaskColor)},
              flag("UseMaskColor", "umask", false, false, &CB::useMaskColor,
                   &CB::setUseMaskColor, field(&CB::s_, &S::useMaskColor)),
              flag("AutoSize", "uasize", false, false, &CB::autoSize, &CB::setAutoSize,
                   field(&CB::s_, &S::autoSize)),
              flag("FocusRect", "ufocus", true, true, &CB::focusRect, &CB::setFocusRect,
                   field(&CB::s_, &S::focusRect)),
              flag("HoverFX", "uhover", false, false, &CB::hoverFX, &CB::setHoverFX,
                   field(&CB::s_, &S::hoverFX)),
              flag("HoverBold", "uhoverbold", false, false, &CB::hoverBold, &CB::setHoverBold,
                   field(&CB::s_, &S::hoverBold)),
              P{.name = "HoverUnderline",
                .type = types::Bool,
                .key = "uhoverunder",
                .storeDefault = boolValue(true),
                .newValue = boolValue(false),
                .load = LoadMode::Direct,
                .sample = boolValue(false),  // the new-control value differs from the default
                .get = getter(&CB::hoverUnderline),
                .put = setter(&CB::setHoverUnderline),
                .direct = field(&CB::s_, &S::hoverUnderline)},
              P{.name = "HoverColor",
                .type = types::Color,
                .key = "uhovercolor",
                .storeDefault = colorValue(0x80000012u),
                .newValue = colorValue(0),
                .get = getter(&CB::hoverColor),
                .put = setter(&CB::setHoverColor)},
              P{.name = "Value",
                .type = types::Short,
                .key = "value",
                .storeDefault = std::int16_t{kEmpty},
                .newValue = std::int16_t{kEmpty},
                .load = LoadMode::Direct,
                .get = getter(&CB::value),
                .put = setter(&CB::setValue),
                .direct =
                    [](CB& c, const Value& v) {
                      c.s_.value = toInt16(v);
                      c.lastReported_ = c.s_.value;
                    }},
              P{.name = "Enabled",
                .type = types::Bool,
                .key = "enabled",
                .storeDefault = boolValue(true),
                .newValue = boolValue(true),
                .load = LoadMode::Direct,
                .get = getter(&CB::enabled),
                .put = setter(&CB::setEnabled),
                .direct = [](CB& c, const Value& v) { c.window().setEnabled(toBool(v)); }},
              P{.name = "xtrVar",
                .type = types::Variant,
                .key = "xtrVar",
                .newValue = Value{},
                .load = LoadMode::Direct,
                .sample = Value{std::string("tag")},
                .get = [](const CB& c) { return c.xtrVar(); },
                .put = [](CB& c, const Value& v) { c.setXtrVar(v); },
                .direct = [](CB& c, const Value& v) { c.s_.xtrVar = v; }},
          },
      .events = {{"Click"}, {"DblClick"}, {"Change"}, {"MouseIn"}, {"MouseOut"}},
      .enums = {{"CB_CHECKBOXSTYLE",
                 {{"csNormal", csNormal}, {"csYesNo", csYesNo}, {"csTriState", csTriState}}},
                {"CB_BASICALIGN", {{"baLeft", baLeft}, {"baRight", baRight}}}},
      .defaultProperty = "Value",
      .defaultEvent = "Change",
      .readOrder = {"value", "text", "enabled", "font", "bcolor", "fcolor", "mcolor", "umask",
                    "ustyle", "uhover", "ualign", "ufocus", "uasize", "uhoverbold",
                    "uhoverunder", "uhovercolor", "xtrVar", "ExProp"},
      .writeOrder = {"value", "text", "enabled", "font", "bcolor", "fcolor", "mcolor", "umask",
                     "ustyle", "ufocus", "uasize", "uhover", "ualign", "uhoverbold",
                     "uhoverunder", "uhovercolor", "xtrVar", "ExProp"},
      .readPolicy = ReadPolicy::ContinueOnError,
      .writePolicy = ReadPolicy::ContinueOnError,
      .access = {.role = AccessRole::CheckBox, .nameProperty = "Caption", .actionName = "Check"},
    });
  return table;
}

NxCheckBox::NxCheckBox(ControlSite& site) : Control(site) {
  s_.hoverColor.set(syscolor::kButtonText, services());
}

NxCheckBox::~NxCheckBox() = default;

std::int32_t NxCheckBox::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

// ---- lifecycle ----

void NxCheckBox::onInitialize() {
  SystemServices& services = this->services();
  shared_.emplace([&services] { return loadPictures(services); });
}

void NxCheckBox::onTerminate() {
  shared_.reset();
}

void NxCheckBox::onInitProperties() {
  s_.caption = defaultCaption("Caption");
  s_.maskColor.set(0x00C0C0C0, services());
  if (FontRef f = window().font()) takeAmbientFontName(*f);
  s_.hoverColor.set(0, services());
  s_.hoverUnderline = false;
  s_.focusRect = true;
}

void NxCheckBox::onLoaded() {
  applyPointer();
  redraw();
}

void NxCheckBox::onResize() {
  if (resizeGuard_) return;
  redraw();
}

void NxCheckBox::onFocusChanged() {
  if (!s_.focusRect) return;
  focusShown_ = hasFocus();
  redraw();
}

// ---- properties ----

void NxCheckBox::setExProp(std::string text) {
  s_.exProp = std::move(text);
  notifyChanged("ExProp");
  s_.tooltip = parseExProp(s_.exProp);
}

void NxCheckBox::setStyle(std::int32_t style) {
  s_.style = style;
  s_.value = valueAfterStyleChange(s_.value, style);
  redraw();
  notifyChanged("ustyle");
}

void NxCheckBox::setCaption(std::string caption) {
  s_.caption = std::move(caption);
  redraw();
  notifyChanged("text");
}

void NxCheckBox::setAlignment(std::int32_t alignment) {
  s_.alignment = alignment;
  redraw();
  notifyChanged("ualign");
}

FontRef NxCheckBox::font() const {
  return window().font();
}

void NxCheckBox::setFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  window().setFont(std::move(font));
  redraw();
  notifyChanged("font");
}

OleColor NxCheckBox::backColor() const {
  return window().backColor();
}

void NxCheckBox::setBackColor(OleColor color) {
  window().setBackColor(color);
  redraw();
  notifyChanged("bcolor");
}

OleColor NxCheckBox::foreColor() const {
  return window().foreColor();
}

void NxCheckBox::setForeColor(OleColor color) {
  window().setForeColor(color);
  redraw();
  notifyChanged("fcolor");
}

void NxCheckBox::setMaskColor(OleColor color) {
  s_.maskColor.set(color, services());
  redraw();
  notifyChanged("mcolor");
}

void NxCheckBox::setUseMaskColor(bool on) {
  s_.useMaskColor = on;
  redraw();
  notifyChanged("umask");
}

void NxCheckBox::setAutoSize(bool on) {
  s_.autoSize = on;
  redraw();
  notifyChanged("uasize");
}

void NxCheckBox::setFocusRect(bool on) {
  s_.focusRect = on;
  notifyChanged("ufocus");
}

void NxCheckBox::setHoverFX(bool on) {
  s_.hoverFX = on;
  applyPointer();
  notifyChanged("uhover");
}

void NxCheckBox::setHoverBold(bool on) {
  s_.hoverBold = on;
  notifyChanged("uhoverbold");
}

void NxCheckBox::setHoverUnderline(bool on) {
  s_.hoverUnderline = on;
  notifyChanged("uhoverunder");
}

void NxCheckBox::setHoverColor(OleColor color) {
  s_.hoverColor.set(color, services());
  notifyChanged("uhovercolor");
}

void NxCheckBox::setValue(std::int16_t value) {
  s_.value = normalizeValue(value, s_.style);
  redraw();
  if (s_.value != lastReported_) {
    lastReported_ = s_.value;
    raiseEvent("Change");
  }
  notifyChanged("value");
}

bool NxCheckBox::enabled() const {
  return window().enabled();
}

void NxCheckBox::setEnabled(bool on) {
  window().setEnabled(on);
  redraw();
  notifyChanged("enabled");
}

void NxCheckBox::setXtrVar(const nx::Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

// With the hover effect the pointer is the shared check cursor, loaded on first need.
void NxCheckBox::applyPointer() {
  ControlWindow& w = window();
  if (!s_.hoverFX) {
    w.setMousePointer(kDefaultPointer);
    return;
  }
  std::shared_ptr<CheckBoxPictures> shared = Shared::objects();
  CursorRef cursor;
  if (shared) {
    if (!shared->hoverCursor) shared->hoverCursor = services().loadResourceCursor("CHECK");
    cursor = shared->hoverCursor;
  } else {
    cursor = services().loadResourceCursor("CHECK");
  }
  w.setMouseIcon(std::move(cursor));
  w.setMousePointer(kCustomPointer);
}

// ---- input ----

void NxCheckBox::toggle() {
  setValue(toggledValue(s_.value, s_.style));
  raiseEvent("Click");
}

void NxCheckBox::onClick() {
  toggle();
}

void NxCheckBox::onDblClick() {
  raiseEvent("DblClick");
}

void NxCheckBox::onKeyPress(std::int16_t& keyAscii) {
  if (keyAscii == 32) toggle();
}

void NxCheckBox::onMouseMove(std::int16_t, std::int16_t, double, double) {
  if (s_.hoverFX) trackHover();
}

void NxCheckBox::applyHoverLook() {
  ControlWindow& w = window();
  if (FontRef f = w.font()) {
    savedUnderline_ = f->underline();
    savedBold_ = f->bold();
    if (s_.hoverUnderline) f->setUnderline(true);
    if (s_.hoverBold) f->setBold(true);
  }
  savedForeColor_ = w.foreColor();
  w.setForeColor(static_cast<OleColor>(s_.hoverColor.resolved()));
}

void NxCheckBox::undoHoverLook() {
  ControlWindow& w = window();
  if (FontRef f = w.font()) {
    f->setUnderline(savedUnderline_);
    f->setBold(savedBold_);
  }
  w.setForeColor(savedForeColor_);
}

// ---- drawing ----

void NxCheckBox::redraw(bool autoSize) {
  ControlWindow& w = window();
  Surface& surface = w.surface();
  const CheckBoxLayout l = layoutCheckBox(w.scaleWidth(), s_.alignment, surface.textHeight(" "));
  mask_.beforePaint(w);
  surface.clear();
  const bool on = w.enabled();
  if (std::shared_ptr<CheckBoxPictures> shared = Shared::objects()) {
    const auto& set = on ? shared->enabled : shared->disabled;
    if (const PictureRef& picture = set[static_cast<std::size_t>(imageIndexOf(s_.value))])
      surface.paintPicture(*picture, l.boxX, l.boxY, kBoxSize, kBoxSize);
  }
  const Rgb grey = translateColor(syscolor::kGrayText, services());
  const Rgb text = on ? translateColor(w.foreColor(), services()) : grey;
  const PrintedCaption printed = printCheckBoxCaption(surface, s_.caption, l.textX, l.textY,
                                                      autoSize ? kNoWrapWidth : l.available,
                                                      l.rightAligned, text, grey, focusShown_);
  if (autoSize && printed.printed) sizeToCaption(printed.widest);
  mask_.afterPaint(w, s_.useMaskColor, s_.maskColor.resolved());
}

// The control as wide as its caption; the height stays. Right-aligned, the right edge stays where
// it is: the host moves the left edge first (a host that cannot leaves it, the width changes
// anyway).
void NxCheckBox::sizeToCaption(double widest) {
  resizeGuard_ = true;
  const double newWidth = widest + 285.0;
  if (s_.alignment == baRight) {
    const Extender* ext = site().extender();
    const std::optional<double> left = ext ? ext->left() : std::nullopt;
    const std::optional<double> width = ext ? ext->width() : std::nullopt;
    if (left && width) moveLeftEdge(*left + *width - newWidth);
  }
  window().setWidth(newWidth);
  redraw(false);
  resizeGuard_ = false;
}

// ---- accessibility ----

void NxCheckBox::describeAccessible(AccessibleNode& node) const {
  const std::int16_t v = s_.value;
  if (v == kTicked) {
    node.states |= accstate::kChecked;
    node.value = s_.style == csYesNo ? "yes" : "checked";
  } else if (v == kCrossed) {
    if (s_.style == csTriState) node.states |= accstate::kMixed;
    node.value = s_.style == csYesNo ? "no" : "mixed";
  } else {
    node.value = "unchecked";
  }
  if (!node.actionName.empty() && v == kTicked) node.actionName = "Uncheck";
}

}  // namespace nx
