#include "core/runtime/parts.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/runtime/surface.h"
#include "core/runtime/utf8.h"

namespace nx {
namespace {

// Range limit of scroll bar values, so that the number of positions fits 32 bits.
constexpr std::int32_t kScrollLimit = 1'000'000'000;

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Keeps the surface's colours, font and current position for one drawing routine.
class SurfaceState {
 public:
  explicit SurfaceState(Surface& s)
      : s_(s), fore_(s.foreColor()), font_(s.font()), x_(s.currentX()), y_(s.currentY()) {}
  ~SurfaceState() {
    s_.setForeColor(fore_);
    s_.setFont(font_);
    s_.setCurrentPosition(x_, y_);
  }
  SurfaceState(const SurfaceState&) = delete;
  SurfaceState& operator=(const SurfaceState&) = delete;

 private:
  Surface& s_;
  Rgb fore_;
  FontRef font_;
  double x_;
  double y_;
};

// Drops characters from the end until the text fits `width` twips.
std::string cutToWidth(const Surface& s, std::string line, double width) {
  if (s.textWidth(line) <= width) return line;
  std::u32string cps = utf8::decode(line);
  while (!cps.empty()) {
    cps.pop_back();
    std::string shorter = utf8::encode(cps);
    if (s.textWidth(shorter) <= width) return shorter;
  }
  return {};
}

}  // namespace

// ---- Part -----------------------------------------------------------------------------------

void Part::setBounds(PartRect r) {
  r.width = std::max(r.width, 0.0);
  r.height = std::max(r.height, 0.0);
  if (r == bounds_) return;
  bounds_ = r;
  boundsChanged();
}

void Part::setVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  visibleChanged();
}

void Part::requestRedraw() {
  if (owner_.redraw_) owner_.redraw_();
}

// ---- Label ----------------------------------------------------------------------------------

void LabelPart::changed() {
  fit();
  requestRedraw();
}

void LabelPart::setCaption(std::string_view utf8) {
  if (caption_ == utf8) return;
  caption_ = std::string(utf8);
  changed();
}

void LabelPart::setForeColor(Rgb color) {
  if (fore_ == color) return;
  fore_ = color;
  changed();
}

void LabelPart::setBackColor(Rgb color) {
  if (back_ == color) return;
  back_ = color;
  changed();
}

void LabelPart::setTransparent(bool on) {
  if (transparent_ == on) return;
  transparent_ = on;
  changed();
}

void LabelPart::setFont(FontRef font) {
  font_ = std::move(font);
  changed();
}

void LabelPart::setAlignment(PartAlign align) {
  if (align_ == align) return;
  align_ = align;
  changed();
}

void LabelPart::setWordWrap(bool on) {
  if (wordWrap_ == on) return;
  wordWrap_ = on;
  changed();
}

void LabelPart::setAutoSize(bool on) {
  if (autoSize_ == on) return;
  autoSize_ = on;
  changed();
}

void LabelPart::boundsChanged() {
  if (!fitting_) fit();
  requestRedraw();
}

std::vector<std::string> LabelPart::lines() const {
  // Hard breaks first: "\r\n", "\n" and "\r" each end a line.
  std::vector<std::string> hard;
  std::string cur;
  for (std::size_t i = 0; i < caption_.size(); ++i) {
    const char c = caption_[i];
    if (c == '\r' || c == '\n') {
      hard.push_back(std::move(cur));
      cur.clear();
      if (c == '\r' && i + 1 < caption_.size() && caption_[i + 1] == '\n') ++i;
    } else {
      cur.push_back(c);
    }
  }
  hard.push_back(std::move(cur));
  if (!wordWrap_) return hard;

  Surface& s = owner().surface();
  SurfaceState keep(s);
  if (font_) s.setFont(font_);
  const double width = bounds().width;
  std::vector<std::string> out;
  for (const std::string& para : hard) {
    std::string line;
    std::size_t pos = 0;
    bool any = false;
    while (pos <= para.size()) {
      std::size_t space = para.find(' ', pos);
      if (space == std::string::npos) space = para.size();
      std::string word = para.substr(pos, space - pos);
      std::string candidate = line.empty() && !any ? word : line + " " + word;
      if (any && s.textWidth(candidate) > width) {
        out.push_back(std::move(line));
        line = std::move(word);
      } else {
        line = std::move(candidate);
      }
      any = true;
      pos = space + 1;
    }
    out.push_back(std::move(line));
  }
  return out;
}

