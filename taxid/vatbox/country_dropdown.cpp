#include "taxid/vatbox/country_dropdown.h"

#include <cmath>
#include <utility>

#include "core/runtime/services.h"
#include "core/runtime/surface.h"
#include "engine/nif_validator.h"

namespace nx::vatbox {

namespace {

// The scroll bar's width in pixels, as the platform draws vertical bars.
constexpr double kScrollBarPixels = 17;

std::string indexed(const char* name, int i) {
  return std::string(name) + std::to_string(i);
}

}  // namespace

CountryDropDown::CountryDropDown(SystemServices& services, DropDownOptions options)
    : services_(services), o_(std::move(options)) {
  PopupCallbacks callbacks;
  callbacks.mouse = [this](const PopupMouseEvent& e) { onMouse(e); };
  callbacks.key = [this](std::uint16_t key) { onKey(key); };
  callbacks.deactivated = [this] { cancel(); };
  callbacks.accessible = [this] { return accessible(); };
  popup_ = services_.createPopupWindow(PopupParams{o_.owner, o_.bounds}, std::move(callbacks));
  load();
}

CountryDropDown::~CountryDropDown() {
  tip_.reset();
  popup_.reset();
}

void CountryDropDown::load() {
  const Rect b = popup_->bounds();
  ListGeometry g;
  g.innerWidth = b.width() * o_.twipsPerPixelX;
  g.innerHeight = b.height() * o_.twipsPerPixelY;
  g.scrollBarWidth = kScrollBarPixels * o_.twipsPerPixelX;
  g.pixelWidth = o_.twipsPerPixelX;
  g.pixelHeight = o_.twipsPerPixelY;
  for (const PictureRef& flag : o_.flags)
    if (flag) {
      g.flagWidth = flag->widthPixels() * o_.twipsPerPixelX;
      g.flagHeight = flag->heightPixels() * o_.twipsPerPixelY;
      break;
    }
  list_ = CountryList(g);

  PartFactory& parts = popup_->parts();
  parts.setRedrawHandler([this] { dirty_ = true; });
  Surface& surface = popup_->surface();
  if (o_.font) surface.setFont(o_.font);
  surface.setBackColor(kListBack);

  highlight_ = &parts.createLabel("selLbl");
  highlight_->setBackColor(kHighlight);
  for (int i = 0; i < kRowCount; ++i) {
    PicturePart& flag = parts.createPicture(indexed("flag", i));
    if (i < static_cast<int>(o_.flags.size())) flag.setPicture(o_.flags[i]);
    flags_.push_back(&flag);
    LabelPart& code = parts.createLabel(indexed("PX", i));
    code.setTransparent(true);
    code.setForeColor(kCodeColor);
    if (o_.font) code.setFont(o_.font);
    code.setAutoSize(true);
    code.setCaption(taxid::countryCode(i));
    codes_.push_back(&code);
  }
  capture_ = &parts.createLabel("capLbl");
  capture_->setTransparent(true);
  frame_ = &parts.createShape("wBorder");
  frame_->setBorderColor(o_.frameColor);
  frame_->setBounds({0, 0, g.listWidth(), g.innerHeight});

  bar_ = &parts.createScrollBar("sBar");
  bar_->setBounds({g.listWidth(), 0, g.scrollBarWidth, g.innerHeight});
  bar_->setRange(0, static_cast<std::int32_t>(std::lround(g.scrollMax())));
  bar_->setSmallChange(static_cast<std::int32_t>(std::lround(g.smallStep())));
  bar_->setLargeChange(static_cast<std::int32_t>(std::lround(g.largeStep())));
  bar_->setValue(0);
  bar_->events().changed = [this] {
    list_.setScroll(bar_->value());
    placeRows();
    flush();
  };
  bar_->events().scrolling = [this] {
    dragging_ = true;
    list_.setScroll(bar_->value());
    placeRows();
    flush();
    dragging_ = false;
  };

  placeRows();
  updateToolTip();
  redraw();
}

// Puts the rows, the highlight and the capture label where the scroll position shows them.
void CountryDropDown::placeRows() {
  const ListGeometry& g = list_.geometry();
  const double top = -list_.scroll();
  batch_ = true;
  const double textHeight = popup_->surface().textHeight("AT");
  for (int i = 0; i < kRowCount; ++i) {
    flags_[i]->move(g.flagLeft(), top + g.flagTop(i));
    if (!flags_[i]->picture()) flags_[i]->resize(g.flagWidth, g.flagHeight);
    codes_[i]->move(g.codeLeft(), top + g.flagTop(i) + (g.flagHeight - textHeight) / 2);
  }
  highlight_->setBounds({0, top + list_.highlightTop(), g.listWidth(), g.highlightHeight()});
  capture_->setBounds({0, top, g.listWidth(), g.listHeight()});
  batch_ = false;
  dirty_ = true;
}

void CountryDropDown::showHighlight() {
  placeRows();
  updateToolTip();
  popup_->announce(AccessEvent::Selection, list_.selected() + 1);
  popup_->announce(AccessEvent::Focus, list_.selected() + 1);
}

void CountryDropDown::updateToolTip() {
  const int index = taxid::countryIndex(taxid::countryCode(list_.selected()));
  tipText_ = std::string(taxid::countryName(index, o_.language));
  capture_->setToolTip(tipText_);
  if (!popup_->handle()) return;
  if (!tip_) tip_ = std::make_unique<AreaTooltip>(services_, popup_->handle());
  const ListGeometry& g = list_.geometry();
  const Rect area{0, 0, static_cast<std::int32_t>(std::lround(g.listWidth() / o_.twipsPerPixelX)),
                  popup_->bounds().height()};
  tip_->set(area, tipText_);
}

void CountryDropDown::redraw() {
  Surface& s = popup_->surface();
  s.setBackColor(kListBack);
  s.clear();
  popup_->parts().paint();
  popup_->refresh();
  dirty_ = false;
}

void CountryDropDown::flush() {
  if (dirty_ && !batch_) redraw();
}

std::string CountryDropDown::showModal() {
  redraw();
  popup_->runModal();
  return result_;
}

void CountryDropDown::hide() {
  popup_->close();
}

void CountryDropDown::cancel() {
  result_.clear();
  popup_->close();
}

bool CountryDropDown::visible() const {
  return popup_->visible();
}

Rect CountryDropDown::bounds() const {
  return popup_->bounds();
}

WindowHandle CountryDropDown::handle() const {
  return popup_->handle();
}

void CountryDropDown::accept() {
  result_ = std::string(taxid::countryCode(list_.selected()));
  popup_->close();
}

void CountryDropDown::onMouse(const PopupMouseEvent& e) {
  const ListGeometry& g = list_.geometry();
  const double x = e.client.x * o_.twipsPerPixelX;
  const double y = e.client.y * o_.twipsPerPixelY + list_.scroll();
  const bool onList =
      x >= 0 && x < g.listWidth() && e.client.y >= 0 && e.client.y < popup_->bounds().height();
  using Kind = PopupMouseEvent::Kind;
  if (onList && list_.mouseMove(x, y)) showHighlight();
  if (e.button == MouseButton::Left) {
    if (e.kind == Kind::Down) pressed_ = onList;
    if (e.kind == Kind::Up) {
      const bool click = pressed_ && onList;
      pressed_ = false;
      if (click) accept();
    }
  }
  flush();
}

void CountryDropDown::onKey(std::uint16_t key) {
  switch (list_.key(key)) {
    case ListKey::Moved: {
      const auto value = static_cast<std::int32_t>(std::lround(list_.scroll()));
      if (bar_->value() != value) bar_->setValue(value);  // places the rows
      showHighlight();
      break;
    }
    case ListKey::Accept:
      accept();
      break;
    case ListKey::Cancel:
      cancel();
      break;
    case ListKey::None:
      break;
  }
  flush();
}

void CountryDropDown::choose(int row) {
  if (row < 0 || row >= kRowCount) return;
  result_ = std::string(taxid::countryCode(row));
  popup_->close();
}

AccessibleNode CountryDropDown::accessible() const {
  const ListGeometry& g = list_.geometry();
  const bool pt = o_.language == taxid::NX_PT;
  const double shownHeight = popup_->bounds().height() * o_.twipsPerPixelY;
  AccessibleNode node;
  node.role = AccessRole::List;
  node.name = pt ? "Países" : "Countries";
  node.value = std::string(taxid::countryCode(list_.selected()));
  node.states = accstate::kFocusable | accstate::kFocused;
  node.bounds = {0, 0, g.listWidth(), shownHeight};
  CountryDropDown* self = const_cast<CountryDropDown*>(this);
  for (int row = 0; row < kRowCount; ++row) {
    AccessibleNode item;
    item.role = AccessRole::ListItem;
    item.value = std::string(taxid::countryCode(row));
    item.name = item.value + " " + std::string(taxid::countryName(row, o_.language));
    const double top = g.flagTop(row) - g.rowGap() - list_.scroll();
    item.bounds = {0, top, g.listWidth(), g.pitch()};
    item.states = accstate::kSelectable | accstate::kFocusable;
    if (row == list_.selected()) item.states |= accstate::kSelected | accstate::kFocused;
    if (top + g.pitch() <= 0 || top >= shownHeight) item.states |= accstate::kInvisible;
    item.actionName = pt ? "Escolher" : "Choose";
    item.action = [self, row] { self->choose(row); };
    node.children.push_back(std::move(item));
  }
  return node;
}

}  // namespace nx::vatbox
