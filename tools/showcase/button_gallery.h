// The second and third forms of nxshowcase: NxButton in each theme and look, a tracker and
// amount boxes; VAT number boxes.
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

// The third form: VAT number boxes (nxtaxid.ocx), valid, invalid, to complete and disabled; the
// first of them, or nullptr when the library refuses one.
nx::formhost::FormControl* placeVatNumbers(nx::formhost::Form& form,
                                           const nx::formhost::Library& taxid);
// Clicks the box's drop-down button: its country list opens, follows the pointer to a row for a
// moment and is closed with Escape.
void openVatListLater(nx::formhost::FormControl* box);