void LabelPart::fit() {
  if (!autoSize_ || fitting_) return;
  Surface& s = owner().surface();
  std::vector<std::string> ls = lines();
  SurfaceState keep(s);
  if (font_) s.setFont(font_);
  const double lineHeight = s.textHeight("Ag");
  PartRect r = bounds();
  r.height = lineHeight * static_cast<double>(ls.size());
  if (!wordWrap_) {
    double widest = 0;
    for (const std::string& l : ls) widest = std::max(widest, s.textWidth(l));
    r.width = widest;
  }
  fitting_ = true;
  setBounds(r);
  fitting_ = false;
}

void LabelPart::paint(Surface& s) const {
  const PartRect r = bounds();
  if (r.width <= 0 || r.height <= 0) return;
  const std::vector<std::string> ls = lines();
  SurfaceState keep(s);
  if (!transparent_) {
    s.box(r.left, r.top, r.left + r.width - s.twipsPerPixelX(),
          r.top + r.height - s.twipsPerPixelY(), back_, true);
  }
  if (font_) s.setFont(font_);
  s.setForeColor(fore_);
  const double lineHeight = s.textHeight("Ag");
  double y = r.top;
  for (const std::string& l : ls) {
    if (y + lineHeight > r.top + r.height + 0.5 && y > r.top) break;
    const std::string shown = cutToWidth(s, l, r.width);
    const double w = s.textWidth(shown);
    double x = r.left;
    if (align_ == PartAlign::Right) x = r.left + r.width - w;
    if (align_ == PartAlign::Center) x = r.left + (r.width - w) / 2;
    s.setCurrentPosition(x, y);
    s.print(shown, false);
    y += lineHeight;
  }
}

// ---- Shape ----------------------------------------------------------------------------------

void ShapePart::setBorderColor(Rgb color) {
  if (border_ == color) return;
  border_ = color;
  requestRedraw();
}

void ShapePart::setBorderWidth(int pixels) {
  pixels = std::max(pixels, 0);
  if (borderWidth_ == pixels) return;
  borderWidth_ = pixels;
  requestRedraw();
}

void ShapePart::setFillColor(Rgb color) {
  if (fill_ == color) return;
  fill_ = color;
  requestRedraw();
}

void ShapePart::setFilled(bool on) {
  if (filled_ == on) return;
  filled_ = on;
  requestRedraw();
}

void ShapePart::paint(Surface& s) const {
  const PartRect r = bounds();
  const double px = s.twipsPerPixelX();
  const double py = s.twipsPerPixelY();
  if (r.width < px / 2 || r.height < py / 2) return;
  SurfaceState keep(s);
  const double right = r.left + r.width - px;
  const double bottom = r.top + r.height - py;
  if (filled_) s.box(r.left, r.top, right, bottom, fill_, true);
  for (int i = 0; i < borderWidth_; ++i) {
    const double l = r.left + i * px;
    const double t = r.top + i * py;
    const double rr = right - i * px;
    const double b = bottom - i * py;
    if (rr < l || b < t) break;
    s.box(l, t, rr, b, border_, false);
  }
}

// ---- Picture --------------------------------------------------------------------------------

void PicturePart::setPicture(PictureRef picture) {
  picture_ = std::move(picture);
  fit();
  requestRedraw();
}

void PicturePart::setAutoSize(bool on) {
  if (autoSize_ == on) return;
  autoSize_ = on;
  fit();
  requestRedraw();
}

void PicturePart::fit() {
  if (!autoSize_ || !picture_) return;
  const Surface& s = owner().surface();
  resize(picture_->widthPixels() * s.twipsPerPixelX(),
         picture_->heightPixels() * s.twipsPerPixelY());
}

void PicturePart::paint(Surface& s) const {
  if (!picture_) return;
  const PartRect r = bounds();
  if (r.width <= 0 || r.height <= 0) return;
  SurfaceState keep(s);
  s.paintPicture(*picture_, r.left, r.top, r.width, r.height);
}

// ---- Text box -------------------------------------------------------------------------------

std::string TextBoxPart::selectedText() const {
  const std::u32string t = utf8::decode(text());
  const auto start = static_cast<std::size_t>(std::clamp(selStart(), 0, int(t.size())));
  const auto len = static_cast<std::size_t>(std::max(selLength(), 0));
  return utf8::encode(std::u32string_view(t).substr(start, len));
}

// ---- Scroll bar -----------------------------------------------------------------------------

