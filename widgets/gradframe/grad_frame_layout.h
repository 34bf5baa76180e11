// NxGradFrame painting on its surface (twips): the border, flat or etched, and the caption in
// its tab. The background is the control's (it may change the window's colour).
#pragma once

#include "core/runtime/surface.h"
#include "widgets/gradframe/grad_frame_model.h"

namespace nx::gradframe {

inline constexpr Rgb kWhite = 0x00FFFFFF;

// Paints the border (with BorderStyle 1) and the caption with its tab over a drawing area of
// sw x sh twips. The caption is printed in the surface's fore colour and font.
void paintBorderAndCaption(Surface& surface, const GradFrameState& state, double sw, double sh);

}  // namespace nx::gradframe
