// Constituent parts of a composite control: child elements that a control creates by name on
// its window and owns for the window's life (an entry box with its code label and frame, a
// money box with its symbol, a text viewport with its scroll bar).
//
// Positions and sizes are twips within the control's client area; colours are RGB values that
// the control has already translated from its OLE colours. Text is UTF-8; caret and selection
// positions count characters (code points).
//
// Two kinds of part:
// - Drawn parts (label, rectangle shape, picture) live only as data. They appear on the
//   control's persistent surface when the control calls PartFactory::paint(), normally as the
//   last step of its complete redraw, in the order they were created. A change to a drawn part
//   calls the factory's redraw handler (if the control set one) and otherwise shows at the next
//   redraw. Being part of the surface image, they show in the control's picture and in pixel
//   reads, and need no window of their own.
// - Input parts (text box, vertical scroll bar) take keyboard focus and input; the platform
//   gives them child windows of the control window (the simulation a scripted model). They
//   keep their state while the control window has no platform window yet.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/color.h"
#include "core/runtime/font.h"
#include "core/runtime/picture.h"

namespace nx {

class PartFactory;
class Surface;

enum class PartAlign : std::int16_t { Left = 0, Right = 1, Center = 2 };

// Key codes of the key-down notification (the platform's virtual-key numbers) and the
// characters the filter sees for the editing keys.
namespace keys {
inline constexpr std::int16_t kBack = 8;
inline constexpr std::int16_t kTab = 9;
inline constexpr std::int16_t kReturn = 13;
inline constexpr std::int16_t kEscape = 27;
inline constexpr std::int16_t kEnd = 35;
inline constexpr std::int16_t kHome = 36;
inline constexpr std::int16_t kLeft = 37;
inline constexpr std::int16_t kUp = 38;
inline constexpr std::int16_t kRight = 39;
inline constexpr std::int16_t kDown = 40;
inline constexpr std::int16_t kDelete = 46;
}  // namespace keys

// Shift state bits of key and mouse notifications.
namespace shiftkeys {
inline constexpr std::int16_t kShift = 1;
inline constexpr std::int16_t kCtrl = 2;
inline constexpr std::int16_t kAlt = 4;
}  // namespace shiftkeys

struct PartRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  // Left and top edges inside, right and bottom edges outside.
  bool contains(double x, double y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
  friend bool operator==(const PartRect&, const PartRect&) = default;
};

// A mouse notification: button bits (1 left, 2 right, 4 middle), shift bits, and the position
// in twips within the part.
struct PartMouse {
  std::int16_t button = 0;
  std::int16_t shift = 0;
  double x = 0;
  double y = 0;
};

class Part {
 public:
  virtual ~Part() = default;
  Part(const Part&) = delete;
  Part& operator=(const Part&) = delete;

  const std::string& name() const { return name_; }
  PartFactory& owner() const { return owner_; }

  PartRect bounds() const { return bounds_; }
  // Negative sizes become 0.
  void setBounds(PartRect r);
  void move(double left, double top) { setBounds({left, top, bounds_.width, bounds_.height}); }
  void resize(double width, double height) {
    setBounds({bounds_.left, bounds_.top, width, height});
  }
  bool visible() const { return visible_; }
  void setVisible(bool on);
  // Whether a point of the control's client area (twips) is on the part while it is visible.
  bool hitTest(double x, double y) const { return visible_ && bounds_.contains(x, y); }

 protected:
  Part(PartFactory& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
  // The look of a drawn part changed.
  void requestRedraw();
  // The platform moves or shows the part.
  virtual void boundsChanged() {}
  virtual void visibleChanged() {}

 private:
  PartFactory& owner_;
  std::string name_;
  PartRect bounds_;
  bool visible_ = true;
};

// ---- Drawn parts ----------------------------------------------------------------------------

class DrawnPart : public Part {
 public:
  virtual void paint(Surface& surface) const = 0;

 protected:
  using Part::Part;
  void boundsChanged() override { requestRedraw(); }
  void visibleChanged() override { requestRedraw(); }
};

// A caption in one font and colour, left, right or centred, on its own back colour or
// transparent. Without word wrap the caption is one line per line break and characters that
// do not fit the width are cut; with word wrap lines break at spaces (a word longer than the
// width stands on a line of its own, cut). With auto size the height follows the lines (and,
// without word wrap, the width follows the widest line). Lines below the bottom are not drawn.
class LabelPart final : public DrawnPart {
 public:
  LabelPart(PartFactory& owner, std::string name) : DrawnPart(owner, std::move(name)) {}