void ScrollBarPart::setRange(std::int32_t min, std::int32_t max) {
  min = std::clamp(min, -kScrollLimit, kScrollLimit);
  max = std::clamp(max, -kScrollLimit, kScrollLimit);
  min_ = min;
  max_ = max;
  const std::int32_t lo = std::min(min_, max_);
  const std::int32_t hi = std::max(min_, max_);
  const std::int32_t v = std::clamp(value_, lo, hi);
  if (v != value_) {
    value_ = v;
    stateChanged();
    if (events_.changed) events_.changed();
  } else {
    stateChanged();
  }
}

void ScrollBarPart::assign(std::int32_t v, bool notify) {
  v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  if (v == value_) return;
  value_ = v;
  stateChanged();
  if (notify && events_.changed) events_.changed();
}

void ScrollBarPart::setValue(std::int32_t v) {
  tracking_ = false;
  assign(v, true);
}

void ScrollBarPart::setSmallChange(std::int32_t v) {
  small_ = std::max(v, 1);
}

void ScrollBarPart::setLargeChange(std::int32_t v) {
  large_ = std::max(v, 1);
  stateChanged();
}

std::int32_t ScrollBarPart::positionCount() const {
  return max_ >= min_ ? max_ - min_ : min_ - max_;
}

std::int32_t ScrollBarPart::toPosition(std::int32_t value) const {
  return max_ >= min_ ? value - min_ : min_ - value;
}

std::int32_t ScrollBarPart::fromPosition(std::int32_t position) const {
  position = std::clamp(position, 0, positionCount());
  return max_ >= min_ ? min_ + position : min_ - position;
}

void ScrollBarPart::step(std::int32_t delta) {
  const std::int64_t p =
      std::clamp<std::int64_t>(std::int64_t{position()} + delta, 0, positionCount());
  tracking_ = false;
  assign(fromPosition(static_cast<std::int32_t>(p)), true);
}

void ScrollBarPart::track(std::int32_t position) {
  if (!tracking_) {
    tracking_ = true;
    trackStart_ = value_;
  }
  const std::int32_t v = fromPosition(position);
  if (v != value_) {
    assign(v, false);
    if (events_.scrolling) events_.scrolling();
  }
}

void ScrollBarPart::endTrack(std::int32_t position) {
  const std::int32_t start = tracking_ ? trackStart_ : value_;
  tracking_ = false;
  assign(fromPosition(position), false);
  if (value_ != start && events_.changed) events_.changed();
}

// ---- Factory --------------------------------------------------------------------------------

PartFactory::~PartFactory() = default;

std::string PartFactory::checkName(std::string_view name) const {
  if (name.empty()) throw std::invalid_argument("a part needs a name");
  if (find(name))
    throw std::invalid_argument("a part named \"" + std::string(name) + "\" exists already");
  return std::string(name);
}

template <class T>
T& PartFactory::add(std::unique_ptr<T> part) {
  if (!part) throw std::invalid_argument("the platform made no part");
  T& ref = *part;
  parts_.push_back(std::move(part));
  return ref;
}

LabelPart& PartFactory::createLabel(std::string_view name) {
  return add(std::make_unique<LabelPart>(*this, checkName(name)));
}

ShapePart& PartFactory::createShape(std::string_view name) {
  return add(std::make_unique<ShapePart>(*this, checkName(name)));
}

PicturePart& PartFactory::createPicture(std::string_view name) {
  return add(std::make_unique<PicturePart>(*this, checkName(name)));
}

TextBoxPart& PartFactory::createTextBox(std::string_view name) {
  return add(makeTextBox(checkName(name)));
}

ScrollBarPart& PartFactory::createScrollBar(std::string_view name) {
  return add(makeScrollBar(checkName(name)));
}

Part* PartFactory::find(std::string_view name) const {
  for (const auto& p : parts_)
    if (sameName(p->name(), name)) return p.get();
  return nullptr;
}

void PartFactory::paint() {
  for (const auto& p : parts_) {
    const auto* d = dynamic_cast<const DrawnPart*>(p.get());
    if (d && d->visible()) d->paint(surface_);
  }
}

DrawnPart* PartFactory::drawnPartAt(double x, double y) const {
  for (auto it = parts_.rbegin(); it != parts_.rend(); ++it) {
    auto* d = dynamic_cast<DrawnPart*>(it->get());
    if (d && d->hitTest(x, y)) return d;
  }
  return nullptr;
}

}  // namespace nx
