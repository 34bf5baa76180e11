// The enumerations of NxTracker as its interface declares them.
#pragma once

#include <cstdint>

namespace nx {

// NXT_GRAPHSTYLE: how the samples are drawn.
enum TrackerGraphStyle : std::int32_t { gsLine = 0, gsPoint = 1, gsTopBar = 2, gsBottomBar = 3 };

// NXT_GRIDSTYLE: which grid lines are drawn.
enum TrackerGridStyle : std::int32_t {
  gdsNone = 0,
  gdsHorizontal = 1,
  gdsVertical = 2,
  gdsBoth = 3
};

// NXT_MARKERSTYLE: the horizontal marker line and its label.
enum TrackerMarkerStyle : std::int32_t {
  msNone = 0,
  msLine = 1,
  msLabeledLine = 2,
  msValueLabeledLine = 3
};

// NXT_ABSALIGNMENT: the caption's nine positions.
enum TrackerAlignment : std::int32_t {
  aaTopLeft = 0,
  aaTopRight = 1,
  aaTopCenter = 2,
  aaMiddleLeft = 3,
  aaMiddleRight = 4,
  aaMiddleCenter = 5,
  aaBottomLeft = 6,
  aaBottomRight = 7,
  aaBottomCenter = 8
};

// NXT_APPEARANCE and NXT_BORDERSTYLE: the control's own border.
enum TrackerAppearance : std::int32_t { apFlat = 0, ap3D = 1 };
enum TrackerBorderStyle : std::int32_t { bsNone = 0, bsFixedSingle = 1 };

}  // namespace nx