  const std::string& caption() const { return caption_; }
  void setCaption(std::string_view utf8);
  Rgb foreColor() const { return fore_; }
  void setForeColor(Rgb color);
  Rgb backColor() const { return back_; }
  void setBackColor(Rgb color);
  bool transparent() const { return transparent_; }
  void setTransparent(bool on);
  // nullptr: the surface's current font.
  FontRef font() const { return font_; }
  void setFont(FontRef font);
  PartAlign alignment() const { return align_; }
  void setAlignment(PartAlign align);
  bool wordWrap() const { return wordWrap_; }
  void setWordWrap(bool on);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);
  // Kept for the control to show as the part's tooltip; never drawn.
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(std::string_view utf8) { toolTip_ = std::string(utf8); }

  // The caption broken into the lines that are drawn (before cutting at the bottom).
  std::vector<std::string> lines() const;
  void paint(Surface& surface) const override;

 protected:
  void boundsChanged() override;

 private:
  void fit();
  void changed();

  std::string caption_;
  Rgb fore_ = 0;
  Rgb back_ = 0xFFFFFF;
  bool transparent_ = false;
  FontRef font_;
  PartAlign align_ = PartAlign::Left;
  bool wordWrap_ = false;
  bool autoSize_ = false;
  bool fitting_ = false;
  std::string toolTip_;
};

// A rectangle with a border of `borderWidth` pixels drawn inside its bounds (0: no border) and
// an optional solid fill.
class ShapePart final : public DrawnPart {
 public:
  ShapePart(PartFactory& owner, std::string name) : DrawnPart(owner, std::move(name)) {}

  Rgb borderColor() const { return border_; }
  void setBorderColor(Rgb color);
  int borderWidth() const { return borderWidth_; }
  // Negative widths become 0.
  void setBorderWidth(int pixels);
  Rgb fillColor() const { return fill_; }
  void setFillColor(Rgb color);
  bool filled() const { return filled_; }
  void setFilled(bool on);

  void paint(Surface& surface) const override;

 private:
  Rgb border_ = 0;
  int borderWidth_ = 1;
  Rgb fill_ = 0xFFFFFF;
  bool filled_ = false;
};

// A picture painted at the part's position. With auto size (the default) the part takes the
// picture's size in pixels; otherwise the picture is stretched into the bounds. No picture:
// nothing is drawn.
class PicturePart final : public DrawnPart {
 public:
  PicturePart(PartFactory& owner, std::string name) : DrawnPart(owner, std::move(name)) {}

  const PictureRef& picture() const { return picture_; }
  void setPicture(PictureRef picture);
  bool autoSize() const { return autoSize_; }
  void setAutoSize(bool on);

  void paint(Surface& surface) const override;

 private:
  void fit();

  PictureRef picture_;
  bool autoSize_ = true;
};

// ---- Input parts ----------------------------------------------------------------------------

struct FocusEvents {
  std::function<void()> gotFocus;
  std::function<void()> lostFocus;
};

struct TextBoxEvents : FocusEvents {
  // Every typed character, Backspace (8) and Enter (13) included, before it reaches the text.
  // The filter may replace it, or swallow it by setting it to 0. It may change the text and
  // the selection itself; a replaced character goes in at the selection as it is after the
  // filter.
  std::function<void(char32_t& ch)> keyFilter;
  // A key went down (code from `keys`, shift bits). Setting the code to 0 stops the box's own
  // handling of the key (caret moves, Delete); the character the key produces, if any, still
  // reaches the filter.
  std::function<void(std::int16_t& keyCode, std::int16_t shift)> keyDown;
  // After every change of the text, by typing or by setText.
  std::function<void()> changed;
  std::function<void(PartMouse)> mouseDown;
  std::function<void(PartMouse)> mouseUp;
  std::function<void(PartMouse)> mouseMove;
};

// An input part that can hold the keyboard focus.
class InputPart : public Part {
 public:
  virtual bool enabled() const = 0;
  // Disabling a part that has the focus takes the focus away from it.
  virtual void setEnabled(bool on) = 0;
  // Moves the keyboard focus to the part. False (nothing happens) while the part is disabled or
  // hidden, or when the platform refuses.
  virtual bool setFocus() = 0;
  virtual bool hasFocus() const = 0;

 protected:
  using Part::Part;
};

// A single-line text box with caret, selection and horizontal scrolling of long text.
class TextBoxPart : public InputPart {
 public:
  TextBoxEvents& events() { return events_; }

  virtual std::string text() const = 0;
  // Replaces the whole text (caret to the start, no selection) and raises `changed` when the
  // text differs; the same text changes nothing.
  virtual void setText(std::string_view utf8) = 0;

  virtual FontRef font() const = 0;
  virtual void setFont(FontRef font) = 0;
  virtual Rgb foreColor() const = 0;
  virtual void setForeColor(Rgb color) = 0;
  virtual Rgb backColor() const = 0;
  virtual void setBackColor(Rgb color) = 0;
  virtual PartAlign alignment() const = 0;
  virtual void setAlignment(PartAlign align) = 0;

