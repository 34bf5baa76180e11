// The second form of nxshowcase: NxButton in each theme and look, a tracker and amount boxes.
#pragma once

#include "platform/win32/formhost/form_host.h"

// Places the buttons on `form` from `library` (nxpress.ocx); false when the library refuses one.
bool placeButtonGallery(nx::formhost::Form& form, const nx::formhost::Library& library);

// Places, right of the buttons, a tracker with a day's samples (nxslider.ocx); false when the
// library refuses it.
bool placeTracker(nx::formhost::Form& form, const nx::formhost::Library& slider);
// Places, under the tracker, two amount boxes and their total (nxcurrency.ocx); false when the
// library refuses one.
bool placeAmounts(nx::formhost::Form& form, const nx::formhost::Library& currency);
