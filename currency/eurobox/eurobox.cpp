#include "currency/eurobox/eurobox.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "core/runtime/errors.h"
#include "core/runtime/services.h"
#include "core/runtime/surface.h"
#include "core/runtime/text.h"
#include "core/runtime/utf8.h"
#include "core/support/flag_scope.h"
#include "currency/eurobox/key_filter.h"

namespace nx {

namespace {

using B = NxEuroBox;
using P = Property<B>;

P color(std::string_view name, std::string_view key, OleColor dflt, OleColor (B::*get)() const,
        void (B::*put)(OleColor)) {
  return P{.name = name,
           .type = types::Color,
           .key = key,
           .storeDefault = Value{dflt},
           .newValue = Value{dflt},
           .get = getter(get),
           .put = setter(put)};
}

// Group sums in progress on this thread, by group name. A sum asked for again while it runs
// (a Change handler changed a member) is run once more after the current pass instead of
// recursing; a handler that keeps changing members is cut off after a few passes.
struct RunningSum {
  std::string group;
  bool again = false;
};
thread_local std::vector<RunningSum> runningSums;
constexpr int kMaxSumPasses = 8;

}  // namespace

const ClassTable<NxEuroBox>& NxEuroBox::classTable() {
  using types::enumeration;
  // An absent font key reads as the current font; the font is always written.
  const auto fontDefault = [](const B& c) {
    return Value{c.loading_ ? c.window().font() : FontRef{}};
  };
  static const ClassTable<NxEuroBox> table(
      ClassSpec<NxEuroBox>{
          .name = "NxEuroBox",
          .members =
              {
                  P{.name = "hWnd", .type = types::Long, .get = getter(&B::hWnd)},
                  P{.name = "ExProp",
                    .type = types::String,
                    .key = "ExProp",
                    .storeDefault = Value{std::string()},
                    .newValue = Value{std::string()},
                    .hidden = true,
                    .sample = Value{std::string("ttstyle=balloon;tttitle=Amount")},
                    .get = getter(&B::exProp),
                    .put = setter(&B::setExProp)},
                  P{.name = "Font",
                    .type = types::Font,
                    .key = "ifont",
                    .dynamicDefault = fontDefault,
                    .byRef = true,
                    .get = getter(&B::font),
                    .put =
                        [](B& c, const Value& v) {
                          // A stored empty font leaves the current one.
                          if (FontRef f = toFont(v)) {
                            c.setFont(std::move(f));
                          } else if (!c.loading_) {
                            throw HostError("a font object is required");
                          }
                        }},
                  P{.name = "BorderStyle",
                    .type = enumeration("EB_BORDERSTYLE_EX"),
                    .key = "bstyle",
                    .storeDefault = std::int32_t{bs3D},
                    .newValue = std::int32_t{bs3D},
                    .get = getter(&B::borderStyle),
                    .put = setter(&B::setBorderStyle)},
                  color("BorderColor", "brdColor", 0, &B::borderColor, &B::setBorderColor),
                  color("BackColor", "bcolor", 0xFFFFFF, &B::backColor, &B::setBackColor),
                  color("ForeColor", "fcolor", 0, &B::foreColor, &B::setForeColor),
                  color("Symbolcolor", "scolor", 0, &B::symbolColor, &B::setSymbolColor),
                  P{.name = "Value",
                    .type = types::Double,
                    .key = "value",
                    .newValue = Value{0.0},
                    .storeKind = ValueKind::Currency,
                    .get = getter(&B::value),
                    .put = [](B& c, const Value& v) { c.setValue(v); }},
                  P{.name = "RedNegatives",
                    .type = types::Bool,
                    .key = "rednegs",
                    .storeDefault = boolValue(true),
                    .newValue = boolValue(true),
                    .get = getter(&B::redNegatives),
                    .put = setter(&B::setRedNegatives)},
                  P{.name = "xtrVar",
                    .type = types::Variant,
                    .key = "ivar",
                    .newValue = Value{},
                    .sample = Value{std::string("tag")},
                    .get = [](const B& c) { return c.xtrVar(); },
                    .put = [](B& c, const Value& v) { c.setXtrVar(v); }},
                  P{.name = "Symbol",
                    .type = types::String,
                    .key = "symb",
                    .storeDefault = Value{std::string(eurobox::kDefaultSymbol)},
                    .newValue = Value{std::string(eurobox::kDefaultSymbol)},
                    .sample = Value{std::string("EUR")},
                    .get = getter(&B::symbol),
                    .put = setter(&B::setSymbol)},
                  P{.name = "MaxLeftDigits",
                    .type = types::Short,
                    .key = "ldigs",
                    .storeDefault = std::int16_t{9},
                    .newValue = std::int16_t{9},
                    .get = getter(&B::maxLeftDigits),
                    .put = setter(&B::setMaxLeftDigits)},
                  P{.name = "Group",
                    .type = types::String,
                    .key = "group",
                    .storeDefault = Value{std::string("NONE")},
                    .newValue = Value{std::string()},
                    .sample = Value{std::string("TOTALS")},
                    .get = getter(&B::group),
                    .put = setter(&B::setGroup)},
                  P{.name = "GroupRole",
                    .type = enumeration("EB_GROUPROLE_ENUM"),
                    .key = "role",
                    .storeDefault = std::int32_t{grNone},
                    .newValue = std::int32_t{grNone},
                    .get = getter(&B::groupRole),
                    .put = setter(&B::setGroupRole)},
                  P{.name = "DecimalPlaces",
                    .type = types::Short,
                    .key = "decpl",
                    .storeDefault = std::int16_t{2},
                    .newValue = std::int16_t{2},
                    .get = getter(&B::decimalPlaces),
                    .put = setter(&B::setDecimalPlaces)},
                  P{.name = "Text", .type = types::String, .get = getter(&B::text)},
                  P{.name = "Enabled",
                    .type = types::Bool,
                    .key = "enabled",
                    .storeDefault = boolValue(true),
                    .newValue = boolValue(true),
                    .get = getter(&B::enabled),
                    .put = setter(&B::setEnabled)},
              },
          .events = {{"Change"},
                     {"MouseDown",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"MouseUp",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"MouseMove",
                      {{"Button", types::Short, true},
                       {"Shift", types::Short, true},
                       {"X", types::Single, true},
                       {"Y", types::Single, true}}},
                     {"Click"},
                     {"DblClick"}},
          .enums =
              {{"EB_GROUPROLE_ENUM",
                {{"grNone", grNone}, {"grSumMember", grSumMember}, {"grSumResult", grSumResult}}},
               {"EB_BORDERSTYLE_EX", {{"bsNone", bsNone}, {"bsFLAT", bsFLAT}, {"bs3D", bs3D}}}},
          .defaultProperty = "Value",
          .defaultEvent = "Change",
          .readOrder = {"decpl", "ldigs", "symb", "ivar", "bcolor", "fcolor", "scolor", "rednegs",
                        "group", "role", "enabled", "brdColor", "bstyle", "ifont", "value",
                        "ExProp"},
          .writeOrder = {"decpl", "ldigs", "symb", "ivar", "bcolor", "fcolor", "scolor", "rednegs",
                         "enabled", "group", "role", "brdColor", "bstyle", "ifont", "value",
                         "ExProp"},
          .access = {.role = AccessRole::EditableText},
      });
  return table;
}

NxEuroBox::NxEuroBox(ControlSite& site) : Control(site) {
  makeParts();
}

NxEuroBox::~NxEuroBox() = default;

void NxEuroBox::makeParts() {
  PartFactory& parts = window().parts();
  FontRef tahoma = services().createFont(FontDesc{.name = "Tahoma"});
  window().setFont(tahoma);
  digits_ = &parts.createTextBox(kDigitsPart);
  symbol_ = &parts.createLabel(kSymbolPart);
  border_ = &parts.createShape(kBorderPart);
  digits_->setFont(tahoma);
  digits_->setAlignment(PartAlign::Right);
  digits_->setText("0,00");
  symbol_->setFont(tahoma);
  symbol_->setAutoSize(true);
  symbol_->setCaption(s_.symbol);
  border_->move(0, 0);
  border_->setBorderWidth(1);
  border_->setFilled(false);
  border_->setVisible(false);
  parts.setRedrawHandler([this] {
    if (!layoutGuard_) redraw();
  });

  TextBoxEvents& e = digits_->events();
  e.keyFilter = [this](char32_t& ch) { onKey(ch); };
  // What the digits' input changes is announced to accessibility clients when it ends.
  e.changed = [this] {
    AnnounceScope announce(*this);
    onTextChanged();
  };
  e.gotFocus = [this] {
    AnnounceScope announce(*this);
    onDigitsGotFocus();
  };
  e.lostFocus = [this] {
    AnnounceScope announce(*this);
    reformat();
  };
  e.mouseDown = [this](PartMouse m) {
    digitsPressed_ = m.button == kLeftButton;
    raiseMouse("MouseDown", m);
  };
  e.mouseMove = [this](PartMouse m) { raiseMouse("MouseMove", m); };
  e.mouseUp = [this](PartMouse m) {
    const PartRect r = digits_->bounds();
    const bool click = digitsPressed_ && m.button == kLeftButton && m.x >= 0 && m.y >= 0 &&
                       m.x < r.width && m.y < r.height;
    digitsPressed_ = false;
    raiseMouse("MouseUp", m);
    if (click) raiseEvent("Click");
  };
}

std::int32_t NxEuroBox::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

// ---- lifecycle ----

void NxEuroBox::onInitProperties() {
  FlagScope quiet(loading_);
  FlagScope guard(layoutGuard_);
  setEnabled(true);
  setSymbol(eurobox::kDefaultSymbol);
  setDecimalPlaces(2);
  setMaxLeftDigits(9);
  setXtrVar(Value{});
  setBackColor(0xFFFFFF);
  setBorderColor(0);
  setBorderStyle(bs3D);
  setForeColor(0);
  setSymbolColor(0);
  setRedNegatives(true);
  setValue(Value{0.0});
}

void NxEuroBox::onReadProperties(PropertyBag& bag) {
  FlagScope quiet(loading_);
  FlagScope guard(layoutGuard_);
  readStored(bag);
}

void NxEuroBox::onTerminate() {
  tooltip_.reset();
}

void NxEuroBox::onFocusChanged() {
  // The control passes its focus on to the digits box.
  if (hasFocus() && !digits_->hasFocus()) digits_->setFocus();
}

// ---- properties ----

void NxEuroBox::setExProp(std::string text) {
  s_.exProp = std::move(text);
  notifyChanged("ExProp");
  s_.tooltip = parseExProp(s_.exProp);
}

FontRef NxEuroBox::font() const {
  return window().font();
}

void NxEuroBox::setFont(FontRef font) {
  if (!font) throw HostError("a font object is required");
  window().setFont(font);
  const PartRect r = digits_->bounds();
  // A line of text and one pixel more.
  const Surface& surface = window().surface();
  digits_->setBounds({r.left, r.top, r.width, surface.textHeight("',") + surface.twipsPerPixelY()});
  digits_->setFont(font);
  symbol_->setFont(font);
  notifyChanged("ifont");
  layOut();
}

void NxEuroBox::setBorderStyle(std::int32_t style) {
  s_.borderStyle = style;
  notifyChanged("bstyle");
  ControlWindow& w = window();
  if (style == bs3D) {
    w.setAppearance(1);
    w.setBorderStyle(1);
  } else {
    w.setBorderStyle(0);
  }
  border_->setVisible(style == bsFLAT);
  layOut();
}

void NxEuroBox::setBorderColor(OleColor color) {
  s_.borderColor.set(color, services());
  notifyChanged("brdColor");
  border_->setBorderColor(s_.borderColor.resolved());
}

void NxEuroBox::setBackColor(OleColor color) {
  s_.backColor.set(color, services());
  notifyChanged("bcolor");
  applyColors();
}

void NxEuroBox::setForeColor(OleColor color) {
  s_.foreColor.set(color, services());
  notifyChanged("fcolor");
  digits_->setForeColor(s_.foreColor.resolved());
}

void NxEuroBox::setSymbolColor(OleColor color) {
  s_.symbolColor.set(color, services());
  notifyChanged("scolor");
  applyColors();
}

double NxEuroBox::value() const {
  return static_cast<double>(s_.amount.units) / Currency::kScale;
}

void NxEuroBox::setValue(const Value& v) {
  // Range first: a value the currency cannot hold changes nothing.
  const Currency amount = toCurrency(v);
  const double d = toDouble(v);
  std::string text = kindOf(v) == ValueKind::Currency ? currencyText(amount) : plainDecimalOf(d);
  for (char& c : text)
    if (c == '.') c = ',';
  if (!eurobox::isAmount(eurobox::withoutSymbol(text, s_.symbol))) return;
  // The plain text, then its formatted form: clients hear only the second.
  HoldAnnouncements hold(*this);
  s_.amount = amount;
  digits_->setText(eurobox::plainText(rounder_.round(d, s_.decimalPlaces)));
  reformat();
  notifyChanged("value");
}

void NxEuroBox::setRedNegatives(bool on) {
  s_.redNegatives = on;
  notifyChanged("rednegs");
}

void NxEuroBox::setXtrVar(const Value& v) {
  s_.xtrVar = v;
  notifyChanged("ivar");
}

void NxEuroBox::setSymbol(std::string symbol) {
  if (utf8::length(symbol) > 3) return;
  s_.symbol = std::move(symbol);
  notifyChanged("symb");
  layOut();
}

void NxEuroBox::setMaxLeftDigits(std::int16_t digits) {
  s_.maxLeftDigits = std::clamp<std::int16_t>(digits, 1, eurobox::kMaxLeftDigitsLimit);
  notifyChanged("ldigs");
}

void NxEuroBox::setGroup(std::string group) {
  s_.group = upperAscii(std::move(group));
  notifyChanged("group");
}

void NxEuroBox::setGroupRole(std::int32_t role) {
  s_.groupRole = role;
  notifyChanged("role");
}

void NxEuroBox::setDecimalPlaces(std::int16_t decimals) {
  s_.decimalPlaces = std::clamp<std::int16_t>(decimals, 0, eurobox::kMaxDecimals);
  notifyChanged("decpl");
  reformat();
}

std::string NxEuroBox::text() const {
  const std::string& symbol = symbol_->caption();
  return symbol.empty() ? digits_->text() : digits_->text() + " " + symbol;
}

void NxEuroBox::setEnabled(bool on) {
  s_.enabled = on;
  notifyChanged("enabled");
  digits_->setEnabled(on);
  applyColors();
}

void NxEuroBox::applyColors() {
  const Rgb back = s_.enabled ? s_.backColor.resolved() : eurobox::kDisabledBack;
  symbol_->setForeColor(s_.enabled ? s_.symbolColor.resolved() : eurobox::kDisabledSymbol);
  symbol_->setBackColor(back);
  digits_->setBackColor(back);
  window().surface().setBackColor(back);
  redraw();
}

// ---- editing ----

void NxEuroBox::onKey(char32_t& ch) {
  eurobox::EditState s{digits_->text(), digits_->selStart(), digits_->selLength()};
  ch = eurobox::filterKey(ch, s, s_.decimalPlaces, s_.maxLeftDigits);
  if (s.textChanged) digits_->setText(s.text);
  if (s.selectionChanged) digits_->setSelection(s.selStart, s.selLength);
}

void NxEuroBox::onTextChanged() {
  if (reformatGuard_) return;
  const std::string t = digits_->text();
  const Rgb color = s_.redNegatives && t.find('-') != std::string::npos ? eurobox::kNegativeColor
                                                                        : s_.foreColor.resolved();
  if (digits_->foreColor() != color) digits_->setForeColor(color);
  const std::string a = eurobox::withoutSymbol(t, s_.symbol);
  if (a.empty() || a == "-") {
    s_.amount = Currency{};
  } else if (std::optional<Currency> c = eurobox::currencyOfText(a)) {
    s_.amount = *c;
  } else {
    // Text that is no amount cannot stay; clearing it runs this again and gives 0.
    digits_->setText("");
    return;
  }
  if (!s_.group.empty() && s_.groupRole == grSumMember) updateGroup();
  raiseChange();
}

void NxEuroBox::reformat() {
  FlagScope guard(reformatGuard_);
  double v = 0;
  if (std::optional<double> d = eurobox::doubleOfText(digits_->text())) {
    v = rounder_.round(*d, s_.decimalPlaces);
  } else {
    raiseChange();
  }
  digits_->setText(eurobox::formatAmount(v, s_.decimalPlaces));
}

void NxEuroBox::onDigitsGotFocus() {
  const std::string t = digits_->text();
  if (t.find('.') != std::string::npos) {
    std::string plain;
    for (char c : t)
      if (c != '.') plain.push_back(c);
    digits_->setText(plain);
  }
  digits_->setSelection(0, static_cast<int>(utf8::length(digits_->text())));
}

// A box being placed or loaded raises no events: the host is not listening yet.
void NxEuroBox::raiseChange() {
  if (!loading_) raiseEvent("Change");
}

// ---- group sums ----

std::vector<NxEuroBox*> NxEuroBox::formBoxes() {
  std::vector<NxEuroBox*> out;
  try {
    if (const Extender* ext = site().extender())
      if (std::optional<std::vector<HostedObject*>> all = ext->parentControls()) {
        for (HostedObject* o : *all)
          if (auto* box = dynamic_cast<NxEuroBox*>(o)) out.push_back(box);
        return out;
      }
  } catch (const std::exception&) {
    out.clear();
  }
  // Without the form's collection only this box can be found.
  out.push_back(this);
  return out;
}

void NxEuroBox::updateGroup() {
  const std::string group = s_.group;
  for (RunningSum& r : runningSums)
    if (r.group == group) {
      r.again = true;
      return;
    }
  runningSums.push_back(RunningSum{group, false});
  const std::size_t slot = runningSums.size() - 1;
  try {
    for (int pass = 0; pass < kMaxSumPasses; ++pass) {
      runningSums[slot].again = false;
      const std::vector<NxEuroBox*> boxes = formBoxes();
      double total = 0;
      for (NxEuroBox* b : boxes)
        if (b->s_.group == group && b->s_.groupRole == grSumMember) total += b->value();
      for (NxEuroBox* b : boxes)
        if (b->s_.group == group && b->s_.groupRole == grSumResult) b->setValue(Value{total});
      if (!runningSums[slot].again) break;
    }
  } catch (...) {
    runningSums.pop_back();
    throw;
  }
  runningSums.pop_back();
}

// ---- input ----

void NxEuroBox::raiseMouse(std::string_view event, const PartMouse& m) {
  Value args[] = {Value{m.button}, Value{m.shift}, Value{static_cast<float>(m.x)},
                  Value{static_cast<float>(m.y)}};
  raiseEvent(event, args);
}

void NxEuroBox::onMouseDown(std::int16_t, std::int16_t, double x, double y) {
  downOnSymbol_ = symbol_->hitTest(x, y);
}

void NxEuroBox::onClick() {
  if (downOnSymbol_) raiseEvent("Click");
}

void NxEuroBox::onDblClick() {
  if (downOnSymbol_) raiseEvent("DblClick");
}

// ---- layout and drawing ----

void NxEuroBox::layOut() {
  if (layoutGuard_) return;
  ControlWindow& w = window();
  {
    FlagScope guard(layoutGuard_);
    if (w.width() < eurobox::kMinWidth) w.setWidth(eurobox::kMinWidth);
    if (w.height() < eurobox::kMinHeight) w.setHeight(eurobox::kMinHeight);
    const double sw = w.scaleWidth();
    const double sh = w.scaleHeight();
    border_->setBounds({0, 0, sw, sh});
    symbol_->setCaption(s_.symbol);
    const double m = border_->visible() ? eurobox::kFlatMargin : 0;
    const double g = s_.symbol.empty() ? 0 : eurobox::kSymbolGap;
    const double labelLeft = sw - (m + symbol_->bounds().width + g);
    symbol_->move(labelLeft, m);
    digits_->setBounds({m, m, labelLeft - m - g, sh - 2 * m});
  }
  redraw();
}

void NxEuroBox::redraw() {
  if (drawing_) return;
  FlagScope drawing(drawing_);
  Surface& s = window().surface();
  s.setBackColor(s_.enabled ? s_.backColor.resolved() : eurobox::kDisabledBack);
  s.clear();
  window().parts().paint();
  updateTooltip();
}

void NxEuroBox::updateTooltip() {
  std::string text;
  try {
    if (const Extender* ext = site().extender()) text = ext->toolTipText().value_or(std::string());
  } catch (const std::exception&) {
    text.clear();
  }
  if (s_.tooltip.style == 0) {
    tooltip_.reset();
    if (digitsTip_ != text) {
      digitsTip_ = text;
      symbol_->setToolTip(text);
    }
    return;
  }
  if (text.empty()) {
    tooltip_.reset();
    return;
  }
  try {
    if (!tooltip_) tooltip_ = std::make_unique<CTooltip>(services());
    tooltip_->BackColor = s_.tooltip.backColor;
    tooltip_->Centered = s_.tooltip.centered;
    tooltip_->ForeColor = s_.tooltip.foreColor;
    tooltip_->MultiLine = s_.tooltip.multiLine;
    tooltip_->Style = s_.tooltip.style;
    tooltip_->Icon = s_.tooltip.icon;
    tooltip_->Title = s_.tooltip.title;
    tooltip_->Text = text;
    tooltip_->HwndParentControl = window().handle();
    tooltip_->Create();
  } catch (const std::exception&) {
    tooltip_.reset();
  }
}

// ---- accessibility ----

void NxEuroBox::describeAccessible(AccessibleNode& node) const {
  // The box keeps its window enabled and disables its parts: its own flag says whether it is.
  if (!s_.enabled) {
    node.states |= accstate::kUnavailable;
    node.states &= ~accstate::kFocusable;
  }
  if (!digits_ || !symbol_) return;
  // Each look at the real digits box is a round trip to the window system: once each.
  const std::string shown = digits_->text();
  const bool digitsFocused = digits_->hasFocus();
  const std::string& sign = symbol_->caption();
  node.value = sign.empty() ? shown : shown + " " + sign;  // as Text reads it
  if (digitsFocused) node.states &= ~accstate::kFocused;   // the digits have it
  AccessibleNode digits;
  digits.role = AccessRole::EditableText;
  digits.name = node.name;
  digits.value = shown;
  digits.part = kDigitsPart;
  digits.bounds = digits_->bounds();
  digits.states = node.states & accstate::kUnavailable;
  if (digits_->enabled()) digits.states |= accstate::kFocusable;
  if (digitsFocused) digits.states |= accstate::kFocused;
  node.children.push_back(std::move(digits));
  if (symbol_->visible() && !symbol_->caption().empty()) {
    AccessibleNode symbol;
    symbol.role = AccessRole::StaticText;
    symbol.name = symbol_->caption();
    symbol.bounds = symbol_->bounds();
    symbol.states = accstate::kReadOnly | (node.states & accstate::kUnavailable);
    node.children.push_back(std::move(symbol));
  }
}

}  // namespace nx