  // Selection in characters. setSelection clamps: start to 0..length of the text, length to
  // 0..(length of the text - start); the caret ends at the end of the selection.
  virtual int selStart() const = 0;
  virtual int selLength() const = 0;
  virtual void setSelection(int start, int length) = 0;
  void setSelStart(int start) { setSelection(start, 0); }
  void setSelLength(int length) { setSelection(selStart(), length); }
  std::string selectedText() const;

 protected:
  using InputPart::InputPart;
  TextBoxEvents events_;
};

struct ScrollBarEvents : FocusEvents {
  // The value changed: a line or page step, the end of a drag that moved the thumb, or setValue.
  std::function<void()> changed;
  // The thumb is being dragged; value() is already the position under the pointer.
  std::function<void()> scrolling;
};

// A vertical scroll bar. Values run from `min` at the top to `max` at the bottom; `min` may be
// greater than `max` (the bar then counts down). The value always stays between the two.
class ScrollBarPart : public InputPart {
 public:
  ScrollBarEvents& events() { return events_; }

  std::int32_t min() const { return min_; }
  std::int32_t max() const { return max_; }
  std::int32_t value() const { return value_; }
  std::int32_t smallChange() const { return small_; }
  std::int32_t largeChange() const { return large_; }
  void setMin(std::int32_t v) { setRange(v, max_); }
  void setMax(std::int32_t v) { setRange(min_, v); }
  // A value pulled into the new range raises `changed`.
  void setRange(std::int32_t min, std::int32_t max);
  // Clamped into the range; raises `changed` when the value differs.
  void setValue(std::int32_t v);
  // Steps below 1 become 1.
  void setSmallChange(std::int32_t v);
  void setLargeChange(std::int32_t v);

  // Positions along the bar, 0 at the top: what the platform's scroll bar works with.
  std::int32_t positionCount() const;  // number of positions minus one
  std::int32_t position() const { return toPosition(value_); }

 protected:
  using InputPart::InputPart;
  std::int32_t toPosition(std::int32_t value) const;
  std::int32_t fromPosition(std::int32_t position) const;
  // A user action moved the bar by `delta` positions (line or page steps); raises `changed`.
  void step(std::int32_t delta);
  // The thumb is dragged to `position`: the value follows and `scrolling` is raised. The end of
  // the drag raises `changed` once if the value differs from where the drag started.
  void track(std::int32_t position);
  void endTrack(std::int32_t position);
  // The platform shows the new range and value.
  virtual void stateChanged() = 0;

  ScrollBarEvents events_;

 private:
  void assign(std::int32_t value, bool notify);

  std::int32_t min_ = 0;
  std::int32_t max_ = 32767;
  std::int32_t value_ = 0;
  std::int32_t small_ = 1;
  std::int32_t large_ = 1;
  bool tracking_ = false;
  std::int32_t trackStart_ = 0;
};

// ---- Factory --------------------------------------------------------------------------------

// The parts of one control window, created by name. Names are not empty and unique within the
// window, compared without regard to letter case; a bad name is refused with
// std::invalid_argument. Parts live as long as the factory (the control window).
class PartFactory {
 public:
  explicit PartFactory(Surface& surface) : surface_(surface) {}
  virtual ~PartFactory();
  PartFactory(const PartFactory&) = delete;
  PartFactory& operator=(const PartFactory&) = delete;

  LabelPart& createLabel(std::string_view name);
  ShapePart& createShape(std::string_view name);
  PicturePart& createPicture(std::string_view name);
  TextBoxPart& createTextBox(std::string_view name);
  ScrollBarPart& createScrollBar(std::string_view name);

  Part* find(std::string_view name) const;
  template <class T>
  T* findAs(std::string_view name) const {
    return dynamic_cast<T*>(find(name));
  }
  std::size_t size() const { return parts_.size(); }

  // Draws the visible drawn parts onto the surface in the order of their creation. The
  // surface's colours, font and current position are left as they were.
  void paint();
  // The visible drawn part on top at a point of the client area (twips), or nullptr.
  DrawnPart* drawnPartAt(double x, double y) const;
  // Called whenever the look of a drawn part changed.
  void setRedrawHandler(std::function<void()> handler) { redraw_ = std::move(handler); }

  Surface& surface() const { return surface_; }

 protected:
  virtual std::unique_ptr<TextBoxPart> makeTextBox(std::string name) = 0;
  virtual std::unique_ptr<ScrollBarPart> makeScrollBar(std::string name) = 0;
  const std::vector<std::unique_ptr<Part>>& all() const { return parts_; }

 private:
  friend class Part;
  std::string checkName(std::string_view name) const;
  template <class T>
  T& add(std::unique_ptr<T> part);

  Surface& surface_;
  std::vector<std::unique_ptr<Part>> parts_;
  std::function<void()> redraw_;
};

}  // namespace nx
