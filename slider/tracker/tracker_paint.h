// NxTracker's drawing: a two-colour background, the grid and its frame, the marker line with
// its label, the average and sample series and the caption, in that order. Positions are in
// twips as the surface takes them, with one sample per pixel column and one pixel row as the
// unit of the plot's offsets.
//
// TrackerCanvas remembers what its last drawing left on the surface, so that a drawing that only
// adds one sample can scroll the image one column to the left and redraw only the columns whose
// content differs from their right neighbour's: the pixels equal those of a full drawing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/runtime/color.h"
#include "core/runtime/font.h"
#include "core/runtime/surface.h"
#include "slider/tracker/sample_buffer.h"

namespace nx {

// Everything a drawing depends on besides the samples.
struct TrackerLook {
  double scaleWidth = 0;  // inner size, twips
  double scaleHeight = 0;
  double tppX = 15;  // twips per pixel
  double tppY = 15;
  std::int32_t min = 0;
  std::int32_t max = 100;
  std::int32_t style = 0;
  std::int32_t gridStyle = 0;
  std::int32_t gridBlockSize = 20;
  std::int32_t markerStyle = 0;
  std::int32_t markerValue = 50;
  std::string markerLabel;
  FontRef font;  // the control's (caption) font
  FontRef markerFont;
  std::string caption;
  double captionWidth = 0;  // measured, twips
  double captionHeight = 0;
  std::int32_t alignment = 0;
  Rgb backColorTop = 0;
  Rgb backColorBottom = 0;
  Rgb foreColor = 0;
  Rgb lineColor = 0;
  Rgb averageColor = 0;
  Rgb gridColor = 0;
  Rgb markerColor = 0;
  bool average = false;
  bool showSeries = false;  // Enabled and in run mode
};

// Looks that draw the same pixels (fonts compare by their description).
bool sameLook(const TrackerLook& a, const TrackerLook& b);

// The plot's measures in twips: W, the inner width, and Hd, the bottom row of the plot.
struct PlotFrame {
  double w = 0;
  double hd = 0;
};
PlotFrame plotFrame(const TrackerLook& look);

// Plot height of `v` in twips: (v - min) x hd / (max - min), rounded half to even; formed in
// 64 bits. 0 when max equals min.
std::int64_t plotHeight(std::int32_t v, std::int32_t min, std::int32_t max, double hd);
// The marker's row in twips, at about half the plot height.
double markerRow(double hd, double tppY);
// The label the marker style shows: MarkerValue's digits, MarkerLabel, or nothing.
std::string markerText(const TrackerLook& look);
// Top left corner of the caption in twips.
struct TwipsPoint {
  double x = 0;
  double y = 0;
};
TwipsPoint captionPosition(const TrackerLook& look);

class TrackerCanvas {
 public:
  // A complete drawing: clears the surface and draws everything.
  void paint(Surface& surface, const TrackerLook& look, const SampleBuffer& samples);
  // The drawing after samples were added: when the last drawing showed the same look on a
  // surface of the same size and exactly one sample came since, scrolls and repairs; when no
  // sample came, or the series are hidden, leaves the surface as it is; otherwise paints all.
  void paintAfterSample(Surface& surface, const TrackerLook& look, const SampleBuffer& samples);
  // Forgets the last drawing: the next one is complete.
  void invalidate() { valid_ = false; }

  // How the drawings went, for tests and measurements.
  int completeDrawings() const { return complete_; }
  int scrolledDrawings() const { return scrolled_; }
  // Columns the last scrolled drawing redrew.
  int repairedColumns() const { return repaired_; }

 private:
  void drawSeries(Surface& surface, const SampleBuffer& samples, std::int32_t first,
                  std::int32_t last);
  void repairRun(Surface& surface, const SampleBuffer& samples, std::int32_t a, std::int32_t b);
  void printCaption(Surface& surface);

  bool valid_ = false;
  TrackerLook look_;
  // The fonts as they were drawn: the host may change a shared font object in place.
  FontDesc fontDesc_;
  FontDesc markerFontDesc_;
  PlotFrame frame_;
  std::int32_t widthPx_ = 0;
  std::int32_t heightPx_ = 0;
  std::int32_t length_ = 0;
  std::uint64_t added_ = 0;
  std::uint64_t generation_ = 0;
  // The surface after background, grid and marker, before the series.
  std::vector<Rgb> base_;
  // Per column: redrawn after every scroll whatever the samples do (the image differs from the
  // right neighbour's without series, or the caption touches it).
  std::vector<std::uint8_t> fixed_;
  // Caption band rows, [top, bottom), empty when there is no caption.
  std::int32_t captionTop_ = 0;
  std::int32_t captionBottom_ = 0;
  // Scratch space kept between drawings.
  std::vector<std::uint8_t> dirty_;
  std::vector<Rgb> block_;
  std::vector<Rgb> left_;
  std::vector<Rgb> right_;
  std::vector<Rgb> band_;
  std::vector<Rgb> bandAfter_;
  int complete_ = 0;
  int scrolled_ = 0;
  int repaired_ = 0;
};

}  // namespace nx
