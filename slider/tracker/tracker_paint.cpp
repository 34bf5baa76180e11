#include "slider/tracker/tracker_paint.h"

#include <algorithm>
#include <cmath>

#include "core/support/grad_bar.h"
#include "core/support/rounding.h"
#include "slider/tracker/tracker_types.h"

namespace nx {

namespace {

bool sameFont(const FontRef& a, const FontRef& b) {
  if (!a || !b) return a == b;
  return a->describe() == b->describe();
}

FontDesc describe(const FontRef& f) {
  return f ? f->describe() : FontDesc{};
}

double perPixel(double tpp) {
  return tpp > 0 ? tpp : 15.0;
}

// A twips position as a pixel, as the surface converts it (nearest pixel, halves up).
std::int32_t toPixel(double twips, double tpp) {
  const double v = std::floor(twips / perPixel(tpp) + 0.5);
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<std::int32_t>(v);
}

// Caption column groups of the nine positions: left, centre, right; top, middle, bottom.
enum class Side { Near, Centre, Far };
Side horizontalSide(std::int32_t a) {
  switch (a) {
    case aaTopRight:
    case aaMiddleRight:
    case aaBottomRight:
      return Side::Far;
    case aaTopCenter:
    case aaMiddleCenter:
    case aaBottomCenter:
      return Side::Centre;
    default:
      return Side::Near;
  }
}
Side verticalSide(std::int32_t a) {
  switch (a) {
    case aaMiddleLeft:
    case aaMiddleRight:
    case aaMiddleCenter:
      return Side::Centre;
    case aaBottomLeft:
    case aaBottomRight:
    case aaBottomCenter:
      return Side::Far;
    default:
      return Side::Near;
  }
}

}  // namespace

bool sameLook(const TrackerLook& a, const TrackerLook& b) {
  return a.scaleWidth == b.scaleWidth && a.scaleHeight == b.scaleHeight && a.tppX == b.tppX &&
         a.tppY == b.tppY && a.min == b.min && a.max == b.max && a.style == b.style &&
         a.gridStyle == b.gridStyle && a.gridBlockSize == b.gridBlockSize &&
         a.markerStyle == b.markerStyle && a.markerValue == b.markerValue &&
         a.markerLabel == b.markerLabel && sameFont(a.font, b.font) &&
         sameFont(a.markerFont, b.markerFont) && a.caption == b.caption &&
         a.captionWidth == b.captionWidth && a.captionHeight == b.captionHeight &&
         a.alignment == b.alignment && a.backColorTop == b.backColorTop &&
         a.backColorBottom == b.backColorBottom && a.foreColor == b.foreColor &&
         a.lineColor == b.lineColor && a.averageColor == b.averageColor &&
         a.gridColor == b.gridColor && a.markerColor == b.markerColor && a.average == b.average &&
         a.showSeries == b.showSeries;
}

PlotFrame plotFrame(const TrackerLook& look) {
  PlotFrame f;
  f.w = roundHalfEven(look.scaleWidth);
  f.hd = roundHalfEven(look.scaleHeight - perPixel(look.tppY));
  return f;
}

std::int64_t plotHeight(std::int32_t v, std::int32_t min, std::int32_t max, double hd) {
  const std::int64_t range = static_cast<std::int64_t>(max) - min;
  if (range == 0) return 0;
  const auto height = static_cast<std::int64_t>(std::clamp(hd, -2147483648.0, 2147483647.0));
  return roundedQuotient((static_cast<std::int64_t>(v) - min) * height, range);
}

double markerRow(double hd, double tppY) {
  const double tpp = perPixel(tppY);
  // The rule works in whole twips of a 15-twip pixel: on another screen it runs on the plot
  // height in those units and scales back, so that the row is the same pixel of the plot.
  constexpr double kRulePixel = 15;
  const double scale = tpp / kRulePixel;
  const double h = hd / scale;
  const double c = std::trunc(h / 2);
  const double r = std::fmod(roundHalfEven(h / 2), kRulePixel);
  if (r > kRulePixel / 2) return (c + kRulePixel) * scale;
  return (c - std::fmod(c, kRulePixel)) * scale;
}

std::string markerText(const TrackerLook& look) {
  if (look.markerStyle == msValueLabeledLine) return std::to_string(look.markerValue);
  if (look.markerStyle == msLabeledLine) return look.markerLabel;
  return {};
}

TwipsPoint captionPosition(const TrackerLook& look) {
  const PlotFrame f = plotFrame(look);
  TwipsPoint p;
  switch (horizontalSide(look.alignment)) {
    case Side::Near:
      p.x = perPixel(look.tppX);
      break;
    case Side::Centre:
      p.x = roundHalfEven(f.w / 2 - look.captionWidth / 2);
      break;
    case Side::Far:
      p.x = roundHalfEven(f.w - look.captionWidth);
      break;
  }
  switch (verticalSide(look.alignment)) {
    case Side::Near:
      p.y = 0;
      break;
    case Side::Centre:
      p.y = roundHalfEven(f.hd / 2 - look.captionHeight / 2);
      break;
    case Side::Far:
      p.y = roundHalfEven(f.hd - look.captionHeight);
      break;
  }
  return p;
}

// ---- complete drawing ----

void TrackerCanvas::paint(Surface& surface, const TrackerLook& look, const SampleBuffer& samples) {
  valid_ = false;
  ++complete_;
  DeviceContext& dc = surface.dc();
  const PlotFrame f = plotFrame(look);
  const double tppX = perPixel(look.tppX);
  const double tppY = perPixel(look.tppY);

  // Background.
  if (look.backColorTop == look.backColorBottom) {
    surface.setBackColor(look.backColorTop);
    surface.clear();
  } else {
    surface.clear();
    drawGradient(dc, 0, 0, toPixel(look.scaleWidth, tppX), toPixel(look.scaleHeight, tppY),
                 look.backColorTop, look.backColorBottom, kGradientVertical);
  }

  // Grid lines and frame.
  if (look.gridStyle != gdsNone) {
    const double g = roundHalfEven(look.gridBlockSize / 100.0 * f.hd);
    if (g > 0) {
      if (look.gridStyle == gdsHorizontal || look.gridStyle == gdsBoth)
        for (double y = g; y <= f.hd; y += g) surface.line(0, y, f.w, y, look.gridColor);
      if (look.gridStyle == gdsVertical || look.gridStyle == gdsBoth)
        for (double x = f.w - g; x >= 0; x -= g) surface.line(x, 0, x, f.hd, look.gridColor);
    }
    surface.box(0, 0, f.w - tppX, f.hd, look.gridColor, false);
  }

  // Marker line and label.
  if (look.markerStyle != msNone) {
    const double m = markerRow(f.hd, tppY);
    const std::string label = markerText(look);
    const double lw = roundHalfEven(surface.textWidth(label));
    if (label.empty()) {
      surface.line(0, m, f.w, m, look.markerColor);
    } else {
      surface.setForeColor(look.markerColor);
      if (look.markerFont) surface.setFont(look.markerFont);
      surface.setCurrentPosition(60, m - surface.textHeight(label) / 2);
      surface.print(label, false);
      if (look.font) surface.setFont(look.font);
      surface.line(0, m, 30, m, look.markerColor);
      surface.line(lw, m, f.w, m, look.markerColor);
    }
  }

  // What the series are drawn over, and the columns that differ from their right neighbour.
  look_ = look;
  fontDesc_ = describe(look.font);
  markerFontDesc_ = describe(look.markerFont);
  frame_ = f;
  widthPx_ = std::max(dc.widthPx(), 0);
  heightPx_ = std::max(dc.heightPx(), 0);
  const auto w = static_cast<std::size_t>(widthPx_);
  const auto h = static_cast<std::size_t>(heightPx_);
  base_.resize(w * h);
  dc.readBlock(Rect{0, 0, widthPx_, heightPx_}, base_);
  fixed_.assign(w, 0);
  if (w > 0) fixed_[w - 1] = 1;
  for (std::size_t y = 0; y < h; ++y) {
    const Rgb* row = base_.data() + y * w;
    for (std::size_t x = 0; x + 1 < w; ++x)
      if (row[x] != row[x + 1]) fixed_[x] = 1;
  }

  // Series.
  length_ = samples.size();
  added_ = samples.added();
  generation_ = samples.generation();
  if (look.showSeries) {
    const std::int32_t last = look.style == gsLine ? length_ - 2 : length_ - 1;
    drawSeries(surface, samples, 0, last);
  }

  // Caption, over everything; its columns (with a margin for glyphs that reach past their
  // advance) are redrawn at every scroll.
  captionTop_ = captionBottom_ = 0;
  if (!look.caption.empty()) {
    printCaption(surface);
    const TwipsPoint p = captionPosition(look);
    const std::int32_t margin =
        std::max<std::int32_t>(2, toPixel(look.captionHeight, tppY) / 2 + 1);
    const std::int32_t left = std::max(toPixel(p.x, tppX) - margin - 1, 0);
    const std::int32_t right = std::min(toPixel(p.x + look.captionWidth, tppX) + margin, widthPx_);
    for (std::int32_t x = left; x < right; ++x) fixed_[static_cast<std::size_t>(x)] = 1;
    captionTop_ = std::clamp(toPixel(p.y, tppY) - margin, 0, heightPx_);
    captionBottom_ =
        std::clamp(toPixel(p.y + look.captionHeight, tppY) + margin, captionTop_, heightPx_);
  }
  valid_ = true;
}

void TrackerCanvas::printCaption(Surface& surface) {
  if (surface.foreColor() != look_.foreColor) surface.setForeColor(look_.foreColor);
  const TwipsPoint p = captionPosition(look_);
  surface.setCurrentPosition(p.x, p.y);
  surface.print(look_.caption, false);
}

// Draws the segments (line style) or columns first..last of the average series, then of the
// sample series, as the complete drawing does for all of them. Segment i of the line style
// paints columns i and i + 1; the other styles paint column i only.
void TrackerCanvas::drawSeries(Surface& surface, const SampleBuffer& samples, std::int32_t first,
                               std::int32_t last) {
  const std::int32_t n = samples.size();
  const std::int32_t lastIndex = look_.style == gsLine ? n - 2 : n - 1;
  first = std::max(first, 0);
  last = std::min(last, lastIndex);
  if (first > last) return;
  DeviceContext& dc = surface.dc();
  const double hd = frame_.hd;
  const double tppY = perPixel(look_.tppY);
  // Rows far outside the plot are held two plot heights away from it: lines towards them keep
  // the pixels they show inside it, and no line runs for millions of rows.
  const std::int32_t lowest = -2 * heightPx_ - 2;
  const std::int32_t highest = 3 * heightPx_ + 2;
  const auto row = [&](double twips) { return std::clamp(toPixel(twips, tppY), lowest, highest); };
  const auto height = [&](std::int32_t v) {
    return static_cast<double>(plotHeight(v, look_.min, look_.max, hd));
  };
  const auto lineRow = [&](std::int32_t v) { return row(hd - std::min(height(v), hd)); };

  const auto series = [&](bool averages, Rgb color) {
    const auto value = [&](std::int32_t i) {
      return averages ? samples.average(i) : samples.sample(i);
    };
    switch (look_.style) {
      case gsLine: {
        PenScope pen(dc, color);
        for (std::int32_t i = first; i <= last; ++i) {
          dc.moveTo(i, lineRow(value(i)));
          dc.lineTo(i + 1, lineRow(value(i + 1)));
        }
        break;
      }
      case gsPoint:
        for (std::int32_t i = first; i <= last; ++i)
          dc.setPixel(i, row(hd - height(value(i))), color);
        break;
      case gsTopBar: {
        PenScope pen(dc, color);
        for (std::int32_t i = first; i <= last; ++i) {
          dc.moveTo(i, row(0));
          dc.lineTo(i, row(hd - height(value(i)) + tppY));
        }
        break;
      }
      case gsBottomBar: {
        PenScope pen(dc, color);
        for (std::int32_t i = first; i <= last; ++i) {
          dc.moveTo(i, row(hd));
          dc.lineTo(i, row(hd - height(value(i)) - tppY));
        }
        break;
      }
      default:
        break;
    }
  };
  if (look_.average && (look_.style == gsLine || look_.style == gsPoint))
    series(true, look_.averageColor);
  series(false, look_.lineColor);
}

// ---- drawing after a sample ----

void TrackerCanvas::paintAfterSample(Surface& surface, const TrackerLook& look,
                                     const SampleBuffer& samples) {
  DeviceContext& dc = surface.dc();
  if (!valid_ || dc.widthPx() != widthPx_ || dc.heightPx() != heightPx_ ||
      samples.generation() != generation_ || samples.size() != length_ || !sameLook(look, look_) ||
      describe(look.font) != fontDesc_ || describe(look.markerFont) != markerFontDesc_) {
    paint(surface, look, samples);
    return;
  }
  if (samples.added() == added_) return;  // nothing new to show
  if (!look.showSeries || length_ == 0 || widthPx_ == 0 || heightPx_ == 0) {
    added_ = samples.added();  // the image does not depend on the samples
    return;
  }
  if (samples.added() != added_ + 1) {
    paint(surface, look, samples);
    return;
  }
  valid_ = false;
  ++scrolled_;

  // Columns whose content after the scroll is not their right neighbour's: the fixed ones,
  // column 0 and the newest segments' columns for lines, the newest column otherwise.
  const auto w = static_cast<std::size_t>(widthPx_);
  dirty_.assign(fixed_.begin(), fixed_.end());
  const auto mark = [&](std::int32_t x) {
    if (x >= 0 && x < widthPx_) dirty_[static_cast<std::size_t>(x)] = 1;
  };
  if (look_.style == gsLine) {
    mark(0);
    mark(length_ - 2);
  }
  mark(length_ - 1);

  dc.scroll(Rect{0, 0, widthPx_, heightPx_}, -1, 0);
  repaired_ = 0;
  for (std::size_t x = 0; x < w;) {
    if (dirty_[x] == 0) {
      ++x;
      continue;
    }
    std::size_t end = x;
    while (end + 1 < w && dirty_[end + 1] != 0) ++end;
    repairRun(surface, samples, static_cast<std::int32_t>(x), static_cast<std::int32_t>(end));
    repaired_ += static_cast<int>(end - x + 1);
    x = end + 1;
  }

  // The caption once more over the repaired columns; the others keep what they have.
  if (!look_.caption.empty() && captionBottom_ > captionTop_) {
    const Rect band{0, captionTop_, widthPx_, captionBottom_};
    const std::size_t size = w * static_cast<std::size_t>(captionBottom_ - captionTop_);
    band_.resize(size);
    bandAfter_.resize(size);
    dc.readBlock(band, band_);
    printCaption(surface);
    dc.readBlock(band, bandAfter_);
    for (std::size_t i = 0; i < size; ++i)
      if (dirty_[i % w] != 0) band_[i] = bandAfter_[i];
    dc.writeBlock(band, band_);
  }
  added_ = samples.added();
  valid_ = true;
}

// Columns a..b get the image without series back, then every segment or column that paints
// them; the neighbours that line segments also reach keep their pixels.
void TrackerCanvas::repairRun(Surface& surface, const SampleBuffer& samples, std::int32_t a,
                              std::int32_t b) {
  DeviceContext& dc = surface.dc();
  const auto w = static_cast<std::size_t>(widthPx_);
  const auto h = static_cast<std::size_t>(heightPx_);
  const auto runWidth = static_cast<std::size_t>(b - a + 1);
  const bool lines = look_.style == gsLine;
  const bool saveLeft = lines && a > 0;
  const bool saveRight = lines && b + 1 < widthPx_;
  if (saveLeft) {
    left_.resize(h);
    dc.readBlock(Rect{a - 1, 0, a, heightPx_}, left_);
  }
  if (saveRight) {
    right_.resize(h);
    dc.readBlock(Rect{b + 1, 0, b + 2, heightPx_}, right_);
  }
  block_.resize(runWidth * h);
  for (std::size_t y = 0; y < h; ++y)
    std::copy_n(base_.begin() + static_cast<std::ptrdiff_t>(y * w + static_cast<std::size_t>(a)),
                runWidth, block_.begin() + static_cast<std::ptrdiff_t>(y * runWidth));
  dc.writeBlock(Rect{a, 0, b + 1, heightPx_}, block_);
  drawSeries(surface, samples, lines ? a - 1 : a, b);
  if (saveLeft) dc.writeBlock(Rect{a - 1, 0, a, heightPx_}, left_);
  if (saveRight) dc.writeBlock(Rect{b + 1, 0, b + 2, heightPx_}, right_);
}

}  // namespace nx
