#include "platform/sim/sim_parts.h"

#include <algorithm>

#include "core/runtime/utf8.h"

namespace nx::sim {

// ---- Text box -------------------------------------------------------------------------------

SimTextBox::SimTextBox(SimPartFactory& owner, std::string name)
    : TextBoxPart(owner, std::move(name)), sim_(owner) {}

std::string SimTextBox::text() const {
  return utf8::encode(text_);
}

void SimTextBox::changed(const std::u32string& before) {
  if (text_ != before && events_.changed) events_.changed();
}

void SimTextBox::setText(std::string_view utf8) {
  std::u32string next = utf8::decode(utf8);
  if (next == text_) return;
  const std::u32string before = text_;
  text_ = std::move(next);
  caret_ = anchor_ = 0;
  changed(before);
}

int SimTextBox::selStart() const {
  return static_cast<int>(std::min(caret_, anchor_));
}

int SimTextBox::selLength() const {
  return static_cast<int>(caret_ > anchor_ ? caret_ - anchor_ : anchor_ - caret_);
}

void SimTextBox::setSelection(int start, int length) {
  const int size = static_cast<int>(text_.size());
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  anchor_ = static_cast<std::size_t>(start);
  caret_ = static_cast<std::size_t>(start + length);
}

void SimTextBox::setEnabled(bool on) {
  enabled_ = on;
  if (!on && hasFocus()) sim_.moveFocus(nullptr);
}

void SimTextBox::visibleChanged() {
  if (!visible() && hasFocus()) sim_.moveFocus(nullptr);
}

bool SimTextBox::setFocus() {
  if (!enabled_ || !visible()) return false;
  sim_.moveFocus(this);
  return true;
}

bool SimTextBox::hasFocus() const {
  return sim_.focused() == this;
}

bool SimTextBox::takesInput() const {
  return enabled_ && visible() && hasFocus();
}

void SimTextBox::replaceSelection(std::u32string_view with) {
  const auto start = static_cast<std::size_t>(selStart());
  const auto length = static_cast<std::size_t>(selLength());
  text_.replace(start, length, with);
  caret_ = anchor_ = start + with.size();
}

bool SimTextBox::typeChar(char32_t ch) {
  if (!takesInput()) return false;
  if (events_.keyFilter) events_.keyFilter(ch);
  // The filter may have moved the focus away or changed the text; the character goes in where
  // the selection is now.
  if (ch == 0) return true;
  const std::u32string before = text_;
  if (ch == keys::kBack) {
    if (selLength() > 0) {
      replaceSelection({});
    } else if (caret_ > 0) {
      text_.erase(caret_ - 1, 1);
      caret_ = anchor_ = caret_ - 1;
    }
  } else if (ch >= 0x20 && ch != 0x7F) {
    const char32_t one[1] = {ch};
    replaceSelection(std::u32string_view(one, 1));
  }
  changed(before);
  return true;
}

bool SimTextBox::typeText(std::string_view utf8) {
  for (char32_t ch : utf8::decode(utf8))
    if (!typeChar(ch)) return false;
  return true;
}

bool SimTextBox::keyDown(std::int16_t keyCode, std::int16_t shift) {
  if (!takesInput()) return false;
  if (events_.keyDown) events_.keyDown(keyCode, shift);
  if (keyCode == 0 || !takesInput()) return true;
  const bool extend = (shift & shiftkeys::kShift) != 0;
  const std::size_t lo = static_cast<std::size_t>(selStart());
  const std::size_t hi = lo + static_cast<std::size_t>(selLength());
  auto moveTo = [&](std::size_t pos) {
    caret_ = pos;
    if (!extend) anchor_ = pos;
  };
  switch (keyCode) {
    case keys::kDelete: {
      const std::u32string before = text_;
      if (hi > lo) {
        replaceSelection({});
      } else if (caret_ < text_.size()) {
        text_.erase(caret_, 1);
      }
      changed(before);
      break;
    }
    case keys::kLeft:
      if (!extend && hi > lo)
        moveTo(lo);
      else if (caret_ > 0)
        moveTo(caret_ - 1);
      break;
    case keys::kRight:
      if (!extend && hi > lo)
        moveTo(hi);
      else if (caret_ < text_.size())
        moveTo(caret_ + 1);
      break;
    case keys::kHome:
      moveTo(0);
      break;
    case keys::kEnd:
      moveTo(text_.size());
      break;
    default:
      break;
  }
  return true;
}

void SimTextBox::mouseDown(std::int16_t button, double x, double y, std::int16_t shift) {
  if (!enabled_ || !visible()) return;
  if (!hasFocus()) setFocus();
  if (events_.mouseDown) events_.mouseDown(PartMouse{button, shift, x, y});
}

void SimTextBox::mouseUp(std::int16_t button, double x, double y, std::int16_t shift) {
  if (!enabled_ || !visible()) return;
  if (events_.mouseUp) events_.mouseUp(PartMouse{button, shift, x, y});
}

void SimTextBox::mouseMove(std::int16_t button, double x, double y, std::int16_t shift) {
  if (!enabled_ || !visible()) return;
  if (events_.mouseMove) events_.mouseMove(PartMouse{button, shift, x, y});
}

// ---- Scroll bar -----------------------------------------------------------------------------

SimScrollBar::SimScrollBar(SimPartFactory& owner, std::string name)
    : ScrollBarPart(owner, std::move(name)), sim_(owner) {}

void SimScrollBar::setEnabled(bool on) {
  enabled_ = on;
  if (!on && hasFocus()) sim_.moveFocus(nullptr);
}

void SimScrollBar::visibleChanged() {
  if (!visible() && hasFocus()) sim_.moveFocus(nullptr);
}

bool SimScrollBar::setFocus() {
  if (!takesInput()) return false;
  sim_.moveFocus(this);
  return true;
}

bool SimScrollBar::hasFocus() const {
  return sim_.focused() == this;
}

bool SimScrollBar::lineUp() {
  if (!takesInput()) return false;
  step(-smallChange());
  return true;
}

bool SimScrollBar::lineDown() {
  if (!takesInput()) return false;
  step(smallChange());
  return true;
}

bool SimScrollBar::pageUp() {
  if (!takesInput()) return false;
  step(-largeChange());
  return true;
}

bool SimScrollBar::pageDown() {
  if (!takesInput()) return false;
  step(largeChange());
  return true;
}

bool SimScrollBar::dragTo(std::int32_t position) {
  if (!takesInput()) return false;
  track(position);
  return true;
}

bool SimScrollBar::release(std::int32_t position) {
  if (!takesInput()) return false;
  endTrack(position);
  return true;
}

// ---- Factory --------------------------------------------------------------------------------

std::unique_ptr<TextBoxPart> SimPartFactory::makeTextBox(std::string name) {
  return std::make_unique<SimTextBox>(*this, std::move(name));
}

std::unique_ptr<ScrollBarPart> SimPartFactory::makeScrollBar(std::string name) {
  return std::make_unique<SimScrollBar>(*this, std::move(name));
}

FocusEvents* SimPartFactory::eventsOf(InputPart& part) {
  if (auto* t = dynamic_cast<TextBoxPart*>(&part)) return &t->events();
  if (auto* s = dynamic_cast<ScrollBarPart*>(&part)) return &s->events();
  return nullptr;
}

void SimPartFactory::moveFocus(InputPart* part) {
  if (part == focused_) return;
  InputPart* old = focused_;
  focused_ = part;
  if (old) {
    focusLog_.push_back("-" + old->name());
    FocusEvents* e = eventsOf(*old);
    if (e && e->lostFocus) e->lostFocus();
  }
  // A lost-focus handler may have moved the focus again; then that move stands.
  if (part && focused_ == part) {
    focusLog_.push_back("+" + part->name());
    FocusEvents* e = eventsOf(*part);
    if (e && e->gotFocus) e->gotFocus();
  }
}

void SimPartFactory::focusLeaves() {
  moveFocus(nullptr);
}

}  // namespace nx::sim
