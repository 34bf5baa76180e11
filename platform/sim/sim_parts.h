// Input parts of a simulated control window: a deterministic text model for the text box and a
// scripted scroll bar. Tests type, press keys, click and step the bar through the Sim* classes;
// the factory records every focus move among the window's parts.
//
// Text box model: the caret and an anchor; the selection runs between them. A typed character
// goes to the filter first, then replaces the selection (or goes in at the caret), the caret
// following it. Backspace deletes the selection or the character before the caret; Delete the
// selection or the character after it. Left and Right move the caret (with Shift they extend the
// selection; without, a selection collapses to its start or end); Home and End go to the ends.
// Other control characters are not inserted (the model has no clipboard). Keys reach only the
// box that has the focus and is enabled and visible; a mouse press gives it the focus first.
#pragma once

#include <string>
#include <vector>

#include "core/runtime/parts.h"

namespace nx::sim {

class SimPartFactory;

class SimTextBox final : public TextBoxPart {
 public:
  SimTextBox(SimPartFactory& owner, std::string name);

  std::string text() const override;
  void setText(std::string_view utf8) override;
  FontRef font() const override { return font_; }
  void setFont(FontRef font) override { font_ = std::move(font); }
  Rgb foreColor() const override { return fore_; }
  void setForeColor(Rgb color) override { fore_ = color; }
  Rgb backColor() const override { return back_; }
  void setBackColor(Rgb color) override { back_ = color; }
  PartAlign alignment() const override { return align_; }
  void setAlignment(PartAlign align) override { align_ = align; }
  int selStart() const override;
  int selLength() const override;
  void setSelection(int start, int length) override;
  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override;
  bool setFocus() override;
  bool hasFocus() const override;

  // Test side. Each returns false when the box does not take the input (no focus, disabled or
  // hidden).
  bool typeChar(char32_t ch);
  // Types each character of a UTF-8 text in turn; false as soon as one is not taken.
  bool typeText(std::string_view utf8);
  bool keyDown(std::int16_t keyCode, std::int16_t shift = 0);
  // Mouse at (x, y) twips within the box. A press of an enabled, visible box focuses it.
  void mouseDown(std::int16_t button, double x, double y, std::int16_t shift = 0);
  void mouseUp(std::int16_t button, double x, double y, std::int16_t shift = 0);
  void mouseMove(std::int16_t button, double x, double y, std::int16_t shift = 0);
  int caret() const { return static_cast<int>(caret_); }

 protected:
  void visibleChanged() override;

 private:
  bool takesInput() const;
  void replaceSelection(std::u32string_view with);
  void changed(const std::u32string& before);

  SimPartFactory& sim_;
  std::u32string text_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  FontRef font_;
  Rgb fore_ = 0;
  Rgb back_ = 0xFFFFFF;
  PartAlign align_ = PartAlign::Left;
  bool enabled_ = true;
};

class SimScrollBar final : public ScrollBarPart {
 public:
  SimScrollBar(SimPartFactory& owner, std::string name);

  bool enabled() const override { return enabled_; }
  void setEnabled(bool on) override;
  bool setFocus() override;
  bool hasFocus() const override;

  // Test side: the user clicks an arrow, clicks the track above or below the thumb, drags the
  // thumb to a position (0 at the top) and lets it go. Ignored (false) while disabled or hidden.
  bool lineUp();
  bool lineDown();
  bool pageUp();
  bool pageDown();
  bool dragTo(std::int32_t position);
  bool release(std::int32_t position);
  // How often the bar was told to show a new state.
  int updates() const { return updates_; }

 protected:
  void stateChanged() override { ++updates_; }
  void visibleChanged() override;

 private:
  bool takesInput() const { return enabled_ && visible(); }

  SimPartFactory& sim_;
  bool enabled_ = true;
  int updates_ = 0;
};

class SimPartFactory final : public PartFactory {
 public:
  using PartFactory::PartFactory;

  // The input part with the focus, or nullptr.
  InputPart* focused() const { return focused_; }
  // The focus leaves the control's parts (the host moved it elsewhere).
  void focusLeaves();
  // Every focus move among the parts, in order: "+name" when a part got the focus, "-name"
  // when it lost it.
  const std::vector<std::string>& focusLog() const { return focusLog_; }
  void clearFocusLog() { focusLog_.clear(); }

  SimTextBox* textBox(std::string_view name) const { return findAs<SimTextBox>(name); }
  SimScrollBar* scrollBar(std::string_view name) const { return findAs<SimScrollBar>(name); }

  // Focus bookkeeping of the parts.
  void moveFocus(InputPart* part);

 protected:
  std::unique_ptr<TextBoxPart> makeTextBox(std::string name) override;
  std::unique_ptr<ScrollBarPart> makeScrollBar(std::string name) override;

 private:
  static FocusEvents* eventsOf(InputPart& part);

  InputPart* focused_ = nullptr;
  std::vector<std::string> focusLog_;
};

}  // namespace nx::sim
