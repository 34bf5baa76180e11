#include "taxid/vatbox/vatnumber.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "core/runtime/errors.h"
#include "core/runtime/services.h"
#include "core/runtime/surface.h"
#include "core/runtime/text.h"
#include "core/runtime/utf8.h"
#include "core/support/flag_scope.h"
#include "engine/nif_validator.h"
#include "taxid/vatbox/vat_keys.h"

namespace nx {

namespace {

using V = NxVATNumber;
using P = Property<V>;

// Positions of the parts, in twips.
constexpr double kCodeLeft = 45;
constexpr double kCodeTop = 30;
constexpr double kCodeWidth = 225;
constexpr double kCodeHeight = 255;
constexpr double kCodeBoxWidth = 445;
constexpr double kNumberTop = 45;
constexpr double kNumberHeight = 240;
constexpr double kButtonLeft = 270;   // the button's top is one pixel below the frame's line
constexpr double kNumberGap = 60;     // between the button and the number box
constexpr double kNumberMargin = 30;  // left without the code box, and at the right
// The list opens this far below the control's top edge.
constexpr double kListOffset = 285;
constexpr std::int16_t kKeyF4 = 115;

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;

std::int32_t pixels(double twips, double perPixel) {
  return static_cast<std::int32_t>(std::lround(twips / perPixel));
}

}  // namespace

const ClassTable<NxVATNumber>& NxVATNumber::classTable() {
  using types::enumeration;
  static const ClassTable<NxVATNumber> table(ClassSpec<NxVATNumber>{
      .name = "NxVATNumber",
      .members =
          {
              P{.name = "Enabled",
                .type = types::Bool,
                .key = "enabled",
                .storeDefault = boolValue(true),
                .newValue = boolValue(true),
                .get = getter(&V::enabled),
                .put = setter(&V::setEnabled)},
              P{.name = "hWnd", .type = types::Long, .get = getter(&V::hWnd)},
              P{.name = "Language",
                .type = enumeration("NX_LANG"),
                .key = "ulng",
                .storeDefault = std::int32_t{0},
                .newValue = std::int32_t{0},
                .get = getter(&V::language),
                .put = setter(&V::setLanguage)},
              directProperty<V>("vatNr", types::String, "tvat", Value{std::string()},
                                Value{std::string()}, &V::vatNr, &V::setVatNr,
                                [](V& c, const Value& v) { c.number_->setText(toText(v)); }),
              P{.name = "Valid", .type = types::Bool, .get = getter(&V::valid)},
              [] {
                // A stored code is shown as it is, known to the table or not.
                P p = directProperty<V>("VatCountry", types::String, "defCTY",
                                        Value{std::string("AT")}, Value{std::string("AT")},
                                        &V::vatCountry, &V::setVatCountry,
                                        [](V& c, const Value& v) { c.showCode(toText(v)); });
                p.sample = Value{std::string("DE")};
                return p;
              }(),
              colorProperty<V>("ForeColor", "fcolor", 0, 0, &V::foreColor, &V::setForeColor),
              colorProperty<V>("BackColor", "bcolor", 0xFFFFFF, 0xFFFFFF, &V::backColor,
                               &V::setBackColor),
              colorProperty<V>("BorderColor", "bbcolor", 0, 0, &V::borderColor, &V::setBorderColor),
              colorProperty<V>("FocusBorder", "brcolor", 0xB7A49E, 0xB7A49E, &V::focusBorder,
                               &V::setFocusBorder),
              colorProperty<V>("BadVatColor", "bvcolor", 0x0000FF, 0x0000FF, &V::badVatColor,
                               &V::setBadVatColor),
              colorProperty<V>("GoodVatColor", "gvcolor", 0xFF0000, 0xFF0000, &V::goodVatColor,
                               &V::setGoodVatColor),
              P{.name = "EuroCountry", .type = types::String, .get = getter(&V::euroCountry)},
              P{.name = "CountrySelect",
                .type = types::Bool,
                .key = "canSelect",
                .storeDefault = boolValue(true),
                .newValue = boolValue(true),
                .get = getter(&V::countrySelect),
                .put = setter(&V::setCountrySelect)},
              P{.name = "TypeCheck",
                .type = types::Bool,
                .key = "tcheck",
                .storeDefault = boolValue(false),
                .newValue = boolValue(false),
                .get = getter(&V::typeCheck),
                .put = setter(&V::setTypeCheck)},
              P{.name = "FindNumber",
                .type = types::Bool,
                .key = "vguess",
                .storeDefault = boolValue(true),
                .newValue = boolValue(true),
                .get = getter(&V::findNumber),
                .put = setter(&V::setFindNumber)},
              P{.name = "xtrVar",
                .type = types::Variant,
                .key = "xtrVar",
                .newValue = Value{},
                .sample = Value{std::string("tag")},
                .get = [](const V& c) { return c.xtrVar(); },
                .put = [](V& c, const Value& v) { c.setXtrVar(v); }},
          },
      .events = {{"Change"}, {"ValidNumber"}},
      .enums = {{"NX_LANG", {{"NX_EN", taxid::NX_EN}, {"NX_PT", taxid::NX_PT}}}},
      .defaultEvent = "Change",
      .readOrder = {"enabled", "defCTY", "canSelect", "fcolor", "bcolor", "bbcolor", "bvcolor",
                    "gvcolor", "brcolor", "ulng", "tcheck", "vguess", "tvat", "xtrVar"},
      .writeOrder = {"enabled", "defCTY", "canSelect", "fcolor", "bcolor", "bbcolor", "bvcolor",
                     "gvcolor", "brcolor", "ulng", "tcheck", "vguess", "tvat", "xtrVar"},
      .access = {.role = AccessRole::EditableText},
  });
  return table;
}

NxVATNumber::NxVATNumber(ControlSite& site) : Control(site) {
  SystemServices& sv = services();
  lease_ = std::make_unique<vatbox::VatLease>([&sv] {
    vatbox::VatPictures p;
    for (int i = 0; i < 3; ++i) p.buttons[i] = sv.loadResourcePicture("BT_" + std::to_string(i));
    return p;
  });
  makeParts();
}

NxVATNumber::~NxVATNumber() {
  removeHook();
  list_.reset();
  codeTip_.reset();
}

bool NxVATNumber::flagsLoaded() {
  const auto p = vatbox::VatShared::objects();
  return p && p->flagsLoaded;
}

std::int32_t NxVATNumber::instances() {
  return vatbox::VatShared::instanceCount();
}

void NxVATNumber::makeParts() {
  PartFactory& parts = window().parts();
  FontRef font = services().createFont(FontDesc{.name = "Tahoma"});
  window().setFont(font);
  frame_ = &parts.createShape(kFramePart);
  frame_->setBounds({0, 0, 0, kHeight});
  frame_->setFilled(false);
  codeBox_ = &parts.createShape(kCodeBoxPart);
  codeBox_->setBounds({0, 0, kCodeBoxWidth, kHeight});
  codeBox_->setFilled(true);
  codeBox_->setFillColor(kWhite);
  codeBox_->setVisible(false);  // until the first layout
  code_ = &parts.createLabel(kCodePart);
  // The label reaches under the drop-down button, which is drawn over it: a code that a
  // display's font makes a little wider than its room is covered at its end, not cut off a
  // letter early. Its tooltip and its place for accessibility clients stay the room itself.
  code_->setBounds({kCodeLeft, kCodeTop, kCodeBoxWidth - kCodeLeft, kCodeHeight});
  code_->setTransparent(true);
  code_->setFont(font);
  code_->setCaption("AT");
  button_ = &parts.createPicture(kButtonPart);
  button_->move(kButtonLeft, window().twipsPerPixelY());
  if (auto p = lease_->objects()) button_->setPicture(p->buttons[0]);
  if (!button_->picture()) button_->resize(165, 270);
  number_ = &parts.createTextBox(kNumberPart);
  number_->setBounds({kNumberMargin, kNumberTop, 0, kNumberHeight});
  number_->setFont(font);
  parts.setRedrawHandler([this] {
    if (!layoutGuard_) redraw();
  });

  TextBoxEvents& e = number_->events();
  e.keyFilter = [this](char32_t& ch) { onKey(ch); };
  // What the number box's input changes is announced to accessibility clients when it ends.
  e.keyDown = [this](std::int16_t& code, std::int16_t shift) {
    AnnounceScope announce(*this);
    onKeyDown(code, shift);
  };
  e.changed = [this] {
    AnnounceScope announce(*this);
    onTextChanged();
  };
  e.gotFocus = [this] {
    AnnounceScope announce(*this);
    onNumberFocus(true);
  };
  e.lostFocus = [this] {
    AnnounceScope announce(*this);
    onNumberFocus(false);
  };
}

// ---- lifecycle ----

void NxVATNumber::onInitProperties() {
  FlagScope quiet(loading_);
  {
    FlagScope guard(layoutGuard_);
    showCode("AT");
    setEnabled(true);
    setCountrySelect(true);
    setForeColor(0);
    setBackColor(0xFFFFFF);
    setBorderColor(0);
    setFocusBorder(0xB7A49E);
    setBadVatColor(0x0000FF);
    setGoodVatColor(0xFF0000);
    setLanguage(taxid::NX_EN);
    setTypeCheck(false);
    setFindNumber(true);
    setXtrVar(Value{});
    number_->setText("");
  }
  layOut();
}

void NxVATNumber::onReadProperties(PropertyBag& bag) {
  FlagScope quiet(loading_);
  {
    FlagScope guard(layoutGuard_);
    readStored(bag);
  }
  layOut();
}

void NxVATNumber::onTerminate() {
  terminated_ = true;
  removeHook();
  if (list_) list_->cancel();
  codeTip_.reset();
  lease_.reset();
}

void NxVATNumber::onFocusChanged() {
  // The control passes its focus on to the number box. While the list is open the focus is
  // the list's, and the list closes itself when it loses the activation.
  if (dropping_) return;
  if (hasFocus() && !number_->hasFocus()) number_->setFocus();
}

// ---- properties ----

bool NxVATNumber::enabled() const {
  return window().enabled();
}

void NxVATNumber::setEnabled(bool on) {
  window().setEnabled(on);
  number_->setEnabled(on);
  notifyChanged("enabled");
  layOut();
}

std::int32_t NxVATNumber::hWnd() const {
  return static_cast<std::int32_t>(window().handle());
}

void NxVATNumber::setLanguage(std::int32_t lang) {
  s_.language = lang;
  notifyChanged("ulng");
}

std::string NxVATNumber::vatNr() const {
  return number_->text();
}

void NxVATNumber::setVatNr(std::string text) {
  number_->setText(text);
  notifyChanged("tvat");
}

std::string NxVATNumber::vatCountry() const {
  return code_->caption();
}

void NxVATNumber::setVatCountry(std::string code) {
  code = upperAscii(std::move(code));
  if (taxid::countryIndex(code) < 0) return;
  showCode(code);
  number_->setText("");
  notifyChanged("defCTY");
}

void NxVATNumber::setForeColor(OleColor c) {
  s_.foreColor.set(c, services());
  number_->setForeColor(s_.foreColor.resolved());
  notifyChanged("fcolor");
}

void NxVATNumber::setBackColor(OleColor c) {
  s_.backColor.set(c, services());
  notifyChanged("bcolor");
  layOut();
}

void NxVATNumber::setBorderColor(OleColor c) {
  s_.borderColor.set(c, services());
  notifyChanged("bbcolor");
  layOut();
}

void NxVATNumber::setFocusBorder(OleColor c) {
  s_.focusBorder.set(c, services());
  notifyChanged("brcolor");
  layOut();
}

void NxVATNumber::setBadVatColor(OleColor c) {
  s_.badVatColor.set(c, services());
  notifyChanged("bvcolor");
}

void NxVATNumber::setGoodVatColor(OleColor c) {
  s_.goodVatColor.set(c, services());
  notifyChanged("gvcolor");
}

std::string NxVATNumber::euroCountry() const {
  return std::string(taxid::countryName(taxid::countryIndex(code_->caption()), s_.language));
}

void NxVATNumber::setCountrySelect(bool on) {
  s_.countrySelect = on;
  layOut();
  notifyChanged("canSelect");
}

void NxVATNumber::setTypeCheck(bool on) {
  s_.typeCheck = on;
  notifyChanged("tcheck");
}

void NxVATNumber::setFindNumber(bool on) {
  s_.findNumber = on;
  notifyChanged("vguess");
}

void NxVATNumber::setXtrVar(const Value& v) {
  s_.xtrVar = v;
  notifyChanged("xtrVar");
}

// ---- the number box ----

void NxVATNumber::raise(std::string_view event) {
  if (!loading_) raiseEvent(event);
}

void NxVATNumber::onKey(char32_t& ch) {
  ch = vatbox::filterVatKey(ch, number_->text(), s_.findNumber);
  if (ch == 13) {
    ch = 0;  // the box itself has nothing to do with Enter
    enter();
  }
}

void NxVATNumber::onKeyDown(std::int16_t& keyCode, std::int16_t shift) {
  const bool open = keyCode == kKeyF4 || (keyCode == keys::kDown && (shift & shiftkeys::kAlt));
  if (open && s_.countrySelect && window().enabled()) {
    keyCode = 0;
    dropDown();
  }
}

void NxVATNumber::enter() {
  const std::string text = number_->text();
  if (text.find('?') != std::string::npos) {
    const std::string r = taxid::completeNumber(text, taxid::countryIndex(code_->caption()));
    if (r.empty()) {
      number_->setSelection(0, static_cast<int>(utf8::length(text)));
      return;
    }
    number_->setText(r);
    number_->setForeColor(s_.goodVatColor.resolved());
    number_->setSelection(static_cast<int>(utf8::length(r)), 0);  // typing goes on at the end
    return;
  }
  if (!s_.typeCheck) validate();
}

void NxVATNumber::onTextChanged() {
  if (s_.typeCheck) {
    validate();
  } else {
    checkFailed_ = false;
    if (number_->foreColor() != s_.foreColor.resolved())
      number_->setForeColor(s_.foreColor.resolved());
  }
  raise("Change");
}

void NxVATNumber::validate() {
  const bool ok = taxid::checkNumber(number_->text(), taxid::countryIndex(code_->caption()));
  number_->setForeColor(ok ? s_.goodVatColor.resolved() : s_.badVatColor.resolved());
  s_.valid = ok;
  checkFailed_ = !ok;
  if (ok) raise("ValidNumber");
}

void NxVATNumber::onNumberFocus(bool gained) {
  if (dropping_) return;  // the list took the focus for a while; settled when it closes
  hasFocusFlag_ = gained;
  if (!gained) validate();
  layOut();
}

// ---- the code and the list ----

void NxVATNumber::showCode(const std::string& code) {
  code_->setCaption(code);
  const std::string name(taxid::countryName(taxid::countryIndex(code), s_.language));
  code_->setToolTip(name);
  const WindowHandle h = window().handle();
  if (!h) return;
  if (!codeTip_) codeTip_ = std::make_unique<AreaTooltip>(services(), h);
  const ControlWindow& w = window();
  const PartRect r = codeRoom();
  const Rect area{pixels(r.left, w.twipsPerPixelX()), pixels(r.top, w.twipsPerPixelY()),
                  pixels(r.left + r.width, w.twipsPerPixelX()),
                  pixels(r.top + r.height, w.twipsPerPixelY())};
  codeTip_->set(area, name);
}

void NxVATNumber::setButtonLook(int look) {
  if (look == buttonLook_ && button_->picture()) return;
  buttonLook_ = look;
  if (auto p = lease_ ? lease_->objects() : nullptr)
    if (p->buttons[look]) button_->setPicture(p->buttons[look]);
}

void NxVATNumber::onMouseDown(std::int16_t button, std::int16_t, double x, double y) {
  downOnButton_ = button == kLeftButton && s_.countrySelect && button_->hitTest(x, y);
  upOnButton_ = false;
  if (downOnButton_) setButtonLook(2);
}

void NxVATNumber::onMouseUp(std::int16_t button, std::int16_t, double x, double y) {
  if (button != kLeftButton || !downOnButton_) return;
  upOnButton_ = button_->hitTest(x, y);
  downOnButton_ = false;  // released: the layout shows the button up again
  setButtonLook(0);
  layOut();
}

void NxVATNumber::onClick() {
  const bool open = upOnButton_;
  downOnButton_ = upOnButton_ = false;
  if (open && window().enabled()) dropDown();
}

void NxVATNumber::dropDown() {
  if (dropping_ || terminated_) return;
  if (list_ && list_->visible()) return;
  ControlWindow& w = window();
  const double tx = w.twipsPerPixelX();
  const double ty = w.twipsPerPixelY();

  // Under the control, kept on the screen's work area: above the control when there is no
  // room below, moved in from the right edge.
  const Point origin = w.screenToClient(Point{0, 0});
  const Point client{-origin.x, -origin.y};
  Rect b{client.x, client.y + pixels(kListOffset, ty), 0, 0};
  b.right = b.left + pixels(vatbox::kWindowWidth, tx);
  b.bottom = b.top + pixels(vatbox::kWindowHeight, ty);
  if (const std::optional<Rect> work = services().workArea(client)) {
    if (b.bottom > work->bottom && client.y - b.height() >= work->top) {
      const std::int32_t h = b.height();
      b.top = client.y - h;
      b.bottom = client.y;
    }
    if (b.right > work->right) {
      const std::int32_t shift = std::min(b.right - work->right, b.left - work->left);
      b.left -= std::max(0, shift);
      b.right -= std::max(0, shift);
    }
  }

  vatbox::DropDownOptions o;
  o.owner = w.handle();
  o.bounds = b;
  o.twipsPerPixelX = tx;
  o.twipsPerPixelY = ty;
  o.language = s_.language;
  o.frameColor = s_.focusBorder.resolved();
  o.font = w.font();
  if (auto p = lease_ ? lease_->objects() : nullptr) {
    if (!p->flagsLoaded) {
      p->flags.clear();
      for (int i = 0; i < vatbox::kRowCount; ++i)
        p->flags.push_back(
            services().loadResourcePicture("FLG_" + std::string(taxid::countryCode(i))));
      p->flagsLoaded = true;
    }
    o.flags = p->flags;
  }
  list_ = std::make_unique<vatbox::CountryDropDown>(services(), std::move(o));

  const Rect shown = list_->bounds();
  hookLeft_ = shown.left * tx;
  hookTop_ = shown.top * ty;
  hookRight_ = shown.right * tx;
  hookBottom_ = shown.bottom * ty;
  closeFlag_ = false;

  const bool hadFocus = hasFocusFlag_;
  std::string result;
  {
    FlagScope open(dropping_);
    setButtonLook(2);
    layOut();
    announceChanges();  // clients hear of the list before its modal run
    try {
      hook_ = services().installMouseHook([this](const MouseHookEvent& e) { return onHook(e); });
    } catch (const HostError&) {
      hook_.reset();  // the list still closes when it loses the activation
    }
    try {
      result = list_->showModal();
    } catch (...) {
      list_.reset();
      removeHook();
      throw;
    }
    list_.reset();
    if (!terminated_ && !result.empty()) {
      showCode(result);
      number_->setText("");
      number_->setFocus();
      raise("Change");
    }
    removeHook();
  }
  if (terminated_) return;
  // Settle the focus the list borrowed: the number box may have it back or not.
  const bool now = number_->hasFocus();
  hasFocusFlag_ = now;
  if (hadFocus && !now) validate();
  setButtonLook(0);
  layOut();
}

bool NxVATNumber::onHook(const MouseHookEvent& e) {
  namespace mm = mouse_message;
  if (e.message == mm::kNcLeftDown || e.message == mm::kNcRightDown ||
      e.message == mm::kNcMiddleDown) {
    closeFlag_ = true;
  } else if (e.message == mm::kLeftDown) {
    const double x = e.screen.x * window().twipsPerPixelX();
    const double y = e.screen.y * window().twipsPerPixelY();
    if (x < hookLeft_ || x > hookRight_ || y < hookTop_ || y > hookBottom_) closeFlag_ = true;
  }
  if (closeFlag_ && list_ && list_->visible()) list_->hide();
  return false;  // the click goes on to its window
}

void NxVATNumber::removeHook() {
  if (hook_) hook_->remove();
  hook_.reset();
}

// ---- layout and drawing ----

void NxVATNumber::layOut() {
  if (layoutGuard_) return;
  ControlWindow& w = window();
  {
    FlagScope guard(layoutGuard_);
    if (w.height() != kHeight) w.setHeight(kHeight);
    const bool select = s_.countrySelect;
    button_->setVisible(select);
    code_->setVisible(select);
    codeBox_->setVisible(select);
    const bool on = w.enabled();
    if (on) {
      const Rgb border =
          (hasFocusFlag_ || dropping_) ? s_.focusBorder.resolved() : s_.borderColor.resolved();
      codeBox_->setBorderColor(border);
      frame_->setBorderColor(border);
      setButtonLook(hasFocusFlag_ ? 1 : (dropping_ || downOnButton_) ? 2 : 0);
      w.surface().setBackColor(s_.backColor.resolved());
      number_->setBackColor(s_.backColor.resolved());
      codeBox_->setFillColor(kWhite);
      code_->setForeColor(kBlack);
    } else {
      w.surface().setBackColor(kDisabledBack);
      number_->setBackColor(kDisabledBack);
      codeBox_->setFillColor(kDisabledBack);
      code_->setForeColor(kDisabledLine);
      codeBox_->setBorderColor(kDisabledLine);
      frame_->setBorderColor(kDisabledLine);
    }
    const double sw = w.scaleWidth();
    const PartRect bt = button_->bounds();
    const double left = select ? bt.left + bt.width + kNumberGap : kNumberMargin;
    number_->setBounds({left, kNumberTop, std::max(0.0, sw - left - kNumberMargin), kNumberHeight});
    frame_->setBounds({0, 0, sw, w.scaleHeight()});
  }
  redraw();
}

void NxVATNumber::redraw() {
  if (drawing_) return;
  FlagScope drawing(drawing_);
  Surface& s = window().surface();
  s.setBackColor(window().enabled() ? s_.backColor.resolved() : kDisabledBack);
  s.clear();
  window().parts().paint();
}

PartRect NxVATNumber::codeRoom() const {
  const PartRect r = code_->bounds();
  return {r.left, r.top, std::min(r.width, kCodeWidth), r.height};
}

// ---- accessibility ----

void NxVATNumber::describeAccessible(AccessibleNode& node) const {
  if (!number_ || !code_) return;
  const std::string code = code_->caption();
  const int index = taxid::countryIndex(code);
  const std::string country = index >= 0 ? std::string(taxid::countryName(index, s_.language)) : "";
  const bool enabled = window().enabled();
  // Each look at the real number box is a round trip to the window system: once each.
  const std::string number = number_->text();
  const bool boxFocused = number_->hasFocus();
  const bool invalid = !number.empty() && checkFailed_;
  // The protocol has no state for a failed validation: the description says it first.
  const bool pt = s_.language == taxid::NX_PT;
  node.description = invalid ? (pt ? "Número inválido, " : "Invalid number, ") + country : country;
  if (invalid) node.states |= accstate::kInvalid;
  node.value = number;
  if (boxFocused) node.states &= ~accstate::kFocused;  // the number box has it

  AccessibleNode box;
  box.role = AccessRole::EditableText;
  box.name = node.name;
  box.value = number;
  box.description = node.description;
  box.part = kNumberPart;
  box.bounds = number_->bounds();
  box.states = node.states & (accstate::kUnavailable | accstate::kInvalid);
  if (enabled) box.states |= accstate::kFocusable;
  if (boxFocused) box.states |= accstate::kFocused;
  node.children.push_back(std::move(box));

  AccessibleNode shown;
  shown.role = AccessRole::StaticText;
  shown.name = country;
  shown.value = code;
  shown.bounds = codeRoom();
  shown.states = accstate::kReadOnly | (node.states & accstate::kUnavailable);
  node.children.push_back(std::move(shown));

  // From its creation to its unloading, the list is the control's while the modal run lasts.
  const bool open = list_ && (dropping_ || list_->visible());
  AccessibleNode button;
  button.role = AccessRole::PushButton;
  button.name = pt ? "Escolher o país" : "Choose the country";
  button.bounds = button_->bounds();
  button.states = open ? accstate::kExpanded : accstate::kCollapsed;
  if (!s_.countrySelect || !button_->visible()) button.states |= accstate::kInvisible;
  if (!enabled) button.states |= accstate::kUnavailable;
  if (enabled && s_.countrySelect && !open) {
    button.actionName = pt ? "Abrir" : "Open";
    NxVATNumber* self = const_cast<NxVATNumber*>(this);
    button.action = [self] {
      AnnounceScope announce(*self);
      self->dropDown();
    };
  }
  node.children.push_back(std::move(button));

  if (open) {
    AccessibleNode list = list_->accessible();
    list.popup = list_->handle();
    node.children.push_back(std::move(list));
  }
}

}  // namespace nx
