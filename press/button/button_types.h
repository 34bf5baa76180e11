// NxButton's enumerations with their interface names and values, and the alignment classes the
// caption and the icon are placed by.
#pragma once

#include <cstdint>

namespace nx {

enum ButtonAlignment : std::int32_t {
  aaTopLeft = 0,
  aaTopRight = 1,
  aaTopCenter = 2,
  aaMiddleLeft = 3,
  aaMiddleRight = 4,
  aaMiddleCenter = 5,
  aaBottomLeft = 6,
  aaBottomRight = 7,
  aaBottomCenter = 8,
};
enum ButtonCutPosition : std::int32_t { posNeither = 0, posLeft = 1, posRight = 2, posBoth = 3 };
enum ButtonCutStrength : std::int32_t { stSoft = 0, stHard = 1 };
enum ButtonOutlineStyle : std::int32_t {
  olNone = 0,
  olRegular = 1,
  olShadow = 2,
  olHoverRegular = 3,
  olHoverShadow = 4,
};
enum ButtonTheme : std::int32_t {
  thmCUSTOM = 0,
  thmSky3D = 1,
  thmSkyFlat = 2,
  thmSilver3D = 3,
  thmCandy3D = 4,
  thmOfficeBar = 5,
};
enum ButtonGradient : std::int32_t { gtPlain = 0, gtGel = 1 };
enum ButtonAppearance : std::int32_t { apFlat = 0, ap3D = 1 };
enum ButtonBorderStyle : std::int32_t { bsNone = 0, bsFixedSingle = 1 };
enum ButtonCornerStyle : std::int32_t { csSquare = 0, csRound = 1 };

// Horizontal class of an alignment value: 0 left (0, 3, 6), 1 centre (2, 5, 8), 2 right
// (1, 4, 7). Vertical class: 0 top (up to 2), 1 middle (3 to 5), 2 bottom (6 and above).
// Values outside 0..8 fall into the class their arithmetic gives (never out of 0..2).
struct AlignmentClasses {
  int horizontal = 0;
  int vertical = 0;
};
AlignmentClasses alignmentClasses(std::int32_t alignment);

}  // namespace nx
